// The bootstrap's parts run inside the test program: bounded texts,
// settings, the choice and removal of the temporary directory, the start-up
// steps with failures put in through the program's seams, command lines and
// progress marks.

#include "BootTestSupport.h"
#include "TBootSettings.h"
#include "TBootTempDir.h"
#include "TBootText.h"
#include "TBootstrap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

using TTexts = std::vector<std::string>;

// A bootstrap whose message boxes are recorded ("caption<tab>text") and
// whose version query, profile writes and directory creation can fail.
class TTestBootstrap : public TBootstrap {
public:
    TTexts m_coMessages;
    int m_nVersionOk { 1 };
    DWORD m_ulPlatform { kWindowsNT };
    int m_nFailWriteNumber { 0 }; // 1-based; 0: no write fails
    int m_nWrites { 0 };
    int m_nFailMakeDirectory { 0 };

protected:
    void ShowMessage(const char* pszText, const char* pszCaption) override
    {
        m_coMessages.push_back(std::string(pszCaption) + "\t" + pszText);
    }
    int QueryVersion(OSVERSIONINFOA& coInfo) override
    {
        coInfo.dwPlatformId = m_ulPlatform;
        return m_nVersionOk;
    }
    int WriteIniKey(const char* pszKey, const char* pszValue, const char* pszIniFile) override
    {
        return ++m_nWrites == m_nFailWriteNumber ? 0 : TBootstrap::WriteIniKey(pszKey, pszValue, pszIniFile);
    }
    int MakeDirectory(const char* pszPath) override
    {
        return m_nFailMakeDirectory ? 0 : TBootstrap::MakeDirectory(pszPath);
    }
};

const std::string s_coUnset = "<unset>";

// Sets an environment variable of the test process (s_coUnset removes it)
// for one scope.
class TEnvScope {
public:
    TEnvScope(const char* pszName, const std::string& coValue) : m_coName(pszName), m_coOld(s_coUnset)
    {
        char szOld[4096];
        DWORD nLength = GetEnvironmentVariableA(pszName, szOld, sizeof(szOld));
        if (nLength > 0 && nLength < sizeof(szOld))
            m_coOld = szOld;
        Set(coValue);
    }
    ~TEnvScope() { Set(m_coOld); }

private:
    void Set(const std::string& coValue) { SetEnvironmentVariableA(m_coName.c_str(), coValue == s_coUnset ? nullptr : coValue.c_str()); }
    std::string m_coName, m_coOld;
};

// Makes a directory the current one for one scope.
class TCurrentDirScope {
public:
    explicit TCurrentDirScope(const std::string& coDir)
    {
        GetCurrentDirectoryA(sizeof(m_szOld), m_szOld);
        SetCurrentDirectoryA(coDir.c_str());
    }
    ~TCurrentDirScope() { SetCurrentDirectoryA(m_szOld); }

private:
    char m_szOld[MAX_PATH] {};
};

// Takes a bootstrap through its first steps in the scratch medium with TEMP
// at the scratch temp directory; the answer of the last step.
int StartUp(TTestBootstrap& coBoot, const TBootScratch& coScratch)
{
    TCurrentDirScope coDir(coScratch.Medium());
    TEnvScope coTemp("TEMP", coScratch.Temp());
    EXPECT_EQ(coBoot.CheckPlatform() + coBoot.TakeStartDirectory() + coBoot.ReadSettings(), 3);
    return coBoot.PrepareTempDirectory();
}

} // namespace

