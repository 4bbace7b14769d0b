#include "TDynBase.h"

#include "TAppList.h"
#include "TArray.h"
#include "TDynTab.h"

#include <cstring>
#include <memory>

namespace {

// The class registry of one process.
class TDynRegistryData : public TAppData {
public:
    TDynRegistryData() : m_coTables(16, TDynTab::Destroy, TDynTab::Compare) {}

    TArray m_coTables;
};

struct TDestroyHandlerRecord {
    TDynBase* m_pcoWatcher;
    TDynBase::DestructionHandler m_pfnHandler;
};

// The char* a function called by name gets for the caller's started
// arguments (see TDynArgs). A va_list parameter is the caller's list
// itself on Windows (a pointer into the argument area) and, where va_list
// is an array of one structure, a pointer to the caller's list: either way
// the cast gives what TDynArgs reads.
char* ArgumentPointer(va_list args)
{
    return reinterpret_cast<char*>(args);
}

int IsEmptyName(const char* pszName)
{
    return !pszName || !*pszName;
}

} // namespace

TOnlyInternalUse& TOnlyInternalUse::operator=(const TOnlyInternalUse& coOther)
{
    m_pcoTab = coOther.m_pcoTab;
    return *this;
}

TOnlyInternalUse::~TOnlyInternalUse()
{
    if (m_pcoTab)
        TDynBase::RemoveVTable(m_pcoTab);
}

// Order matters: the clean-up object is constructed before the root class's
// reference object, so it is destroyed after every class of this file.
TAppList* TDynBase::m_stpcoAppList = nullptr;
static TAppCleanUp s_coAppCleanUp;
TDynTab const* TDynBase::m_stpcoDynTab = nullptr;
TOnlyInternalUse TDynBase::m_stcoDynOwner;
TDynBase* TDynBase::m_stpcoDynReference = new TDynBase(static_cast<TOnlyInternalUse const*>(nullptr));

TAppCleanUp::~TAppCleanUp()
{
    TAppList*& pcoList = TDynBase::m_stpcoAppList;
    if (!pcoList)
        return;
    pcoList->AppEnd();
    if (pcoList->Count() == 0) {
        delete pcoList;
        pcoList = nullptr;
    }
}

TDynBase::TDynBase(TOnlyInternalUse const*)
{
    if (!m_stpcoDynTab)
        m_stpcoDynTab = InitNewVTable("TDynBase", nullptr, &m_stcoDynOwner, "kwtl");
}

TDynBase::~TDynBase()
{
    InternalDt();
}

TDynTab const* TDynBase::InitNewVTable(const char* pszClassName, TDynTab const** ppcoBaseSlot,
                                       TOnlyInternalUse* pcoOwner, const char* pszModuleTag)
{
    m_nReferenceObject = 1;
    TDynTab* pcoTab = new TDynTab(pszClassName, ppcoBaseSlot, this, pszModuleTag);
    AddVTable(pcoTab);
    if (pcoOwner)
        pcoOwner->m_pcoTab = pcoTab;
    return pcoTab;
}

TArray* TDynBase::Registry()
{
    if (!m_stpcoAppList)
        return nullptr;
    TDynRegistryData* pcoData = static_cast<TDynRegistryData*>(m_stpcoAppList->Get());
    return pcoData ? &pcoData->m_coTables : nullptr;
}

void TDynBase::AddVTable(TDynTab const* pcoTab)
{
    if (!pcoTab || !pcoTab->GetClass())
        return;
    if (!m_stpcoAppList)
        m_stpcoAppList = new TAppList;
    TArray* pcoTables = Registry();
    if (!pcoTables) {
        TDynRegistryData* pcoData = new TDynRegistryData;
        if (!m_stpcoAppList->AppStart(pcoData)) {
            delete pcoData;
            return;
        }
        pcoTables = &pcoData->m_coTables;
    }
    pcoTables->Insert(const_cast<TDynTab*>(pcoTab), nullptr);
}

