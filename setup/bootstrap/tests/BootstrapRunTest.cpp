// End-to-end runs of bootstrap.exe with the stand-in archive and setup
// program, each in a scratch directory of its own with its own TEMP.

#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using TTexts = std::vector<std::string>;

// The environment of a run, changed by coChanges: TEMP and TMP point into
// the scratch area, the bootstrap writes its message boxes and paints into a
// test log, and the stand-ins know where to record and what to unpack.
std::vector<TBootEnv> RunEnv(const TBootScratch& coScratch, const std::vector<TBootEnv>& coChanges = {})
{
    std::vector<TBootEnv> coEnv = {
        { "TEMP", coScratch.Temp() },
        { "TMP", coScratch.Temp() },
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
    for (const TBootEnv& coChange : coChanges) {
        auto it = std::find_if(coEnv.begin(), coEnv.end(), [&](const TBootEnv& c) { return c.coName == coChange.coName; });
        *it = coChange;
    }
    return coEnv;
}

TTexts Messages(const TBootScratch& coScratch)
{
    return BootTestLog(coScratch.Path("boot.log"), "message");
}

unsigned long long Tick(const std::map<std::string, std::string>& coRecord, const char* pszKey)
{
    const std::string coValue = BootGet(coRecord, pszKey);
    return isdigit(static_cast<unsigned char>(coValue[0])) ? std::stoull(coValue) : 0;
}

// The "+" marks painted during a run: marks only, growing one at a time.
size_t CheckMarks(const TBootScratch& coScratch)
{
    size_t nLast = 0;
    for (const std::string& coText : BootTestLog(coScratch.Path("boot.log"), "paint")) {
        EXPECT_EQ(coText.find_first_not_of('+'), std::string::npos) << coText;
        EXPECT_TRUE(coText.size() == nLast || coText.size() == nLast + 1) << nLast << " then " << coText.size();
        nLast = coText.size();
    }
    return nLast;
}

// The name the bootstrap will take below coBase: the first ~PLVnnnn.TMP
// that does not exist or is an empty directory.
std::string FirstFreeName(const std::string& coBase)
{
    for (int n = 0; n < 10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof(szName), "~PLV%04d.TMP", n);
        if (!BootExists(coBase + szName) || (BootIsDirectory(coBase + szName) && BootListDir(coBase + szName).empty()))
            return coBase + szName;
    }
    return std::string();
}

std::string Internal(int nCode)
{
    return "Plover Runtime\tInternal Setup Error <" + std::to_string(nCode)
           + ">!\n\nPlease contact your provider.\n\nThe program will exit now!";
}

const char s_szInitFailed[] = "Plover Runtime\tPlover Runtime Setup Initialization failed!\n\nThe program will exit now!";

// Watches for a visible window of a class: once it has been up for
// ulAfterMs, reads its caption and text and posts uMsg to it.
struct TWatcher {
    const char* pszClass;
    ULONGLONG ullAfterMs;
    UINT uMsg;
    WPARAM wParam;
    ULONGLONG ullSeen = 0;
    std::string coCaptionText;
    bool bDone = false;
};

bool WatchWindow(void* pvContext)
{
    auto* pcoWatch = static_cast<TWatcher*>(pvContext);
    HWND hWnd = FindWindowA(pcoWatch->pszClass, nullptr);
    if (!hWnd || !IsWindowVisible(hWnd))
        return false;
    if (!pcoWatch->ullSeen)
        pcoWatch->ullSeen = GetTickCount64();
    if (GetTickCount64() < pcoWatch->ullSeen + pcoWatch->ullAfterMs)
        return false;
    char szCaption[512] = "", szText[512] = "";
    GetWindowTextA(hWnd, szCaption, sizeof(szCaption));
    GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof(szText));
    pcoWatch->coCaptionText = std::string(szCaption) + "\t" + szText;
    PostMessageA(hWnd, pcoWatch->uMsg, pcoWatch->wParam, 0);
    return pcoWatch->bDone = true;
}

} // namespace

