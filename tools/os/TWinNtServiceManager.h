#pragma once

#include "KwtlApi.h"

// A thin wrapper of the Windows NT service control manager for programs that
// install, configure, start and control services (installers in
// particular). Windows only.
//
// Every operation answers 1 on success and 0 on failure; on failure it
// copies a one-line English reason into the caller's buffer (at most
// nErrorSize - 1 characters and a terminating zero; nothing without a
// buffer or with a size below 1). The manager handle survives every failure.
class KWTL_API TWinNtServiceManager {
public:
    TWinNtServiceManager() = default;
    TWinNtServiceManager(const TWinNtServiceManager&) = delete;
    TWinNtServiceManager& operator=(const TWinNtServiceManager&) = delete;
    virtual ~TWinNtServiceManager();

    // The manager: a null or empty machine name is the local machine.
    int Open(const char* pszMachine);
    void Close();
    void* GetSCManager() const { return m_hSCManager; }

    // Configuration. Start types: 1 boot, 2 system, 3 automatic, 4 on
    // demand, 5 disabled, anything else on demand. Control types: 1 stop,
    // 2 pause and continue, 3 interrogate, 4 change configuration.
    int InstallService(const char* pszName, const char* pszProgramPath, int nStartType, int nControlType,
                       const char* pszDisplayName, char* pszError, short nErrorSize);
    int RemoveService(const char* pszName, char* pszError, short nErrorSize);
    int HasService(const char* pszName, char* pszError, short nErrorSize);
    // An empty program path keeps the old one; an empty display name
    // makes the service name the display name.
    int ChangeService(const char* pszName, const char* pszProgramPath, int nStartType,
                      const char* pszDisplayName, char* pszError, short nErrorSize);

    // Control
    int StartService(const char* pszName, unsigned long ulArgumentCount, const char** ppszArguments,
                     char* pszError, short nErrorSize);
    int StopService(const char* pszName, char* pszError, short nErrorSize);
    int PauseService(const char* pszName, char* pszError, short nErrorSize);
    int ContinueService(const char* pszName, char* pszError, short nErrorSize);
    int InterrogateService(const char* pszName, char* pszError, short nErrorSize);

    // The Windows NT start type and service access right of the arguments above.
    static unsigned long GetStartTypeWinNT(int nStartType);
    static unsigned long GetControlTypeWinNT(int nControlType);

private:
    int ControlService(const char* pszName, unsigned long ulCode, char* pszError, short nErrorSize);
    // Opens the service with all access after the common checks; null
    // with the reason in the buffer when that fails.
    void* OpenNamedService(const char* pszName, char* pszError, short nErrorSize) const;

    void* m_hSCManager { nullptr };   // owned; closed by Close and the destructor
};
