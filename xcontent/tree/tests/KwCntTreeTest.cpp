#include "KwCntTree.h"
#include "KwEventCntTree.h"
#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "TDateTime.h"
#include "TString.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

namespace {

const short s_nLine = 16;   // the default box height
const long s_lChildren = 10000;

std::string TextOf(const TTreeNode* pcoNode)
{
    return pcoNode && pcoNode->GetObject() ? static_cast<const char*>(pcoNode->GetObject()) : "";
}

// Records the tree's links; the text link answers each node's object.
class TTreeView : public TDynBase {
public:
    std::vector<std::string> coCalls;
    std::function<void(TTreeNode*)> fnOnOpen;
    std::function<void(TTreeNode*)> fnOnActivate;

    int LnkText(TMvcParam& coParam)
    {
        KwEventCntTree& coEvent = dynamic_cast<KwEventCntTree&>(coParam);
        coEvent.SetNodeText(TextOf(coEvent.GetNode()).c_str());
        coEvent.SetTextColor(4);
        ++nTexts;
        return 1;
    }
    int LnkOpen(TMvcParam& coParam) { return Record("open", coParam, fnOnOpen); }
    int LnkActivate(TMvcParam& coParam) { return Record("activate", coParam, fnOnActivate); }
    int nTexts { 0 };

private:
    int Record(const char* pszWhat, TMvcParam& coParam, const std::function<void(TTreeNode*)>& fnThen)
    {
        KwEventCntTree& coEvent = dynamic_cast<KwEventCntTree&>(coParam);
        TTreeNode* pcoNode = coEvent.GetNode();
        coCalls.push_back(std::string(pszWhat) + " " + TextOf(pcoNode) + (pcoNode->IsOpen() ? " open" : "")
                          + (coEvent.Tree().GetFocusNode() == pcoNode ? " focus" : ""));
        if (fnThen)
            fnThen(pcoNode);
        return 1;
    }
};

TTreeNode* AddNode(TTreeNode* pcoParent, const std::string& strText)
{
    TTreeNode* pcoNode = new TTreeNode(Strdup(strText.c_str()));
    pcoParent->InsertNode(pcoParent->NodeCount(), pcoNode, 0);
    return pcoNode;
}

// The window system in memory with the vertical bar's range and position.
class TScrollBarSystem : public KwFakeSystem {
public:
    short nMax { 0 };
    short nPos { 0 };

    int SetScrollRange(KwHandle, short nBar, short, short nNewMax, int) override { return nMax = nBar ? nNewMax : nMax, 1; }
    int GetScrollRange(KwHandle, short nBar, short* pnMin, short* pnMax) const override { return *pnMin = 0, *pnMax = nBar ? nMax : 0, 1; }
    short SetScrollPos(KwHandle, short nBar, short nNewPos, int) override { return nBar ? std::exchange(nPos, nNewPos) : 0; }
};

// A tree in a window 200 x 160 (ten lines): the root "Root" with 10,000
// children "D00000"..., the first of which has three children.
class KwCntTreeTest : public ::testing::Test {
protected:
    TScrollBarSystem coSys;
    TTreeView coView;
    KwWFrame* pcoFrame { new KwWFrame("FW_TREE") };
    KwWChild* pcoWindow { nullptr };
    KwCntTree* pcoTree { nullptr };
    TTreeNode* pcoRoot { nullptr };

    void SetUp() override
    {
        pcoFrame->SysCreate(nullptr);
        pcoWindow = new KwWChild("CW_TREE", KwPoint(0, 0), KwSize(200, 160), 12, 7, 0);
        pcoWindow->UseBorder(0, 0);
        pcoWindow->SysCreate(pcoFrame);
        pcoTree = new KwCntTree(DestroyDefault, 17, pcoWindow);
        pcoRoot = new TTreeNode(Strdup("Root"));
        pcoTree->SetRootNode(pcoRoot);
        char szName[16];
        for (long i = 0; i < s_lChildren; ++i) {
            std::snprintf(szName, sizeof szName, "D%05ld", i);
            AddNode(pcoRoot, szName);
        }
        for (const char* pszName : { "A", "B", "C" })
            AddNode(pcoRoot->GetSubNode(0), pszName);
        pcoTree->MVC().SetLink(KwCntTree::LinkGetText, &coView, &TTreeView::LnkText);
        pcoTree->MVC().SetLink(KwCntTree::LinkOpen, &coView, &TTreeView::LnkOpen);
        pcoTree->MVC().SetLink(KwCntTree::LinkActivate, &coView, &TTreeView::LnkActivate);
    }
    void TearDown() override { pcoFrame->Destroy(); }

