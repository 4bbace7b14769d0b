#include "KwScratchTest.h"
#include "TCrt.h"
#include "TFileSelection.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#endif

namespace fs = std::filesystem;

namespace {

TFileInfo Record(const char* pszName, unsigned long ulSize = 0, unsigned long ulModified = TFileInfo::NoTime,
                 const char* pszTag = "")
{
    TFileInfo coInfo;
    coInfo.SetName(pszName);
    coInfo.SetSize(ulSize);
    coInfo.SetLastModified(ulModified);
    coInfo.SetPath(pszTag);
    return coInfo;
}

std::vector<std::string> Names(const TFileSelection& coSelection)
{
    std::vector<std::string> names;
    for (long i = 0; i < coSelection.Count(); ++i)
        names.emplace_back(coSelection.GetFile(i).Name());
    return names;
}

// The path fields, which the order tests use as tags.
std::vector<std::string> Tags(const TFileSelection& coSelection)
{
    std::vector<std::string> tags;
    for (long i = 0; i < coSelection.Count(); ++i)
        tags.emplace_back(coSelection.GetFile(i).Path());
    return tags;
}

// A small generator of its own, so every platform sees the same data.
class TRandom {
public:
    explicit TRandom(uint32_t ulSeed) : m_ulState(ulSeed) {}
    uint32_t Next(uint32_t ulBound)
    {
        m_ulState = m_ulState * 1664525u + 1013904223u;
        return (m_ulState >> 8) % ulBound;
    }

private:
    uint32_t m_ulState;
};

// Records with many equal keys in every order: few names (with case
// variants and extensions shared between bases), few sizes and few dates.
std::vector<TFileInfo> VariedRecords(size_t nCount, uint32_t ulSeed)
{
    static const char* const s_apszNames[] = { "a.txt", "A.TXT", "b.txt", "a.dat", "B", "b", "c.x.y", "c.X",
                                               ".", "..", "readme", "a.b.c", "z.txt", "Z.Txt" };
    static const unsigned long s_aulDates[] = { 0, 5, 5, 1000, TFileInfo::NoTime, 0x80000001ul };
    TRandom coRandom(ulSeed);
    std::vector<TFileInfo> records;
    for (size_t i = 0; i < nCount; ++i) {
        const char* pszName = s_apszNames[coRandom.Next(sizeof(s_apszNames) / sizeof(s_apszNames[0]))];
        const unsigned long ulSize = coRandom.Next(4) == 0 ? 0xFFFFFFFFul : coRandom.Next(3);
        const unsigned long ulDate = s_aulDates[coRandom.Next(sizeof(s_aulDates) / sizeof(s_aulDates[0]))];
        records.push_back(Record(pszName, ulSize, ulDate, std::to_string(i).c_str()));
    }
    return records;
}

} // namespace

TEST(TFileSelectionTest, TheFiveOrders)
{
    const TFileInfo aRecords[] = {
        Record("b.txt", 30, 100), Record("a.TXT", 10, 300), Record("c.dat", 20, 200),
        Record("a.dat", 20, 300), Record("B.c", 0xFFFFFFFFul, 0xFFFFFFFFul), Record("d", 0, 0),
    };
    // By name, extension, size, date, none; an unknown type sorts by name.
    // The 32-bit fields compare as unsigned values: "not set" is last.
    const std::pair<unsigned short, const char*> aCases[] = {
        { 0, "a.dat a.TXT B.c b.txt c.dat d " }, { 1, "d B.c a.dat c.dat a.TXT b.txt " },
        { 2, "d b.txt c.dat a.dat a.TXT B.c " }, { 3, "d a.TXT a.dat c.dat b.txt B.c " },
        { 4, "b.txt a.TXT c.dat a.dat B.c d " }, { 9, "a.dat a.TXT B.c b.txt c.dat d " },
    };
    for (const auto& c : aCases) {
        TFileSelection coSelection(c.first);
        for (const TFileInfo& coInfo : aRecords)
            coSelection.AddFile(coInfo);
        std::string strNames;
        for (const std::string& strName : Names(coSelection))
            strNames += strName + " ";
        EXPECT_EQ(strNames, c.second) << "sort type " << c.first;
    }
}

