#pragma once

#include "Kw25Api.h"
#include "KwMessParam.h"
#include "KwRect.h"
#include "TMvcParam.h"

class KwContent;
class KwDC;
class KwMenu;
class KwMenuItem;
class KwRes;
class KwTimer;
class KwWChild;
class KwWFrame;
class KwWnd;
class KwEventWnd;
class KwEvent2Res;
class KwEventPaint;
class KwEventMouse;
class KwEventKey;
class KwEventMenu;
class KwEventMenuItem;
class KwEventTimer;
class KwEventListBox;
class KwEventListScroll;

// What a window, menu, timer or content reports to its links. An event
// lives on the caller's stack for one call. Its two parameters are
// numbers; where an event carries a point or a size in the long parameter,
// x (or the width) is the high 16 bits and y (or the height) the low 16
// bits, both signed. Pointers (another window, a text) never travel in the
// numbers: the event kinds hold them in typed members.
class KW25_API KwEvent : public TMvcParam {
    KW_DYNAMIC_CLASS(KwEvent, TMvcParam)
public:
    KwEvent() = default;
    KwEvent(KwRes* pcoBase, unsigned short unWParam, unsigned long ulLParam);
    KwEvent(const KwEvent& coOther) = default;
    KwEvent& operator=(const KwEvent& coOther) = default;

    // Sender and parameters
    KwRes* GetBaseObject() const { return m_pcoBase; }
    unsigned short GetWParam() const { return static_cast<unsigned short>(m_ulWParam); }
    void SetWParam(unsigned short unWParam) { m_ulWParam = unWParam; }
    unsigned long GetLParam() const { return m_ulLParam; }
    void SetLParam(unsigned long ulLParam) { m_ulLParam = static_cast<std::uint32_t>(ulLParam); }

    // The packing of a point or size into the long parameter and back.
    static unsigned long Pack(short nHigh, short nLow);
    static short HighOf(unsigned long ulPacked) { return static_cast<short>((ulPacked >> 16) & 0xFFFF); }
    static short LowOf(unsigned long ulPacked) { return static_cast<short>(ulPacked & 0xFFFF); }

    // Checked down-casts, in their slot order: null here, the event itself
    // in the class named and its subclasses.
    virtual operator KwEventWnd*() { return nullptr; }
    virtual operator const KwEventWnd*() const { return nullptr; }
    virtual operator KwEventMenu*() { return nullptr; }
    virtual operator const KwEventMenu*() const { return nullptr; }
    virtual operator KwEventMenuItem*() { return nullptr; }
    virtual operator const KwEventMenuItem*() const { return nullptr; }
    virtual operator KwEvent2Res*() { return nullptr; }
    virtual operator const KwEvent2Res*() const { return nullptr; }
    virtual operator KwEventPaint*() { return nullptr; }
    virtual operator const KwEventPaint*() const { return nullptr; }
    virtual operator KwEventMouse*() { return nullptr; }
    virtual operator const KwEventMouse*() const { return nullptr; }
    virtual operator KwEventKey*() { return nullptr; }
    virtual operator const KwEventKey*() const { return nullptr; }
    virtual operator KwEventTimer*() { return nullptr; }
    virtual operator const KwEventTimer*() const { return nullptr; }
    virtual operator KwEventListBox*() { return nullptr; }
    virtual operator const KwEventListBox*() const { return nullptr; }
    virtual operator KwEventListScroll*() { return nullptr; }
    virtual operator const KwEventListScroll*() const { return nullptr; }

private:
    KwRes* m_pcoBase { nullptr };          // the sender, not owned
    std::uint32_t m_ulWParam { 0 };
    std::uint32_t m_ulLParam { 0 };
};

// The down-cast operators of an event class X, for its own body.
#define KW_EVENT_CAST(X)                                                        \
public:                                                                         \
    operator X*() override { return this; }                                     \
    operator const X*() const override { return this; }

// A window's event. Events about another window (focus, cursor,
// activation, enter and leave, children) carry it in OtherWindow(); text
// events carry the text in Text().
class KW25_API KwEventWnd : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventWnd, KwEvent)
    KW_EVENT_CAST(KwEventWnd)
public:
    KwEventWnd() = default;
    KwEventWnd(KwWnd* pcoWnd, unsigned short unWParam, unsigned long ulLParam);

    KwWnd& Window() const;
    KwWChild& Child() const;
    KwWFrame& Frame() const;

    KwWnd* OtherWindow() const { return m_pcoOther; }
    void SetOtherWindow(KwWnd* pcoOther) { m_pcoOther = pcoOther; }
    const char* Text() const { return m_pszText; }
    void SetText(const char* pszText) { m_pszText = pszText; }

private:
    KwWnd* m_pcoOther { nullptr };      // not owned
    const char* m_pszText { nullptr };  // not owned; valid during the call
};

// A mouse event: key flags in the word, the point packed in the long.
class KW25_API KwEventMouse : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventMouse, KwEvent)
    KW_EVENT_CAST(KwEventMouse)
public:
    KwEventMouse() = default;
    KwEventMouse(KwWnd* pcoWnd, const KwPoint& coPoint, unsigned short unKeyFlags);

    short PosX() const { return HighOf(GetLParam()); }
    short PosY() const { return LowOf(GetLParam()); }
    KwPoint Position() const { return KwPoint(PosX(), PosY()); }
    unsigned short KeyFlags() const { return GetWParam(); }
    KwWnd& Window() const;
};

