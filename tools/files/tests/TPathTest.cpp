#include "KwScratchTest.h"
#include "TCrt.h"
#include "TPath.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#endif

namespace fs = std::filesystem;

namespace {

// A dependent path that records what it was told.
class TWatchingPath : public TPath {
public:
    using TPath::TPath;
    std::vector<TPath*> m_vecTold;
    TPath* m_pcoSibling { nullptr };    // deleted when this path is told

protected:
    void NotifyDestroy(TPath* pcoPath) override
    {
        m_vecTold.push_back(pcoPath);
        delete m_pcoSibling;
        m_pcoSibling = nullptr;
    }
};

// The outcome of Create, Remove or RemoveHighest: the result and the error's name, and for Create whether the directory
// existed ("1 Success existed").
std::string Outcome(int nResult, unsigned short unError, int nExisted = -1)
{
    const char* const apszErrors[] = { "Success", "NoAccess", "InvalidPath", "NotRemovable", "NoPath" };
    return std::to_string(nResult) + " " + (unError < 5 ? apszErrors[unError] : "?")
        + (nExisted < 0 ? "" : nExisted ? " existed" : " new");
}
std::string Created(const TPath& co)
{
    int nExisted = 7;
    unsigned short unError = 77;
    const int nResult = co.Create(&nExisted, &unError);
    return Outcome(nResult, unError, nExisted);
}
std::string Removed(const TPath& co, bool bHighest = false)
{
    unsigned short unError = 77;
    const int nResult = bHighest ? co.RemoveHighest(&unError) : co.Remove(&unError);
    return Outcome(nResult, unError);
}

} // namespace

// Texts

TEST(TPathTest, PathFormsWithAndWithoutDriveTheirDirectoryNamesAndNothingOnDiskWithoutDrive)
{
    // Drive ("0" for none), path, full path, validity and the directory names of the full path.
    const std::pair<TPath, const char*> aCases[] = {
        { TPath('c', "windows"), "C \\windows C:\\WINDOWS 1 WINDOWS|" }, { TPath('c', nullptr), "C \\ C:\\ 1 " },
        { TPath('D', "\\Temp\\x"), "D \\Temp\\x D:\\TEMP\\X 1 TEMP|X|" },
        { TPath('c', "\\\\x\\\\\\y\\\\"), "C \\\\x\\\\\\y\\\\ C:\\\\X\\\\\\Y\\\\ 1 X|Y|" },
        { TPath('c', "d:temp"), "C \\d:temp C:\\D:TEMP 1 D:TEMP|" },   // the constructor takes the text as it is
        { TPath(0, "windows"), "0 \\windows  0 " }, { TPath('\xe4', "x"), "0 \\x  0 " },
        { TPath('z', "\xe4rger"), "Z \\\xe4rger Z:\\\xe4RGER 1 \xe4RGER|" },
    };
    // Split empties the array first.
    TArray coParts;
    coParts.Add(nullptr);
    for (const auto& c : aCases) {
        const TPath& coPath = c.first;
        std::string text = std::string(1, coPath.Drive() ? coPath.Drive() : '0') + " "
            + static_cast<const char*>(coPath.Path()) + " " + static_cast<const char*>(coPath) + " "
            + std::to_string(coPath.IsValid()) + " ";
        const long lCount = coPath.Split(coParts);
        EXPECT_EQ(lCount, coParts.Count());
        for (long i = 0; i < coParts.Count(); ++i)
            text += std::string(static_cast<const char*>(coParts.Get(i))) + "|";
        EXPECT_EQ(text, c.second);
    }

    // Assigning a text uses it: a drive letter in it sets the drive. SetPath only skips it.
    const std::pair<const char*, const char*> aTexts[] = {
        { "d:temp", "D\\temp C\\temp" }, { "d:\\temp\\", "D\\temp\\ C\\temp\\" }, { "e:", "E\\ C\\" },
        { "1:abc", "C\\abc C\\abc" },         // not a letter: skipped, the drive stays
        { "abc", "C\\abc C\\abc" }, { "\\abc", "C\\abc C\\abc" }, { "", "C\\ C\\" }, { nullptr, "C\\ C\\" },
    };
    for (const auto& t : aTexts) {
        TPath coUsed('c', "old");
        coUsed = t.first;
        TPath coSet('c', "old");
        coSet.SetPath(t.first);
        const std::string text = std::string(1, coUsed.Drive()) + static_cast<const char*>(coUsed.Path()) + " "
            + coSet.Drive() + static_cast<const char*>(coSet.Path());
        EXPECT_EQ(text, t.second);
    }

    TPath coPath;
    coPath.Set('b', "dir");
    const std::unique_ptr<TPath> pcoClone(coPath.Clone());
    TPath coAssigned('x', "y");
    coAssigned = *pcoClone;
    EXPECT_STREQ(coAssigned.FullPath(), "B:\\DIR");

    // Without drive there is nothing on disk.
    const TPath coNoDrive(0, "\\somewhere");
    EXPECT_EQ(coNoDrive.Exists(), 0);
    EXPECT_EQ(coNoDrive.IsEmpty(), 1);
    EXPECT_EQ(std::vector<std::string>({ Created(coNoDrive), Removed(coNoDrive), Removed(coNoDrive, true) }),
              std::vector<std::string>({ "0 NoPath new", "0 NoPath", "0 NoPath" }));
}

