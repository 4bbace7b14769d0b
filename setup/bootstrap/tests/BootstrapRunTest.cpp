// End-to-end runs of bootstrap.exe with the stand-in archive and setup
// program, each in a scratch directory of its own with its own TEMP.

#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr DWORD s_ulRunTimeoutMs = 60000;

// The environment of a run: TEMP and TMP point into the scratch area, the
// bootstrap writes its message boxes and paints into a test log, and the
// stand-ins know where to record and what to unpack.
std::vector<TBootEnv> RunEnv(const TBootScratch& coScratch)
{
    return {
        { "TEMP", coScratch.Temp() },
        { "TMP", coScratch.Temp() },
        { "PLVBOOT_TEST_LOG", coScratch.Path("boot.log") },
        { "PLVBOOT_PLATFORM", "", true },
        { "FAKE_ARCHIVE_LOG", coScratch.Path("archive.log") },
        { "FAKE_ARCHIVE_PAYLOAD", coScratch.Payload() },
        { "FAKE_ARCHIVE_TALK_MS", "2500" },
        { "FAKE_ARCHIVE_SILENT_MS", "0" },
        { "FAKE_ARCHIVE_LINK", "", true },
        { "FAKE_SETUP_LOG", coScratch.Path("setup.log") },
        { "FAKE_SETUP_SNAPSHOT", coScratch.Path("snapshot") },
    };
}

void SetEnv(std::vector<TBootEnv>& coEnv, const char* pszName, const std::string& coValue, bool bUnset = false)
{
    for (TBootEnv& coChange : coEnv) {
        if (coChange.coName == pszName) {
            coChange.coValue = coValue;
            coChange.bUnset = bUnset;
            return;
        }
    }
    coEnv.push_back({ pszName, coValue, bUnset });
}

std::vector<std::string> LogTexts(const TBootScratch& coScratch, const char* pszKind)
{
    std::vector<std::string> coTexts;
    for (const auto& coEntry : BootReadTestLog(coScratch.Path("boot.log"))) {
        if (coEntry.first == pszKind)
            coTexts.push_back(coEntry.second);
    }
    return coTexts;
}

unsigned long long Tick(const std::map<std::string, std::string>& coRecord, const char* pszKey)
{
    auto it = coRecord.find(pszKey);
    return it == coRecord.end() ? 0 : std::stoull(it->second);
}

std::string Get(const std::map<std::string, std::string>& coRecord, const char* pszKey)
{
    auto it = coRecord.find(pszKey);
    return it == coRecord.end() ? "<missing>" : it->second;
}

// The "+" marks painted during a run: every painted text is marks only and
// they grow one at a time.
size_t CheckMarks(const TBootScratch& coScratch)
{
    size_t nLast = 0;
    for (const std::string& coText : LogTexts(coScratch, "paint")) {
        EXPECT_EQ(coText.find_first_not_of('+'), std::string::npos) << coText;
        EXPECT_TRUE(coText.size() == nLast || coText.size() == nLast + 1) << nLast << " then " << coText.size();
        nLast = coText.size();
    }
    return nLast;
}

// What a run leaves for the setup program and what the setup program saw.
void CheckSetupRun(const TBootScratch& coScratch, const std::string& coTempDir, const std::string& coProjectFile)
{
    auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
    EXPECT_EQ(Get(coSetup, "cwd"), coTempDir);
    EXPECT_EQ(Get(coSetup, "window"), "hidden");
    EXPECT_EQ(Get(coSetup, "snapshot"), "done");
    std::string coSnapshot = coScratch.Path("snapshot");
    std::vector<std::string> coExpected = { "lib", "locked.dat", coProjectFile, "plvsetup.exe", "readme.txt",
                                            "setup.ini" };
    std::sort(coExpected.begin(), coExpected.end());
    EXPECT_EQ(BootListDir(coSnapshot), coExpected);
    EXPECT_EQ(BootListDir(coSnapshot + "\\lib"), (std::vector<std::string> { "fonts", "runtime.dll" }));
    EXPECT_EQ(BootIniValue(coSnapshot + "\\setup.ini", "TempDir"), coTempDir);
    EXPECT_EQ(BootIniValue(coSnapshot + "\\setup.ini", "SetupSourcePath"), coScratch.Medium());
}

} // namespace

