#include "KwAdapterClients.h"

namespace {

KwAdapterWindows* s_pcoWindows = nullptr;
KwAdapterTimers* s_pcoTimers = nullptr;
KwAdapterApp* s_pcoApp = nullptr;

// The registered part, or the neutral base while none is.
template <class T>
T& RegisteredOrNeutral(T* pcoRegistered)
{
    static T s_coNeutral;
    return pcoRegistered ? *pcoRegistered : s_coNeutral;
}

} // namespace

KwAdapterWindows& KwAdapterWindows::Current() { return RegisteredOrNeutral(s_pcoWindows); }
void KwAdapterWindows::Register(KwAdapterWindows* pcoWindows) { s_pcoWindows = pcoWindows; }

KwAdapterTimers& KwAdapterTimers::Current() { return RegisteredOrNeutral(s_pcoTimers); }
void KwAdapterTimers::Register(KwAdapterTimers* pcoTimers) { s_pcoTimers = pcoTimers; }

KwAdapterApp& KwAdapterApp::Current() { return RegisteredOrNeutral(s_pcoApp); }
void KwAdapterApp::Register(KwAdapterApp* pcoApp) { s_pcoApp = pcoApp; }
