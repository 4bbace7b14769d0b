#include "TMvc.h"

#include "TOpSystem.h"

#include <atomic>
#include <cstring>
#include <new>

TArray* TMvc::m_stpcoArrEvTables = nullptr;

namespace {

// TMvc::ChangeCount. Objects of other threads (a console process, a copy
// worker's files) change their events too: the count is shared by all.
std::atomic<unsigned long long> s_ullChanges { 1 };

const char s_szCaption[] = "TMvc Runtime Error";

int IsEmptyName(const char* pszName)
{
    return !pszName || !*pszName;
}

const char* Safe(const char* pszText)
{
    return pszText ? pszText : "";
}

// The code address of a handler, for messages: the first word of the
// member-function pointer.
const void* HandlerAddress(TMvcHandler pfnHandler)
{
    static_assert(sizeof(pfnHandler) >= sizeof(void*), "a member-function pointer holds at least an address");
    const void* pvAddress = nullptr;
    std::memcpy(&pvAddress, &pfnHandler, sizeof pvAddress);
    return pvAddress;
}

const char* ClassOf(const TDynBase* pcoObject)
{
    return pcoObject ? Safe(pcoObject->GetClassName()) : "";
}

} // namespace

// TDynBase's part of the events

TMvc& TDynBase::MVC() const
{
    // Made once and never destroyed, so that objects may ask for it at any
    // time, even while the library's statics are being destroyed. Whatever
    // a caller did to it, it is handed out without owner, class, base or table, so
    // that no event type is declared for it and it takes no events.
    alignas(TMvc) static unsigned char s_abDummy[sizeof(TMvc)];
    static TMvc* const s_pcoDummy = new (s_abDummy) TMvc;
    s_pcoDummy->m_pcoOwner = nullptr;
    s_pcoDummy->m_pcoBase = nullptr;
    s_pcoDummy->m_pcoEventTable = nullptr;
    if (!s_pcoDummy->m_coOwnerClass.IsEmpty())
        s_pcoDummy->m_coOwnerClass.Empty();
    return *s_pcoDummy;
}

void TDynBase::CopyMVC(const TDynBase& coSource, int nSoftOnly)
{
    MVC().CopyEvents(coSource.MVC(), nSoftOnly, 0, 1, 1);
}

// Construction

TMvc::TMvc(TDynBase& coOwner, TMvc& coBase, TMvcEventTable& coTable, const char* pszOwnerClass)
{
    Init(coOwner, coBase, coTable, pszOwnerClass);
}

TMvc::~TMvc()
{
    if (m_coEvents.Count())
        NoteChange();
    delete m_pcoConstTypes;
}

void TMvc::Init(TDynBase& coOwner, TMvc& coBase, TMvcEventTable& coTable, const char* pszOwnerClass)
{
    // A TMvc chained anew answers differently (most are new and answer
    // nothing yet).
    if (m_coEvents.Count() || m_pcoBase)
        NoteChange();
    m_pcoOwner = &coOwner;
    m_pcoEventTable = &coTable;
    m_coOwnerClass = pszOwnerClass;
    // A TMvc can never be its own base: the chain walks would not end.
    m_pcoBase = coBase.m_pcoOwner && &coBase != this ? &coBase : nullptr;
    if (m_pcoBase && m_pcoBase->m_pcoEventTable != &coTable)
        coTable.m_pcoBaseTable = m_pcoBase->m_pcoEventTable;
}

// Lookups

// A bisection on the type names themselves, not through a key event: the
// windows ask for their links on every message, and an unbound event must
// cost no allocation.
TMvcEvent* TMvc::FindOwnEvent(const char* pszEventType) const
{
    void* const* ppvEvents = m_coEvents.GetObjArray();
    long lLo = 0;
    long lHi = m_coEvents.Count() - 1;
    while (lLo <= lHi) {
        const long lMid = lLo + (lHi - lLo) / 2;
        TMvcEvent* pcoEvent = static_cast<TMvcEvent*>(ppvEvents[lMid]);
        const int nCmp = TArrayCmpiString(pszEventType, static_cast<const char*>(pcoEvent->m_coType));
        if (nCmp == 0)
            return pcoEvent;
        if (nCmp > 0)
            lLo = lMid + 1;
        else
            lHi = lMid - 1;
    }
    return nullptr;
}

