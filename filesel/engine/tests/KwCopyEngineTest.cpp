#include "KwCopyRunTest.h"

#include <gtest/gtest.h>

#include <algorithm>

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

class KwCopyEngineTest : public TCopyRunTest {
};

TEST_F(KwCopyEngineTest, CopiesTheTreeInPreOrderAndGivesRightsBackwardsWithTheSourcesOwnBytes)
{
    const TOutput coOutput = Run();
    std::vector<std::string> vecExpected = { "Gathering tree information ... ok" };
    for (const std::string& strEntry : kTree)
        vecExpected.push_back((IsDirectory(strEntry) ? "Creating Directory " : "Copying ") + Shown(strEntry) + " ... ok");
    for (auto it = kTree.rbegin(); it != kTree.rend(); ++it)
        vecExpected.push_back("Assigning Rights " + Shown(*it) + " ... ok");
    vecExpected.push_back("Ready. ");
    ASSERT_EQ(coOutput.m_vecLines.size(), vecExpected.size() + 1);
    EXPECT_TRUE(std::equal(vecExpected.begin(), vecExpected.end(), coOutput.m_vecLines.begin()));
    EXPECT_EQ(coOutput.m_vecLines.back().rfind("Directories: 4, files: 4, bytes: 100007, copied: 8, skipped: 0, failed: 0", 0), 0u);
    EXPECT_EQ(coOutput.m_vecPercents.back(), 100);

    // Each entry is created with its source's descriptor (plus the copying
    // account's access), a file under a temporary name beside its own, and
    // later given exactly its source's descriptor, contents before their
    // directory.
    std::vector<std::string> vecSets;
    for (size_t i = 0; i < kTree.size(); ++i) {
        const std::string strMade = IsDirectory(kTree[i]) ? kTree[i] : kTree[i].substr(0, kTree[i].rfind('/') + 1) + "~tmp";
        EXPECT_EQ(WithoutTemporaryName(m_pcoFs->m_vecCreated.at(i + 1)),
                  "/dst/" + strMade + " C+" + kwtest::TRecordingSecurity::DescriptorOf("/" + kTree[i]));
        vecSets.insert(vecSets.begin(), "Set /dst/" + kTree[i] + " 14 SD(/" + kTree[i] + ")");
    }
    EXPECT_EQ(m_pcoFs->m_vecCreated.front(), "/dst inherited");
    EXPECT_EQ(Calls("Set"), vecSets);
    for (const std::string& strEntry : kTree)
        if (!IsDirectory(strEntry)) {
            EXPECT_EQ(kwtest::ReadFileBytes(At("dst/" + strEntry)), kwtest::ReadFileBytes(At(strEntry))) << strEntry;
        }
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 1);
}

TEST_F(KwCopyEngineTest, PrivilegesAreEnabledBeforeTheRunAndDisabledAfterIt)
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

TEST_F(KwCopyEngineTest, MissingPrivilegesNarrowTheRightsCopiedAndAreSaidOnce)
{
    const struct {
        std::set<std::string> m_coNotHeld;
        int m_nOwner;
        const char* m_pszInformation;
        int m_nWarnings;
    } aCases[] = {
        { { "SeSecurityPrivilege" }, 0, " 6", 1 },              // group and DACL without the SACL
        { {}, 1, " 15", 0 },                                    // the owner too
        { { "SeRestorePrivilege" }, 1, " 14", 1 },
        { { "SeSecurityPrivilege", "SeRestorePrivilege" }, 1, " 6", 2 },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoSecurity->m_coNotHeld = coCase.m_coNotHeld;
        m_pcoEngine->Options().m_nOwner = coCase.m_nOwner;
        const TOutput coOutput = Run();
        EXPECT_EQ(coOutput.Count("Without Se"), coCase.m_nWarnings);
        for (const std::string& strCall : m_pcoSecurity->m_vecCalls)
            if (strCall.rfind("Get ", 0) == 0 || strCall.rfind("Set ", 0) == 0) {
                EXPECT_NE(strCall.find(coCase.m_pszInformation), std::string::npos) << strCall;
            }
        EXPECT_EQ(coOutput.Count("Assigning Rights "), 8);
        EXPECT_EQ(m_pcoEngine->GetSummary().m_lFailed, 0);
        TearDown();
    }
}

TEST_F(KwCopyEngineTest, OnlyAVolumeKnownToKeepNoRightsTurnsTheRightsPassOffWithOneLine)
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

TEST_F(KwCopyEngineTest, AFailureAtAnyStepIsReportedOnItsLineCountedAndTheRunGoesOn)
{
    const struct {
        bool m_bSecurity;
        TFault m_coFault;
        std::string m_strLine;
        long m_lFailed;
    } aCases[] = {
        { true, { "Get", "/src/Alpha/b.txt", 0 }, "Assigning Rights " + Shown("src/Alpha/b.txt") + " ... failed ! (the source's rights could not be read)", 1 },
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
        for (const auto& coEntry : std::filesystem::recursive_directory_iterator(At("dst"))) {
            EXPECT_FALSE(KwFileTransfer::IsTemporaryName(coEntry.path().filename().string())) << coEntry.path();
        }
        if (coCase.m_coFault.m_strCall == "Read" || coCase.m_coFault.m_strCall == "Commit") {
            EXPECT_FALSE(std::filesystem::exists(At("dst" + coCase.m_coFault.m_strPath.substr(coCase.m_coFault.m_strPath.find("/src")))));
        }
        TearDown();
    }
}

