#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwTimer.h"
#include "KwWChild.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A window that reports what its timers tell it.
class TTimedWindow : public KwWChild {
public:
    using KwWChild::KwWChild;
    std::vector<std::string> coSeen;
    std::function<void(KwWindowTimer*)> fnOnDestroy;
    int EvTimer(unsigned long ulSysTime) override { coSeen.push_back("tick " + std::to_string(ulSysTime)); return 1; }
    int EvTimerCreate(KwWindowTimer*) override { coSeen.push_back("create"); return 1; }
    int EvTimerDestroy(KwWindowTimer* pcoTimer) override
    {
        coSeen.push_back("destroy");
        if (fnOnDestroy)
            fnOnDestroy(pcoTimer);
        return 1;
    }
};

class KwTimerTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwTestView coView;

    void Tick(const KwTimer& coTimer, unsigned long ulTime) { coSys.DispatchTimer(coTimer.GetHandle(), ulTime); }
};

} // namespace

TEST_F(KwTimerTest, NamedTimerReportsItsTicksWhileNotPaused)
{
    KwTimer coTimer(50, 0, "TI_CLOCK");
    coTimer.MVC().SetLink("KW_LINK_TIMER", &coView, &KwTestView::Link);
    coTimer.MVC().SetLink("KW_LINK_TIMERCREATE", &coView, &KwTestView::Link);
    unsigned long ulTime = 0;
    coView.fnAction = [&](TMvcParam& coParam) {
        const KwEventTimer* pcoEvent = static_cast<KwEvent&>(coParam);
        EXPECT_EQ(pcoEvent->TimeOut(), coTimer.GetTimeOut());
        ulTime = pcoEvent->SysTime();
        return 1;
    };
    coTimer.Pause();                              // stopped: nothing to pause
    EXPECT_FALSE(coTimer.HasPause());
    ASSERT_EQ(coTimer.SysCreate(), 1);
    EXPECT_EQ(coSys.Lookup("TIMER", coTimer.GetHandle()), &coTimer);
    Tick(coTimer, 1234);
    EXPECT_EQ(ulTime, 1234UL);
    coTimer.Pause();
    coTimer.Pause();
    coTimer.Go();
    Tick(coTimer, 2000);
    EXPECT_EQ(ulTime, 1234UL);
    coTimer.SetTimeOut(80, 1);                    // a restart keeps the pause
    EXPECT_TRUE(coTimer.HasPause());
    coTimer.Go();
    Tick(coTimer, 3000);
    EXPECT_EQ(coView.coCalls, std::vector<std::string>({ "KW_LINK_TIMERCREATE", "KW_LINK_TIMER", "KW_LINK_TIMERCREATE", "KW_LINK_TIMER" }));
    coTimer.SetTimeOut(80, 0);
    EXPECT_FALSE(coTimer.IsRunning());
    EXPECT_TRUE(coSys.coTimers.empty());
    coSys.DispatchTimer(0x7777, 1);               // a tick without timer is dropped
    EXPECT_EQ(KwTimer(0, 1, "TI_ZERO").IsRunning(), 0);
}

TEST_F(KwTimerTest, WindowTimerStopsWithItsWindowAndTellsItFirst)
{
    KwWFrame* pcoFrame = new KwWFrame("FW_TIMED");
    pcoFrame->SysCreate(nullptr);
    TTimedWindow* pcoWnd = new TTimedWindow("CW_TIMED", KwPoint(0, 0), KwSize(10, 10), 0, 7, 0);
    pcoWnd->SysCreate(pcoFrame);
    KwWindowTimer coTimer(pcoWnd, 20, 1, "TI_WINDOW");   // started before the window was set
    EXPECT_TRUE(pcoWnd->coSeen.empty());
    EXPECT_EQ(pcoWnd->GetTimerCount(), 1);
    Tick(coTimer, 7);
    EXPECT_EQ(pcoWnd->coSeen, std::vector<std::string>({ "tick 7" }));
    int nWindowAlive = 0;
    pcoWnd->fnOnDestroy = [&](KwWindowTimer*) { nWindowAlive = pcoWnd->GetHandle() != 0; };
    pcoFrame->Destroy();
    EXPECT_EQ(nWindowAlive, 1);
    EXPECT_FALSE(coTimer.IsRunning());
    EXPECT_EQ(coTimer.GetTimerWindow(), nullptr);
    EXPECT_TRUE(coSys.coTimers.empty());
}

// A window's destruction used to tell the timers while the table changed
// under the walk; a timer deleted by another's handler must not be told.
TEST_F(KwTimerTest, TimersAreCollectedBeforeTheyAreTold)
{
    KwWFrame* pcoFrame = new KwWFrame("FW_TIMED");
    pcoFrame->SysCreate(nullptr);
    TTimedWindow* pcoWnd = new TTimedWindow("CW_TIMED", KwPoint(0, 0), KwSize(10, 10), 0, 7, 0);
    pcoWnd->SysCreate(pcoFrame);
    KwWindowTimer* pcoFirst = new KwWindowTimer(pcoWnd, 20, 1, "TI_FIRST");
    KwWindowTimer* pcoSecond = new KwWindowTimer(pcoWnd, 30, 1, "TI_SECOND");
    KwWindowTimer* pcoIdle = new KwWindowTimer(pcoWnd, 40, 0, "TI_IDLE");   // connected, never started
    KwTimer coOther(60, 1, "TI_OTHER");
    std::vector<std::string> coTold;
    pcoWnd->fnOnDestroy = [&](KwWindowTimer* pcoTimer) {
        coTold.push_back(static_cast<const char*>(pcoTimer->GetResId()));
        KwWindowTimer*& rpcoGone = pcoTimer == pcoFirst ? pcoSecond : pcoFirst;
        delete rpcoGone;
        rpcoGone = nullptr;
    };
    pcoFrame->Destroy();
    EXPECT_EQ(coTold, std::vector<std::string>({ "TI_FIRST" }));   // the deleted one is not told
    ASSERT_NE(pcoFirst, nullptr);
    EXPECT_EQ(pcoSecond, nullptr);
    KwWindowTimer* pcoLeft = pcoFirst;
    EXPECT_FALSE(pcoLeft->IsRunning());
    EXPECT_EQ(pcoLeft->GetTimerWindow(), nullptr);
    EXPECT_EQ(pcoIdle->GetTimerWindow(), nullptr);
    EXPECT_TRUE(coOther.IsRunning());
    pcoIdle->SetTimerWindow(nullptr);
    delete pcoLeft;
    delete pcoIdle;
}
