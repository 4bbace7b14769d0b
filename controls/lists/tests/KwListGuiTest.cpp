#include "KwTestApp.h"

#include "KwListText.h"
#include "KwSysScrollBar.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

using kw25test::Hwnd;

namespace {

const COLORREF s_crSelection = RGB(128, 0, 128);   // colour number 5

// The owner of a list: the text of each line on demand, and what the
// list reported.
class TListOwner : public TDynBase {
public:
    std::vector<const char*> coNames;        // the lines, or "Line %06lu" without
    unsigned long ulZebra { ~0UL };          // the one line "Zebra" among those
    std::set<unsigned long> coAsked;
    std::vector<unsigned long> coCommands;
    KwListText* pcoList { nullptr };

    int LnkGetText(TMvcParam& coParam)
    {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        coAsked.insert(pcoEvent->Position());
        if (pcoEvent->Position() == ulZebra)
            pcoList->SetListBoxText("Zebra");
        else if (coNames.empty())
            pcoList->SetListBoxTextFt("Line %06lu", pcoEvent->Position());
        else
            pcoList->SetListBoxText(coNames[pcoEvent->Position()]);
        return 1;
    }
    int LnkCommand(TMvcParam& coParam)
    {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        coCommands.push_back(pcoEvent->Position());
        return 1;
    }
};

class KwListGuiTest : public ::testing::Test {
protected:
    TListOwner coOwner;
    KwWFrame* pcoFrame { nullptr };
    KwListText* pcoList { nullptr };
    KwHandle m_hFrame { 0 };

    KwListText* Open(unsigned long ulRange, unsigned short unLines = 10)
    {
        pcoFrame = kw25test::OpenFrame("FW_LIST", KwPoint(100, 100), KwSize(320, 260), "List");
        m_hFrame = pcoFrame->GetHandle();
        pcoList = new KwListText("LB_LINES", KwPoint(10, 10), 220, unLines);
        coOwner.pcoList = pcoList;
        pcoList->MVC().SetLink("KW_LINK_LISTGETTEXT", &coOwner, &TListOwner::LnkGetText);
        pcoList->MVC().SetLink("KW_LINK_LISTCOMMAND", &coOwner, &TListOwner::LnkCommand);
        pcoList->UseTrackEvent(1);
        kw25test::AddChild(pcoList, *pcoFrame);
        pcoList->SetRange(ulRange, 1);
        kwtest::PumpIdle();
        return pcoList;
    }
    void TearDown() override
    {
        if (KwWnd* pcoOpen = KwWnd::SearchWindow(m_hFrame))
            pcoOpen->Destroy();
        kwtest::PumpIdle();
    }
    HWND List() const { return Hwnd(*pcoList); }
    POINT LinePoint(short nLine) const
    {
        const KwRect coLine = pcoList->GetLineRect(nLine);
        return POINT { coLine.Left() + 20, (coLine.Top() + coLine.Bottom()) / 2 };
    }
    // The wheel turned over the list by nDelta (120 a notch).
    void Wheel(int nDelta)
    {
        INPUT in {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(nDelta);
        ASSERT_EQ(::SendInput(1, &in, sizeof in), 1u);
        kwtest::PumpIdle();
    }
    // Press, moves and release given at once: the scroll bar tracks the
    // thumb in a loop of its own, which takes them from the queue.
    void DragAtOnce(HWND hWnd, POINT ptFrom, POINT ptTo, int nSteps)
    {
        std::vector<INPUT> coInput;
        const int nWidth = ::GetSystemMetrics(SM_CXSCREEN);
        const int nHeight = ::GetSystemMetrics(SM_CYSCREEN);
        auto fnAt = [&](POINT pt, DWORD ulButton) {
            ::ClientToScreen(hWnd, &pt);
            INPUT in {};
            in.type = INPUT_MOUSE;
            in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(pt.x) * 65536 + 32768) / nWidth);
            in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(pt.y) * 65536 + 32768) / nHeight);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | ulButton;
            coInput.push_back(in);
        };
        fnAt(ptFrom, MOUSEEVENTF_LEFTDOWN);
        for (int i = 1; i <= nSteps; ++i)
            fnAt(POINT { ptFrom.x + (ptTo.x - ptFrom.x) * i / nSteps, ptFrom.y + (ptTo.y - ptFrom.y) * i / nSteps }, 0);
        fnAt(ptTo, MOUSEEVENTF_LEFTUP);
        ASSERT_EQ(::SendInput(static_cast<UINT>(coInput.size()), coInput.data(), sizeof(INPUT)), coInput.size());
        kwtest::PumpUntil([] { return HIWORD(::GetQueueStatus(QS_INPUT)) == 0; });
        kwtest::PumpIdle();
    }
};

} // namespace

