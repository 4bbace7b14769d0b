#pragma once

#include "TDynBase.h"
#include "TString.h"

class TMvcEventTable;
class TMvcEvent;

// The one argument of every link and notification handler. Subclasses add
// the data of their events. While TMvc::Call (or CallLink,
// CallNotifications) runs, the parameter also tells the handler which
// event it is being called for.
class KWTL_API TMvcParam : public TDynBase {
    KW_DYNAMIC_CLASS(TMvcParam, TDynBase)
public:
    TMvcParam(TDynBase& coEventObject, long lParam1, long lParam2)
        : m_pcoEventObject(&coEventObject), m_lParam1(lParam1), m_lParam2(lParam2) {}
    TMvcParam(const TMvcParam& coOther) : TDynBase(coOther) { *this = coOther; }
    TMvcParam& operator=(const TMvcParam& coOther);

    // Event data
    TDynBase& EventObject() const { return *m_pcoEventObject; }
    long LParam1() const { return m_lParam1; }
    long LParam2() const { return m_lParam2; }
    void SetLParam1(long lParam) { m_lParam1 = lParam; }
    void SetLParam2(long lParam) { m_lParam2 = lParam; }

    // The current event; null (or "") outside a call.
    TMvcEventTable const* EventTable() const { return m_pcoEventTable; }
    TMvcEvent const* Event() const { return m_pcoEvent; }
    TString EventType() const;

protected:
    TMvcParam() = default;

private:
    friend class TMvc;

    // A parameter made without an event object names itself, so that
    // EventObject() always refers to a live object.
    TDynBase* m_pcoEventObject { this };
    TMvcEventTable const* m_pcoEventTable { nullptr };
    TMvcEvent const* m_pcoEvent { nullptr };
    long m_lParam1 { 0 };
    long m_lParam2 { 0 };
};
