// Names in every alphabet in the file selector and the progress window: the
// list and the tree draw each name as the system draws the same text, a
// click and a drag copy exactly the file clicked (never another one that a
// name turned into "?" marks would match), the paths keep their case, and
// a directory whose path passes 260 characters opens and copies.
#include "KwTestApp.h"

#include "KwBitmap.h"
#include "KwCntText.h"
#include "KwCntTree.h"
#include "KwDC.h"
#include "KwFileSelProgress.h"
#include "KwFileSelTreePoints.h"
#include "KwFileSelector.h"
#include "KwFont.h"
#include "KwListText.h"
#include "KwPen.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"
#include "TTreeNode.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using kw25test::Hwnd;
using kwtest::OnNode;

namespace {

namespace fs = std::filesystem;

// Each name beyond the old code page beside an ASCII twin of the same UTF-16
// length: the name with its characters lost to "?" would match the twin.
struct TName {
    const char* pszName;
    const char* pszTwin;
};
const TName s_aNames[] = {
    { "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", "ggggg" },           // Greek
    { "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB", "cccc" },                       // Cyrillic
    { "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "jjj" },                    // Japanese
    { "emoji-\xF0\x9F\x98\x80", "emoji-ee" },                             // a surrogate pair
    { "cafe\xCC\x81", "cafex" },                                          // a combining accent
    { "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "hhhh" },                       // Hebrew, right to left
};

fs::path U8(const std::string& strUtf8)
{
    return fs::u8path(strUtf8);
}

// The ink of a picture: its pixels that are not the background, cut to
// the smallest rectangle that holds them, as 1 (ink) and 0.
kwtest::TTestImage Ink(const kwtest::TTestImage& coImage, kwtest::TRgb rgbBack)
{
    int nLeft = coImage.Width(), nTop = coImage.Height(), nRight = -1, nBottom = -1;
    for (int y = 0; y < coImage.Height(); ++y)
        for (int x = 0; x < coImage.Width(); ++x)
            if (coImage.At(x, y) != rgbBack) {
                nLeft = std::min(nLeft, x);
                nRight = std::max(nRight, x);
                nTop = std::min(nTop, y);
                nBottom = std::max(nBottom, y);
            }
    if (nRight < 0)
        return kwtest::TTestImage();
    kwtest::TTestImage coInk(nRight - nLeft + 1, nBottom - nTop + 1);
    for (int y = nTop; y <= nBottom; ++y)
        for (int x = nLeft; x <= nRight; ++x)
            coInk.Set(x - nLeft, y - nTop, coImage.At(x, y) != rgbBack ? 1 : 0);
    return coInk;
}

// The text as DrawTextW draws it with the font, black on white.
kwtest::TTestImage DrawnBySystem(const std::string& strText, HFONT hFont)
{
    const int nUnits = MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), -1, nullptr, 0);
    std::wstring wstrText(static_cast<size_t>(nUnits), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), -1, &wstrText[0], nUnits);
    const int nWidth = 900, nHeight = 60;
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO coInfo {};
    coInfo.bmiHeader.biSize = sizeof coInfo.bmiHeader;
    coInfo.bmiHeader.biWidth = nWidth;
    coInfo.bmiHeader.biHeight = -nHeight;
    coInfo.bmiHeader.biPlanes = 1;
    coInfo.bmiHeader.biBitCount = 32;
    void* pvBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &coInfo, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    HGDIOBJ hOldBitmap = SelectObject(hMem, hBitmap);
    HGDIOBJ hOldFont = SelectObject(hMem, hFont);
    RECT rc { 0, 0, nWidth, nHeight };
    FillRect(hMem, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(hMem, RGB(0, 0, 0));
    SetBkMode(hMem, TRANSPARENT);
    DrawTextW(hMem, wstrText.c_str(), -1, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    kwtest::TTestImage coImage(nWidth, nHeight);
    const uint32_t* pulPixels = static_cast<const uint32_t*>(pvBits);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) {
            const uint32_t ul = pulPixels[y * nWidth + x];
            coImage.Set(x, y, kwtest::MakeRgb((ul >> 16) & 0xFF, (ul >> 8) & 0xFF, ul & 0xFF));
        }
    SelectObject(hMem, hOldFont);
    SelectObject(hMem, hOldBitmap);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    return Ink(coImage, kwtest::MakeRgb(255, 255, 255));
}

HFONT FontOf(const KwWnd& coWnd)
{
    return reinterpret_cast<HFONT>(coWnd.GetUsedFont().GetHandle());
}

// Whether the part of the window shows the text exactly as DrawTextW draws
// it with the window's font.
::testing::AssertionResult ShowsText(HWND hWnd, const kwtest::TImageRect& rcPart, const std::string& strText, HFONT hFont)
{
    const kwtest::TTestImage coPart = kwtest::CaptureClient(hWnd).Part(rcPart);
    if (coPart.IsEmpty())
        return ::testing::AssertionFailure() << "nothing captured for " << strText;
    const kwtest::TTestImage coShown = Ink(coPart, coPart.At(coPart.Width() - 1, 0));
    const kwtest::TTestImage coDrawn = DrawnBySystem(strText, hFont);
    const kwtest::TImageDiff coDiff = kwtest::CompareImages(coShown, coDrawn);
    if (coDiff.Identical())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << strText << ": shown " << coShown.Width() << "x" << coShown.Height()
                                         << ", drawn " << coDrawn.Width() << "x" << coDrawn.Height() << ", "
                                         << coDiff.nDiffering << " pixels differ";
}

class KwFileSelNamesGuiTest : public kwtest::TScratchTest {
protected:
    KwFileSelNamesGuiTest() : TScratchTest("names") {}

