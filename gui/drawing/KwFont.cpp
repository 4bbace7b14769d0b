#include "KwFont.h"

#include "KwDC.h"
#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwFont, KwObjGDI, "kw25")

namespace {

enum : short { LogPixelsY = 90 };

} // namespace

KwFont::KwFont(const char* pszTypeface, const char* pszName)
    : KwObjGDI(pszName)
{
    m_coLogFont.SetName(pszTypeface);
}

KwFont::KwFont(const KwFont& coFont, const char* pszName)
    : KwObjGDI(pszName), m_coLogFont(coFont.m_coLogFont)
{
}

KwFont::KwFont(const KwLogFont& coLogFont, const char* pszName)
    : KwObjGDI(pszName), m_coLogFont(coLogFont)
{
}

KwFont::KwFont(const KwFont& coOther)
    : KwObjGDI(coOther), m_coLogFont(coOther.m_coLogFont)
{
}

KwFont& KwFont::operator=(const KwFont& coOther)
{
    if (this == &coOther)
        return *this;
    SysDelete();
    KwObjGDI::operator=(coOther);
    m_coLogFont = coOther.m_coLogFont;
    return *this;
}

void KwFont::SetLogFont(const KwLogFont& coLogFont)
{
    SysDelete();
    m_coLogFont = coLogFont;
}

void KwFont::SetName(const char* pszTypeface)
{
    SysDelete();
    m_coLogFont.SetName(pszTypeface);
}

void KwFont::SetHeight(short nHeight)
{
    SysDelete();
    m_coLogFont.m_nHeight = nHeight;
}

void KwFont::SetBold(int nBold)
{
    SysDelete();
    m_coLogFont.m_unWeight = nBold ? 2 : 1;
}

void KwFont::SetItalic(int nItalic)
{
    SysDelete();
    m_coLogFont.m_nItalic = nItalic ? 1 : 0;
}

void KwFont::SysDelete()
{
    m_nPointSize = -1;
    KwObjGDI::SysDelete();
}

int KwFont::SysCreate(KwDC* pcoDC)
{
    SysDelete();
    if (!*m_coLogFont.GetName() || !pcoKwSys)
        return 0;
    const KwHandle hFont = pcoKwSys->CreateFont(m_coLogFont);
    if (!hFont)
        return 0;
    Connect(hFont);
    if (m_coLogFont.m_nHeight >= 0)
        return 1;
    KwScreenDC coScreen(1);
    KwDC& coDC = pcoDC && pcoDC->IsValid() ? *pcoDC : static_cast<KwDC&>(coScreen);
    const KwHandle hOld = pcoKwSys->SelectObject(coDC.GetHandle(), hFont);
    KwTextMetrics coMetrics;
    const int nMeasured = pcoKwSys->GetTextMetrics(coDC.GetHandle(), coMetrics);
    pcoKwSys->SelectObject(coDC.GetHandle(), hOld);
    if (nMeasured)
        m_coLogFont.m_nHeight = static_cast<short>(coMetrics.lAscent + coMetrics.lDescent);
    return 1;
}

short KwFont::GetPointSize(KwDC* pcoDC)
{
    if (m_nPointSize >= 0)
        return m_nPointSize;
    if (!pcoKwSys)
        return 0;
    KwScreenDC coScreen(1);
    KwDC& coDC = pcoDC && pcoDC->IsValid() ? *pcoDC : static_cast<KwDC&>(coScreen);
    const int nHadFont = GetHandle() != 0;
    if (!nHadFont && !SysCreate(&coDC))
        return 0;
    const KwHandle hOld = pcoKwSys->SelectObject(coDC.GetHandle(), GetHandle());
    KwTextMetrics coMetrics;
    const int nMeasured = pcoKwSys->GetTextMetrics(coDC.GetHandle(), coMetrics);
    const int nPixelsPerInch = pcoKwSys->GetDeviceCaps(coDC.GetHandle(), LogPixelsY);
    pcoKwSys->SelectObject(coDC.GetHandle(), hOld);
    short nPoints = 0;
    if (nMeasured && nPixelsPerInch > 0)
        nPoints = static_cast<short>(72.0 * (coMetrics.lHeight - coMetrics.lInternalLeading) / nPixelsPerInch + 0.5);
    if (!nHadFont)
        SysDelete();
    else
        m_nPointSize = nPoints;
    return nPoints;
}
