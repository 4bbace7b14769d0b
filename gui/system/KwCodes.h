#pragma once

#include "Kw25Api.h"

// The framework's own codes and the window system's values they stand for.
// Every table maps by lookup; a value outside a table takes the default its
// comment names. The numbers are the system's own (the tests of the Win32
// build compare them with <windows.h>).
namespace KwCodes {

// Show codes (KwWnd::Show, KwApp::InitInstance): 1 hide, 2 minimize,
// 3 restore, 4 show, 5 maximize, 6 show minimized, 7 show minimized without
// activation, 8 show in the current state without activation, 9 show
// without activation. Any other code shows the window normally.
KW25_API int ShowToSystem(short nShow);
// The system's show command handed to a program, as a framework show code
// (anything not listed, such as normal or default, gives 4).
KW25_API short ShowFromSystem(int nSystemShow);

// Scroll codes: 0 to the end, 1 to the start, 2 line down, 3 line up,
// 4 page down, 5 page up, 6 thumb dragged, 7 thumb released, 8 ended
// (also for unknown system codes).
KW25_API unsigned short ScrollFromSystem(unsigned nSystemCode);
// Size codes: 0 maximized, 1 minimized, 2 restored (also unknown), 3 another
// window was maximized, 4 another window was restored.
KW25_API unsigned short SizeFromSystem(unsigned nSystemCode);

// Mouse key flags: the system's left 0x1, right 0x2, shift 0x4, control
// 0x8, middle 0x10; other bits are dropped.
KW25_API unsigned short MouseKeyFlags(std::uintptr_t wParam);
// Of the extended styles only the dialog-modal frame (0x1) and top-most
// (0x8) bits reach the system.
KW25_API unsigned long ExStyleToSystem(unsigned long ulExStyle);
// Item states of owner-drawn menu items: selected 0x2, grayed 0x8,
// disabled 0x4, checked 0x1, focus 0x10.
KW25_API unsigned short MenuItemStateFromSystem(unsigned nSystemState);

// Raster operations 0 to 14 (pattern copy, pattern invert, pattern paint,
// destination invert, blackness, whiteness, merge copy, merge paint,
// inverted source copy, inverted source erase, source and, source copy,
// source erase, source invert, source paint); 15 and more copy (11).
KW25_API unsigned long RasterOpToSystem(unsigned short unRop);
// Pen styles: 0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot,
// 6 inside frame; any other is solid.
KW25_API int PenStyleToSystem(unsigned short unStyle);
// Brush styles: 0 hollow, 1 solid, 2 hatched, 3 pattern, 4 device-independent
// pattern; any other is hollow.
KW25_API unsigned BrushStyleToSystem(unsigned short unStyle);
// Hatches: 1 backward diagonal, 2 cross, 3 diagonal cross, 4 forward
// diagonal, 5 horizontal, 6 vertical; 0 and anything else no hatch (-1).
KW25_API int HatchToSystem(short nHatch);

// Font description codes: weight 0 any, 1 normal, 2 bold [0]; character
// sets 0 ANSI, 1 default, 2 symbol, 3 Shift-JIS, 4 OEM, 5 GB2312, 6 Hangeul,
// 7 Big5 [default]; pitch 0 default, 1 fixed, 2 variable [default]; family
// 0 don't care, 1 decorative, 2 modern, 3 roman, 4 script, 5 swiss [don't
// care].
KW25_API int FontWeightToSystem(unsigned short unWeight);
KW25_API unsigned char CharSetToSystem(unsigned short unCharSet);
KW25_API unsigned char PitchAndFamilyToSystem(unsigned short unPitch, unsigned short unFamily);

// Formatted text drawing (KwDC::TextOutRect formats): 0x01 clip, 0x02 wrap
// words, 0x04 show hot-key marks, 0x08 edit-control line breaking. Tabs are
// always expanded. The tab width is not put into the flags' second byte,
// where it would collide with the no-clip and no-prefix bits: the adapter
// hands it to the system separately (TextTabWidth).
KW25_API unsigned TextFormatToSystem(unsigned short unFormat);
// Characters per tab stop: at most 255; 0 means the system's 8.
KW25_API int TextTabWidth(unsigned short unTab);

} // namespace KwCodes
