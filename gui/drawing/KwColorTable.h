#pragma once

#include "Kw25Api.h"
#include "KwColor.h"

#include <memory>

// The 256 numbered colours (0 to 255) that windows refer to by number.
// Every entry exists from construction on (an unnamed colour of value 0);
// an entry's name is its resource id. In a resource file the entries are
// the table's 256 child records, in number order.
class KW25_API KwColorTable : public KwRes {
    KW_DYNAMIC_CLASS(KwColorTable, KwRes)
public:
    enum : short { Count = 256 };

    KwColorTable();
    explicit KwColorTable(const char* pszName);
    KwColorTable(const KwColorTable& coOther);
    KwColorTable& operator=(const KwColorTable& coOther);
    ~KwColorTable() override;

    // The framework's default colours: "DefaultColorTable" with Black, Blue,
    // Green, Cyan, Red, Magenta, Yellow, White, Gray, LightBlue, LightGreen,
    // LightCyan, LightRed, LightMagenta, Brown, LightGray as 0 to 15.
    static const KwColorTable& Default();
    void SetDefaultColors();

    // Entries. GetColor of a number outside 0 to 255 answers a shared
    // colour whose value is set to 0 on every such call.
    const KwColor& GetColor(short nIndex) const;
    const KwColor& GetColor(const char* pszName) const;
    const KwColor& operator[](short nIndex) const { return GetColor(nIndex); }
    const KwColor& operator[](const char* pszName) const { return GetColor(pszName); }
    int SetColor(short nIndex, const KwColor& coColor);
    int SetColor(const char* pszName, const KwColor& coColor);
    int ChgColorName(short nIndex, const char* pszNewName);
    int ChgColorName(const char* pszName, const char* pszNewName);
    int HasColor(const char* pszName) const { return GetColorIndex(pszName) >= 0; }
    // The first entry named so, without regard to case; -1 for an empty or
    // unknown name.
    short GetColorIndex(const char* pszName) const;
    TString GetColorName(short nIndex) const;

    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    void WriteChildren(TFile& coFile) const override;

private:
    std::unique_ptr<KwColor> m_apcoColors[Count];
};
