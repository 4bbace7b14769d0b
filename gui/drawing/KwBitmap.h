#pragma once

#include "Kw25Api.h"
#include "KwObjGDI.h"
#include "KwRect.h"

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
class KW25_API KwBitmap : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwBitmap, KwObjGDI)
public:
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

private:
    int Take(KwHandle hBitmap);

    KwSize m_coSize;
    KwLogBitmap m_coLogBitmap;
};
