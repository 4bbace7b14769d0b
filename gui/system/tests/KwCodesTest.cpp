#include "KwCodes.h"

#if defined(_WIN32)
#include "KwWin32.h"
#endif

#include <gtest/gtest.h>

TEST(KwCodesTest, ShowCodesBothWays)
{
    const struct { short nShow; int nSystem; } aTable[] = {
        { 1, 0 }, { 2, 6 }, { 3, 9 }, { 4, 5 }, { 5, 3 }, { 6, 2 }, { 7, 7 }, { 8, 8 }, { 9, 4 }, { 0, 1 }, { 10, 1 }, { -3, 1 },
    };
    for (const auto& coRow : aTable)
        EXPECT_EQ(KwCodes::ShowToSystem(coRow.nShow), coRow.nSystem) << coRow.nShow;
    const struct { int nSystem; short nShow; } aEntry[] = {
        { 0, 1 }, { 1, 4 }, { 2, 6 }, { 3, 5 }, { 4, 9 }, { 5, 4 }, { 6, 2 }, { 7, 7 }, { 8, 8 }, { 9, 3 }, { 10, 4 }, { 11, 4 },
    };
    for (const auto& coRow : aEntry)
        EXPECT_EQ(KwCodes::ShowFromSystem(coRow.nSystem), coRow.nShow) << coRow.nSystem;
}

TEST(KwCodesTest, ScrollAndSizeCodesWithTheirDefaults)
{
    const unsigned short aunScroll[] = { 3, 2, 5, 4, 7, 6, 1, 0, 8 };
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(KwCodes::ScrollFromSystem(i), aunScroll[i]) << i;
    EXPECT_EQ(KwCodes::ScrollFromSystem(99), 8);
    const unsigned short aunSize[] = { 2, 1, 0, 4, 3 };
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(KwCodes::SizeFromSystem(i), aunSize[i]) << i;
    EXPECT_EQ(KwCodes::SizeFromSystem(7), 2);
}

TEST(KwCodesTest, DrawingCodesFallBackAsDocumented)
{
    EXPECT_EQ(KwCodes::RasterOpToSystem(20), KwCodes::RasterOpToSystem(11));
    EXPECT_EQ(KwCodes::RasterOpToSystem(11), 0x00CC0020UL);
    EXPECT_EQ(KwCodes::PenStyleToSystem(9), KwCodes::PenStyleToSystem(1));
    EXPECT_EQ(KwCodes::PenStyleToSystem(0), 5);
    EXPECT_EQ(KwCodes::BrushStyleToSystem(7), KwCodes::BrushStyleToSystem(0));
    EXPECT_EQ(KwCodes::HatchToSystem(0), -1);
    EXPECT_EQ(KwCodes::HatchToSystem(7), -1);
    EXPECT_EQ(KwCodes::HatchToSystem(-2), -1);
    EXPECT_EQ(KwCodes::FontWeightToSystem(2), 700);
    EXPECT_EQ(KwCodes::FontWeightToSystem(3), 0);
    EXPECT_EQ(KwCodes::CharSetToSystem(3), 128);
    EXPECT_EQ(KwCodes::CharSetToSystem(8), 1);
    EXPECT_EQ(KwCodes::PitchAndFamilyToSystem(1, 5), 0x21);
    EXPECT_EQ(KwCodes::PitchAndFamilyToSystem(9, 9), 0);
    EXPECT_EQ(KwCodes::MouseKeyFlags(0xFF), 0x1F);
    EXPECT_EQ(KwCodes::ExStyleToSystem(0xFFFFFFFFUL), 0x9UL);
    EXPECT_EQ(KwCodes::MenuItemStateFromSystem(0x1F), 0x1F);
    EXPECT_EQ(KwCodes::MenuItemStateFromSystem(0x01), 0x02);
}

// The tab width used to be put into the flags' second byte, where it
// turned the no-clip and no-prefix bits into a different width.
TEST(KwCodesTest, TextFlagsKeepTheTabWidthApart)
{
    EXPECT_EQ(KwCodes::TextFormatToSystem(0x00), 0x0040u | 0x0080u | 0x0100u | 0x0800u);
    EXPECT_EQ(KwCodes::TextFormatToSystem(0x0F), 0x0040u | 0x0080u | 0x0010u | 0x2000u);
    EXPECT_EQ(KwCodes::TextTabWidth(0), 8);
    EXPECT_EQ(KwCodes::TextTabWidth(4), 4);
    EXPECT_EQ(KwCodes::TextTabWidth(1000), 255);
}

#if defined(_WIN32)
TEST(KwCodesTest, TablesHoldTheSystemValues)
{
    EXPECT_EQ(KwCodes::ShowToSystem(7), SW_SHOWMINNOACTIVE);
    EXPECT_EQ(KwCodes::ShowFromSystem(SW_SHOWNOACTIVATE), 9);
    EXPECT_EQ(KwCodes::ScrollFromSystem(SB_THUMBTRACK), 6);
    EXPECT_EQ(KwCodes::SizeFromSystem(SIZE_MAXHIDE), 3);
    const unsigned long aulRop[] = { PATCOPY, PATINVERT, PATPAINT, DSTINVERT, BLACKNESS, WHITENESS, MERGECOPY, MERGEPAINT,
                                     NOTSRCCOPY, NOTSRCERASE, SRCAND, SRCCOPY, SRCERASE, SRCINVERT, SRCPAINT };
    for (unsigned short i = 0; i < 15; ++i)
        EXPECT_EQ(KwCodes::RasterOpToSystem(i), aulRop[i]) << i;
    EXPECT_EQ(KwCodes::PenStyleToSystem(6), PS_INSIDEFRAME);
    EXPECT_EQ(KwCodes::BrushStyleToSystem(4), static_cast<unsigned>(BS_DIBPATTERN));
    EXPECT_EQ(KwCodes::HatchToSystem(4), HS_FDIAGONAL);
    EXPECT_EQ(KwCodes::CharSetToSystem(7), CHINESEBIG5_CHARSET);
    EXPECT_EQ(KwCodes::PitchAndFamilyToSystem(2, 3), VARIABLE_PITCH | FF_ROMAN);
    EXPECT_EQ(KwCodes::TextFormatToSystem(0x0A) & ~static_cast<unsigned>(DT_EXPANDTABS | DT_TABSTOP | DT_NOCLIP | DT_NOPREFIX),
              static_cast<unsigned>(DT_WORDBREAK | DT_EDITCONTROL));
}
#endif
