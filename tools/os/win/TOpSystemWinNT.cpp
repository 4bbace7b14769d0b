#include "TOpSystemWinNT.h"

#include "KwWindows.h"
#include "TArray.h"
#include "TDateTime.h"
#include "TFileInfo.h"
#include "TConProWinNT.h"
#include "TOsThreadWinNT.h"
#include "TWideText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
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

uint64_t FileSize(const WIN32_FIND_DATAW& coData)
{
    return (static_cast<uint64_t>(coData.nFileSizeHigh) << 32) | coData.nFileSizeLow;
}

bool IsDirectoryEntry(const WIN32_FIND_DATAW& coData)
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

// Name, attribute code, size and times of a found entry. A name that does
// not survive the code page (a system without UTF-8) keeps the entry's 8.3
// alias beside it, the name by which the entry can still be found.
void FillRecord(TFileInfo& coInfo, const WIN32_FIND_DATAW& coData, const TActiveZone& coZone)
{
    int nLost = 0;
    coInfo.SetName(TWideText::Narrow(coData.cFileName, -1, &nLost));
    coInfo.SetAlias(nLost ? TWideText::Narrow(coData.cAlternateFileName) : TString(), nLost);
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

// System error codes by the code they give; any other gives DirOtherError
// (or OpenOtherError).
const TOpSystem::TErrorRow s_aCreateDirectoryErrors[] = {
    { TOpSystem::DirInvalidPath,
      { ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_PATHNAME, ERROR_BAD_NETPATH } },
    // ERROR_ALREADY_EXISTS is what NT reports for an existing directory.
    { TOpSystem::DirNoAccess,
      { ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_CURRENT_DIRECTORY, ERROR_FILE_EXISTS, ERROR_ALREADY_EXISTS,
        ERROR_NETWORK_ACCESS_DENIED } },
};
const TOpSystem::TErrorRow s_aRemoveDirectoryErrors[] = {
    { TOpSystem::DirInvalidPath,
      { ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_PATHNAME, ERROR_DIRECTORY,
        ERROR_BAD_NETPATH } },
    { TOpSystem::DirNotRemovable, { ERROR_CURRENT_DIRECTORY, ERROR_DIR_NOT_EMPTY, ERROR_FILE_EXISTS } },
    { TOpSystem::DirNoAccess, { ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_NETWORK_ACCESS_DENIED } },
};
const TOpSystem::TErrorRow s_aDeleteFileErrors[] = {
    { TOpSystem::DirInvalidPath,
      { ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_PATHNAME, ERROR_DIRECTORY,
        ERROR_BAD_NETPATH } },
    { TOpSystem::DirNoAccess,
      { ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_NETWORK_ACCESS_DENIED, ERROR_DIR_NOT_EMPTY } },
};
// Errno values of the run-time library's _sopen.
const TOpSystem::TErrorRow s_aOpenErrors[] = {
    { TOpSystem::OpenNoFile, { ENOENT } },
    { TOpSystem::OpenNoAccess, { EACCES } },
    { TOpSystem::OpenTooManyFiles, { EMFILE } },
    { TOpSystem::OpenExists, { EEXIST } },
};

// Result and error code of a directory or file operation.
template <size_t N>
int Report(BOOL nDone, const TOpSystem::TErrorRow (&aErrors)[N], unsigned short* punError)
{
    if (punError)
        *punError = nDone ? static_cast<unsigned short>(TOpSystem::DirSuccess)
                          : TOpSystem::MapError(aErrors, static_cast<long>(GetLastError()), TOpSystem::DirOtherError);
    return nDone ? 1 : 0;
}

} // namespace

