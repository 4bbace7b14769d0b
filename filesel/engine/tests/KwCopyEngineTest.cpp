#include "KwCopyRunTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>

#if defined(_WIN32)
#include "KwWindows.h"
#endif

using kwtest::TCopyRunTest;
using kwtest::TFault;
using kwtest::TOutput;

namespace {

// The entries of the test tree in the order the first pass works on them.
const std::vector<std::string> kTree = { "src", "src/.hidden", "src/.hidden/d.txt", "src/a.txt",
                                         "src/Alpha", "src/Alpha/b.txt", "src/Alpha/Gamma", "src/Alpha/Gamma/c.bin" };

bool IsDirectory(const std::string& strEntry)
{
    return strEntry.find('.', 4) == std::string::npos || strEntry == "src/.hidden";
}

// A record of a creating call with the temporary name of a file's copy
// shown as "~tmp".
std::string WithoutTemporaryName(const std::string& strCreated)
{
    const size_t nAt = strCreated.find("~gdl");
    return nAt == std::string::npos ? strCreated : strCreated.substr(0, nAt) + "~tmp" + strCreated.substr(nAt + 16);
}

} // namespace

// Every test runs with one worker and with four.
class KwCopyEngineTest : public TCopyRunTest, public ::testing::WithParamInterface<int> {
protected:
    int Workers() const override { return GetParam(); }

    // Where the line that begins with strStart is; the end when it is not
    // there.
    static size_t Where(const std::vector<std::string>& vecLines, const std::string& strStart)
    {
        for (size_t i = 0; i < vecLines.size(); ++i)
            if (vecLines[i].rfind(strStart, 0) == 0)
                return i;
        return vecLines.size();
    }
};

INSTANTIATE_TEST_SUITE_P(Workers, KwCopyEngineTest, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& coInfo) { return std::to_string(coInfo.param); });

TEST_P(KwCopyEngineTest, CopiesTheTreeInPreOrderAndGivesRightsBackwardsWithTheSourcesOwnBytes)
{
    const TOutput coOutput = Run();
    std::vector<std::string> vecExpected = { "Gathering tree information ... ok" };
    for (const std::string& strEntry : kTree)
        vecExpected.push_back((IsDirectory(strEntry) ? "Creating Directory " : "Copying ") + Shown(strEntry) + " ... ok");
    for (auto it = kTree.rbegin(); it != kTree.rend(); ++it)
        vecExpected.push_back("Assigning Rights " + Shown(*it) + " ... ok");
    vecExpected.push_back("Ready. ");
    ASSERT_EQ(coOutput.m_vecLines.size(), vecExpected.size() + 1);
    // One worker shows a line when its action begins; several write it
    // whole at its end (all but the gathering line).
    EXPECT_EQ(coOutput.m_nEnded, Workers() == 1 ? 17 : 1);
    if (Workers() == 1) {
        EXPECT_TRUE(std::equal(vecExpected.begin(), vecExpected.end(), coOutput.m_vecLines.begin()));
    } else {
        std::sort(vecExpected.begin(), vecExpected.end());
        EXPECT_EQ(Sorted(coOutput), vecExpected);
    }
    // In any order of work: an entry's directory is made before it, every
    // right comes after every copy, and a directory's after its contents'.
    const std::vector<std::string>& vecLines = coOutput.m_vecLines;
    const size_t nLastCopy = Where(vecLines, "Copying " + Shown("src/Alpha/Gamma/c.bin"));
    for (size_t i = 1; i < kTree.size(); ++i) {
        const std::string strParent = kTree[i].substr(0, kTree[i].rfind('/'));
        const std::string strOwn = (IsDirectory(kTree[i]) ? "Creating Directory " : "Copying ") + Shown(kTree[i]) + " ";
        EXPECT_LT(Where(vecLines, "Creating Directory " + Shown(strParent) + " "), Where(vecLines, strOwn)) << kTree[i];
        EXPECT_LT(Where(vecLines, strOwn), vecLines.size()) << kTree[i];
        EXPECT_LT(Where(vecLines, "Assigning Rights " + Shown(kTree[i]) + " "), Where(vecLines, "Assigning Rights " + Shown(strParent) + " "));
        EXPECT_GT(Where(vecLines, "Assigning Rights " + Shown(kTree[i]) + " "), std::max(nLastCopy, Where(vecLines, strOwn)));
    }
    EXPECT_EQ(coOutput.m_vecLines.back().rfind("Directories: 4, files: 4, bytes: 100007, copied: 8, skipped: 0, failed: 0", 0), 0u);
    EXPECT_EQ(coOutput.m_vecPercents.back(), 100);

    // Each entry is created with its source's descriptor (plus the copying
    // account's access), a file under a temporary name beside its own, and
    // later given exactly its source's descriptor, contents before their
    // directory.
    std::vector<std::string> vecCreated;
    std::vector<std::string> vecSets;
    for (size_t i = 0; i < kTree.size(); ++i) {
        const std::string strMade = IsDirectory(kTree[i]) ? kTree[i] : kTree[i].substr(0, kTree[i].rfind('/') + 1) + "~tmp";
        vecCreated.push_back("/dst/" + strMade + " C+" + kwtest::TRecordingSecurity::DescriptorOf("/" + kTree[i]));
        vecSets.insert(vecSets.begin(), "Set /dst/" + kTree[i] + " 14 SD(/" + kTree[i] + ")");
    }
    ASSERT_EQ(m_pcoFs->m_vecCreated.size(), kTree.size() + 1);
    EXPECT_EQ(m_pcoFs->m_vecCreated.front(), "/dst inherited");
    std::vector<std::string> vecMade;
    for (size_t i = 1; i < m_pcoFs->m_vecCreated.size(); ++i)
        vecMade.push_back(WithoutTemporaryName(m_pcoFs->m_vecCreated[i]));
    std::vector<std::string> vecSetCalls = Calls("Set");
    if (Workers() > 1) {
        // Directories in order, each before what it holds; rights as above.
        for (std::vector<std::string>* pvec : { &vecCreated, &vecMade, &vecSets, &vecSetCalls })
            std::sort(pvec->begin(), pvec->end());
    }
    EXPECT_EQ(vecMade, vecCreated);
    EXPECT_EQ(vecSetCalls, vecSets);
    for (const std::string& strEntry : kTree)
        if (!IsDirectory(strEntry)) {
            EXPECT_EQ(kwtest::ReadFileBytes(At("dst/" + strEntry)), kwtest::ReadFileBytes(At(strEntry))) << strEntry;
        }
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 1);
}

TEST_P(KwCopyEngineTest, PrivilegesAreEnabledBeforeTheRunAndDisabledAfterIt)
{
    Run();
    const std::vector<std::string>& vecCalls = m_pcoSecurity->m_vecCalls;
    const std::vector<std::string> vecStart = { "Volume /src", "Volume /dst", "Lookup SeSecurityPrivilege",
                                                "Lookup SeTakeOwnershipPrivilege", "OpenToken",
                                                "Adjust SeSecurityPrivilege on", "Adjust SeTakeOwnershipPrivilege on" };
    const std::vector<std::string> vecEnd = { "Adjust SeSecurityPrivilege off", "Adjust SeTakeOwnershipPrivilege off",
                                              "CloseToken" };
    ASSERT_GT(vecCalls.size(), vecStart.size() + vecEnd.size());
    EXPECT_TRUE(std::equal(vecStart.begin(), vecStart.end(), vecCalls.begin()));
    EXPECT_TRUE(std::equal(vecEnd.begin(), vecEnd.end(), vecCalls.end() - 3));
    EXPECT_EQ(Calls("Adjust").size(), 4u);
}

