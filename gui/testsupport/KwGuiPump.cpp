#include "KwGuiPump.h"

#include "KwGuiModal.h"
#include "KwGuiTestWin.h"

#include <algorithm>

namespace kwtest {

namespace {

// WM_QUIT taken out of the queue while a pump runs; posted again at its end
// so that the loop that waits for it still ends.
class TQuitKeeper {
public:
    ~TQuitKeeper()
    {
        if (m_bSeen)
            PostQuitMessage(m_nCode);
    }
    void Keep(int nCode)
    {
        m_bSeen = true;
        m_nCode = nCode;
    }

private:
    bool m_bSeen { false };
    int m_nCode { 0 };
};

// Dispatches what is queued until the queue is empty or the deadline has
// passed (a window that never validates gets WM_PAINT for ever); false when
// nothing but the modal answers' timer ticked.
bool DispatchQueued(TQuitKeeper& coQuit, ULONGLONG ullDeadline)
{
    MSG msg;
    bool bActive = false;
    while (GetTickCount64() < ullDeadline && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            coQuit.Keep(static_cast<int>(msg.wParam));
            continue;
        }
        bActive = bActive || !IsAnswerTick(msg);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return bActive;
}

DWORD Remaining(ULONGLONG ullDeadline)
{
    const ULONGLONG ullNow = GetTickCount64();
    return ullNow >= ullDeadline ? 0 : static_cast<DWORD>(ullDeadline - ullNow);
}

} // namespace

bool PumpUntil(const std::function<bool()>& fnDone, unsigned nTimeoutMs)
{
    const ULONGLONG ullDeadline = GetTickCount64() + nTimeoutMs;
    TQuitKeeper coQuit;
    for (;;) {
        if (fnDone())
            return true;
        DispatchQueued(coQuit, ullDeadline);
        if (fnDone())
            return true;
        const DWORD ulLeft = Remaining(ullDeadline);
        if (ulLeft == 0)
            return false;
        // Conditions may also change on other threads: look again now and then.
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(ulLeft, 10), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

bool PumpIdle(unsigned nQuietMs, unsigned nLimitMs)
{
    const ULONGLONG ullDeadline = GetTickCount64() + nLimitMs;
    TQuitKeeper coQuit;
    ULONGLONG ullQuietSince = GetTickCount64();
    for (;;) {
        if (DispatchQueued(coQuit, ullDeadline))
            ullQuietSince = GetTickCount64();
        const DWORD ulLeft = Remaining(ullDeadline);
        if (ulLeft == 0)
            return false;
        const ULONGLONG ullQuiet = GetTickCount64() - ullQuietSince;
        if (ullQuiet >= nQuietMs)
            return true;
        const DWORD ulWait = static_cast<DWORD>(nQuietMs - ullQuiet);
        if (MsgWaitForMultipleObjectsEx(0, nullptr, std::min(ulWait, ulLeft), QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
            return ulLeft > ulWait;
    }
}

void PumpFor(unsigned nMs)
{
    PumpUntil([] { return false; }, nMs);
}

void FlushDrawing()
{
    // A look into the queue that finds nothing writes the window surfaces
    // out; a private message nobody posts finds nothing.
    static const UINT uNothing = RegisterWindowMessageA("KwTestFlushDrawing");
    MSG msg;
    PeekMessageW(&msg, reinterpret_cast<HWND>(-1), uNothing, uNothing, PM_NOREMOVE);
}

} // namespace kwtest
