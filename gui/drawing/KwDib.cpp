#include "KwDib.h"

#include "TFile.h"

#include <cstring>
#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(KwDib, KwObjGDI, "kw25")

namespace {

enum : unsigned long {
    InfoHeaderSize = 40,
    FileHeaderSize = 14,
    CompressionRGB = 0,
    CompressionBitFields = 3,
    MaxFileSize = 256UL * 1024 * 1024,
};

unsigned long U32(const unsigned char* pb)
{
    return static_cast<unsigned long>(pb[0]) | (static_cast<unsigned long>(pb[1]) << 8)
        | (static_cast<unsigned long>(pb[2]) << 16) | (static_cast<unsigned long>(pb[3]) << 24);
}

unsigned short U16(const unsigned char* pb)
{
    return static_cast<unsigned short>(pb[0] | (pb[1] << 8));
}

long S32(const unsigned char* pb)
{
    return static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(U32(pb))));
}

} // namespace

int KwDibLayout::Read(const unsigned char* pbBlock, size_t nSize, int nFrontOnly)
{
    *this = KwDibLayout();
    if (!pbBlock || nSize < InfoHeaderSize)
        return 0;
    const unsigned long ulHeader = U32(pbBlock);
    if (ulHeader < InfoHeaderSize || ulHeader > nSize)
        return 0;
    const long lWidthRead = S32(pbBlock + 4);
    const long lHeightRead = S32(pbBlock + 8);
    const unsigned short unPlanes = U16(pbBlock + 12);
    const unsigned short unBits = U16(pbBlock + 14);
    const unsigned long ulCompression = U32(pbBlock + 16);
    const unsigned long ulClrUsed = U32(pbBlock + 32);
    if (lWidthRead < 1 || lWidthRead > 32767 || lHeightRead == 0 || lHeightRead < -32767 || lHeightRead > 32767)
        return 0;
    if (unPlanes != 1)
        return 0;
    if (unBits != 1 && unBits != 4 && unBits != 8 && unBits != 16 && unBits != 24 && unBits != 32)
        return 0;
    const int nBitFields = ulCompression == CompressionBitFields;
    if (ulCompression != CompressionRGB && !(nBitFields && (unBits == 16 || unBits == 32)))
        return 0;
    const unsigned long ulMaxColors = unBits <= 8 ? (1UL << unBits) : 256;
    if (ulClrUsed > ulMaxColors)
        return 0;
    const unsigned long ulColorCount = ulClrUsed ? ulClrUsed : (unBits <= 8 ? (1UL << unBits) : 0);
    // Bit-field masks follow a plain information header.
    const unsigned long ulMasks = nBitFields && ulHeader == InfoHeaderSize ? 12 : 0;
    const unsigned long long ullStride = ((static_cast<unsigned long long>(lWidthRead) * unBits + 31) / 32) * 4;
    const unsigned long long ullImage = ullStride * static_cast<unsigned long long>(lHeightRead < 0 ? -lHeightRead : lHeightRead);
    const unsigned long long ullBitsOffset = static_cast<unsigned long long>(ulHeader) + ulMasks + ulColorCount * 4ULL;
    if (ullImage > MaxFileSize || ullBitsOffset + (nFrontOnly ? 0 : ullImage) > nSize)
        return 0;
    lWidth = lWidthRead;
    lHeight = lHeightRead;
    unBitCount = unBits;
    ulHeaderSize = ulHeader;
    ulColors = ulColorCount;
    ulBitsOffset = static_cast<unsigned long>(ullBitsOffset);
    ulImageSize = static_cast<unsigned long>(ullImage);
    return 1;
}

KwDib::KwDib(const char* pszFile, const char* pszName, int nCreate)
    : KwObjGDI(pszName), m_coFileName(pszFile)
{
    if (nCreate)
        SysCreate(pszFile);
}

KwDib::KwDib(TFile& coFile, const char* pszName, int nCreate)
    : KwObjGDI(pszName)
{
    if (nCreate)
        SysCreate(coFile);
}

KwDib::KwDib(const KwDib& coOther)
    : KwObjGDI(coOther), m_coFileName(coOther.m_coFileName), m_coPacked(coOther.m_coPacked), m_coLayout(coOther.m_coLayout)
{
}

KwDib& KwDib::operator=(const KwDib& coOther)
{
    if (this == &coOther)
        return *this;
    KwObjGDI::operator=(coOther);
    m_coFileName = coOther.m_coFileName;
    m_coPacked = coOther.m_coPacked;
    m_coLayout = coOther.m_coLayout;
    return *this;
}

