#include "KwListText.h"

#include "KwDC.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"
#include "TString.h"
#include "TUtf8.h"

#include <cctype>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

TMvcEventTable KwListText::m_stcoEvTab { "KwListText", &KwListText::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwListText, KwCtrlList, "kctl")

namespace {

// How a line's text is drawn: left and vertically centred, clipped to the
// line, words wrapped (what does not fit is cut off), no hot-key marks.
enum : unsigned short { LineAlign = 0x21, LineFormat = 0x03, TabWidth = 8 };

int IsColorIndex(short nColor)
{
    return nColor >= 0 && nColor <= 255;
}

} // namespace

void KwListText::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_LISTGETTEXT", "KwEventListBox", nullptr, nullptr);
}

void KwListText::InitMembers(TOnlyInternalUse)
{
    InsertDynFunc<KwListText>("KwListText::SetListBoxText", &KwListText::DynSetListBoxText);
    InsertDynFunc<KwListText>("KwListText::SetListBoxTextColor", &KwListText::DynSetListBoxTextColor);
}

KwListText::KwListText(const KwListText& coOther)
    : KwCtrlList(coOther), m_nTextDistance(coOther.m_nTextDistance), m_nTextCenter(coOther.m_nTextCenter)
{
}

KwListText::~KwListText()
{
    std::free(m_pszHeapText);
}

// The text buffer

void KwListText::ClearText()
{
    std::free(m_pszHeapText);
    m_pszHeapText = nullptr;
    m_achText[0] = 0;
}

void KwListText::SetListBoxText(const char* pszText, short nColor, short nBackColor)
{
    ClearText();
    const size_t uLength = pszText ? std::strlen(pszText) : 0;
    if (uLength < static_cast<size_t>(InlineSize))
        std::memcpy(m_achText, pszText ? pszText : "", uLength + 1);
    else
        m_pszHeapText = Strdup(pszText);
    SetListBoxTextColor(nColor);
    SetListBoxTextBkColor(nBackColor);
}

int KwListText::SetListBoxTextFt(const char* pszFormat, ...)
{
    if (!pszFormat)
        return 0;
    char szBuffer[FormatBufferSize];
    va_list pArgs;
    va_start(pArgs, pszFormat);
    const int nWritten = std::vsnprintf(szBuffer, sizeof szBuffer, pszFormat, pArgs);
    va_end(pArgs);
    if (nWritten < 0)
        return 0;
    if (nWritten >= static_cast<int>(sizeof szBuffer))
        szBuffer[TUtf8::WithoutSplitEnd(szBuffer, sizeof szBuffer - 1)] = 0;
    SetListBoxText(szBuffer, -1, -1);
    return 1;
}

void KwListText::SetTextDistance(short nDistance, int nRedraw)
{
    m_nTextDistance = nDistance;
    if (nRedraw)
        Invalidate(0);
}

void KwListText::SetTextCenter(short nAlign, int nRedraw)
{
    m_nTextCenter = nAlign;
    if (nRedraw)
        Invalidate(0);
}

int KwListText::AskText(unsigned long ulPos, short nLine)
{
    m_nTextColor = -1;
    m_nBackColor = -1;
    ClearText();
    return FireEvent<KwEventListBox>("KW_LINK_LISTGETTEXT", [&] {
        return KwEventListBox(this, ulPos, static_cast<unsigned short>(nLine));
    });
}

TString KwListText::FetchText(unsigned long ulPos, short nLine)
{
    TString coText;
    if (AskText(ulPos, nLine))
        coText = GetListBoxText();
    ClearText();
    return coText;
}

// Drawing

int KwListText::DrawLine(KwDC& coDC, const KwRect& coRect, short nLine, unsigned long ulPos)
{
    if (!AskText(ulPos, nLine))
        return KwCtrlList::DrawLine(coDC, coRect, nLine, ulPos);
    DrawText(coDC, coRect);
    ClearText();
    m_nTextColor = -1;
    m_nBackColor = -1;
    return 1;
}

