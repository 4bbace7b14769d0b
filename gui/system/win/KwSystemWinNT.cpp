#include "KwWin32.h"

#include "KwSystemWinNT.h"

#include "KwAdapterClients.h"
#include "KwCodes.h"
#include "KwMenuFlags.h"
#include "KwMessages.h"
#include "TOpSystem.h"
#include "TUtf8.h"
#include "TWideText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// The framework's numbers are the system's.
static_assert(KwMsg::Create == WM_CREATE && KwMsg::Destroy == WM_DESTROY && KwMsg::Paint == WM_PAINT
              && KwMsg::NcCreate == WM_NCCREATE && KwMsg::NcDestroy == WM_NCDESTROY && KwMsg::SetCursor == WM_SETCURSOR
              && KwMsg::Command == WM_COMMAND && KwMsg::MouseMove == WM_MOUSEMOVE && KwMsg::MButtonDblClk == WM_MBUTTONDBLCLK
              && KwMsg::CaptureChanged == WM_CAPTURECHANGED && KwMsg::CancelMode == WM_CANCELMODE
              && KwMsg::CtlColorFirst == WM_CTLCOLORMSGBOX && KwMsg::CtlColorLast == WM_CTLCOLORSTATIC
              && KwMsg::QueryNewPalette == WM_QUERYNEWPALETTE
              && KwMsg::NcActivate == WM_NCACTIVATE && KwMsg::NcMouseMove == WM_NCMOUSEMOVE && KwMsg::SysChar == WM_SYSCHAR
              && KwMsg::MenuChar == WM_MENUCHAR && KwMsg::QueryDragIcon == WM_QUERYDRAGICON && KwMsg::User == WM_USER,
              "message numbers");
static_assert(KwStyle::Child == WS_CHILD && KwStyle::Visible == WS_VISIBLE && KwStyle::Disabled == WS_DISABLED
              && KwStyle::Border == WS_BORDER && KwStyle::OverlappedWindow == WS_OVERLAPPEDWINDOW
              && KwStyle::ExTopMost == WS_EX_TOPMOST && KwStyle::ExNoParentNotify == WS_EX_NOPARENTNOTIFY,
              "window styles");
static_assert(KwSysCmd::Size == SC_SIZE && KwSysCmd::Move == SC_MOVE && KwSysCmd::Minimize == SC_MINIMIZE
              && KwSysCmd::Maximize == SC_MAXIMIZE && KwSysCmd::HitClient == HTCLIENT, "system commands");
static_assert(sizeof(PAINTSTRUCT) <= sizeof(KwPaintStruct::abSystem), "paint record");
static_assert(KwMenuFlag::String == MF_STRING && KwMenuFlag::Grayed == MF_GRAYED && KwMenuFlag::Disabled == MF_DISABLED
              && KwMenuFlag::Bitmap == MF_BITMAP && KwMenuFlag::Checked == MF_CHECKED && KwMenuFlag::Popup == MF_POPUP
              && KwMenuFlag::OwnerDraw == MF_OWNERDRAW && KwMenuFlag::ByPosition == MF_BYPOSITION
              && KwMenuFlag::Separator == MF_SEPARATOR && KwMenuFlag::SysMenu == MF_SYSMENU
              && KwMenuFlag::MouseSelect == MF_MOUSESELECT && KwTrackFlag::CenterAlign == TPM_CENTERALIGN
              && KwTrackFlag::RightAlign == TPM_RIGHTALIGN && KwTrackFlag::RightButton == TPM_RIGHTBUTTON,
              "menu flags");

namespace {

const char s_szClassName[] = "ZORVIK_V30_00";
const wchar_t s_wszClassName[] = L"ZORVIK_V30_00";
// The object and the process id, each in a pointer-sized extra word.
const int s_nObjectWord = 0;
const int s_nProcessWord = static_cast<int>(sizeof(LONG_PTR));
const int s_nExtraBytes = 2 * static_cast<int>(sizeof(LONG_PTR));

HWND Wnd(KwHandle h) { return reinterpret_cast<HWND>(h); }
HMENU Menu(KwHandle h) { return reinterpret_cast<HMENU>(h); }
HDC Dc(KwHandle h) { return reinterpret_cast<HDC>(h); }
HGDIOBJ Obj(KwHandle h) { return reinterpret_cast<HGDIOBJ>(h); }
HRGN Rgn(KwHandle h) { return reinterpret_cast<HRGN>(h); }
HBRUSH Brush(KwHandle h) { return reinterpret_cast<HBRUSH>(h); }
template <class T>
KwHandle Handle(T h) { return reinterpret_cast<KwHandle>(h); }

RECT ToRect(const KwRect& coRect)
{
    RECT rc;
    rc.left = coRect.Left();
    rc.top = coRect.Top();
    rc.right = coRect.Right();
    rc.bottom = coRect.Bottom();
    return rc;
}

KwRect FromRect(const RECT& rc)
{
    return KwRect(KwPair::Wrap(rc.left), KwPair::Wrap(rc.top), KwPair::Wrap(rc.right), KwPair::Wrap(rc.bottom));
}

POINT ToPoint(const KwPoint& coPoint)
{
    POINT pt;
    pt.x = coPoint.X();
    pt.y = coPoint.Y();
    return pt;
}

KwPoint FromPoint(const POINT& pt)
{
    return KwPoint(KwPair::Wrap(pt.x), KwPair::Wrap(pt.y));
}

std::vector<POINT> ToPoints(const KwPoint* pcoPoints, int nCount)
{
    std::vector<POINT> coPoints;
    for (int i = 0; pcoPoints && i < nCount; ++i)
        coPoints.push_back(ToPoint(pcoPoints[i]));
    return coPoints;
}

// The point counts of several polygons, and their sum.
std::vector<INT> PolygonCounts(const short* pnCounts, short nPolygons, int& nTotal)
{
    std::vector<INT> coCounts;
    nTotal = 0;
    for (short i = 0; i < nPolygons; ++i) {
        coCounts.push_back(pnCounts[i]);
        nTotal += pnCounts[i];
    }
    return coCounts;
}

KwSystemWinNT& Adapter()
{
    return static_cast<KwSystemWinNT&>(*pcoKwSys);
}

// The windows, known here by name only, are read and set through their
// family's registration.
KwAdapterWindows& Windows()
{
    return KwAdapterWindows::Current();
}

// The message as the dispatch sees it, answered as it asks.
LRESULT Dispatch(KwWnd& coWnd, HWND hWnd, UINT unMsg, WPARAM wParam, LPARAM lParam, WNDPROC pfnOriginal, int nControl)
{
    KwMessParamWinNT coParam(Handle(hWnd), unMsg, wParam, lParam);
    const KwDispatchResult coResult = pcoKwSys->DispatchMessage(coWnd, coParam, nControl);
    if (!coResult.nDefault)
        return static_cast<LRESULT>(coResult.lResult);
    // The parameters the handlers left (a system command masked, for one).
    const WPARAM wParamNow = static_cast<WPARAM>(coParam.GetWParam());
    if (pfnOriginal)
        return ::CallWindowProcW(pfnOriginal, hWnd, unMsg, wParamNow, lParam);
    return ::DefWindowProcW(hWnd, unMsg, wParamNow, lParam);
}

} // namespace

// The window procedure of the framework's windows.
static LRESULT CALLBACK WinNTZORVIKproc(HWND hWnd, UINT unMsg, WPARAM wParam, LPARAM lParam)
{
    if (!pcoKwSys)
        return ::DefWindowProcW(hWnd, unMsg, wParam, lParam);
    if (unMsg == WM_NCCREATE && hWnd) {
        const CREATESTRUCTW* pcoCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        KwWnd* pcoWnd = pcoCreate ? static_cast<KwWnd*>(pcoCreate->lpCreateParams) : nullptr;
        if (pcoWnd) {
            ::SetWindowLongPtrW(hWnd, s_nObjectWord, reinterpret_cast<LONG_PTR>(pcoWnd));
            ::SetWindowLongPtrW(hWnd, s_nProcessWord, static_cast<LONG_PTR>(Adapter().GetSavedProcessId()));
            Windows().Connect(*pcoWnd, Handle(hWnd));
        }
    }
    // The handle table holds what the first extra word holds (both are set
    // when the window is bound and cleared when the object lets go of it),
    // and reading it costs no call into the window system.
    KwWnd* pcoWnd = pcoKwSys->LookupWindow(Handle(hWnd));
    if (!pcoWnd)
        return ::DefWindowProcW(hWnd, unMsg, wParam, lParam);
    return Dispatch(*pcoWnd, hWnd, unMsg, wParam, lParam, nullptr, 0);
}

