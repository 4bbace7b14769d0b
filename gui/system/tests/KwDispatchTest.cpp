#include "KwAdapterClients.h"
#include "KwAllocationCounter.h"
#include "KwDC.h"
#include "KwDispatchDepth.h"
#include "KwFakeSystem.h"
#include "KwHashTable.h"
#include "KwMessages.h"
#include "KwTimer.h"
#include "KwWChild.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// An object that counts its deletions, for the bookkeeping alone.
struct TCounted {
    KwDispatchDepth coDepth;
    static int s_nDeleted;
    KwDispatchDepth& DispatchDepth() { return coDepth; }
    static void DeleteDeferred(TCounted* pco)
    {
        ++s_nDeleted;
        delete pco;
    }
};
int TCounted::s_nDeleted = 0;

class KwDispatchTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwTestView coView;

    // A frame with one child, both with system windows; the frame owns the
    // child, the test deletes the frame.
    KwWFrame* MakeFrame(KwWChild** ppcoChild = nullptr)
    {
        KwWFrame* pcoFrame = new KwWFrame("FW_TEST", KwPoint(100, 100), KwSize(200, 100), "Test", 15, KwStyle::OverlappedWindow, 0, 0);
        EXPECT_TRUE(pcoFrame->SysCreate(nullptr));
        KwWChild* pcoChild = new KwWChild("CW_CHILD", KwPoint(10, 10), KwSize(50, 30), 0, 7, 0);
        EXPECT_TRUE(pcoChild->SysCreate(pcoFrame));
        if (ppcoChild)
            *ppcoChild = pcoChild;
        return pcoFrame;
    }
};

} // namespace

TEST(KwDispatchDepthTest, DeletionWaitsForTheOutermostDispatch)
{
    TCounted::s_nDeleted = 0;
    TCounted* pcoObject = new TCounted;
    {
        KwDispatchScope<TCounted> coOuter(*pcoObject);
        {
            KwDispatchScope<TCounted> coInner(*pcoObject);
            EXPECT_EQ(pcoObject->coDepth.RequestDelete(), 0);
        }
        EXPECT_EQ(TCounted::s_nDeleted, 0);
        EXPECT_TRUE(pcoObject->coDepth.IsDeletePending());
        EXPECT_EQ(pcoObject->coDepth.GetDepth(), 1);
    }
    EXPECT_EQ(TCounted::s_nDeleted, 1);

    KwDispatchDepth coIdle;
    EXPECT_EQ(coIdle.RequestDelete(), 1);
    EXPECT_FALSE(coIdle.IsDeletePending());
}

TEST_F(KwDispatchTest, HandleTablesKeepEachHandlesOwner)
{
    KwHashTable* pcoTable = coSys.GetHash("system");
    ASSERT_NE(pcoTable, nullptr);
    KwWnd coFirst;
    KwWnd coSecond;
    coFirst.SetResId("CW_First");
    EXPECT_EQ(coFirst.Connect(0x300), 0x300u);
    EXPECT_EQ(coSys.Lookup("SYSTEM", 0x300), &coFirst);
    EXPECT_EQ(coSys.GetObj("SYSTEM", "cw_first"), &coFirst);
    EXPECT_EQ(pcoTable->Remove(0x300, &coSecond), 0);   // only the owner's entry goes
    EXPECT_EQ(coFirst.DisConnect(), 0x300u);
    EXPECT_EQ(coSys.Lookup("SYSTEM", 0x300), nullptr);

    KwRes coPlain;
    coPlain.Connect(0x301);                               // kind 0: no table
    EXPECT_EQ(pcoTable->Count(), 0);
    KwHashTable* pcoItems = coSys.GetHash("MENUITEM");
    KwRes coItem;
    coItem.SetResType(KwRes::KindMenuItem);
    coItem.Connect(1);
    EXPECT_EQ(coItem.HashNextFreeHandle(), 2u);
    EXPECT_EQ(pcoItems->NextFreeHandle(2), 0u);
    coItem.DisConnect();
}

