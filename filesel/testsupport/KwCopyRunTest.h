#pragma once

// The fixture of the copy engine's tests: a small source tree in a scratch
// directory, the engine behind the two watched seams, and a run's output
// rebuilt from its records as a window would.

#include "KwCopyEngine.h"
#include "KwCopyFakes.h"
#include "KwScratchTest.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace kwtest {

// The output of one run.
struct TOutput {
    std::vector<std::string> m_vecLines;
    std::vector<int> m_vecPercents;
    int m_nFinished { 0 };
    int m_nEnded { 0 };             // lines completed after they were added

    void Take(const KwCopyRecord& coRecord)
    {
        switch (coRecord.GetKind()) {
        case KwCopyRecord::LineAdded:
            EXPECT_EQ(coRecord.GetLine(), static_cast<long>(m_vecLines.size()));
            m_vecLines.push_back(coRecord.GetText());
            break;
        case KwCopyRecord::LineEnded:
            ++m_nEnded;
            m_vecLines.at(static_cast<size_t>(coRecord.GetLine())) += coRecord.GetText();
            break;
        case KwCopyRecord::Progress:
            EXPECT_TRUE(m_vecPercents.empty() || coRecord.GetPercent() >= m_vecPercents.back());
            m_vecPercents.push_back(coRecord.GetPercent());
            break;
        case KwCopyRecord::Finished:
            EXPECT_EQ(m_nFinished, 0);
            m_nFinished = 1;
            break;
        }
    }
    int Has(const std::string& strLine) const
    {
        for (const std::string& strOne : m_vecLines)
            if (strOne == strLine)
                return 1;
        return 0;
    }
    int Count(const std::string& strStart) const
    {
        int n = 0;
        for (const std::string& strOne : m_vecLines)
            n += strOne.rfind(strStart, 0) == 0;
        return n;
    }
};

class TCopyRunTest : public TScratchTest {
protected:
    TCopyRunTest() : TScratchTest("kw-copy-") {}

    // The workers every run of the test has.
    virtual int Workers() const { return 1; }

