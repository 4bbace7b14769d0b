// Windows made from resource files, the message box of the standard
// resource file, modal runs, the focus walk and the logo, in real windows.

#include "KwTestApp.h"

#include "KwFileHdl.h"
#include "KwKwtText.h"
#include "KwMessages.h"
#include "KwPushButton.h"
#include "KwStatic.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using kw25test::Hwnd;

namespace {

// The frame class a resource file names; its member functions are bound
// to the buttons' stored links.
class TDemoFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TDemoFrame, KwWFrame)
public:
    TDemoFrame() = default;
    int LnkGo(TMvcParam&)
    {
        ++nGo;
        return 1;
    }
    int nGo { 0 };
};

const KwMemberLinkArray s_aDemoLinks[] = {
    { "FW_DEMO", "TDemoFrame::LnkGo", static_cast<TMvcHandler>(&TDemoFrame::LnkGo) },
    { nullptr, nullptr, nullptr },
};

std::string Button(const char* pszId, short nLeft, const char* pszText, const char* pszLink)
{
    std::string strVars = "  long 32 1342177280\n  short 35 " + std::to_string(nLeft)
        + "\n  short 36 20\n  short 37 90\n  short 38 26\n  short 40 15\n  string 43 \"" + pszText
        + "\"\n  short 92 5\n";
    if (pszLink)
        strVars += std::string("  string 22 \"") + pszLink + "\"\n";
    return "  " + kw25test::WindowRecord("KwPushButton", pszId, strVars);
}

// FW_DEMO: BT_GO bound to TDemoFrame::LnkGo, BT_LOST naming a function no
// table holds, BT_PLAIN without link, and a text.
std::string DemoFile()
{
    const std::string strChildren = Button("BT_GO", 10, "&Go", "KW_LINK_COMMAND@TDemoFrame::LnkGo@FW_DEMO")
        + Button("BT_LOST", 110, "&Lost", "KW_LINK_COMMAND@TDemoFrame::LnkMissing@FW_DEMO")
        + Button("BT_PLAIN", 210, "&Plain", nullptr) + "  "
        + kw25test::WindowRecord("KwStatic", "TX_HELLO",
                                 "  long 32 1342177280\n  short 35 10\n  short 36 60\n  short 37 290\n  short 38 40\n"
                                 "  short 40 15\n  string 43 \"Made from a resource file\"\n");
    const std::string strFrame = kw25test::WindowRecord(
        "TDemoFrame", "FW_DEMO",
        "  long 32 13565952\n  short 35 150\n  short 36 150\n  short 37 330\n  short 38 160\n  short 40 15\n"
        "  string 43 \"Demo\"\n",
        strChildren);
    return kw25test::KwtText({ { "FW_DEMO", "TDemoFrame", strFrame } });
}

class KwResourceGuiTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (short i = coApp.CurrentAppFrameCount(); i-- > 0;)
            coApp.GetAppFrame(i)->Destroy();
        kwtest::PumpIdle();
    }
    // The message dialog while it runs (null when none runs).
    KwWFrame* Dialog() const
    {
        for (short i = 0; i < coApp.CurrentAppFrameCount(); ++i) {
            if (coApp.GetAppFrame(i)->HasResId("DLG_GER_MESSAGE"))
                return coApp.GetAppFrame(i);
        }
        return nullptr;
    }
    static HWND ChildHwnd(const KwWFrame& coFrame, const char* pszId)
    {
        const KwWnd* pcoChild = coFrame.FindChildPtr(pszId);
        return pcoChild ? Hwnd(*pcoChild) : nullptr;
    }
    // Runs a message box of the type; inside its loop fnAnswer acts on the
    // dialog, after the buttons shown and the picture have been noted.
    int Box(unsigned short unType, const std::function<void(KwWFrame&)>& fnAnswer, const char* pszShot = nullptr)
    {
        strButtons.clear();
        strPicture.clear();
        strDefault.clear();
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Question"), [&](HWND hDialog) {
            KwWFrame* pcoDialog = Dialog();
            if (!pcoDialog)
                return;
            for (const char* pszId : { "BT_PUSH1", "BT_PUSH2", "BT_PUSH3" }) {
                if (const HWND hButton = ChildHwnd(*pcoDialog, pszId); hButton && ::IsWindowVisible(hButton))
                    strButtons += kwtest::WindowText(hButton) + " ";
                if (auto* pcoButton = dynamic_cast<KwPushButton*>(pcoDialog->FindChildPtr(pszId)); pcoButton && pcoButton->IsDefaultPush())
                    strDefault = pszId;
            }
            if (auto* pcoPicture = dynamic_cast<KwStatic*>(pcoDialog->FindChildPtr("BMP_INFO")); pcoPicture && pcoPicture->GetPicture().IsValid())
                strPicture = pcoPicture->GetPictureId().operator const char*();
            if (pszShot)
                kwtest::ScreenshotWindow(hDialog, pszShot);
            fnAnswer(*pcoDialog);
        });
        const int nResult = coApp.Message("Shall the files be copied?\nThe target holds older ones.", "Question", nullptr, unType);
        EXPECT_TRUE(coAnswer.Answered());
        return nResult;
    }

    kw25test::KwTestApp& coApp { kw25test::KwTestApp::Instance() };
    std::string strButtons;
    std::string strPicture;
    std::string strDefault;
};

