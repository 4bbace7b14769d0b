#include "KwGuiTestWin.h"

#include <gtest/gtest.h>

// Nobody answers this message box: only the watchdog ends the program.
TEST(KwWatchdogHang, UnansweredMessageBox)
{
    MessageBoxA(nullptr, "This box is left open on purpose.", "Nobody answers", MB_OK);
    FAIL() << "the message box was answered";
}
