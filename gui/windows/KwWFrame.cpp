#include "KwWFrame.h"

#include "KwBitmap.h"
#include "KwDC.h"
#include "KwDib.h"
#include "KwFont.h"
#include "KwKeyTable.h"
#include "KwLayout.h"
#include "KwMenu.h"
#include "KwMessages.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWChild.h"
#include "KwWndApp.h"
#include "TCrt.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>

// The table exists before the reference object that uses it.
TMvcEventTable KwWFrame::m_stcoEvTab { "KwWFrame", &KwWFrame::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwWFrame, KwWnd, "kw25")

namespace {

enum : short { KeyReturn = 0, KeyEscape = 12 };
enum : short { ShowMaximize = 5, ShowMinimized = 6, ShowNormal = 4 };

KwMessage& MessageOf(KwMessParam* pcoParam)
{
    return *static_cast<KwMessage*>(pcoParam);
}

KwPoint PointOf(const KwMessage& coParam)
{
    return KwPoint(coParam.SignedLowLParam(), coParam.SignedHighLParam());
}

KwWndApp* App()
{
    return KwWndApp::Current();
}

// Depth-first, in child order: the first window that takes the hot key.
KwWnd* FindHotKeyWindow(const KwWnd& coWnd, char chKey)
{
    for (KwWnd* pcoChild = coWnd.GetChildFirst(); pcoChild; pcoChild = coWnd.GetChildNext(pcoChild)) {
        const KwWChild* pcoAsChild = dynamic_cast<const KwWChild*>(pcoChild);
        const int nView = !pcoAsChild || pcoAsChild->IsTopViewChild() || pcoChild->IsClassFamily("KwNoteBookClient");
        if (pcoChild->HasHotKeyCommandALT(chKey) && pcoChild->IsEnabled() && nView)
            return pcoChild;
        if (KwWnd* pcoFound = FindHotKeyWindow(*pcoChild, chKey))
            return pcoFound;
    }
    return nullptr;
}

} // namespace


void KwWFrame::TMvcEventsRegister()
{
    static const char* const s_apszWnd[] = {
        "KW_LINK_INIT", "KW_LINK_CLOSE", "KW_LINK_ACTIVATE", "KW_LINK_NCACTIVATE", "KW_LINK_GOTCHILD", "KW_LINK_LOOSECHILD",
    };
    static const char* const s_apszMouse[] = {
        "KW_LINK_NCMOUSEMOVE", "KW_LINK_NCLBUTTONDOWN", "KW_LINK_NCLBUTTONUP", "KW_LINK_NCLBUTTONDBLCLK",
        "KW_LINK_NCRBUTTONDOWN", "KW_LINK_NCRBUTTONUP", "KW_LINK_NCRBUTTONDBLCLK", "KW_LINK_NCMBUTTONDOWN",
        "KW_LINK_NCMBUTTONUP", "KW_LINK_NCMBUTTONDBLCLK",
    };
    for (const char* pszName : s_apszWnd)
        m_stcoEvTab.RegisterEventType(pszName, "KwEventWnd", nullptr, nullptr);
    for (const char* pszName : s_apszMouse)
        m_stcoEvTab.RegisterEventType(pszName, "KwEventMouse", nullptr, nullptr);
}

// Construction

KwWFrame::KwWFrame()
    : KwWFrame(static_cast<const char*>(nullptr))
{
}

KwWFrame::KwWFrame(const char* pszName)
    : KwWnd(pszName, KwPoint(100, 100), KwSize(250, 150), 0, 15, 0, KwStyle::OverlappedWindow, nullptr, 0)
{
    if (KwWndApp* pcoApp = App())
        pcoApp->AddFrame(*this);
}

KwWFrame::KwWFrame(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszTitle, short nColBack,
                   unsigned long ulStyle, unsigned long ulExStyle, unsigned short unFlags)
    : KwWnd(pszName, coPos, coSize, 0, nColBack, 0, ulStyle, pszTitle, ulExStyle)
    , m_unFrameFlags(unFlags)
{
    if (KwWndApp* pcoApp = App())
        pcoApp->AddFrame(*this);
}

