#include "KwScratchTest.h"
#include "TFileSelection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
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

// The names, or another text field, of the records in order; the order tests use the path field as a tag.
std::vector<std::string> Names(const TFileSelection& coSelection,
                               const TString& (TFileInfo::*pfnField)() const = &TFileInfo::Name)
{
    std::vector<std::string> names;
    for (long i = 0; i < coSelection.Count(); ++i)
        names.emplace_back((coSelection.GetFile(i).*pfnField)());
    return names;
}

class TFileSelectionDirectory : public kwtest::TScratchTest {
protected:
    TFileSelectionDirectory() : TScratchTest("kwfs-") {}
};

} // namespace

// Copies hold copies of the records, moves take them over; every record
// left is destroyed with its selection (the leak checker would tell).
TEST(TFileSelectionTest, TheFiveOrdersAndRecordsByIndexFindingRemovingCopyingAndMoving)
{
    const TFileInfo aRecords[] = {
        Record("b.txt", 30, 100), Record("a.TXT", 10, 300), Record("c.dat", 20, 200),
        Record("a.dat", 20, 300), Record("B.c", 0xFFFFFFFFul, 0xFFFFFFFFul), Record("d", 0, 0),
    };
    // An unknown type sorts by name; then by name, extension, size, date,
    // none. The 32-bit fields compare as unsigned values: "not set" is last.
    const std::pair<unsigned short, std::vector<std::string>> aCases[] = {
        { 9, { "a.dat", "a.TXT", "B.c", "b.txt", "c.dat", "d" } },
        { 0, { "a.dat", "a.TXT", "B.c", "b.txt", "c.dat", "d" } },
        { 1, { "d", "B.c", "a.dat", "c.dat", "a.TXT", "b.txt" } },
        { 2, { "d", "b.txt", "c.dat", "a.dat", "a.TXT", "B.c" } },
        { 3, { "d", "a.TXT", "a.dat", "c.dat", "b.txt", "B.c" } },
        { 4, { "b.txt", "a.TXT", "c.dat", "a.dat", "B.c", "d" } },
    };
    TFileSelection coSelection;
    for (const auto& c : aCases) {
        coSelection = TFileSelection(c.first);
        for (const TFileInfo& coInfo : aRecords)
            coSelection.AddFile(coInfo);
        EXPECT_EQ(Names(coSelection), c.second) << "sort type " << c.first;
        // Found by bisection in name and extension order, searched through in the others.
        EXPECT_STREQ(coSelection[coSelection.FindFile("A.txt")].Name(), "a.TXT") << "sort type " << c.first;
        EXPECT_EQ(coSelection.FindFile("missing") + coSelection.FindFile("") + coSelection.FindFile(nullptr), -3);
    }
    // Outside the range: an empty record.
    EXPECT_EQ(std::string(coSelection.GetFile(-1).Name()) + static_cast<const char*>(coSelection[6L].Name()), "");

    TFileSelection coAssigned(TFileSelection::SortByName);
    coAssigned.AddFile(Record("old"));
    coAssigned = coSelection;
    coAssigned = *&coAssigned;   // assigned to itself
    TFileSelection coCopy(coAssigned);
    EXPECT_EQ(std::vector<int>({ coCopy.RemoveFile(1), coCopy.RemoveFile(5), coCopy.RemoveFile(-1) }),
              std::vector<int>({ 1, 0, 0 }));
    EXPECT_EQ(Names(coAssigned), (std::vector<std::string> { "b.txt", "a.TXT", "c.dat", "a.dat", "B.c", "d" }));
    TFileSelection coMoved(std::move(coCopy));
    EXPECT_TRUE(coCopy.IsEmpty());
    TFileSelection coByDate(TFileSelection::SortByDate);
    coByDate = std::move(coMoved);
    EXPECT_EQ(coByDate.GetSortType(), TFileSelection::SortNone);
    EXPECT_EQ(Names(coByDate), (std::vector<std::string> { "b.txt", "c.dat", "a.dat", "B.c", "d" }));
}

