#include "KwApp.h"
#include "KwCntText.h"
#include "KwDC.h"
#include "KwFakeSystem.h"
#include "KwFont.h"
#include "KwResFileHelper.h"
#include "KwWChild.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Records the text colour of every text drawn.
class TColorSystem : public KwFakeSystem {
public:
    std::vector<unsigned long> coTextColors;
    int DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTab) override
    {
        coTextColors.push_back(GetTextColor(hDC));
        return KwFakeSystem::DrawText(hDC, coRect, pszText, nLength, unFlags, nTab);
    }
};

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
    TColorSystem coSys;
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
    void Paint() { coSys.Send(pcoChild->GetHandle(), 0x000F); }
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
    const KwRect coRect = pcoText->CalcCurrentRect(coDC);
    EXPECT_EQ(coRect.Height(), 51);
    EXPECT_EQ(coRect.TopLeft(), pcoChild->CalcContentRect().TopLeft());
    EXPECT_EQ(pcoText->CalcFocusRect(coDC).Height(), 53);
    pcoText->SetText(nullptr);
    EXPECT_EQ(pcoText->CalcCurrentSize(coDC), KwSize());
    EXPECT_EQ(pcoText->CalcCurrentRect(coDC), pcoChild->CalcContentRect());
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
    EXPECT_EQ(pcoText->GetText(), "new");
    ASSERT_EQ(pcoChild->coChanged.size(), 1u);
    EXPECT_EQ(pcoChild->coChanged[0], "new");
    EXPECT_EQ(coSys.Lines("Invalidate").size(), 1u);
    EXPECT_EQ(pcoText->SetText("new"), 1);
    EXPECT_EQ(coSys.Lines("Invalidate").size(), 1u);
    EXPECT_EQ(pcoChild->coChanged.size(), 1u);
    pcoText->EmptyContent();
    EXPECT_TRUE(pcoText->GetTextContent().IsEmpty());
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

TEST_F(KwCntTextTest, PaintsInTheWindowColoursGreyedAndHighlighted)
{
    new KwCntText("&Label", 0x22, pcoChild);
    pcoChild->SetColFore(12, 0);
    Paint();
    const std::vector<std::string> coDrawn = coSys.Lines("DrawText");
    ASSERT_EQ(coDrawn.size(), 1u);
    EXPECT_NE(coDrawn[0].find("'&Label'"), std::string::npos);
    EXPECT_EQ(coSys.coTextColors.back(), KwSysColor(12).GetRealColor());

    pcoChild->Enable(0, 0);
    Paint();
    EXPECT_EQ(coSys.coTextColors.back(), KwSysColor(coApp.GetColForeGrayed()).GetRealColor());
    pcoChild->Enable(1, 0);

    coSys.coLog.clear();
    pcoChild->SetSelected(1, 0);
    Paint();
    EXPECT_EQ(coSys.coTextColors.back(), KwSysColor(coApp.GetColForeHighLight()).GetRealColor());
    const std::string strBack = KwFakeColor(KwSysColor(coApp.GetColBackHighLight()).GetRealColor());
    EXPECT_EQ(coSys.Lines("FillRect").back().find("brush=" + strBack) != std::string::npos, true);
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

    KwCntText coCopy(coText);
    EXPECT_EQ(coCopy.GetWindow(), nullptr);
    ASSERT_NE(coCopy.GetOwnFont(), nullptr);
    EXPECT_NE(coCopy.GetOwnFont(), coText.GetOwnFont());
    EXPECT_STREQ(coCopy.GetOwnFont()->GetName(), "Arial");

    kwtest::StoreResources(coDir.File("text.kwt"), { &coText });
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(coDir.File("text.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    std::unique_ptr<TResource> pcoRead(coHdl.LoadResource("CNT_TEXT", nullptr, nullptr, 0));
    ASSERT_NE(pcoRead, nullptr);
    ASSERT_TRUE(pcoRead->IsClassFamily("KwCntText"));
    const KwCntText& coRead = static_cast<const KwCntText&>(*pcoRead);
    EXPECT_EQ(coRead.GetText(), "two\nlines");
    EXPECT_EQ(coRead.GetPercentLineDist(), 40);
    EXPECT_EQ(coRead.GetCenter(), 0x11);
    EXPECT_NE(coRead.GetOwnFont(), nullptr);

    // Linked to a window with a resource font, the window's font wins.
    KwCntText* pcoLinked = new KwCntText(coText);
    pcoChild->SetContent(*pcoLinked);
    delete pcoLinked;
    KwCntText* pcoShown = static_cast<KwCntText*>(pcoChild->Content());
    pcoShown->UseResFont(2, 0);
    EXPECT_EQ(pcoShown->GetUsedFont(), &pcoChild->GetUsedFont());
    pcoShown->UseOwnFont(0);
    EXPECT_EQ(pcoShown->GetUsedFont(), pcoShown->GetOwnFont());
    pcoShown->UseDefaultFont(0);
    EXPECT_EQ(pcoShown->GetOwnFont(), nullptr);
    EXPECT_EQ(pcoShown->GetUsedFont(), &pcoChild->GetUsedFont());
}
