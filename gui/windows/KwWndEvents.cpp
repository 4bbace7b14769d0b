#include "KwEvent.h"

#include "KwContent.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "KwWnd.h"

// The events that windows send. Their classes are declared with every other
// event (KwEvent.h); they are defined here, where a window is a complete
// type, so that the event family needs nothing above it.

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

KwEventListBox::KwEventListBox(KwWnd* pcoWnd, unsigned long ulPosition, unsigned short unLine)
    : KwEvent(pcoWnd, unLine, ulPosition)
{
}

KwWnd& KwEventListBox::Window() const
{
    return static_cast<KwWnd&>(*GetBaseObject());
}
