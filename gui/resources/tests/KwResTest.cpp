#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwMessages.h"
#include "KwResFileHelper.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "TFileHdl.h"
#include "TResVar.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

// The application's frame class, known by name so that it can be read.
class TMainFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TMainFrame, KwWFrame)
public:
    TMainFrame() = default;
    int LnkCommandAbout(TMvcParam&) { return ++nAbout; }
    int nAbout { 0 };
};

// A frame of another class that happens to carry the id FW_MAIN.
class TOtherFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TOtherFrame, KwWFrame)
public:
    TOtherFrame() = default;
    int nValue { 12345 };
};

const KwMemberLinkArray s_aLinks[] = {
    { "FW_MAIN", "TMainFrame::LnkCommandAbout", static_cast<TMvcHandler>(&TMainFrame::LnkCommandAbout) },
    { "FW_MAIN", "TMainFrame::Nameless", static_cast<TMvcHandler>(&TMainFrame::LnkCommandAbout) },
    { "FW_MAIN", "LnkWithoutClass", static_cast<TMvcHandler>(&TMainFrame::LnkCommandAbout) },
    { nullptr, "TMainFrame::Skipped", nullptr },
    { nullptr, nullptr, nullptr },
};

class KwResTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwApp coApp { "KwResTest", nullptr, 0 };
    kwtest::TResTempDir coDir { "KwResTest" };

    // Stores a frame with one child carrying the link text, reads the frame
    // back and answers it (the caller deletes it).
    KwWFrame* RoundTrip()
    {
        {
            TMainFrame coFrame;
            coFrame.SetResId("FW_MAIN");
            coFrame.SysCreate(nullptr);
            KwWChild* pcoChild = new KwWChild("CW_ABOUT", KwPoint(5, 5), KwSize(40, 20), 0, 7, 0);
            pcoChild->SetDefLink("KW_LINK_COMMAND", "FW_MAIN", "TMainFrame::LnkCommandAbout", 0);
            pcoChild->SysCreate(&coFrame);
            kwtest::StoreResources(coDir.File("links.kwt"), { &coFrame });
        }
        TFileHdl coHdl;
        EXPECT_EQ(coHdl.OpenRead(coDir.File("links.kwt").c_str(), 0, nullptr), TFileHdl::Success);
        TResource* pcoRead = coHdl.LoadResource("FW_MAIN", nullptr, nullptr, 0);
        EXPECT_NE(pcoRead, nullptr);
        return static_cast<KwWFrame*>(pcoRead);
    }
};

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TMainFrame, KwWFrame, "test")
KW_IMPLEMENT_DYNAMIC_CLASS(TOtherFrame, KwWFrame, "test")

TEST_F(KwResTest, StoredLinkIsBoundToTheApplicationsMemberFunction)
{
    coApp.AddMLA(s_aLinks);
    coApp.AddMLA(s_aLinks);
    KwWFrame* pcoFrame = RoundTrip();
    ASSERT_NE(pcoFrame, nullptr);
    ASSERT_TRUE(pcoFrame->IsClass("TMainFrame"));
    KwWnd* pcoChild = pcoFrame->FindChildPtr("cw_about");
    ASSERT_NE(pcoChild, nullptr);
    EXPECT_EQ(pcoChild->EvCommand(), 1);
    EXPECT_EQ(static_cast<TMainFrame*>(pcoFrame)->nAbout, 1);
    pcoFrame->Destroy();
    coApp.RemoveMLA(s_aLinks);
    EXPECT_EQ(coApp.FindLinkPtr("FW_MAIN", "TMainFrame::LnkCommandAbout"), nullptr);
}

