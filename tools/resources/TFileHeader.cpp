#include "TFileHeader.h"

#include "TCrt.h"
#include "TFile.h"
#include "TFileHdl.h"
#include "TLogFile.h"
#include "TResReadHdl.h"
#include "TResVar.h"
#include "TResource.h"
#include "TSaveBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace {

// The private decoder yields the password only to callers that know this.
const char* const kGuardWord = "Quillwort";
// The key that stands for 00:00:00, which would make every product 0.
constexpr uint32_t kMidnightKey = 240000;
// Index entries read or written in one go.
constexpr unsigned short kEntriesPerBlock = 64;
// Blocks longer than this cannot be told apart from a damaged length word.
constexpr uint32_t kMaxBlockWords = 32767;

uint32_t RotateLeft(uint32_t ulValue, unsigned nBits) { return (ulValue << nBits) | (ulValue >> (32 - nBits)); }
uint32_t RotateRight(uint32_t ulValue, unsigned nBits) { return (ulValue >> nBits) | (ulValue << (32 - nBits)); }

uint32_t GetU32(const uint8_t* pb)
{
    return static_cast<uint32_t>(pb[0]) | (static_cast<uint32_t>(pb[1]) << 8) | (static_cast<uint32_t>(pb[2]) << 16)
           | (static_cast<uint32_t>(pb[3]) << 24);
}

void PutU32(uint8_t* pb, uint32_t ulValue)
{
    for (int i = 0; i < 4; ++i)
        pb[i] = static_cast<uint8_t>(ulValue >> (8 * i));
}

void CopyCut(char* pszTarget, size_t nSize, const char* pszSource)
{
    std::memset(pszTarget, 0, nSize);
    if (pszSource)
        std::strncpy(pszTarget, pszSource, nSize - 1);
}

int64_t Remaining(TFile& coFile)
{
    return TResVar::Remaining(coFile.operator->(), -1);
}

// A counted string of the header; 0 when it is cut off or unterminated.
int ReadText(TFile& coFile, TString& coText)
{
    char* pszText = nullptr;
    if (!TResVar::ReadCountedString(coFile.operator->(), -1, &pszText))
        return 0;
    coText = pszText;
    std::free(pszText);
    return 1;
}

int ReadU16(TFile& coFile, unsigned short& unValue)
{
    uint8_t ab[2];
    if (!TResVar::ReadBytes(coFile.operator->(), -1, ab, 2))
        return 0;
    unValue = static_cast<unsigned short>(ab[0] | (ab[1] << 8));
    return 1;
}

int ReadDate(TFile& coFile, TDateF& coDate)
{
    if (Remaining(coFile) < 6)
        return 0;
    coDate.Read(coFile);
    return 1;
}

int ReadTime(TFile& coFile, TTimeF& coTime)
{
    if (Remaining(coFile) < 6)
        return 0;
    coTime.Read(coFile);
    return 1;
}

} // namespace

// TFileIndex

TFileIndex::TFileIndex(const char* pszId, const char* pszClass, unsigned short unType, unsigned short unWParam,
                       uint32_t ulLParam)
    : m_unType(unType)
    , m_unWParam(unWParam)
    , m_ulLParam(ulLParam)
{
    SetId(pszId);
    SetClass(pszClass);
}

void TFileIndex::SetId(const char* pszId)
{
    CopyCut(m_szId, IdSize, pszId);
}

void TFileIndex::SetClass(const char* pszClass)
{
    CopyCut(m_szClass, ClassSize, pszClass);
}

void TFileIndex::SetParams(const char* pszClass, unsigned short unWParam, uint32_t ulLParam)
{
    SetClass(pszClass);
    m_unWParam = unWParam;
    m_ulLParam = ulLParam;
}

void TFileIndex::Destroy(void* pvIndex)
{
    delete static_cast<TFileIndex*>(pvIndex);
}

int TFileIndex::CompareById(const void* pvA, const void* pvB)
{
    return CrtStricmp(static_cast<const TFileIndex*>(pvA)->m_szId, static_cast<const TFileIndex*>(pvB)->m_szId);
}

