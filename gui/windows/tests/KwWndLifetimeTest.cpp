#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwWChild.h"
#include "KwWControl.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

namespace {

// Windows that count how many of them are alive.
template <class W>
class TTracked : public W {
public:
    template <class... A>
    explicit TTracked(A&&... aArgs) : W(std::forward<A>(aArgs)...) { ++s_nAlive; }
    ~TTracked() override { --s_nAlive; }
    static int s_nAlive;
};
template <class W>
int TTracked<W>::s_nAlive = 0;

// A control that can be pressed; it reports what happens to it and fires
// its command when clicked, as the framework's buttons do.
class TPushControl : public TTracked<KwWControl> {
public:
    using TTracked<KwWControl>::TTracked;
    std::vector<std::string> coSeen;
    int CanPush() const override { return 1; }
    int EvPush(const KwPoint&, unsigned short) override { coSeen.push_back("push"); return 1; }
    int EvRelease(const KwPoint&, unsigned short) override { coSeen.push_back("release"); return 1; }
    int EvPushedLeave() override { coSeen.push_back("leave"); return 1; }
    int EvPushedReEnter() override { coSeen.push_back("reenter"); return 1; }
    int EvClicked(const KwPoint&, unsigned short) override
    {
        coSeen.push_back("clicked");
        return EvCommand();
    }
};

class KwWndLifetimeTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwApp coApp { "KwWndLifetimeTest", nullptr, 0 };
    KwTestView coView;

    void SetUp() override
    {
        TTracked<KwWFrame>::s_nAlive = 0;
        TTracked<KwWChild>::s_nAlive = 0;
        TTracked<KwWControl>::s_nAlive = 0;
    }

    TTracked<KwWFrame>* NewFrame(const char* pszName = "FW_DLG")
    {
        auto* pcoFrame = new TTracked<KwWFrame>(pszName, KwPoint(50, 50), KwSize(300, 200), "Dialog", 15, KwStyle::OverlappedWindow, 0, 0);
        EXPECT_TRUE(pcoFrame->SysCreate(nullptr));
        pcoFrame->Show(4);
        return pcoFrame;
    }
    TPushControl* NewButton(KwWnd& coParent, const char* pszName, short nX = 10)
    {
        auto* pcoButton = new TPushControl(pszName, KwPoint(nX, 10), KwSize(60, 20), 0, 7, 0);
        EXPECT_TRUE(pcoButton->SysCreate(&coParent));
        return pcoButton;
    }
    void Click(KwHandle hWnd, int nX = 5, int nY = 5)
    {
        coSys.Send(hWnd, KwMsg::LButtonDown, 1, KwMakeLParam(nX, nY));
        coSys.Send(hWnd, KwMsg::LButtonUp, 0, KwMakeLParam(nX, nY));
    }
};

} // namespace

// The button's own handlers are still running when its frame, and with it
// the button, is destroyed: the button must outlive them.
TEST_F(KwWndLifetimeTest, ButtonWhoseLinkDestroysItsFrameSurvivesTheReturnPath)
{
    auto* pcoFrame = NewFrame();
    TPushControl* pcoButton = NewButton(*pcoFrame, "BT_OK");
    const KwHandle hFrame = pcoFrame->GetHandle();
    pcoButton->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
    pcoButton->MVC().SetLink("KW_LINK_LBUTTONUP", &coView, &KwTestView::Link);
    int nAliveInLink = -1;
    coView.fnAction = [&](TMvcParam& coParam) {
        if (coParam.EventType() == "KW_LINK_COMMAND") {
            pcoFrame->Destroy();
            nAliveInLink = TTracked<KwWControl>::s_nAlive;
            return 1;
        }
        return 0;
    };
    Click(pcoButton->GetHandle());
    EXPECT_EQ(nAliveInLink, 1);                   // still there while its handlers run
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_COMMAND" }));
    EXPECT_FALSE(coSys.IsWindow(hFrame));
    EXPECT_EQ(TTracked<KwWControl>::s_nAlive, 0);
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 0);
}