TEST(BootstrapRunTest, UnpacksStartsTheSetupProgramHidesAndRemovesEverything)
{
    TBootScratch coScratch("normal");
    const std::string coIni = "; installation medium\r\n[Installation]\r\nVendor=Plover\r\n";
    coScratch.MakeMedium(coIni);
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), RunEnv(coScratch), s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_TRUE(LogTexts(coScratch, "message").empty());

    const std::string coTempDir = coScratch.Temp() + "\\~PLV0000.TMP";
    auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    EXPECT_EQ(Get(coArchive, "cmdline"), "_plvrt_.exe -x -y -gbrimlost " + coTempDir + "\\");
    EXPECT_EQ(Get(coArchive, "cwd"), coScratch.Medium());
    EXPECT_EQ(Get(coArchive, "window"), "visible");
    EXPECT_EQ(Get(coArchive, "title"), "HLN Installation");
    EXPECT_EQ(Get(coArchive, "unpack"), "done");

    auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
    EXPECT_EQ(Get(coSetup, "cmdline"),
              coTempDir + "\\plvsetup.exe 482913 1 plvsetup.plv 10 StProject " + coScratch.Medium());
    CheckSetupRun(coScratch, coTempDir, "plvsetup.plv");
    std::string coSnapshot = coScratch.Path("snapshot");
    EXPECT_EQ(BootReadFile(coSnapshot + "\\plvsetup.plv"), BootReadFile(coScratch.Medium() + "\\plvsetup.plv"));
    // The copy keeps everything of the original and gains the two keys.
    std::string coCopy = BootReadFile(coSnapshot + "\\setup.ini");
    EXPECT_EQ(coCopy.compare(0, coIni.size(), coIni), 0) << coCopy;
    EXPECT_EQ(BootIniValue(coSnapshot + "\\setup.ini", "Vendor"), "Plover");
    EXPECT_EQ(BootReadFile(coScratch.Medium() + "\\setup.ini"), coIni);

    // Marks: one a second while the archive talks (2.5 s), none beyond.
    size_t nMarks = CheckMarks(coScratch);
    EXPECT_GE(nMarks, 2u);
    EXPECT_LE(nMarks, 5u);

    // The setup program starts 2 s after the archive has ended; the
    // directory goes 5 s after the window has closed.
    EXPECT_GE(Tick(coSetup, "start"), Tick(coArchive, "end") + 1900);
    EXPECT_GE(coRun.ullEndTick, Tick(coSetup, "close") + 4900);
    EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
    EXPECT_EQ(BootListDir(coScratch.Medium()), (std::vector<std::string> { "_plvrt_.exe", "plvsetup.plv", "setup.ini" }));
}

TEST(BootstrapRunTest, SettingsAndAnEarlierRunsDirectoriesShapeTheRun)
{
    TBootScratch coScratch("settings");
    const std::string coClass(128, 'K');
    coScratch.MakeMedium("[Installation]\r\nPeekTimeOut=7\r\nSetupResource=Data\r\nCustomClass=" + coClass
                         + "\r\nNeedSpaceMBTemp=3\r\n");
    BootWriteFile(coScratch.Medium() + "\\DATA.PLV", "data project");
    // ~PLV0000.TMP belongs to another installation; ~PLV0001.TMP was left
    // empty by an earlier run and is taken over.
    BootMakeDirs(coScratch.Temp() + "\\~PLV0000.TMP");
    BootWriteFile(coScratch.Temp() + "\\~PLV0000.TMP\\busy.txt", "in use");
    BootMakeDirs(coScratch.Temp() + "\\~PLV0001.TMP");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "TEMP", coScratch.Temp() + ";;");

    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_TRUE(LogTexts(coScratch, "message").empty());

    const std::string coTempDir = coScratch.Temp() + "\\~PLV0001.TMP";
    auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    EXPECT_EQ(Get(coArchive, "cmdline"), "_plvrt_.exe -x -y -gbrimlost " + coTempDir + "\\");
    auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
    EXPECT_EQ(Get(coSetup, "cmdline"),
              coTempDir + "\\plvsetup.exe 482913 3 data.plv 7 " + coClass + " " + coScratch.Medium());
    CheckSetupRun(coScratch, coTempDir, "data.plv");
    EXPECT_EQ(BootReadFile(coScratch.Path("snapshot") + "\\data.plv"), "data project");

    EXPECT_EQ(BootListDir(coScratch.Temp()), (std::vector<std::string> { "~PLV0000.TMP" }));
    EXPECT_EQ(BootReadFile(coScratch.Temp() + "\\~PLV0000.TMP\\busy.txt"), "in use");
}

