// Starts Gandrel.exe in a directory, waits for its main window, closes it
// and answers the program's exit code: the check that an installed or
// unpacked Gandrel runs where it was put.
//
//   GdvOpenCheck <Gandrel.exe> <working directory>
//
// Exit codes: Gandrel's own (0: it opened and ended cleanly), 2 it did not
// start, 3 no main window within a minute, 4 it did not end after the close.

#include "KwWindows.h"

#include <cstdio>
#include <string>

namespace {

struct TSearch {
    DWORD dwProcess;
    HWND hFound;
};

BOOL CALLBACK FindMain(HWND hWnd, LPARAM lParam)
{
    auto* pcoSearch = reinterpret_cast<TSearch*>(lParam);
    DWORD dwOwner = 0;
    ::GetWindowThreadProcessId(hWnd, &dwOwner);
    char szTitle[64] {};
    ::GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    if (dwOwner != pcoSearch->dwProcess || !::IsWindowVisible(hWnd) || std::string(szTitle) != "Gandrel")
        return TRUE;
    pcoSearch->hFound = hWnd;
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: GdvOpenCheck <Gandrel.exe> <working directory>\n");
        return 2;
    }
    std::string strCommand = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA coStart {};
    coStart.cb = sizeof coStart;
    PROCESS_INFORMATION coProcess {};
    if (!::CreateProcessA(nullptr, strCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, argv[2], &coStart, &coProcess)) {
        std::fprintf(stderr, "GdvOpenCheck: %s does not start (error %lu)\n", argv[1], ::GetLastError());
        return 2;
    }
    TSearch coSearch { coProcess.dwProcessId, nullptr };
    for (int i = 0; i < 600 && !coSearch.hFound; ++i) {
        if (::WaitForSingleObject(coProcess.hProcess, 100) == WAIT_OBJECT_0)
            break;
        ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&coSearch));
    }
    if (!coSearch.hFound) {
        std::fprintf(stderr, "GdvOpenCheck: no main window of Gandrel\n");
        ::TerminateProcess(coProcess.hProcess, 99);
        return 3;
    }
    std::printf("GdvOpenCheck: the main window opened\n");
    ::PostMessageA(coSearch.hFound, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(coProcess.hProcess, 20000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "GdvOpenCheck: Gandrel did not end after its main window was closed\n");
        ::TerminateProcess(coProcess.hProcess, 99);
        return 4;
    }
    DWORD dwCode = 0;
    ::GetExitCodeProcess(coProcess.hProcess, &dwCode);
    std::printf("GdvOpenCheck: exit code %lu\n", dwCode);
    return static_cast<int>(dwCode);
}
