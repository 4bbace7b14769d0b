// Gandrel as its user meets it, with real mouse input: started in a
// directory that holds src\ (a generated tree) and dst\, src dragged from
// the left tree onto dst in the right one, Start pressed, Close pressed once
// it is enabled; every byte, name, time, attribute and right of the copy is
// checked, and the output saved as a log shows the rights set, entry by
// entry, in reverse order. Then files selected in the left list are dragged
// over, a directory dropped onto its own parent is refused, and the main
// window is closed. Each stage leaves a screenshot.

#include "GandrelTestSupport.h"
#include "GandrelTree.h"

#include "KwCntTree.h"
#include "KwCopyEngine.h"
#include "KwFileSelTreePoints.h"
#include "KwProgressIndicator.h"
#include "TTreeNode.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using kw25test::Hwnd;
using kwtest::OnNode;

namespace {

std::vector<std::string> Lines(const std::string& strText)
{
    std::vector<std::string> vecLines;
    std::istringstream coIn(strText);
    for (std::string strLine; std::getline(coIn, strLine);) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        vecLines.push_back(strLine);
    }
    return vecLines;
}

// What happened in one progress window: whether it opened, the bar when it
// ended, its output as saved to the log.
struct TDropRun {
    bool m_bOpened { false };
    bool m_bClosable { false };
    unsigned short m_unBar { 0 };
    std::vector<std::string> m_vecLog;
};

class GandrelEndToEndTest : public kwtest::TGandrelTest {
protected:
    GandrelEndToEndTest() : TGandrelTest("gdv") {}

    void SetUp() override
    {
        TGandrelTest::SetUp();
        m_vecEntries = kwtest::MakeGeneratedTree(At("src"), 3);
        // One large file, so that the copy lasts long enough to be seen.
        kwtest::WriteFileBytes(At("src\\large.bin"), kwtest::Pattern("large.bin", 192u << 20));
        m_vecEntries.push_back("large.bin");
        std::filesystem::create_directories(At("dst"));
        ASSERT_NO_FATAL_FAILURE(StartGandrel());
    }

    // Presses at the point of one window, moves in steps onto the point of
    // another, shows the drag in a screenshot, releases there.
    static void Drag(HWND hFrom, POINT ptFrom, HWND hTo, POINT ptTo, const char* pszShot)
    {
        ASSERT_TRUE(kwtest::MoveMouse(hFrom, ptFrom));
        ASSERT_TRUE(kwtest::MouseDown());
        POINT ptStart = ptFrom;
        ::ClientToScreen(hFrom, &ptStart);
        POINT ptEnd = ptTo;
        ::ClientToScreen(hTo, &ptEnd);
        for (int i = 1; i <= 12; ++i)
            ASSERT_TRUE(kwtest::MoveMouse({ ptStart.x + (ptEnd.x - ptStart.x) * i / 12,
                                            ptStart.y + (ptEnd.y - ptStart.y) * i / 12 }));
        kwtest::PumpFor(100);
        kwtest::ScreenshotDesktop(pszShot);
        ASSERT_TRUE(kwtest::MouseUp());
    }

    // Answers the progress window that the drop opens within the time:
    // Start, a screenshot in the middle of the copy, Close once it is
    // enabled, after the log was saved.
    TDropRun AnswerProgress(const char* pszShot, const std::function<void()>& fnDrop, unsigned nOpensWithinMs = 90000)
    {
        TDropRun coRun;
        std::filesystem::remove(At("gandrel.log"));
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND) {
            KwFileSelProgress* pcoProgress = RunningProgress();
            ASSERT_NE(pcoProgress, nullptr);
            coRun.m_bOpened = true;
            kwtest::PumpIdle();
            // Small pieces, so that the copy lasts long enough to be seen
            // in the middle.
            pcoProgress->Engine().Options().m_ulPieceSize = 4096;
            ASSERT_TRUE(Press(pcoProgress->GetStart()));
            kwtest::PumpUntil([&] { return pcoProgress->GetBar()->GetProgress() >= 30; }, 20000);
            kwtest::ScreenshotDesktop(pszShot);
            coRun.m_bClosable = kwtest::PumpUntil([&] { return pcoProgress->GetClose()->IsEnabled() != 0; }, 60000);
            kwtest::PumpIdle();
            kwtest::ScreenshotDesktop((std::string(pszShot) + "-finished").c_str());
            coRun.m_unBar = pcoProgress->GetBar()->GetProgress();
            pcoProgress->SaveLog(At("gandrel.log"));
            ASSERT_TRUE(Press(pcoProgress->GetClose()));
        });
        fnDrop();
        kwtest::PumpUntil([&] { return coAnswer.Answered() && !RunningProgress(); }, nOpensWithinMs);
        kwtest::PumpIdle();
        coRun.m_vecLog = Lines(kwtest::Bytes(At("gandrel.log")));
        return coRun;
    }

    std::vector<std::string> m_vecEntries;
};

