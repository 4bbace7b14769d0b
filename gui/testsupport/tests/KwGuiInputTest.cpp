#include "KwGuiInput.h"
#include "KwGuiPump.h"
#include "KwProbeWindow.h"

#include <gtest/gtest.h>

namespace kwtest {
namespace {

class KwGuiInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_coWindow.Handle());
        ASSERT_TRUE(PumpIdle());
        ASSERT_TRUE(BringToForeground(m_coWindow.Handle()));
        m_coWindow.Clear();
    }
    HWND Handle() const { return m_coWindow.Handle(); }

    TProbeWindow m_coWindow;
};

TEST_F(KwGuiInput, NewWindowHasForegroundFocusAndActivation)
{
    EXPECT_EQ(GetForegroundWindow(), Handle());
    EXPECT_EQ(GetActiveWindow(), Handle());
    EXPECT_EQ(GetFocus(), Handle());
    TProbeWindow coOther("Other", { 600, 100, 900, 300 });
    ASSERT_TRUE(PumpIdle());
    EXPECT_EQ(GetForegroundWindow(), coOther.Handle());
    ASSERT_TRUE(BringToForeground(Handle()));
    EXPECT_EQ(GetFocus(), Handle());
}

TEST_F(KwGuiInput, PressedButtonCapturesTheMouseUntilReleased)
{
    ASSERT_TRUE(MoveMouse(Handle(), { 50, 60 }));
    ASSERT_TRUE(MouseDown());
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONDOWN).pt.x, 50);
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONDOWN).pt.y, 60);
    EXPECT_EQ(GetCapture(), Handle());
    // Far outside the window the moves still come, in client coordinates.
    ASSERT_TRUE(MoveMouse(Handle(), { -40, 500 }));
    EXPECT_EQ(m_coWindow.Last(WM_MOUSEMOVE).pt.x, -40);
    EXPECT_EQ(m_coWindow.Last(WM_MOUSEMOVE).pt.y, 500);
    EXPECT_TRUE(m_coWindow.Last(WM_MOUSEMOVE).wParam & MK_LBUTTON);
    ASSERT_TRUE(MouseUp());
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONUP).pt.y, 500);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(m_coWindow.Count(WM_CAPTURECHANGED), 1u);
}

TEST_F(KwGuiInput, EnterAndLeaveAreReported)
{
    ASSERT_TRUE(MoveMouse({ 1000, 800 }));
    m_coWindow.Clear();
    ASSERT_TRUE(MoveMouse(Handle(), { 100, 100 }));
    EXPECT_EQ(m_coWindow.Count(WM_MOUSEMOVE), 1u);
    ASSERT_TRUE(MoveMouse(Handle(), { 120, 110 }));
    EXPECT_EQ(m_coWindow.Count(WM_MOUSELEAVE), 0u);
    ASSERT_TRUE(MoveMouse({ 1000, 800 }));
    EXPECT_TRUE(PumpUntil([&] { return m_coWindow.Count(WM_MOUSELEAVE) == 1; }, 2000));
}

TEST_F(KwGuiInput, EachButtonClicksAndDoubleClicks)
{
    struct TCase {
        TMouseButton button;
        UINT uDown, uUp, uDouble;
    } cases[] = {
        { TMouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK },
        { TMouseButton::Right, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK },
        { TMouseButton::Middle, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK },
    };
    int nRow = 0;
    for (const TCase& c : cases) {
        // A new place for each button, so that no click pairs with the last.
        const POINT pt { 40 + 60 * nRow++, 80 };
        m_coWindow.Clear();
        ASSERT_TRUE(ClickAt(Handle(), pt, c.button));
        EXPECT_EQ(m_coWindow.Sequence(), (std::vector<UINT> { c.uDown, c.uUp, WM_CAPTURECHANGED }));
        PumpFor(GetDoubleClickTime() + 50);
        m_coWindow.Clear();
        ASSERT_TRUE(DoubleClickAt(Handle(), { pt.x, pt.y + 100 }, c.button));
        EXPECT_EQ(m_coWindow.Sequence(),
            (std::vector<UINT> { c.uDown, c.uUp, WM_CAPTURECHANGED, c.uDouble, c.uUp }));
        EXPECT_EQ(m_coWindow.Last(c.uDouble).pt.y, pt.y + 100);
    }
}

