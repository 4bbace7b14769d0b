#include "KwApp.h"
#include "KwCtlFakeSystem.h"
#include "KwListText.h"
#include "KwStoredCopy.h"
#include "KwSysScrollBar.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Virtual keys and messages the tests send.
enum : unsigned { VkPrior = 0x21, VkNext = 0x22, VkEnd = 0x23, VkHome = 0x24, VkUp = 0x26, VkDown = 0x28, VkDelete = 0x2E };
enum : unsigned { MsgKeyDown = 0x0100, MsgChar = 0x0102, MsgPaint = 0x000F, MsgVScroll = 0x0115 };
// One line of the default font in the recording system: 13 + 1 pixels.
const short s_nLine = 14;

struct TEvent {
    std::string strType;
    unsigned long ulPos;
    unsigned short unLine;
};

class KwCtrlListTest : public ::testing::Test {
protected:
    KwCtlFakeSystem coSys;
    KwApp coApp { "KwCtrlListTest", nullptr, 0 };
    KwWFrame* pcoFrame { nullptr };
    KwTestView coView;
    std::vector<TEvent> coEvents;

    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_LIST");
        pcoFrame->SysCreate(nullptr);
        coView.fnAction = [this](TMvcParam& coParam) {
            const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
            coEvents.push_back({ static_cast<const char*>(coParam.EventType()), pcoEvent ? pcoEvent->Position() : 0,
                                 pcoEvent ? pcoEvent->Line() : static_cast<unsigned short>(0) });
            return coView.nAnswer;
        };
    }
    void TearDown() override { pcoFrame->Destroy(); }

    // A list of ulRange positions showing ten lines, 200 pixels wide.
    template <class L = KwListText>
    L* MakeList(unsigned long ulRange, unsigned short unLines = 10)
    {
        L* pcoList = new L("LB_TEST", KwPoint(0, 0), 200, unLines);
        EXPECT_EQ(pcoList->SysCreate(pcoFrame), 1);
        pcoList->SetRange(ulRange, 0);
        return pcoList;
    }
    void Link(KwCtrlList& coList, const char* pszName)
    {
        coList.MVC().SetLink(pszName, &coView, &KwTestView::Link);
    }
    void Send(const KwWnd& coWnd, unsigned unMsg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
    {
        coSys.Send(coWnd.GetHandle(), unMsg, wParam, lParam);
    }
};

} // namespace

TEST_F(KwCtrlListTest, CreationSnapsTheHeightToWholeLinesBesideTheScrollBar)
{
    KwCtrlList* pcoList = MakeList<KwCtrlList>(100);
    EXPECT_EQ(pcoList->GetVisibleLines(), 10);
    EXPECT_EQ(pcoList->GetSize(), KwSize(200, 10 * s_nLine + 2));
    EXPECT_EQ(pcoList->GetDataRect(), KwRect(1, 1, 183, 141));
    EXPECT_EQ(pcoList->GetLineRect(2), KwRect(1, 29, 183, 43));
    ASSERT_NE(pcoList->GetScrollBar(), nullptr);
    EXPECT_EQ(pcoList->GetScrollBar()->GetRect(), KwRect(183, 1, 199, 141));

    KwCtrlList* pcoByHeight = new KwCtrlList("LB_HEIGHT", KwPoint(0, 200), KwSize(120, 50));
    pcoByHeight->SysCreate(pcoFrame);
    EXPECT_EQ(pcoByHeight->GetVisibleLines(), 3);
    EXPECT_EQ(pcoByHeight->Resize(KwSize(120, 10), 0), 0);
    EXPECT_EQ(pcoByHeight->Resize(KwSize(120, 80), 0), 1);
    EXPECT_EQ(pcoByHeight->GetSize().Height(), 5 * s_nLine + 2);
}

