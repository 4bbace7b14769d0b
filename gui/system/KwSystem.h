#pragma once

#include "Kw25Api.h"
#include "KwGdiTypes.h"
#include "KwHashTable.h"
#include "KwMessParam.h"
#include "KwRect.h"
#include "TString.h"

#include <vector>

class KwApp;
class KwFont;
class KwRes;
class KwTimer;
class KwWnd;

// What the dispatch of one message asks the window procedure to do: run
// the system's default processing (nDefault), or answer lResult.
struct KwDispatchResult {
    int nDefault { 1 };
    std::intptr_t lResult { 0 };
};

// An owner-drawn item as the system describes it (measure or draw).
struct KwOwnerDraw {
    unsigned unType { 0 };        // 1 for menu items
    KwHandle hItem { 0 };         // the item's id
    unsigned unAction { 0 };      // 1 draw entirely, 2 selection, 4 focus
    unsigned unState { 0 };       // the system's item state
    KwHandle hDC { 0 };
    KwRect coRect;
    KwSize coSize;                // of a measure request
};

// Relations between windows for KwSystem::GetRelative.
enum class KwRelation : unsigned short { FirstSibling, LastSibling, Next, Previous, FirstChild };

// The platform adapter: one object per process (pcoKwSys), through which
// every call of the GUI libraries into the window system passes.
//
// KwSystem holds what does not depend on the platform: the handle tables,
// the current message, the paint depth, the window under the cursor, the
// running timers, and the entry of a message's dispatch (the windows and
// timers it reaches are called through KwAdapterClients.h, which their
// families register). The operations of the window system are virtual with neutral
// results (0, null, empty); KwSystemWinNT implements them on Win32, each
// converting framework types to the system's and back and nothing more.
// Test programs of the native build derive recording adapters from it.
class KW25_API KwSystem {
public:
    explicit KwSystem(const char* pszAdapterName);
    virtual ~KwSystem();
    KwSystem(const KwSystem&) = delete;
    KwSystem& operator=(const KwSystem&) = delete;

    // Identity
    const TString& GetAdapterName() const { return m_coAdapterName; }
    KwApp* GetApp() const { return m_pcoApp; }
    void SetApp(KwApp* pcoApp) { m_pcoApp = pcoApp; }
    // 2 for the Windows NT adapter.
    virtual short GetSystemId() const { return 0; }

    // Handle tables: "SYSTEM", "MENU", "MENUITEM", "TIMER", "CUSTOM"
    KwHashTableList& Tables() { return m_coTables; }
    KwHashTable* GetHash(const char* pszKind) const { return m_coTables.GetHash(pszKind); }
    KwRes* Lookup(const char* pszKind, KwHandle hHandle) const { return m_coTables.Lookup(pszKind, hHandle); }
    KwRes* GetObj(const char* pszKind, long lIndex) const { return m_coTables.GetObj(pszKind, lIndex); }
    KwRes* GetObj(const char* pszKind, const char* pszName) const { return m_coTables.GetObj(pszKind, pszName); }
    static KwHandle GetMaxHandles() { return 0x80000000UL; }
    // The window bound to a system window ("SYSTEM" table), for the window
    // procedures: no call into the window system.
    KwWnd* LookupWindow(KwHandle hWnd) const;

    // The message being dispatched. Nested messages save and restore it, so
    // that after a nested message has been handled the outer one is current
    // again.
    const KwMessage& GetActMessageParam() const { return m_coActMessage; }
    void InitMessParam(const KwMessage& coParam) { m_coActMessage = coParam; }
    // Paint messages being handled, counted: a paint nested in another (a
    // child painted synchronously from a parent's paint) does not end the
    // outer one.
    void SetPaintEvent(int nOn) { m_nPaintDepth += nOn ? 1 : (m_nPaintDepth > 0 ? -1 : 0); }
    int IsPaintEvent() const { return m_nPaintDepth > 0; }

