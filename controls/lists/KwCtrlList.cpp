#include "KwCtrlList.h"

#include "KwApp.h"
#include "KwCtlCodes.h"
#include "KwDC.h"
#include "KwPen.h"
#include "KwSysScrollBar.h"
#include "KwSystem.h"
#include "KwTimer.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <cmath>

TMvcEventTable KwCtrlList::m_stcoEvTab { "KwCtrlList", &KwCtrlList::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwCtrlList, KwWControl, "kctl")

namespace {

// Indices of the key table
enum : short { KeyReturn = 0, KeyUp = 1, KeyDown = 2, KeyLeft = 3, KeyRight = 4, KeyPageUp = 5, KeyPageDown = 6,
               KeyHome = 7, KeyEnd = 8 };
// Scroll codes
enum : unsigned short { ScrollToEnd = 0, ScrollToStart = 1, ScrollLineDown = 2, ScrollLineUp = 3, ScrollPageDown = 4,
                        ScrollPageUp = 5, ScrollThumbTrack = 6, ScrollThumbPosition = 7 };
enum : int { BkModeTransparent = 1 };
enum : short { HugeFontHeight = 0x7FFF, HugeFontLineHeight = 17, FallbackScrollBarWidth = 16 };

const char s_szScrollBarName[] = "__LISTSCROLLBAR__";

short AppColor(short (KwApp::*pfnColor)() const, short nDefault)
{
    const KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    return pcoApp ? (pcoApp->*pfnColor)() : nDefault;
}

} // namespace

void KwCtrlList::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_LISTVSCROLL", "KwEventListScroll", nullptr, nullptr);
    for (const char* pszName : { "KW_LINK_LISTSELECT", "KW_LINK_LISTUNSELECT", "KW_LINK_LISTCOMMAND", "KW_LINK_LISTDELETE" })
        m_stcoEvTab.RegisterEventType(pszName, "KwEventListBox", nullptr, nullptr);
}

void KwCtrlList::InitMembers(TOnlyInternalUse)
{
    InsertDynFunc<KwCtrlList>("KwCtrlList::GetCurrentPos", &KwCtrlList::DynGetCurrentPos);
    InsertDynFunc<KwCtrlList>("KwCtrlList::SetCurrentPos", &KwCtrlList::DynSetCurrentPos);
    InsertDynFunc<KwCtrlList>("KwCtrlList::GetRange", &KwCtrlList::DynGetRange);
    InsertDynFunc<KwCtrlList>("KwCtrlList::SetRange", &KwCtrlList::DynSetRange);
    InsertDynFunc<KwCtrlList>("KwCtrlList::GetCurrentSel", &KwCtrlList::DynGetCurrentSel);
    InsertDynFunc<KwCtrlList>("KwCtrlList::SelectLine", &KwCtrlList::DynSelectLine);
    InsertDynFunc<KwCtrlList>("KwCtrlList::ShowChange", &KwCtrlList::DynShowChange);
    InsertDynFunc<KwCtrlList>("KwCtrlList::ScrollCurrentToTop", &KwCtrlList::DynScrollCurrentToTop);
    InsertDynFunc<KwCtrlList>("KwCtrlList::ScrollCurrentToBottom", &KwCtrlList::DynScrollCurrentToBottom);
}

KwCtrlList::KwCtrlList()
    : KwWControl(nullptr, KwPoint(), KwSize(), 0, 7, 0)
{
    SetFlag(FlagFocusable | FlagSelectable | FlagTabStop, 1);
    SetBorderWidth(1, 0);
    // The scroll bar is a child: the lines are painted around it.
    SetStyle(GetStyle() | KwCtlCodes::StyleClipChildren);
}

KwCtrlList::KwCtrlList(const char* pszName)
    : KwCtrlList()
{
    SetResId(pszName);
}

KwCtrlList::KwCtrlList(const char* pszName, const KwPoint& coPos, const KwSize& coSize)
    : KwCtrlList()
{
    SetResId(pszName);
    SetPos(coPos, 0);
    SetSize(coSize, 0);
}

KwCtrlList::KwCtrlList(const char* pszName, const KwPoint& coPos, short nWidth, unsigned short unLines)
    : KwCtrlList(pszName, coPos, KwSize(nWidth, 0))
{
    m_unVisibleLines = unLines;
}

