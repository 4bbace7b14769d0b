#include "KwTestApp.h"

#include "KwComboBox.h"
#include "KwComboList.h"
#include "KwSysScrollBar.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <string>

using kw25test::Hwnd;

namespace {

const char* const s_apszFruit[] = { "apple", "banana", "cherry", "date", "elder", "fig", nullptr };

bool IsDropDown(HWND hWnd)
{
    const KwWnd* pcoWnd = KwWnd::SearchWindow(reinterpret_cast<KwHandle>(hWnd));
    return pcoWnd && pcoWnd->GetResId() == KwComboBox::FrameName;
}

class KwComboGuiTest : public ::testing::Test {
protected:
    KwWFrame* pcoFrame { nullptr };
    KwComboBox* pcoCombo { nullptr };
    KwHandle m_hFrame { 0 };

    void SetUp() override
    {
        pcoFrame = kw25test::OpenFrame("FW_COMBO", KwPoint(100, 100), KwSize(320, 240), "Combo");
        m_hFrame = pcoFrame->GetHandle();
        pcoCombo = new KwComboBox("CB_FRUIT", KwPoint(20, 20), KwSize(160, 22));
        pcoCombo->SetReadOnly(1);
        pcoCombo->UseTextList(s_apszFruit, KwComboBox::NullTerminated);
        pcoCombo->SetVisible(4);
        kw25test::AddChild(pcoCombo, *pcoFrame);
        pcoCombo->SetText("banana");
        kwtest::PumpIdle();
    }
    void TearDown() override
    {
        if (KwWnd* pcoOpen = KwWnd::SearchWindow(m_hFrame))
            pcoOpen->Destroy();
        kwtest::PumpIdle();
    }
    HWND Combo() const { return Hwnd(*pcoCombo); }
    HWND Button() const { return Hwnd(*pcoCombo->GetChild(KwComboBox::ButtonName)); }
    // A point in the middle of a line of the open drop-down.
    static POINT LinePoint(const KwComboList& coList, short nLine)
    {
        const KwRect coLine = coList.GetLineRect(nLine);
        return POINT { coLine.Left() + 15, (coLine.Top() + coLine.Bottom()) / 2 };
    }
    // The screen around the field and its drop-down.
    void ScreenshotAround(const char* pszSuffix)
    {
        kwtest::FlushDrawing();
        RECT rc;
        ::GetWindowRect(Hwnd(*pcoFrame), &rc);
        kwtest::SaveScreenshot(kwtest::CaptureDesktop().Part(kwtest::ImageRect(rc)), pszSuffix);
    }
};

} // namespace

TEST_F(KwComboGuiTest, MousePressDragsIntoTheDropDownAndReleaseChooses)
{
    std::string strSeen;
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(IsDropDown, [&](HWND hDrop) {
        KwComboList* pcoList = pcoCombo->GetComboList();
        ASSERT_NE(pcoList, nullptr);
        RECT rcDrop, rcCombo;
        ::GetWindowRect(hDrop, &rcDrop);
        ::GetWindowRect(Combo(), &rcCombo);
        EXPECT_EQ(rcDrop.left, rcCombo.left);
        EXPECT_EQ(rcDrop.top, rcCombo.bottom - 1);
        EXPECT_EQ(rcDrop.right, rcCombo.right);
        EXPECT_EQ(pcoList->GetVisibleLines(), 4);
        EXPECT_EQ(pcoList->GetCurrentSel(), 1);
        EXPECT_EQ(::GetCapture(), Hwnd(*pcoList));
        ScreenshotAround("open");
        kwtest::MoveMouse(Hwnd(*pcoList), LinePoint(*pcoList, 1));
        kwtest::MoveMouse(Hwnd(*pcoList), LinePoint(*pcoList, 3));
        strSeen = static_cast<const char*>(pcoList->FetchText(static_cast<unsigned long>(pcoList->GetCurrentSel()), 3));
        kwtest::MouseUp();
    });
    ASSERT_TRUE(kwtest::MoveMouse(Combo(), POINT { 30, 10 }));
    ASSERT_TRUE(kwtest::MouseDown());
    ASSERT_TRUE(coAnswer.Answered());
    // The drop-down shows banana to elder: its fourth line is elder.
    EXPECT_EQ(strSeen, "elder");
    EXPECT_EQ(pcoCombo->GetText(), "elder");
    EXPECT_FALSE(pcoCombo->IsComboListOpen());
    ScreenshotAround("chosen");
}