TEST_F(KwCtrlListTest, ScrollBarScalesRangesBeyondItsSteps)
{
    const struct { unsigned long ulRange; short nThumb; short nMax; unsigned long ulCurrent; } aCases[] = {
        { 100000, 8192, 16384, 49995 }, { 100000, 16384, 16384, 99990 }, { 16394, 100, 16384, 100 },
        { 30, 7, 20, 7 },              { 5, 3, 0, 0 },                  { 10000000, 1, 16384, 610 },
    };
    for (const auto& c : aCases) {
        KwCtrlList* pcoList = MakeList<KwCtrlList>(c.ulRange);
        const KwHandle hBar = pcoList->GetScrollBar()->GetHandle();
        Send(*pcoList, MsgVScroll, 4 | (static_cast<unsigned>(c.nThumb) << 16), static_cast<std::intptr_t>(hBar));
        EXPECT_EQ(coSys.coBars[hBar].nMax, c.nMax) << c.ulRange;
        EXPECT_EQ(pcoList->GetCurrentPos(), c.ulCurrent) << c.ulRange;
        pcoList->Destroy();
    }
    KwCtrlList* pcoList = MakeList<KwCtrlList>(100);
    const KwHandle hBar = pcoList->GetScrollBar()->GetHandle();
    // The system's codes: 0 line up, 1 line down, 2 page up, 3 page down, 6 top, 7 bottom.
    const struct { unsigned unCode; unsigned long ulCurrent; } aCodes[] = {
        { 6, 0 }, { 1, 1 }, { 0, 0 }, { 1, 1 }, { 1, 2 }, { 0, 1 }, { 3, 11 }, { 7, 90 }, { 2, 80 }, { 7, 90 }, { 6, 0 },
    };
    for (const auto& c : aCodes) {
        Send(*pcoList, MsgVScroll, c.unCode, static_cast<std::intptr_t>(hBar));
        EXPECT_EQ(pcoList->GetCurrentPos(), c.ulCurrent) << c.unCode;
        EXPECT_EQ(coSys.coBars[hBar].nPos, static_cast<short>(c.ulCurrent)) << c.unCode;
    }
}

TEST_F(KwCtrlListTest, RangeChangesKeepPositionsAndSelectionValid)
{
    KwCtrlList* pcoList = MakeList<KwCtrlList>(100);
    Link(*pcoList, "KW_LINK_LISTSELECT");
    pcoList->SetCurrentPos(80, 0);
    EXPECT_EQ(pcoList->SelectLine(85), 1);
    pcoList->SetRange(50, 1);
    EXPECT_EQ(pcoList->GetCurrentPos(), 40u);
    EXPECT_EQ(pcoList->GetCurrentSel(), 49);
    ASSERT_EQ(coEvents.size(), 2u);
    EXPECT_EQ(coEvents[1].ulPos, 49u);
    EXPECT_EQ(pcoList->SelectLine(50), 0);   // past the end: the selection goes
    EXPECT_EQ(pcoList->GetCurrentSel(), -1);
    pcoList->SelectLine(3);
    pcoList->SetRange(0, 1);
    EXPECT_EQ(pcoList->GetCurrentSel(), -1);
    EXPECT_EQ(pcoList->GetFirstVisible(), -1);
    EXPECT_EQ(pcoList->GetEndPos(), -1);
}

TEST_F(KwCtrlListTest, PositionKeysMoveTheSelectionAndTheView)
{
    const long None = -1;
    const struct { unsigned long ulCurrent; long lSelected; unsigned unKey; unsigned long ulNewCurrent; long lNewSelected; } aCases[] = {
        { 0, None, VkDown, 1, 1 },   { 0, 5, VkDown, 0, 6 },        { 0, 9, VkDown, 1, 10 },
        { 90, 99, VkDown, 90, 99 },  { 50, 3, VkDown, 4, 4 },       { 0, 0, VkUp, 0, 0 },
        { 5, 5, VkUp, 4, 4 },        { 0, 5, VkUp, 0, 4 },          { 30, 80, VkUp, 70, 79 },
        { 0, None, VkNext, 10, 19 }, { 0, 3, VkNext, 0, 9 },        { 0, 9, VkNext, 10, 19 },
        { 50, 3, VkNext, 12, 12 },   { 85, 95, VkNext, 90, 99 },    { 20, 25, VkPrior, 20, 20 },
        { 20, 20, VkPrior, 10, 10 }, { 5, None, VkPrior, 0, 0 },    { 0, 50, VkPrior, 32, 41 },
        { 40, 7, VkHome, 0, 0 },     { 0, None, VkEnd, 90, 99 },
    };
    KwCtrlList* pcoList = MakeList<KwCtrlList>(100);
    for (const auto& c : aCases) {
        pcoList->SetCurrentPos(c.ulCurrent, 0);
        if (c.lSelected >= 0)
            pcoList->SelectLine(static_cast<unsigned long>(c.lSelected));
        else
            pcoList->UnSelectLine(0);
        Send(*pcoList, MsgKeyDown, c.unKey);
        EXPECT_EQ(pcoList->GetCurrentPos(), c.ulNewCurrent) << c.ulCurrent << "/" << c.lSelected << " key " << c.unKey;
        EXPECT_EQ(pcoList->GetCurrentSel(), c.lNewSelected) << c.ulCurrent << "/" << c.lSelected << " key " << c.unKey;
    }
}

