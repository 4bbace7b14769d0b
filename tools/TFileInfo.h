#pragma once

#include "TDynBase.h"
#include "TString.h"

#include <cstdint>

// The record of one directory entry as the operating-system layer reports
// it. The attribute field holds one attribute code, not a set of bits:
// 0 none, 1 archive, 2 directory, 4 hidden, 8 read-only, 16 system,
// 32 compressed. Times are calendar seconds (time_t) with the two-second
// resolution of a DOS date; 0xFFFFFFFF means "not set", 0 "not convertible".
class KWTL_API TFileInfo : public TDynBase {
    KW_DYNAMIC_CLASS(TFileInfo, TDynBase)
public:
    enum : unsigned short {
        AttrNone = 0,
        AttrArchive = 1,
        AttrDirectory = 2,
        AttrHidden = 4,
        AttrReadOnly = 8,
        AttrSystem = 16,
        AttrCompressed = 32,
    };
    enum : unsigned long {
        NoTime = 0xFFFFFFFFul,
        LargeSize = 0xFFFFFFFFul,
    };

    TFileInfo() = default;
    TFileInfo(const TFileInfo& coOther);
    TFileInfo& operator=(const TFileInfo& coOther);

    // Fields
    const TString& Name() const { return m_coName; }
    const TString& Path() const { return m_coPath; }
    unsigned short Attributes() const { return m_unAttributes; }
    // The size in bytes; LargeSize when it needs more than 32 bits.
    unsigned long Size() const { return m_ulSize; }
    unsigned long LastModified() const { return m_ulLastModified; }
    unsigned long CreationTime() const { return m_ulCreationTime; }
    unsigned long LastAccessed() const { return m_ulLastAccessed; }

    void SetName(const char* pszName) { m_coName = pszName; }
    void SetPath(const char* pszPath) { m_coPath = pszPath; }
    void SetAttributes(unsigned short unAttributes) { m_unAttributes = unAttributes; }
    void SetSize(unsigned long ulSize) { m_ulSize = static_cast<uint32_t>(ulSize); }
    void SetLastModified(unsigned long ulTime) { m_ulLastModified = static_cast<uint32_t>(ulTime); }
    void SetCreationTime(unsigned long ulTime) { m_ulCreationTime = static_cast<uint32_t>(ulTime); }
    void SetLastAccessed(unsigned long ulTime) { m_ulLastAccessed = static_cast<uint32_t>(ulTime); }

    // Back to the state of a new record.
    void Clear() { *this = TFileInfo(); }

    // Array helpers
    // Destroy function for arrays that own TFileInfo objects.
    static void Destroy(void* pvInfo);
    // Name order: the base names (up to the first ".") compared without
    // regard to case, then the extensions the same way. A null record sorts
    // first.
    static int CompareByName(const void* pvA, const void* pvB);

private:
    TString m_coName;
    TString m_coPath;
    unsigned short m_unAttributes { AttrNone };
    uint32_t m_ulSize { 0 };
    uint32_t m_ulLastModified { NoTime };
    uint32_t m_ulCreationTime { NoTime };
    uint32_t m_ulLastAccessed { NoTime };
};