KwWFrame::KwWFrame(const KwWFrame& coOther)
    : KwWnd(coOther)
    , m_pcoFont(coOther.m_pcoFont ? new KwFont(*coOther.m_pcoFont) : nullptr)
    , m_coClientRect(coOther.m_coClientRect)
    , m_coIconId(coOther.m_coIconId)
    , m_coDragIconId(coOther.m_coDragIconId)
    , m_unFrameFlags(coOther.m_unFrameFlags)
{
    if (KwWndApp* pcoApp = App())
        pcoApp->AddFrame(*this);
}

KwWFrame::~KwWFrame()
{
    if (IsDynCppReferenceObject())
        return;
    ReEnableDisabled();
    // The window goes next, its menu bar with it: taking the bar off first
    // would resize the frame (and call its handlers) while it is destroyed.
    if (KwMenu* pcoMenu = GetMenu()) {
        pcoMenu->RemoveLink();
        pcoMenu->Destroy();
    }
    ReleaseSystemWindow();
    if (m_hDragIcon && pcoKwSys)
        pcoKwSys->DestroyIcon(m_hDragIcon);
    delete m_pcoFont;
    if (KwWndApp* pcoApp = App())
        pcoApp->RemoveFrame(*this);
}

void KwWFrame::SetFrameFlag(unsigned short unFlag, int nOn)
{
    if (nOn)
        m_unFrameFlags |= unFlag;
    else
        m_unFrameFlags &= static_cast<unsigned short>(~unFlag);
}

void KwWFrame::SetStartType(short nType)
{
    SetFrameFlag(FlagStartMaximized, nType == 1);
    SetFrameFlag(FlagStartMinimized, nType == 2);
}

// Starting

// The links that run on the way (focus, move, size, init) may close the
// frame or any of its children: after each of them the frame's window is
// looked for again, and children are found again by their handles. The
// callers run this inside the frame's own dispatch guard, so that the
// frame object outlives the start; 0 when its window has gone.
int KwWFrame::StartSteps()
{
    if (pcoKwSys)
        pcoKwSys->RemoveMessMouse();
    if (HasMenu())
        DrawMenuBar();
    KwWChild* pcoFocus = GetDefaultFocusChild();
    const KwHandle hFocus = pcoFocus ? pcoFocus->GetHandle() : 0;
    if (pcoFocus)
        pcoFocus->SetFocus();
    else
        KwWnd::SetFocus();
    if (GetHandle() && (m_unFrameFlags & FlagScreenMiddle))
        CalcMiddlePos(nullptr, 1);
    if (!GetHandle())
        return 0;
    EvInit();
    if (!GetHandle())
        return 0;
    KwWnd* pcoFocused = hFocus ? SearchWindow(hFocus) : nullptr;
    if (pcoFocused && pcoFocused->IsClassFamily("KwSysEdit") && GetFocus() == pcoFocused) {
        KwWnd::SetFocus();
        if ((pcoFocused = SearchWindow(hFocus)) != nullptr)
            pcoFocused->SetFocus();
    }
    if (GetHandle() && (m_unFrameFlags & FlagAdjustToScreen)) {
        const int nCentred = (m_unFrameFlags & FlagScreenMiddle) != 0;
        if (!nCentred || GetPos() != KwPoint())
            AlignToScreen(1, nullptr);
    }
    return GetHandle() != 0;
}

void KwWFrame::Start()
{
    short nShow = ShowNormal;
    if (m_unFrameFlags & FlagStartMaximized)
        nShow = ShowMaximize;
    else if (m_unFrameFlags & FlagStartMinimized)
        nShow = ShowMinimized;
    Start(nShow);
}

void KwWFrame::Start(short nShow)
{
    if (m_unStartMode != ModeNone)
        return;
    KwWndApp* pcoApp = App();
    if (pcoApp && !pcoApp->MainWindow()) {
        pcoApp->StartMainWindow(*this);
        return;
    }
    StartDirect(nShow);
}

void KwWFrame::StartDirect(short nShow)
{
    if (m_unStartMode != ModeNone || !GetHandle())
        return;
    Guarded(*this, [&] {
        m_unStartMode = ModeStarted;
        if (!StartSteps())
            return;
        Show(nShow);
        Update();
    });
}

// The frame may close anywhere in the start or the loop; the object stays
// until the start has returned (the dispatch guard) and is deleted then
// when it has auto-destroy.
short KwWFrame::StartModal(short nMode)
{
    if (m_unStartMode != ModeNone || nMode < ModeModalParent || nMode > ModeModalNone || !GetHandle() || !pcoKwSys)
        return m_nDlgResult;
    return Guarded(*this, [&] { return RunModal(nMode); });
}

