#pragma once

#include "KwRect.h"
#include "KwRubber.h"

// The figures of rubber bands that are drawn as lines: a line, a rectangle,
// a circle, an ellipse and a polyline. Each keeps the geometry of its last
// End in its own terms.

// A straight line: grows from its first point (new), has one end follow the
// pointer (change) or moves as a whole (move of two points).
class KUTI_API KwRubberLine : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberLine, KwRubber)
public:
    KwRubberLine() = default;
    KwRubberLine(short nColor, unsigned short unLineStyle, short nLineWidth) : KwRubber(nColor, unLineStyle, nLineWidth) {}

    KwPoint GetLinePoint1() const { return m_coLinePoint1; }
    KwPoint GetLinePoint2() const { return m_coLinePoint2; }

    using KwRubber::StartChange;
    using KwRubber::StartMove;
    int StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged, const KwPoint& coPointer) override;
    virtual int StartMove(KwDC& coDC, const KwPoint& coPoint1, const KwPoint& coPoint2, const KwPoint& coPointer);

protected:
    void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) override;
    void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) override;
    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    KwPoint m_coLinePoint1;
    KwPoint m_coLinePoint2;
};

// A rectangle, spanned inclusively by two corners (the far corner's pixel
// belongs to it, so right and bottom are one beyond). A change grips a
// corner (the opposite one stays) or an edge (the opposite edge stays).
class KUTI_API KwRubberRect : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberRect, KwRubber)
public:
    KwRubberRect() = default;
    KwRubberRect(short nColor, unsigned short unLineStyle, short nLineWidth) : KwRubber(nColor, unLineStyle, nLineWidth) {}

    KwRect GetRect() const { return m_coRect; }

    using KwRubber::StartChange;
    using KwRubber::StartMove;
    // Moves the outline of the rectangle.
    int StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer);
    // Starts only when the grip is a corner or lies inside an edge.
    int StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coGrip, const KwPoint& coPointer);

protected:
    void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) override;
    void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) override;
    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    KwRect ChangedRect(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) const;

    KwRect m_coRect;
};

// A circle around its mid point through the changed point.
class KUTI_API KwRubberCircle : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberCircle, KwRubber)
public:
    KwRubberCircle() = default;
    KwRubberCircle(short nColor, unsigned short unLineStyle, short nLineWidth) : KwRubber(nColor, unLineStyle, nLineWidth) {}

    KwPoint GetMidPoint() const { return m_coMid; }
    double GetRadius() const { return m_dRadius; }
    KwRect GetRect() const { return m_coRect; }

    using KwRubber::StartChange;
    using KwRubber::StartMove;
    int StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer);
    int StartMove(KwDC& coDC, const KwPoint& coMid, double dRadius, const KwPoint& coPointer);
    int StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer);
    // The changed point lies on the circle in the pointer's direction;
    // nothing starts with the pointer at the centre.
    int StartChange(KwDC& coDC, const KwPoint& coMid, double dRadius, const KwPoint& coPointer);

protected:
    void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) override;
    void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) override;
    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    KwPoint m_coMid;
    double m_dRadius { 0.0 };
    KwRect m_coRect;
};

// An ellipse. While it is changed, the changed point holds the two radii.
class KUTI_API KwRubberEllipse : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberEllipse, KwRubber)
public:
    KwRubberEllipse() = default;
    KwRubberEllipse(short nColor, unsigned short unLineStyle, short nLineWidth) : KwRubber(nColor, unLineStyle, nLineWidth) {}

    KwPoint GetMidPoint() const { return m_coMid; }
    short GetXRadius() const { return m_nXRadius; }
    short GetYRadius() const { return m_nYRadius; }
    KwRect GetRect() const { return m_coRect; }

    using KwRubber::StartChange;
    using KwRubber::StartMove;
    int StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer);
    int StartMove(KwDC& coDC, const KwPoint& coMid, short nXRadius, short nYRadius, const KwPoint& coPointer);
    int StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer);
    int StartChange(KwDC& coDC, const KwPoint& coMid, short nXRadius, short nYRadius, const KwPoint& coPointer);

protected:
    void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) override;
    void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) override;
    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    KwPoint m_coMid;
    short m_nXRadius { 0 };
    short m_nYRadius { 0 };
    KwRect m_coRect;
};

// A polyline: a move moves all its vertices; a change moves one vertex
// between its fixed neighbours. After a move the moved point is the total
// movement of the pointer; after a change it is the vertex.
class KUTI_API KwRubberPolyline : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberPolyline, KwRubber)
public:
    KwRubberPolyline() = default;
    KwRubberPolyline(short nColor, unsigned short unLineStyle, short nLineWidth) : KwRubber(nColor, unLineStyle, nLineWidth) {}

    KwPoint GetMovedPoint() const { return m_coMoved; }

protected:
    void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) override;
    void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) override;
    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    KwPoint m_coMoved;
    KwPoint m_coLastPointer;
};
