#pragma once

#include "KwtlApi.h"
#include "TDynBase.h"
#include "TFile.h"
#include "TFileHeader.h"
#include "TMvc.h"
#include "TMvcParam.h"
#include "TString.h"

#include <cstdint>

class TResource;

// A copy of one index entry; all empty or 0 when no entry was found.
class KWTL_API TResInfo {
public:
    TResInfo() = default;
    explicit TResInfo(const TFileIndex& coIndex)
        : m_coId(coIndex.GetId()), m_coClass(coIndex.GetClass()), m_unType(coIndex.GetType())
        , m_unWParam(coIndex.GetWParam()), m_ulLParam(coIndex.GetLParam()) {}

    const TString& GetId() const { return m_coId; }
    const TString& GetClass() const { return m_coClass; }
    unsigned short GetType() const { return m_unType; }
    unsigned short GetWParam() const { return m_unWParam; }
    uint32_t GetLParam() const { return m_ulLParam; }

private:
    TString m_coId;
    TString m_coClass;
    unsigned short m_unType { 0 };
    unsigned short m_unWParam { 0 };
    uint32_t m_ulLParam { 0 };
};

// The parameter of every event of a resource file handler: the handler is
// the event object, the entry concerned (if any) is ResInfo(). The closed
// file's name of "MVC_TFILEHDL_CLOSED" is FileName(); LParam1 carries its
// address as well where a long can hold a pointer.
class KWTL_API TMvcParamDRF : public TMvcParam {
    KW_DYNAMIC_CLASS(TMvcParamDRF, TMvcParam)
public:
    TMvcParamDRF(TFileHdl& coFileHdl, const TResInfo* pcoInfo, long lParam);

    TFileHdl* FileHdl() const;
    const TResInfo& ResInfo() const { return m_coResInfo; }
    const char* FileName() const { return m_pszFileName; }
    void SetFileName(const char* pszFileName);

protected:
    TMvcParamDRF() = default;

private:
    TResInfo m_coResInfo;
    const char* m_pszFileName { nullptr };   // not owned; valid during the call
};

// The one object through which a resource file is opened, read, edited and
// saved. Editing never touches the resource file before Save: the data area
// is copied into a working file, new and replaced records are appended
// there, and Save writes the complete new file (header, index and the live
// records of the working file) into a temporary file beside the resource
// file, which then replaces it in one step; a failed save leaves the old
// file as it was. While a file is open for editing the handler holds it
// open for reading (its lock file), so other handlers cannot write it.
//
// Operations answer small codes (1 success); GetError turns them into text.
class KWTL_API TFileHdl : public TDynBase {
    KW_DYNAMIC_CLASS(TFileHdl, TDynBase)
    KW_MVC_CLASS(TFileHdl, TDynBase)
public:
    // Open types
    enum : unsigned short {
        OpenClosed = 0,
        OpenReading = 1,
        OpenEditExisting = 2,
        OpenEditNew = 3,
    };
    // Result codes
    enum : unsigned short {
        ErrGeneral = 0,
        Success = 1,
        ErrOpen = 2,
        ErrReadHeader = 3,
        ErrCreateTmp = 6,
        ErrCreate = 7,
        ErrShare = 8,
        ErrNotExist = 9,
        ErrOpenTmp = 10,
        ErrNoNoname = 11,
        ErrFormat = 12,
        ErrNoSignature = 13,
        ErrSignature = 14,
        ErrNoReadAccess = 15,
        ErrNoWriteAccess = 16,
        ErrDamaged = 17,
        ErrWriteUndefined = 101,
        ErrNoWriteOpen = 102,
        ErrNewIndex = 103,
        ErrNotOpen = 104,
        ErrWriteResource = 105,
        ErrSaveShare = 106,
        ErrSaveOpen = 107,
        ErrTmpNotOpen = 108,
        ErrNoSaveAsFile = 109,
        ErrSaveAsSame = 110,
        ErrNoMemory = 111,
        ErrResNotFound = 200,
        ErrResIndex = 201,
    };
    static constexpr unsigned short MinBlockBufferSize = 256;

    TFileHdl() = default;
    ~TFileHdl() override;
    TFileHdl(const TFileHdl&) = delete;
    TFileHdl& operator=(const TFileHdl&) = delete;