short KwWFrame::RunModal(short nMode)
{
    pcoKwSys->RemoveMessMouse();
    m_unStartMode = static_cast<unsigned short>(nMode);
    m_coDisabled.clear();
    if (nMode == ModeModalParent) {
        KwWnd* pcoParent = GetParent();
        if (pcoParent && pcoParent->IsEnabled()) {
            pcoParent->Enable(0, 1);
            m_coDisabled.push_back(pcoParent->GetHandle());
        }
    } else if (nMode == ModeModalApp) {
        const KwWndApp* pcoApp = App();
        for (short i = 0; pcoApp && i < pcoApp->FrameCount(); ++i) {
            KwWFrame* pcoFrame = pcoApp->Frame(i);
            if (pcoFrame && pcoFrame != this && pcoFrame->GetHandle() && pcoFrame->IsEnabled()) {
                pcoFrame->Enable(0, 1);
                m_coDisabled.push_back(pcoFrame->GetHandle());
            }
        }
    }
    int nQuit = 0;
    if (StartSteps()) {
        Show(ShowNormal);
        Update();
        if (GetHandle())
            nQuit = pcoKwSys->ModalLoop(this, static_cast<unsigned short>(nMode));
    }
    if (!m_coDisabled.empty()) {
        TString coText;
        coText.SetText("%ld Frame-Windows left in KwWFrame::coArrWndDisabled\n", static_cast<long>(m_coDisabled.size()));
        pcoKwSys->DebugOutput(coText);
    }
    ReEnableDisabled();
    m_unStartMode = ModeNone;
    if (nQuit) {
        if (KwWndApp* pcoApp = App())
            pcoApp->Exit(0);
        m_nDlgResult = 0;
    }
    return m_nDlgResult;
}

void KwWFrame::ReEnableDisabled()
{
    for (KwHandle hFrame : m_coDisabled) {
        KwWnd* pcoFrame = SearchWindow(hFrame);
        if (pcoFrame && pcoFrame->GetHandle() && !pcoFrame->IsEnabled())
            pcoFrame->Enable(1, 1);
    }
    m_coDisabled.clear();
}

void KwWFrame::Destroy()
{
    if (IsModalFrame())
        ReEnableDisabled();
    KwWnd::Destroy();
}

void KwWFrame::Close(int nSend)
{
    if (!GetHandle() || !pcoKwSys)
        return;
    if (nSend)
        pcoKwSys->SendMessage(GetHandle(), KwMsg::Close, 0, 0);
    else
        pcoKwSys->PostMessage(GetHandle(), KwMsg::Close, 0, 0);
}

// State

int KwWFrame::IsTopMost() const
{
    return (GetExStyle() & KwStyle::ExTopMost) ? 1 : 0;
}

int KwWFrame::SetTopMost(int nTopMost)
{
    if (!GetHandle()) {
        const unsigned long ulExStyle = KwWndBase::GetExStyle();
        SetExStyle(nTopMost ? (ulExStyle | KwStyle::ExTopMost) : (ulExStyle & ~KwStyle::ExTopMost));
        return 1;
    }
    return pcoKwSys ? pcoKwSys->SetTopMost(GetHandle(), nTopMost) : 0;
}

int KwWFrame::IsMaximized() const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->IsZoomed(GetHandle()) : 0;
}

int KwWFrame::IsMinimized() const
{
    return GetHandle() && pcoKwSys ? pcoKwSys->IsIconic(GetHandle()) : 0;
}

int KwWFrame::ArrangeIcons()
{
    return GetHandle() && pcoKwSys ? pcoKwSys->ArrangeIconicWindows(GetHandle()) : 0;
}

int KwWFrame::SetTop(int)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->SetZOrder(GetHandle(), 0) : 0;
}

int KwWFrame::SetBottom(int)
{
    return GetHandle() && pcoKwSys ? pcoKwSys->SetZOrder(GetHandle(), 1) : 0;
}

int KwWFrame::HasMenu() const
{
    return GetHandle() && pcoKwSys && pcoKwSys->GetMenu(GetHandle()) != 0;
}

