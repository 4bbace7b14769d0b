#include "TRefMem.h"

#include "TString.h"

#include <cstring>
#include <new>

void (*TRefMem::m_stpfnErr)(int) = nullptr;

TRefMem::TRefMem(unsigned long ulSize)
{
    if (ulSize == 0)
        return;
    m_pchMem = new (std::nothrow) char[ulSize];
    if (m_pchMem)
        m_ulSize = m_ulAlloc = ulSize;
}

TRefMem::TRefMem(const char* pData, unsigned long ulSize)
    : TRefMem(pData ? ulSize : 0)
{
    if (m_pchMem)
        std::memcpy(m_pchMem, pData, m_ulSize);
}

TRefMem::~TRefMem()
{
    Free();
}

unsigned long TRefMem::Disconnect()
{
    // Release order, so that the user who sees the count reach 0 (and
    // deletes the block) sees every other user's last write.
    unsigned long ulCount = m_ulRefCount.load(std::memory_order_relaxed);
    do {
        if (ulCount == 0) {
            ErrorHandler(1);
            return 0;
        }
    } while (!m_ulRefCount.compare_exchange_weak(ulCount, ulCount - 1, std::memory_order_acq_rel,
                                                  std::memory_order_relaxed));
    return ulCount - 1;
}

void TRefMem::Free()
{
    delete[] m_pchMem;
    m_pchMem = nullptr;
    m_ulSize = m_ulAlloc = 0;
}

void TRefMem::SetPointer(char* pMem, unsigned long ulSize)
{
    Free();
    if (!pMem || ulSize == 0) {
        delete[] pMem;
        return;
    }
    m_pchMem = pMem;
    m_ulSize = m_ulAlloc = ulSize;
}

void TRefMem::SetMemory(const char* pData, unsigned long ulSize)
{
    if (!pData || ulSize == 0) {
        Free();
        return;
    }
    if (!m_pchMem || m_ulAlloc < ulSize) {
        char* pNew = new (std::nothrow) char[ulSize];
        if (!pNew)
            return;
        std::memcpy(pNew, pData, ulSize);
        Free();
        m_pchMem = pNew;
        m_ulAlloc = ulSize;
    } else {
        std::memmove(m_pchMem, pData, ulSize);
    }
    m_ulSize = ulSize;
}

void TRefMem::ErrorHandler(int nCode)
{
    if (m_stpfnErr)
        m_stpfnErr(nCode);
    else
        TString::ErrorHandler(nCode);
}
