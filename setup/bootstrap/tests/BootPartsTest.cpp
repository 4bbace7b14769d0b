// The bootstrap's parts inside the test program, with failures put in
// through the program's seams.

#include "BootTestSupport.h"
#include "TBootSettings.h"
#include "TBootTempDir.h"
#include "TBootText.h"
#include "TBootstrap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

// A bootstrap whose message boxes are recorded ("caption<tab>text") and
// whose version query, profile writes and directory creation can fail.
class TTestBootstrap : public TBootstrap {
public:
    TTexts m_coMessages;
    int m_nVersionOk { 1 };
    int m_nFailWriteNumber { 0 }; // counts down to the write that fails; 0: none fails
    int m_nFailMakeDirectory { 0 };

protected:
    void ShowMessage(const char* pszText, const char* pszCaption) override
    {
        m_coMessages.push_back(std::string(pszCaption) + "\t" + pszText);
    }
    int QueryVersion(OSVERSIONINFOA& coInfo) override
    {
        coInfo.dwPlatformId = kWindowsNT;
        return m_nVersionOk;
    }
    int WriteIniKey(const char* pszKey, const char* pszValue, const char* pszIniFile) override
    {
        return --m_nFailWriteNumber == 0 ? 0 : TBootstrap::WriteIniKey(pszKey, pszValue, pszIniFile);
    }
    int MakeDirectory(const char* pszPath) override
    {
        return m_nFailMakeDirectory ? 0 : TBootstrap::MakeDirectory(pszPath);
    }
};

// Takes a bootstrap through the start-up steps before the runtime archive,
// the window left out, started from the scratch medium with TEMP at the
// scratch temp directory; 1 when every step succeeded.
int StartUp(TTestBootstrap& coBoot, const TBootScratch& coScratch)
{
    const std::filesystem::path coOldDir = std::filesystem::current_path();
    std::filesystem::current_path(coScratch.Medium());
    TBootEnvScope coTemp("TEMP", coScratch.Temp());
    int nOk = coBoot.CheckPlatform() && coBoot.TakeStartDirectory() && coBoot.ReadSettings()
              && coBoot.PrepareTempDirectory() && coBoot.CopyInformationFile() && coBoot.UpdateInformationFile()
              && coBoot.CopyProjectFile();
    std::filesystem::current_path(coOldDir);
    return nOk;
}

} // namespace

TEST(BootPartsTest, TextsThatDoNotFitAreRefusedWhole)
{
    char sz[8];
    auto Result = [&](int nOk) { return std::to_string(nOk) + ":" + sz; };
    BootCopy(sz, sizeof(sz), "abc");
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "defg")), "1:abcdefg");
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "h")), "0:");
    // A target without its end inside the buffer is not read past it.
    memset(sz, 'z', sizeof(sz));
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "")), "0:");
    EXPECT_EQ(Result(BootJoin(sz, sizeof(sz), "C:\\", "ab")), "1:C:\\ab");
    EXPECT_EQ(Result(BootJoin(sz, sizeof(sz), "C:", "abcd")), "1:C:\\abcd");
    EXPECT_EQ(Result(BootJoin(sz, sizeof(sz), "C:\\", "abcde")), "0:");
}

