#include "KwConfig.h"

#include "KwProfile.h"
#include "KwSystem.h"
#include "TOpSystem.h"

#include <cstring>
#include <string>

namespace {

// Paths of the native build are POSIX paths: the same rules with '/' and a
// PATH separated by ':'.
#if defined(_WIN32)
constexpr char DirCut = '\\';
constexpr char PathListCut = ';';
#else
constexpr char DirCut = '/';
constexpr char PathListCut = ':';
#endif

const char* const s_apszPathEntries[KwConfig::PathCount] = { "root", "system", "bin", "include", "bitmaps", "lib", "template" };

int IsAbsolute(const TString& coPath)
{
    const char* psz = coPath;
    if (DirCut == '/' && psz[0] == '/')
        return 1;
    return coPath.Strlen() >= 3 && psz[1] == ':' && psz[2] == '\\';
}

TString Joined(const TString& coDirectory, const char* pszName)
{
    if (coDirectory.IsEmpty())
        return TString();
    std::string strPath(static_cast<const char*>(coDirectory));
    if (strPath.back() != DirCut)
        strPath += DirCut;
    return TString((strPath + pszName).c_str());
}

int Exists(const TString& coPath)
{
    return !coPath.IsEmpty() && CurrentOS().ExistsPath(coPath);
}

} // namespace

const char* KwConfig::GetKwPathEntry(short i)
{
    return i >= 0 && i < PathCount ? s_apszPathEntries[i] : nullptr;
}

int KwConfig::Create(const char* pszProfileName)
{
    const char* pszName = pszProfileName && *pszProfileName ? pszProfileName : GetKwProFileDefault();
    m_coProfile.Empty();
    if (pcoKwSys) {
        for (const TString& coDirectory : { pcoKwSys->GetWindowsDirectory(), pcoKwSys->GetSystemDirectory() }) {
            const TString coCandidate = Joined(coDirectory, pszName);
            if (Exists(coCandidate)) {
                m_coProfile = coCandidate;
                break;
            }
        }
    }
    for (short i = 0; i < PathCount; ++i)
        m_acoPaths[i] = GetThisDir();
    m_nReadCache = 0;
    if (m_coProfile.IsEmpty() || !pcoKwSys)
        return 0;
    for (short i = 0; i < PathCount; ++i)
        m_acoPaths[i] = pcoKwSys->GetProfileString(GetKwSection(), GetKwPathEntry(i), m_coProfile, GetThisDir());
    const TString coCache = pcoKwSys->GetProfileString(GetKwSection(), GetReadCacheEntry(), m_coProfile, "0");
    m_nReadCache = KwProfile::ToShort(coCache, 0) != 0;
    return 1;
}

TString KwConfig::GetKwPath(short i) const
{
    if (i < 0 || i >= PathCount || m_acoPaths[i].IsEmpty())
        return TString();
    if (i == PathRoot || IsAbsolute(m_acoPaths[i]))
        return m_acoPaths[i];
    return Joined(m_acoPaths[PathRoot], m_acoPaths[i]);
}

void KwConfig::SetKwPath(short i, const char* pszPath)
{
    if (i >= 0 && i < PathCount)
        m_acoPaths[i] = pszPath;
}

TString KwConfig::BuildPath(const char* pszFileName, short i) const
{
    if (!pszFileName || !*pszFileName || i < 0 || i >= PathCount)
        return TString();
    return Joined(GetKwPath(i), pszFileName);
}

TString KwConfig::FilePart(const char* pszName)
{
    if (!pszName)
        return TString();
    const char* pszPart = pszName;
    for (const char* pch = pszName; *pch; ++pch) {
        if (*pch == '\\' || *pch == ':' || *pch == DirCut)
            pszPart = pch + 1;
    }
    return TString(pszPart);
}

TString KwConfig::FindFile(const char* pszName, short i, int nAsGiven) const
{
    if (!pszName || !*pszName)
        return TString();
    if (nAsGiven && Exists(TString(pszName)))
        return TString(pszName);
    const TString coPart = FilePart(pszName);
    if (coPart.IsEmpty())
        return TString();
    TString coCandidate = BuildPath(coPart, i);
    if (Exists(coCandidate))
        return coCandidate;
    if (pcoKwSys) {
        for (const TString& coDirectory : { pcoKwSys->GetWindowsDirectory(), pcoKwSys->GetSystemDirectory() }) {
            coCandidate = Joined(coDirectory, coPart);
            if (Exists(coCandidate))
                return coCandidate;
        }
    }
    const TString coPathList = CurrentOS().GetEnvVar("PATH");
    const char* pch = coPathList;
    while (pch && *pch) {
        const char* pchEnd = std::strchr(pch, PathListCut);
        const size_t nLength = pchEnd ? static_cast<size_t>(pchEnd - pch) : std::strlen(pch);
        if (nLength) {
            coCandidate = Joined(TString().Strncpy(pch, static_cast<int>(nLength)), coPart);
            if (Exists(coCandidate))
                return coCandidate;
        }
        pch = pchEnd ? pchEnd + 1 : nullptr;
    }
    return TString();
}