KwCtrlList::KwCtrlList(const KwCtrlList& coOther)
    : KwWControl(coOther)
    , m_unVisibleLines(coOther.m_unVisibleLines)
    , m_nTrackEvents(coOther.m_nTrackEvents)
    , m_coFont(coOther.m_coFont)
{
}

KwCtrlList::~KwCtrlList()
{
    if (m_pcoScrollBar)
        m_pcoScrollBar->RemoveDestructionHandler(this, static_cast<DestructionHandler>(&KwCtrlList::NotifyScrollBarDestroyed));
}

void KwCtrlList::NotifyScrollBarDestroyed(TDynBase*)
{
    m_pcoScrollBar = nullptr;
}

// Range and positions

long long KwCtrlList::EndPos() const
{
    if (m_ulRange == 0)
        return -1;
    return std::max(0LL, static_cast<long long>(m_ulRange) - m_unVisibleLines);
}

long KwCtrlList::GetEndPos() const
{
    return static_cast<long>(EndPos());
}

unsigned long KwCtrlList::ClampPos(long long llPos) const
{
    return static_cast<unsigned long>(std::clamp(llPos, 0LL, std::max(0LL, EndPos())));
}

void KwCtrlList::SetRange(unsigned long ulCount, int nRepaint)
{
    m_ulRange = ulCount;
    m_ulCurrent = ClampPos(m_ulCurrent);
    if (HasSelection() && ulCount == 0) {
        SetSelected(0, 0);
        m_ulSelected = 0;
    } else if (HasSelection() && m_ulSelected >= ulCount) {
        SetSelected(0, 0);
        SelectLine(ulCount - 1);
    }
    UpdateScrollBar();
    if (nRepaint)
        Invalidate(1);
}

void KwCtrlList::SetCurrent(unsigned long ulPos, int nRepaint)
{
    const unsigned long ulNew = ClampPos(ulPos);
    if (ulNew == m_ulCurrent)
        return;
    m_ulCurrent = ulNew;
    UpdateScrollBar();
    if (nRepaint && GetHandle())
        Invalidate(GetDataRect(), 0);
}

void KwCtrlList::ScrollRelative(long lDelta, int nRepaint)
{
    SetCurrent(ClampPos(static_cast<long long>(m_ulCurrent) + lDelta), nRepaint);
}

void KwCtrlList::ScrollAbsolute(unsigned long ulPos, int nRepaint)
{
    SetCurrent(ulPos, nRepaint);
}

void KwCtrlList::ScrollCurrentToTop(int nRepaint)
{
    SetCurrent(HasSelection() ? m_ulSelected : m_ulCurrent, nRepaint);
}

void KwCtrlList::ScrollCurrentToBottom(int nRepaint)
{
    const long long llTarget = HasSelection() ? m_ulSelected : m_ulCurrent;
    SetCurrent(ClampPos(llTarget - m_unVisibleLines + 1), nRepaint);
}

void KwCtrlList::BringIntoView(unsigned long ulPos, int nRepaint)
{
    if (ulPos < m_ulCurrent)
        SetCurrent(ulPos, nRepaint);
    else if (static_cast<long long>(ulPos) >= static_cast<long long>(m_ulCurrent) + m_unVisibleLines)
        SetCurrent(ClampPos(static_cast<long long>(ulPos) - m_unVisibleLines + 1), nRepaint);
}

void KwCtrlList::ShowChange(int nRepaint)
{
    m_ulCurrent = ClampPos(m_ulCurrent);
    UpdateScrollBar();
    if (nRepaint)
        Invalidate(1);
}

// Selection

int KwCtrlList::SelectLine(unsigned long ulPos)
{
    if (!IsSelectable() || ulPos >= m_ulRange) {
        UnSelectLine(1);
        return 0;
    }
    if (HasSelection() && ulPos == m_ulSelected)
        return 1;
    UnSelectLine(1);
    SetSelected(1, 0);
    m_ulSelected = ulPos;
    UpdateLine(LineFromDataPos(ulPos));
    UpdateFocusLine();
    FireListEvent("KW_LINK_LISTSELECT", ulPos, 0);
    return 1;
}

int KwCtrlList::UnSelectLine(int nNotify)
{
    if (!HasSelection()) {
        UpdateFocusLine();
        return 0;
    }
    SetSelected(0, 0);
    UpdateLine(LineFromDataPos(m_ulSelected));
    UpdateFocusLine();
    FireListEvent("KW_LINK_LISTUNSELECT", m_ulSelected, static_cast<unsigned short>(nNotify));
    return 1;
}

