#include "KwApp.h"
#include "KwColor.h"
#include "KwCntText.h"
#include "KwEvent.h"
#include "KwFakeSystem.h"
#include "KwProgressIndicator.h"
#include "KwStoredCopy.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const s_apszLinks[] = { "EXTCTRL_LINK_PROGRESSSTARTED", "EXTCTRL_LINK_PROGRESSCHANGED",
                                    "EXTCTRL_LINK_PROGRESSENDED", "EXTCTRL_LINK_PROGRESSCANCELED" };

// An indicator 200 x 20 without border in a frame, its four links bound to
// a view that records each report as "<name without prefix> <value>".
class KwProgressIndicatorTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwApp coApp { "KwProgressIndicatorTest", nullptr, 0 };
    KwTestView coView;
    std::vector<std::string> coReports;
    KwWFrame* pcoFrame { nullptr };
    KwProgressIndicator* pcoBar { nullptr };

    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_PROGRESS");
        pcoFrame->SysCreate(nullptr);
        pcoBar = new KwProgressIndicator("PI_PROGRESS", KwPoint(0, 0), KwSize(200, 20), 0, 7, 0);
        pcoBar->UseBorder(0, 0);
        pcoBar->SysCreate(pcoFrame);
        coView.fnAction = [this](TMvcParam& coParam) {
            const std::string strName = static_cast<const char*>(coParam.EventType());
            coReports.push_back(strName.substr(std::string("EXTCTRL_LINK_PROGRESS").size()) + " "
                                + std::to_string(static_cast<KwEvent&>(coParam).GetWParam()));
            return 0;
        };
        for (const char* pszLink : s_apszLinks)
            pcoBar->MVC().SetLink(pszLink, &coView, &KwTestView::Link);
    }
    void TearDown() override { pcoFrame->Destroy(); }
    void Paint()
    {
        coSys.coLog.clear();
        coSys.Send(pcoBar->GetHandle(), 0x000F);
    }
};

} // namespace

TEST_F(KwProgressIndicatorTest, StartBeyondTheEndStartsChangesAndEndsAtOnce)
{
    EXPECT_EQ(pcoBar->Start(150), 1);
    EXPECT_EQ(coReports, std::vector<std::string>({ "STARTED 100", "CHANGED 100", "ENDED 0" }));
    EXPECT_FALSE(pcoBar->IsStarted());
    EXPECT_EQ(pcoBar->GetProgress(), 100);
}

TEST_F(KwProgressIndicatorTest, ProgressOnlyMovesForwardWhileRunning)
{
    EXPECT_EQ(pcoBar->UpdateProgress(10), 0) << "not started";
    ASSERT_EQ(pcoBar->Start(0), 1);
    EXPECT_EQ(pcoBar->Start(5), 0) << "already started";
    EXPECT_EQ(pcoBar->UpdateProgress(50), 1);
    EXPECT_EQ(pcoBar->UpdateProgress(40), 0);
    EXPECT_EQ(pcoBar->UpdateProgress(50), 0);
    EXPECT_EQ(pcoBar->IncProgress(30), 1);
    EXPECT_EQ(pcoBar->IncProgress(60), 1) << "capped at 100";
    EXPECT_EQ(coReports, std::vector<std::string>({ "STARTED 0", "CHANGED 50", "CHANGED 80", "CHANGED 100", "ENDED 0" }));
    EXPECT_EQ(pcoBar->IncProgress(1), 0) << "ended";
}

TEST_F(KwProgressIndicatorTest, CancelKeepsTheBarAndResetOnlyWhenIdle)
{
    EXPECT_EQ(pcoBar->Cancel(), 0);
    pcoBar->Start(20);
    pcoBar->UpdateProgress(45);
    EXPECT_EQ(pcoBar->ResetProgress(), 0);
    EXPECT_EQ(pcoBar->Cancel(), 1);
    EXPECT_EQ(pcoBar->Cancel(), 0);
    EXPECT_EQ(pcoBar->GetProgress(), 45);
    EXPECT_EQ(coReports.back(), "CANCELED 45");
    EXPECT_EQ(pcoBar->ResetProgress(), 1);
    EXPECT_EQ(pcoBar->GetProgress(), 0);
    // A new start begins at 0 again.
    coReports.clear();
    EXPECT_EQ(pcoBar->Start(10), 1);
    EXPECT_EQ(coReports, std::vector<std::string>({ "STARTED 10", "CHANGED 10" }));
}