TEST(BootPartsTest, SettingsHaveDefaultsLimitsAndACompletedProjectName)
{
    TBootScratch coScratch("settings");
    const std::string coIni = coScratch.Path("setup.ini");
    const std::string coMax(512, 'A'), coMaxLower(512, 'a'), coClass(128, 'C'), coSection = "[Installation]\r\n";
    const std::string coDefaults = "|10|plvsetup.plv|StProject|1";
    // Body ("" for no file), then result|PeekTimeOut|SetupResource|CustomClass|NeedSpaceMBTemp.
    const std::pair<std::string, std::string> acoCases[] = {
        { "", "0" + coDefaults },
        { "[Other]\r\nPeekTimeOut=3\r\n", "0" + coDefaults },
        { coSection + "PeekTimeOut=3\r\nCustomClass=MyClass\r\nNeedSpaceMBTemp=25\r\n", "0|3|plvsetup.plv|MyClass|25" },
        { coSection + "SetupResource=Data\r\n", "0|10|data.plv|StProject|1" },
        { coSection + "SetupResource=MyProj.PLV\r\n", "0|10|myproj.plv|StProject|1" },
        { coSection + "SetupResource=" + coMax + "\r\nCustomClass=" + coClass + "\r\n",
          "0|10|" + coMaxLower + ".plv|" + coClass + "|1" },
        { coSection + "SetupResource=" + coMax + "x\r\n", "103|10||StProject|1" },
        { coSection + "SetupResource=..\\setup\r\n", "103|10||StProject|1" },
        { coSection + "SetupResource=sub/setup.plv\r\n", "103|10||StProject|1" },
        { coSection + "SetupResource=C:setup.plv\r\n", "103|10||StProject|1" },
        { coSection + "CustomClass=" + coClass + "C\r\n", "104|10|plvsetup.plv||1" },
    };
    for (const auto& coCase : acoCases) {
        SCOPED_TRACE(coCase.first);
        DeleteFileA(coIni.c_str());
        if (!coCase.first.empty())
            BootWriteFile(coIni, coCase.first);
        TBootSettings coSettings;
        int nResult = coSettings.Read(coIni.c_str());
        EXPECT_EQ(std::to_string(nResult) + "|" + std::to_string(coSettings.GetPeekTimeOut()) + "|"
                      + coSettings.GetSetupResource() + "|" + coSettings.GetCustomClass() + "|"
                      + std::to_string(coSettings.GetNeedSpaceMBTemp()),
                  coCase.second);
    }
}

TEST(BootPartsTest, TheBaseIsAUsableTempOrTmpElseTheFirstDriveWithSpace)
{
    TBootScratch coScratch("base");
    BootWriteFile(coScratch.Path("afile"), "not a directory");
    const std::string coTemp = coScratch.Temp(), coDrive = "c:\\";
    // Exactly as many characters as are looked at, and one more.
    const std::string coLongest = coTemp + std::string(TBootTempDir::kMaxBase - coTemp.size(), ';');
    // TEMP, TMP, the base taken.
    const std::string acoCases[][3] = {
        { coTemp, kBootUnset, coTemp + "\\" },
        { coTemp + ";;", "D:\\TMP", coTemp + "\\" },
        { coTemp + "\\", kBootUnset, coTemp + "\\" },
        { kBootUnset, coTemp + ";", coTemp + "\\" },
        { coLongest, kBootUnset, coTemp + "\\" },
        { coLongest + ";", coTemp, coDrive },
        { "", coTemp, coDrive },
        { coScratch.Path("missing"), coTemp, coDrive },
        { coScratch.Path("afile"), kBootUnset, coDrive },
        { "C:", kBootUnset, coDrive },
        { "C:/TEMP", kBootUnset, coDrive },
        { ";;;", kBootUnset, coDrive },
        { "temp", kBootUnset, coDrive },
        { kBootUnset, kBootUnset, coDrive },
    };
    char szBase[TBootTempDir::kBaseSize];
    for (const auto& acoCase : acoCases) {
        SCOPED_TRACE(acoCase[0] + " / " + acoCase[1]);
        TBootEnvScope coTempScope("TEMP", acoCase[0]);
        TBootEnvScope coTmpScope("TMP", acoCase[1]);
        ASSERT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 1), 1);
        EXPECT_EQ(std::string(szBase), acoCase[2]);
    }
    // The free space decides, counted in units of 1,000,000 bytes.
    uint64_t ullFree = TBootTempDir::DriveFreeSpace(coTemp.c_str());
    ASSERT_GT(ullFree, 2000000u);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coTemp.c_str(), static_cast<int>(ullFree / 1000000u)), 1);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coTemp.c_str(), static_cast<int>(ullFree / 1000000u) + 2), 0);
}

