#pragma once

// Ends a GUI test program that hangs (an unanswered modal loop, a loop
// that waits for a message that never comes) before the test command's
// own time limit does: a thread of its own waits for the running test's
// deadline and the program's, and when one passes it prints which test
// hung and the program's open windows, writes a screenshot of the desktop
// (<test>-watchdog.png) and ends the process with ExitCode.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace kwtest {

class TGuiWatchdog {
public:
    static constexpr int ExitCode = 124;

    // 0 seconds: no limit of that kind.
    TGuiWatchdog(unsigned nTestSeconds, unsigned nProgramSeconds);
    ~TGuiWatchdog();
    TGuiWatchdog(const TGuiWatchdog&) = delete;
    TGuiWatchdog& operator=(const TGuiWatchdog&) = delete;

    // Limits from KW_GUI_WATCHDOG (seconds a test may take, 60 when unset)
    // and KW_GUI_DEADLINE (seconds the program may take, none when unset).
    static unsigned TestSecondsFromEnvironment();
    static unsigned ProgramSecondsFromEnvironment();

    void TestStarted(const std::string& strTest);
    void TestEnded();

private:
    using TClock = std::chrono::steady_clock;

    void Watch();
    [[noreturn]] void Fire(const std::string& strWhy, const std::string& strTest);

    const unsigned m_nTestSeconds;
    const unsigned m_nProgramSeconds;
    const TClock::time_point m_tpProgramEnd;
    std::mutex m_mutex;
    std::condition_variable m_cvChanged;
    std::string m_strTest;                 // guarded by m_mutex
    TClock::time_point m_tpTestEnd;        // guarded by m_mutex
    bool m_bTestRunning { false };         // guarded by m_mutex
    bool m_bStop { false };                // guarded by m_mutex
    std::thread m_thread;
};

} // namespace kwtest