    // Opening and closing
    unsigned short OpenRead(const char* pszFile, int nCopy, const char* pszReadPassword);
    unsigned short OpenWrite(const char* pszUser, const char* pszFile, const char* pszReadPassword,
                             const char* pszWritePassword);
    void Close();

    // Resources
    TResource* LoadResource(const char* pszId, TResource* pcoTarget, TResource* pcoParent, int nFlag);
    TResource* LoadResource(short nIndex, TResource* pcoTarget, TResource* pcoParent, int nFlag);
    unsigned short WriteTemp(const TResource& coResource);
    int RemoveResource(unsigned short unIndex, unsigned short* punError);
    int RemoveResource(const char* pszId, unsigned short* punError);
    unsigned short GetResCount() const { return static_cast<unsigned short>(m_coHeader.GetIndexCount()); }
    short GetResIndex(const char* pszId) const;
    TResInfo GetResInfo(unsigned short unIndex) const;
    TResInfo GetResInfo(const char* pszId) const;
    int HasResource(const char* pszId) const { return GetResIndex(pszId) >= 0 ? 1 : 0; }

    // Saving
    unsigned short Save();
    unsigned short SaveAs(const char* pszFile);

    // File facts
    unsigned short GetOpenType() const { return m_unOpenType; }
    const TString& GetResFile() const { return m_coResFile; }
    const TString& GetResFilePath() const { return m_coResFilePath; }
    TString GetFullPath() const { return m_coResFilePath + m_coResFile; }
    const TString& GetTmpFile() const { return m_coTmpFile; }
    TString GetProject() const;
    void SetProject(const char* pszName, const char* pszExtension);
    const TFileHeader& GetHeader() const { return m_coHeader; }
    TString GetFileVersion() const;
    unsigned short GetFileVersionNumber() const { return TFileHeader::VersionNumber(GetFileVersion()); }
    static TString GetCurrentCompileVersion() { return TFileHeader::FormatVersion(); }
    static unsigned short GetCurrentCompileVersionNumber() { return TFileHeader::VersionNumber(TFileHeader::FormatVersion()); }
    TString GetUserCreated() const;
    TString GetUserChanged() const;
    TDateF GetDateCreated() const;
    TDateF GetDateChanged() const;
    TTimeF GetTimeCreated() const;
    TTimeF GetTimeChanged() const;

    // Protection
    const TString& GetCurrentPasswordRead() const { return m_coPasswordRead; }
    const TString& GetCurrentPasswordWrite() const { return m_coPasswordWrite; }
    int IsReadProtect() const { return m_coHeader.IsReadProtect(); }
    int IsWriteProtect() const { return m_coHeader.IsWriteProtect(); }
    int HaveReadAccess() const { return m_coHeader.CanRead(m_coPasswordRead); }
    int HaveWriteAccess() const { return m_coHeader.CanWrite(m_coPasswordWrite); }
    int CheckReadAccess(const char* pszPassword) const { return m_coHeader.CanRead(pszPassword); }
    int CheckWriteAccess(const char* pszPassword) const { return m_coHeader.CanWrite(pszPassword); }
    int MakeReadProtect(int nOn, const char* pszPassword);
    int MakeWriteProtect(int nOn, const char* pszPassword);

    // Tuning
    unsigned short GetBlockBufferSize() const { return m_unBlockBufferSize; }
    unsigned short SetBlockBufferSize(unsigned short unSize);
    int IsReadCacheOn() const { return m_nReadCache; }
    void SetReadCache(int nOn) { m_nReadCache = nOn ? 1 : 0; }
    int IsWriteCacheOn() const { return m_nWriteCache; }
    void SetWriteCache(int nOn) { m_nWriteCache = nOn ? 1 : 0; }

