#include "KwLink.h"

#include "KwEvent.h"
#include "KwRes.h"
#include "TMvc.h"

#include <new>

KwLink* KwLink::Clone() const
{
    return new (std::nothrow) KwLink(*this);
}

int KwLink::Call(KwEvent& coEvent)
{
    TMvcEvent* pcoEvent = m_pcoOwner ? m_coFound.Find(*m_pcoOwner, m_coName) : nullptr;
    if (pcoEvent)
        return TMvc::CallEventLink(*pcoEvent, coEvent);
    // Without an event, the call by name tells a type nobody declared.
    return m_pcoOwner ? m_pcoOwner->CallLink(m_coName, coEvent) : 0;
}

_KwAutoSegStack& KwLink::LinkStack()
{
    static _KwAutoSegStack s_coStack;
    return s_coStack;
}

KwLink& KwLink::EmptyLink()
{
    static KwLink s_coEmpty;
    return s_coEmpty;
}

KwLink* KwMultiLink::Clone() const
{
    return new (std::nothrow) KwMultiLink(*this);
}

int KwMultiLink::Call(KwEvent& coEvent)
{
    TMvcEvent* pcoEvent = m_pcoOwner ? m_coFound.Find(*m_pcoOwner, m_coName) : nullptr;
    if (pcoEvent)
        TMvc::CallEventNotifications(*pcoEvent, coEvent);
    else if (m_pcoOwner)
        m_pcoOwner->CallNotifications(m_coName, coEvent);
    return 0;
}

KwMultiLink& KwMultiLink::EmptyMultiLink()
{
    static KwMultiLink s_coEmpty;
    return s_coEmpty;
}

_KwAutoSegStack::~_KwAutoSegStack()
{
    while (m_coStack.Count())
        delete static_cast<KwLink*>(m_coStack.Pop());
}

// A push that finds no memory still takes a place on the stack (a null
// entry), so that the pops of the guards keep their order. Only when even
// that place cannot be had is the push counted as missing; every later
// push is then counted too until the missing ones have been popped.
KwLink& _KwAutoSegStack::Push(const KwLink& coLink)
{
    KwLink* pcoCopy = m_lMissing ? nullptr : coLink.Clone();
    if (!m_lMissing && m_coStack.Push(pcoCopy)) {
        if (pcoCopy)
            return *pcoCopy;
    } else {
        delete pcoCopy;
        ++m_lMissing;
    }
    if (dynamic_cast<const KwMultiLink*>(&coLink))
        return KwMultiLink::EmptyMultiLink();
    return KwLink::EmptyLink();
}

void _KwAutoSegStack::Pop()
{
    if (m_lMissing > 0) {
        --m_lMissing;
        return;
    }
    delete static_cast<KwLink*>(m_coStack.Pop());
}

_KwAutomaticSeg::~_KwAutomaticSeg()
{
    KwLink::LinkStack().Pop();
}

// A resource object's link objects (KwRes.h) are defined here, where a link
// is a complete type, so that the resources family needs nothing above it.

KwLink& KwRes::GetLinkByName(const char* pszName) const
{
    if (!pszName || !*pszName)
        return KwLink::EmptyLink();
    return KwLink::LinkStack().Push(KwLink(MVC(), pszName));
}

KwMultiLink& KwRes::GetNotificationByName(const char* pszName) const
{
    if (!pszName || !*pszName)
        return KwMultiLink::EmptyMultiLink();
    return static_cast<KwMultiLink&>(KwLink::LinkStack().Push(KwMultiLink(MVC(), pszName)));
}
