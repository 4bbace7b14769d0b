#pragma once

// Answering windows that appear inside a modal loop of the GUI thread (a
// message box, a dialog, a framework window run modally), and finding
// windows and their parts.
//
// An answer is looked for by a thread timer: every message loop of the
// thread dispatches its ticks, modal ones included, so the answer runs
// inside the loop that waits for it. On each tick the visible, enabled
// top-level windows of the thread are matched against the pending answers;
// the first answer that matches a window runs its action on it once, and
// nothing else runs in that tick.

#include "KwGuiTestWin.h"

#include <functional>
#include <memory>
#include <string>

namespace kwtest {

using TWindowMatch = std::function<bool(HWND)>;
using TWindowAction = std::function<void(HWND)>;

class TModalAnswer {
public:
    // Watches from now on until it has answered or is destroyed.
    TModalAnswer(TWindowMatch fnMatch, TWindowAction fnAction);
    ~TModalAnswer();
    TModalAnswer(TModalAnswer&&) noexcept;
    TModalAnswer& operator=(TModalAnswer&&) noexcept;

    bool Answered() const;
    // The window's title and its texts (DialogText) as they were just
    // before the action ran; empty until it has answered.
    const std::string& Title() const;
    const std::string& Text() const;

    struct TState;

private:
    std::shared_ptr<TState> m_pcoState;
};

[[nodiscard]] TModalAnswer AnswerWhen(TWindowMatch fnMatch, TWindowAction fnAction);
// A system message box or dialog (class "#32770") with this title: its
// button with this text is pressed.
[[nodiscard]] TModalAnswer AnswerMessageBox(const char* pszTitle, const char* pszButton);

// True for a tick of the answers' own timer. It ticks as long as an answer
// is pending, faster than any quiet spell a pump waits for, so PumpIdle does
// not count it as activity.
bool IsAnswerTick(const MSG& msg);

// Matches for AnswerWhen: a window with this title and class (nullptr: any).
TWindowMatch WindowTitled(const char* pszTitle, const char* pszClass = nullptr);

// A visible top-level window of this process with this title and class
// (nullptr: any); nullptr when there is none.
HWND FindTopWindow(const char* pszTitle, const char* pszClass = nullptr);
// A descendant of hParent whose text, without its '&' marks, is pszText,
// of the class when one is given; nullptr when there is none.
HWND FindChild(HWND hParent, const char* pszText, const char* pszClass = nullptr);
// Clicks the button (BM_CLICK) of hDialog that FindChild finds by its text;
// false when there is no such enabled button.
bool PressDialogButton(HWND hDialog, const char* pszText);

std::string WindowText(HWND hWnd);
std::string ClassOf(HWND hWnd);
// The texts of hWnd's static children, one a line: what a message box says.
std::string DialogText(HWND hWnd);

} // namespace kwtest
