#include "KwGuiInput.h"

#include "KwGuiPump.h"

#include <string>
#include <vector>

namespace kwtest {

namespace {

// Input that the thread has not taken within this time is lost.
constexpr unsigned TakeTimeoutMs = 2000;
// What the input causes (posted messages, paints) comes within this quiet time.
constexpr unsigned AfterInputQuietMs = 20;

struct TButtonFlags {
    DWORD ulDown;
    DWORD ulUp;
    int nVk;
};

TButtonFlags FlagsOf(TMouseButton button)
{
    switch (button) {
    case TMouseButton::Right:
        return { MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, VK_RBUTTON };
    case TMouseButton::Middle:
        return { MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, VK_MBUTTON };
    case TMouseButton::Left:
        break;
    }
    return { MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, VK_LBUTTON };
}

bool IsExtendedKey(WORD wVk)
{
    switch (wVk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
    case VK_DIVIDE: case VK_NUMLOCK: case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD wVk, bool bUp)
{
    INPUT in {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = wVk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(wVk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (bUp ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(wVk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

// Modifier keys the harness holds down (THeldModifiers, KeyDown). Wine takes
// its key state from the X server's whenever the pointer enters a window,
// and the X server knows nothing of keys sent by SendInput: a held key that
// is found up is pressed again before the next input.
unsigned g_nHeld = 0;

unsigned ModifierOf(WORD wVk)
{
    switch (wVk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
        return ModShift;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
        return ModCtrl;
    case VK_MENU: case VK_LMENU: case VK_RMENU:
        return ModAlt;
    default:
        return ModNone;
    }
}

const WORD ModifierKeys[] = { VK_SHIFT, VK_CONTROL, VK_MENU };

void PressLostModifiers(std::vector<INPUT>& vecInput)
{
    for (int n = 0; n < 3; ++n)
        if ((g_nHeld & (1u << n)) && GetAsyncKeyState(ModifierKeys[n]) >= 0)
            vecInput.insert(vecInput.begin(), KeyInput(ModifierKeys[n], false));
}

bool CursorAt(POINT pt)
{
    POINT ptNow;
    return GetCursorPos(&ptNow) && ptNow.x == pt.x && ptNow.y == pt.y;
}

// Sends the inputs and waits until the thread's queue holds no input any
// more (and the cursor has arrived, for a move), then, unless told not to,
// for what followed.
bool SendAndWait(std::vector<INPUT>& vecInput, const POINT* pptCursor = nullptr, bool bThenIdle = true)
{
    PressLostModifiers(vecInput);
    const UINT uCount = static_cast<UINT>(vecInput.size());
    if (SendInput(uCount, vecInput.data(), sizeof(INPUT)) != uCount)
        return false;
    const bool bTaken = PumpUntil([&] {
        return HIWORD(GetQueueStatus(QS_INPUT)) == 0 && (!pptCursor || CursorAt(*pptCursor));
    }, TakeTimeoutMs);
    if (bThenIdle)
        PumpIdle(AfterInputQuietMs);
    return bTaken;
}

INPUT MouseInput(DWORD ulFlags)
{
    INPUT in {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = ulFlags;
    return in;
}

// Absolute coordinates run from 0 to 65535 over the screen; aiming at the
// middle of the pixel lands on it whichever way the system rounds.
LONG Normalised(LONG nPixel, int nScreen)
{
    return static_cast<LONG>((static_cast<LONGLONG>(nPixel) * 65536 + 32768) / nScreen);
}

// The modifiers' key presses (or releases, in reverse order) into vecInput.
void AddModifiers(std::vector<INPUT>& vecInput, unsigned nModifiers, bool bUp)
{
    for (int i = 0; i < 3; ++i) {
        const int n = bUp ? 2 - i : i;
        if (nModifiers & (1u << n))
            vecInput.push_back(KeyInput(ModifierKeys[n], bUp));
    }
}

std::vector<INPUT> KeyStroke(WORD wVk, unsigned nModifiers)
{
    nModifiers &= ~g_nHeld; // a held key stays down
    std::vector<INPUT> vecInput;
    AddModifiers(vecInput, nModifiers, false);
    vecInput.push_back(KeyInput(wVk, false));
    vecInput.push_back(KeyInput(wVk, true));
    AddModifiers(vecInput, nModifiers, true);
    return vecInput;
}

bool SendKeys(WORD wVk, unsigned nModifiers)
{
    std::vector<INPUT> vecInput = KeyStroke(wVk, nModifiers);
    return SendAndWait(vecInput);
}

bool SendUnicode(wchar_t wc)
{
    std::vector<INPUT> vecInput(2);
    for (int i = 0; i < 2; ++i) {
        vecInput[i].type = INPUT_KEYBOARD;
        vecInput[i].ki.wScan = wc;
        vecInput[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    return SendAndWait(vecInput);
}

} // namespace

// Mouse

bool MoveMouse(POINT ptScreen)
{
    std::vector<INPUT> vecInput { MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE) };
    vecInput[0].mi.dx = Normalised(ptScreen.x, GetSystemMetrics(SM_CXSCREEN));
    vecInput[0].mi.dy = Normalised(ptScreen.y, GetSystemMetrics(SM_CYSCREEN));
    return SendAndWait(vecInput, &ptScreen);
}

bool MoveMouse(HWND hWnd, POINT ptClient)
{
    return ClientToScreen(hWnd, &ptClient) && MoveMouse(ptClient);
}

bool MouseDown(TMouseButton button)
{
    std::vector<INPUT> vecInput { MouseInput(FlagsOf(button).ulDown) };
    return SendAndWait(vecInput);
}

bool MouseUp(TMouseButton button)
{
    std::vector<INPUT> vecInput { MouseInput(FlagsOf(button).ulUp) };
    return SendAndWait(vecInput);
}

bool Click(TMouseButton button)
{
    std::vector<INPUT> vecInput { MouseInput(FlagsOf(button).ulDown), MouseInput(FlagsOf(button).ulUp) };
    return SendAndWait(vecInput);
}

bool ClickAt(HWND hWnd, POINT ptClient, TMouseButton button)
{
    return MoveMouse(hWnd, ptClient) && Click(button);
}

bool ClickAtWithoutIdle(HWND hWnd, POINT ptClient)
{
    std::vector<INPUT> vecInput { MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP) };
    return MoveMouse(hWnd, ptClient) && SendAndWait(vecInput, nullptr, false);
}

bool DoubleClickAt(HWND hWnd, POINT ptClient, TMouseButton button)
{
    return MoveMouse(hWnd, ptClient) && Click(button) && Click(button);
}

bool Drag(HWND hWnd, POINT ptFrom, POINT ptTo, int nSteps, TMouseButton button)
{
    if (!MoveMouse(hWnd, ptFrom) || !MouseDown(button))
        return false;
    bool bMoved = true;
    for (int i = 1; i <= nSteps && bMoved; ++i) {
        const POINT pt { ptFrom.x + (ptTo.x - ptFrom.x) * i / nSteps, ptFrom.y + (ptTo.y - ptFrom.y) * i / nSteps };
        bMoved = MoveMouse(hWnd, pt);
    }
    // Released even when a step failed, so that no button stays down.
    return MouseUp(button) && bMoved;
}

// Keyboard

bool KeyDown(WORD wVk)
{
    std::vector<INPUT> vecInput { KeyInput(wVk, false) };
    g_nHeld |= ModifierOf(wVk);
    return SendAndWait(vecInput);
}

bool KeyUp(WORD wVk)
{
    std::vector<INPUT> vecInput { KeyInput(wVk, true) };
    g_nHeld &= ~ModifierOf(wVk);
    return SendAndWait(vecInput);
}

bool PressKey(WORD wVk, unsigned nModifiers)
{
    return SendKeys(wVk, nModifiers);
}

bool QueueKey(WORD wVk, unsigned nModifiers)
{
    std::vector<INPUT> vecInput = KeyStroke(wVk, nModifiers);
    PressLostModifiers(vecInput);
    const UINT uCount = static_cast<UINT>(vecInput.size());
    return SendInput(uCount, vecInput.data(), sizeof(INPUT)) == uCount;
}

bool TypeText(const char* pszText)
{
    // The text is UTF-8; a character beyond ASCII goes as its UTF-16 units.
    const int nUnits = MultiByteToWideChar(CP_UTF8, 0, pszText, -1, nullptr, 0);
    std::wstring strUnits(nUnits > 0 ? static_cast<size_t>(nUnits) : 1u, L'\0');
    if (nUnits <= 0 || !MultiByteToWideChar(CP_UTF8, 0, pszText, -1, &strUnits[0], nUnits))
        return false;
    for (const wchar_t wc : strUnits) {
        if (!wc)
            break;
        if (wc == L'\n' || wc == L'\t') {
            if (!SendKeys(wc == L'\n' ? VK_RETURN : VK_TAB, ModNone))
                return false;
            continue;
        }
        const SHORT nKey = wc < 0x80 ? VkKeyScanA(static_cast<CHAR>(wc)) : -1;
        const bool bSent = nKey == -1 ? SendUnicode(wc)
                                      : SendKeys(LOBYTE(nKey), HIBYTE(nKey) & (ModShift | ModCtrl | ModAlt));
        if (!bSent)
            return false;
    }
    return true;
}

THeldModifiers::THeldModifiers(unsigned nModifiers)
    : m_nModifiers(nModifiers & ~g_nHeld) // those held already stay with their holder
{
    g_nHeld |= m_nModifiers;
    std::vector<INPUT> vecInput;
    AddModifiers(vecInput, m_nModifiers, false);
    if (!vecInput.empty())
        SendAndWait(vecInput);
}

THeldModifiers::~THeldModifiers()
{
    g_nHeld &= ~m_nModifiers;
    std::vector<INPUT> vecInput;
    AddModifiers(vecInput, m_nModifiers, true);
    if (!vecInput.empty())
        SendAndWait(vecInput);
}

void ReleaseAllInput()
{
    g_nHeld = ModNone;
    std::vector<INPUT> vecInput;
    for (TMouseButton button : { TMouseButton::Left, TMouseButton::Right, TMouseButton::Middle })
        if (GetAsyncKeyState(FlagsOf(button).nVk) < 0)
            vecInput.push_back(MouseInput(FlagsOf(button).ulUp));
    for (WORD wVk : ModifierKeys)
        if (GetAsyncKeyState(wVk) < 0)
            vecInput.push_back(KeyInput(wVk, true));
    if (!vecInput.empty())
        SendAndWait(vecInput);
}

bool BringToForeground(HWND hWnd)
{
    const HWND hTop = GetAncestor(hWnd, GA_ROOT);
    if (!hTop)
        return false;
    SetForegroundWindow(hTop);
    return PumpUntil([hTop] { return GetForegroundWindow() == hTop && GetActiveWindow() == hTop; }, TakeTimeoutMs);
}

} // namespace kwtest
