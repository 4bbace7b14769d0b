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
    // Resource variables (record type 31), written in this order: 5065
    // additional text, 5050 typeface, 5051 height, 5066 first further
    // value, 5052 width, 5053 escapement, 5054 orientation, 5055 weight
    // code, 5056 italic, 5057 underlined, 5058 struck out, 5059 character
    // set, 5063 pitch, 5064 family, 5067 to 5069 further values. 5060 to
    // 5062 are read and ignored.
    enum : unsigned short {
        VarName = 5050, VarHeight = 5051, VarWidth = 5052, VarEscapement = 5053, VarOrientation = 5054,
        VarWeight = 5055, VarItalic = 5056, VarUnderline = 5057, VarStrikeOut = 5058, VarCharSet = 5059,
        VarIgnoredFirst = 5060, VarIgnoredLast = 5062, VarPitch = 5063, VarFamily = 5064, VarAdditional = 5065,
        VarFurther1 = 5066, VarFurther2 = 5067, VarFurther3 = 5068, VarFurther4 = 5069,
    };

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

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    KwLogFont m_coLogFont;
    short m_nPointSize { -1 };
};
