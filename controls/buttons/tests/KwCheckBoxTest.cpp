#include "KwApp.h"
#include "KwCheckBox.h"
#include "KwCtlFakeSystem.h"
#include "KwStoredCopy.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum : unsigned { MsgKeyDown = 0x0100, MsgKeyUp = 0x0101, MsgChar = 0x0102, MsgSysChar = 0x0106 };
enum : unsigned { MsgLButtonDown = 0x0201, MsgLButtonUp = 0x0202 };
enum : unsigned { VkSpace = 0x20, VkLeft = 0x25, VkDown = 0x28 };

class KwCheckBoxTest : public ::testing::Test {
protected:
    KwCtlFakeSystem coSys;
    KwApp coApp { "KwCheckBoxTest", nullptr, 0 };
    KwWFrame* pcoFrame { nullptr };
    KwTestView coView;
    std::vector<std::string> coCommands;

    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_BOXES");
        pcoFrame->SysCreate(nullptr);
        coView.fnAction = [this](TMvcParam& coParam) {
            const KwWnd* pcoBox = dynamic_cast<const KwWnd*>(static_cast<KwEvent&>(coParam).GetBaseObject());
            coCommands.push_back(pcoBox ? static_cast<const char*>(pcoBox->GetResId()) : "?");
            return 0;
        };
    }
    void TearDown() override { pcoFrame->Destroy(); }

    template <class B, class... A>
    B* Make(const char* pszName, short nY, A... args)
    {
        B* pcoBox = new B(pszName, KwPoint(10, nY), KwSize(200, 20), args...);
        EXPECT_EQ(pcoBox->SysCreate(pcoFrame), 1);
        pcoBox->MVC().SetLink("KW_LINK_COMMAND", &coView, &KwTestView::Link);
        return pcoBox;
    }
    void Click(KwWnd& coBox)
    {
        coSys.Send(coBox.GetHandle(), MsgLButtonDown, 1, KwEvent::Pack(5, 5));
        coSys.Send(coBox.GetHandle(), MsgLButtonUp, 0, KwEvent::Pack(5, 5));
    }
    // Down and up; Space makes its character in between.
    void Key(KwWnd& coBox, unsigned unKey)
    {
        coSys.Send(coBox.GetHandle(), MsgKeyDown, unKey, 0);
        if (unKey == VkSpace)
            coSys.Send(coBox.GetHandle(), MsgChar, unKey, 0);
        coSys.Send(coBox.GetHandle(), MsgKeyUp, unKey, 0);
    }
};

} // namespace

// A check box flips on a click, on Space and on Alt plus its hot key, and
// tells its owner each time; the program sets it without a command.
TEST_F(KwCheckBoxTest, ACheckBoxFlipsByMouseSpaceAndHotKey)
{
    KwCheckBox* pcoBox = Make<KwCheckBox>("CB_VERIFY", 10, "&Verify the copy");
    EXPECT_EQ(pcoBox->GetHotKey(), 'V');
    Click(*pcoBox);
    EXPECT_EQ(pcoBox->IsChecked(), 1);
    Key(*pcoBox, VkSpace);
    EXPECT_EQ(pcoBox->IsChecked(), 0);
    coSys.Send(pcoFrame->GetHandle(), MsgSysChar, 'v', 0);
    EXPECT_EQ(pcoBox->IsChecked(), 1);
    EXPECT_EQ(coCommands, std::vector<std::string>({ "CB_VERIFY", "CB_VERIFY", "CB_VERIFY" }));
    pcoBox->SetChecked(0, 1);
    EXPECT_EQ(pcoBox->IsChecked(), 0);
    pcoBox->Enable(0, 1);
    Click(*pcoBox);
    EXPECT_EQ(pcoBox->IsChecked(), 0) << "a disabled box takes no input";
    EXPECT_EQ(coCommands.size(), 3u);
}

// Radio boxes of one group: one checked at a time, only that one a tab
// stop, the arrows move round the group and check; another group and a
// second click leave them alone.
TEST_F(KwCheckBoxTest, RadioBoxesOfAGroupCheckOneAtATime)
{
    KwRadioBox* pcoA = Make<KwRadioBox>("RB_A", 10, "&All", short(1));
    KwRadioBox* pcoB = Make<KwRadioBox>("RB_B", 40, "&Both", short(1));
    KwRadioBox* pcoC = Make<KwRadioBox>("RB_C", 70, "&Close", short(1));
    KwRadioBox* pcoOther = Make<KwRadioBox>("RB_X", 100, "&Other", short(2));
    const auto State = [&] {
        std::string strState;
        for (KwRadioBox* pcoBox : { pcoA, pcoB, pcoC, pcoOther })
            strState += std::string(pcoBox->IsChecked() ? "x" : "-") + (pcoBox->IsTabStop() ? "t" : "") + " ";
        return strState;
    };
    EXPECT_EQ(State(), "-t - - -t ") << "without a checked box the first is the tab stop";
    pcoOther->SetChecked(1, 1);
    Click(*pcoB);
    EXPECT_EQ(State(), "- xt - xt ");
    Click(*pcoB);
    EXPECT_EQ(State(), "- xt - xt ") << "a second click keeps it";
    Key(*pcoB, VkDown);
    EXPECT_EQ(State(), "- - xt xt ");
    Key(*pcoC, VkDown);
    EXPECT_EQ(State(), "xt - - xt ") << "round to the first";
    Key(*pcoA, VkLeft);
    EXPECT_EQ(State(), "- - xt xt ");
    EXPECT_EQ(pcoB->GetCheckedInGroup(), pcoC);
    EXPECT_EQ(coCommands, std::vector<std::string>({ "RB_B", "RB_B", "RB_C", "RB_A", "RB_C" }));
}

// Stored and read back as a program's resource file holds them.
TEST_F(KwCheckBoxTest, BoxesAreStoredWithTheirStateAndGroup)
{
    kwtest::TResTempDir coDir("KwCheckBoxTest");
    KwRadioBox coStored("RB_STORED", KwPoint(0, 0), KwSize(100, 20), "&Stored", 7);
    coStored.SetChecked(1, 0);
    std::unique_ptr<TResource> pcoRead = KwStoredCopy(coDir, coStored);
    ASSERT_NE(pcoRead, nullptr);
    const KwRadioBox* pcoRadio = dynamic_cast<const KwRadioBox*>(pcoRead.get());
    ASSERT_NE(pcoRadio, nullptr);
    EXPECT_EQ(pcoRadio->IsChecked(), 1);
    EXPECT_EQ(pcoRadio->GetGroup(), 7);
    EXPECT_EQ(std::string(pcoRadio->GetText()), "&Stored");
}
