#include "TOpSystemPosix.h"

#include "TArray.h"
#include "TFileInfo.h"
#include "TOsThreadPosix.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <mutex>
#include <string>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

KW_IMPLEMENT_DYNAMIC_CLASS(TOpSystemPosix, TOpSystem, "kwtl")

static_assert(sizeof(off_t) >= 8, "file offsets must be 64-bit");

namespace {

// getenv and setenv must not run at the same time.
std::mutex s_coEnvironmentLock;

// What a file record needs of an entry.
struct TEntry {
    mode_t m_unMode { 0 };
    uint64_t m_ullSize { 0 };
    std::time_t m_llModified { 0 };
    std::time_t m_llCreated { 0 };      // 0 where the file system keeps no birth time
    std::time_t m_llAccessed { 0 };
};

// The entry pszPath names, relative to the directory nDirectory stands for
// (AT_FDCWD: the current directory).
bool ReadEntry(int nDirectory, const char* pszPath, TEntry& coEntry)
{
    struct statx coStat;
    int nResult = statx(nDirectory, pszPath, AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &coStat);
    // A link whose target is gone still is an entry of its directory.
    if (nResult != 0 && errno == ENOENT)
        nResult = statx(nDirectory, pszPath, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
                        STATX_BASIC_STATS | STATX_BTIME, &coStat);
    if (nResult != 0)
        return false;
    coEntry.m_unMode = coStat.stx_mode;
    coEntry.m_ullSize = coStat.stx_size;
    coEntry.m_llModified = static_cast<std::time_t>(coStat.stx_mtime.tv_sec);
    coEntry.m_llAccessed = static_cast<std::time_t>(coStat.stx_atime.tv_sec);
    coEntry.m_llCreated = (coStat.stx_mask & STATX_BTIME) ? static_cast<std::time_t>(coStat.stx_btime.tv_sec) : 0;
    return true;
}

// The instant cut to the two seconds of a DOS time of its local time, in
// the DOS years. The local time is only asked for its year and second: the
// cut moves the instant itself, which needs no conversion back (and keeps
// the instant where the clock shows an hour twice).
unsigned long CalendarTime(std::time_t llTime)
{
    std::tm coLocal;
    if (llTime <= 0 || !localtime_r(&llTime, &coLocal))
        return 0;
    if (coLocal.tm_year + 1900 < 1980 || coLocal.tm_year + 1900 > 2107)
        return 0;
    const std::time_t llCut = llTime - coLocal.tm_sec % 2;
    if (llCut <= 0 || static_cast<uint64_t>(llCut) >= 0xFFFFFFFFull)
        return 0;
    return static_cast<unsigned long>(llCut);
}

// The Win32 attribute bits that describe an entry: names beginning with "."
// are hidden, entries that are neither files nor directories (devices,
// pipes, sockets) belong to the system, and a file its owner may not write
// is read-only.
unsigned long AttributeBits(const char* pszName, mode_t unMode)
{
    unsigned long ulBits = 0;
    if (S_ISDIR(unMode))
        ulBits |= 0x10;
    else if (!S_ISREG(unMode))
        ulBits |= 0x4;
    if (pszName[0] == '.' && std::strcmp(pszName, ".") != 0 && std::strcmp(pszName, "..") != 0)
        ulBits |= 0x2;
    if (!(unMode & S_IWUSR))
        ulBits |= 0x1;
    return ulBits;
}

void FillRecord(TFileInfo& coInfo, const char* pszName, const TEntry& coEntry)
{
    coInfo.SetName(pszName);
    const unsigned long ulBits = AttributeBits(pszName, coEntry.m_unMode);
    coInfo.SetAttributes(TOpSystem::AttributeCode(ulBits));
    coInfo.SetSystemAttributes(ulBits);
    // Directories have no size of their own, as on Windows.
    coInfo.SetSize64(S_ISDIR(coEntry.m_unMode) ? 0 : coEntry.m_ullSize);
    coInfo.SetLastModified(CalendarTime(coEntry.m_llModified));
    coInfo.SetCreationTime(CalendarTime(coEntry.m_llCreated));
    coInfo.SetLastAccessed(CalendarTime(coEntry.m_llAccessed));
}

unsigned short CreateDirectoryError(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return TOpSystem::DirInvalidPath;
    case EACCES:
    case EPERM:
    case EEXIST:
    case EROFS:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short RemoveDirectoryError(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return TOpSystem::DirInvalidPath;
    case ENOTEMPTY:
    case EEXIST:
    case EBUSY:
    case EINVAL:
        return TOpSystem::DirNotRemovable;
    case EACCES:
    case EPERM:
    case EROFS:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short DeleteFileError(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return TOpSystem::DirInvalidPath;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
    case EROFS:
        return TOpSystem::DirNoAccess;
    default:
        return TOpSystem::DirOtherError;
    }
}

unsigned short OpenError(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
    case ENOTDIR:
        return TOpSystem::OpenNoFile;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EWOULDBLOCK:
        return TOpSystem::OpenNoAccess;
    case EMFILE:
    case ENFILE:
        return TOpSystem::OpenTooManyFiles;
    default:
        return TOpSystem::OpenOtherError;
    }
}

int Report(int nResult, unsigned short (*pfnMap)(int), unsigned short* punError)
{
    if (punError)
        *punError = nResult == 0 ? static_cast<unsigned short>(TOpSystem::DirSuccess) : pfnMap(errno);
    return nResult == 0 ? 1 : 0;
}

int NoPath(unsigned short* punError)
{
    if (punError)
        *punError = TOpSystem::DirNoPath;
    return 0;
}

int FailOpen(int nHandle, int nErrno, unsigned short* punError)
{
    if (nHandle >= 0)
        close(nHandle);
    if (punError)
        *punError = OpenError(nErrno);
    return -1;
}

// The directory of the running program, with a trailing "/"; empty when
// it cannot be told.
TString ProgramDirectory()
{
    char szPath[PATH_MAX];
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    if (nLength <= 0)
        return TString();
    szPath[nLength] = 0;
    char* pszSlash = std::strrchr(szPath, '/');
    if (!pszSlash)
        return TString();
    pszSlash[1] = 0;
    return TString(szPath);
}

} // namespace

