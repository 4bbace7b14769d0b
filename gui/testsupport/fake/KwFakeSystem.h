#pragma once

#include "KwSystem.h"
#include "TDynBase.h"
#include "TMvcParam.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// A window system in memory for the tests of the framework's own logic:
// windows with parents, children, geometry, focus and capture, messages
// sent through the framework's dispatch in the order Win32 sends them
// (creation, destruction of a tree, focus and capture changes), thread
// timers, and device contexts that record every drawing call and every
// selection. Text is 7 pixels per character and 13 high.
class KwFakeSystem : public KwSystem {
public:
    struct TWindow {
        KwHandle hParent { 0 };
        std::vector<KwHandle> coChildren;
        KwWnd* pcoObject { nullptr };
        unsigned long ulStyle { 0 };
        unsigned long ulExStyle { 0 };
        KwRect coRect;            // in the parent's client coordinates (screen for top-level)
        std::string strText;
        int nEnabled { 1 };
    };
    struct TDc {
        KwHandle hWnd { 0 };
        KwHandle hPen { 0 };
        KwHandle hBrush { 0 };
        KwHandle hFont { 0 };
        KwHandle hBitmap { 0 };
        KwHandle hPalette { 0 };
        unsigned long ulBkColor { 0xFFFFFF };
        unsigned long ulTextColor { 0 };
        unsigned unAlign { 0 };
        KwHandle ahOwn[4] {};     // its own pen, brush, font and bitmap
    };

    KwFakeSystem();
    ~KwFakeSystem() override;

    // What happened, one line per call: "Polyline 0,9 0,0 19,0 pen=808080".
    std::vector<std::string> coLog;
    // Messages the default processing got, by number.
    std::vector<unsigned> coDefaults;
    std::map<KwHandle, TWindow> coWindows;
    std::map<KwHandle, TDc> coDcs;
    std::map<KwHandle, std::string> coObjects;    // live drawing objects: their description
    int nDeletedWhileSelected { 0 };
    KwHandle hFocus { 0 };
    KwHandle hCapture { 0 };
    std::vector<KwHandle> coTimers;               // running thread timers
    std::function<void()> fnInModalLoop;          // what happens while a window runs modally
    int nShiftDown { 0 };
    // Posted messages wait here; a modal loop delivers them after
    // fnInModalLoop, and DeliverPosted does.
    struct TPosted {
        KwHandle hWnd;
        unsigned unMsg;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<TPosted> coPosted;
    std::string strWindowsDir;                    // empty: none
    std::vector<std::string> coExecuted;          // "command|work dir|show"

    // Sends a message through the window's object (its dispatch and, when
    // asked, the default processing); 0 without object.
    std::intptr_t Send(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Sends the posted messages of windows that still exist, in order.
    void DeliverPosted();
    // The log lines that begin with the text.
    std::vector<std::string> Lines(const char* pszStart) const;
    std::string ColorOf(KwHandle hObject) const;

    // Windows
    KwWnd* GetWindowObject(KwHandle hWnd) const override;
    const char* RegisterWindowClass() override { return "FAKE"; }
    KwHandle CreateWindowEx(KwWnd* pcoWnd, KwWnd* pcoParent, const char* pszClassName) override;
    int DestroyWindow(KwHandle hWnd) override;
    int IsWindow(KwHandle hWnd) const override { return coWindows.count(hWnd) ? 1 : 0; }
    int ShowWindow(KwHandle hWnd, short nShow) override;
    int UpdateWindow(KwHandle hWnd) override { return IsWindow(hWnd); }
    KwRect GetWindowRect(KwHandle hWnd) const override;
    KwRect GetClientRect(KwHandle hWnd) const override;
    int MoveWindow(KwHandle hWnd, const KwRect& coRect, int nRedraw) override;
    KwHandle GetParent(KwHandle hWnd) const override;
    KwHandle GetRelative(KwHandle hWnd, KwRelation nRelation) const override;
    int IsWindowVisible(KwHandle hWnd) const override;
    int IsWindowEnabled(KwHandle hWnd) const override;
    int EnableWindow(KwHandle hWnd, int nEnable) override;
    unsigned long GetWindowStyle(KwHandle hWnd) const override;
    void SetWindowStyle(KwHandle hWnd, unsigned long ulStyle) override;
    unsigned long GetWindowExStyle(KwHandle hWnd) const override;
    KwHandle SetFocus(KwHandle hWnd) override;
    KwHandle GetFocus() const override { return hFocus; }
    KwHandle SetCapture(KwHandle hWnd) override;
    KwHandle GetCapture() const override { return hCapture; }
    int ReleaseCapture() override;
    int GetWindowTextLength(KwHandle hWnd) const override;
    int GetWindowText(KwHandle hWnd, char* pszText, int nSize) const override;
    int SetWindowText(KwHandle hWnd, const char* pszText) override;
    int InvalidateRect(KwHandle hWnd, const KwRect* pcoRect, int nErase) override;
    KwPoint ClientToScreen(KwHandle hWnd, const KwPoint& coPoint) const override;
    KwPoint ScreenToClient(KwHandle hWnd, const KwPoint& coPoint) const override;
    std::intptr_t SendMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) override;
    int PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SysEventDefault(const KwWnd& coWnd, const KwMessParamWinNT& coParam) override;
    void DetachWindowObject(KwWnd& coWnd) override;
    KwRect GetScreenRect() const override { return KwRect(0, 0, 1280, 1024); }
    KwHandle LoadSystemCursor(unsigned short unId) override { return 0x9000u + unId; }
    KwHandle SetCursor(KwHandle hCursor) override;
    KwHandle GetCursor() const override { return m_hCursor; }
    void DebugOutput(const char* pszText) override { coLog.push_back(std::string("Debug ") + pszText); }
    int ModalLoop(const KwWnd* pcoWnd, unsigned short unMode) override;
    int RemoveMessClose(KwHandle hWnd) override;
    TString GetWindowsDirectory() const override { return TString(strWindowsDir.c_str()); }
    int ExecuteProcess(const char* pszCommandLine, const char* pszWorkDir, short nShow) override;
    // Logged and handed to the message handler, if any; never a real box.
    int SystemMessageBox(const char* pszText, const char* pszTitle, unsigned unFlags) override;
    short GetKeyState(int nVirtualKey) const override { return nVirtualKey == 16 && nShiftDown ? static_cast<short>(0x8000) : 0; }
    void PostQuitMessage(int nExitCode) override;

