#include "KwResBitmap.h"

#include "KwDrawingResources.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwSysBitmap, KwBitmap, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwResBitmap, KwRes, "kw25")

KwResBitmap::KwResBitmap(const char* pszId)
    : KwRes(pszId)
{
    SysCreate();
}

KwResBitmap::KwResBitmap(const char* pszId, const char* pszFile)
{
    SysCreate(pszId, pszFile);
}

KwResBitmap::KwResBitmap(const KwBitmap& coBitmap, TString& coName)
{
    SysCreate(coBitmap, coName);
}

KwResBitmap::KwResBitmap(const KwResBitmap& coOther)
    : KwRes(coOther)
{
    if (coOther.IsValid())
        SysCreate(coOther.GetResId(), static_cast<const char*>(nullptr));
}

KwResBitmap& KwResBitmap::operator=(const KwResBitmap& coOther)
{
    if (this == &coOther)
        return *this;
    SysDelete();
    KwRes::operator=(coOther);
    if (coOther.IsValid())
        SysCreate(coOther.GetResId(), static_cast<const char*>(nullptr));
    return *this;
}

KwResBitmap::~KwResBitmap()
{
    if (!IsDynCppReferenceObject())
        Release();
}

void KwResBitmap::Release()
{
    KwSysBitmap* pcoBitmap = m_pcoBitmap;
    m_pcoBitmap = nullptr;
    KwDrawingResources* pcoManager = KwDrawingResources::Current();
    if (pcoBitmap && pcoManager)
        pcoManager->ReleaseBitmap(pcoBitmap->GetResId());
}

int KwResBitmap::SysCreate()
{
    return SysCreate(TString(GetResId()), static_cast<const char*>(nullptr));
}

int KwResBitmap::SysCreate(const char* pszId, const char* pszFile)
{
    return Acquire(pszId, [pszFile](KwDrawingResources& coManager, const TString& coId) { return coManager.GetBitmap(coId, pszFile); });
}

int KwResBitmap::SysCreate(const char* pszId, KwFileHdl* pcoFileHdl)
{
    return Acquire(pszId, [pcoFileHdl](KwDrawingResources& coManager, const TString& coId) { return coManager.GetBitmap(coId, pcoFileHdl); });
}

int KwResBitmap::Acquire(const char* pszId, const std::function<KwSysBitmap*(KwDrawingResources&, const TString&)>& fnGet)
{
    const TString coId(pszId);
    Release();
    SetResId(coId);
    KwDrawingResources* pcoManager = KwDrawingResources::Current();
    if (coId.IsEmpty() || !pcoManager)
        return 0;
    m_pcoBitmap = fnGet(*pcoManager, coId);
    return m_pcoBitmap != nullptr;
}

int KwResBitmap::SysCreate(const KwBitmap& coBitmap, TString& coId)
{
    Release();
    KwDrawingResources* pcoManager = KwDrawingResources::Current();
    m_pcoBitmap = pcoManager ? pcoManager->MakeSysBitmap(coBitmap, coId) : nullptr;
    SetResId(m_pcoBitmap ? static_cast<const char*>(coId) : nullptr);
    return m_pcoBitmap != nullptr;
}

void KwResBitmap::SysDelete()
{
    Release();
    SetResId(nullptr);
}

int KwResBitmap::IsValid() const
{
    return m_pcoBitmap && m_pcoBitmap->IsValid();
}

TString KwResBitmap::GetFileName() const
{
    return m_pcoBitmap ? m_pcoBitmap->GetFileName() : TString();
}

short KwResBitmap::Width() const
{
    return m_pcoBitmap ? m_pcoBitmap->GetSize().Width() : 0;
}

short KwResBitmap::Height() const
{
    return m_pcoBitmap ? m_pcoBitmap->GetSize().Height() : 0;
}

void KwResBitmap::ForgetBitmap(const KwSysBitmap* pcoBitmap)
{
    if (m_pcoBitmap == pcoBitmap)
        m_pcoBitmap = nullptr;
}

int KwResBitmap::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwRes::NotifyReadFinished(pcoParent, ulIndex);
    SysCreate();
    return 0;
}
