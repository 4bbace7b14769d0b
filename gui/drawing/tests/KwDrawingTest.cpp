#include "KwColorTable.h"
#include "KwDC.h"
#include "KwDib.h"
#include "KwFakeSystem.h"
#include "KwFont.h"
#include "KwPen.h"
#include "KwResFileHelper.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "TArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class KwDrawingTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;

    // A screen context with the log cleared.
    void Fresh() { coSys.coLog.clear(); }
};

std::string Text(const TArray& coLines, long i)
{
    return static_cast<const char*>(coLines.Get(i));
}

// A packed 2x2 picture of 24 bits per pixel (rows of 8 bytes).
std::vector<unsigned char> SmallDib(long lWidth = 2, long lHeight = 2, unsigned short unBits = 24)
{
    std::vector<unsigned char> coBlock(40 + 16, 0);
    const auto Put32 = [&](size_t nAt, long lValue) {
        for (int i = 0; i < 4; ++i)
            coBlock[nAt + static_cast<size_t>(i)] = static_cast<unsigned char>((static_cast<unsigned long>(lValue) >> (8 * i)) & 0xFF);
    };
    Put32(0, 40);
    Put32(4, lWidth);
    Put32(8, lHeight);
    coBlock[12] = 1;
    coBlock[14] = static_cast<unsigned char>(unBits);
    return coBlock;
}

} // namespace

TEST_F(KwDrawingTest, SelectingMakesTheObjectAndNullGivesTheContextsOwnBack)
{
    KwScreenDC coDC;
    KwPen coPen(0x0000FFUL, 1, 2);
    EXPECT_EQ(coPen.GetHandle(), 0u);
    EXPECT_EQ(coDC.SelectObject(&coPen), nullptr);
    ASSERT_NE(coPen.GetHandle(), 0u);
    EXPECT_EQ(coSys.coDcs[coDC.GetHandle()].hPen, coPen.GetHandle());
    EXPECT_EQ(coDC.SelectObject(static_cast<const KwPen*>(nullptr)), &coPen);
    EXPECT_EQ(coSys.ColorOf(coSys.coDcs[coDC.GetHandle()].hPen), "000000");   // the context's own pen
    EXPECT_EQ(coPen.GetHandlerCount(), 0);
}

TEST_F(KwDrawingTest, DeletedPenLeavesEveryContextWithoutIt)
{
    KwScreenDC coFirst;
    KwScreenDC coSecond;
    KwPen* pcoPen = new KwPen(0x00FF00UL, 1, 1);
    coFirst.SelectObject(pcoPen);
    coSecond.SelectObject(pcoPen);
    EXPECT_EQ(pcoPen->GetHandlerCount(), 2);
    delete pcoPen;
    EXPECT_EQ(coFirst.GetPen(), nullptr);
    EXPECT_EQ(coSecond.GetPen(), nullptr);
    EXPECT_EQ(coSys.nDeletedWhileSelected, 0);
    EXPECT_EQ(coSys.ColorOf(coSys.coDcs[coFirst.GetHandle()].hPen), "000000");
}

TEST_F(KwDrawingTest, ContextSelectsEverythingOutBeforeItIsGivenBack)
{
    KwBrush coBrush(0x112233UL, 1, 0);
    {
        KwScreenDC coDC;
        coDC.SelectObject(&coBrush);
    }
    EXPECT_EQ(coBrush.GetHandlerCount(), 0);
    EXPECT_EQ(coSys.Lines("ReleaseDC").size(), 1u);
    coBrush.SysDelete();
    EXPECT_EQ(coSys.nDeletedWhileSelected, 0);
}

