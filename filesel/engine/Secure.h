#pragma once

#include "KwSecurityApi.h"

#include <cstdint>
#include <memory>

// Reads and writes the security descriptors of files for the copy engine:
// made on the worker's stack at the start of a copy, it enables the
// privileges the copy needs and gives them back when it dies.
//
// Privileges are enabled one at a time, so a token that lacks one of them
// is noticed (HasPrivilege) instead of being taken for a success; only the
// privileges this object turned on are turned off again, so a copy of it,
// or a caller that had them on already, keeps them.
class KwCopyStream;

class Secure {
public:
    enum Privilege : int {
        SecurityPrivilege,          // "SeSecurityPrivilege": reading and writing the SACL
        TakeOwnershipPrivilege,     // "SeTakeOwnershipPrivilege"
        RestorePrivilege,           // "SeRestorePrivilege": any owner; asked for only with the owner
        PrivilegeCount,
    };
    enum : uint32_t { DefaultInformation = KwSecurityApi::GroupInfo | KwSecurityApi::DaclInfo | KwSecurityApi::SaclInfo };
    enum : uint32_t { InitialBufferSize = 100 };
    using ReportHook = void (*)(const char* pszStep, uint32_t ulError);

    enum NoToken { WithoutPrivileges };

    explicit Secure(KwSecurityApi& coApi, uint32_t ulInformation = DefaultInformation);
    // Reads and writes without privileges of its own: another object's
    // hold for the whole process (another thread of the same copy), or none
    // are needed. No token is opened.
    Secure(KwSecurityApi& coApi, uint32_t ulInformation, NoToken);
    // Takes the information and the descriptor last read; opens its own token.
    Secure(const Secure& coOther);
    Secure& operator=(const Secure&) = delete;
    ~Secure();

    // Set-up
    // Looks up the privileges, opens the token and enables the privileges;
    // 1 when every step but the enabling succeeded.
    int Init();
    // Enables (attributes 2, SE_PRIVILEGE_ENABLED) the privileges, or with 0
    // disables those this object enabled; 1 when every call succeeded.
    int DoPrivilege(uint32_t ulAttributes);
    int IsReady() const { return m_nReady; }
    int ArePrivilegesEnabled() const { return m_nPrivilegesEnabled; }
    int HasPrivilege(Privilege ePrivilege) const { return m_anHeld[ePrivilege]; }

    // Which parts of descriptors are read and written.
    uint32_t GetInformation() const { return m_ulInformation; }
    void SetInformation(uint32_t ulInformation) { m_ulInformation = ulInformation; }

    // Descriptors
    int GetFromFile(const char* pszName);
    // The same through a source the copy has open for its rights
    // (KwCopyFileSystem::ReadRights): no second lookup of its name.
    int GetFromStream(KwCopyStream& coSource);
    int SetToFile(const char* pszName);
    // GetFromFile(source) and, only when it succeeded, SetToFile(target).
    int Transfer(const char* pszSource, const char* pszTarget);
    // Holds a descriptor read before, as if GetFromFile had read it.
    void Adopt(const void* pvDescriptor, uint32_t ulLength);
    // Reads the descriptor of pszName and compares it with the one held:
    // 1 equal, 0 different, -1 when it cannot be read.
    int Compare(const char* pszName);
    // The descriptor last read (null before the first read).
    const void* GetDescriptor() const { return m_ulLength ? m_pbyBuffer.get() : nullptr; }
    uint32_t GetDescriptorLength() const { return m_ulLength; }
    uint32_t GetBufferSize() const { return m_ulBufferSize; }

    // The error of the last step that failed, and its diagnostic text
    // ("Secure::GetFromFile -> GetFileSecurity").
    uint32_t GetLastError() const { return m_ulLastError; }
    const char* GetLastStep() const { return m_pszLastStep; }
    // Receives every failing step; none by default.
    static void SetReportHook(ReportHook pfnHook);

    static const char* PrivilegeName(Privilege ePrivilege);

private:
    int Fail(const char* pszStep, uint32_t ulError);
    // By name, or through pcoSource when it is given.
    int Read(const char* pszName, KwCopyStream* pcoSource, std::unique_ptr<uint8_t[]>& pbyBuffer,
             uint32_t& ulBufferSize, uint32_t& ulLength);
    int Wanted(Privilege ePrivilege) const;

    KwSecurityApi& m_coApi;
    uint32_t m_ulInformation;
    uint32_t m_ulBufferSize { 0 };
    std::unique_ptr<uint8_t[]> m_pbyBuffer;     // self-relative descriptor last read
    uint32_t m_ulLength { 0 };                  // its length; 0 before the first read
    KwSecurityApi::Luid m_aulLuid[PrivilegeCount] {};
    KwSecurityApi::Token m_hToken { 0 };
    int m_nReady { 0 };
    int m_nPrivilegesEnabled { 0 };
    int m_anHeld[PrivilegeCount] {};            // enabled in the token while this object lives
    int m_anChanged[PrivilegeCount] {};         // enabled by this object, to be disabled again
    uint32_t m_ulLastError { 0 };
    const char* m_pszLastStep { "" };
};
