#include "KwTestApp.h"

#include "KwCntText.h"
#include "KwCopyEngine.h"
#include "KwFileSelProfile.h"
#include "KwFileSelProgress.h"
#include "KwFileSelProgressState.h"
#include "KwListText.h"
#include "KwProgressIndicator.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

// A generated tree (src) and an empty target (dst); the progress window is
// run modally and driven from inside its modal loop with real input.
class KwFileSelProgressGuiTest : public kwtest::TScratchTest {
protected:
    KwFileSelProgressGuiTest() : TScratchTest("flpr") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        KwFileSelProfile::UseFile(At("zorvik30.ini"));
    }
    void TearDown() override
    {
        KwFileSelProfile::UseFile(std::string());
        TScratchTest::TearDown();
    }

    void MakeTree(int nFilesPerDir)
    {
        for (const char* pszDir : { "src", "src\\docs", "src\\docs\\old", "src\\pics", "dst" })
            std::filesystem::create_directories(At(pszDir));
        for (const char* pszDir : { "src", "src\\docs", "src\\docs\\old", "src\\pics" })
            for (int i = 0; i < nFilesPerDir; ++i) {
                const std::string strName = std::string(pszDir) + "\\f" + std::to_string(i) + ".txt";
                // Sizes vary, one file of each directory is empty.
                kwtest::WriteFileBytes(At(strName.c_str()), std::string(static_cast<size_t>(i * 37), 'a' + i % 26));
            }
    }
    static std::string Read(const std::string& strPath)
    {
        std::ifstream coIn(strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(coIn), std::istreambuf_iterator<char>());
    }
    // Every file and directory of src is under dst\src with the same bytes.
    void ExpectCopied()
    {
        const std::filesystem::path coFrom = At("src");
        const std::filesystem::path coTo = At("dst\\src");
        long lEntries = 0;
        for (const auto& coEntry : std::filesystem::recursive_directory_iterator(coFrom)) {
            const std::filesystem::path coCopy = coTo / std::filesystem::relative(coEntry.path(), coFrom);
            ++lEntries;
            if (coEntry.is_directory())
                EXPECT_TRUE(std::filesystem::is_directory(coCopy)) << coCopy;
            else
                EXPECT_EQ(Read(coCopy.string()), Read(coEntry.path().string())) << coCopy;
        }
        EXPECT_GT(lEntries, 4);
    }
    static POINT Middle(const KwWnd& coWnd)
    {
        const KwSize coSize = coWnd.GetClientSize();
        return { coSize.Width() / 2, coSize.Height() / 2 };
    }
    static bool Press(KwPushButton* pcoButton)
    {
        return pcoButton && kwtest::ClickAt(Hwnd(*pcoButton), Middle(*pcoButton));
    }
    static bool Finished(KwFileSelProgress& coProgress)
    {
        return coProgress.State().GetPhase() == KwFileSelProgressState::Finished;
    }
    KwFileSelProgress* NewProgress(const std::string& strFrom = std::string())
    {
        KwFileSelProgress* pcoProgress = new KwFileSelProgress(nullptr);
        pcoProgress->SetPathFrom(strFrom.empty() ? At("src").c_str() : strFrom.c_str());
        pcoProgress->SetPathTo(At("dst").c_str());
        return pcoProgress;
    }
};

