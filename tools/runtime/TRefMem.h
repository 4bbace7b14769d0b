#pragma once

#include "KwtlApi.h"

#include <atomic>

// A reference-counted memory block: the shared storage of TString. The
// count is the number of users; the block does not delete itself, its last
// user does. The count is atomic, so that users on different threads may
// connect and disconnect at the same time (copies of one string handed to
// another thread); the memory itself is not guarded.
class KWTL_API TRefMem {
public:
    explicit TRefMem(unsigned long ulSize);
    TRefMem(const char* pData, unsigned long ulSize);
    virtual ~TRefMem();

    TRefMem(const TRefMem&) = delete;
    TRefMem& operator=(const TRefMem&) = delete;

    // Users
    unsigned long Connect() { return m_ulRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    // Releasing below zero reports error 1 and leaves the count at zero.
    unsigned long Disconnect();
    unsigned long GetRefCount() const { return m_ulRefCount.load(std::memory_order_acquire); }

    // Memory
    unsigned long GetSize() const { return m_ulSize; }
    char* GetMemory() { return m_pchMem; }
    const char* GetMemory() const { return m_pchMem; }
    void SetPointer(char* pMem, unsigned long ulSize);
    // Copies ulSize bytes in; reallocates only when the block is too small,
    // so a block that shrank keeps its larger allocation. pData may point
    // into this block.
    void SetMemory(const char* pData, unsigned long ulSize);

    // Errors
    static void (*GetErrorHandler())(int) { return m_stpfnErr; }
    static void SetErrorHandler(void (*pfnErr)(int)) { m_stpfnErr = pfnErr; }

protected:
    static void ErrorHandler(int nCode);

private:
    void Free();

    char* m_pchMem { nullptr };          // owned
    unsigned long m_ulSize { 0 };
    unsigned long m_ulAlloc { 0 };       // bytes allocated, at least m_ulSize
    std::atomic<unsigned long> m_ulRefCount { 0 };

    static void (*m_stpfnErr)(int);
};
