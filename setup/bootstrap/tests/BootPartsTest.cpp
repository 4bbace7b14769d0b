// The bootstrap's parts run inside the test program: bounded texts,
// settings, the choice and removal of the temporary directory, the start-up
// steps with failures put in through the program's seams, command lines and
// progress marks.

#include "BootTestSupport.h"
#include "FakeCommon.h"
#include "TBootSettings.h"
#include "TBootTempDir.h"
#include "TBootText.h"
#include "TBootstrap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A bootstrap whose message boxes are recorded and whose version query,
// profile writes and directory creation can be made to fail.
class TTestBootstrap : public TBootstrap {
public:
    std::vector<std::string> m_coMessages; // caption, tab, text
    int m_nVersionOk { 1 };
    DWORD m_ulPlatform { kWindowsNT };
    int m_nFailWriteNumber { 0 };          // 1-based; 0: no write fails
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
        if (++m_nWrites == m_nFailWriteNumber)
            return 0;
        return TBootstrap::WriteIniKey(pszKey, pszValue, pszIniFile);
    }
    int MakeDirectory(const char* pszPath) override
    {
        return m_nFailMakeDirectory ? 0 : TBootstrap::MakeDirectory(pszPath);
    }
};

// Changes an environment variable of the test process for one scope.
class TEnvScope {
public:
    TEnvScope(const char* pszName, const char* pszValue) : m_coName(pszName)
    {
        char szOld[4096];
        DWORD nLength = GetEnvironmentVariableA(pszName, szOld, sizeof(szOld));
        m_bHad = nLength > 0 && nLength < sizeof(szOld);
        if (m_bHad)
            m_coOld = szOld;
        SetEnvironmentVariableA(pszName, pszValue);
    }
    ~TEnvScope() { SetEnvironmentVariableA(m_coName.c_str(), m_bHad ? m_coOld.c_str() : nullptr); }

private:
    std::string m_coName;
    std::string m_coOld;
    bool m_bHad { false };
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

const char s_szUpdate1[] = "Setup Message\tSetup could not update the initialization file (1)!\n\n"
                           "The program will exit now!";
const char s_szUpdate2[] = "Setup Message\tSetup could not update the initialization file (2)!\n\n"
                           "The program will exit now!";

// Takes a bootstrap through its first steps in the scratch medium with
// TEMP pointing at the scratch temp directory.
void StartUp(TTestBootstrap& coBoot, const TBootScratch& coScratch)
{
    TCurrentDirScope coDir(coScratch.Medium());
    TEnvScope coTemp("TEMP", coScratch.Temp().c_str());
    ASSERT_EQ(coBoot.CheckPlatform(), 1);
    ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
    ASSERT_EQ(coBoot.ReadSettings(), 1);
    ASSERT_EQ(coBoot.PrepareTempDirectory(), 1);
}

} // namespace

TEST(BootPartsTest, TextsThatDoNotFitAreRefusedWhole)
{
    char szSmall[8];
    EXPECT_EQ(BootCopy(szSmall, sizeof(szSmall), "1234567"), 1);
    EXPECT_STREQ(szSmall, "1234567");
    EXPECT_EQ(BootCopy(szSmall, sizeof(szSmall), "12345678"), 0);
    EXPECT_STREQ(szSmall, "");
    EXPECT_EQ(BootCopy(szSmall, 0, "x"), 0);

    BootCopy(szSmall, sizeof(szSmall), "abc");
    EXPECT_EQ(BootAppend(szSmall, sizeof(szSmall), "defg"), 1);
    EXPECT_STREQ(szSmall, "abcdefg");
    EXPECT_EQ(BootAppend(szSmall, sizeof(szSmall), "h"), 0);
    EXPECT_STREQ(szSmall, "");
    // A target without its end inside the buffer is not read past it.
    memset(szSmall, 'z', sizeof(szSmall));
    EXPECT_EQ(BootAppend(szSmall, sizeof(szSmall), ""), 0);
    EXPECT_STREQ(szSmall, "");

    EXPECT_EQ(BootFormat(szSmall, sizeof(szSmall), "%s-%d", "ab", 1234), 1);
    EXPECT_STREQ(szSmall, "ab-1234");
    EXPECT_EQ(BootFormat(szSmall, sizeof(szSmall), "%s-%d", "ab", 12345), 0);
    EXPECT_STREQ(szSmall, "");

    char szPath[32];
    struct TJoin {
        const char* pszDir;
        const char* pszName;
        const char* pszResult;
    };
    const TJoin acoJoins[] = {
        { "C:\\dir", "file", "C:\\dir\\file" },
        { "C:\\", "file", "C:\\file" },
        { "C:", "file", "C:\\file" },
        { "", "file", "\\file" },
    };
    for (const TJoin& coJoin : acoJoins) {
        EXPECT_EQ(BootJoin(szPath, sizeof(szPath), coJoin.pszDir, coJoin.pszName), 1);
        EXPECT_STREQ(szPath, coJoin.pszResult);
    }
    EXPECT_EQ(BootJoin(szPath, sizeof(szPath), "C:\\a-rather-long-directory-name", "file"), 0);
}

