#include "KwGuiPixels.h"

#include "KwGuiPump.h"

namespace kwtest {

namespace {

// Copies nWidth x nHeight pixels from (x, y) of hdcSource into an image,
// through a 32-bit top-down DIB section.
TTestImage Capture(HDC hdcSource, int x, int y, int nWidth, int nHeight)
{
    if (!hdcSource || nWidth <= 0 || nHeight <= 0)
        return TTestImage();
    BITMAPINFO bmi {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    const HBITMAP hBitmap = CreateDIBSection(hdcSource, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    const HDC hdcMemory = CreateCompatibleDC(hdcSource);
    TTestImage coImage;
    if (hBitmap && hdcMemory) {
        const HGDIOBJ hOld = SelectObject(hdcMemory, hBitmap);
        if (BitBlt(hdcMemory, 0, 0, nWidth, nHeight, hdcSource, x, y, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            coImage = TTestImage(nWidth, nHeight);
            const auto* pPixel = static_cast<const uint32_t*>(pBits);
            for (int row = 0; row < nHeight; ++row)
                for (int col = 0; col < nWidth; ++col, ++pPixel) // 0xXXRRGGBB into 0x00BBGGRR
                    coImage.Set(col, row, MakeRgb((*pPixel >> 16) & 0xFF, (*pPixel >> 8) & 0xFF, *pPixel & 0xFF));
        }
        SelectObject(hdcMemory, hOld);
    }
    if (hdcMemory)
        DeleteDC(hdcMemory);
    if (hBitmap)
        DeleteObject(hBitmap);
    return coImage;
}

} // namespace

COLORREF ClientPixel(HWND hWnd, POINT ptClient)
{
    RECT rc;
    if (!GetClientRect(hWnd, &rc) || !PtInRect(&rc, ptClient))
        return CLR_INVALID;
    const HDC hdc = GetDC(hWnd);
    const COLORREF colour = hdc ? GetPixel(hdc, ptClient.x, ptClient.y) : CLR_INVALID;
    if (hdc)
        ReleaseDC(hWnd, hdc);
    return colour;
}

size_t CountClientPixels(HWND hWnd, const RECT& rcClient, COLORREF colour)
{
    return CaptureClient(hWnd).Count(colour, ImageRect(rcClient));
}

TTestImage CaptureClient(HWND hWnd)
{
    RECT rc;
    if (!GetClientRect(hWnd, &rc))
        return TTestImage();
    const HDC hdc = GetDC(hWnd);
    TTestImage coImage = Capture(hdc, 0, 0, rc.right, rc.bottom);
    if (hdc)
        ReleaseDC(hWnd, hdc);
    return coImage;
}

TTestImage CaptureWindow(HWND hWnd)
{
    RECT rc;
    if (!GetWindowRect(hWnd, &rc))
        return TTestImage();
    const HDC hdc = GetWindowDC(hWnd);
    TTestImage coImage = Capture(hdc, 0, 0, rc.right - rc.left, rc.bottom - rc.top);
    if (hdc)
        ReleaseDC(hWnd, hdc);
    return coImage;
}

TTestImage CaptureDesktop()
{
    FlushDrawing();
    const HDC hdc = GetDC(nullptr);
    TTestImage coImage = Capture(hdc, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (hdc)
        ReleaseDC(nullptr, hdc);
    return coImage;
}

} // namespace kwtest