TEST(TPathTest, DependentPathsAreToldAndEitherSideMayGoFirst)
{
    auto* pcoParent = new TPath('c', "parent");
    auto* pcoShortLived = new TWatchingPath('c', "short");
    auto* pcoSibling = new TWatchingPath('c', "sibling");
    TWatchingPath coChild('c', "child");
    TWatchingPath coOther('c', "other");
    TWatchingPath coSurvivor('c', "survivor");
    coChild.m_pcoSibling = pcoSibling;
    // At most once, never nothing or itself.
    const std::vector<int> results { pcoParent->AddChildPath(pcoShortLived), pcoParent->AddChildPath(&coChild),
                                     pcoParent->AddChildPath(&coChild),      pcoParent->AddChildPath(nullptr),
                                     pcoParent->AddChildPath(pcoParent),     pcoParent->AddChildPath(&coOther),
                                     pcoParent->AddChildPath(pcoSibling),    pcoParent->AddChildPath(&coSurvivor),
                                     pcoParent->RemoveChildPath(&coOther),   pcoParent->RemoveChildPath(&coOther),
                                     pcoParent->RemoveChildPath(nullptr) };
    EXPECT_EQ(results, std::vector<int>({ 1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 0 }));
    TPath coCopy(*pcoParent);       // copies are not registered anywhere
    EXPECT_EQ(coCopy.RemoveChildPath(&coChild), 0);

    // A dependent path that dies first takes itself off the list; a sibling deleted while the first one is told is not
    // told any more (the address checker would catch either).
    delete pcoShortLived;
    delete pcoParent;
    EXPECT_EQ(coChild.m_vecTold, (std::vector<TPath*> { pcoParent }));
    EXPECT_EQ(coSurvivor.m_vecTold, (std::vector<TPath*> { pcoParent }));
    EXPECT_TRUE(coOther.m_vecTold.empty());
    EXPECT_STREQ(TPath::GetError(99), "Undefined error");
}

#if defined(_WIN32)

// The file system, on the test drive T:.

namespace {

class TPathFiles : public kwtest::TScratchTest {
protected:
    TPathFiles() : TScratchTest("kwpa-") {}

    // A path below the scratch directory, which lies in the root of T:.
    TPath Path(const std::string& below) const { return TPath('t', ("\\" + m_dir.substr(3) + below).c_str()); }

    void Touch(const std::string& name) { kwtest::WriteFileBytes(At(name), ""); }
};

} // namespace