TEST_F(KwCtrlListTest, SelectionCommandAndDeleteReachTheirLinks)
{
    KwCtrlList* pcoList = MakeList<KwCtrlList>(30);
    for (const char* pszName : { "KW_LINK_LISTSELECT", "KW_LINK_LISTUNSELECT", "KW_LINK_LISTCOMMAND", "KW_LINK_LISTDELETE" })
        Link(*pcoList, pszName);
    pcoList->SelectLine(4);
    pcoList->SelectLine(4);
    pcoList->SelectLine(12);
    coView.nAnswer = 1;
    Send(*pcoList, MsgChar, '\r');
    Send(*pcoList, MsgKeyDown, VkDelete);
    Send(*pcoList, MsgChar, '\b');
    EXPECT_EQ(pcoList->DeletePosition(30), 0);
    pcoList->UnSelectLine(0);
    const char* const apszExpected[] = { "KW_LINK_LISTSELECT", "KW_LINK_LISTUNSELECT", "KW_LINK_LISTSELECT", "KW_LINK_LISTCOMMAND",
                                         "KW_LINK_LISTDELETE", "KW_LINK_LISTDELETE", "KW_LINK_LISTUNSELECT" };
    ASSERT_EQ(coEvents.size(), std::size(apszExpected));
    for (size_t i = 0; i < coEvents.size(); ++i)
        EXPECT_EQ(coEvents[i].strType, apszExpected[i]) << i;
    EXPECT_EQ(coEvents[1].ulPos, 4u);
    EXPECT_EQ(coEvents[1].unLine, 1);   // the notify flag
    EXPECT_EQ(coEvents[3].ulPos, 12u);
    EXPECT_EQ(coEvents[6].unLine, 0);
}

TEST_F(KwCtrlListTest, OnlyVisibleLinesAreAskedForTheirText)
{
    KwListText* pcoList = MakeList(10000000);
    Link(*pcoList, "KW_LINK_LISTGETTEXT");
    Link(*pcoList, "KW_LINK_LISTVSCROLL");
    coView.fnAction = [&](TMvcParam& coParam) {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        const KwEventListScroll* pcoScroll = static_cast<const KwEvent&>(coParam);
        if (pcoEvent) {
            coEvents.push_back({ "text", pcoEvent->Position(), pcoEvent->Line() });
            // Odd positions are left to the plain drawing.
            if (pcoEvent->Position() % 2)
                return 0;
            pcoList->SetListBoxTextFt("Entry %lu", pcoEvent->Position());
        } else if (pcoScroll) {
            coEvents.push_back({ "draw", pcoScroll->UpdatePos(), pcoScroll->UpdateLine() });
        }
        return 1;
    };
    pcoList->ScrollAbsolute(9999995, 0);
    coSys.coLog.clear();
    Send(*pcoList, MsgPaint);
    ASSERT_EQ(coEvents.size(), 15u);   // ten texts asked, five lines drawn plainly
    EXPECT_EQ(coEvents.front().ulPos, 9999990u);
    EXPECT_EQ(coEvents.back().ulPos, 9999999u);
    EXPECT_EQ(coEvents[2].strType + std::to_string(coEvents[2].ulPos) + "/" + std::to_string(coEvents[2].unLine), "draw9999991/1");
    const std::vector<std::string> coText = coSys.Lines("DrawText");
    ASSERT_EQ(coText.size(), 5u);
    EXPECT_NE(coText[0].find("4,1,183,15 'Entry 9999990'"), std::string::npos) << coText[0];
}

