#pragma once

#include "Kw25Api.h"
#include "KwObjGDI.h"
#include "KwRect.h"

// A region: a rectangle, ellipse, polygon, set of polygons or rounded
// rectangle, made by one of the SysCreate forms (each replaces the region
// held before).
class KW25_API KwRegion : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwRegion, KwObjGDI)
public:
    KwRegion() = default;
    // nCreate: make an empty rectangular region at once.
    explicit KwRegion(int nCreate);
    explicit KwRegion(const KwRect& coRect) { SysCreate(coRect); }
    ~KwRegion() override = default;
    KwRegion(const KwRegion&) = delete;
    KwRegion& operator=(const KwRegion&) = delete;

    int SysCreate() override { return SysCreate(KwRect()); }
    int SysCreate(const KwRect& coRect);
    int SysCreateElliptic(const KwPoint& coCenter, short nRadiusX, short nRadiusY);
    // Fill modes: 1 alternate, 2 winding.
    int SysCreatePolygon(const KwPoint* pcoPoints, short nCount, short nFillMode);
    int SysCreatePolyPolygon(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons, short nFillMode);
    int SysCreateRoundRect(const KwRect& coRect, short nWidth, short nHeight);

private:
    int Take(KwHandle hRegion);
};
