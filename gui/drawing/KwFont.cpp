#include "KwFont.h"

#include "KwDC.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

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

// Resources

void KwFont::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    const KwLogFont& co = m_coLogFont;
    TResString(VarAdditional, co.GetAdditional()).Write(coFile);
    TResString(VarName, co.GetName()).Write(coFile);
    TResShort(VarHeight, co.m_nHeight).Write(coFile);
    TResShort(VarFurther1, co.m_anFurther[0]).Write(coFile);
    TResShort(VarWidth, co.m_nWidth).Write(coFile);
    TResShort(VarEscapement, co.m_nEscapement).Write(coFile);
    TResShort(VarOrientation, co.m_nOrientation).Write(coFile);
    TResShort(VarWeight, static_cast<short>(co.m_unWeight)).Write(coFile);
    TResShort(VarItalic, static_cast<short>(co.m_nItalic)).Write(coFile);
    TResShort(VarUnderline, static_cast<short>(co.m_nUnderline)).Write(coFile);
    TResShort(VarStrikeOut, static_cast<short>(co.m_nStrikeOut)).Write(coFile);
    TResShort(VarCharSet, static_cast<short>(co.m_unCharSet)).Write(coFile);
    TResShort(VarPitch, static_cast<short>(co.m_unPitch)).Write(coFile);
    TResShort(VarFamily, static_cast<short>(co.m_unFamily)).Write(coFile);
    TResShort(VarFurther2, co.m_anFurther[1]).Write(coFile);
    TResShort(VarFurther3, co.m_anFurther[2]).Write(coFile);
    TResShort(VarFurther4, co.m_anFurther[3]).Write(coFile);
}

int KwFont::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    const unsigned short unId = coVar.MyId();
    if (unId < VarName || unId > VarFurther4)
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    SysDelete();
    KwLogFont& co = m_coLogFont;
    const short nValue = static_cast<short>(coVar);
    switch (unId) {
    case VarName:
        // Cut to the description's room, never beyond.
        co.SetName(coVar.AsText());
        break;
    case VarAdditional:
        co.SetAdditional(coVar.AsText());
        break;
    case VarHeight: co.m_nHeight = nValue; break;
    case VarWidth: co.m_nWidth = nValue; break;
    case VarEscapement: co.m_nEscapement = nValue; break;
    case VarOrientation: co.m_nOrientation = nValue; break;
    case VarWeight:
        co.m_unWeight = static_cast<unsigned short>(nValue >= 700 ? 2 : (nValue >= 100 ? 1 : nValue));
        break;
    case VarItalic: co.m_nItalic = nValue != 0; break;
    case VarUnderline: co.m_nUnderline = nValue != 0; break;
    case VarStrikeOut: co.m_nStrikeOut = nValue != 0; break;
    case VarCharSet: co.m_unCharSet = static_cast<unsigned short>(nValue); break;
    // The pitch codes that are written (0 to 2) come back as they were.
    case VarPitch: co.m_unPitch = static_cast<unsigned short>(nValue >= 0 && nValue <= 2 ? nValue : 0); break;
    case VarFamily: co.m_unFamily = static_cast<unsigned short>(nValue >= 6 || nValue < 0 ? 0 : nValue); break;
    case VarFurther1: co.m_anFurther[0] = nValue; break;
    case VarFurther2: co.m_anFurther[1] = nValue; break;
    case VarFurther3: co.m_anFurther[2] = nValue; break;
    case VarFurther4: co.m_anFurther[3] = nValue; break;
    default: break;   // 5060 to 5062: accepted and ignored
    }
    return 1;
}
