#pragma once

#include "KwtlApi.h"

// A point in device coordinates (16-bit pixels). Sums wrap like the 16-bit
// coordinates of the window system.
class KWTL_API DevPoint {
public:
    DevPoint() = default;
    DevPoint(short nX, short nY) : x(nX), y(nY) {}

    DevPoint& Set(short nX, short nY) { x = nX; y = nY; return *this; }

    DevPoint operator+(const DevPoint& coP) const { return DevPoint(short(x + coP.x), short(y + coP.y)); }
    DevPoint operator-(const DevPoint& coP) const { return DevPoint(short(x - coP.x), short(y - coP.y)); }
    DevPoint& operator+=(const DevPoint& coP) { return *this = *this + coP; }
    DevPoint& operator-=(const DevPoint& coP) { return *this = *this - coP; }
    bool operator==(const DevPoint& coP) const { return x == coP.x && y == coP.y; }
    bool operator!=(const DevPoint& coP) const { return !(*this == coP); }

    short x { 0 };
    short y { 0 };
};

// A rectangle in device coordinates. Width and height are magnitudes, so an
// unsorted rectangle measures the same as its sorted form; they are int
// because the span of two 16-bit coordinates can exceed 16 bits.
class KWTL_API DevRect {
public:
    DevRect() = default;
    DevRect(short nLeft, short nTop, short nRight, short nBottom)
        : left(nLeft), top(nTop), right(nRight), bottom(nBottom) {}

    DevRect& Set(short nLeft, short nTop, short nRight, short nBottom)
    {
        left = nLeft; top = nTop; right = nRight; bottom = nBottom;
        return *this;
    }
    int Width() const { return right < left ? left - right : right - left; }
    int Height() const { return bottom < top ? top - bottom : bottom - top; }
    // Orders the corners: left <= right, top <= bottom.
    DevRect& Sort()
    {
        if (right < left) { short n = left; left = right; right = n; }
        if (bottom < top) { short n = top; top = bottom; bottom = n; }
        return *this;
    }

    bool operator==(const DevRect& coR) const
    {
        return left == coR.left && top == coR.top && right == coR.right && bottom == coR.bottom;
    }
    bool operator!=(const DevRect& coR) const { return !(*this == coR); }

    short left { 0 };
    short top { 0 };
    short right { 0 };
    short bottom { 0 };
};
