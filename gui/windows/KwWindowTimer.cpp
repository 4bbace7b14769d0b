#include "KwTimer.h"

#include "KwSystem.h"
#include "KwWnd.h"

// A window timer reports to its window: it is declared with the timers
// (KwTimer.h) and defined here, where a window is a complete type, so that
// the timer family needs nothing above it.

KwWindowTimer::KwWindowTimer(KwWnd* pcoWnd, unsigned short unInterval, int nStart, const char* pszName)
    : KwTimer(unInterval, nStart, pszName)
{
    SetTimerWindow(pcoWnd);
}

KwWindowTimer::~KwWindowTimer()
{
    if (IsDynCppReferenceObject())
        return;
    SetTimerWindow(nullptr);
}

void KwWindowTimer::SetTimerWindow(KwWnd* pcoWnd)
{
    if (m_pcoWnd)
        m_pcoWnd->DisconnectTimer();
    m_pcoWnd = pcoWnd;
    if (m_pcoWnd)
        m_pcoWnd->ConnectTimer();
    if (pcoKwSys)
        pcoKwSys->RegisterWindowTimer(this, m_pcoWnd != nullptr);
}

KwWnd* KwWindowTimer::ReportWindow() const
{
    return m_pcoWnd && m_pcoWnd->GetHandle() ? m_pcoWnd : nullptr;
}

void KwWindowTimer::NotifyWindowDestroyed(KwWnd* pcoWnd)
{
    if (!pcoWnd || pcoWnd != m_pcoWnd)
        return;
    SysDelete();
    SetTimerWindow(nullptr);
}

int KwWindowTimer::EvTimer(unsigned long ulSysTime)
{
    KwWnd* pcoWnd = ReportWindow();
    return pcoWnd ? KwWnd::Guarded(*pcoWnd, [&] { return pcoWnd->EvTimer(ulSysTime); }) : 0;
}

int KwWindowTimer::EvCreate()
{
    KwWnd* pcoWnd = ReportWindow();
    return pcoWnd ? pcoWnd->EvTimerCreate(this) : 0;
}

int KwWindowTimer::EvDestroy()
{
    KwWnd* pcoWnd = ReportWindow();
    return pcoWnd ? pcoWnd->EvTimerDestroy(this) : 0;
}
