// Gandrel started as its user starts it, in a directory of the test's
// own: without the program's directory on any search path, "gandrel.kwt"
// is found only in that directory (the profile is absent, so its path
// entries are "." too). Each start-up failure shows its text in the
// framework's message box titled "ZORVIK Message"; OK ends the program
// with exit code 0 and no window of it left. With the real file the main
// window opens with the program's icon.

#include "kwguitest.h"

#include "KwFileHdl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const s_pszBoxTitle = "ZORVIK Message";

// Where Gandrel.exe, its libraries and the resource files are: the
// directory of this test program, where the build puts them, or the one
// GDV_PROGRAM_DIR names (an installed or unpacked Gandrel).
fs::path ProgramDirectory()
{
    if (const char* pszDir = std::getenv("GDV_PROGRAM_DIR"); pszDir && *pszDir)
        return fs::path(pszDir);
    char szPath[MAX_PATH] {};
    ::GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    return fs::path(szPath).parent_path();
}

// The visible top-level windows of the process (with the title, when one
// is given).
std::vector<HWND> WindowsOf(DWORD dwProcess, const char* pszTitle = nullptr)
{
    struct TSearch {
        DWORD dwProcess;
        const char* pszTitle;
        std::vector<HWND> coFound;
    } coSearch { dwProcess, pszTitle, {} };
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto& coWanted = *reinterpret_cast<TSearch*>(lParam);
            DWORD dwOwner = 0;
            ::GetWindowThreadProcessId(hWnd, &dwOwner);
            if (dwOwner == coWanted.dwProcess && ::IsWindowVisible(hWnd)
                && (!coWanted.pszTitle || kwtest::WindowText(hWnd) == coWanted.pszTitle))
                coWanted.coFound.push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&coSearch));
    return coSearch.coFound;
}

HWND WaitForWindowOf(DWORD dwProcess, const char* pszTitle)
{
    std::vector<HWND> coFound;
    kwtest::PumpUntil([&] { return !(coFound = WindowsOf(dwProcess, pszTitle)).empty(); }, 20000);
    return coFound.empty() ? nullptr : coFound.front();
}

// The caption's left end shows the program's icon: its yellow pane top.
bool CaptionShowsTheIcon(HWND hMain)
{
    RECT rcWindow {};
    ::GetWindowRect(hMain, &rcWindow);
    const kwtest::TTestImage coDesktop = kwtest::CaptureDesktop();
    const kwtest::TRgb rgbPane = kwtest::MakeRgb(240, 200, 60);
    for (int y = rcWindow.top; y < rcWindow.top + 30; ++y) {
        for (int x = rcWindow.left; x < rcWindow.left + 30; ++x) {
            if (!coDesktop.IsEmpty() && coDesktop.At(x, y) == rgbPane)
                return true;
        }
    }
    return false;
}

class GdvStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* pcoInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        m_coDir = fs::temp_directory_path() / ("gandrel-start-" + std::to_string(::GetCurrentProcessId()) + "-" + pcoInfo->name());
        fs::remove_all(m_coDir);
        fs::create_directories(m_coDir);
        // The standard file is found; the program's own file is the case.
        fs::copy_file(ProgramDirectory() / "zorvik30.kwt", m_coDir / "zorvik30.kwt");
    }
    void TearDown() override
    {
        if (m_coProcess.hProcess) {
            if (::WaitForSingleObject(m_coProcess.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_coProcess.hProcess, 99);
            ::WaitForSingleObject(m_coProcess.hProcess, 5000);
            ::CloseHandle(m_coProcess.hProcess);
            ::CloseHandle(m_coProcess.hThread);
        }
        std::error_code ec;
        fs::remove_all(m_coDir, ec);
    }
    void PutResourceFile(const char* pszBuilt)
    {
        fs::copy_file(ProgramDirectory() / pszBuilt, m_coDir / "gandrel.kwt", fs::copy_options::overwrite_existing);
    }
    bool Start()
    {
        std::string strCommand = "\"" + (ProgramDirectory() / "Gandrel.exe").string() + "\"";
        STARTUPINFOA coStart {};
        coStart.cb = sizeof coStart;
        return ::CreateProcessA(nullptr, strCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, m_coDir.string().c_str(),
                                &coStart, &m_coProcess);
    }
    DWORD WaitForExit()
    {
        DWORD dwCode = STILL_ACTIVE;
        kwtest::PumpUntil([&] { return ::WaitForSingleObject(m_coProcess.hProcess, 0) == WAIT_OBJECT_0; }, 15000);
        ::GetExitCodeProcess(m_coProcess.hProcess, &dwCode);
        return dwCode;
    }
    // The message box shows the text; OK ends the program cleanly.
    void ExpectFailureMessage(const std::string& strText)
    {
        ASSERT_TRUE(Start());
        const HWND hBox = WaitForWindowOf(m_coProcess.dwProcessId, s_pszBoxTitle);
        ASSERT_NE(hBox, nullptr) << "no message box";
        EXPECT_NE(kwtest::FindChild(hBox, strText.c_str()), nullptr) << "expected: " << strText;
        EXPECT_EQ(::FindWindowA(nullptr, "Gandrel"), nullptr) << "a main window beside the message";
        kwtest::PumpFor(300);
        kwtest::ScreenshotWindow(hBox);
        const HWND hOk = kwtest::FindChild(hBox, "OK");
        ASSERT_NE(hOk, nullptr);
        ASSERT_TRUE(kwtest::ClickAt(hOk, { 20, 10 }));
        EXPECT_EQ(WaitForExit(), 0u);
        EXPECT_TRUE(WindowsOf(m_coProcess.dwProcessId).empty());
    }

    fs::path m_coDir;
    PROCESS_INFORMATION m_coProcess {};
};

} // namespace

TEST_F(GdvStartTest, SaysWhenItsResourceFileIsNotFound)
{
    ExpectFailureMessage("Resource file <gandrel.kwt> not found!");
}

// The text is the resource-file layer's for the code that opening the
// file gives and the path the program found (the name as given): a text
// file in its place, and the real file cut short.
TEST_F(GdvStartTest, SaysWhyADamagedResourceFileCannotBeInstalled)
{
    const fs::path coReal = ProgramDirectory() / "gandrel.kwt";
    const std::string strCut = [&] {
        std::ifstream coIn(coReal, std::ios::binary);
        std::string strBytes((std::istreambuf_iterator<char>(coIn)), std::istreambuf_iterator<char>());
        return strBytes.substr(0, strBytes.size() / 2);
    }();
    ASSERT_GT(strCut.size(), 100u);
    for (const std::string& strDamaged : { std::string("a text file in the resource file's place\n"), strCut }) {
        std::ofstream(m_coDir / "gandrel.kwt", std::ios::binary | std::ios::trunc) << strDamaged;
        KwFileHdl coProbe;
        const unsigned short unCode = coProbe.OpenRead((m_coDir / "gandrel.kwt").string().c_str(), 1, nullptr);
        coProbe.Close();
        ASSERT_NE(unCode, TFileHdl::Success);
        ExpectFailureMessage(static_cast<const char*>(TFileHdl::GetError(unCode, "gandrel.kwt")));
        ::CloseHandle(m_coProcess.hProcess);
        ::CloseHandle(m_coProcess.hThread);
        m_coProcess = {};
    }
}

TEST_F(GdvStartTest, SaysWhenTheMainWindowIsMissing)
{
    PutResourceFile("gandrel-nomain.kwt");
    ExpectFailureMessage("Load of main window <FW_MAIN> failed!");
}

// "FW_MAIN" is read, but as a child window: no frame to start.
TEST_F(GdvStartTest, SaysWhenTheMainWindowIsNoFrame)
{
    PutResourceFile("gandrel-childmain.kwt");
    ExpectFailureMessage("Load of main window <FW_MAIN> failed!");
}

// The real file: the main window with the program's icon; closing it
// ends the program with exit code 0.
TEST_F(GdvStartTest, OpensItsMainWindowAndEndsWhenItCloses)
{
    PutResourceFile("gandrel.kwt");
    ASSERT_TRUE(Start());
    const HWND hMain = WaitForWindowOf(m_coProcess.dwProcessId, "Gandrel");
    ASSERT_NE(hMain, nullptr);
    kwtest::PumpFor(800);
    EXPECT_TRUE(CaptionShowsTheIcon(hMain));
    kwtest::ScreenshotWindow(hMain);
    ::PostMessageA(hMain, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
}
