#include "KwGuiTestRun.h"

#include "KwGuiInput.h"
#include "KwGuiPixels.h"
#include "KwGuiWatchdog.h"
#include "KwScreenshot.h"

#include <filesystem>

namespace kwtest {

namespace {

// Failure screenshots of an earlier run of the test, which would mislead.
void RemoveOldFailureShots(const std::string& strTest)
{
    namespace fs = std::filesystem;
    const std::string strPrefix = strTest + "-failure-";
    std::error_code ec;
    for (fs::directory_iterator it(ScreenshotDir(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        if (strName.compare(0, strPrefix.size(), strPrefix) == 0) {
            std::error_code ecRemove;
            fs::remove(it->path(), ecRemove);
        }
    }
}

} // namespace

void TGuiTestListener::OnTestStart(const ::testing::TestInfo&)
{
    const std::string strTest = CurrentTestName();
    m_nFailures = 0;
    RemoveOldFailureShots(strTest);
    if (m_pcoWatchdog)
        m_pcoWatchdog->TestStarted(strTest);
}

void TGuiTestListener::OnTestPartResult(const ::testing::TestPartResult& result)
{
    if (!result.failed())
        return;
    const std::string strSuffix = "failure-" + std::to_string(++m_nFailures);
    SaveScreenshot(CaptureDesktop(), strSuffix.c_str());
}

void TGuiTestListener::OnTestEnd(const ::testing::TestInfo&)
{
    ReleaseAllInput();
    if (m_pcoWatchdog)
        m_pcoWatchdog->TestEnded();
}

int RunGuiTests(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TGuiWatchdog coWatchdog(TGuiWatchdog::TestSecondsFromEnvironment(), TGuiWatchdog::ProgramSecondsFromEnvironment());
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    auto* pcoListener = new TGuiTestListener(&coWatchdog);
    listeners.Append(pcoListener); // owned by GoogleTest from here on
    const int nResult = RUN_ALL_TESTS();
    // The listener outlives this function; the watchdog does not.
    delete listeners.Release(pcoListener);
    return nResult;
}

} // namespace kwtest