TOpSystemWinNT::TOpSystemWinNT()
{
    OSVERSIONINFOW coVersion {};
    coVersion.dwOSVersionInfoSize = sizeof(coVersion);
    if (!GetVersionExW(&coVersion))
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
    m_coAdditionalInfo = TWideText::Narrow(coVersion.szCSDVersion);
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
    std::unique_ptr<wchar_t[]> pwszRoots;
    for (;;) {
        pwszRoots.reset(new wchar_t[ulSize + 1]());
        const DWORD ulUsed = GetLogicalDriveStringsW(ulSize, pwszRoots.get());
        if (ulUsed == 0)
            return 0;
        if (ulUsed <= ulSize)
            break;
        ulSize = ulUsed;
    }
    for (const wchar_t* pwsz = pwszRoots.get(); *pwsz; pwsz += std::wcslen(pwsz) + 1)
        coDrives.Add(TWideText::Narrow(pwsz).Strdup());
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
        unType = GetDriveTypeW(TWideText::Wide(szRoot).c_str());
    }
    // The codes of DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOVABLE,
    // DRIVE_FIXED, DRIVE_REMOTE, DRIVE_CDROM and DRIVE_RAMDISK, in turn.
    static_assert(DRIVE_UNKNOWN == 0 && DRIVE_RAMDISK == 6, "the drive types index the codes");
    static const unsigned short s_aunCodes[] = { 0, 0, 1, 2, 3, 4, 5 };
    return unType < sizeof s_aunCodes / sizeof s_aunCodes[0] ? s_aunCodes[unType] : 0;
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
    wchar_t wszVolume[MAX_PATH + 1] = L"";
    wchar_t wszFileSystem[MAX_PATH + 1] = L"";
    BOOL nDone;
    DWORD ulError;
    {
        TErrorModeGuard coGuard;
        nDone = GetVolumeInformationW(TWideText::Wide(szRoot).c_str(), wszVolume, MAX_PATH + 1, nullptr, nullptr,
                                      nullptr, wszFileSystem, MAX_PATH + 1);
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
        *pcoVolumeName = TWideText::Narrow(wszVolume);
    if (pcoFileSystemName)
        *pcoFileSystemName = TWideText::Narrow(wszFileSystem);
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
    if (!GetDiskFreeSpaceExW(TWideText::Wide(szRoot).c_str(), nullptr, nullptr, &coFree))
        return 0;
    return coFree.QuadPart;
}

// Files and directories

int TOpSystemWinNT::ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern,
                              int nWithDirectories) const
{
    StartFileList(coFiles);
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

    WIN32_FIND_DATAW coData;
    HANDLE hFind = FindFirstFileW(TWideText::Path(coSearch).c_str(), &coData);
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
        AddFileRecord(coFiles, pcoInfo, coPath);
    } while (FindNextFileW(hFind, &coData));
    const bool bComplete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(hFind);
    return EndFileList(coFiles, bComplete);
}

int TOpSystemWinNT::GetFileInfo(const char* pszPath, TFileInfo& coInfo) const
{
    coInfo.Clear();
    if (!pszPath || !*pszPath)
        return 0;
    WIN32_FIND_DATAW coData;
    HANDLE hFind = FindFirstFileW(TWideText::Path(pszPath).c_str(), &coData);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(hFind);
    FillRecord(coInfo, coData, TActiveZone());
    if (IsDirectoryEntry(coData))
        MakeDirectoryRecord(coInfo, pszPath);
    else
        coInfo.SetPath(ParentOf(pszPath));
    return 1;
}

int TOpSystemWinNT::ExistsPath(const char* pszPath) const
{
    return pszPath && *pszPath && GetFileAttributesW(TWideText::Path(pszPath).c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
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
    case 4:
        nFlags |= _O_RDWR | _O_CREAT | _O_EXCL;
        break;
    default:
        nFlags |= _O_RDONLY;
        break;
    }
    const int nHandle = _wsopen(TWideText::Path(pszName).c_str(), nFlags, nShare, _S_IREAD | _S_IWRITE);
    if (nHandle == -1 && punError)
        *punError = MapError(s_aOpenErrors, errno, OpenOtherError);
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
        std::unique_ptr<wchar_t[]> pwszDirectory(new wchar_t[ulSize]);
        const DWORD ulUsed = GetCurrentDirectoryW(ulSize, pwszDirectory.get());
        if (ulUsed == 0)
            return TString();
        if (ulUsed < ulSize)
            return TWideText::Narrow(pwszDirectory.get(), static_cast<int>(ulUsed));
        ulSize = ulUsed;
    }
}

