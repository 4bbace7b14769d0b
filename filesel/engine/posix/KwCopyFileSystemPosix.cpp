#include "KwCopyFileSystem.h"

#include "KwPosixDescriptor.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr mode_t kModeBits = 07777;

KwCopyError::Kind KindOf(int nErrno)
{
    switch (nErrno) {
    case EEXIST:
        return KwCopyError::Exists;
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return KwCopyError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return KwCopyError::Denied;
    case ENOSPC:
    case EDQUOT:
        return KwCopyError::NoSpace;
    case ENOTSUP:
        return KwCopyError::NotSupported;
    default:
        return KwCopyError::Other;
    }
}

int Failure(KwCopyError& coError)
{
    const int nErrno = errno;
    coError.Set(KindOf(nErrno), static_cast<uint32_t>(nErrno));
    return 0;
}

// Nanoseconds since 1970 as the engine keeps them: 0 when the time lies
// beyond their range (before 1678 or after 2262).
int Nanoseconds(const timespec& coTime, int64_t& llNanoseconds)
{
    constexpr int64_t kLimit = INT64_MAX / 1000000000 - 1;
    if (coTime.tv_sec > kLimit || coTime.tv_sec < -kLimit)
        return 0;
    llNanoseconds = static_cast<int64_t>(coTime.tv_sec) * 1000000000 + coTime.tv_nsec;
    return 1;
}

timespec Timespec(int64_t llNanoseconds)
{
    timespec coTime;
    coTime.tv_sec = static_cast<time_t>(llNanoseconds / 1000000000);
    coTime.tv_nsec = static_cast<long>(llNanoseconds % 1000000000);
    if (coTime.tv_nsec < 0) {
        coTime.tv_nsec += 1000000000;
        --coTime.tv_sec;
    }
    return coTime;
}

// The Win32 attribute bits of an entry as Windows programs would see them.
// 0 (EOVERFLOW) when its times cannot be kept.
int Fill(KwCopyStat& coStat, const std::string& strName, const struct stat& coInfo, KwCopyStat::Kind eKind,
         KwCopyError& coError)
{
    coStat.m_eKind = eKind;
    coStat.m_ulMode = coInfo.st_mode & kModeBits;
    coStat.m_ulOwner = coInfo.st_uid;
    coStat.m_ulGroup = coInfo.st_gid;
    coStat.m_ulAttributes = eKind == KwCopyStat::File ? static_cast<uint32_t>(KwCopyStat::AttrArchive) : 0u;
    if (eKind == KwCopyStat::Directory || eKind == KwCopyStat::DirectoryLink)
        coStat.m_ulAttributes |= KwCopyStat::AttrDirectory;
    if (eKind == KwCopyStat::DirectoryLink)
        coStat.m_ulAttributes |= KwCopyStat::AttrReparsePoint;
    if (!(coInfo.st_mode & S_IWUSR))
        coStat.m_ulAttributes |= KwCopyStat::AttrReadOnly;
    if (!strName.empty() && strName[0] == '.')
        coStat.m_ulAttributes |= KwCopyStat::AttrHidden;
    coStat.m_ullSize = eKind == KwCopyStat::File ? static_cast<uint64_t>(coInfo.st_size) : 0;
    coStat.m_llCreated = 0;
    if (Nanoseconds(coInfo.st_mtim, coStat.m_llWritten) && Nanoseconds(coInfo.st_atim, coStat.m_llAccessed))
        return 1;
    coError.Set(KwCopyError::Other, EOVERFLOW);
    return 0;
}

// The mode to give a copy: set-user-ID and set-group-ID only where the copy
// has the owner and group of its source, as cp keeps them.
mode_t CopiedMode(uint32_t ulMode, uint32_t ulOwner, uint32_t ulGroup, const struct stat& coCopy)
{
    mode_t nMode = static_cast<mode_t>(ulMode & kModeBits);
    if (coCopy.st_uid != ulOwner || coCopy.st_gid != ulGroup)
        nMode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    return nMode;
}

