#include "KwCodes.h"

#include <iterator>

namespace {

template <class T, std::size_t N, class I>
T Lookup(const T (&aTable)[N], I nIndex, T tDefault)
{
    return nIndex >= 0 && static_cast<std::size_t>(nIndex) < N ? aTable[nIndex] : tDefault;
}

} // namespace

namespace KwCodes {

int ShowToSystem(short nShow)
{
    // index = framework code; SW_HIDE, SW_MINIMIZE, SW_RESTORE, SW_SHOW,
    // SW_MAXIMIZE, SW_SHOWMINIMIZED, SW_SHOWMINNOACTIVE, SW_SHOWNA,
    // SW_SHOWNOACTIVATE; SW_SHOWNORMAL otherwise.
    static const int s_anShow[] = { 1, 0, 6, 9, 5, 3, 2, 7, 8, 4 };
    return nShow >= 1 ? Lookup(s_anShow, nShow, 1) : 1;
}

short ShowFromSystem(int nSystemShow)
{
    // index = system command; hide 0, show-minimized 2, maximize 3,
    // show-no-activate 4, minimize 6, min-no-active 7, show-NA 8, restore 9.
    static const short s_anShow[] = { 1, 4, 6, 5, 9, 4, 2, 7, 8, 3 };
    return Lookup(s_anShow, nSystemShow, static_cast<short>(4));
}

unsigned short ScrollFromSystem(unsigned nSystemCode)
{
    // SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBPOSITION,
    // SB_THUMBTRACK, SB_TOP, SB_BOTTOM, SB_ENDSCROLL
    static const unsigned short s_anScroll[] = { 3, 2, 5, 4, 7, 6, 1, 0, 8 };
    return Lookup(s_anScroll, nSystemCode, static_cast<unsigned short>(8));
}

unsigned short SizeFromSystem(unsigned nSystemCode)
{
    // SIZE_RESTORED, SIZE_MINIMIZED, SIZE_MAXIMIZED, SIZE_MAXSHOW, SIZE_MAXHIDE
    static const unsigned short s_anSize[] = { 2, 1, 0, 4, 3 };
    return Lookup(s_anSize, nSystemCode, static_cast<unsigned short>(2));
}

unsigned short MouseKeyFlags(std::uintptr_t wParam)
{
    return static_cast<unsigned short>(wParam & 0x1F);
}

unsigned long ExStyleToSystem(unsigned long ulExStyle)
{
    return ulExStyle & 0x9UL;
}

unsigned short MenuItemStateFromSystem(unsigned nSystemState)
{
    // ODS_SELECTED, ODS_GRAYED, ODS_DISABLED, ODS_CHECKED, ODS_FOCUS
    static const struct { unsigned nSystem; unsigned short unOwn; } s_aState[] = {
        { 0x0001, 0x02 }, { 0x0002, 0x08 }, { 0x0004, 0x04 }, { 0x0008, 0x01 }, { 0x0010, 0x10 },
    };
    unsigned short unState = 0;
    for (const auto& coEntry : s_aState) {
        if (nSystemState & coEntry.nSystem)
            unState |= coEntry.unOwn;
    }
    return unState;
}

unsigned long RasterOpToSystem(unsigned short unRop)
{
    static const unsigned long s_aulRop[] = {
        0x00F00021UL, // PATCOPY
        0x005A0049UL, // PATINVERT
        0x00FB0A09UL, // PATPAINT
        0x00550009UL, // DSTINVERT
        0x00000042UL, // BLACKNESS
        0x00FF0062UL, // WHITENESS
        0x00C000CAUL, // MERGECOPY
        0x00BB0226UL, // MERGEPAINT
        0x00330008UL, // NOTSRCCOPY
        0x001100A6UL, // NOTSRCERASE
        0x008800C6UL, // SRCAND
        0x00CC0020UL, // SRCCOPY
        0x00440328UL, // SRCERASE
        0x00660046UL, // SRCINVERT
        0x00EE0086UL, // SRCPAINT
    };
    return Lookup(s_aulRop, unRop, s_aulRop[11]);
}

int PenStyleToSystem(unsigned short unStyle)
{
    // PS_NULL, PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME
    static const int s_anPen[] = { 5, 0, 1, 2, 3, 4, 6 };
    return Lookup(s_anPen, unStyle, 0);
}

unsigned BrushStyleToSystem(unsigned short unStyle)
{
    // BS_HOLLOW, BS_SOLID, BS_HATCHED, BS_PATTERN, BS_DIBPATTERN
    static const unsigned s_anBrush[] = { 1, 0, 2, 3, 5 };
    return Lookup(s_anBrush, unStyle, 1u);
}

int HatchToSystem(short nHatch)
{
    // none, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS, HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL
    static const int s_anHatch[] = { -1, 3, 4, 5, 2, 0, 1 };
    return Lookup(s_anHatch, nHatch, -1);
}

int FontWeightToSystem(unsigned short unWeight)
{
    static const int s_anWeight[] = { 0, 400, 700 };
    return Lookup(s_anWeight, unWeight, 0);
}

unsigned char CharSetToSystem(unsigned short unCharSet)
{
    // ANSI, DEFAULT, SYMBOL, SHIFTJIS, OEM, GB2312, HANGEUL, CHINESEBIG5
    static const unsigned char s_abCharSet[] = { 0, 1, 2, 128, 255, 134, 129, 136 };
    return Lookup(s_abCharSet, unCharSet, static_cast<unsigned char>(1));
}

unsigned char PitchAndFamilyToSystem(unsigned short unPitch, unsigned short unFamily)
{
    // DEFAULT_PITCH, FIXED_PITCH, VARIABLE_PITCH
    static const unsigned char s_abPitch[] = { 0, 1, 2 };
    // FF_DONTCARE, FF_DECORATIVE, FF_MODERN, FF_ROMAN, FF_SCRIPT, FF_SWISS
    static const unsigned char s_abFamily[] = { 0x00, 0x50, 0x30, 0x10, 0x40, 0x20 };
    return static_cast<unsigned char>(Lookup(s_abPitch, unPitch, static_cast<unsigned char>(0))
                                      | Lookup(s_abFamily, unFamily, static_cast<unsigned char>(0)));
}

unsigned TextFormatToSystem(unsigned short unFormat)
{
    unsigned unFlags = 0x0040 /*DT_EXPANDTABS*/ | 0x0080 /*DT_TABSTOP*/;
    if (!(unFormat & 0x01))
        unFlags |= 0x0100; // DT_NOCLIP
    if (unFormat & 0x02)
        unFlags |= 0x0010; // DT_WORDBREAK
    if (!(unFormat & 0x04))
        unFlags |= 0x0800; // DT_NOPREFIX
    if (unFormat & 0x08)
        unFlags |= 0x2000; // DT_EDITCONTROL
    return unFlags;
}

int TextTabWidth(unsigned short unTab)
{
    if (unTab == 0)
        return 8;
    return unTab > 255 ? 255 : unTab;
}

} // namespace KwCodes
