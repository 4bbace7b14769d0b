// The input is a picture record's variables as a reader meets them: each
// step is one byte saying what comes and four bytes of value (a number of
// the header, colour entries, bits, or a new id that starts again). A
// picture that the checks let through must hold together: sizes in range,
// rows and image as large as the pixels need, and exactly the bytes and
// colours its header asks for.

#include "FuzzSupport.h"
#include "KwPictureCheck.h"

#include <cstdint>
#include <string>

using kwfuzz::Check;

namespace {

long Value(const uint8_t* pb)
{
    return static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(pb[0]) | static_cast<uint32_t>(pb[1]) << 8
                                                  | static_cast<uint32_t>(pb[2]) << 16 | static_cast<uint32_t>(pb[3]) << 24));
}

void CheckBitmap(const KwBitmapRecordCheck& coCheck)
{
    if (!coCheck.Check().IsEmpty() || !coCheck.HasPictureData())
        return;
    const long long llRow = KwBitmapRecordCheck::RowBytesFor(coCheck.GetField(KwBitmapRecordCheck::VarWidth),
                                                             coCheck.GetField(KwBitmapRecordCheck::VarBitsPixel));
    Check(llRow > 0 && llRow == coCheck.GetField(KwBitmapRecordCheck::VarRowBytes), "a bitmap row that does not fit");
    Check(coCheck.GetField(KwBitmapRecordCheck::VarPlanes) == 1, "a bitmap of more planes");
    Check(static_cast<long long>(coCheck.GetBitBytes()) == llRow * coCheck.GetField(KwBitmapRecordCheck::VarHeight),
          "bitmap bits that do not fill the rows");
}

void CheckDib(const KwDibRecordCheck& coCheck)
{
    const unsigned long ulImage = static_cast<unsigned long>(coCheck.GetField(KwDibRecordCheck::VarImageSize)) & 0xFFFFFFFFUL;
    if (!coCheck.Check().IsEmpty() || ulImage == 0)
        return;
    const long lBits = coCheck.GetField(KwDibRecordCheck::VarBitCount);
    const long long llNeeded = KwDibRecordCheck::ImageBytesFor(coCheck.GetField(KwDibRecordCheck::VarWidth),
                                                               coCheck.GetField(KwDibRecordCheck::VarHeight), lBits);
    const long long llColors = KwDibRecordCheck::ColorsFor(
        lBits, static_cast<unsigned long>(coCheck.GetField(KwDibRecordCheck::VarClrUsed)) & 0xFFFFFFFFUL,
        coCheck.GetField(KwDibRecordCheck::VarCompression));
    Check(coCheck.GetField(KwDibRecordCheck::VarHeaderSize) == 40, "a picture header of another size");
    Check(llNeeded > 0 && static_cast<long long>(ulImage) >= llNeeded, "an image smaller than its pixels");
    Check(coCheck.GetBitBytes() == ulImage, "bits other than the image size");
    Check(llColors >= 0 && static_cast<long long>(coCheck.GetColorCount()) == llColors, "a colour table other than asked for");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    KwBitmapRecordCheck coBitmap;
    KwDibRecordCheck coDib;
    for (size_t n = 0; n + 5 <= nSize; n += 5) {
        const uint8_t bWhat = pbData[n];
        const long lValue = Value(pbData + n + 1);
        switch (bWhat % 8) {
        case 0:
            coBitmap.Take(static_cast<unsigned short>(KwBitmapRecordCheck::VarType + bWhat / 8 % 7), lValue);
            break;
        case 1:
            coDib.Take(static_cast<unsigned short>(KwDibRecordCheck::VarHeaderSize + bWhat / 8 % 12), lValue);
            break;
        case 2: coBitmap.AddBits(static_cast<size_t>(lValue) & 0xFFFF); break;
        case 3: coDib.AddBits(static_cast<size_t>(lValue) & 0xFFFF); break;
        case 4: coDib.AddColors(static_cast<size_t>(lValue) & 0x1FF); break;
        case 5: coBitmap.Clear(); break;
        case 6: coDib.Clear(); break;
        default:
            // Small values where the rules are tight.
            coDib.Take(static_cast<unsigned short>(KwDibRecordCheck::VarHeaderSize + bWhat / 8 % 12), lValue % 64);
            coBitmap.Take(static_cast<unsigned short>(KwBitmapRecordCheck::VarType + bWhat / 8 % 7), lValue % 64);
            break;
        }
    }
    CheckBitmap(coBitmap);
    CheckDib(coDib);
    return 0;
}