KwWFrame* OpenDemo(kw25test::KwTestApp& coApp)
{
    // Installed once for all tests of the program.
    static const unsigned short s_unInstalled = [&coApp] {
        const std::filesystem::path coFile = std::filesystem::temp_directory_path() / "KwResourceGuiTest-demo.kwt";
        const std::string strError = kw25test::WriteKwt(coFile.string(), DemoFile());
        return strError.empty() ? coApp.GetResHdl().InstallResourceFile(coFile.string().c_str(), s_aDemoLinks, 0, nullptr)
                                : static_cast<unsigned short>(0);
    }();
    EXPECT_EQ(s_unInstalled, TFileHdl::Success);
    KwWnd* pcoWnd = coApp.GetResHdl().LoadWindow("FW_DEMO", nullptr, nullptr);
    if (!pcoWnd || !pcoWnd->IsFrameWindow())
        return nullptr;
    auto* pcoFrame = static_cast<KwWFrame*>(pcoWnd);
    pcoFrame->Start();
    kwtest::PumpIdle();
    return pcoFrame;
}

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TDemoFrame, KwWFrame, "test")

TEST_F(KwResourceGuiTest, FrameFromAFileOpensWithItsChildrenAndItsLinksRunMemberFunctions)
{
    auto* pcoFrame = dynamic_cast<TDemoFrame*>(OpenDemo(coApp));
    ASSERT_NE(pcoFrame, nullptr);
    for (const char* pszId : { "BT_GO", "BT_LOST", "BT_PLAIN", "TX_HELLO" })
        ASSERT_TRUE(::IsWindowVisible(ChildHwnd(*pcoFrame, pszId))) << pszId;
    EXPECT_EQ(kwtest::WindowText(Hwnd(*pcoFrame)), "Demo");
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));

    ASSERT_TRUE(kwtest::ClickAt(ChildHwnd(*pcoFrame, "BT_GO"), { 20, 10 }));
    EXPECT_EQ(pcoFrame->nGo, 1);
    ASSERT_TRUE(kwtest::PressKey('G', kwtest::ModAlt));
    kwtest::PumpIdle();
    EXPECT_EQ(pcoFrame->nGo, 2);
    // The link no table provides stays unbound: pressing does nothing.
    ASSERT_TRUE(kwtest::ClickAt(ChildHwnd(*pcoFrame, "BT_LOST"), { 20, 10 }));
    EXPECT_EQ(pcoFrame->nGo, 2);
    EXPECT_FALSE(pcoFrame->FindChildPtr("BT_LOST")->MVC().HasLink("KW_LINK_COMMAND"));
}

TEST_F(KwResourceGuiTest, TabAndShiftTabWalkTheButtonsAndWrap)
{
    KwWFrame* pcoFrame = OpenDemo(coApp);
    ASSERT_NE(pcoFrame, nullptr);
    ::SetFocus(ChildHwnd(*pcoFrame, "BT_PLAIN"));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB));
    kwtest::PumpIdle();
    EXPECT_EQ(::GetFocus(), ChildHwnd(*pcoFrame, "BT_GO"));
    ASSERT_TRUE(kwtest::PressKey(VK_TAB, kwtest::ModShift));
    kwtest::PumpIdle();
    EXPECT_EQ(::GetFocus(), ChildHwnd(*pcoFrame, "BT_PLAIN"));
}