int KwListText::DrawText(KwDC& coDC, const KwRect& coRect)
{
    const char* pszText = GetListBoxText();
    if (!*pszText)
        return 0;
    const short nTextWidth = coDC.GetTextExtent(pszText, -1).Width();
    const short nWidth = coRect.Width();
    short nX = static_cast<short>(nWidth - m_nTextDistance - nTextWidth);
    if (m_nTextCenter == AlignLeft)
        nX = m_nTextDistance;
    else if (m_nTextCenter == AlignCentre)
        nX = static_cast<short>((nWidth - nTextWidth) / 2);
    const unsigned long ulOldText = coDC.GetTextColor();
    const unsigned long ulOldBack = coDC.GetBkColor();
    if (IsColorIndex(m_nTextColor))
        coDC.SetTextColor(KwSysColor(m_nTextColor).GetRealColor());
    if (IsColorIndex(m_nBackColor)) {
        const KwSysColor coBack(m_nBackColor);
        KwBrush coBrush(coBack, 1, 0);
        coDC.FillRect(coRect, coBrush);
        coDC.SetBkColor(coBack.GetRealColor());
    }
    // The offset moves the whole rectangle: it is narrowed by as much, so
    // that the text is still cut off at the line's right edge.
    KwRect coText(coRect.Left(), coRect.Top(), static_cast<short>(coRect.Right() - nX), coRect.Bottom());
    const KwPoint coOffset(nX, 0);
    coDC.TextOutRect(coText, pszText, -1, LineAlign, LineFormat, &coOffset, TabWidth, 0);
    coDC.SetTextColor(ulOldText);
    coDC.SetBkColor(ulOldBack);
    return 1;
}

// Type-ahead. The search visits every position exactly once, from the one
// after the start in order and round from 0, so that it ends even when the
// start is the last position. It asks a slice of positions at once and
// the rest a slice each tick of a timer, whose messages come after input
// and paint: the list stays responsive however long it is.

int KwListText::Matches(const char* pszSought) const
{
    const char* pszLine = GetListBoxText();
    if (TUtf8::IsOneChar(pszSought)) {
        const size_t nLine = std::strlen(pszLine);
        const size_t nSought = std::strlen(pszSought);
        return TUtf8::SameCharIgnoringCase(pszLine, TUtf8::CharSize(pszLine, nLine), pszSought, nSought);
    }
    return StringInString(pszLine, pszSought) != nullptr;
}

int KwListText::GoTo(char chKey)
{
    const char szKey[2] = { chKey, 0 };
    return GoTo(szKey);
}

int KwListText::GoTo(const char* pszText)
{
    CancelSearch();
    const unsigned long ulRange = GetRange();
    if (!pszText || !*pszText || !ulRange)
        return 0;
    const long lSelected = GetCurrentSel();
    const unsigned long long ullStart = (lSelected >= 0 && IsPosVisible(static_cast<unsigned long>(lSelected)))
        ? static_cast<unsigned long long>(lSelected) + 1 : static_cast<unsigned long long>(GetCurrentPos()) + 1;
    m_coSearch.strSought = pszText;
    m_coSearch.ulNext = static_cast<unsigned long>(ullStart % ulRange);
    m_coSearch.ulLeft = ulRange;
    m_coSearch.ulRange = ulRange;
    m_coSearch.ulOldCurrent = GetCurrentPos();
    if (SearchOn())
        return 1;
    if (IsSearching())
        StartSearchTimer();
    return 0;
}

// One slice of the search: at most SearchSlice positions, and no longer
// than SearchSliceMs; 1 when it found the text (and showed it).
int KwListText::SearchOn()
{
    if (GetRange() != m_coSearch.ulRange || !GetHandle()) {
        CancelSearch();
        return 0;
    }
    using TClock = std::chrono::steady_clock;
    const TClock::time_point tEnd = TClock::now() + std::chrono::milliseconds(SearchSliceMs);
    for (unsigned long ulAsked = 0; IsSearching() && ulAsked < SearchSlice; ++ulAsked) {
        if (ulAsked % 256 == 255 && TClock::now() > tEnd)
            break;
        const unsigned long ulPos = m_coSearch.ulNext;
        m_coSearch.ulNext = ulPos + 1 < m_coSearch.ulRange ? ulPos + 1 : 0;
        --m_coSearch.ulLeft;
        // A list without selection shows its match at the top: one already
        // visible would not move it, so it is passed over.
        if (!IsSelectable() && IsPosVisible(ulPos))
            continue;
        const int nMatch = AskText(ulPos, LineFromDataPos(ulPos)) && Matches(m_coSearch.strSought.c_str());
        ClearText();
        // The owner's link may have destroyed the list or changed its range.
        if (!GetHandle() || GetRange() != m_coSearch.ulRange)
            break;
        if (nMatch) {
            const unsigned long ulOldCurrent = m_coSearch.ulOldCurrent;
            CancelSearch();
            ShowMatch(ulPos, ulOldCurrent);
            return 1;
        }
    }
    if (!IsSearching() || !GetHandle() || GetRange() != m_coSearch.ulRange)
        CancelSearch();
    return 0;
}

