// End-to-end runs of bootstrap.exe with the stand-in archive and setup
// program, each in a scratch directory of its own with its own TEMP.

#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <map>
#include <sstream>
#include <utility>

namespace {

const std::string s_coExit = "\n\nThe program will exit now!";
const std::string s_coInitFailed = "Plover Runtime\tPlover Runtime Setup Initialization failed!" + s_coExit;

// Environment changes of a run, made in order: name and value (kBootUnset
// removes).
using TEnv = std::vector<std::pair<std::string, std::string>>;

// Runs pszProgram (of BootBinDir) from the medium for up to a minute and
// answers its exit code (0xDEAD when it had to be ended), calling
// fnWhileRunning (if any) every 50 ms until it answers true. TEMP and TMP point into
// the scratch area, the bootstrap logs into boot.log, the stand-ins into
// fake.log; coChanges come on top.
DWORD RunBootstrap(const char* pszProgram, const TBootScratch& coScratch, const TEnv& coChanges = {},
                   const std::function<bool()>& fnWhileRunning = nullptr)
{
    TEnv coEnv = {
        { "TEMP", coScratch.Temp() },
        { "TMP", coScratch.Temp() },
        { "PLVBOOT_TEST_LOG", coScratch.Path("boot.log") },
        { "FAKE_LOG", coScratch.Path("fake.log") },
        { "FAKE_ARCHIVE_PAYLOAD", coScratch.Payload() },
        { "FAKE_ARCHIVE_TALK_MS", "500" },
    };
    coEnv.insert(coEnv.end(), coChanges.begin(), coChanges.end());
    std::list<TBootEnvScope> coScopes;
    for (const auto& coChange : coEnv)
        coScopes.emplace_back(coChange.first, coChange.second);
    std::string coLine = "\"" + BootBinDir() + "\\" + pszProgram + "\"";
    STARTUPINFOA coStartup {};
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess {};
    // Started as from the desktop: without the test's console, which Wine
    // would otherwise pass on to the runtime archive. Wine on a loaded
    // machine has failed to start it once in about thirty runs: one more try.
    BOOL bStarted = FALSE;
    for (int nTry = 0; nTry < 2 && !bStarted; ++nTry) {
        bStarted = CreateProcessA(nullptr, &coLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                  coScratch.Medium().c_str(), &coStartup, &coProcess);
    }
    EXPECT_TRUE(bStarted) << coLine << ": error " << GetLastError();
    // Restored in reverse, so that a name changed twice gets its first value back.
    while (!coScopes.empty())
        coScopes.pop_back();
    bool bWatching = static_cast<bool>(fnWhileRunning);
    ULONGLONG ullDeadline = GetTickCount64() + 60000;
    while (WaitForSingleObject(coProcess.hProcess, 50) == WAIT_TIMEOUT && GetTickCount64() < ullDeadline) {
        if (bWatching)
            bWatching = !fnWhileRunning();
    }
    TerminateProcess(coProcess.hProcess, 0xDEAD);
    WaitForSingleObject(coProcess.hProcess, 5000);
    DWORD ulExitCode = 0xDEAD;
    GetExitCodeProcess(coProcess.hProcess, &ulExitCode);
    CloseHandle(coProcess.hThread);
    CloseHandle(coProcess.hProcess);
    return ulExitCode;
}

// A run's records and messages in order; apart, the numbers that differ from
// run to run (keys that begin with "#") and the "+" marks last painted.
struct TOutcome {
    TTexts coLines;
    std::map<std::string, unsigned long long> coNumbers;
    size_t nMarks = 0;
};

TOutcome ReadOutcome(const TBootScratch& coScratch)
{
    TOutcome coOutcome;
    std::istringstream coRecord(BootReadFile(coScratch.Path("fake.log")));
    for (std::string coLine; std::getline(coRecord, coLine);) {
        size_t nAt = coLine.find('=');
        if (coLine[0] == '#')
            coOutcome.coNumbers[coLine.substr(1, nAt - 1)] = std::stoull(coLine.substr(nAt + 1));
        else
            coOutcome.coLines.push_back(coLine);
    }
    // The test log escapes line breaks and backslashes.
    std::istringstream coLog(BootReadFile(coScratch.Path("boot.log")));
    for (std::string coLine; std::getline(coLog, coLine);) {
        std::string coText;
        for (size_t n = coLine.find('\t') + 1; n < coLine.size(); ++n) {
            char c = coLine[n];
            if (c == '\\' && n + 1 < coLine.size())
                c = coLine[++n] == 'n' ? '\n' : coLine[n];
            coText += c;
        }
        if (coLine.compare(0, 8, "message\t") == 0)
            coOutcome.coLines.push_back("message=" + coText);
        // Marks only, growing one at a time.
        if (coLine.compare(0, 6, "paint\t") == 0) {
            EXPECT_EQ(coText.find_first_not_of('+'), std::string::npos) << coText;
            EXPECT_LE(coText.size() - coOutcome.nMarks, 1u) << coText;
            coOutcome.nMarks = coText.size();
        }
    }
    return coOutcome;
}

// What the stand-in archive records when it starts.
TTexts ArchiveStart(const TBootScratch& coScratch, const std::string& coTempDir, const char* pszPasswordOption)
{
    return { "archive=_plvrt_.exe -x -y " + std::string(pszPasswordOption) + " " + coTempDir + "\\",
             "archive-cwd=" + coScratch.Medium(), "archive-title=HLN Installation", "archive-window=visible" };
}

// Once a visible window of class pszClass has been up for ullAfterMs,
// keeps its caption and text and closes it.
struct TWatcher {
    const char* pszClass;
    ULONGLONG ullAfterMs;
    ULONGLONG ullSeen = 0;
    std::string coCaptionText;