TEST_F(KwResTest, LinkTextWithoutTableEntryOrWithEmptyPartsIsLeftOut)
{
    TMainFrame coFrame;
    coFrame.SetResId("FW_MAIN");
    coFrame.SysCreate(nullptr);
    KwWChild* pcoChild = new KwWChild("CW_ABOUT", KwPoint(5, 5), KwSize(40, 20), 0, 7, 0);
    pcoChild->SysCreate(&coFrame);
    const auto Read = [&](const char* pszText) {
        pcoChild->MVC().RemoveAllLinks();
        EXPECT_EQ(pcoChild->NotifyVariableRead(TResString(KwRes::VarLink, pszText), &coFrame, 1), 1) << pszText;
        return pcoChild->MVC().HasLink("KW_LINK_COMMAND");
    };
    EXPECT_FALSE(Read("KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@FW_MAIN"));   // no table yet
    coApp.AddMLA(s_aLinks);
    EXPECT_TRUE(Read("KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@FW_MAIN"));
    EXPECT_TRUE(Read("KW_LINK_COMMAND@ TMainFrame::LnkCommandAbout@ FW_MAIN"));   // leading blanks go
    for (const char* pszText : { "KW_LINK_COMMAND@@FW_MAIN", "KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@",
                                 "KW_LINK_COMMAND@TMainFrame::LnkCommandAbout", "@TMainFrame::LnkCommandAbout@FW_MAIN",
                                 "KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@CW_NOBODY", "" })
        EXPECT_FALSE(Read(pszText)) << pszText;
}

TEST_F(KwResTest, LoadForEditKeepsLinksAsText)
{
    coApp.AddMLA(s_aLinks);
    coApp.SetLoadForEdit(1);
    KwWFrame* pcoFrame = RoundTrip();
    ASSERT_NE(pcoFrame, nullptr);
    KwWnd* pcoChild = pcoFrame->FindChildPtr("CW_ABOUT");
    ASSERT_NE(pcoChild, nullptr);
    TString coView;
    TString coHandler;
    EXPECT_EQ(pcoChild->MVC().SoftLinkFromType("KW_LINK_COMMAND", coView, coHandler), 1);
    EXPECT_EQ(coView, "FW_MAIN");
    EXPECT_EQ(coHandler, "TMainFrame::LnkCommandAbout");
    EXPECT_EQ(pcoChild->EvCommand(), 0);
    pcoFrame->Destroy();
}

