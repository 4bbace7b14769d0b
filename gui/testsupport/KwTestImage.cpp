#include "KwTestImage.h"

#include "KwFileBytes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace kwtest {

TTestImage::TTestImage(int nWidth, int nHeight, TRgb colour)
    : m_nWidth(std::max(nWidth, 0))
    , m_nHeight(std::max(nHeight, 0))
    , m_vecPixels(static_cast<size_t>(m_nWidth) * m_nHeight, colour)
{
    if (IsEmpty())
        m_nWidth = m_nHeight = 0;
}

static TImageRect Clip(const TImageRect& rc, int nWidth, int nHeight)
{
    return { std::max(rc.nLeft, 0), std::max(rc.nTop, 0), std::min(rc.nRight, nWidth), std::min(rc.nBottom, nHeight) };
}

void TTestImage::Fill(const TImageRect& rc, TRgb colour)
{
    const TImageRect rcIn = Clip(rc, m_nWidth, m_nHeight);
    for (int y = rcIn.nTop; y < rcIn.nBottom; ++y)
        for (int x = rcIn.nLeft; x < rcIn.nRight; ++x)
            Set(x, y, colour);
}

TTestImage TTestImage::Part(const TImageRect& rc) const
{
    const TImageRect rcIn = Clip(rc, m_nWidth, m_nHeight);
    TTestImage coPart(rcIn.nRight - rcIn.nLeft, rcIn.nBottom - rcIn.nTop);
    for (int y = 0; y < coPart.Height(); ++y)
        for (int x = 0; x < coPart.Width(); ++x)
            coPart.Set(x, y, At(rcIn.nLeft + x, rcIn.nTop + y));
    return coPart;
}

size_t TTestImage::Count(TRgb colour, const TImageRect& rc) const
{
    const TImageRect rcIn = Clip(rc, m_nWidth, m_nHeight);
    size_t n = 0;
    for (int y = rcIn.nTop; y < rcIn.nBottom; ++y)
        for (int x = rcIn.nLeft; x < rcIn.nRight; ++x)
            n += At(x, y) == colour;
    return n;
}

TImageDiff CompareImages(const TTestImage& coA, const TTestImage& coB)
{
    TImageDiff diff;
    diff.bSameSize = coA.Width() == coB.Width() && coA.Height() == coB.Height();
    if (!diff.bSameSize)
        return diff;
    for (int y = 0; y < coA.Height(); ++y)
        for (int x = 0; x < coA.Width(); ++x)
            diff.nDiffering += coA.At(x, y) != coB.At(x, y);
    return diff;
}

// Checksums

static const std::array<uint32_t, 256>& CrcTable()
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t {};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

uint32_t Crc32(const void* pData, size_t nBytes, uint32_t ulCrc)
{
    const auto& table = CrcTable();
    const auto* p = static_cast<const uint8_t*>(pData);
    uint32_t c = ulCrc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < nBytes; ++i)
        c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const void* pData, size_t nBytes, uint32_t ulAdler)
{
    // 5552 bytes is the longest run whose sums cannot overflow 32 bits.
    constexpr uint32_t Base = 65521;
    const auto* p = static_cast<const uint8_t*>(pData);
    uint32_t a = ulAdler & 0xFFFF;
    uint32_t b = ulAdler >> 16;
    while (nBytes > 0) {
        const size_t nRun = std::min<size_t>(nBytes, 5552);
        for (size_t i = 0; i < nRun; ++i) {
            a += p[i];
            b += a;
        }
        a %= Base;
        b %= Base;
        p += nRun;
        nBytes -= nRun;
    }
    return (b << 16) | a;
}

// Writing

namespace {

const char PngSignature[8] = { '\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n' };
constexpr size_t MaxStoredBlock = 65535;

void PutBigEndian(std::string& str, uint32_t ul)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        str.push_back(static_cast<char>((ul >> shift) & 0xFF));
}

uint32_t GetBigEndian(const std::string& str, size_t nPos)
{
    uint32_t ul = 0;
    for (size_t i = 0; i < 4; ++i)
        ul = (ul << 8) | static_cast<uint8_t>(str[nPos + i]);
    return ul;
}

void PutChunk(std::string& strPng, const char* pszType, const std::string& strData)
{
    PutBigEndian(strPng, static_cast<uint32_t>(strData.size()));
    const size_t nStart = strPng.size();
    strPng.append(pszType, 4);
    strPng += strData;
    PutBigEndian(strPng, Crc32(strPng.data() + nStart, strPng.size() - nStart));
}