// A key event: the virtual-key or character code and the system's key data
// (repeat count, scan code, flags).
class KW25_API KwEventKey : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventKey, KwEvent)
    KW_EVENT_CAST(KwEventKey)
public:
    KwEventKey() = default;
    KwEventKey(KwWnd* pcoWnd, unsigned short unKey, unsigned long ulKeyData);

    unsigned short KeyCode() const { return GetWParam(); }
    unsigned long KeyMask() const { return GetLParam(); }
    KwWnd& Window() const;
};

// A menu's event: the index handed to the menu's initialisation.
class KW25_API KwEventMenu : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventMenu, KwEvent)
    KW_EVENT_CAST(KwEventMenu)
public:
    KwEventMenu() = default;
    KwEventMenu(KwMenu* pcoMenu, unsigned short unWParam, unsigned long ulLParam);

    KwMenu& Menu() const;
};

// A menu item's event: a flag (system menu, check state).
class KW25_API KwEventMenuItem : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventMenuItem, KwEvent)
    KW_EVENT_CAST(KwEventMenuItem)
public:
    KwEventMenuItem() = default;
    KwEventMenuItem(KwMenuItem* pcoItem, unsigned short unWParam, unsigned long ulLParam);

    KwMenuItem& MenuItem() const;
};

// A timer's event: the time-out in milliseconds and the system time of the
// tick.
class KW25_API KwEventTimer : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventTimer, KwEvent)
    KW_EVENT_CAST(KwEventTimer)
public:
    KwEventTimer() = default;
    KwEventTimer(KwTimer* pcoTimer, unsigned short unTimeOut, unsigned long ulSysTime);

    unsigned short TimeOut() const { return GetWParam(); }
    unsigned long SysTime() const { return GetLParam(); }
    KwTimer& Timer() const;
};

// A message that has no handler of its own: the parameter block.
class KW25_API KwEventUser : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventUser, KwEvent)
public:
    KwEventUser() = default;
    KwEventUser(KwWnd* pcoWnd, const KwMessParam& coParam, unsigned short unWParam);

    KwMessParam* GetMessParam() const { return m_pcoParam; }
    KwMessage* GetWinNTParam() const;
    KwWnd& Window() const;

private:
    KwMessParam* m_pcoParam { nullptr };   // the dispatcher's block, valid during the call
};

// A content's event.
class KW25_API KwEventContent : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventContent, KwEvent)
public:
    KwEventContent() = default;
    KwEventContent(KwContent& coContent, unsigned short unWParam, unsigned long ulLParam);

    KwContent& Content() const;
    // The content's window (the content must be linked).
    KwWnd& Window() const;
    KwWChild& Child() const;
    KwWFrame& Frame() const;
};

// A window's event with a second object.
class KW25_API KwEvent2Res : public KwEvent {
    KW_DYNAMIC_CLASS(KwEvent2Res, KwEvent)
    KW_EVENT_CAST(KwEvent2Res)
public:
    KwEvent2Res() = default;
    KwEvent2Res(KwWnd* pcoWnd, KwRes* pcoSecond, unsigned short unWParam, unsigned long ulLParam);

    KwRes* GetKwResParam() const { return m_pcoSecond; }
    void SetKwResParam(KwRes* pcoSecond) { m_pcoSecond = pcoSecond; }
    KwWnd& Window() const;

private:
    KwRes* m_pcoSecond { nullptr };   // not owned
};

// A paint: the device context to paint into and the clip rectangle.
class KW25_API KwEventPaint : public KwEvent2Res {
    KW_DYNAMIC_CLASS(KwEventPaint, KwEvent2Res)
    KW_EVENT_CAST(KwEventPaint)
public:
    KwEventPaint() = default;
    KwEventPaint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoClip, unsigned short unWParam, unsigned long ulLParam);

    KwDC& CurrentDC() const;
    // A copy of the clip rectangle; empty when none was given.
    KwRect ClipRect() const { return m_coClip; }
    int HasClipRect() const { return !m_coClip.IsEmpty(); }

private:
    KwRect m_coClip;
};

// A list window's event: a position and a line (also read as column or
// column count, by the list event).
class KW25_API KwEventListBox : public KwEvent {
    KW_DYNAMIC_CLASS(KwEventListBox, KwEvent)
    KW_EVENT_CAST(KwEventListBox)
public:
    KwEventListBox() = default;
    KwEventListBox(KwWnd* pcoWnd, unsigned long ulPosition, unsigned short unLine);

    unsigned long Position() const { return GetLParam(); }
    unsigned short Line() const { return GetWParam(); }
    unsigned short Column() const { return GetWParam(); }
    unsigned short ColCount() const { return GetWParam(); }
    KwWnd& Window() const;
};

// A list window asks for a line to be painted.
class KW25_API KwEventListScroll : public KwEventPaint {
    KW_DYNAMIC_CLASS(KwEventListScroll, KwEventPaint)
    KW_EVENT_CAST(KwEventListScroll)
public:
    KwEventListScroll() = default;
    KwEventListScroll(KwWnd* pcoWnd, KwDC& coDC, const KwRect& coRect, unsigned long ulUpdatePos, unsigned short unUpdateLine);

    unsigned short UpdateLine() const { return GetWParam(); }
    unsigned long UpdatePos() const { return GetLParam(); }
};
