#include "KwDib.h"
#include "KwPictureCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TBitmapCase {
    const char* pszName;
    long alField[6];   // type, width, height, bytes per row, planes, bits per pixel
    size_t nBits;
    const char* pszFault;   // a part of the answer; "" when the picture fits
};

KwBitmapRecordCheck Bitmap(const TBitmapCase& coCase)
{
    KwBitmapRecordCheck coCheck;
    for (unsigned short i = 0; i < 6; ++i)
        coCheck.Take(static_cast<unsigned short>(KwBitmapRecordCheck::VarType + i), coCase.alField[i]);
    coCheck.AddBits(coCase.nBits);
    return coCheck;
}

struct TDibCase {
    const char* pszName;
    long lHeader, lWidth, lHeight, lPlanes, lBits, lCompression, lImage, lClrUsed;
    size_t nColors;
    size_t nBits;
    const char* pszFault;
};

KwDibRecordCheck Dib(const TDibCase& coCase)
{
    KwDibRecordCheck coCheck;
    coCheck.Take(KwDibRecordCheck::VarHeaderSize, coCase.lHeader);
    coCheck.Take(KwDibRecordCheck::VarWidth, coCase.lWidth);
    coCheck.Take(KwDibRecordCheck::VarHeight, coCase.lHeight);
    coCheck.Take(KwDibRecordCheck::VarPlanes, coCase.lPlanes);
    coCheck.Take(KwDibRecordCheck::VarBitCount, coCase.lBits);
    coCheck.Take(KwDibRecordCheck::VarCompression, coCase.lCompression);
    coCheck.Take(KwDibRecordCheck::VarImageSize, coCase.lImage);
    coCheck.Take(KwDibRecordCheck::VarClrUsed, coCase.lClrUsed);
    coCheck.AddColors(coCase.nColors);
    coCheck.AddBits(coCase.nBits);
    return coCheck;
}

void PutU32(std::vector<unsigned char>& coOut, unsigned long ul)
{
    for (int i = 0; i < 4; ++i)
        coOut.push_back(static_cast<unsigned char>(ul >> (8 * i)));
}

// The packed block a reader makes of a record: header, colours, bits.
std::vector<unsigned char> Packed(const TDibCase& coCase)
{
    std::vector<unsigned char> coOut;
    PutU32(coOut, static_cast<unsigned long>(coCase.lHeader));
    PutU32(coOut, static_cast<unsigned long>(coCase.lWidth));
    PutU32(coOut, static_cast<unsigned long>(coCase.lHeight));
    coOut.push_back(static_cast<unsigned char>(coCase.lPlanes));
    coOut.push_back(static_cast<unsigned char>(coCase.lPlanes >> 8));
    coOut.push_back(static_cast<unsigned char>(coCase.lBits));
    coOut.push_back(static_cast<unsigned char>(coCase.lBits >> 8));
    PutU32(coOut, static_cast<unsigned long>(coCase.lCompression));
    PutU32(coOut, static_cast<unsigned long>(coCase.lImage));
    PutU32(coOut, 0);
    PutU32(coOut, 0);
    PutU32(coOut, static_cast<unsigned long>(coCase.lClrUsed));
    PutU32(coOut, 0);
    coOut.resize(coOut.size() + 4 * coCase.nColors + coCase.nBits, 0x5A);
    return coOut;
}

// The answer holds the expected fault; an empty one for a picture that fits.
void ExpectFault(const TString& coAnswer, const char* pszFault, const char* pszName)
{
    const std::string strAnswer = static_cast<const char*>(coAnswer);
    if (!*pszFault)
        EXPECT_EQ(strAnswer, "") << pszName;
    else
        EXPECT_NE(strAnswer.find(pszFault), std::string::npos) << pszName << ": " << strAnswer;
}

} // namespace

