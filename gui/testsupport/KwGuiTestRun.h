#pragma once

// Running a GUI test program: RunGuiTests is what its main calls (the
// library kwguitest_main has that main; a program with its own start-up,
// such as one that needs the framework's application object, calls it
// after that start-up).

#include <gtest/gtest.h>

#include <string>

namespace kwtest {

class TGuiWatchdog;

// Around each test: the watchdog armed at its start; a screenshot of the
// desktop on every failed assertion (<test>-failure-<n>.png; those of an
// earlier run of the test are removed when it starts); every mouse button
// and modifier key let go at its end.
class TGuiTestListener : public ::testing::EmptyTestEventListener {
public:
    explicit TGuiTestListener(TGuiWatchdog* pcoWatchdog) : m_pcoWatchdog(pcoWatchdog) {} // not owned; may be null

    void OnTestStart(const ::testing::TestInfo& info) override;
    void OnTestPartResult(const ::testing::TestPartResult& result) override;
    void OnTestEnd(const ::testing::TestInfo& info) override;

private:
    TGuiWatchdog* m_pcoWatchdog;
    int m_nFailures { 0 };
};

// Initialises GoogleTest with the arguments, adds the listener, starts the
// watchdog with the limits of the environment and runs every test.
int RunGuiTests(int argc, char** argv);

} // namespace kwtest
