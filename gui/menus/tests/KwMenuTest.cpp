#include "KwApp.h"
#include "KwDC.h"
#include "KwFakeMenus.h"
#include "KwMenu.h"
#include "KwMenuFlags.h"
#include "KwMenuHost.h"
#include "KwMenuItem.h"
#include "KwMessages.h"
#include "KwResFileHelper.h"
#include "KwWFrame.h"
#include "TFileHdl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A frame that records the menu events left to it, with a link function
// that resource files can name.
class TMenuFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TMenuFrame, KwWFrame)
public:
    TMenuFrame() = default;
    std::vector<std::string> coSeen;
    int nAnswer { 0 };
    int EvMenuInit(KwMenu* pcoMenu) override { return Seen("init " + Id(pcoMenu)); }
    int EvPopupMenuInit(KwPopupMenu* pcoPopup, short nIndex) override { return Seen("popup " + Id(pcoPopup) + " " + std::to_string(nIndex)); }
    int EvMenuSelect(KwMenuItem* pcoItem, int nSystem) override { return Seen("select " + Id(pcoItem) + " " + std::to_string(nSystem)); }
    int EvMenuClicked(KwMenuItem* pcoItem) override { return Seen("clicked " + Id(pcoItem)); }
    int EvMenuCheckChanged(KwMenuItem* pcoItem, int nChecked) override { return Seen("check " + Id(pcoItem) + " " + std::to_string(nChecked)); }
    int LnkCommandLarge(TMvcParam&) { return Seen("link large"); }

private:
    static std::string Id(const KwRes* pcoRes) { return static_cast<const char*>(pcoRes->GetResId()); }
    int Seen(const std::string& strWhat) { coSeen.push_back(strWhat); return nAnswer; }
};

// An item of the application's own class, and the application that makes it.
class TOwnItem : public KwMenuItem {
    KW_DYNAMIC_CLASS(TOwnItem, KwMenuItem)
public:
    TOwnItem() = default;
};

class TMenuApp : public KwApp {
public:
    using KwApp::KwApp;
    KwRes* UCC_KwRes(const char* pszClassName) const override
    {
        return std::string(pszClassName) == "TOwnItem" ? new TOwnItem : nullptr;
    }
    using KwApp::UCC_KwRes;
};

const KwMemberLinkArray s_aLinks[] = {
    { "FW_MENU", "TMenuFrame::LnkCommandLarge", static_cast<TMvcHandler>(&TMenuFrame::LnkCommandLarge) },
    { nullptr, nullptr, nullptr },
};

// A frame with the bar  File [Open - Exit]  View [Small Large - Details
// List - Status bar], the view modes being toggle items.
class KwMenuTest : public ::testing::Test {
protected:
    KwFakeMenuSystem coSys;
    TMenuApp coApp { "KwMenuTest", nullptr, 0 };
    KwTestView coView;
    TMenuFrame* pcoFrame { nullptr };
    KwMenu* pcoBar { nullptr };
    KwPopupMenu* pcoViewMenu { nullptr };

    void SetUp() override
    {
        pcoFrame = NewFrame();
        pcoBar = new KwMenu("MN_MAIN", 1);
        KwPopupMenu* pcoFile = pcoBar->InsertPopupItem("PM_FILE", "&File", -1);
        pcoFile->InsertItem("ID_OPEN", "&Open", 0, -1);
        pcoFile->InsertSeparatorItem(-1);
        pcoFile->InsertItem("ID_EXIT", "E&xit", 0, -1);
        pcoViewMenu = pcoBar->InsertPopupItem("PM_VIEW", "&View", -1);
        for (const char* pszName : { "ID_SMALL", "ID_LARGE", "-", "ID_DETAILS", "ID_LIST", "-" }) {
            if (*pszName == '-')
                pcoViewMenu->InsertSeparatorItem(-1);
            else
                pcoViewMenu->InsertItem(pszName, pszName + 3, KwMenuItem::MaskToggle, -1);
        }
        pcoViewMenu->InsertItem("ID_STATUS", "Status bar", KwMenuItem::MaskSelect, -1);
        pcoFrame->SetMenu(pcoBar);
    }
    void TearDown() override
    {
        if (KwWnd* pcoWnd = KwWnd::SearchWindow(m_hFrame))
            pcoWnd->Destroy();
    }

