#include "GBox.h"

#include <climits>
#include <cmath>

namespace {

// The arithmetic that differs between the two boxes: integer boxes work in
// 64 bits and come back clipped to int; halves are integer divisions.
template <class T> struct BoxMath;

template <> struct BoxMath<double> {
    using Wide = double;
    static double Narrow(double d) { return d; }
    static double Half(double d) { return d * 0.5; }
};

template <> struct BoxMath<int> {
    using Wide = long long;
    static int Narrow(long long ll) { return ll < INT_MIN ? INT_MIN : (ll > INT_MAX ? INT_MAX : int(ll)); }
    static long long Half(long long ll) { return ll / 2; }
};

enum { X1, Y1, X2, Y2 };

template <class T> void Swap(T& a, T& b)
{
    T t = a;
    a = b;
    b = t;
}

template <class T> void Copy(T* pcoTo, const T* pcoFrom)
{
    if (!pcoFrom)
        return;
    for (int i = 0; i < 4; ++i)
        pcoTo[i] = pcoFrom[i];
}

template <class T> T Span(T a, T b)
{
    using M = BoxMath<T>;
    return M::Narrow(typename M::Wide(b) - typename M::Wide(a));
}

template <class T> void BoxMiddle(const T* c, T* pX, T* pY)
{
    using M = BoxMath<T>;
    using W = typename M::Wide;
    if (pX)
        *pX = M::Narrow(W(c[X1]) + M::Half(W(c[X2]) - W(c[X1])));
    if (pY)
        *pY = M::Narrow(W(c[Y1]) + M::Half(W(c[Y2]) - W(c[Y1])));
}

template <class T> void BoxSort(T* c)
{
    if (c[X2] < c[X1])
        Swap(c[X1], c[X2]);
    if (c[Y2] < c[Y1])
        Swap(c[Y1], c[Y2]);
}

template <class T> void BoxResize(T* c, T d)
{
    using M = BoxMath<T>;
    using W = typename M::Wide;
    c[X1] = M::Narrow(W(c[X1]) - W(d));
    c[Y1] = M::Narrow(W(c[Y1]) - W(d));
    c[X2] = M::Narrow(W(c[X2]) + W(d));
    c[Y2] = M::Narrow(W(c[Y2]) + W(d));
}

template <class T> int BoxIsIn(const T* c, T x, T y, int nInclusive)
{
    if (nInclusive)
        return c[X1] <= x && x <= c[X2] && c[Y1] <= y && y <= c[Y2];
    return c[X1] < x && x < c[X2] && c[Y1] < y && y < c[Y2];
}

template <class T> int BoxIsInFull(const T* c, const T* r)
{
    if (!r)
        return 0;
    for (int i = 0; i < 4; ++i) {
        int nX = i % 2 == 0;
        if (c[i] < r[nX ? X1 : Y1] || r[nX ? X2 : Y2] < c[i])
            return 0;
    }
    return 1;
}

// Two sorted boxes share a point exactly when their x ranges and their y
// ranges overlap; this covers a corner of either lying in the other as well
// as two boxes crossing each other.
template <class T> int BoxIsInPart(const T* c, const T* r)
{
    if (!r)
        return 0;
    return c[X1] <= r[X2] && r[X1] <= c[X2] && c[Y1] <= r[Y2] && r[Y1] <= c[Y2];
}

template <class T> void Unite(T* c, const T* r)
{
    if (!r)
        return;
    if (r[X1] < c[X1]) c[X1] = r[X1];
    if (r[Y1] < c[Y1]) c[Y1] = r[Y1];
    if (c[X2] < r[X2]) c[X2] = r[X2];
    if (c[Y2] < r[Y2]) c[Y2] = r[Y2];
}

template <class T, class Box> int BoxDivide(const T* c, short n, Box* pcoCells, short nDirection)
{
    using M = BoxMath<T>;
    using W = typename M::Wide;
    if (n < 1 || !pcoCells)
        return 0;
    int nRows = int(std::sqrt(double(n)));
    int nWide = n % nRows;              // rows with one cell more
    W wHeight = (W(c[Y2]) - W(c[Y1])) / nRows;
    int nCell = 0;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        W wLower, wUpper;
        if (nDirection == 1) {
            wUpper = W(c[Y2]) - nRow * wHeight;
            wLower = wUpper - wHeight;
        } else {
            wLower = W(c[Y1]) + nRow * wHeight;
            wUpper = wLower + wHeight;
        }
        int nCells = n / nRows + (nRow < nWide ? 1 : 0);
        W wWidth = (W(c[X2]) - W(c[X1])) / nCells;
        for (int nCol = 0; nCol < nCells; ++nCol, ++nCell) {
            W wLeft = W(c[X1]) + nCol * wWidth;
            pcoCells[nCell].Set(M::Narrow(wLeft), M::Narrow(wLower), M::Narrow(wLeft + wWidth), M::Narrow(wUpper));
        }
    }
    return 1;
}

} // namespace

