#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwKwtText.h"
#include "KwMessages.h"
#include "KwStatic.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"
#include "KwFileHdl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class KwPushButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_TEST");
        pcoFrame->SysCreate(nullptr);
        pcoOk = AddButton("BT_OK", "&OK", 10);
        pcoCancel = AddButton("BT_CANCEL", "&Cancel", 100);
    }
    void TearDown() override { pcoFrame->Destroy(); }

    KwPushButton* AddButton(const char* pszId, const char* pszText, short nLeft)
    {
        auto* pcoButton = new KwPushButton(pszId, KwPoint(nLeft, 10), KwSize(80, 24), pszText);
        pcoButton->SysCreate(pcoFrame);
        pcoButton->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
        return pcoButton;
    }
    std::intptr_t Send(KwWnd* pcoWnd, unsigned unMsg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
    {
        return coSys.Send(pcoWnd->GetHandle(), unMsg, wParam, lParam);
    }
    size_t Commands() const { return coView.coCalls.size(); }

    KwFakeSystem coSys;
    KwApp coApp { "KwPushButtonTest", nullptr, 0 };
    KwTestView coView;
    KwWFrame* pcoFrame { nullptr };
    KwPushButton* pcoOk { nullptr };
    KwPushButton* pcoCancel { nullptr };
};

} // namespace

