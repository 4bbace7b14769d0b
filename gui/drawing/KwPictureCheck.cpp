#include "KwPictureCheck.h"

#include <string>

namespace {

constexpr long long MaxSide = 32767;

bool IsBitDepth(long long llBits)
{
    return llBits == 1 || llBits == 4 || llBits == 8 || llBits == 16 || llBits == 24 || llBits == 32;
}

std::string Num(long long ll)
{
    return std::to_string(ll);
}

std::string Bytes(long long ll)
{
    return Num(ll) + (ll == 1 ? " byte" : " bytes");
}

// The first field of the list that the record lacks, or null.
template <class Check, size_t N>
const char* FirstMissing(const Check& coCheck, const unsigned short (&aunIds)[N], const char* const (&apszNames)[N])
{
    for (size_t i = 0; i < N; ++i) {
        if (!coCheck(aunIds[i]))
            return apszNames[i];
    }
    return nullptr;
}

std::string SideFault(const char* pszSide, long long llValue, bool bNegativeAllowed)
{
    if (llValue == 0 || (!bNegativeAllowed && llValue < 0))
        return std::string(pszSide) + " " + Num(llValue) + " is not positive";
    return std::string(pszSide) + " " + Num(llValue) + " exceeds 32767";
}

bool SideFits(long long llValue, bool bNegativeAllowed)
{
    return llValue != 0 && llValue <= MaxSide && llValue >= (bNegativeAllowed ? -MaxSide : 1);
}

} // namespace

size_t KwPictureValueCount(unsigned short unType, unsigned short unCount, unsigned short unStoredType)
{
    if (unType != unStoredType)
        return 0;
    return unCount < 2 ? 1 : unCount;
}

// Device-dependent bitmaps

int KwBitmapRecordCheck::Take(unsigned short unId, long lValue)
{
    if (unId < VarType || unId >= VarBits)
        return 0;
    m_alValue[unId - VarType] = lValue;
    m_unPresent |= 1u << (unId - VarType);
    return 1;
}

long long KwBitmapRecordCheck::RowBytesFor(long long llWidth, long long llBitsPixel)
{
    if (!SideFits(llWidth, false) || !IsBitDepth(llBitsPixel))
        return -1;
    return (llWidth * llBitsPixel + 15) / 16 * 2;
}

TString KwBitmapRecordCheck::Check() const
{
    if (!HasPictureData())
        return TString();
    static const unsigned short aunIds[] = { VarWidth, VarHeight, VarRowBytes, VarPlanes, VarBitsPixel };
    static const char* const apszNames[] = { "width", "height", "bytes per row", "planes", "bits per pixel" };
    const auto Present = [this](unsigned short unId) { return Has(unId) != 0; };
    if (const char* pszMissing = FirstMissing(Present, aunIds, apszNames))
        return TString((std::string("bitmap without ") + pszMissing).c_str());
    const long long llType = GetField(VarType);
    const long long llWidth = GetField(VarWidth);
    const long long llHeight = GetField(VarHeight);
    const long long llRow = GetField(VarRowBytes);
    const long long llPlanes = GetField(VarPlanes);
    const long long llBits = GetField(VarBitsPixel);
    std::string strFault;
    if (llType != 0)
        strFault = "bitmap type " + Num(llType) + " is not 0";
    else if (!SideFits(llWidth, false))
        strFault = SideFault("width", llWidth, false);
    else if (!SideFits(llHeight, false))
        strFault = SideFault("height", llHeight, false);
    else if (llPlanes != 1)
        strFault = Num(llPlanes) + " planes, only 1 is supported";
    else if (!IsBitDepth(llBits))
        strFault = Num(llBits) + " bits per pixel, not 1, 4, 8, 16, 24 or 32";
    else if (llRow != RowBytesFor(llWidth, llBits))
        strFault = "row size " + Bytes(llRow) + ", but " + Num(llWidth) + " pixels of " + Num(llBits)
            + " bits take " + Bytes(RowBytesFor(llWidth, llBits));
    else if (static_cast<long long>(m_nBits) != llHeight * llRow)
        strFault = "bits of " + Bytes(static_cast<long long>(m_nBits)) + ", but " + Num(llHeight) + " rows of "
            + Bytes(llRow) + " take " + Bytes(llHeight * llRow);
    return TString(strFault.c_str());
}

// Device-independent bitmaps

int KwDibRecordCheck::Take(unsigned short unId, long lValue)
{
    if (unId < VarHeaderSize || unId >= VarColor)
        return 0;
    m_alValue[unId - VarHeaderSize] = lValue;
    m_unPresent |= 1u << (unId - VarHeaderSize);
    return 1;
}