void TFileIndex::Encode(uint8_t* pbEntry, int32_t lDataPos, int32_t lEndPos) const
{
    std::memcpy(pbEntry, m_szId, IdSize);
    std::memcpy(pbEntry + 32, m_szClass, ClassSize);
    pbEntry[96] = static_cast<uint8_t>(m_unType);
    pbEntry[97] = static_cast<uint8_t>(m_unType >> 8);
    pbEntry[98] = static_cast<uint8_t>(m_unWParam);
    pbEntry[99] = static_cast<uint8_t>(m_unWParam >> 8);
    PutU32(pbEntry + 100, m_ulLParam);
    PutU32(pbEntry + 104, static_cast<uint32_t>(lDataPos));
    PutU32(pbEntry + 108, static_cast<uint32_t>(lEndPos));
}

void TFileIndex::Decode(const uint8_t* pbEntry)
{
    // A damaged entry may fill its fields to the last byte.
    std::memcpy(m_szId, pbEntry, IdSize);
    m_szId[IdSize - 1] = 0;
    std::memcpy(m_szClass, pbEntry + 32, ClassSize);
    m_szClass[ClassSize - 1] = 0;
    m_unType = static_cast<unsigned short>(pbEntry[96] | (pbEntry[97] << 8));
    m_unWParam = static_cast<unsigned short>(pbEntry[98] | (pbEntry[99] << 8));
    m_ulLParam = GetU32(pbEntry + 100);
    m_lDataPos = static_cast<int32_t>(GetU32(pbEntry + 104));
    m_lEndPos = static_cast<int32_t>(GetU32(pbEntry + 108));
    m_lHeaderPos = -1;
}

int32_t TFileIndex::WriteResource(const TResource& coResource, TFile& coFile)
{
    // The entry keeps at most 31 characters of the resource's id.
    char szId[IdSize];
    CopyCut(szId, IdSize, coResource.GetResId());
    if (!coFile.IsValid() || !m_szId[0] || CrtStricmp(m_szId, szId) != 0)
        return -1;
    if (!coFile->Seek(0, TLogFile::FromEnd))
        return -1;
    const int64_t llStart = coFile->Tell();
    if (llStart < 0 || llStart > std::numeric_limits<int32_t>::max())
        return -1;
    if (!coResource.WriteResource(coFile))
        return -1;
    const int64_t llEnd = coFile->Tell();
    if (llEnd < llStart || llEnd > std::numeric_limits<int32_t>::max())
        return -1;
    m_lDataPos = static_cast<int32_t>(llStart);
    m_lEndPos = static_cast<int32_t>(llEnd);
    return m_lDataPos;
}

int32_t TFileIndex::CopyResource(TSaveBuffer& coOutput, TFile& coWork) const
{
    if (!HasData() || !coWork.IsValid())
        return -1;
    const int64_t llStart = coOutput.Tell();
    const auto ulLength = static_cast<uint32_t>(m_lEndPos - m_lDataPos);
    if (llStart < 0 || llStart + ulLength > std::numeric_limits<int32_t>::max())
        return -1;
    if (!coOutput.Append(*coWork.operator->(), m_lDataPos, ulLength))
        return -1;
    return static_cast<int32_t>(llStart);
}

