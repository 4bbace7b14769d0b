#include "KwCntText.h"

#include "KwApp.h"
#include "KwDC.h"
#include "KwFont.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWChild.h"
#include "KwWnd.h"
#include "TFile.h"
#include "TResVar.h"
#include "TUtf8.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(KwCntText, KwContent, "kcnt")

namespace {

enum : int { BkModeTransparent = 1 };
enum : unsigned short { TabWidth = 8 };

const KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

unsigned long AppColor(short nIndex)
{
    return KwSysColor(nIndex).GetRealColor();
}

std::unique_ptr<KwFont> CopyFont(const KwFont& coFont)
{
    std::unique_ptr<KwFont> pcoCopy(new KwFont(coFont));
    pcoCopy->SysCreate(nullptr);
    return pcoCopy;
}

} // namespace

KwCntText::KwCntText(const char* pszText, unsigned short unAlign, KwWnd* pcoWnd)
    : KwContent(unAlign, pcoWnd), m_coText(pszText)
{
}

KwCntText::KwCntText(const KwCntText& coOther)
    : KwContent(coOther), m_coText(coOther.m_coText), m_nLineDist(coOther.m_nLineDist)
{
    if (coOther.m_pcoOwnFont)
        m_pcoOwnFont = CopyFont(*coOther.m_pcoOwnFont);
}

KwCntText& KwCntText::operator=(const KwCntText& coOther)
{
    if (this == &coOther)
        return *this;
    KwContent::operator=(coOther);
    m_coText = coOther.m_coText;
    m_nLineDist = coOther.m_nLineDist;
    m_pcoOwnFont = coOther.m_pcoOwnFont ? CopyFont(*coOther.m_pcoOwnFont) : nullptr;
    return *this;
}

KwCntText::~KwCntText() = default;

// Text

int KwCntText::SetText(const char* pszText)
{
    const char* pszNew = pszText ? pszText : "";
    if (m_coText == pszNew)
        return 1;
    KwWnd* pcoWnd = GetWindow();
    if (pcoWnd && !pcoWnd->EvTextWillChange(pszNew))
        return 0;
    m_coText = pszText;
    if (pcoWnd) {
        pcoWnd->EvTextHasChanged(pszNew);
        pcoWnd->Invalidate(1);
    }
    return 1;
}

int KwCntText::SetTextFt(const char* pszFormat, ...)
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
    return SetText(szBuffer);
}

short KwCntText::GetText(char* pszBuffer, short nSize) const
{
    if (!pszBuffer || nSize <= 0)
        return 0;
    const int nCopy = static_cast<int>(TUtf8::Fit(m_coText, static_cast<size_t>(m_coText.Strlen()), static_cast<size_t>(nSize - 1)));
    std::memcpy(pszBuffer, static_cast<const char*>(m_coText), static_cast<size_t>(nCopy));
    pszBuffer[nCopy] = 0;
    return static_cast<short>(nCopy);
}

int KwCntText::SetContent(const char* pszContent)
{
    SetText(pszContent);
    return 1;
}

char KwCntText::GetCharUnderlined() const
{
    const char* pszText = m_coText;
    for (const char* p = pszText; *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(p[1])));
    }
    return 0;
}

void KwCntText::SetPercentLineDist(short nPercent, int nRedraw)
{
    m_nLineDist = nPercent;
    Redraw(nRedraw);
}

void KwCntText::Redraw(int nRedraw) const
{
    if (nRedraw && GetWindow())
        GetWindow()->Invalidate(1);
}

// Fonts

void KwCntText::SetOwnFont(const KwFont& coFont, int nRedraw)
{
    m_pcoOwnFont = CopyFont(coFont);
    UseOwnFont(nRedraw);
}

void KwCntText::UseOwnFont(int nRedraw)
{
    if (GetWindow())
        GetWindow()->SetResFont(-1, 0);
    Redraw(nRedraw);
}

void KwCntText::UseResFont(short nFont, int nRedraw)
{
    if (GetWindow())
        GetWindow()->SetResFont(nFont, 0);
    Redraw(nRedraw);
}

void KwCntText::UseDefaultFont(int nRedraw)
{
    m_pcoOwnFont.reset();
    UseOwnFont(nRedraw);
}

const KwFont* KwCntText::GetUsedFont() const
{
    const KwWnd* pcoWnd = GetWindow();
    if (pcoWnd && pcoWnd->GetResFont() >= 0)
        return &pcoWnd->GetUsedFont();
    if (m_pcoOwnFont)
        return m_pcoOwnFont.get();
    return KwContent::GetUsedFont();
}

const KwFont* KwCntText::SelectUsedFont(KwDC& coDC) const
{
    const KwFont* pcoFont = GetUsedFont();
    if (!pcoFont)
        return coDC.GetFont();
    if (!pcoFont->GetHandle())
        const_cast<KwFont*>(pcoFont)->SysCreate(&coDC);
    return coDC.SelectObject(pcoFont);
}