TEST_F(KwDrawingTest, TextAtAPointIsPlacedByItsExtent)
{
    KwScreenDC coDC;
    Fresh();
    coDC.TextOutPoint(KwPoint(100, 50), "Hello", -1, 0x01 | 0x10);
    coDC.TextOutPoint(KwPoint(100, 50), "Hello", -1, 0);
    coDC.TextOutPoint(KwPoint(100, 50), "Hello", 2, 0x04 | 0x80);
    coDC.TextOutPoint(KwPoint(100, 50), "Hello", -1, 0x40);
    coDC.TextOutPoint(KwPoint(100, 50), "", -1, 0);
    EXPECT_EQ(coSys.Lines("TextOut"), std::vector<std::string>({
                                          "TextOut 100,50 'Hello' align=0",
                                          "TextOut 83,44 'Hello' align=0",
                                          "TextOut 86,37 'He' align=0",
                                          "TextOut 83,50 'Hello' align=24",
                                      }));
    Fresh();
    const KwRect coClip(0, 0, 10, 10);
    coDC.TextOutPoint(KwPoint(0, 0), "one\ntwo", -1, 0x11, &coClip);
    EXPECT_EQ(coSys.Lines("TextOut"), std::vector<std::string>({ "TextOut 0,0 'one' align=0", "TextOut 0,13 'two' align=0" }));
    EXPECT_EQ(coSys.Lines("Clip").size(), 2u);
}

TEST_F(KwDrawingTest, TextInARectangleFollowsAlignmentOffsetAndSpacing)
{
    KwScreenDC coDC;
    KwRect coEmpty(5, 5, 9, 9);
    coDC.TextOutRect(coEmpty, "", -1, 0x11, 0x10);
    EXPECT_EQ(coEmpty, KwRect(0, 0, 0, 0));

    KwRect coMeasured(10, 10, 200, 100);
    coDC.TextOutRect(coMeasured, "ab\nabcd", -1, 0x11, 0x10, nullptr, 8, 2);
    EXPECT_EQ(coMeasured, KwRect(10, 10, 38, 38));             // two lines of 13 and 2 between

    Fresh();
    KwRect coRect(10, 20, 110, 120);
    const KwPoint coOffset(2, 3);
    coDC.TextOutRect(coRect, "abc\nx", -1, 0x01 | 0x10, 0x00, &coOffset);
    coDC.TextOutRect(coRect, "abc", -1, 0x04 | 0x20, 0x01);
    coDC.TextOutRect(coRect, "&File", -1, 0x02, 0x04);
    const std::vector<std::string> coLines = coSys.Lines("DrawText");
    ASSERT_EQ(coLines.size(), 4u);
    EXPECT_EQ(coLines[0], "DrawText 12,23,33,36 'abc' flags=09c0 tab=8");
    EXPECT_EQ(coLines[1], "DrawText 12,36,19,49 'x' flags=09c0 tab=8");
    EXPECT_EQ(coLines[2], "DrawText 89,63,110,76 'abc' flags=08c0 tab=8");
    // The mark's character takes no room: four characters wide, centred.
    EXPECT_EQ(coLines[3], "DrawText 46,107,74,120 '&File' flags=01c0 tab=8");

    const KwRect coCalc = coDC.CalcTextOutRect(KwPoint(0, 0), "&ab", -1, 0x11, 1);
    EXPECT_EQ(coCalc, KwRect(0, 0, 14, 13));
}

TEST(KwDCTest, SplitLinesKeepsEveryLine)
{
    TArray coLines;
    EXPECT_EQ(KwDC::SplitLines("a\nb", coLines), 2);
    EXPECT_EQ(Text(coLines, 1), "b");
    EXPECT_EQ(KwDC::SplitLines("a\n", coLines), 2);
    EXPECT_EQ(Text(coLines, 0), "a");
    EXPECT_EQ(Text(coLines, 1), "");
    EXPECT_EQ(KwDC::SplitLines("", coLines), 1);
    EXPECT_EQ(Text(coLines, 0), "");
    EXPECT_EQ(KwDC::SplitLines(nullptr, coLines), 1);
}