TResource* TFileIndex::LoadResource(TFileHdl& coHdl, TFile& coFile, TResource* pcoTarget, TResource* pcoParent,
                                    int nFlag) const
{
    if (!m_szId[0] || !HasData() || !coFile.IsValid())
        return nullptr;
    // The header reader has checked the range against the file; a working
    // file cannot have shrunk below it, but a reading copy is checked again.
    if (m_lEndPos > coFile->Size() || !coFile->Seek(m_lDataPos, TLogFile::FromBegin))
        return nullptr;
    const auto ulLength = static_cast<uint32_t>(m_lEndPos - m_lDataPos);
    std::unique_ptr<TLogFile> pcoReader;
    int64_t llLimit = m_lEndPos;
    if (coHdl.IsReadCacheOn()) {
        pcoReader.reset(new (std::nothrow) TCacheFile(coFile.GetHandle(), ulLength, coHdl.GetBlockBufferSize(),
                                                      TFileHdl::MinBlockBufferSize));
        llLimit = ulLength;
    } else {
        pcoReader.reset(new (std::nothrow) TRealFile(coFile.GetHandle()));
    }
    if (!pcoReader)
        return nullptr;
    TResReadHdl coReader(&coHdl, nFlag);
    coReader.SetReadLimit(llLimit);
    while (!coReader.ReadDataResource(pcoReader.get(), pcoTarget, pcoParent)) {
    }
    TResource* pcoObject = coReader.GetResourceObject();
    if (!coReader.IsDamaged())
        return pcoObject;
    if (pcoObject && pcoObject != pcoTarget)
        coReader.DiscardObject();
    return nullptr;
}

// TFileHeader

TFileHeader::TFileHeader() : TArray(32, TFileIndex::Destroy, TFileIndex::CompareById)
{
}

TFileHeader::~TFileHeader() = default;

const char* TFileHeader::Signature()
{
    return "File created with Dynamic Resource File Handler (DRF) - Brackenholt";
}

const char* TFileHeader::FormatVersion()
{
    return "V2.60";
}

unsigned short TFileHeader::VersionNumber(const char* pszVersion)
{
    if (!pszVersion || pszVersion[0] != 'V')
        return 0;
    const char* psz = pszVersion + 1;
    unsigned long ulMajor = 0;
    while (*psz >= '0' && *psz <= '9' && ulMajor < 1000)
        ulMajor = ulMajor * 10 + static_cast<unsigned long>(*psz++ - '0');
    unsigned long ulMinor = 0;
    if (*psz == '.') {
        ++psz;
        while (*psz >= '0' && *psz <= '9' && ulMinor < 1000)
            ulMinor = ulMinor * 10 + static_cast<unsigned long>(*psz++ - '0');
    }
    const unsigned long ulNumber = ulMajor * 100 + ulMinor;
    return static_cast<unsigned short>(ulNumber > 0xFFFF ? 0xFFFF : ulNumber);
}

TFileIndex* TFileHeader::GetIndexRes(const char* pszId, short* psPos) const
{
    if (psPos)
        *psPos = -1;
    if (!pszId || !*pszId)
        return nullptr;
    const TFileIndex coKey(pszId, nullptr, 0, 0, 0);
    void* pvFound = nullptr;
    const long lPos = Find(&coKey, &pvFound);
    if (lPos < 0 || !pvFound)
        return nullptr;
    if (psPos)
        *psPos = static_cast<short>(lPos);
    return static_cast<TFileIndex*>(pvFound);
}

void TFileHeader::DestroyData()
{
    Delete();
    m_unProtection = 0;
    m_coReadBlock.clear();
    m_coWriteBlock.clear();
    m_coVersion.Empty();
    m_coUserCreated.Empty();
    m_coDateCreated = TDateF();
    m_coTimeCreated = TTimeF();
    m_coUserChanged.Empty();
    m_coDateChanged = TDateF();
    m_coTimeChanged = TTimeF();
    m_lDataPos = -1;
}

int TFileHeader::Write(TFile& coFile, TFileHdl& coHdl)
{
    if (!coFile->Seek(0, TLogFile::FromBegin))
        return 0;
    const TString coDescription = coHdl.GetCustomDescription();
    int nOk = 1;
    if (!coDescription.IsEmpty()) {
        const auto ulBytes = static_cast<uint32_t>(coDescription.Strlen()) + 1;
        nOk &= coFile->Write(static_cast<const char*>(coDescription), 1, ulBytes) == ulBytes ? 1 : 0;
    }
    nOk &= coFile->Wstr(coHdl.GetCustomVersion());
    nOk &= coFile->Wulong(coHdl.GetCustomNumber());
    nOk &= coFile->Wstr(Signature());
    nOk &= coFile->Wstr(FormatVersion());
    nOk &= coFile->Wstr(m_coUserCreated);
    nOk &= m_coDateCreated.Write(coFile);
    nOk &= m_coTimeCreated.Write(coFile);
    nOk &= coFile->Wstr(m_coUserChanged);
    nOk &= m_coDateChanged.Write(coFile);
    nOk &= m_coTimeChanged.Write(coFile);
    nOk &= coFile->Wushort(m_unProtection);
    if (IsReadProtect() && !m_coReadBlock.empty())
        nOk &= WritePasswordBlock(coFile, m_coReadBlock);
    if (IsWriteProtect() && !m_coWriteBlock.empty())
        nOk &= WritePasswordBlock(coFile, m_coWriteBlock);
    nOk &= coFile->Wshort(GetIndexCount());
    return nOk & WriteEntries(coFile, nullptr);
}