    // Dispatch (called by the window procedures): the message reaches the
    // window's Map handler through KwAdapterWindows. nSystemControl selects
    // the table of wrapped system controls.
    KwDispatchResult DispatchMessage(KwWnd& coWnd, KwMessage& coParam, int nSystemControl);
    // One tick of the timer with this id (the common timer procedure).
    void DispatchTimer(KwHandle hTimerId, unsigned long ulSysTime);
    // Every registered timer is told that the window is destroyed. The
    // timers are collected first, so that timers that stop while being
    // told (and leave the table) do not disturb the walk.
    void NotifyTimersWindowDestroyed(KwWnd* pcoWnd);
    // Window timers connected to a window, running or not, so that the
    // destruction of their window reaches them too.
    void RegisterWindowTimer(KwTimer* pcoTimer, int nRegister);

    // The window under the cursor; a change tells the old window that the
    // mouse left and the new one that it entered.
    KwHandle GetCurrentCursorWindow() const { return m_hCursorWnd; }
    void SetCurrentCursorWindow(KwHandle hWnd);
    // The arrow cursor, loaded once.
    KwHandle GetArrowCursor();

    // Running timers and the common timer procedure.
    long GetTimerCount() const { return m_lTimerCount; }
    KwHandle StartTimer(unsigned long ulElapse);
    int StopTimer(KwHandle hTimerId);

