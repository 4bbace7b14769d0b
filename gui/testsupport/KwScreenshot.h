#pragma once

// Screenshots of GUI tests, as PNG files named after the test:
// <dir>/<Suite>.<Test>[-<suffix>].png. The directory is KW_SCREENSHOT_DIR
// (the test command sets build/screenshots/<program> of the source tree);
// without it, screenshots/<program> two levels above the program, which is
// the same place for a program in build/<configuration>/bin.
//
// Each function says on standard output where it wrote, or on standard
// error why it could not, and answers whether the file was written.

#include "KwGuiTestWin.h"
#include "KwTestImage.h"

#include <string>

namespace kwtest {

std::string ScreenshotDir();
// "<Suite>.<Test>" of the running test ('/' of parameterised names as
// '_'), or the program's name outside a test.
std::string CurrentTestName();
std::string ScreenshotPath(const std::string& strTest, const char* pszSuffix = nullptr);

bool SaveScreenshot(const TTestImage& coImage, const char* pszSuffix = nullptr);
bool ScreenshotWindow(HWND hWnd, const char* pszSuffix = nullptr); // with title bar and border
bool ScreenshotClient(HWND hWnd, const char* pszSuffix = nullptr);
bool ScreenshotDesktop(const char* pszSuffix = nullptr);

// Writes the image to ScreenshotPath(strTest, pszSuffix).
bool SaveScreenshotOf(const std::string& strTest, const TTestImage& coImage, const char* pszSuffix);

} // namespace kwtest
