#include "KwScreenshot.h"

#include "KwGuiPixels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kwtest {

namespace {

std::filesystem::path ProgramPath()
{
    char szPath[MAX_PATH];
    const DWORD ulLength = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    return std::filesystem::path(std::string(szPath, ulLength < sizeof(szPath) ? ulLength : 0));
}

std::string FindScreenshotDir()
{
    const char* pszDir = std::getenv("KW_SCREENSHOT_DIR");
    if (!pszDir || !*pszDir) {
        const std::filesystem::path program = ProgramPath();
        return (program.parent_path().parent_path().parent_path() / "screenshots" / program.stem()).string();
    }
    // Made absolute while the program starts: a directory given without
    // its drive would otherwise follow the current drive, which a file
    // dialog changes while it is open.
    std::error_code ec;
    const std::filesystem::path coDir = std::filesystem::absolute(std::filesystem::path(pszDir).make_preferred(), ec);
    return ec ? std::filesystem::path(pszDir).make_preferred().string() : coDir.string();
}

const std::string s_strScreenshotDir = FindScreenshotDir();

} // namespace

std::string ScreenshotDir()
{
    return s_strScreenshotDir;
}

std::string CurrentTestName()
{
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!pInfo)
        return ProgramPath().stem().string();
    std::string strName = std::string(pInfo->test_suite_name()) + "." + pInfo->name();
    for (char& c : strName)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    return strName;
}

std::string ScreenshotPath(const std::string& strTest, const char* pszSuffix)
{
    const std::string strFile = strTest + (pszSuffix && *pszSuffix ? std::string("-") + pszSuffix : "") + ".png";
    return (std::filesystem::path(ScreenshotDir()) / strFile).string();
}

bool SaveScreenshotOf(const std::string& strTest, const TTestImage& coImage, const char* pszSuffix)
{
    const std::string strPath = ScreenshotPath(strTest, pszSuffix);
    std::error_code ec;
    std::filesystem::create_directories(ScreenshotDir(), ec);
    std::string strError;
    if (!WritePng(coImage, strPath, strError)) {
        std::fprintf(stderr, "screenshot not written: %s\n", strError.c_str());
        return false;
    }
    std::printf("screenshot: %s\n", strPath.c_str());
    std::fflush(stdout);
    return true;
}

bool SaveScreenshot(const TTestImage& coImage, const char* pszSuffix)
{
    return SaveScreenshotOf(CurrentTestName(), coImage, pszSuffix);
}

bool ScreenshotWindow(HWND hWnd, const char* pszSuffix)
{
    return SaveScreenshot(CaptureWindow(hWnd), pszSuffix);
}

bool ScreenshotClient(HWND hWnd, const char* pszSuffix)
{
    return SaveScreenshot(CaptureClient(hWnd), pszSuffix);
}

bool ScreenshotDesktop(const char* pszSuffix)
{
    return SaveScreenshot(CaptureDesktop(), pszSuffix);
}

} // namespace kwtest