TEST(TFileSelectionTest, BatchesAndResortsGiveExactlyTheOrderOfOneByOneInserts)
{
    // Many equal keys in every order: few names (with case variants and extensions shared between bases), few sizes and
    // few dates. The generator is fully defined by the standard, so every platform sees the same data.
    const char* const apszNames[] = { "a.txt", "A.TXT", "b.txt", "a.dat", "B", "b", "c.x.y", "c.X",
                                      ".", "..", "readme", "a.b.c", "z.txt", "Z.Txt" };
    const unsigned long aulDates[] = { 0, 5, 5, 1000, TFileInfo::NoTime, 0x80000001ul };
    const size_t anCounts[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 17, 31, 64, 100, 257, 1000, 4000 };
    for (unsigned short unType = 0; unType <= 4; ++unType) {
        for (size_t nCount : anCounts) {
            std::minstd_rand coRandom(static_cast<uint32_t>(nCount + unType));
            std::vector<TFileInfo> records;
            for (size_t i = 0; i < nCount; ++i) {
                const char* pszName = apszNames[coRandom() % (sizeof(apszNames) / sizeof(apszNames[0]))];
                const unsigned long ulSize = coRandom() % 4 == 0 ? 0xFFFFFFFFul : coRandom() % 3;
                const unsigned long ulDate = aulDates[coRandom() % (sizeof(aulDates) / sizeof(aulDates[0]))];
                records.push_back(Record(pszName, ulSize, ulDate, std::to_string(i).c_str()));
            }
            SCOPED_TRACE("type " + std::to_string(unType) + ", " + std::to_string(nCount) + " records");
            TFileSelection coOneByOne(unType);
            for (const TFileInfo& coInfo : records)
                ASSERT_EQ(coOneByOne.AddFile(coInfo), 1);

            // A batch after some single inserts (all of them for fewer than three), null elements passed over; a
            // re-sort from insertion order.
            TArray coAll(64, nullptr, nullptr);
            TArray coRest(64, nullptr, nullptr);
            coRest.Add(nullptr);
            TFileSelection coMixed(unType);
            for (size_t i = 0; i < nCount; ++i) {
                coAll.Add(const_cast<TFileInfo*>(&records[i]));
                if (i < nCount / 3)
                    coMixed.AddFile(records[i]);
                else
                    coRest.Add(const_cast<TFileInfo*>(&records[i]));
            }
            ASSERT_EQ(coMixed.AddFiles(coRest), 1);
            TFileSelection coResorted(TFileSelection::SortNone);
            ASSERT_EQ(coResorted.AddFiles(coAll), 1);
            coResorted.Sort(unType);
            const std::vector<std::string> expected = Names(coOneByOne, &TFileInfo::Path);
            ASSERT_EQ(Names(coMixed, &TFileInfo::Path), expected) << "batch";
            ASSERT_EQ(Names(coResorted, &TFileInfo::Path), expected) << "Sort";
        }
    }
}

// Selecting from a directory of the platform

TEST_F(TFileSelectionDirectory, SelectAddsTheEntriesThatPassTheMaskWithTheirSizesBeyondFourGiB)
{
    for (const char* pszName : { "b.txt", "a.TXT", "c.dat" })
        kwtest::WriteFileBytes(At(pszName), "");
    ASSERT_TRUE(fs::create_directory(At("sub")));
    ASSERT_TRUE(fs::create_directory(At(".hid")));
#if defined(_WIN32)
    SetFileAttributesA(At(".hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    TFileSelection coAll;
    ASSERT_EQ(coAll.Select(m_dir.c_str(), nullptr, 22), 1);
    EXPECT_EQ(Names(coAll), (std::vector<std::string> { ".", "..", ".hid", "a.TXT", "b.txt", "c.dat", "sub" }));
    TFileSelection coNoDirectories(TFileSelection::SortByExt);
    ASSERT_EQ(coNoDirectories.Select(m_dir.c_str(), "*.*", 20), 1);
    EXPECT_EQ(Names(coNoDirectories), (std::vector<std::string> { "c.dat", ".hid", "a.TXT", "b.txt" }));
    TFileSelection coVisible;
    ASSERT_EQ(coVisible.Select(m_dir.c_str(), "*", 2), 1);
    EXPECT_EQ(Names(coVisible), (std::vector<std::string> { ".", "..", "a.TXT", "b.txt", "c.dat", "sub" }));
    // Adding to what is there, in order.
    TFileSelection coText;
    ASSERT_TRUE(coText.Select(m_dir.c_str(), "c*", 22) && coText.Select(m_dir.c_str(), "b*", 22));
    EXPECT_EQ(Names(coText), (std::vector<std::string> { "b.txt", "c.dat" }));

    TFileSelection coSelection;
    EXPECT_EQ(coSelection.Select(At("missing").c_str(), nullptr, 22), 0);
    EXPECT_TRUE(coSelection.IsEmpty());

    // A size beyond 4 GiB is kept whole.
    const uint64_t ullBig = (5ull << 30) + 7;
    kwtest::WriteFileBytes(At("big.bin"), "x");
    fs::resize_file(At("big.bin"), ullBig);
    ASSERT_EQ(coSelection.Select(m_dir.c_str(), "big.bin", 22), 1);
    ASSERT_EQ(coSelection.Count(), 1);
    TFileInfo coInfo = coSelection[0];
    EXPECT_EQ(coInfo.Size64(), ullBig);
    EXPECT_EQ(coInfo.Size(), TFileInfo::LargeSize);
    coInfo.SetSize(12);
    EXPECT_EQ(coInfo.Size64(), 12u);
}
