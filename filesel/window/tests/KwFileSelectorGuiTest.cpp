#include "KwTestApp.h"

#include "KwBitmap.h"
#include "KwCntTree.h"
#include "KwComboBox.h"
#include "KwComboList.h"
#include "KwDC.h"
#include "KwEventFileSelector.h"
#include "KwFileSelProgress.h"
#include "KwFileSelector.h"
#include "KwListText.h"
#include "KwPen.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"
#include "KwFileSelTreePoints.h"
#include "KwWFrame.h"
#include "TPath.h"
#include "TTreeNode.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using kw25test::Hwnd;
using kwtest::OnNode;

namespace {

// Records the copy links of the target selector and takes the copy over.
class TCopyView : public TDynBase {
public:
    std::vector<std::string> coCopies;

    int LnkCopyDirectory(TMvcParam& coParam) { return Record("directory", coParam); }
    int LnkCopyFiles(TMvcParam& coParam) { return Record("files", coParam); }

private:
    int Record(const char* pszWhat, TMvcParam& coParam)
    {
        const KwEventFileSelector& coEvent = dynamic_cast<const KwEventFileSelector&>(coParam);
        std::string strSource;
        if (coEvent.GetSourceDirectory())
            strSource = static_cast<const char*>(coEvent.GetSourceDirectory()->FullPath());
        if (coEvent.GetSourceFiles())
            for (long i = 0; i < coEvent.GetSourceFiles()->Count(); ++i)
                strSource += (strSource.empty() ? "" : " ") + std::string(static_cast<const char*>(coEvent.GetSourceFiles()->GetFile(i).Name()));
        coCopies.push_back(std::string(pszWhat) + " " + strSource + " -> "
                           + static_cast<const char*>(coEvent.GetTarget()->FullPath()));
        return 1;
    }
};

// A selector whose copy is a function of the test.
class TCopyingSelector : public KwFileSelector {
public:
    using KwFileSelector::KwFileSelector;
    std::function<void(KwEventFileSelector&)> fnCopy;

protected:
    int RunCopy(KwEventFileSelector& coEvent) override
    {
        if (!fnCopy)
            return KwFileSelector::RunCopy(coEvent);
        fnCopy(coEvent);
        return 1;
    }
};

// Two selectors side by side over a generated directory: the left one on
// src, the right one on the directory that holds src and dst.
class KwFileSelectorGuiTest : public kwtest::TScratchTest {
protected:
    KwFileSelectorGuiTest() : TScratchTest("flsl") {}

    TCopyView coView;
    KwWFrame* pcoLeftFrame { nullptr };
    KwWFrame* pcoRightFrame { nullptr };
    KwFileSelector* pcoLeft { nullptr };
    TCopyingSelector* pcoRight { nullptr };