    // Windows
    virtual KwWnd* GetWindowObject(KwHandle hWnd) const { return nullptr; }
    virtual const char* RegisterWindowClass() { return nullptr; }
    virtual KwHandle CreateWindowEx(KwWnd* pcoWnd, KwWnd* pcoParent, const char* pszClassName) { return 0; }
    virtual int DestroyWindow(KwHandle hWnd) { return 0; }
    virtual int IsWindow(KwHandle hWnd) const { return 0; }
    virtual int ShowWindow(KwHandle hWnd, short nShow) { return 0; }
    virtual int UpdateWindow(KwHandle hWnd) { return 0; }
    virtual KwRect GetWindowRect(KwHandle hWnd) const { return KwRect(); }
    virtual KwRect GetClientRect(KwHandle hWnd) const { return KwRect(); }
    // rect in the parent's client coordinates (screen for top-level windows).
    virtual int MoveWindow(KwHandle hWnd, const KwRect& coRect, int nRedraw) { return 0; }
    virtual KwHandle GetParent(KwHandle hWnd) const { return 0; }
    virtual KwHandle SetParent(KwHandle hWnd, KwHandle hParent) { return 0; }
    virtual KwHandle GetRelative(KwHandle hWnd, KwRelation nRelation) const { return 0; }
    virtual int IsWindowVisible(KwHandle hWnd) const { return 0; }
    virtual int IsWindowEnabled(KwHandle hWnd) const { return 0; }
    virtual int EnableWindow(KwHandle hWnd, int nEnable) { return 0; }
    virtual unsigned long GetWindowStyle(KwHandle hWnd) const { return 0; }
    virtual void SetWindowStyle(KwHandle hWnd, unsigned long ulStyle) {}
    virtual unsigned long GetWindowExStyle(KwHandle hWnd) const { return 0; }
    virtual KwHandle SetFocus(KwHandle hWnd) { return 0; }
    virtual KwHandle GetFocus() const { return 0; }
    virtual KwHandle SetCapture(KwHandle hWnd) { return 0; }
    virtual KwHandle GetCapture() const { return 0; }
    virtual int ReleaseCapture() { return 0; }
    virtual KwHandle GetActiveWindow() const { return 0; }
    virtual KwHandle SetActiveWindow(KwHandle hWnd) { return 0; }
    virtual int GetWindowTextLength(KwHandle hWnd) const { return 0; }
    // Copies at most nSize - 1 characters and a terminator; answers the count.
    virtual int GetWindowText(KwHandle hWnd, char* pszText, int nSize) const;
    virtual int SetWindowText(KwHandle hWnd, const char* pszText) { return 0; }
    virtual int InvalidateRect(KwHandle hWnd, const KwRect* pcoRect, int nErase) { return 0; }
    virtual int InvalidateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) { return 0; }
    virtual int ValidateRect(KwHandle hWnd, const KwRect* pcoRect) { return 0; }
    virtual int ValidateRgn(KwHandle hWnd, KwHandle hRgn) { return 0; }
    virtual int GetUpdateRect(KwHandle hWnd, KwRect& coRect, int nErase) { return 0; }
    virtual int GetUpdateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) { return 0; }
    virtual KwPoint ClientToScreen(KwHandle hWnd, const KwPoint& coPoint) const { return coPoint; }
    virtual KwPoint ScreenToClient(KwHandle hWnd, const KwPoint& coPoint) const { return coPoint; }
    virtual std::intptr_t SendMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) { return 0; }
    virtual int PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) { return 0; }
    virtual KwHandle WindowFromPoint(const KwPoint& coScreenPoint) const { return 0; }
    virtual KwHandle ChildWindowFromPoint(KwHandle hWnd, const KwPoint& coClientPoint) const { return 0; }
    // The window rectangle whose client area is coClient for these styles.
    virtual KwRect AdjustWindowRect(const KwRect& coClient, unsigned long ulStyle, unsigned long ulExStyle, int nMenu) const { return coClient; }
    virtual int SetTopMost(KwHandle hWnd, int nTopMost) { return 0; }
    // nBottom: to the bottom of the order, else to the top.
    virtual int SetZOrder(KwHandle hWnd, int nBottom) { return 0; }
    virtual int IsZoomed(KwHandle hWnd) const { return 0; }
    virtual int IsIconic(KwHandle hWnd) const { return 0; }
    virtual int ArrangeIconicWindows(KwHandle hWnd) { return 0; }
    virtual int DrawMenuBar(KwHandle hWnd) { return 0; }
    virtual KwHandle GetMenu(KwHandle hWnd) const { return 0; }
    virtual int SetMenu(KwHandle hWnd, KwHandle hMenu) { return 0; }
    virtual KwHandle GetClassCursor(KwHandle hWnd) const { return 0; }
    // The system's default processing of the message for this window: its
    // original procedure when it has one (wrapped system controls).
    virtual std::intptr_t SysEventDefault(const KwWnd& coWnd, const KwMessage& coParam) { return 0; }
    // Wraps a system control: the framework's procedure replaces the
    // original one, which stays findable by the window even after the
    // object is gone. 1 on success.
    virtual int SubclassControl(KwWnd& coWnd) { return 0; }
    // The procedure that wraps system controls.
    virtual void* GetSystemControlProc() const { return nullptr; }
    // The object no longer answers for its system window: messages that
    // still arrive get the default processing (wrapped controls: their own
    // procedure).
    virtual void DetachWindowObject(KwWnd& coWnd) {}
    // Hands a font to a system control.
    virtual int ApplyFont(KwHandle hWnd, const KwFont& coFont, int nRedraw) { return 0; }
    // The brush answered to control-colour messages: made anew when its
    // colour changes.
    KwHandle SetControlColorBrush(unsigned long ulColor);
    KwHandle GetControlColorBrush() const { return m_hControlBrush; }
    // The four points of a min/max record, read and written back.
    virtual int ReadMinMaxInfo(const KwMessage& coParam, KwPoint& coMaxPos, KwSize& coMaxSize, KwSize& coMinTrack, KwSize& coMaxTrack) const { return 0; }
    virtual void WriteMinMaxInfo(const KwMessage& coParam, const KwPoint& coMaxPos, const KwSize& coMaxSize, const KwSize& coMinTrack, const KwSize& coMaxTrack) {}
    // The record of an owner-drawn item (measure or draw message).
    virtual int ReadOwnerDraw(const KwMessage& coParam, KwOwnerDraw& coItem) const { return 0; }
    virtual void WriteMeasureSize(const KwMessage& coParam, const KwSize& coSize) {}

    // Scroll bars (bar: 0 horizontal, 1 vertical, 2 control, 3 both)
    virtual int ShowScrollBar(KwHandle hWnd, short nBar, int nShow) { return 0; }
    virtual short GetScrollPos(KwHandle hWnd, short nBar) const { return 0; }
    virtual short SetScrollPos(KwHandle hWnd, short nBar, short nPos, int nRedraw) { return 0; }
    virtual int GetScrollRange(KwHandle hWnd, short nBar, short* pnMin, short* pnMax) const;
    virtual int SetScrollRange(KwHandle hWnd, short nBar, short nMin, short nMax, int nRedraw) { return 0; }
    virtual int EnableScrollBar(KwHandle hWnd, short nBar, unsigned short unArrows) { return 0; }
    virtual int ScrollWindow(KwHandle hWnd, short nDx, short nDy, const KwRect* pcoScroll, const KwRect* pcoClip) { return 0; }

    // Menus. Flags and states are the system's (KwMenuFlag). An entry is
    // addressed by its command id or, with KwMenuFlag::ByPosition, by its
    // position. uId is an entry's command id, or for a popup entry the
    // popup's handle; pvItem is what it shows: its text, its bitmap handle
    // (KwMenuFlag::Bitmap) or, owner-drawn, the program's data.
    virtual KwHandle CreateMenu(int nPopup) { return 0; }
    virtual int DestroyMenu(KwHandle hMenu) { return 0; }
    virtual int InsertMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) { return 0; }
    virtual int ModifyMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) { return 0; }
    // Takes the entry out; a popup it opened lives on.
    virtual int RemoveMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return 0; }
    // Each answers the entry's previous state, -1 when there is no entry.
    virtual long CheckMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return -1; }
    virtual long EnableMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return -1; }
    virtual long GetMenuState(KwHandle hMenu, unsigned unItem, unsigned unFlags) const { return -1; }
    // -1 for a handle that is no menu.
    virtual int GetMenuItemCount(KwHandle hMenu) const { return -1; }
    // 0xFFFFFFFF for a popup entry or no entry.
    virtual unsigned GetMenuItemID(KwHandle hMenu, int nPos) const { return 0xFFFFFFFFu; }
    virtual KwHandle GetSubMenu(KwHandle hMenu, int nPos) const { return 0; }
    // Copies at most nSize - 1 characters and a terminator; answers the count.
    virtual int GetMenuString(KwHandle hMenu, unsigned unItem, char* pszText, int nSize, unsigned unFlags) const;
    virtual int SetMenuItemBitmaps(KwHandle hMenu, unsigned unItem, unsigned unFlags, KwHandle hUnchecked, KwHandle hChecked) { return 0; }
    // A predefined bitmap of the system by its number (KwObmId).
    virtual KwHandle LoadSystemBitmap(unsigned short unId) { return 0; }
    // Shows the popup at the screen point for the window (KwTrackFlag);
    // returns when it closes. 1 on success.
    virtual int TrackPopupMenu(KwHandle hMenu, unsigned unFlags, const KwPoint& coScreen, KwHandle hWnd) { return 0; }

    // Screen, cursor, keyboard
    virtual int GetSystemMetrics(int nIndex) const { return 0; }
    virtual KwRect GetScreenRect() const { return KwRect(); }
    virtual KwPoint GetCursorPos() const { return KwPoint(); }
    virtual int SetCursorPos(const KwPoint& coPoint) { return 0; }
    virtual KwHandle SetCursor(KwHandle hCursor) { return 0; }
    virtual KwHandle GetCursor() const { return 0; }
    // A predefined cursor by its system number (the arrow is 32512, the wait cursor 32514).
    virtual KwHandle LoadSystemCursor(unsigned short unId) { return 0; }
    virtual KwHandle LoadCursorFile(const char* pszFile) { return 0; }
    virtual int DestroyCursor(KwHandle hCursor) { return 0; }
    virtual int ClipCursor(const KwRect* pcoRect) { return 0; }
    virtual KwRect GetClipCursor() const { return KwRect(); }
    virtual int ShowCursor(int nShow) { return 0; }
    virtual short GetKeyState(int nVirtualKey) const { return 0; }
    // A typed character (a code point, as key messages carry it joined
    // from its UTF-16 units) in the framework's text: the system's code
    // page; natively UTF-8. Empty for a character the code page lacks.
    virtual TString CharText(unsigned long ulCode) const;
    virtual int Beep(unsigned short unType) { return 0; }

    // Profile files (the base reads and writes them itself), directories,
    // other programs
    virtual TString GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault) const;
    virtual int WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue);
    // The Windows and the system directory (empty where there are none).
    virtual TString GetWindowsDirectory() const { return TString(); }
    virtual TString GetSystemDirectory() const { return TString(); }
    // Starts a program with the command line, in the working directory (the
    // caller's own when null) and the framework show code; 1 when started.
    virtual int ExecuteProcess(const char* pszCommandLine, const char* pszWorkDir, short nShow) { return 0; }
    // The system's message box (flags as the system's): the button pressed.
    // A message handler of the operating-system layer (tests, programs
    // without a desktop) takes the text instead, and the answer is 1.
    virtual int SystemMessageBox(const char* pszText, const char* pszTitle, unsigned unFlags);
    // An icon from a colour bitmap and its monochrome mask; null on failure.
    virtual KwHandle CreateIcon(KwHandle hColor, KwHandle hMask) { return 0; }
    virtual int DestroyIcon(KwHandle hIcon) { return 0; }
    virtual int DrawIcon(KwHandle hDC, const KwPoint& coPoint, KwHandle hIcon) { return 0; }

    // Message loops and queue
    // Runs until the quit request; answers its exit value.
    virtual int MainAppLoop() { return 0; }
    // Runs while the window has a system window; 1 when a quit request
    // ended it (not dispatched), 0 when the window went away.
    virtual int ModalLoop(const KwWnd* pcoWnd, unsigned short unMode) { return 0; }
    virtual void PostQuitMessage(int nExitCode) {}
    // Discards the mouse messages waiting in the queue.
    virtual int RemoveMessMouse() { return 0; }
    // Discards the close requests waiting for this window.
    virtual int RemoveMessClose(KwHandle hWnd) { return 0; }
    virtual void DebugOutput(const char* pszText) {}

    // Device contexts
    virtual KwHandle GetDC(KwHandle hWnd) { return 0; }
    virtual KwHandle GetWindowDC(KwHandle hWnd) { return 0; }
    virtual int ReleaseDC(KwHandle hWnd, KwHandle hDC) { return 0; }
    virtual KwHandle CreateCompatibleDC(KwHandle hDC) { return 0; }
    virtual KwHandle CreateDC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode) { return 0; }
    virtual KwHandle CreateIC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode) { return 0; }
    virtual int DeleteDC(KwHandle hDC) { return 0; }
    virtual KwHandle BeginPaint(KwHandle hWnd, KwPaintStruct& coPaint) { return 0; }
    virtual int EndPaint(KwHandle hWnd, KwPaintStruct& coPaint) { return 0; }
    virtual int SaveDC(KwHandle hDC) { return 0; }
    virtual int RestoreDC(KwHandle hDC, int nSaved) { return 0; }

    // Drawing objects
    virtual KwHandle CreatePen(unsigned short unStyle, short nWidth, unsigned long ulColor) { return 0; }
    virtual KwHandle CreateBrush(unsigned short unStyle, short nHatch, unsigned long ulColor, KwHandle hPattern) { return 0; }
    virtual KwHandle CreateFont(const KwLogFont& coFont) { return 0; }
    virtual int DeleteObject(KwHandle hObject) { return 0; }
    virtual KwHandle SelectObject(KwHandle hDC, KwHandle hObject) { return 0; }
    virtual KwHandle CreateRectRgn(const KwRect& coRect) { return 0; }
    virtual KwHandle CreateEllipticRgn(const KwRect& coRect) { return 0; }
    virtual KwHandle CreatePolygonRgn(const KwPoint* pcoPoints, short nCount, short nFillMode) { return 0; }
    virtual KwHandle CreatePolyPolygonRgn(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons, short nFillMode) { return 0; }
    virtual KwHandle CreateRoundRectRgn(const KwRect& coRect, short nWidth, short nHeight) { return 0; }
    virtual KwHandle CreateBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBits, const void* pvBits) { return 0; }
    virtual KwHandle CreateCompatibleBitmap(KwHandle hDC, const KwSize& coSize) { return 0; }
    // From a device-independent bitmap: its header with the colour table,
    // and its bits.
    virtual KwHandle CreateDIBitmap(KwHandle hDC, const void* pvInfo, const void* pvBits) { return 0; }
    virtual KwSize GetBitmapSize(KwHandle hBitmap) const { return KwSize(); }
    virtual KwHandle CreatePalette(const KwPaletteEntry* pcoEntries, unsigned short unCount) { return 0; }
    virtual KwHandle SelectPalette(KwHandle hDC, KwHandle hPalette, int nBackground) { return 0; }
    virtual int RealizePalette(KwHandle hDC) { return 0; }

    // Device context state
    virtual unsigned long GetBkColor(KwHandle hDC) const { return 0; }
    virtual unsigned long SetBkColor(KwHandle hDC, unsigned long ulColor) { return 0; }
    virtual int GetBkMode(KwHandle hDC) const { return 0; }
    virtual int SetBkMode(KwHandle hDC, int nMode) { return 0; }
    virtual unsigned long GetTextColor(KwHandle hDC) const { return 0; }
    virtual unsigned long SetTextColor(KwHandle hDC, unsigned long ulColor) { return 0; }
    virtual int GetPolyFillMode(KwHandle hDC) const { return 0; }
    virtual int SetPolyFillMode(KwHandle hDC, int nMode) { return 0; }
    virtual int GetROP2(KwHandle hDC) const { return 0; }
    virtual int SetROP2(KwHandle hDC, int nMode) { return 0; }
    virtual int GetMapMode(KwHandle hDC) const { return 0; }
    virtual int SetMapMode(KwHandle hDC, int nMode) { return 0; }
    // Origins and extents: 0 viewport origin, 1 viewport extent, 2 window
    // origin, 3 window extent, 4 brush origin, 5 device origin.
    virtual KwPoint GetDCPoint(KwHandle hDC, int nWhich) const { return KwPoint(); }
    virtual KwPoint SetDCPoint(KwHandle hDC, int nWhich, const KwPoint& coPoint) { return KwPoint(); }
    virtual int DPtoLP(KwHandle hDC, KwPoint* pcoPoints, short nCount) { return 0; }
    virtual int LPtoDP(KwHandle hDC, KwPoint* pcoPoints, short nCount) { return 0; }
    virtual KwPoint GetCurrentPosition(KwHandle hDC) const { return KwPoint(); }
    virtual unsigned long GetNearestColor(KwHandle hDC, unsigned long ulColor) const { return ulColor; }
    virtual int GetDeviceCaps(KwHandle hDC, short nIndex) const { return 0; }
    virtual unsigned GetTextAlign(KwHandle hDC) const { return 0; }
    virtual unsigned SetTextAlign(KwHandle hDC, unsigned unAlign) { return 0; }

    // Clipping
    virtual int GetClipBox(KwHandle hDC, KwRect& coRect) const { return 0; }
    virtual int SelectClipRgn(KwHandle hDC, KwHandle hRgn) { return 0; }
    virtual int ExcludeClipRect(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int IntersectClipRect(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int OffsetClipRgn(KwHandle hDC, short nDx, short nDy) { return 0; }
    virtual int PtVisible(KwHandle hDC, const KwPoint& coPoint) const { return 0; }
    virtual int RectVisible(KwHandle hDC, const KwRect& coRect) const { return 0; }
    virtual int ExcludeUpdateRgn(KwHandle hDC, KwHandle hWnd) { return 0; }

    // Drawing
    virtual int MoveTo(KwHandle hDC, const KwPoint& coPoint) { return 0; }
    virtual int LineTo(KwHandle hDC, const KwPoint& coPoint) { return 0; }
    virtual int Polyline(KwHandle hDC, const KwPoint* pcoPoints, short nCount) { return 0; }
    virtual int Rectangle(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int RoundRect(KwHandle hDC, const KwRect& coRect, const KwSize& coCorner) { return 0; }
    // Arc 0, chord 1, pie 2: the ellipse in the rectangle from the start to
    // the end radial.
    virtual int ArcShape(KwHandle hDC, int nShape, const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd) { return 0; }
    virtual int Ellipse(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int Polygon(KwHandle hDC, const KwPoint* pcoPoints, short nCount) { return 0; }
    virtual int PolyPolygon(KwHandle hDC, const KwPoint* pcoPoints, const short* pnCounts, short nPolygons) { return 0; }
    virtual int FillRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush) { return 0; }
    virtual int FrameRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush) { return 0; }
    virtual int InvertRect(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int DrawFocusRect(KwHandle hDC, const KwRect& coRect) { return 0; }
    virtual int FillRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush) { return 0; }
    virtual int FrameRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush, const KwSize& coFrame) { return 0; }
    virtual int InvertRgn(KwHandle hDC, KwHandle hRgn) { return 0; }
    virtual int PaintRgn(KwHandle hDC, KwHandle hRgn) { return 0; }
    // 0xFFFFFFFF when the point lies outside the clipping region.
    virtual unsigned long GetPixel(KwHandle hDC, const KwPoint& coPoint) const { return 0xFFFFFFFFUL; }
    virtual unsigned long SetPixel(KwHandle hDC, const KwPoint& coPoint, unsigned long ulColor) { return 0xFFFFFFFFUL; }
    virtual int FloodFill(KwHandle hDC, const KwPoint& coPoint, unsigned long ulBorder) { return 0; }
    // Raster operations are the system's values here (KwCodes converts).
    virtual int PatBlt(KwHandle hDC, const KwRect& coRect, unsigned long ulRop) { return 0; }
    virtual int BitBlt(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, KwHandle hSrcDC, const KwPoint& coSrc, unsigned long ulRop) { return 0; }
    virtual int StretchBlt(KwHandle hDC, const KwRect& coDest, KwHandle hSrcDC, const KwRect& coSrc, unsigned long ulRop) { return 0; }
    // Device-independent bitmaps: header with colour table, and bits.
    virtual int SetDIBitsToDevice(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, const KwPoint& coSrc, const void* pvInfo, const void* pvBits) { return 0; }
    virtual int StretchDIBits(KwHandle hDC, const KwRect& coDest, const KwRect& coSrc, const void* pvInfo, const void* pvBits, unsigned long ulRop) { return 0; }

    // Text
    virtual int TextOut(KwHandle hDC, const KwPoint& coPoint, const char* pszText, int nLength) { return 0; }
    // Formatted drawing into a rectangle (KwCodes::TextFormatToSystem
    // flags and the tab width of KwCodes::TextTabWidth); answers the height.
    virtual int DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTabWidth) { return 0; }
    virtual KwSize GetTextExtent(KwHandle hDC, const char* pszText, int nLength) const { return KwSize(); }
    virtual TString GetTextFace(KwHandle hDC) const { return TString(); }
    virtual int GetTextMetrics(KwHandle hDC, KwTextMetrics& coMetrics) const { return 0; }
    virtual int SetTextJustification(KwHandle hDC, short nBreakExtra, short nBreakCount) { return 0; }
    virtual int GetTextCharacterExtra(KwHandle hDC) const { return 0; }
    virtual int SetTextCharacterExtra(KwHandle hDC, int nExtra) { return 0; }

