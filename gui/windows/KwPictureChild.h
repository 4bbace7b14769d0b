#pragma once

#include "Kw25Api.h"
#include "KwBitmap.h"
#include "KwDib.h"
#include "KwWChild.h"

// A child that shows a picture of the installed resource files, named by
// its id: centred in its content rectangle or stretched over it,
// optionally with one colour left transparent.
//
// Record: class "KwPictureChild", type 31; after those of KwWChild the
// variables 321 (string, the picture id), 322 (short, flags: 0x1
// stretched, 0x2 transparent colour used) and 323 (long, the transparent
// colour as RGB, red in the lowest byte).
class KW25_API KwPictureChild : public KwWChild {
    KW_DYNAMIC_CLASS(KwPictureChild, KwWChild)
public:
    enum : unsigned short { VarPictureId = 321, VarPictureFlags = 322, VarTransparentColor = 323 };
    enum : unsigned short { FlagStretched = 0x0001, FlagTransparent = 0x0002 };

    KwPictureChild() = default;
    explicit KwPictureChild(const char* pszName) : KwWChild(pszName) {}
    KwPictureChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszPictureId);
    ~KwPictureChild() override = default;
    KwPictureChild& operator=(const KwPictureChild&) = delete;

    // Loads the picture of the id (none for an empty or unknown id); 1 when
    // one is shown.
    int SetPictureId(const char* pszId, int nRedraw);
    const TString& GetPictureId() const { return m_coPictureId; }
    const KwDib& GetPicture() const { return m_coDib; }
    unsigned short GetPictureFlags() const { return m_unPictureFlags; }
    void SetPictureFlags(unsigned short unFlags, int nRedraw);
    unsigned long GetTransparentColor() const { return m_ulTransparent; }
    void SetTransparentColor(unsigned long ulColor, int nRedraw);

    KwWnd* Copy() const override { return new KwPictureChild(*this); }
    int EvPaint(KwPaintDC& coDC) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwPictureChild(const KwPictureChild& coOther);
    void WriteData(TFile& coFile) const override;

private:
    TString m_coPictureId;
    unsigned short m_unPictureFlags { 0 };
    unsigned long m_ulTransparent { 0 };
    KwDib m_coDib;
    KwBitmap m_coBitmap;   // the picture made for the transparent look
};
