#include "TArray.h"
#include "TString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
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
        EXPECT_EQ(coArray.Delete(1L), 1);
        EXPECT_EQ(g_destroyed, std::vector<int>({ 2 }));
        EXPECT_EQ(coArray.Delete(3L), 0);              // the null element: slot gone, result 0
        EXPECT_EQ(coArray.Count(), 3);
        EXPECT_EQ(coArray.Delete(9L), 0);
        long lPos = -1;
        EXPECT_EQ(coArray.Delete(P(3), &lPos), 1);
        EXPECT_EQ(lPos, 1);
        coArray -= P(1);
        coArray -= 0L;
        EXPECT_EQ(g_destroyed, std::vector<int>({ 2, 3, 1, 4 }));
        EXPECT_EQ(coArray.Count(), 0);
        coArray.Add(P(5));
        coArray.Add(P(6));
    }
    EXPECT_EQ(g_destroyed, std::vector<int>({ 2, 3, 1, 4, 5, 6 }));

    TArray coPlain(4, nullptr, nullptr);
    coPlain.Add(P(1));
    EXPECT_EQ(coPlain.Delete(0L), 1);                  // removed, nothing to destroy
}

TEST(TArrayTest, CopiesShareElementsAndUseMovesThem)
{
    TArray coSource(3, nullptr, CompareInts);
    for (intptr_t n : { 4, 2, 6 })
        coSource += P(n);
    TArray coCopy(coSource);
    coCopy += P(5);
    EXPECT_EQ(Values(coCopy), std::vector<intptr_t>({ 2, 4, 5, 6 }));
    EXPECT_EQ(coSource.Count(), 3);
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
    EXPECT_EQ(coSource.GetObjArray(), nullptr);
    EXPECT_EQ(coTaker.GetCompareFunc(), &CompareInts);
}

TEST(TStackTest, PopsInReverseOrder)
{
    TStack coStack;
    EXPECT_EQ(coStack.Top(), coStack.Bottom());
    coStack.Push(P(1));
    coStack.Push(P(2));
    EXPECT_EQ(N(coStack.Top()) * 10 + N(coStack.Bottom()), 21);
    EXPECT_EQ(coStack[2], nullptr);
    EXPECT_EQ(N(coStack.Pop()), 2);
    EXPECT_EQ(N(coStack.Pop()), 1);
    EXPECT_EQ(coStack.Pop(), nullptr);

    g_destroyed.clear();
    TStack coOwning(2, RecordDestroy);
    coOwning.Push(P(3));
    EXPECT_EQ(N(coOwning.Pop()), 3);
    EXPECT_TRUE(g_destroyed.empty());                 // Pop never destroys
    coOwning.Push(P(4));
    coOwning.Delete();
    EXPECT_EQ(g_destroyed, std::vector<int>({ 4 }));
}