TEST(BootPartsTest, TheFirstFreeOrEmptyNameIsTakenAndMadeAfresh)
{
    TBootScratch coScratch("names");
    coScratch.MakeMedium("[Installation]\r\n");
    // In use: a directory with a file, a file, a directory with a directory.
    // An empty directory left by an earlier run is taken over.
    const std::string coBase = coScratch.Temp() + "\\";
    std::filesystem::create_directories(coBase + "~PLV0002.TMP\\sub");
    std::filesystem::create_directories(coBase + "~PLV0000.TMP");
    std::filesystem::create_directories(coBase + "~PLV0003.TMP");
    BootWriteFile(coBase + "~PLV0000.TMP\\busy", "x");
    BootWriteFile(coBase + "~PLV0001.TMP", "a file");
    TTestBootstrap coBoot;
    ASSERT_EQ(StartUp(coBoot, coScratch), 1);
    EXPECT_EQ(std::string(coBoot.GetTempDir()), coBase + "~PLV0003.TMP");
    EXPECT_EQ(BootListDir(coBase + "~PLV0003.TMP"), (TTexts { "plvsetup.plv", "setup.ini" }));
    EXPECT_EQ(BootReadFile(coBase + "~PLV0000.TMP\\busy") + BootReadFile(coBase + "~PLV0001.TMP"), "xa file");
    EXPECT_EQ(BootListDir(coBase + "~PLV0002.TMP"), TTexts { "sub" });
}