// The long user value stays 32 bits in files: it never holds a pointer.
TEST_F(KwResTest, WindowVariablesComeBackAsWritten)
{
    KwWChild coChild("CW_VALUES", KwPoint(7, 8), KwSize(90, 30), 4, 5, 6);
    coChild.SetUserValue(-123456789);
    coChild.SetExtra("extra text");
    coChild.SetInitText("Caption");
    coChild.SetStyle(coChild.GetStyle() | KwStyle::Disabled);
    coChild.SetShade(1, 0);
    coChild.SetShadeWidth(3, 0);
    coChild.SetColShadowMedium(9, 0);
    kwtest::StoreResources(coDir.File("values.kwt"), { &coChild });
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(coDir.File("values.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    KwWChild* pcoRead = static_cast<KwWChild*>(coHdl.LoadResource("CW_VALUES", nullptr, nullptr, 0));
    ASSERT_NE(pcoRead, nullptr);
    EXPECT_EQ(pcoRead->GetUserValue(), -123456789);
    EXPECT_EQ(pcoRead->GetExtra(), "extra text");
    EXPECT_STREQ(pcoRead->GetInitText(), "Caption");
    EXPECT_EQ(pcoRead->GetPos(), KwPoint(7, 8));
    EXPECT_EQ(pcoRead->GetSize(), KwSize(90, 30));
    EXPECT_EQ(pcoRead->GetColBord().GetIndex(), 4);
    EXPECT_EQ(pcoRead->GetColBack().GetIndex(), 5);
    EXPECT_EQ(pcoRead->GetColShadowMedium().GetIndex(), 9);
    EXPECT_EQ(pcoRead->GetStyle() & KwStyle::Disabled, 0UL);   // reading enables
    EXPECT_TRUE(pcoRead->HasShade());
    EXPECT_EQ(pcoRead->GetShadeWidth(), 3);
    pcoRead->Destroy();
}

TEST_F(KwResTest, CheckUniqueProposesTheNextFreeNumber)
{
    KwWnd coTaken;
    coTaken.SetResId("BUTTON#00007");
    coTaken.Connect(0x500);
    KwWnd coNext;
    coNext.SetResId("BUTTON#00008");
    coNext.Connect(0x501);
    KwWnd coNew;
    coNew.SetResId("BUTTON#00007");
    TString coProposal;
    EXPECT_EQ(coNew.CheckUnique("SYSTEM", &coProposal), 0);
    EXPECT_EQ(coProposal, "BUTTON#00009");
    EXPECT_EQ(coTaken.CheckUnique("SYSTEM", nullptr), 1);      // its own entry
    KwWnd coUnnamed;
    EXPECT_EQ(coUnnamed.CheckUnique("SYSTEM", &coProposal), 0);
    EXPECT_EQ(coProposal, "SYSTEM_ID_DEFAULT#00001");
    EXPECT_EQ(coNew.CheckUnique("", &coProposal), 0);
}

// The member function is called on the view as an object of the class the
// handler name gives: a view found by id alone (also through the "SYSTEM"
// table) that is of another class would receive a call of a foreign
// member.
TEST_F(KwResTest, LinkIsBoundOnlyToAViewOfTheHandlersClass)
{
    coApp.AddMLA(s_aLinks);
    TOtherFrame coOther;
    coOther.SetResId("FW_MAIN");
    coOther.SysCreate(nullptr);
    KwWChild* pcoChild = new KwWChild("CW_ABOUT", KwPoint(5, 5), KwSize(40, 20), 0, 7, 0);
    pcoChild->SysCreate(&coOther);
    const auto Bound = [&](const char* pszText, TResource* pcoParent) {
        pcoChild->MVC().RemoveAllLinks();
        pcoChild->NotifyVariableRead(TResString(KwRes::VarLink, pszText), pcoParent, 1);
        return pcoChild->MVC().HasLink("KW_LINK_COMMAND");
    };
    coSys.coLog.clear();
    EXPECT_FALSE(Bound("KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@FW_MAIN", &coOther));
    EXPECT_FALSE(Bound("KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@FW_MAIN", nullptr));   // the "SYSTEM" table
    EXPECT_FALSE(Bound("KW_LINK_COMMAND@LnkWithoutClass@FW_MAIN", &coOther));
    EXPECT_EQ(pcoChild->EvCommand(), 0);
    EXPECT_EQ(coOther.nValue, 12345);
    ASSERT_FALSE(coSys.Lines("Debug Link").empty());
    EXPECT_EQ(coSys.Lines("Debug Link")[0],
              "Debug Link KW_LINK_COMMAND@TMainFrame::LnkCommandAbout@FW_MAIN of <CW_ABOUT> not bound: the view is not of "
              "the handler's class\n");
    // A frame's own link to itself is found at once.
    TMainFrame coMain;
    coMain.SetResId("FW_MAIN");
    EXPECT_EQ(coMain.NotifyVariableRead(TResString(KwRes::VarLink, "KW_LINK_CLOSE@TMainFrame::Nameless@FW_MAIN"), nullptr, 0), 1);
    EXPECT_TRUE(coMain.MVC().HasLink("KW_LINK_CLOSE"));
}

// A window destroyed through KwRes::Destroy is deleted exactly once, by its
// auto-destroy, also from inside its own handler.
TEST_F(KwResTest, DestroyDeletesAWindowOnlyOnce)
{
    struct TWatch : TDynBase {
        int nDeleted { 0 };
        void Died(TDynBase*) { ++nDeleted; }
    } coWatch;
    auto* pcoFrame = new KwWFrame("FW_ONCE");
    pcoFrame->SysCreate(nullptr);
    pcoFrame->AddDestructionHandler(&coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Died));
    KwRes::DestroyKwRes(pcoFrame);
    EXPECT_EQ(coWatch.nDeleted, 1);
    auto* pcoSelf = new KwWFrame("FW_SELF");
    pcoSelf->SysCreate(nullptr);
    pcoSelf->AddDestructionHandler(&coWatch, static_cast<TDynBase::DestructionHandler>(&TWatch::Died));
    KwTestView coView;
    coView.fnAction = [&](TMvcParam&) {
        static_cast<KwRes*>(pcoSelf)->Destroy();
        EXPECT_EQ(coWatch.nDeleted, 1);   // not yet: its handler still runs
        return 1;
    };
    pcoSelf->MVC().SetLink("KW_LINK_LBUTTONDOWN", &coView, &KwTestView::Link);
    coSys.Send(pcoSelf->GetHandle(), KwMsg::LButtonDown, 1, 0);
    EXPECT_EQ(coWatch.nDeleted, 2);
}