// The procedure of wrapped system controls. The original procedure is
// read into a local first and kept in a property of its own: the object
// may be gone when the message returns (its final message deletes it), and
// messages that arrive for a control whose object has let go of it still
// reach the control's own procedure.
static LRESULT CALLBACK WinNTSystemCtrlZORVIKproc(HWND hWnd, UINT unMsg, WPARAM wParam, LPARAM lParam)
{
    if (!pcoKwSys)
        return 0;
    KwSystemWinNT& coSys = Adapter();
    KwWnd* pcoWnd = coSys.LookupWindow(Handle(hWnd));
    void* pvOwn = pcoWnd ? Windows().DefaultWindowProc(*pcoWnd) : nullptr;
    const WNDPROC pfnOriginal = reinterpret_cast<WNDPROC>(pvOwn ? pvOwn : ::GetPropW(hWnd, coSys.OriginalProcProperty()));
    LRESULT lResult = 0;
    if (pcoWnd)
        lResult = Dispatch(*pcoWnd, hWnd, unMsg, wParam, lParam, pfnOriginal, 1);
    else if (pfnOriginal && unMsg != WM_NCDESTROY)
        lResult = ::CallWindowProcW(pfnOriginal, hWnd, unMsg, wParam, lParam);
    if (unMsg == WM_NCDESTROY) {
        ::RemovePropW(hWnd, coSys.ObjectProperty());
        ::RemovePropW(hWnd, coSys.OriginalProcProperty());
        if (pfnOriginal) {
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOriginal));
            if (!pcoWnd)
                lResult = ::CallWindowProcW(pfnOriginal, hWnd, unMsg, wParam, lParam);
        }
    }
    return lResult;
}

// The common procedure of the framework's thread timers.
static VOID CALLBACK ProcZorvik30Timer(HWND, UINT, UINT_PTR idTimer, DWORD ulSysTime)
{
    if (pcoKwSys)
        pcoKwSys->DispatchTimer(static_cast<KwHandle>(idTimer), ulSysTime);
}

KwSystem* KwCreatePlatformAdapter()
{
    return new (std::nothrow) KwSystemWinNT;
}

KwSystemWinNT::KwSystemWinNT()
    : KwSystem("ZORVIK Adapter for MS-Windows NT")
    , m_ulProcessId(::GetCurrentProcessId())
{
    m_coPropertyId.SetText("_KWP_%lu", m_ulProcessId);
    m_coOriginalPropertyId.SetText("_KWO_%lu", m_ulProcessId);
    m_wstrPropertyId = TWideText::Wide(m_coPropertyId);
    m_wstrOriginalPropertyId = TWideText::Wide(m_coOriginalPropertyId);
}

KwSystemWinNT::~KwSystemWinNT()
{
    if (GetControlColorBrush())
        ::DeleteObject(Obj(GetControlColorBrush()));
}

KwHandle KwSystemWinNT::AppInstance() const
{
    const KwApp* pcoApp = GetApp();
    const KwHandle hInstance = pcoApp ? KwAdapterApp::Current().Instance(*pcoApp) : 0;
    return hInstance ? hInstance : Handle(::GetModuleHandleW(nullptr));
}

// Windows

KwWnd* KwSystemWinNT::GetWindowObject(KwHandle hWnd) const
{
    if (!hWnd)
        return nullptr;
    if (KwWnd* pcoObject = LookupWindow(hWnd))
        return pcoObject;
    HWND h = Wnd(hWnd);
    // What a window of another program holds (extra words of the same
    // size, a property of the same name) is no object of this one.
    DWORD ulOwner = 0;
    if (!::GetWindowThreadProcessId(h, &ulOwner) || ulOwner != m_ulProcessId)
        return nullptr;
    if (::GetClassLongPtrW(h, GCL_CBWNDEXTRA) == s_nExtraBytes
        && static_cast<unsigned long>(::GetWindowLongPtrW(h, s_nProcessWord)) == m_ulProcessId
        && ::GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WinNTZORVIKproc))
        return reinterpret_cast<KwWnd*>(::GetWindowLongPtrW(h, s_nObjectWord));
    return static_cast<KwWnd*>(::GetPropW(h, ObjectProperty()));
}

