#pragma once

// The native security descriptor, which the security calls read by name and
// the file system reads through an open source: "KWPX", then the
// information it was read with, owner, group and permission bits, each 32
// bits in host order. It always holds the owner and group, which decide
// whether set-user-ID and set-group-ID may stay; only the parts read are
// compared.

#include "KwSecurityApi.h"

#include <cstdint>
#include <cstring>

#include <sys/stat.h>

struct TPosixDescriptor {
    char m_achMagic[4];
    uint32_t m_ulInfo;
    uint32_t m_ulOwner;
    uint32_t m_ulGroup;
    uint32_t m_ulMode;
};
static_assert(sizeof(TPosixDescriptor) == 20, "the native descriptor has no padding");

// The descriptor of a file's facts written into a buffer, as
// KwSecurityApi::GetFileSecurity answers: ErrInsufficientBuffer and the
// size needed when it is too small.
inline int KwPosixDescribe(const struct stat& coInfo, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                           uint32_t& ulNeeded, uint32_t& ulError)
{
    ulNeeded = sizeof(TPosixDescriptor);
    if (ulSize < sizeof(TPosixDescriptor)) {
        ulError = KwSecurityApi::ErrInsufficientBuffer;
        return 0;
    }
    const TPosixDescriptor coDescriptor { { 'K', 'W', 'P', 'X' }, ulInfo, static_cast<uint32_t>(coInfo.st_uid),
                                          static_cast<uint32_t>(coInfo.st_gid),
                                          static_cast<uint32_t>(coInfo.st_mode & 07777) };
    std::memcpy(pvBuffer, &coDescriptor, sizeof(coDescriptor));
    return 1;
}
