#include "KwResObjInfo.h"

#include "TCrt.h"

#include <algorithm>

short KwResObjInfoList::Add(const KwResObjInfo& coInfo)
{
    std::unique_ptr<KwResObjInfo> pcoCopy(coInfo.Copy());
    auto it = m_coInfos.end();
    if (m_nSorted) {
        it = std::upper_bound(m_coInfos.begin(), m_coInfos.end(), pcoCopy, [](const auto& pcoA, const auto& pcoB) {
            return CrtStricmp(pcoA->GetId(), pcoB->GetId()) < 0;
        });
    }
    return static_cast<short>(m_coInfos.insert(it, std::move(pcoCopy)) - m_coInfos.begin());
}

const KwResObjInfo* KwResObjInfoList::Get(short nIndex) const
{
    return nIndex >= 0 && nIndex < Count() ? m_coInfos[static_cast<size_t>(nIndex)].get() : nullptr;
}

const KwResObjInfo* KwResObjInfoList::Find(const char* pszId, short* pnIndex) const
{
    if (pnIndex)
        *pnIndex = -1;
    if (!pszId)
        return nullptr;
    auto it = m_coInfos.end();
    if (m_nSorted) {
        it = std::lower_bound(m_coInfos.begin(), m_coInfos.end(), pszId,
                              [](const auto& pcoInfo, const char* pszKey) { return CrtStricmp(pcoInfo->GetId(), pszKey) < 0; });
        if (it != m_coInfos.end() && CrtStricmp((*it)->GetId(), pszId) != 0)
            it = m_coInfos.end();
    } else {
        it = std::find_if(m_coInfos.begin(), m_coInfos.end(),
                          [pszId](const auto& pcoInfo) { return CrtStricmp(pcoInfo->GetId(), pszId) == 0; });
    }
    if (it == m_coInfos.end())
        return nullptr;
    if (pnIndex)
        *pnIndex = static_cast<short>(it - m_coInfos.begin());
    return it->get();
}

KwResBitmapInfo KwResBitmapInfoList::operator[](short nIndex) const
{
    const KwResObjInfo* pcoInfo = Get(nIndex);
    return pcoInfo ? KwResBitmapInfo(pcoInfo->GetId(), pcoInfo->GetFile(), pcoInfo->GetUses()) : KwResBitmapInfo();
}

KwResBitmapInfo KwResBitmapInfoList::Find(const char* pszId, short* pnIndex) const
{
    const KwResObjInfo* pcoInfo = KwResObjInfoList::Find(pszId, pnIndex);
    return pcoInfo ? KwResBitmapInfo(pcoInfo->GetId(), pcoInfo->GetFile(), pcoInfo->GetUses()) : KwResBitmapInfo();
}