    TTreeNode* Child(long i) const { return pcoRoot->GetSubNode(i); }
    void Send(unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam = 0) { coSys.Send(pcoWindow->GetHandle(), unMsg, wParam, lParam); }
    void Press(short nX, short nY) { Send(KwMsg::LButtonDown, 1, KwMakeLParam(nX, nY)); Send(KwMsg::LButtonUp, 0, KwMakeLParam(nX, nY)); }
    void Key(unsigned short unKey) { Send(KwMsg::KeyDown, unKey); }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> coTexts;
        for (const std::string& strLine : coSys.Lines("TextOut"))
            coTexts.push_back(strLine.substr(strLine.find('\''), strLine.rfind('\'') - strLine.find('\'') + 1));
        return coTexts;
    }
};

} // namespace

TEST_F(KwCntTreeTest, PaintingAsksTheLinkForTheTextOfEachVisibleLineOnly)
{
    pcoTree->OpenNode(pcoRoot, 1);
    pcoTree->OpenNode(Child(0), 1);
    coSys.coLog.clear();
    Send(KwMsg::Paint, 0);
    EXPECT_EQ(coView.nTexts, 10);
    EXPECT_EQ(Texts(), std::vector<std::string>({ "'Root'", "'D00000'", "'A'", "'B'", "'C'", "'D00001'", "'D00002'",
                                                  "'D00003'", "'D00004'", "'D00005'" }));
    // Indented by level: the text of a grandchild starts two boxes and the
    // box distance further right than the root's, centred on its line.
    EXPECT_EQ(coSys.Lines("TextOut")[2].substr(0, 13), "TextOut 56,34");
    EXPECT_TRUE(coView.coCalls.empty());
}

TEST_F(KwCntTreeTest, OpenCloseFocusScrollAndHitTestOverTenThousandNodes)
{
    EXPECT_EQ(pcoTree->GetLineCount(), 1);
    pcoTree->OpenNode(pcoRoot, 1);
    EXPECT_EQ(pcoTree->GetLineCount(), s_lChildren + 1);
    EXPECT_EQ(pcoTree->GetPageLines(), 10);
    EXPECT_EQ(pcoTree->NodeFromPoint(KwPoint(60, 3 * s_nLine + 5)), Child(2));
    EXPECT_EQ(pcoTree->NodeFromPoint(KwPoint(10, 3 * s_nLine + 5)), nullptr);   // left of its level
    pcoTree->SetTopLine(5000, 1);
    EXPECT_EQ(pcoTree->NodeFromPoint(KwPoint(60, 5)), Child(4999));
    pcoTree->SetTopLine(20000, 1);
    EXPECT_EQ(pcoTree->GetTopLine(), s_lChildren + 1 - 10);
    EXPECT_EQ(pcoTree->NodeFromPoint(KwPoint(60, 9 * s_nLine + 1)), Child(s_lChildren - 1));

    pcoTree->SetTopLine(0, 1);
    pcoTree->SetFocusNode(Child(7000));
    EXPECT_EQ(pcoTree->GetFocusNode(), Child(7000));
    EXPECT_EQ(pcoTree->GetTopLine(), 7001 - 9);
    pcoTree->OpenNode(Child(0), 1);
    EXPECT_EQ(pcoTree->LineOfNode(Child(7000)), 7004);
    EXPECT_TRUE(coView.coCalls.empty());   // nothing the program does sends a link

    pcoTree->CloseNode(pcoRoot, 1);
    EXPECT_EQ(pcoTree->GetFocusNode(), pcoRoot);   // a hidden focus moves to the closed node
    EXPECT_EQ(pcoTree->GetLineCount(), 1);
    EXPECT_EQ(pcoTree->GetTopLine(), 7001 - 9);    // clamped when painted or scrolled
    Send(KwMsg::Paint, 0);
    EXPECT_EQ(pcoTree->GetTopLine(), 0);
    EXPECT_EQ(pcoTree->NodeFromPoint(KwPoint(60, s_nLine + 2)), nullptr);
    TTreeNode* pcoStray = new TTreeNode;
    EXPECT_FALSE(pcoTree->SetFocusNode(pcoStray));   // not in the tree
    pcoStray->Delete(nullptr, 0);
}

