#include "KwGuiWatchdog.h"

#include "KwGuiPixels.h"
#include "KwGuiTestWin.h"
#include "KwScreenshot.h"

#include <cstdio>
#include <cstdlib>

namespace kwtest {

namespace {

unsigned SecondsFromEnvironment(const char* pszName, unsigned nDefault)
{
    const char* pszValue = std::getenv(pszName);
    if (!pszValue || !*pszValue)
        return nDefault;
    char* pszEnd = nullptr;
    const unsigned long ulValue = std::strtoul(pszValue, &pszEnd, 10);
    if (*pszEnd || ulValue > 86400) {
        std::fprintf(stderr, "watchdog: %s=%s is not a number of seconds; %u taken\n", pszName, pszValue, nDefault);
        return nDefault;
    }
    return static_cast<unsigned>(ulValue);
}

// The title is read without a message to the window, whose thread may be
// the one that hangs.
BOOL CALLBACK PrintOwnWindow(HWND hWnd, LPARAM)
{
    DWORD ulProcess = 0;
    GetWindowThreadProcessId(hWnd, &ulProcess);
    if (ulProcess != GetCurrentProcessId() || !IsWindowVisible(hWnd))
        return TRUE;
    wchar_t wszTitle[256] {};
    InternalGetWindowText(hWnd, wszTitle, 256);
    char szTitle[512] {};
    WideCharToMultiByte(CP_UTF8, 0, wszTitle, -1, szTitle, sizeof(szTitle), nullptr, nullptr);
    char szClass[256] {};
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    std::printf("watchdog: open window \"%s\" (%s)%s\n", szTitle, szClass, IsWindowEnabled(hWnd) ? "" : ", disabled");
    return TRUE;
}

} // namespace

TGuiWatchdog::TGuiWatchdog(unsigned nTestSeconds, unsigned nProgramSeconds)
    : m_nTestSeconds(nTestSeconds)
    , m_nProgramSeconds(nProgramSeconds)
    , m_tpProgramEnd(TClock::now() + std::chrono::seconds(nProgramSeconds))
    , m_thread(&TGuiWatchdog::Watch, this)
{
}

TGuiWatchdog::~TGuiWatchdog()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvChanged.notify_one();
    m_thread.join();
}

unsigned TGuiWatchdog::TestSecondsFromEnvironment()
{
    return SecondsFromEnvironment("KW_GUI_WATCHDOG", 60);
}

unsigned TGuiWatchdog::ProgramSecondsFromEnvironment()
{
    return SecondsFromEnvironment("KW_GUI_DEADLINE", 0);
}

void TGuiWatchdog::TestStarted(const std::string& strTest)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_strTest = strTest;
        m_tpTestEnd = TClock::now() + std::chrono::seconds(m_nTestSeconds);
        m_bTestRunning = true;
    }
    m_cvChanged.notify_one();
}

void TGuiWatchdog::TestEnded()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bTestRunning = false;
    }
    m_cvChanged.notify_one();
}

void TGuiWatchdog::Watch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bStop) {
        const TClock::time_point tpNow = TClock::now();
        if (m_nProgramSeconds && tpNow >= m_tpProgramEnd)
            Fire("the program did not end within " + std::to_string(m_nProgramSeconds) + " s", m_strTest);
        if (m_nTestSeconds && m_bTestRunning && tpNow >= m_tpTestEnd)
            Fire("test " + m_strTest + " did not end within " + std::to_string(m_nTestSeconds) + " s", m_strTest);
        TClock::time_point tpWake = tpNow + std::chrono::hours(24);
        if (m_nProgramSeconds)
            tpWake = m_tpProgramEnd;
        if (m_nTestSeconds && m_bTestRunning && m_tpTestEnd < tpWake)
            tpWake = m_tpTestEnd;
        m_cvChanged.wait_until(lock, tpWake);
    }
}

void TGuiWatchdog::Fire(const std::string& strWhy, const std::string& strTest)
{
    std::printf("\nwatchdog: %s; ending the program\n", strWhy.c_str());
    EnumWindows(PrintOwnWindow, 0);
    std::fflush(stdout);
    SaveScreenshotOf(strTest.empty() ? CurrentTestName() : strTest, CaptureDesktop(), "watchdog");
    std::fflush(stdout);
    std::fflush(stderr);
    // Not ExitProcess: it would run the hung thread's cleanup and the
    // libraries' detach code, which may wait for that thread.
    TerminateProcess(GetCurrentProcess(), ExitCode);
    std::abort();
}

} // namespace kwtest
