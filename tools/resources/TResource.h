#pragma once

#include "KwtlApi.h"
#include "TDynBase.h"
#include "TString.h"

#include <cstdint>

class TFile;
class TResVar;
class TResReadHdl;

// An object that lives in a resource file. It is stored as one record: its
// type code, its run-time class name, its custom class name, the two
// parameters, then its variables (WriteData) and the records of its children
// (WriteChildren), then the end code 30. Reading is driven by TResReadHdl,
// which creates the object by class name and hands it every variable and
// child through the Notify... hooks.
class KWTL_API TResource : public TDynBase {
    KW_DYNAMIC_CLASS(TResource, TDynBase)
public:
    // Item codes of a record
    enum : unsigned short {
        CodeEnd = 30,
        CodeResource = 31,
        VarResId = 21,      // the string variable that holds the identifier
    };
    // Flags
    enum : unsigned short {
        FlagWriteProtected = 1,
        FlagDummy = 2,
    };

    TResource() = default;
    ~TResource() override;

    // Identity
    const TString& GetResId() const { return m_coResId; }
    void SetResId(const char* pszId) { m_coResId = pszId; }
    // 0 when the identifier is empty or the argument null; else the
    // identifiers compared without regard to case.
    int HasResId(const char* pszId) const;
    const TString& GetCppClass() const { return m_coCppClass; }
    void SetCppClass(const char* pszClass) { m_coCppClass = pszClass; }

    // Parameters, stored in the record's header and in the file's index
    unsigned short GetWParam() const { return m_unWParam; }
    void SetWParam(unsigned short unWParam) { m_unWParam = unWParam; }
    uint32_t GetLParam() const { return m_ulLParam; }
    void SetLParam(uint32_t ulLParam) { m_ulLParam = ulLParam; }

    // Flags
    int IsWriteable() const { return (m_unFlags & FlagWriteProtected) ? 0 : 1; }
    void SetWriteable(int nWriteable);
    int IsDummyResource() const { return (m_unFlags & FlagDummy) ? 1 : 0; }

    // Writing: the whole record; a write-protected resource writes nothing.
    // 1 when every byte of the record frame was written.
    int WriteResource(TFile& coFile) const;

    // Helpers for sorted arrays of resources (by identifier, case-insensitive,
    // empty first) and for arrays that own them.
    static int CompareById(const void* pvA, const void* pvB);
    static void Destroy(void* pvResource);

protected:
    explicit TResource(const char* pszId) : m_coResId(pszId) {}
    TResource(const TResource& coOther);
    TResource& operator=(const TResource& coOther);

    // Overridables, in their slot order. Writing: the base writes the
    // identifier as string variable 21, and no children. Reading begins:
    // the base empties the identifier.
    virtual void WriteData(TFile& coFile) const;
    virtual void WriteChildren(TFile& coFile) const;
    virtual int NotifyReadBegin();

public:
    // Overridables of reading: own variables read, whole subtree read, a
    // child's variables read (non-zero: the parent has taken it over), a
    // child completely read (non-zero: the parent keeps it, else the reader
    // deletes it), one variable read.
    virtual int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex);
    virtual int NotifyFullReadFinished(TResource* pcoParent, unsigned long ulIndex);
    virtual int NotifyChildReadFinished(TResource* pcoChild, unsigned long ulIndex);
    virtual int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex);
    // The base takes the string variable 21 as the identifier (answers 1)
    // and ignores all others (0), a variable of another kind under id 21
    // too; overrides pass the ids they do not handle on.
    virtual int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex);
    // The record's type code; must avoid 1, 3, 7, 9, 10, 11 and 30.
    virtual unsigned short MyResType() const { return CodeResource; }
    // Whether the record names the run-time class (GetClassName).
    virtual int IsDynamicClass() const { return 1; }
    virtual void Destroy();

private:
    friend class TResReadHdl;
    void MakeDummy() { m_unFlags |= FlagDummy; }

    TString m_coResId;
    TString m_coCppClass;
    unsigned short m_unFlags { 0 };
    unsigned short m_unWParam { 0 };
    uint32_t m_ulLParam { 0 };
};