    void SetUp() override
    {
        TScratchTest::SetUp();
        for (const char* pszDir : { "src", "src\\docs", "src\\pics", "dst" })
            std::filesystem::create_directories(At(pszDir));
        for (const char* pszFile : { "src\\x.txt", "src\\y.txt", "src\\z.txt", "src\\w.dat", "src\\docs\\a.doc" })
            kwtest::WriteFileBytes(At(pszFile), pszFile);
        KwFileSelector::SetBitmapLoader(kwtest::PaintDragPicture);
        pcoLeftFrame = kw25test::OpenFrame("FW_LEFT", KwPoint(10, 40), KwSize(500, 340), "Left");
        pcoRightFrame = kw25test::OpenFrame("FW_RIGHT", KwPoint(530, 40), KwSize(500, 340), "Right");
        pcoLeft = Selector(*pcoLeftFrame);
        pcoRight = kw25test::AddChild(new TCopyingSelector("FS_2", KwPoint(0, 0), pcoRightFrame->GetClientSize()),
                                      *pcoRightFrame);
        ASSERT_TRUE(pcoLeft->OpenPath(At("src").c_str()));
        ASSERT_TRUE(pcoRight->OpenPath(m_dir.c_str()));
        pcoRight->MVC().SetLink("KW_LINK_COPY_DIRECTORY", &coView, &TCopyView::LnkCopyDirectory);
        pcoRight->MVC().SetLink("KW_LINK_COPY_FILES", &coView, &TCopyView::LnkCopyFiles);
        ASSERT_TRUE(kwtest::BringToForeground(Hwnd(*pcoLeftFrame)));
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        kwtest::ReleaseAllInput();
        for (KwWFrame* pcoFrame : { pcoLeftFrame, pcoRightFrame })
            pcoFrame->Destroy();
        kwtest::PumpIdle();
        KwFileSelector::SetBitmapLoader(nullptr);
        TScratchTest::TearDown();
    }
    static KwFileSelector* Selector(KwWFrame& coFrame)
    {
        const KwSize coClient = coFrame.GetClientSize();
        return kw25test::AddChild(new KwFileSelector("FS_1", KwPoint(0, 0), coClient), coFrame);
    }
    std::string Upper(const std::string& strPath) const
    {
        std::string strUpper = strPath;
        for (char& ch : strUpper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return strUpper;
    }
    // A point in the plus or minus box before the node.
    static POINT OnBox(KwFileSelector& coSelector, const std::string& strPath)
    {
        TTreeNode* pcoNode = coSelector.FindNode(strPath.c_str());
        EXPECT_NE(pcoNode, nullptr) << strPath;
        KwCntTree& coTree = *coSelector.GetTree();
        short nDepth = 0;
        for (TTreeNode* pcoUp = pcoNode ? pcoNode->GetParentNode() : nullptr; pcoUp; pcoUp = pcoUp->GetParentNode())
            ++nDepth;
        const KwSize coBox = coTree.GetNodeBoxSize();
        const long lLine = coTree.LineOfNode(pcoNode) - coTree.GetTopLine();
        return { nDepth * coBox.Width() + coBox.Width() / 2 - coTree.GetLeftOffset(),
                 static_cast<LONG>(lLine * coBox.Height() + coBox.Height() / 2) };
    }
    // The blank columns between the end of the connector before a node and
    // its name: the connector has ink on the line's middle row only, the
    // name's first column also on other rows.
    static int GapBeforeName(KwFileSelector& coSelector, const std::string& strPath)
    {
        const POINT ptBox = OnBox(coSelector, strPath);
        const int nHalf = coSelector.GetTree()->GetNodeBoxSize().Height() / 2;
        const kwtest::TTestImage coTree = kwtest::CaptureClient(Hwnd(*coSelector.GetTreeWindow()));
        const kwtest::TRgb rgbBack = coTree.At(coTree.Width() - 3, ptBox.y);
        int nLineEnd = ptBox.x;
        for (int nX = ptBox.x + 1; nX < coTree.Width(); ++nX) {
            for (int nY = ptBox.y - nHalf; nY < ptBox.y + nHalf; ++nY)
                if (nY != ptBox.y && coTree.At(nX, nY) != rgbBack)
                    return nX - nLineEnd - 1;
            if (coTree.At(nX, ptBox.y) != rgbBack)
                nLineEnd = nX;
        }
        ADD_FAILURE() << "no name after the connector of " << strPath;
        return 0;
    }
    static POINT OnLine(KwFileSelector& coSelector, short nLine)
    {
        const KwRect coLine = coSelector.GetList()->GetLineRect(nLine);
        return { coLine.Left() + 20, (coLine.Top() + coLine.Bottom()) / 2 };
    }
    static std::vector<std::string> Listed(const KwFileSelector& coSelector)
    {
        std::vector<std::string> vecNames;
        for (long i = 0; i < coSelector.GetListCount(); ++i)
            vecNames.push_back(coSelector.GetListName(i) + (coSelector.IsListSelected(i) ? "*" : ""));
        return vecNames;
    }
    static void Drag(HWND hFrom, POINT ptFrom, HWND hTarget, POINT ptTarget, const char* pszShot = nullptr)
    {
        kwtest::DragOnto(hFrom, ptFrom, hTarget, ptTarget, pszShot);
    }
    void DragDirectory(const std::string& strFrom, HWND hTarget, POINT ptTarget, const char* pszShot)
    {
        Drag(Hwnd(*pcoLeft->GetTreeWindow()), OnNode(*pcoLeft, strFrom), hTarget, ptTarget, pszShot);
    }
};

} // namespace

TEST_F(KwFileSelectorGuiTest, ClickOnTreeNodeShowsItsFiles)
{
    // The drive of the path is chosen in the combo box, described beside it.
    EXPECT_EQ(static_cast<const char*>(pcoRight->GetDriveCombo()->GetText()), std::string("T:"));
    EXPECT_GE(pcoRight->GetDriveCombo()->LineCount(), 2);
    // T: has no volume name: only its file system is described, and the
    // free space.
    const std::string strVolume = static_cast<const char*>(pcoRight->GetDescription());
    EXPECT_EQ(strVolume.rfind("(NTFS), ", 0), 0u) << strVolume;
    EXPECT_EQ(strVolume.substr(strVolume.size() - 8), " GB free") << strVolume;
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoRight->GetTreeWindow()), OnNode(*pcoRight, At("dst"))));
    kwtest::PumpIdle();
    EXPECT_EQ(static_cast<const char*>(pcoRight->CurrentDirectory()), std::string(At("dst")));
    EXPECT_TRUE(Listed(*pcoRight).empty());

    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoRight->GetTreeWindow()), OnNode(*pcoRight, At("src"))));
    kwtest::PumpIdle();
    EXPECT_EQ(static_cast<const char*>(pcoRight->CurrentDirectory()), std::string(At("src")));
    // Sorted by extension; the directories stay in the tree.
    EXPECT_EQ(Listed(*pcoRight), std::vector<std::string>({ "w.dat", "x.txt", "y.txt", "z.txt" }));
    EXPECT_EQ(pcoRight->GetList()->GetRange(), 4u);
    EXPECT_GE(GapBeforeName(*pcoRight, At("dst")), 3);
    kwtest::ScreenshotWindow(Hwnd(*pcoRightFrame));
}