TEST_P(KwCopyEngineTest, MissingPrivilegesNarrowTheRightsCopiedAndAreSaidOnce)
{
    const struct {
        std::set<std::string> m_coNotHeld;
        int m_nOwner;
        const char* m_pszInformation;
        int m_nWarnings;
        KwCopyOptions::Security m_eSecurity { KwCopyOptions::SecurityAll };
    } aCases[] = {
        { { "SeSecurityPrivilege" }, 0, " 6", 1 },              // group and DACL without the SACL
        { {}, 1, " 15", 0 },                                    // the owner too
        { { "SeRestorePrivilege" }, 1, " 14", 1 },
        { { "SeSecurityPrivilege", "SeRestorePrivilege" }, 1, " 6", 2 },
        { {}, 0, " 6", 0, KwCopyOptions::SecurityDaclGroup },   // asked for: the DACL and the group
        { {}, 1, " 7", 0, KwCopyOptions::SecurityDaclGroup },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoSecurity->m_coNotHeld = coCase.m_coNotHeld;
        m_pcoEngine->Options().m_nOwner = coCase.m_nOwner;
        m_pcoEngine->Options().m_eSecurity = coCase.m_eSecurity;
        const TOutput coOutput = Run();
        EXPECT_EQ(coOutput.Count("Without Se"), coCase.m_nWarnings);
        for (const std::string& strCall : m_pcoSecurity->m_vecCalls)
            if (strCall.rfind("Get", 0) == 0 || strCall.rfind("Set ", 0) == 0) {
                EXPECT_NE(strCall.find(coCase.m_pszInformation), std::string::npos) << strCall;
            }
        // A source is opened for its SACL only where the SACL is read: the
        // open would fail without the privilege.
        const bool bSacl = (std::stoi(coCase.m_pszInformation) & KwSecurityApi::SaclInfo) != 0;
        EXPECT_EQ(m_pcoFs->m_vecRightsOpens.size(), 4u);
        for (const std::string& strOpen : m_pcoFs->m_vecRightsOpens)
            EXPECT_EQ(strOpen.find(" rights+sacl") != std::string::npos, bSacl) << strOpen << coCase.m_pszInformation;
        EXPECT_EQ(coOutput.Count("Assigning Rights "), 8);
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 0);
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, OnlyAVolumeKnownToKeepNoRightsTurnsTheRightsPassOffWithOneLine)
{
    KwVolumeInfo coFat;
    coFat.m_strFileSystem = "FAT32";
    coFat.m_ulFlags = 0x3;
    KwVolumeInfo coNamedOnly;
    coNamedOnly.m_strFileSystem = "ntfs";
    const struct {
        const char* m_pszVolume;
        KwVolumeInfo m_coInfo;
        int m_nFails;
        int m_nRights;
    } aCases[] = { { "/src", coFat, 0, 0 }, { "/dst", coFat, 0, 0 }, { "/dst", {}, 1, 1 }, { "/src", coNamedOnly, 0, 1 } };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoSecurity->m_coVolumes[coCase.m_pszVolume] = coCase.m_coInfo;
        if (coCase.m_nFails)
            m_pcoSecurity->m_coFaults.Add({ "Volume", coCase.m_pszVolume });
        const TOutput coOutput = Run();
        EXPECT_EQ(coOutput.Count("Rights are not copied"), coCase.m_nRights ? 0 : 1) << coCase.m_pszVolume;
        // A volume that cannot be examined gets the rights tried, and says so.
        EXPECT_EQ(coOutput.Count("The target volume cannot be examined (error 5); rights are copied"), coCase.m_nFails);
        EXPECT_EQ(coOutput.Count("Assigning Rights "), coCase.m_nRights ? 8 : 0);
        if (!coCase.m_nRights) {
            EXPECT_EQ(m_pcoSecurity->m_vecCalls.size(), Calls("Volume").size());
        }
        EXPECT_EQ(coOutput.Count("Copying "), 4);
        EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/a.txt")), "aaa");
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, AFailureAtAnyStepIsReportedOnItsLineCountedAndTheRunGoesOn)
{
    const struct {
        bool m_bSecurity;
        TFault m_coFault;
        std::string m_strLine;
        long m_lFailed;
    } aCases[] = {
        { true, { "GetOpen", "/src/Alpha/b.txt", 0 }, "Assigning Rights " + Shown("src/Alpha/b.txt") + " ... failed ! (the source's rights could not be read)", 1 },
        { true, { "Set", "/dst/src/Alpha", 1 }, "Assigning Rights " + Shown("src/Alpha") + " ... failed ! (error 5)", 1 },
        { true, { "Lookup", "SeSecurityPrivilege" }, "The privileges for copying rights cannot be prepared (error 5); rights may fail.", 0 },
        { true, { "OpenToken", "" }, "The privileges for copying rights cannot be prepared (error 5); rights may fail.", 0 },
        { true, { "Adjust", "SeSecurityPrivilege" }, "Without SeSecurityPrivilege the SACL is not copied; group and DACL are.", 0 },
        { false, { "CreateTarget", "/dst/src/~gdl*" }, "Copying " + Shown("src/a.txt") + " ... failed ! (the target cannot be created: error 5)", 1 },
        { false, { "Commit", "/dst/src/a.txt" }, "Copying " + Shown("src/a.txt") + " ... failed ! (the copy cannot take its name: error 5)", 1 },
        { false, { "Read", "/src/a.txt" }, "Copying " + Shown("src/a.txt") + " ... failed ! (the source cannot be read: error 5)", 1 },
        { false, { "Write", "/dst/src/Alpha/Gamma/~gdl*" }, "Copying " + Shown("src/Alpha/Gamma/c.bin") + " ... failed ! (the target cannot be written: error 5)", 1 },
        { false, { "CreateDirectory", "/dst/src/Alpha/Gamma" }, "Copying " + Shown("src/Alpha/Gamma/c.bin") + " ... failed ! (its directory was not made)", 2 },
        { false, { "List", "/src/Alpha/Gamma" }, "Creating Directory " + Shown("src/Alpha/Gamma") + " ... failed ! (its contents cannot be listed: error 5)", 1 },
        { false, { "SetEntryInfo", "/dst/src/Alpha" }, "Setting Times " + Shown("src/Alpha") + " ... failed ! (error 5)", 1 },
        { true, { "Readback", "/dst/src/a.txt" }, "Assigning Rights " + Shown("src/a.txt") + " ... failed ! (verification: the rights read back differ from the source's)", 1 },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        (coCase.m_bSecurity ? m_pcoSecurity->m_coFaults : m_pcoFs->m_coFaults).Add(coCase.m_coFault);
        m_pcoEngine->Options().m_nVerify = 1;
        const TOutput coOutput = Run();
        EXPECT_TRUE(coOutput.Has(coCase.m_strLine)) << coCase.m_strLine;
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, coCase.m_lFailed) << coCase.m_strLine;
        EXPECT_EQ(coOutput.m_vecLines.end()[-2], "Ready. ");
        EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/.hidden/d.txt")), "dd");
        // Nothing half-written stays behind, under any name.
        ExpectNoTemporaryFiles();
        if (coCase.m_coFault.m_strCall == "Read" || coCase.m_coFault.m_strCall == "Commit") {
            EXPECT_FALSE(std::filesystem::exists(At("dst" + coCase.m_coFault.m_strPath.substr(coCase.m_coFault.m_strPath.find("/src")))));
        }
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, CancelBetweenPiecesRemovesThePartialFileAndStillGivesRightsToWhatExists)
{
    m_pcoEngine->Options().m_ulPieceSize = 20000;
    int nReads = 0;
    m_pcoFs->m_fnOnRead = [&](const std::string& strPath) {
        if (strPath.find("c.bin") != std::string::npos && ++nReads == 2)
            m_pcoEngine->Cancel();
    };
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/Alpha/Gamma/c.bin") + " ... Canceled by User"));
    EXPECT_FALSE(std::filesystem::exists(At("dst/src/Alpha/Gamma/c.bin")));
    EXPECT_TRUE(std::filesystem::is_empty(At("dst/src/Alpha/Gamma")));
    // Rights for exactly what was made: with several workers, files beside
    // c.bin may have been cancelled too, or not begun.
    int nMade = 0;
    for (const std::string& strLine : coOutput.m_vecLines)
        nMade += strLine.size() > 7 && strLine.compare(strLine.size() - 7, 7, " ... ok") == 0
            && (strLine.rfind("Copying ", 0) == 0 || strLine.rfind("Creating Directory ", 0) == 0);
    EXPECT_EQ(coOutput.Count("Assigning Rights "), nMade);
    EXPECT_GE(nMade, Workers() == 1 ? 7 : 4);
    EXPECT_EQ(Calls("Set").front(), "Set /dst/src/Alpha/Gamma 14 SD(/src/Alpha/Gamma)");
    EXPECT_EQ(coOutput.m_vecLines.end()[-2], "Canceled by User");
    EXPECT_LT(coOutput.m_vecPercents.back(), 100);
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
}