TEST_F(KwListGuiTest, HundredThousandLinesFollowKeysAndAskOnlyForVisibleLines)
{
    Open(100000);
    EXPECT_EQ(coOwner.coAsked, (std::set<unsigned long> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    ASSERT_TRUE(kwtest::ClickAt(List(), LinePoint(0)));
    EXPECT_EQ(::GetFocus(), List());
    EXPECT_EQ(kwtest::ClientPixel(List(), POINT { 2, LinePoint(0).y }), s_crSelection);
    const struct { WORD wVk; unsigned long ulCurrent; long lSelected; } aKeys[] = {
        { VK_DOWN, 0, 1 }, { VK_NEXT, 0, 9 }, { VK_NEXT, 10, 19 }, { VK_END, 99990, 99999 }, { VK_UP, 99990, 99998 },
        { VK_PRIOR, 99990, 99990 }, { VK_PRIOR, 99980, 99980 }, { VK_HOME, 0, 0 },
    };
    for (const auto& k : aKeys) {
        ASSERT_TRUE(kwtest::PressKey(k.wVk));
        EXPECT_EQ(pcoList->GetCurrentPos(), k.ulCurrent) << k.wVk;
        EXPECT_EQ(pcoList->GetCurrentSel(), k.lSelected) << k.wVk;
    }
    coOwner.coAsked.clear();
    ASSERT_TRUE(kwtest::PressKey(VK_END));
    EXPECT_EQ(coOwner.coAsked, (std::set<unsigned long> { 99990, 99991, 99992, 99993, 99994, 99995, 99996, 99997, 99998, 99999 }));
    ASSERT_TRUE(kwtest::PressKey(VK_RETURN));
    EXPECT_EQ(coOwner.coCommands, (std::vector<unsigned long> { 99999 }));
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

TEST_F(KwListGuiTest, MouseSelectsDragsBeyondTheEdgeAndDoubleClickCommands)
{
    Open(100000);
    pcoList->SetCurrentPos(500, 1);
    ASSERT_TRUE(kwtest::ClickAt(List(), LinePoint(3)));
    EXPECT_EQ(pcoList->GetCurrentSel(), 503);
    ASSERT_TRUE(kwtest::Drag(List(), LinePoint(1), LinePoint(6), 5));
    EXPECT_EQ(pcoList->GetCurrentSel(), 506);
    ASSERT_TRUE(kwtest::DoubleClickAt(List(), LinePoint(6)));
    EXPECT_EQ(coOwner.coCommands, (std::vector<unsigned long> { 506 }));

    // Held below the lines, the list scrolls by itself every 60 ms.
    ASSERT_TRUE(kwtest::MoveMouse(List(), LinePoint(8)));
    ASSERT_TRUE(kwtest::MouseDown());
    ASSERT_TRUE(kwtest::MoveMouse(List(), POINT { 40, pcoList->GetDataRect().Bottom() + 30 }));
    kwtest::PumpFor(400);
    ASSERT_TRUE(kwtest::MouseUp());
    const unsigned long ulAfter = pcoList->GetCurrentPos();
    EXPECT_GE(ulAfter, 503u);
    EXPECT_LE(ulAfter, 510u);
    EXPECT_EQ(pcoList->GetCurrentSel(), pcoList->GetLastVisible());
    kwtest::PumpFor(200);
    EXPECT_EQ(pcoList->GetCurrentPos(), ulAfter);   // released: no more scrolling
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(KwListGuiTest, WheelThumbAndArrowsScroll)
{
    Open(100000);
    ASSERT_TRUE(kwtest::ClickAt(List(), LinePoint(0)));
    Wheel(-3 * WHEEL_DELTA);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(pcoList->GetCurrentPos(), 6u);   // three lines a notch

    KwSysScrollBar* pcoBar = pcoList->GetScrollBar();
    ASSERT_NE(pcoBar, nullptr);
    const HWND hBar = Hwnd(*pcoBar);
    RECT rcBar;
    ::GetClientRect(hBar, &rcBar);
    const int nArrow = ::GetSystemMetrics(SM_CYVSCROLL);
    const int nX = rcBar.right / 2;
    ASSERT_TRUE(kwtest::ClickAt(hBar, POINT { nX, rcBar.bottom - nArrow / 2 }));
    EXPECT_EQ(pcoList->GetCurrentPos(), 7u);
    ASSERT_TRUE(kwtest::ClickAt(hBar, POINT { nX, rcBar.bottom - nArrow - 4 }));
    EXPECT_EQ(pcoList->GetCurrentPos(), 17u);

    // The thumb: from the top to the middle of its track.
    pcoList->SetCurrentPos(0, 1);
    kwtest::PumpIdle();
    const int nTrack = rcBar.bottom - 2 * nArrow;
    DragAtOnce(hBar, POINT { nX, nArrow + 3 }, POINT { nX, nArrow + 3 + nTrack / 2 }, 6);
    const unsigned long ulMiddle = pcoList->GetCurrentPos();
    EXPECT_GT(ulMiddle, 40000u);
    EXPECT_LT(ulMiddle, 80000u);
    EXPECT_EQ(pcoBar->GetThumbPos(), static_cast<short>((ulMiddle * 16384.0) / 99990 + 0.5));
    EXPECT_TRUE(coOwner.coAsked.count(ulMiddle));
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

TEST_F(KwListGuiTest, TypeAheadWrapsAcrossTheEndAndStops)
{
    coOwner.coNames = { "apple", "Banana", "cherry", "date", "elder", "fig", "grape", "Apricot", "kiwi", "lemon" };
    Open(static_cast<unsigned long>(coOwner.coNames.size()), 4);
    pcoList->SetCurrentPos(6, 1);
    ASSERT_TRUE(kwtest::ClickAt(List(), LinePoint(3)));
    ASSERT_EQ(pcoList->GetCurrentSel(), 9);
    ASSERT_TRUE(kwtest::TypeText("a"));
    EXPECT_EQ(pcoList->GetCurrentSel(), 0);
    EXPECT_EQ(pcoList->GetCurrentPos(), 0u);
    ASSERT_TRUE(kwtest::TypeText("a"));
    coOwner.coAsked.clear();
    ASSERT_TRUE(kwtest::TypeText("z"));
    EXPECT_EQ(pcoList->GetCurrentSel(), 7);
    EXPECT_EQ(coOwner.coAsked.size(), coOwner.coNames.size());
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}

// Through many lines the search goes on between messages, a slice each
// tick of its timer, and selects the one line far away that begins with
// the key.
TEST_F(KwListGuiTest, TypeAheadThroughManyLinesGoesOnBetweenMessages)
{
    coOwner.ulZebra = 98765;
    Open(100000);
    ASSERT_TRUE(kwtest::ClickAt(List(), LinePoint(2)));
    ASSERT_TRUE(kwtest::TypeText("z"));
    EXPECT_TRUE(kwtest::PumpUntil([&] { return pcoList->GetCurrentSel() == 98765; }, 30000));
    EXPECT_FALSE(pcoList->IsSearching());
    EXPECT_TRUE(pcoList->IsPosVisible(98765));
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}