int KwWFrame::DrawMenuBar()
{
    return GetHandle() && pcoKwSys ? pcoKwSys->DrawMenuBar(GetHandle()) : 0;
}

KwMenu* KwWFrame::GetMenu() const
{
    const KwHandle hMenu = GetHandle() && pcoKwSys ? pcoKwSys->GetMenu(GetHandle()) : 0;
    return hMenu ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", hMenu)) : nullptr;
}

KwMenu* KwWFrame::SetMenu(KwMenu* pcoMenu)
{
    KwMenu* pcoPrevious = GetMenu();
    // A popup is no menu bar, and a menu is the bar of one frame at most.
    if (!GetHandle() || !pcoKwSys || (pcoMenu && (pcoMenu->IsPopupMenu() || !pcoMenu->GetHandle())))
        return pcoPrevious;
    if (pcoMenu == pcoPrevious)
        return pcoPrevious;
    KwWFrame* pcoOther = pcoMenu ? pcoMenu->GetParentWindow() : nullptr;
    if (pcoOther && pcoOther != this)
        pcoOther->SetMenu(nullptr);
    if (!pcoKwSys->SetMenu(GetHandle(), pcoMenu ? pcoMenu->GetHandle() : 0))
        return pcoPrevious;
    if (pcoPrevious)
        pcoPrevious->RemoveLink();
    if (pcoMenu)
        pcoMenu->SetLink(this);
    return pcoPrevious;
}

KwWFrame* KwWFrame::GetActive()
{
    KwWnd* pcoWnd = pcoKwSys ? SearchWindow(pcoKwSys->GetActiveWindow()) : nullptr;
    return pcoWnd && pcoWnd->IsFrameWindow() ? static_cast<KwWFrame*>(pcoWnd) : nullptr;
}

int KwWFrame::SetActive(int nActivate)
{
    if (!GetHandle() || !pcoKwSys || !nActivate)
        return 0;
    return pcoKwSys->SetActiveWindow(GetHandle()) != 0;
}

KwRect KwWFrame::AlignToScreen(int nMove, int* pnMoved)
{
    const KwRect coScreen = pcoKwSys ? pcoKwSys->GetScreenRect() : KwRect();
    KwRect coRect = GetRect();
    const KwRect coOld = coRect;
    if (coRect.Right() > coScreen.Right())
        coRect.Move(static_cast<short>(coScreen.Right() - coRect.Right()), 0);
    if (coRect.Bottom() > coScreen.Bottom())
        coRect.Move(0, static_cast<short>(coScreen.Bottom() - coRect.Bottom()));
    if (coRect.Left() < coScreen.Left())
        coRect.Move(static_cast<short>(coScreen.Left() - coRect.Left()), 0);
    if (coRect.Top() < coScreen.Top())
        coRect.Move(0, static_cast<short>(coScreen.Top() - coRect.Top()));
    const int nMoved = coRect != coOld;
    if (pnMoved)
        *pnMoved = nMoved;
    if (nMove && nMoved)
        SetRect(coRect, 1);
    return coRect;
}

// Children

KwWChild* KwWFrame::GetDefaultPushChild() const
{
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild)) {
        const KwWChild* pcoAsChild = dynamic_cast<const KwWChild*>(pcoChild);
        KwWChild* pcoButton = pcoAsChild ? pcoAsChild->FindDefaultPushChild() : nullptr;
        if (pcoButton)
            return pcoButton;
    }
    return nullptr;
}

KwPushButton* KwWFrame::GetDefaultPushButton() const
{
    KwWChild* pcoButton = GetDefaultPushChild();
    return pcoButton ? static_cast<KwPushButton*>(*pcoButton) : nullptr;
}

KwWChild* KwWFrame::GetDefaultFocusChild() const
{
    for (KwWnd* pcoChild = GetChildFirst(); pcoChild; pcoChild = GetChildNext(pcoChild)) {
        const KwWChild* pcoAsChild = dynamic_cast<const KwWChild*>(pcoChild);
        KwWChild* pcoFound = pcoAsChild ? pcoAsChild->FindDefaultFocusChild() : nullptr;
        if (pcoFound)
            return pcoFound;
    }
    return nullptr;
}

