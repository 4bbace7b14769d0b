#pragma once

#include "KwtlApi.h"

// Axis-parallel boxes from corner (x1, y1) to corner (x2, y2), with real
// (GDoubleBox) or integer (GIntBox) coordinates. The four coordinates are
// stored in that order, so a box also serves where four values are expected.
// Most operations expect a sorted box (x1 <= x2, y1 <= y2, see Sort).
// Operations that modify the box return it. A null array of values is
// ignored: it neither changes a box nor lies inside or across one.
class KWTL_API GDoubleBox {
public:
    GDoubleBox() = default;
    explicit GDoubleBox(const double* pdValues) { *this = pdValues; }
    GDoubleBox(double dX1, double dY1, double dX2, double dY2) : m_adC { dX1, dY1, dX2, dY2 } {}
    GDoubleBox(const GDoubleBox&) = default;
    GDoubleBox& operator=(const GDoubleBox&) = default;
    GDoubleBox& operator=(const double* pdValues);
    virtual ~GDoubleBox() = default;

    // Coordinates: 0 x1, 1 y1, 2 x2, 3 y2; the index is not checked.
    double GetX1() const { return m_adC[0]; }
    double GetY1() const { return m_adC[1]; }
    double GetX2() const { return m_adC[2]; }
    double GetY2() const { return m_adC[3]; }
    GDoubleBox& Set(double dX1, double dY1, double dX2, double dY2);
    double& operator[](int i) { return m_adC[i]; }
    double& operator[](short i) { return m_adC[i]; }
    double operator[](int i) const { return m_adC[i]; }
    double operator[](short i) const { return m_adC[i]; }
    explicit operator double*() { return m_adC; }
    explicit operator const double*() const { return m_adC; }

    // Extent
    int IsEmpty() const { return Width() == 0.0 && Height() == 0.0; }
    double Width() const { return m_adC[2] - m_adC[0]; }
    double Height() const { return m_adC[3] - m_adC[1]; }
    void Middle(double* pdX, double* pdY) const;

    // Modification
    GDoubleBox& Empty() { return Set(0.0, 0.0, 0.0, 0.0); }
    GDoubleBox& Sort();
    // Grows every side by d; a negative d shrinks.
    GDoubleBox& Resize(double d);
    GDoubleBox& TurnY();

    // Containment and overlap, borders included
    int IsIn(double dX, double dY, int nInclusive) const;
    int IsInFull(const double* pdBox) const;
    int IsInFull(const GDoubleBox& coBox) const { return IsInFull(coBox.m_adC); }
    int IsInPart(const double* pdBox) const;
    int IsInPart(const GDoubleBox& coBox) const { return IsInPart(coBox.m_adC); }

    // Union
    GDoubleBox& operator+=(const double* pdBox);
    GDoubleBox& operator+=(const GDoubleBox& coBox) { return *this += coBox.m_adC; }
    GDoubleBox operator+(const double* pdBox) const { return GDoubleBox(*this) += pdBox; }
    GDoubleBox operator+(const GDoubleBox& coBox) const { return GDoubleBox(*this) += coBox; }

    // Splits the box into n cells of trunc(sqrt(n)) rows, the first rows
    // taking one cell more where n does not divide evenly. Rows run from y1
    // to y2, or from y2 to y1 when nDirection is 1. pcoCells must hold n
    // boxes. Answers 0 without writing when n < 1 or pcoCells is null.
    int Divide(short n, GDoubleBox* pcoCells, short nDirection) const;

private:
    double m_adC[4] { 0.0, 0.0, 0.0, 0.0 };
};

// The integer box. Spans are formed in 64 bits and limited to the int range,
// so that no coordinate pair overflows; the middle rounds toward x1, y1.
class KWTL_API GIntBox {
public:
    GIntBox() = default;
    explicit GIntBox(const int* pnValues) { *this = pnValues; }
    GIntBox(int nX1, int nY1, int nX2, int nY2) : m_anC { nX1, nY1, nX2, nY2 } {}
    GIntBox(const GIntBox&) = default;
    GIntBox& operator=(const GIntBox&) = default;
    GIntBox& operator=(const int* pnValues);
    virtual ~GIntBox() = default;

    // Coordinates: 0 x1, 1 y1, 2 x2, 3 y2; the index is not checked.
    int GetX1() const { return m_anC[0]; }
    int GetY1() const { return m_anC[1]; }
    int GetX2() const { return m_anC[2]; }
    int GetY2() const { return m_anC[3]; }
    GIntBox& Set(int nX1, int nY1, int nX2, int nY2);
    int& operator[](int i) { return m_anC[i]; }
    int& operator[](short i) { return m_anC[i]; }
    int operator[](int i) const { return m_anC[i]; }
    int operator[](short i) const { return m_anC[i]; }
    explicit operator int*() { return m_anC; }
    explicit operator const int*() const { return m_anC; }

    // Extent
    int IsEmpty() const { return m_anC[0] == m_anC[2] && m_anC[1] == m_anC[3]; }
    int Width() const;
    int Height() const;
    void Middle(int* pnX, int* pnY) const;

    // Modification
    GIntBox& Empty() { return Set(0, 0, 0, 0); }
    GIntBox& Sort();
    GIntBox& Resize(int d);
    GIntBox& TurnY();

    // Containment and overlap, borders included
    int IsIn(int nX, int nY, int nInclusive) const;
    int IsInFull(const int* pnBox) const;
    int IsInFull(const GIntBox& coBox) const { return IsInFull(coBox.m_anC); }
    int IsInPart(const int* pnBox) const;
    int IsInPart(const GIntBox& coBox) const { return IsInPart(coBox.m_anC); }

    // Union
    GIntBox& operator+=(const int* pnBox);
    GIntBox& operator+=(const GIntBox& coBox) { return *this += coBox.m_anC; }
    GIntBox operator+(const int* pnBox) const { return GIntBox(*this) += pnBox; }
    GIntBox operator+(const GIntBox& coBox) const { return GIntBox(*this) += coBox; }

    // As GDoubleBox::Divide, with integer heights and widths.
    int Divide(short n, GIntBox* pcoCells, short nDirection) const;

private:
    int m_anC[4] { 0, 0, 0, 0 };
};