TEST(BootPartsTest, SettingsHaveDefaultsLimitsAndACompletedProjectName)
{
    TBootScratch coScratch("settings");
    std::string coIni = coScratch.Path("setup.ini");
    struct TCase {
        const char* pszName;
        std::string coBody;      // empty: no file
        TBootSettings::EReadResult eResult;
        int nPeekTimeOut;
        std::string coResource;
        std::string coClass;
        int nNeedSpace;
    };
    const std::string coMax(512, 'A');
    const std::string coMaxLower(512, 'a');
    const TCase acoCases[] = {
        { "nofile", "", TBootSettings::kReadOk, 10, "plvsetup.plv", "StProject", 1 },
        { "nosection", "[Other]\r\nPeekTimeOut=3\r\n", TBootSettings::kReadOk, 10, "plvsetup.plv", "StProject", 1 },
        { "values", "[Installation]\r\nPeekTimeOut=3\r\nCustomClass=MyClass\r\nNeedSpaceMBTemp=25\r\n",
          TBootSettings::kReadOk, 3, "plvsetup.plv", "MyClass", 25 },
        { "nodot", "[Installation]\r\nSetupResource=Data\r\n", TBootSettings::kReadOk, 10, "data.plv", "StProject", 1 },
        { "upper", "[Installation]\r\nSetupResource=MyProj.PLV\r\n", TBootSettings::kReadOk, 10, "myproj.plv",
          "StProject", 1 },
        { "otherext", "[Installation]\r\nSetupResource=Setup.Dat\r\n", TBootSettings::kReadOk, 10, "setup.dat",
          "StProject", 1 },
        { "empty", "[Installation]\r\nSetupResource=\r\n", TBootSettings::kReadOk, 10, ".plv", "StProject", 1 },
        { "max", "[Installation]\r\nSetupResource=" + coMax + "\r\nCustomClass=" + std::string(128, 'C') + "\r\n",
          TBootSettings::kReadOk, 10, coMaxLower + ".plv", std::string(128, 'C'), 1 },
        { "maxdot", "[Installation]\r\nSetupResource=" + coMax.substr(4) + ".PLV\r\n", TBootSettings::kReadOk, 10,
          coMaxLower.substr(4) + ".plv", "StProject", 1 },
        { "longresource", "[Installation]\r\nSetupResource=" + coMax + "x\r\n", TBootSettings::kBadResource, 10, "",
          "StProject", 1 },
        { "path", "[Installation]\r\nSetupResource=..\\setup\r\n", TBootSettings::kBadResource, 10, "", "StProject",
          1 },
        { "slash", "[Installation]\r\nSetupResource=sub/setup.plv\r\n", TBootSettings::kBadResource, 10, "",
          "StProject", 1 },
        { "drive", "[Installation]\r\nSetupResource=C:setup.plv\r\n", TBootSettings::kBadResource, 10, "",
          "StProject", 1 },
        { "longclass", "[Installation]\r\nCustomClass=" + std::string(129, 'C') + "\r\n",
          TBootSettings::kCustomClassTooLong, 10, "plvsetup.plv", "", 1 },
        { "negative", "[Installation]\r\nNeedSpaceMBTemp=-4\r\nPeekTimeOut=0\r\n", TBootSettings::kReadOk, 0,
          "plvsetup.plv", "StProject", -4 },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        DeleteFileA(coIni.c_str());
        if (!coCase.coBody.empty())
            BootWriteFile(coIni, coCase.coBody);
        TBootSettings coSettings;
        EXPECT_EQ(coSettings.Read(coIni.c_str()), coCase.eResult);
        EXPECT_EQ(coSettings.GetPeekTimeOut(), coCase.nPeekTimeOut);
        EXPECT_EQ(coSettings.GetSetupResource(), coCase.coResource);
        EXPECT_EQ(coSettings.GetCustomClass(), coCase.coClass);
        EXPECT_EQ(coSettings.GetNeedSpaceMBTemp(), coCase.nNeedSpace);
    }
}

