#include "KwAdapterClients.h"
#include "KwTimer.h"

// What the platform adapter asks of timers (KwAdapterClients.h): its
// common timer procedure finds a timer in the "TIMER" table and ticks it,
// and a destroyed window reaches the timers that report to it.

namespace {

class KwTimerDispatch final : public KwAdapterTimers {
public:
    KwTimer* Timer(KwRes* pcoEntry) const override { return static_cast<KwTimer*>(pcoEntry); }
    void Tick(KwTimer& coTimer, unsigned long ulSysTime) override
    {
        if (!coTimer.HasPause())
            coTimer.EvTimer(ulSysTime);
    }
    void WindowDestroyed(KwTimer& coTimer, KwWnd* pcoWnd) override { coTimer.NotifyWindowDestroyed(pcoWnd); }
};

// Registered when the library is loaded, before any program code runs.
KwAdapterRegistration<KwAdapterTimers, KwTimerDispatch> s_coRegistration;

} // namespace