// An entry seen without following links. A link to a file counts as the
// file (its content is copied, so its facts are the file's); a link to a
// directory, or to nothing, is a link, copied as such. An entry that
// exists but whose facts cannot be kept answers 1 with coError set.
int StatAt(int nDirectory, const char* pszName, const std::string& strName, KwCopyStat& coStat,
           KwCopyError& coError)
{
    coError.Clear();
    struct stat coInfo;
    if (fstatat(nDirectory, pszName, &coInfo, AT_SYMLINK_NOFOLLOW) != 0)
        return Failure(coError);
    if (S_ISLNK(coInfo.st_mode)) {
        struct stat coTarget;
        if (fstatat(nDirectory, pszName, &coTarget, 0) == 0 && S_ISREG(coTarget.st_mode)) {
            Fill(coStat, strName, coTarget, KwCopyStat::File, coError);
            return 1;
        }
        Fill(coStat, strName, coInfo, KwCopyStat::DirectoryLink, coError);
        return 1;
    }
    const KwCopyStat::Kind eKind = S_ISDIR(coInfo.st_mode) ? KwCopyStat::Directory
        : S_ISREG(coInfo.st_mode)                          ? KwCopyStat::File
                                                           : KwCopyStat::Other;
    Fill(coStat, strName, coInfo, eKind, coError);
    return 1;
}

// The mode a native descriptor carries, or -1 for none.
int DescriptorMode(const void* pvDescriptor)
{
    if (!pvDescriptor || std::memcmp(pvDescriptor, "KWPX", 4) != 0)
        return -1;
    TPosixDescriptor coDescriptor;
    std::memcpy(&coDescriptor, pvDescriptor, sizeof(coDescriptor));
    return static_cast<int>(coDescriptor.m_ulMode & kModeBits);
}

class TStreamPosix final : public KwCopyStream {
public:
    TStreamPosix(int nFile, std::string strCreated, bool bModeSet = false)
        : m_nFile(nFile)
        , m_strCreated(std::move(strCreated))
        , m_bModeSet(bModeSet)
    {
    }
    ~TStreamPosix() override
    {
        if (m_nFile < 0)
            return;
        if (!m_strCreated.empty())
            Abandon();
        else
            close(m_nFile);
    }

    long Read(char* pchBuffer, long lCount, KwCopyError& coError) override
    {
        for (;;) {
            const ssize_t nRead = read(m_nFile, pchBuffer, static_cast<size_t>(lCount));
            if (nRead >= 0)
                return static_cast<long>(nRead);
            if (errno != EINTR) {
                Failure(coError);
                return -1;
            }
        }
    }

    long Write(const char* pchBuffer, long lCount, KwCopyError& coError) override
    {
        long lDone = 0;
        while (lDone < lCount) {
            const ssize_t nWritten = write(m_nFile, pchBuffer + lDone, static_cast<size_t>(lCount - lDone));
            if (nWritten < 0 && errno == EINTR)
                continue;
            if (nWritten <= 0) {
                if (nWritten == 0)
                    errno = ENOSPC;
                Failure(coError);
                return -1;
            }
            lDone += nWritten;
        }
        return lDone;
    }

    int Rewind(KwCopyError& coError) override
    {
        return lseek(m_nFile, 0, SEEK_SET) == 0 ? 1 : Failure(coError);
    }

    int SetSize(uint64_t ullSize, KwCopyError& coError) override
    {
        struct stat coInfo;
        if (fstat(m_nFile, &coInfo) != 0)
            return Failure(coError);
        const auto llSize = static_cast<off_t>(ullSize);
        if (llSize < coInfo.st_size)
            return ftruncate(m_nFile, llSize) == 0 ? 1 : Failure(coError);
        // Blocks given at once; where the file system cannot, a file of
        // that length to be filled.
        if (llSize == coInfo.st_size || fallocate(m_nFile, 0, 0, llSize) == 0)
            return 1;
        if (errno != EOPNOTSUPP && errno != ENOSYS)
            return Failure(coError);
        return ftruncate(m_nFile, llSize) == 0 ? 1 : Failure(coError);
    }