TEST_F(KwProgressIndicatorTest, FilledWidthIsTruncated)
{
    const struct { short nWidth; unsigned short unProgress; short nFilled; } aCases[] = {
        { 200, 33, 66 }, { 200, 0, 0 }, { 200, 100, 200 }, { 200, 150, 200 }, { 7, 50, 3 }, { 3, 99, 2 }, { 0, 50, 0 }, { -5, 50, 0 },
    };
    for (const auto& c : aCases)
        EXPECT_EQ(KwProgressIndicator::FilledWidth(c.nWidth, c.unProgress), c.nFilled) << c.nWidth << " at " << c.unProgress;
}

TEST_F(KwProgressIndicatorTest, PaintFillsTheBarAndWritesThePercentOver)
{
    pcoBar->SetFillColor(5, 0);
    new KwCntText("", 0x22, pcoBar);
    pcoBar->Start(33);
    Paint();
    const std::string strFill = KwFakeColor(KwSysColor(5).GetRealColor());
    const std::string strBack = KwFakeColor(KwSysColor(7).GetRealColor());
    EXPECT_EQ(coSys.Lines("Rectangle"), std::vector<std::string>({ "Rectangle 0,0,200,20 pen=" + strBack + " brush=" + strBack,
                                                                    "Rectangle 0,0,66,20 pen=" + strFill + " brush=" + strFill }));
    ASSERT_EQ(coSys.Lines("DrawText").size(), 1u);
    EXPECT_NE(coSys.Lines("DrawText")[0].find("33%"), std::string::npos);
    EXPECT_EQ(pcoBar->Content()->GetTextContent(), TString("33%"));
}

TEST_F(KwProgressIndicatorTest, PaintingSetsNoTextAndInvalidatesNothing)
{
    new KwCntText("", 0x22, pcoBar);
    pcoBar->Start(40);
    for (int i = 0; i < 3; ++i) {
        Paint();
        EXPECT_TRUE(coSys.Lines("Invalidate").empty()) << "paint " << i;
    }
    // An equal value changes nothing either; a new one repaints once.
    coSys.coLog.clear();
    pcoBar->UpdateProgress(40);
    EXPECT_TRUE(coSys.Lines("Invalidate").empty());
    pcoBar->UpdateProgress(41);
    EXPECT_EQ(coSys.Lines("Invalidate").size(), 2u) << "the text's and the bar's";
}

TEST_F(KwProgressIndicatorTest, StoredAndCopiedWithColourAndTextFlagOnly)
{
    pcoBar->SetFillColor(9, 0);
    pcoBar->SetShowPercentAsText(0, 0);
    pcoBar->Start(70);
    kwtest::TResTempDir coDir("KwProgressIndicatorTest");
    std::unique_ptr<TResource> pcoRead = KwStoredCopy(coDir, *pcoBar);
    ASSERT_TRUE(pcoRead && pcoRead->IsClass("KwProgressIndicator"));
    std::unique_ptr<KwWnd> pcoCopy(pcoBar->Copy());
    for (auto* pcoIndicator : { static_cast<KwProgressIndicator*>(pcoRead.get()), static_cast<KwProgressIndicator*>(pcoCopy.get()) }) {
        EXPECT_EQ(pcoIndicator->GetFillColor(), 9);
        EXPECT_EQ(pcoIndicator->GetShowPercentAsText(), 0);
        EXPECT_EQ(pcoIndicator->GetProgress(), 0);
        EXPECT_FALSE(pcoIndicator->IsStarted());
    }
    // Reading again starts from the defaults.
    auto* pcoLoaded = static_cast<KwProgressIndicator*>(pcoRead.get());
    pcoLoaded->NotifyReadBegin();
    EXPECT_EQ(pcoLoaded->GetFillColor(), KwProgressIndicator::DefaultFillColor);
    EXPECT_EQ(pcoLoaded->GetShowPercentAsText(), 1);
}
