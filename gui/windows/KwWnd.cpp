#include "KwWnd.h"

#include "KwBitmap.h"
#include "KwCodes.h"
#include "KwContent.h"
#include "KwDC.h"
#include "KwFont.h"
#include "KwFontTable.h"
#include "KwLayout.h"
#include "KwMenu.h"
#include "KwMenuFlags.h"
#include "KwMenuItem.h"
#include "KwMessages.h"
#include "KwRegion.h"
#include "KwSystem.h"
#include "KwWFrame.h"
#include "KwWndApp.h"
#include "TFile.h"
#include "TResVar.h"
#include "TUtf8.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

// The table exists before the reference object that uses it.
TMvcEventTable KwWnd::m_stcoEvTab { "KwWnd", &KwWnd::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwWnd, KwWndBase, "kw25")

namespace {

KwLayout* s_pcoWndLayout = nullptr;   // not owned

KwMessage& MessageOf(KwMessParam* pcoParam)
{
    return *static_cast<KwMessage*>(pcoParam);
}

KwPoint PointOf(const KwMessage& coParam)
{
    return KwPoint(coParam.SignedLowLParam(), coParam.SignedHighLParam());
}

// The key data of a key message: its 32 bits.
unsigned long KeyData(const KwMessage& coParam)
{
    return static_cast<unsigned long>(static_cast<std::uint32_t>(coParam.GetLParam()));
}

} // namespace


void KwWnd::TMvcEventsRegister()
{
    static const char* const s_apszWnd[] = {
        "KW_LINK_CREATE", "KW_LINK_DESTROY", "KW_LINK_MOVE", "KW_LINK_SIZE", "KW_LINK_SETFOCUS",
        "KW_LINK_KILLFOCUS", "KW_LINK_HSCROLL", "KW_LINK_VSCROLL", "KW_LINK_SETCURSOR", "KW_LINK_WANTMOVE",
        "KW_LINK_WANTSIZE", "KW_LINK_MOUSEENTER", "KW_LINK_MOUSELEAVE", "KW_LINK_TEXTWILLCHANGE",
        "KW_LINK_TEXTHASCHANGED",
    };
    static const char* const s_apszMouse[] = {
        "KW_LINK_MOUSEMOVE", "KW_LINK_LBUTTONDOWN", "KW_LINK_LBUTTONUP", "KW_LINK_LBUTTONDBLCLK",
        "KW_LINK_RBUTTONDOWN", "KW_LINK_RBUTTONUP", "KW_LINK_RBUTTONDBLCLK", "KW_LINK_MBUTTONDOWN",
        "KW_LINK_MBUTTONUP", "KW_LINK_MBUTTONDBLCLK", "$KWPRIOLINK_MOUSEMOVE", "$KWPRIOLINK_LBUTTONDOWN",
        "$KWPRIOLINK_LBUTTONUP", "$KWPRIOLINK_LBUTTONDBLCLK", "$KWPRIOLINK_RBUTTONDOWN", "$KWPRIOLINK_RBUTTONUP",
        "$KWPRIOLINK_RBUTTONDBLCLK", "$KWPRIOLINK_MBUTTONDOWN", "$KWPRIOLINK_MBUTTONUP", "$KWPRIOLINK_MBUTTONDBLCLK",
    };
    static const char* const s_apszKey[] = {
        "KW_LINK_KEYDOWN", "KW_LINK_KEYUP", "KW_LINK_CHAR", "KW_LINK_DEADCHAR", "KW_LINK_SYSKEYDOWN",
        "KW_LINK_SYSKEYUP", "KW_LINK_SYSCHAR", "$KWPRIOLINK_KEYDOWN", "$KWPRIOLINK_KEYUP",
    };
    static const char* const s_apszDrop[] = { "KW_LINK_CHECKDROP", "KW_LINK_NOTIFYDROP", "KW_LINK_NOTIFYDROPFAILED" };
    static const char* const s_apszSocket[] = {
        "KW_SOCK_CONNECTED", "KW_SOCK_CONNECTIONCLOSED", "KW_SOCK_FORWARDACCEPT", "KW_SOCK_LISTENING",
        "KW_SOCK_LISTENINGSTOPPED", "KW_SOCK_NOTIFYSYNCTIMEOUT", "KW_SOCK_QUERYACCEPTOK", "KW_SOCK_READYTOWRITE",
        "KW_SOCK_RECEIVED", "KW_SOCK_SOCKETEVENTERROR",
    };
    const auto Register = [](const char* const* ppszNames, size_t nCount, const char* pszParam) {
        for (size_t i = 0; i < nCount; ++i)
            m_stcoEvTab.RegisterEventType(ppszNames[i], pszParam, nullptr, nullptr);
    };
    Register(s_apszWnd, std::size(s_apszWnd), "KwEventWnd");
    Register(s_apszMouse, std::size(s_apszMouse), "KwEventMouse");
    Register(s_apszKey, std::size(s_apszKey), "KwEventKey");
    Register(s_apszDrop, std::size(s_apszDrop), "KwEventDrop");
    Register(s_apszSocket, std::size(s_apszSocket), "KwEventSocket");
    m_stcoEvTab.RegisterEventType("KW_LINK_PAINT", "KwEventPaint", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_COMMAND", "KwEvent", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_USER", "KwEventUser", nullptr, nullptr);
}

// Construction and destruction

KwWnd::KwWnd()
{
    SetResType(KindSystem);
}

KwWnd::KwWnd(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
             short nColFore, unsigned long ulStyle, const char* pszText, unsigned long ulExStyle)
    : KwWndBase(pszName, ulStyle, ulExStyle, coPos, coSize, nColBack, nColFore, nColBord, pszText)
{
    SetResType(KindSystem);
}

KwWnd::KwWnd(const KwWnd& coOther)
    : KwWndBase(coOther)
    , m_nResFont(coOther.m_nResFont)
{
    SetResType(KindSystem);
    if (coOther.m_pcoContent)
        LinkContent(coOther.m_pcoContent->Copy());
}

KwWnd::~KwWnd()
{
    if (IsDynCppReferenceObject())
        return;
    if (m_coDepth.IsDispatching() && pcoKwSys)
        pcoKwSys->DebugOutput("KwWnd deleted while handling one of its own messages: use Destroy()\n");
    m_unDestroying = 1;
    ReleaseSystemWindow();
    DisconnectAllTimers();
    DestroyContent();
}

void KwWnd::ReleaseSystemWindow()
{
    if (!GetHandle())
        return;
    const int nAttached = IsSystemObject();
    if (pcoKwSys)
        pcoKwSys->DetachWindowObject(*this);
    const KwHandle hWnd = DisConnect();
    if (m_nTimerCount)
        DisconnectAllTimers();
    if (!nAttached && pcoKwSys)
        pcoKwSys->DestroyWindow(hWnd);
}

void KwWnd::DisconnectAllTimers()
{
    if (m_nTimerCount && pcoKwSys)
        pcoKwSys->NotifyTimersWindowDestroyed(this);
    m_nTimerCount = 0;
}

void KwWnd::DeleteDeferred(KwWnd* pcoWnd)
{
    delete pcoWnd;
}

void KwWnd::DeleteSelf()
{
    if (m_coDepth.RequestDelete())
        delete this;
}

void KwWnd::Destroy()
{
    if (GetHandle()) {
        SysDelete();
        return;
    }
    if (IsAutoDestroy() && !m_unDestroying) {
        m_unDestroying = 1;
        DeleteSelf();
    }
}

// Destroys the system window; with auto-destroy that deletes the object
// too (MapNcDestroy), so nothing may touch it afterwards. An attached
// window is only let go.
void KwWnd::SysDelete()
{
    if (!GetHandle() || !pcoKwSys)
        return;
    if (IsSystemObject()) {
        pcoKwSys->DetachWindowObject(*this);
        DisConnect();
        return;
    }
    pcoKwSys->DestroyWindow(GetHandle());
}