TEST_F(KwCtrlListTest, LineTextsStayInlineBelow255CharactersAndFormatsAreBounded)
{
    KwListText* pcoList = MakeList(5);
    pcoList->SetListBoxText(std::string(254, 'a').c_str(), 12, -1);
    EXPECT_FALSE(pcoList->IsListBoxTextOnHeap());
    pcoList->SetListBoxText(std::string(255, 'b').c_str());
    EXPECT_TRUE(pcoList->IsListBoxTextOnHeap());
    EXPECT_EQ(std::string(pcoList->GetListBoxText()), std::string(255, 'b'));
    EXPECT_EQ(pcoList->SetListBoxTextFt("%s%s", std::string(900, 'c').c_str(), std::string(900, 'd').c_str()), 1);
    EXPECT_EQ(std::strlen(pcoList->GetListBoxText()), static_cast<size_t>(KwListText::FormatBufferSize - 1));
    // A cut never splits a character: 600 two-byte characters keep 511.
    std::string strOmegas;
    for (int i = 0; i < 600; ++i)
        strOmegas += "\xCE\xA9";
    EXPECT_EQ(pcoList->SetListBoxTextFt("%s", strOmegas.c_str()), 1);
    EXPECT_EQ(std::string(pcoList->GetListBoxText()), strOmegas.substr(0, 1022));
}

// A key press is a character: its UTF-16 units (two halves for an emoji)
// find the line that starts with it; only ASCII letters ignore their case.
TEST_F(KwCtrlListTest, TypedCharactersBeyondAsciiFindTheirLines)
{
    const char* const apszNames[] = { "apple", "\xCE\xA9mega", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80smile",
                                      "\xC3\x89" "clair", "\xC3\xA9" "clair", "\xE6\x97\xA5" "2" };
    KwListText* pcoList = MakeList(std::size(apszNames), 8);
    Link(*pcoList, "KW_LINK_LISTGETTEXT");
    coView.fnAction = [&](TMvcParam& coParam) {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        pcoList->SetListBoxText(apszNames[pcoEvent->Position()]);
        return 1;
    };
    const struct {
        std::vector<unsigned short> vecUnits;
        long lSelected;
    } aCases[] = {
        { { 0x65E5 }, 2 }, { { 0x65E5 }, 6 }, { { 0x3A9 }, 1 }, { { 0xD83D, 0xDE00 }, 3 }, { { 0xE9 }, 5 }, { { 'A' }, 0 },
    };
    for (const auto& coCase : aCases) {
        for (unsigned short unUnit : coCase.vecUnits)
            EXPECT_EQ(pcoList->EvKeyAscii(unUnit), 1);
        EXPECT_EQ(pcoList->GetCurrentSel(), coCase.lSelected) << coCase.vecUnits.front();
    }
}

TEST_F(KwCtrlListTest, TypeAheadFindsTextsInsideLinesAndVisitsEveryPositionOnce)
{
    const char* const apszNames[] = { "apple", "Banana", "cherry", "date", "elder", "fig", "grape", "Apricot", "kiwi",
                                      "lemon", "mango", "nut" };
    const unsigned long ulCount = std::size(apszNames);
    KwListText* pcoList = MakeList(ulCount, 4);
    Link(*pcoList, "KW_LINK_LISTGETTEXT");
    int nAsked = 0;
    coView.fnAction = [&](TMvcParam& coParam) {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        ++nAsked;
        pcoList->SetListBoxText(apszNames[pcoEvent->Position()]);
        return 1;
    };
    // The window test types across the end; here: texts inside lines, and
    // a search that finds nothing asks every position once.
    pcoList->SelectLine(5);
    EXPECT_EQ(pcoList->GoTo("ape"), 1);
    EXPECT_EQ(pcoList->GetCurrentSel(), 6);
    nAsked = 0;
    pcoList->SelectLine(ulCount - 1);
    EXPECT_EQ(pcoList->GoTo('z'), 0);
    EXPECT_EQ(nAsked, static_cast<int>(ulCount));
    EXPECT_FALSE(pcoList->IsSearching());
    // Without selection a visible match is passed over: the view moves.
    pcoList->SetSelectable(0);
    pcoList->SetCurrentPos(0, 0);
    EXPECT_EQ(pcoList->GoTo('a'), 1);
    EXPECT_EQ(pcoList->GetCurrentPos(), 7u);
    EXPECT_EQ(pcoList->GoTo('b'), 1);
    EXPECT_EQ(pcoList->GetCurrentPos(), 1u);
}