TEST(BootPartsTest, RemovingTheTreeTakesEverythingButNeverFollowsALink)
{
    TBootScratch coScratch("tree");
    const std::string coTree = coScratch.Temp() + "\\~PLV0000.TMP", coOutside = coScratch.Medium();
    std::filesystem::create_directories(coTree + "\\a\\b\\c");
    BootWriteFile(coTree + "\\a\\b\\c\\deep.txt", "deep");
    BootWriteFile(coTree + "\\a\\locked.txt", "locked");
    SetFileAttributesA((coTree + "\\a\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((coTree + "\\a\\b").c_str(), FILE_ATTRIBUTE_READONLY);
    for (int n = 0; n < 300; ++n)
        BootWriteFile(coTree + "\\a\\many" + std::to_string(n), "x");
    EXPECT_EQ(TBootTempDir::RemoveTree(coTree.c_str()), 1);
    EXPECT_EQ(BootListDir(coScratch.Temp()), TTexts {});

    // A link inside the tree, and a tree that is itself a link.
    BootWriteFile(coOutside + "\\keep.txt", "outside");
    std::filesystem::create_directories(coTree);
    BootWriteFile(coTree + "\\file.txt", "inside");
    const std::string coLinkedTree = coScratch.Temp() + "\\~PLV0001.TMP";
    ASSERT_TRUE(BootMakeDirectoryLink(coTree + "\\outlink", coOutside));
    ASSERT_TRUE(BootMakeDirectoryLink(coLinkedTree, coOutside));
    EXPECT_NE(GetFileAttributesA((coTree + "\\outlink").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    int nRemoved = TBootTempDir::RemoveTree(coTree.c_str()) + TBootTempDir::RemoveTree(coLinkedTree.c_str());
    EXPECT_EQ(BootListDir(coOutside), TTexts { "keep.txt" });
    // Wine cannot remove a Unix link to a directory; it stays, and so do
    // the directories holding it.
    const bool bWine = BootIsWine();
    EXPECT_EQ(nRemoved, bWine ? 0 : 2);
    EXPECT_EQ(BootListDir(coTree), bWine ? TTexts { "outlink" } : TTexts {});
    EXPECT_EQ(BootListDir(coScratch.Temp()), bWine ? (TTexts { "~PLV0000.TMP", "~PLV0001.TMP" }) : TTexts {});
}

TEST(BootPartsTest, EachStartUpFailureShowsItsMessageAndStops)
{
    const std::string coExit = "\n\nThe program will exit now!";
    struct TCase {
        int nVersionOk, nFailMakeDirectory, nFailWriteNumber;
        bool bAllNamesInUse;
        std::string coOutcome; // the answer, then the messages
    };
    const TCase acoCases[] = {
        { 0, 0, 0, false, "0|Setup Message\tSetup could not recognize the operating system version!" + coExit },
        { 1, 0, 0, true, "0|Plover Runtime\tInternal Setup Error <107>!\n\nPlease contact your provider." + coExit },
        { 1, 1, 0, false, "0|Plover Runtime\tCould not create temporary directory!\n\nSetup program will exit now!" },
        { 1, 0, 1, false, "0|Setup Message\tSetup could not update the initialization file (1)!" + coExit },
        { 1, 0, 2, false, "0|Setup Message\tSetup could not update the initialization file (2)!" + coExit },
    };
    for (const TCase& coCase : acoCases) {
        TBootScratch coScratch("startup");
        coScratch.MakeMedium("[Installation]\r\n");
        if (coCase.bAllNamesInUse)
            BootFillAllTempNames(coScratch.Temp());
        TTestBootstrap coBoot;
        coBoot.m_nVersionOk = coCase.nVersionOk;
        coBoot.m_nFailMakeDirectory = coCase.nFailMakeDirectory;
        coBoot.m_nFailWriteNumber = coCase.nFailWriteNumber;
        std::string coOutcome = std::to_string(StartUp(coBoot, coScratch));
        for (const std::string& coMessage : coBoot.m_coMessages)
            coOutcome += "|" + coMessage;
        EXPECT_EQ(coOutcome, coCase.coOutcome);
    }
}

TEST(BootPartsTest, AStartDirectoryAtADriveRootLosesItsBackslash)
{
    const std::filesystem::path coOldDir = std::filesystem::current_path();
    std::filesystem::current_path("C:\\");
    TTestBootstrap coBoot;
    EXPECT_EQ(coBoot.TakeStartDirectory(), 1);
    std::filesystem::current_path(coOldDir);
    EXPECT_STREQ(coBoot.GetStartDir(), "C:");
}

TEST(BootPartsTest, TheInformationFileIsCopiedByteForByte)
{
    TBootScratch coScratch("copies");
    coScratch.MakeMedium("[Installation]\r\n");
    TTestBootstrap coBoot;
    ASSERT_EQ(StartUp(coBoot, coScratch), 1);
    // More than one read of the copy loop, with bytes that text handling
    // would change.
    std::string coIni = "[Installation]\r\n";
    for (int n = 0; n < 70000; ++n)
        coIni += static_cast<char>(n % 251 == 0 ? '\0' : 'a' + n % 26);
    BootWriteFile(coScratch.Medium() + "\\setup.ini", coIni);
    ASSERT_EQ(coBoot.CopyInformationFile(), 1);
    EXPECT_TRUE(BootReadFile(coBoot.GetTempDir() + std::string("\\setup.ini")) == coIni);
}

TEST(BootPartsTest, ProgressMarksStartAgainAfterTheirLimit)
{
    TTestBootstrap coBoot;
    char szText[TBootstrap::kMaxProgress + 1];
    for (size_t n = 0; n < TBootstrap::kMaxProgress; ++n)
        coBoot.AppendProgressMark();
    coBoot.GetProgressText(szText, sizeof(szText));
    EXPECT_EQ(std::string(szText), std::string(TBootstrap::kMaxProgress, '+'));
    coBoot.AppendProgressMark();
    coBoot.GetProgressText(szText, sizeof(szText));
    EXPECT_STREQ(szText, "+");
}