const char* KwSystemWinNT::RegisterWindowClass()
{
    if (m_nClassRegistered)
        return s_szClassName;
    WNDCLASSW coClass {};
    coClass.style = CS_DBLCLKS | CS_BYTEALIGNWINDOW | CS_BYTEALIGNCLIENT;
    coClass.lpfnWndProc = WinNTZORVIKproc;
    coClass.cbClsExtra = 4;
    coClass.cbWndExtra = s_nExtraBytes;
    coClass.hInstance = reinterpret_cast<HINSTANCE>(AppInstance());
    coClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    coClass.lpszClassName = s_wszClassName;
    if (!::RegisterClassW(&coClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    m_nClassRegistered = 1;
    return s_szClassName;
}

KwHandle KwSystemWinNT::CreateWindowEx(KwWnd* pcoWnd, KwWnd* pcoParent, const char* pszClassName)
{
    if (!pcoWnd || !pszClassName)
        return 0;
    const KwAdapterWindows::TShape coShape = Windows().Shape(*pcoWnd);
    const DWORD ulExStyle = KwCodes::ExStyleToSystem(coShape.ulExStyle) & ~static_cast<DWORD>(WS_EX_NOPARENTNOTIFY);
    HWND hParent = pcoParent ? Wnd(Windows().Handle(*pcoParent)) : nullptr;
    HWND hWnd = ::CreateWindowExW(ulExStyle, TWideArg(pszClassName), nullptr, static_cast<DWORD>(coShape.ulStyle), coShape.coPos.X(),
                                  coShape.coPos.Y(), coShape.coSize.Width(), coShape.coSize.Height(), hParent, nullptr,
                                  reinterpret_cast<HINSTANCE>(AppInstance()), pcoWnd);
    return Handle(hWnd);
}

int KwSystemWinNT::DestroyWindow(KwHandle hWnd) { return ::DestroyWindow(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::IsWindow(KwHandle hWnd) const { return hWnd && ::IsWindow(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::ShowWindow(KwHandle hWnd, short nShow) { return ::ShowWindow(Wnd(hWnd), KwCodes::ShowToSystem(nShow)) ? 1 : 0; }
int KwSystemWinNT::UpdateWindow(KwHandle hWnd) { return ::UpdateWindow(Wnd(hWnd)) ? 1 : 0; }

KwRect KwSystemWinNT::GetWindowRect(KwHandle hWnd) const
{
    RECT rc {};
    ::GetWindowRect(Wnd(hWnd), &rc);
    return FromRect(rc);
}

KwRect KwSystemWinNT::GetClientRect(KwHandle hWnd) const
{
    RECT rc {};
    ::GetClientRect(Wnd(hWnd), &rc);
    return FromRect(rc);
}

int KwSystemWinNT::MoveWindow(KwHandle hWnd, const KwRect& coRect, int nRedraw)
{
    return ::MoveWindow(Wnd(hWnd), coRect.Left(), coRect.Top(), coRect.Width(), coRect.Height(), nRedraw ? TRUE : FALSE) ? 1 : 0;
}

KwHandle KwSystemWinNT::GetParent(KwHandle hWnd) const { return Handle(::GetParent(Wnd(hWnd))); }
KwHandle KwSystemWinNT::SetParent(KwHandle hWnd, KwHandle hParent) { return Handle(::SetParent(Wnd(hWnd), Wnd(hParent))); }

KwHandle KwSystemWinNT::GetRelative(KwHandle hWnd, KwRelation nRelation) const
{
    static const UINT s_aunRelation[] = { GW_HWNDFIRST, GW_HWNDLAST, GW_HWNDNEXT, GW_HWNDPREV, GW_CHILD };
    return Handle(::GetWindow(Wnd(hWnd), s_aunRelation[static_cast<int>(nRelation)]));
}

int KwSystemWinNT::IsWindowVisible(KwHandle hWnd) const { return ::IsWindowVisible(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::IsWindowEnabled(KwHandle hWnd) const { return ::IsWindowEnabled(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::EnableWindow(KwHandle hWnd, int nEnable) { return ::EnableWindow(Wnd(hWnd), nEnable ? TRUE : FALSE) ? 1 : 0; }
unsigned long KwSystemWinNT::GetWindowStyle(KwHandle hWnd) const { return static_cast<unsigned long>(::GetWindowLongW(Wnd(hWnd), GWL_STYLE)); }
void KwSystemWinNT::SetWindowStyle(KwHandle hWnd, unsigned long ulStyle) { ::SetWindowLongW(Wnd(hWnd), GWL_STYLE, static_cast<LONG>(ulStyle)); }
unsigned long KwSystemWinNT::GetWindowExStyle(KwHandle hWnd) const { return static_cast<unsigned long>(::GetWindowLongW(Wnd(hWnd), GWL_EXSTYLE)); }
KwHandle KwSystemWinNT::SetFocus(KwHandle hWnd) { return Handle(::SetFocus(Wnd(hWnd))); }
KwHandle KwSystemWinNT::GetFocus() const { return Handle(::GetFocus()); }
KwHandle KwSystemWinNT::SetCapture(KwHandle hWnd) { return Handle(::SetCapture(Wnd(hWnd))); }
KwHandle KwSystemWinNT::GetCapture() const { return Handle(::GetCapture()); }
int KwSystemWinNT::ReleaseCapture() { return ::ReleaseCapture() ? 1 : 0; }
KwHandle KwSystemWinNT::GetActiveWindow() const { return Handle(::GetActiveWindow()); }
KwHandle KwSystemWinNT::SetActiveWindow(KwHandle hWnd) { return Handle(::SetActiveWindow(Wnd(hWnd))); }
namespace {

// A window's text as the system holds it (UTF-16).
std::wstring WideWindowText(HWND hWnd)
{
    const int nUnits = ::GetWindowTextLengthW(hWnd);
    if (nUnits <= 0)
        return std::wstring();
    std::wstring wstrText(static_cast<size_t>(nUnits) + 1, L'\0');
    const int nRead = ::GetWindowTextW(hWnd, &wstrText[0], nUnits + 1);
    wstrText.resize(static_cast<size_t>(nRead > 0 ? nRead : 0));
    return wstrText;
}

} // namespace

// In bytes of the framework's text, which a buffer for GetWindowText needs.
int KwSystemWinNT::GetWindowTextLength(KwHandle hWnd) const { return TWideText::Narrow(WideWindowText(Wnd(hWnd))).Strlen(); }

int KwSystemWinNT::GetWindowText(KwHandle hWnd, char* pszText, int nSize) const
{
    const std::wstring wstrText = WideWindowText(Wnd(hWnd));
    return TWideText::NarrowInto(wstrText.c_str(), static_cast<int>(wstrText.size()), pszText, nSize);
}

int KwSystemWinNT::SetWindowText(KwHandle hWnd, const char* pszText) { return ::SetWindowTextW(Wnd(hWnd), TWideArg(pszText ? pszText : "")) ? 1 : 0; }

int KwSystemWinNT::InvalidateRect(KwHandle hWnd, const KwRect* pcoRect, int nErase)
{
    const RECT rc = pcoRect ? ToRect(*pcoRect) : RECT {};
    return ::InvalidateRect(Wnd(hWnd), pcoRect ? &rc : nullptr, nErase ? TRUE : FALSE) ? 1 : 0;
}

int KwSystemWinNT::InvalidateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) { return ::InvalidateRgn(Wnd(hWnd), Rgn(hRgn), nErase ? TRUE : FALSE) ? 1 : 0; }

int KwSystemWinNT::ValidateRect(KwHandle hWnd, const KwRect* pcoRect)
{
    const RECT rc = pcoRect ? ToRect(*pcoRect) : RECT {};
    return ::ValidateRect(Wnd(hWnd), pcoRect ? &rc : nullptr) ? 1 : 0;
}

int KwSystemWinNT::ValidateRgn(KwHandle hWnd, KwHandle hRgn) { return ::ValidateRgn(Wnd(hWnd), Rgn(hRgn)) ? 1 : 0; }

int KwSystemWinNT::GetUpdateRect(KwHandle hWnd, KwRect& coRect, int nErase)
{
    RECT rc {};
    const int nResult = ::GetUpdateRect(Wnd(hWnd), &rc, nErase ? TRUE : FALSE) ? 1 : 0;
    coRect = FromRect(rc);
    return nResult;
}

int KwSystemWinNT::GetUpdateRgn(KwHandle hWnd, KwHandle hRgn, int nErase) { return ::GetUpdateRgn(Wnd(hWnd), Rgn(hRgn), nErase ? TRUE : FALSE); }

KwPoint KwSystemWinNT::ClientToScreen(KwHandle hWnd, const KwPoint& coPoint) const
{
    POINT pt = ToPoint(coPoint);
    ::ClientToScreen(Wnd(hWnd), &pt);
    return FromPoint(pt);
}

KwPoint KwSystemWinNT::ScreenToClient(KwHandle hWnd, const KwPoint& coPoint) const
{
    POINT pt = ToPoint(coPoint);
    ::ScreenToClient(Wnd(hWnd), &pt);
    return FromPoint(pt);
}

// The messages whose parameters carry the framework's text are converted
// here; every other message goes as it is.
std::intptr_t KwSystemWinNT::SendMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    HWND h = Wnd(hWnd);
    switch (unMsg) {
    case WM_SETTEXT:
        return ::SendMessageW(h, unMsg, 0, reinterpret_cast<LPARAM>(static_cast<const wchar_t*>(
                                                TWideArg(reinterpret_cast<const char*>(lParam)))));
    case EM_REPLACESEL:
        return ::SendMessageW(h, unMsg, static_cast<WPARAM>(wParam),
                              reinterpret_cast<LPARAM>(static_cast<const wchar_t*>(
                                  TWideArg(reinterpret_cast<const char*>(lParam) ? reinterpret_cast<const char*>(lParam) : ""))));
    case WM_GETTEXT:
        return GetWindowText(hWnd, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return GetWindowTextLength(hWnd);
    default:
        return ::SendMessageW(h, unMsg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    }
}

int KwSystemWinNT::PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    return ::PostMessageW(Wnd(hWnd), unMsg, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) ? 1 : 0;
}

KwHandle KwSystemWinNT::WindowFromPoint(const KwPoint& coScreenPoint) const { return Handle(::WindowFromPoint(ToPoint(coScreenPoint))); }
KwHandle KwSystemWinNT::ChildWindowFromPoint(KwHandle hWnd, const KwPoint& coClientPoint) const { return Handle(::ChildWindowFromPoint(Wnd(hWnd), ToPoint(coClientPoint))); }

KwRect KwSystemWinNT::AdjustWindowRect(const KwRect& coClient, unsigned long ulStyle, unsigned long ulExStyle, int nMenu) const
{
    RECT rc = ToRect(coClient);
    ::AdjustWindowRectEx(&rc, static_cast<DWORD>(ulStyle), nMenu ? TRUE : FALSE, static_cast<DWORD>(ulExStyle));
    return FromRect(rc);
}

int KwSystemWinNT::SetTopMost(KwHandle hWnd, int nTopMost)
{
    return ::SetWindowPos(Wnd(hWnd), nTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) ? 1 : 0;
}

int KwSystemWinNT::SetZOrder(KwHandle hWnd, int nBottom)
{
    return ::SetWindowPos(Wnd(hWnd), nBottom ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) ? 1 : 0;
}

int KwSystemWinNT::IsZoomed(KwHandle hWnd) const { return ::IsZoomed(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::IsIconic(KwHandle hWnd) const { return ::IsIconic(Wnd(hWnd)) ? 1 : 0; }
int KwSystemWinNT::ArrangeIconicWindows(KwHandle hWnd) { return static_cast<int>(::ArrangeIconicWindows(Wnd(hWnd))); }
int KwSystemWinNT::DrawMenuBar(KwHandle hWnd) { return ::DrawMenuBar(Wnd(hWnd)) ? 1 : 0; }
KwHandle KwSystemWinNT::GetMenu(KwHandle hWnd) const { return hWnd ? Handle(::GetMenu(Wnd(hWnd))) : 0; }
int KwSystemWinNT::SetMenu(KwHandle hWnd, KwHandle hMenu) { return ::SetMenu(Wnd(hWnd), Menu(hMenu)) ? 1 : 0; }
KwHandle KwSystemWinNT::GetClassCursor(KwHandle hWnd) const { return static_cast<KwHandle>(::GetClassLongPtrW(Wnd(hWnd), GCLP_HCURSOR)); }

std::intptr_t KwSystemWinNT::SysEventDefault(const KwWnd& coWnd, const KwMessParamWinNT& coParam)
{
    HWND hWnd = Wnd(coParam.GetHandle());
    const WPARAM wParam = static_cast<WPARAM>(coParam.GetWParam());
    const LPARAM lParam = static_cast<LPARAM>(coParam.GetLParam());
    WNDPROC pfnOriginal = reinterpret_cast<WNDPROC>(Windows().DefaultWindowProc(coWnd));
    if (pfnOriginal)
        return ::CallWindowProcW(pfnOriginal, hWnd, coParam.GetMessage(), wParam, lParam);
    return ::DefWindowProcW(hWnd, coParam.GetMessage(), wParam, lParam);
}

int KwSystemWinNT::SubclassControl(KwWnd& coWnd)
{
    HWND hWnd = Wnd(Windows().Handle(coWnd));
    if (!hWnd || !Windows().IsSystemControl(coWnd))
        return 0;
    if (!::SetPropW(hWnd, ObjectProperty(), &coWnd))
        return 0;
    const LONG_PTR lOriginal = ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinNTSystemCtrlZORVIKproc));
    ::SetPropW(hWnd, OriginalProcProperty(), reinterpret_cast<HANDLE>(lOriginal));
    Windows().SetDefaultWindowProc(coWnd, reinterpret_cast<void*>(lOriginal));
    return 1;
}

void* KwSystemWinNT::GetSystemControlProc() const
{
    return reinterpret_cast<void*>(&WinNTSystemCtrlZORVIKproc);
}

void KwSystemWinNT::DetachWindowObject(KwWnd& coWnd)
{
    HWND hWnd = Wnd(Windows().Handle(coWnd));
    if (!hWnd)
        return;
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WinNTZORVIKproc)
        && ::GetWindowLongPtrW(hWnd, s_nObjectWord) == reinterpret_cast<LONG_PTR>(&coWnd))
        ::SetWindowLongPtrW(hWnd, s_nObjectWord, 0);
    if (::GetPropW(hWnd, ObjectProperty()) == static_cast<HANDLE>(&coWnd))
        ::RemovePropW(hWnd, ObjectProperty());
}

int KwSystemWinNT::ApplyFont(KwHandle hWnd, const KwFont& coFont, int nRedraw)
{
    const KwHandle hFont = Windows().FontHandle(coFont);
    if (!hFont)
        return 0;
    ::SendMessageW(Wnd(hWnd), WM_SETFONT, static_cast<WPARAM>(hFont), nRedraw ? TRUE : FALSE);
    return 1;
}

int KwSystemWinNT::ReadMinMaxInfo(const KwMessParamWinNT& coParam, KwPoint& coMaxPos, KwSize& coMaxSize, KwSize& coMinTrack,
                                  KwSize& coMaxTrack) const
{
    const MINMAXINFO* pcoInfo = reinterpret_cast<const MINMAXINFO*>(coParam.GetLParam());
    if (!pcoInfo)
        return 0;
    coMaxPos = FromPoint(pcoInfo->ptMaxPosition);
    coMaxSize = KwSize(FromPoint(pcoInfo->ptMaxSize));
    coMinTrack = KwSize(FromPoint(pcoInfo->ptMinTrackSize));
    coMaxTrack = KwSize(FromPoint(pcoInfo->ptMaxTrackSize));
    return 1;
}

void KwSystemWinNT::WriteMinMaxInfo(const KwMessParamWinNT& coParam, const KwPoint& coMaxPos, const KwSize& coMaxSize,
                                    const KwSize& coMinTrack, const KwSize& coMaxTrack)
{
    MINMAXINFO* pcoInfo = reinterpret_cast<MINMAXINFO*>(coParam.GetLParam());
    if (!pcoInfo)
        return;
    pcoInfo->ptMaxPosition = ToPoint(coMaxPos);
    pcoInfo->ptMaxSize = ToPoint(KwPoint(coMaxSize));
    pcoInfo->ptMinTrackSize = ToPoint(KwPoint(coMinTrack));
    pcoInfo->ptMaxTrackSize = ToPoint(KwPoint(coMaxTrack));
}

int KwSystemWinNT::ReadOwnerDraw(const KwMessParamWinNT& coParam, KwOwnerDraw& coItem) const
{
    if (!coParam.GetLParam())
        return 0;
    if (coParam.GetMessage() == WM_MEASUREITEM) {
        const MEASUREITEMSTRUCT* pcoMeasure = reinterpret_cast<const MEASUREITEMSTRUCT*>(coParam.GetLParam());
        coItem.unType = pcoMeasure->CtlType;
        coItem.hItem = pcoMeasure->itemID;
        coItem.coSize = KwSize(KwPair::Wrap(static_cast<int>(pcoMeasure->itemWidth)), KwPair::Wrap(static_cast<int>(pcoMeasure->itemHeight)));
        return 1;
    }
    if (coParam.GetMessage() == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* pcoDraw = reinterpret_cast<const DRAWITEMSTRUCT*>(coParam.GetLParam());
        coItem.unType = pcoDraw->CtlType;
        coItem.hItem = pcoDraw->itemID;
        coItem.unAction = pcoDraw->itemAction;
        coItem.unState = pcoDraw->itemState;
        coItem.hDC = Handle(pcoDraw->hDC);
        coItem.coRect = FromRect(pcoDraw->rcItem);
        return 1;
    }
    return 0;
}

void KwSystemWinNT::WriteMeasureSize(const KwMessParamWinNT& coParam, const KwSize& coSize)
{
    if (coParam.GetMessage() != WM_MEASUREITEM || !coParam.GetLParam())
        return;
    MEASUREITEMSTRUCT* pcoMeasure = reinterpret_cast<MEASUREITEMSTRUCT*>(coParam.GetLParam());
    pcoMeasure->itemWidth = static_cast<UINT>(coSize.Width() < 0 ? 0 : coSize.Width());
    pcoMeasure->itemHeight = static_cast<UINT>(coSize.Height() < 0 ? 0 : coSize.Height());
}

// Menus

KwHandle KwSystemWinNT::CreateMenu(int nPopup) { return Handle(nPopup ? ::CreatePopupMenu() : ::CreateMenu()); }
int KwSystemWinNT::DestroyMenu(KwHandle hMenu) { return ::DestroyMenu(Menu(hMenu)) ? 1 : 0; }

namespace {

// An item is text unless its flags make it a bitmap or owner-drawn (then
// the pointer is the item's data) or a separator.
bool IsTextItem(unsigned unFlags)
{
    return !(unFlags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR));
}

} // namespace

int KwSystemWinNT::InsertMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem)
{
    if (IsTextItem(unFlags))
        return ::InsertMenuW(Menu(hMenu), unItem, unFlags, static_cast<UINT_PTR>(uId), TWideArg(static_cast<const char*>(pvItem))) ? 1 : 0;
    return ::InsertMenuW(Menu(hMenu), unItem, unFlags, static_cast<UINT_PTR>(uId), static_cast<LPCWSTR>(pvItem)) ? 1 : 0;
}

int KwSystemWinNT::ModifyMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem)
{
    if (IsTextItem(unFlags))
        return ::ModifyMenuW(Menu(hMenu), unItem, unFlags, static_cast<UINT_PTR>(uId), TWideArg(static_cast<const char*>(pvItem))) ? 1 : 0;
    return ::ModifyMenuW(Menu(hMenu), unItem, unFlags, static_cast<UINT_PTR>(uId), static_cast<LPCWSTR>(pvItem)) ? 1 : 0;
}

int KwSystemWinNT::RemoveMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return ::RemoveMenu(Menu(hMenu), unItem, unFlags) ? 1 : 0; }
long KwSystemWinNT::CheckMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return static_cast<LONG>(::CheckMenuItem(Menu(hMenu), unItem, unFlags)); }
long KwSystemWinNT::EnableMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) { return ::EnableMenuItem(Menu(hMenu), unItem, unFlags); }
long KwSystemWinNT::GetMenuState(KwHandle hMenu, unsigned unItem, unsigned unFlags) const { return static_cast<LONG>(::GetMenuState(Menu(hMenu), unItem, unFlags)); }
int KwSystemWinNT::GetMenuItemCount(KwHandle hMenu) const { return ::GetMenuItemCount(Menu(hMenu)); }
unsigned KwSystemWinNT::GetMenuItemID(KwHandle hMenu, int nPos) const { return ::GetMenuItemID(Menu(hMenu), nPos); }
KwHandle KwSystemWinNT::GetSubMenu(KwHandle hMenu, int nPos) const { return Handle(::GetSubMenu(Menu(hMenu), nPos)); }

int KwSystemWinNT::GetMenuString(KwHandle hMenu, unsigned unItem, char* pszText, int nSize, unsigned unFlags) const
{
    if (!pszText || nSize <= 0)
        return 0;
    *pszText = 0;
    const int nUnits = ::GetMenuStringW(Menu(hMenu), unItem, nullptr, 0, unFlags);
    if (nUnits <= 0)
        return 0;
    std::wstring wstrText(static_cast<size_t>(nUnits) + 1, L'\0');
    const int nRead = ::GetMenuStringW(Menu(hMenu), unItem, &wstrText[0], nUnits + 1, unFlags);
    return nRead > 0 ? TWideText::NarrowInto(wstrText.c_str(), nRead, pszText, nSize) : 0;
}

int KwSystemWinNT::SetMenuItemBitmaps(KwHandle hMenu, unsigned unItem, unsigned unFlags, KwHandle hUnchecked, KwHandle hChecked)
{
    return ::SetMenuItemBitmaps(Menu(hMenu), unItem, unFlags, reinterpret_cast<HBITMAP>(hUnchecked), reinterpret_cast<HBITMAP>(hChecked)) ? 1 : 0;
}

KwHandle KwSystemWinNT::LoadSystemBitmap(unsigned short unId) { return Handle(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(unId))); }