TMvcEvent* TMvc::GetEventManager(const char* pszEventType, TMvc** ppcoWhere) const
{
    if (IsEmptyName(pszEventType))
        return nullptr;
    for (const TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        TMvcEvent* pcoEvent = pcoMvc->FindOwnEvent(pszEventType);
        if (pcoEvent) {
            if (ppcoWhere)
                *ppcoWhere = const_cast<TMvc*>(pcoMvc);
            return pcoEvent;
        }
    }
    return nullptr;
}

TMvcEventDef* TMvc::GetEventDefinition(const char* pszEventType, TMvc** ppcoWhere) const
{
    if (IsEmptyName(pszEventType))
        return nullptr;
    for (const TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        TMvcEventDef* pcoDef = pcoMvc->m_pcoEventTable ? pcoMvc->m_pcoEventTable->FindEventTypePtr(pszEventType) : nullptr;
        if (pcoDef) {
            if (ppcoWhere)
                *ppcoWhere = const_cast<TMvc*>(pcoMvc);
            return pcoDef;
        }
    }
    return nullptr;
}

TMvcEvent* TMvc::GetOrMakeEvent(const char* pszEventType)
{
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    if (pcoEvent)
        return pcoEvent;
    pcoEvent = new (std::nothrow) TMvcEvent(pszEventType);
    if (pcoEvent && !InsertEvent(pcoEvent)) {
        delete pcoEvent;
        return nullptr;
    }
    return pcoEvent;
}

int TMvc::InsertEvent(TMvcEvent* pcoEvent)
{
    if (!pcoEvent || !m_coEvents.Insert(pcoEvent, nullptr))
        return 0;
    pcoEvent->m_pcoHolder = this;
    // The cache of constant names comes with the first event: an object
    // without events never asks it, and asking it never allocates.
    if (!m_pcoConstTypes)
        m_pcoConstTypes = new (std::nothrow) TConstTypes;
    NoteChange();
    return 1;
}

void TMvc::DeleteEvent(TMvcEvent* pcoEvent)
{
    m_coEvents.Delete(pcoEvent, nullptr);
    NoteChange();
}

void TMvc::DeleteUnusedEvents()
{
    for (long i = 0; i < m_coEvents.Count();) {
        if (static_cast<const TMvcEvent*>(m_coEvents.Get(i))->IsUnused()) {
            m_coEvents.Delete(i);
            NoteChange();
        } else {
            ++i;
        }
    }
}

unsigned long long TMvc::ChangeCount()
{
    return s_ullChanges.load(std::memory_order_relaxed);
}

void TMvc::NoteChange()
{
    s_ullChanges.fetch_add(1, std::memory_order_relaxed);
}

TMvcEvent* TMvc::FindConstType(const char* pszConstType) const
{
    // A TMvc without events of its own answers as its base does.
    const TMvc* pcoMvc = this;
    while (pcoMvc && !pcoMvc->m_coEvents.Count())
        pcoMvc = pcoMvc->m_pcoBase;
    if (!pcoMvc || IsEmptyName(pszConstType))
        return nullptr;
    TConstTypes* pcoFound = pcoMvc->m_pcoConstTypes;
    if (!pcoFound)
        return pcoMvc->GetEventManager(pszConstType, nullptr);
    const unsigned long long ullCount = ChangeCount();
    if (pcoFound->ullCount != ullCount) {
        *pcoFound = TConstTypes();
        pcoFound->ullCount = ullCount;
    }
    for (int i = 0; i < TConstTypes::Size; ++i) {
        if (pcoFound->apszType[i] == pszConstType)
            return pcoFound->apcoEvent[i];
    }
    TMvcEvent* pcoEvent = pcoMvc->GetEventManager(pszConstType, nullptr);
    const int nSlot = pcoFound->nNext;
    pcoFound->nNext = (nSlot + 1) % TConstTypes::Size;
    pcoFound->apszType[nSlot] = pszConstType;
    pcoFound->apcoEvent[nSlot] = pcoEvent;
    return pcoEvent;
}

