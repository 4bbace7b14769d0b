#pragma once

#include "Kw25Api.h"
#include "KwRes.h"
#include "TMvc.h"

class KwWnd;

// A named timer that ticks at a fixed interval on the GUI thread and
// reports every tick through its links ("KW_LINK_TIMER"; its start and
// stop through "KW_LINK_TIMERCREATE" and "KW_LINK_TIMERDESTROY"). It uses
// a thread timer of the system; while it runs it is registered in the
// adapter's "TIMER" table under its timer id, through which the common
// timer procedure finds it. Ticks are dropped while it is paused.
class KW25_API KwTimer : public KwRes {
    KW_DYNAMIC_CLASS(KwTimer, KwRes)
    KW_MVC_CLASS(KwTimer, KwRes)
public:
    KwTimer();
    explicit KwTimer(const char* pszName);
    KwTimer(unsigned short unInterval, int nStart, const char* pszName);
    ~KwTimer() override;
    KwTimer(const KwTimer&) = delete;
    KwTimer& operator=(const KwTimer&) = delete;

    unsigned short GetTimeOut() const { return m_unTimeOut; }
    // Stores the interval; a running timer restarts with it (nRestart,
    // keeping its pause count) or stops.
    void SetTimeOut(unsigned short unInterval, int nRestart);
    int IsRunning() const { return GetHandle() != 0; }
    // Pauses nest; both do nothing on a stopped timer.
    void Pause();
    void Go();
    int HasPause() const { return m_nPause != 0; }

    // Overridables, in their slot order after those of KwRes.
    virtual void NotifyWindowDestroyed(KwWnd* pcoWnd) {}
    virtual int EvTimer(unsigned long ulSysTime);
    virtual int EvCreate();
    virtual int EvDestroy();
    virtual int SysCreate(unsigned short unInterval);

    // Stops a running timer, then starts it with the interval; 1 when it
    // runs.
    int SysCreate() override;
    // Stops it (EvDestroy first); the pause count goes back to 0.
    void SysDelete() override;

private:
    short m_nPause { 0 };
    unsigned short m_unTimeOut { 0 };
};

// A timer that belongs to one window and reports to the window's Ev
// handlers (EvTimer, EvTimerCreate, EvTimerDestroy) instead of links. It
// stops when its window is destroyed.
class KW25_API KwWindowTimer : public KwTimer {
    KW_DYNAMIC_CLASS(KwWindowTimer, KwTimer)
public:
    KwWindowTimer() = default;
    explicit KwWindowTimer(const char* pszName) : KwTimer(pszName) {}
    // The timer is started (when nStart) before the window is set, so this
    // start is not reported to the window.
    KwWindowTimer(KwWnd* pcoWnd, unsigned short unInterval, int nStart, const char* pszName);
    ~KwWindowTimer() override;

    KwWnd* GetTimerWindow() const { return m_pcoWnd; }
    void SetTimerWindow(KwWnd* pcoWnd);

    void NotifyWindowDestroyed(KwWnd* pcoWnd) override;
    int EvTimer(unsigned long ulSysTime) override;
    int EvCreate() override;
    int EvDestroy() override;

private:
    KwWnd* ReportWindow() const;

    KwWnd* m_pcoWnd { nullptr };   // not owned
};