int KwSystemWinNT::TrackPopupMenu(KwHandle hMenu, unsigned unFlags, const KwPoint& coScreen, KwHandle hWnd)
{
    return ::TrackPopupMenu(Menu(hMenu), unFlags, coScreen.X(), coScreen.Y(), 0, Wnd(hWnd), nullptr) ? 1 : 0;
}

// Scroll bars

int KwSystemWinNT::ShowScrollBar(KwHandle hWnd, short nBar, int nShow) { return ::ShowScrollBar(Wnd(hWnd), nBar, nShow ? TRUE : FALSE) ? 1 : 0; }
short KwSystemWinNT::GetScrollPos(KwHandle hWnd, short nBar) const { return static_cast<short>(::GetScrollPos(Wnd(hWnd), nBar)); }
short KwSystemWinNT::SetScrollPos(KwHandle hWnd, short nBar, short nPos, int nRedraw) { return static_cast<short>(::SetScrollPos(Wnd(hWnd), nBar, nPos, nRedraw ? TRUE : FALSE)); }

int KwSystemWinNT::GetScrollRange(KwHandle hWnd, short nBar, short* pnMin, short* pnMax) const
{
    int nMin = 0;
    int nMax = 0;
    const int nResult = ::GetScrollRange(Wnd(hWnd), nBar, &nMin, &nMax) ? 1 : 0;
    if (pnMin)
        *pnMin = static_cast<short>(nMin);
    if (pnMax)
        *pnMax = static_cast<short>(nMax);
    return nResult;
}

int KwSystemWinNT::SetScrollRange(KwHandle hWnd, short nBar, short nMin, short nMax, int nRedraw) { return ::SetScrollRange(Wnd(hWnd), nBar, nMin, nMax, nRedraw ? TRUE : FALSE) ? 1 : 0; }
int KwSystemWinNT::EnableScrollBar(KwHandle hWnd, short nBar, unsigned short unArrows) { return ::EnableScrollBar(Wnd(hWnd), static_cast<UINT>(nBar), unArrows) ? 1 : 0; }

int KwSystemWinNT::ScrollWindow(KwHandle hWnd, short nDx, short nDy, const KwRect* pcoScroll, const KwRect* pcoClip)
{
    const RECT rcScroll = pcoScroll ? ToRect(*pcoScroll) : RECT {};
    const RECT rcClip = pcoClip ? ToRect(*pcoClip) : RECT {};
    return ::ScrollWindowEx(Wnd(hWnd), nDx, nDy, pcoScroll ? &rcScroll : nullptr, pcoClip ? &rcClip : nullptr, nullptr,
                            nullptr, SW_INVALIDATE | SW_ERASE) != ERROR;
}