TEST(BootPartsTest, TheEnvironmentCandidateAndItsChecks)
{
    TBootScratch coScratch("candidate");
    char szValue[TBootTempDir::kMaxBase + 1];
    struct TCase {
        const char* pszName;
        std::string coTemp;
        bool bTempSet;
        const char* pszTmp; // null: unset
        int nFound;
        std::string coValue;
    };
    const std::string coLong = "C:\\" + std::string(TBootTempDir::kMaxBase - 3, 'x');
    const TCase acoCases[] = {
        { "temp", "C:\\TEMP;;", true, "D:\\TMP", 1, "C:\\TEMP" },
        { "tmp", "", false, "D:\\TMP;", 1, "D:\\TMP" },
        { "neither", "", false, nullptr, 0, "" },
        { "emptytemp", "", true, "D:\\TMP", 0, "" },
        { "onlysemicolons", ";;", true, nullptr, 1, "" },
        { "longest", coLong, true, nullptr, 1, coLong },
        { "toolong", coLong + "y", true, "D:\\TMP", 0, "" },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        TEnvScope coTemp("TEMP", coCase.bTempSet ? coCase.coTemp.c_str() : nullptr);
        TEnvScope coTmp("TMP", coCase.pszTmp);
        EXPECT_EQ(TBootTempDir::EnvironmentCandidate(szValue, sizeof(szValue)), coCase.nFound);
        EXPECT_EQ(std::string(szValue), coCase.coValue);
    }

    BootWriteFile(coScratch.Path("afile"), "x");
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coScratch.Temp().c_str(), 1), 1);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coScratch.Path("missing").c_str(), 1), 0);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coScratch.Path("afile").c_str(), 1), 0);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate("C:", 1), 0);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate("C:/", 1), 0);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate("N:\\", 1), 0);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate("temp", 1), 0);
    // The free space decides, counted in units of 1,000,000 bytes.
    uint64_t ullFree = TBootTempDir::DriveFreeSpace(coScratch.Temp().c_str());
    ASSERT_GT(ullFree, 2000000u);
    int nAll = static_cast<int>(ullFree / 1000000u);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coScratch.Temp().c_str(), nAll), 1);
    EXPECT_EQ(TBootTempDir::IsUsableCandidate(coScratch.Temp().c_str(), nAll + 2), 0);
    EXPECT_EQ(TBootTempDir::DriveFreeSpace("N:\\"), 0u);
    EXPECT_EQ(TBootTempDir::DriveFreeSpace("relative"), 0u);
    EXPECT_EQ(TBootTempDir::NeededBytes(2000000000), 2000000000000000ull);
}

TEST(BootPartsTest, TheBaseIsTempOrTheFirstDriveWithSpace)
{
    TBootScratch coScratch("base");
    char szBase[TBootTempDir::kBaseSize];
    {
        TEnvScope coTemp("TEMP", (coScratch.Temp() + ";").c_str());
        ASSERT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 1), 1);
        EXPECT_EQ(std::string(szBase), coScratch.Temp() + "\\");
    }
    {
        TEnvScope coTemp("TEMP", "relative");
        ASSERT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 1), 1);
        EXPECT_STREQ(szBase, "c:\\");
    }
    {
        TEnvScope coTemp("TEMP", coScratch.Temp().c_str());
        EXPECT_EQ(TBootTempDir::ChooseBase(szBase, sizeof(szBase), 2000000000), 0);
        // A base that does not fit the caller's buffer is refused.
        EXPECT_EQ(TBootTempDir::ChooseBase(szBase, 8, 1), 0);
    }
}

