#pragma once

#include "Kw25Api.h"
#include "KwGdiTypes.h"
#include "KwObjGDI.h"
#include "TString.h"

#include <cstddef>
#include <vector>

class TFile;

// The checked layout of a packed device-independent bitmap: header,
// colour table, bits, one block. Only uncompressed pictures (and
// bit-field masks) of 1, 4, 8, 16, 24 or 32 bits per pixel with at most
// 32767 pixels in each direction are accepted, and every part must lie
// inside the block.
struct KW25_API KwDibLayout {
    long lWidth { 0 };
    long lHeight { 0 };            // negative: stored top-down
    unsigned short unBitCount { 0 };
    unsigned long ulHeaderSize { 0 };
    unsigned long ulColors { 0 };  // entries of the colour table
    unsigned long ulBitsOffset { 0 };
    unsigned long ulImageSize { 0 };

    // 1 when the block holds a picture of the accepted kinds. With
    // nFrontOnly only the header and colour table must lie in the block
    // (the bits are elsewhere, as in a file).
    int Read(const unsigned char* pbBlock, size_t nSize, int nFrontOnly = 0);
};

// A device-independent bitmap read from a bitmap file (or a stream at the
// start of one), kept as one packed block, with the palette of its colour
// table. A damaged or unsupported file leaves the picture empty.
class KW25_API KwDib : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwDib, KwObjGDI)
public:
    KwDib() = default;
    explicit KwDib(const char* pszName) : KwObjGDI(pszName) {}
    KwDib(const char* pszFile, const char* pszName, int nCreate);
    KwDib(TFile& coFile, const char* pszName, int nCreate);
    KwDib(const KwDib& coOther);
    KwDib& operator=(const KwDib& coOther);
    ~KwDib() override = default;

    // Reading: 1 when a picture was read. The file name is kept (and
    // emptied when the file cannot be read).
    int SysCreate() override { return SysCreate(m_coFileName); }
    int SysCreate(const char* pszFile);
    int SysCreate(TFile& coFile);
    // Takes a packed block (header, colours, bits); 1 when it is a picture
    // of the accepted kinds.
    int SetPacked(const unsigned char* pbBlock, size_t nSize);
    void SysDelete() override;
    int IsValid() const override { return !m_coPacked.empty(); }

    const TString& GetFileName() const { return m_coFileName; }
    void SetFileName(const char* pszFile) { m_coFileName = pszFile; }
    KwSize GetSize() const;
    const KwDibLayout& GetLayout() const { return m_coLayout; }
    const unsigned char* GetPacked() const { return m_coPacked.empty() ? nullptr : m_coPacked.data(); }
    size_t GetPackedSize() const { return m_coPacked.size(); }
    const unsigned char* GetBits() const { return m_coPacked.empty() ? nullptr : m_coPacked.data() + m_coLayout.ulBitsOffset; }
    // The colour table as palette entries.
    std::vector<KwPaletteEntry> GetColorTable() const;

private:
    int ReadFileBlock(const unsigned char* pbFile, size_t nSize);

    TString m_coFileName;
    std::vector<unsigned char> m_coPacked;
    KwDibLayout m_coLayout;
};
