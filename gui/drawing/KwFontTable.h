#pragma once

#include "Kw25Api.h"
#include "KwFont.h"
#include "KwRes.h"

#include <memory>

// The ten numbered fonts (0 to 9) that windows refer to by number (their
// resource font, variable 110). A slot is empty or holds a font whose
// resource id is its name; an empty slot answers the application's default
// font. With auto re-create on, every font keeps its system font.
//
// Record: class "KwFontTable", type 31, no variables of its own; its ten
// slots are its child records in slot order, an empty slot written as a
// default KwFont without name. A child font with an empty name empties its
// slot.
class KW25_API KwFontTable : public KwRes {
    KW_DYNAMIC_CLASS(KwFontTable, KwRes)
public:
    enum : short { Count = 10 };

    KwFontTable() = default;
    explicit KwFontTable(const char* pszName) : KwRes(pszName) {}
    KwFontTable(const KwFontTable& coOther);
    KwFontTable& operator=(const KwFontTable& coOther);
    ~KwFontTable() override = default;

    // Slots. GetFont of an empty slot or a number outside 0 to 9 answers
    // the application's default font.
    const KwFont& GetFont(short nIndex) const;
    const KwFont& GetFont(const char* pszName) const { return GetFont(GetFontIndex(pszName)); }
    const KwFont& operator[](short nIndex) const { return GetFont(nIndex); }
    // Makes the slot's font when it is empty and copies the description
    // into it (its name stays the slot's); 0 out of range.
    int SetFont(short nIndex, const KwFont& coFont);
    int SetFont(const char* pszName, const KwFont& coFont) { return SetFont(GetFontIndex(pszName), coFont); }
    // Deletes the slot's font; 0 out of range or when the slot is empty.
    int RemoveFont(short nIndex);
    int ChgFontName(short nIndex, const char* pszNewName);
    int ChgFontName(const char* pszName, const char* pszNewName) { return ChgFontName(GetFontIndex(pszName), pszNewName); }
    int HasFont(const char* pszName) const { return GetFontIndex(pszName) >= 0; }
    int HasFont(short nIndex) const { return nIndex >= 0 && nIndex < Count && m_apcoFonts[nIndex]; }
    // The first slot whose font has the name (without regard to case); -1
    // for an empty or unknown name.
    short GetFontIndex(const char* pszName) const;
    TString GetFontName(short nIndex) const;

    // When the flag changes, every present font's system font is made (on)
    // or deleted (off).
    void SetAutoReCreate(int nOn);
    int IsAutoReCreate() const { return m_nAutoReCreate; }

    // The application's default font (a fixed one without application).
    static const KwFont& DefaultFont();

    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    void WriteChildren(TFile& coFile) const override;

private:
    std::unique_ptr<KwFont> m_apcoFonts[Count];
    int m_nAutoReCreate { 0 };
};
