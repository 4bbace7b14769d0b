#include "KwDragObject.h"

#include "KwColor.h"
#include "KwEventDrop.h"
#include "KwLink.h"
#include "KwMessages.h"
#include "KwSystem.h"
#include "KwWFrame.h"
#include "KwWnd.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwDragObject, KwRes, "kuti")

namespace {

const char* const s_pszPrioMove = "$KWPRIOLINK_MOUSEMOVE";
const char* const s_pszPrioUp = "$KWPRIOLINK_LBUTTONUP";
const char* const s_pszPrioDown = "$KWPRIOLINK_LBUTTONDOWN";
const char* const s_pszCheckDrop = "KW_LINK_CHECKDROP";
const char* const s_pszNotifyDrop = "KW_LINK_NOTIFYDROP";
const char* const s_pszDropFailed = "KW_LINK_NOTIFYDROPFAILED";
constexpr unsigned short s_unKeyEscape = 0x1B;
constexpr short s_nStandardTransparent = 15;

KwEventMouse* MouseEvent(TMvcParam& coParam)
{
    KwEvent* pcoEvent = dynamic_cast<KwEvent*>(&coParam);
    return pcoEvent ? static_cast<KwEventMouse*>(*pcoEvent) : nullptr;
}

// The notifications of the name, then its link: the link's result (0
// without one).
int SendDropEvent(KwWnd& coWnd, const char* pszLink, const char* pszName, void* pvData, const KwPoint& coPoint)
{
    return KwWnd::Guarded(coWnd, [&] {
        if (coWnd.MVC().HasNotification(pszLink)) {
            KwEventDrop coEvent(&coWnd, pszName, pvData, coPoint);
            coWnd.MVC().CallNotifications(pszLink, coEvent);
        }
        if (!coWnd.MVC().HasLink(pszLink))
            return 0;
        KwEventDrop coEvent(&coWnd, pszName, pvData, coPoint);
        return coWnd.MVC().CallLink(pszLink, coEvent);
    });
}

int HasDropCheck(const KwWnd& coWnd)
{
    return coWnd.MVC().HasNotification(s_pszCheckDrop) || coWnd.MVC().HasLink(s_pszCheckDrop);
}

} // namespace

KwDragObject::KwDragObject()
{
    InitTransparentColors(nullptr, 0, nullptr, 0);
}

KwDragObject::KwDragObject(const char* pszDropName, unsigned long ulDropColor, const char* pszNoDropName,
                           unsigned long ulNoDropColor)
{
    InitTransparentColors(pszDropName, ulDropColor, pszNoDropName, ulNoDropColor);
}

KwDragObject::~KwDragObject()
{
    Stop(0);
}

void KwDragObject::ChangeDropBitmap(const KwBitmap& coBitmap, unsigned long ulTransparent)
{
    m_pcoDropBitmap = KwRubberBitmap::CopyOf(&coBitmap);
    m_ulDropColor = ulTransparent;
}

void KwDragObject::ChangeNoDropBitmap(const KwBitmap& coBitmap, unsigned long ulTransparent)
{
    m_pcoNoDropBitmap = KwRubberBitmap::CopyOf(&coBitmap);
    m_ulNoDropColor = ulTransparent;
}

void KwDragObject::InitDragObject(const char* pszName, void* pvData)
{
    m_coDragName = pszName;
    m_pvDragData = pvData;
}

// Starting and ending

