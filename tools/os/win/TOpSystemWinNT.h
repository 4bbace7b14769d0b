#pragma once

#include "TOpSystem.h"

// The operating-system object on Win32 and the Microsoft C run-time.
// Drives are named by their first three characters ("C:\"); critical-error
// boxes of the platform are suppressed, for the calling thread only, while
// drives are queried and libraries are loaded.
class KWTL_API TOpSystemWinNT : public TOpSystem {
    KW_DYNAMIC_CLASS(TOpSystemWinNT, TOpSystem)
public:
    // Asks the platform for its version; an unsupported platform ends the
    // process with exit code 1.
    TOpSystemWinNT();
    ~TOpSystemWinNT() override;

    // Drives
    int ScanDrives(TArray& coDrives) const override;
    int ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern, int nWithDirectories) const override;
    unsigned short GetDriveType(const char* pszPath) const override;
    int GetDriveInfo(const char* pszPath, unsigned short* punType, TString* pcoVolumeName,
                     TString* pcoFileSystemName) const override;
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

    // Threads and processes
    TOsThread* CreateThread(TDynBase* pcoObject, ThreadHandler pfnHandler) const override;
    TConsoleProcess* CreateConsoleProcess() const override;

    // Environment
    TString GetEnvVar(const char* pszName) const override;
    int SetEnvVar(const char* pszName, const char* pszValue) const override;

    // Messages and clock
    void Message(const char* pszText, const char* pszCaption) const override;
    void Sleep(unsigned short unMilliseconds) const override;
    unsigned long GetOSRunningTimeMs() const override;
    // Sets the local clock with the system-time privilege enabled for the
    // call; 0 for an invalid value (or one outside the years 1601 to 30827)
    // and when the system refuses.
    int SetLocalTime(const TDateTimeF& coDateTime) const override;

    // Libraries
    // LoadLibrary adds ".dll" to a name without extension.
    intptr_t LoadLibrary(const char* pszName) const override;
    int FreeLibrary(intptr_t nHandle) const override;
    int IsUtf8Text() const override;
};