// GDoubleBox

GDoubleBox& GDoubleBox::operator=(const double* pdValues)
{
    Copy(m_adC, pdValues);
    return *this;
}

GDoubleBox& GDoubleBox::Set(double dX1, double dY1, double dX2, double dY2)
{
    m_adC[X1] = dX1;
    m_adC[Y1] = dY1;
    m_adC[X2] = dX2;
    m_adC[Y2] = dY2;
    return *this;
}

void GDoubleBox::Middle(double* pdX, double* pdY) const { BoxMiddle(m_adC, pdX, pdY); }
GDoubleBox& GDoubleBox::Sort() { BoxSort(m_adC); return *this; }
GDoubleBox& GDoubleBox::Resize(double d) { BoxResize(m_adC, d); return *this; }
GDoubleBox& GDoubleBox::TurnY() { Swap(m_adC[Y1], m_adC[Y2]); return *this; }
int GDoubleBox::IsIn(double dX, double dY, int nInclusive) const { return BoxIsIn(m_adC, dX, dY, nInclusive); }
int GDoubleBox::IsInFull(const double* pdBox) const { return BoxIsInFull(m_adC, pdBox); }
int GDoubleBox::IsInPart(const double* pdBox) const { return BoxIsInPart(m_adC, pdBox); }
GDoubleBox& GDoubleBox::operator+=(const double* pdBox) { Unite(m_adC, pdBox); return *this; }

int GDoubleBox::Divide(short n, GDoubleBox* pcoCells, short nDirection) const
{
    return BoxDivide(m_adC, n, pcoCells, nDirection);
}

// GIntBox

GIntBox& GIntBox::operator=(const int* pnValues)
{
    Copy(m_anC, pnValues);
    return *this;
}

GIntBox& GIntBox::Set(int nX1, int nY1, int nX2, int nY2)
{
    m_anC[X1] = nX1;
    m_anC[Y1] = nY1;
    m_anC[X2] = nX2;
    m_anC[Y2] = nY2;
    return *this;
}

int GIntBox::Width() const { return Span(m_anC[X1], m_anC[X2]); }
int GIntBox::Height() const { return Span(m_anC[Y1], m_anC[Y2]); }
void GIntBox::Middle(int* pnX, int* pnY) const { BoxMiddle(m_anC, pnX, pnY); }
GIntBox& GIntBox::Sort() { BoxSort(m_anC); return *this; }
GIntBox& GIntBox::Resize(int d) { BoxResize(m_anC, d); return *this; }
GIntBox& GIntBox::TurnY() { Swap(m_anC[Y1], m_anC[Y2]); return *this; }
int GIntBox::IsIn(int nX, int nY, int nInclusive) const { return BoxIsIn(m_anC, nX, nY, nInclusive); }
int GIntBox::IsInFull(const int* pnBox) const { return BoxIsInFull(m_anC, pnBox); }
int GIntBox::IsInPart(const int* pnBox) const { return BoxIsInPart(m_anC, pnBox); }
GIntBox& GIntBox::operator+=(const int* pnBox) { Unite(m_anC, pnBox); return *this; }

int GIntBox::Divide(short n, GIntBox* pcoCells, short nDirection) const
{
    return BoxDivide(m_anC, n, pcoCells, nDirection);
}
