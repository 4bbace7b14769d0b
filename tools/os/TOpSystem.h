#pragma once

#include "TDynBase.h"
#include "TModuleManager.h"
#include "TString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

class TArray;
class TFileInfo;
class TOsThread;
class TConsoleProcess;
class TDateTimeF;

// The operating-system object: every call of the framework into the
// operating system for files, drives, directories, environment, clock,
// libraries, threads, console processes and message boxes goes through it.
// TOpSystem gives the neutral result of each operation; a platform class
// (created by class name, see CurrentOS) implements them.
//
// File offsets and lengths are 64-bit, so files of any size are handled.
class KWTL_API TOpSystem : public TDynBase {
    KW_DYNAMIC_CLASS(TOpSystem, TDynBase)
public:
    using MessageHandler = void (*)(const char* pszText, const char* pszCaption);
    using ThreadHandler = void (TDynBase::*)(TOsThread*);

    // Error codes of CreateDirectory and RemoveDirectory; DeleteFile uses
    // 1 (also for a directory or a file in use), 2, 4 and 5.
    enum : unsigned short {
        DirSuccess = 0,
        DirNoAccess = 1,            // or the directory exists already
        DirInvalidPath = 2,
        DirNotRemovable = 3,        // not a directory, not empty, current or root
        DirNoPath = 4,
        DirOtherError = 5,
    };
    // Error codes of OpenFile; a sharing conflict is "no access".
    enum : unsigned short {
        OpenNoAccess = 1,
        OpenTooManyFiles = 2,
        OpenNoFile = 3,
        OpenExists = 4,             // mode 4: the name is taken (also by a link)
        OpenOtherError = 100,
    };

    TOpSystem() = default;
    ~TOpSystem() override;

    // Platform: 3 Windows 95 family, 4 Windows NT; 0xFFFFFFFF until known.
    unsigned long Platform() const { return m_ulPlatform; }
    unsigned long MajorVersion() const { return m_ulMajor; }
    unsigned long MinorVersion() const { return m_ulMinor; }
    unsigned long BuildNumber() const { return m_ulBuild; }
    TString SystemName() const { return m_coSystemName; }
    TString AdditionalInfo() const { return m_coAdditionalInfo; }
    // The process's run-time modules; loads go through this object.
    TModuleManager& ModuleManager() const { return m_coModuleManager; }

    // Drives
    virtual int ScanDrives(TArray& coDrives) const;
    virtual int ScanFiles(TArray& coFiles, const char* pszPath, const char* pszPattern, int nWithDirectories) const;
    virtual unsigned short GetDriveType(const char* pszPath) const;
    virtual int GetDriveInfo(const char* pszPath, unsigned short* punType, TString* pcoVolumeName,
                             TString* pcoFileSystemName) const;
    virtual int GetFileInfo(const char* pszPath, TFileInfo& coInfo) const;
    virtual int ExistsPath(const char* pszPath) const;
    // Whether the existing file may be opened for reading (mode 1), writing
    // (2) or both (3): the sharing of other opens and the access rights
    // both decide. The same on every platform, through ExistsPath and
    // OpenFile.
    virtual int FilePermission(const char* pszPath, unsigned short unMode) const;
    virtual uint64_t DiskFreeSpace(const char* pszPath) const;

    // Files. Open modes: 1 read, others may read; 2 read and write, nobody
    // else, created when missing; 3 as 2, emptied; 4 as 2, but only a new
    // file is created: a name that is taken fails (OpenExists).
    virtual int OpenFile(const char* pszName, unsigned short unOpenMode, unsigned short unTextMode,
                         unsigned short* punError) const;
    virtual void CloseFile(int nHandle) const;
    virtual void SeekFile(int nHandle, int64_t llOffset, unsigned short unOrigin) const;
    virtual int64_t TellFile(int nHandle) const;
    virtual int64_t FileLength(int nHandle) const;
    virtual long ReadFile(int nHandle, char* pchBuffer, long lCount) const;
    virtual long WriteFile(int nHandle, const char* pchBuffer, long lCount) const;

    // Directories
    virtual TString GetCurrentDirectory() const;
    virtual int SetCurrentDirectory(const char* pszPath) const;
    virtual int CreateDirectory(const char* pszPath, unsigned short* punError) const;
    virtual int RemoveDirectory(const char* pszPath, unsigned short* punError) const;
    virtual int DeleteFile(const char* pszPath, unsigned short* punError) const;
    virtual int CopyFile(const char* pszTarget, const char* pszSource, int64_t llOffset) const;
    // Puts the source in the target's place in one step, replacing an
    // existing target, and waits until the move is on the disk. Both names
    // must be on one volume. 1 on success; on failure both files stay.
    virtual int MoveFileReplace(const char* pszTarget, const char* pszSource) const;
    // Writes what the system still holds of the file to the disk; 1 when
    // that is done. MoveFileReplace asks it for the source first.
    virtual int FlushFile(const char* pszName) const;