// Like the reader, the entries go out a block at a time, from the file's
// position on; with positions, those of the saved file instead of the
// entries' own.
int TFileHeader::WriteEntries(TFile& coFile, const std::vector<TSavedPos>* pcoPositions)
{
    uint8_t abBlock[kEntriesPerBlock * TFileIndex::DiskSize];
    const int64_t llFirst = coFile->Tell();
    if (llFirst < 0)
        return 0;
    short i = 0;
    while (i < GetIndexCount()) {
        uint32_t ulInBlock = 0;
        for (; i < GetIndexCount() && ulInBlock < kEntriesPerBlock; ++i, ++ulInBlock) {
            TFileIndex* pcoIndex = (*this)[i];
            const int64_t llEntryPos = llFirst + static_cast<int64_t>(i) * TFileIndex::DiskSize;
            pcoIndex->m_lHeaderPos =
                llEntryPos > std::numeric_limits<int32_t>::max() ? -1 : static_cast<int32_t>(llEntryPos);
            const TSavedPos coPos = pcoPositions ? (*pcoPositions)[static_cast<size_t>(i)]
                                                 : TSavedPos { pcoIndex->m_lDataPos, pcoIndex->m_lEndPos };
            pcoIndex->Encode(abBlock + ulInBlock * TFileIndex::DiskSize, coPos.lDataPos, coPos.lEndPos);
        }
        const uint32_t ulBytes = ulInBlock * TFileIndex::DiskSize;
        if (coFile->Write(abBlock, 1, ulBytes) != ulBytes)
            return 0;
    }
    return 1;
}

int TFileHeader::WriteSavedPositions(TFile& coFile, const std::vector<TSavedPos>& coPositions)
{
    if (coPositions.size() != static_cast<size_t>(GetIndexCount()))
        return 0;
    if (GetIndexCount() == 0)
        return 1;
    const int32_t lFirst = (*this)[0]->GetHeaderPos();
    return lFirst >= 0 && coFile->Seek(lFirst, TLogFile::FromBegin) && WriteEntries(coFile, &coPositions)
        && coFile->Seek(0, TLogFile::FromEnd);
}

