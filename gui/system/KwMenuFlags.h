#pragma once

// The window system's menu flags and states, as the menu classes hand them
// to the adapter and read them back. They are the system's own values; the
// Win32 adapter checks each against <windows.h> at compile time.
namespace KwMenuFlag {
enum : unsigned {
    String = 0x0000,
    ByCommand = 0x0000,
    Enabled = 0x0000,
    Unchecked = 0x0000,
    Grayed = 0x0001,
    Disabled = 0x0002,
    Bitmap = 0x0004,
    Checked = 0x0008,
    Popup = 0x0010,
    OwnerDraw = 0x0100,
    ByPosition = 0x0400,
    Separator = 0x0800,
    SysMenu = 0x2000,
    MouseSelect = 0x8000,
};
} // namespace KwMenuFlag

// How a context menu is placed and which button chooses in it.
namespace KwTrackFlag {
enum : unsigned {
    LeftAlign = 0x0000,
    RightButton = 0x0002,
    CenterAlign = 0x0004,
    RightAlign = 0x0008,
};
} // namespace KwTrackFlag

// Predefined bitmaps of the system used as check marks.
namespace KwObmId {
enum : unsigned short { DownArrow = 32752, Check = 32760 };
} // namespace KwObmId
