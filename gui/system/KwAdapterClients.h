#pragma once

#include "Kw25Api.h"
#include "KwSystem.h"

// What the platform adapter asks of the families above it. The adapter
// lies below windows, timers and the application and knows them by name
// only; each of those families registers its part when the library is
// loaded, and the adapter calls through it. The bases answer neutrally
// (nothing found, nothing done, the system's default processing), and
// Current() answers a base while nothing is registered: a message then
// finds no window and goes to the default processing, a tick is dropped.

// The framework's windows.
class KW25_API KwAdapterWindows {
public:
    // A window's place and styles, as its system window is created.
    struct TShape {
        KwPoint coPos;
        KwSize coSize;
        unsigned long ulStyle { 0 };
        unsigned long ulExStyle { 0 };
    };

    virtual ~KwAdapterWindows() = default;

    // The window an entry of the "SYSTEM" handle table is.
    virtual KwWnd* Window(KwRes* pcoEntry) const { return nullptr; }
    // The message reaches the window's Map handler (nSystemControl: the
    // table of wrapped system controls).
    virtual KwDispatchResult Dispatch(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam, int nSystemControl) { return KwDispatchResult(); }
    // The mouse left the window for pcoOther, or entered it from there.
    virtual void MouseLeave(KwWnd& coWnd, KwWnd* pcoOther, int nFlag) {}
    virtual void MouseEnter(KwWnd& coWnd, KwWnd* pcoOther, int nFlag) {}

    // What a platform adapter reads of a window and sets in it.
    virtual KwHandle Handle(const KwWnd& coWnd) const { return 0; }
    virtual void Connect(KwWnd& coWnd, KwHandle hWnd) {}
    virtual TShape Shape(const KwWnd& coWnd) const { return TShape(); }
    // The original procedure of a wrapped system control (null for others).
    virtual void* DefaultWindowProc(const KwWnd& coWnd) const { return nullptr; }
    virtual int IsSystemControl(const KwWnd& coWnd) const { return 0; }
    virtual void SetDefaultWindowProc(KwWnd& coWnd, void* pvProc) {}
    // The system font of a control's font, made when it has none; 0 when
    // it cannot be made.
    virtual KwHandle FontHandle(const KwFont& coFont) { return 0; }

    static KwAdapterWindows& Current();
    static void Register(KwAdapterWindows* pcoWindows);
};

// The framework's timers, which the adapter's timer procedure ticks.
class KW25_API KwAdapterTimers {
public:
    virtual ~KwAdapterTimers() = default;

    // The timer an entry of the "TIMER" handle table is.
    virtual KwTimer* Timer(KwRes* pcoEntry) const { return nullptr; }
    // A tick of the running timer: dropped while it is paused.
    virtual void Tick(KwTimer& coTimer, unsigned long ulSysTime) {}
    virtual void WindowDestroyed(KwTimer& coTimer, KwWnd* pcoWnd) {}

    static KwAdapterTimers& Current();
    static void Register(KwAdapterTimers* pcoTimers);
};

// The application the adapter runs.
class KW25_API KwAdapterApp {
public:
    virtual ~KwAdapterApp() = default;

    // The module instance the application was started as (0: not known).
    virtual KwHandle Instance(const KwApp& coApp) const { return 0; }

    static KwAdapterApp& Current();
    static void Register(KwAdapterApp* pcoApp);
};

// A family's registration for the adapter: a static object of the family's
// source file, made when the library is loaded, that registers its part and
// withdraws it when the library is unloaded.
template <class TBase, class TClient>
class KwAdapterRegistration {
public:
    KwAdapterRegistration() { TBase::Register(&m_coClient); }
    ~KwAdapterRegistration() { TBase::Register(nullptr); }
    KwAdapterRegistration(const KwAdapterRegistration&) = delete;
    KwAdapterRegistration& operator=(const KwAdapterRegistration&) = delete;

private:
    TClient m_coClient;
};
