#pragma once

// The window system's values that the controls use: messages, control
// styles and metrics. They are the system's own numbers; the Win32 build
// checks each against <windows.h> at compile time (win/KwCtlCodesWinNT.cpp).
namespace KwCtlCodes {

enum : unsigned {
    MsgMouseWheel = 0x020A,
    MsgEditSetSel = 0x00B1,
    MsgEditSetReadOnly = 0x00CF,
    MsgEditSetMargins = 0x00D3,
};
// The wheel's notch and the lines one notch scrolls.
enum : int { WheelDelta = 120, WheelLines = 3 };
// Margins of EM_SETMARGINS
enum : unsigned { MarginLeft = 0x0001, MarginRight = 0x0002 };

enum : unsigned long {
    StyleTabStop = 0x00010000UL,
    StyleClipChildren = 0x02000000UL,
    StyleEditAutoHScroll = 0x0080UL,
    StyleEditReadOnly = 0x0800UL,
    StyleScrollBarVert = 0x0001UL,
};

// Scroll-bar kinds of the scroll functions: the control itself.
enum : short { BarControl = 2 };

// System metrics: width of a vertical, height of a horizontal scroll bar.
enum : int { MetricVScrollWidth = 2, MetricHScrollHeight = 3 };

// Virtual keys
enum : unsigned short { KeyDown = 0x28, KeyF4 = 0x73 };

} // namespace KwCtlCodes
