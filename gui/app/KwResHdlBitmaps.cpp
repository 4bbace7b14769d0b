// The marker pools and the shared bitmaps of the resource manager.

#include "KwResHdl.h"

#include "KwApp.h"
#include "KwConfig.h"
#include "KwDC.h"
#include "KwFileHdl.h"
#include "KwMarkerPool.h"
#include "KwResBitmap.h"
#include "TCrt.h"

#include <algorithm>

namespace {

int IdLess(const std::unique_ptr<KwSysBitmap>& pcoBitmap, const char* pszId)
{
    return CrtStricmp(pcoBitmap->GetResId(), pszId) < 0;
}

} // namespace

// Marker pools

int KwResHdl::InstallMarkerPool(const KwMarkerPool& coPool)
{
    if (coPool.GetResId().IsEmpty() || MarkerPoolFromId(coPool.GetResId()))
        return 0;
    m_coMarkerPools.push_back(std::make_unique<KwMarkerPool>(coPool));
    return 1;
}

int KwResHdl::InstallMarkerPool(const char* pszId)
{
    if (!pszId || !*pszId || MarkerPoolFromId(pszId))
        return 0;
    std::unique_ptr<KwRes> pcoLoaded(LoadResource(pszId, nullptr, nullptr, 0));
    return pcoLoaded && pcoLoaded->IsClassFamily("KwMarkerPool") && InstallMarkerPool(*static_cast<KwMarkerPool*>(pcoLoaded.get()));
}

KwMarkerPool* KwResHdl::MarkerPoolFromIndex(short nIndex) const
{
    return nIndex >= 0 && nIndex < GetMarkerPoolCount() ? m_coMarkerPools[static_cast<size_t>(nIndex)].get() : nullptr;
}

KwMarkerPool* KwResHdl::MarkerPoolFromId(const char* pszId) const
{
    return MarkerPoolFromIndex(IndexFromMarkerPoolId(pszId));
}

short KwResHdl::IndexFromMarkerPoolId(const char* pszId) const
{
    for (short i = 0; pszId && *pszId && i < GetMarkerPoolCount(); ++i) {
        if (m_coMarkerPools[static_cast<size_t>(i)]->HasResId(pszId))
            return i;
    }
    return -1;
}

TString KwResHdl::GetMarkerPoolId(unsigned short n)
{
    static const char* const s_apszPools[] = {
        "MP_CTRLMARKER_DEFAULT", "MP_CHECKBOX_RECT2D", "MP_CHECKBOX_RECT3D",
        "MP_CHECKBOX_HOOKMARK",  "MP_RADIOBOX_CIRCLE2D", "MP_RADIOBOX_SQUARE3D",
    };
    return n < std::size(s_apszPools) ? TString(s_apszPools[n]) : TString();
}

// Shared bitmaps

KwSysBitmap* KwResHdl::FindBitmap(const char* pszId) const
{
    if (!pszId || !*pszId)
        return nullptr;
    const auto it = std::lower_bound(m_coBitmaps.begin(), m_coBitmaps.end(), pszId, IdLess);
    return it != m_coBitmaps.end() && (*it)->HasResId(pszId) ? it->get() : nullptr;
}

KwSysBitmap* KwResHdl::AddBitmap(std::unique_ptr<KwSysBitmap> pcoBitmap)
{
    if (!pcoBitmap || !pcoBitmap->IsValid())
        return nullptr;
    pcoBitmap->AddUse();
    const auto it = std::lower_bound(m_coBitmaps.begin(), m_coBitmaps.end(), pcoBitmap->GetResId(), IdLess);
    return m_coBitmaps.insert(it, std::move(pcoBitmap))->get();
}

int KwResHdl::HasBitmap(const char* pszId) const
{
    return FindBitmap(pszId) != nullptr;
}

