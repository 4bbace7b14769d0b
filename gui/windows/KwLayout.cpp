#include "KwLayout.h"

#include "KwDC.h"
#include "KwPen.h"
#include "KwWChild.h"
#include "KwWnd.h"

unsigned long KwWndLayoutWIN31::UsedBackColor(const KwWnd& coWnd)
{
    const KwWnd* pcoWnd = &coWnd;
    while (pcoWnd->IsParentBack()) {
        const KwWnd* pcoParent = pcoWnd->GetParent();
        if (!pcoParent)
            break;
        pcoWnd = pcoParent;
    }
    return pcoWnd->GetColBack().GetRealColor();
}

int KwWndLayoutWIN31::Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const
{
    if (!pcoWnd)
        return 0;
    if (pcoWnd->IsTransparent())
        return 1;
    const KwRect coRect = pcoRect ? *pcoRect : pcoWnd->GetClientRect();
    const unsigned long ulBack = UsedBackColor(*pcoWnd);
    KwPen coPen(ulBack, 1, 1);
    KwBrush coBrush(ulBack, 1, 0);
    const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coBrush);
    coDC.Rectangle(coRect);
    coDC.SelectObject(pcoOldBrush);
    coDC.SelectObject(pcoOldPen);
    return 1;
}

KwWndLayoutWIN31& KwWndLayoutWIN31::Instance()
{
    static KwWndLayoutWIN31 s_coLayout;
    return s_coLayout;
}

int KwWChildLayoutWIN31::Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const
{
    if (!pcoWnd)
        return 0;
    const KwRect coClient = pcoWnd->GetClientRect();
    KwWndLayoutWIN31::Paint(pcoWnd, coDC, &coClient);
    KwWChild* pcoChild = dynamic_cast<KwWChild*>(pcoWnd);
    if (!pcoChild)
        return 1;
    KwRect coRect = coClient;
    const short nBorder = pcoChild->GetBorderWidth();
    if (pcoChild->HasBorderLook() && nBorder > 0) {
        KwPen coPen(pcoChild->GetColBord().GetRealColor(), 1, 1);
        KwBrush coHollow(0UL, 0, 0);
        const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
        const KwBrush* pcoOldBrush = coDC.SelectObject(&coHollow);
        for (short i = 0; i < nBorder; ++i) {
            coDC.Rectangle(coRect);
            coRect.Resize(-1);
        }
        coDC.SelectObject(pcoOldBrush);
        coDC.SelectObject(pcoOldPen);
    }
    if (pcoChild->HasShade() && pcoChild->GetShadeWidth() > 0)
        pcoChild->DrawShade(coDC, coRect);
    return 1;
}

KwWChildLayoutWIN31& KwWChildLayoutWIN31::Instance()
{
    static KwWChildLayoutWIN31 s_coLayout;
    return s_coLayout;
}
