#pragma once

// Helpers of the resource tests: a scratch directory per test, files as
// byte strings, a builder of little-endian byte sequences and a stream over
// memory.

#include "MemoryLog.h"
#include "TCrt.h"
#include "TFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace restest {

namespace fs = std::filesystem;

// Bytes as the tables of the format give them.
class Bytes {
public:
    Bytes& U8(uint8_t b) { m_s.push_back(static_cast<char>(b)); return *this; }
    Bytes& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
    Bytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
    Bytes& F64(double d)
    {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        return U32(static_cast<uint32_t>(u)).U32(static_cast<uint32_t>(u >> 32));
    }
    Bytes& F32(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return U32(u);
    }
    // Counted string: length, characters and a zero byte (nothing for "").
    Bytes& Str(const std::string& s)
    {
        U16(static_cast<uint16_t>(s.size()));
        if (!s.empty()) {
            m_s += s;
            U8(0);
        }
        return *this;
    }
    Bytes& Raw(const std::string& s) { m_s += s; return *this; }
    // A zero-filled field of n bytes.
    Bytes& Field(const std::string& s, size_t n)
    {
        std::string f = s.substr(0, n);
        f.resize(n, '\0');
        m_s += f;
        return *this;
    }
    const std::string& str() const { return m_s; }
    size_t size() const { return m_s.size(); }

private:
    std::string m_s;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* pFile = std::fopen(path.c_str(), "wb");
    ASSERT_NE(pFile, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), pFile), bytes.size());
    ASSERT_EQ(std::fclose(pFile), 0);
}

inline std::string ReadFileBytes(const std::string& path)
{
    FILE* pFile = std::fopen(path.c_str(), "rb");
    if (!pFile)
        return "<none>";
    std::string bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0)
        bytes.append(buffer, n);
    std::fclose(pFile);
    return bytes;
}

// A scratch directory for each test: on the test drive T: under Windows,
// below TMPDIR natively.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(_WIN32)
        const std::string base = "T:\\kwres-";
#else
        const char* pszTmp = std::getenv("TMPDIR");
        const std::string base = std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/kwres-";
#endif
        m_dir = base + std::to_string(CrtProcessId()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        ASSERT_TRUE(fs::create_directories(m_dir)) << m_dir;
    }

    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    std::string At(const std::string& name) const { return m_dir + CrtPathSeparator() + name; }

    // What a TFile writer puts into a file.
    template <class F>
    std::string Written(F fnWrite)
    {
        const std::string path = At("written.bin");
        {
            TFile coFile;
            EXPECT_EQ(coFile.Open(path.c_str(), TFile::ModeCreate), 1);
            fnWrite(coFile);
        }
        return ReadFileBytes(path);
    }

    std::string m_dir;
};

} // namespace restest
