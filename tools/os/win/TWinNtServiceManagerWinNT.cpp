#include "TWinNtServiceManager.h"

#include "KwWindows.h"
#include "TWideText.h"
#include "TUtf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char s_szNotOpened[] = "TWinNtServiceManager object not opened!";
const char s_szNoName[] = "No service name specified!";

void SetError(char* pszError, short nErrorSize, const char* pszText)
{
    if (!pszError || nErrorSize < 1)
        return;
    const size_t nCopy = TUtf8::Fit(pszText, std::strlen(pszText), static_cast<size_t>(nErrorSize - 1));
    std::memcpy(pszError, pszText, nCopy);
    pszError[nCopy] = '\0';
}

// "Call to <function>() failed! (0x....)" with the thread's last error.
void SetCallError(char* pszError, short nErrorSize, const char* pszFunction)
{
    const unsigned int uCode = static_cast<unsigned int>(::GetLastError());
    char szText[96];
    std::snprintf(szText, sizeof szText, "Call to %s() failed! (0x%04X)", pszFunction, uCode);
    SetError(pszError, nErrorSize, szText);
}

int IsEmptyName(const char* pszName)
{
    return !pszName || !*pszName;
}

SC_HANDLE ToHandle(void* pvHandle)
{
    return static_cast<SC_HANDLE>(pvHandle);
}

// Closes a service handle at the end of a scope without touching the
// thread's last error, which the reason text of a failure still needs.
class TServiceHandle {
public:
    explicit TServiceHandle(SC_HANDLE hService) : m_hService(hService) {}
    TServiceHandle(const TServiceHandle&) = delete;
    TServiceHandle& operator=(const TServiceHandle&) = delete;
    ~TServiceHandle()
    {
        if (!m_hService)
            return;
        const DWORD dwError = ::GetLastError();
        ::CloseServiceHandle(m_hService);
        ::SetLastError(dwError);
    }

    SC_HANDLE Get() const { return m_hService; }

private:
    SC_HANDLE m_hService;
};

} // namespace

TWinNtServiceManager::~TWinNtServiceManager()
{
    Close();
}

int TWinNtServiceManager::Open(const char* pszMachine)
{
    Close();
    const char* pszName = IsEmptyName(pszMachine) ? nullptr : pszMachine;
    m_hSCManager = ::OpenSCManagerW(TWideArg(pszName), nullptr, SC_MANAGER_ALL_ACCESS);
    return m_hSCManager != nullptr;
}

void TWinNtServiceManager::Close()
{
    if (!m_hSCManager)
        return;
    ::CloseServiceHandle(ToHandle(m_hSCManager));
    m_hSCManager = nullptr;
}

unsigned long TWinNtServiceManager::GetStartTypeWinNT(int nStartType)
{
    static const unsigned long s_aulTypes[] = { SERVICE_BOOT_START, SERVICE_SYSTEM_START, SERVICE_AUTO_START,
                                                SERVICE_DEMAND_START, SERVICE_DISABLED };
    return nStartType >= 1 && nStartType <= 5 ? s_aulTypes[nStartType - 1] : SERVICE_DEMAND_START;
}

unsigned long TWinNtServiceManager::GetControlTypeWinNT(int nControlType)
{
    static const unsigned long s_aulTypes[] = { SERVICE_STOP, SERVICE_PAUSE_CONTINUE, SERVICE_INTERROGATE,
                                                SERVICE_CHANGE_CONFIG };
    return nControlType >= 1 && nControlType <= 4 ? s_aulTypes[nControlType - 1] : 0;
}