TEST_F(KwFileSelProgressGuiTest, StartCopiesTreeAndCloseEndsModalRun)
{
    MakeTree(6);
    KwFileSelProgress* pcoProgress = NewProgress();
    std::vector<std::string> vecLines;
    std::vector<int> vecColours;
    bool bCloseEnabledAtStart = false;
    bool bStartDisabledAfter = false;
    unsigned short unBar = 0;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND) {
        kwtest::PumpIdle();
        kwtest::ScreenshotDesktop("ready");
        bCloseEnabledAtStart = pcoProgress->GetClose()->IsEnabled() && !pcoProgress->GetCancel()->IsEnabled();
        ASSERT_TRUE(Press(pcoProgress->GetStart()));
        ASSERT_TRUE(kwtest::PumpUntil([&] { return pcoProgress->GetClose()->IsEnabled() != 0; }, 30000));
        kwtest::PumpIdle();
        kwtest::ScreenshotDesktop("finished");
        bStartDisabledAfter = !pcoProgress->GetStart()->IsEnabled() && !pcoProgress->GetCancel()->IsEnabled();
        unBar = pcoProgress->GetBar()->GetProgress();
        for (long i = 0; i < pcoProgress->LineCount(); ++i) {
            vecLines.push_back(pcoProgress->Line(i));
            vecColours.push_back(pcoProgress->LineColour(i));
        }
        pcoProgress->SaveLog(At("copy.log"));
        ASSERT_TRUE(Press(pcoProgress->GetClose()));
    });
    pcoProgress->RunModal();
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_TRUE(bCloseEnabledAtStart);
    EXPECT_TRUE(bStartDisabledAfter);
    EXPECT_EQ(pcoProgress->State().GetBarState(), KwFileSelProgressState::BarDone);
    EXPECT_EQ(unBar, 100);
    ASSERT_GE(vecLines.size(), 4u);
    EXPECT_EQ(vecLines.front().rfind("Options: rights: group, DACL and SACL;", 0), 0u) << vecLines.front();
    EXPECT_EQ(vecLines[1].rfind("Gathering tree information ... ", 0), 0u) << vecLines[1];
    EXPECT_NE(vecLines.back().find("Directories: 4, files: 24,"), std::string::npos) << vecLines.back();
    // Every copy line ended ok, in the colour of a good outcome.
    for (size_t i = 0; i < vecLines.size(); ++i)
        if (vecLines[i].rfind("Copying ", 0) == 0) {
            EXPECT_NE(vecLines[i].find("ok"), std::string::npos) << vecLines[i];
            EXPECT_EQ(vecColours[i], KwFileSelProgressState::ColourOk) << vecLines[i];
        }
    ExpectCopied();
    // The log holds the lines as shown, the summary last.
    const std::string strLog = Read(At("copy.log"));
    EXPECT_NE(strLog.find(vecLines.front() + "\r\n"), std::string::npos);
    EXPECT_NE(strLog.find(vecLines.back() + "\r\n"), std::string::npos);
    delete pcoProgress;
}

TEST_F(KwFileSelProgressGuiTest, CloseDuringRunCancelsAndKeepsWindow)
{
    // One large file read in the smallest pieces keeps the run going long
    // enough to close the window during it; cancel is seen between pieces.
    MakeTree(3);
    kwtest::WriteFileBytes(At("src\\big.bin"), std::string(256u << 20, 'b'));
    KwFileSelProgress* pcoProgress = NewProgress();
    pcoProgress->Engine().Options().m_ulPieceSize = KwCopyOptions::MinPieceSize;
    bool bOpenAfterClose = false;
    bool bRunningWhenClosed = false;
    unsigned short unBar = 100;
    std::string strCaption;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND hWnd) {
        kwtest::PumpIdle();
        // Alt+F4 queued right behind the click on Start, so that the close
        // comes while the run is going however fast the machine copies (a
        // busy run may give no quiet queue before it has ended).
        ASSERT_TRUE(kwtest::ClickAtWithoutIdle(Hwnd(*pcoProgress->GetStart()), Middle(*pcoProgress->GetStart())));
        ASSERT_TRUE(kwtest::PressKey(VK_F4, kwtest::ModAlt));
        kwtest::PumpFor(100);
        bRunningWhenClosed = !pcoProgress->State().CanStart();
        bOpenAfterClose = ::IsWindow(hWnd) && ::IsWindowVisible(hWnd);
        ASSERT_TRUE(kwtest::PumpUntil([&] { return Finished(*pcoProgress); }, 30000));
        kwtest::PumpIdle();
        kwtest::ScreenshotDesktop("canceled");
        unBar = pcoProgress->GetBar()->GetProgress();
        if (const KwCntText* pcoCaption = dynamic_cast<const KwCntText*>(pcoProgress->GetBar()->Content()))
            strCaption = static_cast<const char*>(pcoCaption->GetText());
        ASSERT_TRUE(Press(pcoProgress->GetClose()));
    });
    pcoProgress->RunModal();
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_TRUE(bRunningWhenClosed);
    EXPECT_TRUE(bOpenAfterClose);
    EXPECT_EQ(pcoProgress->State().GetBarState(), KwFileSelProgressState::BarCanceled);
    EXPECT_EQ(pcoProgress->Line(pcoProgress->LineCount() - 2), "Canceled by User");
    EXPECT_LT(unBar, 100);
    EXPECT_EQ(strCaption, pcoProgress->BarText());
    EXPECT_EQ(pcoProgress->GetBar(), nullptr);
    EXPECT_EQ(pcoProgress->BarText().rfind("Canceled at ", 0), 0u) << pcoProgress->BarText();
    // Not everything arrived.
    EXPECT_FALSE(std::filesystem::exists(At("dst\\src\\pics\\f2.txt")));
    delete pcoProgress;
}

