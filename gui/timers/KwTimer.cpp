#include "KwTimer.h"

#include "KwEvent.h"
#include "KwSystem.h"

// The table exists before the reference object that uses it.
TMvcEventTable KwTimer::m_stcoEvTab { "KwTimer", &KwTimer::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwTimer, KwRes, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwWindowTimer, KwTimer, "kw25")


void KwTimer::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_TIMER", "KwEventTimer", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_TIMERCREATE", "KwEventTimer", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_TIMERDESTROY", "KwEventTimer", nullptr, nullptr);
}

KwTimer::KwTimer()
{
    SetResType(KindTimer);
}

KwTimer::KwTimer(const char* pszName)
    : KwRes(pszName)
{
    SetResType(KindTimer);
}

KwTimer::KwTimer(unsigned short unInterval, int nStart, const char* pszName)
    : KwRes(pszName), m_unTimeOut(unInterval)
{
    SetResType(KindTimer);
    if (nStart)
        SysCreate();
}

KwTimer::~KwTimer()
{
    if (IsDynCppReferenceObject() || !GetHandle())
        return;
    // Only the system timer goes: a destructor calls no handlers of the
    // object being destroyed.
    const KwHandle hId = DisConnect();
    if (pcoKwSys)
        pcoKwSys->StopTimer(hId);
}

int KwTimer::SysCreate()
{
    if (GetHandle())
        SysDelete();
    if (!m_unTimeOut || !pcoKwSys)
        return 0;
    const KwHandle hId = pcoKwSys->StartTimer(m_unTimeOut);
    if (!hId)
        return 0;
    Connect(hId);
    EvCreate();
    return 1;
}

int KwTimer::SysCreate(unsigned short unInterval)
{
    m_unTimeOut = unInterval;
    return SysCreate();
}

void KwTimer::SysDelete()
{
    if (GetHandle()) {
        EvDestroy();
        const KwHandle hId = DisConnect();
        if (pcoKwSys)
            pcoKwSys->StopTimer(hId);
    }
    m_nPause = 0;
}

void KwTimer::SetTimeOut(unsigned short unInterval, int nRestart)
{
    m_unTimeOut = unInterval;
    if (!GetHandle())
        return;
    if (!nRestart) {
        SysDelete();
        return;
    }
    const short nPause = m_nPause;
    SysCreate();
    if (GetHandle())
        m_nPause = nPause;
}

void KwTimer::Pause()
{
    if (GetHandle())
        ++m_nPause;
}

void KwTimer::Go()
{
    if (GetHandle() && m_nPause > 0)
        --m_nPause;
}

int KwTimer::EvTimer(unsigned long ulSysTime)
{
    KwEventTimer coEvent(this, m_unTimeOut, ulSysTime);
    return MVC().CallConstType("KW_LINK_TIMER", coEvent);
}

int KwTimer::EvCreate()
{
    KwEventTimer coEvent(this, m_unTimeOut, 0);
    return MVC().CallConstType("KW_LINK_TIMERCREATE", coEvent);
}

int KwTimer::EvDestroy()
{
    KwEventTimer coEvent(this, m_unTimeOut, 0);
    return MVC().CallConstType("KW_LINK_TIMERDESTROY", coEvent);
}