// Each row is the filter byte 0 followed by its RGB triples.
std::string RawRows(const TTestImage& coImage)
{
    std::string strRaw;
    strRaw.reserve(static_cast<size_t>(coImage.Height()) * (1 + 3 * static_cast<size_t>(coImage.Width())));
    for (int y = 0; y < coImage.Height(); ++y) {
        strRaw.push_back('\0');
        for (int x = 0; x < coImage.Width(); ++x) {
            const TRgb colour = coImage.At(x, y);
            strRaw.push_back(static_cast<char>(colour & 0xFF));
            strRaw.push_back(static_cast<char>((colour >> 8) & 0xFF));
            strRaw.push_back(static_cast<char>((colour >> 16) & 0xFF));
        }
    }
    return strRaw;
}

std::string StoredZlib(const std::string& strRaw)
{
    std::string strZ = "\x78\x01";
    size_t nPos = 0;
    do {
        const size_t nLen = std::min(MaxStoredBlock, strRaw.size() - nPos);
        const bool bFinal = nPos + nLen == strRaw.size();
        strZ.push_back(bFinal ? '\x01' : '\x00');
        strZ.push_back(static_cast<char>(nLen & 0xFF));
        strZ.push_back(static_cast<char>(nLen >> 8));
        strZ.push_back(static_cast<char>(~nLen & 0xFF));
        strZ.push_back(static_cast<char>((~nLen >> 8) & 0xFF));
        strZ.append(strRaw, nPos, nLen);
        nPos += nLen;
    } while (nPos < strRaw.size());
    PutBigEndian(strZ, Adler32(strRaw.data(), strRaw.size()));
    return strZ;
}

} // namespace

std::string EncodePng(const TTestImage& coImage)
{
    std::string strPng(PngSignature, sizeof(PngSignature));
    std::string strHeader;
    PutBigEndian(strHeader, static_cast<uint32_t>(coImage.Width()));
    PutBigEndian(strHeader, static_cast<uint32_t>(coImage.Height()));
    strHeader += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter choice, no interlace
    PutChunk(strPng, "IHDR", strHeader);
    PutChunk(strPng, "IDAT", StoredZlib(RawRows(coImage)));
    PutChunk(strPng, "IEND", "");
    return strPng;
}

// Reading

namespace {

bool Fail(std::string& strError, const std::string& strWhat)
{
    strError = strWhat;
    return false;
}

// The chunks up to IEND: the header's fields and the joined IDAT data.
bool ReadChunks(const std::string& strPng, std::string& strHeader, std::string& strData, std::string& strError)
{
    size_t nPos = sizeof(PngSignature);
    bool bFirst = true;
    for (;;) {
        if (strPng.size() - nPos < 12)
            return Fail(strError, "PNG ends inside a chunk (no IEND)");
        const uint32_t ulLen = GetBigEndian(strPng, nPos);
        const std::string strType = strPng.substr(nPos + 4, 4);
        if (ulLen > strPng.size() - nPos - 12)
            return Fail(strError, "PNG chunk " + strType + " is longer than the file");
        if (Crc32(strPng.data() + nPos + 4, ulLen + 4) != GetBigEndian(strPng, nPos + 8 + ulLen))
            return Fail(strError, "PNG chunk " + strType + " has a wrong CRC");
        const std::string strBody = strPng.substr(nPos + 8, ulLen);
        nPos += 12 + static_cast<size_t>(ulLen);
        if (bFirst != (strType == "IHDR"))
            return Fail(strError, "PNG must begin with one IHDR chunk");
        bFirst = false;
        if (strType == "IHDR")
            strHeader = strBody;
        else if (strType == "IDAT")
            strData += strBody;
        else if (strType == "IEND")
            return true;
        else if (!(strType[0] & 0x20))
            return Fail(strError, "PNG chunk " + strType + " is not supported");
    }
}

bool CheckHeader(const std::string& strHeader, int& nWidth, int& nHeight, std::string& strError)
{
    if (strHeader.size() != 13)
        return Fail(strError, "PNG header has a wrong length");
    const uint32_t ulWidth = GetBigEndian(strHeader, 0);
    const uint32_t ulHeight = GetBigEndian(strHeader, 4);
    if (ulWidth == 0 || ulHeight == 0 || ulWidth > TTestImage::MaxSide || ulHeight > TTestImage::MaxSide)
        return Fail(strError, "PNG size " + std::to_string(ulWidth) + "x" + std::to_string(ulHeight) + " is out of range");
    if (strHeader.compare(8, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0)
        return Fail(strError, "PNG is not 8-bit RGB without interlace");
    nWidth = static_cast<int>(ulWidth);
    nHeight = static_cast<int>(ulHeight);
    return true;
}

// The zlib stream of stored blocks into at most nExpected bytes.
bool Unstore(const std::string& strZ, size_t nExpected, std::string& strRaw, std::string& strError)
{
    if (strZ.size() < 6)
        return Fail(strError, "PNG image data is too short");
    const auto cmf = static_cast<uint8_t>(strZ[0]);
    const auto flg = static_cast<uint8_t>(strZ[1]);
    if ((cmf & 0x0F) != 8 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20))
        return Fail(strError, "PNG image data has no valid zlib header");
    size_t nPos = 2;
    for (bool bFinal = false; !bFinal;) {
        if (strZ.size() - nPos < 5)
            return Fail(strError, "PNG image data ends inside a block");
        const auto head = static_cast<uint8_t>(strZ[nPos]);
        if ((head >> 1) & 3)
            return Fail(strError, "PNG image data has compressed blocks (only stored blocks are read)");
        bFinal = head & 1;
        const size_t nLen = static_cast<uint8_t>(strZ[nPos + 1]) | static_cast<uint8_t>(strZ[nPos + 2]) << 8;
        const size_t nNotLen = static_cast<uint8_t>(strZ[nPos + 3]) | static_cast<uint8_t>(strZ[nPos + 4]) << 8;
        nPos += 5;
        if ((nLen ^ 0xFFFF) != nNotLen)
            return Fail(strError, "PNG image data has a damaged block length");
        if (nLen > strZ.size() - nPos || nLen > nExpected - strRaw.size())
            return Fail(strError, "PNG image data is longer than the file or the image");
        strRaw.append(strZ, nPos, nLen);
        nPos += nLen;
    }
    if (strZ.size() - nPos != 4)
        return Fail(strError, "PNG image data has a wrong length after its last block");
    if (GetBigEndian(strZ, nPos) != Adler32(strRaw.data(), strRaw.size()))
        return Fail(strError, "PNG image data has a wrong Adler-32 checksum");
    if (strRaw.size() != nExpected)
        return Fail(strError, "PNG image data is shorter than the image");
    return true;
}

} // namespace

