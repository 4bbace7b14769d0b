#pragma once

#include "KwSecurityApi.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The security descriptors read in a copy's first pass, each kept once:
// the entries of a tree mostly share a handful of descriptors, so the
// second pass gives every entry the bytes read for it without reading its
// source again, and the creation descriptor (with the copying account's
// access) is made once per distinct descriptor. Shared by everything that
// copies in one run: workers of their own would guard it with one lock.
class KwDescriptorCache {
public:
    enum : uint32_t { None = 0xFFFFFFFFu };

    explicit KwDescriptorCache(KwSecurityApi& coApi) : m_coApi(coApi) {}

    void Clear();
    // The number of this descriptor, kept from now on.
    uint32_t Add(const void* pvDescriptor, uint32_t ulLength);
    const std::string& Get(uint32_t ulIndex) const { return m_vecDescriptors[ulIndex]; }
    // The descriptor with creator access (KwSecurityApi::WithCreatorAccess),
    // made on first use; null when it cannot be made.
    const std::vector<uint8_t>* Creation(uint32_t ulIndex);

private:
    KwSecurityApi& m_coApi;
    std::unordered_map<std::string, uint32_t> m_coIndex;
    std::vector<std::string> m_vecDescriptors;
    std::vector<std::vector<uint8_t>> m_vecCreation;    // empty until made
    std::vector<uint8_t> m_vecFailed;                   // creation descriptor could not be made
};