TEST_F(KwDispatchTest, UnlistedMessagesReachTheUserLink)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    const KwHandle hChild = pcoChild->GetHandle();
    coSys.coDefaults.clear();
    EXPECT_EQ(coSys.Send(hChild, KwMsg::User + 7), 0);
    EXPECT_EQ(coSys.coDefaults.back(), KwMsg::User + 7);

    pcoChild->MVC().SetLink("KW_LINK_USER", &coView, &KwTestView::Link);
    coView.fnAction = [](TMvcParam& coParam) {
        KwEventUser& coEvent = static_cast<KwEventUser&>(coParam);
        EXPECT_EQ(coEvent.GetWinNTParam()->GetWParam(), 5u);
        coEvent.GetWinNTParam()->SetResult(42);
        return 1;
    };
    coSys.coDefaults.clear();
    EXPECT_EQ(coSys.Send(hChild, KwMsg::User + 7, 5), 42);
    EXPECT_TRUE(coSys.coDefaults.empty());
    coView.fnAction = nullptr;
    coView.nAnswer = 1;
    EXPECT_EQ(coSys.Send(hChild, KwMsg::User + 7), 0);
    delete pcoFrame;
}

TEST_F(KwDispatchTest, DestroyAlwaysGoesOnToTheDefaultProcessing)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    pcoChild->MVC().SetLink("KW_LINK_DESTROY", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    coSys.coDefaults.clear();
    pcoFrame->Destroy();
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_DESTROY" }));
    EXPECT_EQ(std::count(coSys.coDefaults.begin(), coSys.coDefaults.end(), KwMsg::Destroy), 2);
    EXPECT_EQ(std::count(coSys.coDefaults.begin(), coSys.coDefaults.end(), KwMsg::NcDestroy), 2);
    EXPECT_TRUE(coSys.coWindows.empty());
}

TEST_F(KwDispatchTest, PriorityLinkHandlesTheMessageCompletely)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    KwTestView coPriority;
    pcoChild->MVC().SetLink("$KWPRIOLINK_LBUTTONDOWN", &coPriority, &KwTestView::Link);
    pcoChild->MVC().SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    pcoChild->MVC().AddNotification("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Notify);
    coPriority.nAnswer = 1;
    coSys.coDefaults.clear();
    coSys.Send(pcoChild->GetHandle(), KwMsg::LButtonDown, 0, KwMakeLParam(3, -2));
    EXPECT_EQ(coPriority.coCalls.size(), 1u);
    EXPECT_TRUE(coView.coCalls.empty());
    EXPECT_TRUE(coSys.coDefaults.empty());

    coPriority.nAnswer = 0;
    coView.fnAction = [](TMvcParam& coParam) {
        const KwEventMouse* pcoMouse = static_cast<KwEvent&>(coParam);
        EXPECT_NE(pcoMouse, nullptr);
        EXPECT_EQ(pcoMouse->Position(), KwPoint(3, -2));
        EXPECT_EQ(pcoMouse->GetLParam(), 0x0003FFFEUL);
        return 0;
    };
    coSys.Send(pcoChild->GetHandle(), KwMsg::LButtonDown, 0, KwMakeLParam(3, -2));
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "note KW_LINK_LBUTTONDOWN", "KW_LINK_LBUTTONDOWN" }));
    EXPECT_EQ(coSys.coDefaults, std::vector<unsigned>({ KwMsg::LButtonDown }));
    delete pcoFrame;
}

TEST_F(KwDispatchTest, NotificationResultsNeverDecide)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    pcoChild->MVC().AddNotification("KW_LINK_SIZE", &coView, &KwTestView::Notify);
    coSys.coDefaults.clear();
    pcoChild->SetSize(KwSize(60, 40), 0);
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "note KW_LINK_SIZE" }));
    EXPECT_EQ(std::count(coSys.coDefaults.begin(), coSys.coDefaults.end(), KwMsg::Size), 1);

    pcoChild->MVC().SetLink("KW_LINK_SIZE", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    coSys.coDefaults.clear();
    pcoChild->SetSize(KwSize(70, 40), 0);
    EXPECT_EQ(std::count(coSys.coDefaults.begin(), coSys.coDefaults.end(), KwMsg::Size), 0);
    delete pcoFrame;
}