TEST_F(KwComboGuiTest, ButtonOpensAndAClickOnALineChooses)
{
    kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(IsDropDown, [&](HWND) {
        KwComboList* pcoList = pcoCombo->GetComboList();
        // The release of the opening click fell on the button: still open.
        EXPECT_TRUE(pcoCombo->IsComboListOpen());
        // Scrolled to the end, the last entry is chosen.
        pcoList->ScrollAbsolute(2, 1);
        kwtest::ClickAt(Hwnd(*pcoList), LinePoint(*pcoList, 3));
    });
    ASSERT_TRUE(kwtest::ClickAt(Button(), POINT { 8, 10 }));
    ASSERT_TRUE(coAnswer.Answered());
    EXPECT_EQ(pcoCombo->GetText(), "fig");
}

TEST_F(KwComboGuiTest, KeysOpenAndChooseEscapeAClickElsewhereAndDeactivationClose)
{
    pcoCombo->SetFocus();
    enum TAfter { AfterKeys, AfterClick, AfterActivate };
    const struct { WORD wVk; unsigned nModifiers; WORD awInside[3]; TAfter eAfter; const char* pszText; } aCases[] = {
        { VK_F4, kwtest::ModNone, { VK_DOWN, VK_DOWN, VK_RETURN }, AfterKeys, "date" },
        { VK_DOWN, kwtest::ModAlt, { VK_UP, VK_ESCAPE, 0 }, AfterKeys, "date" },
        { VK_F4, kwtest::ModNone, { VK_UP, 0, 0 }, AfterClick, "date" },
        { VK_F4, kwtest::ModNone, { VK_DOWN, 0, 0 }, AfterActivate, "date" },
    };
    for (const auto& c : aCases) {
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(IsDropDown, [&](HWND) {
            for (WORD wVk : c.awInside) {
                if (wVk)
                    kwtest::PressKey(wVk);
            }
            if (c.eAfter == AfterClick)
                kwtest::ClickAt(Hwnd(*pcoFrame), POINT { 250, 200 });
            if (c.eAfter == AfterActivate)
                ::SetActiveWindow(Hwnd(*pcoFrame));
        });
        ASSERT_TRUE(kwtest::PressKey(c.wVk, c.nModifiers));
        ASSERT_TRUE(coAnswer.Answered());
        kwtest::PumpIdle();
        EXPECT_FALSE(pcoCombo->IsComboListOpen()) << c.eAfter;
        EXPECT_EQ(pcoCombo->GetText(), c.pszText) << c.eAfter;
        EXPECT_EQ(::GetActiveWindow(), Hwnd(*pcoFrame));
    }
}

TEST_F(KwComboGuiTest, FieldsAndScrollBarShowTheirColoursAndText)
{
    KwSysEdit* pcoEdit = kw25test::AddChild(new KwSysEdit("ED_NAME", KwPoint(20, 60), KwSize(160, 22), 0, 11, 1), *pcoFrame);
    pcoEdit->SetText("Editable text");
    KwSysEdit* pcoFixed = new KwSysEdit("ED_FIXED", KwPoint(20, 90), KwSize(160, 22), 0, 6, 12);
    pcoFixed->SetReadOnly(1);
    kw25test::AddChild(pcoFixed, *pcoFrame);
    pcoFixed->SetText("Read-only");
    KwSysScrollBarVert* pcoBar = kw25test::AddChild(new KwSysScrollBarVert("SB_V", KwPoint(200, 20), KwSize(16, 120)), *pcoFrame);
    pcoBar->SetRange(0, 10, 0);
    pcoBar->SetThumbPos(5, 1);
    pcoCombo->Enable(0, 1);
    kwtest::PumpIdle();
    EXPECT_TRUE(pcoFixed->IsReadOnly() && !pcoEdit->IsReadOnly());
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoEdit), POINT { 150, 3 }), RGB(0, 255, 255));
    EXPECT_EQ(kwtest::ClientPixel(Hwnd(*pcoFixed), POINT { 150, 3 }), RGB(255, 255, 0));
    // Red text on yellow (its edges smoothed towards the yellow).
    const kwtest::TTestImage coFixed = kwtest::CaptureClient(Hwnd(*pcoFixed));
    size_t nRed = 0;
    for (int y = 0; y < coFixed.Height(); ++y)
        for (int x = 0; x < coFixed.Width(); ++x)
            nRed += ((coFixed.At(x, y) >> 8) & 0xFF) < 0xC8 && (coFixed.At(x, y) & 0xFF) > 0xC8;
    EXPECT_GT(nRed, 40u);
    EXPECT_EQ(pcoBar->GetThumbPos(), 5);
    EXPECT_FALSE(::IsWindowEnabled(Button()));
    // A read-only field cannot be typed into.
    pcoFixed->SetFocus();
    kwtest::TypeText("x");
    EXPECT_EQ(pcoFixed->GetText(), "Read-only");
    kwtest::ScreenshotWindow(Hwnd(*pcoFrame));
}
