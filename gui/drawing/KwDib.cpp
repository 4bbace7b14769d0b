#include "KwDib.h"

#include "KwPictureCheck.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(KwDib, KwObjGDI, "kw25")

namespace {

enum : unsigned long {
    InfoHeaderSize = 40,
    MaskedHeaderSize = 52,     // the smallest header that holds the three masks itself
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
    // The masks follow a plain header or lie inside a longer one; a header
    // of 41 to 51 bytes has no room for them.
    if (nBitFields && ulHeader > InfoHeaderSize && ulHeader < MaskedHeaderSize)
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

// Resources

namespace {

void PutU32(std::vector<unsigned char>& coOut, unsigned long ul)
{
    for (int i = 0; i < 4; ++i)
        coOut.push_back(static_cast<unsigned char>(ul >> (8 * i)));
}

void PutU16(std::vector<unsigned char>& coOut, unsigned short un)
{
    coOut.push_back(static_cast<unsigned char>(un));
    coOut.push_back(static_cast<unsigned char>(un >> 8));
}

} // namespace

int KwDibRecord::MakePacked(std::vector<unsigned char>& coPacked) const
{
    coPacked.clear();
    if (lSize != InfoHeaderSize || lSizeImage <= 0 || coBits.size() != static_cast<unsigned long>(lSizeImage))
        return 0;
    if (coColors.size() > 256 + 3)
        return 0;
    try {
        coPacked.reserve(InfoHeaderSize + coColors.size() * 4 + coBits.size());
        PutU32(coPacked, static_cast<unsigned long>(lSize));
        PutU32(coPacked, static_cast<unsigned long>(lWidth));
        PutU32(coPacked, static_cast<unsigned long>(lHeight));
        PutU16(coPacked, static_cast<unsigned short>(nPlanes));
        PutU16(coPacked, static_cast<unsigned short>(nBitCount));
        PutU32(coPacked, static_cast<unsigned long>(lCompression));
        PutU32(coPacked, static_cast<unsigned long>(lSizeImage));
        PutU32(coPacked, static_cast<unsigned long>(lXPelsPerMeter));
        PutU32(coPacked, static_cast<unsigned long>(lYPelsPerMeter));
        PutU32(coPacked, static_cast<unsigned long>(lClrUsed));
        PutU32(coPacked, static_cast<unsigned long>(lClrImportant));
        for (unsigned long ulColor : coColors)
            PutU32(coPacked, ulColor);
        coPacked.insert(coPacked.end(), coBits.begin(), coBits.end());
    } catch (const std::bad_alloc&) {
        coPacked.clear();
        return 0;
    }
    KwDibLayout coLayout;
    // Exactly the colour entries the header asks for, and no fewer bits
    // than its rows need.
    if (!coLayout.Read(coPacked.data(), coPacked.size()) || coLayout.ulBitsOffset != InfoHeaderSize + coColors.size() * 4
        || coLayout.ulImageSize > coBits.size()) {
        coPacked.clear();
        return 0;
    }
    return 1;
}

KwDibRecord KwDib::MakeRecord() const
{
    KwDibRecord coRecord;
    const unsigned char* pb = GetPacked();
    if (!pb)
        return coRecord;
    coRecord.lSize = InfoHeaderSize;
    coRecord.lWidth = S32(pb + 4);
    coRecord.lHeight = S32(pb + 8);
    coRecord.nPlanes = static_cast<short>(U16(pb + 12));
    coRecord.nBitCount = static_cast<short>(U16(pb + 14));
    coRecord.lCompression = S32(pb + 16);
    coRecord.lSizeImage = static_cast<long>(m_coLayout.ulImageSize);
    coRecord.lXPelsPerMeter = S32(pb + 24);
    coRecord.lYPelsPerMeter = S32(pb + 28);
    coRecord.lClrUsed = S32(pb + 32);
    coRecord.lClrImportant = S32(pb + 36);
    // A longer header keeps bit-field masks inside itself; the record keeps
    // them in front of the colours.
    if (coRecord.lCompression == static_cast<long>(CompressionBitFields) && m_coLayout.ulHeaderSize >= MaskedHeaderSize) {
        for (int i = 0; i < 3; ++i)
            coRecord.coColors.push_back(U32(pb + InfoHeaderSize + 4 * i));
    }
    const unsigned char* pbColors = pb + m_coLayout.ulHeaderSize;
    for (const unsigned char* pch = pbColors; pch < pb + m_coLayout.ulBitsOffset; pch += 4)
        coRecord.coColors.push_back(U32(pch));
    coRecord.coBits.assign(GetBits(), GetBits() + m_coLayout.ulImageSize);
    return coRecord;
}

void KwDib::WriteData(TFile& coFile) const
{
    KwObjGDI::WriteData(coFile);
    TResString(VarFile, m_coFileName).Write(coFile);
    if (!IsValid() || !m_coLayout.ulImageSize)
        return;
    const KwDibRecord coRecord = MakeRecord();
    TResLong(VarSize, coRecord.lSize).Write(coFile);
    TResLong(VarWidth, coRecord.lWidth).Write(coFile);
    TResLong(VarHeight, coRecord.lHeight).Write(coFile);
    TResShort(VarPlanes, coRecord.nPlanes).Write(coFile);
    TResShort(VarBitCount, coRecord.nBitCount).Write(coFile);
    TResLong(VarCompression, coRecord.lCompression).Write(coFile);
    TResLong(VarSizeImage, coRecord.lSizeImage).Write(coFile);
    TResLong(VarXPels, coRecord.lXPelsPerMeter).Write(coFile);
    TResLong(VarYPels, coRecord.lYPelsPerMeter).Write(coFile);
    TResLong(VarClrUsed, coRecord.lClrUsed).Write(coFile);
    TResLong(VarClrImportant, coRecord.lClrImportant).Write(coFile);
    for (unsigned long ulColor : coRecord.coColors)
        TResLong(VarColor, static_cast<long>(static_cast<int32_t>(ulColor))).Write(coFile);
    const std::vector<unsigned char>& coBits = coRecord.coBits;
    for (size_t nAt = 0; nAt < coBits.size(); nAt += MaxBitsChunk) {
        const size_t nChunk = std::min<size_t>(MaxBitsChunk, coBits.size() - nAt);
        TResChar(VarBits, reinterpret_cast<const char*>(coBits.data() + nAt), static_cast<unsigned short>(nChunk)).Write(coFile);
    }
}

int KwDib::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    const unsigned short unId = coVar.MyId();
    if (unId == VarResId)
        m_coRecord = KwDibRecord();
    KwDibRecord& co = m_coRecord;
    const long lValue = static_cast<long>(coVar);
    switch (unId) {
    case VarFile:
        m_coFileName = coVar.AsText();
        return 1;
    case VarSize: co.lSize = lValue; return 1;
    case VarWidth: co.lWidth = lValue; return 1;
    case VarHeight: co.lHeight = lValue; return 1;
    case VarPlanes: co.nPlanes = static_cast<short>(coVar); return 1;
    case VarBitCount: co.nBitCount = static_cast<short>(coVar); return 1;
    case VarCompression: co.lCompression = lValue; return 1;
    case VarSizeImage: co.lSizeImage = lValue; return 1;
    case VarXPels: co.lXPelsPerMeter = lValue; return 1;
    case VarYPels: co.lYPelsPerMeter = lValue; return 1;
    case VarClrUsed: co.lClrUsed = lValue; return 1;
    case VarClrImportant: co.lClrImportant = lValue; return 1;
    case VarColor: {
        // More entries than any header allows are not kept.
        const size_t nEntries = KwPictureValueCount(coVar.MyType(), coVar.GetCount(), TResVar::TypeLong);
        if (nEntries == 1)
            co.coColors.push_back(static_cast<unsigned long>(static_cast<uint32_t>(lValue)));
        for (size_t i = 0; nEntries > 1 && i < nEntries && co.coColors.size() <= 259; ++i)
            co.coColors.push_back(static_cast<unsigned long>(static_cast<uint32_t>(static_cast<long>(coVar[static_cast<int>(i)]))));
        return 1;
    }
    case VarBits:
        AppendBits(coVar, co.coBits);
        return 1;
    default:
        return KwObjGDI::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

void KwDib::AppendBits(const TResVar& coVar, std::vector<unsigned char>& coBits)
{
    const size_t nCount = KwPictureValueCount(coVar.MyType(), coVar.GetCount(), TResVar::TypeChar);
    if (!nCount)
        return;
    const char* pch = static_cast<const char*>(coVar);
    try {
        coBits.insert(coBits.end(), pch, pch + nCount);
    } catch (const std::bad_alloc&) {
        coBits.clear();
    }
}

TString KwDib::CheckRecord(const KwDibRecord& coRecord)
{
    KwDibRecordCheck coCheck;
    const long alFields[] = { coRecord.lSize, coRecord.lWidth, coRecord.lHeight, coRecord.nPlanes, coRecord.nBitCount,
                              coRecord.lCompression, coRecord.lSizeImage, coRecord.lXPelsPerMeter, coRecord.lYPelsPerMeter,
                              coRecord.lClrUsed, coRecord.lClrImportant };
    for (unsigned short i = 0; i < std::size(alFields); ++i)
        coCheck.Take(static_cast<unsigned short>(KwDibRecordCheck::VarHeaderSize + i), alFields[i]);
    coCheck.AddColors(coRecord.coColors.size());
    coCheck.AddBits(coRecord.coBits.size());
    return coCheck.Check();
}

int KwDib::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwObjGDI::NotifyReadFinished(pcoParent, ulIndex);
    KwDibRecord coRecord;
    std::swap(coRecord, m_coRecord);
    if (coRecord.lSizeImage != 0) {
        // The same rules as kwtcheck's first, so that both reject the same
        // records; then the reader of packed pictures.
        TString coWhy = CheckRecord(coRecord);
        std::vector<unsigned char> coPacked;
        if (coWhy.IsEmpty() && coRecord.MakePacked(coPacked) && SetPacked(coPacked.data(), coPacked.size()))
            return 0;
        SysDelete();
        if (coWhy.IsEmpty())
            coWhy = "its size, colours or bits do not fit together";
        TString coText;
        ReportReadFault(coText.SetText("The picture <%s> is damaged: %s!", static_cast<const char*>(GetResId()),
                                       static_cast<const char*>(coWhy)));
        return 0;
    }
    if (!m_coFileName.IsEmpty())
        SysCreate(m_coFileName);
    else
        SysDelete();
    return 0;
}
