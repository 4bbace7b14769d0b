#include "KwGuiModal.h"

#include <algorithm>
#include <vector>

namespace kwtest {

struct TModalAnswer::TState {
    TWindowMatch fnMatch;
    TWindowAction fnAction;
    bool bAnswered { false };
    std::string strTitle;
    std::string strText;
};

namespace {

constexpr UINT AnswerTickMs = 20;

// The pending answers of the GUI thread and the timer that serves them;
// only the GUI thread touches them.
std::vector<std::shared_ptr<TModalAnswer::TState>> g_vecPending;
UINT_PTR g_uTimer = 0;

BOOL CALLBACK AddShownWindow(HWND hWnd, LPARAM lParam)
{
    if (IsWindowVisible(hWnd) && IsWindowEnabled(hWnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> ThreadTopWindows()
{
    std::vector<HWND> vecWindows;
    EnumThreadWindows(GetCurrentThreadId(), AddShownWindow, reinterpret_cast<LPARAM>(&vecWindows));
    return vecWindows;
}

void StopWatching(const std::shared_ptr<TModalAnswer::TState>& pcoState)
{
    g_vecPending.erase(std::remove(g_vecPending.begin(), g_vecPending.end(), pcoState), g_vecPending.end());
    if (g_vecPending.empty() && g_uTimer) {
        KillTimer(nullptr, g_uTimer);
        g_uTimer = 0;
    }
}

void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD)
{
    // The action may run a modal loop of its own, in which this timer ticks
    // again: work on a copy and take the answer off the list before it acts.
    const auto vecPending = g_vecPending;
    for (HWND hWnd : ThreadTopWindows()) {
        for (const auto& pcoState : vecPending) {
            if (pcoState->bAnswered || !pcoState->fnMatch(hWnd))
                continue;
            pcoState->bAnswered = true;
            pcoState->strTitle = WindowText(hWnd);
            pcoState->strText = DialogText(hWnd);
            StopWatching(pcoState);
            pcoState->fnAction(hWnd);
            return;
        }
    }
}

struct TWindowSearch {
    TWindowMatch fnMatch;
    HWND hFound;
};

BOOL CALLBACK FindAnyWindow(HWND hWnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<TWindowSearch*>(lParam);
    if (!search.fnMatch(hWnd))
        return TRUE;
    search.hFound = hWnd;
    return FALSE;
}

BOOL CALLBACK FindOwnTopWindow(HWND hWnd, LPARAM lParam)
{
    DWORD ulProcess = 0;
    GetWindowThreadProcessId(hWnd, &ulProcess);
    return ulProcess == GetCurrentProcessId() && IsWindowVisible(hWnd) ? FindAnyWindow(hWnd, lParam) : TRUE;
}

BOOL CALLBACK AddStaticText(HWND hChild, LPARAM lParam)
{
    const std::string strChild = WindowText(hChild);
    auto& str = *reinterpret_cast<std::string*>(lParam);
    if (ClassOf(hChild) == "Static" && !strChild.empty())
        str += (str.empty() ? "" : "\n") + strChild;
    return TRUE;
}

std::string WithoutMarks(std::string str)
{
    str.erase(std::remove(str.begin(), str.end(), '&'), str.end());
    return str;
}

} // namespace

TModalAnswer::TModalAnswer(TWindowMatch fnMatch, TWindowAction fnAction)
    : m_pcoState(std::make_shared<TState>())
{
    m_pcoState->fnMatch = std::move(fnMatch);
    m_pcoState->fnAction = std::move(fnAction);
    g_vecPending.push_back(m_pcoState);
    if (!g_uTimer)
        g_uTimer = SetTimer(nullptr, 0, AnswerTickMs, AnswerTick);
}

TModalAnswer::~TModalAnswer()
{
    if (m_pcoState)
        StopWatching(m_pcoState);
}

TModalAnswer::TModalAnswer(TModalAnswer&&) noexcept = default;

TModalAnswer& TModalAnswer::operator=(TModalAnswer&& coOther) noexcept
{
    if (this != &coOther) {
        if (m_pcoState)
            StopWatching(m_pcoState);
        m_pcoState = std::move(coOther.m_pcoState);
    }
    return *this;
}

bool TModalAnswer::Answered() const
{
    return m_pcoState && m_pcoState->bAnswered;
}

const std::string& TModalAnswer::Title() const
{
    static const std::string strNone;
    return m_pcoState ? m_pcoState->strTitle : strNone;
}

const std::string& TModalAnswer::Text() const
{
    static const std::string strNone;
    return m_pcoState ? m_pcoState->strText : strNone;
}

TModalAnswer AnswerWhen(TWindowMatch fnMatch, TWindowAction fnAction)
{
    return TModalAnswer(std::move(fnMatch), std::move(fnAction));
}

TModalAnswer AnswerMessageBox(const char* pszTitle, const char* pszButton)
{
    const std::string strButton = pszButton;
    return AnswerWhen(WindowTitled(pszTitle, "#32770"), [strButton](HWND hWnd) { PressDialogButton(hWnd, strButton.c_str()); });
}

bool IsAnswerTick(const MSG& msg)
{
    return msg.message == WM_TIMER && !msg.hwnd && g_uTimer && msg.wParam == g_uTimer;
}

TWindowMatch WindowTitled(const char* pszTitle, const char* pszClass)
{
    const bool bAnyTitle = !pszTitle;
    const std::string strTitle = pszTitle ? pszTitle : "";
    const std::string strClass = pszClass ? pszClass : "";
    return [bAnyTitle, strTitle, strClass](HWND hWnd) {
        return (bAnyTitle || WindowText(hWnd) == strTitle) && (strClass.empty() || ClassOf(hWnd) == strClass);
    };
}

HWND FindTopWindow(const char* pszTitle, const char* pszClass)
{
    TWindowSearch search { WindowTitled(pszTitle, pszClass), nullptr };
    EnumWindows(FindOwnTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

HWND FindChild(HWND hParent, const char* pszText, const char* pszClass)
{
    const std::string strText = WithoutMarks(pszText);
    const std::string strClass = pszClass ? pszClass : "";
    TWindowSearch search { [&](HWND hWnd) {
        return WithoutMarks(WindowText(hWnd)) == strText && (strClass.empty() || ClassOf(hWnd) == strClass);
    }, nullptr };
    EnumChildWindows(hParent, FindAnyWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

bool PressDialogButton(HWND hDialog, const char* pszText)
{
    const HWND hButton = FindChild(hDialog, pszText, "Button");
    if (!hButton || !IsWindowEnabled(hButton))
        return false;
    SendMessageA(hButton, BM_CLICK, 0, 0);
    return true;
}

std::string WindowText(HWND hWnd)
{
    const int nLength = GetWindowTextLengthA(hWnd);
    std::string str(static_cast<size_t>(std::max(nLength, 0)) + 1, '\0');
    str.resize(static_cast<size_t>(std::max(GetWindowTextA(hWnd, &str[0], static_cast<int>(str.size())), 0)));
    return str;
}

std::string ClassOf(HWND hWnd)
{
    char szClass[256];
    const int nLength = GetClassNameA(hWnd, szClass, sizeof(szClass));
    return std::string(szClass, static_cast<size_t>(std::max(nLength, 0)));
}

std::string DialogText(HWND hWnd)
{
    std::string strText;
    EnumChildWindows(hWnd, AddStaticText, reinterpret_cast<LPARAM>(&strText));
    return strText;
}

} // namespace kwtest
