#include "KwTestApp.h"

#include "KwCntText.h"
#include "KwColor.h"
#include "KwProgressIndicator.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

using kw25test::Hwnd;

namespace {

// An indicator that counts its paints.
class TCountingIndicator : public KwProgressIndicator {
public:
    using KwProgressIndicator::KwProgressIndicator;
    int nPaints { 0 };
    int EvPaint(KwPaintDC& coDC) override
    {
        ++nPaints;
        return KwProgressIndicator::EvPaint(coDC);
    }
};

// A frame with an indicator 200 x 24 without border, its text centred.
class KwProgressGuiTest : public ::testing::Test {
protected:
    KwWFrame* pcoFrame { nullptr };
    KwHandle m_hFrame { 0 };
    TCountingIndicator* pcoBar { nullptr };

    void SetUp() override
    {
        pcoFrame = kw25test::OpenFrame("FW_PROGRESS", KwPoint(100, 100), KwSize(260, 110), "Progress");
        m_hFrame = pcoFrame->GetHandle();
        pcoBar = new TCountingIndicator("PI_PROGRESS", KwPoint(20, 30), KwSize(200, 24), 0, 15, 0);
        pcoBar->UseBorder(0, 0);
        new KwCntText("", 0x22, pcoBar);
        kw25test::AddChild(pcoBar, *pcoFrame);
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        if (KwWnd* pcoOpen = KwWnd::SearchWindow(m_hFrame))
            pcoOpen->Destroy();
        kwtest::PumpIdle();
    }
    // Pixels of the fill colour in the bar's top row, above the text.
    size_t FilledPixels() const
    {
        const unsigned long ulFill = KwSysColor(pcoBar->GetFillColor()).GetRealColor();
        return kwtest::CountClientPixels(Hwnd(*pcoBar), { 0, 1, 200, 2 }, static_cast<COLORREF>(ulFill));
    }
};

} // namespace

TEST_F(KwProgressGuiTest, BarFillsItsShareOfTheWidthAndWritesThePercent)
{
    ASSERT_EQ(pcoBar->Start(33), 1);
    kwtest::PumpIdle();
    EXPECT_EQ(FilledPixels(), 66u);
    EXPECT_EQ(pcoBar->Content()->GetTextContent(), TString("33%"));
    EXPECT_TRUE(kwtest::ScreenshotWindow(Hwnd(*pcoFrame), "33"));
    pcoBar->UpdateProgress(100);
    kwtest::PumpIdle();
    EXPECT_EQ(FilledPixels(), 200u);
    EXPECT_FALSE(pcoBar->IsStarted());
    EXPECT_TRUE(kwtest::ScreenshotWindow(Hwnd(*pcoFrame), "100"));
}

TEST_F(KwProgressGuiTest, NothingIsPaintedWhileNothingChanges)
{
    pcoBar->Start(10);
    kwtest::PumpIdle();
    const int nSettled = pcoBar->nPaints;
    ASSERT_GT(nSettled, 0);
    kwtest::PumpFor(500);
    EXPECT_EQ(pcoBar->nPaints, nSettled);
    // A change repaints at once and once.
    pcoBar->UpdateProgress(11);
    EXPECT_EQ(pcoBar->nPaints, nSettled + 1);
    kwtest::PumpFor(500);
    EXPECT_EQ(pcoBar->nPaints, nSettled + 1);
    EXPECT_EQ(FilledPixels(), 22u);
}
