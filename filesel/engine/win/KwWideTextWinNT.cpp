#include "KwWideTextWinNT.h"

#include "FlslWindows.h"

std::wstring KwWideFromUtf8(const std::string& strText)
{
    if (strText.empty())
        return std::wstring();
    const int nLength = MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0);
    std::wstring wstrText(static_cast<size_t>(nLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), &wstrText[0], nLength);
    return wstrText;
}

std::string KwUtf8FromWide(const wchar_t* pwszText, size_t nLength)
{
    if (nLength == 0)
        return std::string();
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, pwszText, static_cast<int>(nLength), nullptr, 0, nullptr, nullptr);
    std::string strText(static_cast<size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, pwszText, static_cast<int>(nLength), &strText[0], nBytes, nullptr, nullptr);
    return strText;
}

std::string KwUtf8FromWide(const std::wstring& wstrText)
{
    return KwUtf8FromWide(wstrText.data(), wstrText.size());
}

std::wstring KwLongPath(const std::string& strFull)
{
    const std::wstring wstrPath = KwWideFromUtf8(strFull);
    if (wstrPath.size() >= 3 && wstrPath[1] == L':' && wstrPath[2] == L'\\')
        return L"\\\\?\\" + wstrPath;
    if (wstrPath.size() >= 3 && wstrPath[0] == L'\\' && wstrPath[1] == L'\\' && wstrPath[2] != L'?')
        return L"\\\\?\\UNC\\" + wstrPath.substr(2);
    return wstrPath;
}

std::string KwErrorText(unsigned long ulError)
{
    if (ulError == 0)
        return "unknown error";
    wchar_t* pwszText = nullptr;
    const DWORD ulLength = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                              | FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, ulError, 0, reinterpret_cast<wchar_t*>(&pwszText), 0, nullptr);
    std::string strText = ulLength ? KwUtf8FromWide(pwszText, ulLength) : std::string();
    if (pwszText)
        LocalFree(pwszText);
    while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r' || strText.back() == ' '
                                || strText.back() == '.'))
        strText.pop_back();
    return strText.empty() ? "error " + std::to_string(ulError) : strText;
}
