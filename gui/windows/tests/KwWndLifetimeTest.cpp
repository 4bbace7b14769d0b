#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwPushButton.h"
#include "KwWChild.h"
#include "KwWControl.h"
#include "KwWFrame.h"
#include "KwWSystem.h"
#include "KwWndApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

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

// Windows reach the application through the source its family registers;
// without one a frame joins no list and starts on its own.
TEST_F(KwWndLifetimeTest, WithoutTheApplicationsSourceAFrameKeepsToItself)
{
    TTracked<KwWFrame>* pcoAlone = nullptr;
    {
        struct TNoSource {
            KwWndApp::TSourceFn pfnSource = KwWndApp::Register(nullptr);
            ~TNoSource() { KwWndApp::Register(pfnSource); }
        } coNoSource;
        ASSERT_EQ(KwWndApp::Current(), nullptr);
        pcoAlone = new TTracked<KwWFrame>("FW_ALONE", KwPoint(50, 50), KwSize(300, 200), "Alone", 15, KwStyle::OverlappedWindow, 0, 0);
        ASSERT_TRUE(pcoAlone->SysCreate(nullptr));
        pcoAlone->Start(4);
    }
    EXPECT_FALSE(coApp.HasAppFrame(pcoAlone));
    EXPECT_EQ(coApp.GetMainWindow(), nullptr);
    EXPECT_TRUE(pcoAlone->IsVisible());
    auto* pcoListed = NewFrame("FW_LISTED");
    EXPECT_TRUE(coApp.HasAppFrame(pcoListed));
    delete pcoAlone;
    delete pcoListed;
    EXPECT_EQ(TTracked<KwWFrame>::s_nAlive, 0);
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

// Re-entrancy: for every event a window can receive, a link that destroys
// the window itself, its parent, its sibling or the other window the event
// names (entered or left, focused or unfocused). Under AddressSanitizer
// nothing may be touched after it is freed; every object goes with its
// system window, and the modal start returns.

namespace {

// An owner frame O with the dialog F and a second frame G, both owned by
// O; F holds the repeating push buttons A and B. Every object of the scene
// is in Alive() while it lives.
struct TScene {
    enum { O, F, G, A, B, Count };
    template <class W>
    struct TLive : W {
        template <class... T>
        explicit TLive(T&&... aArgs) : W(std::forward<T>(aArgs)...) { Alive().insert(this); }
        ~TLive() override { Alive().erase(this); }
    };
    static std::set<const void*>& Alive()
    {
        static std::set<const void*> s_coAlive;
        return s_coAlive;
    }
    const void* apvObject[Count] {};
    KwHandle ahWnd[Count] {};

    TScene()
    {
        for (int i : { O, F, G })
            Add(i, new TLive<KwWFrame>("FW_SCENE", KwPoint(50, 50), KwSize(300, 200), "scene", 15, KwStyle::OverlappedWindow, 0, 0),
                i == O ? nullptr : Wnd(O));
        for (int i : { A, B }) {
            auto* pcoButton = new TLive<KwPushButton>("BT_SCENE", KwPoint(static_cast<short>(90 * i - 260), 10), KwSize(60, 24), "button");
            pcoButton->SetRepeatOnPress(1);
            Add(i, pcoButton, Wnd(F));
        }
    }
    void Add(int n, KwWnd* pcoWnd, KwWnd* pcoParent)
    {
        pcoWnd->SysCreate(pcoParent);
        pcoWnd->Show(4);
        apvObject[n] = pcoWnd;
        ahWnd[n] = pcoWnd->GetHandle();
    }
    KwWnd* Wnd(int n) const { return KwWnd::SearchWindow(ahWnd[n]); }
};

void Press(KwFakeSystem& coSys, KwHandle hWnd, unsigned unMsg)
{
    coSys.Send(hWnd, unMsg, unMsg == KwMsg::LButtonDown ? 1 : 0, KwMakeLParam(5, 5));
}

} // namespace

TEST_F(KwWndLifetimeTest, LinksThatDestroyWindowsStillInUseLeaveNothingBehind)
{
    using S = TScene;
    // The link, whose it is (F or A), the other window it names (-1 none)
    // and how the event comes about.
    const struct {
        const char* pszLink;
        int nOwner;
        int nOther;
        std::function<void(TScene&)> fnTrigger;
    } aRows[] = {
        { "KW_LINK_INIT", S::F, -1, [](TScene& co) { static_cast<KwWFrame*>(co.Wnd(S::F))->StartDirect(4); } },
        { "KW_LINK_INIT", S::F, -1, [](TScene& co) { static_cast<KwWFrame*>(co.Wnd(S::F))->StartModal(KwWFrame::ModeModalParent); } },
        { "KW_LINK_CLOSE", S::F, -1, [&](TScene& co) { coSys.Send(co.ahWnd[S::F], KwMsg::Close); } },
        { "KW_LINK_PAINT", S::A, -1, [&](TScene& co) { coSys.Send(co.ahWnd[S::A], KwMsg::Paint); } },
        { "KW_LINK_SIZE", S::A, -1, [&](TScene& co) { coSys.MoveWindow(co.ahWnd[S::A], KwRect(5, 5, 90, 40), 1); } },
        { "KW_LINK_MOVE", S::A, -1, [&](TScene& co) { coSys.MoveWindow(co.ahWnd[S::A], KwRect(6, 6, 90, 40), 1); } },
        { "KW_LINK_SETFOCUS", S::A, S::B, [&](TScene& co) { coSys.SetFocus(co.ahWnd[S::B]), coSys.SetFocus(co.ahWnd[S::A]); } },
        { "KW_LINK_KILLFOCUS", S::A, S::B, [&](TScene& co) { coSys.SetFocus(co.ahWnd[S::A]), coSys.SetFocus(co.ahWnd[S::B]); } },
        { "KW_LINK_MOUSEENTER", S::A, S::B, [&](TScene& co) {
              coSys.Send(co.ahWnd[S::B], KwMsg::SetCursor, co.ahWnd[S::B], 1), coSys.Send(co.ahWnd[S::A], KwMsg::SetCursor, co.ahWnd[S::A], 1);
          } },
        { "KW_LINK_MOUSELEAVE", S::A, S::B, [&](TScene& co) {
              coSys.Send(co.ahWnd[S::A], KwMsg::SetCursor, co.ahWnd[S::A], 1), coSys.Send(co.ahWnd[S::B], KwMsg::SetCursor, co.ahWnd[S::B], 1);
          } },
        { "KW_LINK_LBUTTONDOWN", S::A, -1, [&](TScene& co) { Press(coSys, co.ahWnd[S::A], KwMsg::LButtonDown); } },
        { "KW_LINK_RBUTTONDOWN", S::A, -1, [&](TScene& co) { Press(coSys, co.ahWnd[S::A], KwMsg::RButtonDown); } },
        { "$KWPRIOLINK_MOUSEMOVE", S::A, -1, [&](TScene& co) { Press(coSys, co.ahWnd[S::A], KwMsg::MouseMove); } },
        { "KW_LINK_KEYDOWN", S::A, -1, [&](TScene& co) { coSys.Send(co.ahWnd[S::A], KwMsg::KeyDown, 32, 1); } },
        { "KW_LINK_CHAR", S::A, -1, [&](TScene& co) { coSys.Send(co.ahWnd[S::A], KwMsg::Char, 13, 1); } },
        { "KW_LINK_COMMAND", S::A, -1, [&](TScene& co) {
              Press(coSys, co.ahWnd[S::A], KwMsg::LButtonDown), Press(coSys, co.ahWnd[S::A], KwMsg::LButtonUp);
          } },
        // The repeat timer of the pressed button fires the command.
        { "KW_LINK_COMMAND", S::A, -1, [&](TScene& co) {
              co.Wnd(S::A)->MVC().RemoveLink("KW_LINK_COMMAND");
              Press(coSys, co.ahWnd[S::A], KwMsg::LButtonDown);
              co.Wnd(S::A)->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
              coSys.DispatchTimer(coSys.coTimers.back(), 0);
          } },
    };
    for (const auto& coRow : aRows) {
        const int nFrame = coRow.nOwner == S::F;
        for (int nWho : { coRow.nOwner, nFrame ? int(S::O) : int(S::F), nFrame ? int(S::G) : int(S::B), coRow.nOther }) {
            if (nWho < 0)
                continue;
            SCOPED_TRACE(std::string(coRow.pszLink) + " destroys window " + "OFGAB"[nWho] + " (row " + std::to_string(&coRow - aRows) + ")");
            TScene coScene;
            int nFired = 0;
            coView.fnAction = [&](TMvcParam&) {
                if (!nFired++ && coScene.Wnd(nWho))
                    coScene.Wnd(nWho)->Destroy();
                return 0;
            };
            coScene.Wnd(coRow.nOwner)->MVC().SetLink(coRow.pszLink, &coView, &KwTestView::Link);
            coRow.fnTrigger(coScene);
            coSys.DeliverPosted();
            EXPECT_EQ(nFired, 1);
            // Each object goes with its system window, and only then.
            for (int i = S::O; i < S::Count; ++i)
                EXPECT_EQ(TScene::Alive().count(coScene.apvObject[i]), static_cast<size_t>(coSys.IsWindow(coScene.ahWnd[i]))) << "OFGAB"[i];
            if (&coRow == std::end(aRows) - 1) {   // the repeat ends with its button
                EXPECT_EQ(coSys.coTimers.empty(), !coSys.IsWindow(coScene.ahWnd[S::A]));
            }
            if (KwWnd* pcoOwner = coScene.Wnd(S::O)) {
                EXPECT_TRUE(pcoOwner->IsEnabled());
                pcoOwner->Destroy();
            }
            EXPECT_TRUE(TScene::Alive().empty());
            EXPECT_TRUE(coSys.coWindows.empty());
        }
    }
}

// A system control that cannot be wrapped is not created: its window goes
// without taking the object along, which stays the caller's (it used to be
// deleted with its window, and then by the caller once more).
TEST_F(KwWndLifetimeTest, SystemControlThatCannotBeWrappedStaysTheCallers)
{
    auto* pcoFrame = NewFrame();
    auto* pcoControl = new TTracked<KwWSystem>("CW_EDIT", "EDIT", KwPoint(5, 5), KwSize(50, 20), 0, 7, 0);
    EXPECT_EQ(pcoControl->SysCreate(pcoFrame), 0);   // the recording system wraps no control
    EXPECT_EQ(pcoControl->GetHandle(), 0u);
    EXPECT_EQ(TTracked<KwWSystem>::s_nAlive, 1);
    EXPECT_EQ(pcoFrame->GetChildCount(), 0);
    delete pcoControl;
    EXPECT_EQ(TTracked<KwWSystem>::s_nAlive, 0);
    delete pcoFrame;
}
