#include "KwTestApp.h"

#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwTimer.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kw25test::Hwnd;

// Closing another frame leaves the main loop running; closing the main
// frame ends it. A timer drives the run from inside the loop.
TEST(KwAppGuiTest, ClosingTheMainFrameEndsGoAndOthersDoNot)
{
    kw25test::KwTestApp& coApp = kw25test::KwTestApp::Instance();
    KwWFrame* pcoMain = new KwWFrame("FW_MAIN", KwPoint(100, 100), KwSize(300, 200), "Main", 15, KwStyle::OverlappedWindow, 0, 0);
    KwWFrame* pcoOther = new KwWFrame("FW_OTHER", KwPoint(450, 100), KwSize(200, 150), "Other", 15, KwStyle::OverlappedWindow, 0, 0);
    ASSERT_TRUE(pcoMain->SysCreate(nullptr));
    ASSERT_TRUE(pcoOther->SysCreate(nullptr));
    ASSERT_EQ(coApp.GetMainWindow(), nullptr);
    pcoMain->Start();
    pcoOther->Start();
    ASSERT_EQ(coApp.GetMainWindow(), pcoMain);
    const HWND hMain = Hwnd(*pcoMain);
    const HWND hOther = Hwnd(*pcoOther);
    kwtest::PumpIdle();
    kwtest::ScreenshotDesktop();

    std::vector<std::string> coSteps;
    KwTimer coDriver(30, 0, "TI_DRIVER");
    KwTestView coView;
    coDriver.MVC().SetLink("KW_LINK_TIMER", &coView, &KwTestView::Link);
    coView.fnAction = [&](TMvcParam&) {
        if (coSteps.empty()) {
            coSteps.push_back("close other");
            ::PostMessageA(hOther, WM_CLOSE, 0, 0);
        } else if (coSteps.size() == 1 && !::IsWindow(hOther)) {
            coSteps.push_back("loop still runs");
            ::PostMessageA(hMain, WM_CLOSE, 0, 0);
        }
        return 1;
    };
    coDriver.SysCreate();
    EXPECT_EQ(coApp.RunGo(), 0);
    coDriver.SysDelete();
    EXPECT_EQ(coSteps, std::vector<std::string>({ "close other", "loop still runs" }));
    EXPECT_FALSE(::IsWindow(hMain));
    EXPECT_EQ(coApp.GetMainWindow(), nullptr);
    EXPECT_EQ(coApp.CurrentAppFrameCount(), 0);
}
