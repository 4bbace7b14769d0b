#include "TMvc.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

// TMvcLink

TMvcLink::~TMvcLink()
{
    if (m_pcoView)
        m_pcoView->RemoveDestructionHandler(this, WatchHandler());
}

TDynBase::DestructionHandler TMvcLink::WatchHandler()
{
    return static_cast<TDynBase::DestructionHandler>(&TMvcLink::NotifyViewObjectDestroyed);
}

void TMvcLink::Destroy(void* pvLink)
{
    delete static_cast<TMvcLink*>(pvLink);
}

TMvcLink* TMvcLink::NewDirect(TMvcEvent* pcoEvent, TDynBase* pcoView, TMvcHandler pfnHandler)
{
    TMvcLink* pcoLink = new (std::nothrow) TMvcLink(pcoEvent);
    if (pcoLink && !pcoLink->SetDirect(pcoView, pfnHandler)) {
        delete pcoLink;
        return nullptr;
    }
    return pcoLink;
}

TMvcLink* TMvcLink::NewSoft(TMvcEvent* pcoEvent, const char* pszViewObjId, const char* pszHandlerName)
{
    TMvcLink* pcoLink = new (std::nothrow) TMvcLink(pcoEvent);
    if (pcoLink)
        pcoLink->SetSoft(pszViewObjId, pszHandlerName);
    return pcoLink;
}

TMvcLink* TMvcLink::NewCopy(TMvcEvent* pcoEvent, const TMvcLink& coSource)
{
    TMvcLink* pcoLink = new (std::nothrow) TMvcLink(pcoEvent);
    if (!pcoLink)
        return nullptr;
    pcoLink->SetSoft(coSource.m_coViewObjId, coSource.m_coHandlerName);
    if (coSource.IsDirect() && !pcoLink->SetDirect(coSource.m_pcoView, coSource.m_pfnHandler)) {
        delete pcoLink;
        return nullptr;
    }
    return pcoLink;
}

int TMvcLink::Call(TMvcParam& coParam) const
{
    // The handler may delete this link or its view: nothing of this object
    // is touched after the call.
    return IsDirect() ? (m_pcoView->*m_pfnHandler)(coParam) : 0;
}

int TMvcLink::SetDirect(TDynBase* pcoView, TMvcHandler pfnHandler)
{
    if (!pcoView || !pfnHandler)
        return 0;
    if (pcoView != m_pcoView) {
        // Without the watch the link would outlive its view unnoticed.
        if (!pcoView->AddDestructionHandler(this, WatchHandler()))
            return 0;
        if (m_pcoView)
            m_pcoView->RemoveDestructionHandler(this, WatchHandler());
        m_pcoView = pcoView;
    }
    m_pfnHandler = pfnHandler;
    return 1;
}

void TMvcLink::SetSoft(const char* pszViewObjId, const char* pszHandlerName)
{
    m_coViewObjId = pszViewObjId;
    m_coHandlerName = pszHandlerName;
}

void TMvcLink::NotifyViewObjectDestroyed(TDynBase* pcoDying)
{
    if (pcoDying != m_pcoView)
        return;
    // The dying object is walking its handler list: the link forgets the
    // view without unregistering, and the list goes with the object.
    m_pcoView = nullptr;
    m_pfnHandler = nullptr;
    m_pcoEvent->RemoveTMvcLink(this);
}

void TMvcLink::RemoveLink()
{
    if (m_pcoView)
        m_pcoView->RemoveDestructionHandler(this, WatchHandler());
    m_pcoView = nullptr;
    m_pfnHandler = nullptr;
}

void TMvcLink::RemoveSoftLink()
{
    m_coViewObjId.Empty();
    m_coHandlerName.Empty();
}

// TMvcEvent

TMvcEvent::TMvcEvent(const TMvcEvent& coSource)
    : m_coType(coSource.m_coType)
{
    if (coSource.m_pcoLink) {
        m_pcoLink = TMvcLink::NewCopy(this, *coSource.m_pcoLink);
        if (!m_pcoLink)
            m_nComplete = 0;
    }
    for (long i = 0; i < coSource.m_coNotifications.Count(); ++i) {
        const TMvcLink* pcoSource = static_cast<const TMvcLink*>(coSource.m_coNotifications.Get(i));
        TMvcLink* pcoCopy = TMvcLink::NewCopy(this, *pcoSource);
        if (!pcoCopy || !m_coNotifications.Add(pcoCopy)) {
            delete pcoCopy;
            m_nComplete = 0;
        }
    }
}

TMvcEvent* TMvcEvent::NewCopy(const TMvcEvent& coSource)
{
    TMvcEvent* pcoCopy = new (std::nothrow) TMvcEvent(coSource);
    if (pcoCopy && !pcoCopy->IsComplete()) {
        delete pcoCopy;
        return nullptr;
    }
    return pcoCopy;
}

TMvcEvent::~TMvcEvent()
{
    for (TCallFrame* pFrame = m_pCalls; pFrame; pFrame = pFrame->m_pOuter)
        pFrame->m_nAlive = 0;
    DeleteLink();
}

