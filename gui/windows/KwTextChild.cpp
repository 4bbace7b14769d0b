#include "KwTextChild.h"

#include "KwDC.h"
#include "KwFont.h"
#include "TArray.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>

KW_IMPLEMENT_DYNAMIC_CLASS(KwTextChild, KwWChild, "kw25")

namespace {

enum : short { ColorGray = 8 };
enum : unsigned short { FormatMeasure = 0x10, FormatHotKeys = 0x04 };

} // namespace

KwTextChild::KwTextChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText)
    : KwWChild(pszName, coPos, coSize, 0, 15, 0)
{
    SetInitText(pszText);
}

void KwTextChild::SetAlign(unsigned short unAlign, int nRedraw)
{
    m_unAlign = unAlign;
    Redraw(nRedraw);
}

void KwTextChild::SetFormat(unsigned short unFormat, int nRedraw)
{
    m_unFormat = unFormat;
    Redraw(nRedraw);
}

int KwTextChild::SetText(const char* pszText)
{
    const int nResult = KwWChild::SetText(pszText);
    Redraw(1);
    return nResult;
}

int KwTextChild::NotifyEnabled(int nEnabled)
{
    Redraw(1);
    return KwWChild::NotifyEnabled(nEnabled);
}

KwSize KwTextChild::MeasureText() const
{
    KwScreenDC coScreen(1);
    const KwFont* pcoOld = coScreen.SelectObject(&GetUsedFont());
    const TString coText = GetText();
    KwRect coRect = coScreen.CalcTextOutRect(KwPoint(), coText, -1, 0x11, (m_unFormat & FormatHotKeys) != 0);
    coScreen.SelectObject(pcoOld);
    return KwSize(coRect.Width(), coRect.Height());
}

int KwTextChild::EvPaint(KwPaintDC& coDC)
{
    KwWChild::EvPaint(coDC);
    const TString coText = GetText();
    if (coText.IsEmpty())
        return 1;
    KwRect coRect = CalcContentRect();
    const KwFont* pcoOldFont = coDC.SelectObject(&GetUsedFont());
    const int nOldMode = coDC.SetBkMode(1);
    const unsigned long ulColor = IsEnabled() ? GetColFore().GetRealColor() : KwSysColor(ColorGray).GetRealColor();
    const unsigned long ulOldColor = coDC.SetTextColor(ulColor);
    coDC.TextOutRect(coRect, coText, -1, m_unAlign, static_cast<unsigned short>(m_unFormat & ~FormatMeasure));
    coDC.SetTextColor(ulOldColor);
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
    return 1;
}

void KwTextChild::WriteData(TFile& coFile) const
{
    KwWChild::WriteData(coFile);
    TResShort(VarAlign, static_cast<short>(m_unAlign)).Write(coFile);
    TResShort(VarFormat, static_cast<short>(m_unFormat)).Write(coFile);
}

int KwTextChild::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarAlign:
        m_unAlign = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarFormat:
        m_unFormat = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    default:
        return KwWChild::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
