#pragma once

#include "KcntApi.h"
#include "KwContent.h"
#include "TString.h"

#include <memory>

class KwFont;

// A text shown in a window's content rectangle: captions, labels, path
// displays, the percentage of a progress indicator. Lines are separated by
// line feeds, an ampersand marks the hot-key character ("&&" is a literal
// ampersand), and the extra space between lines is a percentage of the
// height of the letter "A".
//
// Fonts, in the order GetUsedFont looks: the window's resource font (when
// it has a number), the content's own font, the window's font.
class KCNT_API KwCntText : public KwContent {
    KW_DYNAMIC_CLASS(KwCntText, KwContent)
public:
    enum : unsigned short { VarText = 2021, VarLineDist = 2022 };
    // Formatted texts are cut to this many characters (the terminator
    // included).
    enum : int { FormatBufferSize = 1024 };
    // TextOutRect formats: painted with hot-key marks, measured with them.
    enum : unsigned short { FormatPaint = 0x04, FormatMeasure = 0x14 };

    KwCntText() = default;
    KwCntText(const char* pszText, unsigned short unAlign, KwWnd* pcoWnd = nullptr);
    // Copies text, line distance and a copy of the own font (its system
    // font made at once), never the window.
    KwCntText(const KwCntText& coOther);
    KwCntText& operator=(const KwCntText& coOther);
    ~KwCntText() override;

    // Text. SetText asks a linked window first (EvTextWillChange); a
    // refusal (0) changes nothing and answers 0. An equal text changes
    // nothing and repaints nothing. Null empties the text.
    int SetText(const char* pszText);
    int SetTextFt(const char* pszFormat, ...);
    void RemoveText() { SetText(nullptr); }
    const TString& GetText() const { return m_coText; }
    // Copies at most nSize - 1 characters and a terminator; answers the
    // count (0 and nothing written for a size of 0 or less).
    short GetText(char* pszBuffer, short nSize) const;
    short GetTextLen() const { return static_cast<short>(m_coText.Strlen()); }

    // Line spacing in percent of the height of "A".
    short GetPercentLineDist() const { return m_nLineDist; }
    void SetPercentLineDist(short nPercent, int nRedraw);

    // Fonts
    const KwFont* GetOwnFont() const { return m_pcoOwnFont.get(); }
    // Keeps a copy as own font (its system font made at once), then
    // UseOwnFont.
    void SetOwnFont(const KwFont& coFont, int nRedraw);
    // The window's resource font number is cleared (-1).
    void UseOwnFont(int nRedraw);
    void UseResFont(short nFont, int nRedraw);
    // Clears the resource font number and drops the own font.
    void UseDefaultFont(int nRedraw);

    // Overrides of KwContent
    KwContent* Copy() const override { return new KwCntText(*this); }
    int Paint(KwDC& coDC, const KwRect* pcoRect) override;
    KwRect CalcCurrentRect(KwDC& coDC) const override;
    KwSize CalcCurrentSize(KwDC& coDC) const override;
    KwRect CalcFocusRect(KwDC& coDC) const override;
    int SetContent(const char* pszContent) override;
    void EmptyContent() override { SetText(nullptr); }
    TString GetTextContent() const override { return m_coText; }
    const KwFont* GetUsedFont() const override;
    // The character after the first single "&", in lower case; 0 without.
    char GetCharUnderlined() const override;

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;
    void WriteChildren(TFile& coFile) const override;

private:
    void Redraw(int nRedraw) const;
    // The spacing between lines in the context: height of "A" x percent.
    short LineSpacing(KwDC& coDC) const;
    // Selects the used font into the context (made first when needed) and
    // answers the font selected before.
    const KwFont* SelectUsedFont(KwDC& coDC) const;

    TString m_coText;
    short m_nLineDist { 5 };
    std::unique_ptr<KwFont> m_pcoOwnFont;   // owned; null for none
};