// Nested messages used to overwrite the adapter's current message, so that
// the default processing of the outer one ran the inner message.
TEST_F(KwDispatchTest, NestedMessagesGiveTheCurrentMessageBack)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    const KwHandle hChild = pcoChild->GetHandle();
    pcoChild->MVC().SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam&) {
        coSys.Send(hChild, KwMsg::User + 1);
        EXPECT_EQ(coSys.GetActMessageParam().GetMessage(), KwMsg::LButtonDown);
        pcoChild->EventDefault();
        return 1;
    };
    coSys.Send(hChild, KwMsg::LButtonDown, 1, KwMakeLParam(4, 4));
    EXPECT_EQ(coSys.Lines("EventDefault"), std::vector<std::string>({ "EventDefault 513" }));
    delete pcoFrame;
}

// A paint nested in another (a child painted from its parent's paint)
// used to clear the paint flag of the outer one.
TEST_F(KwDispatchTest, NestedPaintKeepsTheOuterPaint)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    const KwHandle hChild = pcoChild->GetHandle();
    int nPaintAfterNested = 0;
    int nDcAfterNested = 0;
    pcoFrame->MVC().SetLink("KW_LINK_PAINT", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam&) {
        coSys.Send(hChild, KwMsg::Paint);
        nPaintAfterNested = coSys.IsPaintEvent();
        KwPaintDC coDC(pcoFrame);
        nDcAfterNested = coDC.GetHandle() != 0;
        return 1;
    };
    coSys.Send(pcoFrame->GetHandle(), KwMsg::Paint);
    EXPECT_EQ(nPaintAfterNested, 1);
    EXPECT_EQ(nDcAfterNested, 1);
    EXPECT_FALSE(coSys.IsPaintEvent());
    KwPaintDC coOutside(pcoFrame);
    EXPECT_EQ(coOutside.GetHandle(), 0u);
    delete pcoFrame;
}

TEST_F(KwDispatchTest, EnterAndLeaveTellWhetherTheMouseMovedWithinTheTree)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    std::vector<std::string> coSeen;
    KwTestView coFrameView;
    KwTestView coChildView;
    const auto Record = [&coSeen](const char* pszWho) {
        return [&coSeen, pszWho](TMvcParam& coParam) {
            const KwEventWnd& coEvent = static_cast<KwEventWnd&>(coParam);
            const char* pszOther = coEvent.OtherWindow() ? static_cast<const char*>(coEvent.OtherWindow()->GetResId()) : "-";
            coSeen.push_back(std::string(pszWho) + " " + static_cast<const char*>(coParam.EventType()) + " "
                             + std::to_string(coEvent.GetWParam()) + " " + pszOther);
            return 0;
        };
    };
    coFrameView.fnAction = Record("frame");
    coChildView.fnAction = Record("child");
    for (const char* pszName : { "KW_LINK_MOUSEENTER", "KW_LINK_MOUSELEAVE" }) {
        pcoFrame->MVC().SetLink(pszName, &coFrameView, &KwTestView::Link);
        pcoChild->MVC().SetLink(pszName, &coChildView, &KwTestView::Link);
    }
    coSys.SetCurrentCursorWindow(pcoFrame->GetHandle());
    coSys.SetCurrentCursorWindow(pcoChild->GetHandle());
    coSys.SetCurrentCursorWindow(pcoFrame->GetHandle());
    EXPECT_EQ(coSeen, std::vector<std::string>({
                          "frame KW_LINK_MOUSEENTER 1 -",
                          "frame KW_LINK_MOUSELEAVE 0 CW_CHILD",
                          "child KW_LINK_MOUSEENTER 1 FW_TEST",
                          "child KW_LINK_MOUSELEAVE 1 FW_TEST",
                          "frame KW_LINK_MOUSEENTER 0 CW_CHILD",
                      }));
    delete pcoFrame;
}