bool DecodePng(const std::string& strBytes, TTestImage& coImage, std::string& strError)
{
    if (strBytes.size() < sizeof(PngSignature) || strBytes.compare(0, sizeof(PngSignature), PngSignature, sizeof(PngSignature)) != 0)
        return Fail(strError, "not a PNG file (signature)");
    std::string strHeader, strData, strRaw;
    int nWidth = 0, nHeight = 0;
    if (!ReadChunks(strBytes, strHeader, strData, strError) || !CheckHeader(strHeader, nWidth, nHeight, strError))
        return false;
    const size_t nStride = 1 + 3 * static_cast<size_t>(nWidth);
    if (!Unstore(strData, nStride * nHeight, strRaw, strError))
        return false;
    TTestImage coRead(nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y) {
        const auto* pRow = reinterpret_cast<const uint8_t*>(strRaw.data()) + nStride * y;
        if (pRow[0] != 0)
            return Fail(strError, "PNG row " + std::to_string(y) + " uses filter " + std::to_string(pRow[0]) + " (only 0 is read)");
        for (int x = 0; x < nWidth; ++x)
            coRead.Set(x, y, MakeRgb(pRow[1 + 3 * x], pRow[2 + 3 * x], pRow[3 + 3 * x]));
    }
    coImage = std::move(coRead);
    return true;
}

bool WritePng(const TTestImage& coImage, const std::string& strPath, std::string& strError)
{
    if (coImage.IsEmpty())
        return Fail(strError, "an empty image is not written: " + strPath);
    const std::string strPng = EncodePng(coImage);
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (!pFile)
        return Fail(strError, "cannot create " + strPath);
    const bool bWritten = std::fwrite(strPng.data(), 1, strPng.size(), pFile) == strPng.size();
    if (std::fclose(pFile) != 0 || !bWritten) {
        std::remove(strPath.c_str());
        return Fail(strError, "cannot write " + strPath);
    }
    return true;
}

bool ReadPng(const std::string& strPath, TTestImage& coImage, std::string& strError)
{
    std::string strBytes;
    if (!ReadWholeFile(strPath, strBytes))
        return Fail(strError, "cannot open " + strPath);
    if (!DecodePng(strBytes, coImage, strError)) {
        strError = strPath + ": " + strError;
        return false;
    }
    return true;
}

} // namespace kwtest