TMvcEvent* TMvcEventRef::Find(const TMvc& coMvc, const char* pszType)
{
    const unsigned long long ullCount = TMvc::ChangeCount();
    if (m_pcoMvc != &coMvc || m_ullCount != ullCount) {
        m_pcoEvent = coMvc.GetEventManager(pszType, nullptr);
        m_pcoMvc = &coMvc;
        m_ullCount = ullCount;
    }
    return m_pcoEvent;
}

void TMvc::ReportUndeclared(const TString& coText) const
{
    CurrentOS().Message(coText, s_szCaption);
}

// Links

int TMvc::SetLink(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler)
{
    if (IsEmptyName(pszEventType) || !pcoView || !pfnHandler)
        return 0;
    if (!GetEventDefinition(pszEventType, nullptr) && !GetEventManager(pszEventType, nullptr)) {
        TString coText;
        coText.SetText("%s::TMvc::SetLink(%s, [class %s*] %p, %p)\n\n Unregistered Event-Type: <%s> in class <%s>!",
                       OwnerClass(), pszEventType, ClassOf(pcoView), static_cast<const void*>(pcoView),
                       HandlerAddress(pfnHandler), pszEventType, OwnerClass());
        ReportUndeclared(coText);
        return 0;
    }
    TMvcEvent* pcoEvent = GetOrMakeEvent(pszEventType);
    return pcoEvent ? pcoEvent->SetLink(pcoView, pfnHandler) : 0;
}

void TMvc::RemoveLink(const char* pszEventType)
{
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    if (pcoEvent)
        pcoEvent->RemoveLink();
}

void TMvc::RemoveAllLinks()
{
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            pcoMvc->GetEvent(i)->RemoveLink();
        pcoMvc->DeleteUnusedEvents();
    }
}

int TMvc::HasLink(const char* pszEventType) const
{
    const TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    return pcoEvent && pcoEvent->GetLink();
}

// Soft links

int TMvc::SetSoftLink(const char* pszEventType, const char* pszViewObjId, const char* pszHandlerName)
{
    if (IsEmptyName(pszEventType) || IsEmptyName(pszViewObjId) || IsEmptyName(pszHandlerName))
        return 0;
    if (!GetEventDefinition(pszEventType, nullptr) && !GetEventManager(pszEventType, nullptr)) {
        TString coText;
        coText.SetText("%s::TMvc::SetSoftLink(%s, %s, %s)\n\nUnregistered Event-Type: <%s> in class <%s>!",
                       OwnerClass(), pszEventType, pszViewObjId, pszHandlerName, pszEventType, OwnerClass());
        ReportUndeclared(coText);
        return 0;
    }
    TMvcEvent* pcoEvent = GetOrMakeEvent(pszEventType);
    return pcoEvent ? pcoEvent->SetSoftLink(pszViewObjId, pszHandlerName) : 0;
}

void TMvc::RemoveSoftLink(const char* pszEventType)
{
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    if (pcoEvent)
        pcoEvent->RemoveSoftLink();
}

void TMvc::RemoveAllSoftLinks()
{
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            pcoMvc->GetEvent(i)->RemoveSoftLink();
        pcoMvc->DeleteUnusedEvents();
    }
}

short TMvc::GetSoftLinkCount() const
{
    short nCount = 0;
    for (const TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i) {
            const TMvcLink* pcoLink = pcoMvc->GetEvent(i)->GetLink();
            if (pcoLink && pcoLink->IsSoft())
                ++nCount;
        }
    }
    return nCount;
}

TString TMvc::SoftLinkFromPosition(short n, TString& coViewObjId, TString& coHandlerName) const
{
    coViewObjId.Empty();
    coHandlerName.Empty();
    if (n < 0)
        return TString("");
    for (const TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i) {
            const TMvcEvent* pcoEvent = pcoMvc->GetEvent(i);
            const TMvcLink* pcoLink = pcoEvent->GetLink();
            if (!pcoLink || !pcoLink->IsSoft() || n-- > 0)
                continue;
            coViewObjId = pcoLink->GetViewObjId();
            coHandlerName = pcoLink->GetHandlerName();
            return pcoEvent->GetId();
        }
    }
    return TString("");
}