int TWinNtServiceManager::InstallService(const char* pszName, const char* pszProgramPath, int nStartType,
                                         int nControlType, const char* pszDisplayName, char* pszError,
                                         short nErrorSize)
{
    if (!m_hSCManager) {
        SetError(pszError, nErrorSize, s_szNotOpened);
        return 0;
    }
    const DWORD dwAccess = SERVICE_ALL_ACCESS & ~GetControlTypeWinNT(nControlType);
    TServiceHandle coService(::CreateServiceW(ToHandle(m_hSCManager), TWideArg(pszName), TWideArg(pszDisplayName),
                                              dwAccess, SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS,
                                              GetStartTypeWinNT(nStartType), SERVICE_ERROR_NORMAL,
                                              TWideArg(pszProgramPath), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!coService.Get()) {
        SetCallError(pszError, nErrorSize, "CreateService");
        return 0;
    }
    return 1;
}

void* TWinNtServiceManager::OpenNamedService(const char* pszName, char* pszError, short nErrorSize) const
{
    if (!m_hSCManager) {
        SetError(pszError, nErrorSize, s_szNotOpened);
        return nullptr;
    }
    if (IsEmptyName(pszName)) {
        SetError(pszError, nErrorSize, s_szNoName);
        return nullptr;
    }
    SC_HANDLE hService = ::OpenServiceW(ToHandle(m_hSCManager), TWideArg(pszName), SERVICE_ALL_ACCESS);
    if (!hService)
        SetCallError(pszError, nErrorSize, "OpenService");
    return hService;
}

int TWinNtServiceManager::RemoveService(const char* pszName, char* pszError, short nErrorSize)
{
    TServiceHandle coService(ToHandle(OpenNamedService(pszName, pszError, nErrorSize)));
    if (!coService.Get())
        return 0;
    if (!::DeleteService(coService.Get())) {
        SetCallError(pszError, nErrorSize, "DeleteService");
        return 0;
    }
    return 1;
}

int TWinNtServiceManager::HasService(const char* pszName, char* pszError, short nErrorSize)
{
    TServiceHandle coService(ToHandle(OpenNamedService(pszName, pszError, nErrorSize)));
    return coService.Get() != nullptr;
}

int TWinNtServiceManager::ChangeService(const char* pszName, const char* pszProgramPath, int nStartType,
                                        const char* pszDisplayName, char* pszError, short nErrorSize)
{
    TServiceHandle coService(ToHandle(OpenNamedService(pszName, pszError, nErrorSize)));
    if (!coService.Get())
        return 0;
    const char* pszPath = IsEmptyName(pszProgramPath) ? nullptr : pszProgramPath;
    const char* pszShownName = IsEmptyName(pszDisplayName) ? pszName : pszDisplayName;
    if (!::ChangeServiceConfigW(coService.Get(), SERVICE_NO_CHANGE, GetStartTypeWinNT(nStartType),
                                SERVICE_ERROR_NORMAL, TWideArg(pszPath), nullptr, nullptr, nullptr, nullptr, nullptr,
                                TWideArg(pszShownName))) {
        // A caller that shows the buffer after a failure must never see the
        // reason of an earlier call, or a buffer that was never written.
        SetCallError(pszError, nErrorSize, "ChangeServiceConfig");
        return 0;
    }
    return 1;
}

int TWinNtServiceManager::StartService(const char* pszName, unsigned long ulArgumentCount,
                                       const char** ppszArguments, char* pszError, short nErrorSize)
{
    TServiceHandle coService(ToHandle(OpenNamedService(pszName, pszError, nErrorSize)));
    if (!coService.Get())
        return 0;
    if (!ppszArguments)
        ulArgumentCount = 0;
    std::vector<std::wstring> vecArguments;
    std::vector<const wchar_t*> vecPointers;
    for (unsigned long i = 0; i < ulArgumentCount; ++i)
        vecArguments.push_back(TWideText::Wide(ppszArguments[i]));
    for (const std::wstring& wstrArgument : vecArguments)
        vecPointers.push_back(wstrArgument.c_str());
    if (!::StartServiceW(coService.Get(), ulArgumentCount, vecPointers.empty() ? nullptr : vecPointers.data())) {
        SetCallError(pszError, nErrorSize, "StartService");
        return 0;
    }
    return 1;
}

int TWinNtServiceManager::StopService(const char* pszName, char* pszError, short nErrorSize)
{
    return ControlService(pszName, SERVICE_CONTROL_STOP, pszError, nErrorSize);
}

int TWinNtServiceManager::PauseService(const char* pszName, char* pszError, short nErrorSize)
{
    return ControlService(pszName, SERVICE_CONTROL_PAUSE, pszError, nErrorSize);
}

int TWinNtServiceManager::ContinueService(const char* pszName, char* pszError, short nErrorSize)
{
    return ControlService(pszName, SERVICE_CONTROL_CONTINUE, pszError, nErrorSize);
}

int TWinNtServiceManager::InterrogateService(const char* pszName, char* pszError, short nErrorSize)
{
    return ControlService(pszName, SERVICE_CONTROL_INTERROGATE, pszError, nErrorSize);
}

int TWinNtServiceManager::ControlService(const char* pszName, unsigned long ulCode, char* pszError,
                                         short nErrorSize)
{
    TServiceHandle coService(ToHandle(OpenNamedService(pszName, pszError, nErrorSize)));
    if (!coService.Get())
        return 0;
    SERVICE_STATUS coStatus {};
    if (!::ControlService(coService.Get(), ulCode, &coStatus)) {
        SetCallError(pszError, nErrorSize, "ControlService");
        return 0;
    }
    return 1;
}
