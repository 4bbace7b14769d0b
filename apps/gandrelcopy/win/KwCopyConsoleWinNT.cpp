#include "KwCopyConsole.h"

#include "FlslWindows.h"
#include "KwWideTextWinNT.h"

#include <shellapi.h>

#include <atomic>
#include <fcntl.h>
#include <io.h>

namespace {

// Set when the run has ended; made before the handler is installed.
HANDLE s_hEnded = nullptr;
// Windows ends the program 5 seconds after a console window closes (more
// at the end of a session); the run gets most of that to clean up.
constexpr DWORD kCleanUpMilliseconds = 4500;
std::atomic<int> s_nInterrupted { 0 };

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