// Screen, cursor, keyboard

int KwSystemWinNT::GetSystemMetrics(int nIndex) const { return ::GetSystemMetrics(nIndex); }
KwRect KwSystemWinNT::GetScreenRect() const { return KwRect(0, 0, KwPair::Wrap(::GetSystemMetrics(SM_CXSCREEN)), KwPair::Wrap(::GetSystemMetrics(SM_CYSCREEN))); }

KwPoint KwSystemWinNT::GetCursorPos() const
{
    POINT pt {};
    ::GetCursorPos(&pt);
    return FromPoint(pt);
}

int KwSystemWinNT::SetCursorPos(const KwPoint& coPoint) { return ::SetCursorPos(coPoint.X(), coPoint.Y()) ? 1 : 0; }
KwHandle KwSystemWinNT::SetCursor(KwHandle hCursor) { return Handle(::SetCursor(reinterpret_cast<HCURSOR>(hCursor))); }
KwHandle KwSystemWinNT::GetCursor() const { return Handle(::GetCursor()); }
KwHandle KwSystemWinNT::LoadSystemCursor(unsigned short unId) { return Handle(::LoadCursorW(nullptr, MAKEINTRESOURCEW(unId))); }
KwHandle KwSystemWinNT::LoadCursorFile(const char* pszFile) { return pszFile ? Handle(::LoadCursorFromFileW(TWideText::Path(pszFile).c_str())) : 0; }
int KwSystemWinNT::DestroyCursor(KwHandle hCursor) { return ::DestroyCursor(reinterpret_cast<HCURSOR>(hCursor)) ? 1 : 0; }

int KwSystemWinNT::ClipCursor(const KwRect* pcoRect)
{
    const RECT rc = pcoRect ? ToRect(*pcoRect) : RECT {};
    return ::ClipCursor(pcoRect ? &rc : nullptr) ? 1 : 0;
}

KwRect KwSystemWinNT::GetClipCursor() const
{
    RECT rc {};
    ::GetClipCursor(&rc);
    return FromRect(rc);
}

int KwSystemWinNT::ShowCursor(int nShow) { return ::ShowCursor(nShow ? TRUE : FALSE); }
short KwSystemWinNT::GetKeyState(int nVirtualKey) const { return ::GetKeyState(nVirtualKey); }
int KwSystemWinNT::Beep(unsigned short unType) { return ::MessageBeep(unType) ? 1 : 0; }

TString KwSystemWinNT::CharText(unsigned long ulCode) const
{
    wchar_t awchUnits[2];
    int nUnits = 1;
    if (ulCode >= 0x10000 && ulCode <= 0x10FFFF) {
        awchUnits[0] = static_cast<wchar_t>(0xD800 + ((ulCode - 0x10000) >> 10));
        awchUnits[1] = static_cast<wchar_t>(0xDC00 + ((ulCode - 0x10000) & 0x3FF));
        nUnits = 2;
    } else {
        awchUnits[0] = static_cast<wchar_t>(ulCode);
    }
    int nLost = 0;
    const TString coText = TWideText::Narrow(awchUnits, nUnits, &nLost);
    return nLost ? TString() : coText;
}

// Loops

// Profile files, directories, programs, message boxes, icons

TString KwSystemWinNT::GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault) const
{
    if (!pszSection || !pszKey || !pszFile || !*pszFile)
        return TString(pszDefault);
    // The value is cut where the buffer ends: profile values are short.
    wchar_t wszValue[1024];
    const DWORD ulRead = ::GetPrivateProfileStringW(TWideArg(pszSection), TWideArg(pszKey), TWideArg(pszDefault ? pszDefault : ""),
                                                    wszValue, sizeof wszValue / sizeof wszValue[0], TWideArg(pszFile));
    return TWideText::Narrow(wszValue, static_cast<int>(ulRead));
}

int KwSystemWinNT::WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue)
{
    if (!pszSection || !pszKey || !pszFile || !*pszFile)
        return 0;
    return ::WritePrivateProfileStringW(TWideArg(pszSection), TWideArg(pszKey), TWideArg(pszValue), TWideArg(pszFile)) ? 1 : 0;
}

TString KwSystemWinNT::GetWindowsDirectory() const
{
    wchar_t wszPath[MAX_PATH + 1] {};
    const UINT unLength = ::GetWindowsDirectoryW(wszPath, MAX_PATH + 1);
    return unLength && unLength <= MAX_PATH ? TWideText::Narrow(wszPath, static_cast<int>(unLength)) : TString();
}

TString KwSystemWinNT::GetSystemDirectory() const
{
    wchar_t wszPath[MAX_PATH + 1] {};
    const UINT unLength = ::GetSystemDirectoryW(wszPath, MAX_PATH + 1);
    return unLength && unLength <= MAX_PATH ? TWideText::Narrow(wszPath, static_cast<int>(unLength)) : TString();
}

int KwSystemWinNT::ExecuteProcess(const char* pszCommandLine, const char* pszWorkDir, short nShow)
{
    if (!pszCommandLine || !*pszCommandLine)
        return 0;
    // CreateProcess may write into the command line.
    std::wstring wstrCommand = TWideText::Wide(pszCommandLine);
    STARTUPINFOW coStartup {};
    coStartup.cb = sizeof coStartup;
    coStartup.dwFlags = STARTF_USESHOWWINDOW;
    coStartup.wShowWindow = static_cast<WORD>(KwCodes::ShowToSystem(nShow));
    PROCESS_INFORMATION coProcess {};
    if (!::CreateProcessW(nullptr, &wstrCommand[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          TWideArg(pszWorkDir && *pszWorkDir ? pszWorkDir : nullptr), &coStartup, &coProcess))
        return 0;
    ::CloseHandle(coProcess.hThread);
    ::CloseHandle(coProcess.hProcess);
    return 1;
}

int KwSystemWinNT::SystemMessageBox(const char* pszText, const char* pszTitle, unsigned unFlags)
{
    if (TOpSystem::CallMessageHandler(pszText, pszTitle))
        return 1;
    return ::MessageBoxW(nullptr, TWideArg(pszText ? pszText : ""), TWideArg(pszTitle ? pszTitle : ""), unFlags);
}

KwHandle KwSystemWinNT::CreateIcon(KwHandle hColor, KwHandle hMask)
{
    ICONINFO coInfo {};
    coInfo.fIcon = TRUE;
    coInfo.hbmColor = reinterpret_cast<HBITMAP>(hColor);
    coInfo.hbmMask = reinterpret_cast<HBITMAP>(hMask);
    return hColor && hMask ? Handle(::CreateIconIndirect(&coInfo)) : 0;
}

int KwSystemWinNT::DestroyIcon(KwHandle hIcon) { return hIcon && ::DestroyIcon(reinterpret_cast<HICON>(hIcon)) ? 1 : 0; }

int KwSystemWinNT::DrawIcon(KwHandle hDC, const KwPoint& coPoint, KwHandle hIcon)
{
    return hIcon && ::DrawIcon(Dc(hDC), coPoint.X(), coPoint.Y(), reinterpret_cast<HICON>(hIcon)) ? 1 : 0;
}

int KwSystemWinNT::MainAppLoop()
{
    MSG coMsg {};
    while (::GetMessageW(&coMsg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&coMsg);
        ::DispatchMessageW(&coMsg);
    }
    return coMsg.message == WM_QUIT ? static_cast<int>(coMsg.wParam) : 0;
}

int KwSystemWinNT::ModalLoop(const KwWnd* pcoWnd, unsigned short)
{
    while (pcoWnd && Windows().Handle(*pcoWnd)) {
        MSG coMsg {};
        if (!::PeekMessageW(&coMsg, nullptr, 0, 0, PM_REMOVE)) {
            ::WaitMessage();
            continue;
        }
        if (coMsg.message == WM_QUIT)
            return 1;
        ::TranslateMessage(&coMsg);
        ::DispatchMessageW(&coMsg);
    }
    return 0;
}

void KwSystemWinNT::PostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

int KwSystemWinNT::RemoveMessMouse()
{
    MSG coMsg {};
    int nRemoved = 0;
    while (::PeekMessageW(&coMsg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE | PM_NOYIELD))
        ++nRemoved;
    return nRemoved;
}

int KwSystemWinNT::RemoveMessClose(KwHandle hWnd)
{
    MSG coMsg {};
    int nRemoved = 0;
    while (::PeekMessageW(&coMsg, Wnd(hWnd), WM_CLOSE, WM_CLOSE, PM_REMOVE | PM_NOYIELD))
        ++nRemoved;
    return nRemoved;
}

void KwSystemWinNT::DebugOutput(const char* pszText) { ::OutputDebugStringW(TWideArg(pszText ? pszText : "")); }

KwHandle KwSystemWinNT::SetSystemTimer(unsigned long ulElapse)
{
    return static_cast<KwHandle>(::SetTimer(nullptr, 0, static_cast<UINT>(ulElapse), ProcZorvik30Timer));
}

int KwSystemWinNT::KillSystemTimer(KwHandle hTimerId) { return ::KillTimer(nullptr, static_cast<UINT_PTR>(hTimerId)) ? 1 : 0; }

// Device contexts

KwHandle KwSystemWinNT::GetDC(KwHandle hWnd) { return Handle(::GetDC(Wnd(hWnd))); }
KwHandle KwSystemWinNT::GetWindowDC(KwHandle hWnd) { return Handle(::GetWindowDC(Wnd(hWnd))); }
int KwSystemWinNT::ReleaseDC(KwHandle hWnd, KwHandle hDC) { return ::ReleaseDC(Wnd(hWnd), Dc(hDC)); }
KwHandle KwSystemWinNT::CreateCompatibleDC(KwHandle hDC) { return Handle(::CreateCompatibleDC(Dc(hDC))); }

KwHandle KwSystemWinNT::CreateDC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode)
{
    return Handle(::CreateDCW(TWideArg(pszDriver), TWideArg(pszDevice), TWideArg(pszOutput), static_cast<const DEVMODEW*>(pvMode)));
}