// A key press asks no more than a slice of positions at once (one key in
// a list of two million lines took 12 s): the rest is searched a slice
// each tick between messages, every position still exactly once.
TEST_F(KwCtrlListTest, TypeAheadInAHugeListGoesOnBetweenMessages)
{
    const unsigned long ulRange = 5 * KwListText::SearchSlice + 123;
    KwListText* pcoList = MakeList(ulRange);
    Link(*pcoList, "KW_LINK_LISTGETTEXT");
    std::vector<unsigned char> coAsked(ulRange, 0);
    unsigned long ulMatch = ulRange;   // none
    coView.fnAction = [&](TMvcParam& coParam) {
        const unsigned long ulPos = static_cast<const KwEventListBox*>(static_cast<const KwEvent&>(coParam))->Position();
        ++coAsked[ulPos];
        pcoList->SetListBoxText(ulPos == ulMatch ? "match" : "line");
        return 1;
    };
    const auto Asked = [&] { return std::count_if(coAsked.begin(), coAsked.end(), [](unsigned char b) { return b != 0; }); };
    const auto Tick = [&] {
        for (int i = 0; i < 100000 && pcoList->IsSearching(); ++i)
            coSys.DispatchTimer(coSys.coTimers.back(), 0);
    };
    pcoList->SelectLine(10);
    EXPECT_EQ(pcoList->GoTo('q'), 0);
    EXPECT_LE(Asked(), static_cast<long>(KwListText::SearchSlice));
    EXPECT_TRUE(pcoList->IsSearching());
    ASSERT_FALSE(coSys.coTimers.empty());
    Tick();
    EXPECT_FALSE(pcoList->IsSearching());
    EXPECT_TRUE(coSys.coTimers.empty());
    EXPECT_EQ(Asked(), static_cast<long>(ulRange));
    EXPECT_EQ(*std::max_element(coAsked.begin(), coAsked.end()), 1);
    EXPECT_EQ(pcoList->GetCurrentSel(), 10);

    // Found far away, after the ticks; a new key ends the search before.
    ulMatch = ulRange - 3;
    EXPECT_EQ(pcoList->GoTo('m'), 0);
    EXPECT_EQ(pcoList->GoTo("zz"), 0);
    Tick();
    EXPECT_EQ(pcoList->GetCurrentSel(), 10);
    EXPECT_EQ(pcoList->GoTo('m'), 0);
    Tick();
    EXPECT_EQ(pcoList->GetCurrentSel(), static_cast<long>(ulMatch));
    EXPECT_TRUE(pcoList->IsPosVisible(ulMatch));
}

TEST_F(KwCtrlListTest, FunctionsByNameAndResourceVariables)
{
    KwListText* pcoList = MakeList(10);
    pcoList->SetRange(500, 0);
    pcoList->Call("KwCtrlList::SetCurrentPos", 42UL, 0);
    EXPECT_EQ(static_cast<unsigned long>(pcoList->Call("KwCtrlList::GetCurrentPos")), 42u);
    EXPECT_EQ(static_cast<int>(pcoList->Call("KwCtrlList::SelectLine", 60UL)), 1);
    EXPECT_EQ(static_cast<long>(pcoList->Call("KwCtrlList::GetCurrentSel")), 60);
    pcoList->Call("KwCtrlList::ScrollCurrentToBottom", 0);
    EXPECT_EQ(pcoList->GetCurrentPos(), 51u);
    pcoList->Call("KwCtrlList::ScrollCurrentToTop", 0);
    EXPECT_EQ(pcoList->GetCurrentPos(), 60u);
    pcoList->Call("KwListText::SetListBoxText", "called", 12, 3);
    EXPECT_STREQ(pcoList->GetListBoxText(), "called");

    kwtest::TResTempDir coDir("KwCtrlListTest");
    KwListText coStored("LB_STORED", KwPoint(5, 6), KwSize(150, 60));
    coStored.UseTrackEvent(1);
    coStored.SetTextDistance(9, 0);
    coStored.SetTextCenter(KwListText::AlignCentre, 0);
    std::unique_ptr<TResource> pcoRead = KwStoredCopy(coDir, coStored);
    ASSERT_NE(pcoRead, nullptr);
    ASSERT_TRUE(pcoRead->IsClass("KwListText"));
    const KwListText& coRead = static_cast<const KwListText&>(*pcoRead);
    EXPECT_EQ(coRead.IsTrackEvent(), 1);
    EXPECT_EQ(coRead.GetTextDistance(), 9);
    EXPECT_EQ(coRead.GetTextCenter(), KwListText::AlignCentre);
    // Created as it is read: the lines come from the height again.
    EXPECT_EQ(coRead.GetVisibleLines(), 4);
    EXPECT_EQ(coRead.GetSize(), KwSize(150, 4 * s_nLine + 2));
}
