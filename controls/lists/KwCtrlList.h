#pragma once

#include "KctlApi.h"
#include "KwOwnFont.h"
#include "KwTimer.h"
#include "KwWControl.h"

#include <memory>

class KwSysScrollBarVert;

// A list drawn by the framework that holds no data at all: it knows how
// many data positions there are (the range), which one the first line
// shows (the current position), how many lines fit, and which position is
// selected. Whatever a line shows is drawn on demand: the list asks its
// owner through "KW_LINK_LISTVSCROLL" for each visible line, so a list of
// millions of entries costs no more than one of ten. Nothing walks the
// range; every operation touches the visible lines only.
//
// Positions are 32-bit. The current position stays within 0 .. range -
// visible lines. The vertical scroll bar (a child made by the list) runs
// over range - visible lines, at most 16,384 steps: larger ranges are
// scaled onto it.
//
// Keys, mouse and wheel: position keys move the selection (and scroll to
// it), Enter and a double click on the selection send
// "KW_LINK_LISTCOMMAND", the delete keys "KW_LINK_LISTDELETE"; pressing
// selects the line under the pointer and, with the button held, the
// selection follows it, scrolling every 60 ms while the pointer is above or
// below the lines; the wheel scrolls three lines a notch.
class KCTL_API KwCtrlList : public KwWControl {
    KW_DYNAMIC_CLASS(KwCtrlList, KwWControl)
    KW_MVC_CLASS(KwCtrlList, KwWControl)
public:
    enum : unsigned short { VarVisibleLines = 171, VarTrackEvents = 172 };
    enum : unsigned short { AutoScrollPeriod = 60, DefaultLines = 3 };
    // The scroll bar's steps at most; larger spans are scaled.
    enum : long { ScrollBarSteps = 0x4000 };

    KwCtrlList();
    explicit KwCtrlList(const char* pszName);
    KwCtrlList(const char* pszName, const KwPoint& coPos, const KwSize& coSize);
    KwCtrlList(const char* pszName, const KwPoint& coPos, short nWidth, unsigned short unLines);
    ~KwCtrlList() override;

    // Range and positions
    void SetRange(unsigned long ulCount, int nRepaint);
    unsigned long GetRange() const { return m_ulRange; }
    void SetCurrentPos(unsigned long ulPos, int nRepaint) { ScrollAbsolute(ulPos, nRepaint); }
    unsigned long GetCurrentPos() const { return m_ulCurrent; }
    // range - visible lines; 0 when everything fits, -1 for an empty list.
    long GetEndPos() const;
    int IsPosValid(unsigned long ulPos) const { return ulPos < m_ulRange; }

    // Selection
    // The selected position, -1 for none.
    long GetCurrentSel() const { return HasSelection() ? static_cast<long>(m_ulSelected) : -1; }
    int HasSelection() const { return IsSelected(); }
    // Selects a valid position of a selectable list (sending
    // "KW_LINK_LISTSELECT" when it changes); answers 1 then. Otherwise the
    // selection is removed and the answer is 0.
    int SelectLine(unsigned long ulPos);
    // Removes the selection ("KW_LINK_LISTUNSELECT" with the notify flag).
    int UnSelectLine(int nNotify);
    // Sends "KW_LINK_LISTDELETE" for the position and answers the link's
    // result; the owner removes the entry and sets the new range.
    int DeletePosition(unsigned long ulPos);

    // Scrolling (the current position is kept within 0 .. end position)
    void ScrollRelative(long lDelta, int nRepaint);
    void ScrollAbsolute(unsigned long ulPos, int nRepaint);
    // The selection (or, without one, the current position) to the first
    // or the last line.
    void ScrollCurrentToTop(int nRepaint);
    void ScrollCurrentToBottom(int nRepaint);
    // The data changed: positions clamped, scroll bar set, lines repainted.
    void ShowChange(int nRepaint);

    // Lines and geometry
    unsigned short GetVisibleLines() const { return m_unVisibleLines; }
    // The first and last visible positions; -1 for an empty list.
    long GetFirstVisible() const;
    long GetLastVisible() const;
    // The position a line shows, -1 beyond the range.
    long PosFromLine(short nLine) const;
    // The line under a client point or y position, -1 outside the lines.
    short LineFromPoint(const KwPoint& coPoint) const;
    short LineFromYPos(short nY) const;
    // The line showing the position, -1 when it is not visible.
    short LineFromDataPos(unsigned long ulPos) const;
    int IsPosVisible(unsigned long ulPos) const { return LineFromDataPos(ulPos) >= 0; }
    int IsLineVisible(short nLine) const { return nLine >= 0 && nLine < m_unVisibleLines && PosFromLine(nLine) >= 0; }
    KwRect GetLineRect(short nLine) const;
    // The client area inside the border, without the scroll bar.
    KwRect GetDataRect() const;
    // Repaints one line.
    void UpdateLine(short nLine);
    // Heights are snapped to whole lines; a size that holds none is refused
    // (0).
    int Resize(const KwSize& coSize, int nRedraw);
    // The thumb scrolls the list while it is dragged.
    void UseTrackEvent(int nOn) { m_nTrackEvents = nOn ? 1 : 0; }
    int IsTrackEvent() const { return m_nTrackEvents; }
    KwSysScrollBarVert* GetScrollBar() const { return m_pcoScrollBar; }