int KwCtrlList::DeletePosition(unsigned long ulPos)
{
    return ulPos < m_ulRange ? FireListEvent("KW_LINK_LISTDELETE", ulPos, 0) : 0;
}

int KwCtrlList::FireListEvent(const char* pszName, unsigned long ulPos, unsigned short unLine)
{
    return FireEvent<KwEventListBox>(pszName, [&] { return KwEventListBox(this, ulPos, unLine); });
}

int KwCtrlList::EvListCommand(unsigned long ulPos)
{
    return FireListEvent("KW_LINK_LISTCOMMAND", ulPos, 0);
}

// Lines and geometry

long KwCtrlList::GetFirstVisible() const
{
    return m_ulRange ? static_cast<long>(m_ulCurrent) : -1;
}

long KwCtrlList::GetLastVisible() const
{
    if (!m_ulRange)
        return -1;
    const long long llLast = std::min(static_cast<long long>(m_ulCurrent) + std::max<int>(m_unVisibleLines, 1) - 1,
                                      static_cast<long long>(m_ulRange) - 1);
    return static_cast<long>(llLast);
}

long KwCtrlList::PosFromLine(short nLine) const
{
    if (nLine < 0 || nLine >= m_unVisibleLines)
        return -1;
    const unsigned long long ullPos = static_cast<unsigned long long>(m_ulCurrent) + static_cast<unsigned>(nLine);
    return ullPos < m_ulRange ? static_cast<long>(ullPos) : -1;
}

short KwCtrlList::LineFromYPos(short nY) const
{
    const KwRect coData = GetDataRect();
    const short nHeight = CalcLineHeight();
    if (nHeight <= 0 || nY < coData.Top() || nY >= coData.Bottom())
        return -1;
    const short nLine = static_cast<short>((nY - coData.Top()) / nHeight);
    return PosFromLine(nLine) >= 0 ? nLine : -1;
}

short KwCtrlList::LineFromPoint(const KwPoint& coPoint) const
{
    return GetDataRect().PtInRect(coPoint) ? LineFromYPos(coPoint.Y()) : -1;
}

short KwCtrlList::LineFromDataPos(unsigned long ulPos) const
{
    if (ulPos < m_ulCurrent || ulPos >= m_ulRange)
        return -1;
    const unsigned long ulLine = ulPos - m_ulCurrent;
    return ulLine < m_unVisibleLines ? static_cast<short>(ulLine) : -1;
}

KwRect KwCtrlList::GetDataRect() const
{
    KwRect coRect = GetClientRect();
    coRect.Resize(static_cast<short>(-GetFullBorderWidth()));
    if (m_pcoScrollBar)
        coRect.SetRight(static_cast<short>(std::max<int>(coRect.Left(), coRect.Right() - ScrollBarWidth())));
    return coRect;
}

KwRect KwCtrlList::GetLineRect(short nLine) const
{
    const KwRect coData = GetDataRect();
    const short nHeight = CalcLineHeight();
    const short nTop = static_cast<short>(coData.Top() + nLine * nHeight);
    return KwRect(coData.Left(), nTop, coData.Right(), static_cast<short>(nTop + nHeight));
}

void KwCtrlList::UpdateLine(short nLine)
{
    if (GetHandle() && nLine >= 0 && nLine < m_unVisibleLines)
        Invalidate(GetLineRect(nLine), 0);
}

short KwCtrlList::FocusLine() const
{
    if (!m_ulRange)
        return -1;
    const short nSelected = HasSelection() ? LineFromDataPos(m_ulSelected) : -1;
    return nSelected >= 0 ? nSelected : 0;
}

void KwCtrlList::UpdateFocusLine()
{
    const short nLine = FocusLine();
    if (nLine == m_nFocusLine)
        return;
    UpdateLine(m_nFocusLine);
    UpdateLine(nLine);
    m_nFocusLine = nLine;
}

short KwCtrlList::ScrollBarWidth() const
{
    const int nWidth = pcoKwSys ? pcoKwSys->GetSystemMetrics(KwCtlCodes::MetricVScrollWidth) : 0;
    return static_cast<short>(nWidth > 0 ? nWidth : FallbackScrollBarWidth);
}

