#include "KwTestApp.h"

#include "KwDragObject.h"
#include "KwEventDrop.h"
#include "KwMessages.h"
#include "KwPen.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

const COLORREF s_crDrop = RGB(0, 255, 0);
const COLORREF s_crNoDrop = RGB(255, 0, 0);
const COLORREF s_crTransparent = RGB(255, 0, 255);
const COLORREF s_crYellow = RGB(255, 255, 0);
const short s_nPicture = 32;

// A picture of s_nPicture pixels square: a square of the colour in the
// middle, the transparent colour around it.
void Paint(KwBitmap& coBitmap, COLORREF crSquare)
{
    KwScreenDC coScreen(1);
    ASSERT_TRUE(coBitmap.SysCreate(coScreen, KwSize(s_nPicture, s_nPicture), 0));
    KwMemDC coMem(coScreen);
    coMem.SelectBitmap(&coBitmap);
    coMem.FillRect(KwRect(0, 0, s_nPicture, s_nPicture), KwBrush(s_crTransparent, 1, 0));
    coMem.FillRect(KwRect(8, 8, 24, 24), KwBrush(crSquare, 1, 0));
    coMem.SelectBitmap(nullptr);
}

// The owner starts the drag as a file selector does: on a mouse move with
// the left button held. The targets answer the check and record the drop.
class TDragView : public TDynBase {
public:
    KwDragObject coDrag;
    KwWnd* pcoOwner { nullptr };
    int nData { 42 };
    std::vector<std::string> coDrops;
    std::vector<std::string> coFailed;
    std::function<void()> fnInDrop;

    int LnkOwnerMove(TMvcParam& coParam)
    {
        const KwEventMouse* pcoMouse = static_cast<KwEventMouse*>(static_cast<KwEvent&>(coParam));
        if ((pcoMouse->KeyFlags() & 1) && !coDrag.IsDragging()) {
            coDrag.InitDragObject("TestData", &nData);
            coDrag.StartDrag(pcoOwner);
        }
        return 0;
    }
    int LnkAccept(TMvcParam&) { return 1; }
    int LnkRefuse(TMvcParam&) { return 0; }
    int LnkDrop(TMvcParam& coParam) { return Record(coDrops, coParam, 1); }
    int LnkFailed(TMvcParam& coParam) { return Record(coFailed, coParam, 1); }

private:
    int Record(std::vector<std::string>& coList, TMvcParam& coParam, int nResult)
    {
        const KwEventDrop& coEvent = dynamic_cast<const KwEventDrop&>(coParam);
        coList.push_back(std::string(static_cast<const char*>(coEvent.Window().GetResId())) + " " + static_cast<const char*>(coEvent.GetName()) + " "
                         + std::to_string(*static_cast<int*>(coEvent.GetData())) + " " + std::to_string(coEvent.GetPoint().X())
                         + "," + std::to_string(coEvent.GetPoint().Y()) + (coDrag.IsDragging() ? " dragging" : ""));
        if (fnInDrop)
            fnInDrop();
        return nResult;
    }
};

class KwDragGuiTest : public ::testing::Test {
protected:
    TDragView coView;
    KwWFrame* pcoSource { nullptr };
    KwWFrame* pcoTarget { nullptr };
    KwWChild* pcoOwner { nullptr };
    KwWChild* pcoAccept { nullptr };
    KwWChild* pcoRefuse { nullptr };

