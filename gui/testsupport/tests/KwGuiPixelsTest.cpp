#include "KwGuiPixels.h"
#include "KwGuiPump.h"
#include "KwGuiTestRun.h"
#include "KwProbeWindow.h"
#include "KwScreenshot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kwtest {
namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(220, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 200);

// A window that paints a red rectangle with a blue frame one pixel
// outside it on white.
class KwGuiPixels : public ::testing::Test {
protected:
    const RECT m_rcRed { 40, 30, 140, 90 };

    void SetUp() override
    {
        m_coWindow.m_fnPaint = [this](HDC hdc) {
            RECT rcFrame { m_rcRed.left - 1, m_rcRed.top - 1, m_rcRed.right + 1, m_rcRed.bottom + 1 };
            const HBRUSH hBlue = CreateSolidBrush(Blue);
            FrameRect(hdc, &rcFrame, hBlue);
            DeleteObject(hBlue);
            const HBRUSH hRed = CreateSolidBrush(m_colour);
            FillRect(hdc, &m_rcRed, hRed);
            DeleteObject(hRed);
        };
        InvalidateRect(m_coWindow.Handle(), nullptr, TRUE);
        ASSERT_TRUE(PumpIdle());
    }
    HWND Handle() const { return m_coWindow.Handle(); }

    TProbeWindow m_coWindow { "Pixels" };
    COLORREF m_colour { Red };
};

TEST_F(KwGuiPixels, DrawnRectangleIsFoundInPixels)
{
    EXPECT_EQ(ClientPixel(Handle(), { 40, 30 }), Red);
    EXPECT_EQ(ClientPixel(Handle(), { 139, 89 }), Red);
    EXPECT_EQ(ClientPixel(Handle(), { 39, 29 }), Blue);
    EXPECT_EQ(ClientPixel(Handle(), { 38, 29 }), White);
    EXPECT_EQ(ClientPixel(Handle(), { -1, 5 }), CLR_INVALID);
    EXPECT_EQ(CountClientPixels(Handle(), m_rcRed, Red), 100u * 60u);
    EXPECT_EQ(CountClientPixels(Handle(), { 0, 0, 1000, 1000 }, Red), 100u * 60u);
    EXPECT_EQ(CountClientPixels(Handle(), { 0, 0, 1000, 1000 }, Blue), 2u * 102u + 2u * 60u);
    EXPECT_TRUE(ScreenshotWindow(Handle()));
}

TEST_F(KwGuiPixels, CapturesShowWhatChanged)
{
    const TTestImage coBefore = CaptureClient(Handle());
    EXPECT_TRUE(CompareImages(coBefore, CaptureClient(Handle())).Identical());
    m_colour = RGB(0, 160, 0);
    RECT rcPart { 50, 40, 60, 50 };
    InvalidateRect(Handle(), &rcPart, TRUE);
    ASSERT_TRUE(PumpIdle());
    const TImageDiff diff = CompareImages(coBefore, CaptureClient(Handle()));
    EXPECT_TRUE(diff.bSameSize);
    EXPECT_EQ(diff.nDiffering, 100u);
}

TEST_F(KwGuiPixels, WindowCaptureHasTheFrameAroundTheClientArea)
{
    RECT rcWindow, rcClient;
    GetWindowRect(Handle(), &rcWindow);
    GetClientRect(Handle(), &rcClient);
    const TTestImage coWindow = CaptureWindow(Handle());
    EXPECT_EQ(coWindow.Width(), rcWindow.right - rcWindow.left);
    EXPECT_EQ(coWindow.Height(), rcWindow.bottom - rcWindow.top);
    POINT ptOrigin {};
    ClientToScreen(Handle(), &ptOrigin);
    const int dx = ptOrigin.x - rcWindow.left, dy = ptOrigin.y - rcWindow.top;
    const TTestImage coClient = coWindow.Part({ dx, dy, dx + rcClient.right, dy + rcClient.bottom });
    EXPECT_TRUE(CompareImages(coClient, CaptureClient(Handle())).Identical());
    // The caption is drawn: mostly not white.
    EXPECT_LT(coWindow.Count(White, { 0, 0, coWindow.Width(), dy }), static_cast<size_t>(coWindow.Width() * dy / 4));
    EXPECT_TRUE(ScreenshotWindow(Handle()));
}

TEST_F(KwGuiPixels, DesktopCaptureShowsTheWindowWhereItIs)
{
    const TTestImage coDesktop = CaptureDesktop();
    ASSERT_EQ(coDesktop.Width(), GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(coDesktop.Height(), GetSystemMetrics(SM_CYSCREEN));
    POINT ptOrigin {};
    ClientToScreen(Handle(), &ptOrigin);
    EXPECT_EQ(coDesktop.Count(Red, { ptOrigin.x + m_rcRed.left, ptOrigin.y + m_rcRed.top, ptOrigin.x + m_rcRed.right,
                  ptOrigin.y + m_rcRed.bottom }),
        6000u);
    EXPECT_EQ(coDesktop.Count(Red), 6000u);
    EXPECT_TRUE(SaveScreenshot(coDesktop, "desktop"));
}

TEST_F(KwGuiPixels, ScreenshotReadsBackAsCaptured)
{
    ASSERT_TRUE(ScreenshotClient(Handle(), "client"));
    TTestImage coRead;
    std::string strError;
    ASSERT_TRUE(ReadPng(ScreenshotPath(CurrentTestName(), "client"), coRead, strError)) << strError;
    EXPECT_TRUE(CompareImages(coRead, CaptureClient(Handle())).Identical());
}

TEST_F(KwGuiPixels, FailedAssertionLeavesADesktopScreenshot)
{
    // The listener as GoogleTest calls it on a failure; a real failure
    // would fail this test.
    TGuiTestListener coListener(nullptr);
    coListener.OnTestPartResult(::testing::TestPartResult(::testing::TestPartResult::kNonFatalFailure, __FILE__, __LINE__, "probe"));
    const std::string strPath = ScreenshotPath(CurrentTestName(), "failure-1");
    TTestImage coRead;
    std::string strError;
    ASSERT_TRUE(ReadPng(strPath, coRead, strError)) << strError;
    EXPECT_EQ(coRead.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(coRead.Count(Red), 6000u);
    std::filesystem::remove(strPath);
}

} // namespace
} // namespace kwtest