int KwDragObject::StartDrag(KwWnd* pcoWnd)
{
    Stop(1);
    if (!pcoWnd || !pcoWnd->GetHandle() || m_coDragName.IsEmpty() || !m_pvDragData || !pcoKwSys)
        return 0;
    m_pcoOwner = pcoWnd;
    m_hOwner = pcoWnd->GetHandle();
    TMvc& coMvc = pcoWnd->MVC();
    coMvc.SetLink(s_pszPrioMove, this, &KwDragObject::OnMouseMove);
    coMvc.SetLink(s_pszPrioUp, this, &KwDragObject::OnLButtonUp);
    coMvc.SetLink(s_pszPrioDown, this, &KwDragObject::OnLButtonDown);
    m_coPointer = pcoKwSys->GetCursorPos();
    m_pcoRubber.reset(CreateRubber());
    if (!m_pcoRubber || !m_coScreen.SysCreate() || !StartRubberMove(m_pcoRubber.get(), m_coScreen)) {
        Stop(1);
        return 0;
    }
    pcoWnd->SetCapture();
    // Only now: taking the capture must not count as losing it.
    coMvc.AddNotification("KW_LINK_USER", this, &KwDragObject::OnOwnerMessage);
    coMvc.AddNotification("KW_LINK_KEYDOWN", this, &KwDragObject::OnOwnerKey);
    m_nDragState = StateDrop;
    return 1;
}

void KwDragObject::SysDelete()
{
    Stop(0);
}

void KwDragObject::Stop(int nKeepData)
{
    if (KwWnd* pcoOwner = Alive(m_pcoOwner, m_hOwner)) {
        // The notifications go first, so that giving the capture back is not
        // taken for a cancelled drag.
        TMvc& coMvc = pcoOwner->MVC();
        coMvc.RemoveNotification("KW_LINK_USER", this, &KwDragObject::OnOwnerMessage);
        coMvc.RemoveNotification("KW_LINK_KEYDOWN", this, &KwDragObject::OnOwnerKey);
        coMvc.RemoveLink(s_pszPrioMove);
        coMvc.RemoveLink(s_pszPrioUp);
        coMvc.RemoveLink(s_pszPrioDown);
        if (KwWnd::GetCapture() == pcoOwner)
            KwWnd::ReleaseCapture();
    }
    ReplaceRubber(nullptr);
    m_coScreen.Clean();
    m_pcoOwner = nullptr;
    m_hOwner = 0;
    m_nDragState = StateNone;
    if (!nKeepData) {
        m_coDragName = "";
        m_pvDragData = nullptr;
    }
}

void KwDragObject::ReplaceRubber(KwRubberArea* pcoRubber)
{
    if (m_pcoRubber && m_coScreen.IsValid())
        m_pcoRubber->End(m_coScreen);
    m_pcoRubber.reset(pcoRubber);
}

KwWnd* KwDragObject::Alive(KwWnd* pcoWnd, KwHandle hWnd)
{
    return pcoWnd && hWnd && KwWnd::SearchWindow(hWnd) == pcoWnd ? pcoWnd : nullptr;
}

KwDragObject::TDropCopy KwDragObject::CopyForDrop() const
{
    TDropCopy coCopy;
    coCopy.coName = static_cast<const char*>(m_coDragName);
    coCopy.pvData = m_pvDragData;
    coCopy.pcoOwner = m_pcoOwner;
    coCopy.hOwner = m_hOwner;
    return coCopy;
}

void KwDragObject::TellFailed(const TDropCopy& coCopy, const KwPoint& coScreenPoint)
{
    if (KwWnd* pcoOwner = Alive(coCopy.pcoOwner, coCopy.hOwner))
        NotifyDropFailed(pcoOwner, pcoOwner->ScreenToClient(coScreenPoint), coCopy.coName, coCopy.pvData);
}

void KwDragObject::Cancel()
{
    if (!m_pcoRubber)
        return;
    const TDropCopy coCopy = CopyForDrop();
    const KwPoint coPointer = m_coPointer;
    Stop(0);
    TellFailed(coCopy, coPointer);
}

// Pictures

KwRubberArea* KwDragObject::CreateRubber()
{
    return new KwRubberBitmap(m_pcoDropBitmap.get(), m_ulDropColor);
}

int KwDragObject::StartRubberMove(KwRubberArea* pcoRubber, KwScreenDC& coScreen)
{
    KwRubberBitmap* pcoBitmap = dynamic_cast<KwRubberBitmap*>(pcoRubber);
    if (!pcoBitmap || !coScreen.IsValid() || !pcoBitmap->GetBitmap())
        return 0;
    const KwSize coSize = pcoBitmap->GetBitmap()->GetSize();
    if (coSize.Width() <= 0 || coSize.Height() <= 0)
        return 0;
    const KwPoint coTopLeft = m_coPointer + KwPair(PictureOffset, PictureOffset);
    return pcoBitmap->StartMove(coScreen, coTopLeft, m_coPointer);
}

