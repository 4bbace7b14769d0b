#include "KwFileSelDirTree.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

bool SameNoCase(const std::string& strA, const std::string& strB)
{
    return strA.size() == strB.size()
        && std::equal(strA.begin(), strA.end(), strB.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

struct TTreeDeleter {
    void operator()(TTreeNode* pcoRoot) const { pcoRoot->Delete(KwFileSelDirTree::DestroyObject, 0); }
};

std::string Joined(const std::vector<std::string>& vecNames)
{
    std::string strPath;
    for (const std::string& strName : vecNames)
        strPath += "\\" + strName;
    return strPath;
}

} // namespace

class KwFileSelDirTreeTest : public ::testing::Test {
protected:
    // \ with A\B\C and D
    void SetUp() override
    {
        m_pcoRoot.reset(KwFileSelDirTree::MakeNode("\\"));
        KwFileSelDirTree::ReadChildren(m_pcoRoot.get(), { ".", "..", "A", "D" });
        KwFileSelDirTree::ReadChildren(Find("A"), { "B" });
        KwFileSelDirTree::ReadChildren(Find("A\\B"), { "C" });
    }
    TTreeNode* Find(const std::string& strPath)
    {
        std::vector<std::string> vecNames;
        size_t nStart = 0;
        for (size_t nEnd; (nEnd = strPath.find('\\', nStart)) != std::string::npos; nStart = nEnd + 1)
            vecNames.push_back(strPath.substr(nStart, nEnd - nStart));
        vecNames.push_back(strPath.substr(nStart));
        return KwFileSelDirTree::FindByNames(m_pcoRoot.get(), vecNames, SameNoCase);
    }

    std::unique_ptr<TTreeNode, TTreeDeleter> m_pcoRoot;
};

TEST_F(KwFileSelDirTreeTest, ReReadingAboveTheFocusFindsTheFocusAgainByItsPath)
{
    EXPECT_EQ(m_pcoRoot->NodeCount(), 2);              // no "." or ".."
    TTreeNode* pcoFocus = Find("a\\b\\c");
    ASSERT_NE(pcoFocus, nullptr);
    EXPECT_EQ(Joined(KwFileSelDirTree::NamesOfNode(pcoFocus)), "\\A\\B\\C");
    // Re-reading A deletes B and C; the focus comes back as the new B, the
    // nearest part of its path that exists.
    pcoFocus = KwFileSelDirTree::ReadChildrenKeepingFocus(Find("A"), { "b", "X" }, pcoFocus, SameNoCase);
    ASSERT_EQ(pcoFocus, Find("A\\b"));
    EXPECT_EQ(Joined(KwFileSelDirTree::NamesOfNode(pcoFocus)), "\\A\\b");
    // A focus outside the node re-read stays as it is.
    TTreeNode* pcoD = Find("D");
    EXPECT_EQ(KwFileSelDirTree::ReadChildrenKeepingFocus(Find("A"), { "Y" }, pcoD, SameNoCase), pcoD);
    // Re-reading the root without A leaves the focus on the root.
    KwFileSelDirTree::ReadChildren(Find("A\\Y"), { "Z" });
    TTreeNode* pcoZ = Find("A\\Y\\Z");
    EXPECT_EQ(KwFileSelDirTree::ReadChildrenKeepingFocus(m_pcoRoot.get(), { "D" }, pcoZ, SameNoCase), m_pcoRoot.get());
}
