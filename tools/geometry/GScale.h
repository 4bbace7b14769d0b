#pragma once

#include "DevPoint.h"
#include "GPoint.h"
#include "KwtlApi.h"

// Maps a rectangle of logical coordinates onto a rectangle of device
// coordinates and back. The mapping can keep the logical proportions (using
// the aspect ratio of a device pixel), align the used area inside the device
// rectangle, turn the y axis so that logical y grows upwards, exchange the
// axes, and shift every device position by an origin for scrolling.
//
// Every setter of the logical rectangle, the device rectangle, the
// proportionality, the alignment and the axis exchange invalidates the
// factors; until CalcNew succeeds again every conversion answers 0. Point 1
// of the logical rectangle maps to the area's left (and top, or bottom with
// the y axis turned); when point 2 lies before point 1 the mapping mirrors.
//
// With the axes exchanged, logical x runs along the device's vertical axis
// and logical y along its horizontal axis; the origin's x then shifts the
// vertical and its y the horizontal device coordinate, and the alignment
// applies to the device axis that a shortened extent runs along.
class KWTL_API GScale {
public:
    // Flags: options in the low byte, alignment in the high byte.
    enum : unsigned short {
        Proportional = 0x0001,
        YTurned = 0x0002,
        XYChanged = 0x0004,
        Initialized = 0x0008,
        HLeft = 0x0100,
        HRight = 0x0200,
        HCenter = 0x0400,
        VBottom = 0x1000,
        VTop = 0x2000,
        VCenter = 0x4000,
    };

    GScale() : GScale(1, 1) {}
    GScale(unsigned short unPixelX, unsigned short unPixelY) : m_unPixelX(unPixelX), m_unPixelY(unPixelY) {}
    GScale(const GScale&) = default;
    GScale& operator=(const GScale&) = default;
    virtual ~GScale() = default;

    // Logical rectangle
    void SetPoint1(const GPoint& coP, int nRecalc);
    void SetPoint2(const GPoint& coP, int nRecalc);
    void SetX1(double d, int nRecalc);
    void SetY1(double d, int nRecalc);
    void SetX2(double d, int nRecalc);
    void SetY2(double d, int nRecalc);
    void SetMapping(const GPoint& coP1, const GPoint& coP2, int nRecalc);
    GPoint GetPoint1() const { return GPoint(m_dX1, m_dY1); }
    GPoint GetPoint2() const { return GPoint(m_dX2, m_dY2); }
    double GetX1() const { return m_dX1; }
    double GetY1() const { return m_dY1; }
    double GetX2() const { return m_dX2; }
    double GetY2() const { return m_dY2; }
    // 0 X1, 1 Y1, 2 X2, 3 Y2; any other index answers 0.
    double operator[](int i) const;
    double operator[](short i) const { return (*this)[int(i)]; }
    double Width() const;
    double Height() const;
    double XFac() const { return m_dXFac; }
    double YFac() const { return m_dYFac; }

    // Device side
    void SetDevRect(const DevRect& coRect, int nRecalc);
    DevRect GetDevRect() const { return m_coDevRect; }
    int DevRectWidth() const { return IsXYChanged() ? m_coDevRect.Height() : m_coDevRect.Width(); }
    int DevRectHeight() const { return IsXYChanged() ? m_coDevRect.Width() : m_coDevRect.Height(); }
    DevRect GetAreaRect() const { return m_coArea; }
    // The device's resolution along x and y (pixels per unit of length, as
    // the device reports them); only their ratio counts, and only for
    // proportional mapping. Either value 0 leaves a proportional mapping
    // uninitialized.
    void InitPixelSize(unsigned short unX, unsigned short unY, int nRecalc);

    // Options
    void SetProportional(int nOn, int nRecalc);
    void SetCenter(unsigned short unAlignment, int nRecalc);
    unsigned short GetCenter() const { return m_unFlags & 0xFF00; }
    void SetYTurned(int nOn) { SetFlag(YTurned, nOn); }
    void ChangeXY(int nRecalc);
    int IsProportional() const { return HasFlag(Proportional); }
    int IsYTurned() const { return HasFlag(YTurned); }
    int IsXYChanged() const { return HasFlag(XYChanged); }
    int IsInitialized() const { return HasFlag(Initialized); }
    int IsHLeft() const { return HasFlag(HLeft); }
    int IsHRight() const { return HasFlag(HRight); }
    int IsHCenter() const { return HasFlag(HCenter); }
    int IsVBottom() const { return HasFlag(VBottom); }
    int IsVTop() const { return HasFlag(VTop); }
    int IsVCenter() const { return HasFlag(VCenter); }

    // Origin: a shift in device units of every mapped position
    void SetOrigin(const DevPoint& coP) { m_coOrigin = coP; }
    void SetOrigin(short nX, short nY) { m_coOrigin.Set(nX, nY); }
    void Move(const DevPoint& coD) { m_coOrigin += coD; }
    void Move(short nDx, short nDy) { Move(DevPoint(nDx, nDy)); }
    DevPoint GetOrigin() const { return m_coOrigin; }

    // Recomputes the used area and the factors; 1 when the mapping is valid.
    int CalcNew();

    // Conversions. Device positions beyond the 16-bit range are clipped to it.
    short XLogToDc(double dX) const;
    short YLogToDc(double dY) const;
    DevPoint LogToDc(const GPoint& coP) const;
    DevPoint operator/(const GPoint& coP) const { return LogToDc(coP); }
    void LogToDc(const GPoint* pcoFrom, DevPoint* pcoTo, unsigned short unCount) const;
    double XDcToLog(short nX) const;
    double YDcToLog(short nY) const;
    GPoint DcToLog(const DevPoint& coP) const;
    GPoint operator*(const DevPoint& coP) const { return DcToLog(coP); }
    void DcToLog(const DevPoint* pcoFrom, GPoint* pcoTo, unsigned short unCount) const;

    // Sizes (magnitudes)
    DevPoint DcSize(double dW, double dH) const;
    GPoint LogSize(short nDx, short nDy) const;
    // A logical width or height in pixels and back, measured along the device
    // axis that the logical axis runs along (the other one when exchanged).
    short DcWidth(double dW) const;
    short DcHeight(double dH) const;
    double LogWidth(short nDx) const;
    double LogHeight(short nDy) const;

protected:
    // Positions relative to the used area and back
    short RelX(short nX) const;
    short RelY(short nY) const;
    short AbsX(short nX) const;
    short AbsY(short nY) const;

private:
    int HasFlag(unsigned short unFlag) const { return (m_unFlags & unFlag) != 0; }
    void SetFlag(unsigned short unFlag, int nOn);
    void Changed(int nRecalc);
    void ShrinkHorizontally(int nUsed);
    void ShrinkVertically(int nUsed);
    short LogToDcAlong(double dOffset, double dFac, short nOrigin, short nAreaStart, short nAreaEnd,
                       int nTurned) const;
    double DcToLogAlong(short nValue, double dFac, double dStart, short nOrigin, short nAreaStart, short nAreaEnd,
                        int nTurned) const;

    double m_dX1 { 0.0 };
    double m_dY1 { 0.0 };
    double m_dX2 { 100.0 };
    double m_dY2 { 100.0 };
    double m_dXFac { 1.0 };
    double m_dYFac { 1.0 };
    DevRect m_coDevRect;
    DevRect m_coArea;
    DevPoint m_coOrigin;
    unsigned short m_unPixelX { 1 };
    unsigned short m_unPixelY { 1 };
    unsigned short m_unFlags { HLeft | VBottom };
};
