// Gandrel from the keyboard alone, with real input: from the start-up to
// the progress window's Close, a copy of files and one of a directory,
// each step in a screenshot; the pane that received a copy lists it after
// Close without a click, with its focus and scroll position kept (so the
// files, which sort after those in view, show when the list is scrolled to
// its end); Ctrl+R reads both sides again after changes made behind
// Gandrel's back.

#include "GandrelTestSupport.h"

#include "KwCntTree.h"
#include "KwComboBox.h"
#include "TTreeNode.h"

#include <filesystem>

using kw25test::Hwnd;

namespace {

const char* const s_pszJapanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt";                   // 日本語.txt
const char* const s_pszOmega = "\xce\xa9mega-\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb.txt";             // Ωmega-файл.txt
const char* const s_pszOmegaDir = "\xce\xa9mega-\xd0\xba\xd0\xb0\xd1\x82\xd0\xb0\xd0\xbb\xd0\xbe\xd0\xb3"; // Ωmega-каталог

std::filesystem::path U8(const std::string& strPath)
{
    return std::filesystem::u8path(strPath);
}

class GandrelKeyboardTest : public kwtest::TGandrelTest {
protected:
    GandrelKeyboardTest() : TGandrelTest("gdvk") {}

    void SetUp() override
    {
        TGandrelTest::SetUp();
        std::filesystem::create_directories(U8(At("src\\") + s_pszOmegaDir));
        for (const std::string& strFile : { std::string("a.txt"), std::string("b.txt"), std::string(s_pszJapanese),
                                           std::string(s_pszOmega), std::string(s_pszOmegaDir) + "\\inner.txt" })
            kwtest::WriteFileBytes(At("src\\" + strFile), "bytes of " + strFile);
        // Enough files in the target that its list scrolls.
        std::filesystem::create_directories(At("dst"));
        for (int i = 0; i < 60; ++i)
            kwtest::WriteFileBytes(At("dst\\f" + std::to_string(100 + i) + ".dat"), std::to_string(i));
        ASSERT_NO_FATAL_FAILURE(StartGandrel());
    }

    // The number of Ctrl+Down presses from one entry of the list to another.
    static long Distance(const KwFileSelector& coSelector, const std::string& strFrom, const std::string& strTo)
    {
        long lFrom = -1;
        long lTo = -1;
        for (long i = 0; i < coSelector.GetListCount(); ++i) {
            lFrom = coSelector.GetListName(i) == strFrom ? i : lFrom;
            lTo = coSelector.GetListName(i) == strTo ? i : lTo;
        }
        EXPECT_TRUE(lFrom >= 0 && lTo >= 0);
        return lTo - lFrom;
    }
};

} // namespace