TEST(BootPartsTest, TextsThatDoNotFitAreRefusedWhole)
{
    char sz[8];
    auto Result = [&](int nOk) { return std::to_string(nOk) + ":" + sz; };
    EXPECT_EQ(Result(BootCopy(sz, sizeof(sz), "1234567")), "1:1234567");
    EXPECT_EQ(Result(BootCopy(sz, sizeof(sz), "12345678")), "0:");
    EXPECT_EQ(BootCopy(sz, 0, "x"), 0);
    BootCopy(sz, sizeof(sz), "abc");
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "defg")), "1:abcdefg");
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "h")), "0:");
    // A target without its end inside the buffer is not read past it.
    memset(sz, 'z', sizeof(sz));
    EXPECT_EQ(Result(BootAppend(sz, sizeof(sz), "")), "0:");
    EXPECT_EQ(Result(BootFormat(sz, sizeof(sz), "%s-%d", "ab", 1234)), "1:ab-1234");
    EXPECT_EQ(Result(BootFormat(sz, sizeof(sz), "%s-%d", "ab", 12345)), "0:");

    char szPath[16];
    const char* const apszJoins[][3] = {
        { "C:\\dir", "file", "C:\\dir\\file" }, { "C:\\", "file", "C:\\file" }, { "C:", "file", "C:\\file" },
        { "", "file", "\\file" },               { "C:\\long-dir", "file", "" },
    };
    for (const auto& apszJoin : apszJoins) {
        EXPECT_EQ(BootJoin(szPath, sizeof(szPath), apszJoin[0], apszJoin[1]), apszJoin[2][0] != '\0');
        EXPECT_STREQ(szPath, apszJoin[2]);
    }
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
        { coSection + "NeedSpaceMBTemp=-4\r\nPeekTimeOut=0\r\n", "0|0|plvsetup.plv|StProject|-4" },
        { coSection + "SetupResource=Data\r\n", "0|10|data.plv|StProject|1" },
        { coSection + "SetupResource=MyProj.PLV\r\n", "0|10|myproj.plv|StProject|1" },
        { coSection + "SetupResource=Setup.Dat\r\n", "0|10|setup.dat|StProject|1" },
        { coSection + "SetupResource=\r\n", "0|10|.plv|StProject|1" },
        { coSection + "SetupResource=" + coMax + "\r\nCustomClass=" + coClass + "\r\n",
          "0|10|" + coMaxLower + ".plv|" + coClass + "|1" },
        { coSection + "SetupResource=" + coMax.substr(4) + ".PLV\r\n",
          "0|10|" + coMaxLower.substr(4) + ".plv|StProject|1" },
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
    struct TCase {
        std::string coTemp, coTmp, coBase;
    };
    const TCase acoCases[] = {
        { coTemp, s_coUnset, coTemp + "\\" },
        { coTemp + ";;", "D:\\TMP", coTemp + "\\" },
        { coTemp + "\\", s_coUnset, coTemp + "\\" },
        { s_coUnset, coTemp + ";", coTemp + "\\" },
        { coLongest, s_coUnset, coTemp + "\\" },
        { coLongest + ";", coTemp, coDrive },
        { "", coTemp, coDrive },
        { coScratch.Path("missing"), coTemp, coDrive },
        { coScratch.Path("afile"), s_coUnset, coDrive },
        { "N:\\temp", s_coUnset, coDrive },
        { "C:", s_coUnset, coDrive },
        { "C:/TEMP", s_coUnset, coDrive },
        { ";;;", s_coUnset, coDrive },
        { "temp", s_coUnset, coDrive },
        { s_coUnset, s_coUnset, coDrive },
    };
    char szBase[TBootTempDir::kBaseSize];
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.coTemp + " / " + coCase.coTmp);
        TEnvScope coTempScope("TEMP", coCase.coTemp);
        TEnvScope coTmpScope("TMP", coCase.coTmp);
        ASSERT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 1), 1);
        EXPECT_EQ(std::string(szBase), coCase.coBase);
    }
    TEnvScope coTempScope("TEMP", coTemp);
    EXPECT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 2000000000), 0);
    EXPECT_EQ(TBootTempDir::ChooseBase(szBase, 8, 1), 0);
    // The free space decides, counted in units of 1,000,000 bytes.
    uint64_t ullFree = TBootTempDir::DriveFreeSpace(coTemp.c_str());
    ASSERT_GT(ullFree, 2000000u);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coTemp.c_str(), static_cast<int>(ullFree / 1000000u)), 1);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coTemp.c_str(), static_cast<int>(ullFree / 1000000u) + 2), 0);
    EXPECT_EQ(TBootTempDir::DriveFreeSpace("N:\\") + TBootTempDir::DriveFreeSpace("relative"), 0u);
    EXPECT_EQ(TBootTempDir::NeededBytes(2000000000), 2000000000000000ull);
}

TEST(BootPartsTest, TheFirstFreeOrEmptyNameIsPicked)
{
    TBootScratch coScratch("names");
    const std::string coBase = coScratch.Temp() + "\\";
    char szDir[TBootTempDir::kDirSize];
    ASSERT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), coBase.c_str()), 1);
    EXPECT_EQ(std::string(szDir), coBase + "~PLV0000.TMP");
    // In use: a directory with a file, a file, a directory with a directory.
    // An empty directory is taken over: removed, to be made afresh.
    BootMakeDirs(coBase + "~PLV0000.TMP");
    BootWriteFile(coBase + "~PLV0000.TMP\\busy", "x");
    BootWriteFile(coBase + "~PLV0001.TMP", "a file");
    BootMakeDirs(coBase + "~PLV0002.TMP\\sub");
    BootMakeDirs(coBase + "~PLV0003.TMP");
    ASSERT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), coBase.c_str()), 1);
    EXPECT_EQ(std::string(szDir), coBase + "~PLV0003.TMP");
    EXPECT_EQ(BootListDir(coScratch.Temp()), (TTexts { "~PLV0000.TMP", "~PLV0001.TMP", "~PLV0002.TMP" }));
    EXPECT_EQ(BootReadFile(coBase + "~PLV0000.TMP\\busy") + BootReadFile(coBase + "~PLV0001.TMP"), "xa file");
    EXPECT_TRUE(BootIsDirectory(coBase + "~PLV0002.TMP\\sub"));
    // A base longer than any the choice gives has no name that fits.
    EXPECT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), (std::string(TBootTempDir::kBaseSize, 'x') + "\\").c_str()), 0);
    EXPECT_STREQ(szDir, "");
}