void TDynBase::RemoveVTable(TDynTab const* pcoTab)
{
    TArray* pcoTables = Registry();
    if (!pcoTables)
        return;
    const long i = pcoTables->GetIndex(pcoTab);
    if (i >= 0)
        pcoTables->Delete(i);
}

TDynTab const* TDynBase::GetVTable(const char* pszClassName)
{
    if (IsEmptyName(pszClassName))
        return nullptr;
    const TArray* pcoTables = Registry();
    if (!pcoTables)
        return nullptr;
    TDynTab coKey(pszClassName);
    void* pvFound = nullptr;
    pcoTables->Find(&coKey, &pvFound);
    return static_cast<TDynTab const*>(pvFound);
}

const TDynBase* TDynBase::GetRuntimeObject(const char* pszClassName)
{
    TDynTab const* pcoTab = GetVTable(pszClassName);
    return pcoTab ? pcoTab->RuntimeObject() : nullptr;
}

TDynBase* TDynBase::RTTIDynCreate(const char* pszClassName)
{
    const TDynBase* pcoReference = GetRuntimeObject(pszClassName);
    return pcoReference ? pcoReference->DynCreate(TOnlyInternalUse()) : nullptr;
}

short TDynBase::VTableCount()
{
    const TArray* pcoTables = Registry();
    return pcoTables ? static_cast<short>(pcoTables->Count()) : 0;
}

TDynTab const* TDynBase::VTableFromIndex(short i)
{
    const TArray* pcoTables = Registry();
    return pcoTables ? static_cast<TDynTab const*>(pcoTables->Get(i)) : nullptr;
}

const char* TDynBase::GetClassName() const
{
    TDynTab const* pcoTab = *DynVTable();
    return pcoTab ? pcoTab->GetClass() : nullptr;
}

const char* TDynBase::GetModuleName() const
{
    TDynTab const* pcoTab = *DynVTable();
    return pcoTab ? pcoTab->GetModule() : nullptr;
}

const char* TDynBase::GetBaseClassName() const
{
    TDynTab const* pcoTab = *DynVTable();
    TDynTab const* pcoBase = pcoTab ? pcoTab->BaseVTable() : nullptr;
    return pcoBase ? pcoBase->GetClass() : nullptr;
}

const char* TDynBase::GetBaseClassName(const char* pszClassName)
{
    TDynTab const* pcoTab = GetVTable(pszClassName);
    TDynTab const* pcoBase = pcoTab ? pcoTab->BaseVTable() : nullptr;
    return pcoBase ? pcoBase->GetClass() : nullptr;
}

int TDynBase::IsClass(const char* pszName) const
{
    const char* pszOwn = GetClassName();
    if (IsEmptyName(pszName) || !pszOwn)
        return 0;
    return std::strcmp(pszName, pszOwn) == 0;
}

namespace {

int InFamily(TDynTab const* pcoTab, const char* pszName)
{
    for (; pcoTab; pcoTab = pcoTab->BaseVTable()) {
        if (pcoTab->GetClass() && std::strcmp(pszName, pcoTab->GetClass()) == 0)
            return 1;
    }
    return 0;
}

} // namespace

int TDynBase::IsClassFamily(const char* pszName) const
{
    return IsEmptyName(pszName) ? 0 : InFamily(*DynVTable(), pszName);
}

int TDynBase::IsClassFamily(const char* pszClassName, const char* pszFamilyName)
{
    if (IsEmptyName(pszClassName) || IsEmptyName(pszFamilyName))
        return 0;
    return InFamily(GetVTable(pszClassName), pszFamilyName);
}

namespace {

long FindHandler(const TArray* pcoList, TDynBase* pcoWatcher, TDynBase::DestructionHandler pfnHandler)
{
    if (!pcoList)
        return -1;
    for (long i = 0; i < pcoList->Count(); ++i) {
        const TDestroyHandlerRecord* pRecord = static_cast<const TDestroyHandlerRecord*>(pcoList->Get(i));
        if (pRecord->m_pcoWatcher == pcoWatcher && pRecord->m_pfnHandler == pfnHandler)
            return i;
    }
    return -1;
}

} // namespace

