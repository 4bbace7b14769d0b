#include "KwTestImage.h"

#include <gtest/gtest.h>

#include <string>

namespace kwtest {
namespace {

TTestImage Pattern(int nWidth, int nHeight)
{
    TTestImage coImage(nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            coImage.Set(x, y, MakeRgb(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 13), static_cast<uint8_t>(x ^ y)));
    return coImage;
}

// Recomputes the CRC of every chunk, so that a damage inside a chunk
// reaches the check behind the CRC.
std::string WithFixedCrcs(std::string strPng)
{
    for (size_t nPos = 8; nPos + 12 <= strPng.size();) {
        uint32_t ulLen = 0;
        for (int i = 0; i < 4; ++i)
            ulLen = (ulLen << 8) | static_cast<uint8_t>(strPng[nPos + i]);
        if (ulLen > strPng.size() - nPos - 12)
            break;
        const uint32_t ulCrc = Crc32(strPng.data() + nPos + 4, ulLen + 4);
        for (int i = 0; i < 4; ++i)
            strPng[nPos + 8 + ulLen + i] = static_cast<char>(ulCrc >> (24 - 8 * i));
        nPos += 12 + ulLen;
    }
    return strPng;
}

std::string DecodeError(const std::string& strPng)
{
    TTestImage coImage;
    std::string strError;
    return DecodePng(strPng, coImage, strError) ? "<decoded>" : strError;
}

TEST(KwTestImage, ChecksumsMatchTheirPublishedValuesAndContinue)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("IEND", 4), 0xAE426082u);
    EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
    EXPECT_EQ(Adler32("Wikipedia", 9), 0x11E60398u);
    EXPECT_EQ(Adler32("pedia", 5, Adler32("Wiki", 4)), 0x11E60398u);
    // Long runs of large bytes, where the sums would overflow without their
    // reduction, against the plain definition.
    const std::string strLong(100000, '\xff');
    uint32_t a = 1, b = 0;
    for (unsigned char c : strLong) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(strLong.data(), strLong.size()), (b << 16) | a);
}

