#include "KwApp.h"
#include "KwCntText.h"
#include "KwDC.h"
#include "KwFakeSystem.h"
#include "KwFont.h"
#include "KwResFileHelper.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "TResVar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A child that may refuse text changes.
class TGuardedChild : public KwWChild {
public:
    using KwWChild::KwWChild;
    int nAllow { 1 };
    std::vector<std::string> coChanged;
    int EvTextWillChange(const char*) override { return nAllow; }
    int EvTextHasChanged(const char* pszText) override
    {
        coChanged.push_back(pszText);
        return 1;
    }
};

class KwCntTextTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwApp coApp { "KwCntTextTest", nullptr, 0 };
    KwWFrame* pcoFrame { nullptr };
    TGuardedChild* pcoChild { nullptr };

    void SetUp() override
    {
        pcoFrame = new KwWFrame("FW_TEXT");
        pcoFrame->SysCreate(nullptr);
        pcoChild = new TGuardedChild("CW_TEXT", KwPoint(0, 0), KwSize(200, 100), 0, 7, 0);
        pcoChild->SysCreate(pcoFrame);
    }
    void TearDown() override { pcoFrame->Destroy(); }
};

} // namespace

TEST_F(KwCntTextTest, HotKeyCharacterFollowsTheFirstSingleAmpersand)
{
    const struct { const char* pszText; char chKey; } aCases[] = {
        { "&Start", 's' }, { "Save &As", 'a' }, { "a&&b", 0 }, { "&&x&Y", 'y' }, { "", 0 }, { "end&", 0 },
    };
    for (const auto& c : aCases)
        EXPECT_EQ(KwCntText(c.pszText, 0x21).GetCharUnderlined(), c.chKey) << c.pszText;
}

TEST_F(KwCntTextTest, SizeCountsLinesAndTheirSpacing)
{
    KwCntText* pcoText = new KwCntText("one\ntwo\nthree", 0x11, pcoChild);
    KwDC coDC(pcoChild);
    // 13 pixels per line; 5 % of 13 truncates to 0, 50 % to 6.
    EXPECT_EQ(pcoText->CalcCurrentSize(coDC), KwSize(7 * 13, 39));
    pcoText->SetPercentLineDist(50, 0);
    EXPECT_EQ(pcoText->CalcCurrentSize(coDC), KwSize(7 * 13, 51));
    EXPECT_EQ(pcoText->CalcCurrentRect(coDC), KwRect(0, 0, 7 * 5, 51));
    EXPECT_EQ(pcoText->CalcFocusRect(coDC), KwRect(-1, -1, 7 * 5 + 1, 52));
    pcoText->SetText(nullptr);
    EXPECT_EQ(pcoText->CalcCurrentSize(coDC), KwSize());
}

TEST_F(KwCntTextTest, WindowDecidesTextChangesAndEqualTextsCostNothing)
{
    KwCntText* pcoText = new KwCntText("old", 0x21, pcoChild);
    pcoChild->nAllow = 0;
    EXPECT_EQ(pcoText->SetText("new"), 0);
    EXPECT_EQ(pcoText->GetText(), "old");
    pcoChild->nAllow = 1;
    coSys.coLog.clear();
    EXPECT_EQ(pcoText->SetText("new"), 1);
    EXPECT_EQ(pcoText->SetText("new"), 1);   // the same again: not told, not repainted
    EXPECT_EQ(pcoText->GetText(), "new");
    EXPECT_EQ(pcoChild->coChanged, std::vector<std::string> { "new" });
    EXPECT_EQ(coSys.Lines("Invalidate").size(), 1u);
}

TEST_F(KwCntTextTest, FormattedTextsAndCopiesOutAreBounded)
{
    KwCntText coText("", 0x21);
    const std::string strLong(5000, 'x');
    EXPECT_EQ(coText.SetTextFt("%s|%d", strLong.c_str(), 7), 1);
    EXPECT_EQ(coText.GetTextLen(), KwCntText::FormatBufferSize - 1);
    coText.SetTextFt("%u%%", 33u);
    EXPECT_EQ(coText.GetText(), "33%");

    char szBuffer[8] = "zzzzzzz";
    EXPECT_EQ(coText.GetText(szBuffer, 0), 0);
    EXPECT_EQ(coText.GetText(szBuffer, -5), 0);
    EXPECT_STREQ(szBuffer, "zzzzzzz");
    EXPECT_EQ(coText.GetText(szBuffer, 3), 2);
    EXPECT_STREQ(szBuffer, "33");

    // An explicit length past the end of a text draws the text only.
    KwDC coDC(pcoChild);
    KwRect coRect(0, 0, 100, 20);
    coSys.coLog.clear();
    coDC.TextOutRect(coRect, "ab", 300, 0x11, 0);
    ASSERT_EQ(coSys.Lines("DrawText").size(), 1u);
    EXPECT_NE(coSys.Lines("DrawText")[0].find("'ab'"), std::string::npos);
}

TEST_F(KwCntTextTest, FontsAndTextSurviveCopiesAndResourceFiles)
{
    kwtest::TResTempDir coDir("KwCntTextTest");
    KwCntText coText("two\nlines", 0x11);
    coText.SetPercentLineDist(40, 0);
    coText.SetResId("CNT_TEXT");
    coText.SetOwnFont(KwFont("Arial", "FONT_OWN"), 0);
    ASSERT_NE(coText.GetOwnFont(), nullptr);
    EXPECT_NE(coText.GetOwnFont()->GetHandle(), 0u);
    EXPECT_EQ(coText.GetUsedFont(), coText.GetOwnFont());

    kwtest::StoreResources(coDir.File("text.kwt"), { &coText });
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(coDir.File("text.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    std::unique_ptr<TResource> pcoRead(coHdl.LoadResource("CNT_TEXT", nullptr, nullptr, 0));
    ASSERT_TRUE(pcoRead && pcoRead->IsClassFamily("KwCntText"));
    const KwCntText& coRead = static_cast<const KwCntText&>(*pcoRead);
    EXPECT_EQ(coRead.GetText(), "two\nlines");
    EXPECT_EQ(coRead.GetPercentLineDist(), 40);
    EXPECT_NE(coRead.GetOwnFont(), nullptr);
    // A text stored as characters has no terminating zero: it ends with its
    // count.
    KwCntText coHostile("", 0x11);
    coHostile.NotifyVariableRead(TResChar(KwCntText::VarText, "chars", 5), nullptr, 0);
    EXPECT_EQ(coHostile.GetText(), "chars");

    // A copy in a window with a resource font: the window's font wins.
    pcoChild->SetContent(coText);
    KwCntText* pcoShown = static_cast<KwCntText*>(pcoChild->Content());
    EXPECT_EQ(pcoShown->GetWindow(), pcoChild);
    ASSERT_NE(pcoShown->GetOwnFont(), nullptr);
    EXPECT_NE(pcoShown->GetOwnFont(), coText.GetOwnFont());
    pcoShown->UseResFont(2, 0);
    EXPECT_EQ(pcoShown->GetUsedFont(), &pcoChild->GetUsedFont());
    pcoShown->UseOwnFont(0);
    EXPECT_EQ(pcoShown->GetUsedFont(), pcoShown->GetOwnFont());
    pcoShown->UseDefaultFont(0);
    EXPECT_EQ(pcoShown->GetOwnFont(), nullptr);
    EXPECT_EQ(pcoShown->GetUsedFont(), &pcoChild->GetUsedFont());
}