TEST(BootstrapRunTest, Windows95WaitsForASilentArchiveUntilItHasEnded)
{
    TBootScratch coScratch("win95");
    coScratch.MakeMedium("[Installation]\r\nPeekTimeOut=1\r\n");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "PLVBOOT_PLATFORM", "1");
    SetEnv(coEnv, "FAKE_ARCHIVE_TALK_MS", "1000");
    // Silent for longer than PeekTimeOut but still running: the files,
    // the setup program among them, appear only after the silence.
    SetEnv(coEnv, "FAKE_ARCHIVE_SILENT_MS", "3500");

    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_TRUE(LogTexts(coScratch, "message").empty());

    const std::string coTempDir = coScratch.Temp() + "\\~PLV0000.TMP";
    auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
    EXPECT_EQ(Get(coSetup, "cmdline"),
              coTempDir + "\\plvsetup.exe 482913 1 plvsetup.plv 1 StProject " + coScratch.Medium());
    CheckSetupRun(coScratch, coTempDir, "plvsetup.plv");
    EXPECT_GE(Tick(coSetup, "start"), Tick(coArchive, "end") + 1900);
    // Peeking never blocks: the marks go on through the silence.
    EXPECT_GE(CheckMarks(coScratch), 4u);
    EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
}

TEST(BootstrapRunTest, AnEmptyArchivePasswordLeavesTwoBlanks)
{
    TBootScratch coScratch("nopassword");
    coScratch.MakeMedium("[Installation]\r\n");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "FAKE_ARCHIVE_TALK_MS", "500");
    TBootResult coRun = BootRun("bootstrap_nopassword.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    EXPECT_EQ(Get(coArchive, "cmdline"), "_plvrt_.exe -x -y  " + coScratch.Temp() + "\\~PLV0000.TMP\\");
    EXPECT_EQ(Get(BootReadRecord(coScratch.Path("setup.log")), "window"), "hidden");
    EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
}

TEST(BootstrapRunTest, CleanUpRemovesLinksWithoutFollowingThem)
{
    TBootScratch coScratch("link");
    coScratch.MakeMedium("[Installation]\r\n");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "FAKE_ARCHIVE_TALK_MS", "500");
    SetEnv(coEnv, "FAKE_ARCHIVE_LINK", coScratch.Outside());
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    ASSERT_EQ(Get(BootReadRecord(coScratch.Path("archive.log")), "link"), "made");

    // Whatever the link pointed at is untouched.
    EXPECT_EQ(BootListDir(coScratch.Outside()), (std::vector<std::string> { "keep.txt" }));
    EXPECT_EQ(BootReadFile(coScratch.Outside() + "\\keep.txt"), "outside the bootstrap's reach\r\n");
    const std::string coTempDir = coScratch.Temp() + "\\~PLV0000.TMP";
    if (BootIsWine()) {
        // Wine can remove a Unix link to a directory neither with
        // RemoveDirectory nor with DeleteFile; the link alone stays.
        EXPECT_EQ(BootListDir(coScratch.Temp()), (std::vector<std::string> { "~PLV0000.TMP" }));
        EXPECT_EQ(BootListDir(coTempDir), (std::vector<std::string> { "outlink" }));
    } else {
        EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
    }
}

namespace {

// Closes the bootstrap window two seconds after it has appeared.
struct TCloser {
    ULONGLONG ullSeen = 0;
    bool bClosed = false;
};

bool CloseSoonAfterShown(DWORD ulProcessId, void* pvContext)
{
    auto* pcoCloser = static_cast<TCloser*>(pvContext);
    HWND hWnd = BootFindWindow(ulProcessId, "HLN_PLV_Installation");
    if (!hWnd || !IsWindowVisible(hWnd))
        return false;
    if (!pcoCloser->ullSeen)
        pcoCloser->ullSeen = GetTickCount64();
    if (GetTickCount64() < pcoCloser->ullSeen + 2000)
        return false;
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    pcoCloser->bClosed = true;
    return true;
}

} // namespace