    // The list keeps a copy of the font; null goes back to the window's.
    void SetFont(const KwFont* pcoFont, int nRedraw);

    // Overridables
    // The used font's height + 1 (17 for a height of 0x7FFF); the font is
    // made for the measure when it has no system font yet.
    virtual short CalcLineHeight() const;
    // Type-ahead: no search here (0).
    virtual int GoTo(char chKey);
    virtual int GoTo(const char* pszText);
    // Draws one line: "KW_LINK_LISTVSCROLL"; non-zero when drawn.
    virtual int DrawLine(KwDC& coDC, const KwRect& coRect, short nLine, unsigned long ulPos);
    // The user chose the position (Enter, double click): "KW_LINK_LISTCOMMAND".
    virtual int EvListCommand(unsigned long ulPos);
    // The wheel turned by nDelta (120 a notch, positive away from the user).
    virtual int EvMouseWheel(short nDelta, unsigned short unKeyFlags);

    // Overrides
    operator KwCtrlList*() override { return this; }
    operator const KwCtrlList*() const override { return this; }
    int SysCreate(KwWnd* pcoParent) override;
    KwWnd* Copy() const override { return new KwCtrlList(*this); }
    const KwFont& GetUsedFont() const override;
    void DrawFocus(KwDC& coDC) override {}
    int EvPaint(KwPaintDC& coDC) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    int EvVScroll(unsigned short unCode, short nPos) override;
    int EvKeyPosition(short nIndex) override;
    int EvKeyEnterTabEsc(short nIndex) override;
    int EvKeyDelete(short nIndex) override;
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvLButtonDblClk(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvMouseMove(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvMouseLeave(KwWnd* pcoOther, int nFlag) override;
    int EvMouseEnter(KwWnd* pcoOther, int nFlag) override;
    int EvCaptureLost() override;
    int EvTimer(unsigned long ulSysTime) override;
    int EvSetFocus(KwWnd* pcoOther) override;
    int EvKillFocus(KwWnd* pcoOther) override;
    int EvUser(KwMessParam* pcoParam) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwCtrlList(const KwCtrlList& coOther);
    void WriteData(TFile& coFile) const override;
    void InitMembers(TOnlyInternalUse) override;

    // Mouse tracking: the pointer selects while the list has the capture.
    // A drop-down starts it without a press of its own.
    void StartTracking();
    void StopTracking();
    int IsTracking() const { return m_nTracking; }
    int IsAutoScrolling() const;
    // Fires a list event (notifications, then the link).
    int FireListEvent(const char* pszName, unsigned long ulPos, unsigned short unLine);

private:
    long long EndPos() const;
    unsigned long ClampPos(long long llPos) const;
    void SetCurrent(unsigned long ulPos, int nRepaint);
    // Scrolls just enough to show the position.
    void BringIntoView(unsigned long ulPos, int nRepaint);
    // The line of the focus mark: the selection's when visible, else the
    // first line; -1 for an empty list.
    short FocusLine() const;
    void UpdateFocusLine();
    void UpdateScrollBar();
    void LayoutScrollBar();
    void RecalcVisibleLines();
    short ScrollBarWidth() const;
    double ScrollFactor() const;
    unsigned long PosFromThumb(short nThumb) const;
    void PaintLines(KwDC& coDC);
    void LineDown();
    void LineUp();
    void PageDown();
    void PageUp();
    void StartAutoScroll();
    void StopAutoScroll();
    void SelectAtPoint(const KwPoint& coPoint);
    void NotifyScrollBarDestroyed(TDynBase* pcoBar);

    // Functions called by name
    TDynRet DynGetCurrentPos(char* pchArgs);
    TDynRet DynSetCurrentPos(char* pchArgs);
    TDynRet DynGetRange(char* pchArgs);
    TDynRet DynSetRange(char* pchArgs);
    TDynRet DynGetCurrentSel(char* pchArgs);
    TDynRet DynSelectLine(char* pchArgs);
    TDynRet DynShowChange(char* pchArgs);
    TDynRet DynScrollCurrentToTop(char* pchArgs);
    TDynRet DynScrollCurrentToBottom(char* pchArgs);

    unsigned long m_ulRange { 0 };
    unsigned short m_unVisibleLines { 0 };
    unsigned long m_ulCurrent { 0 };
    unsigned long m_ulSelected { 0 };
    short m_nFocusLine { -1 };                     // where the focus mark was last drawn
    int m_nTrackEvents { 0 };
    int m_nTracking { 0 };
    int m_nWheelRest { 0 };                        // wheel turns below one line
    KwSysScrollBarVert* m_pcoScrollBar { nullptr };    // a child window, watched: destroyed with the list
    std::unique_ptr<KwWindowTimer> m_pcoTimer;     // owned; made on the first auto-scroll
    KwOwnFont m_coFont;
};