KwHandle KwSystemWinNT::CreateIC(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode)
{
    return Handle(::CreateICW(TWideArg(pszDriver), TWideArg(pszDevice), TWideArg(pszOutput), static_cast<const DEVMODEW*>(pvMode)));
}

int KwSystemWinNT::DeleteDC(KwHandle hDC) { return ::DeleteDC(Dc(hDC)) ? 1 : 0; }

KwHandle KwSystemWinNT::BeginPaint(KwHandle hWnd, KwPaintStruct& coPaint)
{
    PAINTSTRUCT* pcoSystem = reinterpret_cast<PAINTSTRUCT*>(coPaint.abSystem);
    HDC hDC = ::BeginPaint(Wnd(hWnd), pcoSystem);
    coPaint.coPaint = FromRect(pcoSystem->rcPaint);
    coPaint.nErase = pcoSystem->fErase ? 1 : 0;
    return Handle(hDC);
}

int KwSystemWinNT::EndPaint(KwHandle hWnd, KwPaintStruct& coPaint)
{
    return ::EndPaint(Wnd(hWnd), reinterpret_cast<PAINTSTRUCT*>(coPaint.abSystem)) ? 1 : 0;
}

int KwSystemWinNT::SaveDC(KwHandle hDC) { return ::SaveDC(Dc(hDC)); }
int KwSystemWinNT::RestoreDC(KwHandle hDC, int nSaved) { return ::RestoreDC(Dc(hDC), nSaved) ? 1 : 0; }

// Drawing objects

KwHandle KwSystemWinNT::CreatePen(unsigned short unStyle, short nWidth, unsigned long ulColor)
{
    return Handle(::CreatePen(KwCodes::PenStyleToSystem(unStyle), nWidth, static_cast<COLORREF>(ulColor & 0xFFFFFF)));
}

KwHandle KwSystemWinNT::CreateBrush(unsigned short unStyle, short nHatch, unsigned long ulColor, KwHandle hPattern)
{
    LOGBRUSH coBrush {};
    coBrush.lbStyle = KwCodes::BrushStyleToSystem(unStyle);
    coBrush.lbColor = static_cast<COLORREF>(ulColor & 0xFFFFFF);
    if (coBrush.lbStyle == BS_PATTERN || coBrush.lbStyle == BS_DIBPATTERN)
        coBrush.lbHatch = static_cast<ULONG_PTR>(hPattern);
    else
        coBrush.lbHatch = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(KwCodes::HatchToSystem(nHatch)));
    return Handle(::CreateBrushIndirect(&coBrush));
}

KwHandle KwSystemWinNT::CreateFont(const KwLogFont& coFont)
{
    LOGFONTW coSystem {};
    coSystem.lfHeight = coFont.m_nHeight;
    coSystem.lfWidth = coFont.m_nWidth;
    coSystem.lfEscapement = coFont.m_nEscapement;
    coSystem.lfOrientation = coFont.m_nOrientation;
    coSystem.lfWeight = KwCodes::FontWeightToSystem(coFont.m_unWeight);
    coSystem.lfItalic = coFont.m_nItalic ? TRUE : FALSE;
    coSystem.lfUnderline = coFont.m_nUnderline ? TRUE : FALSE;
    coSystem.lfStrikeOut = coFont.m_nStrikeOut ? TRUE : FALSE;
    coSystem.lfCharSet = KwCodes::CharSetToSystem(coFont.m_unCharSet);
    coSystem.lfPitchAndFamily = KwCodes::PitchAndFamilyToSystem(coFont.m_unPitch, coFont.m_unFamily);
    // A face name longer than the field is cut before a character, never
    // through a surrogate pair.
    const std::wstring wstrFace = TWideText::Wide(coFont.GetName());
    size_t nKept = std::min<size_t>(wstrFace.size(), LF_FACESIZE - 1);
    if (nKept > 0 && nKept < wstrFace.size() && wstrFace[nKept - 1] >= 0xD800 && wstrFace[nKept - 1] <= 0xDBFF)
        --nKept;
    wstrFace.copy(coSystem.lfFaceName, nKept);
    coSystem.lfFaceName[nKept] = 0;
    return Handle(::CreateFontIndirectW(&coSystem));
}

int KwSystemWinNT::DeleteObject(KwHandle hObject) { return ::DeleteObject(Obj(hObject)) ? 1 : 0; }
KwHandle KwSystemWinNT::SelectObject(KwHandle hDC, KwHandle hObject) { return Handle(::SelectObject(Dc(hDC), Obj(hObject))); }

KwHandle KwSystemWinNT::CreateRectRgn(const KwRect& coRect) { return Handle(::CreateRectRgn(coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom())); }
KwHandle KwSystemWinNT::CreateEllipticRgn(const KwRect& coRect) { return Handle(::CreateEllipticRgn(coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom())); }

KwHandle KwSystemWinNT::CreatePolygonRgn(const KwPoint* pcoPoints, short nCount, short nFillMode)
{
    const std::vector<POINT> coPoints = ToPoints(pcoPoints, nCount);
    return Handle(::CreatePolygonRgn(coPoints.data(), nCount, nFillMode == 2 ? WINDING : ALTERNATE));
}

KwHandle KwSystemWinNT::CreatePolyPolygonRgn(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons, short nFillMode)
{
    int nTotal = 0;
    const std::vector<INT> coCounts = PolygonCounts(pnCounts, nPolygons, nTotal);
    const std::vector<POINT> coPoints = ToPoints(pcoPoints, nTotal);
    return Handle(::CreatePolyPolygonRgn(coPoints.data(), coCounts.data(), nPolygons, nFillMode == 2 ? WINDING : ALTERNATE));
}

KwHandle KwSystemWinNT::CreateRoundRectRgn(const KwRect& coRect, short nWidth, short nHeight)
{
    return Handle(::CreateRoundRectRgn(coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom(), nWidth, nHeight));
}

KwHandle KwSystemWinNT::CreateBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBits, const void* pvBits)
{
    return Handle(::CreateBitmap(coSize.Width(), coSize.Height(), unPlanes, unBits, pvBits));
}

KwHandle KwSystemWinNT::CreateCompatibleBitmap(KwHandle hDC, const KwSize& coSize)
{
    return Handle(::CreateCompatibleBitmap(Dc(hDC), coSize.Width(), coSize.Height()));
}

KwHandle KwSystemWinNT::CreateDIBitmap(KwHandle hDC, const void* pvInfo, const void* pvBits)
{
    const BITMAPINFO* pcoInfo = static_cast<const BITMAPINFO*>(pvInfo);
    if (!pcoInfo)
        return 0;
    return Handle(::CreateDIBitmap(Dc(hDC), &pcoInfo->bmiHeader, CBM_INIT, pvBits, pcoInfo, DIB_RGB_COLORS));
}

KwSize KwSystemWinNT::GetBitmapSize(KwHandle hBitmap) const
{
    BITMAP coBitmap {};
    if (!::GetObjectW(Obj(hBitmap), sizeof coBitmap, &coBitmap))
        return KwSize();
    return KwSize(KwPair::Wrap(coBitmap.bmWidth), KwPair::Wrap(coBitmap.bmHeight));
}

KwHandle KwSystemWinNT::CreatePalette(const KwPaletteEntry* pcoEntries, unsigned short unCount)
{
    if (!pcoEntries || !unCount)
        return 0;
    std::vector<unsigned char> coBlock(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * unCount);
    LOGPALETTE* pcoPalette = reinterpret_cast<LOGPALETTE*>(coBlock.data());
    pcoPalette->palVersion = 0x300;
    pcoPalette->palNumEntries = unCount;
    for (unsigned short i = 0; i < unCount; ++i) {
        pcoPalette->palPalEntry[i].peRed = pcoEntries[i].bRed;
        pcoPalette->palPalEntry[i].peGreen = pcoEntries[i].bGreen;
        pcoPalette->palPalEntry[i].peBlue = pcoEntries[i].bBlue;
        pcoPalette->palPalEntry[i].peFlags = pcoEntries[i].bFlags;
    }
    return Handle(::CreatePalette(pcoPalette));
}

KwHandle KwSystemWinNT::SelectPalette(KwHandle hDC, KwHandle hPalette, int nBackground)
{
    return Handle(::SelectPalette(Dc(hDC), reinterpret_cast<HPALETTE>(hPalette), nBackground ? TRUE : FALSE));
}

int KwSystemWinNT::RealizePalette(KwHandle hDC) { return static_cast<int>(::RealizePalette(Dc(hDC))); }

// Device context state

