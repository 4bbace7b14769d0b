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

// What pens and brushes share: a colour, a style code and a second code
// (the pen's width, the brush's hatch), stored as the variables 101 (style),
// 102 (second code) and 103 (colour). A new description drops the system
// object; the next selection makes it.
class KW25_API KwStyledGDI : public KwObjGDI {
public:
    enum : unsigned short { VarStyle = 101, VarSecond = 102, VarColor = 103 };

    unsigned long GetColor() const { return m_coColor.GetRealColor(); }
    unsigned short GetStyle() const { return m_unStyle; }

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwStyledGDI(const KwPaintColor& coColor, unsigned short unStyle, short nSecond)
        : m_coColor(coColor), m_unStyle(unStyle), m_nSecond(nSecond) {}
    KwStyledGDI(const KwStyledGDI& coOther)
        : KwObjGDI(coOther), m_coColor(coOther.m_coColor), m_unStyle(coOther.m_unStyle), m_nSecond(coOther.m_nSecond) {}
    KwStyledGDI& operator=(const KwStyledGDI& coOther);
    explicit KwStyledGDI(TOnlySecondInternalUse coTag) : KwObjGDI(coTag) {}

    void SetDescription(unsigned long ulColor, unsigned short unStyle, short nSecond);
    void WriteData(TFile& coFile) const override;
    const KwPaintColor& PaintColor() const { return m_coColor; }
    short GetSecond() const { return m_nSecond; }

private:
    KwPaintColor m_coColor;
    unsigned short m_unStyle { 1 };
    short m_nSecond { 0 };
};

// A pen: style code (0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot,
// 5 dash-dot-dot, 6 inside frame; others solid), width and colour.
class KW25_API KwPen : public KwStyledGDI {
    KW_DYNAMIC_CLASS(KwPen, KwStyledGDI)
public:
    enum : unsigned short { VarWidth = VarSecond };

    KwPen() : KwStyledGDI(KwPaintColor(), 1, 1) {}
    KwPen(unsigned long ulColor, unsigned short unStyle, short nWidth) : KwStyledGDI(KwPaintColor(ulColor), unStyle, nWidth) {}
    KwPen(const KwSysColor& coColor, unsigned short unStyle, short nWidth) : KwStyledGDI(KwPaintColor(coColor), unStyle, nWidth) {}
    KwPen(const KwPen& coOther) : KwStyledGDI(coOther) {}
    KwPen& operator=(const KwPen& coOther) { KwStyledGDI::operator=(coOther); return *this; }
    ~KwPen() override = default;

    void Set(unsigned long ulColor, unsigned short unStyle, short nWidth) { SetDescription(ulColor, unStyle, nWidth); }
    short GetWidth() const { return GetSecond(); }

    int SysCreate() override;
};

// A brush: style code (0 hollow, 1 solid, 2 hatched, 3 pattern, 4 device-
// independent pattern; others hollow), hatch code (1 to 6; others none)
// and colour. Pattern brushes take their bitmap from SetPattern.
class KW25_API KwBrush : public KwStyledGDI {
    KW_DYNAMIC_CLASS(KwBrush, KwStyledGDI)
public:
    enum : unsigned short { VarHatch = VarSecond };

    KwBrush() : KwStyledGDI(KwPaintColor(), 1, 0) {}
    KwBrush(unsigned long ulColor, unsigned short unStyle, short nHatch) : KwStyledGDI(KwPaintColor(ulColor), unStyle, nHatch) {}
    KwBrush(const KwSysColor& coColor, unsigned short unStyle, short nHatch) : KwStyledGDI(KwPaintColor(coColor), unStyle, nHatch) {}
    KwBrush(const KwBrush& coOther) : KwStyledGDI(coOther), m_hPattern(coOther.m_hPattern) {}
    KwBrush& operator=(const KwBrush& coOther);
    ~KwBrush() override = default;

    void Set(unsigned long ulColor, unsigned short unStyle, short nHatch) { SetDescription(ulColor, unStyle, nHatch); }
    // The bitmap handle of a pattern brush (not owned).
    void SetPattern(KwHandle hBitmap);
    short GetHatch() const { return GetSecond(); }

    int SysCreate() override;

private:
    KwHandle m_hPattern { 0 };
};
