#include "KwTestApp.h"

#include "KwDC.h"
#include "KwRubberShapes.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <memory>

using kw25test::Hwnd;

namespace {

// A splitter as a file selector has one: a bar of 3 pixels between two
// panes; pressing on it starts a vertical rubber line through the whole
// window that follows the pointer (kept 35 pixels from either side), and
// the release moves the bar there.
class TSplitter : public TDynBase {
public:
    KwWFrame* pcoFrame { nullptr };
    KwWChild* pcoLeft { nullptr };
    KwWChild* pcoBar { nullptr };
    KwWChild* pcoRight { nullptr };
    std::unique_ptr<KwRubberLine> pcoLine;
    short nSplit { 165 };

    // The panes are moved first and painted afterwards: Wine copies the
    // pixels of a moved window from where it was even where a sibling moved
    // in just before, so painting at each move would leave a copy of the bar.
    void Layout()
    {
        const KwSize coClient = pcoFrame->GetClientSize();
        pcoLeft->SetPosAndSize(KwPoint(0, 0), KwSize(nSplit, coClient.Height()), 0);
        pcoBar->SetPosAndSize(KwPoint(nSplit, 0), KwSize(3, coClient.Height()), 0);
        pcoRight->SetPosAndSize(KwPoint(static_cast<short>(nSplit + 3), 0),
                                KwSize(static_cast<short>(coClient.Width() - nSplit - 3), coClient.Height()), 0);
        for (KwWnd* pcoPane : { pcoLeft, pcoBar, pcoRight })
            pcoPane->Invalidate(1);
    }
    int LnkDown(TMvcParam& coParam)
    {
        pcoBar->SetCapture();
        pcoLine = std::make_unique<KwRubberLine>(7, 6, 0);
        pcoLine->SetLineWidth(3);
        const short nX = static_cast<short>(pcoBar->GetRect().Left() + 2);
        KwDC coDC(pcoFrame);
        pcoLine->StartMove(coDC, KwPoint(nX, -10000), KwPoint(nX, 10000), InFrame(coParam));
        return 0;
    }
    int LnkMove(TMvcParam& coParam)
    {
        if (KwWnd::GetCapture() != pcoBar || !pcoLine)
            return 0;
        KwPoint coPoint = InFrame(coParam);
        const short nMax = static_cast<short>(pcoFrame->GetClientSize().Width() - 35);
        coPoint.SetX(coPoint.X() < 35 ? 35 : (coPoint.X() > nMax ? nMax : coPoint.X()));
        KwDC coDC(pcoFrame);
        pcoLine->Show(coDC, coPoint);
        return 0;
    }
    int LnkUp(TMvcParam&)
    {
        if (KwWnd::GetCapture() != pcoBar)
            return 0;
        KwWnd::ReleaseCapture();
        KwDC coDC(pcoFrame);
        pcoLine->End(coDC);
        nSplit = static_cast<short>(pcoLine->GetLinePoint1().X() - 2);
        Layout();
        return 0;
    }

private:
    KwPoint InFrame(TMvcParam& coParam) const
    {
        const KwEventMouse* pcoMouse = static_cast<KwEventMouse*>(static_cast<KwEvent&>(coParam));
        return pcoFrame->ScreenToClient(pcoBar->ClientToScreen(pcoMouse->Position()));
    }
};

class KwRubberGuiTest : public ::testing::Test {
protected:
    TSplitter coSplitter;

