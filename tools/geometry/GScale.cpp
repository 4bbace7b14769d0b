#include "GScale.h"

#include <cmath>

namespace {

// Device positions are 16-bit; a logical position far outside the mapped
// rectangle is clipped to the nearest representable pixel instead of being
// converted out of range.
short ClipShort(double d)
{
    if (std::isnan(d))
        return 0;
    if (d < -32768.0)
        return -32768;
    if (d > 32767.0)
        return 32767;
    return short(d);
}

short ClipShort(int n)
{
    return n < -32768 ? short(-32768) : (n > 32767 ? short(32767) : short(n));
}

int Abs(int n) { return n < 0 ? -n : n; }

} // namespace

// Logical rectangle

void GScale::SetPoint1(const GPoint& coP, int nRecalc)
{
    m_dX1 = coP.x;
    m_dY1 = coP.y;
    Changed(nRecalc);
}

void GScale::SetPoint2(const GPoint& coP, int nRecalc)
{
    m_dX2 = coP.x;
    m_dY2 = coP.y;
    Changed(nRecalc);
}

void GScale::SetX1(double d, int nRecalc) { m_dX1 = d; Changed(nRecalc); }
void GScale::SetY1(double d, int nRecalc) { m_dY1 = d; Changed(nRecalc); }
void GScale::SetX2(double d, int nRecalc) { m_dX2 = d; Changed(nRecalc); }
void GScale::SetY2(double d, int nRecalc) { m_dY2 = d; Changed(nRecalc); }

void GScale::SetMapping(const GPoint& coP1, const GPoint& coP2, int nRecalc)
{
    m_dX1 = coP1.x;
    m_dY1 = coP1.y;
    m_dX2 = coP2.x;
    m_dY2 = coP2.y;
    Changed(nRecalc);
}

double GScale::operator[](int i) const
{
    switch (i) {
    case 0: return m_dX1;
    case 1: return m_dY1;
    case 2: return m_dX2;
    case 3: return m_dY2;
    default: return 0.0;
    }
}

double GScale::Width() const { return std::fabs(m_dX2 - m_dX1); }
double GScale::Height() const { return std::fabs(m_dY2 - m_dY1); }

// Device side and options

void GScale::SetDevRect(const DevRect& coRect, int nRecalc)
{
    m_coDevRect = coRect;
    m_coDevRect.Sort();
    Changed(nRecalc);
}

void GScale::InitPixelSize(unsigned short unX, unsigned short unY, int nRecalc)
{
    m_unPixelX = unX;
    m_unPixelY = unY;
    if (nRecalc)
        CalcNew();
}

void GScale::SetProportional(int nOn, int nRecalc)
{
    SetFlag(Proportional, nOn);
    Changed(nRecalc);
}

void GScale::SetCenter(unsigned short unAlignment, int nRecalc)
{
    m_unFlags = (m_unFlags & 0x00FF) | (unAlignment & 0xFF00);
    Changed(nRecalc);
}

void GScale::ChangeXY(int nRecalc)
{
    m_unFlags ^= XYChanged;
    Changed(nRecalc);
}

// Calculation

int GScale::CalcNew()
{
    m_unFlags &= ~Initialized;
    double dW = Width(), dH = Height();
    int nDw = DevRectWidth(), nDh = DevRectHeight();
    if (!(dW > 0.0 && dH > 0.0) || !std::isfinite(dW) || !std::isfinite(dH) || nDw < 1 || nDh < 1)
        return 0;
    m_coArea = m_coDevRect;
    if (IsProportional()) {
        // A pixel without extent has no aspect ratio.
        if (m_unPixelX == 0 || m_unPixelY == 0)
            return 0;
        double dPx = IsXYChanged() ? m_unPixelY : m_unPixelX;
        double dPy = IsXYChanged() ? m_unPixelX : m_unPixelY;
        double dR = dPy / dPx;
        double dFx = dW / nDw, dFy = dH / nDh * dR;
        // The used extent keeps at least one pixel, so that a very flat
        // drawing still has finite factors.
        if (dFy <= dFx) {
            int nH = int(std::fmin(nDh, std::fmax(1.0, std::trunc(dH / dW * nDw * dR + 0.5))));
            if (IsXYChanged())
                ShrinkHorizontally(nH);
            else
                ShrinkVertically(nH);
            nDh = nH;
        } else {
            int nW = int(std::fmin(nDw, std::fmax(1.0, std::trunc(dW / dH * nDh / dR + 0.5))));
            if (IsXYChanged())
                ShrinkVertically(nW);
            else
                ShrinkHorizontally(nW);
            nDw = nW;
        }
    }
    // Point 1 maps to the area's start; a rectangle given backwards mirrors.
    m_dXFac = (m_dX2 < m_dX1 ? -dW : dW) / nDw;
    m_dYFac = (m_dY2 < m_dY1 ? -dH : dH) / nDh;
    m_unFlags |= Initialized;
    return 1;
}