TEST_P(KwCopyEngineTest, ARestBetweenPiecesSpacesTheReadsOfAFileAndACancelEndsIt)
{
    // c.bin's five pieces: a rest before each of the four after the first.
    using coClock = std::chrono::steady_clock;
    m_pcoEngine->Options().m_ulPieceSize = 20000;
    m_pcoEngine->Options().m_ulPieceGap = 40;
    std::vector<coClock::time_point> vecReads;
    m_pcoFs->m_fnOnRead = [&](const std::string& strPath) {
        if (strPath.find("c.bin") != std::string::npos)
            vecReads.push_back(coClock::now());
    };
    Run();
    ASSERT_GE(vecReads.size(), 5u);
    for (size_t i = 1; i < 5; ++i)
        EXPECT_GE(vecReads[i] - vecReads[i - 1], std::chrono::milliseconds(40)) << i;
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/Gamma/c.bin")), kwtest::ReadFileBytes(At("src/Alpha/Gamma/c.bin")));

    // A rest of a minute, cancelled a little after it began.
    TearDown();
    SetUp();
    m_pcoEngine->Options().m_ulPieceSize = 20000;
    m_pcoEngine->Options().m_ulPieceGap = KwCopyOptions::MaxPieceGap;
    std::thread coCanceler;
    m_pcoFs->m_fnOnRead = [&](const std::string& strPath) {
        if (strPath.find("c.bin") != std::string::npos && !coCanceler.joinable())
            coCanceler = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                m_pcoEngine->Cancel();
            });
    };
    const coClock::time_point coStart = coClock::now();
    const TOutput coOutput = Run();
    coCanceler.join();
    EXPECT_LT(coClock::now() - coStart, std::chrono::seconds(10));
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/Alpha/Gamma/c.bin") + " ... Canceled by User"));
    EXPECT_FALSE(std::filesystem::exists(At("dst/src/Alpha/Gamma/c.bin")));
}