    TMenuFrame* NewFrame()
    {
        auto* pcoNew = new TMenuFrame;
        pcoNew->SetResId("FW_MENU");
        EXPECT_TRUE(pcoNew->SysCreate(nullptr));
        m_hFrame = pcoNew->GetHandle();
        return pcoNew;
    }
    KwMenuItem* Item(const char* pszName) const { return KwMenu::FindItem(pszName); }
    std::intptr_t Send(unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
    {
        return coSys.Send(m_hFrame, unMsg, wParam, lParam);
    }
    void Choose(const char* pszName) { Send(KwMsg::Command, Item(pszName)->GetSystemId(), 0); }
    void Highlight(const char* pszName, unsigned unFlags = 0)
    {
        KwMenuItem* pcoItem = Item(pszName);
        Send(KwMsg::MenuSelect, pcoItem->GetSystemId() | (unFlags << 16), static_cast<std::intptr_t>(pcoItem->GetSysMenu()));
    }
    std::vector<std::string> Checked() const
    {
        std::vector<std::string> coNames;
        for (const char* pszName : { "ID_SMALL", "ID_LARGE", "ID_DETAILS", "ID_LIST", "ID_STATUS" }) {
            if (KwMenu::IsChecked(pszName))
                coNames.push_back(pszName);
        }
        return coNames;
    }

    KwHandle m_hFrame { 0 };
};

std::vector<std::string> Calls(const KwTestView& coView)
{
    return coView.coCalls;
}

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TMenuFrame, KwWFrame, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TOwnItem, KwMenuItem, "test")

TEST_F(KwMenuTest, EntriesAreMadeInPlaceAndItemsFoundByName)
{
    EXPECT_EQ(coSys.Layout(pcoBar->GetHandle()),
              "&File[&Open|-|E&xit]|&View[SMALL|LARGE|-|DETAILS|LIST|-|Status bar]");
    EXPECT_EQ(pcoFrame->GetMenu(), pcoBar);
    KwMenuItem* pcoList = Item("id_list");
    ASSERT_NE(pcoList, nullptr);
    EXPECT_EQ(pcoList->GetParentMenu(), pcoViewMenu);
    EXPECT_EQ(pcoList->GetParentWindow(), pcoFrame);
    EXPECT_EQ(pcoBar->GetPosition("ID_LIST"), 4);
    EXPECT_EQ(pcoViewMenu->GetMenuItem(4), pcoList);
    EXPECT_EQ(KwMenu::FindItem("ID_OPEN", pcoViewMenu), nullptr);
    EXPECT_EQ(pcoBar->FindPopItem("pm_view"), pcoViewMenu);
    EXPECT_TRUE(pcoBar->IsToggleItem("ID_SMALL"));
    EXPECT_TRUE(pcoBar->IsSelectItem("ID_STATUS"));
    EXPECT_FALSE(pcoBar->IsItemChecked("ID_NONE"));

    // Positions past the end (and below -1) append.
    KwPopupMenu* pcoFile = pcoBar->FindPopItem("PM_FILE");
    ASSERT_NE(pcoFile->InsertItem("ID_LAST", "Last", 0, 10), nullptr);
    ASSERT_NE(pcoFile->InsertItem("ID_AFTER", "After", 0, -7), nullptr);
    ASSERT_NE(pcoFile->InsertItem("ID_FIRST", "First", 0, 0), nullptr);
    EXPECT_EQ(coSys.Layout(pcoFile->GetHandle()), "First|&Open|-|E&xit|Last|After");
    // A taken popup name is replaced by a free one.
    KwPopupMenu* pcoSecond = pcoBar->InsertPopupItem("PM_FILE", "Second", -1);
    ASSERT_NE(pcoSecond, nullptr);
    EXPECT_EQ(pcoSecond->GetResId(), "PM_FILE#00001");
}