    KwWFrame* pcoLeftFrame { nullptr };
    KwWFrame* pcoRightFrame { nullptr };
    KwFileSelector* pcoLeft { nullptr };
    KwFileSelector* pcoRight { nullptr };
    std::string strSource;          // "Src": its case must show
    std::string strTarget;          // "dst"

    void SetUp() override
    {
        TScratchTest::SetUp();
        strSource = At("Src");
        strTarget = At("dst");
        fs::create_directories(U8(strTarget));
        for (const TName& coName : s_aNames)
            for (const char* pszName : { coName.pszName, coName.pszTwin }) {
                fs::create_directories(U8(strSource + "\\" + pszName));
                kwtest::WriteFileBytes(strSource + "\\" + pszName + ".txt", pszName);
                kwtest::WriteFileBytes(strSource + "\\" + pszName + "\\in.txt", pszName);
            }
        KwFileSelector::SetBitmapLoader(kwtest::PaintDragPicture);
        pcoLeftFrame = kw25test::OpenFrame("FW_LEFT", KwPoint(10, 40), KwSize(600, 560), "Left");
        pcoRightFrame = kw25test::OpenFrame("FW_RIGHT", KwPoint(630, 40), KwSize(600, 560), "Right");
        pcoLeft = Selector(*pcoLeftFrame);
        pcoRight = Selector(*pcoRightFrame);
        ASSERT_TRUE(pcoLeft->OpenPath(strSource.c_str()));
        ASSERT_TRUE(pcoRight->OpenPath(strTarget.c_str()));
        ASSERT_TRUE(kwtest::BringToForeground(Hwnd(*pcoLeftFrame)));
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        kwtest::ReleaseAllInput();
        for (KwWFrame* pcoFrame : { pcoLeftFrame, pcoRightFrame })
            if (pcoFrame)
                pcoFrame->Destroy();
        kwtest::PumpIdle();
        KwFileSelector::SetBitmapLoader(nullptr);
        TScratchTest::TearDown();
    }
    static KwFileSelector* Selector(KwWFrame& coFrame)
    {
        return kw25test::AddChild(new KwFileSelector("FS_1", KwPoint(0, 0), coFrame.GetClientSize()), coFrame);
    }
    long ListPosition(KwFileSelector& coSelector, const std::string& strName) const
    {
        for (long i = 0; i < coSelector.GetListCount(); ++i)
            if (coSelector.GetListName(i) == strName)
                return i;
        return -1;
    }
    // The middle of the list line of a position (the list shows them all).
    static POINT OnLine(KwFileSelector& coSelector, long lPosition)
    {
        const KwListText& coList = *coSelector.GetList();
        short nLine = 0;
        while (coList.IsLineVisible(nLine) && coList.PosFromLine(nLine) != lPosition)
            ++nLine;
        const KwRect coLine = coList.GetLineRect(nLine);
        return { coLine.Left() + 20, (coLine.Top() + coLine.Bottom()) / 2 };
    }
    // What the progress window showed of its run, read before Close.
    struct TRun {
        bool bAnswered { false };
        std::string strFrom;
        std::string strTo;
        std::vector<std::string> vecLines;
    };
    // Drags, runs the progress window that the drop opens (Start, wait,
    // screenshot, Close) and tells what it showed.
    TRun DragAndCopy(HWND hFrom, POINT ptFrom, const char* pszShot)
    {
        TRun coRun;
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND hWnd) {
            kwtest::PumpIdle();
            auto* pcoProgress = dynamic_cast<KwFileSelProgress*>(KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hWnd)));
            ASSERT_NE(pcoProgress, nullptr);
            for (auto [pszChild, pstrText] : { std::pair { "CW_FROMPATH", &coRun.strFrom }, std::pair { "CW_TOPATH", &coRun.strTo } })
                if (KwWnd* pcoChild = pcoProgress->FindChild(pszChild))
                    if (auto* pcoText = dynamic_cast<KwCntText*>(pcoChild->Content()))
                        *pstrText = static_cast<const char*>(pcoText->GetText());
            ASSERT_TRUE(kwtest::PressButton(hWnd, "Start"));
            const HWND hClose = kwtest::FindChild(hWnd, "Close");
            ASSERT_TRUE(kwtest::PumpUntil([&] { return ::IsWindowEnabled(hClose) != 0; }, 20000));
            kwtest::PumpIdle();
            for (long i = 0; i < pcoProgress->LineCount(); ++i)
                coRun.vecLines.push_back(pcoProgress->Line(i));
            // The first copy line shows its name as the system draws it.
            KwListText& coList = *pcoProgress->GetList();
            for (short nLine = 0; coList.IsLineVisible(nLine); ++nLine) {
                const std::string strLine = pcoProgress->Line(coList.PosFromLine(nLine));
                if (strLine.compare(0, 8, "Copying ") != 0)
                    continue;
                const KwRect coRect = coList.GetLineRect(nLine);
                EXPECT_TRUE(ShowsText(Hwnd(coList), { coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom() },
                                      strLine, FontOf(coList)));
                break;
            }
            kwtest::ScreenshotDesktop(pszShot);
            ASSERT_TRUE(kwtest::PressButton(hWnd, "Close"));
        });
        kwtest::DragOnto(hFrom, ptFrom, Hwnd(*pcoRight->GetTreeWindow()), OnNode(*pcoRight, strTarget));
        coRun.bAnswered = coAnswer.Answered();
        return coRun;
    }
    std::set<std::string> Entries(const std::string& strDir) const
    {
        std::set<std::string> setNames;
        for (const auto& coEntry : fs::directory_iterator(U8(strDir)))
            setNames.insert(coEntry.path().filename().u8string());
        return setNames;
    }
};

} // namespace