TEST(BootstrapRunTest, UnpacksStartsTheSetupProgramHidesAndRemovesEverything)
{
    const std::string coClass(128, 'K');
    struct TRun {
        const char* pszName;
        const char* pszProgram;
        std::string coIni;
        std::vector<TBootEnv> coEnv;
        bool bEarlier;            // directories of an earlier run in the scratch TEMP
        std::string coTempDir;    // empty: ~PLV0000.TMP (~PLV0001.TMP after an earlier run) in the scratch TEMP
        std::string coArchiveArgs;
        std::string coSetupArgs;
        size_t nMinMarks, nMaxMarks;
    };
    const TRun acoRuns[] = {
        { "normal", "bootstrap.exe", "; installation medium\r\n[Installation]\r\nVendor=Plover\r\n",
          { { "FAKE_ARCHIVE_TALK_MS", "2500" } }, false, "", "-gbrimlost", "1 plvsetup.plv 10 StProject", 2, 5 },
        // ~PLV0000.TMP belongs to another installation; ~PLV0001.TMP was left
        // empty by an earlier run and is taken over.
        { "earlier", "bootstrap.exe",
          "[Installation]\r\nPeekTimeOut=7\r\nSetupResource=Data\r\nCustomClass=" + coClass + "\r\nNeedSpaceMBTemp=3\r\n",
          {}, true, "", "-gbrimlost", "3 data.plv 7 " + coClass, 0, 2 },
        // Silent for longer than PeekTimeOut but still running: the setup
        // program appears only after the silence, and the marks go on.
        { "win95", "bootstrap.exe", "[Installation]\r\nPeekTimeOut=1\r\n",
          { { "PLVBOOT_PLATFORM", "1" }, { "FAKE_ARCHIVE_TALK_MS", "1000" }, { "FAKE_ARCHIVE_SILENT_MS", "3500" } },
          false, "", "-gbrimlost", "1 plvsetup.plv 1 StProject", 4, 8 },
        { "nopassword", "bootstrap_nopassword.exe", "[Installation]\r\n", {}, false, "", "", "1 plvsetup.plv 10 StProject", 0, 2 },
        { "relative", "bootstrap.exe", "[Installation]\r\n", { { "TEMP", "temp" }, { "TMP", "", true } }, false,
          FirstFreeName("c:\\"), "-gbrimlost", "1 plvsetup.plv 10 StProject", 0, 2 },
    };
    for (const TRun& coCase : acoRuns) {
        SCOPED_TRACE(coCase.pszName);
        TBootScratch coScratch(coCase.pszName);
        coScratch.MakeMedium(coCase.coIni);
        std::vector<TBootEnv> coEnv = RunEnv(coScratch, coCase.coEnv);
        std::string coProject = "plvsetup.plv";
        const bool bEarlier = coCase.bEarlier;
        if (bEarlier) {
            coProject = "data.plv";
            BootWriteFile(coScratch.Medium() + "\\DATA.PLV", "data project");
            BootMakeDirs(coScratch.Temp() + "\\~PLV0000.TMP");
            BootWriteFile(coScratch.Temp() + "\\~PLV0000.TMP\\busy.txt", "in use");
            BootMakeDirs(coScratch.Temp() + "\\~PLV0001.TMP");
            coEnv[0].coValue = coScratch.Temp() + ";;";
        }
        const std::string coTempDir = !coCase.coTempDir.empty() ? coCase.coTempDir
                                      : coScratch.Temp() + (bEarlier ? "\\~PLV0001.TMP" : "\\~PLV0000.TMP");
        TBootResult coRun = BootRun(coCase.pszProgram, coScratch.Medium(), coEnv);
        ASSERT_FALSE(coRun.bTimedOut);
        EXPECT_EQ(coRun.ulExitCode, 0u);
        EXPECT_EQ(Messages(coScratch), TTexts {});

        auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
        EXPECT_EQ(BootGet(coArchive, "cmdline"), "_plvrt_.exe -x -y " + coCase.coArchiveArgs + " " + coTempDir + "\\");
        EXPECT_EQ(BootGet(coArchive, "cwd") + "|" + BootGet(coArchive, "window") + "|" + BootGet(coArchive, "title")
                      + "|" + BootGet(coArchive, "unpack") + "|" + BootGet(coArchive, "write"),
                  coScratch.Medium() + "|visible|HLN Installation|done|<missing>");
        auto coSetup = BootReadRecord(coScratch.Path("setup.log"));
        EXPECT_EQ(BootGet(coSetup, "cmdline"),
                  coTempDir + "\\plvsetup.exe 482913 " + coCase.coSetupArgs + " " + coScratch.Medium());
        EXPECT_EQ(BootGet(coSetup, "cwd") + "|" + BootGet(coSetup, "window") + "|" + BootGet(coSetup, "snapshot"),
                  coTempDir + "|hidden|done");

        // What the setup program found in its directory.
        const std::string coSnapshot = coScratch.Path("snapshot");
        TTexts coExpected = { "lib", "locked.dat", coProject, "plvsetup.exe", "readme.txt", "setup.ini" };
        std::sort(coExpected.begin(), coExpected.end());
        EXPECT_EQ(BootListDir(coSnapshot), coExpected);
        EXPECT_EQ(BootListDir(coSnapshot + "\\lib"), (TTexts { "fonts", "runtime.dll" }));
        EXPECT_EQ(BootReadFile(coSnapshot + "\\" + coProject),
                  BootReadFile(coScratch.Medium() + (bEarlier ? "\\DATA.PLV" : "\\plvsetup.plv")));
        EXPECT_EQ(BootReadFile(coSnapshot + "\\setup.ini").substr(0, coCase.coIni.size()), coCase.coIni);
        EXPECT_EQ(BootIniValue(coSnapshot + "\\setup.ini", "TempDir") + "|"
                      + BootIniValue(coSnapshot + "\\setup.ini", "SetupSourcePath"),
                  coTempDir + "|" + coScratch.Medium());
        EXPECT_EQ(BootReadFile(coScratch.Medium() + "\\setup.ini"), coCase.coIni);

        // Marks while the archive talks, one a second; the setup program
        // starts 2 s after the archive has ended; the directory goes 5 s
        // after the window has closed.
        size_t nMarks = CheckMarks(coScratch);
        EXPECT_GE(nMarks, coCase.nMinMarks);
        EXPECT_LE(nMarks, coCase.nMaxMarks);
        EXPECT_GE(Tick(coSetup, "start"), Tick(coArchive, "end") + 1900);
        EXPECT_GE(coRun.ullEndTick, Tick(coSetup, "close") + 4900);
        EXPECT_FALSE(BootExists(coTempDir));
        EXPECT_EQ(BootListDir(coScratch.Temp()), bEarlier ? TTexts { "~PLV0000.TMP" } : TTexts {});
        EXPECT_EQ(BootReadFile(coScratch.Temp() + "\\~PLV0000.TMP\\busy.txt"), bEarlier ? "in use" : "");
    }
}

