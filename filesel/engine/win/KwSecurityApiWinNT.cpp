#include "KwSecurityApi.h"

#include "FlslWindows.h"
#include "KwWideTextWinNT.h"

#include <cstring>
#include <mutex>

namespace {

class TSecurityApiWinNT final : public KwSecurityApi {
public:
    int LookupPrivilege(const char* pszName, Luid& ulLuid, uint32_t& ulError) override
    {
        LUID coLuid;
        if (!LookupPrivilegeValueA(nullptr, pszName, &coLuid))
            return Fail(ulError);
        ulLuid = (static_cast<uint64_t>(static_cast<uint32_t>(coLuid.HighPart)) << 32) | coLuid.LowPart;
        return 1;
    }

    Token OpenProcessToken(uint32_t& ulError) override
    {
        // The process's pseudo-handle serves: opening the process itself
        // with all access can be refused under a restricted token.
        HANDLE hToken = nullptr;
        if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
            return Fail(ulError);
        return reinterpret_cast<Token>(hToken);
    }

    void CloseToken(Token hToken) override
    {
        CloseHandle(reinterpret_cast<HANDLE>(hToken));
    }

    int AdjustPrivilege(Token hToken, Luid ulLuid, int nEnable, int& nWasEnabled, uint32_t& ulError) override
    {
        TOKEN_PRIVILEGES coNew {};
        coNew.PrivilegeCount = 1;
        coNew.Privileges[0].Luid.LowPart = static_cast<DWORD>(ulLuid);
        coNew.Privileges[0].Luid.HighPart = static_cast<LONG>(ulLuid >> 32);
        coNew.Privileges[0].Attributes = nEnable ? SE_PRIVILEGE_ENABLED : 0;
        TOKEN_PRIVILEGES coPrevious {};
        DWORD ulPreviousSize = sizeof(coPrevious);
        if (!AdjustTokenPrivileges(reinterpret_cast<HANDLE>(hToken), FALSE, &coNew, sizeof(coPrevious), &coPrevious,
                                   &ulPreviousSize))
            return Fail(ulError);
        // Success with ERROR_NOT_ALL_ASSIGNED: the token lacks the privilege.
        ulError = GetLastError() == ERROR_NOT_ALL_ASSIGNED ? static_cast<uint32_t>(ErrNotAllAssigned) : 0u;
        // The previous state lists the privilege only when it changed.
        nWasEnabled = coPrevious.PrivilegeCount ? (coPrevious.Privileges[0].Attributes & SE_PRIVILEGE_ENABLED) != 0
                                                : nEnable;
        return 1;
    }

    int GetFileSecurity(const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                        uint32_t& ulNeeded, uint32_t& ulError) override
    {
        DWORD ulLength = 0;
        if (!GetFileSecurityW(KwLongPath(strPath).c_str(), ulInfo, pvBuffer, ulSize, &ulLength)) {
            ulNeeded = ulLength;
            return Fail(ulError);
        }
        ulNeeded = GetSecurityDescriptorLength(pvBuffer);
        return 1;
    }

    int SetFileSecurity(const std::string& strPath, uint32_t ulInfo, const void* pvDescriptor,
                        uint32_t& ulError) override
    {
        if (!SetFileSecurityW(KwLongPath(strPath).c_str(), ulInfo, const_cast<void*>(pvDescriptor)))
            return Fail(ulError);
        return 1;
    }

    int WithCreatorAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                          uint32_t& ulError) override
    {
        // Protected, so that nothing of the target directory's inheritable
        // rights is added while the entry waits for its exact descriptor.
        return WithAccountFirst(pvDescriptor, ulSize, true, vecOut, ulError);
    }

