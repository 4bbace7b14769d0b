#include "TWideText.h"

#include "KwWindows.h"
#include "TUtf8.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// Below this length a path works without the long form, which is then
// left out: the form skips the system's own tidying of a path (trailing
// dots and spaces, "/" for "\"). CreateDirectory's limit is the lowest.
constexpr size_t s_nLongPathFrom = MAX_PATH - 12;

int Length(const char* pszText, int nLength)
{
    return nLength < 0 ? static_cast<int>(std::strlen(pszText)) : nLength;
}

int Length(const wchar_t* pwszText, int nLength)
{
    return nLength < 0 ? static_cast<int>(std::wcslen(pwszText)) : nLength;
}

} // namespace

std::wstring TWideText::Wide(const char* pszText, int nLength)
{
    if (!pszText)
        return std::wstring();
    const int nBytes = Length(pszText, nLength);
    if (nBytes == 0)
        return std::wstring();
    const int nUnits = MultiByteToWideChar(CP_ACP, 0, pszText, nBytes, nullptr, 0);
    if (nUnits <= 0)
        return std::wstring();
    std::wstring wstrText(static_cast<size_t>(nUnits), L'\0');
    MultiByteToWideChar(CP_ACP, 0, pszText, nBytes, &wstrText[0], nUnits);
    return wstrText;
}

TString TWideText::Narrow(const wchar_t* pwszText, int nLength, int* pnLost)
{
    if (pnLost)
        *pnLost = 0;
    if (!pwszText)
        return TString();
    const int nUnits = Length(pwszText, nLength);
    if (nUnits == 0)
        return TString();
    const int nBytes = WideCharToMultiByte(CP_ACP, 0, pwszText, nUnits, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0) {
        if (pnLost)
            *pnLost = 1;
        return TString();
    }
    std::vector<char> vecText(static_cast<size_t>(nBytes) + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, pwszText, nUnits, vecText.data(), nBytes, nullptr, nullptr);
    if (pnLost) {
        const std::wstring wstrBack = Wide(vecText.data(), nBytes);
        *pnLost = wstrBack.compare(0, std::wstring::npos, pwszText, static_cast<size_t>(nUnits)) != 0;
    }
    // A zero inside the text ends it, as it ends every framework text.
    return TString(vecText.data());
}

int TWideText::NarrowInto(const wchar_t* pwszText, int nLength, char* pszBuffer, int nSize)
{
    if (!pszBuffer || nSize <= 0)
        return 0;
    const TString coText = Narrow(pwszText, nLength);
    const size_t nKept = TUtf8::Fit(coText, static_cast<size_t>(coText.Strlen()), static_cast<size_t>(nSize - 1));
    std::memcpy(pszBuffer, static_cast<const char*>(coText), nKept);
    pszBuffer[nKept] = 0;
    return static_cast<int>(nKept);
}

std::wstring TWideText::Path(const char* pszPath)
{
    std::wstring wstrPath = Wide(pszPath);
    if (wstrPath.size() < 2 || wstrPath.compare(0, 4, L"\\\\?\\") == 0)
        return wstrPath;
    const bool bDrive = wstrPath[1] == L':';
    const bool bUnc = wstrPath[0] == L'\\' && wstrPath[1] == L'\\';
    if (!bDrive && !bUnc)
        return wstrPath;
    // The full path first: the long form takes no "." or ".." and no
    // drive-relative name.
    const DWORD ulNeeded = GetFullPathNameW(wstrPath.c_str(), 0, nullptr, nullptr);
    if (ulNeeded > 0) {
        std::wstring wstrFull(ulNeeded, L'\0');
        const DWORD ulUsed = GetFullPathNameW(wstrPath.c_str(), ulNeeded, &wstrFull[0], nullptr);
        if (ulUsed > 0 && ulUsed < ulNeeded) {
            wstrFull.resize(ulUsed);
            wstrPath.swap(wstrFull);
        }
    }
    if (wstrPath.size() < s_nLongPathFrom)
        return wstrPath;
    if (wstrPath.size() >= 3 && wstrPath[1] == L':' && wstrPath[2] == L'\\')
        return L"\\\\?\\" + wstrPath;
    if (wstrPath[0] == L'\\' && wstrPath[1] == L'\\')
        return L"\\\\?\\UNC\\" + wstrPath.substr(2);
    return wstrPath;
}
