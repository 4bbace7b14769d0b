#pragma once

#include "KwtlApi.h"
#include "TArray.h"
#include "TDateTime.h"
#include "TString.h"

#include <cstdint>
#include <vector>

class TFile;
class TFileHdl;
class TLogFile;
class TResource;
class TSaveBuffer;

// One entry of a resource file's index, 112 bytes on disk:
//   0  id, 32 bytes zero-filled (at most 31 characters)
//  32  class, 64 bytes zero-filled (at most 63 characters)
//  96  type u16, 98 WParam u16, 100 LParam u32
// 104  data position i32 (-1: no data), 108 end position i32
// In memory it also keeps the header position: where it was last written
// into an output file (-1 when unknown).
class KWTL_API TFileIndex {
public:
    static constexpr unsigned IdSize = 32;
    static constexpr unsigned ClassSize = 64;
    static constexpr uint32_t DiskSize = 112;

    TFileIndex(const char* pszId, const char* pszClass, unsigned short unType, unsigned short unWParam,
               uint32_t ulLParam);
    TFileIndex(const TFileIndex&) = delete;
    TFileIndex& operator=(const TFileIndex&) = delete;

    // Entry
    const char* GetId() const { return m_szId; }
    const char* GetClass() const { return m_szClass; }
    unsigned short GetType() const { return m_unType; }
    unsigned short GetWParam() const { return m_unWParam; }
    uint32_t GetLParam() const { return m_ulLParam; }
    int32_t GetDataPos() const { return m_lDataPos; }
    int32_t GetEndPos() const { return m_lEndPos; }
    int32_t GetHeaderPos() const { return m_lHeaderPos; }
    // The offset of the data position inside an entry on disk.
    static constexpr int32_t OffsetDataPos() { return 104; }
    // Whether the entry names a record: data position 0 or more and below
    // the end position.
    int HasData() const { return m_lDataPos >= 0 && m_lDataPos < m_lEndPos; }

    // Array helpers: destroy function, and ids compared without regard to
    // case.
    static void Destroy(void* pvIndex);
    static int CompareById(const void* pvA, const void* pvB);

private:
    friend class TFileHeader;
    friend class TFileHdl;
    void SetId(const char* pszId);
    void SetClass(const char* pszClass);
    void SetParams(const char* pszClass, unsigned short unWParam, uint32_t ulLParam);
    // The entry's 112 bytes on disk with the given positions.
    void Encode(uint8_t* pbEntry, int32_t lDataPos, int32_t lEndPos) const;
    void Decode(const uint8_t* pbEntry);
    // Appends the resource's record to the working file when the ids agree;
    // the data position, or -1.
    int32_t WriteResource(const TResource& coResource, TFile& coFile);
    // Appends the record to the saved file; the output offset where the copy
    // began, or -1. The working file's position is left where the copy ended.
    int32_t CopyResource(TSaveBuffer& coOutput, TFile& coWork) const;
    // The object read from the record, or none (also for a damaged record).
    TResource* LoadResource(TFileHdl& coHdl, TFile& coFile, TResource* pcoTarget, TResource* pcoParent,
                            int nFlag) const;

    char m_szId[IdSize] {};
    char m_szClass[ClassSize] {};
    unsigned short m_unType { 0 };
    unsigned short m_unWParam { 0 };
    uint32_t m_ulLParam { 0 };
    int32_t m_lDataPos { -1 };
    int32_t m_lEndPos { -1 };
    int32_t m_lHeaderPos { -1 };
};

// The header of a resource file and its index, kept sorted by id (without
// regard to case). Only TFileHdl builds, reads and writes it; other code
// reads it through the handler.
//
// Layout on disk: the handler's description and a zero byte (only when it
// has one), custom version, custom number u32, signature, format version,
// user/date/time created, user/date/time changed, protection flags u16, the
// read and the write password block (each only with its flag), entry count
// i16, the entries; the data area follows.
class KWTL_API TFileHeader : public TArray {
public:
    // Protection flags
    enum : unsigned short {
        ReadProtected = 1,
        WriteProtected = 2,
    };
    static constexpr unsigned MaxDescription = 511;

    TFileHeader();
    ~TFileHeader() override;
    TFileHeader(const TFileHeader&) = delete;
    TFileHeader& operator=(const TFileHeader&) = delete;

