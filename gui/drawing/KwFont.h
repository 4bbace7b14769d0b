#pragma once

#include "Kw25Api.h"
#include "KwGdiTypes.h"
#include "KwObjGDI.h"

class KwDC;

// A font: its description (KwLogFont) and, made on demand for a device
// context, its system font. A font without typeface name has no system
// font.
class KW25_API KwFont : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwFont, KwObjGDI)
public:
    KwFont() = default;
    KwFont(const char* pszTypeface, const char* pszName);
    KwFont(const KwFont& coFont, const char* pszName);
    KwFont(const KwLogFont& coLogFont, const char* pszName);
    KwFont(const KwFont& coOther);
    KwFont& operator=(const KwFont& coOther);
    ~KwFont() override = default;

    // Description. Changes drop the system font.
    const KwLogFont& GetLogFont() const { return m_coLogFont; }
    void SetLogFont(const KwLogFont& coLogFont);
    const char* GetName() const { return m_coLogFont.GetName(); }
    void SetName(const char* pszTypeface);
    short GetHeight() const { return m_coLogFont.m_nHeight; }
    void SetHeight(short nHeight);
    int GetBold() const { return m_coLogFont.m_unWeight == 2; }
    void SetBold(int nBold);
    int GetItalic() const { return m_coLogFont.m_nItalic; }
    void SetItalic(int nItalic);

    // The system font for pcoDC (a screen context when it is null or has no
    // handle). A negative height (the character height) is replaced after
    // creation by the cell height, ascent + descent, in that context.
    int SysCreate() override { return SysCreate(nullptr); }
    virtual int SysCreate(KwDC* pcoDC);
    void SysDelete() override;
    // The size in points in the context (a screen context when null), kept
    // until the system font goes.
    short GetPointSize(KwDC* pcoDC);

private:
    KwLogFont m_coLogFont;
    short m_nPointSize { -1 };
};
