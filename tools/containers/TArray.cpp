#include "TArray.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

TArray::TArray(long lGrowth, DestroyFunc pfnDestroy, CompareFunc pfnCmp)
    : m_lGrowth(lGrowth > 0 ? lGrowth : 1)
    , m_pfnDestroy(pfnDestroy)
    , m_pfnCmp(pfnCmp)
{
}

TArray::TArray(const TArray& coOther)
    : m_lGrowth(coOther.m_lGrowth)
    , m_pfnDestroy(coOther.m_pfnDestroy)
    , m_pfnCmp(coOther.m_pfnCmp)
{
    *this = coOther;
}

TArray& TArray::operator=(const TArray& coOther)
{
    if (this == &coOther)
        return *this;
    Delete();
    m_lGrowth = coOther.m_lGrowth;
    m_pfnDestroy = coOther.m_pfnDestroy;
    m_pfnCmp = coOther.m_pfnCmp;
    if (coOther.m_lAlloc == 0)
        return *this;
    m_ppvObj = static_cast<void**>(std::malloc(sizeof(void*) * static_cast<size_t>(coOther.m_lAlloc)));
    if (!m_ppvObj)
        return *this;
    std::memcpy(m_ppvObj, coOther.m_ppvObj, sizeof(void*) * static_cast<size_t>(coOther.m_lCount));
    m_lCount = coOther.m_lCount;
    m_lAlloc = coOther.m_lAlloc;
    return *this;
}

TArray::~TArray()
{
    Delete();
}

void TArray::Use(TArray& coSource, int nTake)
{
    if (this == &coSource)
        return;
    m_lGrowth = coSource.m_lGrowth;
    m_lCount = coSource.m_lCount;
    m_lAlloc = coSource.m_lAlloc;
    m_ppvObj = coSource.m_ppvObj;
    m_pfnDestroy = coSource.m_pfnDestroy;
    m_pfnCmp = coSource.m_pfnCmp;
    if (!nTake)
        return;
    coSource.m_lCount = coSource.m_lAlloc = 0;
    coSource.m_ppvObj = nullptr;
}

int TArray::Resize(long lSlots)
{
    if (lSlots <= 0 || static_cast<unsigned long>(lSlots) > SIZE_MAX / sizeof(void*))
        return 0;
    void** ppvNew = static_cast<void**>(std::malloc(sizeof(void*) * static_cast<size_t>(lSlots)));
    if (!ppvNew)
        return 0;
    if (m_lCount)
        std::memcpy(ppvNew, m_ppvObj, sizeof(void*) * static_cast<size_t>(m_lCount));
    std::free(m_ppvObj);
    m_ppvObj = ppvNew;
    m_lAlloc = lSlots;
    return 1;
}

long TArray::Step() const
{
    // Beyond a few thousand slots the memory moves by half its size, so
    // that adding or removing a million elements one at a time costs
    // linear, not quadratic time; below that the caller's step rules.
    const long lHalf = m_lAlloc >= GeometricFrom ? m_lAlloc / 2 : 0;
    return lHalf > m_lGrowth ? lHalf : m_lGrowth;
}

int TArray::Reserve()
{
    if (m_lCount < m_lAlloc)
        return 1;
    if (m_lAlloc > std::numeric_limits<long>::max() - m_lGrowth)
        return 0;
    const long lStep = Step();
    if (m_lAlloc <= std::numeric_limits<long>::max() - lStep && Resize(m_lAlloc + lStep))
        return 1;
    return lStep > m_lGrowth ? Resize(m_lAlloc + m_lGrowth) : 0;
}

int TArray::MakeRoom(long lMore)
{
    if (lMore <= m_lAlloc - m_lCount)
        return 1;
    if (m_lCount > std::numeric_limits<long>::max() - lMore)
        return 0;
    return Resize(m_lCount + lMore);
}

void TArray::Shrink()
{
    const long lStep = Step();
    if (m_lAlloc - m_lCount > lStep)
        Resize(m_lAlloc - lStep);
}

void TArray::InsertAt(long i, void* pvElement)
{
    if (i < m_lCount)
        std::memmove(m_ppvObj + i + 1, m_ppvObj + i, sizeof(void*) * static_cast<size_t>(m_lCount - i));
    m_ppvObj[i] = pvElement;
    ++m_lCount;
}

int TArray::Set(void* pvElement, long i)
{
    if (i < 0 || i >= m_lCount)
        return 0;
    m_ppvObj[i] = pvElement;
    return 1;
}

int TArray::Add(void* pvElement)
{
    if (!Reserve())
        return 0;
    m_ppvObj[m_lCount++] = pvElement;
    return 1;
}

int TArray::Insert(long i, void* pvElement)
{
    if (!Reserve())
        return 0;
    InsertAt(i < 0 ? 0 : (i > m_lCount ? m_lCount : i), pvElement);
    return 1;
}