void TMvcEvent::Destroy(void* pvEvent)
{
    delete static_cast<TMvcEvent*>(pvEvent);
}

int TMvcEvent::Compare(const void* pvA, const void* pvB)
{
    const TMvcEvent* pcoA = static_cast<const TMvcEvent*>(pvA);
    const TMvcEvent* pcoB = static_cast<const TMvcEvent*>(pvB);
    return TArrayCmpiString(static_cast<const char*>(pcoA->m_coType), static_cast<const char*>(pcoB->m_coType));
}

TMvcLink* TMvcEvent::GetNotification(TDynBase* pcoView, TMvcHandler pfnHandler) const
{
    for (long i = 0; i < m_coNotifications.Count(); ++i) {
        TMvcLink* pcoLink = static_cast<TMvcLink*>(m_coNotifications.Get(i));
        if (pcoLink->m_pcoView == pcoView && pcoLink->m_pfnHandler == pfnHandler)
            return pcoLink;
    }
    return nullptr;
}

// A frame lives on the stack of RunNotifications and unlinks itself when it
// ends; when the event dies first, the event's destructor marks it instead
// and nothing refers to it any more. The compiler cannot see the second
// case and warns about the first.
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
TMvcEvent::TCallFrame::TCallFrame(TMvcEvent& coEvent)
    : m_pcoEvent(&coEvent), m_pOuter(coEvent.m_pCalls)
{
    coEvent.m_pCalls = this;
}
#if defined(__GNUC__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

int TMvcEvent::RunNotifications(TMvcParam& coParam)
{
    // The count is read again before each step, so notifications added by a
    // handler run in the same call.
    TCallFrame coFrame(*this);
    while (coFrame.m_nAlive && coFrame.m_lNext < m_coNotifications.Count()) {
        const TMvcLink* pcoLink = static_cast<const TMvcLink*>(m_coNotifications.Get(coFrame.m_lNext++));
        if (coFrame.m_coRanAndMoved.GetIndex(pcoLink) < 0)
            pcoLink->Call(coParam);
    }
    return coFrame.m_nAlive;   // 0 when a handler deleted this event
}

int TMvcEvent::Call(TMvcParam& coParam)
{
    return RunNotifications(coParam) ? CallLink(coParam) : 0;
}

int TMvcEvent::CallLink(TMvcParam& coParam)
{
    return m_pcoLink ? m_pcoLink->Call(coParam) : 0;
}

int TMvcEvent::SetLink(TDynBase* pcoView, TMvcHandler pfnHandler)
{
    // The new link is made first, so that a failure leaves the old one.
    TMvcLink* pcoNew = TMvcLink::NewDirect(this, pcoView, pfnHandler);
    if (!pcoNew)
        return 0;
    if (m_pcoLink)
        pcoNew->SetSoft(m_pcoLink->m_coViewObjId, m_pcoLink->m_coHandlerName);
    DeleteLink();
    m_pcoLink = pcoNew;
    return 1;
}

int TMvcEvent::SetSoftLink(const char* pszViewObjId, const char* pszHandlerName)
{
    if (m_pcoLink) {
        m_pcoLink->SetSoft(pszViewObjId, pszHandlerName);
        return 1;
    }
    m_pcoLink = TMvcLink::NewSoft(this, pszViewObjId, pszHandlerName);
    return m_pcoLink != nullptr;
}

int TMvcEvent::ReplaceLink(const TMvcLink& coSource)
{
    // coSource may be this event's own link: it is copied before it goes.
    TMvcLink* pcoNew = TMvcLink::NewCopy(this, coSource);
    if (!pcoNew)
        return 0;
    DeleteLink();
    m_pcoLink = pcoNew;
    return 1;
}

void TMvcEvent::RemoveLink()
{
    if (!m_pcoLink)
        return;
    if (m_pcoLink->IsSoft())
        m_pcoLink->RemoveLink();
    else
        DeleteLink();
}

void TMvcEvent::RemoveSoftLink()
{
    if (!m_pcoLink)
        return;
    if (m_pcoLink->IsDirect())
        m_pcoLink->RemoveSoftLink();
    else
        DeleteLink();
}

void TMvcEvent::DeleteLink()
{
    TMvcLink* pcoLink = m_pcoLink;
    m_pcoLink = nullptr;
    delete pcoLink;
}

int TMvcEvent::AddNotification(TDynBase* pcoView, TMvcHandler pfnHandler)
{
    if (GetNotification(pcoView, pfnHandler))
        return 0;
    TMvcLink* pcoLink = TMvcLink::NewDirect(this, pcoView, pfnHandler);
    if (!pcoLink)
        return 0;
    if (m_coNotifications.Add(pcoLink))
        return 1;
    delete pcoLink;
    return 0;
}

int TMvcEvent::RemoveNotification(TDynBase* pcoView, TMvcHandler pfnHandler)
{
    const long i = m_coNotifications.GetIndex(GetNotification(pcoView, pfnHandler));
    if (i < 0)
        return 0;
    DeleteNotificationAt(i);
    return 1;
}