protected:
    // The running timers; the adapter installs or forgets its timer
    // procedure as the count leaves or reaches 0.
    virtual KwHandle SetSystemTimer(unsigned long ulElapse) { return 0; }
    virtual int KillSystemTimer(KwHandle hTimerId) { return 0; }

private:
    int IsTimerAlive(const KwTimer* pcoTimer) const;

    TString m_coAdapterName;
    KwApp* m_pcoApp { nullptr };           // not owned
    KwHashTableList m_coTables;
    KwHashTable* m_pcoWindowTable { nullptr };   // the "SYSTEM" table of m_coTables
    KwMessage m_coActMessage;
    int m_nPaintDepth { 0 };
    KwHandle m_hCursorWnd { 0 };
    KwHandle m_hArrowCursor { 0 };
    long m_lTimerCount { 0 };
    KwHandle m_hControlBrush { 0 };
    unsigned long m_ulControlColor { 0 };
    std::vector<KwTimer*> m_coWindowTimers;   // not owned
};

// The process's adapter: set by the first adapter constructed and cleared
// by its destructor.
KW25_API extern KwSystem* pcoKwSys;

// A new adapter for the platform the library was built for (Win32:
// KwSystemWinNT; elsewhere the neutral KwSystem). Null when memory runs out.
KW25_API KwSystem* KwCreatePlatformAdapter();