TEST(BootPartsTest, TheFirstFreeOrEmptyNameIsPicked)
{
    TBootScratch coScratch("names");
    const std::string coBase = coScratch.Temp() + "\\";
    char szDir[TBootTempDir::kDirSize];
    ASSERT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), coBase.c_str()), 1);
    EXPECT_EQ(std::string(szDir), coBase + "~PLV0000.TMP");

    // In use: a directory with entries, a file of that name.
    BootMakeDirs(coBase + "~PLV0000.TMP");
    BootWriteFile(coBase + "~PLV0000.TMP\\busy", "x");
    BootWriteFile(coBase + "~PLV0001.TMP", "a file");
    BootMakeDirs(coBase + "~PLV0002.TMP\\sub");
    BootMakeDirs(coBase + "~PLV0003.TMP");
    ASSERT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), coBase.c_str()), 1);
    EXPECT_EQ(std::string(szDir), coBase + "~PLV0003.TMP");
    // The empty directory was removed to be made afresh; the others stay.
    EXPECT_FALSE(BootExists(coBase + "~PLV0003.TMP"));
    EXPECT_EQ(BootReadFile(coBase + "~PLV0000.TMP\\busy"), "x");
    EXPECT_EQ(BootReadFile(coBase + "~PLV0001.TMP"), "a file");
    EXPECT_TRUE(BootIsDirectory(coBase + "~PLV0002.TMP\\sub"));

    // A base longer than any the choice gives has no name that fits.
    std::string coLong(TBootTempDir::kBaseSize, 'x');
    EXPECT_EQ(TBootTempDir::PickName(szDir, sizeof(szDir), (coLong + "\\").c_str()), 0);
    EXPECT_STREQ(szDir, "");
}

TEST(BootPartsTest, RemovingTheTreeTakesEverythingButNeverFollowsALink)
{
    TBootScratch coScratch("tree");
    const std::string coTree = coScratch.Temp() + "\\~PLV0000.TMP";
    BootMakeDirs(coTree + "\\a\\b\\c");
    BootWriteFile(coTree + "\\top.txt", "top");
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
    int nInside = TBootTempDir::RemoveTree(coTree.c_str());
    int nLinked = TBootTempDir::RemoveTree(coLinkedTree.c_str());
    EXPECT_EQ(BootListDir(coScratch.Outside()), (std::vector<std::string> { "keep.txt" }));
    EXPECT_EQ(BootReadFile(coScratch.Outside() + "\\keep.txt"), "outside the bootstrap's reach\r\n");
    EXPECT_FALSE(BootExists(coTree + "\\sub\\file.txt"));
    if (BootIsWine()) {
        // Wine cannot remove a Unix link to a directory; it stays, and so
        // do the directories holding it.
        EXPECT_EQ(nInside, 0);
        EXPECT_EQ(nLinked, 0);
        EXPECT_EQ(BootListDir(coTree), (std::vector<std::string> { "sub" }));
        EXPECT_EQ(BootListDir(coTree + "\\sub"), (std::vector<std::string> { "outlink" }));
    } else {
        EXPECT_EQ(nInside, 1);
        EXPECT_EQ(nLinked, 1);
        EXPECT_FALSE(BootExists(coTree));
        EXPECT_FALSE(BootExists(coLinkedTree));
    }
}

TEST(BootPartsTest, OnlyWindows95AndWindowsNTAreAccepted)
{
    struct TCase {
        int nVersionOk;
        DWORD ulPlatform;
        int nResult;
        const char* pszMessage;
    };
    const char* pszNoVersion = "Setup Message\tSetup could not recognize the operating system version!\n\n"
                               "The program will exit now!";
    const char* pszWrong = "Setup Message\tThis installation program can only be run on\nWindows NT or Windows 95."
                           "\n\nThe program will exit now!";
    const TCase acoCases[] = {
        { 0, 2, 0, pszNoVersion }, { 1, 0, 0, pszWrong }, { 1, 1, 1, nullptr },
        { 1, 2, 1, nullptr },      { 1, 3, 0, pszWrong },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.ulPlatform);
        TTestBootstrap coBoot;
        coBoot.m_nVersionOk = coCase.nVersionOk;
        coBoot.m_ulPlatform = coCase.ulPlatform;
        EXPECT_EQ(coBoot.CheckPlatform(), coCase.nResult);
        if (coCase.pszMessage) {
            EXPECT_EQ(coBoot.m_coMessages, (std::vector<std::string> { coCase.pszMessage }));
        } else {
            EXPECT_TRUE(coBoot.m_coMessages.empty());
            EXPECT_EQ(coBoot.GetPlatform(), coCase.ulPlatform);
        }
    }
}