int TMvc::SoftLinkFromType(const char* pszEventType, TString& coViewObjId, TString& coHandlerName) const
{
    coViewObjId.Empty();
    coHandlerName.Empty();
    const TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    const TMvcLink* pcoLink = pcoEvent ? pcoEvent->GetLink() : nullptr;
    if (!pcoLink || !pcoLink->IsSoft())
        return 0;
    coViewObjId = pcoLink->GetViewObjId();
    coHandlerName = pcoLink->GetHandlerName();
    return 1;
}

// Notifications

int TMvc::AddNotification(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler)
{
    if (IsEmptyName(pszEventType) || !pcoView || !pfnHandler)
        return 0;
    if (!GetEventDefinition(pszEventType, nullptr) && !GetEventManager(pszEventType, nullptr)) {
        TString coText;
        coText.SetText("%s::TMvc::AddNotification(%s, [class %s*] %p*,%p)\n\n Unregistered Event-Type: <%s> in class <%s>!",
                       OwnerClass(), pszEventType, ClassOf(pcoView), static_cast<const void*>(pcoView),
                       HandlerAddress(pfnHandler), pszEventType, OwnerClass());
        ReportUndeclared(coText);
        return 0;
    }
    TMvcEvent* pcoEvent = GetOrMakeEvent(pszEventType);
    return pcoEvent ? pcoEvent->AddNotification(pcoView, pfnHandler) : 0;
}

int TMvc::RemoveNotification(const char* pszEventType, TDynBase* pcoView, TMvcHandler pfnHandler)
{
    if (!pcoView || !pfnHandler)
        return 0;
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    return pcoEvent ? pcoEvent->RemoveNotification(pcoView, pfnHandler) : 0;
}

int TMvc::HasNotification(const char* pszEventType) const
{
    const TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    return pcoEvent && pcoEvent->GetNotificationCount() > 0;
}

short TMvc::RemoveObjectNotifications(TDynBase* pcoView)
{
    if (!pcoView)
        return 0;
    short nRemoved = 0;
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            nRemoved = static_cast<short>(nRemoved + pcoMvc->GetEvent(i)->RemoveObjectNotifications(pcoView));
    }
    return nRemoved;
}

short TMvc::RemoveEventNotifications(const char* pszEventType)
{
    TMvc* pcoWhere = nullptr;
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, &pcoWhere);
    if (!pcoEvent)
        return 0;
    const short nRemoved = pcoEvent->RemoveAllNotifications();
    if (pcoEvent->IsUnused())
        pcoWhere->DeleteEvent(pcoEvent);
    return nRemoved;
}

short TMvc::RemoveAllNotifications()
{
    short nRemoved = 0;
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            nRemoved = static_cast<short>(nRemoved + pcoMvc->GetEvent(i)->RemoveAllNotifications());
        pcoMvc->DeleteUnusedEvents();
    }
    return nRemoved;
}

// Calling

int TMvc::CallPart(TCallPart nPart, const char* pszFunction, const char* pszEventType, TMvcParam& coParam)
{
    if (IsEmptyName(pszEventType))
        return 0;
    TMvcEvent* pcoEvent = GetEventManager(pszEventType, nullptr);
    if (!pcoEvent) {
        if (GetEventDefinition(pszEventType, nullptr))
            return 0;   // declared, nobody linked
        TString coText;
        coText.SetText("%s::TMvc::%s(%s, %s&)\n\nUnregistered Event-Type: <%s> in class <%s>!",
                       OwnerClass(), pszFunction, pszEventType, ClassOf(&coParam), pszEventType, OwnerClass());
        ReportUndeclared(coText);
        return 0;
    }
    return CallFound(nPart, *pcoEvent, coParam);
}

int TMvc::CallFound(TCallPart nPart, TMvcEvent& coEvent, TMvcParam& coParam)
{
    // A handler may call further events with the same parameter object, or
    // delete the owner: after the call only the parameter is touched, and it
    // gets back what it had before.
    TMvcEventTable const* pcoOuterTable = coParam.m_pcoEventTable;
    TMvcEvent const* pcoOuterEvent = coParam.m_pcoEvent;
    coParam.m_pcoEventTable = coEvent.m_pcoHolder ? coEvent.m_pcoHolder->m_pcoEventTable : nullptr;
    coParam.m_pcoEvent = &coEvent;
    int nResult = 0;
    switch (nPart) {
    case TCallPart::All:
        nResult = coEvent.Call(coParam);
        break;
    case TCallPart::Notifications:
        coEvent.CallNotifications(coParam);
        break;
    case TCallPart::Link:
        nResult = coEvent.CallLink(coParam);
        break;
    }
    coParam.m_pcoEventTable = pcoOuterTable;
    coParam.m_pcoEvent = pcoOuterEvent;
    return nResult;
}

