#include "KwEvent.h"

#include "KwTimer.h"

// The event that a timer sends, defined where a timer is a complete type
// (its class is declared in KwEvent.h).

KwEventTimer::KwEventTimer(KwTimer* pcoTimer, unsigned short unTimeOut, unsigned long ulSysTime)
    : KwEvent(pcoTimer, unTimeOut, ulSysTime)
{
}

KwTimer& KwEventTimer::Timer() const
{
    return static_cast<KwTimer&>(*GetBaseObject());
}