// Scroll positions are 16 bits: a tree longer than the bar's steps is
// scaled onto them, so that the thumb reaches every line (the bar used to
// end at line 32,767).
TEST_F(KwCntTreeTest, ScrollBarReachesTheLastLinesOfALongTree)
{
    for (long i = s_lChildren; i < 50000; ++i)
        AddNode(pcoRoot, "E");
    pcoTree->OpenNode(pcoRoot, 1);
    Send(KwMsg::Paint, 0);
    const long lLastTop = pcoTree->GetLineCount() - pcoTree->GetPageLines();
    ASSERT_EQ(lLastTop, 50001 - 10);
    EXPECT_GT(coSys.nMax, 0);
    EXPECT_LE(coSys.nMax, 16384);
    const auto Thumb = [&](short nPos) { Send(KwMsg::VScroll, static_cast<std::uintptr_t>(4 | (nPos << 16))); };   // released there
    Thumb(coSys.nMax);
    EXPECT_EQ(pcoTree->GetTopLine(), lLastTop);
    EXPECT_EQ(coSys.nPos, coSys.nMax);
    Thumb(static_cast<short>(coSys.nMax / 2));
    EXPECT_NEAR(pcoTree->GetTopLine(), lLastTop / 2, 5);
    pcoTree->SetTopLine(40000, 1);
    EXPECT_NEAR(coSys.nPos, coSys.nMax * 40000.0 / lLastTop, 1);
}

TEST_F(KwCntTreeTest, UserOpensByBoxDoubleClickRightAndPlusSendingOpenFirst)
{
    Press(9, 8);   // the root's box
    EXPECT_TRUE(pcoRoot->IsOpen());
    Press(27, s_nLine + 8);   // the box of D00000
    EXPECT_TRUE(Child(0)->IsOpen());
    Press(27, s_nLine + 8);   // closes, without a link
    EXPECT_FALSE(Child(0)->IsOpen());
    Press(60, s_nLine + 8);
    Send(KwMsg::LButtonDblClk, 1, KwMakeLParam(60, s_nLine + 8));
    EXPECT_TRUE(Child(0)->IsOpen());
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "open Root", "open D00000", "activate D00000 focus", "open D00000 focus" }));

    coView.coCalls.clear();
    pcoTree->SetFocusNode(Child(1));
    Key(0x27);   // Right
    Send(KwMsg::Char, '-');
    Send(KwMsg::Char, '+');
    Key(0x25);   // Left: to the parent (D00001 has no children)
    Key(0x25);   // Left again: closes the root
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "open D00001 focus", "open D00001 focus", "activate Root open focus" }));
    EXPECT_FALSE(pcoRoot->IsOpen());
}

TEST_F(KwCntTreeTest, PressAndKeysFocusFirstThenActivate)
{
    pcoTree->OpenNode(pcoRoot, 1);
    Press(60, 2 * s_nLine + 3);
    EXPECT_EQ(pcoTree->GetFocusNode(), Child(1));
    Key(0x28);   // Down
    Key(0x21);   // Page up: to the top
    Key(0x23);   // End
    Key(0x1B);   // Escape is not the tree's
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "activate D00001 focus", "activate D00002 focus", "activate Root open focus",
                                                         "activate D09999 focus" }));
    EXPECT_EQ(pcoTree->GetTopLine(), s_lChildren + 1 - 10);
    Send(KwMsg::VScroll, 0);   // a line up
    Send(0x020A, static_cast<std::uintptr_t>(120) << 16);   // the wheel, away from the user
    EXPECT_EQ(pcoTree->GetTopLine(), s_lChildren + 1 - 10 - 4);
}

// The program may delete any node, also from the tree's own links; the
// sanitizers of the native build see any use of a deleted node.
TEST_F(KwCntTreeTest, DeletedNodesAreNeverTouched)
{
    pcoTree->OpenNode(pcoRoot, 1);
    pcoTree->SetFocusNode(Child(3));
    Child(3)->Delete(DestroyDefault, 0);
    EXPECT_EQ(pcoTree->GetFocusNode(), nullptr);
    Send(KwMsg::Paint, 0);
    Key(0x28);   // without focus: the first line
    EXPECT_EQ(pcoTree->GetFocusNode(), pcoRoot);

    // Reading a node's children anew when it opens, as a file selector does.
    coView.fnOnOpen = [](TTreeNode* pcoNode) {
        while (pcoNode->HasSubNodes())
            pcoNode->GetSubNode(0)->Delete(DestroyDefault, 1);
        AddNode(pcoNode, "Fresh");
    };
    pcoTree->SetFocusNode(Child(0));
    Key(0x27);
    EXPECT_EQ(TextOf(Child(0)->GetSubNode(0)), "Fresh");
    // A node that deletes itself when it is activated.
    coView.fnOnActivate = [](TTreeNode* pcoNode) { pcoNode->Delete(DestroyDefault, 1); };
    Press(60, 3 * s_nLine + 3);
    EXPECT_EQ(pcoTree->GetFocusNode(), nullptr);
    Send(KwMsg::Paint, 0);
    EXPECT_EQ(pcoTree->GetLineCount(), 1 + (s_lChildren - 2) + 1);
    EXPECT_EQ(TextOf(pcoTree->RemoveRootNode()), "Root");
    pcoRoot->Delete(DestroyDefault, 0);
    Send(KwMsg::Paint, 0);
    Key(0x28);
}
