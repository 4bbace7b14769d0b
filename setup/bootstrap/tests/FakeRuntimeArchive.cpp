// Stands in for the setup runtime archive "_plvrt_.exe" in the end-to-end
// tests. Started as "_plvrt_.exe -x -y [-g<password>] <directory>\", it
// records how it was started, writes progress lines to standard output for
// a while, stays silent for a while if asked, unpacks (copies) the payload
// tree into <directory> and ends. Environment:
//   FAKE_ARCHIVE_LOG       record file (key=value lines)
//   FAKE_ARCHIVE_PAYLOAD   directory whose tree is unpacked
//   FAKE_ARCHIVE_TALK_MS   how long progress is written (default 2500)
//   FAKE_ARCHIVE_SILENT_MS how long it then stays silent (default 0)
//   FAKE_ARCHIVE_LINK      a directory outside; a link "outlink" to it is
//                          unpacked too
#include "FakeCommon.h"

#include <cstdio>
#include <cstring>

namespace {

const char s_szLog[] = "FAKE_ARCHIVE_LOG";

// The last argument of the command line: the directory to unpack into.
void TargetDirectory(char* pszDir, size_t nSize)
{
    const char* pszLine = GetCommandLineA();
    const char* pszLast = strrchr(pszLine, ' ');
    snprintf(pszDir, nSize, "%s", pszLast ? pszLast + 1 : "");
    size_t nLength = strlen(pszDir);
    if (nLength > 0 && pszDir[nLength - 1] == '\\')
        pszDir[nLength - 1] = '\0';
}

void WriteProgress(int nTalkMs)
{
    HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    ULONGLONG ullEnd = GetTickCount64() + static_cast<ULONGLONG>(nTalkMs);
    for (int nLine = 1; GetTickCount64() < ullEnd; ++nLine) {
        char szLine[64];
        int nLength = snprintf(szLine, sizeof(szLine), "inflating part %d\r\n", nLine);
        DWORD nWritten = 0;
        if (!WriteFile(hOut, szLine, static_cast<DWORD>(nLength), &nWritten, nullptr))
            FakeRecord(s_szLog, "write", "failed");
        Sleep(100);
    }
}

} // namespace

int main()
{
    char szValue[MAX_PATH];
    FakeRecord(s_szLog, "start", std::to_string(GetTickCount64()));
    FakeRecord(s_szLog, "pid", std::to_string(GetCurrentProcessId()));
    FakeRecord(s_szLog, "cmdline", GetCommandLineA());
    GetCurrentDirectoryA(sizeof(szValue), szValue);
    FakeRecord(s_szLog, "cwd", szValue);
    szValue[0] = '\0';
    GetConsoleTitleA(szValue, sizeof(szValue));
    FakeRecord(s_szLog, "title", szValue);
    HWND hWnd = FakeFindBootstrapWindow();
    FakeRecord(s_szLog, "window", !hWnd ? "missing" : IsWindowVisible(hWnd) ? "visible" : "hidden");

    WriteProgress(FakeGetEnvInt("FAKE_ARCHIVE_TALK_MS", 2500));
    Sleep(static_cast<DWORD>(FakeGetEnvInt("FAKE_ARCHIVE_SILENT_MS", 0)));

    char szDir[MAX_PATH], szPayload[MAX_PATH], szOutside[MAX_PATH];
    TargetDirectory(szDir, sizeof(szDir));
    FakeGetEnv("FAKE_ARCHIVE_PAYLOAD", szPayload, sizeof(szPayload));
    if (szPayload[0])
        FakeRecord(s_szLog, "unpack", FakeCopyTree(szPayload, szDir) ? "done" : "failed");
    FakeGetEnv("FAKE_ARCHIVE_LINK", szOutside, sizeof(szOutside));
    if (szOutside[0])
        FakeRecord(s_szLog, "link", FakeMakeDirectoryLink((std::string(szDir) + "\\outlink").c_str(), szOutside) ? "made" : "failed");
    FakeRecord(s_szLog, "end", std::to_string(GetTickCount64()));
    return 0;
}