TEST_F(KwMenuTest, CheckingAToggleItemUnchecksOnlyItsOwnGroup)
{
    coView.fnAction = [&](TMvcParam& coParam) {
        KwEventMenuItem& coEvent = static_cast<KwEventMenuItem&>(coParam);
        coView.coCalls.push_back(std::string(coEvent.MenuItem().GetResId()) + "=" + std::to_string(coEvent.GetWParam()));
        return 1;
    };
    Item("ID_LARGE")->MVC().SetLink("KW_LINK_MENUCHECKCHANGED", &coView, &KwTestView::Link);
    Item("ID_SMALL")->MVC().SetLink("KW_LINK_MENUCHECKCHANGED", &coView, &KwTestView::Link);
    EXPECT_EQ(KwMenu::Check("ID_LARGE"), 0);
    EXPECT_EQ(KwMenu::Check("ID_LIST"), 0);
    coView.coCalls.clear();
    EXPECT_EQ(Item("ID_SMALL")->SetChecked(1), 1);   // another item was unchecked
    EXPECT_EQ(Checked(), std::vector<std::string>({ "ID_SMALL", "ID_LIST" }));
    EXPECT_EQ(Calls(coView), std::vector<std::string>({ "KW_LINK_MENUCHECKCHANGED", "ID_LARGE=0", "KW_LINK_MENUCHECKCHANGED", "ID_SMALL=1" }));
    EXPECT_EQ(pcoViewMenu->GetCurrentToggle(), Item("ID_SMALL"));

    // A toggle item stays checked when asked to uncheck; checking it again
    // changes nothing.
    EXPECT_EQ(Item("ID_SMALL")->UnCheck(), 1);
    EXPECT_EQ(Item("ID_SMALL")->Check(), 1);
    EXPECT_EQ(Checked(), std::vector<std::string>({ "ID_SMALL", "ID_LIST" }));
    // A select item flips freely and answers its previous state.
    EXPECT_EQ(Item("ID_STATUS")->Check(), 0);
    EXPECT_EQ(Item("ID_STATUS")->UnCheck(), 1);
    EXPECT_EQ(Item("ID_STATUS")->UnCheck(), 0);
}

TEST_F(KwMenuTest, ChoosingAnItemUpdatesItsMarkThenFiresItsCommand)
{
    Item("ID_STATUS")->Check();
    pcoFrame->coSeen.clear();
    Item("ID_STATUS")->MVC().SetLink("KW_LINK_MENUCHECKCHANGED", &coView, &KwTestView::Link);
    Item("ID_STATUS")->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
    Choose("ID_STATUS");
    EXPECT_EQ(Calls(coView), std::vector<std::string>({ "KW_LINK_MENUCHECKCHANGED", "KW_LINK_COMMAND" }));
    EXPECT_FALSE(Item("ID_STATUS")->IsChecked());
    EXPECT_EQ(pcoFrame->coSeen, std::vector<std::string>({ "check ID_STATUS 0", "clicked ID_STATUS" }));

    // An answering link keeps the frame out; a toggle item is checked.
    pcoFrame->coSeen.clear();
    coView.nAnswer = 1;
    Choose("ID_STATUS");
    EXPECT_TRUE(pcoFrame->coSeen.empty());
    EXPECT_TRUE(Item("ID_STATUS")->IsChecked());
    Choose("ID_DETAILS");
    EXPECT_TRUE(Item("ID_DETAILS")->IsChecked());
    // The entry that opens a popup and a separator are no commands.
    pcoFrame->coSeen.clear();
    EXPECT_EQ(Send(KwMsg::Command, pcoViewMenu->GetParentItem()->GetSystemId(), 0), 0);
    EXPECT_EQ(Item("ID_OPEN")->GetParentMenu()->GetMenuItem(1)->EvClicked(), 0);
    EXPECT_TRUE(pcoFrame->coSeen.empty());
}

