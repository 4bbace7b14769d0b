#pragma once

// A plain Win32 window for the tests of the harness itself: it records the
// mouse and keyboard messages it gets, takes the capture while a button is
// down, asks for leave notices, and paints white plus what the test draws.
// It is a Unicode window, as the framework's are: a typed character arrives
// whole whatever the code pages.

#include "KwGuiTestWin.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kwtest {

class TProbeWindow {
public:
    struct TMessage {
        UINT uMsg;
        WPARAM wParam;
        POINT pt;          // client coordinates of mouse messages
        unsigned nModifiers; // TKeyModifier bits held, from GetKeyState
    };

    explicit TProbeWindow(const char* pszTitle = "Probe", RECT rcAt = { 100, 100, 500, 400 })
    {
        static const ATOM atom = Register();
        m_hWnd = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), Wide(pszTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, rcAt.left, rcAt.top,
            rcAt.right - rcAt.left, rcAt.bottom - rcAt.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    ~TProbeWindow()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    TProbeWindow(const TProbeWindow&) = delete;
    TProbeWindow& operator=(const TProbeWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    size_t Count(UINT uMsg) const
    {
        return static_cast<size_t>(std::count_if(m_vecMessages.begin(), m_vecMessages.end(), [uMsg](const TMessage& m) { return m.uMsg == uMsg; }));
    }
    // The last message of the kind; uMsg 0 when there was none.
    TMessage Last(UINT uMsg) const
    {
        for (auto it = m_vecMessages.rbegin(); it != m_vecMessages.rend(); ++it)
            if (it->uMsg == uMsg)
                return *it;
        return TMessage {};
    }
    // The recorded message kinds in order, mouse moves left out.
    std::vector<UINT> Sequence() const
    {
        std::vector<UINT> vec;
        for (const TMessage& m : m_vecMessages)
            if (m.uMsg != WM_MOUSEMOVE)
                vec.push_back(m.uMsg);
        return vec;
    }
    void Clear()
    {
        m_vecMessages.clear();
        m_strChars.clear();
    }

    std::vector<TMessage> m_vecMessages;
    std::string m_strChars;                 // WM_CHAR and WM_SYSCHAR, in order, as UTF-8
    std::function<void(HDC)> m_fnPaint;    // drawn after the white background
    std::function<void(WORD)> m_fnCommand; // WM_COMMAND of a child, with its id

private:
    static ATOM Register()
    {
        WNDCLASSW wc {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"KwProbeWindow";
        return RegisterClassW(&wc);
    }

    static std::wstring Wide(const char* pszText)
    {
        std::wstring strWide;
        for (const char* p = pszText; *p; ++p)
            strWide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
        return strWide;
    }

    // A UTF-16 unit of a character: the character as UTF-8 once it is whole.
    void AddUnit(wchar_t wc)
    {
        if (wc >= 0xD800 && wc < 0xDC00) {
            m_wcPending = wc;
            return;
        }
        const wchar_t awc[2] = { m_wcPending, wc };
        const bool bPair = m_wcPending && wc >= 0xDC00 && wc < 0xE000;
        m_wcPending = 0;
        char szBytes[8] {};
        const int nBytes = WideCharToMultiByte(CP_UTF8, 0, bPair ? awc : awc + 1, bPair ? 2 : 1, szBytes, sizeof szBytes,
                                               nullptr, nullptr);
        m_strChars.append(szBytes, static_cast<size_t>(nBytes > 0 ? nBytes : 0));
    }

    static bool IsRecorded(UINT uMsg)
    {
        return (uMsg >= WM_MOUSEFIRST && uMsg <= WM_MBUTTONDBLCLK) || (uMsg >= WM_KEYFIRST && uMsg <= WM_SYSDEADCHAR)
            || uMsg == WM_MOUSELEAVE || uMsg == WM_CAPTURECHANGED;
    }

    static unsigned HeldModifiers()
    {
        return (GetKeyState(VK_SHIFT) < 0 ? 1u : 0u) | (GetKeyState(VK_CONTROL) < 0 ? 2u : 0u) | (GetKeyState(VK_MENU) < 0 ? 4u : 0u);
    }

    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == WM_NCCREATE)
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* pco = reinterpret_cast<TProbeWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (!pco)
            return DefWindowProcW(hWnd, uMsg, wParam, lParam);
        if (IsRecorded(uMsg)) {
            const POINT pt { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
            pco->m_vecMessages.push_back({ uMsg, wParam, pt, HeldModifiers() });
        }
        switch (uMsg) {
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            SetCapture(hWnd);
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_MOUSEMOVE:
            if (!pco->m_bTracking) {
                TRACKMOUSEEVENT track { sizeof(track), TME_LEAVE, hWnd, 0 };
                pco->m_bTracking = TrackMouseEvent(&track) != FALSE;
            }
            return 0;
        case WM_MOUSELEAVE:
            pco->m_bTracking = false;
            return 0;
        case WM_CHAR: case WM_SYSCHAR:
            pco->AddUnit(static_cast<wchar_t>(wParam));
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC hdc = BeginPaint(hWnd, &ps);
            if (pco->m_fnPaint)
                pco->m_fnPaint(hdc);
            EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_COMMAND:
            if (pco->m_fnCommand)
                pco->m_fnCommand(LOWORD(wParam));
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
            break;
        }
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }

    HWND m_hWnd { nullptr };
    bool m_bTracking { false };
    wchar_t m_wcPending { 0 };           // the first half of a surrogate pair
};

} // namespace kwtest
