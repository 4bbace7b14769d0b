#include "KwFileSelDirTree.h"
#include "KwFileSelDropRules.h"
#include "TFileSelection.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

namespace {

bool SameNoCase(const std::string& strA, const std::string& strB)
{
    if (strA.size() != strB.size())
        return false;
    for (size_t i = 0; i < strA.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(strA[i])) != std::tolower(static_cast<unsigned char>(strB[i])))
            return false;
    return true;
}

} // namespace

TEST(KwFileSelDirTreeTest, ReReadingAboveTheFocusFindsTheFocusAgainByItsPath)
{
    // \ with A\B\C and D
    TTreeNode* pcoRoot = KwFileSelDirTree::MakeNode("\\");
    auto Find = [pcoRoot](const std::vector<std::string>& vecNames) {
        return KwFileSelDirTree::FindByNames(pcoRoot, vecNames, SameNoCase);
    };
    EXPECT_EQ(KwFileSelDirTree::ReadChildren(pcoRoot, { ".", "..", "A", "D" }), 2);
    KwFileSelDirTree::ReadChildren(Find({ "A" }), { "B" });
    KwFileSelDirTree::ReadChildren(Find({ "A", "B" }), { "C" });
    TTreeNode* pcoFocus = Find({ "a", "b", "c" });
    ASSERT_NE(pcoFocus, nullptr);
    EXPECT_EQ(KwFileSelDirTree::NamesOfNode(pcoFocus), (std::vector<std::string> { "A", "B", "C" }));

    // Re-reading A deletes B and C; the focus comes back as the new B, the
    // nearest part of its path that exists.
    pcoFocus = KwFileSelDirTree::ReadChildrenKeepingFocus(Find({ "A" }), { "b", "X" }, pcoFocus, SameNoCase);
    ASSERT_EQ(pcoFocus, Find({ "A", "b" }));
    EXPECT_EQ(KwFileSelDirTree::NodeText(pcoFocus), "b");
    // A focus outside the node re-read stays as it is.
    TTreeNode* pcoD = Find({ "D" });
    EXPECT_EQ(KwFileSelDirTree::ReadChildrenKeepingFocus(Find({ "A" }), { "Y" }, pcoD, SameNoCase), pcoD);
    // Re-reading the root without A leaves the focus on the root.
    KwFileSelDirTree::ReadChildren(Find({ "A", "Y" }), { "Z" });
    EXPECT_EQ(KwFileSelDirTree::ReadChildrenKeepingFocus(pcoRoot, { "D" }, Find({ "A", "Y", "Z" }), SameNoCase), pcoRoot);
    pcoRoot->Delete(KwFileSelDirTree::DestroyObject, 0);
}

// A refresh keeps what is still there as it was: the kept children keep
// their subtrees and their open state, the ones that went are gone, new
// ones come in the order of the new scan.
TEST(KwFileSelDirTreeTest, MergingKeepsOpenSubtreesAndFollowsTheNewScan)
{
    TTreeNode* pcoRoot = KwFileSelDirTree::MakeNode("\\");
    auto Find = [pcoRoot](const std::vector<std::string>& vecNames) {
        return KwFileSelDirTree::FindByNames(pcoRoot, vecNames, SameNoCase);
    };
    KwFileSelDirTree::ReadChildren(pcoRoot, { "A", "B", "C" });
    KwFileSelDirTree::ReadChildren(Find({ "A" }), { "deep" });
    Find({ "A" })->Open();
    TTreeNode* pcoDeep = Find({ "A", "deep" });

    EXPECT_EQ(KwFileSelDirTree::MergeChildren(pcoRoot, { ".", "..", "New", "C", KwFileSelDirTree::Entry("a", "A~1") },
                                              SameNoCase), 3);
    std::vector<std::string> vecNames;
    for (long i = 0; i < pcoRoot->NodeCount(); ++i)
        vecNames.push_back(KwFileSelDirTree::NodeText(pcoRoot->GetSubNode(i)));
    EXPECT_EQ(vecNames, (std::vector<std::string> { "New", "C", "a" }));
    EXPECT_EQ(Find({ "a", "deep" }), pcoDeep) << "the kept child keeps its subtree";
    EXPECT_TRUE(Find({ "a" })->IsOpen());
    EXPECT_EQ(Find({ "B" }), nullptr);
    std::vector<std::string> vecSystem;
    ASSERT_TRUE(KwFileSelDirTree::SystemNamesOfNode(pcoDeep, vecSystem));
    EXPECT_EQ(vecSystem, (std::vector<std::string> { "A~1", "deep" })) << "the system name read now";
    EXPECT_EQ(KwFileSelDirTree::MergeChildren(pcoRoot, {}, SameNoCase), 0);
    pcoRoot->Delete(KwFileSelDirTree::DestroyObject, 0);
}