TOpSystemPosix::TOpSystemPosix()
{
    struct utsname coName;
    if (uname(&coName) != 0)
        return;
    m_coSystemName = coName.sysname;
    m_coAdditionalInfo = coName.version;
    unsigned long aulParts[3] = { 0, 0, 0 };
    const char* psz = coName.release;
    for (unsigned long& ulPart : aulParts) {
        char* pszEnd = nullptr;
        ulPart = std::strtoul(psz, &pszEnd, 10);
        if (pszEnd == psz || *pszEnd != '.') {
            psz = pszEnd;
            break;
        }
        psz = pszEnd + 1;
    }
    m_ulMajor = aulParts[0];
    m_ulMinor = aulParts[1];
    m_ulBuild = aulParts[2];
}

TOpSystemPosix::~TOpSystemPosix()
{
    m_coModuleManager.DeleteAll();
}

// Files and directories

int TOpSystemPosix::ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern,
                              int nWithDirectories) const
{
    coFiles.Delete();
    coFiles.SetDestroyFunc(TFileInfo::Destroy);
    if (!pszPath || !*pszPath)
        return 0;
    TString coPath = pszPath;
    const int nLength = coPath.Strlen();
    if (nLength > 1 && coPath[nLength - 1] == '/')
        coPath.Strncpy(pszPath, nLength - 1);
    const char* pszMatch = pszPattern && *pszPattern && std::strcmp(pszPattern, "*.*") != 0 ? pszPattern : "*";

    DIR* pDir = opendir(coPath);
    if (!pDir)
        return 0;
    for (;;) {
        errno = 0;
        const dirent* pEntry = readdir(pDir);
        if (!pEntry)
            break;
        if (fnmatch(pszMatch, pEntry->d_name, 0) != 0)
            continue;
        TEntry coEntry;
        // An entry removed since readdir() saw it is not listed.
        if (!ReadEntry(dirfd(pDir), pEntry->d_name, coEntry))
            continue;
        if (!nWithDirectories && S_ISDIR(coEntry.m_unMode))
            continue;
        auto* pcoInfo = new TFileInfo;
        FillRecord(*pcoInfo, pEntry->d_name, coEntry);
        pcoInfo->SetPath(coPath);
        if (!coFiles.Insert(pcoInfo, nullptr))
            delete pcoInfo;
    }
    // A listing cut short is no result.
    const bool bComplete = errno == 0;
    closedir(pDir);
    if (!bComplete)
        coFiles.Delete();
    return bComplete ? 1 : 0;
}