int KwDragObject::ChangeDragState(short nState, const KwPoint& coScreenPoint)
{
    if (!m_pcoRubber || !m_coScreen.IsValid() || nState == m_nDragState)
        return 0;
    m_coPointer = coScreenPoint;
    if (nState == StateDrop) {
        ReplaceRubber(CreateRubber());
        if (!m_pcoRubber || !StartRubberMove(m_pcoRubber.get(), m_coScreen)) {
            Cancel();
            return 0;
        }
    } else if (nState == StateNoDrop) {
        if (!m_pcoNoDropBitmap || m_pcoNoDropBitmap->GetSize().Width() <= 0 || m_pcoNoDropBitmap->GetSize().Height() <= 0)
            return 0;
        ReplaceRubber(new KwRubberBitmap(m_pcoNoDropBitmap.get(), m_ulNoDropColor));
        if (!StartRubberMove(m_pcoRubber.get(), m_coScreen)) {
            Cancel();
            return 0;
        }
    } else {
        return 0;
    }
    m_nDragState = nState;
    return 1;
}

// The drop check and the drop

int KwDragObject::CheckDrop(const KwPoint& coScreenPoint, KwWnd** ppcoTarget)
{
    KwWnd* pcoTarget = KwWnd::WindowFromPoint(coScreenPoint);
    if (ppcoTarget)
        *ppcoTarget = pcoTarget;
    if (!pcoTarget)
        return 0;
    if (pcoTarget == m_pcoOwner && !HasDropCheck(*pcoTarget))
        return 1;
    const TString coName = static_cast<const char*>(m_coDragName);
    void* pvData = m_pvDragData;
    const KwHandle hTarget = pcoTarget->GetHandle();
    if (SendDropEvent(*pcoTarget, s_pszCheckDrop, coName, pvData, coScreenPoint))
        return 1;
    if (!Alive(pcoTarget, hTarget))
        return 0;
    if (static_cast<int>(pcoTarget->Call("QueryCanDrop", static_cast<const char*>(coName), pvData)))
        return 1;
    KwWFrame* pcoFrame = Alive(pcoTarget, hTarget) ? pcoTarget->GetParentFrame() : nullptr;
    if (!pcoFrame || pcoFrame == pcoTarget)
        return 0;
    return static_cast<int>(pcoFrame->Call("QueryCanChildDrop", pcoTarget, static_cast<const char*>(coName), pvData)) ? 1 : 0;
}

int KwDragObject::NotifyDrop(KwWnd* pcoTarget, const KwPoint& coClientPoint, const char* pszName, void* pvData)
{
    if (!pcoTarget)
        return 0;
    const KwHandle hTarget = pcoTarget->GetHandle();
    if (SendDropEvent(*pcoTarget, s_pszNotifyDrop, pszName, pvData, coClientPoint))
        return 1;
    if (!Alive(pcoTarget, hTarget))
        return 0;
    return static_cast<int>(pcoTarget->Call("QueryDropObject", pszName, &coClientPoint, pvData)) ? 1 : 0;
}

int KwDragObject::NotifyDropFailed(KwWnd* pcoOwner, const KwPoint& coPoint, const char* pszName, void* pvData)
{
    if (!pcoOwner)
        return 0;
    const KwHandle hOwner = pcoOwner->GetHandle();
    const int nResult = SendDropEvent(*pcoOwner, s_pszDropFailed, pszName, pvData, coPoint);
    if (nResult || !Alive(pcoOwner, hOwner))
        return nResult;
    return static_cast<int>(pcoOwner->Call("NotifyDropFailed", &coPoint, pszName, pvData));
}

// The owner's mouse and keys while the drag runs