// A drive chosen with the mouse in the drop-down: the tree shows that
// drive's root, the list the files in it.
TEST_F(KwFileSelectorGuiTest, DriveChosenInTheDropDownShowsItsTreeAndFiles)
{
    KwComboBox& coCombo = *pcoLeft->GetDriveCombo();
    const long lDriveC = coCombo.Find("C:");
    ASSERT_GE(lDriveC, 0);
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(
        [&](HWND hWnd) {
            const KwWnd* pcoWnd = KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hWnd));
            return pcoWnd && pcoWnd->GetResId() == KwComboBox::FrameName;
        },
        [&](HWND) {
            // The drop-down opens scrolled to the drive shown (T:).
            KwComboList& coList = *coCombo.GetComboList();
            coList.ScrollAbsolute(lDriveC, 1);
            short nLine = 0;
            while (coList.IsLineVisible(nLine) && coList.PosFromLine(nLine) != lDriveC)
                ++nLine;
            if (!coList.IsLineVisible(nLine)) {
                ADD_FAILURE() << "C: is not in the drop-down";
                kwtest::PressKey(VK_ESCAPE);
                return;
            }
            const KwRect coLine = coList.GetLineRect(nLine);
            kwtest::ClickAt(Hwnd(coList), { coLine.Left() + 10, (coLine.Top() + coLine.Bottom()) / 2 });
        });
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*coCombo.GetChild(KwComboBox::ButtonName)), { 8, 10 }));
    kwtest::PumpIdle();
    ASSERT_TRUE(coAnswer.Answered());

    EXPECT_EQ(static_cast<const char*>(coCombo.GetText()), std::string("C:"));
    EXPECT_EQ(static_cast<const char*>(pcoLeft->CurrentDirectory()), std::string("C:\\"));
    const std::string strVolume = static_cast<const char*>(pcoLeft->GetDescription());
    EXPECT_EQ(strVolume.rfind("KWILLET_C (NTFS), ", 0), 0u) << strVolume;
    EXPECT_EQ(pcoLeft->FindNode(At("src").c_str()), nullptr);
    EXPECT_NE(pcoLeft->FindNode("C:\\windows"), nullptr);
    std::vector<std::string> vecFiles;
    for (const auto& coEntry : std::filesystem::directory_iterator("C:\\"))
        if (!coEntry.is_directory())
            vecFiles.push_back(coEntry.path().filename().string());
    std::vector<std::string> vecListed = Listed(*pcoLeft);
    std::sort(vecFiles.begin(), vecFiles.end());
    std::sort(vecListed.begin(), vecListed.end());
    EXPECT_EQ(vecListed, vecFiles);
    kwtest::ScreenshotWindow(Hwnd(*pcoLeftFrame));
}