TEST(BootPartsTest, RemovingTheTreeTakesEverythingButNeverFollowsALink)
{
    TBootScratch coScratch("tree");
    const std::string coTree = coScratch.Temp() + "\\~PLV0000.TMP";
    BootMakeDirs(coTree + "\\a\\b\\c");
    BootWriteFile(coTree + "\\a\\b\\c\\deep.txt", "deep");
    BootWriteFile(coTree + "\\a\\locked.txt", "locked");
    SetFileAttributesA((coTree + "\\a\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    BootWriteFile(coTree + "\\a\\hidden.sys", "hidden");
    SetFileAttributesA((coTree + "\\a\\hidden.sys").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((coTree + "\\a\\b").c_str(), FILE_ATTRIBUTE_READONLY);
    for (int n = 0; n < 300; ++n)
        BootWriteFile(coTree + "\\a\\many" + std::to_string(n), "x");
    EXPECT_EQ(TBootTempDir::RemoveTree(coTree.c_str()), 1);
    EXPECT_FALSE(BootExists(coTree));
    EXPECT_EQ(TBootTempDir::RemoveTree(coTree.c_str()), 1); // nothing there: nothing to do

    // A link inside the tree, and a tree that is itself a link.
    BootMakeDirs(coTree + "\\sub");
    BootWriteFile(coTree + "\\sub\\file.txt", "inside");
    ASSERT_EQ(FakeMakeDirectoryLink((coTree + "\\sub\\outlink").c_str(), coScratch.Outside().c_str()), 1);
    const std::string coLinkedTree = coScratch.Temp() + "\\~PLV0001.TMP";
    ASSERT_EQ(FakeMakeDirectoryLink(coLinkedTree.c_str(), coScratch.Outside().c_str()), 1);
    EXPECT_NE(GetFileAttributesA((coTree + "\\sub\\outlink").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    int nRemoved = TBootTempDir::RemoveTree(coTree.c_str()) + TBootTempDir::RemoveTree(coLinkedTree.c_str());
    EXPECT_TRUE(coScratch.OutsideUntouched());
    // Wine cannot remove a Unix link to a directory; it stays, and so do
    // the directories holding it.
    const bool bWine = FakeIsWine();
    EXPECT_EQ(nRemoved, bWine ? 0 : 2);
    EXPECT_EQ(BootListDir(coTree + "\\sub"), bWine ? TTexts { "outlink" } : TTexts {});
    EXPECT_EQ(BootListDir(coScratch.Temp()), bWine ? (TTexts { "~PLV0000.TMP", "~PLV0001.TMP" }) : TTexts {});
}

TEST(BootPartsTest, OnlyWindows95AndWindowsNTAreAccepted)
{
    const std::string coExit = "\n\nThe program will exit now!";
    const std::string coWrong = "0|Setup Message\tThis installation program can only be run on\nWindows NT or Windows 95." + coExit;
    // The version query's answer, the platform; the result and the messages.
    const std::tuple<int, DWORD, std::string> acoCases[] = {
        { 0, 2, "0|Setup Message\tSetup could not recognize the operating system version!" + coExit },
        { 1, 0, coWrong }, { 1, 1, "1|" }, { 1, 2, "1|" }, { 1, 3, coWrong },
    };
    for (const auto& coCase : acoCases) {
        TTestBootstrap coBoot;
        coBoot.m_nVersionOk = std::get<0>(coCase);
        coBoot.m_ulPlatform = std::get<1>(coCase);
        std::string coResult = std::to_string(coBoot.CheckPlatform()) + "|";
        for (const std::string& coMessage : coBoot.m_coMessages)
            coResult += coMessage;
        EXPECT_EQ(coResult, std::get<2>(coCase));
    }
}

TEST(BootPartsTest, TheStartDirectoryLosesItsTrailingBackslash)
{
    TBootScratch coScratch("startdir");
    const std::pair<std::string, std::string> acoCases[] = { { coScratch.Medium() + "\\", coScratch.Medium() },
                                                             { "C:\\", "C:" } };
    for (const auto& coCase : acoCases) {
        TTestBootstrap coBoot;
        TCurrentDirScope coDir(coCase.first);
        ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
        EXPECT_EQ(std::string(coBoot.GetStartDir()), coCase.second);
    }
}

TEST(BootPartsTest, TemporaryDirectoryFailuresHaveTheirMessages)
{
    TBootScratch coScratch("tempfail");
    TTestBootstrap coBoot;
    coBoot.m_nFailMakeDirectory = 1;
    EXPECT_EQ(StartUp(coBoot, coScratch), 0);
    EXPECT_EQ(coBoot.IsTempDirCreated(), 0);
    EXPECT_EQ(coBoot.m_coMessages,
              TTexts { "Plover Runtime\tCould not create temporary directory!\n\nSetup program will exit now!" });
    // Every name from ~PLV0000.TMP to ~PLV9999.TMP is in use.
    BootFillAllTempNames(coScratch.Temp());
    ASSERT_TRUE(BootExists(coScratch.Temp() + "\\~PLV9999.TMP"));
    TTestBootstrap coFull;
    EXPECT_EQ(StartUp(coFull, coScratch), 0);
    EXPECT_EQ(coFull.m_coMessages, TTexts { "Plover Runtime\tInternal Setup Error <107>!\n\nPlease contact your "
                                            "provider.\n\nThe program will exit now!" });
}

TEST(BootPartsTest, TheInformationAndProjectFilesAreCopiedByteForByte)
{
    TBootScratch coScratch("inicopy");
    // More than one read of the copy loop, with bytes that text handling
    // would change.
    std::string coIni = "[Installation]\r\nPeekTimeOut=4\r\n;";
    for (int n = 0; n < 70000; ++n)
        coIni += static_cast<char>(n % 251 == 0 ? '\0' : 'a' + n % 26);
    coIni += "\r\n[Other]\nKey=Value\n";
    coScratch.MakeMedium(coIni, true, false);
    TTestBootstrap coBoot;
    ASSERT_EQ(StartUp(coBoot, coScratch), 1);
    const std::string coTempDir = coBoot.GetTempDir();
    const std::string coCopy = coTempDir + "\\setup.ini";
    ASSERT_EQ(coBoot.CopyInformationFile(), 1);
    EXPECT_TRUE(BootReadFile(coCopy) == coIni);
    ASSERT_EQ(coBoot.UpdateInformationFile() + coBoot.CopyProjectFile(), 2);
    EXPECT_TRUE(coBoot.m_coMessages.empty());
    EXPECT_EQ(BootReadFile(coTempDir + "\\plvsetup.plv"), BootReadFile(coScratch.Medium() + "\\plvsetup.plv"));
    EXPECT_EQ(BootIniValue(coCopy, "TempDir") + "|" + BootIniValue(coCopy, "SetupSourcePath") + "|"
                  + BootIniValue(coCopy, "PeekTimeOut"),
              coTempDir + "|" + coScratch.Medium() + "|4");
    EXPECT_TRUE(BootReadFile(coScratch.Medium() + "\\setup.ini") == coIni);
    // A second copy truncates what the first one wrote.
    BootWriteFile(coScratch.Medium() + "\\setup.ini", "[Installation]\r\n");
    ASSERT_EQ(coBoot.CopyInformationFile(), 1);
    EXPECT_EQ(BootReadFile(coCopy), "[Installation]\r\n");
}

TEST(BootPartsTest, AFailedUpdateOfTheInformationFileHasItsMessage)
{
    for (int nWrite : { 1, 2 }) {
        TBootScratch coScratch("update");
        coScratch.MakeMedium("[Installation]\r\n", true, false);
        TTestBootstrap coBoot;
        coBoot.m_nFailWriteNumber = nWrite;
        ASSERT_EQ(StartUp(coBoot, coScratch), 1);
        EXPECT_EQ(coBoot.CopyInformationFile(), 1);
        EXPECT_EQ(coBoot.UpdateInformationFile(), 0);
        EXPECT_EQ(coBoot.m_coMessages, TTexts { "Setup Message\tSetup could not update the initialization file ("
                                                + std::to_string(nWrite) + ")!\n\nThe program will exit now!" });
    }
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
    // A reader's buffer that is too small gets nothing rather than a part.
    coBoot.GetProgressText(szText, 1);
    EXPECT_STREQ(szText, "");
}