    int WithCopyingAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                          uint32_t& ulError) override
    {
        return WithAccountFirst(pvDescriptor, ulSize, false, vecOut, ulError);
    }

    int AllowsCopyingInto(const void* pvDescriptor, uint32_t, int& nAllowed, uint32_t& ulError) override
    {
        // What a copy does in a directory: make files and directories, list
        // it (leftovers) and set its times.
        constexpr DWORD kCopyAccess
            = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_WRITE_ATTRIBUTES;
        HANDLE hProcess = nullptr;
        if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &hProcess))
            return Fail(ulError);
        HANDLE hToken = nullptr;
        const BOOL nDuplicated = DuplicateToken(hProcess, SecurityIdentification, &hToken);
        if (!nDuplicated)
            Fail(ulError);
        CloseHandle(hProcess);
        if (!nDuplicated)
            return 0;
        GENERIC_MAPPING coMapping { FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS };
        PRIVILEGE_SET coPrivileges {};
        DWORD ulPrivileges = sizeof(coPrivileges);
        DWORD ulGranted = 0;
        BOOL nStatus = FALSE;
        const BOOL nChecked = AccessCheck(const_cast<void*>(pvDescriptor), hToken, kCopyAccess, &coMapping, &coPrivileges,
                                          &ulPrivileges, &ulGranted, &nStatus);
        if (!nChecked)
            Fail(ulError);
        CloseHandle(hToken);
        nAllowed = nChecked && nStatus && (ulGranted & kCopyAccess) == kCopyAccess;
        return nChecked ? 1 : 0;
    }

    int PrivateDescriptor(int, std::vector<uint8_t>& vecOut, uint32_t& ulError) override
    {
        const std::vector<uint8_t>* pvecUser = UserSid(ulError);
        if (!pvecUser)
            return 0;
        PSID pUser = const_cast<uint8_t*>(pvecUser->data());
        const DWORD ulAclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(pUser);
        std::vector<uint8_t> vecAcl(ulAclSize);
        auto* pcoAcl = reinterpret_cast<PACL>(vecAcl.data());
        SECURITY_DESCRIPTOR coAbsolute;
        if (!InitializeAcl(pcoAcl, ulAclSize, ACL_REVISION) || !AddAccessAllowedAceEx(pcoAcl, ACL_REVISION, 0, FILE_ALL_ACCESS, pUser)
            || !InitializeSecurityDescriptor(&coAbsolute, SECURITY_DESCRIPTOR_REVISION)
            || !SetSecurityDescriptorOwner(&coAbsolute, pUser, FALSE) || !SetSecurityDescriptorDacl(&coAbsolute, TRUE, pcoAcl, FALSE)
            || !SetSecurityDescriptorControl(&coAbsolute, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
            return Fail(ulError);
        DWORD ulLength = 0;
        MakeSelfRelativeSD(&coAbsolute, nullptr, &ulLength);
        vecOut.resize(ulLength);
        return MakeSelfRelativeSD(&coAbsolute, vecOut.data(), &ulLength) ? 1 : Fail(ulError);
    }

    int SameDescriptor(const void* pvSource, uint32_t ulSourceSize, const void* pvCopy, uint32_t ulCopySize,
                       uint32_t) override
    {
        // Both were read with the same parts asked for.
        return ulSourceSize == ulCopySize && std::memcmp(pvSource, pvCopy, ulSourceSize) == 0;
    }

    int GetVolumeInfo(const std::string& strPath, KwVolumeInfo& coInfo, uint32_t& ulError) override
    {
        wchar_t wszRoot[MAX_PATH + 1];
        if (!GetVolumePathNameW(KwLongPath(strPath).c_str(), wszRoot, MAX_PATH))
            return Fail(ulError);
        wchar_t wszFileSystem[MAX_PATH + 1] = L"";
        DWORD ulSerial = 0;
        DWORD ulFlags = 0;
        // No "insert a disk" box for a drive without a medium.
        DWORD ulMode = 0;
        const BOOL nModeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &ulMode);
        const BOOL nDone = GetVolumeInformationW(wszRoot, nullptr, 0, &ulSerial, nullptr, &ulFlags, wszFileSystem,
                                                 MAX_PATH);
        const DWORD ulLastError = GetLastError();
        if (nModeSet)
            SetThreadErrorMode(ulMode, nullptr);
        if (!nDone) {
            ulError = ulLastError;
            return 0;
        }
        coInfo.m_strFileSystem = KwUtf8FromWide(wszFileSystem, wcslen(wszFileSystem));
        coInfo.m_ulFlags = ulFlags;
        coInfo.m_ulSerial = ulSerial;
        return 1;
    }

    std::string ErrorText(uint32_t ulError) const override
    {
        return KwErrorText(ulError);
    }

private:
    // The descriptor with full access for the copying account in front of
    // its DACL; protected with bProtect, else with the source's own
    // protection and inheritance bits.
    int WithAccountFirst(const void* pvDescriptor, uint32_t ulSize, bool bProtect, std::vector<uint8_t>& vecOut,
                         uint32_t& ulError)
    {
        auto* pSource = const_cast<void*>(pvDescriptor);
        BOOL nPresent = FALSE;
        BOOL nDefaulted = FALSE;
        PACL pcoDacl = nullptr;
        const std::vector<uint8_t>* pvecUser = UserSid(ulError);
        if (!pvecUser || !GetSecurityDescriptorDacl(pSource, &nPresent, &pcoDacl, &nDefaulted))
            return pvecUser ? Fail(ulError) : 0;
        if (!nPresent || !pcoDacl) {
            // No DACL at all grants everyone everything already.
            vecOut.assign(static_cast<const uint8_t*>(pvDescriptor), static_cast<const uint8_t*>(pvDescriptor) + ulSize);
            return 1;
        }
        ACL_SIZE_INFORMATION coSizes {};
        if (!GetAclInformation(pcoDacl, &coSizes, sizeof(coSizes), AclSizeInformation))
            return Fail(ulError);
        PSID pUser = const_cast<uint8_t*>(pvecUser->data());
        const DWORD ulAclSize
            = coSizes.AclBytesInUse + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(pUser);
        std::vector<uint8_t> vecAcl(ulAclSize);
        auto* pcoAcl = reinterpret_cast<PACL>(vecAcl.data());
        const DWORD ulRevision = pcoDacl->AclRevision;
        if (!InitializeAcl(pcoAcl, ulAclSize, ulRevision)
            || !AddAccessAllowedAceEx(pcoAcl, ulRevision, 0, FILE_ALL_ACCESS, pUser))
            return Fail(ulError);
        for (DWORD i = 0; i < coSizes.AceCount; ++i) {
            void* pvAce = nullptr;
            if (!GetAce(pcoDacl, i, &pvAce)
                || !AddAce(pcoAcl, ulRevision, MAXDWORD, pvAce, static_cast<ACE_HEADER*>(pvAce)->AceSize))
                return Fail(ulError);
        }
        SECURITY_DESCRIPTOR coAbsolute;
        if (!InitializeSecurityDescriptor(&coAbsolute, SECURITY_DESCRIPTOR_REVISION)
            || !SetSecurityDescriptorDacl(&coAbsolute, TRUE, pcoAcl, FALSE) || !CopyOtherParts(pSource, coAbsolute))
            return Fail(ulError);
        SECURITY_DESCRIPTOR_CONTROL nControl = SE_DACL_PROTECTED;
        DWORD ulDescriptorRevision = 0;
        if (!bProtect && !GetSecurityDescriptorControl(pSource, &nControl, &ulDescriptorRevision))
            return Fail(ulError);
        const SECURITY_DESCRIPTOR_CONTROL nKept = SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED;
        if (!SetSecurityDescriptorControl(&coAbsolute, nKept, static_cast<SECURITY_DESCRIPTOR_CONTROL>(nControl & nKept)))
            return Fail(ulError);
        DWORD ulLength = 0;
        MakeSelfRelativeSD(&coAbsolute, nullptr, &ulLength);
        vecOut.resize(ulLength);
        if (!MakeSelfRelativeSD(&coAbsolute, vecOut.data(), &ulLength))
            return Fail(ulError);
        return 1;
    }

    static int Fail(uint32_t& ulError)
    {
        ulError = GetLastError();
        return 0;
    }

    // Owner, group and SACL of the source, as they are.
    static bool CopyOtherParts(void* pSource, SECURITY_DESCRIPTOR& coAbsolute)
    {
        PSID pSid = nullptr;
        BOOL nDefaulted = FALSE;
        if (!GetSecurityDescriptorOwner(pSource, &pSid, &nDefaulted)
            || (pSid && !SetSecurityDescriptorOwner(&coAbsolute, pSid, nDefaulted)))
            return false;
        if (!GetSecurityDescriptorGroup(pSource, &pSid, &nDefaulted)
            || (pSid && !SetSecurityDescriptorGroup(&coAbsolute, pSid, nDefaulted)))
            return false;
        BOOL nPresent = FALSE;
        PACL pcoSacl = nullptr;
        if (!GetSecurityDescriptorSacl(pSource, &nPresent, &pcoSacl, &nDefaulted))
            return false;
        return !nPresent || SetSecurityDescriptorSacl(&coAbsolute, TRUE, pcoSacl, nDefaulted);
    }

    // The account this process runs as, asked once.
    const std::vector<uint8_t>* UserSid(uint32_t& ulError)
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        if (!m_vecUser.empty())
            return &m_vecUser;
        HANDLE hToken = nullptr;
        if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
            Fail(ulError);
            return nullptr;
        }
        DWORD ulLength = 0;
        GetTokenInformation(hToken, TokenUser, nullptr, 0, &ulLength);
        std::vector<uint8_t> vecUser(ulLength ? ulLength : 1);
        const BOOL nDone = GetTokenInformation(hToken, TokenUser, vecUser.data(), ulLength, &ulLength);
        if (!nDone)
            Fail(ulError);
        CloseHandle(hToken);
        if (!nDone)
            return nullptr;
        PSID pSid = reinterpret_cast<TOKEN_USER*>(vecUser.data())->User.Sid;
        const auto* pbySid = static_cast<const uint8_t*>(pSid);
        m_vecUser.assign(pbySid, pbySid + GetLengthSid(pSid));
        return &m_vecUser;
    }

    std::mutex m_coLock;
    std::vector<uint8_t> m_vecUser;
};

} // namespace

KwSecurityApi& KwSecurityApi::Platform()
{
    static TSecurityApiWinNT s_coApi;
    return s_coApi;
}