TEST_F(KwFileSelNamesGuiTest, ListAndTreeShowEveryNameAsTheSystemDrawsIt)
{
    KwListText& coList = *pcoLeft->GetList();
    KwWChild& coTreeWnd = *pcoLeft->GetTreeWindow();
    KwCntTree& coTree = *pcoLeft->GetTree();
    const short nBox = coTree.GetNodeBoxSize().Width();
    const short nHeight = coTree.GetNodeBoxSize().Height();
    for (const TName& coName : s_aNames) {
        SCOPED_TRACE(coName.pszTwin);
        const std::string strFile = std::string(coName.pszName) + ".txt";
        const long lPosition = ListPosition(*pcoLeft, strFile);
        ASSERT_GE(lPosition, 0) << strFile;
        short nLine = 0;
        while (coList.IsLineVisible(nLine) && coList.PosFromLine(nLine) != lPosition)
            ++nLine;
        ASSERT_TRUE(coList.IsLineVisible(nLine));
        const KwRect coLine = coList.GetLineRect(nLine);
        EXPECT_TRUE(ShowsText(Hwnd(coList), { coLine.Left(), coLine.Top(), coLine.Right(), coLine.Bottom() }, strFile,
                              FontOf(coList)));

        // The node's name starts after its connector and the gap.
        TTreeNode* pcoNode = pcoLeft->FindNode((strSource + "\\" + coName.pszName).c_str());
        ASSERT_NE(pcoNode, nullptr);
        short nDepth = 0;
        for (TTreeNode* pcoUp = pcoNode->GetParentNode(); pcoUp; pcoUp = pcoUp->GetParentNode())
            ++nDepth;
        const int nTextX = (nDepth + 1) * nBox + KwFileSelector::TreeTextGap - coTree.GetLeftOffset();
        const int nTop = static_cast<int>((coTree.LineOfNode(pcoNode) - coTree.GetTopLine()) * nHeight);
        EXPECT_TRUE(ShowsText(Hwnd(coTreeWnd), { nTextX, nTop, coTreeWnd.GetClientSize().Width(), nTop + nHeight },
                              coName.pszName, FontOf(coTreeWnd)));
    }
    kwtest::ScreenshotWindow(Hwnd(*pcoLeftFrame));
}