TEST_F(KwPushButtonTest, ClickInsideFiresTheCommandOnceReleaseOutsideDoesNot)
{
    Send(pcoOk, KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    EXPECT_TRUE(pcoOk->IsPushedIn());
    EXPECT_EQ(coSys.hFocus, pcoOk->GetHandle());
    Send(pcoOk, KwMsg::LButtonUp, 0, KwMakeLParam(5, 5));
    EXPECT_EQ(Commands(), 1u);
    EXPECT_FALSE(pcoOk->IsPushedIn());
    Send(pcoOk, KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    Send(pcoOk, KwMsg::MouseMove, 1, KwMakeLParam(200, 5));
    EXPECT_FALSE(pcoOk->IsPushedIn());
    Send(pcoOk, KwMsg::LButtonUp, 0, KwMakeLParam(200, 5));
    EXPECT_EQ(Commands(), 1u);
    EXPECT_EQ(coSys.hCapture, 0u);
}

TEST_F(KwPushButtonTest, SpaceReturnAndAltHotKeyPressItDisabledNothingDoes)
{
    pcoOk->SetFocus();
    Send(pcoOk, KwMsg::KeyDown, 32, 1);
    EXPECT_TRUE(pcoOk->IsPushedIn());
    EXPECT_EQ(Commands(), 0u);
    Send(pcoOk, KwMsg::Char, 32, 1);
    Send(pcoOk, KwMsg::KeyUp, 32, 1);
    EXPECT_EQ(Commands(), 1u);
    Send(pcoOk, KwMsg::Char, 13, 1);
    EXPECT_EQ(Commands(), 2u);
    EXPECT_EQ(pcoCancel->GetHotKey(), 'C');
    Send(pcoFrame, KwMsg::SysChar, 'c', 0);
    EXPECT_EQ(Commands(), 3u);
    EXPECT_EQ(coSys.hFocus, pcoCancel->GetHandle());
    coSys.coLog.clear();
    pcoCancel->Enable(0, 1);
    EXPECT_FALSE(coSys.Lines("Invalidate").empty()) << "the disabled look is drawn at once";
    Send(pcoFrame, KwMsg::SysChar, 'c', 0);
    Send(pcoCancel, KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    Send(pcoCancel, KwMsg::LButtonUp, 0, KwMakeLParam(5, 5));
    EXPECT_EQ(Commands(), 3u);
}

TEST_F(KwPushButtonTest, DefaultPushIsOnePerFrameAndReturnAnywherePressesIt)
{
    auto* pcoEdit = new KwWChild("CW_EDIT", KwPoint(10, 50), KwSize(80, 20), 0, 7, 0);
    pcoEdit->SetFocusable(1);
    pcoEdit->SysCreate(pcoFrame);
    pcoOk->SetDefaultPush(1, 1);
    EXPECT_EQ(pcoFrame->GetDefaultPushButton(), pcoOk);
    EXPECT_EQ(static_cast<int>(pcoCancel->Call("SetDefaultPush", 1, 1)), 1);
    EXPECT_EQ(static_cast<int>(pcoOk->Call("KwPushButton::IsDefaultPush")), 0);
    EXPECT_EQ(pcoFrame->GetDefaultPushButton(), pcoCancel);
    pcoEdit->SetFocus();
    Send(pcoEdit, KwMsg::Char, 13, 1);
    ASSERT_EQ(Commands(), 1u);
    pcoFrame->SetNoDefaultCommand(1);
    Send(pcoEdit, KwMsg::Char, 13, 1);
    EXPECT_EQ(Commands(), 1u);
}

TEST_F(KwPushButtonTest, RepeatingButtonFiresOnPressThenEveryIntervalWhileHeld)
{
    pcoOk->Call("SetRepeatOnPress", 1);
    EXPECT_EQ(static_cast<int>(pcoOk->Call("IsRepeatOnPress")), 1);
    pcoOk->SetRepeatTimes(300, 50);
    coSys.coLog.clear();
    Send(pcoOk, KwMsg::LButtonDown, 1, KwMakeLParam(5, 5));
    EXPECT_EQ(Commands(), 1u);
    ASSERT_EQ(coSys.coTimers.size(), 1u);
    EXPECT_EQ(coSys.Lines("SetTimer"), std::vector<std::string>({ "SetTimer 300" }));
    coSys.DispatchTimer(coSys.coTimers[0], 1000);
    EXPECT_EQ(Commands(), 2u);
    ASSERT_EQ(coSys.coTimers.size(), 1u);
    EXPECT_EQ(coSys.Lines("SetTimer").back(), "SetTimer 50");
    coSys.DispatchTimer(coSys.coTimers[0], 1050);
    EXPECT_EQ(Commands(), 3u);
    Send(pcoOk, KwMsg::LButtonUp, 0, KwMakeLParam(5, 5));
    EXPECT_EQ(Commands(), 3u);
    EXPECT_TRUE(coSys.coTimers.empty());
}

class KwChildResourceTest : public kwtest::TScratchTest {
protected:
    KwChildResourceTest() : TScratchTest("KwChildResourceTest") {}
    KwFakeSystem coSys;
    KwApp coApp { "KwChildResourceTest", nullptr, 0 };
};

TEST_F(KwChildResourceTest, ButtonTextAndPictureChildrenKeepTheirVariables)
{
    const std::string strFrame = kw25test::WindowRecord(
        "KwWFrame", "FW_TEST", "",
        "  " + kw25test::WindowRecord("KwPushButton", "BT_GO", "  string 43 \"&Go\"\n  short 92 5\n  short 301 3\n"
                                      "  short 302 250\n  short 303 40\n")
            + "  " + kw25test::WindowRecord("KwStatic", "TX_INFO", "  string 43 \"two\\nlines\"\n  short 311 34\n  short 312 2\n")
            + "  " + kw25test::WindowRecord("KwStatic", "PC_LOGO", "  string 321 \"BMP_X\"\n  short 322 3\n  long 323 255\n"));
    ASSERT_EQ(kw25test::WriteKwt(At("children.kwt"), kw25test::KwtText({ { "FW_TEST", "KwWFrame", strFrame } })), "");
    KwFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(At("children.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    KwWFrame* pcoFrame = static_cast<KwWFrame*>(coHdl.LoadResource("FW_TEST", nullptr, nullptr, 0));
    ASSERT_NE(pcoFrame, nullptr);
    auto* pcoButton = dynamic_cast<KwPushButton*>(pcoFrame->FindChildPtr("BT_GO"));
    auto* pcoText = dynamic_cast<KwStatic*>(pcoFrame->FindChildPtr("TX_INFO"));
    auto* pcoPicture = dynamic_cast<KwStatic*>(pcoFrame->FindChildPtr("PC_LOGO"));
    ASSERT_TRUE(pcoButton && pcoText && pcoPicture);
    EXPECT_TRUE(pcoButton->IsDefaultPush());
    EXPECT_TRUE(pcoButton->IsRepeatOnPress());
    EXPECT_EQ(pcoButton->GetRepeatDelay(), 250);
    EXPECT_EQ(pcoButton->GetRepeatInterval(), 40);
    EXPECT_EQ(pcoButton->GetText(), "&Go");
    EXPECT_EQ(pcoText->GetAlign(), 34);
    EXPECT_EQ(pcoText->GetFormat(), 2);
    EXPECT_EQ(pcoText->GetText(), "two\nlines");
    EXPECT_EQ(pcoPicture->GetPictureId(), "BMP_X");
    EXPECT_EQ(pcoPicture->GetPictureFlags(), 3);
    EXPECT_EQ(pcoPicture->GetTransparentColor(), 255u);
    EXPECT_FALSE(pcoPicture->GetPicture().IsValid());   // no file holds BMP_X
    pcoFrame->Destroy();
}
