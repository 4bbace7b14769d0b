#include "TDynTab.h"

#include "TCrt.h"
#include "TString.h"

#include <cstdlib>
#include <cstring>

TDynTab::TDynTab(const char* pszClassName, TDynTab const** ppcoBaseSlot,
                 TDynBase const* pcoReference, const char* pszModuleTag)
    : TArray(32, DestroyTDynObjRecord, CompareTDynObjRecord)
    , m_coShortNames(32, DestroyTDynObjRecord, CompareTDynObjRecord)
    , m_pszClass(::Strdup(pszClassName))
    , m_pszModule(::Strdup(pszModuleTag ? pszModuleTag : ""))
    , m_pcoReference(pcoReference)
    , m_ppcoBase(ppcoBaseSlot)
{
}

TDynTab::TDynTab(const char* pszClassName)
    : TArray(2, DestroyTDynObjRecord, CompareTDynObjRecord)
    , m_coShortNames(2, DestroyTDynObjRecord, CompareTDynObjRecord)
    , m_pszClass(::Strdup(pszClassName))
    , m_pszModule(::Strdup(""))
{
}

TDynTab::~TDynTab()
{
    delete m_pcoReference;
    std::free(m_pszClass);
    std::free(m_pszModule);
}

int TDynTab::InsertRecord(TArray& coList, const char* pszName, TDynBase::DynFunc pfnFunction)
{
    _TDynObjRecord* pRecord = new _TDynObjRecord { ::Strdup(pszName), pfnFunction };
    if (pRecord->m_pszName && coList.Insert(pRecord, nullptr))
        return 1;
    DestroyTDynObjRecord(pRecord);
    return 0;
}

void TDynTab::Insert(const char* pszName, TDynBase::DynFunc pfnFunction)
{
    if (!pszName || !*pszName)
        return;
    InsertRecord(*this, pszName, pfnFunction);
    const char* pszColon = std::strchr(pszName, ':');
    if (pszColon && pszColon[1] == ':')
        InsertRecord(m_coShortNames, pszColon + 2, pfnFunction);
}

const _TDynObjRecord* TDynTab::Search(const TArray& coList, const char* pszName)
{
    _TDynObjRecord coKey { const_cast<char*>(pszName), nullptr };
    void* pvFound = nullptr;
    coList.Find(&coKey, &pvFound);
    return static_cast<const _TDynObjRecord*>(pvFound);
}

const _TDynObjRecord* TDynTab::FromName(const char* pszName) const
{
    for (const TDynTab* pcoTab = this; pcoTab; pcoTab = pcoTab->BaseVTable()) {
        if (const _TDynObjRecord* pRecord = Search(pcoTab->m_coShortNames, pszName))
            return pRecord;
    }
    return nullptr;
}

const _TDynObjRecord* TDynTab::FromScope(const char* pszName) const
{
    for (const TDynTab* pcoTab = this; pcoTab; pcoTab = pcoTab->BaseVTable()) {
        if (const _TDynObjRecord* pRecord = Search(*pcoTab, pszName))
            return pRecord;
    }
    return nullptr;
}

const _TDynObjRecord* TDynTab::FindFunc(const char* pszName) const
{
    if (!pszName || !*pszName)
        return nullptr;
    return std::strchr(pszName, ':') ? FromScope(pszName) : FromName(pszName);
}

unsigned short TDynTab::DynFuncCount() const
{
    return static_cast<unsigned short>(m_coShortNames.Count());
}

const char* TDynTab::FuncNameFromIndex(unsigned short i) const
{
    const _TDynObjRecord* pRecord = static_cast<const _TDynObjRecord*>(m_coShortNames.Get(i));
    return pRecord ? pRecord->m_pszName : nullptr;
}

TDynBase::DynFunc TDynTab::FuncAddrFromIndex(unsigned short i) const
{
    const _TDynObjRecord* pRecord = static_cast<const _TDynObjRecord*>(m_coShortNames.Get(i));
    return pRecord ? pRecord->m_pfnFunction : nullptr;
}

namespace {

int CompareNames(const char* pszA, const char* pszB)
{
    if (!pszA || !pszB)
        return pszA ? 1 : (pszB ? -1 : 0);
    return CrtStricmp(pszA, pszB);
}

} // namespace

int TDynTab::Compare(const void* pvA, const void* pvB)
{
    return CompareNames(static_cast<const TDynTab*>(pvA)->m_pszClass,
                        static_cast<const TDynTab*>(pvB)->m_pszClass);
}

int TDynTab::CompareTDynObjRecord(const void* pvA, const void* pvB)
{
    return CompareNames(static_cast<const _TDynObjRecord*>(pvA)->m_pszName,
                        static_cast<const _TDynObjRecord*>(pvB)->m_pszName);
}

void TDynTab::Destroy(void* pvTable)
{
    delete static_cast<TDynTab*>(pvTable);
}

void TDynTab::DestroyTDynObjRecord(void* pvRecord)
{
    _TDynObjRecord* pRecord = static_cast<_TDynObjRecord*>(pvRecord);
    std::free(pRecord->m_pszName);
    delete pRecord;
}