short KwCntText::LineSpacing(KwDC& coDC) const
{
    const short nHeight = coDC.GetTextExtent("A", 1).Height();
    return static_cast<short>(nHeight * m_nLineDist * 0.01);
}

// Painting and layout

int KwCntText::Paint(KwDC& coDC, const KwRect* pcoRect)
{
    KwWnd* pcoWnd = GetWindow();
    if (!pcoWnd || m_coText.IsEmpty())
        return 0;
    const KwApp* pcoApp = App();
    unsigned long ulText = pcoWnd->GetColFore().GetRealColor();
    if (IsGrayed() && pcoApp)
        ulText = AppColor(pcoApp->GetColForeGrayed());
    const KwWChild* pcoChild = pcoWnd->IsChildWindow() ? dynamic_cast<const KwWChild*>(pcoWnd) : nullptr;
    const int nHighlight = pcoChild && pcoChild->IsSelected() && pcoApp;
    const unsigned long ulOldBack = coDC.GetBkColor();
    if (nHighlight) {
        if (!IsGrayed())
            ulText = AppColor(pcoApp->GetColForeHighLight());
        // The background shows only where the text stands.
        const unsigned long ulBack = AppColor(pcoApp->GetColBackHighLight());
        coDC.SetBkColor(ulBack);
        KwBrush coBrush(ulBack, 1, 0);
        coDC.FillRect(CalcCurrentRect(coDC), coBrush);
    }
    const unsigned long ulOldText = coDC.SetTextColor(ulText);
    const KwFont* pcoOldFont = SelectUsedFont(coDC);
    const int nOldMode = coDC.SetBkMode(BkModeTransparent);
    KwRect coRect = pcoRect ? *pcoRect : pcoWnd->CalcContentRect();
    const KwPoint coMove = GetMove();
    coDC.TextOutRect(coRect, m_coText, -1, GetCenter(), FormatPaint, &coMove, TabWidth, LineSpacing(coDC));
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
    coDC.SetTextColor(ulOldText);
    if (nHighlight)
        coDC.SetBkColor(ulOldBack);
    return 1;
}

KwRect KwCntText::CalcCurrentRect(KwDC& coDC) const
{
    const KwWnd* pcoWnd = GetWindow();
    if (!pcoWnd || m_coText.IsEmpty())
        return KwContent::CalcCurrentRect(coDC);
    const KwFont* pcoOldFont = SelectUsedFont(coDC);
    KwRect coRect = pcoWnd->CalcContentRect();
    const KwPoint coMove = GetMove();
    coDC.TextOutRect(coRect, m_coText, -1, GetCenter(), FormatMeasure, &coMove, TabWidth, LineSpacing(coDC));
    coDC.SelectObject(pcoOldFont);
    return coRect;
}

KwSize KwCntText::CalcCurrentSize(KwDC& coDC) const
{
    if (m_coText.IsEmpty())
        return KwSize();
    const KwFont* pcoOldFont = SelectUsedFont(coDC);
    const KwSize coExtent = coDC.GetTextExtent(m_coText, -1);
    const int nSpacing = static_cast<int>(coExtent.Height() * m_nLineDist * 0.01);
    coDC.SelectObject(pcoOldFont);
    int nLines = 1;
    for (const char* p = m_coText; *p; ++p)
        nLines += *p == '\n';
    const int nHeight = nLines * coExtent.Height() + (nLines - 1) * nSpacing;
    return KwSize(coExtent.Width(), KwPair::Wrap(nHeight));
}

KwRect KwCntText::CalcFocusRect(KwDC& coDC) const
{
    KwRect coRect = CalcCurrentRect(coDC);
    coRect.Resize(1);
    return coRect;
}

// Resources

void KwCntText::WriteData(TFile& coFile) const
{
    KwContent::WriteData(coFile);
    TResString(VarText, m_coText).Write(coFile);
    TResShort(VarLineDist, m_nLineDist).Write(coFile);
}

void KwCntText::WriteChildren(TFile& coFile) const
{
    KwContent::WriteChildren(coFile);
    if (m_pcoOwnFont)
        m_pcoOwnFont->WriteResource(coFile);
}

int KwCntText::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarText:
        m_coText = coVar.AsText();
        return 1;
    case VarLineDist:
        m_nLineDist = static_cast<short>(coVar);
        return 1;
    default:
        return KwContent::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

int KwCntText::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (!pcoChild || pcoChild->IsDummyResource() || !pcoChild->IsClassFamily("KwFont"))
        return KwContent::NotifyChildFullReadFinished(pcoChild, ulIndex);
    m_pcoOwnFont.reset(static_cast<KwFont*>(pcoChild));
    if (!m_pcoOwnFont->GetHandle())
        m_pcoOwnFont->SysCreate(nullptr);
    return 1;
}