TEST_F(KwDrawingTest, PlainShadeDrawsLightTopLeftAndDarkBottomRight)
{
    KwWFrame* pcoFrame = new KwWFrame("FW_SHADE");
    pcoFrame->SysCreate(nullptr);
    KwWChild* pcoChild = new KwWChild("CW_SHADE", KwPoint(0, 0), KwSize(20, 10), 12, 15, 0);
    pcoChild->SysCreate(pcoFrame);
    pcoChild->SetShade(1, 0);
    pcoChild->SetShadeWidth(2, 0);
    pcoChild->SetBorderWidth(1, 0);
    EXPECT_EQ(pcoChild->GetFullBorderWidth(), 3);
    EXPECT_EQ(pcoChild->CalcContentRect(), KwRect(3, 3, 17, 7));
    KwScreenDC coDC;
    Fresh();
    EXPECT_EQ(pcoChild->DrawShade(coDC, KwRect(0, 0, 20, 10)), 1);
    EXPECT_EQ(coSys.Lines("Polyline"), std::vector<std::string>({
                                           "Polyline 0,9 0,0 19,0 pen=ffffff",
                                           "Polyline 1,8 1,1 18,1 pen=ffffff",
                                           "Polyline 1,9 19,9 19,-1 pen=808080",
                                           "Polyline 2,8 18,8 18,0 pen=808080",
                                       }));
    pcoChild->SetShadeTurned(1, 0);
    Fresh();
    pcoChild->DrawShade(coDC, KwRect(0, 0, 20, 10));
    EXPECT_EQ(coSys.Lines("Polyline").front(), "Polyline 0,9 0,0 19,0 pen=808080");

    // The layout paints the background, the border and then the shade.
    Fresh();
    coSys.Send(pcoChild->GetHandle(), 0x000F);
    const std::vector<std::string> coRects = coSys.Lines("Rectangle");
    ASSERT_EQ(coRects.size(), 2u);
    EXPECT_EQ(coRects[0], "Rectangle 0,0,20,10 pen=c0c0c0 brush=c0c0c0");
    EXPECT_EQ(coRects[1], "Rectangle 0,0,20,10 pen=0000ff brush=hollow");
    EXPECT_EQ(coSys.Lines("Polyline").front(), "Polyline 1,8 1,1 18,1 pen=808080");
    pcoFrame->Destroy();
}

TEST_F(KwDrawingTest, GroupShadeWithInnerBorderDrawsNestedRectangles)
{
    KwWChild coChild("CW_GROUP", KwPoint(0, 0), KwSize(20, 20), 4, 15, 0);
    coChild.SetShade(1, 0);
    coChild.SetShadeGroupLook(1, 0);
    coChild.SetShadeWidth(1, 0);
    coChild.SetInShadeBorder(1, 0);
    coChild.SetInShadeBorderWidth(1, 0);
    EXPECT_EQ(coChild.GetFullBorderWidth(), 3 + 0);   // border look without width counts 0
    KwScreenDC coDC;
    Fresh();
    coChild.DrawShade(coDC, KwRect(0, 0, 20, 20));
    EXPECT_EQ(coSys.Lines("Rectangle"), std::vector<std::string>({
                                            "Rectangle 0,0,19,19 pen=ffffff brush=hollow",
                                            "Rectangle 1,1,20,20 pen=808080 brush=hollow",
                                            "Rectangle 2,2,18,18 pen=000080 brush=hollow",
                                        }));
    coChild.SetShade(0, 0);
    EXPECT_EQ(coChild.DrawShade(coDC, KwRect(0, 0, 20, 20)), 0);
}