TEST(BootPartsTest, TheStartDirectoryLosesItsTrailingBackslash)
{
    TBootScratch coScratch("startdir");
    {
        TTestBootstrap coBoot;
        TCurrentDirScope coDir(coScratch.Medium() + "\\");
        ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
        EXPECT_EQ(std::string(coBoot.GetStartDir()), coScratch.Medium());
    }
    {
        TTestBootstrap coBoot;
        TCurrentDirScope coDir("C:\\");
        ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
        EXPECT_STREQ(coBoot.GetStartDir(), "C:");
    }
}

TEST(BootPartsTest, TemporaryDirectoryFailuresHaveTheirMessages)
{
    TBootScratch coScratch("tempfail");
    TCurrentDirScope coDir(coScratch.Medium());
    TEnvScope coTemp("TEMP", coScratch.Temp().c_str());
    {
        TTestBootstrap coBoot;
        coBoot.m_nFailMakeDirectory = 1;
        ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
        ASSERT_EQ(coBoot.ReadSettings(), 1);
        EXPECT_EQ(coBoot.PrepareTempDirectory(), 0);
        EXPECT_EQ(coBoot.IsTempDirCreated(), 0);
        EXPECT_EQ(coBoot.m_coMessages, (std::vector<std::string> { "Plover Runtime\tCould not create temporary "
                                                                   "directory!\n\nSetup program will exit now!" }));
    }
    {
        // Every name from ~PLV0000.TMP to ~PLV9999.TMP is in use.
        BootFillAllTempNames(coScratch.Temp());
        ASSERT_TRUE(BootExists(coScratch.Temp() + "\\~PLV9999.TMP"));
        TTestBootstrap coBoot;
        ASSERT_EQ(coBoot.TakeStartDirectory(), 1);
        ASSERT_EQ(coBoot.ReadSettings(), 1);
        EXPECT_EQ(coBoot.PrepareTempDirectory(), 0);
        EXPECT_EQ(coBoot.m_coMessages,
                  (std::vector<std::string> { "Plover Runtime\tInternal Setup Error <107>!\n\nPlease contact your "
                                              "provider.\n\nThe program will exit now!" }));
    }
}

TEST(BootPartsTest, TheInformationFileIsCopiedByteForByteAndUpdated)
{
    TBootScratch coScratch("inicopy");
    // More than one read of the copy loop, with bytes that text handling
    // would change.
    std::string coIni = "[Installation]\r\nPeekTimeOut=4\r\n;";
    for (int n = 0; n < 70000; ++n)
        coIni += static_cast<char>(n % 251 == 0 ? '\0' : 'a' + n % 26);
    coIni += "\r\n[Other]\nKey=Value\n";
    BootWriteFile(coScratch.Medium() + "\\setup.ini", coIni);
    TTestBootstrap coBoot;
    ASSERT_NO_FATAL_FAILURE(StartUp(coBoot, coScratch));
    std::string coCopy = std::string(coBoot.GetTempDir()) + "\\setup.ini";
    ASSERT_EQ(coBoot.CopyInformationFile(), 1);
    EXPECT_EQ(BootReadFile(coCopy), coIni);
    ASSERT_EQ(coBoot.UpdateInformationFile(), 1);
    EXPECT_EQ(BootIniValue(coCopy, "TempDir"), coBoot.GetTempDir());
    EXPECT_EQ(BootIniValue(coCopy, "SetupSourcePath"), coScratch.Medium());
    EXPECT_EQ(BootIniValue(coCopy, "PeekTimeOut"), "4");
    EXPECT_EQ(BootReadFile(coScratch.Medium() + "\\setup.ini"), coIni);
    EXPECT_TRUE(coBoot.m_coMessages.empty());

    // A second copy truncates what the first one wrote.
    BootWriteFile(coScratch.Medium() + "\\setup.ini", "[Installation]\r\n");
    ASSERT_EQ(coBoot.CopyInformationFile(), 1);
    EXPECT_EQ(BootReadFile(coCopy), "[Installation]\r\n");
}

