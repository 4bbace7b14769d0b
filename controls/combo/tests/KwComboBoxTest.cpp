#include "KwApp.h"
#include "KwComboBox.h"
#include "KwComboList.h"
#include "KwCtlFakeSystem.h"
#include "KwStoredCopy.h"
#include "KwWFrame.h"
#include "TResVar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum : unsigned { MsgChar = 0x0102 };

// A drop-down list class of the application, chosen by name.
class TAppComboList : public KwComboList {
    KW_DYNAMIC_CLASS(TAppComboList, KwComboList)
public:
    TAppComboList() = default;
};

std::vector<std::string> Entries(const KwComboBox& coCombo)
{
    std::vector<std::string> coEntries;
    for (long i = 0; i < coCombo.LineCount(); ++i)
        coEntries.push_back(coCombo.GetLinePtr(i));
    return coEntries;
}

class KwComboBoxTest : public ::testing::Test {
protected:
    KwCtlFakeSystem coSys;
    KwApp coApp { "KwComboBoxTest", nullptr, 0 };
    KwWFrame* pcoFrame { nullptr };
    KwComboBox* pcoCombo { nullptr };
    KwTestView coView;

    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_COMBO");
        pcoFrame->SysCreate(nullptr);
        pcoCombo = new KwComboBox("CB_FRUIT", KwPoint(10, 10), KwSize(120, 20));
        pcoCombo->SysCreate(pcoFrame);
        pcoCombo->UseTextList(s_apszFruit, KwComboBox::NullTerminated);
    }
    void TearDown() override { pcoFrame->Destroy(); }

    // Opens the drop-down and runs fnInside in its modal loop; answers
    // the list as it was there.
    KwComboList* Open(int nByMouse, const std::function<void(KwComboList&)>& fnInside)
    {
        KwComboList* pcoSeen = nullptr;
        coSys.fnInModalLoop = [&] {
            pcoSeen = pcoCombo->GetComboList();
            if (pcoSeen)
                fnInside(*pcoSeen);
        };
        EXPECT_EQ(pcoCombo->StartSelection(nByMouse), 1);
        coSys.fnInModalLoop = nullptr;
        EXPECT_FALSE(pcoCombo->IsComboListOpen());
        return pcoSeen;
    }
    void Send(const KwWnd& coWnd, unsigned unMsg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
    {
        coSys.Send(coWnd.GetHandle(), unMsg, wParam, lParam);
    }

    static const char* const s_apszFruit[];
};

const char* const KwComboBoxTest::s_apszFruit[] = { "pear", "Apple", "banana", "cherry", nullptr };

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TAppComboList, KwComboList, "test")

TEST_F(KwComboBoxTest, EntriesKeepAlphabeticalOrderOrTheOrderAdded)
{
    EXPECT_EQ(Entries(*pcoCombo), (std::vector<std::string> { "Apple", "banana", "cherry", "pear" }));
    long lIndex = 77;
    EXPECT_EQ(pcoCombo->Find("BANANA", &lIndex), 1);
    EXPECT_EQ(lIndex, 1);
    EXPECT_EQ(pcoCombo->Find("plum", &lIndex), -1);
    EXPECT_EQ(lIndex, 1);
    EXPECT_EQ(pcoCombo->Add("avocado"), 1);
    EXPECT_EQ(pcoCombo->Remove("APPLE"), 1);
    EXPECT_EQ(pcoCombo->Remove(0L), 1);
    EXPECT_EQ(pcoCombo->Remove(9L), 0);
    EXPECT_EQ(Entries(*pcoCombo), (std::vector<std::string> { "banana", "cherry", "pear" }));

    pcoCombo->SetAlphabeticalOrder(0);
    const char* const apszCounted[] = { "b", "A", "a", "c" };
    pcoCombo->UseTextList(apszCounted, 3);
    EXPECT_EQ(pcoCombo->Add("0"), 3);
    EXPECT_EQ(Entries(*pcoCombo), (std::vector<std::string> { "b", "A", "a", "0" }));
    EXPECT_EQ(pcoCombo->Find("a"), 1);
    pcoCombo->SetAlphabeticalOrder(1);
    EXPECT_EQ(Entries(*pcoCombo), (std::vector<std::string> { "0", "A", "a", "b" }));
    pcoCombo->SetText("B");
    EXPECT_TRUE(pcoCombo->CurrentInRange());
    pcoCombo->SetText("x");
    EXPECT_FALSE(pcoCombo->CurrentInRange());
    pcoCombo->RemoveAll();
    EXPECT_EQ(pcoCombo->LineCount(), 0);
}

