#include "KwCopyConsole.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <fcntl.h>
#include <io.h>

namespace {

std::atomic<int> s_nInterrupted { 0 };

BOOL WINAPI OnControl(DWORD ulEvent)
{
    if (ulEvent != CTRL_C_EVENT && ulEvent != CTRL_BREAK_EVENT)
        return FALSE;
    s_nInterrupted.store(1);
    return TRUE;
}

std::wstring Wide(const std::string& strText)
{
    if (strText.empty())
        return std::wstring();
    const int nLength = MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0);
    std::wstring wstrText(static_cast<size_t>(nLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), &wstrText[0], nLength);
    return wstrText;
}

std::string Utf8(const wchar_t* pwszText)
{
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, pwszText, -1, nullptr, 0, nullptr, nullptr);
    std::string strText(static_cast<size_t>(nBytes > 0 ? nBytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, pwszText, -1, &strText[0], nBytes, nullptr, nullptr);
    strText.resize(strText.size() - 1);
    return strText;
}

} // namespace

std::vector<std::string> KwCopyConsole::Arguments(int, char**)
{
    std::vector<std::string> vecArguments;
    int nCount = 0;
    wchar_t** ppwszArguments = CommandLineToArgvW(GetCommandLineW(), &nCount);
    if (!ppwszArguments)
        return vecArguments;
    for (int i = 1; i < nCount; ++i)
        vecArguments.push_back(Utf8(ppwszArguments[i]));
    LocalFree(ppwszArguments);
    return vecArguments;
}

void KwCopyConsole::Write(FILE* pStream, const std::string& strText)
{
    std::fflush(pStream);
    HANDLE hOutput = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pStream)));
    DWORD ulMode = 0;
    if (hOutput != INVALID_HANDLE_VALUE && GetConsoleMode(hOutput, &ulMode)) {
        const std::wstring wstrText = Wide(strText);
        DWORD ulWritten = 0;
        WriteConsoleW(hOutput, wstrText.data(), static_cast<DWORD>(wstrText.size()), &ulWritten, nullptr);
        return;
    }
    std::fwrite(strText.data(), 1, strText.size(), pStream);
    std::fflush(pStream);
}

FILE* KwCopyConsole::OpenLog(const std::string& strPath)
{
    return _wfopen(Wide(strPath).c_str(), L"wb");
}

const char* KwCopyConsole::NewLine()
{
    return "\r\n";
}

void KwCopyConsole::Prepare()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleCtrlHandler(OnControl, TRUE);
}

int KwCopyConsole::Interrupted()
{
    return s_nInterrupted.load();
}