    bool operator()()
    {
        HWND hWnd = FindWindowA(pszClass, nullptr);
        if (!hWnd || !IsWindowVisible(hWnd))
            return false;
        if (!ullSeen)
            ullSeen = GetTickCount64();
        if (GetTickCount64() < ullSeen + ullAfterMs)
            return false;
        char szCaption[512] = "", szText[512] = "";
        GetWindowTextA(hWnd, szCaption, sizeof(szCaption));
        GetDlgItemTextA(hWnd, 0xFFFF, szText, sizeof(szText));
        coCaptionText = std::string(szCaption) + "\t" + szText;
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
        return true;
    }
};

} // namespace

TEST(BootstrapRunTest, UnpacksStartsTheSetupProgramHidesAndRemovesEverything)
{
    const std::string coClass(128, 'K');
    struct TRun {
        const char* pszProgram;
        std::string coIni;
        const char* pszProject;
        TEnv coEnv;
        const char* pszPasswordOption;
        std::string coSetupArguments;
        std::string coFiles; // what the setup program finds in its directory
        size_t nMinMarks, nMaxMarks;
    };
    const TRun acoRuns[] = {
        { "bootstrap.exe",
          "[Installation]\r\nPeekTimeOut=7\r\nSetupResource=Data\r\nCustomClass=" + coClass
              + "\r\nNeedSpaceMBTemp=3\r\n",
          "DATA.PLV", { { "FAKE_ARCHIVE_TALK_MS", "2500" } }, "-gbrimlost", "3 data.plv 7 " + coClass,
          "data.plv locked.dat plvsetup.exe setup.ini", 2, 5 },
        // Silent for longer than PeekTimeOut but still running: the setup
        // program starts only after the silence, and the marks go on.
        { "bootstrap.exe", "[Installation]\r\nPeekTimeOut=1\r\n", "plvsetup.plv",
          { { "PLVBOOT_PLATFORM", "1" }, { "FAKE_ARCHIVE_TALK_MS", "1000" }, { "FAKE_ARCHIVE_SILENT_MS", "3500" } },
          "-gbrimlost", "1 plvsetup.plv 1 StProject", "locked.dat plvsetup.exe plvsetup.plv setup.ini", 4, 8 },
        { "bootstrap_nopassword.exe", "[Installation]\r\n", "plvsetup.plv", {}, "", "1 plvsetup.plv 10 StProject",
          "locked.dat plvsetup.exe plvsetup.plv setup.ini", 0, 2 },
    };
    for (const TRun& coRun : acoRuns) {
        TBootScratch coScratch("run");
        coScratch.MakeMedium(coRun.coIni, coRun.pszProject);
        const std::string coTempDir = coScratch.Temp() + "\\~PLV0000.TMP";
        EXPECT_EQ(RunBootstrap(coRun.pszProgram, coScratch, coRun.coEnv), 0u);
        const ULONGLONG ullEndTick = GetTickCount64();
        TTexts coExpected = ArchiveStart(coScratch, coTempDir, coRun.pszPasswordOption);
        coExpected.insert(coExpected.end(),
                          { "unpacked=done",
                            "setup=" + coTempDir + "\\plvsetup.exe 482913 " + coRun.coSetupArguments + " "
                                + coScratch.Medium(),
                            "setup-cwd=" + coTempDir, "setup-files=" + coRun.coFiles, "TempDir=" + coTempDir,
                            "SetupSourcePath=" + coScratch.Medium(), "setup-window=hidden" });
        TOutcome coOutcome = ReadOutcome(coScratch);
        EXPECT_EQ(coOutcome.coLines, coExpected);
        // Marks while the archive works, one a second; the setup program
        // starts 2 s after the archive has ended; the directory goes 5 s
        // after the window has closed.
        EXPECT_GE(coOutcome.nMarks, coRun.nMinMarks);
        EXPECT_LE(coOutcome.nMarks, coRun.nMaxMarks);
        EXPECT_GE(coOutcome.coNumbers["setup-start"], coOutcome.coNumbers["archive-end"] + 1900);
        EXPECT_GE(ullEndTick, coOutcome.coNumbers["setup-close"] + 4900);
        EXPECT_EQ(BootListDir(coScratch.Temp()), TTexts {});
    }
}

