#include "KwGuiWatchdog.h"
#include "KwScreenshot.h"
#include "KwTestImage.h"

#include "KwFileBytes.h"
#include "KwGuiTestWin.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kwtest {
namespace {

struct TRun {
    DWORD ulExitCode { 0 };
    ULONGLONG ullMs { 0 };
    std::string strOutput;
};

// Runs the hanging program beside this one with the watchdog's limits in
// its environment, its output into a file.
TRun RunHangingProgram(const char* pszTestSeconds, const char* pszProgramSeconds)
{
    char szSelf[MAX_PATH];
    GetModuleFileNameA(nullptr, szSelf, sizeof(szSelf));
    const std::filesystem::path dir = std::filesystem::path(szSelf).parent_path();
    const std::string strProgram = (dir / "KwWatchdogHangTest.exe").string();
    const std::string strLog = (std::filesystem::temp_directory_path() / "kw-watchdog-run.txt").string();

    SECURITY_ATTRIBUTES sa { sizeof(sa), nullptr, TRUE };
    const HANDLE hLog = CreateFileA(strLog.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(hLog, INVALID_HANDLE_VALUE) << strLog;
    STARTUPINFOA si {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = hLog;
    PROCESS_INFORMATION pi {};
    SetEnvironmentVariableA("KW_GUI_WATCHDOG", pszTestSeconds);
    SetEnvironmentVariableA("KW_GUI_DEADLINE", pszProgramSeconds);
    SetEnvironmentVariableA("KW_SCREENSHOT_DIR", ScreenshotDir().c_str());
    std::string strCommand = "\"" + strProgram + "\"";
    TRun run;
    const ULONGLONG ullStart = GetTickCount64();
    const BOOL bStarted = CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(hLog);
    EXPECT_TRUE(bStarted) << strProgram;
    if (bStarted) {
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_TIMEOUT)
            TerminateProcess(pi.hProcess, 99);
        GetExitCodeProcess(pi.hProcess, &run.ulExitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    run.ullMs = GetTickCount64() - ullStart;
    run.strOutput = ReadFileBytes(strLog);
    std::filesystem::remove(strLog);
    return run;
}

TEST(KwGuiWatchdog, HungTestIsEndedWithReportAndScreenshot)
{
    struct TCase {
        const char* pszTestSeconds;
        const char* pszProgramSeconds;
        const char* pszReport;
    } cases[] = {
        { "2", "", "watchdog: test KwWatchdogHang.UnansweredMessageBox did not end within 2 s" },
        { "0", "3", "watchdog: the program did not end within 3 s" },
    };
    const std::string strShot = ScreenshotPath("KwWatchdogHang.UnansweredMessageBox", "watchdog");
    for (const TCase& c : cases) {
        std::filesystem::remove(strShot);
        const TRun run = RunHangingProgram(c.pszTestSeconds, c.pszProgramSeconds);
        EXPECT_EQ(run.ulExitCode, static_cast<DWORD>(TGuiWatchdog::ExitCode)) << run.strOutput;
        EXPECT_LT(run.ullMs, 15000u);
        EXPECT_NE(run.strOutput.find(c.pszReport), std::string::npos) << run.strOutput;
        EXPECT_NE(run.strOutput.find("watchdog: open window \"Nobody answers\" (#32770)"), std::string::npos) << run.strOutput;
        TTestImage coShot;
        std::string strError;
        ASSERT_TRUE(ReadPng(strShot, coShot, strError)) << strError;
        EXPECT_EQ(coShot.Width(), GetSystemMetrics(SM_CXSCREEN));
        // The message box is on it: its face is about 200 x 75 pixels.
        EXPECT_GT(coShot.Count(GetSysColor(COLOR_BTNFACE)), 10000u);
    }
}

} // namespace
} // namespace kwtest
