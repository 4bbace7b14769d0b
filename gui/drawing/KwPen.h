#pragma once

#include "Kw25Api.h"
#include "KwColor.h"
#include "KwObjGDI.h"

// The colour of a pen or brush: an RGB value, or a colour number of the
// application's colour table looked up when the system object is made.
class KW25_API KwPaintColor {
public:
    KwPaintColor() = default;
    explicit KwPaintColor(unsigned long ulRGB) : m_ulValue(ulRGB) {}
    explicit KwPaintColor(const KwSysColor& coColor) : m_ulValue(static_cast<unsigned short>(coColor.GetIndex())), m_nIsNumber(1) {}

    unsigned long GetRealColor() const;
    unsigned long GetStored() const { return m_ulValue; }
    int IsNumber() const { return m_nIsNumber; }
    void Set(unsigned long ulRGB) { m_ulValue = ulRGB; m_nIsNumber = 0; }

private:
    unsigned long m_ulValue { 0 };
    int m_nIsNumber { 0 };
};

// A pen: style code (0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot,
// 5 dash-dot-dot, 6 inside frame; others solid), width and colour.
class KW25_API KwPen : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwPen, KwObjGDI)
public:
    enum : unsigned short { VarStyle = 101, VarWidth = 102, VarColor = 103 };

    KwPen() = default;
    KwPen(unsigned long ulColor, unsigned short unStyle, short nWidth);
    KwPen(const KwSysColor& coColor, unsigned short unStyle, short nWidth);
    KwPen(const KwPen& coOther);
    KwPen& operator=(const KwPen& coOther);
    ~KwPen() override = default;

    // A new description drops the system pen; the next selection makes it.
    void Set(unsigned long ulColor, unsigned short unStyle, short nWidth);
    unsigned long GetColor() const { return m_coColor.GetRealColor(); }
    unsigned short GetStyle() const { return m_unStyle; }
    short GetWidth() const { return m_nWidth; }

    int SysCreate() override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    KwPaintColor m_coColor;
    unsigned short m_unStyle { 1 };
    short m_nWidth { 1 };
};

// A brush: style code (0 hollow, 1 solid, 2 hatched, 3 pattern, 4 device-
// independent pattern; others hollow), hatch code (1 to 6; others none)
// and colour. Pattern brushes take their bitmap from SetPattern.
class KW25_API KwBrush : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwBrush, KwObjGDI)
public:
    enum : unsigned short { VarStyle = 101, VarHatch = 102, VarColor = 103 };

    KwBrush() = default;
    KwBrush(unsigned long ulColor, unsigned short unStyle, short nHatch);
    KwBrush(const KwSysColor& coColor, unsigned short unStyle, short nHatch);
    KwBrush(const KwBrush& coOther);
    KwBrush& operator=(const KwBrush& coOther);
    ~KwBrush() override = default;

    void Set(unsigned long ulColor, unsigned short unStyle, short nHatch);
    // The bitmap handle of a pattern brush (not owned).
    void SetPattern(KwHandle hBitmap);
    unsigned long GetColor() const { return m_coColor.GetRealColor(); }
    unsigned short GetStyle() const { return m_unStyle; }
    short GetHatch() const { return m_nHatch; }

    int SysCreate() override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    KwPaintColor m_coColor;
    unsigned short m_unStyle { 1 };
    short m_nHatch { 0 };
    KwHandle m_hPattern { 0 };
};