int KwWnd::SysConnect(KwHandle hHandle, int nRegister)
{
    AutoDestroyOff();
    return KwWndBase::SysConnect(hHandle, nRegister);
}

// Creation

const char* KwWnd::Register()
{
    return pcoKwSys ? pcoKwSys->RegisterWindowClass() : nullptr;
}

KwHandle KwWnd::CreateSystemWindow(KwWnd* pcoParent)
{
    const char* pszClass = Register();
    if (!pcoKwSys || !pszClass)
        return 0;
    return pcoKwSys->CreateWindowEx(this, pcoParent, pszClass);
}

int KwWnd::SysCreate(KwWnd* pcoParent)
{
    if (GetHandle())
        return 0;
    if (KwWndApp* pcoApp = KwWndApp::Current())
        pcoApp->NotifyWindowPreCreate(*this, pcoParent, GetClassName());
    const KwHandle hWnd = CreateSystemWindow(pcoParent);
    // Windows of the framework's class were bound while being created;
    // system controls are bound here.
    if (hWnd && !GetHandle())
        Connect(hWnd);
    if (GetHandle() && GetInitText())
        SetText(GetInitText());
    return GetHandle() != 0;
}

KwWnd* KwWnd::Copy() const
{
    return new KwWnd(*this);
}

KwWnd* KwWnd::CopyAll(KwWnd* pcoParent) const
{
    KwWnd* pcoCopy = Copy();
    if (!pcoCopy)
        return nullptr;
    if (pcoParent && pcoParent->IsValid())
        pcoCopy->SysCreate(pcoParent);
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild))
        pcoChild->CopyAll(pcoCopy);
    return pcoCopy;
}

const KwLayout& KwWnd::MyLayout() const
{
    return s_pcoWndLayout ? *s_pcoWndLayout : KwWndLayoutWIN31::Instance();
}

void KwWnd::ChangeLayout(KwLayout* pcoLayout)
{
    s_pcoWndLayout = pcoLayout;
}

// Hierarchy

KwWnd* KwWnd::SearchWindow(KwHandle hWnd)
{
    return hWnd && pcoKwSys ? pcoKwSys->GetWindowObject(hWnd) : nullptr;
}

KwWnd* KwWnd::GetParent() const
{
    return GetHandle() && pcoKwSys ? SearchWindow(pcoKwSys->GetParent(GetHandle())) : nullptr;
}

// The first window with an object from hFrom on, in the given direction
// (0 forwards, 1 backwards), hFrom included.
KwWnd* KwWnd::Relative(KwHandle hFrom, int nBackwards) const
{
    const KwRelation nStep = nBackwards ? KwRelation::Previous : KwRelation::Next;
    for (KwHandle h = hFrom; h; h = pcoKwSys->GetRelative(h, nStep)) {
        if (KwWnd* pcoWnd = SearchWindow(h))
            return pcoWnd;
    }
    return nullptr;
}

KwWnd* KwWnd::GetChildFirst() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(GetHandle(), KwRelation::FirstChild), 0);
}

KwWnd* KwWnd::GetChildLast() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    const KwHandle hFirst = pcoKwSys->GetRelative(GetHandle(), KwRelation::FirstChild);
    return hFirst ? Relative(pcoKwSys->GetRelative(hFirst, KwRelation::LastSibling), 1) : nullptr;
}

KwWnd* KwWnd::GetChildNext(const KwWnd* pcoChild) const
{
    if (!pcoChild || !pcoChild->GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(pcoChild->GetHandle(), KwRelation::Next), 0);
}

KwWnd* KwWnd::GetChildPrev(const KwWnd* pcoChild) const
{
    if (!pcoChild || !pcoChild->GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(pcoChild->GetHandle(), KwRelation::Previous), 1);
}

int KwWnd::GetChildCount() const
{
    int nCount = 0;
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild))
        ++nCount;
    return nCount;
}

KwWnd* KwWnd::ChildFromIndex(short nIndex) const
{
    if (nIndex < 0)
        return nullptr;
    KwWnd* pcoChild = GetChildFirst();
    for (short i = 0; pcoChild && i < nIndex; ++i)
        pcoChild = GetChildNext(pcoChild);
    return pcoChild;
}

KwWnd* KwWnd::GetChild(const char* pszName) const
{
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild)) {
        if (pcoChild->HasResId(pszName))
            return pcoChild;
    }
    return nullptr;
}

KwWnd& KwWnd::Child(const char* pszName) const
{
    KwWnd* pcoChild = FindChildPtr(pszName);
    if (!pcoChild && pcoKwSys)
        pcoKwSys->DebugOutput("KwWnd::Child: no child of that name\n");
    return *pcoChild;
}

KwWnd* KwWnd::FindChildPtr(const char* pszName) const
{
    if (!pszName || !*pszName)
        return nullptr;
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild)) {
        if (pcoChild->HasResId(pszName))
            return pcoChild;
        if (KwWnd* pcoFound = pcoChild->FindChildPtr(pszName))
            return pcoFound;
    }
    return nullptr;
}

KwWnd* KwWnd::GetFirstSibling() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(GetHandle(), KwRelation::FirstSibling), 0);
}

KwWnd* KwWnd::GetLastSibling() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(GetHandle(), KwRelation::LastSibling), 1);
}

KwWnd* KwWnd::GetNextSibling() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(GetHandle(), KwRelation::Next), 0);
}

KwWnd* KwWnd::GetPrevSibling() const
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return Relative(pcoKwSys->GetRelative(GetHandle(), KwRelation::Previous), 1);
}

int KwWnd::HasDescendant(const KwWnd* pcoWnd) const
{
    return pcoWnd && pcoWnd->IsDescendant(this);
}

int KwWnd::IsDescendant(const KwWnd* pcoWnd) const
{
    if (!pcoWnd || !GetHandle() || !pcoWnd->GetHandle() || !pcoKwSys)
        return 0;
    for (KwHandle h = pcoKwSys->GetParent(GetHandle()); h; h = pcoKwSys->GetParent(h)) {
        if (h == pcoWnd->GetHandle())
            return 1;
    }
    return 0;
}

KwWnd* KwWnd::WindowFromPoint(const KwPoint& coScreenPoint)
{
    return pcoKwSys ? SearchWindow(pcoKwSys->WindowFromPoint(coScreenPoint)) : nullptr;
}

KwWnd* KwWnd::ChildWindowFromPoint(const KwPoint& coClientPoint) const
{
    return GetHandle() && pcoKwSys ? SearchWindow(pcoKwSys->ChildWindowFromPoint(GetHandle(), coClientPoint)) : nullptr;
}

int KwWnd::IsOwnWindow() const
{
    return GetHandle() && !IsSystemObject() && SearchWindow(GetHandle()) == this;
}

KwWFrame* KwWnd::GetParentFrame() const
{
    for (KwWnd* pcoWnd = GetParent(); pcoWnd; pcoWnd = pcoWnd->GetParent()) {
        if (pcoWnd->IsFrameWindow())
            return static_cast<KwWFrame*>(pcoWnd);
    }
    return nullptr;
}

KwWnd* KwWnd::SetParent(KwWnd* pcoParent)
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    KwWFrame* pcoOldFrame = GetParentFrame();
    KwWnd* pcoOld = SearchWindow(pcoKwSys->SetParent(GetHandle(), pcoParent ? pcoParent->GetHandle() : 0));
    KwWFrame* pcoNewFrame = GetParentFrame();
    if (pcoOldFrame != pcoNewFrame) {
        if (pcoOldFrame)
            pcoOldFrame->MapNotifyLooseChild(this);
        if (pcoNewFrame)
            pcoNewFrame->MapNotifyGotChild(this);
    }
    return pcoOld;
}

