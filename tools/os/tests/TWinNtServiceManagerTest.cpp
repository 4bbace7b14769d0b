// The service manager against the real service control manager, with the
// test service KwTestService.exe built beside this program.
#include "KwTestTools.h"
#include "KwWindows.h"
#include "TWinNtServiceManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
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

std::string TempFile(const char* pszStem)
{
    char szDir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szDir);
    std::string sPath = std::string(szDir) + pszStem + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(sPath.c_str());
    return sPath;
}

std::vector<std::string> ReadLines(const std::string& sPath)
{
    std::vector<std::string> asLines;
    std::ifstream coIn(sPath);
    for (std::string sLine; std::getline(coIn, sLine);)
        asLines.push_back(sLine);
    return asLines;
}

// What the service control manager itself reports, read with Win32 calls
// of its own so that the checks do not depend on the class under test.
struct TConfig {
    DWORD dwServiceType { 0 };
    DWORD dwStartType { 0 };
    DWORD dwErrorControl { 0 };
    std::string sPath;
    std::string sDisplayName;
};

// Runs fnQuery on the service opened with dwAccess; 0 when it cannot be opened.
int WithService(const std::string& sName, DWORD dwAccess, const std::function<int(SC_HANDLE)>& fnQuery)
{
    SC_HANDLE hManager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE hService = hManager ? OpenServiceA(hManager, sName.c_str(), dwAccess) : nullptr;
    const int nResult = hService ? fnQuery(hService) : 0;
    if (hService)
        CloseServiceHandle(hService);
    if (hManager)
        CloseServiceHandle(hManager);
    return nResult;
}

int QueryConfig(const std::string& sName, TConfig& coConfig)
{
    return WithService(sName, SERVICE_QUERY_CONFIG, [&](SC_HANDLE hService) {
        DWORD dwNeeded = 0;
        QueryServiceConfigA(hService, nullptr, 0, &dwNeeded);
        std::vector<char> achBuffer(dwNeeded + 1);
        auto* pConfig = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(achBuffer.data());
        if (!dwNeeded || !QueryServiceConfigA(hService, pConfig, dwNeeded, &dwNeeded))
            return 0;
        coConfig = { pConfig->dwServiceType, pConfig->dwStartType, pConfig->dwErrorControl,
                     pConfig->lpBinaryPathName ? pConfig->lpBinaryPathName : "",
                     pConfig->lpDisplayName ? pConfig->lpDisplayName : "" };
        return 1;
    });
}

DWORD QueryState(const std::string& sName)
{
    return static_cast<DWORD>(WithService(sName, SERVICE_QUERY_STATUS, [](SC_HANDLE hService) {
        SERVICE_STATUS coStatus {};
        return QueryServiceStatus(hService, &coStatus) ? static_cast<int>(coStatus.dwCurrentState) : 0;
    }));
}

// Wait up to 20 seconds for the state or the lines; the answer is the last
// one seen.
DWORD WaitForState(const std::string& sName, DWORD dwWanted)
{
    DWORD dwState = 0;
    kwtest::WaitFor([&] { return (dwState = QueryState(sName)) == dwWanted; });
    return dwState;
}

std::vector<std::string> WaitForLines(const std::string& sPath, size_t nCount)
{
    std::vector<std::string> asLines;
    kwtest::WaitFor([&] { return (asLines = ReadLines(sPath)).size() >= nCount; });
    return asLines;
}

std::string Hex(DWORD dwCode)
{
    char szText[16];
    std::snprintf(szText, sizeof szText, "(0x%04X)", static_cast<unsigned int>(dwCode));
    return szText;
}

// Removes a service left behind by an earlier, interrupted run.
void RemoveLeftover(const std::string& sName)
{
    TWinNtServiceManager coManager;
    char szError[128];
    if (!coManager.Open(nullptr))
        return;
    if (coManager.StopService(sName.c_str(), szError, sizeof szError))
        WaitForState(sName, SERVICE_STOPPED);
    coManager.RemoveService(sName.c_str(), szError, sizeof szError);
}

