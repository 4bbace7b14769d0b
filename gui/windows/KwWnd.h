#pragma once

#include "Kw25Api.h"
#include "KwDispatchDepth.h"
#include "KwEvent.h"
#include "KwLink.h"
#include "KwMessParam.h"
#include "KwRect.h"
#include "KwWndBase.h"
#include "TMvc.h"

#include <utility>

class KwContent;
class KwDC;
class KwFont;
class KwLayout;
class KwMenu;
class KwMenuItem;
class KwPaintDC;
class KwRegion;
class KwSystem;
class KwWFrame;
class KwWindowTimer;

// A window: an object that owns at most one system window. Every message
// of the system window reaches the object's Map handler for that message,
// which calls the Ev handler of the event, which fires the window's links
// ("KW_LINK_" and the event's name); a non-zero result means "handled" and
// suppresses the system's default processing.
//
// Lifetime. A window with auto-destroy (the default) is deleted when its
// system window is destroyed. That may happen while the window's own
// handlers are still running (it closes itself, or a link it fires
// destroys its frame): the deletion then waits until the outermost of its
// running dispatches returns. Delete windows that may be handling a
// message through Destroy(), never with delete.
class KW25_API KwWnd : public KwWndBase {
    KW_DYNAMIC_CLASS(KwWnd, KwWndBase)
    KW_MVC_CLASS(KwWnd, KwWndBase)
public:
    enum : unsigned short { VarResFont = 110 };

    KwWnd();
    KwWnd(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
          short nColFore, unsigned long ulStyle, const char* pszText, unsigned long ulExStyle);
    ~KwWnd() override;
    KwWnd& operator=(const KwWnd&) = delete;

    // Hierarchy: the children are the system windows below this one.
    KwWnd* GetParent() const;
    int GetChildCount() const;
    KwWnd* GetChildFirst() const;
    KwWnd* GetChildLast() const;
    KwWnd* GetChildBegin() const { return GetChildFirst(); }
    KwWnd* GetChildEnd() const { return GetChildLast(); }
    KwWnd* GetChildNext(const KwWnd* pcoChild) const;
    KwWnd* GetChildPrev(const KwWnd* pcoChild) const;
    KwWnd* ChildFromIndex(short nIndex) const;
    // A direct child by resource name.
    KwWnd* GetChild(const char* pszName) const;
    KwWnd* FindChild(const char* pszName) const { return FindChildPtr(pszName); }
    KwWnd* ChildPtr(const char* pszName) const { return FindChildPtr(pszName); }
    // The reference form: the child must exist.
    KwWnd& Child(const char* pszName) const;
    KwWnd* GetFirstDescendant() const { return GetChildFirst(); }
    KwWnd* GetFirstSibling() const;
    KwWnd* GetLastSibling() const;
    KwWnd* GetNextSibling() const;
    KwWnd* GetPrevSibling() const;
    int HasDescendant(const KwWnd* pcoWnd) const;
    int IsDescendant(const KwWnd* pcoWnd) const;
    static KwWnd* SearchWindow(KwHandle hWnd);
    static KwWnd* WindowFromPoint(const KwPoint& coScreenPoint);
    KwWnd* ChildWindowFromPoint(const KwPoint& coClientPoint) const;
    // Whether the system window belongs to this framework object.
    int IsOwnWindow() const;

    // Focus, capture, state
    static KwWnd* GetFocus();
    static void KillFocus();
    KwWnd* SetCapture();
    static KwWnd* GetCapture();
    static int ReleaseCapture();
    int IsVisible() const;
    void SetVisible(int nVisible, int nRedraw);

    // Geometry (see GetRect); without a system window the creation values.
    KwRect CalcWindowRect(const KwSize& coClient, int nMenu, const KwPoint* pcoPos) const;
    void AdjustWindow(const KwSize& coClient, int nMenu, const KwPoint* pcoPos, int nRedraw);
    KwPoint CalcMiddlePos(const KwWnd* pcoOther, int nMove);
    KwPoint ClientToScreen(const KwPoint& coPoint) const;
    KwPoint ScreenToClient(const KwPoint& coPoint) const;
    void ClientToScreen(KwPoint* pcoPoints, short nCount) const;
    void ScreenToClient(KwPoint* pcoPoints, short nCount) const;
    KwRect ClientToScreen(const KwRect& coRect) const;
    KwRect ScreenToClient(const KwRect& coRect) const;

