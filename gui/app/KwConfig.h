#pragma once

#include "Kw25Api.h"
#include "TString.h"

// The framework's configuration: the profile file "zorvik30.ini" (found in
// the Windows directory, then in the system directory), its seven
// directories of section "zorvik30" and the read-cache flag, and the
// search for the framework's files along those directories and PATH.
class KW25_API KwConfig {
public:
    // Path entries, by index
    enum : short { PathRoot = 0, PathSystem = 1, PathBin = 2, PathInclude = 3, PathBitmaps = 4, PathLib = 5,
                   PathTemplate = 6, PathCount = 7 };

    KwConfig() = default;

    // Locates the profile (the default name when null or empty) and reads
    // the seven entries (each "." when missing) and "ReadCache" (0). 1 when
    // the file was found; else 0 with an empty profile path and the
    // defaults.
    int Create(const char* pszProfileName);

    // The fixed words
    static const char* GetKwProFileDefault() { return "zorvik30.ini"; }
    static const char* GetKwSection() { return "zorvik30"; }
    static const char* GetReadCacheEntry() { return "ReadCache"; }
    // The key of path entry i; null outside 0 to 6.
    static const char* GetKwPathEntry(short i);
    static const char* GetDirCut() { return "\\"; }
    static const char* GetThisDir() { return "."; }

    // Values
    const TString& GetProfile() const { return m_coProfile; }
    int IsReadCache() const { return m_nReadCache; }
    void SetReadCache(int nOn) { m_nReadCache = nOn ? 1 : 0; }
    // Entry 0 as read; entries 1 to 6 as read when absolute ("X:\..."),
    // else below the root; empty when the entry is empty or i is outside 0
    // to 6.
    TString GetKwPath(short i) const;
    // Replaces entry i (ignored outside 0 to 6).
    void SetKwPath(short i, const char* pszPath);
    // GetKwPath(i) + "\" + the name; empty for an empty name or i outside
    // 0 to 6.
    TString BuildPath(const char* pszFileName, short i) const;

    // The first existing file among: the name as given (nAsGiven), its file
    // part in path entry i, in the Windows directory, in the system
    // directory, in each directory of PATH. Empty when none exists or the
    // name is empty.
    TString FindFile(const char* pszName, short i, int nAsGiven) const;
    // The part after the last '\' or ':' (and, for names of the native
    // build, '/').
    static TString FilePart(const char* pszName);

private:
    TString m_coProfile;
    TString m_acoPaths[PathCount] { ".", ".", ".", ".", ".", ".", "." };
    int m_nReadCache { 0 };
};