int KwDragObject::LinkMouseMove(KwEventMouse& coEvent)
{
    if (!m_pcoRubber || !m_coScreen.IsValid() || !m_pcoOwner)
        return 1;
    const KwPoint coPoint = m_pcoOwner->ClientToScreen(coEvent.Position());
    m_coPointer = coPoint;
    const int nAllowed = CheckDrop(coPoint, nullptr);
    // The check may have ended the drag.
    if (!m_pcoRubber)
        return 1;
    if (nAllowed && m_nDragState == StateNoDrop)
        ChangeDragState(StateDrop, coPoint);
    else if (!nAllowed && m_nDragState == StateDrop && m_pcoNoDropBitmap)
        ChangeDragState(StateNoDrop, coPoint);
    else
        m_pcoRubber->Show(m_coScreen, coPoint);
    return 1;
}

int KwDragObject::LinkLButtonUp(KwEventMouse& coEvent)
{
    if (!m_pcoRubber || !m_coScreen.IsValid() || !m_pcoOwner)
        return 1;
    const KwPoint coPoint = m_pcoOwner->ClientToScreen(coEvent.Position());
    m_coPointer = coPoint;
    // The picture goes first, so that the check sees the screen as it is.
    m_pcoRubber->End(m_coScreen);
    KwWnd* pcoTarget = nullptr;
    const int nAccepted = CheckDrop(coPoint, &pcoTarget);
    const KwHandle hTarget = pcoTarget ? pcoTarget->GetHandle() : 0;
    const TDropCopy coCopy = CopyForDrop();
    Stop(0);
    pcoTarget = Alive(pcoTarget, hTarget);
    if (nAccepted && pcoTarget && NotifyDrop(pcoTarget, pcoTarget->ScreenToClient(coPoint), coCopy.coName, coCopy.pvData))
        return 1;
    TellFailed(coCopy, coPoint);
    return 1;
}

int KwDragObject::LinkLButtonDown(KwEventMouse& coEvent)
{
    return LinkLButtonUp(coEvent);
}

int KwDragObject::OnMouseMove(TMvcParam& coParam)
{
    KwEventMouse* pcoEvent = MouseEvent(coParam);
    return pcoEvent ? LinkMouseMove(*pcoEvent) : 0;
}

int KwDragObject::OnLButtonUp(TMvcParam& coParam)
{
    KwEventMouse* pcoEvent = MouseEvent(coParam);
    return pcoEvent ? LinkLButtonUp(*pcoEvent) : 0;
}

int KwDragObject::OnLButtonDown(TMvcParam& coParam)
{
    KwEventMouse* pcoEvent = MouseEvent(coParam);
    return pcoEvent ? LinkLButtonDown(*pcoEvent) : 0;
}

int KwDragObject::OnOwnerMessage(TMvcParam& coParam)
{
    const KwEventUser* pcoEvent = dynamic_cast<const KwEventUser*>(&coParam);
    const KwMessParamWinNT* pcoMessage = pcoEvent ? pcoEvent->GetWinNTParam() : nullptr;
    if (!pcoMessage)
        return 0;
    const unsigned unMessage = pcoMessage->GetMessage();
    if (unMessage == KwMsg::CaptureChanged || unMessage == KwMsg::CancelMode)
        Cancel();
    return 0;
}

int KwDragObject::OnOwnerKey(TMvcParam& coParam)
{
    KwEvent* pcoEvent = dynamic_cast<KwEvent*>(&coParam);
    const KwEventKey* pcoKey = pcoEvent ? static_cast<KwEventKey*>(*pcoEvent) : nullptr;
    if (pcoKey && pcoKey->KeyCode() == s_unKeyEscape)
        Cancel();
    return 0;
}

// Transparent colours of pictures named for the resource files

void KwDragObject::InitTransparentColors(const char* pszDropName, unsigned long ulDropColor, const char* pszNoDropName,
                                unsigned long ulNoDropColor)
{
    m_ulDropColor = pszDropName ? ulDropColor : KwSysColor(s_nStandardTransparent).GetRealColor();
    m_ulNoDropColor = pszNoDropName ? ulNoDropColor : KwSysColor(s_nStandardTransparent).GetRealColor();
}