TEST_F(KwGuiInput, DragMovesInStepsWithTheButtonDown)
{
    ASSERT_TRUE(Drag(Handle(), { 20, 20 }, { 120, 70 }, 5));
    size_t nDraggingMoves = 0;
    for (const auto& m : m_coWindow.m_vecMessages)
        nDraggingMoves += m.uMsg == WM_MOUSEMOVE && (m.wParam & MK_LBUTTON);
    EXPECT_EQ(nDraggingMoves, 5u);
    EXPECT_EQ(m_coWindow.Last(WM_MOUSEMOVE).pt.x, 120);
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONUP).pt.x, 120);
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONUP).pt.y, 70);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) < 0, false);
}

TEST_F(KwGuiInput, KeysCarryTheirModifiers)
{
    struct TCase {
        unsigned nModifiers;
        UINT uKeyDown;
        const char* pszChars;
    } cases[] = {
        { ModNone, WM_KEYDOWN, "a" },
        { ModShift, WM_KEYDOWN, "A" },
        { ModCtrl, WM_KEYDOWN, "\x01" },
        { ModAlt, WM_SYSKEYDOWN, "a" },
        { ModCtrl | ModShift, WM_KEYDOWN, "\x01" },
    };
    for (const TCase& c : cases) {
        m_coWindow.Clear();
        ASSERT_TRUE(PressKey('A', c.nModifiers));
        const TProbeWindow::TMessage down = m_coWindow.Last(c.uKeyDown);
        EXPECT_EQ(down.wParam, WPARAM('A')) << "modifiers " << c.nModifiers;
        EXPECT_EQ(down.nModifiers, c.nModifiers);
        EXPECT_EQ(m_coWindow.m_strChars, c.pszChars) << "modifiers " << c.nModifiers;
    }
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_MENU), 0);
}

TEST_F(KwGuiInput, TypedTextArrivesAsItsCharacters)
{
    ASSERT_TRUE(TypeText("Kw 1.5, x=y?\n(A&b)_\"{}\t"));
    EXPECT_EQ(m_coWindow.m_strChars, "Kw 1.5, x=y?\r(A&b)_\"{}\t");
}

// Text beyond ASCII is UTF-8: each character arrives whole (the window of
// a program with the UTF-8 code page gets its bytes).
TEST_F(KwGuiInput, TypedTextBeyondAsciiArrivesAsItsCharacters)
{
    ASSERT_TRUE(TypeText("\xce\xa9mega \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"));
    EXPECT_EQ(m_coWindow.m_strChars, "\xce\xa9mega \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
}

TEST_F(KwGuiInput, HeldModifiersSurviveEnteringTheWindow)
{
    ASSERT_TRUE(MoveMouse({ 1000, 800 }));
    {
        THeldModifiers coHeld(ModShift | ModCtrl);
        ASSERT_TRUE(ClickAt(Handle(), { 30, 30 }));
    }
    EXPECT_EQ(m_coWindow.Last(WM_LBUTTONDOWN).wParam & (MK_SHIFT | MK_CONTROL), WPARAM(MK_SHIFT | MK_CONTROL));
    EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
}

TEST(KwGuiPump, PumpsUntilTheConditionOrTheTimeLimit)
{
    const ULONGLONG ullStart = GetTickCount64();
    EXPECT_FALSE(PumpUntil([] { return false; }, 100));
    EXPECT_GE(GetTickCount64() - ullStart, 100u);

    // A posted message is dispatched; WM_QUIT stays for the loop that waits for it.
    TProbeWindow coWindow;
    PostMessageA(coWindow.Handle(), WM_CHAR, 'q', 0);
    PostQuitMessage(7);
    EXPECT_TRUE(PumpUntil([&] { return coWindow.m_strChars == "q"; }));
    EXPECT_TRUE(PumpIdle());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

} // namespace
} // namespace kwtest