short KwCtrlList::CalcLineHeight() const
{
    KwFont& coFont = const_cast<KwFont&>(GetUsedFont());
    if (!coFont.GetHandle())
        coFont.SysCreate(nullptr);
    short nHeight = coFont.GetHeight();
    if (nHeight >= HugeFontHeight)
        return HugeFontLineHeight;
    if (nHeight <= 0) {
        // A font of the system's default size: measured.
        KwScreenDC coDC;
        const KwFont* pcoOld = coDC.SelectObject(&coFont);
        nHeight = coDC.GetTextExtent("A", 1).Height();
        coDC.SelectObject(pcoOld);
    }
    return nHeight > 0 ? static_cast<short>(nHeight + 1) : 0;
}

void KwCtrlList::RecalcVisibleLines()
{
    const short nHeight = CalcLineHeight();
    if (!GetHandle() || nHeight <= 0)
        return;
    m_unVisibleLines = static_cast<unsigned short>(std::max(0, GetDataRect().Height() / nHeight));
    m_ulCurrent = ClampPos(m_ulCurrent);
}

int KwCtrlList::Resize(const KwSize& coSize, int nRedraw)
{
    const short nHeight = CalcLineHeight();
    const int nBorders = 2 * GetFullBorderWidth();
    if (nHeight <= 0)
        return 0;
    const int nLines = (coSize.Height() - nBorders) / nHeight;
    if (nLines < 1)
        return 0;
    if (!GetHandle())
        m_unVisibleLines = static_cast<unsigned short>(nLines);
    SetSize(KwSize(coSize.Width(), KwPair::Wrap(nLines * nHeight + nBorders)), nRedraw);
    return 1;
}

void KwCtrlList::SetFont(const KwFont* pcoFont, int nRedraw)
{
    if (pcoFont)
        m_coFont.Set(*pcoFont);
    else
        m_coFont.Reset();
    RecalcVisibleLines();
    UpdateScrollBar();
    if (nRedraw)
        Invalidate(1);
}

const KwFont& KwCtrlList::GetUsedFont() const
{
    return m_coFont.Get() ? *m_coFont.Get() : KwWControl::GetUsedFont();
}

// Scroll bar: range - visible lines steps, scaled down to 16,384 when more.

double KwCtrlList::ScrollFactor() const
{
    const long long llSpan = static_cast<long long>(m_ulRange) - m_unVisibleLines;
    return llSpan > ScrollBarSteps ? static_cast<double>(llSpan) / ScrollBarSteps : 1.0;
}

unsigned long KwCtrlList::PosFromThumb(short nThumb) const
{
    return ClampPos(std::llround(ScrollFactor() * std::max<short>(nThumb, 0)));
}

void KwCtrlList::UpdateScrollBar()
{
    if (!m_pcoScrollBar || !m_pcoScrollBar->GetHandle())
        return;
    const long long llSpan = static_cast<long long>(m_ulRange) - m_unVisibleLines;
    const short nMax = static_cast<short>(std::clamp<long long>(llSpan, 0, ScrollBarSteps));
    short nMin = 0;
    short nOldMax = -1;
    m_pcoScrollBar->GetRange(&nMin, &nOldMax);
    if (nOldMax != nMax || nMin != 0)
        m_pcoScrollBar->SetRange(0, nMax, 0);
    // Redrawn with the next paint rather than at once: keys held down and
    // scrolling links do not draw the bar for every step.
    m_pcoScrollBar->SetThumbPos(static_cast<short>(std::llround(m_ulCurrent / ScrollFactor())), 0);
    m_pcoScrollBar->Invalidate(0);
}

void KwCtrlList::LayoutScrollBar()
{
    if (!m_pcoScrollBar || !GetHandle())
        return;
    KwRect coInner = GetClientRect();
    coInner.Resize(static_cast<short>(-GetFullBorderWidth()));
    const short nWidth = ScrollBarWidth();
    m_pcoScrollBar->SetPosAndSize(KwPoint(static_cast<short>(coInner.Right() - nWidth), coInner.Top()),
                                  KwSize(nWidth, coInner.Height()), 1);
}

// Creation

