#include "KwHashTable.h"

#include "TCrt.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

struct KwHashTable::TData {
    std::vector<std::pair<KwHandle, KwRes*>> coEntries;

    std::vector<std::pair<KwHandle, KwRes*>>::iterator Position(KwHandle hHandle)
    {
        return std::lower_bound(coEntries.begin(), coEntries.end(), hHandle,
                                [](const std::pair<KwHandle, KwRes*>& coEntry, KwHandle h) { return coEntry.first < h; });
    }
};

KwHashTable::KwHashTable(const char* pszName)
    : m_coName(pszName), m_pData(new TData)
{
}

KwHashTable::~KwHashTable() = default;

int KwHashTable::Insert(KwHandle hHandle, KwRes* pcoObject)
{
    if (!hHandle || !pcoObject)
        return 0;
    auto it = m_pData->Position(hHandle);
    if (it != m_pData->coEntries.end() && it->first == hHandle) {
        it->second = pcoObject;
        return 1;
    }
    try {
        m_pData->coEntries.insert(it, { hHandle, pcoObject });
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int KwHashTable::Remove(KwHandle hHandle, const KwRes* pcoObject)
{
    auto it = m_pData->Position(hHandle);
    if (it == m_pData->coEntries.end() || it->first != hHandle || it->second != pcoObject)
        return 0;
    m_pData->coEntries.erase(it);
    return 1;
}

KwRes* KwHashTable::Lookup(KwHandle hHandle) const
{
    auto it = m_pData->Position(hHandle);
    return it != m_pData->coEntries.end() && it->first == hHandle ? it->second : nullptr;
}

long KwHashTable::Count() const
{
    return static_cast<long>(m_pData->coEntries.size());
}

KwRes* KwHashTable::GetObj(long lIndex) const
{
    return lIndex >= 0 && lIndex < Count() ? m_pData->coEntries[static_cast<size_t>(lIndex)].second : nullptr;
}

KwHandle KwHashTable::GetKey(long lIndex) const
{
    return lIndex >= 0 && lIndex < Count() ? m_pData->coEntries[static_cast<size_t>(lIndex)].first : 0;
}

KwHandle KwHashTable::NextFreeHandle(KwHandle hLimit) const
{
    KwHandle hCandidate = 1;
    for (const auto& coEntry : m_pData->coEntries) {
        if (coEntry.first > hCandidate)
            break;
        if (coEntry.first == hCandidate)
            ++hCandidate;
    }
    return hCandidate < hLimit ? hCandidate : 0;
}

KwHashTableList::KwHashTableList()
{
    static const char* const s_apszKinds[] = { "SYSTEM", "MENU", "MENUITEM", "TIMER", "CUSTOM" };
    for (size_t i = 0; i < std::size(s_apszKinds); ++i)
        m_apcoTables[i].reset(new KwHashTable(s_apszKinds[i]));
}

KwHashTableList::~KwHashTableList() = default;

KwHashTable* KwHashTableList::GetHash(const char* pszKind) const
{
    if (!pszKind)
        return nullptr;
    for (const auto& pcoTable : m_apcoTables) {
        if (CrtStricmp(pcoTable->GetName(), pszKind) == 0)
            return pcoTable.get();
    }
    return nullptr;
}

KwRes* KwHashTableList::Lookup(const char* pszKind, KwHandle hHandle) const
{
    const KwHashTable* pcoTable = GetHash(pszKind);
    return pcoTable ? pcoTable->Lookup(hHandle) : nullptr;
}

KwRes* KwHashTableList::GetObj(const char* pszKind, long lIndex) const
{
    const KwHashTable* pcoTable = GetHash(pszKind);
    return pcoTable ? pcoTable->GetObj(lIndex) : nullptr;
}

KwRes* KwHashTableList::GetObj(const char* pszKind, const char* pszName) const
{
    const KwHashTable* pcoTable = GetHash(pszKind);
    return pcoTable ? pcoTable->GetObj(pszName) : nullptr;
}