void KwWFrame::AddBufferChild(KwWnd* pcoChild)
{
    if (!pcoChild || std::find(m_coBufferChildren.begin(), m_coBufferChildren.end(), pcoChild) != m_coBufferChildren.end())
        return;
    auto it = std::upper_bound(m_coBufferChildren.begin(), m_coBufferChildren.end(), pcoChild,
                               [](const KwWnd* pcoA, const KwWnd* pcoB) { return TResource::CompareById(pcoA, pcoB) < 0; });
    m_coBufferChildren.insert(it, pcoChild);
    m_pcoLastBuffer = pcoChild;
}

void KwWFrame::RemoveBufferChild(KwWnd* pcoChild)
{
    auto it = std::find(m_coBufferChildren.begin(), m_coBufferChildren.end(), pcoChild);
    if (it != m_coBufferChildren.end())
        m_coBufferChildren.erase(it);
    if (m_pcoLastBuffer == pcoChild)
        m_pcoLastBuffer = nullptr;
}

KwWnd* KwWFrame::FindChildBuffer(const char* pszName) const
{
    if (!pszName || !*pszName)
        return nullptr;
    for (KwWnd* pcoChild : m_coBufferChildren) {
        if (pcoChild->HasResId(pszName))
            return pcoChild;
    }
    return nullptr;
}

KwWnd* KwWFrame::FindChildPtr(const char* pszName) const
{
    KwWnd* pcoBuffered = FindChildBuffer(pszName);
    return pcoBuffered ? pcoBuffered : KwWnd::FindChildPtr(pszName);
}

int KwWFrame::MapNotifyLooseChild(KwWnd* pcoChild)
{
    if (!pcoChild)
        return 0;
    for (KwWnd* pcoGrandChild = pcoChild->GetChildFirst(); pcoGrandChild; pcoGrandChild = pcoChild->GetChildNext(pcoGrandChild))
        MapNotifyLooseChild(pcoGrandChild);
    if (m_pcoFocusChild == pcoChild)
        m_pcoFocusChild = nullptr;
    RemoveBufferChild(pcoChild);
    NotifyLooseChild(pcoChild);
    return 1;
}

int KwWFrame::MapNotifyGotChild(KwWnd* pcoChild)
{
    NotifyGotChild(pcoChild);
    return 1;
}

int KwWFrame::NotifyLooseChild(KwWnd* pcoChild)
{
    FireWndEvent("KW_LINK_LOOSECHILD", 0, pcoChild);
    return 0;
}

int KwWFrame::NotifyGotChild(KwWnd* pcoChild)
{
    FireWndEvent("KW_LINK_GOTCHILD", 0, pcoChild);
    return 0;
}

// Font

void KwWFrame::SetDefaultFont(const KwFont& coFont)
{
    delete m_pcoFont;
    m_pcoFont = new KwFont(coFont);
}

void KwWFrame::RemoveDefaultFont()
{
    delete m_pcoFont;
    m_pcoFont = nullptr;
}

const KwFont& KwWFrame::GetUsedFont() const
{
    return m_pcoFont ? *m_pcoFont : KwWnd::GetUsedFont();
}

// Events

int KwWFrame::FireNcMouse(const char* pszName, const KwPoint& coPoint)
{
    return FireEvent<KwEventMouse>(pszName, [&] { return KwEventMouse(this, coPoint, 0); });
}

int KwWFrame::EvClose()
{
    const int nResult = FireWndEvent("KW_LINK_CLOSE", 0, nullptr);
    if (nResult)
        return nResult;
    Destroy();
    return 1;
}

int KwWFrame::EvInit()
{
    return FireWndEvent("KW_LINK_INIT", 0, nullptr);
}

int KwWFrame::EvActivate(int nActive, int nMinimized, KwWnd* pcoOther)
{
    const int nResult = FireWndEvent("KW_LINK_ACTIVATE", static_cast<unsigned short>(nActive), pcoOther);
    if (nResult)
        return 1;
    if (!nActive) {
        KwWnd* pcoFocus = GetFocus();
        if (pcoFocus && pcoFocus != this && pcoFocus->GetParentFrame() == this)
            m_pcoFocusChild = pcoFocus;
        return 1;
    }
    if (KwWChild* pcoButton = GetDefaultPushChild())
        pcoButton->Invalidate(0);
    if (m_pcoFocusChild && m_pcoFocusChild->GetHandle())
        m_pcoFocusChild->SetFocus();
    return 1;
}

