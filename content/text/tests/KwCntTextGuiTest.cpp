#include "KwTestApp.h"

#include "KwCntText.h"
#include "KwDC.h"
#include "KwWChild.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <functional>

using kw25test::Hwnd;

namespace {

// The rectangle of the pixels that pass the test, and their number.
struct TInk {
    RECT rcBounds { 10000, 10000, -1, -1 };
    size_t nPixels { 0 };
};

TInk FindInk(HWND hWnd, const std::function<bool(kwtest::TRgb)>& fnIsInk)
{
    const kwtest::TTestImage coImage = kwtest::CaptureClient(hWnd);
    TInk coInk;
    for (int y = 0; y < coImage.Height(); ++y) {
        for (int x = 0; x < coImage.Width(); ++x) {
            if (!fnIsInk(coImage.At(x, y)))
                continue;
            ++coInk.nPixels;
            coInk.rcBounds = { std::min<LONG>(coInk.rcBounds.left, x), std::min<LONG>(coInk.rcBounds.top, y),
                               std::max<LONG>(coInk.rcBounds.right, x + 1), std::max<LONG>(coInk.rcBounds.bottom, y + 1) };
        }
    }
    return coInk;
}

int Red(kwtest::TRgb c) { return static_cast<int>(c & 0xFF); }
int Green(kwtest::TRgb c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(kwtest::TRgb c) { return static_cast<int>((c >> 16) & 0xFF); }

class KwCntTextGuiTest : public ::testing::Test {
protected:
    KwWFrame* pcoFrame { nullptr };
    KwHandle m_hFrame { 0 };

    void SetUp() override
    {
        pcoFrame = kw25test::OpenFrame("FW_TEXT", KwPoint(100, 100), KwSize(420, 200), "Text content");
        m_hFrame = pcoFrame->GetHandle();
    }
    void TearDown() override
    {
        if (KwWnd* pcoOpen = KwWnd::SearchWindow(m_hFrame))
            pcoOpen->Destroy();
        kwtest::PumpIdle();
    }
    KwWChild* Label(const char* pszName, short nX, const char* pszText, unsigned short unAlign)
    {
        KwWChild* pcoChild = kw25test::AddChild(new KwWChild(pszName, KwPoint(nX, 20), KwSize(120, 80), 0, 15, 1), *pcoFrame);
        new KwCntText(pszText, unAlign, pcoChild);
        return pcoChild;
    }
};

} // namespace

TEST_F(KwCntTextGuiTest, TextsShowPlainGreyedAndHighlighted)
{
    KwWChild* pcoPlain = Label("CW_PLAIN", 10, "&Start\nsecond line", 0x22);
    static_cast<KwCntText*>(pcoPlain->Content())->SetPercentLineDist(50, 1);
    KwWChild* pcoGreyed = Label("CW_GREYED", 145, "Greyed", 0x11);
    pcoGreyed->Enable(0, 1);
    KwWChild* pcoHigh = Label("CW_HIGH", 280, "Highlighted", 0x04);
    pcoHigh->SetSelected(1, 1);
    kwtest::PumpIdle();

    // Two lines in blue, centred, as high as the content measures itself.
    const TInk coPlain = FindInk(Hwnd(*pcoPlain), [](kwtest::TRgb c) { return Blue(c) > 60 && Red(c) < 60 && Green(c) < 60; });
    ASSERT_GT(coPlain.nPixels, 40u);
    KwDC coDC(pcoPlain);
    const KwRect coMeasured = pcoPlain->Content()->CalcCurrentRect(coDC);
    EXPECT_NEAR(coPlain.rcBounds.top, coMeasured.Top(), 3);
    EXPECT_NEAR(coPlain.rcBounds.bottom, coMeasured.Bottom(), 3);
    EXPECT_NEAR((coPlain.rcBounds.left + coPlain.rcBounds.right) / 2, 60, 3);
    EXPECT_EQ(pcoPlain->Content()->GetCharUnderlined(), 's');

    // Greyed: grey ink only, left and top.
    const TInk coBlue = FindInk(Hwnd(*pcoGreyed), [](kwtest::TRgb c) { return Blue(c) > 60 && Red(c) < 60; });
    const TInk coGrey = FindInk(Hwnd(*pcoGreyed), [](kwtest::TRgb c) {
        return Red(c) == Green(c) && Green(c) == Blue(c) && Red(c) < 170;
    });
    EXPECT_EQ(coBlue.nPixels, 0u);
    EXPECT_GT(coGrey.nPixels, 20u);
    EXPECT_LT(coGrey.rcBounds.left, 5);
    EXPECT_LT(coGrey.rcBounds.top, 5);

    // Highlighted: the text's rectangle in the highlight colour at the
    // right and bottom, with white text in it.
    const TInk coBack = FindInk(Hwnd(*pcoHigh), [](kwtest::TRgb c) { return c == kwtest::MakeRgb(128, 0, 128); });
    EXPECT_GT(coBack.nPixels, 100u);
    EXPECT_GT(coBack.rcBounds.right, 115);
    EXPECT_GT(coBack.rcBounds.bottom, 75);
    const TInk coWhite = FindInk(Hwnd(*pcoHigh), [&](kwtest::TRgb c) { return Red(c) > 200 && Green(c) > 200 && Blue(c) > 200; });
    EXPECT_GT(coWhite.nPixels, 20u);
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}
