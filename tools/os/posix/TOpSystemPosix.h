#pragma once

#include "TOpSystem.h"

// The operating-system object of the native (Linux) build. Paths are POSIX
// paths; there are no drive letters, so the drive operations keep the
// neutral results of TOpSystem. The sharing modes of OpenFile are kept
// between the opens of this and other processes with flock() locks: a
// read-only open that denies writers takes a shared lock, every other open
// an exclusive one.
class KWTL_API TOpSystemPosix : public TOpSystem {
    KW_DYNAMIC_CLASS(TOpSystemPosix, TOpSystem)
public:
    // The system name, version and build come from uname(); the platform
    // code stays unset, the system being neither of the Windows families.
    TOpSystemPosix();
    ~TOpSystemPosix() override;

    // Files and directories
    // ScanFiles matches with fnmatch(); "*.*" matches every name, as it
    // does on Windows.
    int ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern, int nWithDirectories) const override;
    int GetFileInfo(const char* pszPath, TFileInfo& coInfo) const override;
    int ExistsPath(const char* pszPath) const override;
    uint64_t DiskFreeSpace(const char* pszPath) const override;

    // Files
    int OpenFile(const char* pszName, unsigned short unOpenMode, unsigned short unTextMode,
                 unsigned short* punError) const override;
    void CloseFile(int nHandle) const override;
    void SeekFile(int nHandle, int64_t llOffset, unsigned short unOrigin) const override;
    int64_t TellFile(int nHandle) const override;
    int64_t FileLength(int nHandle) const override;
    long ReadFile(int nHandle, char* pchBuffer, long lCount) const override;
    long WriteFile(int nHandle, const char* pchBuffer, long lCount) const override;

    // Directories
    TString GetCurrentDirectory() const override;
    int SetCurrentDirectory(const char* pszPath) const override;
    int CreateDirectory(const char* pszPath, unsigned short* punError) const override;
    int RemoveDirectory(const char* pszPath, unsigned short* punError) const override;
    int DeleteFile(const char* pszPath, unsigned short* punError) const override;
    int CopyFile(const char* pszTarget, const char* pszSource, int64_t llOffset) const override;
    int MoveFileReplace(const char* pszTarget, const char* pszSource) const override;
    int FlushFile(const char* pszName) const override;

    // Threads
    TOsThread* CreateThread(TDynBase* pcoObject, ThreadHandler pfnHandler) const override;

    // Environment
    TString GetEnvVar(const char* pszName) const override;
    int SetEnvVar(const char* pszName, const char* pszValue) const override;

    // Messages and clock
    // Without a message handler the text goes to standard error.
    void Message(const char* pszText, const char* pszCaption) const override;
    void Sleep(unsigned short unMilliseconds) const override;
    unsigned long GetOSRunningTimeMs() const override;

    // Libraries
    // LoadLibrary adds ".so" to a name whose file part has no extension (a
    // trailing "." means "no extension" and is dropped), and looks for a
    // name without directory beside the program first, then where dlopen()
    // looks.
    intptr_t LoadLibrary(const char* pszName) const override;
    int FreeLibrary(intptr_t nHandle) const override;
    static TString LibraryFileName(const char* pszName);
};
