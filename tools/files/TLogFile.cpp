#include "TLogFile.h"

#include "TOpSystem.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// One operating-system transfer moves at most this much, so that the count
// fits the long of the operating-system layer everywhere.
constexpr uint32_t kMaxTransfer = 1u << 30;

// The byte count of size x count, 0 when it does not fit 32 bits.
uint32_t ByteCount(uint32_t ulSize, uint32_t ulCount)
{
    const uint64_t ullBytes = static_cast<uint64_t>(ulSize) * ulCount;
    return ullBytes > 0xFFFFFFFFull ? 0 : static_cast<uint32_t>(ullBytes);
}

} // namespace

// TLogFile

TLogFile::~TLogFile() = default;

bool TLogFile::ReadExactly(uint8_t* pbBytes, uint32_t nCount)
{
    if (Read(pbBytes, 1, nCount) == nCount)
        return true;
    std::memset(pbBytes, 0, nCount);
    return false;
}

uint64_t TLogFile::ReadLittleEndian(uint32_t nBytes)
{
    uint8_t abBytes[8] = {};
    if (!ReadExactly(abBytes, nBytes))
        return 0;
    uint64_t ullValue = 0;
    for (uint32_t i = nBytes; i > 0; --i)
        ullValue = (ullValue << 8) | abBytes[i - 1];
    return ullValue;
}

int TLogFile::WriteLittleEndian(uint64_t ullValue, uint32_t nBytes)
{
    uint8_t abBytes[8];
    for (uint32_t i = 0; i < nBytes; ++i)
        abBytes[i] = static_cast<uint8_t>(ullValue >> (8 * i));
    return Write(abBytes, 1, nBytes) == nBytes ? 1 : 0;
}

char TLogFile::Rchar() { return static_cast<char>(ReadLittleEndian(1)); }
unsigned char TLogFile::Ruchar() { return static_cast<unsigned char>(ReadLittleEndian(1)); }
short TLogFile::Rshort() { return static_cast<short>(static_cast<uint16_t>(ReadLittleEndian(2))); }
unsigned short TLogFile::Rushort() { return static_cast<unsigned short>(ReadLittleEndian(2)); }
int TLogFile::Rint() { return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(4))); }
unsigned int TLogFile::Ruint() { return static_cast<uint32_t>(ReadLittleEndian(4)); }
long TLogFile::Rlong() { return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(4))); }
unsigned long TLogFile::Rulong() { return static_cast<uint32_t>(ReadLittleEndian(4)); }

float TLogFile::Rfloat()
{
    return static_cast<float>(Rdouble());
}

double TLogFile::Rdouble()
{
    const uint64_t ullBits = ReadLittleEndian(8);
    double dValue;
    std::memcpy(&dValue, &ullBits, sizeof(dValue));
    return dValue;
}

TString TLogFile::RTString()
{
    char* pszText = Rstr();
    TString coText(pszText);
    std::free(pszText);
    return coText;
}

char* TLogFile::Rstr()
{
    const unsigned short unLength = Rushort();
    if (unLength == 0)
        return nullptr;
    auto* pszText = static_cast<char*>(std::malloc(static_cast<size_t>(unLength) + 1));
    if (!pszText) {
        // The text is passed over, so the values after it still read.
        Seek(static_cast<int64_t>(unLength) + 1, FromCurrent);
        return nullptr;
    }
    // Characters and zero byte are read apart: a stream may refuse single
    // transfers of 64 KiB and more. The stored zero byte is not trusted, a
    // damaged file may hold another.
    uint8_t bEnd = 0;
    if (!ReadExactly(reinterpret_cast<uint8_t*>(pszText), unLength) || !ReadExactly(&bEnd, 1)) {
        std::free(pszText);
        return nullptr;
    }
    pszText[unLength] = 0;
    return pszText;
}

void* TLogFile::Rmem(unsigned short* punLength)
{
    if (punLength)
        *punLength = 0;
    const unsigned short unLength = Rushort();
    if (unLength == 0)
        return nullptr;
    void* pvData = std::malloc(unLength);
    if (!pvData) {
        Seek(unLength, FromCurrent);
        return nullptr;
    }
    if (!ReadExactly(static_cast<uint8_t*>(pvData), unLength)) {
        std::free(pvData);
        return nullptr;
    }
    if (punLength)
        *punLength = unLength;
    return pvData;
}

