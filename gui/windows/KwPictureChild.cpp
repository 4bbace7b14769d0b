#include "KwPictureChild.h"

#include "KwApp.h"
#include "KwDC.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwPictureChild, KwWChild, "kw25")

KwPictureChild::KwPictureChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszPictureId)
    : KwWChild(pszName, coPos, coSize, 0, 15, 0)
{
    SetPictureId(pszPictureId, 0);
}

KwPictureChild::KwPictureChild(const KwPictureChild& coOther)
    : KwWChild(coOther)
    , m_coPictureId(coOther.m_coPictureId)
    , m_unPictureFlags(coOther.m_unPictureFlags)
    , m_ulTransparent(coOther.m_ulTransparent)
    , m_coDib(coOther.m_coDib)
{
}

int KwPictureChild::SetPictureId(const char* pszId, int nRedraw)
{
    m_coPictureId = pszId;
    m_coDib.SysDelete();
    m_coBitmap.SysDelete();
    KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    if (pcoApp && !m_coPictureId.IsEmpty())
        pcoApp->GetResHdl().LoadCustomDib(m_coPictureId, &m_coDib, nullptr);
    Redraw(nRedraw);
    return m_coDib.IsValid();
}

void KwPictureChild::SetPictureFlags(unsigned short unFlags, int nRedraw)
{
    m_unPictureFlags = unFlags;
    Redraw(nRedraw);
}

void KwPictureChild::SetTransparentColor(unsigned long ulColor, int nRedraw)
{
    m_ulTransparent = ulColor & 0xFFFFFFUL;
    Redraw(nRedraw);
}

int KwPictureChild::EvPaint(KwPaintDC& coDC)
{
    KwWChild::EvPaint(coDC);
    if (!m_coDib.IsValid())
        return 1;
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
    return 1;
}

int KwPictureChild::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwWChild::NotifyReadFinished(pcoParent, ulIndex);
    SetPictureId(TString(m_coPictureId), 0);
    return 0;
}

void KwPictureChild::WriteData(TFile& coFile) const
{
    KwWChild::WriteData(coFile);
    TResString(VarPictureId, m_coPictureId).Write(coFile);
    TResShort(VarPictureFlags, static_cast<short>(m_unPictureFlags)).Write(coFile);
    TResLong(VarTransparentColor, static_cast<long>(m_ulTransparent)).Write(coFile);
}

int KwPictureChild::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarPictureId:
        m_coPictureId = coVar.MyType() == TResVar::TypeString ? static_cast<const char*>(coVar) : nullptr;
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
