// End-to-end runs of bootstrap.exe whose temporary directory lands outside
// the scratch area: in C:\TEMP or in the root of drive c.

#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD s_ulRunTimeoutMs = 60000;

std::vector<TBootEnv> DriveEnv(const TBootScratch& coScratch, const std::string& coTemp)
{
    return {
        { "TEMP", coTemp },
        { "TMP", "", true },
        { "PLVBOOT_TEST_LOG", coScratch.Path("boot.log") },
        { "PLVBOOT_PLATFORM", "", true },
        { "FAKE_ARCHIVE_LOG", coScratch.Path("archive.log") },
        { "FAKE_ARCHIVE_PAYLOAD", coScratch.Payload() },
        { "FAKE_ARCHIVE_TALK_MS", "500" },
        { "FAKE_ARCHIVE_SILENT_MS", "0" },
        { "FAKE_ARCHIVE_LINK", "", true },
        { "FAKE_SETUP_LOG", coScratch.Path("setup.log") },
        { "FAKE_SETUP_SNAPSHOT", coScratch.Path("snapshot") },
    };
}

// The name the bootstrap will take below coBase: the first ~PLVnnnn.TMP
// that does not exist or is an empty directory.
std::string FirstFreeName(const std::string& coBase)
{
    for (int n = 0; n < 10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof(szName), "~PLV%04d.TMP", n);
        std::string coPath = coBase + szName;
        if (!BootExists(coPath) || (BootIsDirectory(coPath) && BootListDir(coPath).empty()))
            return coPath;
    }
    return std::string();
}

std::vector<std::string> Messages(const TBootScratch& coScratch)
{
    std::vector<std::string> coTexts;
    for (const auto& coEntry : BootReadTestLog(coScratch.Path("boot.log"))) {
        if (coEntry.first == "message")
            coTexts.push_back(coEntry.second);
    }
    return coTexts;
}

// A whole run whose temporary directory is expected at coTempDir.
void RunAndExpectDirectory(TBootScratch& coScratch, const std::string& coTemp, const std::string& coTempDir)
{
    coScratch.MakeMedium("[Installation]\r\n");
    ASSERT_FALSE(BootExists(coTempDir) && !BootListDir(coTempDir).empty());
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), DriveEnv(coScratch, coTemp), s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_TRUE(Messages(coScratch).empty());
    auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    EXPECT_EQ(coArchive["cmdline"], "_plvrt_.exe -x -y -gbrimlost " + coTempDir + "\\");
    auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
    EXPECT_EQ(coSetup["cmdline"],
              coTempDir + "\\plvsetup.exe 482913 1 plvsetup.plv 10 StProject " + coScratch.Medium());
    EXPECT_EQ(coSetup["cwd"], coTempDir);
    EXPECT_EQ(coSetup["window"], "hidden");
    EXPECT_EQ(BootIniValue(coScratch.Path("snapshot") + "\\setup.ini", "TempDir"), coTempDir);
    EXPECT_FALSE(BootExists(coTempDir));
}

} // namespace

TEST(BootstrapDriveTest, TempWithATrailingSemicolonIsUsed)
{
    TBootScratch coScratch("ctemp");
    bool bMadeTemp = !BootExists("C:\\TEMP");
    BootMakeDirs("C:\\TEMP");
    std::vector<std::string> coBefore = BootListDir("C:\\TEMP");
    RunAndExpectDirectory(coScratch, "C:\\TEMP;", FirstFreeName("C:\\TEMP\\"));
    std::vector<std::string> coAfter = BootListDir("C:\\TEMP");
    if (bMadeTemp)
        BootRemoveAll("C:\\TEMP");
    EXPECT_EQ(coAfter, coBefore);
}

TEST(BootstrapDriveTest, ARelativeTempIsNeverUsed)
{
    TBootScratch coScratch("relative");
    // Were the relative value used, it would name this directory.
    BootMakeDirs(coScratch.Medium() + "\\temp");
    RunAndExpectDirectory(coScratch, "temp", FirstFreeName("c:\\"));
    EXPECT_TRUE(BootListDir(coScratch.Medium() + "\\temp").empty());
}

// Start-ups that stop at the missing setup.ini, right after the temporary
// directory has been made, show where it went.
TEST(BootstrapDriveTest, UnusableTempValuesFallBackToTheFirstDriveWithSpace)
{
    TBootScratch coScratch("choice");
    BootWriteFile(coScratch.Path("afile"), "not a directory");
    struct TCase {
        const char* pszName;
        std::string coTemp;
        bool bTempUnset;
        std::string coTmp; // empty: TMP unset
        std::string coBase;
    };
    const TCase acoCases[] = {
        { "temp", coScratch.Temp(), false, "", coScratch.Temp() + "\\" },
        { "backslash", coScratch.Temp() + "\\", false, "", coScratch.Temp() + "\\" },
        { "tmp", "", true, coScratch.Temp() + ";", coScratch.Temp() + "\\" },
        { "tempovertmp", coScratch.Path("missing"), false, coScratch.Temp(), "c:\\" },
        { "missing", coScratch.Path("missing"), false, "", "c:\\" },
        { "file", coScratch.Path("afile"), false, "", "c:\\" },
        { "notready", "N:\\temp", false, "", "c:\\" },
        { "twochars", "C:", false, "", "c:\\" },
        { "slash", "C:/TEMP", false, "", "c:\\" },
        { "semicolons", ";;;", false, "", "c:\\" },
        { "toolong", "C:\\" + std::string(600, 'x'), false, "", "c:\\" },
        { "neither", "", true, "", "c:\\" },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        DeleteFileA(coScratch.Path("boot.log").c_str());
        std::string coExpected = FirstFreeName(coCase.coBase);
        bool bExisted = BootExists(coExpected);
        std::vector<TBootEnv> coEnv = DriveEnv(coScratch, coCase.coTemp);
        coEnv[0].bUnset = coCase.bTempUnset;
        coEnv[1] = { "TMP", coCase.coTmp, coCase.coTmp.empty() };
        TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
        ASSERT_FALSE(coRun.bTimedOut);
        EXPECT_EQ(coRun.ulExitCode, 1u);
        EXPECT_EQ(Messages(coScratch), (std::vector<std::string> { "Plover Runtime\tCould not copy information "
                                                                   "file!\n\nSetup is not complete!\n\nThe "
                                                                   "program will exit now!" }));
        EXPECT_TRUE(BootIsDirectory(coExpected)) << coExpected;
        if (!bExisted)
            RemoveDirectoryA(coExpected.c_str());
    }
}