    // History
    const TString& GetVersion() const { return m_coVersion; }
    const TString& GetUserCreated() const { return m_coUserCreated; }
    const TDateF& GetDateCreated() const { return m_coDateCreated; }
    const TTimeF& GetTimeCreated() const { return m_coTimeCreated; }
    const TString& GetUserChanged() const { return m_coUserChanged; }
    const TDateF& GetDateChanged() const { return m_coDateChanged; }
    const TTimeF& GetTimeChanged() const { return m_coTimeChanged; }
    int32_t GetDataPos() const { return m_lDataPos; }
    unsigned short GetProtection() const { return m_unProtection; }

    // Index
    short GetIndexCount() const { return static_cast<short>(Count()); }
    TFileIndex* operator[](short i) const { return static_cast<TFileIndex*>(Get(i)); }
    TFileIndex* operator[](unsigned short i) const { return static_cast<TFileIndex*>(Get(i)); }
    TFileIndex* operator[](int i) const { return static_cast<TFileIndex*>(Get(i)); }
    // The entry with that id or none; *psPos gets its position or -1.
    TFileIndex* GetIndexRes(const char* pszId, short* psPos = nullptr) const;

    // The text every file carries after the custom number.
    static const char* Signature();
    // "V2.60": the format version written.
    static const char* FormatVersion();
    // "V<major>.<minor>" as major x 100 + minor; 0 without the leading V.
    static unsigned short VersionNumber(const char* pszVersion);

    // Password blocks: N << 8, the key rotated left by 8, then each
    // character times the key rotated left by 16. A key of 0 (protection
    // set at midnight) is stored as 240000, which no time of day gives, so
    // that every block this code makes can be decoded.
    static std::vector<uint32_t> MakePasswordBlock(const char* pszPassword, uint32_t ulKey);
    // Whether the block holds exactly this password (case-sensitive).
    static int PasswordMatches(const std::vector<uint32_t>& coBlock, const char* pszPassword);

private:
    friend class TFileHdl;

    int Read(TFile& coFile, TFileHdl& coHdl, const char* pszPassword, unsigned short* punError, int nCheckRead);
    int Write(TFile& coFile, TFileHdl& coHdl);
    // Where one entry's record went in a saved file.
    struct TSavedPos {
        int32_t lDataPos;
        int32_t lEndPos;
    };
    // Writes the entries again where Write put them, now with the positions
    // of the saved file (one per entry, in index order); the entries in
    // memory keep their own positions.
    int WriteSavedPositions(TFile& coFile, const std::vector<TSavedPos>& coPositions);
    TFileIndex* InsertIndexRes(const TResource& coResource);
    int DeleteIndexRes(const char* pszId);
    int DeleteIndexRes(short nPos);
    void CorrectPositions(int32_t lShift);
    void DestroyData();
    int IsReadProtect() const { return (m_unProtection & ReadProtected) ? 1 : 0; }
    int IsWriteProtect() const { return (m_unProtection & WriteProtected) ? 1 : 0; }
    int CanRead(const char* pszPassword) const;
    int CanWrite(const char* pszPassword) const;
    int MakeReadProtect(int nOn, const char* pszPassword);
    int MakeWriteProtect(int nOn, const char* pszPassword);
    // For the save: stamps and flags set aside and back.
    void SetCreated(const TString& coUser, const TDateF& coDate, const TTimeF& coTime);
    void SetChanged(const TString& coUser, const TDateF& coDate, const TTimeF& coTime);
    void SetProtection(unsigned short unFlags) { m_unProtection = unFlags; }

    int ReadEntries(TFile& coFile, unsigned short unCount);
    int WriteEntries(TFile& coFile, const std::vector<TSavedPos>* pcoPositions);
    int ReadPasswordBlock(TFile& coFile, int64_t llFileSize, std::vector<uint32_t>& coBlock);
    static int WritePasswordBlock(TFile& coFile, const std::vector<uint32_t>& coBlock);
    // The decoded password into coText; only with the guard word.
    static int DecodePassword(const std::vector<uint32_t>& coBlock, const char* pszGuard, TString& coText);
    static int MakeProtect(int nOn, const char* pszPassword, unsigned short unFlag, unsigned short& unFlags,
                           std::vector<uint32_t>& coBlock);

    unsigned short m_unProtection { 0 };
    std::vector<uint32_t> m_coReadBlock;     // empty: none
    std::vector<uint32_t> m_coWriteBlock;    // empty: none
    TString m_coVersion;
    TString m_coUserCreated;
    TDateF m_coDateCreated;
    TTimeF m_coTimeCreated;
    TString m_coUserChanged;
    TDateF m_coDateChanged;
    TTimeF m_coTimeChanged;
    int32_t m_lDataPos { -1 };
};
