#pragma once

#include "KwtlApi.h"
#include "TLogFile.h"
#include "TString.h"

#include <cstddef>

// An operating-system file opened by name, always binary, with the stream
// that reads and writes it. Through a closed file every stream operation
// does nothing and answers 0, so callers need not test before each access.
// A TFile owns its handle and is not copied.
class KWTL_API TFile {
public:
    // Open modes
    enum : unsigned short {
        ModeRead = 1,          // others may read, not write; the file must exist
        ModeReadWrite = 2,     // nobody else; created when missing
        ModeCreate = 3,        // as 2, emptied
        ModeCreateNew = 4,     // as 2, but fails when the name is taken (also by a link)
    };
    // Last errors of Open
    enum : unsigned short {
        NoAccess = 1,          // also a sharing conflict
        TooManyFiles = 2,
        NotFound = 3,          // also for an absent or empty name
        Exists = 4,            // ModeCreateNew: the name is taken
        OtherError = 100,      // also an open mode other than 1 to 4
    };
    // The result buffer FindFile without size fills: the longest Win32 path.
    static constexpr size_t FindFileSize = 260;

    TFile() = default;
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Opening
    int Open(const char* pszName, unsigned short unMode);
    void Close();

    // State
    int GetHandle() const { return m_nHandle; }
    TString GetFileName() const { return m_coFileName; }
    unsigned short GetOpenType() const { return m_unOpenMode; }
    int IsValid() const { return m_nHandle >= 0; }
    unsigned short LastError() const { return m_unLastError; }

    // The stream; never null.
    TLogFile* operator->();
    TLogFile* operator->() const;

    // Finding a file: ".\name" when it exists, else the first "dir\name" of
    // the directories listed in the environment variable (separated by ';').
    // The result goes into the caller's buffer of nSize bytes; a candidate
    // that does not fit is passed over. Answers the buffer, or null when
    // nothing was found or an argument is absent.
    static char* FindFile(char* pszResult, size_t nSize, const char* pszVariable, const char* pszName);
    // The same into a buffer of FindFileSize bytes.
    static char* FindFile(char* pszResult, const char* pszVariable, const char* pszName);

private:
    TLogFile* Reader() const;

    mutable TRealFile m_coFallback;      // the stream of a closed file: no handle
    TString m_coFileName;
    int m_nHandle { -1 };
    TLogFile* m_pcoReader { nullptr };   // owned
    unsigned short m_unLastError { 0 };
    unsigned short m_unOpenMode { 0 };
};