TEST(KwPictureCheck, BitmapRecordsFitOnlyWithAlignedRowsAndExactBits)
{
    const TBitmapCase aCases[] = {
        { "monochrome 32x32", { 0, 32, 32, 4, 1, 1 }, 128, "" },
        { "odd width rows are padded to 16 bits", { 0, 17, 3, 4, 1, 1 }, 12, "" },
        { "24 bits", { 0, 5, 2, 16, 1, 24 }, 32, "" },
        { "type", { 2, 32, 32, 4, 1, 1 }, 128, "bitmap type 2" },
        { "zero width", { 0, 0, 32, 4, 1, 1 }, 128, "width 0 is not positive" },
        { "negative height", { 0, 32, -4, 4, 1, 1 }, 128, "height -4 is not positive" },
        { "planes", { 0, 32, 32, 4, 4, 1 }, 512, "4 planes" },
        { "bit depth", { 0, 32, 32, 12, 1, 3 }, 384, "3 bits per pixel" },
        { "row too short", { 0, 32, 32, 2, 1, 1 }, 64, "row size 2 bytes, but 32 pixels of 1 bits take 4 bytes" },
        { "row not aligned", { 0, 17, 3, 3, 1, 1 }, 9, "take 4 bytes" },
        { "bits cut off", { 0, 32, 32, 4, 1, 1 }, 100, "bits of 100 bytes, but 32 rows of 4 bytes take 128 bytes" },
        { "bits too many", { 0, 32, 32, 4, 1, 1 }, 129, "bits of 129 bytes" },
    };
    for (const TBitmapCase& coCase : aCases)
        ExpectFault(Bitmap(coCase).Check(), coCase.pszFault, coCase.pszName);
}

TEST(KwPictureCheck, BitmapRecordWithoutFieldsFitsOnlyWithoutBits)
{
    KwBitmapRecordCheck coCheck;
    EXPECT_EQ(std::string(coCheck.Check()), "");   // a picture named by its file only
    coCheck.AddBits(16);
    EXPECT_EQ(std::string(coCheck.Check()), "bitmap without width");
    coCheck.Take(KwBitmapRecordCheck::VarWidth, 8);
    coCheck.Take(KwBitmapRecordCheck::VarHeight, 8);
    EXPECT_EQ(std::string(coCheck.Check()), "bitmap without bytes per row");
    EXPECT_EQ(coCheck.Take(KwBitmapRecordCheck::VarBits, 1), 0);
    coCheck.Clear();
    EXPECT_FALSE(coCheck.HasPictureData());
    // Sizes for any numbers, also those no record may hold.
    EXPECT_EQ(KwBitmapRecordCheck::RowBytesFor(17, 4), 10);
    EXPECT_EQ(KwBitmapRecordCheck::RowBytesFor(0x7FFFFFFFFFFFFFFFLL, 32), -1);
    EXPECT_EQ(KwDibRecordCheck::ImageBytesFor(3, -2, 24), 24);
    EXPECT_EQ(KwDibRecordCheck::ImageBytesFor(3, -0x7FFFFFFFFFFFFFFFLL - 1, 24), -1);
    EXPECT_EQ(KwDibRecordCheck::ColorsFor(-3, 0, 0), -1);
    EXPECT_EQ(KwDibRecordCheck::ColorsFor(8, 0, 0), 256);
}