TEST(BootstrapRunTest, CleanUpRemovesLinksWithoutFollowingThem)
{
    TBootScratch coScratch("link");
    coScratch.MakeMedium("[Installation]\r\n");
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(),
                                RunEnv(coScratch, { { "FAKE_ARCHIVE_LINK", coScratch.Outside() } }));
    ASSERT_FALSE(coRun.bTimedOut);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    ASSERT_EQ(BootGet(BootReadRecord(coScratch.Path("archive.log")), "link"), "made");
    EXPECT_TRUE(coScratch.OutsideUntouched());
    // Wine can remove a Unix link to a directory neither with
    // RemoveDirectory nor with DeleteFile; the link alone stays.
    const bool bWine = FakeIsWine();
    EXPECT_EQ(BootListDir(coScratch.Temp()), bWine ? TTexts { "~PLV0000.TMP" } : TTexts {});
    EXPECT_EQ(BootListDir(coScratch.Temp() + "\\~PLV0000.TMP"), bWine ? TTexts { "outlink" } : TTexts {});
}

// The archive, still unpacking when the window closes, is ended before the
// clean-up, so that it writes nothing into the directory after it is gone.
TEST(BootstrapRunTest, AWindowClosedWhileUnpackingCancelsTheSetup)
{
    TBootScratch coScratch("cancel");
    coScratch.MakeMedium("[Installation]\r\n");
    // Closed two seconds after the window has appeared.
    TWatcher coCloser { "HLN_PLV_Installation", 2000, WM_CLOSE, 0 };
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(),
                                RunEnv(coScratch, { { "FAKE_ARCHIVE_TALK_MS", "15000" } }), WatchWindow, &coCloser);
    ASSERT_FALSE(coRun.bTimedOut);
    ASSERT_TRUE(coCloser.bDone);
    EXPECT_EQ(coRun.ulExitCode, 0u);
    EXPECT_EQ(Messages(coScratch), TTexts {});
    const auto coArchive = BootReadRecord(coScratch.Path("archive.log"));
    HANDLE hArchive = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(Tick(coArchive, "pid")));
    const bool bArchiveRuns = hArchive && WaitForSingleObject(hArchive, 0) == WAIT_TIMEOUT;
    if (bArchiveRuns)
        TerminateProcess(hArchive, 1);
    if (hArchive)
        CloseHandle(hArchive);
    EXPECT_FALSE(bArchiveRuns);
    EXPECT_EQ(BootGet(coArchive, "unpack"), "<missing>");
    EXPECT_FALSE(BootExists(coScratch.Path("setup.log")));
    EXPECT_EQ(BootListDir(coScratch.Temp()), TTexts {});
}

