#pragma once

// Real input for GUI tests. Everything goes through SendInput, so that the
// system makes what posted messages never give: capture, enter and leave,
// double clicks, the keyboard state seen by GetKeyState. Each function
// returns when the GUI thread has taken the input and dispatched what it
// caused; false when SendInput refused it or it was not taken in time.
//
// As on Windows, two clicks at one place within the double-click time are
// a double click.

#include "KwGuiTestWin.h"

namespace kwtest {

enum class TMouseButton { Left, Right, Middle };

// Modifier keys as bits, laid out as the high byte of VkKeyScan.
enum TKeyModifier : unsigned { ModNone = 0, ModShift = 1, ModCtrl = 2, ModAlt = 4 };

// Mouse
bool MoveMouse(POINT ptScreen);
bool MoveMouse(HWND hWnd, POINT ptClient);
bool MouseDown(TMouseButton button = TMouseButton::Left);
bool MouseUp(TMouseButton button = TMouseButton::Left);
bool Click(TMouseButton button = TMouseButton::Left); // where the cursor is
bool ClickAt(HWND hWnd, POINT ptClient, TMouseButton button = TMouseButton::Left);
bool DoubleClickAt(HWND hWnd, POINT ptClient, TMouseButton button = TMouseButton::Left);
// A left click that returns as soon as the thread has taken it, without
// waiting for a quiet queue: for what starts work that keeps the queue
// busy (a run that posts its progress), when the test must act during it.
bool ClickAtWithoutIdle(HWND hWnd, POINT ptClient);
// Presses at ptFrom, moves to ptTo in nSteps equal steps, releases there.
bool Drag(HWND hWnd, POINT ptFrom, POINT ptTo, int nSteps = 8, TMouseButton button = TMouseButton::Left);

// Keyboard
bool KeyDown(WORD wVk);
bool KeyUp(WORD wVk);
bool PressKey(WORD wVk, unsigned nModifiers = ModNone);
// The same, returning at once: for keys that a modal loop started by an
// earlier key takes itself (a menu opened with Alt and its letter), which
// a function that waits would hold up.
bool QueueKey(WORD wVk, unsigned nModifiers = ModNone);
// Each character of the UTF-8 text as the key (with Shift) that makes it
// on the keyboard layout; characters without a key as Unicode input.
bool TypeText(const char* pszText);

// Holds modifier keys down while it lives: a Shift click is
// { THeldModifiers coShift(ModShift); ClickAt(hWnd, pt); }.
class THeldModifiers {
public:
    explicit THeldModifiers(unsigned nModifiers);
    ~THeldModifiers();
    THeldModifiers(const THeldModifiers&) = delete;
    THeldModifiers& operator=(const THeldModifiers&) = delete;

private:
    unsigned m_nModifiers;
};

// Lets go of every mouse button and modifier key still down, so that a
// failed test does not leave them pressed for the next one.
void ReleaseAllInput();

// Makes the top-level window of hWnd the active foreground window and
// waits until it is; false when it did not become so.
bool BringToForeground(HWND hWnd);

} // namespace kwtest