// On a system without UTF-8 a name that lost characters ("???") is shown,
// but the system gets the entry's 8.3 alias: exactly that entry, never what
// the "?" wildcards would match. Without an alias nothing is handed on.
TEST(KwFileSelDirTreeTest, NamesThatLostCharactersAreHandedOnByTheirAlias)
{
    TTreeNode* pcoRoot = KwFileSelDirTree::MakeNode("\\");
    KwFileSelDirTree::ReadChildren(pcoRoot, { KwFileSelDirTree::Entry("???", "___~1") });
    TTreeNode* pcoLost = pcoRoot->GetSubNode(0);
    KwFileSelDirTree::ReadChildren(pcoLost, { KwFileSelDirTree::Entry("a"), KwFileSelDirTree::Entry("??", "") });
    std::vector<std::string> vecNames;
    EXPECT_TRUE(KwFileSelDirTree::SystemNamesOfNode(pcoLost->GetSubNode(0), vecNames));
    EXPECT_EQ(vecNames, (std::vector<std::string> { "___~1", "a" }));
    EXPECT_EQ(KwFileSelDirTree::NamesOfNode(pcoLost->GetSubNode(0)), (std::vector<std::string> { "???", "a" }));
    EXPECT_FALSE(KwFileSelDirTree::SystemNamesOfNode(pcoLost->GetSubNode(1), vecNames));

    TFileSelection coFiles(TFileSelection::SortNone);
    TFileInfo coInfo;
    coInfo.SetPath("C:\\DIR");
    for (auto [pszName, pszAlias, nLost] : { std::tuple { "abc.txt", "", 0 }, std::tuple { "???.txt", "ABC~1.TXT", 1 } }) {
        coInfo.SetName(pszName);
        coInfo.SetAlias(pszAlias, nLost);
        coFiles.AddFile(coInfo);
    }
    std::vector<std::string> vecPaths;
    EXPECT_EQ(KwFileSelDropRules::SystemPaths(coFiles, vecPaths), "");
    EXPECT_EQ(vecPaths, (std::vector<std::string> { "C:\\DIR\\abc.txt", "C:\\DIR\\ABC~1.TXT" }));
    TFileSelection coSystem;
    EXPECT_EQ(KwFileSelDropRules::SystemFiles(coFiles, coSystem), "");
    EXPECT_EQ(std::string(coSystem.GetFile(1).Name()), "ABC~1.TXT");

    coInfo.SetName("??.txt");
    coInfo.SetAlias("", 1);
    coFiles.AddFile(coInfo);
    const std::string strReason = KwFileSelDropRules::SystemPaths(coFiles, vecPaths);
    EXPECT_NE(strReason.find("\"C:\\DIR\\??.txt\" has characters that this system's code page lacks"), std::string::npos)
        << strReason;
    EXPECT_EQ(KwFileSelDropRules::SystemFiles(coFiles, coSystem), strReason);
    pcoRoot->Delete(KwFileSelDirTree::DestroyObject, 0);
}