TEST_F(KwFileSelectorGuiTest, ClickShiftAndCtrlSelectInTheList)
{
    const HWND hList = Hwnd(*pcoLeft->GetList());
    ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 1)));
    {
        kwtest::THeldModifiers coShift(kwtest::ModShift);
        ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 3)));
    }
    kwtest::PumpIdle();
    EXPECT_EQ(Listed(*pcoLeft), std::vector<std::string>({ "w.dat", "x.txt*", "y.txt*", "z.txt*" }));
    {
        kwtest::THeldModifiers coCtrl(kwtest::ModCtrl);
        ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 2)));
        ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 0)));
    }
    kwtest::PumpIdle();
    EXPECT_EQ(Listed(*pcoLeft), std::vector<std::string>({ "w.dat*", "x.txt*", "y.txt", "z.txt*" }));
    kwtest::ScreenshotWindow(Hwnd(*pcoLeftFrame));

    // A press on a selected entry keeps the selection; its release there
    // leaves that entry alone.
    ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 3)));
    kwtest::PumpIdle();
    EXPECT_EQ(Listed(*pcoLeft), std::vector<std::string>({ "w.dat", "x.txt", "y.txt", "z.txt*" }));
}

// Closing a node above the focus moves the focus to that node, by the
// user's click on its box as by the program: the list follows, and files
// dropped onto the list go to the directory it shows.
TEST_F(KwFileSelectorGuiTest, ListFollowsTheFocusWhenANodeAboveItCloses)
{
    std::filesystem::create_directories(At("dst\\sub"));
    kwtest::WriteFileBytes(At("dst\\d.txt"), "d");
    kwtest::WriteFileBytes(At("dst\\sub\\s.txt"), "s");
    const auto OpenSub = [&] {
        ASSERT_TRUE(pcoRight->OpenPath(At("dst\\sub").c_str()));
        kwtest::PumpIdle();
        ASSERT_EQ(Listed(*pcoRight), std::vector<std::string>({ "s.txt" }));
    };
    OpenSub();
    ASSERT_TRUE(kwtest::ClickAt(Hwnd(*pcoRight->GetTreeWindow()), OnBox(*pcoRight, At("dst"))));
    EXPECT_FALSE(pcoRight->FindNode(At("dst").c_str())->IsOpen());
    EXPECT_EQ(Listed(*pcoRight), std::vector<std::string>({ "d.txt" }));

    OpenSub();
    pcoRight->GetTree()->CloseNode(pcoRight->FindNode(At("dst").c_str()), 1);
    kwtest::PumpIdle();
    EXPECT_EQ(static_cast<const char*>(pcoRight->CurrentDirectory()), std::string(At("dst")));
    EXPECT_EQ(Listed(*pcoRight), std::vector<std::string>({ "d.txt" }));
    kwtest::ScreenshotWindow(Hwnd(*pcoRightFrame), "closed");

    const HWND hLeftList = Hwnd(*pcoLeft->GetList());
    ASSERT_TRUE(kwtest::ClickAt(hLeftList, OnLine(*pcoLeft, 0)));
    Drag(hLeftList, OnLine(*pcoLeft, 0), Hwnd(*pcoRight->GetList()), OnLine(*pcoRight, 0));
    EXPECT_EQ(coView.coCopies, std::vector<std::string>({ "files w.dat -> " + Upper(At("dst")) }));
}

TEST_F(KwFileSelectorGuiTest, DirectoryDraggedOntoAnotherSelectorSendsTheCopyLink)
{
    const HWND hTree = Hwnd(*pcoRight->GetTreeWindow());
    DragDirectory(At("src\\docs"), hTree, OnNode(*pcoRight, At("dst")), "over-dst");
    EXPECT_EQ(coView.coCopies, std::vector<std::string>({ "directory " + Upper(At("src\\docs")) + " -> "
                                                           + Upper(At("dst")) }));
    // The link took the copy over: the target selector stays as it was.
    EXPECT_EQ(static_cast<const char*>(pcoRight->CurrentDirectory()), std::string(m_dir));
}

TEST_F(KwFileSelectorGuiTest, DirectoryDroppedOntoItselfOrItsParentIsRefused)
{
    const HWND hTree = Hwnd(*pcoRight->GetTreeWindow());
    pcoRight->GetTree()->OpenNode(pcoRight->FindNode(At("src").c_str()), 1);
    kwtest::PumpIdle();
    DragDirectory(At("src\\docs"), hTree, OnNode(*pcoRight, At("src\\docs")), "over-itself");
    DragDirectory(At("src\\docs"), hTree, OnNode(*pcoRight, At("src")), "over-parent");
    EXPECT_EQ(coView.coCopies, std::vector<std::string>());
}