int KwCtrlList::SysCreate(KwWnd* pcoParent)
{
    if (GetHandle())
        return 0;
    const short nHeight = CalcLineHeight();
    if (nHeight <= 0)
        return 0;
    const int nBorders = 2 * GetFullBorderWidth();
    const KwSize coSize = GetSize();
    if (m_unVisibleLines == 0)
        m_unVisibleLines = coSize.Height() > 0 ? static_cast<unsigned short>(std::max(1, (coSize.Height() - nBorders) / nHeight))
                                               : static_cast<unsigned short>(DefaultLines);
    SetSize(KwSize(coSize.Width(), KwPair::Wrap(m_unVisibleLines * nHeight + nBorders)), 0);
    if (!KwWControl::SysCreate(pcoParent))
        return 0;
    KwSysScrollBarVert* pcoBar = new KwSysScrollBarVert(s_szScrollBarName, KwPoint(), KwSize(ScrollBarWidth(), nHeight));
    if (!pcoBar->SysCreate(this)) {
        delete pcoBar;
        return 1;
    }
    m_pcoScrollBar = pcoBar;
    m_pcoScrollBar->AddDestructionHandler(this, static_cast<DestructionHandler>(&KwCtrlList::NotifyScrollBarDestroyed));
    LayoutScrollBar();
    RecalcVisibleLines();
    UpdateScrollBar();
    return 1;
}

int KwCtrlList::EvSize(unsigned short unCode, const KwSize& coSize)
{
    const int nResult = KwWControl::EvSize(unCode, coSize);
    LayoutScrollBar();
    RecalcVisibleLines();
    UpdateScrollBar();
    Invalidate(0);
    return nResult;
}

// Painting

int KwCtrlList::EvPaint(KwPaintDC& coDC)
{
    KwWControl::EvPaint(coDC);
    PaintLines(coDC);
    return 1;
}

void KwCtrlList::PaintLines(KwDC& coDC)
{
    const short nHeight = CalcLineHeight();
    if (nHeight <= 0 || !coDC.GetHandle())
        return;
    KwRect coClip;
    if (!coDC.GetClipBox(coClip))
        coClip = GetClientRect();
    KwFont& coFont = const_cast<KwFont&>(GetUsedFont());
    if (!coFont.GetHandle())
        coFont.SysCreate(&coDC);
    const KwFont* pcoOldFont = coDC.SelectObject(&coFont);
    const int nOldMode = coDC.SetBkMode(BkModeTransparent);
    const unsigned long ulOldText = coDC.GetTextColor();
    const unsigned long ulNormal = GetColFore().GetRealColor();
    const KwSysColor coSelFore(AppColor(&KwApp::GetColForeHighLight, 7));
    const KwSysColor coSelBack(AppColor(&KwApp::GetColBackHighLight, 5));
    const KwRect coData = GetDataRect();
    for (short nLine = 0; nLine < m_unVisibleLines; ++nLine) {
        const long lPos = PosFromLine(nLine);
        if (lPos < 0)
            break;
        const KwRect coLine(coData.Left(), static_cast<short>(coData.Top() + nLine * nHeight), coData.Right(),
                            static_cast<short>(coData.Top() + (nLine + 1) * nHeight));
        KwRect coMeet = coLine;
        if (!coMeet.Intersect(coClip))
            continue;
        const int nSelected = HasSelection() && static_cast<unsigned long>(lPos) == m_ulSelected;
        if (nSelected) {
            KwBrush coBrush(coSelBack, 1, 0);
            coDC.FillRect(coLine, coBrush);
        }
        coDC.SetTextColor(nSelected ? coSelFore.GetRealColor() : ulNormal);
        DrawLine(coDC, coLine, nLine, static_cast<unsigned long>(lPos));
    }
    m_nFocusLine = FocusLine();
    if (m_nFocusLine >= 0 && pcoKwSys && pcoKwSys->GetFocus() == GetHandle())
        coDC.DrawFocusRect(GetLineRect(m_nFocusLine));
    coDC.SetTextColor(ulOldText);
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
}

int KwCtrlList::DrawLine(KwDC& coDC, const KwRect& coRect, short nLine, unsigned long ulPos)
{
    return FireEvent<KwEventListScroll>("KW_LINK_LISTVSCROLL", [&] {
        return KwEventListScroll(this, coDC, coRect, ulPos, static_cast<unsigned short>(nLine));
    });
}

int KwCtrlList::EvSetFocus(KwWnd* pcoOther)
{
    const int nResult = KwWControl::EvSetFocus(pcoOther);
    UpdateLine(FocusLine());
    return nResult;
}

int KwCtrlList::EvKillFocus(KwWnd* pcoOther)
{
    const int nResult = KwWControl::EvKillFocus(pcoOther);
    UpdateLine(FocusLine());
    return nResult;
}