// The archive, still unpacking when the window closes, is ended before the
// clean-up, so that it writes nothing into the directory after it is gone.
TEST(BootstrapRunTest, AWindowClosedWhileUnpackingCancelsTheSetup)
{
    TBootScratch coScratch("cancel");
    coScratch.MakeMedium("[Installation]\r\n");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "FAKE_ARCHIVE_TALK_MS", "15000");
    TCloser coCloser;
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs, CloseSoonAfterShown,
                                &coCloser);
    ASSERT_FALSE(coRun.bTimedOut);
    ASSERT_TRUE(coCloser.bClosed);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_TRUE(LogTexts(coScratch, "message").empty());
    const auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    HANDLE hArchive = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(Tick(coArchive, "pid")));
    const bool bArchiveRuns = hArchive && WaitForSingleObject(hArchive, 0) == WAIT_TIMEOUT;
    if (hArchive) {
        if (bArchiveRuns)
            TerminateProcess(hArchive, 1);
        CloseHandle(hArchive);
    }
    EXPECT_FALSE(bArchiveRuns);
    EXPECT_EQ(Get(coArchive, "unpack"), "<missing>");
    EXPECT_FALSE(BootExists(coScratch.Path("setup.log")));
    EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
}

TEST(BootstrapRunTest, ASetupProgramThatCannotStartEndsWithAMessage)
{
    TBootScratch coScratch("nosetup");
    coScratch.MakeMedium("[Installation]\r\n");
    DeleteFileA((coScratch.Payload() + "\\plvsetup.exe").c_str());
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "FAKE_ARCHIVE_TALK_MS", "500");
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 1u);
    EXPECT_EQ(LogTexts(coScratch, "message"),
              (std::vector<std::string> { "Plover Runtime\tPlover Runtime Setup Initialization failed!\n\n"
                                          "The program will exit now!" }));
    EXPECT_FALSE(BootExists(coScratch.Path("setup.log")));
    EXPECT_TRUE(BootListDir(coScratch.Temp()).empty());
}

// Every failure before the message loop: one message box, exit code 1.
TEST(BootstrapRunTest, EachStartUpFailureShowsItsMessageAndEndsWithOne)
{
    const std::string coLongName(513, 'r');
    const std::string coMaxName(512, 'r');
    struct TCase {
        const char* pszName;
        std::string coIni;         // empty: no setup.ini at all
        const char* pszPlatform;   // PLVBOOT_PLATFORM, or null
        bool bProjectFile;
        bool bArchive;
        const char* pszCaption;
        std::string coText;
        bool bTempDirMade;         // whether a ~PLV0000.TMP was made before the failure
    };
    const TCase acoCases[] = {
        { "platform0", "[Installation]\r\n", "0", true, true, "Setup Message",
          "This installation program can only be run on\nWindows NT or Windows 95.\n\nThe program will exit now!",
          false },
        { "platform3", "[Installation]\r\n", "3", true, true, "Setup Message",
          "This installation program can only be run on\nWindows NT or Windows 95.\n\nThe program will exit now!",
          false },
        { "nospace0", "[Installation]\r\nNeedSpaceMBTemp=0\r\n", nullptr, true, true, "Plover Runtime",
          "Internal Setup Error <102>!\n\nPlease contact your provider.\n\nThe program will exit now!", false },
        { "nospaceneg", "[Installation]\r\nNeedSpaceMBTemp=-4\r\n", nullptr, true, true, "Plover Runtime",
          "Internal Setup Error <102>!\n\nPlease contact your provider.\n\nThe program will exit now!", false },
        { "nodrive", "[Installation]\r\nNeedSpaceMBTemp=2000000000\r\n", nullptr, true, true, "Plover Runtime",
          "Setup is unable to find a disk drive with enough free\ndisk space (2000000000 MB) to copy all\n"
          "necessary temporary files\n\nThe program will exit now!",
          false },
        { "longresource", "[Installation]\r\nSetupResource=" + coLongName + "\r\n", nullptr, true, true,
          "Plover Runtime", "Internal Setup Error <103>!\n\nPlease contact your provider.\n\nThe program will exit now!",
          false },
        { "longclass", "[Installation]\r\nCustomClass=" + std::string(129, 'c') + "\r\n", nullptr, true, true,
          "Plover Runtime", "Internal Setup Error <104>!\n\nPlease contact your provider.\n\nThe program will exit now!",
          false },
        { "noini", "", nullptr, true, true, "Plover Runtime",
          "Could not copy information file!\n\nSetup is not complete!\n\nThe program will exit now!", true },
        { "noproject", "[Installation]\r\n", nullptr, false, true, "Setup Message",
          "Setup could not make a copy of the Plover Project-File!\n\nThe program will exit now!", true },
        { "maxresource", "[Installation]\r\nSetupResource=" + coMaxName + "\r\n", nullptr, true, true,
          "Setup Message", "Setup could not make a copy of the Plover Project-File!\n\nThe program will exit now!",
          true },
        { "noarchive", "[Installation]\r\n", nullptr, true, false, "Plover Runtime",
          "Plover Runtime Setup Initialization failed!\n\nThe program will exit now!", true },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        TBootScratch coScratch(coCase.pszName);
        if (!coCase.coIni.empty())
            BootWriteFile(coScratch.Medium() + "\\setup.ini", coCase.coIni);
        if (coCase.bProjectFile)
            BootWriteFile(coScratch.Medium() + "\\plvsetup.plv", "project");
        if (coCase.bArchive)
            coScratch.InstallArchive();
        coScratch.InstallSetupProgram();
        std::vector<TBootEnv> coEnv = RunEnv(coScratch);
        if (coCase.pszPlatform)
            SetEnv(coEnv, "PLVBOOT_PLATFORM", coCase.pszPlatform);
        TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
        ASSERT_FALSE(coRun.bTimedOut);
        EXPECT_EQ(coRun.ulExitCode, 1u);
        EXPECT_EQ(LogTexts(coScratch, "message"),
                  (std::vector<std::string> { std::string(coCase.pszCaption) + "\t" + coCase.coText }));
        EXPECT_FALSE(BootExists(coScratch.Path("archive.log")));
        // The directory made so far is left as it is on these paths.
        std::vector<std::string> coLeft = BootListDir(coScratch.Temp());
        if (coCase.bTempDirMade) {
            EXPECT_EQ(coLeft, (std::vector<std::string> { "~PLV0000.TMP" }));
        } else {
            EXPECT_TRUE(coLeft.empty());
        }
        EXPECT_FALSE(BootExists(coScratch.Path("setup.log")));
    }
}

