#include "TResVar.h"

#include "TFile.h"
#include "TLogFile.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

uint64_t Decode(const uint8_t* pbBytes, uint32_t nBytes)
{
    uint64_t ullValue = 0;
    for (uint32_t i = nBytes; i > 0; --i)
        ullValue = (ullValue << 8) | pbBytes[i - 1];
    return ullValue;
}

void Encode(uint8_t* pbBytes, uint64_t ullValue, uint32_t nBytes)
{
    for (uint32_t i = 0; i < nBytes; ++i)
        pbBytes[i] = static_cast<uint8_t>(ullValue >> (8 * i));
}

uint32_t FloatBits(float fValue)
{
    uint32_t ulBits;
    std::memcpy(&ulBits, &fValue, sizeof(ulBits));
    return ulBits;
}

uint64_t DoubleBits(double dValue)
{
    uint64_t ullBits;
    std::memcpy(&ullBits, &dValue, sizeof(ullBits));
    return ullBits;
}

// The on-disk bits of one array element and back.
uint64_t ElementBits(char chValue) { return static_cast<uint8_t>(chValue); }
uint64_t ElementBits(short nValue) { return static_cast<uint16_t>(nValue); }
uint64_t ElementBits(long lValue) { return static_cast<uint32_t>(lValue); }
uint64_t ElementBits(float fValue) { return FloatBits(fValue); }
uint64_t ElementBits(double dValue) { return DoubleBits(dValue); }

void FromBits(uint64_t ullBits, char& chValue) { chValue = static_cast<char>(static_cast<uint8_t>(ullBits)); }
void FromBits(uint64_t ullBits, short& nValue) { nValue = static_cast<short>(static_cast<uint16_t>(ullBits)); }
void FromBits(uint64_t ullBits, long& lValue) { lValue = static_cast<int32_t>(static_cast<uint32_t>(ullBits)); }
void FromBits(uint64_t ullBits, float& fValue)
{
    const auto ulBits = static_cast<uint32_t>(ullBits);
    std::memcpy(&fValue, &ulBits, sizeof(fValue));
}
void FromBits(uint64_t ullBits, double& dValue) { std::memcpy(&dValue, &ullBits, sizeof(dValue)); }

// Arrays go to and from the file as one block.
template <class TValue>
int WriteElements(TFile& coFile, const TValue* pValues, unsigned short unCount)
{
    const uint32_t nSize = KwResVarDetail::ElementSize(TValue());
    const uint32_t nBytes = nSize * unCount;
    std::unique_ptr<uint8_t[]> pbBytes(new (std::nothrow) uint8_t[nBytes]);
    if (!pbBytes)
        return 0;
    for (unsigned short i = 0; i < unCount; ++i)
        Encode(pbBytes.get() + static_cast<size_t>(i) * nSize, ElementBits(pValues[i]), nSize);
    return coFile->Write(pbBytes.get(), 1, nBytes) == nBytes ? 1 : 0;
}

template <class TValue>
int ReadElements(TLogFile* pcoReader, int64_t llEnd, TValue* pValues, unsigned short unCount)
{
    const uint32_t nSize = KwResVarDetail::ElementSize(TValue());
    const uint32_t nBytes = nSize * unCount;
    std::unique_ptr<uint8_t[]> pbBytes(new (std::nothrow) uint8_t[nBytes]);
    if (!pbBytes || !TResVar::ReadBytes(pcoReader, llEnd, pbBytes.get(), nBytes)) {
        std::memset(pValues, 0, sizeof(TValue) * unCount);
        return 0;
    }
    for (unsigned short i = 0; i < unCount; ++i)
        FromBits(Decode(pbBytes.get() + static_cast<size_t>(i) * nSize, nSize), pValues[i]);
    return 1;
}

template <class TValue>
int ReadOne(TLogFile* pcoReader, int64_t llEnd, TValue& value)
{
    return ReadElements(pcoReader, llEnd, &value, 1);
}

} // namespace

