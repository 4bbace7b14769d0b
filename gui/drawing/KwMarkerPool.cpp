#include "KwMarkerPool.h"

#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwMarkerPool, KwRes, "kw25")

KwMarkerPool::KwMarkerPool(const KwMarkerPool& coOther)
    : KwRes(coOther)
{
    *this = coOther;
}

KwMarkerPool& KwMarkerPool::operator=(const KwMarkerPool& coOther)
{
    if (this == &coOther)
        return *this;
    KwRes::operator=(coOther);
    m_ulTransparent = coOther.m_ulTransparent;
    m_nUseTransparent = coOther.m_nUseTransparent;
    m_coEntries.clear();
    for (const auto& pcoEntry : coOther.m_coEntries) {
        if (pcoEntry->IsValid())
            m_coEntries.push_back(std::make_unique<KwResBitmap>(*pcoEntry));
        else
            m_coEntries.push_back(std::make_unique<KwResBitmap>());
    }
    return *this;
}

KwResBitmap* KwMarkerPool::operator[](short nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_coEntries[static_cast<size_t>(nIndex)].get() : nullptr;
}

int KwMarkerPool::Insert(short nIndex, const char* pszId)
{
    if (!pszId || !*pszId || nIndex < 0 || nIndex > GetCount())
        return 0;
    auto pcoEntry = std::make_unique<KwResBitmap>();
    if (!pcoEntry->SysCreate(pszId, static_cast<const char*>(nullptr)))
        return 0;
    m_coEntries.insert(m_coEntries.begin() + nIndex, std::move(pcoEntry));
    return 1;
}

int KwMarkerPool::InsertEmptyBitmap(short nIndex)
{
    if (nIndex < 0 || nIndex > GetCount())
        return 0;
    m_coEntries.insert(m_coEntries.begin() + nIndex, std::make_unique<KwResBitmap>());
    return 1;
}

int KwMarkerPool::Change(short nIndex, const char* pszId)
{
    KwResBitmap* pcoEntry = (*this)[nIndex];
    if (!pcoEntry)
        return 0;
    if (pszId && *pszId)
        pcoEntry->SysCreate(pszId, static_cast<const char*>(nullptr));
    else
        pcoEntry->SysDelete();
    return 1;
}

int KwMarkerPool::Remove(short nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return 0;
    m_coEntries.erase(m_coEntries.begin() + nIndex);
    return 1;
}

void KwMarkerPool::ForgetBitmap(const KwSysBitmap* pcoBitmap)
{
    for (auto& pcoEntry : m_coEntries)
        pcoEntry->ForgetBitmap(pcoBitmap);
}

int KwMarkerPool::NotifyReadBegin()
{
    m_coEntries.clear();
    m_ulTransparent = 0;
    m_nUseTransparent = 0;
    KwRes::NotifyReadBegin();
    return 1;
}

void KwMarkerPool::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    for (const auto& pcoEntry : m_coEntries)
        TResString(VarEntry, pcoEntry->GetResId().IsEmpty() ? nullptr : static_cast<const char*>(pcoEntry->GetResId())).Write(coFile);
    TResLong(VarTransparentColor, static_cast<long>(m_ulTransparent)).Write(coFile);
    TResShort(VarUseTransparent, static_cast<short>(m_nUseTransparent)).Write(coFile);
}

int KwMarkerPool::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarEntry: {
        // A pool holds a few marks; a record with more is not a pool's.
        if (m_coEntries.size() >= MaxEntries)
            return 1;
        auto pcoEntry = std::make_unique<KwResBitmap>();
        const TString coId = coVar.AsText();
        if (!coId.IsEmpty())
            pcoEntry->SysCreate(coId, static_cast<const char*>(nullptr));
        m_coEntries.push_back(std::move(pcoEntry));
        return 1;
    }
    case VarTransparentColor:
        m_ulTransparent = static_cast<unsigned long>(static_cast<long>(coVar)) & 0xFFFFFFFFUL;
        return 1;
    case VarUseTransparent:
        m_nUseTransparent = static_cast<short>(coVar) != 0;
        return 1;
    default:
        return KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
