#pragma once

// Pictures of the GUI tests: a plain RGB image, its PNG form and the
// comparisons the tests make. Platform-independent, so that the encoder
// and the reader are also checked natively under the sanitizers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kwtest {

// A colour in the layout of a Win32 COLORREF: 0x00BBGGRR.
using TRgb = uint32_t;

constexpr TRgb MakeRgb(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<TRgb>(r) | (static_cast<TRgb>(g) << 8) | (static_cast<TRgb>(b) << 16);
}

// Left and top inside, right and bottom outside, as in a Win32 RECT.
struct TImageRect {
    int nLeft { 0 };
    int nTop { 0 };
    int nRight { 0 };
    int nBottom { 0 };
};

class TTestImage {
public:
    // The largest side the reader accepts; a desktop is far smaller.
    static constexpr int MaxSide = 16384;

    TTestImage() = default;
    TTestImage(int nWidth, int nHeight, TRgb colour = 0);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool IsEmpty() const { return m_nWidth == 0 || m_nHeight == 0; }
    TRgb At(int x, int y) const { return m_vecPixels[static_cast<size_t>(y) * m_nWidth + x]; }
    void Set(int x, int y, TRgb colour) { m_vecPixels[static_cast<size_t>(y) * m_nWidth + x] = colour; }
    void Fill(const TImageRect& rc, TRgb colour);
    // The pixels of the rectangle (clipped to the image) as an image.
    TTestImage Part(const TImageRect& rc) const;

    // Pixels of the colour in the rectangle (clipped to the image).
    size_t Count(TRgb colour, const TImageRect& rc) const;
    size_t Count(TRgb colour) const { return Count(colour, { 0, 0, m_nWidth, m_nHeight }); }

private:
    int m_nWidth { 0 };
    int m_nHeight { 0 };
    std::vector<TRgb> m_vecPixels; // row by row from the top
};

struct TImageDiff {
    bool bSameSize { false };
    size_t nDiffering { 0 }; // pixels that differ; 0 when the sizes differ
    bool Identical() const { return bSameSize && nDiffering == 0; }
};

TImageDiff CompareImages(const TTestImage& coA, const TTestImage& coB);

// PNG, 8-bit RGB, in stored (uncompressed) deflate blocks. The reader takes
// what the writer makes and refuses anything else with a message: other
// colour types, compressed blocks, row filters, damaged checksums.
std::string EncodePng(const TTestImage& coImage);
bool DecodePng(const std::string& strBytes, TTestImage& coImage, std::string& strError);
bool WritePng(const TTestImage& coImage, const std::string& strPath, std::string& strError);
bool ReadPng(const std::string& strPath, TTestImage& coImage, std::string& strError);

// The checksums of the format (CRC-32 of the chunks, Adler-32 of zlib);
// continue a running value by passing it back in.
uint32_t Crc32(const void* pData, size_t nBytes, uint32_t ulCrc = 0);
uint32_t Adler32(const void* pData, size_t nBytes, uint32_t ulAdler = 1);

} // namespace kwtest