TEST_F(KwFileSelNamesGuiTest, ClickAndDragCopyExactlyTheFilesClicked)
{
    const HWND hList = Hwnd(*pcoLeft->GetList());
    const std::string strJapanese = std::string(s_aNames[2].pszName) + ".txt";
    ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, ListPosition(*pcoLeft, strJapanese))));
    kwtest::PumpIdle();
    TRun coRun = DragAndCopy(hList, OnLine(*pcoLeft, ListPosition(*pcoLeft, strJapanese)), "one");
    ASSERT_TRUE(coRun.bAnswered);
    EXPECT_EQ(Entries(strTarget), std::set<std::string>({ strJapanese }));
    EXPECT_EQ(kwtest::ReadFileBytes(strTarget + "\\" + strJapanese), s_aNames[2].pszName);
    // The paths keep the case the file system reports.
    EXPECT_EQ(coRun.strFrom, strSource);
    EXPECT_EQ(coRun.strTo, strTarget);
    EXPECT_NE(std::find(coRun.vecLines.begin(), coRun.vecLines.end(), "Copying " + strJapanese + " ... ok"),
              coRun.vecLines.end());

    // All the others, chosen with Ctrl: each copied, none of the twins.
    std::set<std::string> setExpected = { strJapanese };
    ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, ListPosition(*pcoLeft, std::string(s_aNames[0].pszName) + ".txt"))));
    {
        kwtest::THeldModifiers coCtrl(kwtest::ModCtrl);
        for (const TName& coName : s_aNames) {
            if (&coName == &s_aNames[2] || &coName == &s_aNames[0])
                continue;
            ASSERT_TRUE(kwtest::ClickAt(hList, OnLine(*pcoLeft, ListPosition(*pcoLeft, std::string(coName.pszName) + ".txt"))));
        }
    }
    kwtest::PumpIdle();
    for (const TName& coName : s_aNames)
        setExpected.insert(std::string(coName.pszName) + ".txt");
    coRun = DragAndCopy(hList, OnLine(*pcoLeft, ListPosition(*pcoLeft, std::string(s_aNames[0].pszName) + ".txt")), "all");
    ASSERT_TRUE(coRun.bAnswered);
    EXPECT_EQ(Entries(strTarget), setExpected);
    for (const TName& coName : s_aNames) {
        EXPECT_EQ(kwtest::ReadFileBytes(strTarget + "\\" + coName.pszName + ".txt"), coName.pszName);
        if (&coName == &s_aNames[2])
            continue;
        EXPECT_NE(std::find(coRun.vecLines.begin(), coRun.vecLines.end(), "Copying " + std::string(coName.pszName) + ".txt ... ok"),
                  coRun.vecLines.end()) << coName.pszTwin << ::testing::PrintToString(coRun.vecLines);
    }
    kwtest::ScreenshotWindow(Hwnd(*pcoRightFrame), "target");
}

TEST_F(KwFileSelNamesGuiTest, DirectoryDragCopiesTheNamedDirectory)
{
    const std::string strHebrew = s_aNames[5].pszName;
    const TRun coRun = DragAndCopy(Hwnd(*pcoLeft->GetTreeWindow()), OnNode(*pcoLeft, strSource + "\\" + strHebrew), "tree");
    ASSERT_TRUE(coRun.bAnswered);
    EXPECT_EQ(coRun.strFrom, strSource + "\\" + strHebrew);
    EXPECT_EQ(Entries(strTarget), std::set<std::string>({ strHebrew }));
    EXPECT_EQ(kwtest::ReadFileBytes(strTarget + "\\" + strHebrew + "\\in.txt"), strHebrew);
    EXPECT_NE(pcoRight->FindNode((strTarget + "\\" + strHebrew).c_str()), nullptr);
}

// A path of 300 characters: the tree opens down to it, the list shows its
// file, and a drag of it copies it.
TEST_F(KwFileSelNamesGuiTest, DirectoryBeyond260CharactersOpensAndCopies)
{
    std::string strDeep = strSource;
    for (int i = 0; strDeep.size() < 260; ++i)
        strDeep += "\\level-" + std::to_string(i) + "-" + std::string(s_aNames[1].pszName) + "-" + std::string(60, 'a' + i);
    strDeep += "\\" + std::string(s_aNames[2].pszName);
    while (strDeep.size() < 300)
        strDeep += "x";
    ASSERT_GE(strDeep.size(), 300u);
    fs::create_directories(U8(strDeep));
    kwtest::WriteFileBytes(strDeep + "\\deep.txt", "deep");
    ASSERT_TRUE(pcoLeft->OpenPath(strDeep.c_str()));
    kwtest::PumpIdle();
    EXPECT_EQ(static_cast<const char*>(pcoLeft->CurrentDirectory()), strDeep);
    EXPECT_EQ(pcoLeft->GetListCount(), 1);
    EXPECT_EQ(pcoLeft->GetListName(0), "deep.txt");
    kwtest::ScreenshotWindow(Hwnd(*pcoLeftFrame), "deep");

    const TRun coRun = DragAndCopy(Hwnd(*pcoLeft->GetTreeWindow()), OnNode(*pcoLeft, strDeep), "deep-copy");
    ASSERT_TRUE(coRun.bAnswered);
    const std::string strLast = strDeep.substr(strDeep.rfind('\\') + 1);
    EXPECT_EQ(kwtest::ReadFileBytes(strTarget + "\\" + strLast + "\\deep.txt"), "deep");
}