    // Scrolling (bar: 0 horizontal, 1 vertical)
    int ShowScrollBar(short nBar, int nShow);
    int HasScrollBar(short nBar) const;
    short GetScrollPos(short nBar) const;
    int GetScrollRange(short nBar, short* pnMin, short* pnMax) const;
    short SetScrollPos(short nBar, short nPos, int nRedraw);
    int SetScrollRange(short nBar, short nMin, short nMax, int nRedraw);
    int EnableScrollBar(short nBar, unsigned short unArrows);
    int Scroll(short nDx, short nDy, const KwRect* pcoScroll, const KwRect* pcoClip);

    // Painting
    int GetUpdateRect(KwRect& coRect);
    int GetUpdateRegion(KwRegion& coRegion);

    // Text
    int SetTextFt(const char* pszFormat, ...);

    // Content
    KwContent* UnlinkContent();
    void DestroyContent();
    int HasContent() const { return m_pcoContent != nullptr; }
    KwContent* Content() const { return m_pcoContent; }

    // The system's default processing of a message (the current one when
    // null).
    std::intptr_t EventDefault(const KwMessParam* pcoParam = nullptr);
    short GetResFont() const { return m_nResFont; }
    int GetTimerCount() const { return m_nTimerCount; }
    int IsDestroying() const { return m_unDestroying != 0; }

    // The layout object of plain windows; replaceable (null: the built-in
    // one). Not owned.
    static void ChangeLayout(KwLayout* pcoLayout);

    // Dispatch bookkeeping (see the class comment).
    KwDispatchDepth& DispatchDepth() { return m_coDepth; }
    static void DeleteDeferred(KwWnd* pcoWnd);
    // Runs fn while counting as a dispatch of pcoWnd, so that the window
    // survives until fn returns even when fn destroys it.
    template <class F>
    static auto Guarded(KwWnd& coWnd, F fn) -> decltype(fn())
    {
        KwDispatchScope<KwWnd> coScope(coWnd);
        return fn();
    }
    // Fires the event name: the notifications with one event made by
    // fnMake, then the link with a fresh one; answers the link's result (0
    // without link). The name is a constant text (a literal): after the
    // first time the window finds the name's event by the text's address
    // (TMvc::FindConstType), so that an event costs no lookup by name and
    // no allocation, bound or not.
    template <class E, class Make>
    int FireEvent(const char* pszName, Make fnMake);