// Scroll bar events

int KwCtrlList::EvVScroll(unsigned short unCode, short nPos)
{
    const int nResult = KwWControl::EvVScroll(unCode, nPos);
    if (nResult)
        return nResult;
    const long long llCurrent = m_ulCurrent;
    switch (unCode) {
    case ScrollToStart: SetCurrent(0, 1); break;
    case ScrollToEnd: SetCurrent(ClampPos(EndPos()), 1); break;
    case ScrollLineDown: SetCurrent(ClampPos(llCurrent + 1), 1); break;
    case ScrollLineUp: SetCurrent(ClampPos(llCurrent - 1), 1); break;
    case ScrollPageDown: SetCurrent(ClampPos(llCurrent + m_unVisibleLines), 1); break;
    case ScrollPageUp: SetCurrent(ClampPos(llCurrent - m_unVisibleLines), 1); break;
    case ScrollThumbTrack:
        // The thumb stays where the user drags it; only the lines follow.
        if (m_nTrackEvents && m_ulRange > m_unVisibleLines && PosFromThumb(nPos) != m_ulCurrent) {
            m_ulCurrent = PosFromThumb(nPos);
            Invalidate(GetDataRect(), 0);
        }
        break;
    case ScrollThumbPosition: SetCurrent(PosFromThumb(nPos), 1); UpdateScrollBar(); break;
    default: break;
    }
    return 1;
}

// Keyboard

int KwCtrlList::EvKeyPosition(short nIndex)
{
    if (!IsSelectable() || !m_ulRange)
        return 1;
    switch (nIndex) {
    case KeyUp:
    case KeyLeft: LineUp(); break;
    case KeyDown:
    case KeyRight: LineDown(); break;
    case KeyPageUp: PageUp(); break;
    case KeyPageDown: PageDown(); break;
    case KeyHome:
        SetCurrent(0, 1);
        SelectLine(0);
        break;
    case KeyEnd:
        SetCurrent(ClampPos(EndPos()), 1);
        SelectLine(m_ulRange - 1);
        break;
    default: return KwWControl::EvKeyPosition(nIndex);
    }
    return 1;
}

void KwCtrlList::LineDown()
{
    if (!HasSelection()) {
        SetCurrent(ClampPos(static_cast<long long>(m_ulCurrent) + 1), 1);
        SelectLine(m_ulCurrent);
        return;
    }
    const unsigned long ulSel = m_ulSelected;
    if (!IsPosVisible(ulSel)) {
        if (ulSel + 1 < m_ulRange)
            SelectLine(ulSel + 1);
        BringIntoView(m_ulSelected, 1);
    } else if (static_cast<long>(ulSel) == GetLastVisible()) {
        if (static_cast<long long>(m_ulCurrent) < EndPos()) {
            SetCurrent(m_ulCurrent + 1, 1);
            SelectLine(static_cast<unsigned long>(GetLastVisible()));
        }
    } else {
        SelectLine(ulSel + 1);
    }
}

void KwCtrlList::LineUp()
{
    if (!HasSelection()) {
        SetCurrent(ClampPos(static_cast<long long>(m_ulCurrent) - 1), 1);
        SelectLine(m_ulCurrent);
        return;
    }
    const unsigned long ulSel = m_ulSelected;
    if (!IsPosVisible(ulSel)) {
        if (ulSel > 0)
            SelectLine(ulSel - 1);
        BringIntoView(m_ulSelected, 1);
    } else if (ulSel == m_ulCurrent) {
        if (m_ulCurrent > 0) {
            SetCurrent(m_ulCurrent - 1, 1);
            SelectLine(m_ulCurrent);
        }
    } else {
        SelectLine(ulSel - 1);
    }
}

void KwCtrlList::PageDown()
{
    const long lPage = m_unVisibleLines;
    if (HasSelection() && !IsPosVisible(m_ulSelected)) {
        const long long llTarget = static_cast<long long>(m_ulSelected) + std::max(1L, lPage - 1);
        SelectLine(static_cast<unsigned long>(std::min<long long>(llTarget, m_ulRange - 1)));
        BringIntoView(m_ulSelected, 1);
        return;
    }
    if (!HasSelection() || static_cast<long>(m_ulSelected) == GetLastVisible())
        ScrollRelative(lPage, 1);
    SelectLine(static_cast<unsigned long>(GetLastVisible()));
}