namespace KwResVarDetail {

int WriteValue(TFile& coFile, char chValue) { return coFile->Wchar(chValue); }
int WriteValue(TFile& coFile, short nValue) { return coFile->Wshort(nValue); }
int WriteValue(TFile& coFile, long lValue) { return coFile->Wlong(lValue); }
int WriteValue(TFile& coFile, float fValue) { return coFile->Wdouble(static_cast<double>(fValue)); }
int WriteValue(TFile& coFile, double dValue) { return coFile->Wdouble(dValue); }
int WriteArray(TFile& coFile, const char* pValues, unsigned short unCount) { return WriteElements(coFile, pValues, unCount); }
int WriteArray(TFile& coFile, const short* pValues, unsigned short unCount) { return WriteElements(coFile, pValues, unCount); }
int WriteArray(TFile& coFile, const long* pValues, unsigned short unCount) { return WriteElements(coFile, pValues, unCount); }
int WriteArray(TFile& coFile, const float* pValues, unsigned short unCount) { return WriteElements(coFile, pValues, unCount); }
int WriteArray(TFile& coFile, const double* pValues, unsigned short unCount) { return WriteElements(coFile, pValues, unCount); }

int ReadValue(TLogFile* pcoReader, int64_t llEnd, char& chValue) { return ReadOne(pcoReader, llEnd, chValue); }
int ReadValue(TLogFile* pcoReader, int64_t llEnd, short& nValue) { return ReadOne(pcoReader, llEnd, nValue); }
int ReadValue(TLogFile* pcoReader, int64_t llEnd, long& lValue) { return ReadOne(pcoReader, llEnd, lValue); }

// A single float is stored as a double and narrowed.
int ReadValue(TLogFile* pcoReader, int64_t llEnd, float& fValue)
{
    double dValue = 0;
    const int nRead = ReadOne(pcoReader, llEnd, dValue);
    fValue = Convert<float>(dValue);
    return nRead;
}

int ReadValue(TLogFile* pcoReader, int64_t llEnd, double& dValue) { return ReadOne(pcoReader, llEnd, dValue); }
int ReadArray(TLogFile* pcoReader, int64_t llEnd, char* pValues, unsigned short unCount) { return ReadElements(pcoReader, llEnd, pValues, unCount); }
int ReadArray(TLogFile* pcoReader, int64_t llEnd, short* pValues, unsigned short unCount) { return ReadElements(pcoReader, llEnd, pValues, unCount); }
int ReadArray(TLogFile* pcoReader, int64_t llEnd, long* pValues, unsigned short unCount) { return ReadElements(pcoReader, llEnd, pValues, unCount); }
int ReadArray(TLogFile* pcoReader, int64_t llEnd, float* pValues, unsigned short unCount) { return ReadElements(pcoReader, llEnd, pValues, unCount); }
int ReadArray(TLogFile* pcoReader, int64_t llEnd, double* pValues, unsigned short unCount) { return ReadElements(pcoReader, llEnd, pValues, unCount); }

} // namespace KwResVarDetail

// TResVar

TResVar::~TResVar()
{
    delete m_pcoElement;
}

TResVar& TResVar::operator=(const TResVar& coOther)
{
    m_unId = coOther.m_unId;
    m_unCount = coOther.m_unCount;
    return *this;
}

void TResVar::Set(unsigned short unId, unsigned short unCount)
{
    m_unId = unId;
    m_unCount = unCount;
}

int64_t TResVar::Remaining(TLogFile* pcoReader, int64_t llEnd)
{
    if (!pcoReader)
        return 0;
    const int64_t llLimit = llEnd < 0 ? pcoReader->Size() : llEnd;
    const int64_t llLeft = llLimit - pcoReader->Tell();
    return llLeft < 0 ? 0 : llLeft;
}

int TResVar::ReadBytes(TLogFile* pcoReader, int64_t llEnd, void* pvBuffer, uint32_t ulCount)
{
    if (ulCount == 0)
        return 1;
    if (!pcoReader || Remaining(pcoReader, llEnd) < ulCount)
        return 0;
    // In pieces: the read cache hands out less than 64 KiB at a time, and a
    // text or an array may be longer.
    constexpr uint32_t kPiece = 32768;
    auto* pchOut = static_cast<char*>(pvBuffer);
    for (uint32_t ulDone = 0; ulDone < ulCount;) {
        const uint32_t ulPiece = ulCount - ulDone < kPiece ? ulCount - ulDone : kPiece;
        if (pcoReader->Read(pchOut + ulDone, 1, ulPiece) != ulPiece)
            return 0;
        ulDone += ulPiece;
    }
    return 1;
}

int TResVar::ReadCountedString(TLogFile* pcoReader, int64_t llEnd, char** ppszText)
{
    *ppszText = nullptr;
    uint8_t abLength[2];
    if (!ReadBytes(pcoReader, llEnd, abLength, 2))
        return 0;
    const auto unLength = static_cast<unsigned short>(Decode(abLength, 2));
    if (unLength == 0)
        return 1;
    if (Remaining(pcoReader, llEnd) < static_cast<int64_t>(unLength) + 1)
        return 0;
    auto* pszText = static_cast<char*>(std::malloc(static_cast<size_t>(unLength) + 1));
    if (!pszText)
        return 0;
    if (!ReadBytes(pcoReader, llEnd, pszText, static_cast<uint32_t>(unLength) + 1) || pszText[unLength] != 0) {
        std::free(pszText);
        return 0;
    }
    *ppszText = pszText;
    return 1;
}

int TResVar::ReadHead(TLogFile* pcoReader, int64_t llEnd)
{
    uint8_t abHead[4];
    if (!ReadBytes(pcoReader, llEnd, abHead, 4))
        return 0;
    m_unCount = static_cast<unsigned short>(Decode(abHead, 2));
    m_unId = static_cast<unsigned short>(Decode(abHead + 2, 2));
    return 1;
}

int TResVar::WriteHead(TFile& coFile) const
{
    uint8_t abHead[6];
    Encode(abHead, MyType(), 2);
    Encode(abHead + 2, m_unCount, 2);
    Encode(abHead + 4, m_unId, 2);
    return coFile->Write(abHead, 1, 6) == 6 ? 1 : 0;
}