TEST_F(KwWndLifetimeTest, WindowDestroyingItselfFromItsOwnLinkIsDeletedAfterTheDispatch)
{
    auto* pcoFrame = NewFrame();
    auto* pcoChild = new TTracked<KwWChild>("CW_SELF", KwPoint(0, 0), KwSize(40, 40), 0, 7, 0);
    pcoChild->SysCreate(pcoFrame);
    pcoChild->SetFocusable(1);
    pcoChild->MVC().SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    int nAliveInLink = -1;
    coView.fnAction = [&](TMvcParam& coParam) {
        static_cast<KwEvent&>(coParam).GetBaseObject()->Destroy();
        nAliveInLink = TTracked<KwWChild>::s_nAlive;
        return 0;                                 // the child's own reaction (focusing) still runs
    };
    coSys.Send(pcoChild->GetHandle(), KwMsg::LButtonDown, 1, KwMakeLParam(2, 2));
    EXPECT_EQ(nAliveInLink, 1);
    EXPECT_EQ(TTracked<KwWChild>::s_nAlive, 0);
    EXPECT_EQ(pcoFrame->GetChildCount(), 0);
    delete pcoFrame;
}

// Deleting a window used to destroy its system window while the object was
// still attached, so that its destruction messages ran its handlers on a
// half-destroyed object.
TEST_F(KwWndLifetimeTest, DeletedWindowRunsNoHandlersWhileItIsDestroyed)
{
    auto* pcoFrame = NewFrame();
    auto* pcoChild = new TTracked<KwWChild>("CW_CHILD", KwPoint(0, 0), KwSize(40, 40), 0, 7, 0);
    pcoChild->SysCreate(pcoFrame);
    KwTestView coChildView;
    pcoFrame->MVC().SetLink("KW_LINK_DESTROY", &coView, &KwTestView::Link);
    pcoFrame->MVC().SetLink("KW_LINK_LOOSECHILD", &coView, &KwTestView::Link);
    pcoChild->MVC().SetLink("KW_LINK_DESTROY", &coChildView, &KwTestView::Link);
    const KwHandle hFrame = pcoFrame->GetHandle();
    delete pcoFrame;
    EXPECT_TRUE(coView.coCalls.empty());
    EXPECT_EQ(coChildView.coCalls, std::vector<std::string>({ "KW_LINK_DESTROY" }));
    EXPECT_FALSE(coSys.IsWindow(hFrame));
    EXPECT_EQ(TTracked<KwWChild>::s_nAlive, 0);
}

TEST_F(KwWndLifetimeTest, WindowWithoutAutoDestroyOutlivesItsSystemWindow)
{
    auto* pcoFrame = NewFrame();
    pcoFrame->AutoDestroyOff();
    pcoFrame->Destroy();
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 1);
    EXPECT_EQ(pcoFrame->GetHandle(), 0u);
    EXPECT_TRUE(pcoFrame->SysCreate(nullptr));
    EXPECT_EQ(KwWnd::SearchWindow(pcoFrame->GetHandle()), pcoFrame);
    delete pcoFrame;
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 0);
}

