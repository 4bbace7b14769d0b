#pragma once

#include "KutiApi.h"
#include "KwEvent.h"
#include "TString.h"

// The event of "KW_LINK_CHECKDROP", "KW_LINK_NOTIFYDROP" and
// "KW_LINK_NOTIFYDROPFAILED": the window it is sent to, the kind of data
// dragged (its name), the data itself (not owned) and a point: in screen
// coordinates for the check, in the receiving window's client coordinates
// for the drop and the failed drop. The long parameter holds the point,
// packed as mouse events pack theirs; the data travels as a pointer, since
// a pointer does not fit into 32 bits on 64-bit Windows.
class KUTI_API KwEventDrop : public KwEventWnd {
    KW_DYNAMIC_CLASS(KwEventDrop, KwEventWnd)
public:
    KwEventDrop() = default;
    KwEventDrop(KwWnd* pcoWnd, const char* pszName, void* pvData, const KwPoint& coPoint);

    const TString& GetName() const { return m_coName; }
    void* GetData() const { return m_pvData; }
    KwPoint GetPoint() const { return m_coPoint; }

private:
    TString m_coName;
    void* m_pvData { nullptr };   // not owned
    KwPoint m_coPoint;
};
