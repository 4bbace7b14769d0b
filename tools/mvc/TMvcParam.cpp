#include "TMvcParam.h"

#include "TMvc.h"

KW_IMPLEMENT_DYNAMIC_CLASS(TMvcParam, TDynBase, "kwtl")

TMvcParam& TMvcParam::operator=(const TMvcParam& coOther)
{
    if (this == &coOther)
        return *this;
    // A parameter that names itself as event object is copied into one
    // that names itself too, never into one that names the original.
    m_pcoEventObject = coOther.m_pcoEventObject == &coOther ? this : coOther.m_pcoEventObject;
    m_pcoEventTable = coOther.m_pcoEventTable;
    m_pcoEvent = coOther.m_pcoEvent;
    m_lParam1 = coOther.m_lParam1;
    m_lParam2 = coOther.m_lParam2;
    return *this;
}

TString TMvcParam::EventType() const
{
    return m_pcoEvent ? m_pcoEvent->GetId() : TString();
}
