#include "KwEvent.h"

#include "KwContent.h"
#include "KwDC.h"
#include "KwMenu.h"
#include "KwMenuItem.h"
#include "KwRes.h"
#include "KwTimer.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "KwWnd.h"

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

KwEventMenu::KwEventMenu(KwMenu* pcoMenu, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoMenu, unWParam, ulLParam)
{
}

KwMenu& KwEventMenu::Menu() const
{
    return static_cast<KwMenu&>(*GetBaseObject());
}

KwEventMenuItem::KwEventMenuItem(KwMenuItem* pcoItem, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoItem, unWParam, ulLParam)
{
}

KwMenuItem& KwEventMenuItem::MenuItem() const
{
    return static_cast<KwMenuItem&>(*GetBaseObject());
}

KwEventWnd::KwEventWnd(KwWnd* pcoWnd, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoWnd, unWParam, ulLParam)
{
}

KwWnd& KwEventWnd::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}

KwWChild& KwEventWnd::Child() const
{
    return static_cast<KwWChild&>(*GetBaseObject());
}

KwWFrame& KwEventWnd::Frame() const
{
    return static_cast<KwWFrame&>(*GetBaseObject());
}

KwEventMouse::KwEventMouse(KwWnd* pcoWnd, const KwPoint& coPoint, unsigned short unKeyFlags)
    : KwEvent(pcoWnd, unKeyFlags, Pack(coPoint.X(), coPoint.Y()))
{
}

KwWnd& KwEventMouse::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}

KwEventKey::KwEventKey(KwWnd* pcoWnd, unsigned short unKey, unsigned long ulKeyData)
    : KwEvent(pcoWnd, unKey, ulKeyData)
{
}

KwWnd& KwEventKey::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}

KwEventTimer::KwEventTimer(KwTimer* pcoTimer, unsigned short unTimeOut, unsigned long ulSysTime)
    : KwEvent(pcoTimer, unTimeOut, ulSysTime)
{
}

KwTimer& KwEventTimer::Timer() const
{
    return static_cast<KwTimer&>(*GetBaseObject());
}

KwEventUser::KwEventUser(KwWnd* pcoWnd, const KwMessParam& coParam, unsigned short unWParam)
    : KwEvent(pcoWnd, unWParam, 0)
    , m_pcoParam(const_cast<KwMessParam*>(&coParam))
{
}

KwMessage* KwEventUser::GetWinNTParam() const
{
    return dynamic_cast<KwMessage*>(m_pcoParam);
}

KwWnd& KwEventUser::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}

KwEventContent::KwEventContent(KwContent& coContent, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(&coContent, unWParam, ulLParam)
{
}

KwContent& KwEventContent::Content() const
{
    return static_cast<KwContent&>(*GetBaseObject());
}

KwWnd& KwEventContent::Window() const
{
    return *Content().GetWindow();
}

KwWChild& KwEventContent::Child() const
{
    return static_cast<KwWChild&>(Window());
}

KwWFrame& KwEventContent::Frame() const
{
    return static_cast<KwWFrame&>(Window());
}

KwEvent2Res::KwEvent2Res(KwWnd* pcoWnd, KwRes* pcoSecond, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoWnd, unWParam, ulLParam)
    , m_pcoSecond(pcoSecond)
{
}

KwWnd& KwEvent2Res::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
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

KwEventListBox::KwEventListBox(KwWnd* pcoWnd, unsigned long ulPosition, unsigned short unLine)
    : KwEvent(pcoWnd, unLine, ulPosition)
{
}

KwWnd& KwEventListBox::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}

KwEventListScroll::KwEventListScroll(KwWnd* pcoWnd, KwDC& coDC, const KwRect& coRect, unsigned long ulUpdatePos,
                                     unsigned short unUpdateLine)
    : KwEventPaint(pcoWnd, coDC, &coRect, unUpdateLine, ulUpdatePos)
{
}
