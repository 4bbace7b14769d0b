#pragma once

// What the bootstrap's tests share: scratch directories on the Windows side,
// small file helpers, and starting bootstrap.exe with an environment of the
// test's choosing.

#include "FakeCommon.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Directory of the running test program; bootstrap.exe and the stand-ins
// are built beside it.
std::string BootBinDir();

bool BootExists(const std::string& coPath);
bool BootIsDirectory(const std::string& coPath);
void BootWriteFile(const std::string& coPath, const std::string& coContent);
std::string BootReadFile(const std::string& coPath);
void BootMakeDirs(const std::string& coPath);
// Removes a tree without following links.
void BootRemoveAll(const std::string& coPath);
// Names in a directory, "." and ".." left out, sorted.
std::vector<std::string> BootListDir(const std::string& coPath);
std::string BootIniValue(const std::string& coFile, const char* pszKey);
// Empty files ~PLV0000.TMP to ~PLV9999.TMP in coDir. Wine makes files whose
// names look like short names slowly in a full directory, so under Wine a
// Unix shell makes them.
void BootFillAllTempNames(const std::string& coDir);

// A fresh directory below the test's temporary directory, removed again by
// the destructor, with the parts of an installation run:
//   medium\    the start directory (setup.ini, project file, _plvrt_.exe)
//   payload\   what the stand-in archive unpacks (plvsetup.exe, more files)
//   temp\      the bootstrap's TEMP
//   outside\   a directory outside the bootstrap's reach, holding keep.txt
class TBootScratch {
public:
    explicit TBootScratch(const char* pszName);
    ~TBootScratch() { BootRemoveAll(m_coRoot); }
    TBootScratch(const TBootScratch&) = delete;
    TBootScratch& operator=(const TBootScratch&) = delete;

    std::string Medium() const { return m_coRoot + "\\medium"; }
    std::string Payload() const { return m_coRoot + "\\payload"; }
    std::string Temp() const { return m_coRoot + "\\temp"; }
    std::string Outside() const { return m_coRoot + "\\outside"; }
    std::string Path(const char* pszName) const { return m_coRoot + "\\" + pszName; }
    // Whether Outside() still holds exactly what the constructor put there.
    bool OutsideUntouched() const;

    // A medium: setup.ini with the given body (none when empty), the project
    // file plvsetup.plv and _plvrt_.exe as asked; a payload with plvsetup.exe,
    // a read-only file and a sub-directory tree.
    void MakeMedium(const std::string& coSetupIni, bool bProject = true, bool bArchive = true);

private:
    std::string m_coRoot;
};

// The records of the stand-ins: key=value lines; a key seen twice keeps
// its last value, a missing key reads "<missing>".
std::map<std::string, std::string> BootReadRecord(const std::string& coFile);
std::string BootGet(const std::map<std::string, std::string>& coRecord, const char* pszKey);
// The texts of one kind ("message", "paint") in the bootstrap's test log,
// escapes undone.
std::vector<std::string> BootTestLog(const std::string& coFile, const char* pszKind);

// Environment changes for one run: a value, or unset when bUnset.
struct TBootEnv {
    std::string coName;
    std::string coValue;
    bool bUnset = false;
};

struct TBootResult {
    DWORD ulExitCode = 0;
    bool bTimedOut = false;
    ULONGLONG ullEndTick = 0;
};

// Starts pszProgram (a file of BootBinDir) in coDirectory with the test's
// environment changed by coEnv and waits up to a minute for it to end.
// While it runs, pfnWhileRunning (if given) is called every 50 ms; a true
// answer stops the calls.
using TBootWatcher = bool (*)(void* pvContext);
TBootResult BootRun(const char* pszProgram, const std::string& coDirectory, const std::vector<TBootEnv>& coEnv,
                    TBootWatcher pfnWhileRunning = nullptr, void* pvContext = nullptr);