    // Statics
    static TString GetError(unsigned short unCode, const char* pszFile);
    static int SeparateFile(const char* pszFile, TString& coName, TString& coPath, const char* pszDefaultExtension);
    int SeparateFile(const char* pszFile, TString& coName, TString& coPath) const;
    static TString CreateTmpFileName(const char* pszId);
    TString CreateTmpFileName() const;
    static int GetProtection(const char* pszFile, TFileHdl& coHdl, unsigned short* punFlags, unsigned short* punError);
    static int HasReadAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError);
    static int HasWriteAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError);
    static void Destroy(void* pvHdl);

    // Overridables, in their slot order. Header hooks: the description
    // written in front of the header (none), the custom version and number.
    virtual TString GetCustomDescription() const { return TString(); }
    virtual TString GetCustomVersion() const { return TString(); }
    virtual uint32_t GetCustomNumber() const { return 0; }
    virtual void SetCustomVersion(const char*) {}
    virtual void SetCustomNumber(uint32_t) {}
    // The record reader reports through this and asks the two creators.
    virtual void DisplayMessage(const char*) {}
    virtual TResource* CustomCreateResource(const char* pszClass, unsigned short unWParam, uint32_t ulLParam);
    virtual TResource* NotifyCreateResource(unsigned short unType, TResource* pcoParent, uint32_t ulParentCount,
                                            unsigned short unWParam, uint32_t ulLParam);
    // Around the writing of the new file during a save.
    virtual void NotifyStartTmpLoadFromSave() {}
    virtual void NotifyEndTmpLoadFromSave() {}
    virtual void NotifyPostOpen() {}
    virtual void NotifyPreSave() {}
    virtual void NotifyPostCreate() {}
    virtual void NotifyPostClose() {}
    virtual TString GetDefaultExtension() const { return "DRF"; }
    virtual TString GetDefaultNonameId() const { return "NONAME"; }
    virtual TString GetDefaultTmpFileId() const { return "HLN_"; }

protected:
    // The working file while editing, the resource file (or its copy)
    // while reading.
    TFile& MainFile() { return m_coMainFile; }

private:
    // The directory of temporary files, with a trailing separator.
    static TString TempDirectory();
    // The first "<dir><id>NNNN.TMP" that does not exist; empty when none.
    static TString CreateTmpFileNameIn(const TString& coDirectory, const char* pszId);
    // Creates the first free "<dir><id>NNNN.TMP" exclusively and leaves it
    // open in coFile; its name, or empty when none could be made.
    static TString CreateTmpFileIn(const TString& coDirectory, const char* pszId, TFile& coFile);
    // The same in the directory of temporary files, with the handler's id.
    TString CreateTmpFile(TFile& coFile) const;
    // A working file of its own that is then filled with a copy of the
    // file from llOffset on; 1 when that succeeded.
    int CopyToTmpFile(const TString& coSource, int64_t llOffset);
    unsigned short FailOpen(unsigned short unCode);
    unsigned short OpenExisting(const TString& coFull);
    unsigned short OpenNew(const TString& coFull);
    unsigned short DoSave(const TString& coTarget);
    unsigned short WriteComplete(TFile& coOutput, char* pchBuffer, unsigned short unBufferSize);
    unsigned short WriteRecords(TFile& coOutput, char* pchBuffer, unsigned short unBufferSize);
    TResource* LoadFromIndex(const TFileIndex* pcoIndex, TResource* pcoTarget, TResource* pcoParent, int nFlag);
    void SendEvent(const char* pszEvent, const TResInfo* pcoInfo);
    // Reads a file's header with the handler's hooks and no password
    // check; 1 when the file could be opened.
    static int ReadHeaderOf(const char* pszFile, TFileHdl& coHdl, TFileHeader& coHeader, unsigned short* punError);
    // Whether the file's header grants read (ReadProtected) or write
    // (WriteProtected) access with the password.
    static int HeaderAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError,
                            unsigned short unAccess);
    void CloseLock() { m_coLockFile.Close(); }
    void OpenLock() { m_coLockFile.Open(GetFullPath(), TFile::ModeRead); }

    TString m_coUserName;
    TString m_coPasswordRead;
    TString m_coPasswordWrite;
    unsigned short m_unOpenType { OpenClosed };
    TString m_coResFile;
    TString m_coResFilePath;
    TString m_coTmpFile;
    TFile m_coMainFile;
    TFile m_coLockFile;
    unsigned short m_unBlockBufferSize { 16384 };
    int m_nReadCache { 0 };
    int m_nWriteCache { 0 };
    TFileHeader m_coHeader;
};