TEST_F(KwMenuTest, HighlightSkipsSeparatorsAndReportsItems)
{
    Highlight("ID_LARGE");
    EXPECT_EQ(pcoFrame->coSeen, std::vector<std::string>({ "select ID_LARGE 0" }));
    KwMenuItem* pcoSeparator = pcoViewMenu->GetMenuItem(2);
    ASSERT_TRUE(pcoSeparator->IsSeparator());
    // Coming down from position 1 the highlight moves on down; coming up
    // from position 3, up.
    pcoSeparator->EvSelect(0);
    Highlight("ID_DETAILS");
    pcoSeparator->EvSelect(0);
    ASSERT_EQ(coSys.coPosted.size(), 2u);
    EXPECT_EQ(coSys.coPosted[0].unMsg, static_cast<unsigned>(KwMsg::KeyDown));
    EXPECT_EQ(coSys.coPosted[0].wParam, 0x28u);
    EXPECT_EQ(coSys.coPosted[1].wParam, 0x26u);
    EXPECT_EQ(coSys.coPosted[1].hWnd, m_hFrame);
    // The system menu flag is its own bit, not the mouse's; a popup entry
    // reports the item that opens it.
    pcoFrame->coSeen.clear();
    Highlight("ID_LIST", KwMenuFlag::SysMenu | KwMenuFlag::MouseSelect);
    Highlight("ID_SMALL", KwMenuFlag::MouseSelect);
    Send(KwMsg::MenuSelect, 1 | (KwMenuFlag::Popup << 16), static_cast<std::intptr_t>(pcoBar->GetHandle()));
    Send(KwMsg::MenuSelect, 0xFFFF0000u, 0);
    EXPECT_EQ(pcoFrame->coSeen, std::vector<std::string>({ "select ID_LIST 1", "select ID_SMALL 0", "select PM_VIEW 0" }));
    EXPECT_EQ(pcoBar->GetLastHighlight(), 1);
}

TEST_F(KwMenuTest, OpeningAMenuFiresItsInitLinkThenAsksTheFrame)
{
    pcoBar->SetLastHighlight(3);
    Send(KwMsg::InitMenu, pcoBar->GetHandle(), 0);
    Send(KwMsg::InitMenuPopup, pcoViewMenu->GetHandle(), 1);
    Send(KwMsg::InitMenuPopup, pcoViewMenu->GetHandle(), KwMakeLParam(1, 1));   // the system menu's
    EXPECT_EQ(pcoFrame->coSeen, std::vector<std::string>({ "init MN_MAIN", "popup PM_VIEW 1" }));
    EXPECT_EQ(pcoBar->GetLastHighlight(), 0);
    pcoViewMenu->MVC().SetLink("KW_LINK_MENUINIT", &coView, &KwTestView::Link);
    coView.fnAction = [](TMvcParam& coParam) { return static_cast<KwEventMenu&>(coParam).Menu().GetResId() == "PM_VIEW" ? 1 : 0; };
    Send(KwMsg::InitMenuPopup, pcoViewMenu->GetHandle(), 1);
    EXPECT_EQ(pcoFrame->coSeen.size(), 2u);
}

TEST_F(KwMenuTest, EntriesKeepTheirStateWhenTheirTextChanges)
{
    KwMenuItem* pcoOpen = Item("ID_OPEN");
    pcoOpen->Check();
    EXPECT_EQ(pcoOpen->Gray(), 1);
    EXPECT_EQ(KwMenu::SetText("ID_OPEN", "&Open..."), "&Open");
    EXPECT_EQ(pcoOpen->GetText(), "&Open...");
    EXPECT_TRUE(pcoOpen->IsChecked());
    EXPECT_TRUE(pcoOpen->IsGrayed());
    EXPECT_TRUE(pcoOpen->IsDisabled());
    EXPECT_EQ(pcoOpen->Disable(), 0);
    EXPECT_FALSE(pcoOpen->IsGrayed());
    EXPECT_EQ(pcoOpen->Enable(), 0);
    EXPECT_EQ(pcoOpen->Enable(), 1);
    EXPECT_EQ(pcoBar->SetItemText("PM_VIEW", "&Show"), "&View");
    EXPECT_EQ(coSys.Layout(pcoBar->GetHandle()).substr(0, 24), "&File[&Open...|-|E&xit]|");
    EXPECT_EQ(pcoViewMenu->GetParentItem()->GetState() >> 8, 7u);   // still opens its 7 entries
    // Outside a menu nothing answers.
    KwMenuItem coLoose("ID_LOOSE", 0);
    EXPECT_EQ(coLoose.Enable(), 0);
    EXPECT_EQ(coLoose.Check(), 0);
    EXPECT_EQ(coLoose.SetText("x"), "");
    EXPECT_EQ(coLoose.SetBitmapCheck("OBM_CHECK"), 0);
}