TEST(KwPictureCheck, DibRecordsFitWhenHeaderColoursAndBitsAgree)
{
    const TDibCase aCases[] = {
        { "4 bits", 40, 32, 32, 1, 4, 0, 512, 0, 16, 512, "" },
        { "8 bits, 20 colours used", 40, 3, 2, 1, 8, 0, 8, 20, 20, 8, "" },
        { "top-down 24 bits", 40, 5, -3, 1, 24, 0, 48, 0, 0, 48, "" },
        { "bit fields carry three masks", 40, 2, 2, 1, 16, 3, 8, 0, 3, 8, "" },
        { "padded image", 40, 1, 1, 1, 1, 0, 6, 0, 2, 6, "" },
        { "header size", 124, 32, 32, 1, 4, 0, 512, 0, 16, 512, "header size 124 is not 40" },
        { "negative width", 40, -32, 32, 1, 4, 0, 512, 0, 16, 512, "width -32 is not positive" },
        { "zero height", 40, 32, 0, 1, 4, 0, 512, 0, 16, 512, "height 0 is not positive" },
        { "huge height", 40, 32, 40000, 1, 4, 0, 512, 0, 16, 512, "height 40000 exceeds 32767" },
        { "planes", 40, 32, 32, 2, 4, 0, 512, 0, 16, 512, "2 planes" },
        { "bit depth", 40, 32, 32, 1, 7, 0, 512, 0, 16, 512, "7 bits per pixel" },
        { "run-length", 40, 32, 32, 1, 4, 2, 512, 0, 16, 512, "compression 2 is not supported" },
        { "bit fields at 8 bits", 40, 32, 32, 1, 8, 3, 1024, 0, 259, 1024, "compression 3 is not supported" },
        { "colours used beyond the depth", 40, 32, 32, 1, 4, 0, 512, 17, 17, 512, "17 colours used" },
        { "colour table short", 40, 32, 32, 1, 4, 0, 512, 0, 15, 512, "15 colour-table entries, but the header asks for 16" },
        { "image size short", 40, 32, 32, 1, 4, 0, 500, 0, 16, 500, "image size 500 bytes, but 32 x 32 pixels of 4 bits take 512 bytes" },
        { "bits short", 40, 32, 32, 1, 4, 0, 512, 0, 16, 511, "bits of 511 bytes, but the image size is 512 bytes" },
        { "image size above 32 bits", 40, 32, 32, 1, 4, 0, -1, 0, 16, 512, "the image size is 4294967295 bytes" },
    };
    for (const TDibCase& coCase : aCases)
        ExpectFault(Dib(coCase).Check(), coCase.pszFault, coCase.pszName);
}

TEST(KwPictureCheck, DibRecordWithoutImageSizeMustCarryNoBits)
{
    KwDibRecordCheck coCheck;
    coCheck.Take(KwDibRecordCheck::VarWidth, 32);
    EXPECT_EQ(std::string(coCheck.Check()), "");   // the picture comes from its file
    coCheck.AddColors(2);
    EXPECT_NE(std::string(coCheck.Check()).find("image size 0, but the record carries 0 bytes of bits and 2 colours"),
              std::string::npos);
    coCheck.Clear();
    coCheck.Take(KwDibRecordCheck::VarImageSize, 16);
    EXPECT_EQ(std::string(coCheck.Check()), "picture without header size");
}

// Whatever the check lets through, the packed block made of it is a picture
// that the DIB reader takes, so the two sets of rules cannot drift apart.
TEST(KwPictureCheck, DibRecordsThatFitArePicturesTheDibReaderTakes)
{
    int nAccepted = 0;
    for (long lBits : { 1L, 4L, 8L, 16L, 24L, 32L }) {
        for (long lCompression : { 0L, 3L }) {
            for (long lWidth : { 1L, 7L, 33L }) {
                for (long lHeight : { 1L, -5L, 9L }) {
                    for (long lClrUsed : { 0L, 2L }) {
                        const long lImage = static_cast<long>(KwDibRecordCheck::ImageBytesFor(lWidth, lHeight, lBits));
                        const size_t nColors = static_cast<size_t>(KwDibRecordCheck::ColorsFor(lBits, lClrUsed, lCompression));
                        const TDibCase coCase { "grid", 40, lWidth, lHeight, 1, lBits, lCompression, lImage, lClrUsed, nColors,
                                                static_cast<size_t>(lImage), "" };
                        if (!Dib(coCase).Check().IsEmpty())
                            continue;
                        ++nAccepted;
                        const std::vector<unsigned char> coBlock = Packed(coCase);
                        KwDibLayout coLayout;
                        ASSERT_EQ(coLayout.Read(coBlock.data(), coBlock.size()), 1)
                            << lBits << " bits, compression " << lCompression << ", " << lWidth << " x " << lHeight;
                        EXPECT_EQ(coLayout.ulBitsOffset + coLayout.ulImageSize, coBlock.size());
                    }
                }
            }
        }
    }
    EXPECT_EQ(nAccepted, 6 * 3 * 3 * 2 + 2 * 3 * 3 * 2);   // bit fields only at 16 and 32 bits
}
