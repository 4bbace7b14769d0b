#include "KwTestApp.h"

#include "KwCntText.h"
#include "KwDC.h"
#include "KwWChild.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <functional>

using kw25test::Hwnd;

namespace {

// The rows and columns that hold pixels passing the test (the text is
// drawn smoothed: its edges blend into the background).
RECT Ink(HWND hWnd, const std::function<bool(int, int, int)>& fnIsInk, size_t* pnPixels)
{
    const kwtest::TTestImage coImage = kwtest::CaptureClient(hWnd);
    RECT rc { 10000, 10000, -1, -1 };
    *pnPixels = 0;
    for (int y = 0; y < coImage.Height(); ++y) {
        for (int x = 0; x < coImage.Width(); ++x) {
            const kwtest::TRgb c = coImage.At(x, y);
            if (!fnIsInk(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF))
                continue;
            ++*pnPixels;
            rc = { std::min<LONG>(rc.left, x), std::min<LONG>(rc.top, y), std::max<LONG>(rc.right, x + 1), std::max<LONG>(rc.bottom, y + 1) };
        }
    }
    return rc;
}

} // namespace

TEST(KwCntTextGuiTest, TextsShowPlainGreyedAndHighlighted)
{
    KwWFrame* pcoFrame = kw25test::OpenFrame("FW_TEXT", KwPoint(100, 100), KwSize(420, 200), "Text content");
    KwWChild* apcoLabels[3];
    const struct { const char* pszText; unsigned short unAlign; } aTexts[] = { { "&Start\nsecond line", 0x22 }, { "Greyed", 0x11 }, { "Highlighted", 0x04 } };
    for (short i = 0; i < 3; ++i) {
        apcoLabels[i] = kw25test::AddChild(new KwWChild("CW_LABEL", KwPoint(static_cast<short>(10 + 135 * i), 20), KwSize(120, 80), 0, 15, 1), *pcoFrame);
        new KwCntText(aTexts[i].pszText, aTexts[i].unAlign, apcoLabels[i]);
    }
    static_cast<KwCntText*>(apcoLabels[0]->Content())->SetPercentLineDist(50, 1);
    apcoLabels[1]->Enable(0, 1);
    apcoLabels[2]->SetSelected(1, 1);
    kwtest::PumpIdle();

    // Two blue lines, centred, as high as the content measures itself.
    size_t nPixels = 0;
    const RECT rcPlain = Ink(Hwnd(*apcoLabels[0]), [](int r, int g, int b) { return b > 60 && r < 60 && g < 60; }, &nPixels);
    EXPECT_GT(nPixels, 40u);
    KwDC coDC(apcoLabels[0]);
    const KwRect coMeasured = apcoLabels[0]->Content()->CalcCurrentRect(coDC);
    EXPECT_NEAR(rcPlain.top, coMeasured.Top(), 3);
    EXPECT_NEAR(rcPlain.bottom, coMeasured.Bottom(), 3);
    EXPECT_NEAR((rcPlain.left + rcPlain.right) / 2, 60, 3);
    // Greyed: grey ink only, at the top left.
    Ink(Hwnd(*apcoLabels[1]), [](int r, int g, int b) { return b > 60 && r < 60; }, &nPixels);
    EXPECT_EQ(nPixels, 0u);
    const RECT rcGrey = Ink(Hwnd(*apcoLabels[1]), [](int r, int g, int b) { return r == g && g == b && r < 170; }, &nPixels);
    EXPECT_GT(nPixels, 20u);
    EXPECT_LT(rcGrey.left + rcGrey.top, 10);
    // Highlighted: white text on the highlight colour, at the bottom right.
    const RECT rcBack = Ink(Hwnd(*apcoLabels[2]), [](int r, int g, int b) { return r == 128 && g == 0 && b == 128; }, &nPixels);
    EXPECT_GT(nPixels, 100u);
    EXPECT_GT(rcBack.right + rcBack.bottom, 115 + 75);
    Ink(Hwnd(*apcoLabels[2]), [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; }, &nPixels);
    EXPECT_GT(nPixels, 20u);
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
    pcoFrame->Destroy();
    kwtest::PumpIdle();
}
