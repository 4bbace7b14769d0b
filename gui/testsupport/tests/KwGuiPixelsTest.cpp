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

// A window that paints a red rectangle, framed in blue one pixel outside it, on white.
class KwGuiPixels : public ::testing::Test {
protected:
    const RECT m_rcRed { 40, 30, 140, 90 };

    void SetUp() override
    {
        m_coWindow.m_fnPaint = [this](HDC hdc) {
            RECT rcFrame { m_rcRed.left - 1, m_rcRed.top - 1, m_rcRed.right + 1, m_rcRed.bottom + 1 };
            const HBRUSH hFrame = CreateSolidBrush(Blue), hFill = CreateSolidBrush(m_colour);
            FrameRect(hdc, &rcFrame, hFrame);
            FillRect(hdc, &m_rcRed, hFill);
            DeleteObject(hFrame);
            DeleteObject(hFill);
        };
        InvalidateRect(Handle(), nullptr, TRUE);
        ASSERT_TRUE(PumpIdle());
        ClientToScreen(Handle(), &m_ptOrigin);
    }
    HWND Handle() const { return m_coWindow.Handle(); }
    TImageRect RedAt(POINT pt) const { return { pt.x + 40, pt.y + 30, pt.x + 140, pt.y + 90 }; }

    TProbeWindow m_coWindow { "Pixels" };
    COLORREF m_colour { Red };
    POINT m_ptOrigin {}; // of the client area on the screen
};

TEST_F(KwGuiPixels, DrawnRectangleIsFoundInPixels)
{
    EXPECT_EQ(ClientPixel(Handle(), { 40, 30 }), Red);
    EXPECT_EQ(ClientPixel(Handle(), { 139, 89 }), Red);
    EXPECT_EQ(ClientPixel(Handle(), { 39, 29 }), Blue);
    EXPECT_EQ(ClientPixel(Handle(), { 38, 29 }), White);
    EXPECT_EQ(ClientPixel(Handle(), { -1, 5 }), CLR_INVALID);
    EXPECT_EQ(CountClientPixels(Handle(), m_rcRed, Red), 6000u);
    EXPECT_EQ(CountClientPixels(Handle(), { 0, 0, 1000, 1000 }, Red), 6000u);
    EXPECT_EQ(CountClientPixels(Handle(), { 0, 0, 1000, 1000 }, Blue), 2u * 102u + 2u * 60u);
}

TEST_F(KwGuiPixels, CapturesAndScreenshotsShowWhatChanged)
{
    const TTestImage coBefore = CaptureClient(Handle());
    ASSERT_TRUE(ScreenshotClient(Handle(), "before"));
    m_colour = RGB(0, 160, 0);
    RECT rcPart { 50, 40, 60, 50 };
    InvalidateRect(Handle(), &rcPart, TRUE);
    ASSERT_TRUE(PumpIdle());
    EXPECT_EQ(CompareImages(coBefore, CaptureClient(Handle())).nDiffering, 100u);
    TTestImage coRead;
    std::string strError;
    ASSERT_TRUE(ReadPng(ScreenshotPath(CurrentTestName(), "before"), coRead, strError)) << strError;
    EXPECT_TRUE(CompareImages(coRead, coBefore).Identical());
}

// A test that moves to another drive (a file dialog does) still writes
// its screenshots where the program's were to go.
TEST_F(KwGuiPixels, ScreenshotsKeepTheirDirectoryWhenTheCurrentDriveChanges)
{
    char szWas[MAX_PATH] {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof szWas, szWas), 0u);
    const std::string strPath = ScreenshotPath(CurrentTestName(), "elsewhere");
    ASSERT_TRUE(SetCurrentDirectoryA("T:\\"));
    const bool bWritten = ScreenshotClient(Handle(), "elsewhere");
    SetCurrentDirectoryA(szWas);
    ASSERT_TRUE(bWritten);
    EXPECT_TRUE(std::filesystem::path(strPath).has_root_name()) << strPath;
    EXPECT_TRUE(std::filesystem::exists(strPath)) << strPath;
}

TEST_F(KwGuiPixels, WindowCaptureHasTheFrameAroundTheClientArea)
{
    RECT rcWindow, rcClient;
    GetWindowRect(Handle(), &rcWindow);
    GetClientRect(Handle(), &rcClient);
    const TTestImage coWindow = CaptureWindow(Handle());
    ASSERT_EQ(coWindow.Width(), rcWindow.right - rcWindow.left);
    ASSERT_EQ(coWindow.Height(), rcWindow.bottom - rcWindow.top);
    const POINT ptClient { m_ptOrigin.x - rcWindow.left, m_ptOrigin.y - rcWindow.top };
    const TTestImage coClient = coWindow.Part({ ptClient.x, ptClient.y, ptClient.x + rcClient.right, ptClient.y + rcClient.bottom });
    EXPECT_TRUE(CompareImages(coClient, CaptureClient(Handle())).Identical());
    // The caption is drawn: mostly not white.
    EXPECT_LT(coWindow.Count(White, { 0, 0, coWindow.Width(), ptClient.y }), static_cast<size_t>(coWindow.Width() * ptClient.y / 4));
    EXPECT_TRUE(ScreenshotWindow(Handle()));
}

TEST_F(KwGuiPixels, DesktopCaptureShowsTheWindowAndIsTakenOnFailure)
{
    const TTestImage coDesktop = CaptureDesktop();
    ASSERT_EQ(coDesktop.Width(), GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(coDesktop.Height(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(coDesktop.Count(Red, RedAt(m_ptOrigin)), 6000u);
    EXPECT_EQ(coDesktop.Count(Red), 6000u);

    // The listener as GoogleTest calls it on a failure (a real one would
    // fail this test).
    TGuiTestListener coListener(nullptr);
    coListener.OnTestPartResult(::testing::TestPartResult(::testing::TestPartResult::kNonFatalFailure, __FILE__, __LINE__, "probe"));
    const std::string strPath = ScreenshotPath(CurrentTestName(), "failure-1");
    TTestImage coRead;
    std::string strError;
    ASSERT_TRUE(ReadPng(strPath, coRead, strError)) << strError;
    EXPECT_EQ(coRead.Count(Red, RedAt(m_ptOrigin)), 6000u);
    std::filesystem::remove(strPath);
}

} // namespace
} // namespace kwtest