unsigned long KwSystemWinNT::GetBkColor(KwHandle hDC) const { return ::GetBkColor(Dc(hDC)); }
unsigned long KwSystemWinNT::SetBkColor(KwHandle hDC, unsigned long ulColor) { return ::SetBkColor(Dc(hDC), static_cast<COLORREF>(ulColor)); }
int KwSystemWinNT::GetBkMode(KwHandle hDC) const { return ::GetBkMode(Dc(hDC)); }
int KwSystemWinNT::SetBkMode(KwHandle hDC, int nMode) { return ::SetBkMode(Dc(hDC), nMode); }
unsigned long KwSystemWinNT::GetTextColor(KwHandle hDC) const { return ::GetTextColor(Dc(hDC)); }
unsigned long KwSystemWinNT::SetTextColor(KwHandle hDC, unsigned long ulColor) { return ::SetTextColor(Dc(hDC), static_cast<COLORREF>(ulColor)); }
int KwSystemWinNT::GetPolyFillMode(KwHandle hDC) const { return ::GetPolyFillMode(Dc(hDC)); }
int KwSystemWinNT::SetPolyFillMode(KwHandle hDC, int nMode) { return ::SetPolyFillMode(Dc(hDC), nMode); }
int KwSystemWinNT::GetROP2(KwHandle hDC) const { return ::GetROP2(Dc(hDC)); }
int KwSystemWinNT::SetROP2(KwHandle hDC, int nMode) { return ::SetROP2(Dc(hDC), nMode); }
int KwSystemWinNT::GetMapMode(KwHandle hDC) const { return ::GetMapMode(Dc(hDC)); }
int KwSystemWinNT::SetMapMode(KwHandle hDC, int nMode) { return ::SetMapMode(Dc(hDC), nMode); }

KwPoint KwSystemWinNT::GetDCPoint(KwHandle hDC, int nWhich) const
{
    POINT pt {};
    SIZE sz {};
    switch (nWhich) {
    case 0: ::GetViewportOrgEx(Dc(hDC), &pt); break;
    case 1: ::GetViewportExtEx(Dc(hDC), &sz); pt.x = sz.cx; pt.y = sz.cy; break;
    case 2: ::GetWindowOrgEx(Dc(hDC), &pt); break;
    case 3: ::GetWindowExtEx(Dc(hDC), &sz); pt.x = sz.cx; pt.y = sz.cy; break;
    case 4: ::GetBrushOrgEx(Dc(hDC), &pt); break;
    default: ::GetDCOrgEx(Dc(hDC), &pt); break;
    }
    return FromPoint(pt);
}

KwPoint KwSystemWinNT::SetDCPoint(KwHandle hDC, int nWhich, const KwPoint& coPoint)
{
    POINT pt {};
    SIZE sz {};
    switch (nWhich) {
    case 0: ::SetViewportOrgEx(Dc(hDC), coPoint.X(), coPoint.Y(), &pt); break;
    case 1: ::SetViewportExtEx(Dc(hDC), coPoint.X(), coPoint.Y(), &sz); pt.x = sz.cx; pt.y = sz.cy; break;
    case 2: ::SetWindowOrgEx(Dc(hDC), coPoint.X(), coPoint.Y(), &pt); break;
    case 3: ::SetWindowExtEx(Dc(hDC), coPoint.X(), coPoint.Y(), &sz); pt.x = sz.cx; pt.y = sz.cy; break;
    case 4: ::SetBrushOrgEx(Dc(hDC), coPoint.X(), coPoint.Y(), &pt); break;
    default: break;
    }
    return FromPoint(pt);
}

namespace {

// Converts points in place with one of the system's point conversions.
int ConvertPoints(BOOL (WINAPI* pfnConvert)(HDC, LPPOINT, int), HDC hDC, KwPoint* pcoPoints, short nCount)
{
    std::vector<POINT> coPoints = ToPoints(pcoPoints, nCount);
    if (!pfnConvert(hDC, coPoints.data(), nCount))
        return 0;
    for (short i = 0; i < nCount; ++i)
        pcoPoints[i] = FromPoint(coPoints[static_cast<size_t>(i)]);
    return 1;
}

} // namespace

int KwSystemWinNT::DPtoLP(KwHandle hDC, KwPoint* pcoPoints, short nCount) { return ConvertPoints(::DPtoLP, Dc(hDC), pcoPoints, nCount); }
int KwSystemWinNT::LPtoDP(KwHandle hDC, KwPoint* pcoPoints, short nCount) { return ConvertPoints(::LPtoDP, Dc(hDC), pcoPoints, nCount); }

KwPoint KwSystemWinNT::GetCurrentPosition(KwHandle hDC) const
{
    POINT pt {};
    ::GetCurrentPositionEx(Dc(hDC), &pt);
    return FromPoint(pt);
}

unsigned long KwSystemWinNT::GetNearestColor(KwHandle hDC, unsigned long ulColor) const { return ::GetNearestColor(Dc(hDC), static_cast<COLORREF>(ulColor)); }
int KwSystemWinNT::GetDeviceCaps(KwHandle hDC, short nIndex) const { return ::GetDeviceCaps(Dc(hDC), nIndex); }
unsigned KwSystemWinNT::GetTextAlign(KwHandle hDC) const { return ::GetTextAlign(Dc(hDC)); }
unsigned KwSystemWinNT::SetTextAlign(KwHandle hDC, unsigned unAlign) { return ::SetTextAlign(Dc(hDC), unAlign); }

// Clipping

int KwSystemWinNT::GetClipBox(KwHandle hDC, KwRect& coRect) const
{
    RECT rc {};
    const int nResult = ::GetClipBox(Dc(hDC), &rc);
    coRect = FromRect(rc);
    return nResult;
}

int KwSystemWinNT::SelectClipRgn(KwHandle hDC, KwHandle hRgn) { return ::SelectClipRgn(Dc(hDC), Rgn(hRgn)) != ERROR; }
int KwSystemWinNT::ExcludeClipRect(KwHandle hDC, const KwRect& coRect) { return ::ExcludeClipRect(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom()) != ERROR; }
int KwSystemWinNT::IntersectClipRect(KwHandle hDC, const KwRect& coRect) { return ::IntersectClipRect(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom()) != ERROR; }
int KwSystemWinNT::OffsetClipRgn(KwHandle hDC, short nDx, short nDy) { return ::OffsetClipRgn(Dc(hDC), nDx, nDy) != ERROR; }
int KwSystemWinNT::PtVisible(KwHandle hDC, const KwPoint& coPoint) const { return ::PtVisible(Dc(hDC), coPoint.X(), coPoint.Y()) ? 1 : 0; }

int KwSystemWinNT::RectVisible(KwHandle hDC, const KwRect& coRect) const
{
    const RECT rc = ToRect(coRect);
    return ::RectVisible(Dc(hDC), &rc) ? 1 : 0;
}

int KwSystemWinNT::ExcludeUpdateRgn(KwHandle hDC, KwHandle hWnd) { return ::ExcludeUpdateRgn(Dc(hDC), Wnd(hWnd)) != ERROR; }

// Drawing

int KwSystemWinNT::MoveTo(KwHandle hDC, const KwPoint& coPoint) { return ::MoveToEx(Dc(hDC), coPoint.X(), coPoint.Y(), nullptr) ? 1 : 0; }
int KwSystemWinNT::LineTo(KwHandle hDC, const KwPoint& coPoint) { return ::LineTo(Dc(hDC), coPoint.X(), coPoint.Y()) ? 1 : 0; }

int KwSystemWinNT::Polyline(KwHandle hDC, const KwPoint* pcoPoints, short nCount)
{
    const std::vector<POINT> coPoints = ToPoints(pcoPoints, nCount);
    return ::Polyline(Dc(hDC), coPoints.data(), nCount) ? 1 : 0;
}

int KwSystemWinNT::Rectangle(KwHandle hDC, const KwRect& coRect) { return ::Rectangle(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom()) ? 1 : 0; }

int KwSystemWinNT::RoundRect(KwHandle hDC, const KwRect& coRect, const KwSize& coCorner)
{
    return ::RoundRect(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom(), coCorner.Width(), coCorner.Height()) ? 1 : 0;
}

int KwSystemWinNT::ArcShape(KwHandle hDC, int nShape, const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd)
{
    const int l = coRect.Left(), t = coRect.Top(), r = coRect.Right(), b = coRect.Bottom();
    switch (nShape) {
    case 0: return ::Arc(Dc(hDC), l, t, r, b, coStart.X(), coStart.Y(), coEnd.X(), coEnd.Y()) ? 1 : 0;
    case 1: return ::Chord(Dc(hDC), l, t, r, b, coStart.X(), coStart.Y(), coEnd.X(), coEnd.Y()) ? 1 : 0;
    default: return ::Pie(Dc(hDC), l, t, r, b, coStart.X(), coStart.Y(), coEnd.X(), coEnd.Y()) ? 1 : 0;
    }
}

int KwSystemWinNT::Ellipse(KwHandle hDC, const KwRect& coRect) { return ::Ellipse(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom()) ? 1 : 0; }

int KwSystemWinNT::Polygon(KwHandle hDC, const KwPoint* pcoPoints, short nCount)
{
    const std::vector<POINT> coPoints = ToPoints(pcoPoints, nCount);
    return ::Polygon(Dc(hDC), coPoints.data(), nCount) ? 1 : 0;
}

int KwSystemWinNT::PolyPolygon(KwHandle hDC, const KwPoint* pcoPoints, const short* pnCounts, short nPolygons)
{
    int nTotal = 0;
    const std::vector<INT> coCounts = PolygonCounts(pnCounts, nPolygons, nTotal);
    const std::vector<POINT> coPoints = ToPoints(pcoPoints, nTotal);
    return ::PolyPolygon(Dc(hDC), coPoints.data(), coCounts.data(), nPolygons) ? 1 : 0;
}