TEST(TFileSelectionTest, BatchesAndResortsGiveExactlyTheOrderOfOneByOneInserts)
{
    const size_t anCounts[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 17, 31, 64, 100, 257, 1000, 4000 };
    for (unsigned short unType = 0; unType <= 4; ++unType) {
        for (size_t nCount : anCounts) {
            for (uint32_t ulSeed : { 1u, 7u, 12345u }) {
                const std::vector<TFileInfo> records = VariedRecords(nCount, ulSeed + static_cast<uint32_t>(nCount));
                const std::string at = "type " + std::to_string(unType) + ", " + std::to_string(nCount) + " records, seed "
                    + std::to_string(ulSeed);

                TFileSelection coOneByOne(unType);
                for (const TFileInfo& coInfo : records)
                    ASSERT_EQ(coOneByOne.AddFile(coInfo), 1);
                const std::vector<std::string> expected = Tags(coOneByOne);

                // All at once; null elements of the array are passed over.
                TArray coAll(64, nullptr, nullptr);
                for (const TFileInfo& coInfo : records)
                    coAll.Add(const_cast<TFileInfo*>(&coInfo));
                TFileSelection coBatch(unType);
                TArray coWithNulls(coAll);
                coWithNulls.Insert(0L, nullptr);
                coWithNulls.Add(nullptr);
                ASSERT_EQ(coBatch.AddFiles(coWithNulls), 1);
                ASSERT_EQ(Tags(coBatch), expected) << at;

                // A batch after some single inserts.
                const size_t nFirst = nCount / 3;
                TFileSelection coMixed(unType);
                TArray coRest(64, nullptr, nullptr);
                for (size_t i = 0; i < nCount; ++i) {
                    if (i < nFirst)
                        coMixed.AddFile(records[i]);
                    else
                        coRest.Add(const_cast<TFileInfo*>(&records[i]));
                }
                ASSERT_EQ(coMixed.AddFiles(coRest), 1);
                ASSERT_EQ(Tags(coMixed), expected) << at << ", batch after " << nFirst;

                // Re-sorting from insertion order.
                TFileSelection coResorted(TFileSelection::SortNone);
                ASSERT_EQ(coResorted.AddFiles(coAll), 1);
                coResorted.Sort(unType);
                ASSERT_EQ(Tags(coResorted), expected) << at << ", Sort";
            }
        }
    }
}

// Copies hold copies of the records, moves take them over; every record
// left is destroyed with its selection (the leak checker would tell).
TEST(TFileSelectionTest, CopiesCarryTheTypeAndCopiesOfTheRecords)
{
    TFileSelection coUnsorted(TFileSelection::SortNone);
    for (const char* pszName : { "z", "a", "m" })
        coUnsorted.AddFile(Record(pszName));
    TFileSelection coAssigned(TFileSelection::SortByDate);
    coAssigned.AddFile(Record("old"));
    coAssigned = coUnsorted;
    coAssigned = *&coAssigned;   // assigned to itself
    coAssigned.RemoveFile(0);
    EXPECT_EQ(Names(coAssigned), (std::vector<std::string> { "a", "m" }));
    EXPECT_EQ(Names(coUnsorted), (std::vector<std::string> { "z", "a", "m" }));
    TFileSelection coMoved(std::move(coAssigned));
    EXPECT_TRUE(coAssigned.IsEmpty());
    TFileSelection coByName;
    coByName = std::move(coMoved);
    EXPECT_EQ(coByName.GetSortType(), TFileSelection::SortNone);
    EXPECT_EQ(Names(coByName), (std::vector<std::string> { "a", "m" }));
}

