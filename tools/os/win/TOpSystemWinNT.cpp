#include "TOpSystemWinNT.h"

#include "KwWindows.h"
#include "TArray.h"
#include "TDateTime.h"
#include "TFileInfo.h"
#include "TConProWinNT.h"
#include "TOsThreadWinNT.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

KW_IMPLEMENT_DYNAMIC_CLASS(TOpSystemWinNT, TOpSystem, "kwtl")

namespace {

// Suppresses the platform's critical-error boxes ("insert a disk") for the
// calling thread while it lives; other threads keep their own mode.
class TErrorModeGuard {
public:
    TErrorModeGuard() { m_nSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_ulPrevious); }
    ~TErrorModeGuard()
    {
        if (m_nSet)
            SetThreadErrorMode(m_ulPrevious, nullptr);
    }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    DWORD m_ulPrevious { 0 };
    BOOL m_nSet { FALSE };
};

void DestroyString(void* pvText)
{
    std::free(pvText);
}

// The drive root that a drive query uses: the path's first three characters.
// False for a null path or one shorter than that.
bool DriveRoot(const char* pszPath, char (&szRoot)[4])
{
    if (!pszPath || std::strlen(pszPath) < 3)
        return false;
    std::memcpy(szRoot, pszPath, 3);
    szRoot[3] = 0;
    return true;
}

bool IsDriveRoot(const char* pszPath)
{
    return std::strlen(pszPath) == 3 && pszPath[1] == ':' && pszPath[2] == '\\';
}

bool EndsWithBackslash(const TString& coText)
{
    const int n = coText.Strlen();
    return n > 0 && coText[n - 1] == '\\';
}

uint64_t FileSize(const WIN32_FIND_DATAA& coData)
{
    return (static_cast<uint64_t>(coData.nFileSizeHigh) << 32) | coData.nFileSizeLow;
}