void KwListText::ShowMatch(unsigned long ulPos, unsigned long ulOldCurrent)
{
    if (!IsSelectable()) {
        ScrollAbsolute(ulPos, 1);
        return;
    }
    SelectLine(ulPos);
    if (!IsPosVisible(ulPos)) {
        if (ulPos < ulOldCurrent)
            ScrollCurrentToTop(1);
        else
            ScrollCurrentToBottom(1);
    }
}

void KwListText::StartSearchTimer()
{
    if (!m_pcoSearchTimer) {
        m_pcoSearchTimer = std::make_unique<KwTimer>(SearchTick, 0, "LIST_TYPEAHEAD");
        m_pcoSearchTimer->MVC().SetLink("KW_LINK_TIMER", this, &KwListText::LnkSearchTick);
    }
    if (!m_pcoSearchTimer->IsRunning())
        m_pcoSearchTimer->SysCreate();
}

void KwListText::CancelSearch()
{
    m_coSearch = TSearch();
    // Only stopped: the tick that ends the search runs inside the timer.
    if (m_pcoSearchTimer && m_pcoSearchTimer->IsRunning())
        m_pcoSearchTimer->SysDelete();
}

int KwListText::LnkSearchTick(TMvcParam&)
{
    return Guarded(*this, [this] {
        SearchOn();
        return 1;
    });
}

int KwListText::EvKeyPosition(short nIndex)
{
    CancelSearch();
    return KwCtrlList::EvKeyPosition(nIndex);
}

int KwListText::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    CancelSearch();
    return KwCtrlList::EvLButtonDown(coPoint, unKeyFlags);
}

// A key press is a character: its UTF-16 units (two for a character
// beyond the Basic Multilingual Plane) are joined, and the character is
// sought in the framework's text.
int KwListText::EvKeyAscii(unsigned short unChar)
{
    unsigned long ulChar = 0;
    if (!TUtf8::JoinUnit(unChar, m_unPendingUnit, ulChar))
        return 1;
    if (ulChar < 0x20 || ulChar == 0x7F)
        return KwCtrlList::EvKeyAscii(unChar);
    const TString coChar = pcoKwSys ? pcoKwSys->CharText(ulChar) : TString();
    if (!coChar.IsEmpty())
        GoTo(static_cast<const char*>(coChar));
    return 1;
}

// Resources

void KwListText::WriteData(TFile& coFile) const
{
    KwCtrlList::WriteData(coFile);
    TResShort(VarTextDistance, m_nTextDistance).Write(coFile);
    TResShort(VarTextCenter, m_nTextCenter).Write(coFile);
}

int KwListText::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarTextDistance:
        m_nTextDistance = static_cast<short>(coVar);
        return 1;
    case VarTextCenter:
        m_nTextCenter = static_cast<short>(coVar);
        return 1;
    default:
        return KwCtrlList::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

// Functions called by name: the text, then colours as int.

TDynRet KwListText::DynSetListBoxText(char* pchArgs)
{
    TDynArgs coArgs(pchArgs);
    const char* pszText = coArgs.Next<const char*>();
    const int nColor = coArgs.Next<int>();
    SetListBoxText(pszText, static_cast<short>(nColor), static_cast<short>(coArgs.Next<int>()));
    return 1;
}

TDynRet KwListText::DynSetListBoxTextColor(char* pchArgs)
{
    SetListBoxTextColor(static_cast<short>(TDynArgs(pchArgs).Next<int>()));
    return 1;
}
