#pragma once

#include "KwSecurityApi.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// The security descriptors read in a copy's first pass, each kept once:
// the entries of a tree mostly share a handful of descriptors, so the
// second pass gives every entry the bytes read for it without reading its
// source again, and the creation descriptor (with the copying account's
// access) is made once per distinct descriptor. Shared by the workers of
// a run: every call may come from any thread, and what Get and Creation
// answer stays where it is until Clear.
class KwDescriptorCache {
public:
    enum : uint32_t { None = 0xFFFFFFFFu };

    explicit KwDescriptorCache(KwSecurityApi& coApi) : m_coApi(coApi) {}

    // Not while a worker uses the cache.
    void Clear();
    // The number of this descriptor, kept from now on.
    uint32_t Add(const void* pvDescriptor, uint32_t ulLength);
    const std::string& Get(uint32_t ulIndex);
    // The descriptor with creator access (KwSecurityApi::WithCreatorAccess),
    // made on first use; null when it cannot be made.
    const std::vector<uint8_t>* Creation(uint32_t ulIndex);

private:
    struct TEntry {
        std::string m_strDescriptor;
        std::vector<uint8_t> m_vecCreation;     // empty until made
        bool m_bFailed { false };               // the creation descriptor could not be made
    };

    KwSecurityApi& m_coApi;
    std::mutex m_coLock;
    std::unordered_map<std::string, uint32_t> m_coIndex;
    std::deque<TEntry> m_coEntries;             // a deque: what was handed out never moves
};
