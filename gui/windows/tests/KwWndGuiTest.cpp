#include "KwTestApp.h"

#include "KwDC.h"
#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWChild.h"
#include "KwWControl.h"
#include "KwWFrame.h"
#include "KwWSystem.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

const COLORREF s_crLightGray = RGB(192, 192, 192);
const COLORREF s_crWhite = RGB(255, 255, 255);
const COLORREF s_crGray = RGB(128, 128, 128);
const COLORREF s_crLightRed = RGB(255, 0, 0);
const COLORREF s_crYellow = RGB(255, 255, 0);

POINT Pt(int nX, int nY)
{
    return POINT { nX, nY };
}

// A control that presses like a button and fires its command on a click.
class TButton : public KwWControl {
public:
    using KwWControl::KwWControl;
    int CanPush() const override { return 1; }
    int EvClicked(const KwPoint&, unsigned short) override { return EvCommand(); }
};

class KwWndGuiTest : public ::testing::Test {
protected:
    KwTestView coView;
    KwHandle m_hFrame { 0 };

    KwWFrame* Open(const char* pszTitle, short nWidth = 320, short nHeight = 200)
    {
        KwWFrame* pcoFrame = kw25test::OpenFrame("FW_TEST", KwPoint(120, 120), KwSize(nWidth, nHeight), pszTitle);
        m_hFrame = pcoFrame->GetHandle();
        return pcoFrame;
    }
    KwWChild* Child(KwWnd& coParent, const char* pszName, short nX, short nY, short nWidth, short nHeight, short nBack)
    {
        return kw25test::AddChild(new KwWChild(pszName, KwPoint(nX, nY), KwSize(nWidth, nHeight), 12, nBack, 0), coParent);
    }
    void TearDown() override
    {
        if (KwWnd* pcoFrame = KwWnd::SearchWindow(m_hFrame))
            pcoFrame->Destroy();
        kwtest::PumpIdle();
    }
};

} // namespace

TEST_F(KwWndGuiTest, FrameWithTwoChildrenBuiltInCodeOpens)
{
    KwWFrame* pcoFrame = Open("Two children");
    KwWChild* pcoLeft = Child(*pcoFrame, "CW_LEFT", 10, 10, 140, 150, 11);
    KwWChild* pcoRight = Child(*pcoFrame, "CW_RIGHT", 160, 10, 140, 150, 6);
    kwtest::PumpIdle();
    ASSERT_TRUE(::IsWindowVisible(Hwnd(*pcoFrame)));
    EXPECT_EQ(pcoFrame->GetChildCount(), 2);
    EXPECT_EQ(pcoFrame->GetChildFirst(), pcoLeft);
    EXPECT_EQ(pcoFrame->GetChildNext(pcoLeft), pcoRight);
    EXPECT_EQ(pcoFrame->FindChildPtr("cw_right"), pcoRight);
    EXPECT_EQ(pcoRight->GetRect(), KwRect(160, 10, 300, 160));
    EXPECT_EQ(pcoRight->GetParentFrame(), pcoFrame);
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoLeft), Pt(70, 70)), RGB(0, 255, 255));
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoRight), Pt(70, 70)), s_crYellow);
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoFrame), Pt(155, 100)), s_crLightGray);
    char szTitle[64] = {};
    ::GetWindowTextA(Hwnd(*pcoFrame), szTitle, sizeof szTitle);
    EXPECT_STREQ(szTitle, "Two children");
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

TEST_F(KwWndGuiTest, BorderAndShadeAreDrawnInPixels)
{
    KwWFrame* pcoFrame = Open("Border and shade");
    KwWChild* pcoPlain = Child(*pcoFrame, "CW_PLAIN", 20, 20, 120, 80, 15);
    pcoPlain->SetBorderWidth(2, 0);
    pcoPlain->SetShade(1, 0);
    pcoPlain->SetShadeWidth(3, 1);
    KwWChild* pcoGroup = Child(*pcoFrame, "CW_GROUP", 170, 20, 120, 80, 15);
    pcoGroup->UseBorder(0, 0);
    pcoGroup->SetShade(1, 0);
    pcoGroup->SetShadeGroupLook(1, 0);
    pcoGroup->SetShadeWidth(1, 1);
    kwtest::PumpIdle();
    const HWND hPlain = Hwnd(*pcoPlain);
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(0, 40)), s_crLightRed);      // border, two pixels
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(1, 40)), s_crLightRed);
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(2, 40)), s_crWhite);         // shade: light left and top
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(4, 40)), s_crWhite);
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(60, 2)), s_crWhite);
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(117, 40)), s_crGray);        // dark right and bottom
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(60, 77)), s_crGray);
    EXPECT_EQ(kwtest::ClientPixel(hPlain, Pt(60, 40)), s_crLightGray);    // inside
    EXPECT_EQ(pcoPlain->CalcContentRect(), KwRect(5, 5, 115, 75));
    const HWND hGroup = Hwnd(*pcoGroup);
    EXPECT_EQ(kwtest::ClientPixel(hGroup, Pt(0, 40)), s_crWhite);         // light outline, dark one inside it
    EXPECT_EQ(kwtest::ClientPixel(hGroup, Pt(1, 40)), s_crGray);
    EXPECT_EQ(kwtest::ClientPixel(hGroup, Pt(119, 40)), s_crGray);
    EXPECT_EQ(kwtest::ClientPixel(hGroup, Pt(118, 40)), s_crWhite);
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