    // Overridables, in their slot order after those of KwWndBase.
    // Structure
    virtual int IsModalFrame() const { return 0; }
    virtual const char* Register();
    virtual KwHandle CreateSystemWindow(KwWnd* pcoParent);
    virtual int CallHotKeyCommandALT() { return 0; }
    virtual int CallHotKeyCommandCTRL() { return 0; }
    virtual void DrawFocus(KwDC& coDC) {}
    virtual void NotifyContentLinked(KwContent& coContent) {}
    virtual void NotifyContentUnlinked(KwContent& coContent) {}
    // The original procedure of a wrapped system control; null otherwise.
    virtual void* GetDefaultWindowProc() const { return nullptr; }
    virtual KwWnd* Copy() const;
    virtual KwWnd* CopyAll(KwWnd* pcoParent) const;
    using KwRes::SysCreate;
    virtual int SysCreate(KwWnd* pcoParent);
    virtual const KwLayout& MyLayout() const;
    virtual int IsChildWindow() const { return (GetStyle() & KwStyleChild) ? 1 : 0; }
    virtual int IsFrameWindow() const { return 0; }
    virtual KwWFrame* GetParentFrame() const;
    virtual int HasHotKeyCommandALT(char chKey) const { return 0; }
    virtual int HasHotKeyCommandCTRL(char chKey) const { return 0; }
    virtual int CanChangeChildListOrder() const { return 1; }
    virtual int CanChangeBackCol() const { return 1; }
    virtual int CanChangeForeCol() const { return 1; }
    virtual int CanChangeBordCol() const { return 1; }
    virtual int CanRemoveContent() const { return 1; }
    virtual int CanSetContent(const KwContent& coContent) const { return 1; }
    virtual int IsBorderVisible() const { return HasBorderLook(); }
    virtual void SetResFont(short nFont, int nRedraw);
    // Only on a change: greys or un-greys the content, enables or disables
    // the system window, then NotifyEnabled. Answers the previous state.
    virtual int Enable(int nEnable, int nRedraw);
    // Answers the window that had the focus.
    virtual KwWnd* SetFocus();
    virtual int IsEnabled() const;
    // Editing (nothing here)
    virtual int CopySelection() { return 0; }
    virtual int CutSelection() { return 0; }
    virtual int ClearSelection() { return 0; }
    virtual int PasteGlobalBuffer() { return 0; }
    virtual int Undo() { return 0; }
    virtual int CanUndo() const { return 0; }
    // Content and text
    virtual int SetContent(const KwContent& coContent);
    virtual int RemoveContent();
    virtual int PaintContent(KwDC& coDC, const KwRect* pcoRect);
    virtual KwRect CalcContentRect() const { return GetClientRect(); }
    virtual KwRect CalcCurrContentRect(KwDC* pcoDC) const;
    virtual const KwFont& GetUsedFont() const;
    virtual short GetTextLen() const;
    virtual TString GetText() const;
    // Copies at most nSize - 1 characters and a terminator; answers the count.
    virtual short GetText(char* pszText, short nSize) const;
    virtual char GetChar() const;
    virtual short GetShort() const;
    virtual int GetInt() const;
    virtual long GetLong() const;
    virtual float GetFloat() const;
    virtual double GetDouble() const;
    virtual int SetText(const char* pszText);
    // By resource name, among all descendants.
    virtual KwWnd* FindChildPtr(const char* pszName) const;
    virtual KwWnd* SetParent(KwWnd* pcoParent);
    // Geometry and visibility. GetRect is the window rectangle: in screen
    // coordinates for a frame, in the parent's client coordinates for a
    // child window.
    virtual KwRect GetRect() const;
    virtual void SetRect(const KwRect& coRect, int nRedraw);
    virtual void SetPosAndSize(KwPoint coPos, KwSize coSize, int nRedraw);
    virtual KwRect GetClientRect() const;
    virtual KwSize GetClientSize() const;
    virtual KwPoint GetClientPos() const;
    virtual int Show(short nShow);
    virtual int Hide() { return Show(1); }
    virtual int Update();
    virtual int Invalidate(const KwRegion& coRegion, int nErase);
    virtual int Invalidate(const KwRect& coRect, int nErase);
    virtual int Invalidate(int nErase);
    virtual int InvalidateBorder(int nErase);
    virtual int InvalidateCurrContent(int nErase);
    virtual int Validate(const KwRegion& coRegion);
    virtual int Validate(const KwRect& coRect);
    virtual int Validate();
    // Events: each fires its link (see the class comment) and answers its
    // result.
    virtual int EvCreate();
    virtual int EvDestroy();
    virtual int EvMeasureMenuItem(KwMenuItem* pcoItem, KwSize& coSize) { return 0; }
    virtual int EvDrawMenuItem(KwMenuItem* pcoItem, KwDC& coDC, const KwRect& coRect, unsigned short unState) { return 0; }
    virtual int EvDrawMenuItemFocus(KwMenuItem* pcoItem, KwDC& coDC, const KwRect& coRect, unsigned short unState) { return 0; }
    virtual int EvDrawMenuItemSelection(KwMenuItem* pcoItem, KwDC& coDC, const KwRect& coRect, unsigned short unState) { return 0; }
    virtual int EvSetCursor(KwWnd* pcoUnderCursor);
    virtual int EvMouseMove(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvLButtonDblClk(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvRButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvRButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvRButtonDblClk(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvMButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvMButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvMButtonDblClk(const KwPoint& coPoint, unsigned short unKeyFlags);
    virtual int EvSysKeyDown(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvSysKeyUp(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvSysChar(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvKeyDown(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvKeyUp(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvChar(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvDeadChar(unsigned short unKey, unsigned long ulKeyData);
    virtual int EvTimer(unsigned long ulSysTime) { return 0; }
    virtual int EvTimerCreate(KwWindowTimer* pcoTimer) { return 0; }
    virtual int EvTimerDestroy(KwWindowTimer* pcoTimer) { return 0; }
    virtual int EvPaletteChanged(KwWnd* pcoChanger) { return 0; }
    virtual int EvQueryNewPalette() { return 0; }
    virtual int EvMenuChar(char chKey, KwMenu* pcoMenu) { return 0; }
    virtual int EvHScroll(unsigned short unCode, short nPos);
    virtual int EvVScroll(unsigned short unCode, short nPos);
    virtual int EvMove(const KwPoint& coPos);
    virtual int EvSize(unsigned short unCode, const KwSize& coSize);
    virtual int NotifyEnabled(int nEnabled) { return 0; }
    virtual int EvPaint(KwPaintDC& coDC);
    virtual int EvCommand();
    virtual int EvKillFocus(KwWnd* pcoOther);
    virtual int EvSetFocus(KwWnd* pcoOther);
    virtual int EvUser(KwMessParam* pcoParam);
    virtual int EvChildActivate() { return 0; }
    virtual int EvMouseLeave(KwWnd* pcoOther, int nFlag);
    virtual int EvMouseEnter(KwWnd* pcoOther, int nFlag);
    virtual int EvTextWillChange(const char* pszText);
    virtual int EvTextHasChanged(const char* pszText);
    virtual int EvDDEAck(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDEAdvise(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDEData(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDEExecute(std::uintptr_t wParam, unsigned short unHigh) { return 0; }
    virtual int EvDDEInitiate(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDEPoke(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDERequest(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    virtual int EvDDETerminate(std::uintptr_t wParam) { return 0; }
    virtual int EvDDEUnadvise(std::uintptr_t wParam, unsigned short unLow, unsigned short unHigh) { return 0; }
    // The window lost the mouse capture (capture taken by another window,
    // or the system cancelled a mode): pressed states and automatic
    // scrolling end here. Nothing in a plain window.
    virtual int EvCaptureLost() { return 0; }

    // Overrides of KwRes and KwWndBase: they act on the system window when
    // there is one.
    void Destroy() override;
    void SysDelete() override;
    int SysConnect(KwHandle hHandle, int nRegister) override;
    unsigned long GetStyle() const override;
    unsigned long GetExStyle() const override;
    KwPoint GetPos() const override;
    KwSize GetSize() const override;
    void SetLookTransparent(int nOn, int nRedraw) override;
    void UseParentBack(int nOn, int nRedraw) override;
    void UseBorder(int nOn, int nRedraw) override;
    void SetStyle(unsigned long ulStyle) override;
    void SetExStyle(unsigned long ulExStyle) override;
    void SetPos(KwPoint coPos, int nRedraw) override;
    void SetSize(KwSize coSize, int nRedraw) override;
    void SetColBord(short nColor, int nRedraw) override;
    void SetColBack(short nColor, int nRedraw) override;
    void SetColFore(short nColor, int nRedraw) override;
    void SetColShadowLight(short nColor, int nRedraw) override;
    void SetColShadowDark(short nColor, int nRedraw) override;
    void SetColShadowMedium(short nColor, int nRedraw) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwWnd(const KwWnd& coOther);

    void WriteData(TFile& coFile) const override;
    void WriteChildren(TFile& coFile) const override;

    // Unlinks the old content (answered) and links the new one.
    KwContent* LinkContent(KwContent* pcoContent);
    // A window event with its word and the other window it names.
    int FireWndEvent(const char* pszName, unsigned short unWParam, KwWnd* pcoOther);
    // The link only.
    template <class E, class Make>
    int FireLink(const char* pszName, Make fnMake);
    // The priority link of a mouse or key event.
    template <class E, class Make>
    int FirePriority(const char* pszName, Make fnMake);
    // Detaches the object from its system window and destroys that window
    // (unless only attached): messages the destruction sends no longer
    // reach this object, which may already be partly destroyed.
    void ReleaseSystemWindow();
    // Paints through the layout object and the links (EvPaint) into the
    // paint context, in memory when the look asks for it.
    int PaintWindow(KwPaintDC& coPaintDC);
    void Redraw(int nRedraw);
    void ConnectTimer() { ++m_nTimerCount; }
    void DisconnectTimer() { if (m_nTimerCount > 0) --m_nTimerCount; }

    static constexpr unsigned long KwStyleChild = 0x40000000UL;

private:
    friend class KwWindowTimer;
    friend class KwWndDispatch;
    friend class KwContentLinker;

    KwWnd* Relative(KwHandle hFrom, int nRelation) const;
    int KeepChild(KwWnd& coChild);
    void DisconnectAllTimers();
    void DeleteSelf();

    // Message mapping, in their slot order; called by the dispatch of the
    // adapter, which the windows family registers (KwWndDispatch.cpp).
    virtual int MapSetCursor(KwMessParam* pcoParam);
    virtual int MapMouseLeave(KwWnd* pcoOther, int nFlag) { return EvMouseLeave(pcoOther, nFlag); }
    virtual int MapMouseEnter(KwWnd* pcoOther, int nFlag) { return EvMouseEnter(pcoOther, nFlag); }
    virtual int MapCreate(KwMessParam* pcoParam) { return EvCreate(); }
    virtual int MapNcCreate(KwMessParam* pcoParam) { return 0; }
    virtual int MapDestroy(KwMessParam* pcoParam);
    virtual int MapNcDestroy(KwMessParam* pcoParam);
    virtual int MapClose(KwMessParam* pcoParam) { return 0; }
    virtual int MapMeasureItem(KwMessParam* pcoParam);
    virtual int MapDrawItem(KwMessParam* pcoParam);
    virtual int MapMouseMove(KwMessParam* pcoParam);
    virtual int MapNcMouseMove(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcLButtonDown(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcLButtonUp(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcLButtonDblClk(KwMessParam* pcoParam) { return 0; }
    virtual int MapLButtonUp(KwMessParam* pcoParam);
    virtual int MapLButtonDown(KwMessParam* pcoParam);
    virtual int MapLButtonDblClk(KwMessParam* pcoParam);
    virtual int MapNcRButtonDown(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcRButtonUp(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcRButtonDblClk(KwMessParam* pcoParam) { return 0; }
    virtual int MapRButtonUp(KwMessParam* pcoParam);
    virtual int MapRButtonDown(KwMessParam* pcoParam);
    virtual int MapRButtonDblClk(KwMessParam* pcoParam);
    virtual int MapNcMButtonDown(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcMButtonUp(KwMessParam* pcoParam) { return 0; }
    virtual int MapNcMButtonDblClk(KwMessParam* pcoParam) { return 0; }
    virtual int MapMButtonUp(KwMessParam* pcoParam);
    virtual int MapMButtonDown(KwMessParam* pcoParam);
    virtual int MapMButtonDblClk(KwMessParam* pcoParam);
    virtual int MapSysKeyDown(KwMessParam* pcoParam);
    virtual int MapSysKeyUp(KwMessParam* pcoParam);
    virtual int MapSysChar(KwMessParam* pcoParam);
    virtual int MapKeyDown(KwMessParam* pcoParam);
    virtual int MapKeyUp(KwMessParam* pcoParam);
    virtual int MapChar(KwMessParam* pcoParam);
    virtual int MapDeadChar(KwMessParam* pcoParam);
    virtual int MapNcActivate(KwMessParam* pcoParam, int* pnFlag) { return 0; }
    virtual int MapActivate(KwMessParam* pcoParam) { return 0; }
    virtual int MapActivateApp(KwMessParam* pcoParam);
    virtual int MapCtlColor(KwMessParam* pcoParam);
    virtual int MapQueryOpen(KwMessParam* pcoParam) { return 1; }
    virtual int MapQueryEndSession(KwMessParam* pcoParam);
    virtual int MapQueryDragIcon(KwMessParam* pcoParam) { return 0; }
    virtual int MapCommand(KwMessParam* pcoParam);
    virtual int MapEndSession(KwMessParam* pcoParam);
    virtual int MapGetMinMaxInfo(KwMessParam* pcoParam) { return 0; }
    virtual int MapKillFocus(KwMessParam* pcoParam);
    virtual int MapSetFocus(KwMessParam* pcoParam);
    virtual int MapSysCommand(KwMessParam* pcoParam) { return 0; }
    virtual int MapUser(KwMessParam* pcoParam);
    virtual int MapPaletteChanged(KwMessParam* pcoParam);
    virtual int MapQueryNewPalette(KwMessParam* pcoParam) { return EvQueryNewPalette(); }
    virtual int MapInitMenu(KwMessParam* pcoParam);
    virtual int MapInitMenuPopup(KwMessParam* pcoParam);
    virtual int MapMenuChar(KwMessParam* pcoParam);
    virtual int MapMenuSelect(KwMessParam* pcoParam);
    virtual int MapChildActivate(KwMessParam* pcoParam) { return EvChildActivate(); }
    virtual int MapHScroll(KwMessParam* pcoParam);
    virtual int MapVScroll(KwMessParam* pcoParam);
    virtual int MapMove(KwMessParam* pcoParam);
    virtual int MapSize(KwMessParam* pcoParam);
    virtual int MapNcPaint(KwMessParam* pcoParam) { return 0; }
    virtual int MapPaint(KwMessParam* pcoParam);
    virtual int MapDDEAck(KwMessParam* pcoParam);
    virtual int MapDDEAdvise(KwMessParam* pcoParam);
    virtual int MapDDEData(KwMessParam* pcoParam);
    virtual int MapDDEExecute(KwMessParam* pcoParam);
    virtual int MapDDEInitiate(KwMessParam* pcoParam);
    virtual int MapDDEPoke(KwMessParam* pcoParam);
    virtual int MapDDERequest(KwMessParam* pcoParam);
    virtual int MapDDETerminate(KwMessParam* pcoParam);
    virtual int MapDDEUnadvise(KwMessParam* pcoParam);
    // Capture lost or mode cancelled: EvCaptureLost, then the message goes
    // on as any other (MapUser).
    virtual int MapCaptureLost(KwMessParam* pcoParam);

    unsigned short m_unDestroying { 0 };
    unsigned short m_nTimerCount { 0 };
    short m_nResFont { -1 };
    KwContent* m_pcoContent { nullptr };   // owned
    KwDispatchDepth m_coDepth;
};

template <class E, class Make>
int KwWnd::FireEvent(const char* pszName, Make fnMake)
{
    TMvcEvent* pcoEvent = MVC().FindConstType(pszName);
    if (!pcoEvent)
        return 0;
    if (pcoEvent->GetNotificationCount()) {
        E coEvent = fnMake();
        TMvc::CallEventNotifications(*pcoEvent, coEvent);
    }
    // The notifications may have changed the window's events.
    return FireLink<E>(pszName, fnMake);
}

template <class E, class Make>
int KwWnd::FireLink(const char* pszName, Make fnMake)
{
    TMvcEvent* pcoEvent = MVC().FindConstType(pszName);
    if (!pcoEvent || !pcoEvent->GetLink())
        return 0;
    E coEvent = fnMake();
    return TMvc::CallEventLink(*pcoEvent, coEvent);
}

template <class E, class Make>
int KwWnd::FirePriority(const char* pszName, Make fnMake)
{
    return FireLink<E>(pszName, fnMake);
}
