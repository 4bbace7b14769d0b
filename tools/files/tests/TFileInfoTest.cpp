#include "TArray.h"
#include "TFileInfo.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

TFileInfo Named(const char* pszName)
{
    TFileInfo coInfo;
    coInfo.SetName(pszName);
    return coInfo;
}

int Sign(int n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

} // namespace

TEST(TFileInfoTest, CompareByNameComparesBaseThenExtensionWithoutCase)
{
    struct {
        const char* m_pszA;
        const char* m_pszB;
        int m_nSign;
    } const aCases[] = {
        { "a.b.c", "a.x", -1 },       // equal bases, then "b.c" against "x"
        { "a.x", "a.b.c", 1 }, { "ABC.txt", "abc.TXT", 0 },
        { "a", "a.b", -1 },           // no extension sorts first
        { "ab", "a.b", 1 },           // bases first: "ab" after "a"
        { "a.z", "b.a", -1 }, { "readme", "README", 0 }, { ".", "..", -1 }, { "..", ".hid", -1 }, { "", "a", -1 },
        { "\xe4.txt", "z.txt", 1 },   // unsigned characters
    };
    for (const auto& c : aCases) {
        const TFileInfo coA = Named(c.m_pszA);
        const TFileInfo coB = Named(c.m_pszB);
        EXPECT_EQ(Sign(TFileInfo::CompareByName(&coA, &coB)), c.m_nSign) << c.m_pszA << " / " << c.m_pszB;
    }
    const TFileInfo coA = Named("a");
    EXPECT_LT(TFileInfo::CompareByName(nullptr, &coA), 0);
    EXPECT_GT(TFileInfo::CompareByName(&coA, nullptr), 0);
    EXPECT_EQ(TFileInfo::CompareByName(nullptr, nullptr), 0);
}

TEST(TFileInfoTest, ExtensionDateAndSizeOrders)
{
    auto Make = [](const char* pszName, unsigned long ulSize, unsigned long ulDate) {
        TFileInfo coInfo = Named(pszName);
        coInfo.SetSize(ulSize);
        coInfo.SetLastModified(ulDate);
        return coInfo;
    };
    // The other orders; the selection tests check them on whole lists.
    struct {
        TFileInfo m_coA;
        TFileInfo m_coB;
        int m_nExt;
        int m_nDate;
        int m_nSize;
    } const aCases[] = {
        { Make("a.b.c", 0, 0), Make("x.b.c", 0, 0), -1, -1, -1 },  // the extension is all after the first "."
        { Make("a", 0x80000001ul, 0x80000001ul), Make("b", 1, 1), -1, 1, 1 },   // unsigned
        { Make("A.x", 7, 7), Make("a.X", 7, 7), 0, 0, 0 },
    };
    for (const auto& c : aCases) {
        const std::string at = std::string(c.m_coA.Name()) + " / " + static_cast<const char*>(c.m_coB.Name());
        EXPECT_EQ(Sign(TFileInfo::CompareByExt(&c.m_coA, &c.m_coB)), c.m_nExt) << at;
        EXPECT_EQ(Sign(TFileInfo::CompareByDate(&c.m_coA, &c.m_coB)), c.m_nDate) << at;
        EXPECT_EQ(Sign(TFileInfo::CompareBySize(&c.m_coA, &c.m_coB)), c.m_nSize) << at;
        EXPECT_EQ(Sign(TFileInfo::CompareByExt(&c.m_coB, &c.m_coA)), -c.m_nExt) << at;
        EXPECT_EQ(Sign(TFileInfo::CompareByDate(&c.m_coB, &c.m_coA)), -c.m_nDate) << at;
        EXPECT_EQ(Sign(TFileInfo::CompareBySize(&c.m_coB, &c.m_coA)), -c.m_nSize) << at;
    }
    const TFileInfo coA = Named("a");
    for (auto pfnCompare : { &TFileInfo::CompareByExt, &TFileInfo::CompareByDate, &TFileInfo::CompareBySize }) {
        EXPECT_LT(pfnCompare(nullptr, &coA), 0);
        EXPECT_GT(pfnCompare(&coA, nullptr), 0);
        EXPECT_EQ(pfnCompare(nullptr, nullptr), 0);
    }
}
