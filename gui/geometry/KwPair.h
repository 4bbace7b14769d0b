#pragma once

#include "Kw25Api.h"

// Two signed 16-bit values: the pixel pairs of the GUI libraries. Sums and
// differences wrap like the 16-bit coordinates of the window system. The
// classes are polymorphic, so they are never cast to the system's POINT or
// SIZE: the adapter converts them field by field.
class KW25_API KwPair {
public:
    KwPair() = default;
    KwPair(short nFirst, short nSecond) : m_nFirst(nFirst), m_nSecond(nSecond) {}
    virtual ~KwPair() = default;

    KwPair& Set(short nFirst, short nSecond) { m_nFirst = nFirst; m_nSecond = nSecond; return *this; }
    short First() const { return m_nFirst; }
    short Second() const { return m_nSecond; }

    KwPair operator+(const KwPair& coOther) const { return KwPair(Wrap(m_nFirst + coOther.m_nFirst), Wrap(m_nSecond + coOther.m_nSecond)); }
    KwPair operator-(const KwPair& coOther) const { return KwPair(Wrap(m_nFirst - coOther.m_nFirst), Wrap(m_nSecond - coOther.m_nSecond)); }
    KwPair& operator+=(const KwPair& coOther) { return Set(Wrap(m_nFirst + coOther.m_nFirst), Wrap(m_nSecond + coOther.m_nSecond)); }
    KwPair& operator-=(const KwPair& coOther) { return Set(Wrap(m_nFirst - coOther.m_nFirst), Wrap(m_nSecond - coOther.m_nSecond)); }
    bool operator==(const KwPair& coOther) const { return m_nFirst == coOther.m_nFirst && m_nSecond == coOther.m_nSecond; }
    bool operator!=(const KwPair& coOther) const { return !(*this == coOther); }

    // The 16-bit value of an int, wrapping as the window system does.
    static short Wrap(int nValue) { return static_cast<short>(static_cast<unsigned short>(nValue & 0xFFFF)); }

protected:
    short m_nFirst { 0 };
    short m_nSecond { 0 };
};

// A point: x and y.
class KW25_API KwPoint : public KwPair {
public:
    KwPoint() = default;
    KwPoint(short nX, short nY) : KwPair(nX, nY) {}
    explicit KwPoint(const KwPair& coPair) : KwPair(coPair) {}

    short X() const { return m_nFirst; }
    short Y() const { return m_nSecond; }
    void SetX(short nX) { m_nFirst = nX; }
    void SetY(short nY) { m_nSecond = nY; }

    KwPoint operator+(const KwPair& coOther) const { return KwPoint(KwPair::operator+(coOther)); }
    KwPoint operator-(const KwPair& coOther) const { return KwPoint(KwPair::operator-(coOther)); }
};

// A size: width and height.
class KW25_API KwSize : public KwPair {
public:
    KwSize() = default;
    KwSize(short nWidth, short nHeight) : KwPair(nWidth, nHeight) {}
    explicit KwSize(const KwPair& coPair) : KwPair(coPair) {}

    short Width() const { return m_nFirst; }
    short Height() const { return m_nSecond; }
    void SetWidth(short nWidth) { m_nFirst = nWidth; }
    void SetHeight(short nHeight) { m_nSecond = nHeight; }

    KwSize operator+(const KwPair& coOther) const { return KwSize(KwPair::operator+(coOther)); }
    KwSize operator-(const KwPair& coOther) const { return KwSize(KwPair::operator-(coOther)); }
};