    void SetUp() override
    {
        pcoTarget = kw25test::OpenFrame("FW_TARGET", KwPoint(460, 100), KwSize(340, 220), "Target");
        pcoAccept = Child(*pcoTarget, "CW_ACCEPT", 10, 10, 150, 160, 6);
        pcoRefuse = Child(*pcoTarget, "CW_REFUSE", 170, 10, 150, 160, 14);
        pcoSource = kw25test::OpenFrame("FW_SOURCE", KwPoint(100, 100), KwSize(340, 220), "Source");
        pcoOwner = Child(*pcoSource, "CW_OWNER", 10, 10, 310, 160, 11);
        coView.pcoOwner = pcoOwner;
        // Focused before the tests look at the screen, so that Escape
        // reaches it and its focus mark is there before and after.
        pcoOwner->SetFocusable(1);
        pcoOwner->SetFocus();
        pcoOwner->MVC().SetLink("KW_LINK_MOUSEMOVE", &coView, &TDragView::LnkOwnerMove);
        pcoOwner->MVC().SetLink("KW_LINK_NOTIFYDROPFAILED", &coView, &TDragView::LnkFailed);
        pcoAccept->MVC().SetLink("KW_LINK_CHECKDROP", &coView, &TDragView::LnkAccept);
        pcoAccept->MVC().SetLink("KW_LINK_NOTIFYDROP", &coView, &TDragView::LnkDrop);
        pcoRefuse->MVC().SetLink("KW_LINK_CHECKDROP", &coView, &TDragView::LnkRefuse);
        pcoRefuse->MVC().SetLink("KW_LINK_NOTIFYDROP", &coView, &TDragView::LnkDrop);
        KwBitmap coDrop, coNoDrop;
        Paint(coDrop, s_crDrop);
        Paint(coNoDrop, s_crNoDrop);
        coView.coDrag.ChangeDropBitmap(coDrop, s_crTransparent);
        coView.coDrag.ChangeNoDropBitmap(coNoDrop, s_crTransparent);
        ASSERT_TRUE(kwtest::BringToForeground(Hwnd(*pcoSource)));
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        kwtest::ReleaseAllInput();
        coView.coDrag.SysDelete();
        for (KwWFrame* pcoFrame : { pcoSource, pcoTarget })
            pcoFrame->Destroy();
        kwtest::PumpIdle();
    }
    KwWChild* Child(KwWnd& coParent, const char* pszName, short nX, short nY, short nWidth, short nHeight, short nBack)
    {
        return kw25test::AddChild(new KwWChild(pszName, KwPoint(nX, nY), KwSize(nWidth, nHeight), 12, nBack, 0), coParent);
    }
    static POINT ScreenOf(KwWnd& coWnd, POINT ptClient)
    {
        ::ClientToScreen(Hwnd(coWnd), &ptClient);
        return ptClient;
    }
    // Presses in the owner and moves a little, so that the drag starts.
    void StartDragging()
    {
        ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoOwner), { 40, 40 }));
        ASSERT_TRUE(kwtest::MouseDown());
        ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoOwner), { 50, 50 }));
        ASSERT_TRUE(coView.coDrag.IsDragging());
    }
    // The desktop's pixel in the middle of the picture, which lies below
    // and to the right of the pointer, and the one at the pointer, which the
    // picture leaves alone.
    static std::pair<COLORREF, COLORREF> PictureAt(POINT ptScreen)
    {
        const kwtest::TTestImage coDesktop = kwtest::CaptureDesktop();
        const int nMiddle = KwDragObject::PictureOffset + s_nPicture / 2;
        return { coDesktop.At(ptScreen.x + nMiddle, ptScreen.y + nMiddle), coDesktop.At(ptScreen.x, ptScreen.y) };
    }
};

} // namespace

TEST_F(KwDragGuiTest, PicturesSwapOverRefusingWindowAndDropArrivesInTargetCoordinates)
{
    const kwtest::TTestImage coBefore = kwtest::CaptureDesktop();
    StartDragging();
    EXPECT_EQ(coView.coDrag.GetDragState(), KwDragObject::StateDrop);
    EXPECT_EQ(KwWnd::GetCapture(), pcoOwner);

    const POINT ptRefuse = ScreenOf(*pcoRefuse, { 75, 80 });
    ASSERT_TRUE(kwtest::MoveMouse(ptRefuse));
    EXPECT_EQ(coView.coDrag.GetDragState(), KwDragObject::StateNoDrop);
    EXPECT_EQ(PictureAt(ptRefuse), std::make_pair(s_crNoDrop, RGB(64, 0, 0)));
    kwtest::ScreenshotDesktop("nodrop");

    const POINT ptAccept = ScreenOf(*pcoAccept, { 70, 60 });
    ASSERT_TRUE(kwtest::MoveMouse(ScreenOf(*pcoAccept, { 60, 50 })));
    ASSERT_TRUE(kwtest::MoveMouse(ptAccept));
    EXPECT_EQ(coView.coDrag.GetDragState(), KwDragObject::StateDrop);
    EXPECT_EQ(PictureAt(ptAccept), std::make_pair(s_crDrop, s_crYellow));
    kwtest::ScreenshotDesktop("drop");

    ASSERT_TRUE(kwtest::MouseUp());
    EXPECT_EQ(coView.coDrops, std::vector<std::string>({ "CW_ACCEPT TestData 42 70,60" }));
    EXPECT_TRUE(coView.coFailed.empty());
    EXPECT_FALSE(coView.coDrag.IsDragging());
    EXPECT_EQ(KwWnd::GetCapture(), nullptr);
    EXPECT_TRUE(kwtest::CompareImages(coBefore, kwtest::CaptureDesktop()).Identical());
}

TEST_F(KwDragGuiTest, RefusedDropGoesBackToTheOwner)
{
    const kwtest::TTestImage coBefore = kwtest::CaptureDesktop();
    StartDragging();
    ASSERT_TRUE(kwtest::MoveMouse(ScreenOf(*pcoRefuse, { 30, 40 })));
    ASSERT_TRUE(kwtest::MouseUp());
    EXPECT_TRUE(coView.coDrops.empty());
    const POINT ptOwner = [&] {
        POINT pt = ScreenOf(*pcoRefuse, { 30, 40 });
        ::ScreenToClient(Hwnd(*pcoOwner), &pt);
        return pt;
    }();
    EXPECT_EQ(coView.coFailed, std::vector<std::string>({ "CW_OWNER TestData 42 " + std::to_string(ptOwner.x) + ","
                                                           + std::to_string(ptOwner.y) }));
    EXPECT_TRUE(kwtest::CompareImages(coBefore, kwtest::CaptureDesktop()).Identical());
}