TEST_P(KwCopyEngineTest, AFileReadShortAtItsListedSizeIsNotReadAgainAndOneThatGrewIsCopiedWhole)
{
    // c.bin (100,000 bytes) moves in five whole pieces of 20,000, so only
    // one more read shows its end; the small files end with their first
    // read. A file that grew after it was listed is read to its new end.
    const struct {
        size_t m_nGrowth;
        int m_nReads;
    } aCases[] = { { 0, 6 }, { 10, 7 }, { 20000, 7 } };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoEngine->Options().m_ulPieceSize = 20000;
        const std::string strGrown = Pattern(100000) + std::string(coCase.m_nGrowth, 'x');
        m_pcoFs->m_fnAfter = [&](const std::string& strCall, const std::string& strPath) {
            if (strCall == "CreateDirectory" && m_pcoFs->Short(strPath) == "/dst/src/Alpha/Gamma")
                kwtest::WriteFileBytes(At("src/Alpha/Gamma/c.bin"), strGrown);
        };
        std::map<std::string, int> coReads;
        m_pcoFs->m_fnOnRead = [&](const std::string& strPath) { ++coReads[m_pcoFs->Short(strPath)]; };
        Run();
        const std::map<std::string, int> coExpected
            = { { "/src/.hidden/d.txt", 1 }, { "/src/a.txt", 1 }, { "/src/Alpha/b.txt", 1 }, { "/src/Alpha/Gamma/c.bin", coCase.m_nReads } };
        EXPECT_EQ(coReads, coExpected) << coCase.m_nGrowth;
        EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/Gamma/c.bin")), strGrown) << coCase.m_nGrowth;
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, ALargeFileGetsItsSizeFirstAndFromTheThresholdOnWhenMemoryIsShortGoesPastTheCacheInWholeBlocks)
{
    // c.bin (100,000 bytes) is larger than a piece of 20,000, so its size
    // is set before its first byte and again at the bytes written. Past the
    // cache it moves in pieces of whole blocks (16,384), the last one
    // padded to a block; a verified copy is read back through the cache.
    const std::string strTemporary = "/dst/src/Alpha/Gamma/~tmp";
    const std::vector<std::string> vecCached = { strTemporary + " size 100000", strTemporary + " write 20000",
                                                 strTemporary + " write 20000", strTemporary + " write 20000",
                                                 strTemporary + " write 20000", strTemporary + " write 20000",
                                                 strTemporary + " size 100000" };
    std::vector<std::string> vecUnbuffered = { "/src/Alpha/Gamma/c.bin read unbuffered", strTemporary + " write unbuffered",
                                               strTemporary + " size 100000" };
    for (int i = 0; i < 6; ++i)
        vecUnbuffered.push_back(strTemporary + " write 16384");
    vecUnbuffered.push_back(strTemporary + " write 4096");
    vecUnbuffered.push_back(strTemporary + " size 100000");
    // With memory free for twice the file, it goes through the cache after
    // all (unless the options say to pass it by size alone).
    const struct {
        uint64_t m_ullFrom;
        uint64_t m_ullFreeMemory;
        int m_nWhenShort;
        int m_nVerify;
        TFault m_coFault;
        const std::vector<std::string>& m_vecContent;
    } aCases[] = {
        { 0, 0, 1, 0, {}, vecCached },
        { 50000, 0, 1, 0, {}, vecUnbuffered },
        { 100000, 0, 1, 0, {}, vecUnbuffered },
        { 100001, 0, 1, 0, {}, vecCached },
        { 50000, 199999, 1, 0, {}, vecUnbuffered },
        { 50000, 200000, 1, 0, {}, vecCached },
        { 50000, 1ull << 40, 0, 0, {}, vecUnbuffered },
        { 50000, 0, 1, 1, {}, vecCached },
        { 50000, 0, 1, 0, { "SetSize", "/dst/src/Alpha/Gamma/~gdl*" }, { vecUnbuffered.begin(), vecUnbuffered.begin() + 3 } },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoEngine->Options().m_ulPieceSize = 20000;
        m_pcoEngine->Options().m_ullUnbufferedFrom = coCase.m_ullFrom;
        m_pcoEngine->Options().m_nUnbufferedWhenShort = coCase.m_nWhenShort;
        m_pcoFs->m_ullFreeMemory = coCase.m_ullFreeMemory;
        m_pcoEngine->Options().m_nVerify = coCase.m_nVerify;
        m_pcoFs->m_coFaults.Add(coCase.m_coFault);
        const TOutput coOutput = Run();
        std::vector<std::string> vecContent;
        for (const std::string& strEvent : m_pcoFs->m_vecContent)
            if (strEvent.find("/Gamma/") != std::string::npos)
                vecContent.push_back(WithoutTemporaryName(strEvent));
        EXPECT_EQ(vecContent, coCase.m_vecContent) << coCase.m_ullFrom << " " << coCase.m_ullFreeMemory;
        if (coCase.m_coFault.m_strCall.empty()) {
            EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/Gamma/c.bin")), Pattern(100000));
        } else {
            EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/Alpha/Gamma/c.bin") + " ... failed ! (the target cannot be written: error 5)"));
            ExpectNoTemporaryFiles();
        }
        // Files of one piece get no size of their own.
        EXPECT_EQ(std::count_if(m_pcoFs->m_vecContent.begin(), m_pcoFs->m_vecContent.end(),
                                [](const std::string& strEvent) { return strEvent.find(" size ") != std::string::npos; }),
                  coCase.m_coFault.m_strCall.empty() ? 2 : 1);
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, ACopyIntoItsOwnSourceIsRefusedBeforeAnythingIsWritten)
{
    std::filesystem::create_directories(At("dst"));
    const std::string strAlias = At("alias");
#if defined(_WIN32)
    // Wine's drive Z: is the root of the Unix side, so it names the source
    // by another path; elsewhere the second case is left out.
    using TUnixName = char* (*)(const wchar_t*);
    auto pfnUnixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    std::string strOther;
    if (pfnUnixName) {
        const std::wstring wstrSource = std::filesystem::path(At("src")).wstring();
        strOther = std::string("Z:") + pfnUnixName(wstrSource.c_str());
        std::replace(strOther.begin(), strOther.end(), '/', '\\');
    }
#else
    std::filesystem::create_directory_symlink(At("src"), strAlias);
    const std::string strOther = strAlias;
    // A link to a directory inside the source: its name is outside.
    std::filesystem::create_directory_symlink(At("src/Alpha"), At("to-alpha"));
#endif
    for (const std::string& strTarget : { At("src/Alpha"), m_dir, strOther.empty() ? std::string() : strOther + CrtPathSeparator() + "Alpha",
                                          CrtPathSeparator() == '/' ? At("to-alpha/out") : std::string() }) {
        if (strTarget.empty())
            continue;
        m_pcoEngine->SetPathTo(strTarget.c_str());
        const TOutput coOutput = Run();
        ASSERT_EQ(coOutput.m_vecLines.size(), 2u) << strTarget;
        EXPECT_EQ(coOutput.m_vecLines[0].rfind("Refused: the copy ", 0), 0u) << coOutput.m_vecLines[0];
        EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 16);
        EXPECT_TRUE(m_pcoSecurity->m_vecCalls.empty());
        EXPECT_TRUE(m_pcoFs->m_vecCreated.empty());
    }
    // A directory of the source mounted elsewhere, which no path explains:
    // found among the directories gathered.
    std::filesystem::create_directories(At("mnt"));
    m_pcoFs->m_coSameAs["/mnt"] = "/src/Alpha";
    m_pcoEngine->SetPathTo(At("mnt/out").c_str());
    const TOutput coOutput = Run();
    ASSERT_EQ(coOutput.m_vecLines.size(), 3u);
    EXPECT_EQ(coOutput.m_vecLines[1], "Refused: the target \"" + At("mnt/out") + "\" lies inside the source \"" + At("src")
                                          + "\": \"" + At("mnt") + "\" is one of its directories.");
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 16);
    EXPECT_TRUE(m_pcoFs->m_vecCreated.empty());
}

#if defined(_WIN32)
TEST_P(KwCopyEngineTest, ASelectedNameIsNeverAPattern)
{
    // "?.txt" would match a.txt in a search.
    m_pcoEngine->SetFileNames({ At("src/?.txt"), At("src/*") });
    const TOutput coOutput = Run();
    EXPECT_EQ(coOutput.Count("Copying ?.txt ... failed ! (it cannot be found: "), 1);
    EXPECT_EQ(coOutput.Count("Copying * ... failed ! (it cannot be found: "), 1);
    EXPECT_FALSE(std::filesystem::exists(At("dst/a.txt")));
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 8);
}
#endif

TEST_P(KwCopyEngineTest, ADirectoryMetAgainUnderAnotherNameIsNotCopiedTwice)
{
    m_pcoFs->m_coSameAs["/src/Alpha/Gamma"] = "/src";
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Creating Directory " + Shown("src/Alpha/Gamma") + " ... skipped (it leads back to a directory copied already)"));
    EXPECT_EQ(coOutput.Count("Copying " + Shown("src/Alpha/Gamma/")), 0);
    EXPECT_FALSE(std::filesystem::exists(At("dst/src/Alpha/Gamma")));
    EXPECT_EQ(m_pcoEngine->GetSummary().m_lSkipped, 1);
}

