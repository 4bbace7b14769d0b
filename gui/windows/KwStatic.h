#pragma once

#include "Kw25Api.h"
#include "KwBitmap.h"
#include "KwDib.h"
#include "KwWChild.h"

// A child that shows either a picture of the installed resource files,
// named by its id, or else its text.
//
// The picture is centred in the content rectangle or stretched over it,
// optionally with one colour left transparent. The text is drawn line by
// line (lines end at '\n'), aligned in the content rectangle, in the
// foreground colour and the used font, greyed when disabled.
//
// Record: class "KwStatic", type 31; after those of KwWChild the
// optional variables 311 (short, alignment: 0x01 left, 0x02 centred, 0x04
// right; 0x10 top, 0x20 vertically centred, else bottom; 0x11 by
// default), 312 (short, format: 0x02 wrap words, 0x04 show hot-key marks;
// 0 by default), 321 (string, the picture id), 322 (short, picture flags:
// 0x1 stretched, 0x2 transparent colour used) and 323 (long, the
// transparent colour as RGB, red in the lowest byte). The text is the
// initial text (43).
class KW25_API KwStatic : public KwWChild {
    KW_DYNAMIC_CLASS(KwStatic, KwWChild)
public:
    enum : unsigned short { VarAlign = 311, VarFormat = 312 };
    enum : unsigned short { VarPictureId = 321, VarPictureFlags = 322, VarTransparentColor = 323 };
    enum : unsigned short { FlagStretched = 0x0001, FlagTransparent = 0x0002 };

    KwStatic() = default;
    explicit KwStatic(const char* pszName) : KwWChild(pszName) {}
    KwStatic(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText);
    ~KwStatic() override = default;
    KwStatic& operator=(const KwStatic&) = delete;

    // Text
    unsigned short GetAlign() const { return m_unAlign; }
    void SetAlign(unsigned short unAlign, int nRedraw);
    unsigned short GetFormat() const { return m_unFormat; }
    void SetFormat(unsigned short unFormat, int nRedraw);
    // The size the text needs in the used font (the widest line, the lines
    // together), measured on the screen.
    KwSize MeasureText() const;

    // Picture: loads the picture of the id (none for an empty or unknown
    // id); 1 when one is shown.
    int SetPictureId(const char* pszId, int nRedraw);
    const TString& GetPictureId() const { return m_coPictureId; }
    const KwDib& GetPicture() const { return m_coDib; }
    unsigned short GetPictureFlags() const { return m_unPictureFlags; }
    void SetPictureFlags(unsigned short unFlags, int nRedraw);
    unsigned long GetTransparentColor() const { return m_ulTransparent; }
    void SetTransparentColor(unsigned long ulColor, int nRedraw);

    operator KwStatic*() override { return this; }
    operator const KwStatic*() const override { return this; }
    KwWnd* Copy() const override { return new KwStatic(*this); }
    int SetText(const char* pszText) override;
    int NotifyEnabled(int nEnabled) override;
    int EvPaint(KwPaintDC& coDC) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwStatic(const KwStatic& coOther);
    void WriteData(TFile& coFile) const override;

private:
    void PaintPicture(KwPaintDC& coDC);
    void PaintText(KwPaintDC& coDC);

    unsigned short m_unAlign { 0x11 };
    unsigned short m_unFormat { 0 };
    TString m_coPictureId;
    unsigned short m_unPictureFlags { 0 };
    unsigned long m_ulTransparent { 0 };
    KwDib m_coDib;
    KwBitmap m_coBitmap;   // the picture made for the transparent look
};
