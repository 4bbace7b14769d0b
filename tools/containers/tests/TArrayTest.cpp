#include "TArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Elements are small integers stored in the pointers themselves.
void* P(intptr_t n) { return reinterpret_cast<void*>(n); }

intptr_t N(const void* pv) { return reinterpret_cast<intptr_t>(pv); }

int CompareInts(const void* pvA, const void* pvB) { return N(pvA) < N(pvB) ? -1 : (N(pvA) > N(pvB) ? 1 : 0); }

std::vector<intptr_t> Values(const TArray& coArray)
{
    std::vector<intptr_t> values;
    for (long i = 0; i < coArray.Count(); ++i)
        values.push_back(N(coArray.Get(i)));
    return values;
}

std::vector<int> g_destroyed;

void RecordDestroy(void* pv) { g_destroyed.push_back(static_cast<int>(N(pv))); }

} // namespace

TEST(TArrayTest, DeleteDestroysOwnedElements)
{
    g_destroyed.clear();
    {
        TArray coArray(4, RecordDestroy, nullptr);
        for (intptr_t n = 1; n <= 4; ++n)
            coArray.Add(P(n));
        coArray.Add(nullptr);
        long lPos = -1;
        // The null element loses its slot, with the result 0.
        const std::vector<int> results { coArray.Delete(1L), coArray.Delete(3L), coArray.Delete(9L),
                                         coArray.Delete(P(3), &lPos) };
        EXPECT_EQ(results, std::vector<int>({ 1, 0, 0, 1 }));
        EXPECT_EQ(lPos, 1);
        coArray -= P(1);
        coArray -= 0L;
        EXPECT_EQ(g_destroyed, std::vector<int>({ 2, 3, 1, 4 }));
        EXPECT_EQ(coArray.Count(), 0);
        coArray.Add(P(5));
        coArray.Add(P(6));
    }
    EXPECT_EQ(g_destroyed, std::vector<int>({ 2, 3, 1, 4, 5, 6 }));
}

TEST(TArrayTest, CopiesShareElementsAndUseMovesThem)
{
    TArray coSource(3, nullptr, CompareInts);
    for (intptr_t n : { 4, 2, 6 })
        coSource += P(n);
    TArray coCopy(coSource);
    coCopy += P(5);
    EXPECT_EQ(Values(coCopy), std::vector<intptr_t>({ 2, 4, 5, 6 }));
    coCopy = TArray();
    EXPECT_EQ(coCopy.Count() + coCopy.GetAllocSize(), 0);
    TArray coAssigned(10, nullptr, nullptr);
    coAssigned.Add(P(1));
    coAssigned = coSource;
    coAssigned = *&coAssigned;   // assigned to itself
    EXPECT_EQ(Values(coAssigned), std::vector<intptr_t>({ 2, 4, 6 }));

    // The target lets go of what it had first: its owned elements are
    // destroyed and its buffer freed (the leak checker sees a lost one).
    g_destroyed.clear();
    TArray coTaker(2, RecordDestroy, nullptr);
    coTaker.Add(P(7));
    coTaker.Add(P(8));
    coTaker.Use(coSource, 1);
    EXPECT_EQ(g_destroyed, std::vector<int>({ 7, 8 }));
    EXPECT_EQ(Values(coTaker), std::vector<intptr_t>({ 2, 4, 6 }));
    EXPECT_EQ(coSource.Count() + coSource.GetAllocSize(), 0);
    EXPECT_EQ(coTaker.GetCompareFunc(), &CompareInts);
}

TEST(TArrayTest, LongArraysMoveTheirMemoryGeometricallyOften)
{
    // With a fixed step of 20 a million additions would move the memory
    // 50,000 times, each move copying everything held so far.
    for (long lGrowth : { 1L, 20L, 256L }) {
        TArray coArray(lGrowth, nullptr, nullptr);
        long alMoves[2] = { 0, 0 };
        void** ppvLast = nullptr;
        for (intptr_t n = 0; n < 1000000; ++n) {
            ASSERT_EQ(coArray.Add(P(n)), 1);
            alMoves[0] += coArray.GetObjArray() != ppvLast;
            ppvLast = coArray.GetObjArray();
        }
        EXPECT_EQ(coArray.Get(999999), P(999999));
        while (coArray.Count() > 0) {
            coArray.Remove(coArray.Count() - 1);
            alMoves[1] += coArray.GetObjArray() != ppvLast;
            ppvLast = coArray.GetObjArray();
        }
        EXPECT_LT(alMoves[0], 4096 / lGrowth + 40) << "growing by " << lGrowth;
        EXPECT_LT(alMoves[1], 4096 / lGrowth + 40) << "shrinking by " << lGrowth;
    }
}

TEST(TStackTest, PopsInReverseOrderAndOnlyDeleteDestroys)
{
    g_destroyed.clear();
    TStack coStack(2, RecordDestroy);
    coStack.Push(P(1));
    coStack.Push(P(2));
    EXPECT_EQ(N(coStack.Top()) * 100 + N(coStack.Bottom()) * 10 + N(coStack[1]), 212);
    EXPECT_EQ(std::vector<void*>({ coStack.Pop(), coStack.Pop(), coStack.Pop() }),
              std::vector<void*>({ P(2), P(1), nullptr }));
    coStack.Push(P(4));
    coStack.Delete();
    EXPECT_EQ(g_destroyed, std::vector<int>({ 4 }));
}