TEST_P(KwCopyEngineTest, ExistingTargetsAreReplacedWholeOrKeptByTheRules)
{
    // The source d.txt holds "dd"; the target holds m_pszOld, written
    // m_nHours later than the source.
    const struct {
        KwCopyOptions::Existing m_eExisting;
        int m_nHours;
        const char* m_pszOld;
        bool m_bFailWrite;
        const char* m_pszOutcome;
        const char* m_pszContent;
    } aCases[] = {
        { KwCopyOptions::Overwrite, 1, "old", false, "ok", "dd" },
        { KwCopyOptions::Overwrite, -1, "old", true, "failed ! (the target cannot be written: error 5)", "old" },
        { KwCopyOptions::SkipExisting, -1, "old", false, "skipped (the target exists)", "old" },
        { KwCopyOptions::SkipNewer, 1, "old", false, "skipped (the target is newer)", "old" },
        { KwCopyOptions::SkipNewer, -1, "old", false, "ok", "dd" },
        // The same size and time of writing: unchanged, whatever the rule.
        { KwCopyOptions::Overwrite, 0, "xx", false, "skipped (same)", "xx" },
        { KwCopyOptions::SkipNewer, 0, "xx", false, "skipped (same)", "xx" },
        { KwCopyOptions::SkipNewer, 0, "old", false, "ok", "dd" },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoEngine->SetPathFrom(At("src/.hidden").c_str());       // a small tree: itself and d.txt
        std::filesystem::create_directories(At("dst/.hidden"));
        const std::string strOld = At("dst/.hidden/d.txt");
        kwtest::WriteFileBytes(strOld, coCase.m_pszOld);
        // Whole seconds: what every file system keeps exactly.
        const auto coTime = std::chrono::time_point_cast<std::chrono::seconds>(std::filesystem::last_write_time(At("src/.hidden/d.txt")));
        std::filesystem::last_write_time(At("src/.hidden/d.txt"), coTime);
        std::filesystem::last_write_time(strOld, coTime + std::chrono::hours(coCase.m_nHours));
        std::filesystem::permissions(strOld, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
        m_pcoEngine->Options().m_eExisting = coCase.m_eExisting;
        if (coCase.m_bFailWrite)
            m_pcoFs->m_coFaults.Add({ "Write", "/dst/.hidden/~gdl*" });
        const TOutput coOutput = Run();
        EXPECT_TRUE(coOutput.Has("Copying " + Shown(".hidden/d.txt") + " ... " + coCase.m_pszOutcome)) << coCase.m_pszOutcome;
        EXPECT_EQ(kwtest::ReadFileBytes(strOld), coCase.m_pszContent) << coCase.m_pszOutcome;
        size_t nEntries = 0;
        for (const auto& coEntry : std::filesystem::directory_iterator(At("dst/.hidden")))
            nEntries += coEntry.is_regular_file();
        EXPECT_EQ(nEntries, 1u) << "no temporary file stays";
        // An unchanged file still gets its source's rights.
        EXPECT_EQ(coOutput.Has("Assigning Rights " + Shown(".hidden/d.txt") + " ... ok"),
                  std::string(coCase.m_pszContent) != "old") << coCase.m_pszOutcome;
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, TooLittleFreeSpaceRefusesTheRunBeforeTheFirstByte)
{
    m_pcoFs->m_ullFree = 1000;
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Not enough free space on the target volume: 100007 bytes needed, 1000 free."));
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 16);
}

TEST_P(KwCopyEngineTest, FreeSpaceIsTheMostEverHeldInCopyOrderOfWhatIsReallyWritten)
{
    // f1 replaces an old f1, then f2 an old f2. One worker holds at most
    // one copy beside its old file; several may hold one each.
    const struct {
        size_t m_anSizes[4];            // f1, old f1, f2, old f2
        KwCopyOptions::Existing m_eExisting;
        uint64_t m_ullFree;
        long m_alNeeded[2];             // one worker, four
    } aCases[] = {
        { { 100, 10, 0, 200 }, KwCopyOptions::Overwrite, 99, { 100, 100 } },
        { { 100, 10, 0, 200 }, KwCopyOptions::Overwrite, 100, { 0, 0 } },
        { { 100, 10, 0, 200 }, KwCopyOptions::SkipExisting, 0, { 0, 0 } },      // nothing is written
        { { 100, 100, 100, 100 }, KwCopyOptions::Overwrite, 150, { 0, 200 } },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        std::filesystem::create_directories(At("dst"));
        for (int i = 0; i < 2; ++i) {
            const std::string strName = "f" + std::to_string(i + 1);
            kwtest::WriteFileBytes(At("src/Alpha/Gamma/" + strName), std::string(coCase.m_anSizes[2 * i], 'n'));
            kwtest::WriteFileBytes(At("dst/" + strName), std::string(coCase.m_anSizes[2 * i + 1], 'o'));
        }
        m_pcoEngine->SetFileNames({ At("src/Alpha/Gamma/f1"), At("src/Alpha/Gamma/f2") });
        m_pcoEngine->Options().m_eExisting = coCase.m_eExisting;
        m_pcoFs->m_ullFree = coCase.m_ullFree;
        const TOutput coOutput = Run();
        const long lNeeded = coCase.m_alNeeded[Workers() == 1 ? 0 : 1];
        EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), lNeeded ? 16 : coCase.m_ullFree ? 1 : 0) << coCase.m_ullFree;
        if (lNeeded) {
            EXPECT_TRUE(coOutput.Has("Not enough free space on the target volume: " + std::to_string(lNeeded)
                                     + " bytes needed, " + std::to_string(coCase.m_ullFree) + " free."))
                << coOutput.m_vecLines[0];
            EXPECT_EQ(kwtest::ReadFileBytes(At("dst/f1")), std::string(coCase.m_anSizes[1], 'o'));
        }
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, ACancelWhileGatheringMakesNothing)
{
    m_pcoFs->m_fnOnList = [this](const std::string& strPath) {
        if (strPath == At("src/Alpha"))
            m_pcoEngine->Cancel();
    };
    const TOutput coOutput = Run();
    EXPECT_EQ(coOutput.m_vecLines.at(0), "Gathering tree information ... Canceled by User");
    EXPECT_EQ(coOutput.m_vecLines.at(1), "Canceled by User");
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
    EXPECT_TRUE(m_pcoFs->m_vecCreated.empty());
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 8);
}