    // Device contexts and drawing objects
    KwHandle GetDC(KwHandle hWnd) override;
    KwHandle GetWindowDC(KwHandle hWnd) override { return GetDC(hWnd); }
    int ReleaseDC(KwHandle hWnd, KwHandle hDC) override;
    KwHandle CreateCompatibleDC(KwHandle hDC) override;
    int DeleteDC(KwHandle hDC) override;
    KwHandle BeginPaint(KwHandle hWnd, KwPaintStruct& coPaint) override;
    int EndPaint(KwHandle hWnd, KwPaintStruct& coPaint) override;
    int SaveDC(KwHandle hDC) override { return 1; }
    int RestoreDC(KwHandle hDC, int nSaved) override { return 1; }
    KwHandle CreatePen(unsigned short unStyle, short nWidth, unsigned long ulColor) override;
    KwHandle CreateBrush(unsigned short unStyle, short nHatch, unsigned long ulColor, KwHandle hPattern) override;
    KwHandle CreateFont(const KwLogFont& coFont) override;
    KwHandle CreateRectRgn(const KwRect& coRect) override;
    KwHandle CreateBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBits, const void* pvBits) override;
    KwHandle CreateCompatibleBitmap(KwHandle hDC, const KwSize& coSize) override;
    KwSize GetBitmapSize(KwHandle hBitmap) const override;
    int DeleteObject(KwHandle hObject) override;
    KwHandle SelectObject(KwHandle hDC, KwHandle hObject) override;
    unsigned long SetBkColor(KwHandle hDC, unsigned long ulColor) override;
    unsigned long GetBkColor(KwHandle hDC) const override;
    unsigned long SetTextColor(KwHandle hDC, unsigned long ulColor) override;
    unsigned long GetTextColor(KwHandle hDC) const override;
    unsigned GetTextAlign(KwHandle hDC) const override;
    unsigned SetTextAlign(KwHandle hDC, unsigned unAlign) override;
    int IntersectClipRect(KwHandle hDC, const KwRect& coRect) override;
    int Polyline(KwHandle hDC, const KwPoint* pcoPoints, short nCount) override;
    int Rectangle(KwHandle hDC, const KwRect& coRect) override;
    int FillRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush) override;
    int DrawFocusRect(KwHandle hDC, const KwRect& coRect) override;
    int BitBlt(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, KwHandle hSrcDC, const KwPoint& coSrc, unsigned long ulRop) override;
    int TextOut(KwHandle hDC, const KwPoint& coPoint, const char* pszText, int nLength) override;
    int DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTabWidth) override;
    KwSize GetTextExtent(KwHandle hDC, const char* pszText, int nLength) const override;
    int GetTextMetrics(KwHandle hDC, KwTextMetrics& coMetrics) const override;

protected:
    KwHandle SetSystemTimer(unsigned long ulElapse) override;
    int KillSystemTimer(KwHandle hTimerId) override;

private:
    void DestroyTree(KwHandle hWnd);
    void NcDestroyTree(KwHandle hWnd);
    void Log(const std::string& strLine) { coLog.push_back(strLine); }
    TDc* Dc(KwHandle hDC);
    KwHandle NewDc(KwHandle hWnd);
    int DropDc(KwHandle hDC);
    KwHandle NewObject(const std::string& strDescription);

    // Handles above 32 bits where handles are 64 bits wide: any cut to 32
    // bits on the way through the framework loses the window.
    KwHandle m_hNext { sizeof(KwHandle) > 4 ? (static_cast<KwHandle>(1) << (4 * sizeof(KwHandle))) + 0x100 : 0x100 };
    KwHandle m_hCursor { 0 };
    int m_nQuit { 0 };
};

// Turns a colour into its six hex digits, as the log writes it.
std::string KwFakeColor(unsigned long ulColor);

// The long parameter of a message with two words.
inline std::intptr_t KwMakeLParam(int nLow, int nHigh)
{
    return static_cast<std::intptr_t>((static_cast<unsigned>(nHigh & 0xFFFF) << 16) | static_cast<unsigned>(nLow & 0xFFFF));
}

// A view object for links and notifications: it records the event types
// it was called for and answers nAnswer (or what fnAction answers).
class KwTestView : public TDynBase {
public:
    std::vector<std::string> coCalls;
    int nAnswer { 0 };
    std::function<int(TMvcParam&)> fnAction;

    int Link(TMvcParam& coParam)
    {
        coCalls.push_back(static_cast<const char*>(coParam.EventType()));
        return fnAction ? fnAction(coParam) : nAnswer;
    }
    int Notify(TMvcParam& coParam)
    {
        coCalls.push_back("note " + std::string(static_cast<const char*>(coParam.EventType())));
        return 7;
    }
};