TEST_F(KwWndGuiTest, RealClickReachesTheLinkAndThePriorityLinkCanTakeIt)
{
    KwWFrame* pcoFrame = Open("Clicks");
    KwWChild* pcoChild = Child(*pcoFrame, "CW_CLICK", 20, 20, 100, 60, 10);
    pcoChild->MVC().SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    KwPoint coSeen;
    coView.fnAction = [&](TMvcParam& coParam) {
        coSeen = static_cast<KwEventMouse&>(coParam).Position();
        return 1;
    };
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoChild), Pt(30, 25)));
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_LBUTTONDOWN" }));
    EXPECT_EQ(coSeen, KwPoint(30, 25));

    KwTestView coPriority;
    coPriority.nAnswer = 1;
    pcoChild->MVC().SetLink("$KWPRIOLINK_LBUTTONDOWN", &coPriority, &KwTestView::Link);
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoChild), Pt(40, 25)));
    EXPECT_EQ(coPriority.coCalls, std::vector<std::string>({ "$KWPRIOLINK_LBUTTONDOWN" }));
    EXPECT_EQ(coView.coCalls.size(), 1u);
    coPriority.nAnswer = 0;
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoChild), Pt(50, 25)));
    EXPECT_EQ(coView.coCalls.size(), 2u);
}

TEST_F(KwWndGuiTest, EnterAndLeaveAreReported)
{
    KwWFrame* pcoFrame = Open("Enter and leave");
    KwWChild* pcoChild = Child(*pcoFrame, "CW_HOVER", 40, 40, 100, 60, 14);
    std::vector<std::string> coSeen;
    KwTestView coFrameView;
    KwTestView coChildView;
    const auto Record = [&coSeen](const char* pszWho) {
        return [&coSeen, pszWho](TMvcParam& coParam) {
            coSeen.push_back(std::string(pszWho) + " " + static_cast<const char*>(coParam.EventType()) + " "
                             + std::to_string(static_cast<KwEvent&>(coParam).GetWParam()));
            return 0;
        };
    };
    coFrameView.fnAction = Record("frame");
    coChildView.fnAction = Record("child");
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoFrame), Pt(10, 10)));
    for (const char* pszName : { "KW_LINK_MOUSEENTER", "KW_LINK_MOUSELEAVE" }) {
        pcoFrame->MVC().SetLink(pszName, &coFrameView, &KwTestView::Link);
        pcoChild->MVC().SetLink(pszName, &coChildView, &KwTestView::Link);
    }
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoChild), Pt(50, 30)));
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoFrame), Pt(10, 10)));
    EXPECT_EQ(coSeen, std::vector<std::string>({
                          "frame KW_LINK_MOUSELEAVE 0",
                          "child KW_LINK_MOUSEENTER 1",
                          "child KW_LINK_MOUSELEAVE 1",
                          "frame KW_LINK_MOUSEENTER 0",
                      }));
}

TEST_F(KwWndGuiTest, WindowEventsReachTheirLinks)
{
    KwWFrame* pcoFrame = Open("Events");
    KwWChild* pcoChild = Child(*pcoFrame, "CW_EVENTS", 20, 20, 100, 60, 15);
    pcoChild->SetFocusable(1);
    for (const char* pszName : { "KW_LINK_KEYDOWN", "KW_LINK_CHAR", "KW_LINK_SIZE", "KW_LINK_MOVE", "KW_LINK_SETFOCUS",
                                 "KW_LINK_KILLFOCUS", "KW_LINK_PAINT" })
        pcoChild->MVC().SetLink(pszName, &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam& coParam) {
        if (coParam.EventType() != "KW_LINK_PAINT")
            return 0;
        KwEventPaint& coPaint = static_cast<KwEventPaint&>(coParam);
        KwBrush coBrush(KwRGB(0, 0, 255), 1, 0);
        coPaint.CurrentDC().FillRect(KwRect(10, 10, 30, 30), coBrush);
        return 1;
    };
    pcoChild->SetFocus();
    ASSERT_TRUE(kwtest::PressKey('A'));
    pcoChild->SetPos(KwPoint(30, 25), 1);
    pcoChild->SetSize(KwSize(120, 70), 1);
    pcoChild->Invalidate(1);
    kwtest::PumpIdle();
    for (const char* pszName : { "KW_LINK_SETFOCUS", "KW_LINK_KEYDOWN", "KW_LINK_CHAR", "KW_LINK_MOVE", "KW_LINK_SIZE", "KW_LINK_PAINT" })
        EXPECT_NE(std::find(coView.coCalls.begin(), coView.coCalls.end(), pszName), coView.coCalls.end()) << pszName;
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoChild), Pt(20, 20)), RGB(0, 0, 255));
    pcoFrame->SetFocus();
    EXPECT_EQ(coView.coCalls.back(), "KW_LINK_KILLFOCUS");
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

