#pragma once

#include "KwtlApi.h"
#include "TResource.h"

#include <cstddef>

// One input format for TFmtText: the template ("~" marks an input position,
// every other character is fixed), the validity code of every position and
// the area flags. The texts are kept as given; TFmtText checks them again
// when it takes them, so a format read from a file with texts of different
// lengths is refused there instead of being used.
//
// In resource files the three texts are the string variables VarTemplate,
// VarFormat and VarArea after those of TResource; a missing text is stored
// as a null string. What is read is kept as read (an empty text as null).
class KWTL_API TFmtTextFormat : public TResource {
    KW_DYNAMIC_CLASS(TFmtTextFormat, TResource)
public:
    enum : unsigned short { VarTemplate = 72, VarFormat = 73, VarArea = 74 };

    TFmtTextFormat() = default;
    explicit TFmtTextFormat(const char* pszResId);
    TFmtTextFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea, const char* pszResId = nullptr);
    // Copies the texts (with the checks of SetFormat) and the resource fields.
    TFmtTextFormat(const TFmtTextFormat& coOther);
    TFmtTextFormat& operator=(const TFmtTextFormat& coOther);
    ~TFmtTextFormat() override;

    // Format
    // 0 (and all three texts null) when template or format is null or empty,
    // longer than TFmtTextFormat::MaxLen or of different lengths. The area
    // flags are kept only when they have the template's length.
    int SetFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea);
    const char* GetTemplate() const { return m_pszTemplate; }
    const char* GetFormat() const { return m_pszFormat; }
    const char* GetArea() const { return m_pszArea; }

    // Every position and the length itself fit a signed 16-bit value, which
    // the selection and the area positions of TFmtText are.
    static constexpr unsigned short MaxLen = 32767;

    // Reading
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;
    int NotifyReadBegin() override;
    void FreeTexts();

private:
    friend class TFmtText;   // keeps its texts by the same rules

    // The length of a text, or MaxLen + 1 for a longer one: never reads further.
    static size_t BoundedLen(const char* psz);
    // The first nLen bytes with a zero after them (new[]).
    static char* CopyText(const char* psz, size_t nLen);

    char* m_pszTemplate { nullptr };    // owned; null when unset
    char* m_pszFormat { nullptr };      // owned; null when unset
    char* m_pszArea { nullptr };        // owned; null when unset
};
