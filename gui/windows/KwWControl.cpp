#include "KwWControl.h"

#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwWControl, KwWChild, "kw25")

namespace {

enum : short { ColorBlack = 0, ColorFace = 15 };

} // namespace

KwWControl::KwWControl(TButton)
{
    SetFlag(FlagFocusable | FlagTabStop, 1);
    SetColBack(ColorFace, 0);
}

KwWControl::KwWControl(TButton, const char* pszName)
    : KwWControl(TButton())
{
    SetResId(pszName);
}

KwWControl::KwWControl(TButton, const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText)
    : KwWChild(pszName, coPos, coSize, ColorBlack, ColorFace, ColorBlack)
{
    SetFlag(FlagFocusable | FlagTabStop, 1);
    SetInitText(pszText);
}

int KwWControl::HasCapture() const
{
    return GetHandle() && pcoKwSys && pcoKwSys->GetCapture() == GetHandle();
}

int KwWControl::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWnd::EvLButtonDown(coPoint, unKeyFlags);
    if (nResult)
        return nResult;
    if (!CanPush()) {
        if (IsFocusable() && IsEnabled())
            SetFocus();
        return 0;
    }
    m_hPreviousCapture = pcoKwSys ? pcoKwSys->SetCapture(GetHandle()) : 0;
    m_nPressed = 1;
    EvPush(coPoint, unKeyFlags);
    if (IsFocusable() && IsEnabled())
        SetFocus();
    return 1;
}

int KwWControl::EvMouseMove(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    if (HasCapture()) {
        const KwPoint coInParent = GetParent() ? GetParent()->ScreenToClient(ClientToScreen(coPoint)) : coPoint;
        const int nInside = GetRect().PtInRect(coInParent);
        if (!nInside && m_nPressed) {
            m_nPressed = 0;
            EvPushedLeave();
        } else if (nInside && !m_nPressed) {
            m_nPressed = 1;
            EvPushedReEnter();
        } else if (m_nPressed) {
            EvPushedMove(coPoint, unKeyFlags);
        }
    }
    return KwWChild::EvMouseMove(coPoint, unKeyFlags);
}

int KwWControl::EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nWasPressed = m_nPressed;
    m_nPressed = 0;
    if (HasCapture() && pcoKwSys) {
        // Giving the capture away tells this control that it lost it; that
        // is no cancellation.
        m_nReleasing = 1;
        const KwHandle hPrevious = m_hPreviousCapture;
        m_hPreviousCapture = 0;
        if (hPrevious && pcoKwSys->IsWindow(hPrevious))
            pcoKwSys->SetCapture(hPrevious);
        else
            pcoKwSys->ReleaseCapture();
        m_nReleasing = 0;
    }
    int nResult = 0;
    if (nWasPressed) {
        EvRelease(coPoint, unKeyFlags);
        if (GetClientRect().PtInRect(coPoint))
            nResult = EvClicked(coPoint, unKeyFlags);
    }
    return nResult ? nResult : KwWChild::EvLButtonUp(coPoint, unKeyFlags);
}

int KwWControl::EvMouseLeave(KwWnd* pcoOther, int nFlag)
{
    if (HasCapture() && m_nPressed) {
        m_nPressed = 0;
        EvPushedLeave();
    }
    return KwWChild::EvMouseLeave(pcoOther, nFlag);
}

int KwWControl::EvMouseEnter(KwWnd* pcoOther, int nFlag)
{
    if (HasCapture() && !m_nPressed) {
        m_nPressed = 1;
        EvPushedReEnter();
    }
    return KwWChild::EvMouseEnter(pcoOther, nFlag);
}

int KwWControl::EvCaptureLost()
{
    if (m_nReleasing)
        return 0;
    m_hPreviousCapture = 0;
    if (m_nPressed) {
        m_nPressed = 0;
        EvPushedLeave();
    }
    return 0;
}
