#pragma once

#include "Kw25Api.h"
#include "KwMessParamWinNT.h"
#include "KwSystem.h"

#include <string>

// The platform adapter on Win32: every operation of KwSystem on the window
// system's own calls, converting framework types field by field.
//
// Every window is a Unicode window and every text crosses with the ...W
// calls, converted by TWideText: the framework's text is in the system's
// code page (UTF-8 in its programs), the system's is UTF-16. Character
// messages (WM_CHAR) thus carry UTF-16 units, a character beyond the
// Basic Multilingual Plane as two surrogate halves.
//
// Windows of the framework's class "ZORVIK_V30_00" carry their object in
// the first of their two pointer-sized extra words and the process id in
// the second. Wrapped system controls carry it in the window property
// "_KWP_<process id>", and their original procedure in "_KWO_<process
// id>", which stays until the control's final message so that the control
// can be served after its object is gone.
class KW25_API KwSystemWinNT : public KwSystem {
public:
    KwSystemWinNT();
    ~KwSystemWinNT() override;

    unsigned long GetSavedProcessId() const { return m_ulProcessId; }
    const TString& GetPropertyId() const { return m_coPropertyId; }
    const TString& GetOriginalProcPropertyId() const { return m_coOriginalPropertyId; }
    // The two property names as the ...W calls take them.
    const wchar_t* ObjectProperty() const { return m_wstrPropertyId.c_str(); }
    const wchar_t* OriginalProcProperty() const { return m_wstrOriginalPropertyId.c_str(); }
    short GetSystemId() const override { return 2; }

