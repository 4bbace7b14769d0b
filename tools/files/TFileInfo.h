#pragma once

#include "TDynBase.h"
#include "TString.h"

#include <cstdint>

// The record of one directory entry as the operating-system layer reports
// it. The attribute field holds one attribute code, not a set of bits:
// 0 none, 1 archive, 2 directory, 4 hidden, 8 read-only, 16 system,
// 32 compressed. Times are calendar seconds (time_t) with the two-second
// resolution of a DOS date; 0xFFFFFFFF means "not set", 0 "not convertible".
//
// The one code hides that a hidden, read-only or system directory is a
// directory at all, so the record also keeps the Win32 attribute bits the
// code was derived from: IsDirectory() tells every directory.
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
    // Win32 attribute bits of the system attribute field.
    enum : unsigned long {
        SysReadOnly = 0x1,
        SysHidden = 0x2,
        SysSystem = 0x4,
        SysDirectory = 0x10,
        SysArchive = 0x20,
        SysCompressed = 0x800,
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
    // The whole size in bytes, also beyond 4 GiB.
    uint64_t Size64() const { return m_ullSize; }
    unsigned long LastModified() const { return m_ulLastModified; }
    unsigned long CreationTime() const { return m_ulCreationTime; }
    unsigned long LastAccessed() const { return m_ulLastAccessed; }
    // The Win32 attribute bits the code was derived from (0 when unknown).
    unsigned long SystemAttributes() const { return m_ulSystemAttributes; }
    // Every directory, whatever its code; also a record whose only
    // information is the directory code.
    int IsDirectory() const { return (m_ulSystemAttributes & SysDirectory) || m_unAttributes == AttrDirectory; }
    // On a system whose code page lacks some of the name's characters the
    // name is only what can be shown (a "?" for each lost one, which the
    // file calls would take for a wildcard); the entry's 8.3 alias is then
    // kept beside it. SystemName is the name that finds exactly this
    // entry: the name itself, else the alias; empty when the name was lost
    // and the volume keeps no alias.
    int IsNameLost() const { return m_nNameLost; }
    const TString& Alias() const { return m_coAlias; }
    TString SystemName() const;

    void SetName(const char* pszName) { m_coName = pszName; }
    void SetPath(const char* pszPath) { m_coPath = pszPath; }
    // Shares the string's text, so the records of one directory keep one copy.
    void SetPath(const TString& coPath) { m_coPath = coPath; }
    void SetAttributes(unsigned short unAttributes) { m_unAttributes = unAttributes; }
    void SetSize(unsigned long ulSize) { m_ulSize = static_cast<uint32_t>(ulSize); m_ullSize = m_ulSize; }
    // Sets the whole size; the 32-bit field becomes LargeSize beyond it.
    void SetSize64(uint64_t ullSize)
    {
        m_ullSize = ullSize;
        m_ulSize = ullSize >= LargeSize ? static_cast<uint32_t>(LargeSize) : static_cast<uint32_t>(ullSize);
    }
    void SetLastModified(unsigned long ulTime) { m_ulLastModified = static_cast<uint32_t>(ulTime); }
    void SetCreationTime(unsigned long ulTime) { m_ulCreationTime = static_cast<uint32_t>(ulTime); }
    void SetLastAccessed(unsigned long ulTime) { m_ulLastAccessed = static_cast<uint32_t>(ulTime); }
    void SetSystemAttributes(unsigned long ulBits) { m_ulSystemAttributes = static_cast<uint32_t>(ulBits); }
    void SetAlias(const char* pszAlias, int nNameLost)
    {
        m_coAlias = pszAlias;
        m_nNameLost = nNameLost ? 1 : 0;
    }

    // Back to the state of a new record.
    void Clear() { *this = TFileInfo(); }

    // Array helpers
    // Destroy function for arrays that own TFileInfo objects.
    static void Destroy(void* pvInfo);
    // Name order: the base names (up to the first ".") compared without
    // regard to case, then the extensions the same way. A null record sorts
    // first.
    static int CompareByName(const void* pvA, const void* pvB);
    // Extension order: the extensions first, then as by name.
    static int CompareByExt(const void* pvA, const void* pvB);
    // Date order: last modified, then by name; size order: size, then by
    // name. The 32-bit fields are compared as unsigned values, so the order
    // is the same for every pair ("not set" sorts last).
    static int CompareByDate(const void* pvA, const void* pvB);
    static int CompareBySize(const void* pvA, const void* pvB);

private:
    TString m_coName;
    TString m_coPath;
    unsigned short m_unAttributes { AttrNone };
    uint32_t m_ulSize { 0 };
    uint64_t m_ullSize { 0 };
    uint32_t m_ulLastModified { NoTime };
    uint32_t m_ulCreationTime { NoTime };
    uint32_t m_ulLastAccessed { NoTime };
    uint32_t m_ulSystemAttributes { 0 };
    TString m_coAlias;
    int m_nNameLost { 0 };
};