// The copy lines and the rights lines of a log: the rights come after all
// copies, for the same entries in reverse order, each "ok".
void ExpectRightsInReverse(const std::vector<std::string>& vecLog)
{
    std::vector<std::string> vecCopied;
    std::vector<std::string> vecRights;
    for (const std::string& strLine : vecLog) {
        for (const char* pszStart : { "Copying ", "Creating Directory " })
            if (strLine.rfind(pszStart, 0) == 0) {
                EXPECT_TRUE(vecRights.empty()) << "copied after the rights: " << strLine;
                vecCopied.push_back(strLine.substr(std::string(pszStart).size()));
            }
        if (strLine.rfind("Assigning Rights ", 0) == 0)
            vecRights.push_back(strLine.substr(17));
    }
    std::reverse(vecRights.begin(), vecRights.end());
    EXPECT_EQ(vecRights, vecCopied);
    for (const std::string& strLine : vecCopied)
        EXPECT_EQ(strLine.substr(strLine.size() - 7), " ... ok") << strLine;
}

} // namespace

TEST_F(GandrelEndToEndTest, DragAndDrop)
{
    const kwtest::TTreeFacts coBefore = kwtest::FactsOfTree(At("src"), m_vecEntries);
    kwtest::ScreenshotDesktop("started");

    // The whole tree, from the left tree onto dst in the right one.
    const HWND hLeftTree = Hwnd(*m_pcoLeft->GetTreeWindow());
    const HWND hRightTree = Hwnd(*m_pcoRight->GetTreeWindow());
    const TDropRun coTree = AnswerProgress("copying", [&] {
        Drag(hLeftTree, OnNode(*m_pcoLeft, At("src")), hRightTree, OnNode(*m_pcoRight, At("dst")), "dragging");
    });
    ASSERT_TRUE(coTree.m_bOpened) << "the drop opened no progress window";
    EXPECT_TRUE(coTree.m_bClosable);
    EXPECT_EQ(coTree.m_unBar, 100);
    ASSERT_FALSE(coTree.m_vecLog.empty());
    EXPECT_EQ(coTree.m_vecLog.front(), "Options: rights: group, DACL and SACL; owner: no; existing files: replace; verify: no; "
                                       "files at once: " + std::to_string(KwCopyOptions::DefaultWorkers));
    EXPECT_EQ(coTree.m_vecLog.at(1), "Gathering tree information ... ok");
    EXPECT_NE(coTree.m_vecLog.back().find(", failed: 0"), std::string::npos) << coTree.m_vecLog.back();
    ExpectRightsInReverse(coTree.m_vecLog);
    // Facts first: listing a directory moves its time of last access.
    kwtest::ExpectSameFacts(coBefore, At("src"), At("dst\\src"));
    kwtest::ExpectSameNames(At("src"), At("dst\\src"));
    EXPECT_NE(m_pcoRight->FindNode(At("dst\\src").c_str()), nullptr) << "the target tree shows the copy";

    // Two files selected in the left list with click and Ctrl+click,
    // dragged onto dst.
    ASSERT_TRUE(kwtest::ClickAt(hLeftTree, OnNode(*m_pcoLeft, At("src"))));
    kwtest::PumpIdle();
    const HWND hLeftList = Hwnd(*m_pcoLeft->GetList());
    ASSERT_TRUE(kwtest::ClickAt(hLeftList, OnLine(*m_pcoLeft, "lower.txt")));
    {
        kwtest::THeldModifiers coCtrl(kwtest::ModCtrl);
        ASSERT_TRUE(kwtest::ClickAt(hLeftList, OnLine(*m_pcoLeft, "UPPER.TXT")));
    }
    kwtest::PumpIdle();
    const TDropRun coFiles = AnswerProgress("files", [&] {
        Drag(hLeftList, OnLine(*m_pcoLeft, "lower.txt"), hRightTree, OnNode(*m_pcoRight, At("dst")), "dragging-files");
    });
    ASSERT_TRUE(coFiles.m_bOpened) << "the drop of files opened no progress window";
    EXPECT_EQ(coFiles.m_unBar, 100);
    EXPECT_EQ(kwtest::Bytes(At("dst\\lower.txt")), kwtest::Bytes(At("src\\lower.txt")));
    EXPECT_EQ(kwtest::Bytes(At("dst\\UPPER.TXT")), kwtest::Bytes(At("src\\UPPER.TXT")));
    EXPECT_FALSE(std::filesystem::exists(At("dst\\Mixed.Case.TXT")));
    ExpectRightsInReverse(coFiles.m_vecLog);

    // A directory dropped onto its own parent: refused in the drop check,
    // no progress window.
    const TDropRun coRefused = AnswerProgress("refused", [&] {
        Drag(hLeftTree, OnNode(*m_pcoLeft, At("src")), hRightTree, OnNode(*m_pcoRight, m_dir), "over-parent");
    }, 3000);
    EXPECT_FALSE(coRefused.m_bOpened) << "a drop onto the source's own parent was taken";

    // Closing the main window ends the program's window.
    const HWND hMain = Hwnd(*m_pcoMain);
    ASSERT_TRUE(kwtest::BringToForeground(hMain));
    ASSERT_TRUE(kwtest::PressKey(VK_F4, kwtest::ModAlt));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return !::IsWindow(hMain); }, 5000)) << "the main window is still open";
    m_pcoMain = nullptr;
}