int TDynBase::AddDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler)
{
    if (!pcoWatcher || !pfnHandler)
        return 0;
    if (!m_pcoDestroyHandlers)
        m_pcoDestroyHandlers = new TArray(4, DestroyTDynBaseDestroyHandler, nullptr);
    else if (FindHandler(m_pcoDestroyHandlers, pcoWatcher, pfnHandler) >= 0)
        return 0;
    TDestroyHandlerRecord* pRecord = new TDestroyHandlerRecord { pcoWatcher, pfnHandler };
    if (m_pcoDestroyHandlers->Add(pRecord))
        return 1;
    delete pRecord;
    return 0;
}

int TDynBase::RemoveDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler)
{
    if (!pcoWatcher || !pfnHandler || !m_pcoDestroyHandlers)
        return 0;
    const long i = FindHandler(m_pcoDestroyHandlers, pcoWatcher, pfnHandler);
    if (i < 0)
        return 0;
    m_pcoDestroyHandlers->Delete(i);
    // While the handlers of a dying object run, its list stays until the
    // walk is over.
    if (m_pcoDestroyHandlers->Count() == 0 && !m_nDying) {
        delete m_pcoDestroyHandlers;
        m_pcoDestroyHandlers = nullptr;
    }
    return 1;
}

int TDynBase::HasDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler) const
{
    if (!pcoWatcher || !pfnHandler)
        return 0;
    return FindHandler(m_pcoDestroyHandlers, pcoWatcher, pfnHandler) >= 0;
}

void TDynBase::DestroyTDynBaseDestroyHandler(void* pvRecord)
{
    delete static_cast<TDestroyHandlerRecord*>(pvRecord);
}

void TDynBase::InternalDt()
{
    if (!m_pcoDestroyHandlers)
        return;
    if (!m_nReferenceObject) {
        m_nDying = 1;
        // Each record leaves the list before its handler runs, so a handler
        // that takes itself (or others) off the list never makes the walk
        // skip one; handlers added meanwhile run too.
        while (m_pcoDestroyHandlers->Count() > 0) {
            const std::unique_ptr<TDestroyHandlerRecord> pRecord(
                static_cast<TDestroyHandlerRecord*>(m_pcoDestroyHandlers->Remove(0L)));
            (pRecord->m_pcoWatcher->*pRecord->m_pfnHandler)(this);
        }
    }
    delete m_pcoDestroyHandlers;
    m_pcoDestroyHandlers = nullptr;
}

TDynRet TDynBase::Call(const char* pszFunctionName, ...)
{
    TDynTab const* pcoTab = *DynVTable();
    if (!pcoTab || IsEmptyName(pszFunctionName))
        return TDynRet();
    const _TDynObjRecord* pRecord = pcoTab->FindFunc(pszFunctionName);
    if (!pRecord || !pRecord->m_pfnFunction)
        return TDynRet();
    va_list args;
    va_start(args, pszFunctionName);
    TDynRet coResult = (this->*pRecord->m_pfnFunction)(ArgumentPointer(args));
    va_end(args);
    return coResult;
}

TDynRet TDynBase::Call(DynFunc pfnFunction, ...)
{
    if (!pfnFunction)
        return TDynRet();
    va_list args;
    va_start(args, pfnFunction);
    TDynRet coResult = (this->*pfnFunction)(ArgumentPointer(args));
    va_end(args);
    return coResult;
}

void TDynBase::InsertDynFunc(TDynTab const** ppcoSlot, const char* pszName, DynFunc pfnFunction)
{
    if (ppcoSlot && *ppcoSlot)
        const_cast<TDynTab*>(*ppcoSlot)->Insert(pszName, pfnFunction);
}