// Pointers (handles, the other window of an event) are pointer-sized all
// the way; the fake's handles lie above 32 bits where pointers do.
TEST_F(KwDispatchTest, HandlesAndPointersKeepTheirWidth)
{
    static_assert(sizeof(KwHandle) == sizeof(void*), "handles are pointer-sized");
    static_assert(sizeof(std::declval<KwMessage>().GetWParam()) == sizeof(void*), "wParam is pointer-sized");
    static_assert(sizeof(std::declval<KwMessage>().GetLParam()) == sizeof(void*), "lParam is pointer-sized");
    static_assert(sizeof(std::declval<KwMessage>().GetResult()) == sizeof(void*), "results are pointer-sized");
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    EXPECT_EQ(KwWnd::SearchWindow(pcoChild->GetHandle()), pcoChild);
    KwWnd* pcoOther = nullptr;
    pcoChild->MVC().SetLink("KW_LINK_SETFOCUS", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam& coParam) {
        pcoOther = static_cast<KwEventWnd&>(coParam).OtherWindow();
        return 1;
    };
    coSys.SetFocus(pcoFrame->GetHandle());
    coSys.SetFocus(pcoChild->GetHandle());
    EXPECT_EQ(pcoOther, pcoFrame);
    delete pcoFrame;
}

TEST_F(KwDispatchTest, EventsAllocateNothingBoundOrNot)
{
#if defined(_WIN32)
    GTEST_SKIP() << "each DLL has its own operator new here; GuiDispatchBench counts through the C run-time";
#endif
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    // Another event bound, so that the window has events to look through.
    pcoChild->MVC().SetLink("KW_LINK_PAINT", &coView, &KwTestView::Link);
    coSys.coDefaults.clear();
    coSys.coDefaults.reserve(1000);
    const long lBefore = KwAllocationCount();
    for (int i = 0; i < 200; ++i)
        coSys.Send(pcoChild->GetHandle(), KwMsg::MouseMove, 0, KwMakeLParam(i, i));
    EXPECT_EQ(KwAllocationCount() - lBefore, 0);
    EXPECT_EQ(coSys.coDefaults.size(), 200u);

    struct TQuietView : TDynBase {
        int nCalls { 0 };
        int Count(TMvcParam&) { return ++nCalls; }
    } coQuiet;
    pcoChild->MVC().SetLink("KW_LINK_MOUSEMOVE", &coQuiet, &TQuietView::Count);
    pcoChild->MVC().AddNotification("KW_LINK_MOUSEMOVE", &coQuiet, &TQuietView::Count);
    const long lBound = KwAllocationCount();
    for (int i = 0; i < 200; ++i)
        coSys.Send(pcoChild->GetHandle(), KwMsg::MouseMove, 0, KwMakeLParam(i, i));
    EXPECT_EQ(KwAllocationCount() - lBound, 0);
    EXPECT_EQ(coQuiet.nCalls, 400);
    delete pcoFrame;
}

