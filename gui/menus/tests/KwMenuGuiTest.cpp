#include "KwTestApp.h"

#include "KwMenu.h"
#include "KwMenuItem.h"
#include "KwResFileHelper.h"
#include "KwWFrame.h"
#include "TFileHdl.h"
#include "TResFileCompile.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

// The frame class that menudemo.txt names; its one link function records
// which item sent the command.
class TMenuDemoFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TMenuDemoFrame, KwWFrame)
public:
    TMenuDemoFrame() = default;
    std::vector<std::string> coCommands;
    int LnkCommand(TMvcParam& coParam)
    {
        coCommands.push_back(static_cast<const char*>(static_cast<KwEvent&>(coParam).GetBaseObject()->GetResId()));
        return 1;
    }
};

const KwMemberLinkArray s_aLinks[] = {
    { "FW_MENUDEMO", "TMenuDemoFrame::LnkCommand", static_cast<TMvcHandler>(&TMenuDemoFrame::LnkCommand) },
    { nullptr, nullptr, nullptr },
};

// The point in the middle of a menu entry, on the screen.
POINT EntryMiddle(HWND hWnd, HMENU hMenu, int nPosition)
{
    RECT rc {};
    ::GetMenuItemRect(hWnd, hMenu, static_cast<UINT>(nPosition), &rc);
    return POINT { (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 };
}

// Input into a menu's own loop: sent without waiting, since the loop that
// takes it is the one the test runs inside.
void SendRaw(std::vector<INPUT> coInput)
{
    ::SendInput(static_cast<UINT>(coInput.size()), coInput.data(), sizeof(INPUT));
}

INPUT Key(WORD wVk, bool bUp)
{
    INPUT in {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = wVk;
    in.ki.dwFlags = (bUp ? KEYEVENTF_KEYUP : 0) | (wVk >= VK_LEFT && wVk <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

void ClickRaw(POINT ptScreen)
{
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    INPUT aIn[2] {};
    aIn[0].type = aIn[1].type = INPUT_MOUSE;
    aIn[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    aIn[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendRaw({ aIn[0], aIn[1] });
}

kwtest::TWindowMatch AnyMenu()
{
    return kwtest::WindowTitled(nullptr, "#32768");
}

// The frame and the context menu of menudemo.txt, compiled into a resource
// file and read with the application's link table.
class KwMenuGuiTest : public ::testing::Test {
protected:
    kwtest::TResTempDir coDir { "KwMenuGuiTest" };
    TMenuDemoFrame* pcoFrame { nullptr };
    KwPopupMenu* pcoContext { nullptr };

    void SetUp() override
    {
        kw25test::KwTestApp::Instance().AddMLA(s_aLinks);
        std::ifstream coSource(KW_MENUDEMO_TEXT);
        std::stringstream coText;
        coText << coSource.rdbuf();
        TResFileCompile coCompile;
        ASSERT_TRUE(coCompile.Compile(coText.str().data(), coText.str().size())) << coCompile.GetError();
        std::ofstream(coDir.File("menudemo.kwt"), std::ios::binary)
            .write(reinterpret_cast<const char*>(coCompile.GetData()), static_cast<std::streamsize>(coCompile.GetSize()));
        TFileHdl coHdl;
        ASSERT_EQ(coHdl.OpenRead(coDir.File("menudemo.kwt").c_str(), 0, nullptr), TFileHdl::Success);
        TResource* pcoRead = coHdl.LoadResource("FW_MENUDEMO", nullptr, nullptr, 0);
        ASSERT_TRUE(pcoRead && pcoRead->IsClass("TMenuDemoFrame"));
        pcoFrame = static_cast<TMenuDemoFrame*>(pcoRead);
        m_hFrame = pcoFrame->GetHandle();
        TResource* pcoPopup = coHdl.LoadResource("PM_CONTEXT", nullptr, nullptr, 0);
        ASSERT_TRUE(pcoPopup && pcoPopup->IsClass("KwPopupMenu"));
        pcoContext = static_cast<KwPopupMenu*>(pcoPopup);
        pcoFrame->StartDirect(4);
        ASSERT_TRUE(kwtest::BringToForeground(Hwnd(*pcoFrame)));
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        if (pcoContext)
            pcoContext->Destroy();
        if (KwWnd* pcoWnd = KwWnd::SearchWindow(m_hFrame))
            pcoWnd->Destroy();
        kw25test::KwTestApp::Instance().RemoveMLA(s_aLinks);
        kwtest::PumpIdle();
    }
    HMENU Bar() const { return reinterpret_cast<HMENU>(pcoFrame->GetMenu()->GetHandle()); }
    HMENU ViewMenu() const { return reinterpret_cast<HMENU>(KwMenu::FindPopup("PM_VIEW")->GetHandle()); }
    int IsChecked(const char* pszName) const { return KwMenu::IsChecked(pszName); }

    KwHandle m_hFrame { 0 };
};

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TMenuDemoFrame, KwWFrame, "test")

TEST_F(KwMenuGuiTest, MenuReadFromAResourceFileChoosesByMouse)
{
    const HWND hFrame = Hwnd(*pcoFrame);
    ASSERT_EQ(::GetMenu(hFrame), Bar());
    ASSERT_EQ(::GetMenuItemCount(Bar()), 2);
    char szText[64] {};
    ::GetMenuStringA(Bar(), 1, szText, sizeof szText, MF_BYPOSITION);
    EXPECT_STREQ(szText, "&View");
    KwMenu::Check("ID_SMALL");
    KwMenu::Check("ID_LIST");

    // Open View with the mouse, look at it, click Large icons in it; the
    // entry has its place on the screen only while the menu is open.
    auto coAnswer = kwtest::AnswerWhen(AnyMenu(), [&](HWND) {
        kwtest::ScreenshotDesktop("open");
        ClickRaw(EntryMiddle(hFrame, ViewMenu(), 1));
    });
    ASSERT_TRUE(kwtest::MoveMouse(EntryMiddle(hFrame, Bar(), 1)));
    ASSERT_TRUE(kwtest::Click());
    ASSERT_TRUE(kwtest::PumpUntil([&] { return !pcoFrame->coCommands.empty(); }, 3000));
    EXPECT_TRUE(coAnswer.Answered());
    EXPECT_EQ(pcoFrame->coCommands, std::vector<std::string>({ "ID_LARGE" }));
    // The toggle group of the view modes: Small gave way, List stayed.
    EXPECT_FALSE(IsChecked("ID_SMALL"));
    EXPECT_TRUE(IsChecked("ID_LARGE"));
    EXPECT_TRUE(IsChecked("ID_LIST"));
}

TEST_F(KwMenuGuiTest, KeyboardSkipsSeparatorsAndChoosesWithReturn)
{
    // Alt+V opens View on its first entry; two steps down reach the
    // separator, which moves the highlight on to Details.
    auto coDown = kwtest::AnswerWhen(AnyMenu(), [](HWND) {
        SendRaw({ Key(VK_DOWN, false), Key(VK_DOWN, true), Key(VK_DOWN, false), Key(VK_DOWN, true) });
    });
    auto coReturn = kwtest::AnswerWhen(
        [&](HWND hWnd) { return AnyMenu()(hWnd) && (::GetMenuState(ViewMenu(), 3, MF_BYPOSITION) & MF_HILITE); },
        [](HWND) {
            kwtest::ScreenshotDesktop("skipped");
            SendRaw({ Key(VK_RETURN, false), Key(VK_RETURN, true) });
        });
    ASSERT_TRUE(kwtest::PressKey('V', kwtest::ModAlt));
    ASSERT_TRUE(kwtest::PumpUntil([&] { return !pcoFrame->coCommands.empty(); }, 3000));
    EXPECT_TRUE(coReturn.Answered());
    EXPECT_EQ(pcoFrame->coCommands, std::vector<std::string>({ "ID_DETAILS" }));
    EXPECT_TRUE(IsChecked("ID_DETAILS"));
    // Status bar is a select item: each choice flips it.
    KwMenuItem* pcoStatus = KwMenu::FindItem("ID_STATUS");
    auto coStatus = kwtest::AnswerWhen(AnyMenu(), [](HWND) { SendRaw({ Key('S', false), Key('S', true) }); });
    ASSERT_TRUE(kwtest::PressKey('V', kwtest::ModAlt));
    ASSERT_TRUE(kwtest::PumpUntil([&] { return pcoFrame->coCommands.size() == 2; }, 3000));
    EXPECT_EQ(pcoFrame->coCommands.back(), "ID_STATUS");
    EXPECT_TRUE(pcoStatus->IsChecked());
}

TEST_F(KwMenuGuiTest, ContextMenuFromTheResourceFileTracksAtThePoint)
{
    const HWND hFrame = Hwnd(*pcoFrame);
    POINT ptAt { 60, 50 };
    ::ClientToScreen(hFrame, &ptAt);
    RECT rcPaste {};
    RECT rcMenu {};
    auto coAnswer = kwtest::AnswerWhen(AnyMenu(), [&](HWND hMenuWnd) {
        ::GetWindowRect(hMenuWnd, &rcMenu);
        // Wine places a tracked popup's entries relative to the window
        // given here; without one, relative to the menu's own window.
        ::GetMenuItemRect(nullptr, reinterpret_cast<HMENU>(pcoContext->GetHandle()), 1, &rcPaste);
        kwtest::ScreenshotDesktop("context");
        ClickRaw(POINT { (rcPaste.left + rcPaste.right) / 2, (rcPaste.top + rcPaste.bottom) / 2 });
    });
    ASSERT_EQ(pcoContext->Track(KwPoint(static_cast<short>(ptAt.x), static_cast<short>(ptAt.y)), *pcoFrame, 0), 1);
    ASSERT_TRUE(kwtest::PumpUntil([&] { return !pcoFrame->coCommands.empty(); }, 3000));
    EXPECT_EQ(pcoFrame->coCommands, std::vector<std::string>({ "ID_PASTE" }));
    // The menu opened with its top left corner at the point.
    EXPECT_EQ(rcMenu.left, ptAt.x);
    EXPECT_EQ(rcMenu.top, ptAt.y);
    EXPECT_EQ(pcoContext->GetParentWindow(), pcoFrame);
}