int TOpSystemPosix::GetFileInfo(const char* pszPath, TFileInfo& coInfo) const
{
    coInfo.Clear();
    TEntry coEntry;
    if (!pszPath || !*pszPath || !ReadEntry(AT_FDCWD, pszPath, coEntry))
        return 0;
    const char* pszSlash = std::strrchr(pszPath, '/');
    const char* pszName = pszSlash ? pszSlash + 1 : pszPath;
    FillRecord(coInfo, pszName, coEntry);
    if (S_ISDIR(coEntry.m_unMode)) {
        coInfo.SetPath(pszPath);
        coInfo.SetName("");
        coInfo.SetLastModified(0);
        coInfo.SetCreationTime(0);
        coInfo.SetLastAccessed(0);
    } else if (!pszSlash) {
        coInfo.SetPath(pszPath);
    } else if (pszSlash == pszPath) {
        coInfo.SetPath("/");
    } else {
        TString coParent;
        coParent.Strncpy(pszPath, static_cast<int>(pszSlash - pszPath));
        coInfo.SetPath(coParent);
    }
    return 1;
}

int TOpSystemPosix::ExistsPath(const char* pszPath) const
{
    return pszPath && *pszPath && access(pszPath, F_OK) == 0 ? 1 : 0;
}

int TOpSystemPosix::FilePermission(const char* pszPath, unsigned short unMode) const
{
    if (!ExistsPath(pszPath) || !(unMode & 3))
        return 0;
    const bool bWrite = (unMode & 2) != 0;
    const int nHandle = OpenFile(pszPath, bWrite ? 2 : 1, 2, nullptr);
    if (nHandle == -1)
        return 0;
    CloseFile(nHandle);
    const int nAccess = ((unMode & 1) ? R_OK : 0) | (bWrite ? W_OK : 0);
    return access(pszPath, nAccess) == 0 ? 1 : 0;
}

uint64_t TOpSystemPosix::DiskFreeSpace(const char* pszPath) const
{
    struct statvfs coStat;
    if (!pszPath || !*pszPath || statvfs(pszPath, &coStat) != 0)
        return 0;
    return static_cast<uint64_t>(coStat.f_bfree) * coStat.f_frsize;
}

// Files

