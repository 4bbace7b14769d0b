#include "KwFileSelDirTree.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <cctype>

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
