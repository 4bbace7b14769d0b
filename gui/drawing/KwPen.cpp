#include "KwPen.h"

#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwPen, KwObjGDI, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwBrush, KwObjGDI, "kw25")

unsigned long KwPaintColor::GetRealColor() const
{
    return m_nIsNumber ? KwSysColor(static_cast<short>(m_ulValue)).GetRealColor() : (m_ulValue & 0x00FFFFFFUL);
}

// Pens

KwPen::KwPen(unsigned long ulColor, unsigned short unStyle, short nWidth)
    : m_coColor(ulColor), m_unStyle(unStyle), m_nWidth(nWidth)
{
}

KwPen::KwPen(const KwSysColor& coColor, unsigned short unStyle, short nWidth)
    : m_coColor(coColor), m_unStyle(unStyle), m_nWidth(nWidth)
{
}

KwPen::KwPen(const KwPen& coOther)
    : KwObjGDI(coOther), m_coColor(coOther.m_coColor), m_unStyle(coOther.m_unStyle), m_nWidth(coOther.m_nWidth)
{
}

KwPen& KwPen::operator=(const KwPen& coOther)
{
    if (this == &coOther)
        return *this;
    SysDelete();
    KwObjGDI::operator=(coOther);
    m_coColor = coOther.m_coColor;
    m_unStyle = coOther.m_unStyle;
    m_nWidth = coOther.m_nWidth;
    return *this;
}

void KwPen::Set(unsigned long ulColor, unsigned short unStyle, short nWidth)
{
    SysDelete();
    m_coColor.Set(ulColor);
    m_unStyle = unStyle;
    m_nWidth = nWidth;
}

int KwPen::SysCreate()
{
    if (GetHandle())
        return 1;
    const KwHandle hPen = pcoKwSys ? pcoKwSys->CreatePen(m_unStyle, m_nWidth, m_coColor.GetRealColor()) : 0;
    return hPen && Connect(hPen);
}

void KwPen::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    TResShort(VarStyle, static_cast<short>(m_unStyle)).Write(coFile);
    TResShort(VarWidth, m_nWidth).Write(coFile);
    TResLong(VarColor, static_cast<long>(m_coColor.GetRealColor())).Write(coFile);
}

int KwPen::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarStyle:
        m_unStyle = static_cast<unsigned short>(coVar);
        return 1;
    case VarWidth:
        m_nWidth = static_cast<short>(coVar);
        return 1;
    case VarColor:
        m_coColor.Set(static_cast<unsigned long>(static_cast<long>(coVar)));
        return 1;
    default:
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

// Brushes

KwBrush::KwBrush(unsigned long ulColor, unsigned short unStyle, short nHatch)
    : m_coColor(ulColor), m_unStyle(unStyle), m_nHatch(nHatch)
{
}

KwBrush::KwBrush(const KwSysColor& coColor, unsigned short unStyle, short nHatch)
    : m_coColor(coColor), m_unStyle(unStyle), m_nHatch(nHatch)
{
}

KwBrush::KwBrush(const KwBrush& coOther)
    : KwObjGDI(coOther), m_coColor(coOther.m_coColor), m_unStyle(coOther.m_unStyle), m_nHatch(coOther.m_nHatch)
    , m_hPattern(coOther.m_hPattern)
{
}

KwBrush& KwBrush::operator=(const KwBrush& coOther)
{
    if (this == &coOther)
        return *this;
    SysDelete();
    KwObjGDI::operator=(coOther);
    m_coColor = coOther.m_coColor;
    m_unStyle = coOther.m_unStyle;
    m_nHatch = coOther.m_nHatch;
    m_hPattern = coOther.m_hPattern;
    return *this;
}

void KwBrush::Set(unsigned long ulColor, unsigned short unStyle, short nHatch)
{
    SysDelete();
    m_coColor.Set(ulColor);
    m_unStyle = unStyle;
    m_nHatch = nHatch;
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
    const KwHandle hBrush = pcoKwSys ? pcoKwSys->CreateBrush(m_unStyle, m_nHatch, m_coColor.GetRealColor(), m_hPattern) : 0;
    return hBrush && Connect(hBrush);
}

void KwBrush::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    TResShort(VarStyle, static_cast<short>(m_unStyle)).Write(coFile);
    TResShort(VarHatch, m_nHatch).Write(coFile);
    TResLong(VarColor, static_cast<long>(m_coColor.GetRealColor())).Write(coFile);
}

int KwBrush::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarStyle:
        m_unStyle = static_cast<unsigned short>(coVar);
        return 1;
    case VarHatch:
        m_nHatch = static_cast<short>(coVar);
        return 1;
    case VarColor:
        m_coColor.Set(static_cast<unsigned long>(static_cast<long>(coVar)));
        return 1;
    default:
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
