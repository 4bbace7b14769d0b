#include "KwEvent.h"

#include "KwDC.h"
#include "KwRes.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwEvent, TMvcParam, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventWnd, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventMouse, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventKey, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventMenu, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventMenuItem, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventTimer, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventUser, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventContent, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEvent2Res, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventPaint, KwEvent2Res, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventListBox, KwEvent, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwEventListScroll, KwEventPaint, "kw25")

namespace {

// The event object of an event without sender, so that EventObject()
// always refers to a live object.
TDynBase& NoSender()
{
    static TDynBase s_coNone;
    return s_coNone;
}

TDynBase& SenderOf(KwRes* pcoBase)
{
    return pcoBase ? static_cast<TDynBase&>(*pcoBase) : NoSender();
}

} // namespace

KwEvent::KwEvent(KwRes* pcoBase, unsigned short unWParam, unsigned long ulLParam)
    : TMvcParam(SenderOf(pcoBase), unWParam, static_cast<long>(static_cast<std::int32_t>(ulLParam)))
    , m_pcoBase(pcoBase)
    , m_ulWParam(unWParam)
    , m_ulLParam(static_cast<std::uint32_t>(ulLParam))
{
}

unsigned long KwEvent::Pack(short nHigh, short nLow)
{
    return (static_cast<unsigned long>(static_cast<unsigned short>(nHigh)) << 16) | static_cast<unsigned short>(nLow);
}

KwEventPaint::KwEventPaint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoClip, unsigned short unWParam,
                           unsigned long ulLParam)
    : KwEvent2Res(pcoWnd, &coDC, unWParam, ulLParam)
{
    if (pcoClip)
        m_coClip = *pcoClip;
}

KwDC& KwEventPaint::CurrentDC() const
{
    return static_cast<KwDC&>(*GetKwResParam());
}

KwEventListScroll::KwEventListScroll(KwWnd* pcoWnd, KwDC& coDC, const KwRect& coRect, unsigned long ulUpdatePos,
                                     unsigned short unUpdateLine)
    : KwEventPaint(pcoWnd, coDC, &coRect, unUpdateLine, ulUpdatePos)
{
}
