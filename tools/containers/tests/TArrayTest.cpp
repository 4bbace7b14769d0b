#include "TArray.h"
#include "TString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Elements are small integers stored in the pointers themselves.
void* P(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}

intptr_t N(const void* pv)
{
    return reinterpret_cast<intptr_t>(pv);
}

int CompareInts(const void* pvA, const void* pvB)
{
    return N(pvA) < N(pvB) ? -1 : (N(pvA) > N(pvB) ? 1 : 0);
}

std::vector<intptr_t> Values(const TArray& coArray)
{
    std::vector<intptr_t> values;
    for (long i = 0; i < coArray.Count(); ++i)
        values.push_back(N(coArray.Get(i)));
    return values;
}

TArray SortedOf(std::initializer_list<intptr_t> values)
{
    TArray coArray(4, nullptr, CompareInts);
    for (intptr_t n : values)
        coArray.Add(P(n));
    return coArray;
}

// A pair whose key is compared and whose tag shows the insertion order.
struct Tagged {
    int m_nKey;
    int m_nTag;
};

int CompareTagged(const void* pvA, const void* pvB)
{
    return CompareInts(P(static_cast<const Tagged*>(pvA)->m_nKey), P(static_cast<const Tagged*>(pvB)->m_nKey));
}

std::vector<int> g_destroyed;

void RecordDestroy(void* pv)
{
    g_destroyed.push_back(static_cast<int>(N(pv)));
}

} // namespace

TEST(TArrayTest, GrowsAndShrinksOneStepAtATime)
{
    TArray coArray(4, nullptr, nullptr);
    EXPECT_EQ(coArray.GetObjArray(), nullptr);
    for (intptr_t n = 1; n <= 5; ++n)
        EXPECT_EQ(coArray.Add(P(n)), 1);
    EXPECT_EQ(coArray.GetAllocSize(), 8);
    EXPECT_TRUE(coArray.FreeSpace());

    coArray.Remove(0L);
    EXPECT_EQ(coArray.GetAllocSize(), 8);      // 8 - 4 is not more than 4
    coArray.Remove(0L);
    EXPECT_EQ(coArray.GetAllocSize(), 4);      // 8 - 3 > 4
    EXPECT_EQ(Values(coArray), std::vector<intptr_t>({ 3, 4, 5 }));
    while (coArray.Count())
        coArray.Remove(0L);
    EXPECT_EQ(coArray.GetAllocSize(), 4);      // removal never frees the last step
    coArray.Delete();
    EXPECT_EQ(coArray.GetAllocSize(), 0);

    for (intptr_t n = 0; n < 4; ++n)
        coArray.Add(P(n));
    EXPECT_FALSE(coArray.FreeSpace());
}

TEST(TArrayTest, MakeRoomGrowsInOneStepAndKeepsTheElements)
{
    TArray coArray(4, nullptr, nullptr);
    coArray.Add(P(1));
    coArray.Add(P(2));
    EXPECT_EQ(coArray.MakeRoom(2), 1);
    EXPECT_EQ(coArray.GetAllocSize(), 4);      // there was room already
    EXPECT_EQ(coArray.MakeRoom(1000), 1);
    EXPECT_EQ(coArray.GetAllocSize(), 1002);
    void** ppvSlots = coArray.GetObjArray();
    for (intptr_t n = 3; n <= 1002; ++n)
        ASSERT_EQ(coArray.Add(P(n)), 1);
    EXPECT_EQ(coArray.GetObjArray(), ppvSlots); // no growth on the way
    EXPECT_EQ(coArray.Get(1001), P(1002));
    EXPECT_EQ(coArray.MakeRoom(-5), 1);
    EXPECT_EQ(coArray.MakeRoom(std::numeric_limits<long>::max()), 0);
    EXPECT_EQ(coArray.Count(), 1002);
    coArray.Add(P(1003));                       // and on by the growth step
    EXPECT_EQ(coArray.GetAllocSize(), 1006);
}

TEST(TArrayTest, SortedInsertPlacesEqualsAfterTheirRun)
{
    struct Case {
        std::initializer_list<intptr_t> before;
        intptr_t element;
        long position;
    };
    const Case cases[] = {
        { { 1, 3 }, 0, 0 }, { { 1, 3 }, 4, 2 }, { { 1, 2, 2, 3 }, 2, 3 }, { {}, 5, 0 },
        { { 1, 3 }, 1, 1 },          // equal to the first: after lo
        { { 1, 3 }, 3, 1 },          // equal to the last of two: before it
        { { 1, 3, 3 }, 3, 3 }, { { 1, 2, 3, 4, 5, 6, 7 }, 5, 5 },
        { { 1, 2, 3, 4, 5, 6, 7 }, 7, 6 },     // equal to the last: the loop stops before it
    };
    for (const Case& c : cases) {
        TArray coArray = SortedOf(c.before);
        long lPos = -5;
        ASSERT_EQ(coArray.Insert(P(c.element), &lPos), 1);
        EXPECT_EQ(lPos, c.position) << "inserting " << c.element;
        EXPECT_EQ(N(coArray.Get(lPos)), c.element);
    }

    TArray coUnsorted(4, nullptr, nullptr);
    coUnsorted.Add(P(9));
    long lPos = -1;
    coUnsorted.Insert(P(1), &lPos);
    EXPECT_EQ(lPos, 1);

    // Many equal keys keep the array sorted.
    std::vector<Tagged> items;
    for (int i = 0; i < 200; ++i)
        items.push_back({ (i * 37) % 11, i });
    TArray coArray(3, nullptr, CompareTagged);
    for (Tagged& t : items)
        coArray += &t;
    coArray += static_cast<void*>(nullptr);            // ignored
    ASSERT_EQ(coArray.Count(), 200);
    for (long i = 1; i < coArray.Count(); ++i)
        ASSERT_LE(static_cast<const Tagged*>(coArray.Get(i - 1))->m_nKey, static_cast<const Tagged*>(coArray.Get(i))->m_nKey);
}

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
