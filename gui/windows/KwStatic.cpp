#include "KwStatic.h"

#include "KwDC.h"
#include "KwFont.h"
#include "KwSystem.h"
#include "KwWndApp.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwStatic, KwWChild, "kw25")

namespace {

enum : short { ColorGray = 8 };
enum : unsigned short { FormatMeasure = 0x10, FormatHotKeys = 0x04 };

} // namespace

KwStatic::KwStatic(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText)
    : KwWChild(pszName, coPos, coSize, 0, 15, 0)
{
    SetInitText(pszText);
}

KwStatic::KwStatic(const KwStatic& coOther)
    : KwWChild(coOther)
    , m_unAlign(coOther.m_unAlign)
    , m_unFormat(coOther.m_unFormat)
    , m_coPictureId(coOther.m_coPictureId)
    , m_unPictureFlags(coOther.m_unPictureFlags)
    , m_ulTransparent(coOther.m_ulTransparent)
    , m_coDib(coOther.m_coDib)
{
}

void KwStatic::SetAlign(unsigned short unAlign, int nRedraw)
{
    m_unAlign = unAlign;
    Redraw(nRedraw);
}

void KwStatic::SetFormat(unsigned short unFormat, int nRedraw)
{
    m_unFormat = unFormat;
    Redraw(nRedraw);
}

int KwStatic::SetText(const char* pszText)
{
    const int nResult = KwWChild::SetText(pszText);
    Redraw(1);
    return nResult;
}

int KwStatic::NotifyEnabled(int nEnabled)
{
    Redraw(1);
    return KwWChild::NotifyEnabled(nEnabled);
}

KwSize KwStatic::MeasureText() const
{
    KwScreenDC coScreen(1);
    const KwFont* pcoOld = coScreen.SelectObject(&GetUsedFont());
    const TString coText = GetText();
    KwRect coRect = coScreen.CalcTextOutRect(KwPoint(), coText, -1, 0x11, (m_unFormat & FormatHotKeys) != 0);
    coScreen.SelectObject(pcoOld);
    return KwSize(coRect.Width(), coRect.Height());
}

int KwStatic::SetPictureId(const char* pszId, int nRedraw)
{
    m_coPictureId = pszId;
    m_coDib.SysDelete();
    m_coBitmap.SysDelete();
    KwWndApp* pcoApp = KwWndApp::Current();
    if (pcoApp && !m_coPictureId.IsEmpty())
        pcoApp->LoadPicture(m_coPictureId, m_coDib);
    Redraw(nRedraw);
    return m_coDib.IsValid();
}

void KwStatic::SetPictureFlags(unsigned short unFlags, int nRedraw)
{
    m_unPictureFlags = unFlags;
    Redraw(nRedraw);
}

void KwStatic::SetTransparentColor(unsigned long ulColor, int nRedraw)
{
    m_ulTransparent = ulColor & 0xFFFFFFUL;
    m_coBitmap.SysDelete();
    Redraw(nRedraw);
}

int KwStatic::EvPaint(KwPaintDC& coDC)
{
    KwWChild::EvPaint(coDC);
    if (m_coDib.IsValid())
        PaintPicture(coDC);
    else
        PaintText(coDC);
    return 1;
}

void KwStatic::PaintPicture(KwPaintDC& coDC)
{
    const KwRect coArea = CalcContentRect();
    const KwSize coSize = m_coDib.GetSize();
    const KwPoint coCentred(static_cast<short>(coArea.Left() + (coArea.Width() - coSize.Width()) / 2),
                            static_cast<short>(coArea.Top() + (coArea.Height() - coSize.Height()) / 2));
    if (m_unPictureFlags & FlagTransparent) {
        if (!m_coBitmap.IsValid())
            m_coBitmap.SysCreate(m_coDib, &coDC);
        coDC.DrawTransparentBitmap(&m_coBitmap, m_ulTransparent, &coCentred);
    } else if (m_unPictureFlags & FlagStretched) {
        coDC.DrawStretchedDIB(m_coDib, coArea);
    } else {
        coDC.DrawDIB(m_coDib, &coCentred);
    }
}

void KwStatic::PaintText(KwPaintDC& coDC)
{
    const TString coText = GetText();
    if (coText.IsEmpty())
        return;
    KwRect coRect = CalcContentRect();
    const KwFont* pcoOldFont = coDC.SelectObject(&GetUsedFont());
    const int nOldMode = coDC.SetBkMode(1);
    const unsigned long ulColor = IsEnabled() ? GetColFore().GetRealColor() : KwSysColor(ColorGray).GetRealColor();
    const unsigned long ulOldColor = coDC.SetTextColor(ulColor);
    coDC.TextOutRect(coRect, coText, -1, m_unAlign, static_cast<unsigned short>(m_unFormat & ~FormatMeasure));
    coDC.SetTextColor(ulOldColor);
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
}

int KwStatic::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwWChild::NotifyReadFinished(pcoParent, ulIndex);
    if (!m_coPictureId.IsEmpty())
        SetPictureId(TString(m_coPictureId), 0);
    return 0;
}

void KwStatic::WriteData(TFile& coFile) const
{
    KwWChild::WriteData(coFile);
    TResShort(VarAlign, static_cast<short>(m_unAlign)).Write(coFile);
    TResShort(VarFormat, static_cast<short>(m_unFormat)).Write(coFile);
    TResString(VarPictureId, m_coPictureId).Write(coFile);
    TResShort(VarPictureFlags, static_cast<short>(m_unPictureFlags)).Write(coFile);
    TResLong(VarTransparentColor, static_cast<long>(m_ulTransparent)).Write(coFile);
}

int KwStatic::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarAlign:
        m_unAlign = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarFormat:
        m_unFormat = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarPictureId:
        m_coPictureId = coVar.AsText();
        return 1;
    case VarPictureFlags:
        m_unPictureFlags = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarTransparentColor:
        m_ulTransparent = static_cast<unsigned long>(static_cast<long>(coVar)) & 0xFFFFFFUL;
        return 1;
    default:
        return KwWChild::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
