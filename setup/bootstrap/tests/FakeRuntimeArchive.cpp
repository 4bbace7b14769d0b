// Stands in for the setup runtime archive "_plvrt_.exe" in the end-to-end
// tests. Started as "_plvrt_.exe -x -y [-g<password>] <directory>\", it
// records how it was started, writes progress lines to standard output for
// a while, stays silent for a while, unpacks (copies) the payload files into
// <directory> and ends. Environment:
//   FAKE_LOG                record file (FakeRecord)
//   FAKE_ARCHIVE_PAYLOAD    directory whose files are unpacked
//   FAKE_ARCHIVE_TALK_MS    how long progress is written
//   FAKE_ARCHIVE_SILENT_MS  how long it then stays silent
#include "FakeCommon.h"

#include <cstdlib>
#include <cstring>

namespace {

// Copies the files of coSource into coTarget.
bool CopyFiles(const std::string& coSource, const std::string& coTarget)
{
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA((coSource + "\\*").c_str(), &coFind);
    bool bOk = hFind != INVALID_HANDLE_VALUE;
    for (BOOL bMore = bOk; bMore; bMore = FindNextFileA(hFind, &coFind)) {
        const std::string coName = std::string("\\") + coFind.cFileName;
        if (!(coFind.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bOk = bOk && CopyFileA((coSource + coName).c_str(), (coTarget + coName).c_str(), FALSE);
    }
    FindClose(hFind);
    return bOk;
}

void WriteProgress(ULONGLONG ullTalkMs)
{
    ULONGLONG ullEnd = GetTickCount64() + ullTalkMs;
    for (int nLine = 1; GetTickCount64() < ullEnd; ++nLine) {
        std::string coLine = "inflating part " + std::to_string(nLine) + "\r\n";
        DWORD nWritten = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), coLine.data(), static_cast<DWORD>(coLine.size()), &nWritten,
                  nullptr);
        Sleep(100);
    }
}

} // namespace

int main()
{
    char szValue[MAX_PATH] = "";
    FakeRecord("#pid", std::to_string(GetCurrentProcessId()));
    FakeRecord("archive", GetCommandLineA());
    GetCurrentDirectoryA(sizeof(szValue), szValue);
    FakeRecord("archive-cwd", szValue);
    GetConsoleTitleA(szValue, sizeof(szValue));
    FakeRecord("archive-title", szValue);
    HWND hWnd = FindWindowA("HLN_PLV_Installation", nullptr);
    FakeRecord("archive-window", !hWnd ? "missing" : IsWindowVisible(hWnd) ? "visible" : "hidden");

    WriteProgress(strtoull(FakeGetEnv("FAKE_ARCHIVE_TALK_MS").c_str(), nullptr, 10));
    Sleep(strtoul(FakeGetEnv("FAKE_ARCHIVE_SILENT_MS").c_str(), nullptr, 10));

    // The last argument, without its backslash, is the directory.
    std::string coDir = strrchr(GetCommandLineA(), ' ') + 1;
    coDir.pop_back();
    FakeRecord("unpacked", CopyFiles(FakeGetEnv("FAKE_ARCHIVE_PAYLOAD"), coDir) ? "done" : "failed");
    FakeRecord("#archive-end", std::to_string(GetTickCount64()));
    return 0;
}