TEST_F(KwWndLifetimeTest, PressedControlFollowsTheMouseOutAndBackIn)
{
    auto* pcoFrame = NewFrame();
    TPushControl* pcoButton = NewButton(*pcoFrame, "BT_PUSH");
    const KwHandle hButton = pcoButton->GetHandle();
    coSys.Send(hButton, KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    EXPECT_TRUE(pcoButton->IsPressed());
    EXPECT_EQ(coSys.hCapture, hButton);
    coSys.Send(hButton, KwMsg::MouseMove, 1, KwMakeLParam(100, 5));
    EXPECT_FALSE(pcoButton->IsPressed());
    coSys.Send(hButton, KwMsg::MouseMove, 1, KwMakeLParam(6, 6));
    EXPECT_TRUE(pcoButton->IsPressed());
    coSys.Send(hButton, KwMsg::MouseMove, 1, KwMakeLParam(-20, 5));
    coSys.Send(hButton, KwMsg::LButtonUp, 0, KwMakeLParam(-20, 5));
    EXPECT_EQ(pcoButton->coSeen, std::vector<std::string>({ "push", "leave", "reenter", "leave" }));
    EXPECT_EQ(coSys.hCapture, 0u);

    pcoButton->coSeen.clear();
    Click(hButton);
    EXPECT_EQ(pcoButton->coSeen, std::vector<std::string>({ "push", "release", "clicked" }));
    delete pcoFrame;
}

// A control that lost the capture used to stay pressed: the release never
// comes to it.
TEST_F(KwWndLifetimeTest, LostCaptureEndsThePressedState)
{
    auto* pcoFrame = NewFrame();
    TPushControl* pcoButton = NewButton(*pcoFrame, "BT_PUSH");
    TPushControl* pcoOther = NewButton(*pcoFrame, "BT_OTHER", 100);
    coSys.Send(pcoButton->GetHandle(), KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    coSys.SetCapture(pcoOther->GetHandle());
    EXPECT_FALSE(pcoButton->IsPressed());
    EXPECT_EQ(pcoButton->coSeen, std::vector<std::string>({ "push", "leave" }));

    pcoButton->coSeen.clear();
    coSys.Send(pcoButton->GetHandle(), KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    coSys.Send(pcoButton->GetHandle(), KwMsg::CancelMode);
    EXPECT_FALSE(pcoButton->IsPressed());
    coSys.Send(pcoButton->GetHandle(), KwMsg::LButtonUp, 0, KwMakeLParam(5, 5));
    EXPECT_EQ(pcoButton->coSeen, std::vector<std::string>({ "push", "leave" }));
    delete pcoFrame;
}

TEST_F(KwWndLifetimeTest, CloseLinkDecidesWhetherTheFrameCloses)
{
    auto* pcoFrame = NewFrame();
    pcoFrame->MVC().SetLink("KW_LINK_CLOSE", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    coSys.Send(pcoFrame->GetHandle(), KwMsg::Close);
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 1);
    coView.nAnswer = 0;
    coSys.Send(pcoFrame->GetHandle(), KwMsg::Close);
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 0);
    EXPECT_EQ(coView.coCalls.size(), 2u);
}

TEST_F(KwWndLifetimeTest, ModalFrameDisablesTheOthersAndEnablesThemAgain)
{
    auto* pcoMain = NewFrame("FW_MAIN");
    auto* pcoAside = NewFrame("FW_ASIDE");
    pcoAside->Enable(0, 0);
    auto* pcoDialog = NewFrame("FW_DIALOG");
    int nMainEnabledInLoop = -1;
    coSys.fnInModalLoop = [&] {
        nMainEnabledInLoop = pcoMain->IsEnabled();
        pcoDialog->SetDlgResult(6);
        pcoDialog->Destroy();
    };
    EXPECT_EQ(pcoDialog->StartModal(3), 6);
    EXPECT_EQ(nMainEnabledInLoop, 0);
    EXPECT_TRUE(pcoMain->IsEnabled());
    EXPECT_FALSE(pcoAside->IsEnabled());
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 2);   // the dialog went with its window
    EXPECT_EQ(pcoMain->StartModal(7), 0);         // no such mode: nothing happens
    delete pcoAside;
    delete pcoMain;
}

TEST_F(KwWndLifetimeTest, TabOrderWrapsAroundTheFrame)
{
    auto* pcoFrame = NewFrame();
    KwWChild* apcoChildren[3];
    for (short i = 0; i < 3; ++i) {
        apcoChildren[i] = new KwWChild(i == 1 ? "CW_SECOND" : "CW_OTHER", KwPoint(static_cast<short>(10 + 50 * i), 10), KwSize(40, 20), 0, 7, 0);
        apcoChildren[i]->SetFocusable(1);
        apcoChildren[i]->SetTabStop(i != 1 ? 1 : 0);
        apcoChildren[i]->SysCreate(pcoFrame);
    }
    EXPECT_EQ(apcoChildren[2]->FindNextTabFocusWnd(), apcoChildren[0]);
    EXPECT_EQ(apcoChildren[0]->FindPrevTabFocusWnd(), apcoChildren[2]);
    EXPECT_EQ(apcoChildren[0]->FindNextTabFocusWnd(), apcoChildren[2]);   // no tab stop on the second
    EXPECT_EQ(apcoChildren[0]->FindNextFocusWnd(), apcoChildren[1]);
    apcoChildren[2]->SetFocus();
    coSys.Send(apcoChildren[2]->GetHandle(), KwMsg::Char, 9, 1);
    EXPECT_EQ(coSys.hFocus, apcoChildren[0]->GetHandle());
    coSys.nShiftDown = 1;
    coSys.Send(apcoChildren[0]->GetHandle(), KwMsg::Char, 9, 1);
    EXPECT_EQ(coSys.hFocus, apcoChildren[2]->GetHandle());
    coSys.Send(apcoChildren[2]->GetHandle(), KwMsg::KeyDown, 38, 1);       // up: the previous focusable one
    EXPECT_EQ(coSys.hFocus, apcoChildren[1]->GetHandle());
    delete pcoFrame;
}
