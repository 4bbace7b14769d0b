#include "KwDescriptorCache.h"

void KwDescriptorCache::Clear()
{
    m_coIndex.clear();
    m_vecDescriptors.clear();
    m_vecCreation.clear();
    m_vecFailed.clear();
}

uint32_t KwDescriptorCache::Add(const void* pvDescriptor, uint32_t ulLength)
{
    std::string strBytes(static_cast<const char*>(pvDescriptor), ulLength);
    const auto it = m_coIndex.find(strBytes);
    if (it != m_coIndex.end())
        return it->second;
    const auto ulIndex = static_cast<uint32_t>(m_vecDescriptors.size());
    m_vecDescriptors.push_back(strBytes);
    m_vecCreation.emplace_back();
    m_vecFailed.push_back(0);
    m_coIndex.emplace(std::move(strBytes), ulIndex);
    return ulIndex;
}

const std::vector<uint8_t>* KwDescriptorCache::Creation(uint32_t ulIndex)
{
    std::vector<uint8_t>& vecCreation = m_vecCreation[ulIndex];
    if (vecCreation.empty() && !m_vecFailed[ulIndex]) {
        const std::string& strDescriptor = m_vecDescriptors[ulIndex];
        uint32_t ulError = 0;
        m_vecFailed[ulIndex] = !m_coApi.WithCreatorAccess(strDescriptor.data(),
                                                          static_cast<uint32_t>(strDescriptor.size()), vecCreation, ulError);
    }
    return m_vecFailed[ulIndex] ? nullptr : &vecCreation;
}
