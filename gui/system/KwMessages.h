#pragma once

// The numbers of the window system's messages that the framework maps, and
// the other system values its platform-independent code compares with. They
// are the system's own values; the Win32 adapter checks each against
// <windows.h> at compile time.
namespace KwMsg {
enum : unsigned {
    Create = 0x0001,
    Destroy = 0x0002,
    Move = 0x0003,
    Size = 0x0005,
    Activate = 0x0006,
    SetFocus = 0x0007,
    KillFocus = 0x0008,
    Paint = 0x000F,
    Close = 0x0010,
    QueryEndSession = 0x0011,
    QueryOpen = 0x0013,
    EndSession = 0x0016,
    ActivateApp = 0x001C,
    CancelMode = 0x001F,
    SetCursor = 0x0020,
    ChildActivate = 0x0022,
    GetMinMaxInfo = 0x0024,
    DrawItem = 0x002B,
    MeasureItem = 0x002C,
    QueryDragIcon = 0x0037,
    NcCreate = 0x0081,
    NcDestroy = 0x0082,
    NcPaint = 0x0085,
    NcActivate = 0x0086,
    NcMouseMove = 0x00A0,
    NcLButtonDown = 0x00A1,
    NcLButtonUp = 0x00A2,
    NcLButtonDblClk = 0x00A3,
    NcRButtonDown = 0x00A4,
    NcRButtonUp = 0x00A5,
    NcRButtonDblClk = 0x00A6,
    NcMButtonDown = 0x00A7,
    NcMButtonUp = 0x00A8,
    NcMButtonDblClk = 0x00A9,
    KeyDown = 0x0100,
    KeyUp = 0x0101,
    Char = 0x0102,
    DeadChar = 0x0103,
    SysKeyDown = 0x0104,
    SysKeyUp = 0x0105,
    SysChar = 0x0106,
    Command = 0x0111,
    SysCommand = 0x0112,
    Timer = 0x0113,
    HScroll = 0x0114,
    VScroll = 0x0115,
    InitMenu = 0x0116,
    InitMenuPopup = 0x0117,
    MenuSelect = 0x011F,
    MenuChar = 0x0120,
    CtlColorFirst = 0x0132,
    CtlColorLast = 0x0138,
    MouseMove = 0x0200,
    LButtonDown = 0x0201,
    LButtonUp = 0x0202,
    LButtonDblClk = 0x0203,
    RButtonDown = 0x0204,
    RButtonUp = 0x0205,
    RButtonDblClk = 0x0206,
    MButtonDown = 0x0207,
    MButtonUp = 0x0208,
    MButtonDblClk = 0x0209,
    CaptureChanged = 0x0215,
    QueryNewPalette = 0x030F,
    PaletteChanged = 0x0311,
    DDEInitiate = 0x03E0,
    DDETerminate = 0x03E1,
    DDEAdvise = 0x03E2,
    DDEUnadvise = 0x03E3,
    DDEAck = 0x03E4,
    DDEData = 0x03E5,
    DDERequest = 0x03E6,
    DDEPoke = 0x03E7,
    DDEExecute = 0x03E8,
    User = 0x0400,
};
} // namespace KwMsg

// System commands (the command of a system-command message, masked with
// 0xFFF0) and the hit-test code of the client area.
namespace KwSysCmd {
enum : unsigned { Size = 0xF000, Move = 0xF010, Minimize = 0xF020, Maximize = 0xF030, Close = 0xF060 };
enum : unsigned { HitClient = 1 };
} // namespace KwSysCmd

// Window style bits that the framework itself looks at.
namespace KwStyle {
enum : unsigned long {
    Child = 0x40000000UL,
    Visible = 0x10000000UL,
    Disabled = 0x08000000UL,
    Border = 0x00800000UL,
    Popup = 0x80000000UL,
    OverlappedWindow = 0x00CF0000UL,
    ExDlgModalFrame = 0x00000001UL,
    ExNoParentNotify = 0x00000004UL,
    ExTopMost = 0x00000008UL,
};
} // namespace KwStyle