// Every failure: one message box, exit code 1, no setup program.
TEST(BootstrapRunTest, EachFailureShowsItsMessageAndEndsWithOne)
{
    const std::string coWrong = "Setup Message\tThis installation program can only be run on\nWindows NT or "
                                "Windows 95.\n\nThe program will exit now!";
    const std::string coNoProject = "Setup Message\tSetup could not make a copy of the Plover Project-File!\n\n"
                                    "The program will exit now!";
    const bool bProc = FakeIsWine() && BootIsDirectory("Z:\\proc");
    struct TCase {
        const char* pszName;
        std::string coIni; // empty: no setup.ini at all
        bool bProject, bArchive, bSetupProgram;
        std::vector<TBootEnv> coEnv;
        std::string coMessage;
        TTexts coLeft; // what stays in TEMP
    };
    const TTexts coMade = { "~PLV0000.TMP" };
    const TCase acoCases[] = {
        { "platform0", "[Installation]\r\n", true, true, true, { { "PLVBOOT_PLATFORM", "0" } }, coWrong, {} },
        { "platform3", "[Installation]\r\n", true, true, true, { { "PLVBOOT_PLATFORM", "3" } }, coWrong, {} },
        { "nospace0", "[Installation]\r\nNeedSpaceMBTemp=0\r\n", true, true, true, {}, Internal(102), {} },
        { "nospaceneg", "[Installation]\r\nNeedSpaceMBTemp=-4\r\n", true, true, true, {}, Internal(102), {} },
        { "nodrive", "[Installation]\r\nNeedSpaceMBTemp=2000000000\r\n", true, true, true, {},
          "Plover Runtime\tSetup is unable to find a disk drive with enough free\ndisk space (2000000000 MB) to copy "
          "all\nnecessary temporary files\n\nThe program will exit now!",
          {} },
        { "longresource", "[Installation]\r\nSetupResource=" + std::string(513, 'r') + "\r\n", true, true, true, {},
          Internal(103), {} },
        { "longclass", "[Installation]\r\nCustomClass=" + std::string(129, 'c') + "\r\n", true, true, true, {},
          Internal(104), {} },
        { "noini", "", true, true, true, {},
          "Plover Runtime\tCould not copy information file!\n\nSetup is not complete!\n\nThe program will exit now!",
          coMade },
        { "noproject", "[Installation]\r\n", false, true, true, {}, coNoProject, coMade },
        { "maxresource", "[Installation]\r\nSetupResource=" + std::string(512, 'r') + "\r\n", true, true, true, {},
          coNoProject, coMade },
        { "noarchive", "[Installation]\r\n", true, false, true, {}, s_szInitFailed, coMade },
        // The archive ran, the setup program cannot start: the directory goes.
        { "nosetup", "[Installation]\r\n", true, true, false, {}, s_szInitFailed, {} },
        // Under Wine, Z: is the Unix root; nothing can be created in /proc.
        { "nodir", "[Installation]\r\n", true, true, true, { { "TEMP", "Z:\\proc" } },
          "Plover Runtime\tCould not create temporary directory!\n\nSetup program will exit now!", {} },
    };
    for (const TCase& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszName);
        if (!bProc && std::string(coCase.pszName) == "nodir")
            continue;
        TBootScratch coScratch(coCase.pszName);
        coScratch.MakeMedium(coCase.coIni, coCase.bProject, coCase.bArchive);
        if (!coCase.bSetupProgram)
            DeleteFileA((coScratch.Payload() + "\\plvsetup.exe").c_str());
        TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(), RunEnv(coScratch, coCase.coEnv));
        ASSERT_FALSE(coRun.bTimedOut);
        EXPECT_EQ(coRun.ulExitCode, 1u);
        EXPECT_EQ(Messages(coScratch), TTexts { coCase.coMessage });
        EXPECT_EQ(BootExists(coScratch.Path("archive.log")), !coCase.bSetupProgram);
        EXPECT_FALSE(BootExists(coScratch.Path("setup.log")));
        // The directory made so far is left as it is before the archive runs.
        EXPECT_EQ(BootListDir(coScratch.Temp()), coCase.coLeft);
    }
}

TEST(BootstrapRunTest, WithoutTheTestLogARealMessageBoxWaitsForTheUser)
{
    TBootScratch coScratch("messagebox");
    coScratch.MakeMedium("[Installation]\r\n", true, false);
    // Up longer than the worker's pause before it starts the setup program:
    // nothing may take the box down in the meantime.
    TWatcher coReader { "#32770", 3000, WM_COMMAND, IDOK };
    TBootResult coRun = BootRun("bootstrap.exe", coScratch.Medium(),
                                RunEnv(coScratch, { { "PLVBOOT_TEST_LOG", "", true } }), WatchWindow, &coReader);
    ASSERT_FALSE(coRun.bTimedOut);
    ASSERT_TRUE(coReader.bDone);
    EXPECT_EQ(coRun.ulExitCode, 1u);
    EXPECT_EQ(coReader.coCaptionText, s_szInitFailed);
    EXPECT_GE(coRun.ullEndTick, coReader.ullSeen + 3000);
}
