#include "TFile.h"

#include "TCrt.h"
#include "TOpSystem.h"

#include <cstring>
#include <new>

TFile::~TFile()
{
    Close();
}

int TFile::Open(const char* pszName, unsigned short unMode)
{
    Close();
    if (!pszName || !*pszName) {
        m_unLastError = NotFound;
        return 0;
    }
    // Mode 0 means "closed", and the operating system would open any other
    // value read-only with no sharing at all.
    if (unMode < ModeRead || unMode > ModeCreateNew) {
        m_unLastError = OtherError;
        return 0;
    }
    unsigned short unError = OtherError;
    const int nHandle = CurrentOS().OpenFile(pszName, unMode, 0, &unError);
    if (nHandle < 0) {
        m_unLastError = unError;
        return 0;
    }
    m_pcoReader = new (std::nothrow) TRealFile(nHandle);
    if (!m_pcoReader) {
        CurrentOS().CloseFile(nHandle);
        m_unLastError = OtherError;
        return 0;
    }
    m_coFileName = pszName;
    m_unOpenMode = unMode;
    m_nHandle = nHandle;
    return 1;
}

void TFile::Close()
{
    delete m_pcoReader;
    m_pcoReader = nullptr;
    if (m_nHandle >= 0)
        CurrentOS().CloseFile(m_nHandle);
    m_coFileName.Empty();
    m_nHandle = -1;
    m_unOpenMode = 0;
    m_unLastError = 0;
}

TLogFile* TFile::Reader() const
{
    if (m_pcoReader)
        return m_pcoReader;
    // Whatever was done to the fallback stream before, it has no handle.
    m_coFallback.SetHandle(-1);
    return &m_coFallback;
}

TLogFile* TFile::operator->()
{
    return Reader();
}

TLogFile* TFile::operator->() const
{
    return Reader();
}

namespace {

// Copies dir + separator + name into the result when it fits and exists.
bool TryCandidate(char* pszResult, size_t nSize, const char* pszDirectory, size_t nDirectory, const char* pszName)
{
    const size_t nName = std::strlen(pszName);
    if (nDirectory + 1 + nName + 1 > nSize)
        return false;
    std::memcpy(pszResult, pszDirectory, nDirectory);
    pszResult[nDirectory] = CrtPathSeparator();
    std::memcpy(pszResult + nDirectory + 1, pszName, nName + 1);
    if (CurrentOS().ExistsPath(pszResult))
        return true;
    pszResult[0] = 0;
    return false;
}

} // namespace

char* TFile::FindFile(char* pszResult, size_t nSize, const char* pszVariable, const char* pszName)
{
    if (!pszResult || nSize == 0 || !pszVariable || !pszName)
        return nullptr;
    pszResult[0] = 0;
    // An empty name would find the directories themselves.
    if (!*pszName)
        return nullptr;
    if (TryCandidate(pszResult, nSize, ".", 1, pszName))
        return pszResult;
    if (!*pszVariable)
        return nullptr;
    const TString coList = CurrentOS().GetEnvVar(pszVariable);
    const char chSeparator = CrtPathListSeparator();
    // Empty entries (";;" or a trailing ';') name no directory.
    for (const char* psz = coList; *psz;) {
        const char* pszEnd = std::strchr(psz, chSeparator);
        const size_t nPiece = pszEnd ? static_cast<size_t>(pszEnd - psz) : std::strlen(psz);
        if (nPiece > 0 && TryCandidate(pszResult, nSize, psz, nPiece, pszName))
            return pszResult;
        psz += nPiece + (pszEnd ? 1 : 0);
    }
    return nullptr;
}

char* TFile::FindFile(char* pszResult, const char* pszVariable, const char* pszName)
{
    return FindFile(pszResult, FindFileSize, pszVariable, pszName);
}