TEST(TFileSelectionTest, RecordsByIndexFindingAndRemoving)
{
    TFileSelection coSelection;
    for (const char* pszName : { "b.txt", "A.txt", "c", "a.dat" })
        coSelection.AddFile(Record(pszName, 1, 2));
    EXPECT_EQ(coSelection.Count(), 4);
    EXPECT_STREQ(coSelection[0].Name(), "a.dat");
    EXPECT_STREQ(coSelection[3L].Name(), "c");
    for (long i : { -1L, 4L }) {
        const TFileInfo coEmpty = coSelection.GetFile(i);
        EXPECT_EQ(std::string(coEmpty.Name()) + std::to_string(coEmpty.Size()), "0") << i;
        EXPECT_EQ(coEmpty.LastModified() & coEmpty.CreationTime() & coEmpty.LastAccessed(), 0xFFFFFFFFul);
    }
    // A copy is handed out: changing it changes nothing inside.
    TFileInfo coCopy = coSelection[1];
    coCopy.SetName("changed");
    EXPECT_STREQ(coSelection[1].Name(), "A.txt");

    for (unsigned short unType = 0; unType <= 4; ++unType) {
        TFileSelection coSorted(coSelection);
        coSorted.Sort(unType);
        const long lIndex = coSorted.FindFile("a.TXT");
        ASSERT_GE(lIndex, 0) << unType;
        EXPECT_STREQ(coSorted[lIndex].Name(), "A.txt");
        EXPECT_EQ(coSorted.FindFile("missing"), -1);
        EXPECT_EQ(coSorted.FindFile(""), -1);
        EXPECT_EQ(coSorted.FindFile(nullptr), -1);
    }

    EXPECT_EQ(coSelection.RemoveFile(1), 1);
    EXPECT_EQ(Names(coSelection), (std::vector<std::string> { "a.dat", "b.txt", "c" }));
    EXPECT_EQ(coSelection.RemoveFile(3), 0);
    EXPECT_EQ(coSelection.RemoveFile(-1), 0);
    EXPECT_EQ(coSelection.Count(), 3);
}

// Selecting from a directory of the platform

namespace {

class TFileSelectionDirectory : public kwtest::TScratchTest {
protected:
    TFileSelectionDirectory() : TScratchTest("kwfs-") {}

    void Touch(const std::string& name) { kwtest::WriteFileBytes(At(name), ""); }
};

} // namespace

TEST_F(TFileSelectionDirectory, SelectAddsTheEntriesThatPassTheMask)
{
    for (const char* pszName : { "b.txt", "a.TXT", "c.dat" })
        Touch(pszName);
    ASSERT_TRUE(fs::create_directory(At("sub")));
    ASSERT_TRUE(fs::create_directory(At(".hid")));
#if defined(_WIN32)
    SetFileAttributesA(At(".hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    TFileSelection coAll;
    ASSERT_EQ(coAll.Select(m_dir.c_str(), nullptr, 22), 1);
    EXPECT_EQ(Names(coAll), (std::vector<std::string> { ".", "..", ".hid", "a.TXT", "b.txt", "c.dat", "sub" }));
    // The hidden directory has the code 4, but the record still tells it is
    // a directory.
    const TFileInfo coHidden = coAll[coAll.FindFile(".hid")];
    EXPECT_EQ(coHidden.Attributes(), TFileInfo::AttrHidden);
    EXPECT_TRUE(coHidden.IsDirectory());
    EXPECT_TRUE(coAll[coAll.FindFile("sub")].IsDirectory());
    EXPECT_FALSE(coAll[coAll.FindFile("b.txt")].IsDirectory());

    TFileSelection coNoDirectories(TFileSelection::SortByExt);
    ASSERT_EQ(coNoDirectories.Select(m_dir.c_str(), "*.*", 20), 1);
    EXPECT_EQ(Names(coNoDirectories), (std::vector<std::string> { "c.dat", ".hid", "a.TXT", "b.txt" }));
    TFileSelection coVisible;
    ASSERT_EQ(coVisible.Select(m_dir.c_str(), "*", 2), 1);
    EXPECT_EQ(coVisible.FindFile(".hid"), -1);
    EXPECT_GE(coVisible.FindFile("sub"), 0);
    TFileSelection coText;
    ASSERT_EQ(coText.Select(m_dir.c_str(), "b*", 22), 1);
    EXPECT_EQ(Names(coText), (std::vector<std::string> { "b.txt" }));
    // Adding to what is there, in order.
    ASSERT_EQ(coText.Select(m_dir.c_str(), "c*", 22), 1);
    EXPECT_EQ(Names(coText), (std::vector<std::string> { "b.txt", "c.dat" }));

    TFileSelection coMissing;
    EXPECT_EQ(coMissing.Select(At("missing").c_str(), nullptr, 22), 0);
    EXPECT_EQ(coMissing.Select("", nullptr, 22), 0);
    EXPECT_EQ(coMissing.Select(nullptr, nullptr, 22), 0);
    EXPECT_TRUE(coMissing.IsEmpty());
}
