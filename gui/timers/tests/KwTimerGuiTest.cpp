#include "KwTestApp.h"

#include "KwFakeSystem.h"
#include "KwTimer.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

namespace {

class TTickedWindow : public KwWChild {
public:
    using KwWChild::KwWChild;
    int nTicks { 0 };
    int nDestroyed { 0 };
    int EvTimer(unsigned long) override { return ++nTicks; }
    int EvTimerDestroy(KwWindowTimer*) override { return ++nDestroyed; }
};

} // namespace

TEST(KwTimerGuiTest, NamedTimerTicksOnTheGuiThread)
{
    KwTimer coTimer(20, 0, "TI_CLOCK");
    KwTestView coView;
    coTimer.MVC().SetLink("KW_LINK_TIMER", &coView, &KwTestView::Link);
    DWORD ulThread = 0;
    coView.fnAction = [&](TMvcParam&) {
        ulThread = ::GetCurrentThreadId();
        return 1;
    };
    ASSERT_EQ(coTimer.SysCreate(), 1);
    ASSERT_TRUE(kwtest::PumpUntil([&] { return coView.coCalls.size() >= 3; }, 3000));
    EXPECT_EQ(ulThread, ::GetCurrentThreadId());
    coTimer.Pause();
    const size_t nBefore = coView.coCalls.size();
    kwtest::PumpFor(150);
    EXPECT_EQ(coView.coCalls.size(), nBefore);
    coTimer.Go();
    ASSERT_TRUE(kwtest::PumpUntil([&] { return coView.coCalls.size() > nBefore; }, 3000));
    coTimer.SysDelete();
    const size_t nStopped = coView.coCalls.size();
    kwtest::PumpFor(150);
    EXPECT_EQ(coView.coCalls.size(), nStopped);
}

TEST(KwTimerGuiTest, WindowTimerStopsWithItsWindow)
{
    KwWFrame* pcoFrame = kw25test::OpenFrame("FW_TIMER", KwPoint(150, 150), KwSize(200, 120), "Window timer");
    TTickedWindow* pcoWnd = kw25test::AddChild(new TTickedWindow("CW_TICKED", KwPoint(10, 10), KwSize(50, 30), 0, 7, 0), *pcoFrame);
    KwWindowTimer coTimer("TI_WINDOW");
    coTimer.SetTimerWindow(pcoWnd);
    ASSERT_EQ(coTimer.SysCreate(15), 1);
    ASSERT_TRUE(kwtest::PumpUntil([&] { return pcoWnd->nTicks >= 2; }, 3000));
    int nDestroyReported = 0;
    KwTestView coView;
    pcoWnd->MVC().SetLink("KW_LINK_DESTROY", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam&) {
        nDestroyReported = pcoWnd->nDestroyed;
        return 0;
    };
    pcoFrame->Destroy();
    EXPECT_EQ(nDestroyReported, 0);               // the timer is told after the window's own destroy link
    EXPECT_FALSE(coTimer.IsRunning());
    EXPECT_EQ(coTimer.GetTimerWindow(), nullptr);
    kwtest::PumpFor(100);                         // a tick already queued finds no timer
}