TEST_F(KwResourceGuiTest, ModalRunDisablesTheOtherFramesAndEnablesThemAgain)
{
    KwWFrame* pcoOther = kw25test::OpenFrame("FW_OTHER", KwPoint(100, 100), KwSize(250, 150), "Other");
    auto* pcoDialog = new KwWFrame("FW_MODAL", KwPoint(300, 200), KwSize(250, 150), "Modal", 15, KwStyle::OverlappedWindow, 0, 0);
    ASSERT_TRUE(pcoDialog->SysCreate(nullptr));
    const HWND hOther = Hwnd(*pcoOther);
    int nOtherEnabled = -1;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Modal"), [&](HWND hDialog) {
        nOtherEnabled = ::IsWindowEnabled(hOther);
        pcoDialog->SetDlgResult(9);
        ::PostMessageA(hDialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(pcoDialog->StartModal(KwWFrame::ModeModalApp), 9);
    EXPECT_EQ(nOtherEnabled, 0);
    EXPECT_TRUE(::IsWindowEnabled(hOther));
}

TEST_F(KwResourceGuiTest, MessageBoxShowsTheButtonsOfItsTypeReturnTakesTheDefaultEscapeCancels)
{
    const auto Key = [](WORD wKey) { return [wKey](KwWFrame&) { kwtest::PressKey(wKey); }; };
    EXPECT_EQ(Box(3, Key(VK_RETURN), "yes-no-cancel"), 6);
    EXPECT_EQ(strButtons, "&Yes &No &Cancel ");
    EXPECT_EQ(strDefault, "BT_PUSH1");
    EXPECT_EQ(strPicture, "BMP_MBINFO");
    EXPECT_EQ(Box(3, Key(VK_ESCAPE)), 2);
    EXPECT_EQ(Box(0x101, Key(VK_RETURN)), 2);
    EXPECT_EQ(strButtons, "&OK &Cancel ");
    EXPECT_EQ(strDefault, "BT_PUSH2");
    EXPECT_EQ(Box(0x34, [](KwWFrame&) { kwtest::PressKey('N', kwtest::ModAlt); }, "exclamation"), 7);
    EXPECT_EQ(strPicture, "BMP_MBEXCLAM");
    EXPECT_EQ(Box(0x12, [](KwWFrame& coDialog) { kwtest::ClickAt(ChildHwnd(coDialog, "BT_PUSH2"), { 10, 10 }); }), 4);
    EXPECT_EQ(strPicture, "BMP_MBSTOP");
    EXPECT_EQ(Dialog(), nullptr) << "the dialog is deleted after its run";
}

TEST_F(KwResourceGuiTest, LogoShowsThePictureOfTheStandardFile)
{
    KwWFrame* pcoLogo = coApp.OpenLogo();
    ASSERT_NE(pcoLogo, nullptr);
    kwtest::PumpIdle();
    const KwSize coPicture = coApp.GetLogoDib().GetSize();
    EXPECT_GT(coPicture.Width(), 100);
    RECT rcClient {};
    ::GetClientRect(Hwnd(*pcoLogo), &rcClient);
    EXPECT_GE(rcClient.right, coPicture.Width());
    kwtest::ScreenshotWindow(Hwnd(*pcoLogo));
    // The picture is drawn: most of the client is not the light gray face.
    const size_t nArea = static_cast<size_t>(rcClient.right) * static_cast<size_t>(rcClient.bottom);
    EXPECT_LT(kwtest::CountClientPixels(Hwnd(*pcoLogo), rcClient, RGB(192, 192, 192)), nArea / 2);
    const HWND hLogo = Hwnd(*pcoLogo);
    coApp.EndLogo();
    EXPECT_FALSE(::IsWindow(hLogo));
    EXPECT_EQ(coApp.LogoFrame(), nullptr);
}