long long KwDibRecordCheck::ColorsFor(long long llBitCount, long long llClrUsed, long long llCompression)
{
    if (!IsBitDepth(llBitCount) || llClrUsed < 0 || llClrUsed > 0xFFFFFFFFLL)
        return -1;
    const long long llMasks = llCompression == CompressionBitFields ? 3 : 0;
    if (llClrUsed)
        return llMasks + llClrUsed;
    return llMasks + (llBitCount <= 8 ? (1LL << llBitCount) : 0);
}

long long KwDibRecordCheck::ImageBytesFor(long long llWidth, long long llHeight, long long llBitCount)
{
    if (!SideFits(llWidth, false) || !SideFits(llHeight, true) || !IsBitDepth(llBitCount))
        return -1;
    const long long llRows = llHeight < 0 ? -llHeight : llHeight;
    return (llWidth * llBitCount + 31) / 32 * 4 * llRows;
}

// The header alone: every field present and of an accepted kind.
TString KwDibRecordCheck::CheckHeader() const
{
    static const unsigned short aunIds[] = { VarHeaderSize, VarWidth, VarHeight, VarPlanes, VarBitCount, VarCompression };
    static const char* const apszNames[] = { "header size", "width", "height", "planes", "bits per pixel", "compression" };
    const auto Present = [this](unsigned short unId) { return Has(unId) != 0; };
    if (const char* pszMissing = FirstMissing(Present, aunIds, apszNames))
        return TString((std::string("picture without ") + pszMissing).c_str());
    const long long llHeader = static_cast<unsigned long>(GetField(VarHeaderSize)) & 0xFFFFFFFFUL;
    const long long llWidth = GetField(VarWidth);
    const long long llHeight = GetField(VarHeight);
    const long long llPlanes = GetField(VarPlanes);
    const long long llBits = GetField(VarBitCount);
    const long long llCompression = static_cast<unsigned long>(GetField(VarCompression)) & 0xFFFFFFFFUL;
    const long long llClrUsed = static_cast<unsigned long>(GetField(VarClrUsed)) & 0xFFFFFFFFUL;
    std::string strFault;
    if (llHeader != HeaderSize)
        strFault = "header size " + Num(llHeader) + " is not 40";
    else if (!SideFits(llWidth, false))
        strFault = SideFault("width", llWidth, false);
    else if (!SideFits(llHeight, true))
        strFault = SideFault("height", llHeight, true);
    else if (llPlanes != 1)
        strFault = Num(llPlanes) + " planes, only 1 is supported";
    else if (!IsBitDepth(llBits))
        strFault = Num(llBits) + " bits per pixel, not 1, 4, 8, 16, 24 or 32";
    else if (llCompression != CompressionRGB && !(llCompression == CompressionBitFields && (llBits == 16 || llBits == 32)))
        strFault = "compression " + Num(llCompression) + " is not supported for " + Num(llBits) + " bits per pixel";
    else if (llClrUsed > (llBits <= 8 ? (1LL << llBits) : 256))
        strFault = Num(llClrUsed) + " colours used, more than " + Num(llBits) + " bits per pixel allow";
    return TString(strFault.c_str());
}

TString KwDibRecordCheck::Check() const
{
    if (!HasPictureData())
        return TString();
    const long long llImage = static_cast<unsigned long>(GetField(VarImageSize)) & 0xFFFFFFFFUL;
    // Without an image size the picture comes from its file, and the record
    // must not carry any of its own.
    if (llImage == 0) {
        if (m_nBits || m_nColors)
            return TString(("image size 0, but the record carries " + Bytes(static_cast<long long>(m_nBits))
                            + " of bits and " + Num(static_cast<long long>(m_nColors)) + " colours")
                               .c_str());
        return TString();
    }
    TString coHeader = CheckHeader();
    if (!coHeader.IsEmpty())
        return coHeader;
    const long long llWidth = GetField(VarWidth);
    const long long llHeight = GetField(VarHeight);
    const long long llBits = GetField(VarBitCount);
    const long long llColors = ColorsFor(llBits, static_cast<unsigned long>(GetField(VarClrUsed)) & 0xFFFFFFFFUL,
                                         static_cast<unsigned long>(GetField(VarCompression)) & 0xFFFFFFFFUL);
    const long long llNeeded = ImageBytesFor(llWidth, llHeight, llBits);
    std::string strFault;
    if (static_cast<long long>(m_nColors) != llColors)
        strFault = Num(static_cast<long long>(m_nColors)) + " colour-table entries, but the header asks for " + Num(llColors);
    else if (llImage < llNeeded)
        strFault = "image size " + Bytes(llImage) + ", but " + Num(llWidth) + " x " + Num(llHeight < 0 ? -llHeight : llHeight)
            + " pixels of " + Num(llBits) + " bits take " + Bytes(llNeeded);
    else if (static_cast<long long>(m_nBits) != llImage)
        strFault = "bits of " + Bytes(static_cast<long long>(m_nBits)) + ", but the image size is " + Bytes(llImage);
    return TString(strFault.c_str());
}
