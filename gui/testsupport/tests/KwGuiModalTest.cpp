#include "KwGuiModal.h"
#include "KwGuiPump.h"
#include "KwProbeWindow.h"

#include <gtest/gtest.h>

namespace kwtest {
namespace {

TEST(KwGuiModal, MessageBoxIsAnsweredFromInsideItsLoop)
{
    TProbeWindow coOwner;
    TModalAnswer coAnswer = AnswerMessageBox("Question", "&No");
    EXPECT_EQ(MessageBoxA(coOwner.Handle(), "Delete the file?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_EQ(coAnswer.Title(), "Question");
    EXPECT_EQ(coAnswer.Text(), "Delete the file?");
}

// A window with two buttons run in a modal loop of its own, as a framework
// window is: "Ask" opens a message box owned by it, "Close" ends the loop.
class TOuterWindow {
public:
    TOuterWindow()
        : m_coWindow("Outer")
    {
        AddButton("&Ask", AskId, 10);
        AddButton("Close", CloseId, 100);
        m_coWindow.m_fnCommand = [this](WORD wId) {
            if (wId == AskId)
                m_nNestedResult = MessageBoxA(Handle(), "Really?", "Nested", MB_OKCANCEL);
            if (wId == CloseId)
                m_bRunning = false;
        };
    }
    HWND Handle() const { return m_coWindow.Handle(); }
    void RunModal()
    {
        MSG msg;
        while (m_bRunning && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    int m_nNestedResult { 0 };

private:
    static constexpr WORD AskId = 100;
    static constexpr WORD CloseId = 101;

    void AddButton(const char* pszText, WORD wId, int x)
    {
        CreateWindowExA(0, "Button", pszText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 10, 80, 24, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(wId)), nullptr, nullptr);
    }

    TProbeWindow m_coWindow;
    bool m_bRunning { true };
};

TEST(KwGuiModal, AnswerOpensANestedBoxThatIsAnsweredInTurn)
{
    TOuterWindow coOuter;
    // The outer window is disabled while the nested box is up, so the last
    // answer waits until that box is gone.
    TModalAnswer coAsk = AnswerWhen(WindowTitled("Outer"), [](HWND h) { PressDialogButton(h, "Ask"); });
    TModalAnswer coNested = AnswerMessageBox("Nested", "OK");
    TModalAnswer coClose = AnswerWhen(WindowTitled("Outer"), [](HWND h) { PressDialogButton(h, "Close"); });
    coOuter.RunModal();
    EXPECT_TRUE(coAsk.Answered());
    EXPECT_TRUE(coNested.Answered());
    EXPECT_EQ(coNested.Text(), "Really?");
    EXPECT_TRUE(coClose.Answered());
    EXPECT_EQ(coOuter.m_nNestedResult, IDOK);
}

TEST(KwGuiModal, WindowsAndButtonsAreFoundByTextAndClass)
{
    TOuterWindow coOuter;
    EXPECT_EQ(FindTopWindow("Outer"), coOuter.Handle());
    EXPECT_EQ(FindTopWindow("Outer", "KwProbeWindow"), coOuter.Handle());
    EXPECT_EQ(FindTopWindow(nullptr, "KwProbeWindow"), coOuter.Handle());
    EXPECT_EQ(FindTopWindow("Outer", "Button"), nullptr);
    EXPECT_EQ(FindTopWindow("Missing"), nullptr);
    const HWND hAsk = FindChild(coOuter.Handle(), "Ask");
    ASSERT_NE(hAsk, nullptr);
    EXPECT_EQ(FindChild(coOuter.Handle(), "&Ask", "Button"), hAsk);
    EXPECT_EQ(FindChild(coOuter.Handle(), "Ask", "Static"), nullptr);
    EXPECT_FALSE(PressDialogButton(coOuter.Handle(), "Missing"));
    EnableWindow(hAsk, FALSE);
    EXPECT_FALSE(PressDialogButton(coOuter.Handle(), "Ask"));
    EXPECT_EQ(coOuter.m_nNestedResult, 0);
}

TEST(KwGuiModal, DestroyedAnswerNoLongerActs)
{
    bool bActed = false;
    {
        TModalAnswer coAnswer = AnswerWhen(WindowTitled("Late"), [&](HWND) { bActed = true; });
    }
    TModalAnswer coOther = AnswerWhen(WindowTitled("Other"), [](HWND) {});
    TProbeWindow coLate("Late");
    PumpFor(200);
    EXPECT_FALSE(bActed);
    EXPECT_FALSE(coOther.Answered());
}

// The answers' timer ticks while an answer waits; a pump that waits for a
// quiet queue does not take those ticks for activity, but still for others'.
// Were the ticks activity, the first pump would reach its limit and say so;
// how soon it finds quiet depends on the machine's load, so that is not timed.
TEST(KwGuiModal, PendingAnswerLeavesTheQueueQuiet)
{
    TModalAnswer coAnswer = AnswerWhen(WindowTitled("Never shown"), [](HWND) {});
    EXPECT_TRUE(PumpIdle(50, 5000));

    const UINT_PTR uBusy = SetTimer(nullptr, 0, 10, nullptr);
    const ULONGLONG ullStart = GetTickCount64();
    EXPECT_FALSE(PumpIdle(50, 300));
    EXPECT_GE(GetTickCount64() - ullStart, 300u);
    KillTimer(nullptr, uBusy);
}

} // namespace
} // namespace kwtest