TEST_F(KwComboBoxTest, OwnerFillsTheDropDownAndTakesTheChoice)
{
    for (const char* pszName : { "KW_LINK_COMBOINIT", "KW_LINK_COMBOLISTGETTEXT", "KW_LINK_COMBOLISTCOMMAND" })
        pcoCombo->MVC().SetLink(pszName, &coView, &KwTestView::Link);
    int nTakeChoice = 1;
    coView.fnAction = [&](TMvcParam& coParam) {
        const std::string strType = static_cast<const char*>(coParam.EventType());
        const KwEvent& coEvent = static_cast<const KwEvent&>(coParam);
        KwComboList* pcoList = pcoCombo->GetComboList();
        if (strType == "KW_LINK_COMBOINIT") {
            pcoList->SetRange(1000, 0);
            pcoList->SetCurrentPos(500, 0);
            return 1;
        }
        const KwEventListBox* pcoEvent = coEvent;
        if (strType == "KW_LINK_COMBOLISTGETTEXT") {
            pcoList->SetListBoxTextFt("Item %lu", pcoEvent->Position());
            return 1;
        }
        return nTakeChoice;
    };
    pcoCombo->SetComboListClass("TAppComboList");
    auto fnChoose = [&](KwComboList& coList) {
        EXPECT_TRUE(coList.IsClass("TAppComboList"));
        EXPECT_EQ(coList.GetRange(), 1000u);
        EXPECT_EQ(coList.GetCurrentPos(), 500u);
        coList.SelectLine(507);
        Send(coList, MsgChar, '\r');
    };
    pcoCombo->SetText("start");
    Open(0, fnChoose);
    EXPECT_EQ(pcoCombo->GetText(), "start");
    nTakeChoice = 0;
    Open(0, fnChoose);
    EXPECT_EQ(pcoCombo->GetText(), "Item 507");
}

TEST_F(KwComboBoxTest, EntriesOrderAndLinesSurviveResourceFiles)
{
    kwtest::TResTempDir coDir("KwComboBoxTest");
    KwComboBox coStored("CB_STORED", KwPoint(1, 2), KwSize(80, 20));
    coStored.SetAlphabeticalOrder(0);
    const char* const apszOwn[] = { "zeta", "", "alpha", "Mu" };
    coStored.UseTextList(apszOwn, 4);
    coStored.SetVisible(7);
    std::unique_ptr<TResource> pcoRead = KwStoredCopy(coDir, coStored);
    ASSERT_NE(pcoRead, nullptr);
    ASSERT_TRUE(pcoRead->IsClass("KwComboBox"));
    const KwComboBox& coRead = static_cast<const KwComboBox&>(*pcoRead);
    EXPECT_EQ(coRead.IsAlphabetical(), 0);
    EXPECT_EQ(coRead.GetVisible(), 7);
    EXPECT_EQ(Entries(coRead), (std::vector<std::string> { "zeta", "alpha", "Mu" }));
    // An entry stored as characters has no terminating zero: it ends with
    // its count.
    KwComboBox coHostile("CB_HOSTILE", KwPoint(1, 2), KwSize(80, 20));
    coHostile.SetAlphabeticalOrder(0);
    coHostile.NotifyVariableRead(TResChar(KwComboBox::VarEntry, "entry", 5), nullptr, 0);
    EXPECT_EQ(Entries(coHostile), (std::vector<std::string> { "entry" }));
}