using TOperation = std::function<int(TWinNtServiceManager&, const char* pszName, char*, short)>;

struct TNamedOperation { const char* pszLabel; TOperation fnRun; };

// Every operation that names an existing service, called with the same
// name and error buffer.
std::vector<TNamedOperation> ServiceOperations()
{
    return {
        { "RemoveService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.RemoveService(n, e, s); } },
        { "HasService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.HasService(n, e, s); } },
        { "ChangeService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.ChangeService(n, "", 4, "", e, s); } },
        { "StartService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.StartService(n, 0, nullptr, e, s); } },
        { "StopService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.StopService(n, e, s); } },
        { "PauseService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.PauseService(n, e, s); } },
        { "ContinueService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.ContinueService(n, e, s); } },
        { "InterrogateService", [](TWinNtServiceManager& m, const char* n, char* e, short s) { return m.InterrogateService(n, e, s); } },
    };
}

} // namespace

// Every operation reports a manager that is not open, a missing name and
// an unknown service, into a buffer of any size.
TEST(TWinNtServiceManager, ErrorsOfAClosedManagerAMissingNameAndAnUnknownService)
{
    TWinNtServiceManager coManager;
    const std::string sUnknown = "Call to OpenService() failed! " + Hex(ERROR_SERVICE_DOES_NOT_EXIST);
    const std::string sAbsent = ServiceName("Absent");
    std::vector<TNamedOperation> acoOperations = ServiceOperations();
    acoOperations.push_back({ "InstallService", [](TWinNtServiceManager& m, const char* n, char* e, short s) {
        return m.InstallService(n, "C:\\x.exe", 4, 1, "X", e, s);
    } });
    for (const TNamedOperation& coOperation : acoOperations) {
        SCOPED_TRACE(coOperation.pszLabel);
        char szError[64];
        std::memset(szError, 'x', sizeof szError);
        EXPECT_EQ(0, coOperation.fnRun(coManager, "KwTestAny", szError, sizeof szError));
        EXPECT_STREQ("TWinNtServiceManager object not opened!", szError);
        // The text is cut to the buffer, which always ends in a zero; no
        // room at all, or no buffer: nothing is written.
        std::memset(szError, 'x', sizeof szError);
        EXPECT_EQ(0, coOperation.fnRun(coManager, "KwTestAny", szError, 10));
        EXPECT_STREQ("TWinNtSer", szError);
        EXPECT_EQ('x', szError[10]);
        std::memset(szError, 'x', sizeof szError);
        EXPECT_EQ(0, coOperation.fnRun(coManager, "KwTestAny", szError, -5) + coOperation.fnRun(coManager, "KwTestAny", nullptr, 64));
        EXPECT_EQ('x', szError[0]);
    }

    // Opened (also a second time), then closed again.
    ASSERT_EQ(1, coManager.Open(nullptr));
    ASSERT_EQ(1, coManager.Open(""));
    EXPECT_NE(nullptr, coManager.GetSCManager());
    for (const TNamedOperation& coOperation : ServiceOperations()) {
        SCOPED_TRACE(coOperation.pszLabel);
        char szError[64] = "stale";
        EXPECT_EQ(0, coOperation.fnRun(coManager, nullptr, szError, sizeof szError));
        EXPECT_STREQ("No service name specified!", szError);
        EXPECT_EQ(0, coOperation.fnRun(coManager, sAbsent.c_str(), szError, sizeof szError));
        EXPECT_EQ(sUnknown, szError);
    }
    coManager.Close();
    coManager.Close();
    EXPECT_EQ(nullptr, coManager.GetSCManager());
}

TEST(TWinNtServiceManager, InstallsWithEachStartTypeAndRefusesWhatTheSystemRefuses)
{
    TWinNtServiceManager coManager;
    ASSERT_EQ(1, coManager.Open(nullptr));
    const std::string sName = ServiceName("Install");
    const std::string sProgram = ServiceProgram();
    RemoveLeftover(sName);

    // Boot and system start are start types of drivers, not of programs.
    const struct { const char* pszName; int nStartType; DWORD dwExpected; DWORD dwError; } acoCases[] = {
        { sName.c_str(), 3, SERVICE_AUTO_START, 0 }, { sName.c_str(), 5, SERVICE_DISABLED, 0 },
        { sName.c_str(), 9, SERVICE_DEMAND_START, 0 }, { sName.c_str(), 1, 0, ERROR_INVALID_PARAMETER },
        { sName.c_str(), 2, 0, ERROR_INVALID_PARAMETER }, { "", 4, 0, ERROR_INVALID_NAME },
    };
    for (const auto& coCase : acoCases) {
        SCOPED_TRACE(coCase.nStartType);
        char szError[128] = "";
        const int nInstalled = coManager.InstallService(coCase.pszName, sProgram.c_str(), coCase.nStartType, 1,
                                                        "Kwillet test service", szError, sizeof szError);
        if (coCase.dwError) {
            EXPECT_EQ(0, nInstalled);
            EXPECT_EQ("Call to CreateService() failed! " + Hex(coCase.dwError), szError);
            continue;
        }
        ASSERT_EQ(1, nInstalled) << szError;
        EXPECT_EQ(1, coManager.HasService(sName.c_str(), szError, sizeof szError)) << szError;
        TConfig coConfig;
        ASSERT_EQ(1, QueryConfig(sName, coConfig));
        EXPECT_EQ(coCase.dwExpected, coConfig.dwStartType);
        EXPECT_EQ(static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS), coConfig.dwServiceType);
        EXPECT_EQ(sProgram + "|Kwillet test service", coConfig.sPath + "|" + coConfig.sDisplayName);
        // A second installation under the same name fails and changes nothing.
        EXPECT_EQ(0, coManager.InstallService(sName.c_str(), "C:\\other.exe", 5, 1, "Other", szError, sizeof szError));
        EXPECT_EQ("Call to CreateService() failed! " + Hex(ERROR_SERVICE_EXISTS), szError);
        ASSERT_EQ(1, coManager.RemoveService(sName.c_str(), szError, sizeof szError)) << szError;
        EXPECT_EQ(0, coManager.RemoveService(sName.c_str(), szError, sizeof szError));
    }
}

TEST(TWinNtServiceManager, RunsTheWholeLifeCycle)
{
    TWinNtServiceManager coManager;
    ASSERT_EQ(1, coManager.Open(nullptr));
    const std::string sName = ServiceName("Cycle");
    const std::string sLog = TempFile("KwTestCycle");
    RemoveLeftover(sName);
    char szError[128] = "";
    ASSERT_EQ(1, coManager.InstallService(sName.c_str(), ServiceProgram().c_str(), 4, 2, "Kwillet life cycle",
                                          szError, sizeof szError))
        << szError;

    // Not running yet: nothing to control.
    EXPECT_EQ(0, coManager.StopService(sName.c_str(), szError, sizeof szError));
    EXPECT_EQ("Call to ControlService() failed! " + Hex(ERROR_SERVICE_NOT_ACTIVE), szError);

    const char* apszArguments[] = { sLog.c_str(), "alpha", "beta gamma" };
    ASSERT_EQ(1, coManager.StartService(sName.c_str(), 3, apszArguments, szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), WaitForState(sName, SERVICE_RUNNING));
    EXPECT_EQ(0, coManager.StartService(sName.c_str(), 0, nullptr, szError, sizeof szError));
    EXPECT_EQ("Call to StartService() failed! " + Hex(ERROR_SERVICE_ALREADY_RUNNING), szError);

    EXPECT_EQ(1, coManager.InterrogateService(sName.c_str(), szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.PauseService(sName.c_str(), szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), WaitForState(sName, SERVICE_PAUSED));
    EXPECT_EQ(1, coManager.ContinueService(sName.c_str(), szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), WaitForState(sName, SERVICE_RUNNING));
    EXPECT_EQ(1, coManager.StopService(sName.c_str(), szError, sizeof szError)) << szError;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), WaitForState(sName, SERVICE_STOPPED));
    EXPECT_EQ((std::vector<std::string> { "start " + sLog + " alpha beta gamma", "interrogate", "pause", "continue",
                                          "stop" }),
              WaitForLines(sLog, 5));
    EXPECT_EQ(0, coManager.PauseService(sName.c_str(), szError, sizeof szError));
    EXPECT_EQ("Call to ControlService() failed! " + Hex(ERROR_SERVICE_NOT_ACTIVE), szError);
    EXPECT_EQ(1, coManager.RemoveService(sName.c_str(), szError, sizeof szError)) << szError;
    DeleteFileA(sLog.c_str());
}

TEST(TWinNtServiceManager, ChangesConfigurationAndReportsStartFailures)
{
    TWinNtServiceManager coManager;
    ASSERT_EQ(1, coManager.Open(nullptr));
    const std::string sName = ServiceName("Change");
    const std::string sOther = ServiceName("Other");
    const std::string sProgram = ServiceProgram();
    RemoveLeftover(sName);
    RemoveLeftover(sOther);
    char szError[128] = "";
    ASSERT_EQ(1, coManager.InstallService(sName.c_str(), sProgram.c_str(), 4, 4, "Before", szError, sizeof szError))
        << szError;

    const std::string sMissing = ProgramDirectory() + "KwNoSuchService.exe";
    ASSERT_EQ(1, coManager.ChangeService(sName.c_str(), sMissing.c_str(), 5, "After", szError, sizeof szError))
        << szError;
    TConfig coConfig;
    ASSERT_EQ(1, QueryConfig(sName, coConfig));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DISABLED), coConfig.dwStartType);
    EXPECT_EQ(sMissing + "|After", coConfig.sPath + "|" + coConfig.sDisplayName);
    EXPECT_EQ(0, coManager.StartService(sName.c_str(), 0, nullptr, szError, sizeof szError));
    EXPECT_EQ("Call to StartService() failed! " + Hex(ERROR_SERVICE_DISABLED), szError);

    // An empty path keeps the program; an empty display name, or none,
    // shows the service name; other start types mean on demand.
    for (const char* pszNothing : { "", static_cast<const char*>(nullptr) }) {
        ASSERT_EQ(1, coManager.ChangeService(sName.c_str(), pszNothing, 3, "Named", szError, sizeof szError));
        ASSERT_EQ(1, coManager.ChangeService(sName.c_str(), "", 9, pszNothing, szError, sizeof szError))
            << szError;
        ASSERT_EQ(1, QueryConfig(sName, coConfig));
        EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), coConfig.dwStartType);
        EXPECT_EQ(sMissing + "|" + sName, coConfig.sPath + "|" + coConfig.sDisplayName);
    }
    EXPECT_EQ(0, coManager.StartService(sName.c_str(), 0, nullptr, szError, sizeof szError));
    EXPECT_EQ("Call to StartService() failed! " + Hex(ERROR_FILE_NOT_FOUND), szError);

    // A display name that another service already shows is refused.
    ASSERT_EQ(1, coManager.InstallService(sOther.c_str(), sProgram.c_str(), 4, 0, "Taken", szError, sizeof szError))
        << szError;
    EXPECT_EQ(0, coManager.ChangeService(sName.c_str(), "", 4, "Taken", szError, sizeof szError));
    EXPECT_EQ("Call to ChangeServiceConfig() failed! " + Hex(ERROR_DUPLICATE_SERVICE_NAME), szError);
    EXPECT_EQ(1, coManager.RemoveService(sOther.c_str(), szError, sizeof szError)) << szError;
    EXPECT_EQ(1, coManager.RemoveService(sName.c_str(), szError, sizeof szError)) << szError;
}