void KwDib::SysDelete()
{
    m_coPacked.clear();
    m_coPacked.shrink_to_fit();
    m_coLayout = KwDibLayout();
    KwObjGDI::SysDelete();
}

int KwDib::SetPacked(const unsigned char* pbBlock, size_t nSize)
{
    SysDelete();
    KwDibLayout coLayout;
    if (!coLayout.Read(pbBlock, nSize))
        return 0;
    try {
        m_coPacked.assign(pbBlock, pbBlock + coLayout.ulBitsOffset + coLayout.ulImageSize);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_coLayout = coLayout;
    return 1;
}

// A bitmap file: the file header ("BM", size, reserved, offset of the
// bits), then header and colour table; the bits lie where the file header
// says (directly after the colour table when the offset points elsewhere).
int KwDib::ReadFileBlock(const unsigned char* pbFile, size_t nSize)
{
    if (nSize < FileHeaderSize + InfoHeaderSize || pbFile[0] != 'B' || pbFile[1] != 'M')
        return 0;
    const unsigned char* pbInfo = pbFile + FileHeaderSize;
    KwDibLayout coFront;
    if (!coFront.Read(pbInfo, nSize - FileHeaderSize, 1))
        return 0;
    unsigned long ulBitsAt = U32(pbFile + 10);
    if (ulBitsAt < FileHeaderSize + coFront.ulBitsOffset || ulBitsAt >= nSize)
        ulBitsAt = FileHeaderSize + coFront.ulBitsOffset;
    if (static_cast<unsigned long long>(ulBitsAt) + coFront.ulImageSize > nSize)
        return 0;
    std::vector<unsigned char> coBlock;
    try {
        coBlock.reserve(coFront.ulBitsOffset + coFront.ulImageSize);
        coBlock.assign(pbInfo, pbInfo + coFront.ulBitsOffset);
        coBlock.insert(coBlock.end(), pbFile + ulBitsAt, pbFile + ulBitsAt + coFront.ulImageSize);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return SetPacked(coBlock.data(), coBlock.size());
}

int KwDib::SysCreate(const char* pszFile)
{
    const TString coFile(pszFile);
    SysDelete();
    m_coFileName = coFile;
    TFile coReader;
    if (coFile.IsEmpty() || !coReader.Open(coFile, TFile::ModeRead)) {
        m_coFileName.Empty();
        return 0;
    }
    if (!SysCreate(coReader)) {
        m_coFileName.Empty();
        return 0;
    }
    m_coFileName = coFile;
    return 1;
}

int KwDib::SysCreate(TFile& coFile)
{
    const TString coFileName = m_coFileName;
    SysDelete();
    m_coFileName = coFileName;
    if (!coFile.IsValid())
        return 0;
    const int64_t llStart = coFile->Tell();
    const int64_t llSize = coFile->Size() - llStart;
    if (llStart < 0 || llSize < static_cast<int64_t>(FileHeaderSize + InfoHeaderSize) || llSize > static_cast<int64_t>(MaxFileSize))
        return 0;
    std::vector<unsigned char> coFileBytes;
    try {
        coFileBytes.resize(static_cast<size_t>(llSize));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (coFile->Read(coFileBytes.data(), 1, static_cast<uint32_t>(llSize)) != static_cast<uint32_t>(llSize))
        return 0;
    // A file header may name a smaller size than the rest of the stream.
    const unsigned long ulDeclared = U32(coFileBytes.data() + 2);
    size_t nUsed = coFileBytes.size();
    if (ulDeclared >= FileHeaderSize + InfoHeaderSize && ulDeclared < nUsed)
        nUsed = ulDeclared;
    return ReadFileBlock(coFileBytes.data(), nUsed);
}

KwSize KwDib::GetSize() const
{
    if (!IsValid())
        return KwSize();
    return KwSize(static_cast<short>(m_coLayout.lWidth),
                  static_cast<short>(m_coLayout.lHeight < 0 ? -m_coLayout.lHeight : m_coLayout.lHeight));
}

std::vector<KwPaletteEntry> KwDib::GetColorTable() const
{
    std::vector<KwPaletteEntry> coEntries;
    if (!IsValid())
        return coEntries;
    const unsigned char* pbColors = m_coPacked.data() + m_coLayout.ulBitsOffset - m_coLayout.ulColors * 4;
    for (unsigned long i = 0; i < m_coLayout.ulColors; ++i) {
        KwPaletteEntry coEntry;
        coEntry.bBlue = pbColors[i * 4];
        coEntry.bGreen = pbColors[i * 4 + 1];
        coEntry.bRed = pbColors[i * 4 + 2];
        coEntries.push_back(coEntry);
    }
    return coEntries;
}