int TLogFile::Wchar(char chValue) { return WriteLittleEndian(static_cast<uint8_t>(chValue), 1); }
int TLogFile::Wuchar(unsigned char uchValue) { return WriteLittleEndian(uchValue, 1); }
int TLogFile::Wshort(short nValue) { return WriteLittleEndian(static_cast<uint16_t>(nValue), 2); }
int TLogFile::Wushort(unsigned short unValue) { return WriteLittleEndian(unValue, 2); }
int TLogFile::Wint(int nValue) { return WriteLittleEndian(static_cast<uint32_t>(nValue), 4); }
int TLogFile::Wuint(unsigned int unValue) { return WriteLittleEndian(static_cast<uint32_t>(unValue), 4); }
int TLogFile::Wlong(long lValue) { return WriteLittleEndian(static_cast<uint32_t>(lValue), 4); }
int TLogFile::Wulong(unsigned long ulValue) { return WriteLittleEndian(static_cast<uint32_t>(ulValue), 4); }

int TLogFile::Wfloat(float fValue)
{
    return Wdouble(static_cast<double>(fValue));
}

int TLogFile::Wdouble(double dValue)
{
    uint64_t ullBits;
    std::memcpy(&ullBits, &dValue, sizeof(ullBits));
    return WriteLittleEndian(ullBits, 8);
}

int TLogFile::Wstr(const char* pszText)
{
    const size_t nLength = pszText ? std::strlen(pszText) : 0;
    const bool bFits = nLength <= MaxCounted;
    const auto unLength = static_cast<unsigned short>(bFits ? nLength : MaxCounted);
    if (!Wushort(unLength))
        return 0;
    if (unLength == 0)
        return 1;
    if (Write(pszText, 1, unLength) != unLength)
        return 0;
    const char chEnd = 0;
    if (Write(&chEnd, 1, 1) != 1)
        return 0;
    return bFits ? 1 : 0;
}

int TLogFile::WTString(const TString& coText)
{
    return Wstr(coText);
}

int TLogFile::Wmem(const void* pvData, unsigned short unLength)
{
    if (!pvData)
        unLength = 0;
    if (!Wushort(unLength))
        return 0;
    return unLength == 0 || Write(pvData, 1, unLength) == unLength ? 1 : 0;
}

// TRealFile

int TRealFile::Seek(int64_t llPosition, unsigned short unMode)
{
    if (m_nHandle < 0)
        return 0;
    int64_t llBase = 0;
    if (unMode == FromCurrent)
        llBase = Tell();
    else if (unMode == FromEnd)
        llBase = Size();
    if (llBase < 0 || (llPosition < 0 && llBase + llPosition < 0))
        return 0;
    const int64_t llTarget = llBase + llPosition;
    CurrentOS().SeekFile(m_nHandle, llTarget, FromBegin);
    return CurrentOS().TellFile(m_nHandle) == llTarget ? 1 : 0;
}

int64_t TRealFile::Tell()
{
    return m_nHandle < 0 ? 0 : CurrentOS().TellFile(m_nHandle);
}

int64_t TRealFile::Size()
{
    return m_nHandle < 0 ? 0 : CurrentOS().FileLength(m_nHandle);
}

uint32_t TRealFile::Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount)
{
    const uint32_t ulBytes = ByteCount(ulSize, ulCount);
    if (m_nHandle < 0 || !pvBuffer || ulBytes == 0)
        return 0;
    auto* pchBuffer = static_cast<char*>(pvBuffer);
    uint32_t ulDone = 0;
    while (ulDone < ulBytes) {
        const uint32_t ulPiece = ulBytes - ulDone < kMaxTransfer ? ulBytes - ulDone : kMaxTransfer;
        const long lRead = CurrentOS().ReadFile(m_nHandle, pchBuffer + ulDone, static_cast<long>(ulPiece));
        if (lRead <= 0)
            break;
        ulDone += static_cast<uint32_t>(lRead);
        if (static_cast<uint32_t>(lRead) < ulPiece)
            break;
    }
    return ulDone;
}

uint32_t TRealFile::Write(const void* pvBuffer, uint32_t ulSize, uint32_t ulCount)
{
    const uint32_t ulBytes = ByteCount(ulSize, ulCount);
    if (m_nHandle < 0 || !pvBuffer || ulBytes == 0)
        return 0;
    const auto* pchBuffer = static_cast<const char*>(pvBuffer);
    uint32_t ulDone = 0;
    while (ulDone < ulBytes) {
        const uint32_t ulPiece = ulBytes - ulDone < kMaxTransfer ? ulBytes - ulDone : kMaxTransfer;
        const long lWritten = CurrentOS().WriteFile(m_nHandle, pchBuffer + ulDone, static_cast<long>(ulPiece));
        if (lWritten <= 0)
            break;
        ulDone += static_cast<uint32_t>(lWritten);
        if (static_cast<uint32_t>(lWritten) < ulPiece)
            break;
    }
    return ulDone;
}

// TCacheFile

namespace {

constexpr unsigned short kMinimumBlock = 256;
constexpr uint32_t kMaxBlocks = 0xFFFF;
constexpr uint32_t kMaxCacheRead = 65536;

} // namespace