int TOpSystemPosix::OpenFile(const char* pszName, unsigned short unOpenMode, unsigned short,
                             unsigned short* punError) const
{
    if (!pszName || !*pszName)
        return -1;
    int nFlags = O_CLOEXEC;
    int nLock = LOCK_EX;
    switch (unOpenMode) {
    case 1:
        nFlags |= O_RDONLY;
        nLock = LOCK_SH;
        break;
    case 2:
    case 3:
        // Mode 3 empties the file only once the lock is held, so a file
        // that another open denies keeps its contents.
        nFlags |= O_RDWR | O_CREAT;
        break;
    default:
        nFlags |= O_RDONLY;
        break;
    }
    const int nHandle = open(pszName, nFlags, 0666);
    if (nHandle < 0)
        return FailOpen(-1, errno, punError);
    struct stat coStat;
    if (fstat(nHandle, &coStat) != 0)
        return FailOpen(nHandle, errno, punError);
    // Windows opens no directory as a file.
    if (S_ISDIR(coStat.st_mode))
        return FailOpen(nHandle, EISDIR, punError);
    // File systems without locks open without sharing checks.
    if (flock(nHandle, nLock | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return FailOpen(nHandle, EWOULDBLOCK, punError);
    if (unOpenMode == 3 && ftruncate(nHandle, 0) != 0)
        return FailOpen(nHandle, errno, punError);
    return nHandle;
}

void TOpSystemPosix::CloseFile(int nHandle) const
{
    if (nHandle >= 0)
        close(nHandle);
}

void TOpSystemPosix::SeekFile(int nHandle, int64_t llOffset, unsigned short unOrigin) const
{
    if (nHandle < 0)
        return;
    const int nOrigin = unOrigin == 2 ? SEEK_CUR : (unOrigin == 3 ? SEEK_END : SEEK_SET);
    lseek(nHandle, static_cast<off_t>(llOffset), nOrigin);
}

int64_t TOpSystemPosix::TellFile(int nHandle) const
{
    return nHandle < 0 ? -1 : static_cast<int64_t>(lseek(nHandle, 0, SEEK_CUR));
}

int64_t TOpSystemPosix::FileLength(int nHandle) const
{
    struct stat coStat;
    if (nHandle < 0 || fstat(nHandle, &coStat) != 0)
        return -1;
    return static_cast<int64_t>(coStat.st_size);
}

long TOpSystemPosix::ReadFile(int nHandle, char* pchBuffer, long lCount) const
{
    if (nHandle < 0 || lCount < 0 || (!pchBuffer && lCount > 0))
        return -1;
    ssize_t nRead;
    do
        nRead = read(nHandle, pchBuffer, static_cast<size_t>(lCount));
    while (nRead < 0 && errno == EINTR);
    return static_cast<long>(nRead);
}

long TOpSystemPosix::WriteFile(int nHandle, const char* pchBuffer, long lCount) const
{
    if (nHandle < 0 || lCount < 0 || (!pchBuffer && lCount > 0))
        return -1;
    ssize_t nWritten;
    do
        nWritten = write(nHandle, pchBuffer, static_cast<size_t>(lCount));
    while (nWritten < 0 && errno == EINTR);
    return static_cast<long>(nWritten);
}

// Directories

TString TOpSystemPosix::GetCurrentDirectory() const
{
    for (size_t nSize = 1024;; nSize *= 2) {
        std::unique_ptr<char[]> pszDirectory(new char[nSize]);
        if (getcwd(pszDirectory.get(), nSize))
            return TString(pszDirectory.get());
        if (errno != ERANGE)
            return TString();
    }
}

int TOpSystemPosix::SetCurrentDirectory(const char* pszPath) const
{
    return pszPath && *pszPath && chdir(pszPath) == 0 ? 1 : 0;
}

int TOpSystemPosix::CreateDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(mkdir(pszPath, 0777), CreateDirectoryError, punError);
}

int TOpSystemPosix::RemoveDirectory(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(rmdir(pszPath), RemoveDirectoryError, punError);
}

int TOpSystemPosix::DeleteFile(const char* pszPath, unsigned short* punError) const
{
    if (!pszPath || !*pszPath)
        return NoPath(punError);
    return Report(unlink(pszPath), DeleteFileError, punError);
}

int TOpSystemPosix::CopyFile(const char* pszTarget, const char* pszSource, int64_t llOffset) const
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource || llOffset < 0)
        return 0;
    // The source is checked before the target is opened for writing, so a
    // failed copy never empties an existing target.
    FILE* pSource = std::fopen(pszSource, "rbe");
    if (!pSource)
        return 0;
    struct stat coSource;
    struct stat coTarget;
    const bool bUsable = fstat(fileno(pSource), &coSource) == 0 && !S_ISDIR(coSource.st_mode)
        && llOffset <= coSource.st_size
        && !(stat(pszTarget, &coTarget) == 0 && coTarget.st_dev == coSource.st_dev && coTarget.st_ino == coSource.st_ino)
        && fseeko(pSource, static_cast<off_t>(llOffset), SEEK_SET) == 0;
    if (!bUsable) {
        std::fclose(pSource);
        return 0;
    }
    FILE* pTarget = std::fopen(pszTarget, "wbe");
    if (!pTarget) {
        std::fclose(pSource);
        return 0;
    }
    int nResult = CopyStream(pTarget, pSource, static_cast<int64_t>(coSource.st_size) - llOffset);
    if (std::fclose(pTarget) != 0)
        nResult = 0;
    std::fclose(pSource);
    return nResult;
}

