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
// bit-field masks, after a plain 40-byte header or inside a header of at
// least 52 bytes) of 1, 4, 8, 16, 24 or 32 bits per pixel with at most
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

// The fields of a bitmap information header as a resource record keeps
// them, with the colour table (bit-field masks first) and the bits.
struct KW25_API KwDibRecord {
    long lSize { 0 };
    long lWidth { 0 };
    long lHeight { 0 };
    short nPlanes { 0 };
    short nBitCount { 0 };
    long lCompression { 0 };
    long lSizeImage { 0 };
    long lXPelsPerMeter { 0 };
    long lYPelsPerMeter { 0 };
    long lClrUsed { 0 };
    long lClrImportant { 0 };
    std::vector<unsigned long> coColors;   // RGBQUAD bytes, little-endian
    std::vector<unsigned char> coBits;

    // The packed picture (header, colour table, bits) when every part fits
    // the others: a 40-byte header of an accepted kind, exactly the colour
    // entries the header asks for, and exactly lSizeImage bits, at least
    // the rows the header describes. 0 (and an empty block) otherwise.
    int MakePacked(std::vector<unsigned char>& coPacked) const;
};

// A device-independent bitmap read from a bitmap file (or a stream at the
// start of one), kept as one packed block, with the palette of its colour
// table. A damaged or unsupported file leaves the picture empty.
//
// Record: class "KwDib", type 31; after those of KwRes the variables 6001
// (string, the bitmap file) and, for a picture held in the record, the
// header fields 6005 to 6015 (6008 and 6009 short, the others long), one
// long 6016 per colour-table entry and the bits as char arrays 6017 of at
// most 16384 bytes each. A record whose parts do not fit together leaves
// the picture empty and is reported once.
class KW25_API KwDib : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwDib, KwObjGDI)
public:
    enum : unsigned short {
        VarFile = 6001, VarSize = 6005, VarWidth = 6006, VarHeight = 6007, VarPlanes = 6008, VarBitCount = 6009,
        VarCompression = 6010, VarSizeImage = 6011, VarXPels = 6012, VarYPels = 6013, VarClrUsed = 6014,
        VarClrImportant = 6015, VarColor = 6016, VarBits = 6017,
    };
    static constexpr unsigned short MaxBitsChunk = 16384;

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

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;

    // Why the stored record does not fit together (kwtcheck's rules);
    // empty when it does.
    static TString CheckRecord(const KwDibRecord& coRecord);
    // Appends the bytes of a char variable of picture bits (a bad
    // allocation leaves them empty, so that the picture does not fit).
    static void AppendBits(const TResVar& coVar, std::vector<unsigned char>& coBits);

protected:
    void WriteData(TFile& coFile) const override;

private:
    int ReadFileBlock(const unsigned char* pbFile, size_t nSize);
    // The record form of the packed block.
    KwDibRecord MakeRecord() const;

    TString m_coFileName;
    KwDibRecord m_coRecord;   // filled while the record is read
    std::vector<unsigned char> m_coPacked;
    KwDibLayout m_coLayout;
};