int KwSystemWinNT::FillRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush)
{
    const RECT rc = ToRect(coRect);
    return ::FillRect(Dc(hDC), &rc, Brush(hBrush)) ? 1 : 0;
}

int KwSystemWinNT::FrameRect(KwHandle hDC, const KwRect& coRect, KwHandle hBrush)
{
    const RECT rc = ToRect(coRect);
    return ::FrameRect(Dc(hDC), &rc, Brush(hBrush)) ? 1 : 0;
}

int KwSystemWinNT::InvertRect(KwHandle hDC, const KwRect& coRect)
{
    const RECT rc = ToRect(coRect);
    return ::InvertRect(Dc(hDC), &rc) ? 1 : 0;
}

int KwSystemWinNT::DrawFocusRect(KwHandle hDC, const KwRect& coRect)
{
    const RECT rc = ToRect(coRect);
    return ::DrawFocusRect(Dc(hDC), &rc) ? 1 : 0;
}

int KwSystemWinNT::FillRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush) { return ::FillRgn(Dc(hDC), Rgn(hRgn), Brush(hBrush)) ? 1 : 0; }

int KwSystemWinNT::FrameRgn(KwHandle hDC, KwHandle hRgn, KwHandle hBrush, const KwSize& coFrame)
{
    return ::FrameRgn(Dc(hDC), Rgn(hRgn), Brush(hBrush), coFrame.Width(), coFrame.Height()) ? 1 : 0;
}

int KwSystemWinNT::InvertRgn(KwHandle hDC, KwHandle hRgn) { return ::InvertRgn(Dc(hDC), Rgn(hRgn)) ? 1 : 0; }
int KwSystemWinNT::PaintRgn(KwHandle hDC, KwHandle hRgn) { return ::PaintRgn(Dc(hDC), Rgn(hRgn)) ? 1 : 0; }
unsigned long KwSystemWinNT::GetPixel(KwHandle hDC, const KwPoint& coPoint) const { return ::GetPixel(Dc(hDC), coPoint.X(), coPoint.Y()); }
unsigned long KwSystemWinNT::SetPixel(KwHandle hDC, const KwPoint& coPoint, unsigned long ulColor) { return ::SetPixel(Dc(hDC), coPoint.X(), coPoint.Y(), static_cast<COLORREF>(ulColor)); }
int KwSystemWinNT::FloodFill(KwHandle hDC, const KwPoint& coPoint, unsigned long ulBorder) { return ::FloodFill(Dc(hDC), coPoint.X(), coPoint.Y(), static_cast<COLORREF>(ulBorder)) ? 1 : 0; }

int KwSystemWinNT::PatBlt(KwHandle hDC, const KwRect& coRect, unsigned long ulRop)
{
    return ::PatBlt(Dc(hDC), coRect.Left(), coRect.Top(), coRect.Width(), coRect.Height(), static_cast<DWORD>(ulRop)) ? 1 : 0;
}

int KwSystemWinNT::BitBlt(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, KwHandle hSrcDC, const KwPoint& coSrc, unsigned long ulRop)
{
    return ::BitBlt(Dc(hDC), coDest.X(), coDest.Y(), coSize.Width(), coSize.Height(), Dc(hSrcDC), coSrc.X(), coSrc.Y(),
                    static_cast<DWORD>(ulRop)) ? 1 : 0;
}

int KwSystemWinNT::StretchBlt(KwHandle hDC, const KwRect& coDest, KwHandle hSrcDC, const KwRect& coSrc, unsigned long ulRop)
{
    return ::StretchBlt(Dc(hDC), coDest.Left(), coDest.Top(), coDest.Width(), coDest.Height(), Dc(hSrcDC), coSrc.Left(),
                        coSrc.Top(), coSrc.Width(), coSrc.Height(), static_cast<DWORD>(ulRop)) ? 1 : 0;
}

int KwSystemWinNT::SetDIBitsToDevice(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, const KwPoint& coSrc,
                                     const void* pvInfo, const void* pvBits)
{
    const BITMAPINFO* pcoInfo = static_cast<const BITMAPINFO*>(pvInfo);
    if (!pcoInfo || !pvBits)
        return 0;
    const LONG lHeight = pcoInfo->bmiHeader.biHeight;
    const UINT unLines = static_cast<UINT>(lHeight < 0 ? -lHeight : lHeight);
    return ::SetDIBitsToDevice(Dc(hDC), coDest.X(), coDest.Y(), static_cast<DWORD>(coSize.Width()), static_cast<DWORD>(coSize.Height()),
                               coSrc.X(), coSrc.Y(), 0, unLines, pvBits, pcoInfo, DIB_RGB_COLORS) != 0;
}

int KwSystemWinNT::StretchDIBits(KwHandle hDC, const KwRect& coDest, const KwRect& coSrc, const void* pvInfo, const void* pvBits,
                                 unsigned long ulRop)
{
    const BITMAPINFO* pcoInfo = static_cast<const BITMAPINFO*>(pvInfo);
    if (!pcoInfo || !pvBits)
        return 0;
    const int nOldMode = ::SetStretchBltMode(Dc(hDC), COLORONCOLOR);
    const int nLines = ::StretchDIBits(Dc(hDC), coDest.Left(), coDest.Top(), coDest.Width(), coDest.Height(), coSrc.Left(),
                                       coSrc.Top(), coSrc.Width(), coSrc.Height(), pvBits, pcoInfo, DIB_RGB_COLORS,
                                       static_cast<DWORD>(ulRop));
    ::SetStretchBltMode(Dc(hDC), nOldMode);
    return nLines > 0;
}

// Text

int KwSystemWinNT::TextOut(KwHandle hDC, const KwPoint& coPoint, const char* pszText, int nLength)
{
    if (!pszText)
        return 0;
    const TWideArg coText(pszText, nLength);
    return ::TextOutW(Dc(hDC), coPoint.X(), coPoint.Y(), coText, coText.Length()) ? 1 : 0;
}

int KwSystemWinNT::DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTabWidth)
{
    if (!pszText || !*pszText || nLength == 0)
        return 0;
    RECT rc = ToRect(coRect);
    DRAWTEXTPARAMS coParams {};
    coParams.cbSize = sizeof coParams;
    coParams.iTabLength = nTabWidth;
    // The converted text is the system's own copy: it may not write into
    // the caller's.
    std::wstring wstrText = TWideText::Wide(pszText, nLength);
    if (wstrText.empty())
        return 0;
    const int nHeight = ::DrawTextExW(Dc(hDC), &wstrText[0], static_cast<int>(wstrText.size()), &rc,
                                      unFlags & ~static_cast<unsigned>(DT_MODIFYSTRING), &coParams);
    if (unFlags & DT_CALCRECT)
        coRect = FromRect(rc);
    return nHeight;
}

KwSize KwSystemWinNT::GetTextExtent(KwHandle hDC, const char* pszText, int nLength) const
{
    SIZE sz {};
    const TWideArg coText(pszText ? pszText : "", pszText ? nLength : 0);
    ::GetTextExtentPoint32W(Dc(hDC), coText, coText.Length(), &sz);
    return KwSize(KwPair::Wrap(sz.cx), KwPair::Wrap(sz.cy));
}

TString KwSystemWinNT::GetTextFace(KwHandle hDC) const
{
    wchar_t wszFace[LF_FACESIZE] = {};
    ::GetTextFaceW(Dc(hDC), LF_FACESIZE, wszFace);
    return TWideText::Narrow(wszFace);
}

int KwSystemWinNT::GetTextMetrics(KwHandle hDC, KwTextMetrics& coMetrics) const
{
    TEXTMETRICW coSystem {};
    if (!::GetTextMetricsW(Dc(hDC), &coSystem))
        return 0;
    coMetrics.lHeight = coSystem.tmHeight;
    coMetrics.lAscent = coSystem.tmAscent;
    coMetrics.lDescent = coSystem.tmDescent;
    coMetrics.lInternalLeading = coSystem.tmInternalLeading;
    coMetrics.lExternalLeading = coSystem.tmExternalLeading;
    coMetrics.lAveCharWidth = coSystem.tmAveCharWidth;
    coMetrics.lMaxCharWidth = coSystem.tmMaxCharWidth;
    coMetrics.lWeight = coSystem.tmWeight;
    coMetrics.lOverhang = coSystem.tmOverhang;
    coMetrics.bItalic = coSystem.tmItalic;
    coMetrics.bUnderlined = coSystem.tmUnderlined;
    coMetrics.bStruckOut = coSystem.tmStruckOut;
    coMetrics.bPitchAndFamily = coSystem.tmPitchAndFamily;
    coMetrics.bCharSet = coSystem.tmCharSet;
    return 1;
}

int KwSystemWinNT::SetTextJustification(KwHandle hDC, short nBreakExtra, short nBreakCount) { return ::SetTextJustification(Dc(hDC), nBreakExtra, nBreakCount) ? 1 : 0; }
int KwSystemWinNT::GetTextCharacterExtra(KwHandle hDC) const { return ::GetTextCharacterExtra(Dc(hDC)); }
int KwSystemWinNT::SetTextCharacterExtra(KwHandle hDC, int nExtra) { return ::SetTextCharacterExtra(Dc(hDC), nExtra); }
