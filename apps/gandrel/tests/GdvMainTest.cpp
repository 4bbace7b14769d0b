// Gandrel's start-up run in the test program with its application object
// (GdvStartUp, as the program's Main runs it): gandrel.kwt is found in
// the program's directory, the path entry the test application points at
// the build's bin/. Then the main frame's layout, the about box, the
// progress window read from "FW_PROGRESS" and the drag pictures.

#include "KwTestApp.h"

#include "GdvMain.h"
#include "GdvStartUp.h"
#include "KwBitmap.h"
#include "KwFileSelPictures.h"
#include "KwFileSelProgress.h"
#include "KwFileSelector.h"
#include "KwPushButton.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>

using kw25test::Hwnd;

namespace {

struct TTextSearch {
    std::string strText;
    bool bPart;
    int nFound;
};

BOOL CALLBACK CountText(HWND hWnd, LPARAM lParam)
{
    auto* pcoSearch = reinterpret_cast<TTextSearch*>(lParam);
    const std::string strText = kwtest::WindowText(hWnd);
    if (pcoSearch->bPart ? strText.find(pcoSearch->strText) != std::string::npos : strText == pcoSearch->strText)
        ++pcoSearch->nFound;
    return TRUE;
}

// How many descendants of the window carry the text (with bPart: have it
// in theirs).
int ChildrenWithText(HWND hWnd, const char* pszText, bool bPart = false)
{
    TTextSearch coSearch { pszText, bPart, 0 };
    ::EnumChildWindows(hWnd, &CountText, reinterpret_cast<LPARAM>(&coSearch));
    return coSearch.nFound;
}

bool PressButton(HWND hDialog, const char* pszText)
{
    const HWND hButton = kwtest::FindChild(hDialog, pszText);
    RECT rc {};
    ::GetClientRect(hButton, &rc);
    return hButton && kwtest::ClickAt(hButton, { rc.right / 2, rc.bottom / 2 });
}

// The colour of a picture's pixel, read through a memory device context.
COLORREF PixelOf(const KwBitmap& coBitmap, int x, int y)
{
    const HDC hDC = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HBITMAP>(coBitmap.GetHandle()));
    const COLORREF rgb = ::GetPixel(hDC, x, y);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    return rgb;
}

class GdvMainTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        kw25test::KwTestApp& coApp = kw25test::KwTestApp::Instance();
        // The system's default, so that the start-up's own mode shows.
        ::SetErrorMode(0);
        s_nStarted = GdvStartUp(coApp);
        s_pcoMain = dynamic_cast<GdvMain*>(coApp.GetMainWindow());
        if (s_pcoMain)
            kwtest::BringToForeground(Hwnd(*s_pcoMain));
        kwtest::PumpIdle();
    }
    void SetUp() override { ASSERT_TRUE(s_nStarted && s_pcoMain) << "the start-up failed"; }

    static KwWnd& Selector(const char* pszName) { return *s_pcoMain->FindChildPtr(pszName); }

    static int s_nStarted;
    static GdvMain* s_pcoMain;
};
int GdvMainTest::s_nStarted = 0;
GdvMain* GdvMainTest::s_pcoMain = nullptr;

} // namespace

TEST_F(GdvMainTest, StartsWithTwoSelectorsSideBySide)
{
    const KwSize coClient = s_pcoMain->GetClientSize();
    auto* pcoLeft = dynamic_cast<KwFileSelector*>(s_pcoMain->FindChildPtr("FS_1"));
    auto* pcoRight = dynamic_cast<KwFileSelector*>(s_pcoMain->FindChildPtr("FS_2"));
    ASSERT_TRUE(pcoLeft && pcoRight);
    EXPECT_EQ(pcoLeft->GetPos(), KwPoint(0, 0));
    EXPECT_EQ(pcoLeft->GetSize(), KwSize(static_cast<short>(coClient.Width() / 2), coClient.Height()));
    EXPECT_EQ(pcoRight->GetPos(), KwPoint(static_cast<short>(coClient.Width() / 2), 0));
    EXPECT_EQ(pcoRight->GetSize(), pcoLeft->GetSize());
    kwtest::ScreenshotWindow(Hwnd(*s_pcoMain));
}

// Half rounded down for both: the rightmost column stays uncovered.
TEST_F(GdvMainTest, AnOddWidthGivesBothSelectorsTheSameWidth)
{
    s_pcoMain->EvSize(0, KwSize(301, 200));
    EXPECT_EQ(Selector("FS_1").GetSize(), KwSize(150, 200));
    EXPECT_EQ(Selector("FS_2").GetPos(), KwPoint(150, 0));
    EXPECT_EQ(Selector("FS_2").GetSize(), KwSize(150, 200));
    s_pcoMain->EvSize(0, s_pcoMain->GetClientSize());
}

