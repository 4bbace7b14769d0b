#include "KwAllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> s_lAllocations { 0 };

} // namespace

long KwAllocationCount()
{
    return s_lAllocations.load();
}

void* operator new(std::size_t nSize)
{
    ++s_lAllocations;
    if (void* pv = std::malloc(nSize ? nSize : 1))
        return pv;
    throw std::bad_alloc();
}

void* operator new[](std::size_t nSize)
{
    return operator new(nSize);
}

void* operator new(std::size_t nSize, const std::nothrow_t&) noexcept
{
    ++s_lAllocations;
    return std::malloc(nSize ? nSize : 1);
}

void* operator new[](std::size_t nSize, const std::nothrow_t& coTag) noexcept
{
    return operator new(nSize, coTag);
}

void operator delete(void* pv, const std::nothrow_t&) noexcept
{
    std::free(pv);
}

void operator delete[](void* pv, const std::nothrow_t&) noexcept
{
    std::free(pv);
}

void operator delete(void* pv) noexcept
{
    std::free(pv);
}

void operator delete[](void* pv) noexcept
{
    std::free(pv);
}

void operator delete(void* pv, std::size_t) noexcept
{
    std::free(pv);
}

void operator delete[](void* pv, std::size_t) noexcept
{
    std::free(pv);
}
