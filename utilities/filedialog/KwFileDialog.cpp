#include "KwFileDialog.h"

#include "TCrt.h"
#include "TOpSystem.h"
#include "TString.h"
#include "TUtf8.h"

#include <cstdlib>
#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(KwFileDialog, TDynBase, "kuti")

namespace {

char* Duplicate(const char* pszText)
{
    return pszText ? Strdup(pszText) : nullptr;
}

// A name longer than the room is cut before a character, never inside one.
void CopyName(char* pszTarget, const char* pszSource)
{
    pszTarget[0] = '\0';
    if (!pszSource)
        return;
    const size_t nKept = TUtf8::Fit(pszSource, std::strlen(pszSource), KwFileDialog::NameSize - 1);
    std::memcpy(pszTarget, pszSource, nKept);
    pszTarget[nKept] = '\0';
}

int IsSeparator(char ch)
{
    return ch == '\\' || ch == '/' || ch == ':';
}

} // namespace

KwFileDialog::KwFileDialog()
{
    InitData(TypeOpen, nullptr, nullptr, nullptr, nullptr, nullptr);
}

KwFileDialog::KwFileDialog(unsigned short unType, const char* pszDefaultExtension, const char* pszInitialDirectory,
                           const char* pszFileName, const char* pszFilter, const char* pszTitle, const KwWnd* pcoOwner)
    : m_pcoOwner(pcoOwner)
{
    InitData(unType, pszDefaultExtension, pszInitialDirectory, pszFileName, pszFilter, pszTitle);
}

KwFileDialog::KwFileDialog(const KwFileDialog& coOther)
    : TDynBase(coOther)
{
    CopySettings(coOther);
}

KwFileDialog& KwFileDialog::operator=(const KwFileDialog& coOther)
{
    if (this != &coOther)
        CopySettings(coOther);
    return *this;
}

KwFileDialog::~KwFileDialog()
{
    FreeStrings();
}

// Each object owns its own copies of the strings, so that each is freed
// exactly once.
void KwFileDialog::CopySettings(const KwFileDialog& coOther)
{
    FreeStrings();
    m_pszFilter = Duplicate(coOther.m_pszFilter);
    m_pszInitialDir = Duplicate(coOther.m_pszInitialDir);
    m_pszDefaultExt = Duplicate(coOther.m_pszDefaultExt);
    m_pszTitle = Duplicate(coOther.m_pszTitle);
    std::memcpy(m_szPath, coOther.m_szPath, sizeof m_szPath);
    std::memcpy(m_szFile, coOther.m_szFile, sizeof m_szFile);
    m_pcoOwner = coOther.m_pcoOwner;
    m_nOpen = coOther.m_nOpen;
}

void KwFileDialog::FreeStrings()
{
    for (char** ppszText : { &m_pszFilter, &m_pszInitialDir, &m_pszDefaultExt, &m_pszTitle }) {
        std::free(*ppszText);
        *ppszText = nullptr;
    }
}

void KwFileDialog::InitData(unsigned short unType, const char* pszDefaultExtension, const char* pszInitialDirectory,
                            const char* pszFileName, const char* pszFilter, const char* pszTitle)
{
    // The arguments may be this object's own strings.
    char* pszFilterCopy = Duplicate(pszFilter);
    char* pszDirCopy = Duplicate(pszInitialDirectory);
    char* pszExtCopy = Duplicate(pszDefaultExtension);
    char* pszTitleCopy = Duplicate(pszTitle);
    char szPath[NameSize];
    CopyName(szPath, pszFileName);
    FreeStrings();
    m_pszFilter = pszFilterCopy;
    m_pszInitialDir = pszDirCopy;
    m_pszDefaultExt = pszExtCopy;
    m_pszTitle = pszTitleCopy;
    if (m_pszInitialDir) {
        const size_t nLength = std::strlen(m_pszInitialDir);
        const int nDriveRoot = nLength == 3 && m_pszInitialDir[1] == ':';
        if (nLength > 0 && m_pszInitialDir[nLength - 1] == '\\' && !nDriveRoot)
            m_pszInitialDir[nLength - 1] = '\0';
    }
    m_szFile[0] = '\0';
    std::memcpy(m_szPath, szPath, sizeof m_szPath);
    m_nOpen = unType == TypeOpen;
}

int KwFileDialog::StartModal()
{
    const std::vector<char> coFilter = ConvertFilter(m_pszFilter);
    m_szPath[NameSize - 1] = '\0';
    m_szFile[0] = '\0';
    // The system's dialog makes the directory the user went to the
    // process's current directory; the program keeps its own.
    const TString coCurrent = CurrentOS().GetCurrentDirectory();
    const int nChosen = RunSystemDialog(coFilter);
    if (!coCurrent.IsEmpty())
        CurrentOS().SetCurrentDirectory(coCurrent);
    if (!nChosen) {
        m_szPath[0] = '\0';
        m_szFile[0] = '\0';
        return 0;
    }
    m_szPath[NameSize - 1] = '\0';
    m_szFile[NameSize - 1] = '\0';
    CutDoubledExtension(m_szPath, m_pszDefaultExt);
    CutDoubledExtension(m_szFile, m_pszDefaultExt);
    return 1;
}

std::vector<char> KwFileDialog::ConvertFilter(const char* pszFilter)
{
    std::vector<char> coResult;
    if (!pszFilter || !*pszFilter)
        return coResult;
    // Every character at most once, and the two closing zeros.
    coResult.reserve(std::strlen(pszFilter) + 2);
    for (const char* pch = pszFilter; *pch; ++pch) {
        if (*pch != '|') {
            coResult.push_back(*pch);
            continue;
        }
        while (!coResult.empty() && coResult.back() == ' ')
            coResult.pop_back();
        if (pch[1] == '|')
            break;
        coResult.push_back('\0');
        while (pch[1] == ' ')
            ++pch;
    }
    coResult.push_back('\0');
    coResult.push_back('\0');
    return coResult;
}

int KwFileDialog::CutDoubledExtension(char* pszPath, const char* pszDefaultExtension)
{
    if (!pszPath || !pszDefaultExtension)
        return 0;
    while (*pszDefaultExtension == '.')
        ++pszDefaultExtension;
    const size_t nExtension = std::strlen(pszDefaultExtension);
    if (nExtension == 0)
        return 0;
    size_t nNameStart = std::strlen(pszPath);
    const size_t nLength = nNameStart;
    while (nNameStart > 0 && !IsSeparator(pszPath[nNameStart - 1]))
        --nNameStart;
    // The name part must hold something before ".ext.ext".
    const size_t nTail = 2 * (nExtension + 1);
    if (nLength - nNameStart <= nTail)
        return 0;
    char* pszFirst = pszPath + nLength - nTail;
    char* pszSecond = pszFirst + nExtension + 1;
    if (pszFirst[0] != '.' || pszSecond[0] != '.' || CrtStrnicmp(pszFirst + 1, pszDefaultExtension, nExtension) != 0
        || CrtStrnicmp(pszSecond + 1, pszDefaultExtension, nExtension) != 0)
        return 0;
    *pszSecond = '\0';
    return 1;
}