TEST_F(KwMenuTest, CheckMarksAreSystemBitmapsOwnedByTheItem)
{
    // Every item holds a default check mark: toggles a down arrow.
    const int nBefore = coSys.SystemBitmapCount();
    EXPECT_EQ(coSys.coObjects[Item("ID_SMALL")->GetBitmapCheck()], "bitmap obm=32752");
    EXPECT_EQ(coSys.coObjects[Item("ID_OPEN")->GetBitmapCheck()], "bitmap obm=32760");
    EXPECT_EQ(Item("ID_OPEN")->SetBitmapCheck("obm_close"), 1);
    EXPECT_EQ(Item("ID_OPEN")->SetBitmapCheck("OBM_NOTHING"), 0);
    EXPECT_EQ(pcoViewMenu->GetParentItem()->SetBitmapCheck("OBM_CHECK"), 0);
    EXPECT_EQ(coSys.SystemBitmapCount(), nBefore);   // the old mark gave way
    EXPECT_EQ(coSys.coObjects[Item("ID_OPEN")->GetBitmapCheck()], "bitmap obm=32754");
    pcoFrame->Destroy();
    EXPECT_EQ(coSys.SystemBitmapCount(), 0);
}

TEST_F(KwMenuTest, SeparatorsAreDrawnByTheFramework)
{
    KwMenuItem* pcoSeparator = pcoViewMenu->GetMenuItem(2);
    KwSize coSize;
    ASSERT_EQ(pcoSeparator->EvMeasure(coSize), 1);
    EXPECT_EQ(coSize, KwSize(9, 9));
    EXPECT_EQ(Item("ID_LIST")->EvMeasure(coSize), 0);
    KwDC coDC(pcoFrame);
    EXPECT_EQ(pcoSeparator->EvRedraw(coDC, KwRect(2, 40, 80, 49), 0), 1);
    EXPECT_EQ(coSys.Lines("Line"), std::vector<std::string>({ "Line 2,44 80,44" }));
}

TEST_F(KwMenuTest, DeletingAMenuDeletesItsPopupsFirstAndLeavesNothingRegistered)
{
    // A popup goes with its entry and the item that opened it.
    const short nBarItems = pcoBar->GetItemCount();
    pcoBar->FindPopItem("PM_FILE")->Destroy();
    EXPECT_EQ(pcoBar->GetItemCount(), nBarItems - 1);
    EXPECT_EQ(KwMenu::FindItem("PM_FILE"), nullptr);
    EXPECT_EQ(KwMenu::FindItem("ID_OPEN"), nullptr);
    // An item that opens a popup takes the popup with it.
    KwPopupMenu* pcoSub = pcoViewMenu->InsertPopupItem("PM_SUB", "Sub", 0);
    pcoSub->InsertItem("ID_DEEP", "Deep", 0, -1);
    pcoSub->GetParentItem()->Destroy();
    EXPECT_EQ(KwMenu::FindPopup("PM_SUB"), nullptr);
    EXPECT_EQ(KwMenu::FindItem("ID_DEEP"), nullptr);
    // A removed popup lives on alone and moves into another menu.
    KwPopupMenu* pcoMoved = pcoViewMenu->InsertPopupItem("PM_MOVED", "Moved", -1);
    EXPECT_EQ(pcoMoved->Remove(), 1);
    EXPECT_FALSE(pcoMoved->HasParentItem());
    EXPECT_EQ(pcoMoved->MoveTo(pcoBar, 0, "&Moved"), 1);
    EXPECT_EQ(coSys.Layout(pcoBar->GetHandle()).substr(0, 9), "&Moved[]|");

    // The frame's window goes: the bar, its popups and every item go too.
    pcoFrame->Destroy();
    EXPECT_EQ(coSys.GetHash("MENU")->Count(), 0);
    EXPECT_EQ(coSys.GetHash("MENUITEM")->Count(), 0);
    EXPECT_TRUE(coSys.coMenus.empty());
}

