#include "KwCopyConsole.h"

#include "KwWideTextWinNT.h"
#include "KwWindows.h"

#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace {

// Set when the run has ended; made before the handler is installed.
HANDLE s_hEnded = nullptr;
// Windows ends the program 5 seconds after a console window closes (more
// at the end of a session); the run gets most of that to clean up.
constexpr DWORD kCleanUpMilliseconds = 4500;
std::atomic<int> s_nInterrupted { 0 };
// The console's output code page before the program set UTF-8 (0: not
// changed); it is the console's, shared with the shell, so it goes back.
UINT s_unOldOutputCP = 0;

void RestoreOutputCP()
{
    if (s_unOldOutputCP)
        SetConsoleOutputCP(s_unOldOutputCP);
}

bool IsConsole(FILE* pStream)
{
    HANDLE hOutput = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pStream)));
    DWORD ulMode = 0;
    return hOutput != INVALID_HANDLE_VALUE && GetConsoleMode(hOutput, &ulMode);
}

BOOL WINAPI OnControl(DWORD ulEvent)
{
    switch (ulEvent) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        s_nInterrupted.store(1);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The program ends when this returns: the run is cancelled and
        // removes its unfinished copy first.
        s_nInterrupted.store(1);
        if (s_hEnded)
            WaitForSingleObject(s_hEnded, kCleanUpMilliseconds);
        return TRUE;
    default:
        return FALSE;
    }
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
        vecArguments.push_back(KwUtf8FromWide(ppwszArguments[i], wcslen(ppwszArguments[i])));
    LocalFree(ppwszArguments);
    return vecArguments;
}

void KwCopyConsole::Write(FILE* pStream, const std::string& strText)
{
    std::fflush(pStream);
    HANDLE hOutput = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pStream)));
    DWORD ulMode = 0;
    if (hOutput != INVALID_HANDLE_VALUE && GetConsoleMode(hOutput, &ulMode)) {
        const std::wstring wstrText = KwWideFromUtf8(strText);
        DWORD ulWritten = 0;
        WriteConsoleW(hOutput, wstrText.data(), static_cast<DWORD>(wstrText.size()), &ulWritten, nullptr);
        return;
    }
    std::fwrite(strText.data(), 1, strText.size(), pStream);
    std::fflush(pStream);
}

FILE* KwCopyConsole::OpenLog(const std::string& strPath)
{
    return _wfopen(KwWideFromUtf8(strPath).c_str(), L"wb");
}

const char* KwCopyConsole::NewLine()
{
    return "\r\n";
}

void KwCopyConsole::Prepare()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    s_hEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControl, TRUE);
    // A console shows the output as UTF-8 (the lines go as characters
    // anyway, see Write); a redirected output is UTF-8 bytes.
    if (IsConsole(stdout) || IsConsole(stderr)) {
        const UINT unOld = GetConsoleOutputCP();
        if (unOld != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
            s_unOldOutputCP = unOld;
            std::atexit(RestoreOutputCP);
        }
    }
}

void KwCopyConsole::RunEnded()
{
    if (s_hEnded)
        SetEvent(s_hEnded);
}

int KwCopyConsole::Interrupted()
{
    return s_nInterrupted.load();
}