// The selectors hand over paths in the system's code page; a directory
// whose name goes beyond ASCII arrives whole, with its file.
TEST_F(KwFileSelProgressGuiTest, PathsInTheSystemCodePageAreCopied)
{
    const std::filesystem::path coSource = std::filesystem::path(At("src")) / L"M\u00fcller";
    std::filesystem::create_directories(coSource);
    std::ofstream(coSource / "a.txt", std::ios::binary) << "umlaut";
    char szAnsi[MAX_PATH] {};
    BOOL bLost = FALSE;
    ::WideCharToMultiByte(CP_ACP, 0, coSource.wstring().c_str(), -1, szAnsi, sizeof szAnsi, nullptr, &bLost);
    if (bLost)
        GTEST_SKIP() << "the system's code page has no u with diaeresis";
    std::filesystem::create_directories(At("dst"));
    KwFileSelProgress* pcoProgress = NewProgress(szAnsi);
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND) {
        kwtest::PumpIdle();
        ASSERT_TRUE(Press(pcoProgress->GetStart()));
        ASSERT_TRUE(kwtest::PumpUntil([&] { return Finished(*pcoProgress); }, 30000));
        kwtest::PumpIdle();
        kwtest::ScreenshotDesktop("umlaut");
        ASSERT_TRUE(Press(pcoProgress->GetClose()));
    });
    pcoProgress->RunModal();
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_EQ(pcoProgress->State().GetBarState(), KwFileSelProgressState::BarDone) << pcoProgress->Line(1);
    std::ifstream coCopy(std::filesystem::path(At("dst")) / L"M\u00fcller" / "a.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(coCopy), std::istreambuf_iterator<char>()), "umlaut");
    delete pcoProgress;
}

// The file dialog titled "Save log", or the question it asks before a file
// is replaced (a box of the same title with Yes and No).
kwtest::TWindowMatch SaveLogDialog(bool bQuestion)
{
    return [bQuestion](HWND hWnd) {
        return kwtest::WindowText(hWnd) == "Save log" && (kwtest::FindChild(hWnd, "Yes") != nullptr) == bQuestion;
    };
}

// The name field of the Explorer-style dialog, or of the old one.
std::string DialogName(HWND hDialog)
{
    char szName[MAX_PATH] {};
    if (!::GetDlgItemTextA(hDialog, 0x47C, szName, sizeof szName))
        ::GetDlgItemTextA(hDialog, 0x480, szName, sizeof szName);
    return szName;
}

void ChooseName(HWND hDialog, const std::string& strPath)
{
    if (!::SetDlgItemTextA(hDialog, 0x47C, strPath.c_str()))
        ::SetDlgItemTextA(hDialog, 0x480, strPath.c_str());
    ::PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
}