int TFileHeader::Read(TFile& coFile, TFileHdl& coHdl, const char* pszPassword, unsigned short* punError,
                      int nCheckRead)
{
    unsigned short unDummy = 0;
    unsigned short& unError = punError ? *punError : unDummy;
    DestroyData();
    unError = TFileHdl::ErrGeneral;
    if (!coFile.IsValid() || !coFile->Seek(0, TLogFile::FromBegin))
        return 0;
    const int64_t llSize = coFile->Size();

    const TString coDescription = coHdl.GetCustomDescription();
    if (!coDescription.IsEmpty()) {
        unError = TFileHdl::ErrFormat;
        const auto ulBytes = static_cast<uint32_t>(coDescription.Strlen()) + 1;
        if (ulBytes > MaxDescription + 1)
            return 0;
        char achRead[MaxDescription + 1];
        if (!TResVar::ReadBytes(coFile.operator->(), -1, achRead, ulBytes))
            return 0;
        // The description ends with its zero byte; a longer text differs.
        if (achRead[ulBytes - 1] != 0 || std::memcmp(achRead, coDescription, ulBytes - 1) != 0)
            return 0;
    }

    unError = TFileHdl::ErrNoSignature;
    TString coText;
    if (!ReadText(coFile, coText))
        return 0;
    coHdl.SetCustomVersion(coText);
    uint8_t abNumber[4];
    if (!TResVar::ReadBytes(coFile.operator->(), -1, abNumber, 4))
        return 0;
    coHdl.SetCustomNumber(GetU32(abNumber));

    unsigned short unLength = 0;
    if (!ReadU16(coFile, unLength) || unLength == 0)
        return 0;
    unError = TFileHdl::ErrSignature;
    const size_t nSignature = std::strlen(Signature());
    if (unLength != nSignature)
        return 0;
    char achSignature[128];
    if (!TResVar::ReadBytes(coFile.operator->(), -1, achSignature, static_cast<uint32_t>(nSignature) + 1)
        || std::memcmp(achSignature, Signature(), nSignature) != 0 || achSignature[nSignature] != 0)
        return 0;

    unError = TFileHdl::ErrDamaged;
    if (!ReadText(coFile, m_coVersion) || !ReadText(coFile, m_coUserCreated) || !ReadDate(coFile, m_coDateCreated)
        || !ReadTime(coFile, m_coTimeCreated) || !ReadText(coFile, m_coUserChanged)
        || !ReadDate(coFile, m_coDateChanged) || !ReadTime(coFile, m_coTimeChanged)
        || !ReadU16(coFile, m_unProtection))
        return 0;
    if (IsReadProtect()) {
        if (!ReadPasswordBlock(coFile, llSize, m_coReadBlock))
            return 0;
        if (nCheckRead && !CanRead(pszPassword)) {
            unError = TFileHdl::ErrNoReadAccess;
            return 0;
        }
    }
    if (IsWriteProtect() && !ReadPasswordBlock(coFile, llSize, m_coWriteBlock))
        return 0;

    unsigned short unCount = 0;
    if (!ReadU16(coFile, unCount) || static_cast<short>(unCount) < 0
        || static_cast<int64_t>(unCount) * TFileIndex::DiskSize > Remaining(coFile))
        return 0;
    if (!ReadEntries(coFile, unCount))
        return 0;
    const int64_t llDataPos = coFile->Tell();
    if (llDataPos > std::numeric_limits<int32_t>::max() || llSize > std::numeric_limits<int32_t>::max())
        return 0;
    m_lDataPos = static_cast<int32_t>(llDataPos);
    // Every record must lie in the data area.
    for (short i = 0; i < GetIndexCount(); ++i) {
        const TFileIndex* pcoIndex = (*this)[i];
        if (pcoIndex->GetDataPos() == -1)
            continue;
        if (pcoIndex->GetDataPos() < m_lDataPos || pcoIndex->GetEndPos() < pcoIndex->GetDataPos()
            || pcoIndex->GetEndPos() > llSize)
            return 0;
    }
    unError = TFileHdl::Success;
    return 1;
}

int TFileHeader::ReadPasswordBlock(TFile& coFile, int64_t, std::vector<uint32_t>& coBlock)
{
    coBlock.clear();
    const int64_t llStart = coFile->Tell();
    uint8_t abWord[4];
    if (!TResVar::ReadBytes(coFile.operator->(), -1, abWord, 4))
        return 0;
    const uint32_t ulWords = (GetU32(abWord) >> 8) + 2;
    if (ulWords > kMaxBlockWords || static_cast<int64_t>(ulWords) * 4 > Remaining(coFile) + 4
        || !coFile->Seek(llStart, TLogFile::FromBegin))
        return 0;
    std::unique_ptr<uint8_t[]> pbBytes(new (std::nothrow) uint8_t[ulWords * 4]);
    if (!pbBytes || !TResVar::ReadBytes(coFile.operator->(), -1, pbBytes.get(), ulWords * 4))
        return 0;
    coBlock.resize(ulWords);
    for (uint32_t i = 0; i < ulWords; ++i)
        coBlock[i] = GetU32(pbBytes.get() + 4 * i);
    return 1;
}

