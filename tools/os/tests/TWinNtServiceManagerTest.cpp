// The service manager against the real service control manager, with the
// test service KwTestService.exe built beside this program.
#include "KwTestTools.h"
#include "KwWindows.h"
#include "TWinNtServiceManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// What the service control manager itself reports, read with Win32 calls of
// its own so that the checks do not depend on the class under test:
// "state start type|program|display name", nothing when the service cannot
// be opened.
std::string Query(const std::string& sName)
{
    SC_HANDLE hManager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    const DWORD dwAccess = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS;
    SC_HANDLE hService = hManager ? OpenServiceA(hManager, sName.c_str(), dwAccess) : nullptr;
    SERVICE_STATUS coStatus {};
    std::vector<char> achBuffer(8192);        // the largest configuration there is
    auto* pConfig = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(achBuffer.data());
    DWORD dwNeeded = 0;
    std::string sState;
    if (hService && QueryServiceStatus(hService, &coStatus)
        && QueryServiceConfigA(hService, pConfig, static_cast<DWORD>(achBuffer.size()), &dwNeeded))
        sState = std::to_string(coStatus.dwCurrentState) + " " + std::to_string(pConfig->dwStartType) + "|"
            + pConfig->lpBinaryPathName + "|" + pConfig->lpDisplayName;
    if (hService)
        CloseServiceHandle(hService);
    if (hManager)
        CloseServiceHandle(hManager);
    return sState;
}

// Whether the service reaches the state within 20 seconds.
bool Reaches(const std::string& sName, DWORD dwState)
{
    return kwtest::WaitFor([&] { return Query(sName).rfind(std::to_string(dwState) + " ", 0) == 0; });
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

// Start types: 3 automatic, anything else but the driver types 1 and 2 on
// demand. Errors are cut to the buffer, which always ends in a zero.
TEST(TWinNtServiceManager, InstallsChangesRunsAndRemovesAService)
{
    const std::string sName = "KwTestCycle" + std::to_string(GetCurrentProcessId());
    const std::string sProgram = kwtest::ProgramDirectory() + "KwTestService.exe";
    const char* pszName = sName.c_str();
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    const std::string sLog = szDir + sName + ".log";
    DeleteFileA(sLog.c_str());
    TWinNtServiceManager coManager;
    char szError[128];
    std::memset(szError, 'x', sizeof szError);
    EXPECT_EQ(0, coManager.HasService(pszName, szError, 10));
    EXPECT_EQ(std::string("TWinNtSer\0x", 11), std::string(szError, 11));
    EXPECT_EQ(0, coManager.StopService(pszName, nullptr, 64));
    ASSERT_EQ(1, coManager.Open(nullptr));
    EXPECT_EQ(0, coManager.ContinueService(nullptr, szError, sizeof szError));
    EXPECT_STREQ("No service name specified!", szError);
    // A service that an earlier, interrupted run left behind goes first.
    if (coManager.StopService(pszName, szError, sizeof szError))
        Reaches(sName, SERVICE_STOPPED);
    coManager.RemoveService(pszName, szError, sizeof szError);

    ASSERT_EQ(1, coManager.InstallService(pszName, sProgram.c_str(), 3, 2, "Kwillet", szError, sizeof szError))
        << szError;
    EXPECT_EQ(1, coManager.HasService(pszName, szError, sizeof szError)) << szError;
    const std::string sStopped = std::to_string(SERVICE_STOPPED) + " ";
    EXPECT_EQ(sStopped + std::to_string(SERVICE_AUTO_START) + "|" + sProgram + "|Kwillet", Query(sName));
    // A second installation under the same name fails and changes nothing.
    EXPECT_EQ(0, coManager.InstallService(pszName, "C:\\other.exe", 5, 1, "Other", szError, sizeof szError));
    EXPECT_STREQ("Call to CreateService() failed! (0x0431)", szError);
    // An empty path keeps the program; no display name shows the service name.
    ASSERT_EQ(1, coManager.ChangeService(pszName, "", 9, nullptr, szError, sizeof szError));
    EXPECT_EQ(sStopped + std::to_string(SERVICE_DEMAND_START) + "|" + sProgram + "|" + sName, Query(sName));

    const char* apszArguments[] = { sLog.c_str(), "alpha", "beta gamma" };
    ASSERT_EQ(1, coManager.StartService(pszName, 3, apszArguments, szError, sizeof szError)) << szError;
    EXPECT_TRUE(Reaches(sName, SERVICE_RUNNING));
    EXPECT_EQ(1, coManager.InterrogateService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.PauseService(pszName, szError, sizeof szError)) << szError;
    EXPECT_TRUE(Reaches(sName, SERVICE_PAUSED));
    EXPECT_EQ(1, coManager.ContinueService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.StopService(pszName, szError, sizeof szError)) << szError;
    EXPECT_TRUE(Reaches(sName, SERVICE_STOPPED));
    // The service logs each request before it reports the state it leads to.
    EXPECT_EQ((std::vector<std::string> { "start " + sLog + " alpha beta gamma", "interrogate", "pause", "continue",
                                          "stop" }),
              ReadLines(sLog));
    DeleteFileA(sLog.c_str());
    ASSERT_EQ(1, coManager.RemoveService(pszName, szError, sizeof szError)) << szError;
    EXPECT_EQ("", Query(sName));
    coManager.Close();
    EXPECT_EQ(nullptr, coManager.GetSCManager());
}
