#pragma once

#include "TArray.h"
#include "TDynBase.h"

// One named dynamic function of a class.
struct _TDynObjRecord {
    char* m_pszName;                 // malloc'ed
    TDynBase::DynFunc m_pfnFunction;
};

// The class table of one registered class: its name, module tag, base table
// and reference object, and its functions callable by name. The array part
// holds the full names ("Class::Function"), a second array the short names.
// The base table is read through its slot on every use, so a base class
// that registers after its derived class is still found.
class KWTL_API TDynTab : public TArray {
public:
    TDynTab(const char* pszClassName, TDynTab const** ppcoBaseSlot,
            TDynBase const* pcoReference, const char* pszModuleTag);
    ~TDynTab() override;

    TDynTab(const TDynTab&) = delete;
    TDynTab& operator=(const TDynTab&) = delete;

    // Class
    const char* GetClass() const { return m_pszClass; }
    const char* GetModule() const { return m_pszModule; }
    TDynTab const* BaseVTable() const { return m_ppcoBase ? *m_ppcoBase : nullptr; }
    TDynBase const* RuntimeObject() const { return m_pcoReference; }

    // Dynamic functions
    void Insert(const char* pszName, TDynBase::DynFunc pfnFunction);
    // Names with a ':' are looked up among the full names, others among the
    // short names; a miss goes on in the base tables.
    const _TDynObjRecord* FindFunc(const char* pszName) const;
    unsigned short DynFuncCount() const;
    const char* FuncNameFromIndex(unsigned short i) const;
    TDynBase::DynFunc FuncAddrFromIndex(unsigned short i) const;

    static int Compare(const void* pvA, const void* pvB);
    static int CompareTDynObjRecord(const void* pvA, const void* pvB);
    static void Destroy(void* pvTable);
    static void DestroyTDynObjRecord(void* pvRecord);

private:
    friend class TDynBase;

    explicit TDynTab(const char* pszClassName);

    const _TDynObjRecord* FromName(const char* pszName) const;
    const _TDynObjRecord* FromScope(const char* pszName) const;
    static int InsertRecord(TArray& coList, const char* pszName, TDynBase::DynFunc pfnFunction);
    static const _TDynObjRecord* Search(const TArray& coList, const char* pszName);

    TArray m_coShortNames;
    char* m_pszClass { nullptr };                // malloc'ed
    char* m_pszModule { nullptr };               // malloc'ed
    TDynBase const* m_pcoReference { nullptr };  // owned; deleted with the table
    TDynTab const** m_ppcoBase { nullptr };
};