    int Finish(const KwCopyStat& coSource, KwCopyError& coError) override
    {
        const timespec acoTimes[2] = { Timespec(coSource.m_llAccessed), Timespec(coSource.m_llWritten) };
        if (futimens(m_nFile, acoTimes) != 0)
            return Failure(coError);
        struct stat coCopy;
        if (m_bModeSet)
            return 1;
        if (fstat(m_nFile, &coCopy) != 0
            || fchmod(m_nFile, CopiedMode(coSource.m_ulMode, coSource.m_ulOwner, coSource.m_ulGroup, coCopy)) != 0)
            return Failure(coError);
        return 1;
    }

    int NamedStreams(std::vector<KwCopyNamedStream>& vecStreams, KwCopyError&) override
    {
        vecStreams.clear();
        return 1;
    }

    int GetSecurity(uint32_t ulInfo, void* pvBuffer, uint32_t ulSize, uint32_t& ulNeeded, uint32_t& ulError) override
    {
        struct stat coInfo;
        if (fstat(m_nFile, &coInfo) != 0) {
            ulError = static_cast<uint32_t>(errno);
            return 0;
        }
        return KwPosixDescribe(coInfo, ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
    }

    int Commit(const std::string& strFinal, int nReplace, KwCopyError& coError) override
    {
        // The file stays open and locked until it has its final name.
        int nDone = nReplace ? rename(m_strCreated.c_str(), strFinal.c_str())
                             : renameat2(AT_FDCWD, m_strCreated.c_str(), AT_FDCWD, strFinal.c_str(), RENAME_NOREPLACE);
        if (nDone != 0 && !nReplace && errno == EINVAL) {
            // A file system without RENAME_NOREPLACE: a hard link fails on
            // an existing name just the same.
            nDone = link(m_strCreated.c_str(), strFinal.c_str());
            if (nDone == 0)
                unlink(m_strCreated.c_str());
        }
        if (nDone != 0)
            return Failure(coError);
        m_strCreated.clear();
        return 1;
    }

    int Close(KwCopyError& coError) override
    {
        const int nResult = close(m_nFile);
        m_nFile = -1;
        return nResult == 0 ? 1 : Failure(coError);
    }

    void Abandon() override
    {
        if (m_nFile < 0)
            return;
        unlink(m_strCreated.c_str());
        close(m_nFile);
        m_nFile = -1;
    }

private:
    int m_nFile;
    std::string m_strCreated;       // the name of a target this stream created, until committed
    bool m_bModeSet;                // created with a descriptor's mode, which the rights replace
};

class TFileSystemPosix final : public KwCopyFileSystem {
public:
    char Separator() const override { return '/'; }

    int FullPath(const std::string& strPath, std::string& strFull) const override
    {
        if (strPath.empty() || strPath.find('\0') != std::string::npos)
            return 0;
        std::string strAbsolute = strPath;
        if (strPath[0] != '/') {
            char szCurrent[4096];
            if (!getcwd(szCurrent, sizeof(szCurrent)))
                return 0;
            strAbsolute = std::string(szCurrent) + "/" + strPath;
        }
        std::vector<std::string> vecNames;
        for (const std::string& strName : Components(strAbsolute)) {
            if (strName == ".")
                continue;
            if (strName == "..") {
                if (!vecNames.empty())
                    vecNames.pop_back();
                continue;
            }
            vecNames.push_back(strName);
        }
        strFull = "/";
        for (const std::string& strName : vecNames)
            strFull = Join(strFull, strName);
        return 1;
    }

    size_t RootLength(const std::string& strFull) const override
    {
        return !strFull.empty() && strFull[0] == '/' ? 1 : 0;
    }

    int SameName(const std::string& strA, const std::string& strB) const override
    {
        return strA == strB;
    }

