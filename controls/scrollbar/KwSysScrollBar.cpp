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

// The bar's own links first; what they leave goes to the parent.
template <class F>
int KwSysScrollBar::PassOn(int nResult, F fnParent)
{
    KwWnd* pcoParent = GetParent();
    if (nResult || !pcoParent)
        return nResult;
    return Guarded(*pcoParent, [&] { return fnParent(*pcoParent); });
}

int KwSysScrollBar::EvVScroll(unsigned short unCode, short nPos)
{
    return PassOn(KwWSystem::EvVScroll(unCode, nPos), [&](KwWnd& coParent) { return coParent.EvVScroll(unCode, nPos); });
}

int KwSysScrollBar::EvHScroll(unsigned short unCode, short nPos)
{
    return PassOn(KwWSystem::EvHScroll(unCode, nPos), [&](KwWnd& coParent) { return coParent.EvHScroll(unCode, nPos); });
}