TEST(KwTestImage, PngOfOnePixelHasTheExactLayout)
{
    const std::string strPng = EncodePng(TTestImage(1, 1, MakeRgb(255, 0, 0)));
    const std::string strExpected = std::string("\x89PNG\r\n\x1a\n", 8)
        + std::string("\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 21) + "\x90\x77\x53\xde"
        + std::string("\0\0\0\x0fIDAT\x78\x01\x01\x04\x00\xfb\xff\x00\xff\x00\x00\x03\x01\x01\x00", 23);
    ASSERT_GT(strPng.size(), strExpected.size());
    EXPECT_EQ(strPng.substr(0, strExpected.size()), strExpected);
    EXPECT_EQ(strPng.substr(strPng.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
}

TEST(KwTestImage, PngRoundTripKeepsEveryPixel)
{
    // 200 x 120 needs two stored blocks, 3000 x 30 three.
    const int sizes[][2] = { { 1, 1 }, { 3, 2 }, { 7, 5 }, { 200, 120 }, { 3000, 30 }, { 1, 700 } };
    for (const auto& size : sizes) {
        const TTestImage coImage = Pattern(size[0], size[1]);
        TTestImage coRead;
        std::string strError;
        ASSERT_TRUE(DecodePng(EncodePng(coImage), coRead, strError)) << size[0] << "x" << size[1] << ": " << strError;
        EXPECT_TRUE(CompareImages(coImage, coRead).Identical()) << size[0] << "x" << size[1];
    }
}

TEST(KwTestImage, DamagedPngIsRefusedWithItsReason)
{
    const std::string strGood = EncodePng(Pattern(4, 3));
    const size_t nIhdr = 16, nIdat = 8 + 25 + 8; // the fields of IHDR and of IDAT
    const size_t nRaw = 3 * (1 + 3 * 4);
    struct TCase {
        const char* pszWhat;
        size_t nOffset;
        char cValue;
        const char* pszReason;
        bool bFixAdler;
    } cases[] = {
        { "signature", 1, 'Q', "signature", false },
        { "width 0", nIhdr + 3, '\0', "out of range", false },
        { "height over the limit", nIhdr + 6, '\x4e', "out of range", false },
        { "colour type RGBA", nIhdr + 9, '\x06', "8-bit RGB", false },
        { "interlace", nIhdr + 12, '\x01', "8-bit RGB", false },
        { "zlib method", nIdat, '\x79', "zlib header", false },
        { "compressed block", nIdat + 2, '\x03', "compressed blocks", false },
        { "block length", nIdat + 3, '\x20', "damaged block length", false },
        { "row filter", nIdat + 7, '\x01', "uses filter 1", true },
        { "pixel", nIdat + 9, '\x55', "Adler-32", false },
        { "critical chunk", 12, 'J', "must begin with one IHDR", false },
    };
    for (const TCase& c : cases) {
        std::string strBad = strGood;
        strBad[c.nOffset] = c.cValue;
        if (c.bFixAdler) { // one block: the rows, then the checksum
            const uint32_t ulAdler = Adler32(strBad.data() + nIdat + 7, nRaw);
            for (int i = 0; i < 4; ++i)
                strBad[nIdat + 7 + nRaw + i] = static_cast<char>(ulAdler >> (24 - 8 * i));
        }
        EXPECT_NE(DecodeError(WithFixedCrcs(strBad)).find(c.pszReason), std::string::npos)
            << c.pszWhat << ": " << DecodeError(WithFixedCrcs(strBad));
    }
    std::string strChunkCrc = strGood;
    strChunkCrc[nIdat + 9] ^= 1;
    EXPECT_NE(DecodeError(strChunkCrc).find("wrong CRC"), std::string::npos);
}

TEST(KwTestImage, EveryTruncationAndBitFlipIsRefused)
{
    const std::string strGood = EncodePng(Pattern(5, 4));
    for (size_t n = 0; n < strGood.size(); ++n)
        EXPECT_NE(DecodeError(strGood.substr(0, n)), "<decoded>") << "cut at " << n;
    for (size_t n = 0; n < strGood.size() * 8; ++n) {
        std::string strBad = strGood;
        strBad[n / 8] ^= static_cast<char>(1 << (n % 8));
        EXPECT_NE(DecodeError(strBad), "<decoded>") << "bit " << n;
    }
}

TEST(KwTestImage, ComparisonAndCountsSeeEveryPixel)
{
    TTestImage coA(10, 8, MakeRgb(255, 255, 255));
    TTestImage coB = coA;
    coB.Fill({ 2, 3, 5, 4 }, MakeRgb(0, 0, 255));
    EXPECT_EQ(CompareImages(coA, coB).nDiffering, 3u);
    EXPECT_FALSE(CompareImages(coA, coB).Identical());
    EXPECT_TRUE(CompareImages(coA, coA).Identical());
    EXPECT_FALSE(CompareImages(coA, TTestImage(8, 10)).bSameSize);
    EXPECT_EQ(coB.Count(MakeRgb(0, 0, 255)), 3u);
    EXPECT_EQ(coB.Count(MakeRgb(0, 0, 255), { 3, 0, 100, 100 }), 2u); // clipped to the image
    EXPECT_EQ(coB.Count(MakeRgb(255, 255, 255), { -5, -5, 1, 1 }), 1u);
    EXPECT_TRUE(TTestImage(0, 5).IsEmpty());
    const TTestImage coPart = coB.Part({ 1, 3, 100, 5 });
    EXPECT_EQ(coPart.Width(), 9);
    EXPECT_EQ(coPart.Height(), 2);
    EXPECT_EQ(coPart.Count(MakeRgb(0, 0, 255)), 3u);
    EXPECT_EQ(coPart.At(1, 0), MakeRgb(0, 0, 255));
}

TEST(KwTestImage, MissingOrEmptyFilesGiveAMessage)
{
    TTestImage coImage;
    std::string strError;
    EXPECT_FALSE(ReadPng("no-such-dir/none.png", coImage, strError));
    EXPECT_NE(strError.find("cannot open"), std::string::npos) << strError;
    EXPECT_FALSE(WritePng(TTestImage(), "empty.png", strError));
    EXPECT_NE(strError.find("empty image"), std::string::npos) << strError;
    EXPECT_FALSE(WritePng(TTestImage(1, 1), "no-such-dir/x.png", strError));
    EXPECT_NE(strError.find("cannot create"), std::string::npos) << strError;
}

} // namespace
} // namespace kwtest
