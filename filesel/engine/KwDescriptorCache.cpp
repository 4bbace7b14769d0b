#include "KwDescriptorCache.h"

void KwDescriptorCache::Clear()
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    m_coIndex.clear();
    m_coEntries.clear();
}

uint32_t KwDescriptorCache::Add(const void* pvDescriptor, uint32_t ulLength)
{
    std::string strBytes(static_cast<const char*>(pvDescriptor), ulLength);
    std::lock_guard<std::mutex> coGuard(m_coLock);
    const auto it = m_coIndex.find(strBytes);
    if (it != m_coIndex.end())
        return it->second;
    const auto ulIndex = static_cast<uint32_t>(m_coEntries.size());
    m_coEntries.push_back(TEntry { strBytes, {}, false });
    m_coIndex.emplace(std::move(strBytes), ulIndex);
    return ulIndex;
}

const std::string& KwDescriptorCache::Get(uint32_t ulIndex)
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    return m_coEntries[ulIndex].m_strDescriptor;
}

const std::vector<uint8_t>* KwDescriptorCache::Creation(uint32_t ulIndex)
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    TEntry& coEntry = m_coEntries[ulIndex];
    if (coEntry.m_vecCreation.empty() && !coEntry.m_bFailed) {
        uint32_t ulError = 0;
        coEntry.m_bFailed = !m_coApi.WithCreatorAccess(coEntry.m_strDescriptor.data(),
                                                       static_cast<uint32_t>(coEntry.m_strDescriptor.size()),
                                                       coEntry.m_vecCreation, ulError);
    }
    return coEntry.m_bFailed ? nullptr : &coEntry.m_vecCreation;
}