TEST(KwDibTest, OnlySoundPicturesAreTaken)
{
    std::vector<unsigned char> coGood = SmallDib();
    KwDib coDib;
    EXPECT_EQ(coDib.SetPacked(coGood.data(), coGood.size()), 1);
    EXPECT_EQ(coDib.GetSize(), KwSize(2, 2));
    EXPECT_EQ(coDib.GetLayout().ulImageSize, 16u);
    EXPECT_EQ(coDib.GetBits(), coDib.GetPacked() + 40);
    EXPECT_EQ(coDib.SetPacked(coGood.data(), coGood.size() - 1), 0);   // a byte of the bits missing
    EXPECT_FALSE(coDib.IsValid());
    const std::vector<std::vector<unsigned char>> coBad = {
        SmallDib(0, 2), SmallDib(2, 0), SmallDib(40000, 1), SmallDib(2, 2, 7), SmallDib(32767, -32767, 32),
    };
    for (const auto& coBlock : coBad)
        EXPECT_EQ(coDib.SetPacked(coBlock.data(), coBlock.size()), 0);
    std::vector<unsigned char> coPalette(40 + 8 + 8, 0);
    std::memcpy(coPalette.data(), SmallDib(2, 2, 1).data(), 40);
    coPalette[32] = 3;                                                   // three colours of a 1-bit picture
    EXPECT_EQ(coDib.SetPacked(coPalette.data(), coPalette.size()), 0);
}

// Bit-field masks lie after a plain header of 40 bytes or inside one of 52
// bytes and more: a header of 41 to 51 bytes cannot hold them, and storing
// such a picture read its masks beyond the block.
TEST(KwDibTest, BitFieldMasksMustLieInsideThePicture)
{
    kwtest::TResTempDir coDir("KwDibTest");
    for (unsigned char bHeader : { 44, 51, 52 }) {
        std::vector<unsigned char> coBlock = SmallDib(1, 1, 16);
        coBlock.resize(bHeader + 4u, 0);
        coBlock[0] = bHeader;
        coBlock[16] = 3;                                                 // bit fields
        for (unsigned char b = 40; b + 3 < bHeader; ++b)
            coBlock[b] = static_cast<unsigned char>(0x10 + b);           // the masks, where there is room
        KwDib coDib("", "DIB_FIELDS", 0);
        EXPECT_EQ(coDib.SetPacked(coBlock.data(), coBlock.size()), bHeader >= 52 ? 1 : 0) << int(bHeader);
        EXPECT_EQ(kwtest::RecordBytes(coDib, coDir.File("dib.rec")).find(std::string("\x38\x39\x3a\x3b", 4)) != std::string::npos,
                  bHeader >= 52)
            << int(bHeader);
    }
}

TEST(KwColorTableTest, NumbersOutsideTheTableAnswerBlack)
{
    const KwColorTable& coTable = KwColorTable::Default();
    EXPECT_EQ(coTable.GetColor(300).Get(), 0UL);
    EXPECT_EQ(coTable.GetColor(-1).Get(), 0UL);
    EXPECT_EQ(coTable.GetColorIndex(""), -1);
    EXPECT_EQ(coTable.GetColorIndex("lightgray"), 15);
    EXPECT_EQ(coTable.GetColor(8).GetSystemColor(), 0x808080UL);
    KwColorTable coCopy(coTable);
    EXPECT_EQ(coCopy.SetColor(255, KwColor(1, 2, 3)), 1);
    EXPECT_EQ(coCopy.SetColor(256, KwColor(1, 2, 3)), 0);
    EXPECT_EQ(coCopy.GetColor(255).Get(), 0x030201UL);
    KwColor coColor(0x123456UL);
    coColor.SetTransparent(1);
    EXPECT_TRUE(coColor.IsTransparent());
    EXPECT_EQ(coColor.GetSystemColor(), 0x123456UL);
}

TEST_F(KwDrawingTest, FontMeasuresItsCellHeightAndPointSize)
{
    KwFont coFont("MS Sans Serif", "FONT_TEST");
    coFont.SetHeight(-8);
    EXPECT_EQ(coFont.SysCreate(nullptr), 1);
    EXPECT_EQ(coFont.GetHeight(), 13);                 // ascent + descent of the fake's font
    KwFont coNoFace;
    EXPECT_EQ(coNoFace.SysCreate(nullptr), 0);
    EXPECT_EQ(coNoFace.GetHandle(), 0u);
}