// A window's links are found once, and again after whatever changes them
// between messages or while one runs.
TEST_F(KwDispatchTest, BoundLinksFollowEveryChangeOfTheirWindow)
{
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    TMvc& coMvc = pcoChild->MVC();
    KwTestView coOther;
    auto Press = [&] {
        coSys.Send(pcoChild->GetHandle(), KwMsg::LButtonDown, 0, KwMakeLParam(1, 1));
        std::vector<std::string> coSeen = coView.coCalls;
        coSeen.push_back("|");
        coSeen.insert(coSeen.end(), coOther.coCalls.begin(), coOther.coCalls.end());
        coView.coCalls.clear();
        coOther.coCalls.clear();
        return coSeen;
    };
    using TSeen = std::vector<std::string>;
    coMvc.SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    EXPECT_EQ(Press(), TSeen({ "KW_LINK_LBUTTONDOWN", "|" }));
    coMvc.SetLink("KW_LINK_LBUTTONDOWN", &coOther, &KwTestView::Link);
    EXPECT_EQ(Press(), TSeen({ "|", "KW_LINK_LBUTTONDOWN" }));
    {
        KwTestView coGone;
        coMvc.SetLink("KW_LINK_LBUTTONDOWN", &coGone, &KwTestView::Link);
        coMvc.SetLink("$KWPRIOLINK_LBUTTONDOWN", &coGone, &KwTestView::Link);
    }
    EXPECT_EQ(Press(), TSeen({ "|" }));
    coMvc.RemoveAllLinks();
    EXPECT_EQ(Press(), TSeen({ "|" }));

    // A notification that takes the window's links away and binds another:
    // the link called after it is the new one.
    coMvc.SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    coMvc.AddNotification("KW_LINK_LBUTTONDOWN", &coOther, &KwTestView::Notify);
    coOther.fnAction = nullptr;
    struct TRebinder : TDynBase {
        TMvc* pcoMvc { nullptr };
        KwTestView* pcoNext { nullptr };
        int Rebind(TMvcParam&)
        {
            pcoMvc->RemoveAllNotifications();
            pcoMvc->RemoveAllLinks();
            pcoMvc->SetLink("KW_LINK_LBUTTONDOWN", pcoNext, &KwTestView::Link);
            return 0;
        }
    } coRebinder;
    coRebinder.pcoMvc = &coMvc;
    coRebinder.pcoNext = &coOther;
    coMvc.AddNotification("KW_LINK_LBUTTONDOWN", &coRebinder, &TRebinder::Rebind);
    EXPECT_EQ(Press(), TSeen({ "|", "note KW_LINK_LBUTTONDOWN", "KW_LINK_LBUTTONDOWN" }));
    EXPECT_EQ(Press(), TSeen({ "|", "KW_LINK_LBUTTONDOWN" }));
    delete pcoFrame;
}

// The windows and timers reach the adapter only through their families'
// registrations. While they are missing (not yet made, or withdrawn as the
// library unloads), the adapter finds no window and no timer: every
// message goes to the default processing and no handler, link or tick
// runs; registered again, the same window answers as before.
TEST_F(KwDispatchTest, WithoutTheFamiliesRegistrationsNothingIsDispatched)
{
    struct TWithout {
        KwAdapterWindows& coWindows { KwAdapterWindows::Current() };
        KwAdapterTimers& coTimers { KwAdapterTimers::Current() };
        TWithout() { KwAdapterWindows::Register(nullptr); KwAdapterTimers::Register(nullptr); }
        ~TWithout() { KwAdapterWindows::Register(&coWindows); KwAdapterTimers::Register(&coTimers); }
    };
    KwWChild* pcoChild = nullptr;
    KwWFrame* pcoFrame = MakeFrame(&pcoChild);
    const KwHandle hChild = pcoChild->GetHandle();
    for (const char* pszName : { "KW_LINK_USER", "KW_LINK_LBUTTONDOWN", "KW_LINK_MOUSEENTER" })
        pcoChild->MVC().SetLink(pszName, &coView, &KwTestView::Link);
    KwTimer coTimer(50, 1, "TI_UNREGISTERED");
    coTimer.MVC().SetLink("KW_LINK_TIMER", &coView, &KwTestView::Link);
    coView.nAnswer = 1;
    auto Run = [&] {
        coSys.coDefaults.clear();
        coView.coCalls.clear();
        coSys.Send(hChild, KwMsg::User + 3);
        coSys.Send(hChild, KwMsg::LButtonDown, 0, KwMakeLParam(2, 2));
        coSys.SetCurrentCursorWindow(0);
        coSys.SetCurrentCursorWindow(hChild);
        coSys.DispatchTimer(coTimer.GetHandle(), 10);
        return coSys.LookupWindow(hChild);
    };
    {
        TWithout coWithout;
        EXPECT_EQ(Run(), nullptr);
        EXPECT_TRUE(coView.coCalls.empty());
        EXPECT_EQ(coSys.coDefaults, std::vector<unsigned>({ KwMsg::User + 3, KwMsg::LButtonDown }));
    }
    EXPECT_EQ(Run(), pcoChild);
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_USER", "KW_LINK_LBUTTONDOWN", "KW_LINK_MOUSEENTER", "KW_LINK_TIMER" }));
    EXPECT_TRUE(coSys.coDefaults.empty());
    delete pcoFrame;
}