TEST_F(KwWndGuiTest, HandledEventsSuppressTheDefaultProcessing)
{
    KwWFrame* pcoFrame = Open("Suppressed");
    KwWChild* apcoChildren[2] = { Child(*pcoFrame, "CW_ONE", 10, 10, 60, 30, 15), Child(*pcoFrame, "CW_TWO", 80, 10, 60, 30, 15) };
    for (KwWChild* pcoChild : apcoChildren) {
        pcoChild->SetFocusable(1);
        pcoChild->SetTabStop(1);
    }
    apcoChildren[0]->SetFocus();
    apcoChildren[0]->MVC().SetLink("KW_LINK_CHAR", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    EXPECT_EQ(KwWnd::GetFocus(), apcoChildren[0]);     // the link took the key: no tab navigation
    coView.nAnswer = 0;
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    EXPECT_EQ(KwWnd::GetFocus(), apcoChildren[1]);

    pcoFrame->MVC().SetLink("KW_LINK_WANTSIZE", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    ::SendMessageA(Hwnd(*pcoFrame), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(pcoFrame->IsMaximized());
    pcoFrame->MVC().SetLink("KW_LINK_CLOSE", &coView, &KwTestView::Link);
    ::SendMessageA(Hwnd(*pcoFrame), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(Hwnd(*pcoFrame)));
    coView.nAnswer = 0;
    const HWND hFrame = Hwnd(*pcoFrame);
    ::SendMessageA(hFrame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hFrame));
}

// The button's handlers are still on the stack when its link destroys the
// frame around it; the button is deleted when they have returned.
TEST_F(KwWndGuiTest, OkButtonThatDestroysItsFrameSurvivesTheRealClick)
{
    KwWFrame* pcoFrame = Open("OK destroys");
    TButton* pcoOk = kw25test::AddChild(new TButton("BT_OK", KwPoint(100, 80), KwSize(80, 30), 0, 7, 0), *pcoFrame);
    pcoOk->SetShade(1, 0);
    pcoOk->SetShadeWidth(2, 1);
    pcoOk->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam&) {
        pcoFrame->Destroy();
        return 1;
    };
    kwtest::PumpIdle();
    const HWND hFrame = Hwnd(*pcoFrame);
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoOk), Pt(40, 15)));
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_COMMAND" }));
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hFrame)), nullptr);
}

TEST_F(KwWndGuiTest, LostCaptureEndsThePressedState)
{
    KwWFrame* pcoFrame = Open("Capture");
    TButton* pcoButton = kw25test::AddChild(new TButton("BT_HOLD", KwPoint(20, 20), KwSize(80, 30), 0, 7, 0), *pcoFrame);
    KwWChild* pcoOther = Child(*pcoFrame, "CW_OTHER", 150, 20, 80, 30, 15);
    kwtest::PumpIdle();
    ASSERT_TRUE(kwtest::MoveMouse(Hwnd(*pcoButton), Pt(10, 10)));
    ASSERT_TRUE(kwtest::MouseDown());
    EXPECT_TRUE(pcoButton->IsPressed());
    EXPECT_EQ(KwWnd::GetCapture(), pcoButton);
    pcoOther->SetCapture();
    kwtest::PumpIdle();
    EXPECT_FALSE(pcoButton->IsPressed());
    ASSERT_TRUE(kwtest::MouseUp());
    KwWnd::ReleaseCapture();
    EXPECT_TRUE(coView.coCalls.empty());
}