int TOpSystemPosix::MoveFileReplace(const char* pszTarget, const char* pszSource) const
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource)
        return 0;
    // The data first, then the name: after a crash the target is either the
    // old file or the complete new one.
    const int nSource = open(pszSource, O_RDONLY | O_CLOEXEC);
    if (nSource < 0)
        return 0;
    const bool bSynced = fsync(nSource) == 0;
    close(nSource);
    if (!bSynced || rename(pszSource, pszTarget) != 0)
        return 0;
    std::string coDirectory(pszTarget);
    const size_t nSlash = coDirectory.find_last_of('/');
    coDirectory = nSlash == std::string::npos ? std::string(".") : coDirectory.substr(0, nSlash == 0 ? 1 : nSlash);
    const int nDirectory = open(coDirectory.c_str(), O_RDONLY | O_CLOEXEC);
    if (nDirectory >= 0) {
        fsync(nDirectory);
        close(nDirectory);
    }
    return 1;
}

// Threads

TOsThread* TOpSystemPosix::CreateThread(TDynBase* pcoObject, ThreadHandler pfnHandler) const
{
    return new (std::nothrow) TOsThreadPosix(pcoObject, pfnHandler);
}

// Environment

TString TOpSystemPosix::GetEnvVar(const char* pszName) const
{
    if (!pszName || !*pszName)
        return TString();
    std::lock_guard<std::mutex> coGuard(s_coEnvironmentLock);
    return TString(std::getenv(pszName));
}

int TOpSystemPosix::SetEnvVar(const char* pszName, const char* pszValue) const
{
    if (!pszName || !*pszName)
        return 0;
    std::lock_guard<std::mutex> coGuard(s_coEnvironmentLock);
    const int nResult = pszValue ? setenv(pszName, pszValue, 1) : unsetenv(pszName);
    return nResult == 0 ? 1 : 0;
}

// Messages, clock and libraries

void TOpSystemPosix::Message(const char* pszText, const char* pszCaption) const
{
    if (CallMessageHandler(pszText, pszCaption))
        return;
    std::fprintf(stderr, "%s: %s\n", pszCaption ? pszCaption : "Message", pszText ? pszText : "");
}

void TOpSystemPosix::Sleep(unsigned short unMilliseconds) const
{
    timespec coLeft { unMilliseconds / 1000, static_cast<long>(unMilliseconds % 1000) * 1000000L };
    while (nanosleep(&coLeft, &coLeft) != 0 && errno == EINTR) {
    }
}

unsigned long TOpSystemPosix::GetOSRunningTimeMs() const
{
    timespec coNow;
    if (clock_gettime(CLOCK_BOOTTIME, &coNow) != 0)
        return 0;
    return static_cast<unsigned long>(coNow.tv_sec) * 1000ul + static_cast<unsigned long>(coNow.tv_nsec / 1000000L);
}

TString TOpSystemPosix::LibraryFileName(const char* pszName)
{
    if (!pszName || !*pszName)
        return TString();
    TString coFile = pszName;
    const char* pszSlash = std::strrchr(pszName, '/');
    const char* pszFile = pszSlash ? pszSlash + 1 : pszName;
    const int nLength = coFile.Strlen();
    if (coFile[nLength - 1] == '.')
        coFile.Strncpy(pszName, nLength - 1);
    else if (!std::strchr(pszFile, '.'))
        coFile += ".so";
    return coFile;
}

intptr_t TOpSystemPosix::LoadLibrary(const char* pszName) const
{
    const TString coFile = LibraryFileName(pszName);
    if (coFile.IsEmpty())
        return 0;
    void* pvHandle = nullptr;
    // Like Windows, a bare name is looked for beside the program first.
    if (!coFile.Strchr('/')) {
        const TString coBeside = ProgramDirectory() + coFile;
        if (coBeside.Strchr('/') && access(coBeside, F_OK) == 0)
            pvHandle = dlopen(coBeside, RTLD_NOW | RTLD_LOCAL);
    }
    if (!pvHandle)
        pvHandle = dlopen(coFile, RTLD_NOW | RTLD_LOCAL);
    return reinterpret_cast<intptr_t>(pvHandle);
}

int TOpSystemPosix::FreeLibrary(intptr_t nHandle) const
{
    return nHandle && dlclose(reinterpret_cast<void*>(nHandle)) == 0 ? 1 : 0;
}