int TOpSystemWinNT::SetCurrentDirectory(const char* pszPath) const
{
    return pszPath && *pszPath && SetCurrentDirectoryW(TWideText::Wide(pszPath).c_str()) ? 1 : 0;
}

int TOpSystemWinNT::CreateDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    SECURITY_ATTRIBUTES coSecurity { static_cast<DWORD>(sizeof(SECURITY_ATTRIBUTES)), nullptr, TRUE };
    return Report(CreateDirectoryW(TWideText::Path(pszPath).c_str(), &coSecurity), s_aCreateDirectoryErrors, punError);
}

int TOpSystemWinNT::RemoveDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(RemoveDirectoryW(TWideText::Path(pszPath).c_str()), s_aRemoveDirectoryErrors, punError);
}

int TOpSystemWinNT::DeleteFile(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(DeleteFileW(TWideText::Path(pszPath).c_str()), s_aDeleteFileErrors, punError);
}

int TOpSystemWinNT::CopyFile(const char* pszTarget, const char* pszSource, int64_t llOffset) const
{
    return CopyFileFrom(pszTarget, pszSource, llOffset);
}

int TOpSystemWinNT::FlushFile(const char* pszName) const
{
    if (!pszName || !*pszName)
        return 0;
    // Flushing needs write access; others may keep the file open meanwhile.
    HANDLE hFile = CreateFileW(TWideText::Path(pszName).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    const BOOL nFlushed = FlushFileBuffers(hFile);
    CloseHandle(hFile);
    return nFlushed ? 1 : 0;
}

int TOpSystemWinNT::MoveFileReplace(const char* pszTarget, const char* pszSource) const
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource)
        return 0;
    // The data first, then the name (write-through waits only for the
    // move): after a crash the target is either the old file or the
    // complete new one.
    if (!FlushFile(pszSource))
        return 0;
    return MoveFileExW(TWideText::Path(pszSource).c_str(), TWideText::Path(pszTarget).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
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
    const std::wstring wstrName = TWideText::Wide(pszName);
    DWORD ulSize = 4096;
    for (;;) {
        std::unique_ptr<wchar_t[]> pwszValue(new wchar_t[ulSize]);
        const DWORD ulUsed = GetEnvironmentVariableW(wstrName.c_str(), pwszValue.get(), ulSize);
        if (ulUsed == 0)
            return TString();
        if (ulUsed < ulSize)
            return TWideText::Narrow(pwszValue.get(), static_cast<int>(ulUsed));
        ulSize = ulUsed;
    }
}

int TOpSystemWinNT::SetEnvVar(const char* pszName, const char* pszValue) const
{
    return pszName && *pszName
        && SetEnvironmentVariableW(TWideText::Wide(pszName).c_str(), pszValue ? TWideText::Wide(pszValue).c_str() : nullptr)
        ? 1 : 0;
}

// Messages, clock and libraries

void TOpSystemWinNT::Message(const char* pszText, const char* pszCaption) const
{
    if (CallMessageHandler(pszText, pszCaption))
        return;
    MessageBoxW(nullptr, TWideText::Wide(pszText).c_str(), TWideText::Wide(pszCaption ? pszCaption : "Message").c_str(),
                MB_OK | MB_SETFOREGROUND);
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
    if (!LookupPrivilegeValueW(nullptr, L"SeSystemtimePrivilege", &coEnable.Privileges[0].Luid)
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
    return reinterpret_cast<intptr_t>(LoadLibraryW(TWideText::Wide(pszName).c_str()));
}

int TOpSystemWinNT::IsUtf8Text() const
{
    return GetACP() == CP_UTF8 ? 1 : 0;
}

int TOpSystemWinNT::FreeLibrary(intptr_t nHandle) const
{
    return nHandle && ::FreeLibrary(reinterpret_cast<HMODULE>(nHandle)) ? 1 : 0;
}