TEST_F(GandrelKeyboardTest, ACopyFromTheStartUpToCloseWithTheKeyboardAlone)
{
    // Start-up: the keyboard is in the left tree, on the current directory.
    kwtest::ScreenshotDesktop("1-started");
    ASSERT_TRUE(HasFocus(m_pcoLeft->GetTreeWindow()));

    // A letter goes to src; Tab to its files.
    ASSERT_TRUE(kwtest::TypeText("s"));
    EXPECT_EQ(std::string(m_pcoLeft->CurrentDirectory()), At("src"));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(HasFocus(m_pcoLeft->GetList()));
    kwtest::ScreenshotDesktop("2-src");

    // The Japanese file by its first character, then the Omega file with
    // Ctrl+arrows (the caret alone) and Space.
    ASSERT_TRUE(kwtest::TypeText("\xe6\x97\xa5"));
    long lSteps = Distance(*m_pcoLeft, s_pszJapanese, s_pszOmega);
    for (long i = 0; i < std::abs(lSteps); ++i)
        ASSERT_TRUE(kwtest::PressKey(lSteps > 0 ? VK_DOWN : VK_UP, kwtest::ModCtrl));
    ASSERT_TRUE(kwtest::PressKey(VK_SPACE));
    std::vector<std::string> vecSelected;
    for (const std::string& strEntry : Listed(*m_pcoLeft))
        if (strEntry.back() == '*')
            vecSelected.push_back(strEntry.substr(0, strEntry.size() - 1));
    std::sort(vecSelected.begin(), vecSelected.end());
    EXPECT_EQ(vecSelected, (std::vector<std::string> { s_pszOmega, s_pszJapanese }));
    kwtest::ScreenshotDesktop("3-selected");

    // Tab to the right tree, a letter to dst; its list at its end, so that
    // it is scrolled.
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(HasFocus(m_pcoRight->GetTreeWindow()));
    ASSERT_TRUE(kwtest::TypeText("d"));
    EXPECT_EQ(std::string(m_pcoRight->CurrentDirectory()), At("dst"));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(kwtest::PressKey(VK_END));
    const unsigned long ulTop = m_pcoRight->GetList()->GetCurrentPos();
    const long lCaret = m_pcoRight->GetList()->GetCurrentSel();
    ASSERT_GT(ulTop, 0u);
    kwtest::ScreenshotDesktop("4-target");

    // Back to the left list (Shift+Tab twice), F5: the progress window,
    // Return starts, Escape closes it once it has finished.
    ASSERT_TRUE(kwtest::PressKey(VK_TAB, kwtest::ModShift));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB, kwtest::ModShift));
    ASSERT_TRUE(HasFocus(m_pcoLeft->GetList()));
    const TRun coFiles = RunProgress([] { kwtest::PressKey(VK_F5); }, "5-files-copied");
    ASSERT_TRUE(coFiles.m_bOpened);
    EXPECT_TRUE(coFiles.m_bFinished);
    EXPECT_EQ(coFiles.m_eBar, KwFileSelProgressState::BarDone);
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst\\") + s_pszJapanese), std::string("bytes of ") + s_pszJapanese);
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst\\") + s_pszOmega), std::string("bytes of ") + s_pszOmega);
    EXPECT_FALSE(std::filesystem::exists(At("dst\\a.txt")));

    // The target shows them without a click; its list kept its place.
    kwtest::ScreenshotDesktop("6-after-close");
    const std::vector<std::string> vecRight = Listed(*m_pcoRight);
    EXPECT_NE(std::find(vecRight.begin(), vecRight.end(), s_pszJapanese), vecRight.end());
    EXPECT_NE(std::find(vecRight.begin(), vecRight.end(), s_pszOmega), vecRight.end());
    EXPECT_EQ(m_pcoRight->GetList()->GetCurrentPos(), ulTop);
    EXPECT_EQ(m_pcoRight->GetListName(m_pcoRight->GetList()->GetCurrentSel()), m_pcoRight->GetListName(lCaret));
    EXPECT_EQ(std::string(m_pcoRight->CurrentDirectory()), At("dst"));
    EXPECT_TRUE(HasFocus(m_pcoLeft->GetList())) << "the keyboard is back where it was";

    // The directory from the tree: Shift+Tab, F5; dst shows src below it.
    ASSERT_TRUE(kwtest::PressKey(VK_TAB, kwtest::ModShift));
    ASSERT_TRUE(HasFocus(m_pcoLeft->GetTreeWindow()));
    const TRun coTree = RunProgress([] { kwtest::PressKey(VK_F5); }, "7-directory-copied");
    EXPECT_EQ(coTree.m_eBar, KwFileSelProgressState::BarDone);
    ASSERT_GE(coTree.m_vecLines.size(), 2u);
    EXPECT_EQ(coTree.m_vecLines[0].rfind("Options: ", 0), 0u) << coTree.m_vecLines[0];
    TTreeNode* pcoCopy = m_pcoRight->FindNode(At("dst\\src").c_str());
    ASSERT_NE(pcoCopy, nullptr) << "the target tree shows the copy";
    EXPECT_GE(m_pcoRight->GetTree()->LineOfNode(pcoCopy), 0) << "and its node can be seen";
    EXPECT_NE(m_pcoRight->FindNode((At("dst\\src\\") + s_pszOmegaDir).c_str()), nullptr);
    kwtest::ScreenshotDesktop("8-after-close");

    // Changes behind Gandrel's back: Ctrl+R reads both sides again, a
    // directory that went leaves no node, and nothing asks anything.
    kwtest::WriteFileBytes(At("dst\\new.txt"), "new");
    std::filesystem::remove_all(U8(At("dst\\src\\") + s_pszOmegaDir));
    ASSERT_TRUE(kwtest::PressKey('R', kwtest::ModCtrl));
    const std::vector<std::string> vecAgain = Listed(*m_pcoRight);
    EXPECT_NE(std::find(vecAgain.begin(), vecAgain.end(), "new.txt"), vecAgain.end());
    EXPECT_EQ(m_pcoRight->FindNode((At("dst\\src\\") + s_pszOmegaDir).c_str()), nullptr);
    EXPECT_TRUE(HasFocus(m_pcoLeft->GetTreeWindow()));
    EXPECT_EQ(kw25test::KwTestApp::Instance().CurrentAppFrameCount(), 1) << "no message";
    kwtest::ScreenshotDesktop("9-read-again");
    // The same from the menu: File, Read both sides again.
    kwtest::WriteFileBytes(At("dst\\menu.txt"), "menu");
    ASSERT_TRUE(kwtest::QueueKey('F', kwtest::ModAlt));
    ASSERT_TRUE(kwtest::QueueKey('R'));
    EXPECT_TRUE(kwtest::PumpUntil([&] {
        const std::vector<std::string> vecNow = Listed(*m_pcoRight);
        return std::find(vecNow.begin(), vecNow.end(), "menu.txt") != vecNow.end();
    }, 5000)) << "the menu read the right side again";
    EXPECT_TRUE(HasFocus(m_pcoLeft->GetTreeWindow()));

    // Round to the right list: at its end the copied files and the new one.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(HasFocus(m_pcoRight->GetList()));
    ASSERT_TRUE(kwtest::PressKey(VK_END));
    kwtest::ScreenshotDesktop("10-target-end");

    // Backspace goes up; Alt+F4 ends Gandrel.
    ASSERT_TRUE(kwtest::PressKey(VK_BACK));
    EXPECT_EQ(std::string(m_pcoRight->CurrentDirectory()), m_dir);
    const HWND hMain = Hwnd(*m_pcoMain);
    ASSERT_TRUE(kwtest::PressKey(VK_F4, kwtest::ModAlt));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return !::IsWindow(hMain); }, 5000)) << "the main window is still open";
    m_pcoMain = nullptr;
}