int TArray::Insert(void* pvElement, long* plPosition)
{
    if (!m_pfnCmp) {
        if (plPosition)
            *plPosition = m_lCount;
        return Add(pvElement);
    }
    if (!Reserve())
        return 0;
    long lPos = 0;
    if (m_lCount == 0 || CallCompareFunc(pvElement, m_ppvObj[0]) < 0) {
        lPos = 0;
    } else if (CallCompareFunc(pvElement, m_ppvObj[m_lCount - 1]) > 0) {
        lPos = m_lCount;
    } else {
        long lLo = 0;
        long lHi = m_lCount - 1;
        for (;;) {
            if (lHi - lLo <= 1) {
                lPos = lLo + 1;
                break;
            }
            long lMid = lLo + (lHi - lLo) / 2;
            const int nCmp = CallCompareFunc(pvElement, m_ppvObj[lMid]);
            if (nCmp == 0) {
                while (lMid < m_lCount && CallCompareFunc(pvElement, m_ppvObj[lMid]) == 0)
                    ++lMid;
                lPos = lMid;
                break;
            }
            if (nCmp > 0)
                lLo = lMid;
            else
                lHi = lMid;
        }
    }
    InsertAt(lPos, pvElement);
    if (plPosition)
        *plPosition = lPos;
    return 1;
}

TArray& TArray::operator+=(void* pvElement)
{
    if (pvElement)
        Insert(pvElement, nullptr);
    return *this;
}

long TArray::Find(const void* pvKey, void** ppvFound) const
{
    if (ppvFound)
        *ppvFound = nullptr;
    if (m_lCount == 0 || !m_pfnCmp)
        return -1;
    long lResult = -1;
    if (CallCompareFunc(pvKey, m_ppvObj[0]) == 0) {
        lResult = 0;
    } else if (CallCompareFunc(pvKey, m_ppvObj[m_lCount - 1]) == 0) {
        lResult = m_lCount - 1;
    } else {
        long lLo = 0;
        long lHi = m_lCount - 1;
        while (lHi - lLo >= 2) {
            const long lMid = lLo + (lHi - lLo) / 2;
            const int nCmp = CallCompareFunc(pvKey, m_ppvObj[lMid]);
            if (nCmp == 0) {
                lResult = lMid;
                break;
            }
            if (nCmp > 0)
                lLo = lMid;
            else
                lHi = lMid;
        }
    }
    if (lResult >= 0 && ppvFound)
        *ppvFound = m_ppvObj[lResult];
    return lResult;
}

long TArray::GetIndex(const void* pvElement) const
{
    for (long i = 0; i < m_lCount; ++i) {
        if (m_ppvObj[i] == pvElement)
            return i;
    }
    return -1;
}

void* TArray::Remove(long i)
{
    if (i < 0 || i >= m_lCount)
        return nullptr;
    void* pvElement = m_ppvObj[i];
    std::memmove(m_ppvObj + i, m_ppvObj + i + 1, sizeof(void*) * static_cast<size_t>(m_lCount - i - 1));
    --m_lCount;
    Shrink();
    return pvElement;
}

void* TArray::Remove(void* pvElement, long* plPosition)
{
    const long i = GetIndex(pvElement);
    if (plPosition)
        *plPosition = i;
    return i < 0 ? nullptr : Remove(i);
}

int TArray::Delete(long i)
{
    void* pvElement = Remove(i);
    if (!pvElement)
        return 0;
    CallDestroyFunc(pvElement);
    return 1;
}

int TArray::Delete(void* pvElement, long* plPosition)
{
    void* pvRemoved = Remove(pvElement, plPosition);
    if (!pvRemoved)
        return 0;
    CallDestroyFunc(pvRemoved);
    return 1;
}

void TArray::Delete()
{
    // The slots are detached first, so a destroy function that looks at the
    // array sees it empty.
    void** ppvObj = m_ppvObj;
    const long lCount = m_lCount;
    m_ppvObj = nullptr;
    m_lCount = m_lAlloc = 0;
    for (long i = 0; i < lCount; ++i)
        CallDestroyFunc(ppvObj[i]);
    std::free(ppvObj);
}

TArray& TArray::operator-=(void* pvElement)
{
    if (pvElement)
        Delete(pvElement, nullptr);
    return *this;
}

TArray& TArray::operator-=(long i)
{
    Delete(i);
    return *this;
}

int TArray::CallCompareFunc(const void* pvKey, const void* pvElement) const
{
    return m_pfnCmp ? m_pfnCmp(pvKey, pvElement) : 0;
}

void TArray::CallDestroyFunc(void* pvElement) const
{
    if (m_pfnDestroy)
        m_pfnDestroy(pvElement);
}
