#include "KwTestApp.h"

#include "KwCntTree.h"
#include "KwEventCntTree.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "TDateTime.h"
#include "TString.h"
#include "TTreeNode.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

const COLORREF s_crNavy = RGB(0, 0, 128);

class TTreeView : public TDynBase {
public:
    std::vector<std::string> coCalls;

    int LnkText(TMvcParam& coParam)
    {
        KwEventCntTree& coEvent = dynamic_cast<KwEventCntTree&>(coParam);
        coEvent.SetNodeText(static_cast<const char*>(coEvent.GetNode()->GetObject()));
        return 1;
    }
    int LnkOpen(TMvcParam& coParam) { return Record("open ", coParam); }
    int LnkActivate(TMvcParam& coParam) { return Record("activate ", coParam); }

private:
    int Record(const char* pszWhat, TMvcParam& coParam)
    {
        coCalls.push_back(pszWhat + std::string(static_cast<const char*>(dynamic_cast<KwEventCntTree&>(coParam).GetNode()->GetObject())));
        return 1;
    }
};

// A tree of 10,000 directories, each but the last with two children, in a
// child window of a frame, driven by real mouse and key input.
class KwCntTreeGuiTest : public ::testing::Test {
protected:
    TTreeView coView;
    KwWFrame* pcoFrame { nullptr };
    KwWChild* pcoWindow { nullptr };
    KwCntTree* pcoTree { nullptr };
    TTreeNode* pcoRoot { new TTreeNode(Strdup("C:\\")) };

    void SetUp() override
    {
        pcoFrame = kw25test::OpenFrame("FW_TREE", KwPoint(120, 120), KwSize(300, 360), "Tree");
        pcoWindow = kw25test::AddChild(new KwWChild("CW_TREE", KwPoint(10, 10), KwSize(270, 300), 12, 7, 0), *pcoFrame);
        pcoWindow->SetFocusable(1);
        pcoTree = new KwCntTree(DestroyDefault, 17, pcoWindow);
        pcoTree->SetNodeBoxSize(KwSize(pcoTree->GetNodeBoxSize().Width(), 18));
        char szName[32];
        for (long i = 0; i < 10000; ++i) {
            std::snprintf(szName, sizeof szName, "Directory %05ld", i);
            TTreeNode* pcoNode = Add(pcoRoot, szName);
            for (const char* pszChild : { "Documents", "Pictures" })
                Add(pcoNode, pszChild);
        }
        pcoTree->SetRootNode(pcoRoot);
        pcoTree->MVC().SetLink(KwCntTree::LinkGetText, &coView, &TTreeView::LnkText);
        pcoTree->MVC().SetLink(KwCntTree::LinkOpen, &coView, &TTreeView::LnkOpen);
        pcoTree->MVC().SetLink(KwCntTree::LinkActivate, &coView, &TTreeView::LnkActivate);
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        pcoFrame->Destroy();
        kwtest::PumpIdle();
    }
    static TTreeNode* Add(TTreeNode* pcoParent, const char* pszText)
    {
        TTreeNode* pcoNode = new TTreeNode(Strdup(pszText));
        pcoParent->InsertNode(pcoParent->NodeCount(), pcoNode, 0);
        return pcoNode;
    }
    // The middle of a line's text in the window's client coordinates.
    POINT TextOfLine(long lLine, int nDepth) const
    {
        const KwRect coRect = pcoWindow->CalcContentRect();
        const KwSize coBox = pcoTree->GetNodeBoxSize();
        return { coRect.Left() + (nDepth + 1) * coBox.Width() + 20,
                 coRect.Top() + (lLine - pcoTree->GetTopLine()) * coBox.Height() + coBox.Height() / 2 };
    }
    POINT BoxOfLine(long lLine, int nDepth) const
    {
        const POINT pt = TextOfLine(lLine, nDepth);
        return { pt.x - 20 - pcoTree->GetNodeBoxSize().Width() / 2, pt.y };
    }
};

} // namespace

TEST_F(KwCntTreeGuiTest, MouseOpensAndFocusesKeysMoveAndScrollBarScrolls)
{
    const HWND hTree = Hwnd(*pcoWindow);
    ASSERT_TRUE(kwtest::ClickAt(hTree, BoxOfLine(0, 0)));
    EXPECT_TRUE(pcoRoot->IsOpen());
    ASSERT_TRUE(kwtest::PumpIdle());
    EXPECT_TRUE(::GetWindowLongA(hTree, GWL_STYLE) & WS_VSCROLL);

    ASSERT_TRUE(kwtest::ClickAt(hTree, TextOfLine(2, 1)));
    EXPECT_EQ(pcoTree->GetFocusNode(), pcoRoot->GetSubNode(1));
    EXPECT_EQ(::GetFocus(), hTree);
    kwtest::PumpIdle();
    EXPECT_GT(kwtest::CountClientPixels(hTree, { 0, 36, 260, 54 }, s_crNavy), 200u);   // the focus highlight
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame), "focus");

    ASSERT_TRUE(kwtest::DoubleClickAt(hTree, TextOfLine(3, 1)));
    EXPECT_TRUE(pcoRoot->GetSubNode(2)->IsOpen());
    ASSERT_TRUE(kwtest::PressKey(VK_DOWN));
    ASSERT_TRUE(kwtest::PressKey(VK_RIGHT));
    ASSERT_TRUE(kwtest::PressKey(VK_END));
    EXPECT_EQ(pcoTree->GetFocusNode(), pcoRoot->GetSubNode(9999));
    EXPECT_EQ(pcoTree->GetTopLine(), pcoTree->GetLineCount() - pcoTree->GetPageLines());
    ASSERT_TRUE(kwtest::PressKey(VK_HOME));
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "open C:\\", "activate Directory 00001", "activate Directory 00002",
                                                         "open Directory 00002", "activate Documents", "open Documents",
                                                         "activate Directory 09999", "activate C:\\" }));

    // The scroll bar's lower arrow, at the bottom of the window's right edge.
    RECT rcClient;
    ::GetClientRect(hTree, &rcClient);
    const int nArrow = ::GetSystemMetrics(SM_CYVSCROLL);
    ASSERT_TRUE(kwtest::ClickAt(hTree, { rcClient.right + nArrow / 2, rcClient.bottom - nArrow / 2 }));
    EXPECT_EQ(pcoTree->GetTopLine(), 1);
    kwtest::PumpIdle();
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}
