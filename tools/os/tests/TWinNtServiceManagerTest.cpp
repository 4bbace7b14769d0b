// The service manager against the real service control manager, with the
// test service KwTestService.exe built beside this program.
#include "KwTestTools.h"
#include "KwWindows.h"
#include "TWinNtServiceManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using kwtest::ProgramDirectory;

std::string ServiceProgram() { return ProgramDirectory() + "KwTestService.exe"; }

// Names unique to this process, so that runs side by side do not meet.
std::string ServiceName(const char* pszStem)
{
    return std::string("KwTest") + pszStem + std::to_string(GetCurrentProcessId());
}

// The reason the manager gives when a Win32 call fails.
std::string CallError(const char* pszFunction, DWORD dwCode)
{
    char szText[96];
    std::snprintf(szText, sizeof szText, "Call to %s() failed! (0x%04X)", pszFunction, static_cast<unsigned>(dwCode));
    return szText;
}

// What the service control manager itself reports, read with Win32 calls of
// its own so that the checks do not depend on the class under test: the
// state, and "start type|program|display name"; 0 and nothing when the
// service cannot be opened.
DWORD Query(const std::string& sName, std::string* psConfig = nullptr)
{
    SC_HANDLE hManager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    const DWORD dwAccess = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS;
    SC_HANDLE hService = hManager ? OpenServiceA(hManager, sName.c_str(), dwAccess) : nullptr;
    SERVICE_STATUS coStatus {};
    std::vector<char> achBuffer(8192);        // the largest configuration there is
    auto* pConfig = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(achBuffer.data());
    DWORD dwNeeded = 0;
    if (hService && QueryServiceStatus(hService, &coStatus) && psConfig
        && QueryServiceConfigA(hService, pConfig, static_cast<DWORD>(achBuffer.size()), &dwNeeded))
        *psConfig = std::to_string(pConfig->dwStartType) + "|" + pConfig->lpBinaryPathName + "|"
            + pConfig->lpDisplayName;
    if (hService)
        CloseServiceHandle(hService);
    if (hManager)
        CloseServiceHandle(hManager);
    return coStatus.dwCurrentState;
}

std::string Config(const std::string& sName)
{
    std::string sConfig;
    Query(sName, &sConfig);
    return sConfig;
}

// Waits up to 20 seconds for the state; the answer is the last one seen.
DWORD WaitForState(const std::string& sName, DWORD dwWanted)
{
    DWORD dwState = 0;
    kwtest::WaitFor([&] { return (dwState = Query(sName)) == dwWanted; });
    return dwState;
}

std::vector<std::string> ReadLines(const std::string& sPath)
{
    std::vector<std::string> asLines;
    std::ifstream coIn(sPath);
    for (std::string sLine; std::getline(coIn, sLine);)
        asLines.push_back(sLine);
    return asLines;
}

} // namespace

// Every operation reports a manager that is not open and a missing name,
// cut to the buffer, which always ends in a zero.
TEST(TWinNtServiceManager, ErrorsOfAClosedManagerAndAMissingName)
{
    TWinNtServiceManager coManager;
    char szError[64];
    std::memset(szError, 'x', sizeof szError);
    EXPECT_EQ(0, coManager.HasService("KwTestAny", szError, 10));
    EXPECT_EQ(std::string("TWinNtSer\0x", 11), std::string(szError, 11));
    EXPECT_EQ(0, coManager.StopService("KwTestAny", nullptr, 64));
    ASSERT_EQ(1, coManager.Open(nullptr));
    EXPECT_EQ(0, coManager.ContinueService(nullptr, szError, sizeof szError));
    EXPECT_STREQ("No service name specified!", szError);
    coManager.Close();
    EXPECT_EQ(nullptr, coManager.GetSCManager());
}

// Start types: 3 automatic, 5 disabled, anything else but the driver types
// 1 and 2 on demand.
TEST(TWinNtServiceManager, InstallsChangesRunsAndRemovesAService)
{
    const std::string sName = ServiceName("Cycle");
    const std::string sProgram = ServiceProgram();
    const char* pszName = sName.c_str();
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    const std::string sLog = szDir + sName + ".log";
    DeleteFileA(sLog.c_str());
    TWinNtServiceManager coManager;
    ASSERT_EQ(1, coManager.Open(nullptr));
    char szError[128] = "";
    // A service that an earlier, interrupted run left behind goes first.
    if (coManager.StopService(pszName, szError, sizeof szError))
        WaitForState(sName, SERVICE_STOPPED);
    coManager.RemoveService(pszName, szError, sizeof szError);
    ASSERT_EQ(1, coManager.InstallService(pszName, sProgram.c_str(), 3, 2, "Kwillet", szError, sizeof szError))
        << szError;
    EXPECT_EQ(1, coManager.HasService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(std::to_string(SERVICE_AUTO_START) + "|" + sProgram + "|Kwillet", Config(sName));
    // A second installation under the same name fails and changes nothing.
    EXPECT_EQ(0, coManager.InstallService(pszName, "C:\\other.exe", 5, 1, "Other", szError, sizeof szError));
    EXPECT_EQ(CallError("CreateService", ERROR_SERVICE_EXISTS), szError);

    // An empty path keeps the program; no display name shows the service name.
    ASSERT_EQ(1, coManager.ChangeService(pszName, "", 9, nullptr, szError, sizeof szError));
    EXPECT_EQ(std::to_string(SERVICE_DEMAND_START) + "|" + sProgram + "|" + sName, Config(sName));
    EXPECT_EQ(0, coManager.ChangeService(pszName, "", 1, "Kwillet", szError, sizeof szError));
    EXPECT_EQ(CallError("ChangeServiceConfig", ERROR_INVALID_PARAMETER), szError);

    // Not running yet: nothing to control.
    EXPECT_EQ(0, coManager.StopService(pszName, szError, sizeof szError));
    EXPECT_EQ(CallError("ControlService", ERROR_SERVICE_NOT_ACTIVE), szError);
    const char* apszArguments[] = { sLog.c_str(), "alpha", "beta gamma" };
    ASSERT_EQ(1, coManager.StartService(pszName, 3, apszArguments, szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), WaitForState(sName, SERVICE_RUNNING));
    EXPECT_EQ(1, coManager.InterrogateService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.PauseService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), WaitForState(sName, SERVICE_PAUSED));
    EXPECT_EQ(1, coManager.ContinueService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.StopService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), WaitForState(sName, SERVICE_STOPPED));
    // The service logs each request before it reports the state it leads to.
    EXPECT_EQ((std::vector<std::string> { "start " + sLog + " alpha beta gamma", "interrogate", "pause", "continue",
                                          "stop" }),
              ReadLines(sLog));
    DeleteFileA(sLog.c_str());

    // A program that is gone cannot start.
    const std::string sMissing = ProgramDirectory() + "KwNoSuchService.exe";
    ASSERT_EQ(1, coManager.ChangeService(pszName, sMissing.c_str(), 4, "Kwillet", szError, sizeof szError));
    EXPECT_EQ(0, coManager.StartService(pszName, 0, nullptr, szError, sizeof szError));
    EXPECT_EQ(CallError("StartService", ERROR_FILE_NOT_FOUND), szError);
    ASSERT_EQ(1, coManager.RemoveService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(0, coManager.RemoveService(pszName, szError, sizeof szError));
    EXPECT_EQ(CallError("OpenService", ERROR_SERVICE_DOES_NOT_EXIST), szError);
}
