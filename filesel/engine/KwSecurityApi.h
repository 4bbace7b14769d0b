#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the copy engine learns of a volume.
struct KwVolumeInfo {
    enum : uint32_t { PersistentAcls = 0x8 };    // FILE_PERSISTENT_ACLS

    std::string m_strFileSystem;                 // "NTFS", "FAT32", ...
    uint32_t m_ulFlags { 0 };                    // FILE_* file-system flags
    uint32_t m_ulSerial { 0 };

    // Whether the volume keeps access rights: by its flag, or by its name
    // when it reports no flags at all.
    int KeepsRights() const;
};

// The security calls of the copy, behind one seam: privileges of the
// process token, reading and writing a file's security descriptor, and
// volume information. Platform() is the system's; tests put a recording
// fake in its place and see exactly what the engine asks for.
//
// Codes and values follow Win32 on every platform: information bits 1
// owner, 2 group, 4 DACL, 8 SACL; errors ERROR_INSUFFICIENT_BUFFER and
// ERROR_NOT_ALL_ASSIGNED as below. The native implementation keeps the
// owner, the group and the permission bits of a file in a small
// descriptor of its own.
class KwSecurityApi {
public:
    enum : uint32_t {
        OwnerInfo = 1,
        GroupInfo = 2,
        DaclInfo = 4,
        SaclInfo = 8,
    };
    enum : uint32_t {
        ErrAccessDenied = 5,
        ErrInsufficientBuffer = 122,
        ErrNotAllAssigned = 1300,
    };
    using Luid = uint64_t;
    using Token = intptr_t;                      // 0: none

    virtual ~KwSecurityApi() = default;

    static KwSecurityApi& Platform();

    // Privileges
    virtual int LookupPrivilege(const char* pszName, Luid& ulLuid, uint32_t& ulError) = 0;
    // The process token, open for adjusting privileges; 0 on failure.
    virtual Token OpenProcessToken(uint32_t& ulError) = 0;
    virtual void CloseToken(Token hToken) = 0;
    // Enables or disables one privilege. 1 when the call succeeded; then
    // ulError is ErrNotAllAssigned when the token does not hold the
    // privilege (nothing changed), else 0, and nWasEnabled tells its state
    // before the call.
    virtual int AdjustPrivilege(Token hToken, Luid ulLuid, int nEnable, int& nWasEnabled, uint32_t& ulError) = 0;

    // Descriptors
    // Reads the parts ulInfo names into the buffer; fails with
    // ErrInsufficientBuffer and the size needed when it is too small.
    virtual int GetFileSecurity(const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                                uint32_t& ulNeeded, uint32_t& ulError) = 0;
    virtual int SetFileSecurity(const std::string& strPath, uint32_t ulInfo, const void* pvDescriptor,
                                uint32_t& ulError) = 0;
    // The descriptor with full access for the account that runs the copy
    // added in front of its DACL, so that the copy can fill a directory
    // whose rights would lock it out; the exact descriptor follows later.
    // It is protected: nothing of the target directory's rights is added.
    virtual int WithCreatorAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                                  uint32_t& ulError) = 0;
    // Whether a directory's descriptor (with its owner, group and DACL)
    // lets the account that runs the copy make entries in it, list it and
    // set its times: nAllowed.
    virtual int AllowsCopyingInto(const void* pvDescriptor, uint32_t ulSize, int& nAllowed, uint32_t& ulError) = 0;
    // The descriptor with full access for the account that runs the copy
    // added in front of its DACL and nothing else changed: what an existing
    // directory of the copy that shuts the account out gets for the run,
    // until its own comes back.
    virtual int WithCopyingAccess(const void* pvDescriptor, uint32_t ulSize, std::vector<uint8_t>& vecOut,
                                  uint32_t& ulError) = 0;
    // A protected descriptor that grants the account that runs the copy,
    // as owner, full access and no one else anything, without inheritance:
    // what an entry gets whose source's rights cannot be had.
    virtual int PrivateDescriptor(int nDirectory, std::vector<uint8_t>& vecOut, uint32_t& ulError) = 0;
    // Whether a copy's descriptor, read back, says what its source's says in
    // the parts ulInfo names.
    virtual int SameDescriptor(const void* pvSource, uint32_t ulSourceSize, const void* pvCopy, uint32_t ulCopySize,
                               uint32_t ulInfo) = 0;

    // Volumes
    // The volume that holds the path, also when the path does not exist yet.
    virtual int GetVolumeInfo(const std::string& strPath, KwVolumeInfo& coInfo, uint32_t& ulError) = 0;

    virtual std::string ErrorText(uint32_t ulError) const = 0;
};