    // Threads and processes
    virtual TOsThread* CreateThread(TDynBase* pcoObject, ThreadHandler pfnHandler) const;
    virtual TConsoleProcess* CreateConsoleProcess() const;

    // Environment
    virtual TString GetEnvVar(const char* pszName) const;
    virtual int SetEnvVar(const char* pszName, const char* pszValue) const;

    // Messages and clock
    // A modal message box. While a message handler is installed (tests,
    // programs without a desktop) the handler receives the text instead.
    virtual void Message(const char* pszText, const char* pszCaption) const;
    virtual void Sleep(unsigned short unMilliseconds) const;
    virtual unsigned long GetOSRunningTimeMs() const;
    virtual int SetLocalTime(const TDateTimeF& coDateTime) const;

    // Libraries
    virtual intptr_t LoadLibrary(const char* pszName) const;
    virtual int FreeLibrary(intptr_t nHandle) const;

    // Text
    // Whether the framework's text (the system's code page) is UTF-8: on
    // Windows with the framework's manifest (10 1903 and later), and
    // natively; a single-byte code page otherwise.
    virtual int IsUtf8Text() const;

    // Helpers of the platform classes
    // The one attribute code of a set of Win32 attribute bits: of the bits
    // set, the last of archive, compressed, directory, hidden, read-only and
    // system decides.
    static unsigned short AttributeCode(unsigned long ulWin32Attributes);
    // Calendar seconds of a local date and time (month 1-12), cut to the
    // two-second resolution of a DOS date; 0 outside the DOS years 1980 to
    // 2107 or when the time does not fit the 32-bit field.
    static unsigned long DosCalendarTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond);
    // The 32-bit size field of a file record: 0xFFFFFFFF for larger sizes.
    static unsigned long SizeField(uint64_t ullSize);
    // Copies llCount bytes from the current position of pSource to pTarget
    // in pieces of at most 20000 bytes; 1 when all of them were read and
    // written.
    static int CopyStream(FILE* pTarget, FILE* pSource, int64_t llCount);
    // An error table: each row lists the system's codes (up to the first 0)
    // that give one code of this class.
    struct TErrorRow {
        unsigned short unCode;
        long alSystemCodes[8];
    };
    // The code of the first row that lists lSystemCode, else unOther.
    template <size_t N>
    static unsigned short MapError(const TErrorRow (&aRows)[N], long lSystemCode, unsigned short unOther)
    {
        for (const TErrorRow& coRow : aRows) {
            for (long lCode : coRow.alSystemCodes) {
                if (lCode == 0)
                    break;
                if (lCode == lSystemCode)
                    return coRow.unCode;
            }
        }
        return unOther;
    }

    // Installs the handler that receives every Message; null restores the
    // platform's message box. Returns the previous handler.
    static MessageHandler SetMessageHandler(MessageHandler pfnHandler);
    // Hands a message to the installed handler; 1 when there was one. Other
    // libraries' message boxes ask it first too.
    static int CallMessageHandler(const char* pszText, const char* pszCaption);

protected:

    // What the platform classes share.
    // The copy of CopyFile: the source is checked (a file, long enough, not
    // the target itself) before the target is opened for writing, so a
    // failed copy never empties an existing target.
    static int CopyFileFrom(const char* pszTarget, const char* pszSource, int64_t llOffset);
    // The list of ScanFiles: emptied and made the owner of its records at
    // the start; each record gets the directory; a listing cut short leaves
    // the list empty and answers 0.
    static void StartFileList(TArray& coFiles);
    static void AddFileRecord(TArray& coFiles, TFileInfo* pcoInfo, const char* pszDirectory);
    static int EndFileList(TArray& coFiles, bool bComplete);
    // The failure of a directory operation without a path (DirNoPath).
    static int NoPath(unsigned short* punError);
    // GetFileInfo of a directory: the path itself, no name and no times.
    static void MakeDirectoryRecord(TFileInfo& coInfo, const char* pszPath);

    unsigned long m_ulPlatform { 0xFFFFFFFFul };
    unsigned long m_ulMajor { 0xFFFFFFFFul };
    unsigned long m_ulMinor { 0xFFFFFFFFul };
    unsigned long m_ulBuild { 0xFFFFFFFFul };
    TString m_coSystemName;
    TString m_coAdditionalInfo;
    // Platform classes call DeleteAll() in their destructors, while their
    // FreeLibrary is still the one that runs.
    mutable TModuleManager m_coModuleManager { this };
};

// The process's operating-system object, made on first use by class name
// ("TOpSystemWinNT" on Windows, "TOpSystemPosix" elsewhere) and deleted
// when the tool library is unloaded. Safe to call from several threads.
KWTL_API const TOpSystem& CurrentOS();
