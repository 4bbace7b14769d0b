#pragma once

// What the bootstrap's tests share: scratch directories on the Windows side,
// small file helpers and environment scopes.

#include "BootWindows.h"

#include <string>
#include <vector>

using TTexts = std::vector<std::string>;

// Directory of the running test program; bootstrap.exe and the stand-ins
// are built beside it.
std::string BootBinDir();
void BootWriteFile(const std::string& coPath, const std::string& coContent);
std::string BootReadFile(const std::string& coPath);
// Names in a directory, sorted; empty when it does not exist.
TTexts BootListDir(const std::string& coPath);
bool BootIsWine();
// Makes coLink a link (reparse point) to the directory coTarget; under Wine,
// whose CreateSymbolicLink makes none, a Unix symbolic link.
bool BootMakeDirectoryLink(const std::string& coLink, const std::string& coTarget);
// Empty files ~PLV0000.TMP to ~PLV9999.TMP in coDir.
void BootFillAllTempNames(const std::string& coDir);

// Sets an environment variable of the test process for one scope; the
// value kBootUnset removes it.
constexpr const char* kBootUnset = "<unset>";
class TBootEnvScope {
public:
    TBootEnvScope(const std::string& coName, const std::string& coValue);
    ~TBootEnvScope() { Set(m_coOld); }
    TBootEnvScope(const TBootEnvScope&) = delete;
    TBootEnvScope& operator=(const TBootEnvScope&) = delete;

private:
    void Set(const std::string& coValue);
    std::string m_coName;
    std::string m_coOld;
};

// A fresh directory below the test's temporary directory, removed again by
// the destructor, with the parts of an installation run:
//   medium\    the start directory (setup.ini, project file, _plvrt_.exe)
//   payload\   what the stand-in archive unpacks
//   temp\      the bootstrap's TEMP
class TBootScratch {
public:
    explicit TBootScratch(const char* pszName);
    ~TBootScratch();
    TBootScratch(const TBootScratch&) = delete;
    TBootScratch& operator=(const TBootScratch&) = delete;

    std::string Medium() const { return m_coRoot + "\\medium"; }
    std::string Payload() const { return m_coRoot + "\\payload"; }
    std::string Temp() const { return m_coRoot + "\\temp"; }
    std::string Path(const char* pszName) const { return m_coRoot + "\\" + pszName; }

    // setup.ini with the given body, the project file pszProject and
    // _plvrt_.exe on the medium; plvsetup.exe and a read-only file in the
    // payload.
    void MakeMedium(const std::string& coSetupIni, const char* pszProject = "plvsetup.plv");

private:
    std::string m_coRoot;
};
