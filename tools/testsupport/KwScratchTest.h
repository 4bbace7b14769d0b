#pragma once

// Files of the tests: a scratch directory for each test and whole files as
// byte strings.

#include "KwFileBytes.h"
#include "TCrt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kwtest {

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* pFile = std::fopen(path.c_str(), "wb");
    ASSERT_NE(pFile, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), pFile), bytes.size());
    ASSERT_EQ(std::fclose(pFile), 0);
}

// A fresh directory for each test, named after the prefix, the process and
// the test: on the test drive T: under Windows, below TMPDIR natively. It
// is removed afterwards with everything in it, read-only entries too.
class TScratchTest : public ::testing::Test {
protected:
    explicit TScratchTest(const char* pszPrefix) : m_strPrefix(pszPrefix) {}

    void SetUp() override
    {
#if defined(_WIN32)
        const std::string base = "T:\\" + m_strPrefix;
#else
        const char* pszTmp = std::getenv("TMPDIR");
        const std::string base = std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/" + m_strPrefix;
#endif
        // A parameterised test's name ends in "/" and its parameter.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& ch : name)
            if (ch == '/')
                ch = '-';
        m_dir = base + std::to_string(CrtProcessId()) + "-" + name;
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
        ASSERT_TRUE(std::filesystem::create_directories(m_dir)) << m_dir;
    }

    void TearDown() override { Remove(); }

    // Once more when the fixture's own members are gone: files they held
    // open at TearDown, which Windows refuses to delete, are closed by then.
    ~TScratchTest() override { Remove(); }

    std::string At(const std::string& name) const { return m_dir + CrtPathSeparator() + name; }
    // The same with "/" between the names turned into the platform's separator.
    std::string Path(const std::string& relative) const
    {
        std::string path = At(relative);
        for (char& ch : path)
            if (ch == '/')
                ch = CrtPathSeparator();
        return path;
    }

    std::string m_dir;

private:
    void Remove() const
    {
        namespace fs = std::filesystem;
        std::error_code ec;
#if defined(_WIN32)
        LiftNestedDirectories();
#endif
        // The range-for's increment throws on an error; increment(ec) does not.
        std::error_code ecWalk;
        for (fs::recursive_directory_iterator it(m_dir, ecWalk), end; !ecWalk && it != end; it.increment(ecWalk))
            fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }

#if defined(_WIN32)
    // Never throws: it runs in the destructor too.
    static std::vector<std::filesystem::path> Entries(const std::filesystem::path& dir)
    {
        std::vector<std::filesystem::path> entries;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            entries.push_back(it->path());
        return entries;
    }

    // A tree nested beyond MAX_PATH cannot be named to be removed (and
    // Wine's long-path form lists the wrong directory there), so every
    // directory two levels down is first moved up to the top, until the
    // tree is flat.
    void LiftNestedDirectories() const
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        int nMoved = 0;
        for (bool bMoved = true; bMoved;) {
            bMoved = false;
            std::vector<fs::path> nested;
            for (const fs::path& top : Entries(m_dir))
                for (const fs::path& entry : Entries(top))
                    if (fs::is_directory(entry, ec))
                        nested.push_back(entry);
            for (const fs::path& dir : nested) {
                fs::rename(dir, fs::path(m_dir) / ("~" + std::to_string(++nMoved)), ec);
                bMoved = bMoved || !ec;
            }
        }
    }
#endif

    std::string m_strPrefix;
};

} // namespace kwtest
