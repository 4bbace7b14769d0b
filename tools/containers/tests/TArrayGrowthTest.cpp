#include "TArray.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

void* P(intptr_t n) { return reinterpret_cast<void*>(n); }

// How often the array's memory moved while it grew to, or shrank from, a
// million elements one at a time.
struct TMoves {
    long m_lGrowing { 0 };
    long m_lShrinking { 0 };
};

TMoves CountMoves(long lGrowth)
{
    TMoves coMoves;
    TArray coArray(lGrowth, nullptr, nullptr);
    void** ppvLast = nullptr;
    for (intptr_t n = 0; n < 1000000; ++n) {
        EXPECT_EQ(coArray.Add(P(n)), 1);
        coMoves.m_lGrowing += coArray.GetObjArray() != ppvLast;
        ppvLast = coArray.GetObjArray();
    }
    EXPECT_EQ(coArray.Get(999999), P(999999));
    while (coArray.Count() > 0) {
        coArray.Remove(coArray.Count() - 1);
        coMoves.m_lShrinking += coArray.GetObjArray() != ppvLast;
        ppvLast = coArray.GetObjArray();
    }
    return coMoves;
}

} // namespace

TEST(TArrayGrowthTest, LongArraysMoveTheirMemoryLogarithmicallyOften)
{
    // With a fixed step of 20 a million additions would move the memory
    // 50,000 times, each move copying everything held so far.
    for (long lGrowth : { 1L, 20L, 256L }) {
        const TMoves coMoves = CountMoves(lGrowth);
        EXPECT_LT(coMoves.m_lGrowing, 4096 / lGrowth + 40) << "growth " << lGrowth;
        EXPECT_LT(coMoves.m_lShrinking, 4096 / lGrowth + 40) << "growth " << lGrowth;
    }
}

TEST(TArrayGrowthTest, ShortArraysKeepTheCallersStep)
{
    TArray coArray(16, nullptr, nullptr);
    for (intptr_t n = 0; n < TArray::GeometricFrom; ++n)
        coArray.Add(P(n));
    EXPECT_EQ(coArray.GetAllocSize(), TArray::GeometricFrom);   // 256 steps of 16
    coArray.Add(P(1));
    EXPECT_EQ(coArray.GetAllocSize(), TArray::GeometricFrom + TArray::GeometricFrom / 2);
    // Taking one element off again does not move the memory back.
    coArray.Remove(0L);
    EXPECT_EQ(coArray.GetAllocSize(), TArray::GeometricFrom + TArray::GeometricFrom / 2);
}