int TMvc::CallEvent(TMvcEvent& coEvent, TMvcParam& coParam)
{
    return CallFound(TCallPart::All, coEvent, coParam);
}

void TMvc::CallEventNotifications(TMvcEvent& coEvent, TMvcParam& coParam)
{
    CallFound(TCallPart::Notifications, coEvent, coParam);
}

int TMvc::CallEventLink(TMvcEvent& coEvent, TMvcParam& coParam)
{
    return CallFound(TCallPart::Link, coEvent, coParam);
}

int TMvc::CallConstType(const char* pszConstType, TMvcParam& coParam)
{
    TMvcEvent* pcoEvent = FindConstType(pszConstType);
    return pcoEvent ? CallEvent(*pcoEvent, coParam) : 0;
}

int TMvc::Call(const char* pszEventType, TMvcParam& coParam)
{
    return CallPart(TCallPart::All, "Call", pszEventType, coParam);
}

void TMvc::CallNotifications(const char* pszEventType, TMvcParam& coParam)
{
    CallPart(TCallPart::Notifications, "CallNotifications", pszEventType, coParam);
}

int TMvc::CallLink(const char* pszEventType, TMvcParam& coParam)
{
    return CallPart(TCallPart::Link, "CallLink", pszEventType, coParam);
}

// Copying and re-targeting

void TMvc::CopyEvents(const TMvc& coSource, int nSoftOnly, int nReportUndeclared, int nReplaceLinks, int nClearFirst)
{
    // Copying onto itself changes nothing; clearing first would lose it all.
    if (&coSource == this)
        return;
    if (nClearFirst && m_coEvents.Count()) {
        m_coEvents.Delete();
        NoteChange();
    }
    for (const TMvc* pcoMvc = &coSource; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        // Counts are read again: the source chain may hold this TMvc.
        for (long i = 0; i < pcoMvc->m_coEvents.Count(); ++i) {
            const TMvcEvent* pcoEvent = static_cast<const TMvcEvent*>(pcoMvc->m_coEvents.Get(i));
            CopyEvent(coSource, *pcoEvent, nSoftOnly, nReportUndeclared, nReplaceLinks);
        }
    }
}

void TMvc::CopyEvent(const TMvc& coSource, const TMvcEvent& coEvent, int nSoftOnly, int nReportUndeclared,
                     int nReplaceLinks)
{
    const char* pszType = coEvent.GetId();
    if (IsEmptyName(pszType))
        return;
    if (!GetEventDefinition(pszType, nullptr)) {
        if (!nReportUndeclared)
            return;
        TString coText;
        coText.SetText("Error in %s::TMvc::CopyEvents(const %s::TMvc&):\n\n"
                       "Tried to install a TMvcEvent object with the unregistered event-type:\n\n<%s> in class <%s>!",
                       OwnerClass(), coSource.OwnerClass(), pszType, OwnerClass());
        ReportUndeclared(coText);
        return;
    }
    const TMvcLink* pcoSourceLink = coEvent.GetLink();
    TMvcEvent* pcoTarget = GetEventManager(pszType, nullptr);
    if (!pcoTarget) {
        if (!nSoftOnly) {
            TMvcEvent* pcoCopy = TMvcEvent::NewCopy(coEvent);
            if (!InsertEvent(pcoCopy))
                delete pcoCopy;
            return;
        }
        pcoTarget = new (std::nothrow) TMvcEvent(pszType);
        if (!InsertEvent(pcoTarget)) {
            delete pcoTarget;
            return;
        }
        if (pcoSourceLink && pcoSourceLink->IsSoft())
            pcoTarget->SetSoftLink(pcoSourceLink->GetViewObjId(), pcoSourceLink->GetHandlerName());
        return;
    }
    if (pcoSourceLink && (nReplaceLinks || !pcoTarget->GetLink())) {
        if (!nSoftOnly)
            pcoTarget->ReplaceLink(*pcoSourceLink);
        else if (pcoSourceLink->IsSoft())
            pcoTarget->SetSoftLink(pcoSourceLink->GetViewObjId(), pcoSourceLink->GetHandlerName());
    }
    if (nSoftOnly)
        return;
    for (short i = 0; i < coEvent.GetNotificationCount(); ++i) {
        const TMvcLink* pcoNotification = coEvent.GetNotification(i);
        if (pcoNotification->IsDirect())
            pcoTarget->AddNotification(pcoNotification->GetViewObject(), pcoNotification->GetHandler());
    }
}