    std::string NameKey(const std::string& strName) const override
    {
        return strName;
    }

    int List(const std::string& strDirectory, std::vector<KwCopyDirEntry>& vecEntries, KwCopyIdentity* pcoIdentity,
             KwCopyError& coError) override
    {
        vecEntries.clear();
        const int nDirectory = open(strDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (nDirectory < 0)
            return Failure(coError);
        struct stat coInfo;
        if (pcoIdentity && fstat(nDirectory, &coInfo) == 0)
            *pcoIdentity = IdentityOf(coInfo);
        DIR* pDirectory = fdopendir(nDirectory);
        if (!pDirectory) {
            Failure(coError);
            close(nDirectory);
            return 0;
        }
        int nResult = 1;
        for (;;) {
            errno = 0;
            const dirent* pcoEntry = readdir(pDirectory);
            if (!pcoEntry) {
                if (errno != 0)
                    nResult = Failure(coError);
                break;
            }
            if (std::strcmp(pcoEntry->d_name, ".") == 0 || std::strcmp(pcoEntry->d_name, "..") == 0)
                continue;
            KwCopyDirEntry coEntry;
            coEntry.m_strName = pcoEntry->d_name;
            // An entry that went away meanwhile is no longer part of the
            // tree; one whose facts cannot be read (a directory that can be
            // read but not entered) is kept, to be reported.
            KwCopyError coEntryError;
            if (!StatAt(dirfd(pDirectory), pcoEntry->d_name, coEntry.m_strName, coEntry.m_coStat, coEntryError)) {
                if (coEntryError.m_eKind == KwCopyError::NotFound)
                    continue;
                coEntry.m_coStat.m_eKind = KwCopyStat::Other;
            }
            coEntry.m_ulError = coEntryError.m_ulCode;
            vecEntries.push_back(std::move(coEntry));
        }
        closedir(pDirectory);
        return nResult;
    }

    int Stat(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        std::string strParent;
        if (!SplitLast(strPath, strParent, coEntry.m_strName))
            coEntry.m_strName = strPath;
        KwCopyError coFacts;
        if (!StatAt(AT_FDCWD, strPath.c_str(), coEntry.m_strName, coEntry.m_coStat, coFacts)) {
            coError = coFacts;
            return 0;
        }
        coEntry.m_ulError = coFacts.m_ulCode;
        return 1;
    }

    int StatFollowing(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        std::string strParent;
        if (!SplitLast(strPath, strParent, coEntry.m_strName))
            coEntry.m_strName = strPath;
        struct stat coInfo;
        if (stat(strPath.c_str(), &coInfo) != 0)
            return Failure(coError);
        const KwCopyStat::Kind eKind = S_ISDIR(coInfo.st_mode) ? KwCopyStat::Directory
            : S_ISREG(coInfo.st_mode)                          ? KwCopyStat::File
                                                               : KwCopyStat::Other;
        KwCopyError coFacts;
        Fill(coEntry.m_coStat, coEntry.m_strName, coInfo, eKind, coFacts);
        coEntry.m_ulError = coFacts.m_ulCode;
        return 1;
    }

    int StoredName(const std::string& strPath, std::string& strName, KwCopyError& coError) override
    {
        std::string strParent;
        if (!SplitLast(strPath, strParent, strName))
            strName = strPath;
        struct stat coInfo;
        return lstat(strPath.c_str(), &coInfo) == 0 ? 1 : Failure(coError);
    }

    int FinalPath(const std::string& strPath, std::string& strFinal, KwCopyError& coError) override
    {
        char* pszFinal = realpath(strPath.c_str(), nullptr);
        if (!pszFinal)
            return Failure(coError);
        strFinal = pszFinal;
        std::free(pszFinal);
        return 1;
    }

    int Identity(const std::string& strPath, KwCopyIdentity& coIdentity, KwCopyError& coError) override
    {
        struct stat coInfo;
        if (stat(strPath.c_str(), &coInfo) != 0)
            return Failure(coError);
        coIdentity = IdentityOf(coInfo);
        return 1;
    }

    int FreeSpace(const std::string& strPath, uint64_t& ullFree, KwCopyError& coError) override
    {
        struct statvfs coInfo;
        if (statvfs(strPath.c_str(), &coInfo) != 0)
            return Failure(coError);
        ullFree = static_cast<uint64_t>(coInfo.f_bavail) * coInfo.f_frsize;
        return 1;
    }

    uint64_t FreeMemory() override
    {
        std::ifstream coIn("/proc/meminfo");
        std::string strKey;
        uint64_t ullKiB = 0;
        while (coIn >> strKey >> ullKiB) {
            if (strKey == "MemFree:")
                return ullKiB << 10;
            coIn.ignore(64, '\n');
        }
        return 0;
    }

    int CreateDirectory(const std::string& strPath, const void* pvDescriptor, KwCopyError& coError) override
    {
        const int nMode = DescriptorMode(pvDescriptor);
        // Made private first, so that no one else looks in before its
        // rights are there.
        if (mkdir(strPath.c_str(), nMode < 0 ? 0777 : 0700) != 0)
            return Failure(coError);
        if (nMode >= 0 && chmod(strPath.c_str(), static_cast<mode_t>(nMode)) != 0)
            return Failure(coError);
        return 1;
    }

    std::unique_ptr<KwCopyStream> OpenSource(const std::string& strPath, int nHow, KwCopyError& coError) override
    {
        const int nFile = OpenMaybeDirect(strPath.c_str(), O_RDONLY | O_CLOEXEC, 0, nHow);
        if (nFile < 0) {
            Failure(coError);
            return nullptr;
        }
        posix_fadvise(nFile, 0, 0, POSIX_FADV_SEQUENTIAL);
        return std::make_unique<TStreamPosix>(nFile, std::string());
    }

    std::unique_ptr<KwCopyStream> CreateTarget(const std::string& strPath, const void* pvDescriptor, int nHow,
                                               KwCopyError& coError) override
    {
        if (nHow & Encrypted) {
            coError.Set(KwCopyError::NotSupported, EOPNOTSUPP);
            return nullptr;
        }
        const int nFile = OpenMaybeDirect(strPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600, nHow);
        if (nFile < 0) {
            Failure(coError);
            return nullptr;
        }
        const int nMode = DescriptorMode(pvDescriptor);
        auto pcoStream = std::make_unique<TStreamPosix>(nFile, strPath, nMode >= 0);
        // The lock tells another run that this file is no leftover.
        if (flock(nFile, LOCK_EX | LOCK_NB) != 0 || (nMode >= 0 && fchmod(nFile, static_cast<mode_t>(nMode)) != 0)) {
            Failure(coError);
            return nullptr;
        }
        return pcoStream;
    }

    int DeleteFile(const std::string& strPath, KwCopyError& coError) override
    {
        return unlink(strPath.c_str()) == 0 ? 1 : Failure(coError);
    }

    int DeleteUnheld(const std::string& strPath, KwCopyError& coError) override
    {
        const int nFile = open(strPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (nFile < 0)
            return Failure(coError);
        struct stat coOpen;
        struct stat coNamed;
        int nDone = 0;
        if (flock(nFile, LOCK_EX | LOCK_NB) != 0) {
            Failure(coError);
            if (coError.m_ulCode == EWOULDBLOCK)
                coError.m_eKind = KwCopyError::InUse;
        } else if (fstat(nFile, &coOpen) != 0 || lstat(strPath.c_str(), &coNamed) != 0) {
            Failure(coError);
        } else if (coOpen.st_ino != coNamed.st_ino || coOpen.st_dev != coNamed.st_dev) {
            // Renamed and replaced meanwhile: the name is no longer this file.
            coError.Set(KwCopyError::InUse, EBUSY);
        } else {
            nDone = unlink(strPath.c_str()) == 0 ? 1 : Failure(coError);
        }
        close(nFile);
        return nDone;
    }

    int ClearReadOnly(const std::string& strPath, KwCopyError& coError) override
    {
        struct stat coInfo;
        if (stat(strPath.c_str(), &coInfo) != 0)
            return Failure(coError);
        if (coInfo.st_mode & S_IWUSR)
            return 1;
        return chmod(strPath.c_str(), (coInfo.st_mode & kModeBits) | S_IWUSR | S_IXUSR) == 0 ? 1 : Failure(coError);
    }

    int SetEntryInfo(const std::string& strPath, const KwCopyStat& coSource, int nRights, KwCopyError& coError) override
    {
        const timespec acoTimes[2] = { Timespec(coSource.m_llAccessed), Timespec(coSource.m_llWritten) };
        if (utimensat(AT_FDCWD, strPath.c_str(), acoTimes, 0) != 0)
            return Failure(coError);
        // With rights copied the mode comes with the descriptor.
        struct stat coCopy;
        if (nRights)
            return 1;
        if (stat(strPath.c_str(), &coCopy) != 0
            || chmod(strPath.c_str(), CopiedMode(coSource.m_ulMode, coSource.m_ulOwner, coSource.m_ulGroup, coCopy)) != 0)
            return Failure(coError);
        return 1;
    }

    int CopyLink(const std::string& strSource, const std::string& strTarget, KwCopyError& coError) override
    {
        std::vector<char> vecText(4096);
        for (;;) {
            const ssize_t nLength = readlink(strSource.c_str(), vecText.data(), vecText.size());
            if (nLength < 0)
                return Failure(coError);
            if (static_cast<size_t>(nLength) < vecText.size()) {
                vecText.resize(static_cast<size_t>(nLength));
                break;
            }
            vecText.resize(vecText.size() * 2);
        }
        const std::string strLink(vecText.begin(), vecText.end());
        if (symlink(strLink.c_str(), strTarget.c_str()) == 0)
            return 1;
        if (errno != EEXIST)
            return Failure(coError);
        // A link that says the same already is the copy.
        std::vector<char> vecOld(strLink.size() + 1);
        const ssize_t nOld = readlink(strTarget.c_str(), vecOld.data(), vecOld.size());
        if (nOld == static_cast<ssize_t>(strLink.size()) && std::memcmp(vecOld.data(), strLink.data(), strLink.size()) == 0)
            return 1;
        errno = EEXIST;
        return Failure(coError);
    }

    std::string ErrorText(uint32_t ulCode) const override
    {
        return ulCode ? std::strerror(static_cast<int>(ulCode)) : "unknown error";
    }

private:
    // O_DIRECT where it is asked for and the file system takes it (set once
    // the file is open: a file system without it, such as an old tmpfs,
    // refuses only the flag, and the file stays cached).
    static int OpenMaybeDirect(const char* pszPath, int nFlags, mode_t nMode, int nHow)
    {
        const int nFile = open(pszPath, nFlags, nMode);
        if (nFile >= 0 && (nHow & Unbuffered))
            fcntl(nFile, F_SETFL, fcntl(nFile, F_GETFL) | O_DIRECT);
        return nFile;
    }

    static KwCopyIdentity IdentityOf(const struct stat& coInfo)
    {
        KwCopyIdentity coIdentity;
        coIdentity.m_ullVolume = static_cast<uint64_t>(coInfo.st_dev);
        coIdentity.m_ullIndexLow = static_cast<uint64_t>(coInfo.st_ino);
        return coIdentity;
    }
};

} // namespace

KwCopyFileSystem& KwCopyFileSystem::Platform()
{
    static TFileSystemPosix s_coFileSystem;
    return s_coFileSystem;
}

std::string KwCopyFileSystem::FromSystemText(const char* pszText)
{
    return pszText ? pszText : "";
}

std::string KwCopyFileSystem::ToSystemText(const char* pszText)
{
    return pszText ? pszText : "";
}