// F4 opens the drive list, where a letter and Enter choose N:, a drive
// without its medium: the tree is empty, the reason is on the volume line;
// Ctrl+R reads it again (as it would a drive that went) and asks nothing.
TEST_F(GandrelKeyboardTest, ADriveThatIsNotReadyIsReadAgainWithoutAMessage)
{
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    ASSERT_TRUE(HasFocus(m_pcoRight->GetTreeWindow()));
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(
        [](HWND hWnd) {
            const KwWnd* pcoWnd = KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hWnd));
            return pcoWnd && pcoWnd->GetResId() == KwComboBox::FrameName;
        },
        [](HWND) {
            kwtest::ScreenshotDesktop("drive-list");
            kwtest::TypeText("n");
            kwtest::PressKey(VK_RETURN);
        });
    ASSERT_TRUE(kwtest::PressKey(VK_F4));
    ASSERT_TRUE(coAnswer.Answered());
    EXPECT_EQ(std::string(m_pcoRight->GetDriveCombo()->GetText()), "N:");
    EXPECT_TRUE(HasFocus(m_pcoRight->GetTreeWindow())) << "the keyboard is back in the tree";
    const std::string strVolume = static_cast<const char*>(m_pcoRight->GetDescription());
    ASSERT_TRUE(kwtest::PressKey('R', kwtest::ModCtrl));
    kwtest::ScreenshotDesktop("not-ready");
    EXPECT_EQ(std::string(m_pcoRight->CurrentDirectory()), "N:\\");
    EXPECT_EQ(m_pcoRight->GetTree()->GetRootNode()->NodeCount(), 0);
    EXPECT_EQ(m_pcoRight->GetListCount(), 0);
    EXPECT_EQ(std::string(m_pcoRight->GetDescription()), strVolume);
    // The reason: Windows says the drive is not ready, Wine gives none.
    EXPECT_TRUE(strVolume == "Drive is not ready" || strVolume == "The drive cannot be read") << strVolume;
    EXPECT_EQ(kw25test::KwTestApp::Instance().CurrentAppFrameCount(), 1) << "no message";
    EXPECT_TRUE(HasFocus(m_pcoRight->GetTreeWindow()));
}