void KwCtrlList::PageUp()
{
    const long lPage = m_unVisibleLines;
    if (HasSelection() && !IsPosVisible(m_ulSelected)) {
        const long long llTarget = static_cast<long long>(m_ulSelected) - std::max(1L, lPage - 1);
        SelectLine(static_cast<unsigned long>(std::max(0LL, llTarget)));
        BringIntoView(m_ulSelected, 1);
        return;
    }
    if (!HasSelection() || m_ulSelected == m_ulCurrent)
        ScrollRelative(-lPage, 1);
    SelectLine(m_ulCurrent);
}

int KwCtrlList::EvKeyEnterTabEsc(short nIndex)
{
    if (nIndex == KeyReturn && HasSelection()) {
        const int nResult = EvListCommand(m_ulSelected);
        if (nResult)
            return nResult;
    }
    return KwWControl::EvKeyEnterTabEsc(nIndex);
}

int KwCtrlList::EvKeyDelete(short)
{
    if (HasSelection())
        DeletePosition(m_ulSelected);
    return 1;
}

// Mouse: the list is not pressed like a button; it tracks the pointer
// itself, so the pressed state of KwWControl is left out.

void KwCtrlList::SelectAtPoint(const KwPoint& coPoint)
{
    const long lPos = PosFromLine(LineFromYPos(coPoint.Y()));
    if (lPos >= 0)
        SelectLine(static_cast<unsigned long>(lPos));
}

void KwCtrlList::StartTracking()
{
    if (!GetHandle())
        return;
    SetCapture();
    m_nTracking = 1;
}

void KwCtrlList::StopTracking()
{
    if (!m_nTracking)
        return;
    m_nTracking = 0;
    StopAutoScroll();
    if (pcoKwSys && pcoKwSys->GetCapture() == GetHandle())
        ReleaseCapture();
}

int KwCtrlList::IsAutoScrolling() const
{
    return m_pcoTimer && m_pcoTimer->IsRunning();
}

void KwCtrlList::StartAutoScroll()
{
    if (!m_pcoTimer)
        m_pcoTimer.reset(new KwWindowTimer(this, AutoScrollPeriod, 0, "LIST_AUTOSCROLL"));
    if (m_pcoTimer->GetTimerWindow() != this)
        m_pcoTimer->SetTimerWindow(this);
    if (!m_pcoTimer->IsRunning())
        m_pcoTimer->SysCreate();
}

void KwCtrlList::StopAutoScroll()
{
    if (IsAutoScrolling())
        m_pcoTimer->SysDelete();
}

int KwCtrlList::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWChild::EvLButtonDown(coPoint, unKeyFlags);
    if (nResult || !IsEnabled())
        return nResult;
    StartTracking();
    if (GetDataRect().PtInRect(coPoint))
        SelectAtPoint(coPoint);
    return 1;
}

int KwCtrlList::EvMouseMove(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWChild::EvMouseMove(coPoint, unKeyFlags);
    if (!m_nTracking || !pcoKwSys || pcoKwSys->GetCapture() != GetHandle())
        return nResult;
    const KwRect coData = GetDataRect();
    if (coPoint.Y() >= coData.Top() && coPoint.Y() < coData.Bottom()) {
        StopAutoScroll();
        SelectAtPoint(coPoint);
    } else {
        StartAutoScroll();
    }
    return nResult;
}

int KwCtrlList::EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    StopTracking();
    return KwWChild::EvLButtonUp(coPoint, unKeyFlags);
}

int KwCtrlList::EvLButtonDblClk(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWChild::EvLButtonDblClk(coPoint, unKeyFlags);
    if (nResult)
        return nResult;
    const long lPos = PosFromLine(LineFromPoint(coPoint));
    if (lPos < 0)
        return 0;
    if (HasSelection() && static_cast<unsigned long>(lPos) == m_ulSelected)
        return EvListCommand(m_ulSelected);
    SelectLine(static_cast<unsigned long>(lPos));
    return 1;
}

int KwCtrlList::EvMouseLeave(KwWnd* pcoOther, int nFlag)
{
    return KwWChild::EvMouseLeave(pcoOther, nFlag);
}

int KwCtrlList::EvMouseEnter(KwWnd* pcoOther, int nFlag)
{
    return KwWChild::EvMouseEnter(pcoOther, nFlag);
}