TEST_F(KwMenuTest, MenuBarTravelsWithItsFrameThroughAResourceFile)
{
    kwtest::TResTempDir coDir("KwMenuTest");
    Item("ID_LARGE")->SetDefLink("KW_LINK_COMMAND", "FW_MENU", "TMenuFrame::LnkCommandLarge", 0);
    Item("ID_LARGE")->Check();
    kwtest::StoreResources(coDir.File("menu.kwt"), { pcoFrame });
    const std::string strLayout = coSys.Layout(pcoBar->GetHandle());
    pcoFrame->Destroy();

    coApp.AddMLA(s_aLinks);
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(coDir.File("menu.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    TResource* pcoRead = coHdl.LoadResource("FW_MENU", nullptr, nullptr, 0);
    ASSERT_NE(pcoRead, nullptr);
    ASSERT_TRUE(pcoRead->IsClass("TMenuFrame"));
    auto* pcoLoaded = static_cast<TMenuFrame*>(pcoRead);
    m_hFrame = pcoLoaded->GetHandle();
    KwMenu* pcoMenu = pcoLoaded->GetMenu();
    ASSERT_NE(pcoMenu, nullptr);
    EXPECT_EQ(pcoMenu->GetResId(), "MN_MAIN");
    EXPECT_EQ(coSys.Layout(pcoMenu->GetHandle()), strLayout);
    EXPECT_TRUE(pcoMenu->IsToggleItem("ID_LARGE"));
    EXPECT_TRUE(pcoMenu->FindPopItem("PM_VIEW")->GetMenuItem(2)->IsSeparator());
    EXPECT_FALSE(pcoMenu->IsItemChecked("ID_LARGE"));   // check marks are the program's business
    pcoLoaded->nAnswer = 1;
    Choose("ID_LARGE");
    EXPECT_EQ(pcoLoaded->coSeen, std::vector<std::string>({ "check ID_LARGE 1", "link large" }));
}

// Menus reach their frame and the application through the host that the
// application family registers; without one they keep to themselves.
TEST_F(KwMenuTest, WithoutAHostMenusKeepToThemselves)
{
    struct TNoHost {
        KwMenuHost::TSourceFn pfnHost = KwMenuHost::Register(nullptr);
        ~TNoHost() { KwMenuHost::Register(pfnHost); }
    };
    Item("ID_STATUS")->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
    KwPopupMenu* pcoContext = KwPopupMenu::CreatePopupMenu("PM_CONTEXT", 1);
    ASSERT_NE(pcoContext, nullptr);
    {
        TNoHost coNoHost;
        ASSERT_EQ(KwMenuHost::Current(), nullptr);
        Choose("ID_STATUS");
        Highlight("ID_LARGE");
        Send(KwMsg::InitMenu, pcoBar->GetHandle(), 0);
        pcoViewMenu->GetMenuItem(2)->EvSelect(0);
        EXPECT_EQ(pcoContext->Track(KwPoint(5, 5), *pcoFrame, 0), 0);
        EXPECT_FALSE(pcoBar->InsertItem("ID_PLAIN", "Plain", 0, -1, "TOwnItem")->IsClass("TOwnItem"));
    }
    EXPECT_EQ(Calls(coView), std::vector<std::string>({ "KW_LINK_COMMAND" }));
    EXPECT_TRUE(pcoFrame->coSeen.empty());
    EXPECT_TRUE(coSys.coPosted.empty());

    Choose("ID_STATUS");
    EXPECT_EQ(pcoFrame->coSeen, std::vector<std::string>({ "check ID_STATUS 0", "clicked ID_STATUS" }));
    EXPECT_EQ(pcoContext->Track(KwPoint(5, 5), *pcoFrame, 0), 1);
    EXPECT_EQ(pcoContext->GetParentWindow(), pcoFrame);
    EXPECT_TRUE(pcoBar->InsertItem("ID_OWN", "Own", 0, -1, "TOwnItem")->IsClass("TOwnItem"));
    pcoContext->Destroy();
}
