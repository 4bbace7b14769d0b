#include "KwPen.h"

#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwPen, KwStyledGDI, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwBrush, KwStyledGDI, "kw25")

unsigned long KwPaintColor::GetRealColor() const
{
    return m_nIsNumber ? KwSysColor(static_cast<short>(m_ulValue)).GetRealColor() : (m_ulValue & 0x00FFFFFFUL);
}

// Pens and brushes

KwStyledGDI& KwStyledGDI::operator=(const KwStyledGDI& coOther)
{
    if (this == &coOther)
        return *this;
    SysDelete();
    KwObjGDI::operator=(coOther);
    m_coColor = coOther.m_coColor;
    m_unStyle = coOther.m_unStyle;
    m_nSecond = coOther.m_nSecond;
    return *this;
}

void KwStyledGDI::SetDescription(unsigned long ulColor, unsigned short unStyle, short nSecond)
{
    SysDelete();
    m_coColor.Set(ulColor);
    m_unStyle = unStyle;
    m_nSecond = nSecond;
}

void KwStyledGDI::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    TResShort(VarStyle, static_cast<short>(m_unStyle)).Write(coFile);
    TResShort(VarSecond, m_nSecond).Write(coFile);
    TResLong(VarColor, static_cast<long>(m_coColor.GetRealColor())).Write(coFile);
}

int KwStyledGDI::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarStyle:
        m_unStyle = static_cast<unsigned short>(coVar);
        return 1;
    case VarSecond:
        m_nSecond = static_cast<short>(coVar);
        return 1;
    case VarColor:
        m_coColor.Set(static_cast<unsigned long>(static_cast<long>(coVar)));
        return 1;
    default:
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

int KwPen::SysCreate()
{
    if (GetHandle())
        return 1;
    const KwHandle hPen = pcoKwSys ? pcoKwSys->CreatePen(GetStyle(), GetWidth(), GetColor()) : 0;
    return hPen && Connect(hPen);
}

KwBrush& KwBrush::operator=(const KwBrush& coOther)
{
    KwStyledGDI::operator=(coOther);
    m_hPattern = coOther.m_hPattern;
    return *this;
}

void KwBrush::SetPattern(KwHandle hBitmap)
{
    SysDelete();
    m_hPattern = hBitmap;
}

int KwBrush::SysCreate()
{
    if (GetHandle())
        return 1;
    const KwHandle hBrush = pcoKwSys ? pcoKwSys->CreateBrush(GetStyle(), GetHatch(), GetColor(), m_hPattern) : 0;
    return hBrush && Connect(hBrush);
}