// The entries are read a block at a time: an index of thousands of entries
// would otherwise cost as many reads.
int TFileHeader::ReadEntries(TFile& coFile, unsigned short unCount)
{
    uint8_t abBlock[kEntriesPerBlock * TFileIndex::DiskSize];
    unsigned short unDone = 0;
    while (unDone < unCount) {
        const unsigned short unLeft = static_cast<unsigned short>(unCount - unDone);
        const unsigned short unInBlock = unLeft < kEntriesPerBlock ? unLeft : kEntriesPerBlock;
        if (!TResVar::ReadBytes(coFile.operator->(), -1, abBlock, unInBlock * TFileIndex::DiskSize))
            return 0;
        for (unsigned short i = 0; i < unInBlock; ++i) {
            auto* pcoIndex = new (std::nothrow) TFileIndex(nullptr, nullptr, 0, 0, 0);
            if (!pcoIndex)
                return 0;
            pcoIndex->Decode(abBlock + i * TFileIndex::DiskSize);
            // Two entries of one id would make one of them unreachable.
            if (GetIndexRes(pcoIndex->GetId()) || !Insert(pcoIndex, nullptr)) {
                delete pcoIndex;
                return 0;
            }
        }
        unDone = static_cast<unsigned short>(unDone + unInBlock);
    }
    return 1;
}

int TFileHeader::WritePasswordBlock(TFile& coFile, const std::vector<uint32_t>& coBlock)
{
    std::unique_ptr<uint8_t[]> pbBytes(new (std::nothrow) uint8_t[coBlock.size() * 4]);
    if (!pbBytes)
        return 0;
    for (size_t i = 0; i < coBlock.size(); ++i)
        PutU32(pbBytes.get() + 4 * i, coBlock[i]);
    const auto ulBytes = static_cast<uint32_t>(coBlock.size() * 4);
    return coFile->Write(pbBytes.get(), 1, ulBytes) == ulBytes ? 1 : 0;
}

std::vector<uint32_t> TFileHeader::MakePasswordBlock(const char* pszPassword, uint32_t ulKey)
{
    std::vector<uint32_t> coBlock;
    const size_t nLength = pszPassword ? std::strlen(pszPassword) : 0;
    if (nLength == 0 || nLength + 2 > kMaxBlockWords)
        return coBlock;
    if (ulKey == 0)
        ulKey = kMidnightKey;
    coBlock.reserve(nLength + 2);
    coBlock.push_back(static_cast<uint32_t>(nLength) << 8);
    coBlock.push_back(RotateLeft(ulKey, 8));
    for (size_t i = 0; i < nLength; ++i)
        coBlock.push_back(RotateLeft(static_cast<uint32_t>(static_cast<unsigned char>(pszPassword[i])) * ulKey, 16));
    return coBlock;
}

int TFileHeader::DecodePassword(const std::vector<uint32_t>& coBlock, const char* pszGuard, TString& coText)
{
    coText.Empty();
    if (!pszGuard || std::strcmp(pszGuard, kGuardWord) != 0 || coBlock.size() < 2)
        return 0;
    const uint32_t ulLength = coBlock[0] >> 8;
    const uint32_t ulKey = RotateRight(coBlock[1], 8);
    // A key of 0 leaves nothing to divide by: such a block opens to nobody.
    if (ulLength == 0 || ulKey == 0 || coBlock.size() < ulLength + 2)
        return 0;
    std::unique_ptr<char[]> pszText(new (std::nothrow) char[ulLength + 1]);
    if (!pszText)
        return 0;
    for (uint32_t i = 0; i < ulLength; ++i) {
        const char chDecoded = static_cast<char>(static_cast<uint8_t>(RotateRight(coBlock[i + 2], 16) / ulKey));
        // A zero byte would cut the text short and let a prefix pass.
        if (chDecoded == 0)
            return 0;
        pszText[i] = chDecoded;
    }
    pszText[ulLength] = 0;
    coText = pszText.get();
    return 1;
}