// Focus, capture, state

KwWnd* KwWnd::SetFocus()
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return SearchWindow(pcoKwSys->SetFocus(GetHandle()));
}

KwWnd* KwWnd::GetFocus()
{
    return pcoKwSys ? SearchWindow(pcoKwSys->GetFocus()) : nullptr;
}

void KwWnd::KillFocus()
{
    if (pcoKwSys)
        pcoKwSys->SetFocus(0);
}

KwWnd* KwWnd::SetCapture()
{
    if (!GetHandle() || !pcoKwSys)
        return nullptr;
    return SearchWindow(pcoKwSys->SetCapture(GetHandle()));
}

KwWnd* KwWnd::GetCapture()
{
    return pcoKwSys ? SearchWindow(pcoKwSys->GetCapture()) : nullptr;
}

int KwWnd::ReleaseCapture()
{
    return pcoKwSys ? pcoKwSys->ReleaseCapture() : 0;
}

int KwWnd::IsEnabled() const
{
    if (GetHandle() && pcoKwSys)
        return pcoKwSys->IsWindowEnabled(GetHandle());
    return (GetStyle() & KwStyle::Disabled) ? 0 : 1;
}

int KwWnd::Enable(int nEnable, int nRedraw)
{
    const int nWasEnabled = IsEnabled();
    if (!GetHandle() || !pcoKwSys || (nEnable ? 1 : 0) == nWasEnabled)
        return nWasEnabled;
    if (m_pcoContent)
        m_pcoContent->SetGrayed(!nEnable, nRedraw);
    pcoKwSys->EnableWindow(GetHandle(), nEnable);
    NotifyEnabled(nEnable ? 1 : 0);
    return nWasEnabled;
}

int KwWnd::IsVisible() const
{
    if (GetHandle() && pcoKwSys)
        return pcoKwSys->IsWindowVisible(GetHandle());
    return (GetStyle() & KwStyle::Visible) ? 1 : 0;
}

void KwWnd::SetVisible(int nVisible, int nRedraw)
{
    if (!GetHandle() || !pcoKwSys)
        return;
    const unsigned long ulStyle = pcoKwSys->GetWindowStyle(GetHandle());
    pcoKwSys->SetWindowStyle(GetHandle(), nVisible ? (ulStyle | KwStyle::Visible) : (ulStyle & ~KwStyle::Visible));
    if (!nRedraw)
        return;
    KwWnd* pcoParent = GetParent();
    if (pcoParent) {
        KwRect coRect = GetRect();
        coRect.Resize(1);
        pcoParent->Invalidate(coRect, 1);
    } else {
        Invalidate(1);
    }
}

// Geometry

unsigned long KwWnd::GetStyle() const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetWindowStyle(GetHandle()) : KwWndBase::GetStyle();
}

unsigned long KwWnd::GetExStyle() const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetWindowExStyle(GetHandle()) : KwWndBase::GetExStyle();
}

void KwWnd::SetStyle(unsigned long ulStyle)
{
    if (GetHandle() && pcoKwSys)
        pcoKwSys->SetWindowStyle(GetHandle(), ulStyle);
    else
        KwWndBase::SetStyle(ulStyle);
}

void KwWnd::SetExStyle(unsigned long ulExStyle)
{
    if (!GetHandle())
        KwWndBase::SetExStyle(ulExStyle);
}

KwRect KwWnd::GetRect() const
{
    if (!GetHandle() || !pcoKwSys)
        return KwRect(KwWndBase::GetPos(), KwWndBase::GetSize());
    KwRect coRect = pcoKwSys->GetWindowRect(GetHandle());
    const KwHandle hParent = pcoKwSys->GetParent(GetHandle());
    if (IsChildWindow() && hParent) {
        const KwPoint coTopLeft = pcoKwSys->ScreenToClient(hParent, coRect.TopLeft());
        const KwPoint coBottomRight = pcoKwSys->ScreenToClient(hParent, coRect.BottomRight());
        coRect.Set(coTopLeft, coBottomRight);
    }
    return coRect;
}

KwPoint KwWnd::GetPos() const
{
    return GetRect().TopLeft();
}

KwSize KwWnd::GetSize() const
{
    return GetRect().Size();
}

void KwWnd::SetRect(const KwRect& coRect, int nRedraw)
{
    if (GetHandle() && pcoKwSys) {
        pcoKwSys->MoveWindow(GetHandle(), coRect, nRedraw);
        return;
    }
    StorePos(coRect.TopLeft());
    StoreSize(coRect.Size());
}

void KwWnd::SetPos(KwPoint coPos, int nRedraw)
{
    SetRect(KwRect(coPos, GetSize()), nRedraw);
}

void KwWnd::SetSize(KwSize coSize, int nRedraw)
{
    SetRect(KwRect(GetPos(), coSize), nRedraw);
}

void KwWnd::SetPosAndSize(KwPoint coPos, KwSize coSize, int nRedraw)
{
    SetRect(KwRect(coPos, coSize), nRedraw);
}

KwRect KwWnd::GetClientRect() const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetClientRect(GetHandle()) : KwRect();
}

KwSize KwWnd::GetClientSize() const
{
    const KwRect coRect = GetClientRect();
    return KwSize(static_cast<short>(std::abs(coRect.Width())), static_cast<short>(std::abs(coRect.Height())));
}

KwPoint KwWnd::GetClientPos() const
{
    return GetClientRect().TopLeft();
}

KwRect KwWnd::CalcWindowRect(const KwSize& coClient, int nMenu, const KwPoint* pcoPos) const
{
    const KwPoint coPos = pcoPos ? *pcoPos : GetPos();
    const KwRect coClientRect(coPos, coClient);
    if (!pcoKwSys)
        return coClientRect;
    // The system computes the frame around a client rectangle; the window
    // then keeps its position and grows by the frame's size.
    const KwRect coFramed = pcoKwSys->AdjustWindowRect(KwRect(KwPoint(), coClient), GetStyle(), GetExStyle(), nMenu);
    return KwRect(coPos, coFramed.Size());
}

void KwWnd::AdjustWindow(const KwSize& coClient, int nMenu, const KwPoint* pcoPos, int nRedraw)
{
    SetRect(CalcWindowRect(coClient, nMenu, pcoPos), nRedraw);
}

KwPoint KwWnd::CalcMiddlePos(const KwWnd* pcoOther, int nMove)
{
    const KwRect coAround = pcoOther ? pcoOther->GetRect() : (pcoKwSys ? pcoKwSys->GetScreenRect() : KwRect());
    const KwSize coSize = GetSize();
    const KwPoint coPos(static_cast<short>(coAround.Left() + (coAround.Width() - coSize.Width()) / 2),
                        static_cast<short>(coAround.Top() + (coAround.Height() - coSize.Height()) / 2));
    if (nMove)
        SetPos(coPos, 1);
    return coPos;
}

KwPoint KwWnd::ClientToScreen(const KwPoint& coPoint) const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ClientToScreen(GetHandle(), coPoint) : coPoint;
}

KwPoint KwWnd::ScreenToClient(const KwPoint& coPoint) const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ScreenToClient(GetHandle(), coPoint) : coPoint;
}

void KwWnd::ClientToScreen(KwPoint* pcoPoints, short nCount) const
{
    for (short i = 0; pcoPoints && i < nCount; ++i)
        pcoPoints[i] = ClientToScreen(pcoPoints[i]);
}

void KwWnd::ScreenToClient(KwPoint* pcoPoints, short nCount) const
{
    for (short i = 0; pcoPoints && i < nCount; ++i)
        pcoPoints[i] = ScreenToClient(pcoPoints[i]);
}