    void SetUp() override
    {
        coSplitter.pcoFrame = kw25test::OpenFrame("FW_SPLIT", KwPoint(120, 120), KwSize(420, 260), "Splitter");
        coSplitter.pcoLeft = Child("CW_LEFT", 11);
        coSplitter.pcoBar = Child("CW_SIZE", 8);
        coSplitter.pcoRight = Child("CW_RIGHT", 6);
        coSplitter.Layout();
        TMvc& coMvc = coSplitter.pcoBar->MVC();
        coMvc.SetLink("KW_LINK_LBUTTONDOWN", &coSplitter, &TSplitter::LnkDown);
        coMvc.SetLink("KW_LINK_MOUSEMOVE", &coSplitter, &TSplitter::LnkMove);
        coMvc.SetLink("KW_LINK_LBUTTONUP", &coSplitter, &TSplitter::LnkUp);
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        kwtest::ReleaseAllInput();
        coSplitter.pcoFrame->Destroy();
        kwtest::PumpIdle();
    }
    KwWChild* Child(const char* pszName, short nBack)
    {
        KwWChild* pcoChild = new KwWChild(pszName, KwPoint(0, 0), KwSize(10, 10), 12, nBack, 0);
        pcoChild->UseBorder(0, 0);
        return kw25test::AddChild(pcoChild, *coSplitter.pcoFrame);
    }
    HWND Frame() const { return Hwnd(*coSplitter.pcoFrame); }
    // The columns of the frame's client area that differ from the picture.
    static std::vector<int> ChangedColumns(const kwtest::TTestImage& coBefore, const kwtest::TTestImage& coNow)
    {
        std::vector<int> coColumns;
        for (int x = 0; x < coNow.Width(); ++x) {
            int nChanged = 0;
            for (int y = 0; y < coNow.Height(); ++y)
                nChanged += coBefore.At(x, y) != coNow.At(x, y);
            if (nChanged == coNow.Height())
                coColumns.push_back(x);
            else if (nChanged)
                coColumns.push_back(-x);   // partly changed: never expected
        }
        return coColumns;
    }
};

} // namespace

TEST_F(KwRubberGuiTest, SplitterLineFollowsTheMouseAndLeavesNothingBehind)
{
    const kwtest::TTestImage coBefore = kwtest::CaptureClient(Frame());
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*coSplitter.pcoBar), { 1, 100 }));
    ASSERT_TRUE(kwtest::MouseDown());
    EXPECT_EQ(ChangedColumns(coBefore, kwtest::CaptureClient(Frame())), std::vector<int>({ 166, 167, 168 }));
    // The line keeps its distance to the pointer: it was pressed at x 166.
    for (int nX : { 200, 260, 300 }) {
        ASSERT_TRUE(kwtest::MoveMouse(Frame(), { nX, 80 }));
        EXPECT_EQ(ChangedColumns(coBefore, kwtest::CaptureClient(Frame())), std::vector<int>({ nX, nX + 1, nX + 2 }));
    }
    ASSERT_TRUE(kwtest::MoveMouse(Frame(), { 5, 80 }));   // the pointer counts as 35 pixels from the side
    EXPECT_EQ(ChangedColumns(coBefore, kwtest::CaptureClient(Frame())), std::vector<int>({ 35, 36, 37 }));
    kwtest::ScreenshotWindow(Frame(), "dragging");
    ASSERT_TRUE(kwtest::MoveMouse(Frame(), { 166, 80 }));
    ASSERT_TRUE(kwtest::MouseUp());
    kwtest::PumpIdle();
    EXPECT_EQ(coSplitter.nSplit, 165);
    EXPECT_TRUE(kwtest::CompareImages(coBefore, kwtest::CaptureClient(Frame())).Identical());

    ASSERT_TRUE(kwtest::Drag(Hwnd(*coSplitter.pcoBar), { 1, 50 }, { 100, 50 }, 6));
    kwtest::PumpIdle();
    EXPECT_EQ(coSplitter.nSplit, 165 + 99);
    EXPECT_EQ(coSplitter.pcoRight->GetRect().Left(), 165 + 99 + 3);
    EXPECT_EQ(KwWnd::GetCapture(), nullptr);
    const kwtest::TTestImage coMoved = kwtest::CaptureClient(Frame());
    EXPECT_EQ(coMoved.Count(RGB(128, 128, 128)), 3u * coMoved.Height());   // the bar, and nothing of it elsewhere
    kwtest::ScreenshotWindow(Frame(), "moved");
}
