#include "KwDC.h"

#include "KwSystem.h"
#include "KwWnd.h"

// The device contexts of a window. KwDC and its kinds are drawing objects
// (KwDC.h); what of them takes a window is defined here, where a window is
// a complete type, so that the drawing family needs nothing above it.

KwDC::KwDC(const KwWnd* pcoWnd)
{
    SysCreate(pcoWnd);
}

KwDC::KwDC(const KwWnd* pcoWnd, KwHandle hDC)
{
    m_pcoWnd = pcoWnd;
    m_hWnd = pcoWnd ? pcoWnd->GetHandle() : 0;
    if (SysConnect(hDC, 0))
        m_nOrigin = Origin::Attached;
}

int KwDC::Obtain(KwHandle hDC, Origin nOrigin, const KwWnd* pcoWnd)
{
    if (!hDC)
        return 0;
    Connect(hDC);
    m_nOrigin = nOrigin;
    m_pcoWnd = pcoWnd;
    m_hWnd = pcoWnd ? pcoWnd->GetHandle() : 0;
    return 1;
}

int KwDC::SysCreate(const KwWnd* pcoWnd)
{
    Clean();
    if (!pcoKwSys || !pcoWnd || !pcoWnd->IsValid())
        return 0;
    return Obtain(pcoKwSys->GetDC(pcoWnd->GetHandle()), Origin::Window, pcoWnd);
}

int KwDC::ExcludeUpdateRgn(const KwWnd* pcoWnd)
{
    return GetHandle() && pcoWnd && pcoWnd->IsValid() ? pcoKwSys->ExcludeUpdateRgn(GetHandle(), pcoWnd->GetHandle()) : 0;
}

int KwDC::ObtainPaint(const KwWnd* pcoWnd)
{
    Clean();
    if (!pcoKwSys || !pcoWnd || !pcoWnd->IsValid() || !pcoKwSys->IsPaintEvent())
        return 0;
    m_coPaint = KwPaintStruct();
    return Obtain(pcoKwSys->BeginPaint(pcoWnd->GetHandle(), m_coPaint), Origin::Paint, pcoWnd);
}

KwPaintDC::KwPaintDC(KwWnd* pcoWnd)
{
    ObtainPaint(pcoWnd);
}

KwWindowDC::KwWindowDC(const KwWnd* pcoWnd)
{
    if (pcoKwSys && pcoWnd && pcoWnd->IsValid())
        Obtain(pcoKwSys->GetWindowDC(pcoWnd->GetHandle()), Origin::WholeWindow, pcoWnd);
}