TEST_P(KwCopyEngineTest, InterruptedAtAnyStepNoFinalNameHoldsPartsAndNoEntryIsMoreOpenThanItsSource)
{
    // Every step of a run (each create, write, rename and rights call) is
    // watched, and the run is interrupted after each of them in turn. One
    // source's rights cannot be read, so its copy is made private.
    int nSteps = 0;
    for (int nStop = 0; nStop <= nSteps; ++nStop) {
        SetUp();
        m_pcoEngine->Options().m_ulPieceSize = 20000;
        m_pcoSecurity->m_coFaults.Add({ "GetOpen", "/src/a.txt", 0 });
        int nStep = 0;
        const kwtest::TStepHook fnStep = [&](const std::string& strCall, const std::string& strPath) {
            ExpectSafeTarget();
            if (++nStep == nStop)
                m_pcoEngine->Cancel();
        };
        m_pcoFs->m_fnAfter = fnStep;
        m_pcoSecurity->m_fnAfter = fnStep;
        const TOutput coOutput = Run();
        ExpectSafeTarget();
        ExpectNoTemporaryFiles();
        if (nStop == 0) {
            // The first run counts the steps, and copies everything.
            nSteps = nStep;
            EXPECT_GT(nSteps, 20);
            EXPECT_EQ(RightsOf("/dst/src/a.txt"), "PRIVATE");
            EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
        } else {
            EXPECT_TRUE(m_pcoEngine->GetSummary().m_nCanceled) << "stopped after step " << nStop;
        }
        TearDown();
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST_P(KwCopyEngineTest, AnEntryWhoseRightsCannotBeHadIsMadePrivateAndCountedFailed)
{
    const std::string strPrivate = "; it was made private to the copying account)";
    const struct {
        std::vector<TFault> m_vecFaults;
        std::string m_strLine;
        const char* m_pszEntry;         // the source whose copy is private, or made not at all
        bool m_bMade;
        bool m_bOpenRefused { false };  // the source cannot be opened for its rights: read by name
    } aCases[] = {
        { { { "GetOpen", "/src/a.txt", 0 } }, "Copying " + Shown("src/a.txt") + " ... failed ! (its rights cannot be read: error 5" + strPrivate, "src/a.txt", true },
        { { { "Get", "/src/a.txt", 0 } }, "Copying " + Shown("src/a.txt") + " ... failed ! (its rights cannot be read: error 5" + strPrivate, "src/a.txt", true, true },
        { { { "Get", "/src/Alpha", 0 } }, "Creating Directory " + Shown("src/Alpha") + " ... failed ! (its rights cannot be read: error 5" + strPrivate, "src/Alpha", true },
        { { { "Creator", "/src/Alpha/b.txt" } }, "Copying " + Shown("src/Alpha/b.txt") + " ... failed ! (its rights cannot be prepared for the copy" + strPrivate, "src/Alpha/b.txt", true },
        { { { "GetOpen", "/src/a.txt", 0 }, { "Private", "" } }, "Copying " + Shown("src/a.txt") + " ... failed ! (its rights cannot be read: error 5, and it cannot be made private)", "src/a.txt", false },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        for (const TFault& coFault : coCase.m_vecFaults)
            m_pcoSecurity->m_coFaults.Add(coFault);
        if (coCase.m_bOpenRefused)
            m_pcoFs->m_coFaults.Add({ "OpenRights", "/src/a.txt" });
        const TOutput coOutput = Run();
        EXPECT_TRUE(coOutput.Has(coCase.m_strLine)) << coCase.m_strLine;
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 1) << coCase.m_strLine;
        const std::string strCopy = At("dst/" + std::string(coCase.m_pszEntry));
        EXPECT_EQ(std::filesystem::exists(strCopy), coCase.m_bMade) << coCase.m_strLine;
        // Never the target directory's rights, never another entry's.
        for (const std::string& strCreated : m_pcoFs->m_vecCreated)
            EXPECT_TRUE(strCreated == "/dst inherited" || strCreated.find("inherited") == std::string::npos) << strCreated;
        if (coCase.m_bMade && std::string(coCase.m_pszEntry) != "src/Alpha/b.txt") {
            EXPECT_EQ(RightsOf("/dst/" + std::string(coCase.m_pszEntry)), "PRIVATE");
        }
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, AFilesRightsAreReadThroughTheSourceItOpensAndByNameOnlyWhereItIsNotOpenedForThem)
{
    const std::vector<std::string> vecDirectories = { "Get /src 14", "Get /src/.hidden 14", "Get /src/Alpha 14",
                                                      "Get /src/Alpha/Gamma 14" };
    const struct {
        bool m_bRefused;                // a.txt cannot be opened for its rights
        bool m_bUnchanged;              // a.txt's copy is there already, the same: not opened at all
        const char* m_pszOutcome;
    } aCases[] = { { false, false, "ok" }, { true, false, "ok" }, { false, true, "skipped (same)" } };
    for (const auto& coCase : aCases) {
        SetUp();
        if (coCase.m_bRefused)
            m_pcoFs->m_coFaults.Add({ "OpenRights", "/src/a.txt" });
        if (coCase.m_bUnchanged) {
            std::filesystem::create_directories(At("dst/src"));
            kwtest::WriteFileBytes(At("dst/src/a.txt"), "aaa");
            // Whole seconds: what every file system keeps exactly.
            const auto coTime = std::chrono::time_point_cast<std::chrono::seconds>(std::filesystem::last_write_time(At("src/a.txt")));
            for (const char* pszFile : { "src/a.txt", "dst/src/a.txt" })
                std::filesystem::last_write_time(At(pszFile), coTime);
        }
        const TOutput coOutput = Run();
        const bool bByName = coCase.m_bRefused || coCase.m_bUnchanged;
        std::vector<std::string> vecByName = vecDirectories;
        if (bByName)
            vecByName.push_back("Get /src/a.txt 14");
        std::vector<std::string> vecGets = Calls("Get");
        std::sort(vecGets.begin(), vecGets.end());
        EXPECT_EQ(vecGets, vecByName) << coCase.m_pszOutcome;
        // Each file read once through its source; c.bin's descriptor is
        // longer than the first buffer, so it is asked for twice.
        std::set<std::string> coThroughSource;
        for (const std::string& strCall : Calls("GetOpen"))
            coThroughSource.insert(strCall);
        std::set<std::string> coExpected = { "GetOpen /src/.hidden/d.txt 14", "GetOpen /src/Alpha/b.txt 14",
                                             "GetOpen /src/Alpha/Gamma/c.bin 14" };
        if (!bByName)
            coExpected.insert("GetOpen /src/a.txt 14");
        EXPECT_EQ(coThroughSource, coExpected) << coCase.m_pszOutcome;
        EXPECT_EQ(Calls("GetOpen").size(), coExpected.size() + 1) << coCase.m_pszOutcome;
        EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/a.txt") + " ... " + coCase.m_pszOutcome)) << coCase.m_pszOutcome;
        // Created with what was read, whichever way.
        if (!coCase.m_bUnchanged) {
            EXPECT_EQ(m_pcoFs->m_coRights["/dst/src/a.txt"], "C+SD(/src/a.txt)");
        }
        EXPECT_TRUE(coOutput.Has("Assigning Rights " + Shown("src/a.txt") + " ... ok")) << coCase.m_pszOutcome;
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 0) << coCase.m_pszOutcome;
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, TwoSelectedFilesOfOneNameAreRefusedBeforeAnythingIsWritten)
{
    kwtest::WriteFileBytes(At("src/Alpha/Gamma/a.txt"), "other a");
    // The same file named twice is one file.
    m_pcoEngine->SetFileNames({ At("src/a.txt"), At("src/Alpha/Gamma/a.txt"), At("src/a.txt") });
    const TOutput coOutput = Run();
    ASSERT_EQ(coOutput.m_vecLines.size(), 2u);
    EXPECT_EQ(coOutput.m_vecLines[0], "Refused: \"" + At("src/a.txt") + "\" and \"" + At("src/Alpha/Gamma/a.txt")
                                          + "\" would both be copied to \"" + At("dst/a.txt") + "\".");
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 16);
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
}

TEST_P(KwCopyEngineTest, AnEncryptedFileIsCopiedIntoATargetEncryptedFromItsFirstByteOrNotAtAll)
{
    for (bool bEncryptable : { true, false }) {
        SetUp();
        m_pcoFs->m_coEncrypted.insert("/src/a.txt");
        m_pcoFs->m_bEncryptable = bEncryptable;
        const TOutput coOutput = Run();
        int nEncrypted = 0;
        for (const std::string& strCreated : m_pcoFs->m_vecCreated)
            nEncrypted += strCreated.rfind("/dst/src/~gdl", 0) == 0 && strCreated.find(" encrypted") != std::string::npos;
        EXPECT_EQ(nEncrypted, 1) << "asked for once, and only for a.txt";
        if (bEncryptable) {
            EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/a.txt") + " ... ok"));
            EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/a.txt")), "aaa");
        } else {
            EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/a.txt") + " ... skipped (encrypted, not copied: error 6000)"));
            EXPECT_FALSE(std::filesystem::exists(At("dst/src/a.txt")));
            EXPECT_EQ(m_pcoEngine->GetSummary().m_lSkipped, 1);
        }
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, NamedStreamsAreCopiedAndVerifiedWithTheirFileOrTheFileIsNotCopied)
{
    const std::map<std::string, std::string> coStreams = { { ":s1:$DATA", "one" }, { ":s2:$DATA", Pattern(50000) } };
    const struct {
        TFault m_coFault;
        std::string m_strLine;
    } aCases[] = {
        { {}, "Copying " + Shown("src/a.txt") + " ... ok" },
        { { "WriteStream", "/dst/src/~gdl*" }, "Copying " + Shown("src/a.txt") + " ... failed ! (the stream \":s1:$DATA\" cannot be copied: the target cannot be written: error 5)" },
        { { "ReadStream", "/src/a.txt:s2:$DATA", 2 }, "Copying " + Shown("src/a.txt") + " ... failed ! (the stream \":s2:$DATA\" cannot be copied: the source cannot be read: error 5)" },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoFs->m_coStreams["/src/a.txt"] = coStreams;
        m_pcoFs->m_coFaults.Add(coCase.m_coFault);
        m_pcoEngine->Options().m_nVerify = 1;
        m_pcoEngine->Options().m_ulPieceSize = 20000;
        const TOutput coOutput = Run();
        EXPECT_TRUE(coOutput.Has(coCase.m_strLine)) << coCase.m_strLine;
        const bool bCopied = coCase.m_coFault.m_strCall.empty();
        EXPECT_EQ(std::filesystem::exists(At("dst/src/a.txt")), bCopied);
        EXPECT_EQ(m_pcoFs->m_coWrittenStreams["/dst/src/a.txt"] == coStreams, bCopied);
        ExpectNoTemporaryFiles();
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, UpdatingACopyWhoseDirectoryShutsTheCopyingAccountOutOpensItForTheRun)
{
    Run();
    // The copy's Alpha now has its source's exact rights, which let the
    // copying account make nothing in it.
    m_pcoFs->m_coLocked = { "/dst/src/Alpha" };
    m_pcoFs->m_pcoSetRights = &m_pcoSecurity->m_coSet;
    kwtest::WriteFileBytes(At("src/Alpha/b.txt"), "changed");
#if !defined(_WIN32)
    std::filesystem::permissions(At("dst/src/Alpha"), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
#endif
    m_pcoSecurity->m_vecCalls.clear();
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/Alpha/b.txt") + " ... ok"));
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/b.txt")), "changed");
    std::vector<std::string> vecAlpha;
    for (const std::string& strCall : Calls("Set"))
        if (strCall.rfind("Set /dst/src/Alpha 14", 0) == 0)
            vecAlpha.push_back(strCall);
    EXPECT_EQ(vecAlpha, std::vector<std::string>({ "Set /dst/src/Alpha 14 C+SD(/src/Alpha)", "Set /dst/src/Alpha 14 SD(/src/Alpha)" }));
#if !defined(_WIN32)
    EXPECT_EQ(std::count(m_pcoFs->m_vecCreated.begin(), m_pcoFs->m_vecCreated.end(), "/dst/src/Alpha writable"), 1);
#endif
    EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 0);
}

TEST_P(KwCopyEngineTest, UpdatingACopyWithoutRightsOpensADirectoryThatShutsTheCopyingAccountOutForTheRunOnly)
{
    // No rights are copied, so the copy's Alpha keeps its own, which let
    // the copying account make nothing in it: they get its access for the
    // run and come back as they were at the end.
    const std::string strAlpha = "Creating Directory " + Shown("src/Alpha") + " ... ";
    const std::string strB = "Copying " + Shown("src/Alpha/b.txt") + " ... ";
    const struct {
        TFault m_coFault;
        std::string m_strLine;
        long m_lFailed;                 // when Alpha stays shut: itself, b.txt, Gamma and c.bin
        const char* m_pszContent;
    } aCases[] = {
        { {}, strB + "ok", 0, "changed" },
        { { "Set", "/dst/src/Alpha", 1 }, strAlpha + "failed ! (it lets the copying account make nothing in it, "
                                               "and it cannot be opened for the copy: error 5)", 4, "bb" },
        { { "Opened", "" }, strAlpha + "failed ! (it lets the copying account make nothing in it, "
                                       "and it cannot be opened for the copy: error 5)", 4, "bb" },
        { { "Set", "/dst/src/Alpha", 2 }, "Restoring Rights " + Shown("src/Alpha") + " ... failed ! (error 5)", 1, "changed" },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoEngine->Options().m_eSecurity = KwCopyOptions::SecurityNone;
        Run();
        m_pcoFs->m_coLocked = { "/dst/src/Alpha" };
        m_pcoFs->m_pcoSetRights = &m_pcoSecurity->m_coSet;
        m_pcoSecurity->m_coShutOut = { "/dst/src/Alpha" };
        m_pcoSecurity->m_coFaults.Add(coCase.m_coFault);
        kwtest::WriteFileBytes(At("src/Alpha/b.txt"), "changed");
        const TOutput coOutput = Run();
        EXPECT_TRUE(coOutput.Has(coCase.m_strLine)) << coCase.m_strLine;
        EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/b.txt")), coCase.m_pszContent) << coCase.m_strLine;
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, coCase.m_lFailed) << coCase.m_strLine;
        // Only its DACL, only the directory that needed it, and back.
        if (coCase.m_coFault.m_strCall.empty()) {
            EXPECT_EQ(Calls("Set"), std::vector<std::string>({ "Set /dst/src/Alpha 4 C+SD(/dst/src/Alpha)",
                                                               "Set /dst/src/Alpha 4 SD(/dst/src/Alpha)" }));
            EXPECT_EQ(m_pcoSecurity->m_coSet["/dst/src/Alpha"], "SD(/dst/src/Alpha)");
        }
        TearDown();
    }
}

TEST_P(KwCopyEngineTest, LeftoversOfAnInterruptedRunAreRemovedUnlessAnotherRunHoldsThem)
{
    Run();
    const std::string strLeft = At("dst/src/Alpha/~gdl0000abcd.tmp");
    const std::string strHeld = At("dst/src/Alpha/~gdl0000abce.tmp");
    const std::string strOthers[] = { At("dst/src/Alpha/~gdl0000abcz.tmp"), At("dst/src/Alpha/~gdl0000abcd.tmp.txt") };
    kwtest::WriteFileBytes(strLeft, "part");
    for (const std::string& strOther : strOthers)
        kwtest::WriteFileBytes(strOther, "not a copy's");
    // Held as a running copy holds it.
    KwCopyError coError;
    std::unique_ptr<KwCopyStream> pcoHeld = KwCopyFileSystem::Platform().CreateTarget(strHeld, nullptr, 0, coError);
    ASSERT_TRUE(pcoHeld);
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Removing Leftover " + Shown("src/Alpha/~gdl0000abcd.tmp") + " ... ok"));
    EXPECT_TRUE(coOutput.Has("Removing Leftover " + Shown("src/Alpha/~gdl0000abce.tmp") + " ... skipped (another run is writing it)"));
    EXPECT_FALSE(std::filesystem::exists(strLeft));
    EXPECT_TRUE(std::filesystem::exists(strHeld));
    for (const std::string& strOther : strOthers)
        EXPECT_EQ(kwtest::ReadFileBytes(strOther), "not a copy's");
    pcoHeld->Abandon();
}

TEST_P(KwCopyEngineTest, ASelectionGoesStraightIntoTheTargetAndAMissingFileFails)
{
    m_pcoEngine->SetFileNames({ At("src/a.txt"), At("src/Alpha/b.txt"), At("src/gone.txt") });
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Copying a.txt ... ok"));
    EXPECT_TRUE(coOutput.Has("Copying b.txt ... ok"));
    EXPECT_EQ(coOutput.Count("Copying gone.txt ... failed ! (it cannot be found: "), 1);
    // Backwards, with one worker.
    std::vector<std::string> vecSets = Calls("Set");
    std::vector<std::string> vecExpected = { "Set /dst/b.txt 14 SD(/src/Alpha/b.txt)", "Set /dst/a.txt 14 SD(/src/a.txt)" };
    if (Workers() > 1) {
        std::sort(vecSets.begin(), vecSets.end());
        std::sort(vecExpected.begin(), vecExpected.end());
    }
    EXPECT_EQ(vecSets, vecExpected);
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/b.txt")), "bb");
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
}

TEST_P(KwCopyEngineTest, ListingOnlyChangesNothing)
{
    m_pcoEngine->Options().m_nListOnly = 1;
    const TOutput coOutput = Run();
    EXPECT_EQ(coOutput.Count("Copying "), 4);
    EXPECT_EQ(coOutput.Count("Assigning Rights "), 8);
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/a.txt") + " ... listed"));
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
    EXPECT_TRUE(Calls("Set").empty());
}

TEST(KwCopyEngineNames, OnlyReparsePointsThatNameAnotherEntryAreLinks)
{
    const struct {
        uint32_t m_ulAttributes;
        uint32_t m_ulTag;
        KwCopyStat::Kind m_eKind;
    } aCases[] = {
        { 0x20, 0, KwCopyStat::File },
        { 0x10, 0, KwCopyStat::Directory },
        { 0x410, 0xA0000003, KwCopyStat::DirectoryLink },     // a junction or mount point
        { 0x410, 0xA000000C, KwCopyStat::DirectoryLink },     // a symbolic link
        { 0x410, 0x9000601A, KwCopyStat::Directory },         // a cloud-files folder
        { 0x410, 0x80000013, KwCopyStat::Directory },         // deduplicated
        { 0x410, 0, KwCopyStat::DirectoryLink },              // unknown (Wine's links)
        { 0x420, 0xA000000C, KwCopyStat::File },              // a link to a file: copied as the file
    };
    for (const auto& coCase : aCases)
        EXPECT_EQ(KwCopyStat::KindOf(coCase.m_ulAttributes, coCase.m_ulTag), coCase.m_eKind) << std::hex << coCase.m_ulTag;
}

TEST(KwCopyEngineNames, PatternsMatchWholeCharactersAsTheFileSystemComparesNames)
{
    const bool bWindows = KwCopyFileSystem::Platform().Separator() == '\\';
    const struct {
        const char* m_pszPattern;
        const char* m_pszName;
        bool m_bMatches;
    } aCases[] = {
        { "*.txt", "a.txt", true },
        { "*.txt", "a.txt.bak", false },
        { "?.txt", u8"\u65e5.txt", true },               // one character of three bytes
        { "??.txt", u8"\u65e5.txt", false },
        { "???.txt", u8"\u65e5\u672c\u8a9e.txt", true },
        { "a*b*c", "aXbYbZc", true },
        { "a*b*c", "aXbYc.d", false },
        { "*.*", "no-extension", true },
        { "abc", "abcd", false },
        { "*.TXT", "a.txt", bWindows },
        { u8"\u03a9*", u8"\u03c9mega", bWindows },
    };
    for (const auto& coCase : aCases)
        EXPECT_EQ(KwCopyFileSystem::Platform().MatchesPattern(coCase.m_pszPattern, coCase.m_pszName) == 1, coCase.m_bMatches)
            << coCase.m_pszPattern << " " << coCase.m_pszName;
}

#if defined(_WIN32)
TEST(KwCopyEngineNames, VolumeAndDevicePathsKeepTheirPrefix)
{
    KwCopyFileSystem& coFs = KwCopyFileSystem::Platform();
    const struct {
        const char* m_pszPath;
        const char* m_pszFull;
        size_t m_nRoot;
    } aCases[] = {
        { "\\\\?\\Volume{0123}\\dir\\sub\\", "\\\\?\\Volume{0123}\\dir\\sub", 17 },
        { "\\\\?\\Volume{0123}", "\\\\?\\Volume{0123}\\", 17 },
        { "\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy1\\x", "\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy1\\x", 48 },
        { "\\\\?\\C:\\a\\..\\b", "C:\\b", 3 },
        { "\\\\?\\UNC\\server\\share\\d", "\\\\server\\share\\d", 15 },
    };
    for (const auto& coCase : aCases) {
        std::string strFull;
        ASSERT_TRUE(coFs.FullPath(coCase.m_pszPath, strFull)) << coCase.m_pszPath;
        EXPECT_EQ(strFull, coCase.m_pszFull);
        EXPECT_EQ(coFs.RootLength(strFull), coCase.m_nRoot) << strFull;
        std::string strParent;
        std::string strName;
        ASSERT_TRUE(coFs.SplitLast(coFs.Join(strFull, "n"), strParent, strName)) << strFull;
        EXPECT_EQ(strParent, strFull);
    }
}
#endif

TEST(KwCopyEngineNames, DifferenceKeepsTheTailFromTheLastSharedComponent)
{
    const char chSep = KwCopyFileSystem::Platform().Separator();
    const struct {
        const char* m_pszPath;
        const char* m_pszBase;
        const char* m_pszTail;
    } aCases[] = {
        { "C:\\DATA\\PROJ\\SUB", "C:\\DATA\\PROJ", "|PROJ|SUB" },
        { "C:\\DATA\\PROJ", "C:\\DATA\\PROJ", "|PROJ" },
        { "C:\\data\\Proj\\Sub", "C:\\DATA\\OTHER", "|data|Proj|Sub" },
        { "C:\\", "C:\\DATA", "" },
        { "C:\\x", "D:\\y", "|x" },
    };
    for (const auto& coCase : aCases) {
        std::string strTail = coCase.m_pszTail;
        std::replace(strTail.begin(), strTail.end(), '|', chSep);
        EXPECT_EQ(std::string(KwCopyEngine::Difference(coCase.m_pszPath, coCase.m_pszBase)), strTail) << coCase.m_pszPath;
    }
}
