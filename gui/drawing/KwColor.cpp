#include "KwColor.h"

#include "KwColorTable.h"
#include "KwDrawingResources.h"
#include "KwGdiTypes.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwColor, KwRes, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwSysColor, KwRes, "kw25")

KwColor::KwColor(unsigned char bRed, unsigned char bGreen, unsigned char bBlue, const char* pszName)
    : KwRes(pszName)
{
    Set(bRed, bGreen, bBlue);
}

KwColor& KwColor::operator=(const KwColor& coOther)
{
    KwRes::operator=(coOther);
    m_ulValue = coOther.m_ulValue;
    return *this;
}

void KwColor::Set(unsigned char bRed, unsigned char bGreen, unsigned char bBlue)
{
    m_ulValue = (m_ulValue & TransparentBit) | KwRGB(bRed, bGreen, bBlue);
}

unsigned long KwColor::Change(unsigned long ulValue)
{
    const unsigned long ulOld = m_ulValue;
    m_ulValue = ulValue;
    return ulOld;
}

unsigned long KwColor::Change(unsigned char bRed, unsigned char bGreen, unsigned char bBlue)
{
    const unsigned long ulOld = m_ulValue;
    Set(bRed, bGreen, bBlue);
    return ulOld;
}

void KwColor::SetTransparent(int nOn)
{
    if (nOn)
        m_ulValue |= TransparentBit;
    else
        m_ulValue &= ~TransparentBit;
}

void KwColor::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    TResLong(VarValue, static_cast<long>(m_ulValue)).Write(coFile);
}

int KwColor::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() != VarValue)
        return KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex);
    m_ulValue = static_cast<unsigned long>(static_cast<long>(coVar)) & 0xFFFFFFFFUL;
    return 1;
}

KwSysColor& KwSysColor::operator=(const KwSysColor& coOther)
{
    KwRes::operator=(coOther);
    m_nIndex = coOther.m_nIndex;
    return *this;
}

short KwSysColor::ChgIndex(short nIndex)
{
    const short nOld = m_nIndex;
    m_nIndex = nIndex;
    return nOld;
}

const KwColor& KwSysColor::GetKwColor() const
{
    const KwDrawingResources* pcoResources = KwDrawingResources::Current();
    const KwColorTable* pcoTable = pcoResources ? pcoResources->ActColorTable() : nullptr;
    return (pcoTable ? *pcoTable : KwColorTable::Default()).GetColor(m_nIndex);
}

void KwSysColor::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    TResShort(VarIndex, m_nIndex).Write(coFile);
}

int KwSysColor::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() != VarIndex)
        return KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex);
    m_nIndex = static_cast<short>(coVar);
    return 1;
}