TEST_F(TPathFiles, CreateMakesTheWholeChainRemoveTakesItBackOrTellsWhatStoodInTheWayAndSelectListsIt)
{
    const TPath coPath = Path("\\a\\b\\c");
    EXPECT_EQ(Created(coPath), "1 Success new");
    EXPECT_TRUE(fs::is_directory(At("a\\b\\c")));
    EXPECT_EQ(Created(coPath), "1 Success existed");
    EXPECT_EQ(Path("\\a\\b\\c\\").Exists(), 1);

    // RemoveHighest takes only the directory itself, and only an empty one.
    EXPECT_EQ(std::vector<std::string>({ Removed(Path("\\a\\b"), true), Removed(coPath, true),
                                         Removed(coPath, true) }),
              std::vector<std::string>({ "0 NotRemovable", "1 Success", "0 InvalidPath" }));
    EXPECT_TRUE(fs::exists(At("a\\b")));
    // Remove goes on with each parent, until one is not empty.
    ASSERT_EQ(coPath.Create(nullptr, nullptr), 1);
    Touch("keep.txt");
    EXPECT_EQ(Removed(coPath), "0 NotRemovable");
    EXPECT_FALSE(fs::exists(At("a")));
    // Without anything in the way every level goes, the test's own directory included.
    fs::remove(At("keep.txt"));
    ASSERT_EQ(coPath.Create(nullptr, nullptr), 1);
    EXPECT_EQ(Removed(coPath), "1 Success");
    EXPECT_FALSE(fs::exists(m_dir));
    ASSERT_TRUE(fs::create_directory(m_dir));

    // A file where a directory of the chain should be; a drive that is not ready.
    Touch("file");
    EXPECT_EQ(Created(Path("\\file\\sub")), "0 InvalidPath new");
    const auto failed = testing::AllOf(testing::StartsWith("0 "), testing::Not(testing::HasSubstr("Success")));
    EXPECT_THAT(Created(TPath('n', "\\kw\\x")), testing::AllOf(failed, testing::EndsWith(" new")));
    EXPECT_THAT(Removed(Path("\\file"), true), failed);
    EXPECT_TRUE(fs::exists(At("file")));

    // Selecting gives records with the full path, upper case; "." and ".." make every subdirectory not empty.
    ASSERT_TRUE(fs::create_directory(At("empty")));
    const TPath coHere = Path("");
    const TFileSelection coAll = coHere.SelectFiles("*.*", 22, TFileSelection::SortByName);
    ASSERT_EQ(coAll.Count(), 4);
    EXPECT_STREQ(coAll[3].Name(), "file");
    EXPECT_STREQ(coAll[3].Path(), coHere.FullPath());
    EXPECT_EQ(CrtStricmp(coHere.FullPath(), m_dir.c_str()), 0);
    EXPECT_EQ(Path("\\empty").IsEmpty() + TPath('t', "\\").IsEmpty(), 0);
}

// Names beyond the old code page come back exactly, with no alias beside
// them; a path of 340 characters (beyond 260, and beyond what Wine's
// ANSI calls take) is created, found, listed and removed.
TEST_F(TPathFiles, NamesInEveryAlphabetAndPathsBeyond260Characters)
{
    const std::string strName = "\xCE\xA9mega-\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB-\xE6\x97\xA5-\xF0\x9F\x98\x80.txt";
    std::string strBelow;
    while (m_dir.size() + strBelow.size() < 340)
        strBelow += "\\" + std::string(60, static_cast<char>('a' + strBelow.size() % 26)) + "-\xD1\x84";
    const TPath coDeep = Path(strBelow);
    ASSERT_GE(std::string(coDeep.ShownPath()).size(), 340u);
    EXPECT_EQ(Created(coDeep), "1 Success new");
    EXPECT_EQ(coDeep.Exists(), 1);
    std::ofstream(fs::u8path(std::string(coDeep.ShownPath()) + "\\" + strName)) << "x";
    const TFileSelection coFiles = coDeep.SelectFiles("*.txt", TFileInfo::AttrHidden | TFileInfo::AttrSystem, 0);
    ASSERT_EQ(coFiles.Count(), 1);
    EXPECT_EQ(std::string(coFiles.GetFile(0).Name()), strName);
    EXPECT_EQ(std::string(coFiles.GetFile(0).SystemName()), strName);
    EXPECT_EQ(coFiles.GetFile(0).IsNameLost(), 0);
    fs::remove(fs::u8path(std::string(coDeep.ShownPath()) + "\\" + strName));
    EXPECT_EQ(Removed(coDeep), "1 Success");
    EXPECT_FALSE(fs::exists(m_dir));
    ASSERT_TRUE(fs::create_directory(m_dir));
}


#endif
