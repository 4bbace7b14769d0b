#pragma once

#include "Kw25Api.h"
#include "KwObjGDI.h"
#include "KwRect.h"
#include "TString.h"

#include <cstddef>
#include <vector>

class KwDC;
class KwDib;

// The description of a device-dependent bitmap.
struct KW25_API KwLogBitmap {
    short nType { 0 };
    short nWidth { 0 };
    short nHeight { 0 };
    short nWidthBytes { 0 };
    unsigned char bPlanes { 1 };
    unsigned char bBitsPixel { 1 };
    const void* pvBits { nullptr };   // not owned
};

// A device-dependent bitmap; it keeps its size.
//
// Record: class "KwBitmap", type 31; after those of KwRes the variables
// 1000 (string, the bitmap file) and, when the bits are held, 1020 (short,
// type), 1021 (short, width), 1022 (short, height), 1023 (short, bytes per
// row), 1024 (char, planes), 1025 (char, bits per pixel) and the bits as
// char arrays 1026 of at most 16384 bytes each. Bits that do not fit the
// description are refused (reported once, the picture stays empty).
class KW25_API KwBitmap : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwBitmap, KwObjGDI)
public:
    enum : unsigned short {
        VarFile = 1000, VarType = 1020, VarWidth = 1021, VarHeight = 1022, VarWidthBytes = 1023, VarPlanes = 1024,
        VarBitsPixel = 1025, VarBits = 1026,
    };
    static constexpr unsigned short MaxBitsChunk = 16384;

    KwBitmap() = default;
    KwBitmap(const KwLogBitmap& coLogBitmap, int nCreate);
    explicit KwBitmap(const char* pszName) : KwObjGDI(pszName) {}
    KwBitmap(const KwSize& coSize, unsigned short unPlanes, unsigned short unBitsPerPixel, const void* pvBits);
    ~KwBitmap() override = default;
    KwBitmap(const KwBitmap&) = delete;
    KwBitmap& operator=(const KwBitmap&) = delete;

    // Making the system bitmap; each form replaces what was held.
    int SysCreate() override;
    // From a device-independent bitmap, for the context (the screen when null).
    int SysCreate(const KwDib& coDib, const KwDC* pcoDC);
    // A bitmap compatible with the context; nMonochrome makes it 1 bit deep.
    int SysCreate(const KwDC& coDC, const KwSize& coSize, int nMonochrome);
    // From a bitmap file.
    int SysCreate(const char* pszFile, const KwDC* pcoDC);
    int SysCreate(const KwSize& coSize, unsigned short unPlanes, unsigned short unBitsPerPixel, const void* pvBits);
    void SysDelete() override;

    KwSize GetSize() const { return m_coSize; }
    const TString& GetFileName() const { return m_coFileName; }
    void SetFileName(const char* pszFile) { m_coFileName = pszFile; }
    // The bits held for the resource form (empty when the picture came from
    // elsewhere).
    const std::vector<unsigned char>& GetBits() const { return m_coBits; }
    const KwLogBitmap& GetLogBitmap() const { return m_coLogBitmap; }
    // Keeps a copy of the bits with their description (written with the
    // record); 0 when they do not fit it.
    int SetBits(const KwLogBitmap& coLogBitmap, const void* pvBits, size_t nBytes);

    // Whether nBytes bits fit the description: a width and height of 1 to
    // 32767, 1 to 32 bits per pixel of 1, 4, 8, 16, 24 or 32 in planes
    // that make at most 32 bits, rows of exactly the word-aligned length,
    // and planes x height x row length bytes.
    static int IsConsistent(const KwLogBitmap& coLogBitmap, size_t nBytes);

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    int Take(KwHandle hBitmap);

    KwSize m_coSize;
    KwLogBitmap m_coLogBitmap;
    TString m_coFileName;
    std::vector<unsigned char> m_coBits;
};