// Save log (Alt+G: clicks in a row would be a double click) asks where
// with the file dialog (a name with the run's date and time proposed, a
// directory beyond ASCII chosen), and asks again before it replaces a
// file: No keeps the old log, Yes replaces it.
TEST_F(KwFileSelProgressGuiTest, SaveLogAsksWhereAndBeforeReplacing)
{
    MakeTree(2);
    const std::string strLogs = At("logs \xce\xa9mega-\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb");
    std::filesystem::create_directories(std::filesystem::u8path(strLogs));
    const std::string strLog = strLogs + "\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.log";
    KwFileSelProgress* pcoProgress = NewProgress();
    std::string strProposed;
    std::string strStatus;
    std::string strFirstLog;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND) {
        kwtest::PumpIdle();
        ASSERT_TRUE(Press(pcoProgress->GetStart()));
        ASSERT_TRUE(kwtest::PumpUntil([&] { return pcoProgress->GetClose()->IsEnabled() != 0; }, 30000));

        kwtest::TModalAnswer coSave = kwtest::AnswerWhen(SaveLogDialog(false), [&](HWND hDialog) {
            strProposed = DialogName(hDialog);
            kwtest::ScreenshotDesktop("save-log");
            ChooseName(hDialog, strLog);
        });
        ASSERT_TRUE(kwtest::PressKey('G', kwtest::ModAlt));
        ASSERT_TRUE(coSave.Answered());
        strStatus = pcoProgress->StatusText();
        strFirstLog = kwtest::ReadFileBytes(strLog);
        kwtest::WriteFileBytes(strLog, "an older log");

        // The same name again: No keeps the file, the dialog is left.
        kwtest::TModalAnswer coAgain = kwtest::AnswerWhen(SaveLogDialog(false), [&](HWND hDialog) { ChooseName(hDialog, strLog); });
        kwtest::TModalAnswer coNo = kwtest::AnswerWhen(SaveLogDialog(true), [&](HWND hQuestion) {
            kwtest::ScreenshotDesktop("replace-question");
            kwtest::PressDialogButton(hQuestion, "No");
        });
        // Only once the question was answered: the dialog shows before it.
        const kwtest::TWindowMatch fnDialog = SaveLogDialog(false);
        kwtest::TModalAnswer coLeave = kwtest::AnswerWhen([&](HWND hWnd) { return coNo.Answered() && fnDialog(hWnd); },
                                                          [&](HWND hDialog) { ::PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0); });
        ASSERT_TRUE(kwtest::PressKey('G', kwtest::ModAlt));
        EXPECT_TRUE(coNo.Answered() && coLeave.Answered());
        EXPECT_EQ(kwtest::ReadFileBytes(strLog), "an older log");
        // Yes replaces it.
        kwtest::TModalAnswer coThird = kwtest::AnswerWhen(SaveLogDialog(false), [&](HWND hDialog) { ChooseName(hDialog, strLog); });
        kwtest::TModalAnswer coYes = kwtest::AnswerWhen(SaveLogDialog(true), [&](HWND hQuestion) {
            kwtest::PressDialogButton(hQuestion, "Yes");
        });
        ASSERT_TRUE(kwtest::PressKey('G', kwtest::ModAlt));
        EXPECT_TRUE(coYes.Answered());
        ASSERT_TRUE(Press(pcoProgress->GetClose()));
    });
    pcoProgress->RunModal();
    EXPECT_TRUE(coAnswer.Answered());
    ExpectCopied();
    // The proposed name: the program's, the date and time of the run.
    EXPECT_EQ(strProposed.size(), KwFileSelProfile::Section().size() + std::string("-20260105-090703.log").size()) << strProposed;
    EXPECT_EQ(strProposed.substr(strProposed.size() - 4), ".log") << strProposed;
    EXPECT_EQ(strStatus.substr(strStatus.find("Log saved to ")), "Log saved to " + strLog);
    EXPECT_EQ(strFirstLog.rfind("Options: ", 0), 0u) << strFirstLog;
    EXPECT_EQ(kwtest::ReadFileBytes(strLog), strFirstLog) << "replaced after Yes";
    EXPECT_EQ(KwFileSelProfile::Get(KwFileSelProfile::KeyLogDirectory), strLogs) << "the next dialog opens there";
    delete pcoProgress;
}

} // namespace
