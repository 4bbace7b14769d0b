#pragma once

#include "Kw25Api.h"
#include "KwWChild.h"

// A child that shows its text: line by line (lines end at '\n'), aligned
// in its content rectangle, in its foreground colour and its used font,
// greyed when disabled.
//
// Record: class "KwTextChild", type 31; after those of KwWChild the
// variables 311 (short, alignment: 0x01 left, 0x02 centred, 0x04 right;
// 0x10 top, 0x20 vertically centred, else bottom; 0x11 by default) and
// 312 (short, format: 0x02 wrap words, 0x04 show hot-key marks; 0 by
// default). The text is the initial text (43).
class KW25_API KwTextChild : public KwWChild {
    KW_DYNAMIC_CLASS(KwTextChild, KwWChild)
public:
    enum : unsigned short { VarAlign = 311, VarFormat = 312 };

    KwTextChild() = default;
    explicit KwTextChild(const char* pszName) : KwWChild(pszName) {}
    KwTextChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText);
    ~KwTextChild() override = default;
    KwTextChild& operator=(const KwTextChild&) = delete;

    unsigned short GetAlign() const { return m_unAlign; }
    void SetAlign(unsigned short unAlign, int nRedraw);
    unsigned short GetFormat() const { return m_unFormat; }
    void SetFormat(unsigned short unFormat, int nRedraw);
    // The size the text needs in the used font (the widest line, the lines
    // together), measured on the screen.
    KwSize MeasureText() const;

    KwWnd* Copy() const override { return new KwTextChild(*this); }
    int SetText(const char* pszText) override;
    int NotifyEnabled(int nEnabled) override;
    int EvPaint(KwPaintDC& coDC) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwTextChild(const KwTextChild& coOther) = default;
    void WriteData(TFile& coFile) const override;

private:
    unsigned short m_unAlign { 0x11 };
    unsigned short m_unFormat { 0 };
};
