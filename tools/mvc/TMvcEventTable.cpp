#include "TMvcEventTable.h"

#include "TMvc.h"

#include <new>

namespace {

int IsEmptyName(const char* pszName)
{
    return !pszName || !*pszName;
}

} // namespace

void TMvcEventDef::Destroy(void* pvDef)
{
    delete static_cast<TMvcEventDef*>(pvDef);
}

int TMvcEventDef::Compare(const void* pvA, const void* pvB)
{
    const TMvcEventDef* pcoA = static_cast<const TMvcEventDef*>(pvA);
    const TMvcEventDef* pcoB = static_cast<const TMvcEventDef*>(pvB);
    return TArrayCmpiString(static_cast<const char*>(pcoA->m_coEventType),
                            static_cast<const char*>(pcoB->m_coEventType));
}

TMvcEventTable::TMvcEventTable(const char* pszOwnerClass)
    : m_coOwnerClass(pszOwnerClass)
{
}

TMvcEventTable::TMvcEventTable(const char* pszOwnerClass, RegisterFunc pfnRegister)
    : m_coOwnerClass(pszOwnerClass)
{
    TMvc::RegisterEventTable(*this);
    if (pfnRegister)
        pfnRegister();
}

TMvcEventTable::~TMvcEventTable()
{
    TMvc::UnregisterEventTable(*this);
}

int TMvcEventTable::RegisterEventType(const char* pszEventType, const char* pszParamType,
                                      const char* pszDescription, const char* pszDefaultCode)
{
    if (IsEmptyName(pszEventType) || IsEmptyName(pszParamType) || FindEventTypePtr(pszEventType))
        return 0;
    TMvcEventDef* pcoDef = new (std::nothrow) TMvcEventDef(pszEventType, pszParamType, pszDescription, pszDefaultCode);
    if (!pcoDef)
        return 0;
    if (m_coDefs.Insert(pcoDef, nullptr))
        return 1;
    delete pcoDef;
    return 0;
}

TMvcEventDef* TMvcEventTable::FindEventTypePtr(const char* pszEventType) const
{
    if (IsEmptyName(pszEventType))
        return nullptr;
    const TMvcEventDef coKey(pszEventType, nullptr, nullptr, nullptr);
    void* pvFound = nullptr;
    m_coDefs.Find(&coKey, &pvFound);
    return static_cast<TMvcEventDef*>(pvFound);
}

TMvcEventDef TMvcEventTable::FindEventType(const char* pszEventType) const
{
    const TMvcEventDef* pcoDef = FindEventTypePtr(pszEventType);
    return pcoDef ? *pcoDef : NoneDef();
}

TMvcEventDef TMvcEventTable::GetEventType(short i) const
{
    const TMvcEventDef* pcoDef = static_cast<const TMvcEventDef*>(m_coDefs.Get(i));
    return pcoDef ? *pcoDef : NoneDef();
}

int TMvcEventTable::ChangeEventDescription(const char* pszEventType, const char* pszText)
{
    TMvcEventDef* pcoDef = FindEventTypePtr(pszEventType);
    if (!pcoDef)
        return 0;
    pcoDef->SetDescription(pszText);
    return 1;
}

int TMvcEventTable::ChangeEventDefaultCode(const char* pszEventType, const char* pszCode)
{
    TMvcEventDef* pcoDef = FindEventTypePtr(pszEventType);
    if (!pcoDef)
        return 0;
    pcoDef->SetDefaultCode(pszCode);
    return 1;
}

int TMvcEventTable::Compare(const void* pvA, const void* pvB)
{
    const TMvcEventTable* pcoA = static_cast<const TMvcEventTable*>(pvA);
    const TMvcEventTable* pcoB = static_cast<const TMvcEventTable*>(pvB);
    return TArrayCmpiString(static_cast<const char*>(pcoA->m_coOwnerClass),
                            static_cast<const char*>(pcoB->m_coOwnerClass));
}