KwRect KwWnd::ClientToScreen(const KwRect& coRect) const
{
    return KwRect(ClientToScreen(coRect.TopLeft()), ClientToScreen(coRect.BottomRight()));
}

KwRect KwWnd::ScreenToClient(const KwRect& coRect) const
{
    return KwRect(ScreenToClient(coRect.TopLeft()), ScreenToClient(coRect.BottomRight()));
}

int KwWnd::Show(short nShow)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ShowWindow(GetHandle(), nShow) : 0;
}

int KwWnd::Update()
{
    return GetHandle() && pcoKwSys ? pcoKwSys->UpdateWindow(GetHandle()) : 0;
}

// Scrolling

int KwWnd::ShowScrollBar(short nBar, int nShow)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ShowScrollBar(GetHandle(), nBar, nShow) : 0;
}

int KwWnd::HasScrollBar(short nBar) const
{
    const unsigned long ulBit = nBar == 0 ? 0x00100000UL : (nBar == 1 ? 0x00200000UL : 0);
    return (GetStyle() & ulBit) ? 1 : 0;
}

short KwWnd::GetScrollPos(short nBar) const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetScrollPos(GetHandle(), nBar) : 0;
}

int KwWnd::GetScrollRange(short nBar, short* pnMin, short* pnMax) const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetScrollRange(GetHandle(), nBar, pnMin, pnMax) : 0;
}

short KwWnd::SetScrollPos(short nBar, short nPos, int nRedraw)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->SetScrollPos(GetHandle(), nBar, nPos, nRedraw) : 0;
}

int KwWnd::SetScrollRange(short nBar, short nMin, short nMax, int nRedraw)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->SetScrollRange(GetHandle(), nBar, nMin, nMax, nRedraw) : 0;
}

int KwWnd::EnableScrollBar(short nBar, unsigned short unArrows)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->EnableScrollBar(GetHandle(), nBar, unArrows) : 0;
}

int KwWnd::Scroll(short nDx, short nDy, const KwRect* pcoScroll, const KwRect* pcoClip)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ScrollWindow(GetHandle(), nDx, nDy, pcoScroll, pcoClip) : 0;
}

// Painting

int KwWnd::Invalidate(const KwRegion& coRegion, int nErase)
{
    return GetHandle() && pcoKwSys && coRegion.GetHandle() ? pcoKwSys->InvalidateRgn(GetHandle(), coRegion.GetHandle(), nErase) : 0;
}

int KwWnd::Invalidate(const KwRect& coRect, int nErase)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->InvalidateRect(GetHandle(), &coRect, nErase) : 0;
}

int KwWnd::Invalidate(int nErase)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->InvalidateRect(GetHandle(), nullptr, nErase) : 0;
}

// The ring between the client rectangle and the content rectangle.
int KwWnd::InvalidateBorder(int nErase)
{
    if (!GetHandle() || !pcoKwSys)
        return 0;
    const KwRect coClient = GetClientRect();
    const KwRect coInner = CalcContentRect();
    const KwRect aStrips[] = {
        KwRect(coClient.Left(), coClient.Top(), coClient.Right(), coInner.Top()),
        KwRect(coClient.Left(), coInner.Bottom(), coClient.Right(), coClient.Bottom()),
        KwRect(coClient.Left(), coInner.Top(), coInner.Left(), coInner.Bottom()),
        KwRect(coInner.Right(), coInner.Top(), coClient.Right(), coInner.Bottom()),
    };
    for (const KwRect& coStrip : aStrips) {
        if (!coStrip.IsEmpty())
            pcoKwSys->InvalidateRect(GetHandle(), &coStrip, nErase);
    }
    return 1;
}

int KwWnd::InvalidateCurrContent(int nErase)
{
    if (!GetHandle())
        return 0;
    KwDC coDC(this);
    return Invalidate(CalcCurrContentRect(&coDC), nErase);
}

int KwWnd::Validate(const KwRegion& coRegion)
{
    return GetHandle() && pcoKwSys && coRegion.GetHandle() ? pcoKwSys->ValidateRgn(GetHandle(), coRegion.GetHandle()) : 0;
}

int KwWnd::Validate(const KwRect& coRect)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ValidateRect(GetHandle(), &coRect) : 0;
}

int KwWnd::Validate()
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ValidateRect(GetHandle(), nullptr) : 0;
}

int KwWnd::GetUpdateRect(KwRect& coRect)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->GetUpdateRect(GetHandle(), coRect, 0) : 0;
}

int KwWnd::GetUpdateRegion(KwRegion& coRegion)
{
    if (!GetHandle() || !pcoKwSys)
        return 0;
    if (!coRegion.GetHandle())
        coRegion.SysCreate(KwRect());
    return coRegion.GetHandle() ? pcoKwSys->GetUpdateRgn(GetHandle(), coRegion.GetHandle(), 0) : 0;
}

void KwWnd::Redraw(int nRedraw)
{
    if (nRedraw)
        Invalidate(1);
}

// Look and colours