bool IsDirectoryEntry(const WIN32_FIND_DATAA& coData)
{
    return (coData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The active time zone, asked once for a whole listing: asking for it with
// every time (what a null zone does) reads the registry each time.
class TActiveZone {
public:
    TActiveZone() { m_bKnown = GetTimeZoneInformation(&m_coZone) != TIME_ZONE_ID_INVALID; }
    const TIME_ZONE_INFORMATION* Get() const { return m_bKnown ? &m_coZone : nullptr; }

private:
    TIME_ZONE_INFORMATION m_coZone {};
    bool m_bKnown { false };
};

unsigned long CalendarTime(const FILETIME& coFileTime, const TActiveZone& coZone)
{
    SYSTEMTIME coUtc;
    SYSTEMTIME coLocal;
    if (!FileTimeToSystemTime(&coFileTime, &coUtc))
        return 0;
    // The local time of the file's own date, with the summer-time rule of
    // that date rather than of today.
    if (!SystemTimeToTzSpecificLocalTime(coZone.Get(), &coUtc, &coLocal))
        return 0;
    return TOpSystem::DosCalendarTime(coLocal.wYear, coLocal.wMonth, coLocal.wDay, coLocal.wHour, coLocal.wMinute,
                                      coLocal.wSecond);
}

// Name, attribute code, size and times of a found entry.
void FillRecord(TFileInfo& coInfo, const WIN32_FIND_DATAA& coData, const TActiveZone& coZone)
{
    coInfo.SetName(coData.cFileName);
    coInfo.SetAttributes(TOpSystem::AttributeCode(coData.dwFileAttributes));
    coInfo.SetSystemAttributes(coData.dwFileAttributes);
    coInfo.SetSize64(FileSize(coData));
    coInfo.SetLastModified(CalendarTime(coData.ftLastWriteTime, coZone));
    coInfo.SetCreationTime(CalendarTime(coData.ftCreationTime, coZone));
    coInfo.SetLastAccessed(CalendarTime(coData.ftLastAccessTime, coZone));
}

// The directory that holds the file pszPath names: the text before its last
// "" (a drive root keeps its ""), or the drive of a drive-relative name
// ("C:name" gives "C:"); a name without either keeps the whole text.
TString ParentOf(const char* pszPath)
{
    const char* pszLast = nullptr;
    for (const char* p = pszPath; *p; ++p)
        if (*p == '\\' || *p == ':')
            pszLast = p;
    if (!pszLast)
        return TString(pszPath);
    TString coParent;
    if (*pszLast == ':') {
        coParent.Strncpy(pszPath, static_cast<int>(pszLast - pszPath + 1));
        return coParent;
    }
    if (pszLast == pszPath)
        return TString("\\");
    coParent.Strncpy(pszPath, static_cast<int>(pszLast - pszPath));
    if (coParent.Strlen() == 2 && coParent[1] == ':')
        coParent += '\\';
    return coParent;
}

unsigned short CreateDirectoryError(DWORD ulError)
{
    switch (ulError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
        return TOpSystem::DirInvalidPath;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:          // what NT reports for an existing directory
    case ERROR_NETWORK_ACCESS_DENIED:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short RemoveDirectoryError(DWORD ulError)
{
    switch (ulError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
        return TOpSystem::DirInvalidPath;
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_FILE_EXISTS:
        return TOpSystem::DirNotRemovable;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short DeleteFileError(DWORD ulError)
{
    switch (ulError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
        return TOpSystem::DirInvalidPath;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_DIR_NOT_EMPTY:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short OpenError(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
        return TOpSystem::OpenNoFile;
    case EACCES:
        return TOpSystem::OpenNoAccess;
    case EMFILE:
        return TOpSystem::OpenTooManyFiles;
    default:
        return TOpSystem::OpenOtherError;
    }
}

// Result and error code of a directory or file operation.
int Report(BOOL nDone, unsigned short (*pfnMap)(DWORD), unsigned short* punError)
{
    if (punError)
        *punError = nDone ? static_cast<unsigned short>(TOpSystem::DirSuccess) : pfnMap(GetLastError());
    return nDone ? 1 : 0;
}

int NoPath(unsigned short* punError)
{
    if (punError)
        *punError = TOpSystem::DirNoPath;
    return 0;
}

// True when pszTarget names the very file that pSource has open, so that
// opening it for writing would destroy the source.
bool IsSameFile(FILE* pSource, const char* pszTarget)
{
    HANDLE hSource = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pSource)));
    HANDLE hTarget = CreateFileA(pszTarget, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hTarget == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION coSource;
    BY_HANDLE_FILE_INFORMATION coTarget;
    const bool bSame = GetFileInformationByHandle(hSource, &coSource) && GetFileInformationByHandle(hTarget, &coTarget)
        && coSource.dwVolumeSerialNumber == coTarget.dwVolumeSerialNumber
        && coSource.nFileIndexHigh == coTarget.nFileIndexHigh && coSource.nFileIndexLow == coTarget.nFileIndexLow;
    CloseHandle(hTarget);
    return bSame;
}

} // namespace

TOpSystemWinNT::TOpSystemWinNT()
{
    OSVERSIONINFOA coVersion {};
    coVersion.dwOSVersionInfoSize = sizeof(coVersion);
    if (!GetVersionExA(&coVersion))
        return;
    switch (coVersion.dwPlatformId) {
    case VER_PLATFORM_WIN32_NT:
        m_ulPlatform = 4;
        m_coSystemName = "MS-Windows NT";
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        m_ulPlatform = 3;
        m_coSystemName = "MS-Windows 95";
        break;
    default:
        ExitProcess(1);
    }
    m_ulMajor = coVersion.dwMajorVersion;
    m_ulMinor = coVersion.dwMinorVersion;
    m_ulBuild = coVersion.dwBuildNumber;
    m_coAdditionalInfo = coVersion.szCSDVersion;
}

TOpSystemWinNT::~TOpSystemWinNT()
{
    m_coModuleManager.DeleteAll();
}

// Drives

int TOpSystemWinNT::ScanDrives(TArray& coDrives) const
{
    coDrives.Delete();
    coDrives.SetDestroyFunc(DestroyString);
    DWORD ulSize = 4096;
    std::unique_ptr<char[]> pszRoots;
    for (;;) {
        pszRoots.reset(new char[ulSize + 1]);
        const DWORD ulUsed = GetLogicalDriveStringsA(ulSize, pszRoots.get());
        if (ulUsed == 0)
            return 0;
        if (ulUsed <= ulSize)
            break;
        ulSize = ulUsed;
    }
    for (const char* psz = pszRoots.get(); *psz; psz += std::strlen(psz) + 1)
        coDrives.Add(Strdup(psz));
    return 1;
}

unsigned short TOpSystemWinNT::GetDriveType(const char* pszPath) const
{
    char szRoot[4];
    if (!DriveRoot(pszPath, szRoot))
        return 0;
    UINT unType;
    {
        TErrorModeGuard coGuard;
        unType = GetDriveTypeA(szRoot);
    }
    switch (unType) {
    case DRIVE_REMOVABLE: return 1;
    case DRIVE_FIXED: return 2;
    case DRIVE_REMOTE: return 3;
    case DRIVE_CDROM: return 4;
    case DRIVE_RAMDISK: return 5;
    default: return 0;
    }
}

int TOpSystemWinNT::GetDriveInfo(const char* pszPath, unsigned short* punType, TString* pcoVolumeName,
                                 TString* pcoFileSystemName) const
{
    TOpSystem::GetDriveInfo(pszPath, punType, pcoVolumeName, pcoFileSystemName);
    char szRoot[4];
    if (!DriveRoot(pszPath, szRoot))
        return 0;
    if (punType)
        *punType = GetDriveType(pszPath);
    char szVolume[129] = "";
    char szFileSystem[129] = "";
    BOOL nDone;
    DWORD ulError;
    {
        TErrorModeGuard coGuard;
        nDone = GetVolumeInformationA(szRoot, szVolume, sizeof(szVolume), nullptr, nullptr, nullptr, szFileSystem,
                                      sizeof(szFileSystem));
        ulError = GetLastError();
    }
    if (!nDone) {
        if (pcoVolumeName && ulError == ERROR_NOT_READY)
            *pcoVolumeName = "Drive is not ready";
        else if (pcoVolumeName && ulError == ERROR_BAD_NETPATH)
            *pcoVolumeName = "Network Path not found";
        return 0;
    }
    if (pcoVolumeName)
        *pcoVolumeName = szVolume;
    if (pcoFileSystemName)
        *pcoFileSystemName = szFileSystem;
    return 1;
}

uint64_t TOpSystemWinNT::DiskFreeSpace(const char* pszPath) const
{
    char szRoot[4];
    if (!DriveRoot(pszPath, szRoot))
        return 0;
    // The free bytes of the whole volume, as free clusters times cluster
    // size would give them, without the 32-bit cluster counts.
    ULARGE_INTEGER coFree;
    TErrorModeGuard coGuard;
    if (!GetDiskFreeSpaceExA(szRoot, nullptr, nullptr, &coFree))
        return 0;
    return coFree.QuadPart;
}

// Files and directories

int TOpSystemWinNT::ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern,
                              int nWithDirectories) const
{
    coFiles.Delete();
    coFiles.SetDestroyFunc(TFileInfo::Destroy);
    if (!pszPath || !*pszPath || !GetDriveInfo(pszPath, nullptr, nullptr, nullptr))
        return 0;
    TString coPath = pszPath;
    // A root keeps its backslash: without it "X:" would be the drive's
    // current directory.
    if (EndsWithBackslash(coPath) && !IsDriveRoot(pszPath) && coPath.Strlen() > 1)
        coPath.Strncpy(pszPath, coPath.Strlen() - 1);
    TString coSearch = coPath;
    if (!EndsWithBackslash(coSearch))
        coSearch += '\\';
    coSearch += pszPattern && *pszPattern ? pszPattern : "*.*";

    WIN32_FIND_DATAA coData;
    HANDLE hFind = FindFirstFileA(coSearch, &coData);
    if (hFind == INVALID_HANDLE_VALUE) {
        // No match is an empty result; a missing directory is a failure.
        const DWORD ulError = GetLastError();
        return ulError == ERROR_FILE_NOT_FOUND || ulError == ERROR_NO_MORE_FILES ? 1 : 0;
    }
    const TActiveZone coZone;
    do {
        if (!nWithDirectories && IsDirectoryEntry(coData))
            continue;
        auto* pcoInfo = new TFileInfo;
        FillRecord(*pcoInfo, coData, coZone);
        pcoInfo->SetPath(coPath);
        if (!coFiles.Insert(pcoInfo, nullptr))
            delete pcoInfo;
    } while (FindNextFileA(hFind, &coData));
    // A listing cut short is no result.
    const bool bComplete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(hFind);
    if (!bComplete)
        coFiles.Delete();
    return bComplete ? 1 : 0;
}

int TOpSystemWinNT::GetFileInfo(const char* pszPath, TFileInfo& coInfo) const
{
    coInfo.Clear();
    if (!pszPath || !*pszPath)
        return 0;
    WIN32_FIND_DATAA coData;
    HANDLE hFind = FindFirstFileA(pszPath, &coData);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(hFind);
    FillRecord(coInfo, coData, TActiveZone());
    if (IsDirectoryEntry(coData)) {
        coInfo.SetPath(pszPath);
        coInfo.SetName("");
        coInfo.SetLastModified(0);
        coInfo.SetCreationTime(0);
        coInfo.SetLastAccessed(0);
    } else {
        coInfo.SetPath(ParentOf(pszPath));
    }
    return 1;
}

int TOpSystemWinNT::ExistsPath(const char* pszPath) const
{
    return pszPath && *pszPath && _access(pszPath, 0) == 0 ? 1 : 0;
}

int TOpSystemWinNT::FilePermission(const char* pszPath, unsigned short unMode) const
{
    if (!ExistsPath(pszPath) || !(unMode & 3))
        return 0;
    const bool bWrite = (unMode & 2) != 0;
    const int nHandle = OpenFile(pszPath, bWrite ? 2 : 1, 2, nullptr);
    if (nHandle == -1)
        return 0;
    CloseFile(nHandle);
    const int nAccess = ((unMode & 1) ? 4 : 0) | (bWrite ? 2 : 0);
    return _access(pszPath, nAccess) == 0 ? 1 : 0;
}

int TOpSystemWinNT::OpenFile(const char* pszName, unsigned short unOpenMode, unsigned short unTextMode,
                             unsigned short* punError) const
{
    if (!pszName || !*pszName)
        return -1;
    int nFlags = unTextMode == 1 ? _O_TEXT : _O_BINARY;
    int nShare = _SH_DENYRW;
    switch (unOpenMode) {
    case 1:
        nFlags |= _O_RDONLY;
        nShare = _SH_DENYWR;
        break;
    case 2:
        nFlags |= _O_RDWR;
        if (!ExistsPath(pszName))
            nFlags |= _O_CREAT;
        break;
    case 3:
        // The sharing check comes before the truncation, so a file that
        // another open denies is not emptied.
        nFlags |= _O_RDWR | _O_CREAT | _O_TRUNC;
        break;
    default:
        nFlags |= _O_RDONLY;
        break;
    }
    const int nHandle = _sopen(pszName, nFlags, nShare, _S_IREAD | _S_IWRITE);
    if (nHandle == -1 && punError)
        *punError = OpenError(errno);
    return nHandle;
}

void TOpSystemWinNT::CloseFile(int nHandle) const
{
    if (nHandle >= 0)
        _close(nHandle);
}

void TOpSystemWinNT::SeekFile(int nHandle, int64_t llOffset, unsigned short unOrigin) const
{
    if (nHandle < 0)
        return;
    const int nOrigin = unOrigin == 2 ? SEEK_CUR : (unOrigin == 3 ? SEEK_END : SEEK_SET);
    _lseeki64(nHandle, llOffset, nOrigin);
}

int64_t TOpSystemWinNT::TellFile(int nHandle) const
{
    return nHandle < 0 ? -1 : _telli64(nHandle);
}

int64_t TOpSystemWinNT::FileLength(int nHandle) const
{
    return nHandle < 0 ? -1 : _filelengthi64(nHandle);
}

long TOpSystemWinNT::ReadFile(int nHandle, char* pchBuffer, long lCount) const
{
    if (nHandle < 0 || lCount < 0 || (!pchBuffer && lCount > 0))
        return -1;
    return _read(nHandle, pchBuffer, static_cast<unsigned>(lCount));
}

long TOpSystemWinNT::WriteFile(int nHandle, const char* pchBuffer, long lCount) const
{
    if (nHandle < 0 || lCount < 0 || (!pchBuffer && lCount > 0))
        return -1;
    return _write(nHandle, pchBuffer, static_cast<unsigned>(lCount));
}

TString TOpSystemWinNT::GetCurrentDirectory() const
{
    DWORD ulSize = 1024;
    for (;;) {
        std::unique_ptr<char[]> pszDirectory(new char[ulSize]);
        const DWORD ulUsed = GetCurrentDirectoryA(ulSize, pszDirectory.get());
        if (ulUsed == 0)
            return TString();
        if (ulUsed < ulSize)
            return TString(pszDirectory.get());
        ulSize = ulUsed;
    }
}

int TOpSystemWinNT::SetCurrentDirectory(const char* pszPath) const
{
    return pszPath && *pszPath && SetCurrentDirectoryA(pszPath) ? 1 : 0;
}

int TOpSystemWinNT::CreateDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    SECURITY_ATTRIBUTES coSecurity { static_cast<DWORD>(sizeof(SECURITY_ATTRIBUTES)), nullptr, TRUE };
    return Report(CreateDirectoryA(pszPath, &coSecurity), CreateDirectoryError, punError);
}

int TOpSystemWinNT::RemoveDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(RemoveDirectoryA(pszPath), RemoveDirectoryError, punError);
}

int TOpSystemWinNT::DeleteFile(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(DeleteFileA(pszPath), DeleteFileError, punError);
}

int TOpSystemWinNT::CopyFile(const char* pszTarget, const char* pszSource, int64_t llOffset) const
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource || llOffset < 0)
        return 0;
    // The source is checked before the target is opened for writing, so a
    // failed copy never empties an existing target.
    FILE* pSource = std::fopen(pszSource, "rb");
    if (!pSource)
        return 0;
    const int64_t llLength = _filelengthi64(_fileno(pSource));
    if (llLength < 0 || llOffset > llLength || IsSameFile(pSource, pszTarget)
        || _fseeki64(pSource, llOffset, SEEK_SET) != 0) {
        std::fclose(pSource);
        return 0;
    }
    FILE* pTarget = std::fopen(pszTarget, "wb");
    if (!pTarget) {
        std::fclose(pSource);
        return 0;
    }
    int nResult = CopyStream(pTarget, pSource, llLength - llOffset);
    if (std::fclose(pTarget) != 0)
        nResult = 0;
    std::fclose(pSource);
    return nResult;
}

