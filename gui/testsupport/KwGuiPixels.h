#pragma once

// Pixels of windows, read through their device contexts, and captures of
// windows and of the desktop as images.
//
// A window's DC reads what the program has drawn, at once. The desktop is
// read from the screen (under Wine: the X server), where drawing arrives
// when the GUI thread next looks into its queue: CaptureDesktop calls
// FlushDrawing first.

#include "KwGuiTestWin.h"
#include "KwTestImage.h"

namespace kwtest {

// CLR_INVALID when the point is outside the client area.
COLORREF ClientPixel(HWND hWnd, POINT ptClient);
size_t CountClientPixels(HWND hWnd, const RECT& rcClient, COLORREF colour);

TTestImage CaptureClient(HWND hWnd);
TTestImage CaptureWindow(HWND hWnd); // with title bar and border
TTestImage CaptureDesktop();

inline TImageRect ImageRect(const RECT& rc)
{
    return { static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right), static_cast<int>(rc.bottom) };
}

} // namespace kwtest