int TResVar::Read(TLogFile* pcoReader, int64_t llEnd)
{
    return ReadHead(pcoReader, llEnd);
}

int TResVar::Write(TFile& coFile) const
{
    return WriteHead(coFile);
}

TResVar& TResVar::operator[](int) const
{
    return const_cast<TResVar&>(*this);
}

TString TResVar::AsText() const
{
    if (const auto* pcoString = dynamic_cast<const TResString*>(this))
        return TString(static_cast<const char*>(*pcoString));
    const auto* pcoChar = dynamic_cast<const TResChar*>(this);
    if (!pcoChar)
        return TString();
    const int nCount = GetCount() < 2 || !pcoChar->GetValues() ? 1 : GetCount();
    return TString().Strncpy(static_cast<const char*>(*pcoChar), nCount);
}

// TResString

TResString::TResString(unsigned short unId, const char* pszValue)
{
    Set(unId, pszValue);
}

TResString::TResString(unsigned short unId, const char* const* ppszValues, unsigned short unCount)
{
    Set(unId, ppszValues, unCount);
}

TResString::TResString(const TResString& coOther) : TResVar(coOther)
{
    CopyValues(coOther);
}

TResString& TResString::operator=(const TResString& coOther)
{
    if (this != &coOther) {
        TResVar::operator=(coOther);
        Release();
        CopyValues(coOther);
    }
    return *this;
}

TResString::~TResString()
{
    Release();
}

void TResString::Release()
{
    std::free(m_pszValue);
    m_pszValue = nullptr;
    if (!m_ppszValues)
        return;
    // The array was made for the count at that time; every slot is freed.
    for (unsigned short i = 0; i < m_unSlots; ++i)
        std::free(m_ppszValues[i]);
    delete[] m_ppszValues;
    m_ppszValues = nullptr;
    m_unSlots = 0;
}

void TResString::CopyValues(const TResString& coOther)
{
    m_pszValue = coOther.m_pszValue ? DupText(coOther.m_pszValue) : nullptr;
    if (coOther.m_ppszValues)
        MakeArray(coOther.m_ppszValues, coOther.m_unSlots);
}

int TResString::MakeArray(const char* const* ppszValues, unsigned short unCount)
{
    m_ppszValues = new (std::nothrow) char*[unCount]();
    if (!m_ppszValues) {
        TResVar::Set(MyId(), 0);
        return 0;
    }
    m_unSlots = unCount;
    for (unsigned short i = 0; i < unCount; ++i)
        m_ppszValues[i] = ppszValues && ppszValues[i] ? DupText(ppszValues[i]) : nullptr;
    return 1;
}

char* TResString::DupText(const char* pszText)
{
    const size_t nLength = std::strlen(pszText);
    auto* pszCopy = static_cast<char*>(std::malloc(nLength + 1));
    if (pszCopy)
        std::memcpy(pszCopy, pszText, nLength + 1);
    return pszCopy;
}

void TResString::Set(unsigned short unId, const char* pszValue)
{
    Release();
    TResVar::Set(unId, 1);
    m_pszValue = pszValue ? DupText(pszValue) : nullptr;
}

void TResString::Set(unsigned short unId, const char* const* ppszValues, unsigned short unCount)
{
    Release();
    if (!ppszValues)
        unCount = 0;
    TResVar::Set(unId, unCount);
    if (unCount == 1 && ppszValues[0])
        m_pszValue = DupText(ppszValues[0]);
    if (unCount >= 2)
        MakeArray(ppszValues, unCount);
}

int TResString::Read(TLogFile* pcoReader, int64_t llEnd)
{
    if (!ReadHead(pcoReader, llEnd))
        return 0;
    Release();
    if (GetCount() <= 1)
        return ReadCountedString(pcoReader, llEnd, &m_pszValue);
    // Every text takes at least its two length bytes.
    if (static_cast<int64_t>(GetCount()) * 2 > Remaining(pcoReader, llEnd) || !MakeArray(nullptr, GetCount()))
        return 0;
    for (unsigned short i = 0; i < GetCount(); ++i) {
        if (!ReadCountedString(pcoReader, llEnd, &m_ppszValues[i]))
            return 0;
    }
    return 1;
}

int TResString::Write(TFile& coFile) const
{
    if (!WriteHead(coFile))
        return 0;
    if (GetCount() < 2 || !m_ppszValues)
        return coFile->Wstr(m_pszValue);
    for (unsigned short i = 0; i < GetCount(); ++i) {
        if (!coFile->Wstr(m_ppszValues[i]))
            return 0;
    }
    return 1;
}

TResVar& TResString::operator[](int i) const
{
    if (!m_pcoElement) {
        m_pcoElement = new (std::nothrow) TResString;
        if (!m_pcoElement)
            return const_cast<TResString&>(*this);
    }
    auto* pcoElement = static_cast<TResString*>(m_pcoElement);
    const auto unIndex = static_cast<unsigned short>(i);
    if (unIndex < GetCount())
        pcoElement->Set(MyId(), GetCount() < 2 || !m_ppszValues ? m_pszValue : m_ppszValues[unIndex]);
    return *pcoElement;
}