int TOpSystemWinNT::MoveFileReplace(const char* pszTarget, const char* pszSource) const
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource)
        return 0;
    return MoveFileExA(pszSource, pszTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

// Threads and processes

TOsThread* TOpSystemWinNT::CreateThread(TDynBase* pcoObject, ThreadHandler pfnHandler) const
{
    return new (std::nothrow) TOsThreadWinNT(pcoObject, pfnHandler);
}

TConsoleProcess* TOpSystemWinNT::CreateConsoleProcess() const
{
    return new (std::nothrow) TConProWinNT;
}

// Environment

TString TOpSystemWinNT::GetEnvVar(const char* pszName) const
{
    if (!pszName || !*pszName)
        return TString();
    DWORD ulSize = 4096;
    for (;;) {
        std::unique_ptr<char[]> pszValue(new char[ulSize]);
        const DWORD ulUsed = GetEnvironmentVariableA(pszName, pszValue.get(), ulSize);
        if (ulUsed == 0)
            return TString();
        if (ulUsed < ulSize)
            return TString(pszValue.get());
        ulSize = ulUsed;
    }
}

int TOpSystemWinNT::SetEnvVar(const char* pszName, const char* pszValue) const
{
    return pszName && *pszName && SetEnvironmentVariableA(pszName, pszValue) ? 1 : 0;
}

// Messages, clock and libraries

void TOpSystemWinNT::Message(const char* pszText, const char* pszCaption) const
{
    if (CallMessageHandler(pszText, pszCaption))
        return;
    MessageBoxA(nullptr, pszText ? pszText : "", pszCaption ? pszCaption : "Message", MB_OK | MB_SETFOREGROUND);
}

void TOpSystemWinNT::Sleep(unsigned short unMilliseconds) const
{
    ::Sleep(unMilliseconds);
}

unsigned long TOpSystemWinNT::GetOSRunningTimeMs() const
{
    return GetTickCount();
}

int TOpSystemWinNT::SetLocalTime(const TDateTimeF& coDateTime) const
{
    if (!coDateTime.Valid() || coDateTime.Year() < 1601 || coDateTime.Year() > 30827)
        return 0;
    SYSTEMTIME coTime {};
    coTime.wYear = static_cast<WORD>(coDateTime.Year());
    coTime.wMonth = static_cast<WORD>(coDateTime.Month());
    coTime.wDayOfWeek = static_cast<WORD>(coDateTime.WeekDay());
    coTime.wDay = static_cast<WORD>(coDateTime.Day());
    coTime.wHour = static_cast<WORD>(coDateTime.Hour());
    coTime.wMinute = static_cast<WORD>(coDateTime.Minutes());
    coTime.wSecond = static_cast<WORD>(coDateTime.Seconds());

    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return 0;
    TOKEN_PRIVILEGES coEnable {};
    coEnable.PrivilegeCount = 1;
    coEnable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES coPrevious {};
    DWORD ulPreviousSize = sizeof(coPrevious);
    if (!LookupPrivilegeValueA(nullptr, "SeSystemtimePrivilege", &coEnable.Privileges[0].Luid)
        || !AdjustTokenPrivileges(hToken, FALSE, &coEnable, sizeof(coEnable), &coPrevious, &ulPreviousSize)) {
        CloseHandle(hToken);
        return 0;
    }
    // Without the privilege (ERROR_NOT_ALL_ASSIGNED) the system refuses the
    // clock itself, with its own error.
    const BOOL nSet = ::SetLocalTime(&coTime);
    const DWORD ulError = GetLastError();
    // The previous state lists the privilege only when it was changed.
    if (coPrevious.PrivilegeCount > 0)
        AdjustTokenPrivileges(hToken, FALSE, &coPrevious, 0, nullptr, nullptr);
    CloseHandle(hToken);
    SetLastError(ulError);
    return nSet ? 1 : 0;
}

intptr_t TOpSystemWinNT::LoadLibrary(const char* pszName) const
{
    if (!pszName || !*pszName)
        return 0;
    // A library with a missing dependency fails instead of showing a box.
    TErrorModeGuard coGuard;
    return reinterpret_cast<intptr_t>(LoadLibraryA(pszName));
}

int TOpSystemWinNT::FreeLibrary(intptr_t nHandle) const
{
    return nHandle && ::FreeLibrary(reinterpret_cast<HMODULE>(nHandle)) ? 1 : 0;
}