TCacheFile::TCacheFile(int nHandle, uint32_t ulLength, unsigned short unBlockSize, unsigned short unMinBlockSize)
    : m_nHandle(nHandle)
    , m_ulLength(ulLength)
    , m_unBlockSize(unBlockSize)
    , m_unMinBlockSize(unMinBlockSize < kMinimumBlock ? kMinimumBlock : unMinBlockSize)
{
    if (m_unBlockSize < m_unMinBlockSize)
        m_unBlockSize = m_unMinBlockSize;
    Fill();
}

TCacheFile::~TCacheFile() = default;

void TCacheFile::Fill()
{
    if (m_nHandle < 0 || m_ulLength == 0) {
        m_ulLength = 0;
        return;
    }
    // The block count is a 16-bit number: a long range takes larger blocks,
    // and one that even 64 KiB blocks cannot hold is not cached.
    const uint32_t ulNeeded = static_cast<uint32_t>((static_cast<uint64_t>(m_ulLength) + kMaxBlocks - 1) / kMaxBlocks);
    if (ulNeeded > 0xFFFF) {
        m_ulLength = 0;
        return;
    }
    if (ulNeeded > m_unBlockSize)
        m_unBlockSize = static_cast<unsigned short>(ulNeeded);
    const auto ulBlocks = static_cast<uint32_t>((static_cast<uint64_t>(m_ulLength) + m_unBlockSize - 1) / m_unBlockSize);
    m_ppchBlocks.reset(new (std::nothrow) std::unique_ptr<char[]>[ulBlocks]);
    if (!m_ppchBlocks) {
        m_ulLength = 0;
        return;
    }
    uint32_t ulRead = 0;
    while (ulRead < m_ulLength) {
        const uint32_t ulLeft = m_ulLength - ulRead;
        const uint32_t ulWanted = ulLeft < m_unBlockSize ? ulLeft : m_unBlockSize;
        std::unique_ptr<char[]> pchBlock(new (std::nothrow) char[ulWanted]);
        if (!pchBlock)
            break;
        const long lGot = CurrentOS().ReadFile(m_nHandle, pchBlock.get(), static_cast<long>(ulWanted));
        if (lGot <= 0)
            break;
        m_ppchBlocks[m_unBlockCount++] = std::move(pchBlock);
        ulRead += static_cast<uint32_t>(lGot);
        if (static_cast<uint32_t>(lGot) < ulWanted)
            break;
    }
    // What could not be read is not part of the range.
    m_ulLength = ulRead;
}

int TCacheFile::Seek(int64_t llPosition, unsigned short unMode)
{
    int64_t llBase;
    switch (unMode) {
    case FromBegin: llBase = 0; break;
    case FromCurrent: llBase = m_lPosition; break;
    case FromEnd: llBase = m_ulLength; break;
    default: return 0;
    }
    // The range is at most 4 GiB, so a position beyond that fails either way.
    if (llPosition > static_cast<int64_t>(0xFFFFFFFFll) || llPosition < -static_cast<int64_t>(0xFFFFFFFFll))
        return 0;
    const int64_t llTarget = llBase + llPosition;
    if (llTarget < 0 || llTarget > static_cast<int64_t>(m_ulLength))
        return 0;
    m_lPosition = llTarget;
    return 1;
}

int64_t TCacheFile::Size()
{
    return CurrentOS().FileLength(m_nHandle);
}

uint32_t TCacheFile::Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount)
{
    const uint64_t ullWanted = static_cast<uint64_t>(ulSize) * ulCount;
    if (!pvBuffer || ullWanted == 0 || ullWanted >= kMaxCacheRead)
        return 0;
    const uint64_t ullLeft = m_ulLength - static_cast<uint64_t>(m_lPosition);
    auto ulBytes = static_cast<uint32_t>(ullWanted < ullLeft ? ullWanted : ullLeft);
    auto* pchOut = static_cast<char*>(pvBuffer);
    uint32_t ulDone = 0;
    while (ulDone < ulBytes) {
        const uint64_t ullPos = static_cast<uint64_t>(m_lPosition) + ulDone;
        const auto ulBlock = static_cast<uint32_t>(ullPos / m_unBlockSize);
        const auto ulOffset = static_cast<uint32_t>(ullPos % m_unBlockSize);
        uint32_t ulPiece = m_unBlockSize - ulOffset;
        if (ulPiece > ulBytes - ulDone)
            ulPiece = ulBytes - ulDone;
        std::memcpy(pchOut + ulDone, m_ppchBlocks[ulBlock].get() + ulOffset, ulPiece);
        ulDone += ulPiece;
    }
    m_lPosition += ulDone;
    return ulDone;
}

uint32_t TCacheFile::Write(const void*, uint32_t, uint32_t)
{
    return 0;
}