int TFileHeader::PasswordMatches(const std::vector<uint32_t>& coBlock, const char* pszPassword)
{
    if (!pszPassword || !*pszPassword)
        return 0;
    TString coDecoded;
    return DecodePassword(coBlock, kGuardWord, coDecoded) && std::strcmp(coDecoded, pszPassword) == 0 ? 1 : 0;
}

int TFileHeader::CanRead(const char* pszPassword) const
{
    return IsReadProtect() ? PasswordMatches(m_coReadBlock, pszPassword) : 1;
}

int TFileHeader::CanWrite(const char* pszPassword) const
{
    return IsWriteProtect() ? PasswordMatches(m_coWriteBlock, pszPassword) : 1;
}

int TFileHeader::MakeProtect(int nOn, const char* pszPassword, unsigned short unFlag, unsigned short& unFlags,
                             std::vector<uint32_t>& coBlock)
{
    if (!nOn) {
        unFlags &= static_cast<unsigned short>(~unFlag);
        coBlock.clear();
        return 1;
    }
    const TTimeF coNow(-1);
    const auto ulKey = static_cast<uint32_t>(coNow.Hour() * 10000 + coNow.Minutes() * 100 + coNow.Seconds());
    std::vector<uint32_t> coNew = MakePasswordBlock(pszPassword, ulKey);
    if (coNew.empty())
        return 0;
    coBlock.swap(coNew);
    unFlags |= unFlag;
    return 1;
}

int TFileHeader::MakeReadProtect(int nOn, const char* pszPassword)
{
    return MakeProtect(nOn, pszPassword, ReadProtected, m_unProtection, m_coReadBlock);
}

int TFileHeader::MakeWriteProtect(int nOn, const char* pszPassword)
{
    return MakeProtect(nOn, pszPassword, WriteProtected, m_unProtection, m_coWriteBlock);
}

TFileIndex* TFileHeader::InsertIndexRes(const TResource& coResource)
{
    const TString& coId = coResource.GetResId();
    if (coId.IsEmpty() || GetIndexRes(coId) || GetIndexCount() == std::numeric_limits<short>::max())
        return nullptr;
    const char* pszClass = coResource.GetPriorityRuntimeClass();
    if (!pszClass || !*pszClass)
        pszClass = coResource.GetClassName();
    auto* pcoIndex = new (std::nothrow) TFileIndex(coId, pszClass, coResource.MyResType(), coResource.GetWParam(),
                                                   coResource.GetLParam());
    if (!pcoIndex)
        return nullptr;
    if (!Insert(pcoIndex, nullptr)) {
        delete pcoIndex;
        return nullptr;
    }
    return pcoIndex;
}

int TFileHeader::DeleteIndexRes(const char* pszId)
{
    short sPos = -1;
    if (!GetIndexRes(pszId, &sPos))
        return 0;
    return DeleteIndexRes(sPos);
}

int TFileHeader::DeleteIndexRes(short nPos)
{
    if (nPos < 0 || nPos >= GetIndexCount())
        return 0;
    return Delete(static_cast<long>(nPos));
}

void TFileHeader::CorrectPositions(int32_t lShift)
{
    for (short i = 0; i < GetIndexCount(); ++i) {
        TFileIndex* pcoIndex = (*this)[i];
        // "No data" stays -1.
        if (pcoIndex->m_lDataPos >= 0) {
            pcoIndex->m_lDataPos -= lShift;
            pcoIndex->m_lEndPos -= lShift;
        }
        pcoIndex->m_lHeaderPos = -1;
    }
    m_lDataPos = 0;
}

void TFileHeader::SetCreated(const TString& coUser, const TDateF& coDate, const TTimeF& coTime)
{
    m_coUserCreated = coUser;
    m_coDateCreated = coDate;
    m_coTimeCreated = coTime;
}

void TFileHeader::SetChanged(const TString& coUser, const TDateF& coDate, const TTimeF& coTime)
{
    m_coUserChanged = coUser;
    m_coDateChanged = coDate;
    m_coTimeChanged = coTime;
}