short TMvcEvent::RemoveObjectNotifications(TDynBase* pcoView)
{
    short nRemoved = 0;
    for (long i = 0; i < m_coNotifications.Count();) {
        if (static_cast<const TMvcLink*>(m_coNotifications.Get(i))->m_pcoView == pcoView) {
            DeleteNotificationAt(i);
            ++nRemoved;
        } else {
            ++i;
        }
    }
    return nRemoved;
}

short TMvcEvent::RemoveAllNotifications()
{
    short nRemoved = 0;
    while (m_coNotifications.Count()) {
        DeleteNotificationAt(m_coNotifications.Count() - 1);
        ++nRemoved;
    }
    return nRemoved;
}

TMvcLink* TMvcEvent::DetachNotificationAt(long i)
{
    TMvcLink* pcoLink = static_cast<TMvcLink*>(m_coNotifications.Remove(i));
    if (!pcoLink)
        return nullptr;
    // A running walk that has passed the removed entry steps back by one,
    // so that the entry after it is neither skipped nor run twice.
    for (TCallFrame* pFrame = m_pCalls; pFrame; pFrame = pFrame->m_pOuter) {
        if (i < pFrame->m_lNext)
            --pFrame->m_lNext;
        pFrame->m_coRanAndMoved.Remove(pcoLink, nullptr);
    }
    return pcoLink;
}

void TMvcEvent::RemoveTMvcLink(TMvcLink* pcoLink)
{
    if (pcoLink == m_pcoLink) {
        if (!pcoLink->IsSoft())
            DeleteLink();
        return;
    }
    const long i = m_coNotifications.GetIndex(pcoLink);
    if (i >= 0)
        DeleteNotificationAt(i);
}

void TMvcEvent::ChangeViewObject(TDynBase* pcoOldView, TDynBase* pcoNewView)
{
    if (m_pcoLink && m_pcoLink->m_pcoView == pcoOldView) {
        // Whatever happens, the link keeps no reference to the old view.
        if (!pcoNewView || !m_pcoLink->SetDirect(pcoNewView, m_pcoLink->m_pfnHandler))
            RemoveLink();
    }
    // Re-targeted notifications move to the end, in their old order; one
    // that the new view already has is dropped, so nothing is told twice.
    // Running walks that had passed one do not run it at its new place.
    struct TMoved {
        TMvcLink* pcoLink;
        std::vector<TCallFrame*> vecPassedBy;
    };
    std::vector<TMoved> vecMoved;
    for (long i = 0; i < m_coNotifications.Count();) {
        if (static_cast<const TMvcLink*>(m_coNotifications.Get(i))->m_pcoView != pcoOldView) {
            ++i;
            continue;
        }
        TMoved coMoved { nullptr, {} };
        for (TCallFrame* pFrame = m_pCalls; pFrame; pFrame = pFrame->m_pOuter) {
            if (i < pFrame->m_lNext)
                coMoved.vecPassedBy.push_back(pFrame);
        }
        TMvcLink* pcoLink = DetachNotificationAt(i);
        const TMvcHandler pfnHandler = pcoLink->m_pfnHandler;
        if (!pcoNewView || GetNotification(pcoNewView, pfnHandler) || !pcoLink->SetDirect(pcoNewView, pfnHandler)) {
            delete pcoLink;
            continue;
        }
        coMoved.pcoLink = pcoLink;
        vecMoved.push_back(std::move(coMoved));
    }
    for (const TMoved& coMoved : vecMoved) {
        if (!m_coNotifications.Add(coMoved.pcoLink)) {
            delete coMoved.pcoLink;
            continue;
        }
        for (TCallFrame* pFrame : coMoved.vecPassedBy)
            pFrame->m_coRanAndMoved.Add(coMoved.pcoLink);
    }
}

void TMvcEvent::ChangeViewObjId(const char* pszOldId, const char* pszNewId, const char* pszNewClass)
{
    if (!m_pcoLink || m_pcoLink->m_coViewObjId.IsEmpty() || m_pcoLink->m_coViewObjId.Stricmp(pszOldId) != 0)
        return;
    if (!pszNewId || !*pszNewId) {
        RemoveSoftLink();
        return;
    }
    // "Class::Function" names a handler of the old view's class; a view of
    // another class gets the same function of its own class.
    TString coName = m_pcoLink->m_coHandlerName;
    const char* pszName = coName;
    const char* pszScope = std::strstr(pszName, "::");
    if (pszScope && pszScope != pszName && pszNewClass && *pszNewClass) {
        const size_t nClassLen = static_cast<size_t>(pszScope - pszName);
        if (std::strlen(pszNewClass) != nClassLen || std::strncmp(pszName, pszNewClass, nClassLen) != 0) {
            TString coNewName(pszNewClass);
            coNewName += "::";
            coNewName += pszScope + 2;
            coName = coNewName;
        }
    }
    m_pcoLink->SetSoft(pszNewId, coName);
}