TEST_F(KwFileSelectorGuiTest, FilesDraggedFromTheListSendTheCopyLink)
{
    const HWND hList = Hwnd(*pcoLeft->GetList());
    ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 1)));
    {
        kwtest::THeldModifiers coShift(kwtest::ModShift);
        ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, 2)));
    }
    Drag(hList, OnLine(*pcoLeft, 2), Hwnd(*pcoRight->GetTreeWindow()), OnNode(*pcoRight, At("dst")));
    EXPECT_EQ(coView.coCopies, std::vector<std::string>({ "files x.txt y.txt -> " + Upper(At("dst")) }));
    // The drag kept the selection.
    EXPECT_EQ(Listed(*pcoLeft), std::vector<std::string>({ "w.dat", "x.txt*", "y.txt*", "z.txt" }));
}

// Without a link the selector copies itself, then reads the target again:
// the node with the focus below it is gone, and the focus (and the list
// with it) is found again by its path, or at its nearest ancestor.
TEST_F(KwFileSelectorGuiTest, DropWithoutLinkCopiesAndFindsTheFocusAgainAfterTheReRead)
{
    pcoRight->MVC().RemoveLink("KW_LINK_COPY_DIRECTORY");
    std::vector<std::string> vecCopies;
    pcoRight->fnCopy = [&](KwEventFileSelector& coEvent) {
        vecCopies.push_back(std::string(static_cast<const char*>(coEvent.GetSourceDirectory()->FullPath())) + " -> "
                            + static_cast<const char*>(coEvent.GetTarget()->FullPath()));
        std::filesystem::create_directories(At("src\\dst"));
        std::filesystem::remove_all(At("src\\docs"));
    };
    const HWND hTree = Hwnd(*pcoRight->GetTreeWindow());
    pcoRight->GetTree()->OpenNode(pcoRight->FindNode(At("src").c_str()), 1);
    kwtest::PumpIdle();
    ASSERT_TRUE(kwtest::ClickAt(hTree, OnNode(*pcoRight, At("src\\docs"))));
    kwtest::PumpIdle();
    ASSERT_EQ(Listed(*pcoRight), std::vector<std::string>({ "a.doc" }));

    DragDirectory(At("dst"), hTree, OnNode(*pcoRight, At("src")), "over-src");
    EXPECT_EQ(vecCopies, std::vector<std::string>({ Upper(At("dst")) + " -> " + Upper(At("src")) }));
    EXPECT_EQ(pcoRight->FindNode(At("src\\docs").c_str()), nullptr);
    EXPECT_NE(pcoRight->FindNode(At("src\\dst").c_str()), nullptr);
    EXPECT_EQ(static_cast<const char*>(pcoRight->CurrentDirectory()), std::string(At("src")));
    EXPECT_EQ(Listed(*pcoRight), std::vector<std::string>({ "w.dat", "x.txt", "y.txt", "z.txt" }));
    kwtest::ScreenshotWindow(Hwnd(*pcoRightFrame), "after");
}

// Without a link and without a program's own copy, the drop runs the
// progress window modally; Start copies, Close ends it, the target shows
// the copy.
TEST_F(KwFileSelectorGuiTest, DropWithoutLinkRunsTheProgressWindow)
{
    pcoRight->MVC().RemoveLink("KW_LINK_COPY_DIRECTORY");
    bool bClosable = false;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND hWnd) {
        kwtest::PumpIdle();
        ASSERT_TRUE(kwtest::PressButton(hWnd, "Start"));
        const HWND hClose = kwtest::FindChild(hWnd, "Close");
        bClosable = kwtest::PumpUntil([&] { return ::IsWindowEnabled(hClose) != 0; }, 20000);
        kwtest::ScreenshotDesktop("progress");
        ASSERT_TRUE(kwtest::PressButton(hWnd, "Close"));
    });
    DragDirectory(At("src\\docs"), Hwnd(*pcoRight->GetTreeWindow()), OnNode(*pcoRight, At("dst")), "over-dst");
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_TRUE(bClosable);
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst\\docs\\a.doc")), "src\\docs\\a.doc");
    EXPECT_NE(pcoRight->FindNode(At("dst\\docs").c_str()), nullptr);
}