TEST(BootstrapRunTest, ADirectoryThatCannotBeMadeIsReported)
{
    // Under Wine, Z: is the Unix root; nothing can be created in /proc.
    if (!BootIsWine() || !BootIsDirectory("Z:\\proc"))
        GTEST_SKIP() << "needs Wine's Z:\\proc";
    TBootScratch coScratch("nodir");
    coScratch.MakeMedium("[Installation]\r\n");
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "TEMP", "Z:\\proc");
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs);
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 1u);
    EXPECT_EQ(LogTexts(coScratch, "message"),
              (std::vector<std::string> { "Plover Runtime\tCould not create temporary directory!\n\n"
                                          "Setup program will exit now!" }));
}

namespace {

// Reads the bootstrap's real message box once it has been up for three
// seconds, then presses its button.
struct TBoxReader {
    ULONGLONG ullSeen = 0;
    std::string coCaption;
    std::string coText;
    bool bAnswered = false;
};

bool AnswerMessageBox(DWORD ulProcessId, void* pvContext)
{
    auto* pcoReader = static_cast<TBoxReader*>(pvContext);
    HWND hBox = BootFindWindow(ulProcessId, "#32770");
    if (!hBox || !IsWindowVisible(hBox))
        return false;
    if (!pcoReader->ullSeen)
        pcoReader->ullSeen = GetTickCount64();
    // Longer than the worker's pause before it starts the setup program:
    // nothing may take the box down in the meantime.
    if (GetTickCount64() < pcoReader->ullSeen + 3000)
        return false;
    char szText[512] = "";
    GetWindowTextA(hBox, szText, sizeof(szText));
    pcoReader->coCaption = szText;
    szText[0] = '\0';
    GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof(szText));
    pcoReader->coText = szText;
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    pcoReader->bAnswered = true;
    return true;
}

} // namespace

TEST(BootstrapRunTest, WithoutTheTestLogARealMessageBoxWaitsForTheUser)
{
    TBootScratch coScratch("messagebox");
    BootWriteFile(coScratch.Medium() + "\\setup.ini", "[Installation]\r\n");
    BootWriteFile(coScratch.Medium() + "\\plvsetup.plv", "project");
    coScratch.InstallSetupProgram();
    std::vector<TBootEnv> coEnv = RunEnv(coScratch);
    SetEnv(coEnv, "PLVBOOT_TEST_LOG", "", true);
    TBoxReader coReader;
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), coEnv, s_ulRunTimeoutMs, AnswerMessageBox,
                                &coReader);
    ASSERT_FALSE(coRun.bTimedOut);
    ASSERT_TRUE(coReader.bAnswered);
    EXPECT_EQ(coRun.ulExitCode, 1u);
    EXPECT_EQ(coReader.coCaption, "Plover Runtime");
    EXPECT_EQ(coReader.coText, "Plover Runtime Setup Initialization failed!\n\nThe program will exit now!");
    EXPECT_GE(coRun.ullEndTick, coReader.ullSeen + 3000);
}
