#pragma once

#include "KwPair.h"

// A rectangle of pixels: left, top, right, bottom, signed 16-bit each. As
// in the window system, the right and bottom edges lie outside: a point is
// inside when left <= x < right and top <= y < bottom, and a rectangle is
// empty when it has no such point.
class KW25_API KwRect {
public:
    KwRect() = default;
    KwRect(short nLeft, short nTop, short nRight, short nBottom)
        : m_nLeft(nLeft), m_nTop(nTop), m_nRight(nRight), m_nBottom(nBottom) {}
    KwRect(const KwPoint& coTopLeft, const KwPoint& coBottomRight) { Set(coTopLeft, coBottomRight); }
    KwRect(const KwPoint& coTopLeft, const KwSize& coSize) { Set(coTopLeft, coSize); }
    virtual ~KwRect() = default;

    // Setting
    KwRect& Set(short nLeft, short nTop, short nRight, short nBottom);
    KwRect& Set(const KwPoint& coTopLeft, const KwPoint& coBottomRight);
    KwRect& Set(const KwPoint& coTopLeft, const KwSize& coSize);
    void Empty() { Set(0, 0, 0, 0); }
    void SetLeft(short n) { m_nLeft = n; }
    void SetTop(short n) { m_nTop = n; }
    void SetRight(short n) { m_nRight = n; }
    void SetBottom(short n) { m_nBottom = n; }

    // Edges and measures
    short Left() const { return m_nLeft; }
    short Top() const { return m_nTop; }
    short Right() const { return m_nRight; }
    short Bottom() const { return m_nBottom; }
    short Width() const { return KwPair::Wrap(m_nRight - m_nLeft); }
    short Height() const { return KwPair::Wrap(m_nBottom - m_nTop); }
    KwPoint TopLeft() const { return KwPoint(m_nLeft, m_nTop); }
    KwPoint BottomRight() const { return KwPoint(m_nRight, m_nBottom); }
    KwSize Size() const { return KwSize(Width(), Height()); }
    int IsEmpty() const { return m_nRight <= m_nLeft || m_nBottom <= m_nTop; }
    int PtInRect(const KwPoint& coPoint) const;
    KwPoint MiddlePos() const;
    void MakePoints(KwPoint& coTopLeft, KwPoint& coBottomRight) const;

    // Changing
    KwRect& Move(short nDx, short nDy);
    KwRect& Move(const KwPair& coOffset) { return Move(coOffset.First(), coOffset.Second()); }
    // Grows every side by nAmount; a negative amount shrinks.
    KwRect& Resize(short nAmount);
    // Becomes the part that both rectangles share and answers whether they
    // meet; rectangles that do not meet leave this one emptied (all 0).
    int Intersect(const KwRect& coOther);
    // Orders the corners so that left <= right and top <= bottom.
    KwRect& Sort();

    bool operator==(const KwRect& coOther) const;
    bool operator!=(const KwRect& coOther) const { return !(*this == coOther); }

private:
    short m_nLeft { 0 };
    short m_nTop { 0 };
    short m_nRight { 0 };
    short m_nBottom { 0 };
};