TEST_F(KwCopyEngineTest, CancelBetweenPiecesRemovesThePartialFileAndStillGivesRightsToWhatExists)
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
    EXPECT_EQ(coOutput.Count("Assigning Rights "), 7);
    EXPECT_EQ(Calls("Set").front(), "Set /dst/src/Alpha/Gamma 14 SD(/src/Alpha/Gamma)");
    EXPECT_EQ(coOutput.m_vecLines.end()[-2], "Canceled by User");
    EXPECT_LT(coOutput.m_vecPercents.back(), 100);
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
}

TEST_F(KwCopyEngineTest, ACopyIntoItsOwnSourceIsRefusedBeforeAnythingIsWritten)
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
#endif
    for (const std::string& strTarget : { At("src/Alpha"), m_dir, strOther.empty() ? std::string() : strOther + CrtPathSeparator() + "Alpha" }) {
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
}

TEST_F(KwCopyEngineTest, ADirectoryMetAgainUnderAnotherNameIsNotCopiedTwice)
{
    m_pcoFs->m_coSameAs["/src/Alpha/Gamma"] = "/src";
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Creating Directory " + Shown("src/Alpha/Gamma") + " ... skipped (it leads back to a directory copied already)"));
    EXPECT_EQ(coOutput.Count("Copying " + Shown("src/Alpha/Gamma/")), 0);
    EXPECT_FALSE(std::filesystem::exists(At("dst/src/Alpha/Gamma")));
    EXPECT_EQ(m_pcoEngine->GetSummary().m_lSkipped, 1);
}

TEST_F(KwCopyEngineTest, ExistingTargetsAreReplacedWholeOrKeptByTheRules)
{
    const struct {
        KwCopyOptions::Existing m_eExisting;
        int m_nTargetNewer;
        bool m_bFailWrite;
        const char* m_pszOutcome;
        const char* m_pszContent;
    } aCases[] = {
        { KwCopyOptions::Overwrite, 1, false, "ok", "dd" },
        { KwCopyOptions::Overwrite, 0, true, "failed ! (the target cannot be written: error 5)", "old" },
        { KwCopyOptions::SkipExisting, 0, false, "skipped (the target exists)", "old" },
        { KwCopyOptions::SkipNewer, 1, false, "skipped (the target is newer)", "old" },
        { KwCopyOptions::SkipNewer, 0, false, "ok", "dd" },
    };
    for (const auto& coCase : aCases) {
        SetUp();
        m_pcoEngine->SetPathFrom(At("src/.hidden").c_str());       // a small tree: itself and d.txt
        std::filesystem::create_directories(At("dst/.hidden"));
        const std::string strOld = At("dst/.hidden/d.txt");
        kwtest::WriteFileBytes(strOld, "old");
        std::filesystem::last_write_time(strOld, std::filesystem::last_write_time(At("src/.hidden/d.txt"))
                                                     + std::chrono::hours(coCase.m_nTargetNewer ? 1 : -1));
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
        TearDown();
    }
}

TEST_F(KwCopyEngineTest, TooLittleFreeSpaceRefusesTheRunBeforeTheFirstByte)
{
    m_pcoFs->m_ullFree = 1000;
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Not enough free space on the target volume: 100007 bytes needed, 1000 free."));
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 16);
}

TEST_F(KwCopyEngineTest, ASelectionGoesStraightIntoTheTargetAndAMissingFileFails)
{
    m_pcoEngine->SetFileNames({ At("src/a.txt"), At("src/Alpha/b.txt"), At("src/gone.txt") });
    const TOutput coOutput = Run();
    EXPECT_TRUE(coOutput.Has("Copying a.txt ... ok"));
    EXPECT_TRUE(coOutput.Has("Copying b.txt ... ok"));
    EXPECT_EQ(coOutput.Count("Copying gone.txt ... failed ! (it cannot be found: "), 1);
    EXPECT_EQ(Calls("Set"), std::vector<std::string>({ "Set /dst/b.txt 14 SD(/src/Alpha/b.txt)", "Set /dst/a.txt 14 SD(/src/a.txt)" }));
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/b.txt")), "bb");
    EXPECT_EQ(m_pcoEngine->GetSummary().ExitCode(), 9);
}

TEST_F(KwCopyEngineTest, ListingOnlyChangesNothing)
{
    m_pcoEngine->Options().m_nListOnly = 1;
    const TOutput coOutput = Run();
    EXPECT_EQ(coOutput.Count("Copying "), 4);
    EXPECT_EQ(coOutput.Count("Assigning Rights "), 8);
    EXPECT_TRUE(coOutput.Has("Copying " + Shown("src/a.txt") + " ... listed"));
    EXPECT_FALSE(std::filesystem::exists(At("dst")));
    EXPECT_TRUE(Calls("Set").empty());
}

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
