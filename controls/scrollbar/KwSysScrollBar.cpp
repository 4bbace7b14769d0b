#include "KwSysScrollBar.h"

#include "KwCtlCodes.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwSysScrollBar, KwWSystem, "kctl")
KW_IMPLEMENT_DYNAMIC_CLASS(KwSysScrollBarVert, KwSysScrollBar, "kctl")
KW_IMPLEMENT_DYNAMIC_CLASS(KwSysScrollBarHorz, KwSysScrollBar, "kctl")

KwSysScrollBar::KwSysScrollBar()
{
    SetSystemClass("SCROLLBAR");
    UseBorder(0, 0);
}

KwSysScrollBar::KwSysScrollBar(const char* pszName, const KwPoint& coPos, const KwSize& coSize, int nVertical)
    : KwWSystem(pszName, "SCROLLBAR", coPos, coSize, 0, 15, 0)
{
    UseBorder(0, 0);
    if (nVertical)
        SetStyle(GetStyle() | KwCtlCodes::StyleScrollBarVert);
}

int KwSysScrollBar::IsVertical() const
{
    return (GetStyle() & KwCtlCodes::StyleScrollBarVert) ? 1 : 0;
}

int KwSysScrollBar::SetRange(short nMin, short nMax, int nRedraw)
{
    return SetScrollRange(KwCtlCodes::BarControl, nMin, nMax, nRedraw);
}

int KwSysScrollBar::GetRange(short* pnMin, short* pnMax) const
{
    return GetScrollRange(KwCtlCodes::BarControl, pnMin, pnMax);
}

short KwSysScrollBar::SetThumbPos(short nPos, int nRedraw)
{
    return SetScrollPos(KwCtlCodes::BarControl, nPos, nRedraw);
}

short KwSysScrollBar::GetThumbPos() const
{
    return GetScrollPos(KwCtlCodes::BarControl);
}

int KwSysScrollBar::EvVScroll(unsigned short unCode, short nPos)
{
    const int nResult = KwWSystem::EvVScroll(unCode, nPos);
    KwWnd* pcoParent = GetParent();
    if (nResult || !pcoParent)
        return nResult;
    return Guarded(*pcoParent, [&] { return pcoParent->EvVScroll(unCode, nPos); });
}

int KwSysScrollBar::EvHScroll(unsigned short unCode, short nPos)
{
    const int nResult = KwWSystem::EvHScroll(unCode, nPos);
    KwWnd* pcoParent = GetParent();
    if (nResult || !pcoParent)
        return nResult;
    return Guarded(*pcoParent, [&] { return pcoParent->EvHScroll(unCode, nPos); });
}