int KwCtrlList::EvCaptureLost()
{
    m_nTracking = 0;
    StopAutoScroll();
    return 0;
}

// Every tick with the pointer above or below the lines scrolls one line
// and selects the line that came in; the selection is lifted during the
// scroll, so that only the new line is announced.
int KwCtrlList::EvTimer(unsigned long)
{
    if (!m_nTracking || !pcoKwSys) {
        StopAutoScroll();
        return 0;
    }
    const KwPoint coPoint = ScreenToClient(pcoKwSys->GetCursorPos());
    const KwRect coData = GetDataRect();
    const int nUp = coPoint.Y() < coData.Top();
    if (!nUp && coPoint.Y() < coData.Bottom())
        return 1;
    const unsigned long ulBefore = m_ulCurrent;
    ScrollRelative(nUp ? -1 : 1, 1);
    if (m_ulCurrent != ulBefore)
        SetSelected(0, 0);
    SelectLine(static_cast<unsigned long>(nUp ? GetFirstVisible() : GetLastVisible()));
    return 1;
}

int KwCtrlList::EvUser(KwMessParam* pcoParam)
{
    const int nResult = KwWControl::EvUser(pcoParam);
    const KwMessage& coParam = *static_cast<KwMessage*>(pcoParam);
    if (nResult || coParam.GetMessage() != KwCtlCodes::MsgMouseWheel)
        return nResult;
    return EvMouseWheel(static_cast<short>(coParam.HighWParam()), coParam.LowWParam());
}

int KwCtrlList::EvMouseWheel(short nDelta, unsigned short)
{
    const int nTotal = m_nWheelRest + nDelta;
    const int nNotches = nTotal / KwCtlCodes::WheelDelta;
    m_nWheelRest = nTotal % KwCtlCodes::WheelDelta;
    if (nNotches)
        ScrollRelative(-nNotches * KwCtlCodes::WheelLines, 1);
    return 1;
}

int KwCtrlList::GoTo(char)
{
    return 0;
}

int KwCtrlList::GoTo(const char*)
{
    return 0;
}

// Resources

void KwCtrlList::WriteData(TFile& coFile) const
{
    KwWControl::WriteData(coFile);
    TResShort(VarVisibleLines, static_cast<short>(m_unVisibleLines)).Write(coFile);
    TResShort(VarTrackEvents, static_cast<short>(m_nTrackEvents)).Write(coFile);
}

int KwCtrlList::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarVisibleLines:
        // Recomputed from the height when the list is created.
        m_unVisibleLines = 0;
        return 1;
    case VarTrackEvents:
        m_nTrackEvents = static_cast<short>(coVar) ? 1 : 0;
        return 1;
    default:
        return KwWControl::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

// Functions called by name: positions as unsigned long, flags as int.

TDynRet KwCtrlList::DynGetCurrentPos(char*)
{
    return GetCurrentPos();
}

TDynRet KwCtrlList::DynSetCurrentPos(char* pchArgs)
{
    TDynArgs coArgs(pchArgs);
    const unsigned long ulPos = coArgs.Next<unsigned long>();
    SetCurrentPos(ulPos, coArgs.Next<int>());
    return 1;
}

TDynRet KwCtrlList::DynGetRange(char*)
{
    return GetRange();
}

TDynRet KwCtrlList::DynSetRange(char* pchArgs)
{
    TDynArgs coArgs(pchArgs);
    const unsigned long ulCount = coArgs.Next<unsigned long>();
    SetRange(ulCount, coArgs.Next<int>());
    return 1;
}

TDynRet KwCtrlList::DynGetCurrentSel(char*)
{
    return GetCurrentSel();
}

TDynRet KwCtrlList::DynSelectLine(char* pchArgs)
{
    return SelectLine(TDynArgs(pchArgs).Next<unsigned long>());
}

TDynRet KwCtrlList::DynShowChange(char* pchArgs)
{
    ShowChange(TDynArgs(pchArgs).Next<int>());
    return 1;
}

TDynRet KwCtrlList::DynScrollCurrentToTop(char* pchArgs)
{
    ScrollCurrentToTop(TDynArgs(pchArgs).Next<int>());
    return 1;
}

TDynRet KwCtrlList::DynScrollCurrentToBottom(char* pchArgs)
{
    ScrollCurrentToBottom(TDynArgs(pchArgs).Next<int>());
    return 1;
}