    // Windows
    KwWnd* GetWindowObject(KwHandle hWnd) const override;
    const char* RegisterWindowClass() override;
    KwHandle CreateWindowEx(KwWnd* pcoWnd, KwWnd* pcoParent, const char* pszClassName) override;
    int DestroyWindow(KwHandle hWnd) override;
    int IsWindow(KwHandle hWnd) const override;
    int ShowWindow(KwHandle hWnd, short nShow) override;
    int UpdateWindow(KwHandle hWnd) override;
    KwRect GetWindowRect(KwHandle hWnd) const override;
    KwRect GetClientRect(KwHandle hWnd) const override;
    int MoveWindow(KwHandle hWnd, const KwRect& coRect, int nRedraw) override;
    KwHandle GetParent(KwHandle hWnd) const override;
    KwHandle SetParent(KwHandle hWnd, KwHandle hParent) override;
    KwHandle GetRelative(KwHandle hWnd, KwRelation nRelation) const override;
    int IsWindowVisible(KwHandle hWnd) const override;
    int IsWindowEnabled(KwHandle hWnd) const override;
    int EnableWindow(KwHandle hWnd, int nEnable) override;
    unsigned long GetWindowStyle(KwHandle hWnd) const override;
    void SetWindowStyle(KwHandle hWnd, unsigned long ulStyle) override;
    unsigned long GetWindowExStyle(KwHandle hWnd) const override;
    KwHandle SetFocus(KwHandle hWnd) override;
    KwHandle GetFocus() const override;
    KwHandle SetCapture(KwHandle hWnd) override;
    KwHandle GetCapture() const override;
    int ReleaseCapture() override;
    KwHandle GetActiveWindow() const override;
    KwHandle SetActiveWindow(KwHandle hWnd) override;
    int GetWindowTextLength(KwHandle hWnd) const override;
    int GetWindowText(KwHandle hWnd, char* pszText, int nSize) const override;
    int SetWindowText(KwHandle hWnd, const char* pszText) override;
    int InvalidateRect(KwHandle hWnd, const KwRect* pcoRect, int nErase) override;
    int InvalidateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) override;
    int ValidateRect(KwHandle hWnd, const KwRect* pcoRect) override;
    int ValidateRgn(KwHandle hWnd, KwHandle hRgn) override;
    int GetUpdateRect(KwHandle hWnd, KwRect& coRect, int nErase) override;
    int GetUpdateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) override;
    KwPoint ClientToScreen(KwHandle hWnd, const KwPoint& coPoint) const override;
    KwPoint ScreenToClient(KwHandle hWnd, const KwPoint& coPoint) const override;
    std::intptr_t SendMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) override;
    int PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) override;
    KwHandle WindowFromPoint(const KwPoint& coScreenPoint) const override;
    KwHandle ChildWindowFromPoint(KwHandle hWnd, const KwPoint& coClientPoint) const override;
    KwRect AdjustWindowRect(const KwRect& coClient, unsigned long ulStyle, unsigned long ulExStyle, int nMenu) const override;
    int SetTopMost(KwHandle hWnd, int nTopMost) override;
    int SetZOrder(KwHandle hWnd, int nBottom) override;
    int IsZoomed(KwHandle hWnd) const override;
    int IsIconic(KwHandle hWnd) const override;
    int ArrangeIconicWindows(KwHandle hWnd) override;
    int DrawMenuBar(KwHandle hWnd) override;
    KwHandle GetMenu(KwHandle hWnd) const override;
    int SetMenu(KwHandle hWnd, KwHandle hMenu) override;
    KwHandle GetClassCursor(KwHandle hWnd) const override;
    std::intptr_t SysEventDefault(const KwWnd& coWnd, const KwMessParamWinNT& coParam) override;
    int SubclassControl(KwWnd& coWnd) override;
    void* GetSystemControlProc() const override;
    void DetachWindowObject(KwWnd& coWnd) override;
    int ApplyFont(KwHandle hWnd, const KwFont& coFont, int nRedraw) override;
    int ReadMinMaxInfo(const KwMessParamWinNT& coParam, KwPoint& coMaxPos, KwSize& coMaxSize, KwSize& coMinTrack, KwSize& coMaxTrack) const override;
    void WriteMinMaxInfo(const KwMessParamWinNT& coParam, const KwPoint& coMaxPos, const KwSize& coMaxSize, const KwSize& coMinTrack, const KwSize& coMaxTrack) override;
    int ReadOwnerDraw(const KwMessParamWinNT& coParam, KwOwnerDraw& coItem) const override;
    void WriteMeasureSize(const KwMessParamWinNT& coParam, const KwSize& coSize) override;

    // Menus
    KwHandle CreateMenu(int nPopup) override;
    int DestroyMenu(KwHandle hMenu) override;
    int InsertMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) override;
    int ModifyMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) override;
    int RemoveMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long CheckMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long EnableMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long GetMenuState(KwHandle hMenu, unsigned unItem, unsigned unFlags) const override;
    int GetMenuItemCount(KwHandle hMenu) const override;
    unsigned GetMenuItemID(KwHandle hMenu, int nPos) const override;
    KwHandle GetSubMenu(KwHandle hMenu, int nPos) const override;
    int GetMenuString(KwHandle hMenu, unsigned unItem, char* pszText, int nSize, unsigned unFlags) const override;
    int SetMenuItemBitmaps(KwHandle hMenu, unsigned unItem, unsigned unFlags, KwHandle hUnchecked, KwHandle hChecked) override;
    KwHandle LoadSystemBitmap(unsigned short unId) override;
    int TrackPopupMenu(KwHandle hMenu, unsigned unFlags, const KwPoint& coScreen, KwHandle hWnd) override;

    // Scroll bars
    int ShowScrollBar(KwHandle hWnd, short nBar, int nShow) override;
    short GetScrollPos(KwHandle hWnd, short nBar) const override;
    short SetScrollPos(KwHandle hWnd, short nBar, short nPos, int nRedraw) override;
    int GetScrollRange(KwHandle hWnd, short nBar, short* pnMin, short* pnMax) const override;
    int SetScrollRange(KwHandle hWnd, short nBar, short nMin, short nMax, int nRedraw) override;
    int EnableScrollBar(KwHandle hWnd, short nBar, unsigned short unArrows) override;
    int ScrollWindow(KwHandle hWnd, short nDx, short nDy, const KwRect* pcoScroll, const KwRect* pcoClip) override;

    // Screen, cursor, keyboard
    int GetSystemMetrics(int nIndex) const override;
    KwRect GetScreenRect() const override;
    KwPoint GetCursorPos() const override;
    int SetCursorPos(const KwPoint& coPoint) override;
    KwHandle SetCursor(KwHandle hCursor) override;
    KwHandle GetCursor() const override;
    KwHandle LoadSystemCursor(unsigned short unId) override;
    KwHandle LoadCursorFile(const char* pszFile) override;
    int DestroyCursor(KwHandle hCursor) override;
    int ClipCursor(const KwRect* pcoRect) override;
    KwRect GetClipCursor() const override;
    int ShowCursor(int nShow) override;
    short GetKeyState(int nVirtualKey) const override;
    TString CharText(unsigned long ulCode) const override;
    int Beep(unsigned short unType) override;

    // Profile files, directories, programs, message boxes, icons
    TString GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault) const override;
    int WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue) override;
    TString GetWindowsDirectory() const override;
    TString GetSystemDirectory() const override;
    int ExecuteProcess(const char* pszCommandLine, const char* pszWorkDir, short nShow) override;
    int SystemMessageBox(const char* pszText, const char* pszTitle, unsigned unFlags) override;
    KwHandle CreateIcon(KwHandle hColor, KwHandle hMask) override;
    int DestroyIcon(KwHandle hIcon) override;
    int DrawIcon(KwHandle hDC, const KwPoint& coPoint, KwHandle hIcon) override;

    // Loops
    int MainAppLoop() override;
    int ModalLoop(const KwWnd* pcoWnd, unsigned short unMode) override;
    void PostQuitMessage(int nExitCode) override;
    int RemoveMessMouse() override;
    int RemoveMessClose(KwHandle hWnd) override;
    void DebugOutput(const char* pszText) override;

    // Device contexts and drawing objects
    KwHandle GetDC(KwHandle hWnd) override;
    KwHandle GetWindowDC(KwHandle hWnd) override;
    int ReleaseDC(KwHandle hWnd, KwHandle hDC) override;
    KwHandle CreateCompatibleDC(KwHandle hDC) override;
    KwHandle CreateDC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode) override;
    KwHandle CreateIC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode) override;
    int DeleteDC(KwHandle hDC) override;
    KwHandle BeginPaint(KwHandle hWnd, KwPaintStruct& coPaint) override;
    int EndPaint(KwHandle hWnd, KwPaintStruct& coPaint) override;
    int SaveDC(KwHandle hDC) override;
    int RestoreDC(KwHandle hDC, int nSaved) override;
    KwHandle CreatePen(unsigned short unStyle, short nWidth, unsigned long ulColor) override;
    KwHandle CreateBrush(unsigned short unStyle, short nHatch, unsigned long ulColor, KwHandle hPattern) override;
    KwHandle CreateFont(const KwLogFont& coFont) override;
    int DeleteObject(KwHandle hObject) override;
    KwHandle SelectObject(KwHandle hDC, KwHandle hObject) override;
    KwHandle CreateRectRgn(const KwRect& coRect) override;
    KwHandle CreateEllipticRgn(const KwRect& coRect) override;
    KwHandle CreatePolygonRgn(const KwPoint* pcoPoints, short nCount, short nFillMode) override;
    KwHandle CreatePolyPolygonRgn(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons, short nFillMode) override;
    KwHandle CreateRoundRectRgn(const KwRect& coRect, short nWidth, short nHeight) override;
    KwHandle CreateBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBits, const void* pvBits) override;
    KwHandle CreateCompatibleBitmap(KwHandle hDC, const KwSize& coSize) override;
    KwHandle CreateDIBitmap(KwHandle hDC, const void* pvInfo, const void* pvBits) override;
    KwSize GetBitmapSize(KwHandle hBitmap) const override;
    KwHandle CreatePalette(const KwPaletteEntry* pcoEntries, unsigned short unCount) override;
    KwHandle SelectPalette(KwHandle hDC, KwHandle hPalette, int nBackground) override;
    int RealizePalette(KwHandle hDC) override;
    unsigned long GetBkColor(KwHandle hDC) const override;
    unsigned long SetBkColor(KwHandle hDC, unsigned long ulColor) override;
    int GetBkMode(KwHandle hDC) const override;
    int SetBkMode(KwHandle hDC, int nMode) override;
    unsigned long GetTextColor(KwHandle hDC) const override;
    unsigned long SetTextColor(KwHandle hDC, unsigned long ulColor) override;
    int GetPolyFillMode(KwHandle hDC) const override;
    int SetPolyFillMode(KwHandle hDC, int nMode) override;
    int GetROP2(KwHandle hDC) const override;
    int SetROP2(KwHandle hDC, int nMode) override;
    int GetMapMode(KwHandle hDC) const override;
    int SetMapMode(KwHandle hDC, int nMode) override;
    KwPoint GetDCPoint(KwHandle hDC, int nWhich) const override;
    KwPoint SetDCPoint(KwHandle hDC, int nWhich, const KwPoint& coPoint) override;
    int DPtoLP(KwHandle hDC, KwPoint* pcoPoints, short nCount) override;
    int LPtoDP(KwHandle hDC, KwPoint* pcoPoints, short nCount) override;
    KwPoint GetCurrentPosition(KwHandle hDC) const override;
    unsigned long GetNearestColor(KwHandle hDC, unsigned long ulColor) const override;
    int GetDeviceCaps(KwHandle hDC, short nIndex) const override;
    unsigned GetTextAlign(KwHandle hDC) const override;
    unsigned SetTextAlign(KwHandle hDC, unsigned unAlign) override;
    int GetClipBox(KwHandle hDC, KwRect& coRect) const override;
    int SelectClipRgn(KwHandle hDC, KwHandle hRgn) override;
    int ExcludeClipRect(KwHandle hDC, const KwRect& coRect) override;
    int IntersectClipRect(KwHandle hDC, const KwRect& coRect) override;
    int OffsetClipRgn(KwHandle hDC, short nDx, short nDy) override;
    int PtVisible(KwHandle hDC, const KwPoint& coPoint) const override;
    int RectVisible(KwHandle hDC, const KwRect& coRect) const override;
    int ExcludeUpdateRgn(KwHandle hDC, KwHandle hWnd) override;
    int MoveTo(KwHandle hDC, const KwPoint& coPoint) override;
    int LineTo(KwHandle hDC, const KwPoint& coPoint) override;
    int Polyline(KwHandle hDC, const KwPoint* pcoPoints, short nCount) override;
    int Rectangle(KwHandle hDC, const KwRect& coRect) override;
    int RoundRect(KwHandle hDC, const KwRect& coRect, const KwSize& coCorner) override;
    int ArcShape(KwHandle hDC, int nShape, const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd) override;
    int Ellipse(KwHandle hDC, const KwRect& coRect) override;
    int Polygon(KwHandle hDC, const KwPoint* pcoPoints, short nCount) override;
    int PolyPolygon(KwHandle hDC, const KwPoint* pcoPoints, const short* pnCounts, short nPolygons) override;
    int FillRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush) override;
    int FrameRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush) override;
    int InvertRect(KwHandle hDC, const KwRect& coRect) override;
    int DrawFocusRect(KwHandle hDC, const KwRect& coRect) override;
    int FillRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush) override;
    int FrameRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush, const KwSize& coFrame) override;
    int InvertRgn(KwHandle hDC, KwHandle hRgn) override;
    int PaintRgn(KwHandle hDC, KwHandle hRgn) override;
    unsigned long GetPixel(KwHandle hDC, const KwPoint& coPoint) const override;
    unsigned long SetPixel(KwHandle hDC, const KwPoint& coPoint, unsigned long ulColor) override;
    int FloodFill(KwHandle hDC, const KwPoint& coPoint, unsigned long ulBorder) override;
    int PatBlt(KwHandle hDC, const KwRect& coRect, unsigned long ulRop) override;
    int BitBlt(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, KwHandle hSrcDC, const KwPoint& coSrc, unsigned long ulRop) override;
    int StretchBlt(KwHandle hDC, const KwRect& coDest, KwHandle hSrcDC, const KwRect& coSrc, unsigned long ulRop) override;
    int SetDIBitsToDevice(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, const KwPoint& coSrc, const void* pvInfo, const void* pvBits) override;
    int StretchDIBits(KwHandle hDC, const KwRect& coDest, const KwRect& coSrc, const void* pvInfo, const void* pvBits, unsigned long ulRop) override;
    int TextOut(KwHandle hDC, const KwPoint& coPoint, const char* pszText, int nLength) override;
    int DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTabWidth) override;
    KwSize GetTextExtent(KwHandle hDC, const char* pszText, int nLength) const override;
    TString GetTextFace(KwHandle hDC) const override;
    int GetTextMetrics(KwHandle hDC, KwTextMetrics& coMetrics) const override;
    int SetTextJustification(KwHandle hDC, short nBreakExtra, short nBreakCount) override;
    int GetTextCharacterExtra(KwHandle hDC) const override;
    int SetTextCharacterExtra(KwHandle hDC, int nExtra) override;

protected:
    KwHandle SetSystemTimer(unsigned long ulElapse) override;
    int KillSystemTimer(KwHandle hTimerId) override;

private:
    KwHandle AppInstance() const;

    unsigned long m_ulProcessId { 0 };
    TString m_coPropertyId;
    TString m_coOriginalPropertyId;
    std::wstring m_wstrPropertyId;
    std::wstring m_wstrOriginalPropertyId;
    int m_nClassRegistered { 0 };
};