int KwWFrame::EvNcActivate(int nActive, int* pnFlag)
{
    const int nResult = FireWndEvent("KW_LINK_NCACTIVATE", static_cast<unsigned short>(nActive), nullptr);
    if (nResult)
        return nResult;
    if (!nActive && (m_unFrameFlags & FlagLockDeactivation)) {
        if (pnFlag)
            *pnFlag = 0;
        return 1;
    }
    return 0;
}

int KwWFrame::EvNcMouseMove(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCMOUSEMOVE", coPoint); }
int KwWFrame::EvNcLButtonDown(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCLBUTTONDOWN", coPoint); }
int KwWFrame::EvNcLButtonUp(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCLBUTTONUP", coPoint); }
int KwWFrame::EvNcLButtonDblClk(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCLBUTTONDBLCLK", coPoint); }
int KwWFrame::EvNcRButtonDown(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCRBUTTONDOWN", coPoint); }
int KwWFrame::EvNcRButtonUp(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCRBUTTONUP", coPoint); }
int KwWFrame::EvNcRButtonDblClk(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCRBUTTONDBLCLK", coPoint); }
int KwWFrame::EvNcMButtonDown(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCMBUTTONDOWN", coPoint); }
int KwWFrame::EvNcMButtonUp(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCMBUTTONUP", coPoint); }
int KwWFrame::EvNcMButtonDblClk(const KwPoint& coPoint) { return FireNcMouse("KW_LINK_NCMBUTTONDBLCLK", coPoint); }

int KwWFrame::EvNcPaint()
{
    return MyLayout().PaintNonClient(this);
}

int KwWFrame::EvWantSize(unsigned short unWhat)
{
    return FireWndEvent("KW_LINK_WANTSIZE", unWhat, nullptr);
}

int KwWFrame::EvWantMove()
{
    return FireWndEvent("KW_LINK_WANTMOVE", 0, nullptr);
}

int KwWFrame::CallDefaultPushHandler()
{
    if (m_unFrameFlags & FlagNoDefaultCommand)
        return 0;
    KwWChild* pcoButton = GetDefaultPushChild();
    if (!pcoButton || !pcoButton->IsEnabled())
        return 0;
    return Guarded(*pcoButton, [pcoButton] { return pcoButton->EvCommand(); });
}

int KwWFrame::CallDefaultESCHandler()
{
    if (m_unFrameFlags & FlagEndOnEsc)
        Close(0);
    return 1;
}

TString KwWFrame::IconPictureId(int nForDrag) const
{
    if (nForDrag && !m_coDragIconId.IsEmpty())
        return m_coDragIconId;
    if (!m_coIconId.IsEmpty())
        return m_coIconId;
    const KwWndApp* pcoApp = App();
    return pcoApp ? pcoApp->DefaultIconId() : TString();
}

int KwWFrame::EvPaint(KwPaintDC& coDC)
{
    if (!IsMinimized())
        return KwWnd::EvPaint(coDC);
    // A minimized frame shows its icon picture centred over a plain
    // background.
    const KwRect coClient = GetClientRect();
    KwBrush coBrush(KwSysColor(15), 1, 0);
    coDC.FillRect(coClient, coBrush);
    KwWndApp* pcoApp = App();
    KwDib coIcon;
    if (pcoApp && pcoApp->LoadPicture(IconPictureId(0), coIcon) && coIcon.IsValid()) {
        const KwSize coSize = coIcon.GetSize();
        const KwPoint coAt(static_cast<short>((coClient.Width() - coSize.Width()) / 2),
                           static_cast<short>((coClient.Height() - coSize.Height()) / 2));
        coDC.DrawDIB(coIcon, &coAt);
    }
    return 1;
}

int KwWFrame::EvChar(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvChar(unKey, ulKeyData);
    if (nResult || GetFocus() != this)
        return nResult;
    const KwWndApp* pcoApp = App();
    const short nIndex = pcoApp ? pcoApp->KeyTable().FindKeyIndex(unKey) : KwKeyTable().FindKeyIndex(unKey);
    if (nIndex == KeyReturn)
        return CallDefaultPushHandler();
    if (nIndex == KeyEscape)
        return CallDefaultESCHandler();
    return 0;
}

int KwWFrame::EvSysChar(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvSysChar(unKey, ulKeyData);
    if (nResult)
        return nResult;
    KwWnd* pcoHotKey = FindHotKeyWindow(*this, static_cast<char>(unKey & 0xFF));
    if (!pcoHotKey)
        return nResult;
    return Guarded(*pcoHotKey, [pcoHotKey] { return pcoHotKey->CallHotKeyCommandALT(); });
}

// Message mapping

int KwWFrame::MapClose(KwMessParam*)
{
    return EvClose();
}

int KwWFrame::MapActivate(KwMessParam* pcoParam)
{
    const KwMessage& coParam = MessageOf(pcoParam);
    const int nActive = coParam.LowWParam() != 0;
    const int nMinimized = coParam.HighWParam() != 0;
    EvActivate(nActive, nMinimized, SearchWindow(static_cast<KwHandle>(coParam.GetLParam())));
    return 1;
}

int KwWFrame::MapNcActivate(KwMessParam* pcoParam, int* pnFlag)
{
    if (pnFlag)
        *pnFlag = 1;
    return EvNcActivate(MessageOf(pcoParam).GetWParam() != 0, pnFlag);
}

int KwWFrame::MapNcPaint(KwMessParam*)
{
    return EvNcPaint();
}

int KwWFrame::MapSysCommand(KwMessParam* pcoParam)
{
    KwMessage& coParam = MessageOf(pcoParam);
    const unsigned unCommand = static_cast<unsigned>(coParam.GetWParam() & 0xFFF0);
    coParam.SetWParam(unCommand);
    switch (unCommand) {
    case KwSysCmd::Size:
        return EvWantSize(1);
    case KwSysCmd::Maximize:
        return EvWantSize(2);
    case KwSysCmd::Minimize:
        return EvWantSize(3);
    case KwSysCmd::Move:
        return EvWantMove();
    default:
        return 0;
    }
}

int KwWFrame::MapGetMinMaxInfo(KwMessParam* pcoParam)
{
    if (!pcoKwSys)
        return 0;
    KwPoint coMaxPos;
    KwSize coMaxSize;
    KwSize coMinTrack;
    KwSize coMaxTrack;
    if (!pcoKwSys->ReadMinMaxInfo(MessageOf(pcoParam), coMaxPos, coMaxSize, coMinTrack, coMaxTrack))
        return 0;
    const int nResult = EvGetMinMaxInfo(coMaxPos, coMaxSize, coMinTrack, coMaxTrack);
    if (nResult)
        pcoKwSys->WriteMinMaxInfo(MessageOf(pcoParam), coMaxPos, coMaxSize, coMinTrack, coMaxTrack);
    return nResult;
}

// The drag icon: the picture made into an icon, kept by the frame; without
// a picture the system chooses.
int KwWFrame::MapQueryDragIcon(KwMessParam* pcoParam)
{
    KwWndApp* pcoApp = App();
    if (!pcoApp || !pcoKwSys)
        return 0;
    KwDib coPicture;
    if (!pcoApp->LoadPicture(IconPictureId(1), coPicture) || !coPicture.IsValid())
        return 0;
    KwBitmap coColor;
    const KwSize coSize = coPicture.GetSize();
    // An all-zero mask: every pixel of the picture is shown.
    const std::vector<unsigned char> coMaskBits(static_cast<size_t>((coSize.Width() + 15) / 16 * 2) * coSize.Height(), 0);
    KwBitmap coMask(coSize, 1, 1, coMaskBits.data());
    if (!coColor.SysCreate(coPicture, nullptr) || !coMask.IsValid())
        return 0;
    const KwHandle hIcon = pcoKwSys->CreateIcon(coColor.GetHandle(), coMask.GetHandle());
    if (!hIcon)
        return 0;
    if (m_hDragIcon)
        pcoKwSys->DestroyIcon(m_hDragIcon);
    m_hDragIcon = hIcon;
    MessageOf(pcoParam).SetResult(static_cast<std::intptr_t>(hIcon));
    return 1;
}

int KwWFrame::MapQueryOpen(KwMessParam*)
{
    return EvQueryOpenIcon();
}

int KwWFrame::MapSetCursor(KwMessParam* pcoParam)
{
    if (!pcoKwSys)
        return 0;
    const KwHandle hUnder = static_cast<KwHandle>(MessageOf(pcoParam).GetWParam());
    pcoKwSys->SetCurrentCursorWindow(hUnder);
    if (KwWnd* pcoUnder = SearchWindow(hUnder)) {
        const int nResult = EvSetCursor(pcoUnder);
        if (nResult)
            return nResult;
    }
    if (hUnder != GetHandle())
        return 0;
    EventDefault(pcoParam);
    return 1;
}

#define KW_NC_MAP(Map, Ev)                                   \
    int KwWFrame::Map(KwMessParam* pcoParam)                 \
    {                                                        \
        return Ev(PointOf(MessageOf(pcoParam)));                 \
    }
KW_NC_MAP(MapNcMouseMove, EvNcMouseMove)
KW_NC_MAP(MapNcLButtonDown, EvNcLButtonDown)
KW_NC_MAP(MapNcLButtonUp, EvNcLButtonUp)
KW_NC_MAP(MapNcLButtonDblClk, EvNcLButtonDblClk)
KW_NC_MAP(MapNcRButtonDown, EvNcRButtonDown)
KW_NC_MAP(MapNcRButtonUp, EvNcRButtonUp)
KW_NC_MAP(MapNcRButtonDblClk, EvNcRButtonDblClk)
KW_NC_MAP(MapNcMButtonDown, EvNcMButtonDown)
KW_NC_MAP(MapNcMButtonUp, EvNcMButtonUp)
KW_NC_MAP(MapNcMButtonDblClk, EvNcMButtonDblClk)
#undef KW_NC_MAP

// Resources

int KwWFrame::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwWnd::NotifyReadFinished(pcoParent, ulIndex);
    if (GetHandle() && GetInitText())
        SetText(GetInitText());
    return 0;
}

int KwWFrame::NotifyFullReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwWnd::NotifyFullReadFinished(pcoParent, ulIndex);
    if (GetHandle() && !m_coClientRect.IsEmpty())
        AdjustWindow(m_coClientRect.Size(), HasMenu(), nullptr, 1);
    return 0;
}

int KwWFrame::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    // A menu read inside the frame made itself the frame's menu bar.
    if (pcoChild && !pcoChild->IsDummyResource() && pcoChild->IsClassFamily("KwMenu"))
        return GetMenu() == pcoChild;
    if (pcoChild && !pcoChild->IsDummyResource() && pcoChild->IsClassFamily("KwFont")) {
        delete m_pcoFont;
        m_pcoFont = static_cast<KwFont*>(pcoChild);
        m_pcoFont->SysCreate();
        return 1;
    }
    return KwWnd::NotifyChildFullReadFinished(pcoChild, ulIndex);
}

void KwWFrame::WriteData(TFile& coFile) const
{
    KwWnd::WriteData(coFile);
    if (GetHandle()) {
        const KwRect coClient = GetClientRect();
        TResShort(VarClientLeft, coClient.Left()).Write(coFile);
        TResShort(VarClientTop, coClient.Top()).Write(coFile);
        TResShort(VarClientRight, coClient.Right()).Write(coFile);
        TResShort(VarClientBottom, coClient.Bottom()).Write(coFile);
    }
    TResShort(VarFlags, static_cast<short>(m_unFrameFlags)).Write(coFile);
    TResString(VarIconId, m_coIconId).Write(coFile);
    TResString(VarDragIconId, m_coDragIconId).Write(coFile);
}

void KwWFrame::WriteChildren(TFile& coFile) const
{
    if (const KwMenu* pcoMenu = GetMenu())
        pcoMenu->WriteResource(coFile);
    KwWnd::WriteChildren(coFile);
}

int KwWFrame::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    const short nShort = static_cast<short>(coVar);
    switch (coVar.MyId()) {
    case VarFlags:
        m_unFrameFlags = static_cast<unsigned short>(nShort);
        return 1;
    case VarClientLeft:
        m_coClientRect.SetLeft(nShort);
        return 1;
    case VarClientTop:
        m_coClientRect.SetTop(nShort);
        return 1;
    case VarClientRight:
        m_coClientRect.SetRight(nShort);
        return 1;
    case VarClientBottom:
        m_coClientRect.SetBottom(nShort);
        return 1;
    case VarIconId:
        m_coIconId = coVar.AsText();
        return 1;
    case VarDragIconId:
        m_coDragIconId = coVar.AsText();
        return 1;
    default:
        return KwWnd::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
