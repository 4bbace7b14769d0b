#include "KwSecurityApi.h"

#include "KwPosixDescriptor.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

// The privileges a process has here: all of them, except that only root
// may give files to another owner.
const char* const s_apszPrivileges[] = { "SeSecurityPrivilege", "SeTakeOwnershipPrivilege", "SeRestorePrivilege" };
constexpr size_t kPrivileges = sizeof(s_apszPrivileges) / sizeof(s_apszPrivileges[0]);
std::atomic<int> s_anEnabled[kPrivileges] {};

int Fail(uint32_t& ulError)
{
    ulError = static_cast<uint32_t>(errno);
    return 0;
}

// The descriptor of a buffer; 0 (EINVAL) when it is too short for one.
int ReadDescriptor(const void* pvDescriptor, uint32_t ulSize, TPosixDescriptor& coDescriptor, uint32_t& ulError)
{
    if (ulSize < sizeof(TPosixDescriptor)) {
        ulError = EINVAL;
        return 0;
    }
    std::memcpy(&coDescriptor, pvDescriptor, sizeof(coDescriptor));
    return 1;
}

int StoreDescriptor(const TPosixDescriptor& coDescriptor, std::vector<uint8_t>& vecOut)
{
    vecOut.resize(sizeof(coDescriptor));
    std::memcpy(vecOut.data(), &coDescriptor, sizeof(coDescriptor));
    return 1;
}

// The mode a descriptor gives a copy: set-user-ID and set-group-ID stay
// only where the copy has the owner and group of its source (as cp keeps
// them), so that no one else's program runs with the copying account's
// rights.
mode_t CopiedMode(const TPosixDescriptor& coDescriptor, const struct stat& coCopy)
{
    mode_t nMode = static_cast<mode_t>(coDescriptor.m_ulMode & 07777);
    if (coCopy.st_uid != coDescriptor.m_ulOwner || coCopy.st_gid != coDescriptor.m_ulGroup)
        nMode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    return nMode;
}

const char* FileSystemName(long lType)
{
    switch (static_cast<unsigned long>(lType)) {
    case 0xEF53: return "ext4";
    case 0x58465342: return "xfs";
    case 0x9123683E: return "btrfs";
    case 0x01021994: return "tmpfs";
    case 0x794C7630: return "overlay";
    case 0x4d44: return "vfat";
    case 0x2011BAB0: return "exfat";
    case 0x5346544e: return "ntfs3";
    default: return "posix";
    }
}

bool InGroup(uint32_t ulGroup)
{
    if (ulGroup == getegid())
        return true;
    gid_t anGroups[256];
    const int nGroups = getgroups(256, anGroups);
    for (int i = 0; i < nGroups; ++i)
        if (anGroups[i] == ulGroup)
            return true;
    return false;
}

class TSecurityApiPosix final : public KwSecurityApi {
public:
    int LookupPrivilege(const char* pszName, Luid& ulLuid, uint32_t& ulError) override
    {
        for (size_t i = 0; i < kPrivileges; ++i)
            if (pszName && std::strcmp(pszName, s_apszPrivileges[i]) == 0) {
                ulLuid = i + 1;
                return 1;
            }
        ulError = ENOENT;
        return 0;
    }

    Token OpenProcessToken(uint32_t&) override { return 1; }
    void CloseToken(Token) override {}

    int AdjustPrivilege(Token, Luid ulLuid, int nEnable, int& nWasEnabled, uint32_t& ulError) override
    {
        if (ulLuid == 0 || ulLuid > kPrivileges) {
            ulError = EINVAL;
            return 0;
        }
        const bool bHeld = std::strcmp(s_apszPrivileges[ulLuid - 1], "SeRestorePrivilege") != 0 || geteuid() == 0;
        ulError = bHeld ? 0u : static_cast<uint32_t>(ErrNotAllAssigned);
        nWasEnabled = bHeld ? s_anEnabled[ulLuid - 1].exchange(nEnable ? 1 : 0) : 0;
        return 1;
    }

    int GetFileSecurity(const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                        uint32_t& ulNeeded, uint32_t& ulError) override
    {
        // The rights of what is copied: a link to a file is copied as the file.
        struct stat coInfo;
        if (stat(strPath.c_str(), &coInfo) != 0 && lstat(strPath.c_str(), &coInfo) != 0)
            return Fail(ulError);
        return KwPosixDescribe(coInfo, ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
    }

    int SetFileSecurity(const std::string& strPath, uint32_t ulInfo, const void* pvDescriptor,
                        uint32_t& ulError) override
    {
        TPosixDescriptor coDescriptor;
        std::memcpy(&coDescriptor, pvDescriptor, sizeof(coDescriptor));
        if (std::memcmp(coDescriptor.m_achMagic, "KWPX", 4) != 0) {
            ulError = EINVAL;
            return 0;
        }
        const uid_t nOwner = (ulInfo & OwnerInfo) ? coDescriptor.m_ulOwner : static_cast<uid_t>(-1);
        const gid_t nGroup = (ulInfo & GroupInfo) ? coDescriptor.m_ulGroup : static_cast<gid_t>(-1);
        if ((ulInfo & (OwnerInfo | GroupInfo)) && lchown(strPath.c_str(), nOwner, nGroup) != 0)
            return Fail(ulError);
        struct stat coInfo;
        if (!(ulInfo & DaclInfo))
            return 1;
        if (lstat(strPath.c_str(), &coInfo) != 0)
            return Fail(ulError);
        if (!S_ISLNK(coInfo.st_mode) && chmod(strPath.c_str(), CopiedMode(coDescriptor, coInfo)) != 0)
            return Fail(ulError);
        return 1;
    }

    int WithCreatorAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                          uint32_t& ulError) override
    {
        TPosixDescriptor coDescriptor;
        if (!ReadDescriptor(pvDescriptor, ulSize, coDescriptor, ulError))
            return 0;
        // Until its exact rights come, the copy belongs to the copying
        // account and its group: the source's group bits and set-ID bits
        // would give that group, or the copying account, more than the
        // source gives them.
        coDescriptor.m_ulMode = (coDescriptor.m_ulMode & (S_IRWXO | S_ISVTX)) | S_IRWXU;
        return StoreDescriptor(coDescriptor, vecOut);
    }