KwSysBitmap* KwResHdl::GetBitmap(const char* pszId, const char* pszFile)
{
    if (KwSysBitmap* pcoShared = FindBitmap(pszId)) {
        pcoShared->AddUse();
        return pcoShared;
    }
    if (!pszId || !*pszId)
        return nullptr;
    auto pcoBitmap = std::make_unique<KwSysBitmap>(pszId);
    int nMade = 0;
    if (!m_nResBitmapsOff) {
        nMade = m_pcoPriorityFileHdl && m_pcoPriorityFileHdl->LoadCustomBitmap(pszId, pcoBitmap.get());
        nMade = nMade || LoadCustomBitmap(pszId, pcoBitmap.get(), nullptr);
    }
    if (!nMade && pszFile && *pszFile && m_pcoApp) {
        const KwConfig& coConfig = m_pcoApp->GetConfig();
        const TString coBase = KwConfig::FilePart(pszFile);
        for (TString coPath : { coConfig.FindFile(coBase, KwConfig::PathSystem, 0), coConfig.FindFile(coBase, KwConfig::PathBitmaps, 0),
                                TString(pszFile) }) {
            if (!coPath.IsEmpty() && pcoBitmap->SysCreate(coPath, nullptr)) {
                pcoBitmap->SetFileName(coPath);
                break;
            }
        }
    }
    pcoBitmap->SetResId(pszId);
    return AddBitmap(std::move(pcoBitmap));
}

KwSysBitmap* KwResHdl::GetBitmap(const char* pszId, KwFileHdl* pcoFileHdl)
{
    if (KwSysBitmap* pcoShared = FindBitmap(pszId)) {
        pcoShared->AddUse();
        return pcoShared;
    }
    if (!pszId || !*pszId || !pcoFileHdl)
        return nullptr;
    auto pcoBitmap = std::make_unique<KwSysBitmap>(pszId);
    pcoFileHdl->LoadCustomBitmap(pszId, pcoBitmap.get());
    return AddBitmap(std::move(pcoBitmap));
}

KwSysBitmap* KwResHdl::MakeSysBitmap(const KwBitmap& coBitmap, TString& coId)
{
    coId.SetText("KwSysBitmap_Int%ld", m_lNextInternalBitmap++);
    auto pcoCopy = std::make_unique<KwSysBitmap>(coId);
    if (!coBitmap.GetBits().empty()) {
        pcoCopy->SetBits(coBitmap.GetLogBitmap(), coBitmap.GetBits().data(), coBitmap.GetBits().size());
        pcoCopy->SysCreate();
    } else if (coBitmap.IsValid()) {
        // A picture without bits of its own is copied through the screen's
        // memory contexts.
        KwScreenDC coScreen(1);
        KwMemDC coSource(coScreen);
        KwMemDC coTarget(coScreen);
        if (pcoCopy->SysCreate(coScreen, coBitmap.GetSize(), 0)) {
            coSource.SelectBitmap(&coBitmap);
            coTarget.SelectBitmap(pcoCopy.get());
            coTarget.BitBlt(KwPoint(), coSource, KwPoint(), coBitmap.GetSize(), 11);
            coSource.SelectBitmap(nullptr);
            coTarget.SelectBitmap(nullptr);
        }
    }
    KwSysBitmap* pcoShared = AddBitmap(std::move(pcoCopy));
    if (!pcoShared)
        coId.Empty();
    return pcoShared;
}

int KwResHdl::ReleaseBitmap(const char* pszId)
{
    KwSysBitmap* pcoBitmap = FindBitmap(pszId);
    if (!pcoBitmap)
        return 0;
    if (pcoBitmap->ReleaseUse() > 0)
        return 1;
    ForgetInMarkerPools(pcoBitmap);
    m_coBitmaps.erase(std::find_if(m_coBitmaps.begin(), m_coBitmaps.end(),
                                   [pcoBitmap](const auto& pcoEntry) { return pcoEntry.get() == pcoBitmap; }));
    return 1;
}

void KwResHdl::ForgetInMarkerPools(const KwSysBitmap* pcoBitmap)
{
    for (auto& pcoPool : m_coMarkerPools)
        pcoPool->ForgetBitmap(pcoBitmap);
}

short KwResHdl::GetBitmapInfoList(KwResBitmapInfoList& coList) const
{
    coList.Clear();
    for (const auto& pcoBitmap : m_coBitmaps)
        coList.Add(KwResBitmapInfo(pcoBitmap->GetResId(), pcoBitmap->GetFileName(), pcoBitmap->GetUseCount()));
    return coList.Count();
}