void GScale::ShrinkHorizontally(int nUsed)
{
    const DevRect& coDev = m_coDevRect;
    if (IsHLeft()) {
        m_coArea.right = short(coDev.left + nUsed);
    } else if (IsHRight()) {
        m_coArea.left = short(coDev.right - nUsed);
    } else if (IsHCenter()) {
        m_coArea.left = short(coDev.left + (coDev.Width() - nUsed) / 2);
        m_coArea.right = short(m_coArea.left + nUsed);
    }
}

void GScale::ShrinkVertically(int nUsed)
{
    const DevRect& coDev = m_coDevRect;
    if (IsVBottom()) {
        m_coArea.top = short(coDev.bottom - nUsed);
    } else if (IsVTop()) {
        m_coArea.bottom = short(coDev.top + nUsed);
    } else if (IsVCenter()) {
        m_coArea.top = short(coDev.top + (coDev.Height() - nUsed) / 2);
        m_coArea.bottom = short(m_coArea.top + nUsed);
    }
}

// Conversions

short GScale::LogToDcAlong(double dOffset, double dFac, short nOrigin, short nAreaStart, short nAreaEnd,
                           int nTurned) const
{
    if (!IsInitialized())
        return 0;
    // Rounded to the nearest pixel, halves upwards: floor rather than a cut
    // toward zero, which would put every position before the area's start
    // one pixel off.
    double dPixels = std::floor(dOffset / dFac + 0.5);
    if (nTurned)
        return ClipShort(nOrigin - dPixels + nAreaEnd);
    return ClipShort(nOrigin + dPixels + nAreaStart);
}

double GScale::DcToLogAlong(short nValue, double dFac, double dStart, short nOrigin, short nAreaStart,
                            short nAreaEnd, int nTurned) const
{
    if (!IsInitialized())
        return 0.0;
    // The differences are formed in int, so that a scrolled origin near the
    // end of the 16-bit range does not wrap.
    int nRel = nTurned ? nAreaEnd + nOrigin - nValue : nValue - nOrigin - nAreaStart;
    return nRel * dFac + dStart;
}

short GScale::XLogToDc(double dX) const
{
    if (IsXYChanged())
        return LogToDcAlong(dX - m_dX1, m_dXFac, m_coOrigin.x, m_coArea.top, m_coArea.bottom, IsYTurned());
    return LogToDcAlong(dX - m_dX1, m_dXFac, m_coOrigin.x, m_coArea.left, m_coArea.right, 0);
}

short GScale::YLogToDc(double dY) const
{
    if (IsXYChanged())
        return LogToDcAlong(dY - m_dY1, m_dYFac, m_coOrigin.y, m_coArea.left, m_coArea.right, 0);
    return LogToDcAlong(dY - m_dY1, m_dYFac, m_coOrigin.y, m_coArea.top, m_coArea.bottom, IsYTurned());
}

DevPoint GScale::LogToDc(const GPoint& coP) const
{
    if (IsXYChanged())
        return DevPoint(YLogToDc(coP.y), XLogToDc(coP.x));
    return DevPoint(XLogToDc(coP.x), YLogToDc(coP.y));
}