// The about box runs modally over the main window; OK ends it and the box
// is gone.
TEST_F(GdvMainTest, AboutRunsModallyUntilOk)
{
    bool bMainDisabled = false;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("About Gandrel"), [&](HWND hWnd) {
        kwtest::PumpIdle();
        bMainDisabled = !::IsWindowEnabled(Hwnd(*s_pcoMain));
        kwtest::ScreenshotWindow(hWnd, "about");
        EXPECT_TRUE(PressButton(hWnd, "OK"));
    });
    TMvcParam coParam(*s_pcoMain, 0, 0);
    EXPECT_EQ(s_pcoMain->LnkCommandAbout(coParam), 0);
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_TRUE(bMainDisabled);
    EXPECT_TRUE(::IsWindowEnabled(Hwnd(*s_pcoMain)));
    kw25test::KwTestApp& coApp = kw25test::KwTestApp::Instance();
    for (short i = 0; i < coApp.CurrentAppFrameCount(); ++i)
        EXPECT_NE(static_cast<const char*>(coApp.GetAppFrame(i)->GetResId()), std::string("FW_ABOUT"));
}

// Help/Keys lists every key beside what it does; OK ends it.
TEST_F(GdvMainTest, TheKeysRunModallyUntilOk)
{
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Gandrel's keys"), [&](HWND hWnd) {
        kwtest::PumpIdle();
        for (const char* pszKey : { "F5", "Ctrl+R", "Backspace", "Space", "F4" })
            if (!ChildrenWithText(hWnd, pszKey, true))
                ADD_FAILURE() << pszKey << " is not in the keys";
        kwtest::ScreenshotWindow(hWnd, "keys");
        EXPECT_TRUE(PressButton(hWnd, "OK"));
    });
    TMvcParam coParam(*s_pcoMain, 0, 0);
    EXPECT_EQ(s_pcoMain->LnkCommandKeys(coParam), 0);
    EXPECT_TRUE(coAnswer.Answered());
    kw25test::KwTestApp& coApp = kw25test::KwTestApp::Instance();
    for (short i = 0; i < coApp.CurrentAppFrameCount(); ++i)
        EXPECT_NE(static_cast<const char*>(coApp.GetAppFrame(i)->GetResId()), std::string("FW_KEYS"));
}

// A drive whose medium went (or that went itself) answers every file call
// of the selectors with an error, never with the system's box asking for a
// disk: one box for each of those calls would be a storm. Wine never shows
// such a box, so the process's mode after the start-up is what can be seen.
TEST_F(GdvMainTest, DrivesThatAreNotReadyRaiseNoSystemBoxes)
{
    EXPECT_NE(::GetErrorMode() & SEM_FAILCRITICALERRORS, 0u);
}

// The window is the resource's (a sizing frame, Start the default button)
// and EvInit made none of its children a second time.
TEST_F(GdvMainTest, TheProgressWindowComesFromItsResource)
{
    KwFileSelProgress coProgress(s_pcoMain);
    bool bSizing = false;
    bool bStartIsDefault = false;
    int anCounts[5] {};
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy"), [&](HWND hWnd) {
        kwtest::PumpIdle();
        bSizing = (::GetWindowLongA(hWnd, GWL_STYLE) & WS_THICKFRAME) != 0;
        bStartIsDefault = coProgress.GetStart() && coProgress.GetDefaultPushButton() == coProgress.GetStart();
        int i = 0;
        for (const char* pszText : { "&Start", "&Cancel", "Close", "Save lo&g", "&List only" })
            anCounts[i++] = ChildrenWithText(hWnd, pszText);
        kwtest::ScreenshotWindow(hWnd, "progress");
        EXPECT_TRUE(PressButton(hWnd, "Close"));
    });
    coProgress.RunModal();
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_TRUE(bSizing);
    EXPECT_TRUE(bStartIsDefault);
    for (int nCount : anCounts)
        EXPECT_EQ(nCount, 1);
}

// Both files hold the pictures; the program's own (magenta around the
// sign) win over the standard file's (light gray).
TEST_F(GdvMainTest, DragPicturesComeFromTheProgramsFile)
{
    for (const char* pszId : { "BMP_DROPMP", "BMP_NODROP" }) {
        KwBitmap coPicture;
        ASSERT_TRUE(KwFileSelLoadAppPicture(pszId, coPicture)) << pszId;
        EXPECT_EQ(coPicture.GetSize(), KwSize(32, 32));
        // The sign at the top left (drawn beside the pointer), the rest
        // transparent.
        EXPECT_NE(PixelOf(coPicture, 8, 8), RGB(255, 0, 255)) << pszId << ": no sign at the top left";
        for (const POINT pt : { POINT { 0, 0 }, POINT { 16, 16 }, POINT { 31, 31 } })
            EXPECT_EQ(PixelOf(coPicture, pt.x, pt.y), RGB(255, 0, 255)) << pszId << " at " << pt.x << "," << pt.y;
    }
    KwBitmap coNone;
    EXPECT_FALSE(KwFileSelLoadAppPicture("BMP_NO_SUCH_PICTURE", coNone));
}