void TMvc::ViewObjectChanged(TDynBase* pcoOldView, TDynBase* pcoNewView)
{
    if (!pcoOldView || pcoOldView == pcoNewView)
        return;
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            pcoMvc->GetEvent(i)->ChangeViewObject(pcoOldView, pcoNewView);
    }
}

void TMvc::ViewObjectChanged(const char* pszOldId, const char* pszNewId, const char* pszNewClass)
{
    if (IsEmptyName(pszOldId))
        return;
    for (TMvc* pcoMvc = this; pcoMvc; pcoMvc = pcoMvc->m_pcoBase) {
        for (short i = 0; i < pcoMvc->GetEventCount(); ++i)
            pcoMvc->GetEvent(i)->ChangeViewObjId(pszOldId, pszNewId, pszNewClass);
    }
}

// Registry of the event tables

void TMvc::RegisterEventTable(TMvcEventTable& coTable)
{
    if (!m_stpcoArrEvTables) {
        m_stpcoArrEvTables = new (std::nothrow) TArray(16, nullptr, TMvcEventTable::Compare);
        if (!m_stpcoArrEvTables)
            return;
    }
    if (m_stpcoArrEvTables->Find(&coTable, nullptr) >= 0)
        return;
    m_stpcoArrEvTables->Insert(&coTable, nullptr);
    NoteChange();
}

void TMvc::UnregisterEventTable(TMvcEventTable& coTable)
{
    if (!m_stpcoArrEvTables)
        return;
    const long lIndex = m_stpcoArrEvTables->GetIndex(&coTable);
    if (lIndex < 0)
        return;
    m_stpcoArrEvTables->Remove(lIndex);
    NoteChange();
    // Tables of derived classes may outlive it within one library.
    for (long i = 0; i < m_stpcoArrEvTables->Count(); ++i) {
        TMvcEventTable* pcoOther = static_cast<TMvcEventTable*>(m_stpcoArrEvTables->Get(i));
        if (pcoOther->m_pcoBaseTable == &coTable)
            pcoOther->m_pcoBaseTable = nullptr;
    }
    if (m_stpcoArrEvTables->Count() == 0) {
        delete m_stpcoArrEvTables;
        m_stpcoArrEvTables = nullptr;
    }
}

short TMvc::GetEventTableCount()
{
    return m_stpcoArrEvTables ? static_cast<short>(m_stpcoArrEvTables->Count()) : 0;
}

TMvcEventTable* TMvc::GetEventTable(short i)
{
    return m_stpcoArrEvTables ? static_cast<TMvcEventTable*>(m_stpcoArrEvTables->Get(i)) : nullptr;
}

TMvcEventTable* TMvc::FindEventTable(const char* pszOwnerClass)
{
    if (IsEmptyName(pszOwnerClass) || !m_stpcoArrEvTables)
        return nullptr;
    const TMvcEventTable coKey(pszOwnerClass);
    void* pvFound = nullptr;
    m_stpcoArrEvTables->Find(&coKey, &pvFound);
    return static_cast<TMvcEventTable*>(pvFound);
}

TString TMvc::GetClassFromEvent(const char* pszEventType)
{
    if (IsEmptyName(pszEventType))
        return TString("");
    for (short i = 0; i < GetEventTableCount(); ++i) {
        const TMvcEventTable* pcoTable = GetEventTable(i);
        if (pcoTable->HasEventType(pszEventType))
            return pcoTable->GetOwnerClass();
    }
    return TString("");
}