TEST(BootPartsTest, EachFailedFileStepHasItsMessage)
{
    struct TCase {
        const char* pszName;
        int nFailWrite;
        bool bIni;
        bool bProject;
        int nCopyIni, nUpdate, nCopyProject;
        const char* pszMessage;
    };
    const TCase acoCases[] = {
        { "write1", 1, true, true, 1, 0, -1, s_szUpdate1 },
        { "write2", 2, true, true, 1, 0, -1, s_szUpdate2 },
        { "allwell", 0, true, true, 1, 1, 1, nullptr },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        TBootScratch coScratch(coCase.pszName);
        if (coCase.bIni)
            BootWriteFile(coScratch.Medium() + "\\setup.ini", "[Installation]\r\n");
        if (coCase.bProject)
            BootWriteFile(coScratch.Medium() + "\\plvsetup.plv", "project");
        TTestBootstrap coBoot;
        coBoot.m_nFailWriteNumber = coCase.nFailWrite;
        ASSERT_NO_FATAL_FAILURE(StartUp(coBoot, coScratch));
        EXPECT_EQ(coBoot.CopyInformationFile(), coCase.nCopyIni);
        if (coCase.nUpdate >= 0) {
            EXPECT_EQ(coBoot.UpdateInformationFile(), coCase.nUpdate);
        }
        if (coCase.nCopyProject >= 0) {
            EXPECT_EQ(coBoot.CopyProjectFile(), coCase.nCopyProject);
        }
        if (coCase.pszMessage) {
            EXPECT_EQ(coBoot.m_coMessages, (std::vector<std::string> { coCase.pszMessage }));
        } else {
            EXPECT_TRUE(coBoot.m_coMessages.empty());
        }
        if (coCase.nCopyProject == 1) {
            EXPECT_EQ(BootReadFile(std::string(coBoot.GetTempDir()) + "\\plvsetup.plv"), "project");
        }
    }
}

TEST(BootPartsTest, CommandLinesAreExactAndBounded)
{
    TBootScratch coScratch("lines");
    const std::string coClass(128, 'K');
    BootWriteFile(coScratch.Medium() + "\\setup.ini", "[Installation]\r\nPeekTimeOut=-3\r\nSetupResource="
                                                          + std::string(512, 'R') + "\r\nCustomClass=" + coClass
                                                          + "\r\nNeedSpaceMBTemp=7\r\n");
    TTestBootstrap coBoot;
    ASSERT_NO_FATAL_FAILURE(StartUp(coBoot, coScratch));
    const std::string coTempDir = coScratch.Temp() + "\\~PLV0000.TMP";
    ASSERT_EQ(std::string(coBoot.GetTempDir()), coTempDir);

    char szLine[TBootstrap::kCommandLineSize];
    ASSERT_EQ(coBoot.MakeArchiveCommandLine(szLine, sizeof(szLine)), 1);
    const std::string coArchive = "_plvrt_.exe -x -y -gbrimlost " + coTempDir + "\\";
    EXPECT_EQ(std::string(szLine), coArchive);
    ASSERT_EQ(coBoot.MakeSetupCommandLine(szLine, sizeof(szLine)), 1);
    const std::string coSetup = coTempDir + "\\plvsetup.exe 482913 7 " + std::string(512, 'r') + ".plv -3 "
                                + coClass + " " + coScratch.Medium();
    EXPECT_EQ(std::string(szLine), coSetup);

    // Lines one character too long for the buffer are refused.
    std::vector<char> coExact(coSetup.size() + 1);
    EXPECT_EQ(coBoot.MakeSetupCommandLine(coExact.data(), coExact.size()), 1);
    EXPECT_EQ(coBoot.MakeSetupCommandLine(coExact.data(), coExact.size() - 1), 0);
    EXPECT_STREQ(coExact.data(), "");
    EXPECT_EQ(coBoot.MakeArchiveCommandLine(szLine, coArchive.size()), 0);
}

TEST(BootPartsTest, ProgressMarksStartAgainAfterTheirLimit)
{
    TTestBootstrap coBoot;
    char szText[TBootstrap::kMaxProgress + 1];
    coBoot.GetProgressText(szText, sizeof(szText));
    EXPECT_STREQ(szText, "");
    for (size_t n = 0; n < TBootstrap::kMaxProgress; ++n)
        coBoot.AppendProgressMark();
    coBoot.GetProgressText(szText, sizeof(szText));
    EXPECT_EQ(std::string(szText), std::string(TBootstrap::kMaxProgress, '+'));
    coBoot.AppendProgressMark();
    coBoot.GetProgressText(szText, sizeof(szText));
    EXPECT_STREQ(szText, "+");
    // A reader's buffer that is too small gets nothing rather than a part.
    char szSmall[1];
    coBoot.AppendProgressMark();
    coBoot.GetProgressText(szSmall, sizeof(szSmall));
    EXPECT_STREQ(szSmall, "");
}