void KwWnd::SetLookTransparent(int nOn, int nRedraw)
{
    KwWndBase::SetLookTransparent(nOn, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::UseParentBack(int nOn, int nRedraw)
{
    KwWndBase::UseParentBack(nOn, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::UseBorder(int nOn, int nRedraw)
{
    KwWndBase::UseBorder(nOn, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColBord(short nColor, int nRedraw)
{
    KwWndBase::SetColBord(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColBack(short nColor, int nRedraw)
{
    KwWndBase::SetColBack(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColFore(short nColor, int nRedraw)
{
    KwWndBase::SetColFore(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColShadowLight(short nColor, int nRedraw)
{
    KwWndBase::SetColShadowLight(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColShadowDark(short nColor, int nRedraw)
{
    KwWndBase::SetColShadowDark(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetColShadowMedium(short nColor, int nRedraw)
{
    KwWndBase::SetColShadowMedium(nColor, nRedraw);
    Redraw(nRedraw);
}

void KwWnd::SetResFont(short nFont, int nRedraw)
{
    m_nResFont = nFont;
    Redraw(nRedraw);
}

// The resource font of the active font table (an empty slot: the
// application's default font), or the default font without one.
const KwFont& KwWnd::GetUsedFont() const
{
    const KwWndApp* pcoApp = KwWndApp::Current();
    if (pcoApp && m_nResFont >= 0)
        return pcoApp->Font(m_nResFont);
    return KwFontTable::DefaultFont();
}

// Text

short KwWnd::GetTextLen() const
{
    if (GetHandle() && pcoKwSys)
        return static_cast<short>(pcoKwSys->GetWindowTextLength(GetHandle()));
    const char* pszText = GetInitText();
    return static_cast<short>(pszText ? std::strlen(pszText) : 0);
}

TString KwWnd::GetText() const
{
    if (!GetHandle() || !pcoKwSys)
        return TString(GetInitText());
    const int nLength = pcoKwSys->GetWindowTextLength(GetHandle());
    if (nLength <= 0)
        return TString();
    std::vector<char> coBuffer(static_cast<size_t>(nLength) + 1, 0);
    pcoKwSys->GetWindowText(GetHandle(), coBuffer.data(), nLength + 1);
    return TString(coBuffer.data());
}

short KwWnd::GetText(char* pszText, short nSize) const
{
    if (!pszText || nSize <= 0)
        return 0;
    const TString coText = GetText();
    const int nCopy = static_cast<int>(TUtf8::Fit(coText, static_cast<size_t>(coText.Strlen()), static_cast<size_t>(nSize - 1)));
    std::memcpy(pszText, static_cast<const char*>(coText), static_cast<size_t>(nCopy));
    pszText[nCopy] = 0;
    return static_cast<short>(nCopy);
}

char KwWnd::GetChar() const
{
    const TString coText = GetText();
    return coText.IsEmpty() ? 0 : coText[0];
}

short KwWnd::GetShort() const
{
    return static_cast<short>(std::atoi(GetText()));
}

int KwWnd::GetInt() const
{
    return std::atoi(GetText());
}

long KwWnd::GetLong() const
{
    return std::atol(GetText());
}

float KwWnd::GetFloat() const
{
    return static_cast<float>(std::atof(GetText()));
}

double KwWnd::GetDouble() const
{
    return std::atof(GetText());
}

int KwWnd::SetText(const char* pszText)
{
    if (GetHandle() && pcoKwSys)
        return pcoKwSys->SetWindowText(GetHandle(), pszText ? pszText : "");
    SetInitText(pszText);
    return 1;
}

int KwWnd::SetTextFt(const char* pszFormat, ...)
{
    TString coText;
    va_list pArgs;
    va_start(pArgs, pszFormat);
    const int nFormatted = coText.SetTextV(pszFormat, pArgs);
    va_end(pArgs);
    return nFormatted ? SetText(coText) : 0;
}

// Content

KwContent* KwWnd::LinkContent(KwContent* pcoContent)
{
    KwContent* pcoOld = UnlinkContent();
    m_pcoContent = pcoContent;
    if (m_pcoContent) {
        m_pcoContent->LinkWindow(this);
        NotifyContentLinked(*m_pcoContent);
    }
    return pcoOld;
}

KwContent* KwWnd::UnlinkContent()
{
    KwContent* pcoOld = m_pcoContent;
    if (!pcoOld)
        return nullptr;
    m_pcoContent = nullptr;
    pcoOld->LinkWindow(nullptr);
    NotifyContentUnlinked(*pcoOld);
    return pcoOld;
}

void KwWnd::DestroyContent()
{
    delete UnlinkContent();
}

int KwWnd::SetContent(const KwContent& coContent)
{
    if (!CanSetContent(coContent))
        return 0;
    KwContent* pcoCopy = coContent.Copy();
    if (!pcoCopy)
        return 0;
    delete LinkContent(pcoCopy);
    Invalidate(1);
    return 1;
}

int KwWnd::RemoveContent()
{
    if (!m_pcoContent || !CanRemoveContent())
        return 0;
    DestroyContent();
    Invalidate(1);
    return 1;
}

KwRect KwWnd::CalcCurrContentRect(KwDC* pcoDC) const
{
    if (m_pcoContent && pcoDC)
        return m_pcoContent->CalcCurrentRect(*pcoDC);
    return CalcContentRect();
}

int KwWnd::PaintContent(KwDC& coDC, const KwRect* pcoRect)
{
    if (!m_pcoContent)
        return 0;
    const KwRect coRect = pcoRect ? *pcoRect : CalcContentRect();
    const KwSize coClient = GetClientSize();
    if (IsContentInMemory() && !IsWindowInMemory() && coClient.Width() > 0 && coClient.Height() > 0) {
        KwPaintDC coMem;
        KwBitmap coBitmap;
        KwMemDC coMemDC(coDC);
        if (coMemDC.GetHandle() && coBitmap.SysCreate(coDC, coClient, 0)) {
            coMemDC.SelectBitmap(&coBitmap);
            MyLayout().Paint(this, coMemDC, nullptr);
            m_pcoContent->Paint(coMemDC, &coRect);
            coDC.BitBlt(coRect.TopLeft(), coMemDC, coRect.TopLeft(), coRect.Size(), 11);
            coMemDC.SelectBitmap(nullptr);
            return 1;
        }
    }
    m_pcoContent->Paint(coDC, &coRect);
    return 1;
}

std::intptr_t KwWnd::EventDefault(const KwMessParam* pcoParam)
{
    if (!pcoKwSys)
        return 0;
    const KwMessage* pcoWinNT = pcoParam ? static_cast<const KwMessage*>(pcoParam) : &pcoKwSys->GetActMessageParam();
    return pcoKwSys->SysEventDefault(*this, *pcoWinNT);
}

// Events

int KwWnd::EvCreate()
{
    return FireEvent<KwEventWnd>("KW_LINK_CREATE", [this] { return KwEventWnd(this, 0, 0); });
}

int KwWnd::EvDestroy()
{
    return FireEvent<KwEventWnd>("KW_LINK_DESTROY", [this] { return KwEventWnd(this, 0, 0); });
}

int KwWnd::EvMove(const KwPoint& coPos)
{
    return FireEvent<KwEventWnd>("KW_LINK_MOVE", [&] { return KwEventWnd(this, 0, KwEvent::Pack(coPos.X(), coPos.Y())); });
}

int KwWnd::EvSize(unsigned short unCode, const KwSize& coSize)
{
    return FireEvent<KwEventWnd>("KW_LINK_SIZE", [&] {
        return KwEventWnd(this, unCode, KwEvent::Pack(coSize.Width(), coSize.Height()));
    });
}

int KwWnd::FireWndEvent(const char* pszName, unsigned short unWParam, KwWnd* pcoOther)
{
    return FireEvent<KwEventWnd>(pszName, [&] {
        KwEventWnd coEvent(this, unWParam, 0);
        coEvent.SetOtherWindow(pcoOther);
        return coEvent;
    });
}

int KwWnd::EvSetFocus(KwWnd* pcoOther)
{
    return FireWndEvent("KW_LINK_SETFOCUS", 0, pcoOther);
}

int KwWnd::EvKillFocus(KwWnd* pcoOther)
{
    return FireWndEvent("KW_LINK_KILLFOCUS", 0, pcoOther);
}

int KwWnd::EvSetCursor(KwWnd* pcoUnderCursor)
{
    return FireWndEvent("KW_LINK_SETCURSOR", 0, pcoUnderCursor);
}

int KwWnd::EvMouseEnter(KwWnd* pcoOther, int nFlag)
{
    return FireWndEvent("KW_LINK_MOUSEENTER", static_cast<unsigned short>(nFlag), pcoOther);
}

int KwWnd::EvMouseLeave(KwWnd* pcoOther, int nFlag)
{
    return FireWndEvent("KW_LINK_MOUSELEAVE", static_cast<unsigned short>(nFlag), pcoOther);
}

int KwWnd::EvHScroll(unsigned short unCode, short nPos)
{
    return FireEvent<KwEventWnd>("KW_LINK_HSCROLL", [&] {
        return KwEventWnd(this, unCode, static_cast<unsigned long>(static_cast<unsigned short>(nPos)));
    });
}

int KwWnd::EvVScroll(unsigned short unCode, short nPos)
{
    return FireEvent<KwEventWnd>("KW_LINK_VSCROLL", [&] {
        return KwEventWnd(this, unCode, static_cast<unsigned long>(static_cast<unsigned short>(nPos)));
    });
}

#define KW_MOUSE_EV(Handler, Name)                                                                   \
    int KwWnd::Handler(const KwPoint& coPoint, unsigned short unKeyFlags)                           \
    {                                                                                                \
        return FireEvent<KwEventMouse>(Name, [&] { return KwEventMouse(this, coPoint, unKeyFlags); }); \
    }
KW_MOUSE_EV(EvMouseMove, "KW_LINK_MOUSEMOVE")
KW_MOUSE_EV(EvLButtonUp, "KW_LINK_LBUTTONUP")
KW_MOUSE_EV(EvLButtonDown, "KW_LINK_LBUTTONDOWN")
KW_MOUSE_EV(EvLButtonDblClk, "KW_LINK_LBUTTONDBLCLK")
KW_MOUSE_EV(EvRButtonUp, "KW_LINK_RBUTTONUP")
KW_MOUSE_EV(EvRButtonDown, "KW_LINK_RBUTTONDOWN")
KW_MOUSE_EV(EvRButtonDblClk, "KW_LINK_RBUTTONDBLCLK")
KW_MOUSE_EV(EvMButtonUp, "KW_LINK_MBUTTONUP")
KW_MOUSE_EV(EvMButtonDown, "KW_LINK_MBUTTONDOWN")
KW_MOUSE_EV(EvMButtonDblClk, "KW_LINK_MBUTTONDBLCLK")
#undef KW_MOUSE_EV

#define KW_KEY_EV(Handler, Name)                                                               \
    int KwWnd::Handler(unsigned short unKey, unsigned long ulKeyData)                         \
    {                                                                                          \
        return FireEvent<KwEventKey>(Name, [&] { return KwEventKey(this, unKey, ulKeyData); }); \
    }
KW_KEY_EV(EvSysKeyDown, "KW_LINK_SYSKEYDOWN")
KW_KEY_EV(EvSysKeyUp, "KW_LINK_SYSKEYUP")
KW_KEY_EV(EvSysChar, "KW_LINK_SYSCHAR")
KW_KEY_EV(EvKeyDown, "KW_LINK_KEYDOWN")
KW_KEY_EV(EvKeyUp, "KW_LINK_KEYUP")
KW_KEY_EV(EvChar, "KW_LINK_CHAR")
KW_KEY_EV(EvDeadChar, "KW_LINK_DEADCHAR")
#undef KW_KEY_EV

int KwWnd::EvCommand()
{
    const int nResult = FireEvent<KwEvent>("KW_LINK_COMMAND", [this] { return KwEvent(this, 0, 0); });
    if (nResult)
        return nResult;
    KwWFrame* pcoFrame = GetParentFrame();
    return pcoFrame ? pcoFrame->EvChildCommand(this) : 0;
}

int KwWnd::EvUser(KwMessParam* pcoParam)
{
    return FireEvent<KwEventUser>("KW_LINK_USER", [&] { return KwEventUser(this, *pcoParam, 0); });
}

int KwWnd::EvTextWillChange(const char* pszText)
{
    const TMvcEvent* pcoEvent = MVC().FindConstType("KW_LINK_TEXTWILLCHANGE");
    if (!pcoEvent || !pcoEvent->GetLink())
        return 1;
    return FireLink<KwEventWnd>("KW_LINK_TEXTWILLCHANGE", [&] {
        KwEventWnd coEvent(this, 0, 0);
        coEvent.SetText(pszText);
        return coEvent;
    });
}

int KwWnd::EvTextHasChanged(const char* pszText)
{
    FireLink<KwEventWnd>("KW_LINK_TEXTHASCHANGED", [&] {
        KwEventWnd coEvent(this, 0, 0);
        coEvent.SetText(pszText);
        return coEvent;
    });
    return 1;
}

int KwWnd::EvPaint(KwPaintDC& coDC)
{
    int nResult = MyLayout().Paint(this, coDC, nullptr);
    if (FireEvent<KwEventPaint>("KW_LINK_PAINT", [&] { return KwEventPaint(this, coDC, nullptr, 0, 0); }))
        return 1;
    if (m_pcoContent) {
        const int nContent = PaintContent(coDC, nullptr);
        if (!nResult)
            nResult = nContent;
    }
    return nResult;
}

// Painting a paint message: in memory when the look asks for it.
int KwWnd::PaintWindow(KwPaintDC& coPaintDC)
{
    const KwRect coClient = GetClientRect();
    const KwSize coSize(static_cast<short>(std::abs(coClient.Width())), static_cast<short>(std::abs(coClient.Height())));
    if (IsWindowInMemory() && coSize.Width() > 0 && coSize.Height() > 0) {
        KwPaintDC coMem;
        KwBitmap coBitmap;
        if (coMem.SysCreate(coPaintDC) && coBitmap.SysCreate(coPaintDC, coSize, 0)) {
            coMem.SelectBitmap(&coBitmap);
            const int nResult = EvPaint(coMem);
            coPaintDC.BitBlt(coClient.TopLeft(), coMem, coClient.TopLeft(), coSize, 11);
            coMem.SelectBitmap(nullptr);
            return nResult;
        }
    }
    return EvPaint(coPaintDC);
}

// Message mapping

int KwWnd::MapPaint(KwMessParam* pcoParam)
{
    KwPaintDC coDC(this);
    const int nHasFocus = pcoKwSys && GetHandle() && pcoKwSys->GetFocus() == GetHandle();
    if (nHasFocus)
        DrawFocus(coDC);
    KwWndApp* pcoApp = IsHourGlassOnPaint() ? KwWndApp::Current() : nullptr;
    if (pcoApp)
        pcoApp->WaitCursor(1);
    const int nResult = PaintWindow(coDC);
    if (pcoApp)
        pcoApp->WaitCursor(0);
    if (nHasFocus)
        DrawFocus(coDC);
    return nResult;
}

int KwWnd::MapDestroy(KwMessParam* pcoParam)
{
    EvDestroy();
    KwWFrame* pcoFrame = GetParentFrame();
    if (pcoFrame && static_cast<KwWnd*>(pcoFrame) != this) {
        pcoFrame->RemoveBufferChild(this);
        pcoFrame->MapNotifyLooseChild(this);
    }
    DisconnectAllTimers();
    return 1;
}

int KwWnd::MapNcDestroy(KwMessParam* pcoParam)
{
    if (pcoKwSys) {
        // The window goes with its menu bar: the bar is not taken off it
        // first, which would resize a window being destroyed.
        const KwHandle hMenu = pcoKwSys->GetMenu(GetHandle());
        KwMenu* pcoMenu = hMenu ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", hMenu)) : nullptr;
        if (pcoMenu) {
            pcoMenu->RemoveLink();
            pcoMenu->Destroy();
        }
        KwWndApp* pcoApp = KwWndApp::Current();
        if (pcoApp && pcoApp->MainWindow() && static_cast<KwWnd*>(pcoApp->MainWindow()) == this)
            pcoApp->Exit(0);
        pcoKwSys->DetachWindowObject(*this);
    }
    DisConnect();
    if (IsAutoDestroy() && !m_unDestroying) {
        m_unDestroying = 1;
        DeleteSelf();
    }
    return 1;
}

int KwWnd::MapSetCursor(KwMessParam* pcoParam)
{
    if (!pcoKwSys)
        return 0;
    KwMessage& coParam = MessageOf(pcoParam);
    const KwHandle hUnder = static_cast<KwHandle>(coParam.GetWParam());
    pcoKwSys->SetCurrentCursorWindow(hUnder);
    KwWnd* pcoUnder = SearchWindow(hUnder);
    if (!pcoUnder) {
        if (hUnder != GetHandle())
            return 0;
        EventDefault(pcoParam);
        return 1;
    }
    if (KwWnd* pcoParent = GetParent()) {
        const int nParent = Guarded(*pcoParent, [&] { return pcoParent->MapSetCursor(pcoParam); });
        if (nParent)
            return nParent;
    }
    const int nResult = EvSetCursor(pcoUnder);
    if (nResult)
        return nResult;
    if (hUnder != GetHandle())
        return 0;
    KwHandle hCursor = coParam.LowLParam() == KwSysCmd::HitClient ? pcoKwSys->GetClassCursor(GetHandle()) : 0;
    if (!hCursor)
        hCursor = pcoKwSys->GetArrowCursor();
    pcoKwSys->SetCursor(hCursor);
    return 1;
}

#define KW_MOUSE_MAP(Map, Ev, Prio)                                                               \
    int KwWnd::Map(KwMessParam* pcoParam)                                                        \
    {                                                                                            \
        const KwMessage& coParam = MessageOf(pcoParam);                                       \
        const KwPoint coPoint = PointOf(coParam);                                                \
        const unsigned short unFlags = KwCodes::MouseKeyFlags(coParam.GetWParam());              \
        const int nPrio = FirePriority<KwEventMouse>(Prio, [&] { return KwEventMouse(this, coPoint, unFlags); }); \
        return nPrio ? nPrio : Ev(coPoint, unFlags);                                             \
    }
KW_MOUSE_MAP(MapMouseMove, EvMouseMove, "$KWPRIOLINK_MOUSEMOVE")
KW_MOUSE_MAP(MapLButtonUp, EvLButtonUp, "$KWPRIOLINK_LBUTTONUP")
KW_MOUSE_MAP(MapLButtonDown, EvLButtonDown, "$KWPRIOLINK_LBUTTONDOWN")
KW_MOUSE_MAP(MapLButtonDblClk, EvLButtonDblClk, "$KWPRIOLINK_LBUTTONDBLCLK")
KW_MOUSE_MAP(MapRButtonUp, EvRButtonUp, "$KWPRIOLINK_RBUTTONUP")
KW_MOUSE_MAP(MapRButtonDown, EvRButtonDown, "$KWPRIOLINK_RBUTTONDOWN")
KW_MOUSE_MAP(MapRButtonDblClk, EvRButtonDblClk, "$KWPRIOLINK_RBUTTONDBLCLK")
KW_MOUSE_MAP(MapMButtonUp, EvMButtonUp, "$KWPRIOLINK_MBUTTONUP")
KW_MOUSE_MAP(MapMButtonDown, EvMButtonDown, "$KWPRIOLINK_MBUTTONDOWN")
KW_MOUSE_MAP(MapMButtonDblClk, EvMButtonDblClk, "$KWPRIOLINK_MBUTTONDBLCLK")
#undef KW_MOUSE_MAP

int KwWnd::MapKeyDown(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const unsigned short unKey = coParam.LowWParam();
    const unsigned long ulData = KeyData(coParam);
    const int nPrio = FirePriority<KwEventKey>("$KWPRIOLINK_KEYDOWN", [&] { return KwEventKey(this, unKey, ulData); });
    return nPrio ? nPrio : EvKeyDown(unKey, ulData);
}

int KwWnd::MapKeyUp(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const unsigned short unKey = coParam.LowWParam();
    const unsigned long ulData = KeyData(coParam);
    const int nPrio = FirePriority<KwEventKey>("$KWPRIOLINK_KEYUP", [&] { return KwEventKey(this, unKey, ulData); });
    return nPrio ? nPrio : EvKeyUp(unKey, ulData);
}

int KwWnd::MapSysKeyDown(KwMessParam* pcoParam)
{
    return EvSysKeyDown(MessageOf(pcoParam).LowWParam(), KeyData(MessageOf(pcoParam)));
}

int KwWnd::MapSysKeyUp(KwMessParam* pcoParam)
{
    return EvSysKeyUp(MessageOf(pcoParam).LowWParam(), KeyData(MessageOf(pcoParam)));
}

int KwWnd::MapSysChar(KwMessParam* pcoParam)
{
    return EvSysChar(MessageOf(pcoParam).LowWParam(), KeyData(MessageOf(pcoParam)));
}

int KwWnd::MapChar(KwMessParam* pcoParam)
{
    return EvChar(MessageOf(pcoParam).LowWParam(), KeyData(MessageOf(pcoParam)));
}

int KwWnd::MapDeadChar(KwMessParam* pcoParam)
{
    return EvDeadChar(MessageOf(pcoParam).LowWParam(), KeyData(MessageOf(pcoParam)));
}

int KwWnd::MapMeasureItem(KwMessParam* pcoParam)
{
    KwOwnerDraw coItem;
    if (!pcoKwSys || MessageOf(pcoParam).GetWParam() != 0 || !pcoKwSys->ReadOwnerDraw(MessageOf(pcoParam), coItem) || coItem.unType != 1)
        return 0;
    KwMenuItem* pcoItem = KwMenu::FindItem(static_cast<unsigned short>(coItem.hItem));
    if (!pcoItem)
        return 0;
    KwSize coSize = coItem.coSize;
    int nResult = pcoItem->EvMeasure(coSize);
    if (!nResult)
        nResult = EvMeasureMenuItem(pcoItem, coSize);
    if (nResult)
        pcoKwSys->WriteMeasureSize(MessageOf(pcoParam), coSize);
    return nResult;
}

// The item draws itself for the requested action (1 entirely, 2 the
// selection, 4 the focus); when it does not, the window's handler does.
int KwWnd::MapDrawItem(KwMessParam* pcoParam)
{
    KwOwnerDraw coItem;
    if (!pcoKwSys || !pcoKwSys->ReadOwnerDraw(MessageOf(pcoParam), coItem) || coItem.unType != 1 || !coItem.hDC)
        return 0;
    KwMenuItem* pcoItem = KwMenu::FindItem(static_cast<unsigned short>(coItem.hItem));
    if (!pcoItem)
        return 0;
    KwDC coDC(this, coItem.hDC);
    const int nSaved = pcoKwSys->SaveDC(coItem.hDC);
    const unsigned short unState = KwCodes::MenuItemStateFromSystem(coItem.unState);
    int nResult = 0;
    switch (coItem.unAction) {
    case 1:
        nResult = pcoItem->EvRedraw(coDC, coItem.coRect, unState) || EvDrawMenuItem(pcoItem, coDC, coItem.coRect, unState);
        break;
    case 2:
        nResult = pcoItem->EvDrawSelection(coDC, coItem.coRect, unState) || EvDrawMenuItemSelection(pcoItem, coDC, coItem.coRect, unState);
        break;
    case 4:
        nResult = pcoItem->EvDrawFocus(coDC, coItem.coRect, unState) || EvDrawMenuItemFocus(pcoItem, coDC, coItem.coRect, unState);
        break;
    default:
        break;
    }
    coDC.SelectOutAll();
    pcoKwSys->RestoreDC(coItem.hDC, nSaved);
    return nResult;
}

int KwWnd::MapActivateApp(KwMessParam* pcoParam)
{
    KwWndApp* pcoApp = KwWndApp::Current();
    return pcoApp ? pcoApp->EvActivateApp(MessageOf(pcoParam).GetWParam() != 0) : 0;
}

int KwWnd::MapQueryEndSession(KwMessParam* pcoParam)
{
    KwWndApp* pcoApp = KwWndApp::Current();
    return pcoApp ? pcoApp->EvQueryEndSession() : 1;
}

int KwWnd::MapEndSession(KwMessParam* pcoParam)
{
    KwWndApp* pcoApp = KwWndApp::Current();
    if (pcoApp && MessageOf(pcoParam).GetWParam())
        pcoApp->NotifyEndSession();
    return 0;
}

int KwWnd::MapCommand(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    if (coParam.GetLParam() == 0) {
        // Menu and accelerator commands reach the menu item registered under
        // the command id.
        KwMenuItem* pcoItem = KwMenu::FindItem(coParam.LowWParam());
        return pcoItem && !pcoItem->IsPopup() ? pcoItem->EvClicked() : 0;
    }
    KwWnd* pcoControl = SearchWindow(static_cast<KwHandle>(coParam.GetLParam()));
    return pcoControl == this ? EvCommand() : 0;
}

int KwWnd::MapCtlColor(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    KwWnd* pcoControl = SearchWindow(static_cast<KwHandle>(coParam.GetLParam()));
    if (!pcoControl || !pcoKwSys)
        return 0;
    const KwHandle hDC = static_cast<KwHandle>(coParam.GetWParam());
    const unsigned long ulBack = pcoControl->GetColBack().GetRealColor();
    pcoKwSys->SetControlColorBrush(ulBack);
    pcoKwSys->SetTextColor(hDC, pcoControl->GetColFore().GetRealColor());
    pcoKwSys->SetBkColor(hDC, ulBack);
    return 1;
}

int KwWnd::MapKillFocus(KwMessParam* pcoParam)
{
    if (GetHandle()) {
        KwDC coDC(this);
        DrawFocus(coDC);
    }
    return EvKillFocus(SearchWindow(static_cast<KwHandle>(MessageOf(pcoParam).GetWParam())));
}

int KwWnd::MapSetFocus(KwMessParam* pcoParam)
{
    if (GetHandle()) {
        KwDC coDC(this);
        DrawFocus(coDC);
    }
    return EvSetFocus(SearchWindow(static_cast<KwHandle>(MessageOf(pcoParam).GetWParam())));
}

int KwWnd::MapUser(KwMessParam* pcoParam)
{
    MessageOf(pcoParam).SetResult(0);
    return EvUser(pcoParam);
}

int KwWnd::MapCaptureLost(KwMessParam* pcoParam)
{
    EvCaptureLost();
    return MapUser(pcoParam);
}

int KwWnd::MapPaletteChanged(KwMessParam* pcoParam)
{
    const KwHandle hChanger = static_cast<KwHandle>(MessageOf(pcoParam).GetWParam());
    if (hChanger == GetHandle())
        return 0;
    return EvPaletteChanged(SearchWindow(hChanger));
}

int KwWnd::MapInitMenu(KwMessParam* pcoParam)
{
    KwMenu* pcoMenu = pcoKwSys ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", static_cast<KwHandle>(MessageOf(pcoParam).GetWParam()))) : nullptr;
    return pcoMenu ? pcoMenu->EvInit(-1) : 0;
}

int KwWnd::MapInitMenuPopup(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    if (!pcoKwSys || coParam.HighLParam() != 0)
        return 0;
    KwMenu* pcoMenu = static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", static_cast<KwHandle>(coParam.GetWParam())));
    return pcoMenu ? pcoMenu->EvInit(static_cast<short>(coParam.LowLParam())) : 0;
}

int KwWnd::MapMenuChar(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    KwMenu* pcoMenu = pcoKwSys ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", static_cast<KwHandle>(coParam.GetLParam()))) : nullptr;
    return pcoMenu ? EvMenuChar(static_cast<char>(coParam.GetWParam() & 0xFF), pcoMenu) : 0;
}

// The highlighted entry: an item by its command id or, for a popup entry
// (its position in the menu), the item that opens the popup.
int KwWnd::MapMenuSelect(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const unsigned short unFlags = coParam.HighWParam();
    const KwHandle hMenu = static_cast<KwHandle>(coParam.GetLParam());
    if (unFlags == 0xFFFF || !hMenu)
        return IsFrameWindow() ? static_cast<KwWFrame*>(this)->EvMenuClosed() : 0;
    if (!pcoKwSys)
        return 0;
    KwMenuItem* pcoItem = nullptr;
    if (unFlags & KwMenuFlag::Popup) {
        KwPopupMenu* pcoPopup = KwMenu::FindPopup(pcoKwSys->GetSubMenu(hMenu, coParam.LowWParam()));
        pcoItem = pcoPopup ? pcoPopup->GetParentItem() : nullptr;
    } else {
        pcoItem = KwMenu::FindItem(coParam.LowWParam());
    }
    return pcoItem ? pcoItem->EvSelect((unFlags & KwMenuFlag::SysMenu) ? 1 : 0) : 0;
}

int KwWnd::MapHScroll(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const unsigned short unCode = KwCodes::ScrollFromSystem(coParam.LowWParam());
    const short nPos = static_cast<short>(coParam.HighWParam());
    if (coParam.GetLParam()) {
        KwWnd* pcoBar = SearchWindow(static_cast<KwHandle>(coParam.GetLParam()));
        return pcoBar ? Guarded(*pcoBar, [&] { return pcoBar->EvHScroll(unCode, nPos); }) : 0;
    }
    return EvHScroll(unCode, nPos);
}

int KwWnd::MapVScroll(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const unsigned short unCode = KwCodes::ScrollFromSystem(coParam.LowWParam());
    const short nPos = static_cast<short>(coParam.HighWParam());
    if (coParam.GetLParam()) {
        KwWnd* pcoBar = SearchWindow(static_cast<KwHandle>(coParam.GetLParam()));
        return pcoBar ? Guarded(*pcoBar, [&] { return pcoBar->EvVScroll(unCode, nPos); }) : 0;
    }
    return EvVScroll(unCode, nPos);
}

int KwWnd::MapMove(KwMessParam* pcoParam)
{
    return EvMove(PointOf(MessageOf(pcoParam)));
}

int KwWnd::MapSize(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvSize(KwCodes::SizeFromSystem(static_cast<unsigned>(coParam.GetWParam())),
                  KwSize(static_cast<short>(coParam.LowLParam()), static_cast<short>(coParam.HighLParam())));
}

int KwWnd::MapDDEAck(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEAck(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDEAdvise(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEAdvise(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDEData(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEData(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDEExecute(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEExecute(coParam.GetWParam(), coParam.HighLParam());
}

int KwWnd::MapDDEInitiate(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEInitiate(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDEPoke(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEPoke(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDERequest(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDERequest(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

int KwWnd::MapDDETerminate(KwMessParam* pcoParam)
{
    return EvDDETerminate(MessageOf(pcoParam).GetWParam());
}

int KwWnd::MapDDEUnadvise(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    return EvDDEUnadvise(coParam.GetWParam(), coParam.LowLParam(), coParam.HighLParam());
}

// Resources

void KwWnd::WriteData(TFile& coFile) const
{
    // The current geometry and text become the creation values written.
    KwWnd& coSelf = const_cast<KwWnd&>(*this);
    if (GetHandle()) {
        const KwRect coRect = GetRect();
        coSelf.StorePos(coRect.TopLeft());
        coSelf.StoreSize(coRect.Size());
        coSelf.StoreInitText(GetText());
    }
    KwWndBase::WriteData(coFile);
    TResShort(VarResFont, m_nResFont).Write(coFile);
}

void KwWnd::WriteChildren(TFile& coFile) const
{
    KwWndBase::WriteChildren(coFile);
    if (m_pcoContent)
        m_pcoContent->WriteResource(coFile);
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild))
        pcoChild->WriteResource(coFile);
}

int KwWnd::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwWndBase::NotifyReadFinished(pcoParent, ulIndex);
    KwWnd* pcoParentWnd = pcoParent && pcoParent->IsClassFamily("KwWnd") ? static_cast<KwWnd*>(pcoParent) : nullptr;
    // The links the creation runs (create, move, size, focus) may destroy
    // this window: the object stays until the creation has returned, and
    // the reader forgets it when it goes then.
    Guarded(*this, [&] { return SysCreate(pcoParentWnd); });
    return 0;
}

int KwWnd::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (pcoChild && !pcoChild->IsDummyResource()) {
        if (pcoChild->IsClassFamily("KwWnd"))
            return KeepChild(*static_cast<KwWnd*>(pcoChild));
        if (pcoChild->IsClassFamily("KwContent")) {
            delete LinkContent(static_cast<KwContent*>(pcoChild));
            return 1;
        }
    }
    return KwWndBase::NotifyChildFullReadFinished(pcoChild, ulIndex);
}

// A child window read below this one is this window's: it goes with its
// window, whatever its record says, and one that got no window is deleted
// here (the reader forgets it), so that none outlives its parent unowned.
int KwWnd::KeepChild(KwWnd& coChild)
{
    if (!coChild.GetHandle()) {
        delete &coChild;
        return 1;
    }
    coChild.AutoDestroyOn();
    return 1;
}

int KwWnd::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() == VarResFont) {
        m_nResFont = static_cast<short>(coVar);
        return 1;
    }
    return KwWndBase::NotifyVariableRead(coVar, pcoParent, ulIndex);
}
