// Kwillet Hello started as its user starts it: its window opens with its
// buttons, Greet asks the question in the framework's message box, the
// answer shows, Quit ends the program with exit code 0. Its timer fills
// the bar, a menu command reaches its handler, a tree node dragged onto the
// drop window arrives there.

#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The directory of this test program, where the build puts kwhello.exe,
// hello.kwt and zorvik30.kwt.
std::string OwnDirectory()
{
    char szPath[MAX_PATH] {};
    ::GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    std::string strPath(szPath);
    return strPath.substr(0, strPath.find_last_of('\\'));
}

HWND WaitForWindow(const char* pszTitle, HWND hExcept)
{
    HWND hFound = nullptr;
    kwtest::PumpUntil(
        [&] {
            hFound = ::FindWindowA(nullptr, pszTitle);
            while (hFound && (hFound == hExcept || !::IsWindowVisible(hFound)))
                hFound = ::FindWindowExA(nullptr, hFound, nullptr, pszTitle);
            return hFound != nullptr;
        },
        10000);
    return hFound;
}

// The child of the main window at a point of its client area (the
// positions of hello.kwt.txt and of HelloFrame::Prepare).
HWND ChildAt(HWND hMain, POINT ptClient)
{
    const HWND hChild = ::ChildWindowFromPointEx(hMain, ptClient, CWP_SKIPINVISIBLE);
    return hChild == hMain ? nullptr : hChild;
}

class KwHelloStartTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_coProcess.hProcess) {
            if (::WaitForSingleObject(m_coProcess.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_coProcess.hProcess, 99);
            ::CloseHandle(m_coProcess.hProcess);
            ::CloseHandle(m_coProcess.hThread);
        }
    }
    bool Start()
    {
        const std::string strDir = OwnDirectory();
        std::string strCommand = "\"" + strDir + "\\" KW_HELLO_PROGRAM "\"";
        STARTUPINFOA coStart {};
        coStart.cb = sizeof coStart;
        return ::CreateProcessA(nullptr, strCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, strDir.c_str(), &coStart,
                                &m_coProcess);
    }
    DWORD WaitForExit()
    {
        DWORD dwCode = 259;
        kwtest::PumpUntil([&] { return ::WaitForSingleObject(m_coProcess.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
        ::GetExitCodeProcess(m_coProcess.hProcess, &dwCode);
        return dwCode;
    }

    PROCESS_INFORMATION m_coProcess {};
};

} // namespace

TEST_F(KwHelloStartTest, StartsAsksItsQuestionAndQuits)
{
    ASSERT_TRUE(Start());
    const HWND hMain = WaitForWindow("Kwillet Hello", nullptr);
    ASSERT_NE(hMain, nullptr);
    const HWND hGreet = kwtest::FindChild(hMain, "Greet");
    const HWND hQuit = kwtest::FindChild(hMain, "Quit");
    const HWND hAnswer = kwtest::FindChild(hMain, "Press Greet to be asked a question.");
    ASSERT_TRUE(hGreet && hQuit && hAnswer);
    kwtest::PumpUntil([] { return false; }, 300);
    kwtest::ScreenshotWindow(hMain);

    ASSERT_TRUE(kwtest::ClickAt(hGreet, { 20, 10 }));
    // The message box has the program's title too; it is the other window.
    const HWND hBox = WaitForWindow("Kwillet Hello", hMain);
    ASSERT_NE(hBox, nullptr);
    EXPECT_TRUE(kwtest::FindChild(hBox, "Yes") && kwtest::FindChild(hBox, "No"));
    EXPECT_FALSE(::IsWindowEnabled(hMain)) << "the message box runs modally";
    kwtest::PumpUntil([] { return false; }, 300);
    kwtest::ScreenshotWindow(hBox, "question");
    ASSERT_TRUE(kwtest::ClickAt(kwtest::FindChild(hBox, "Yes"), { 20, 10 }));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return kwtest::WindowText(hAnswer) == "Glad to hear it."; }, 5000))
        << kwtest::WindowText(hAnswer);
    EXPECT_TRUE(::IsWindowEnabled(hMain));

    ASSERT_TRUE(kwtest::ClickAt(hQuit, { 20, 10 }));
    EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(KwHelloStartTest, FillsItsBarRunsAMenuCommandAndTakesADraggedNode)
{
    ASSERT_TRUE(Start());
    const HWND hMain = WaitForWindow("Kwillet Hello", nullptr);
    ASSERT_NE(hMain, nullptr);
    const HWND hAnswer = kwtest::FindChild(hMain, "Press Greet to be asked a question.");
    const HWND hBar = ChildAt(hMain, { 180, 281 });
    const HWND hTree = ChildAt(hMain, { 450, 100 });
    const HWND hDrop = ChildAt(hMain, { 450, 246 });
    ASSERT_TRUE(hAnswer && hBar && hTree && hDrop && hTree != hDrop);

    // A third of the way along, away from the percentage in the middle;
    // read from the desktop: under Wine a window of another process reads
    // black through its own device context.
    RECT rcBar {};
    ::GetWindowRect(hBar, &rcBar);
    const auto fnThird = [&rcBar] {
        const kwtest::TTestImage coImage = kwtest::CaptureDesktop();
        return coImage.IsEmpty() ? kwtest::TRgb(0) : coImage.At(rcBar.left + 100, rcBar.top + 11);
    };
    const kwtest::TRgb rgbEmpty = fnThird();
    EXPECT_TRUE(kwtest::PumpUntil([&] { return fnThird() != rgbEmpty; }, 20000)) << "the timer does not fill the bar";

    // A click makes the program the foreground, so that it gets the keys.
    ASSERT_TRUE(kwtest::ClickAt(hAnswer, { 5, 5 }));
    ASSERT_TRUE(kwtest::PressKey('H', kwtest::ModAlt));
    kwtest::PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(kwtest::PressKey('A'));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return kwtest::WindowText(hAnswer) == "Kwillet Hello, the example application."; }, 5000))
        << kwtest::WindowText(hAnswer);

    // The root, "Forest", is the tree's first line; the press focuses it.
    POINT ptTarget { 85, 46 };
    ::MapWindowPoints(hDrop, hTree, &ptTarget, 1);
    ASSERT_TRUE(kwtest::Drag(hTree, { 45, 8 }, ptTarget, 12));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return kwtest::WindowText(hAnswer) == "Dropped: Forest"; }, 5000))
        << kwtest::WindowText(hAnswer);
    kwtest::PumpUntil([] { return false; }, 300);
    kwtest::ScreenshotWindow(hMain, "running");
}