    int AllowsCopyingInto(const void* pvDescriptor, uint32_t ulSize, int& nAllowed, uint32_t& ulError) override
    {
        TPosixDescriptor coDescriptor;
        if (!ReadDescriptor(pvDescriptor, ulSize, coDescriptor, ulError))
            return 0;
        // Writing and searching, by the class of bits that applies.
        const uid_t nUser = geteuid();
        const mode_t nNeeded = coDescriptor.m_ulOwner == nUser ? (S_IWUSR | S_IXUSR)
            : InGroup(coDescriptor.m_ulGroup)                  ? (S_IWGRP | S_IXGRP)
                                                               : (S_IWOTH | S_IXOTH);
        nAllowed = nUser == 0 || (coDescriptor.m_ulMode & nNeeded) == nNeeded;
        return 1;
    }

    int WithCopyingAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                          uint32_t& ulError) override
    {
        TPosixDescriptor coDescriptor;
        if (!ReadDescriptor(pvDescriptor, ulSize, coDescriptor, ulError))
            return 0;
        coDescriptor.m_ulMode |= S_IRWXU;
        return StoreDescriptor(coDescriptor, vecOut);
    }

    int PrivateDescriptor(int nDirectory, std::vector<uint8_t>& vecOut, uint32_t&) override
    {
        const TPosixDescriptor coDescriptor { { 'K', 'W', 'P', 'X' }, OwnerInfo | GroupInfo | DaclInfo,
                                         static_cast<uint32_t>(geteuid()), static_cast<uint32_t>(getegid()),
                                         static_cast<uint32_t>(nDirectory ? S_IRWXU : S_IRUSR | S_IWUSR) };
        return StoreDescriptor(coDescriptor, vecOut);
    }

    int SameDescriptor(const void* pvSource, uint32_t ulSourceSize, const void* pvCopy, uint32_t ulCopySize,
                       uint32_t ulInfo) override
    {
        if (ulSourceSize < sizeof(TPosixDescriptor) || ulCopySize < sizeof(TPosixDescriptor))
            return 0;
        TPosixDescriptor coSource;
        TPosixDescriptor coCopy;
        std::memcpy(&coSource, pvSource, sizeof(coSource));
        std::memcpy(&coCopy, pvCopy, sizeof(coCopy));
        struct stat coCopyInfo {};
        coCopyInfo.st_uid = coCopy.m_ulOwner;
        coCopyInfo.st_gid = coCopy.m_ulGroup;
        return (!(ulInfo & OwnerInfo) || coSource.m_ulOwner == coCopy.m_ulOwner)
            && (!(ulInfo & GroupInfo) || coSource.m_ulGroup == coCopy.m_ulGroup)
            && (!(ulInfo & DaclInfo) || CopiedMode(coSource, coCopyInfo) == (coCopy.m_ulMode & 07777));
    }

    int GetVolumeInfo(const std::string& strPath, KwVolumeInfo& coInfo, uint32_t& ulError) override
    {
        // The nearest directory that exists tells the volume.
        std::string strExisting = strPath;
        struct statfs coVolume;
        while (statfs(strExisting.c_str(), &coVolume) != 0) {
            const size_t nSlash = strExisting.find_last_of('/');
            if (errno != ENOENT || nSlash == std::string::npos || strExisting == "/")
                return Fail(ulError);
            strExisting = nSlash == 0 ? std::string("/") : strExisting.substr(0, nSlash);
        }
        coInfo.m_strFileSystem = FileSystemName(static_cast<long>(coVolume.f_type));
        const bool bFat = coInfo.m_strFileSystem == "vfat" || coInfo.m_strFileSystem == "exfat";
        // Owner, group and mode persist on every POSIX file system but FAT.
        coInfo.m_ulFlags = bFat ? 0x3 : (0x3 | KwVolumeInfo::PersistentAcls);
        struct stat coRoot;
        coInfo.m_ulSerial = stat(strExisting.c_str(), &coRoot) == 0 ? static_cast<uint32_t>(coRoot.st_dev) : 0;
        return 1;
    }

    std::string ErrorText(uint32_t ulError) const override
    {
        if (ulError == ErrNotAllAssigned)
            return "Not all privileges or groups referenced are assigned to the caller";
        if (ulError == ErrInsufficientBuffer)
            return "The data area passed to a system call is too small";
        return ulError ? std::strerror(static_cast<int>(ulError)) : "unknown error";
    }
};

} // namespace

KwSecurityApi& KwSecurityApi::Platform()
{
    static TSecurityApiPosix s_coApi;
    return s_coApi;
}