    // src\.hidden\d.txt, src\a.txt, src\Alpha\b.txt, src\Alpha\Gamma\c.bin
    // (100,000 bytes); Alpha is read-only.
    void SetUp() override
    {
        TScratchTest::SetUp();
        namespace fs = std::filesystem;
        fs::create_directories(At("src/.hidden"));
        fs::create_directories(At("src/Alpha/Gamma"));
        WriteFileBytes(At("src/.hidden/d.txt"), "dd");
        WriteFileBytes(At("src/a.txt"), "aaa");
        WriteFileBytes(At("src/Alpha/b.txt"), "bb");
        WriteFileBytes(At("src/Alpha/Gamma/c.bin"), Pattern(100000));
        fs::permissions(At("src/Alpha"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        m_pcoSecurity = std::make_unique<TRecordingSecurity>(m_dir);
        m_pcoFs = std::make_unique<TWatchedFileSystem>(m_dir, *m_pcoSecurity);
        m_pcoEngine = std::make_unique<KwCopyEngine>(*m_pcoFs, *m_pcoSecurity);
        m_pcoEngine->Options().m_nWorkers = Workers();
        m_pcoEngine->SetPathFrom(At("src").c_str());
        m_pcoEngine->SetPathTo(At("dst").c_str());
    }

    static std::string Pattern(size_t nBytes)
    {
        std::string strBytes(nBytes, '\0');
        for (size_t i = 0; i < nBytes; ++i)
            strBytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        return strBytes;
    }

    // A path below the scratch directory, with "/" between names.
    std::string At(const std::string& strName) const
    {
        std::string strPath = m_dir + CrtPathSeparator() + strName;
        for (char& ch : strPath)
            if (ch == '/' && CrtPathSeparator() != '/')
                ch = CrtPathSeparator();
        return strPath;
    }

    // How a gathered entry is shown: "..\src\Alpha" (or with "/").
    static std::string Shown(const std::string& strRelative)
    {
        std::string strShown = ".." + std::string(1, CrtPathSeparator()) + strRelative;
        for (char& ch : strShown)
            if (ch == '/')
                ch = CrtPathSeparator();
        return strShown;
    }

    // The lines of a run as a sorted list, for comparing runs whose
    // workers finish in another order (the summary's time left out).
    static std::vector<std::string> Sorted(const TOutput& coOutput)
    {
        std::vector<std::string> vecLines(coOutput.m_vecLines.begin(), coOutput.m_vecLines.end() - 1);
        std::sort(vecLines.begin(), vecLines.end());
        return vecLines;
    }

    TOutput Run()
    {
        m_pcoEngine->DoCopy(nullptr);
        std::vector<KwCopyRecord> vecRecords;
        m_pcoEngine->Queue().Drain(vecRecords);
        TOutput coOutput;
        for (const KwCopyRecord& coRecord : vecRecords)
            coOutput.Take(coRecord);
        EXPECT_EQ(coOutput.m_nFinished, 1);
        return coOutput;
    }

    // The rights an entry of the target has now (a shortened path).
    std::string RightsOf(const std::string& strShort) const
    {
        const auto itSet = m_pcoSecurity->m_coSet.find(strShort);
        if (itSet != m_pcoSecurity->m_coSet.end())
            return itSet->second;
        const auto itMade = m_pcoFs->m_coRights.find(strShort);
        return itMade != m_pcoFs->m_coRights.end() ? itMade->second : "<unknown>";
    }

    // The target as it is at this moment, below dst/src: every final name
    // holds its source's complete content (a copy that has just taken its
    // name and is still open cannot be read under Windows), and no entry is
    // more open than its source: its source's descriptor, with the copying
    // account's access until the exact one comes, or a private one; a
    // temporary copy at least not the target directory's.
    void ExpectSafeTarget()
    {
        TFakeGuard coGuard(FakeLock());
        namespace fs = std::filesystem;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(At("dst/src"), ec), end; !ec && it != end; it.increment(ec)) {
            const std::string strShort = m_pcoFs->Short(it->path().string());
            const std::string strRights = RightsOf(strShort);
            if (KwFileTransfer::IsTemporaryName(it->path().filename().string())) {
                EXPECT_NE(strRights, "inherited") << strShort;
                continue;
            }
            const std::string strSource = strShort.substr(4);
            const std::string strOwn = "SD(" + strSource + ")";
            EXPECT_TRUE(strRights.rfind(strOwn, 0) == 0 || strRights.rfind("C+" + strOwn, 0) == 0 || strRights == "PRIVATE")
                << strShort << " has " << strRights;
            if (it->is_regular_file() && !m_pcoFs->m_coOpenFinal.count(strShort)) {
                EXPECT_EQ(ReadFileBytes(it->path().string()), ReadFileBytes(At(strSource.substr(1)))) << strShort;
            }
        }
    }

    // No temporary copy is left anywhere in the target.
    void ExpectNoTemporaryFiles()
    {
        std::error_code ec;
        for (std::filesystem::recursive_directory_iterator it(At("dst"), ec), end; !ec && it != end; it.increment(ec)) {
            EXPECT_FALSE(KwFileTransfer::IsTemporaryName(it->path().filename().string())) << it->path();
        }
    }

    // The calls of a kind ("Set", "Adjust", ...) in the order made.
    std::vector<std::string> Calls(const std::string& strKind) const
    {
        std::vector<std::string> vecCalls;
        for (const std::string& strCall : m_pcoSecurity->m_vecCalls)
            if (strCall.rfind(strKind + " ", 0) == 0 || strCall == strKind)
                vecCalls.push_back(strCall);
        return vecCalls;
    }

    std::unique_ptr<TRecordingSecurity> m_pcoSecurity;
    std::unique_ptr<TWatchedFileSystem> m_pcoFs;
    std::unique_ptr<KwCopyEngine> m_pcoEngine;
};

} // namespace kwtest