// A wrapped system control: its own procedure runs for what the framework
// leaves alone, and keeps serving the control up to its final message.
TEST_F(KwWndGuiTest, WrappedEditControlKeepsItsOwnBehaviour)
{
    KwWFrame* pcoFrame = Open("Edit control");
    KwWSystem* pcoEdit = kw25test::AddChild(new KwWSystem("CW_EDIT", "EDIT", KwPoint(20, 20), KwSize(200, 24), 0, 7, 0), *pcoFrame);
    pcoEdit->SetFocusable(1);
    ASSERT_NE(pcoEdit->GetDefaultWindowProc(), nullptr);
    EXPECT_EQ(KwWnd::SearchWindow(pcoEdit->GetHandle()), pcoEdit);
    pcoEdit->MVC().SetLink("KW_LINK_KEYDOWN", &coView, &KwTestView::Link);
    pcoEdit->SetFocus();
    ASSERT_TRUE(kwtest::TypeText("hello"));
    EXPECT_EQ(pcoEdit->GetText(), "hello");
    EXPECT_EQ(std::count(coView.coCalls.begin(), coView.coCalls.end(), "KW_LINK_KEYDOWN"), 5);
    pcoEdit->SetText("Framework");
    kwtest::PumpIdle();
    char szText[32] = {};
    ::GetWindowTextA(Hwnd(*pcoEdit), szText, sizeof szText);
    EXPECT_STREQ(szText, "Framework");
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
    const HWND hEdit = Hwnd(*pcoEdit);
    pcoFrame->Destroy();
    EXPECT_FALSE(::IsWindow(hEdit));
}

// The control's own procedure used to be read from the object after the
// object was gone; it is kept where the control can still be served when
// no object answers for it any more.
TEST_F(KwWndGuiTest, WrappedControlWithoutObjectStillReachesItsOwnProcedure)
{
    KwWFrame* pcoFrame = Open("Control without object");
    KwWSystem* pcoEdit = kw25test::AddChild(new KwWSystem("CW_EDIT", "EDIT", KwPoint(20, 20), KwSize(200, 24), 0, 7, 0), *pcoFrame);
    const HWND hEdit = Hwnd(*pcoEdit);
    const LONG_PTR lFramework = ::GetWindowLongPtrA(hEdit, GWLP_WNDPROC);
    pcoKwSys->DetachWindowObject(*pcoEdit);
    pcoEdit->DisConnect();
    pcoEdit->Destroy();                           // no system window: the object goes
    EXPECT_TRUE(::SetWindowTextA(hEdit, "still an edit control"));
    char szText[32] = {};
    ::GetWindowTextA(hEdit, szText, sizeof szText);
    EXPECT_STREQ(szText, "still an edit control");
    EXPECT_EQ(::SendMessageA(hEdit, EM_GETLIMITTEXT, 0, 0) > 0, true);
    ::DestroyWindow(hEdit);                       // the final message restores the control's procedure
    EXPECT_FALSE(::IsWindow(hEdit));
    EXPECT_NE(lFramework, 0);
}

// The current message of the adapter is the outer one again after a
// nested message, so that its default processing runs the right message.
TEST_F(KwWndGuiTest, NestedMessageLeavesTheOuterOneCurrent)
{
    KwWFrame* pcoFrame = Open("Nested");
    KwWChild* pcoChild = Child(*pcoFrame, "CW_NESTED", 20, 20, 100, 60, 15);
    pcoChild->MVC().SetLink("KW_LINK_USER", &coView, &KwTestView::Link);
    unsigned unCurrent = 0;
    coView.fnAction = [&](TMvcParam& coParam) {
        const unsigned unMsg = static_cast<KwEventUser&>(coParam).GetWinNTParam()->GetMessage();
        if (unMsg == WM_USER + 1) {
            ::SendMessageA(Hwnd(*pcoChild), WM_USER + 2, 0, 0);
            unCurrent = pcoKwSys->GetActMessageParam().GetMessage();
        }
        return 1;
    };
    ::SendMessageA(Hwnd(*pcoChild), WM_USER + 1, 0, 0);
    EXPECT_EQ(unCurrent, static_cast<unsigned>(WM_USER + 1));
    EXPECT_EQ(coView.coCalls.size(), 2u);
}

// A window of another program may carry a property of the framework's
// name, by chance or on purpose: what it holds is no object of this one.
TEST_F(KwWndGuiTest, PropertyOnAnotherProgramsWindowIsNoObject)
{
    const HWND hForeign = ::GetDesktopWindow();
    DWORD ulOwner = 0;
    ::GetWindowThreadProcessId(hForeign, &ulOwner);
    if (!ulOwner || ulOwner == ::GetCurrentProcessId())
        GTEST_SKIP() << "the desktop window belongs to no other program here";
    const std::string strName = "_KWP_" + std::to_string(::GetCurrentProcessId());
    KwWChild coDecoy("CW_DECOY");
    if (!::SetPropA(hForeign, strName.c_str(), &coDecoy))
        GTEST_SKIP() << "no property can be set on another program's window here";
    KwWnd* pcoFound = KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hForeign));
    ::RemovePropA(hForeign, strName.c_str());
    EXPECT_EQ(pcoFound, nullptr);
}
