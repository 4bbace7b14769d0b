#include "KwWndBase.h"

#include "KwMessages.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwWndBase, KwRes, "kw25")

KwWndBase::KwWndBase(const char* pszName, unsigned long ulStyle, unsigned long ulExStyle, const KwPoint& coPos,
                     const KwSize& coSize, short nColBack, short nColFore, short nColBord, const char* pszText)
    : KwRes(pszName)
    , m_ulStyle(ulStyle)
    , m_ulExStyle(ulExStyle)
    , m_coPos(coPos)
    , m_coSize(coSize)
    , m_coColBord(nColBord)
    , m_coColBack(nColBack)
    , m_coColFore(nColFore)
{
    SetInitText(pszText);
}

KwWndBase::KwWndBase(const KwWndBase& coOther)
    : KwRes(coOther)
    , m_unLook(coOther.m_unLook)
    , m_lUserValue(coOther.m_lUserValue)
    , m_coExtra(coOther.m_coExtra)
    , m_ulStyle(coOther.GetStyle())
    , m_ulExStyle(coOther.GetExStyle())
    , m_coInitText(coOther.m_coInitText)
    , m_coPos(coOther.GetPos())
    , m_coSize(coOther.GetSize())
    , m_coColBord(coOther.m_coColBord)
    , m_coColBack(coOther.m_coColBack)
    , m_coColFore(coOther.m_coColFore)
    , m_coColShadowLight(coOther.m_coColShadowLight)
    , m_coColShadowDark(coOther.m_coColShadowDark)
    , m_coColShadowMedium(coOther.m_coColShadowMedium)
{
}

void KwWndBase::SetLook(unsigned short unFlag, int nOn)
{
    if (nOn)
        m_unLook |= unFlag;
    else
        m_unLook &= static_cast<unsigned short>(~unFlag);
}

void KwWndBase::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    TResString(VarExtra, m_coExtra).Write(coFile);
    TResLong(VarStyle, static_cast<long>(static_cast<std::int32_t>(m_ulStyle))).Write(coFile);
    TResLong(VarExStyle, static_cast<long>(static_cast<std::int32_t>(m_ulExStyle))).Write(coFile);
    TResShort(VarPosX, m_coPos.X()).Write(coFile);
    TResShort(VarPosY, m_coPos.Y()).Write(coFile);
    TResShort(VarWidth, m_coSize.Width()).Write(coFile);
    TResShort(VarHeight, m_coSize.Height()).Write(coFile);
    TResShort(VarColBord, m_coColBord.GetIndex()).Write(coFile);
    TResShort(VarColBack, m_coColBack.GetIndex()).Write(coFile);
    TResShort(VarColFore, m_coColFore.GetIndex()).Write(coFile);
    TResShort(VarLook, static_cast<short>(m_unLook)).Write(coFile);
    TResString(VarInitText, m_coInitText).Write(coFile);
    TResShort(VarShadowLight, m_coColShadowLight.GetIndex()).Write(coFile);
    TResShort(VarShadowDark, m_coColShadowDark.GetIndex()).Write(coFile);
    TResLong(VarUserValue, static_cast<long>(m_lUserValue)).Write(coFile);
    TResShort(VarShadowMedium, m_coColShadowMedium.GetIndex()).Write(coFile);
}

int KwWndBase::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return 1;
    const short nShort = static_cast<short>(coVar);
    switch (coVar.MyId()) {
    case VarExtra:
        m_coExtra = coVar.AsText();
        return 1;
    case VarStyle:
        m_ulStyle = static_cast<unsigned long>(static_cast<std::uint32_t>(static_cast<long>(coVar))) & ~KwStyle::Disabled;
        return 1;
    case VarExStyle:
        m_ulExStyle = static_cast<unsigned long>(static_cast<std::uint32_t>(static_cast<long>(coVar)));
        return 1;
    case VarIgnored:
        return 1;
    case VarPosX:
        m_coPos.SetX(nShort);
        return 1;
    case VarPosY:
        m_coPos.SetY(nShort);
        return 1;
    case VarWidth:
        m_coSize.SetWidth(nShort);
        return 1;
    case VarHeight:
        m_coSize.SetHeight(nShort);
        return 1;
    case VarColBord:
        m_coColBord.SetIndex(nShort);
        return 1;
    case VarColBack:
        m_coColBack.SetIndex(nShort);
        return 1;
    case VarColFore:
        m_coColFore.SetIndex(nShort);
        return 1;
    case VarLook:
        m_unLook = static_cast<unsigned short>(nShort);
        return 1;
    case VarInitText:
        SetInitText(coVar.AsText());
        return 1;
    case VarShadowLight:
        m_coColShadowLight.SetIndex(nShort);
        return 1;
    case VarShadowDark:
        m_coColShadowDark.SetIndex(nShort);
        return 1;
    case VarUserValue:
        m_lUserValue = static_cast<std::int32_t>(static_cast<long>(coVar));
        return 1;
    case VarShadowMedium:
        m_coColShadowMedium.SetIndex(nShort);
        return 1;
    default:
        return 0;
    }
}