// The archive, still unpacking when the window closes, is ended before the
// clean-up, so that it writes nothing into the directory after it is gone.
TEST(BootstrapRunTest, AWindowClosedWhileUnpackingCancelsTheSetup)
{
    TBootScratch coScratch("cancel");
    coScratch.MakeMedium("[Installation]\r\n");
    TWatcher coCloser { "HLN_PLV_Installation", 2000 };
    const TEnv coSlowArchive = { { "FAKE_ARCHIVE_TALK_MS", "15000" } };
    EXPECT_EQ(RunBootstrap("bootstrap.exe", coScratch, coSlowArchive, std::ref(coCloser)), 0u);
    TOutcome coOutcome = ReadOutcome(coScratch);
    EXPECT_EQ(coOutcome.coLines, ArchiveStart(coScratch, coScratch.Temp() + "\\~PLV0000.TMP", "-gbrimlost"));
    HANDLE hArchive = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(coOutcome.coNumbers["pid"]));
    EXPECT_TRUE(!hArchive || WaitForSingleObject(hArchive, 0) == WAIT_OBJECT_0);
    CloseHandle(hArchive);
    EXPECT_EQ(BootListDir(coScratch.Temp()), TTexts {});
}

// Every failure: one message box, exit code 1, no setup program; what was
// made before the archive ran is left in place.
TEST(BootstrapRunTest, EachFailureShowsItsMessageAndEndsWithOne)
{
    const std::string coSection = "[Installation]\r\n";
    const std::string coWrong = "Setup Message\tThis installation program can only be run on\nWindows NT or "
                                "Windows 95." + s_coExit;
    const std::string coInternal = "1|Plover Runtime\tInternal Setup Error <";
    const std::string coContact = ">!\n\nPlease contact your provider." + s_coExit;
    struct TCase {
        std::string coIni;
        const char* pszRemoved; // a file of the scratch area, removed before the run
        TEnv coEnv;
        std::string coOutcome;  // exit code, message, what is left in TEMP
    };
    const TCase acoCases[] = {
        { coSection, nullptr, { { "PLVBOOT_PLATFORM", "3" } }, "1|" + coWrong },
        { coSection + "NeedSpaceMBTemp=0\r\n", nullptr, {}, coInternal + "102" + coContact },
        { coSection + "NeedSpaceMBTemp=2000000000\r\n", nullptr, {},
          "1|Plover Runtime\tSetup is unable to find a disk drive with enough free\ndisk space (2000000000 MB) to "
          "copy all\nnecessary temporary files" + s_coExit },
        { coSection + "SetupResource=" + std::string(513, 'r') + "\r\n", nullptr, {}, coInternal + "103" + coContact },
        { coSection + "CustomClass=" + std::string(129, 'c') + "\r\n", nullptr, {}, coInternal + "104" + coContact },
        { coSection, "medium\\setup.ini", {},
          "1|Plover Runtime\tCould not copy information file!\n\nSetup is not complete!" + s_coExit + "|~PLV0000.TMP" },
        { coSection, "medium\\plvsetup.plv", {},
          "1|Setup Message\tSetup could not make a copy of the Plover Project-File!" + s_coExit + "|~PLV0000.TMP" },
        { coSection, "medium\\_plvrt_.exe", {}, "1|" + s_coInitFailed + "|~PLV0000.TMP" },
        // The archive ran, the setup program cannot start: the directory goes.
        { coSection, "payload\\plvsetup.exe", {}, "1|" + s_coInitFailed },
    };
    for (const TCase& coCase : acoCases) {
        TBootScratch coScratch("failure");
        coScratch.MakeMedium(coCase.coIni);
        if (coCase.pszRemoved)
            DeleteFileA(coScratch.Path(coCase.pszRemoved).c_str());
        std::string coOutcome = std::to_string(RunBootstrap("bootstrap.exe", coScratch, coCase.coEnv));
        for (const std::string& coLine : ReadOutcome(coScratch).coLines)
            coOutcome += coLine.compare(0, 8, "message=") == 0 ? "|" + coLine.substr(8) : "";
        for (const std::string& coLeft : BootListDir(coScratch.Temp()))
            coOutcome += "|" + coLeft;
        EXPECT_EQ(coOutcome, coCase.coOutcome);
    }
}

TEST(BootstrapRunTest, WithoutTheTestLogARealMessageBoxWaitsForTheUser)
{
    TBootScratch coScratch("messagebox");
    coScratch.MakeMedium("[Installation]\r\n");
    DeleteFileA((coScratch.Medium() + "\\_plvrt_.exe").c_str());
    // Up longer than the worker's pause before it starts the setup program:
    // nothing may take the box down in the meantime.
    TWatcher coReader { "#32770", 3000 };
    EXPECT_EQ(RunBootstrap("bootstrap.exe", coScratch, { { "PLVBOOT_TEST_LOG", kBootUnset } }, std::ref(coReader)), 1u);
    EXPECT_EQ(coReader.coCaptionText, s_coInitFailed);
    EXPECT_GE(GetTickCount64(), coReader.ullSeen + 3000);
}
