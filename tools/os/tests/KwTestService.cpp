// A real Windows NT service for the service manager's tests. It runs in its
// own process under the service control manager, accepts stop, pause and
// continue, and appends a line for each request to the log file named by
// its first start argument before it reports the state the request leads to:
//   start <arguments...>, pause, continue, interrogate, stop
#include "KwWindows.h"

#include <cstdio>
#include <string>

namespace {

SERVICE_STATUS_HANDLE s_hStatus = nullptr;
SERVICE_STATUS s_coStatus {};
CRITICAL_SECTION s_coLock;
HANDLE s_hStopEvent = nullptr;
std::string s_sLogPath;

// Runs on the thread of ServiceMain or of the dispatcher; no line, no log.
void LogAndReport(const char* pszLine, DWORD dwState)
{
    EnterCriticalSection(&s_coLock);
    if (FILE* pFile = pszLine && !s_sLogPath.empty() ? std::fopen(s_sLogPath.c_str(), "a") : nullptr) {
        std::fprintf(pFile, "%s\n", pszLine);
        std::fclose(pFile);
    }
    const bool bPending = dwState == SERVICE_START_PENDING || dwState == SERVICE_STOP_PENDING;
    s_coStatus.dwCurrentState = dwState;
    s_coStatus.dwControlsAccepted =
        bPending || dwState == SERVICE_STOPPED ? 0 : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    s_coStatus.dwWaitHint = bPending ? 3000 : 0;
    SetServiceStatus(s_hStatus, &s_coStatus);
    LeaveCriticalSection(&s_coLock);
}

DWORD WINAPI ControlHandler(DWORD dwControl, DWORD, void*, void*)
{
    // The state each request leads to; interrogate keeps the current one.
    const struct { DWORD dwControl; const char* pszName; DWORD dwState; } aControls[] = {
        { SERVICE_CONTROL_STOP, "stop", SERVICE_STOP_PENDING }, { SERVICE_CONTROL_PAUSE, "pause", SERVICE_PAUSED },
        { SERVICE_CONTROL_CONTINUE, "continue", SERVICE_RUNNING }, { SERVICE_CONTROL_INTERROGATE, "interrogate", 0 },
    };
    for (const auto& c : aControls) {
        if (c.dwControl != dwControl)
            continue;
        LogAndReport(c.pszName, c.dwState ? c.dwState : s_coStatus.dwCurrentState);
        if (dwControl == SERVICE_CONTROL_STOP)
            SetEvent(s_hStopEvent);
        return NO_ERROR;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD dwArgc, char** ppszArgv)
{
    s_hStatus = RegisterServiceCtrlHandlerExA(ppszArgv && dwArgc ? ppszArgv[0] : "", ControlHandler, nullptr);
    if (!s_hStatus)
        return;
    s_coStatus.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    std::string sLine = "start";
    for (DWORD i = 1; i < dwArgc; ++i)
        sLine += std::string(" ") + ppszArgv[i];
    s_sLogPath = dwArgc > 1 ? ppszArgv[1] : "";
    LogAndReport(sLine.c_str(), SERVICE_RUNNING);
    WaitForSingleObject(s_hStopEvent, INFINITE);
    LogAndReport(nullptr, SERVICE_STOPPED);
}

} // namespace

int main()
{
    InitializeCriticalSection(&s_coLock);
    s_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char szName[] = "";
    SERVICE_TABLE_ENTRYA acoTable[] = { { szName, ServiceMain }, { nullptr, nullptr } };
    // Started by hand instead of by the manager, the dispatcher fails at once.
    return StartServiceCtrlDispatcherA(acoTable) ? 0 : 1;
}