TEST_F(KwDragGuiTest, OwnerWithoutCheckOfItsOwnAcceptsItsOwnDrop)
{
    pcoOwner->MVC().SetLink("KW_LINK_NOTIFYDROP", &coView, &TDragView::LnkDrop);
    StartDragging();
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoOwner), { 100, 70 }));
    EXPECT_EQ(PictureAt(ScreenOf(*pcoOwner, { 100, 70 })).first, s_crDrop);
    ASSERT_TRUE(kwtest::MouseUp());
    EXPECT_EQ(coView.coDrops, std::vector<std::string>({ "CW_OWNER TestData 42 100,70" }));
}

// The drop is told after the drag has ended, so that a handler can run a
// modal window: the capture is free and the screen as it was.
TEST_F(KwDragGuiTest, ModalFrameRunsInsideTheDrop)
{
    const kwtest::TTestImage coBefore = kwtest::CaptureDesktop();
    std::string strDuringModal;
    coView.fnInDrop = [&] {
        KwWFrame* pcoModal = new KwWFrame("FW_MODAL", KwPoint(300, 400), KwSize(200, 120), "Modal in drop", 15,
                                          KwStyle::OverlappedWindow, 0, 0);
        ASSERT_TRUE(pcoModal->SysCreate(nullptr));
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Modal in drop"), [&](HWND hWnd) {
            strDuringModal = (KwWnd::GetCapture() ? "captured " : "free ") + std::to_string(coView.coDrag.GetDragState());
            ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        });
        pcoModal->StartModal(3);
        EXPECT_TRUE(coAnswer.Answered());
    };
    StartDragging();
    ASSERT_TRUE(kwtest::MoveMouse(ScreenOf(*pcoAccept, { 20, 30 })));
    ASSERT_TRUE(kwtest::MouseUp());
    ASSERT_EQ(coView.coDrops.size(), 1u);
    EXPECT_EQ(strDuringModal, "free 0");
    kwtest::PumpIdle();
    EXPECT_TRUE(kwtest::CompareImages(coBefore, kwtest::CaptureDesktop()).Identical());
}

// Escape, a cancelled mode and a capture taken by another window end the
// drag as a failed drop and leave the screen as it was.
TEST_F(KwDragGuiTest, LostCaptureEndsTheDragAndRestoresTheScreen)
{
    const kwtest::TTestImage coBefore = kwtest::CaptureDesktop();
    const std::vector<std::function<void()>> coCancels = {
        [] { kwtest::PressKey(VK_ESCAPE); },
        [&] { ::SendMessageA(Hwnd(*pcoOwner), WM_CANCELMODE, 0, 0); },
        [&] { ::SetCapture(Hwnd(*pcoAccept)); },
    };
    for (size_t i = 0; i < coCancels.size(); ++i) {
        SCOPED_TRACE(i);
        StartDragging();
        ASSERT_TRUE(kwtest::MoveMouse(ScreenOf(*pcoAccept, { 50, 50 })));
        coCancels[i]();
        kwtest::PumpIdle();
        EXPECT_FALSE(coView.coDrag.IsDragging());
        EXPECT_EQ(coView.coFailed.size(), i + 1);
        ::ReleaseCapture();
        ASSERT_TRUE(kwtest::MouseUp());
        EXPECT_TRUE(coView.coDrops.empty());
        EXPECT_TRUE(kwtest::CompareImages(coBefore, kwtest::CaptureDesktop()).Identical());
    }
}

// Without a drop picture (none is read from the resource files) or without
// an owner nothing starts, and the name and data stay for the next try.
TEST_F(KwDragGuiTest, DragWithoutPictureOrOwnerDoesNotStart)
{
    KwDragObject coBare;
    int nData = 7;
    coBare.InitDragObject("TestData", &nData);
    for (KwWnd* pcoWnd : { static_cast<KwWnd*>(pcoOwner), static_cast<KwWnd*>(nullptr) }) {
        EXPECT_EQ(coBare.StartDrag(pcoWnd), 0);
        EXPECT_FALSE(coBare.IsDragging());
        EXPECT_EQ(coBare.GetDragState(), KwDragObject::StateNone);
        EXPECT_EQ(KwWnd::GetCapture(), nullptr);
        EXPECT_STREQ(static_cast<const char*>(coBare.GetDragName()), "TestData");
        EXPECT_EQ(coBare.GetDragData(), &nData);
    }
    EXPECT_EQ(coView.coDrag.StartDrag(nullptr), 0);
}