void GScale::LogToDc(const GPoint* pcoFrom, DevPoint* pcoTo, unsigned short unCount) const
{
    if (!IsInitialized() || !pcoFrom || !pcoTo)
        return;
    for (unsigned short i = 0; i < unCount; ++i)
        pcoTo[i] = LogToDc(pcoFrom[i]);
}

double GScale::XDcToLog(short nX) const
{
    if (IsXYChanged())
        return DcToLogAlong(nX, m_dXFac, m_dX1, m_coOrigin.x, m_coArea.top, m_coArea.bottom, IsYTurned());
    return DcToLogAlong(nX, m_dXFac, m_dX1, m_coOrigin.x, m_coArea.left, m_coArea.right, 0);
}

double GScale::YDcToLog(short nY) const
{
    if (IsXYChanged())
        return DcToLogAlong(nY, m_dYFac, m_dY1, m_coOrigin.y, m_coArea.left, m_coArea.right, 0);
    return DcToLogAlong(nY, m_dYFac, m_dY1, m_coOrigin.y, m_coArea.top, m_coArea.bottom, IsYTurned());
}

GPoint GScale::DcToLog(const DevPoint& coP) const
{
    // With the axes exchanged the device's vertical coordinate carries
    // logical x, so the point is the exact reverse of LogToDc.
    if (IsXYChanged())
        return GPoint(XDcToLog(coP.y), YDcToLog(coP.x));
    return GPoint(XDcToLog(coP.x), YDcToLog(coP.y));
}

void GScale::DcToLog(const DevPoint* pcoFrom, GPoint* pcoTo, unsigned short unCount) const
{
    if (!IsInitialized() || !pcoFrom || !pcoTo)
        return;
    for (unsigned short i = 0; i < unCount; ++i)
        pcoTo[i] = DcToLog(pcoFrom[i]);
}

// Sizes

DevPoint GScale::DcSize(double dW, double dH) const
{
    DevPoint coP = LogToDc(GPoint(dW, dH)), coZero = LogToDc(GPoint(0.0, 0.0));
    return DevPoint(ClipShort(Abs(coP.x - coZero.x)), ClipShort(Abs(coP.y - coZero.y)));
}

GPoint GScale::LogSize(short nDx, short nDy) const
{
    GPoint coP = DcToLog(DevPoint(nDx, nDy)), coZero = DcToLog(DevPoint(0, 0));
    return GPoint(std::fabs(coP.x - coZero.x), std::fabs(coP.y - coZero.y));
}

short GScale::DcWidth(double dW) const
{
    DevPoint coSize = DcSize(dW, 0.0);
    return IsXYChanged() ? coSize.y : coSize.x;
}

short GScale::DcHeight(double dH) const
{
    DevPoint coSize = DcSize(0.0, dH);
    return IsXYChanged() ? coSize.x : coSize.y;
}

double GScale::LogWidth(short nDx) const
{
    return IsXYChanged() ? LogSize(0, nDx).x : LogSize(nDx, 0).x;
}

double GScale::LogHeight(short nDy) const
{
    return IsXYChanged() ? LogSize(nDy, 0).y : LogSize(0, nDy).y;
}

// Area-relative positions

short GScale::RelX(short nX) const { return ClipShort(nX - m_coArea.left); }
short GScale::AbsX(short nX) const { return ClipShort(m_coArea.left + nX); }

short GScale::RelY(short nY) const
{
    return ClipShort(IsYTurned() ? m_coArea.bottom - nY : nY - m_coArea.top);
}

short GScale::AbsY(short nY) const
{
    return ClipShort(IsYTurned() ? m_coArea.bottom - nY : m_coArea.top + nY);
}

// Flags

void GScale::SetFlag(unsigned short unFlag, int nOn)
{
    if (nOn)
        m_unFlags |= unFlag;
    else
        m_unFlags &= ~unFlag;
}

void GScale::Changed(int nRecalc)
{
    m_unFlags &= ~Initialized;
    if (nRecalc)
        CalcNew();
}
