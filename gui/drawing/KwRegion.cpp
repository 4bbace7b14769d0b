#include "KwRegion.h"

#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwRegion, KwObjGDI, "kw25")

KwRegion::KwRegion(int nCreate)
{
    if (nCreate)
        SysCreate(KwRect());
}

int KwRegion::Take(KwHandle hRegion)
{
    SysDelete();
    return hRegion && Connect(hRegion);
}

int KwRegion::SysCreate(const KwRect& coRect)
{
    return pcoKwSys && Take(pcoKwSys->CreateRectRgn(coRect));
}

int KwRegion::SysCreateElliptic(const KwPoint& coCenter, short nRadiusX, short nRadiusY)
{
    const KwRect coBounds(KwPair::Wrap(coCenter.X() - nRadiusX), KwPair::Wrap(coCenter.Y() - nRadiusY),
                          KwPair::Wrap(coCenter.X() + nRadiusX), KwPair::Wrap(coCenter.Y() + nRadiusY));
    return pcoKwSys && Take(pcoKwSys->CreateEllipticRgn(coBounds));
}

int KwRegion::SysCreatePolygon(const KwPoint* pcoPoints, short nCount, short nFillMode)
{
    if (!pcoPoints || nCount < 3)
        return 0;
    return pcoKwSys && Take(pcoKwSys->CreatePolygonRgn(pcoPoints, nCount, nFillMode));
}

int KwRegion::SysCreatePolyPolygon(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons, short nFillMode)
{
    if (!pcoPoints || !pnCounts || nPolygons < 1)
        return 0;
    for (short i = 0; i < nPolygons; ++i) {
        if (pnCounts[i] < 2)
            return 0;
    }
    return pcoKwSys && Take(pcoKwSys->CreatePolyPolygonRgn(pcoPoints, pnCounts, nPolygons, nFillMode));
}

int KwRegion::SysCreateRoundRect(const KwRect& coRect, short nWidth, short nHeight)
{
    return pcoKwSys && Take(pcoKwSys->CreateRoundRectRgn(coRect, nWidth, nHeight));
}
