#pragma once

#include "Kw25Api.h"
#include "KwRect.h"

// Plain descriptions that drawing objects and device contexts exchange with
// the adapter.

// The description of a font. Codes, not system values: weight 0 any,
// 1 normal, 2 bold; character set, pitch and family as the code tables of
// KwCodes. Two descriptions are equal when the typeface names are equal
// (case-sensitive) and all numbers and flags are equal; the additional
// text takes no part.
class KW25_API KwLogFont {
public:
    enum : int { TextSize = 128 };   // 127 characters and the terminator

    KwLogFont();
    virtual ~KwLogFont() = default;

    // Texts: cut to 127 characters.
    const char* GetName() const { return m_szName; }
    void SetName(const char* pszName);
    const char* GetAdditional() const { return m_szAdditional; }
    void SetAdditional(const char* pszText);

    bool operator==(const KwLogFont& coOther) const;
    bool operator!=(const KwLogFont& coOther) const { return !(*this == coOther); }

    short m_anFurther[4] { 0, 0, 0, 0 };
    short m_nHeight { 0 };
    short m_nWidth { 0 };
    short m_nEscapement { 0 };
    short m_nOrientation { 0 };
    unsigned short m_unWeight { 1 };
    int m_nItalic { 0 };
    int m_nUnderline { 0 };
    int m_nStrikeOut { 0 };
    unsigned short m_unCharSet { 0 };
    unsigned short m_unPitch { 0 };
    unsigned short m_unFamily { 0 };

private:
    char m_szAdditional[TextSize];
    char m_szName[TextSize];
};

// The metrics of the font selected in a device context.
struct KW25_API KwTextMetrics {
    long lHeight { 0 };
    long lAscent { 0 };
    long lDescent { 0 };
    long lInternalLeading { 0 };
    long lExternalLeading { 0 };
    long lAveCharWidth { 0 };
    long lMaxCharWidth { 0 };
    long lWeight { 0 };
    long lOverhang { 0 };
    unsigned char bItalic { 0 };
    unsigned char bUnderlined { 0 };
    unsigned char bStruckOut { 0 };
    unsigned char bPitchAndFamily { 0 };
    unsigned char bCharSet { 0 };
};

// One entry of a logical palette.
struct KwPaletteEntry {
    unsigned char bRed { 0 };
    unsigned char bGreen { 0 };
    unsigned char bBlue { 0 };
    unsigned char bFlags { 0 };
};

// What BeginPaint hands out: the area to repaint and whether the
// background must be erased. The adapter keeps the system's own record in
// the opaque block, so that no allocation is needed per paint.
struct KW25_API KwPaintStruct {
    KwRect coPaint;
    int nErase { 0 };
    alignas(8) unsigned char abSystem[96] {};
};

// A colour value: red in the lowest byte, then green and blue.
inline unsigned long KwRGB(unsigned char bRed, unsigned char bGreen, unsigned char bBlue)
{
    return static_cast<unsigned long>(bRed) | (static_cast<unsigned long>(bGreen) << 8)
        | (static_cast<unsigned long>(bBlue) << 16);
}
