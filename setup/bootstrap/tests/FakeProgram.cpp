// Stands in, in the end-to-end tests, for the setup runtime archive (built
// as the console program fakeplvrt.exe; started with "-x") and the setup
// program (built as the windows program fakeplvsetup.exe). It records what it
// sees as "key=value" lines into the file named by FAKE_LOG; keys that begin
// with "#" hold numbers that differ from run to run. The archive writes
// progress to standard output for FAKE_ARCHIVE_TALK_MS, is silent for
// FAKE_ARCHIVE_SILENT_MS and copies the files of FAKE_ARCHIVE_PAYLOAD into
// its directory; the setup program waits for the bootstrap window to hide
// and then closes it, as a real one does when it is done.

#include "BootWindows.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

std::string GetEnv(const char* pszName)
{
    char szValue[MAX_PATH];
    DWORD nLength = GetEnvironmentVariableA(pszName, szValue, sizeof(szValue));
    return nLength > 0 && nLength < sizeof(szValue) ? szValue : "";
}

void Record(const char* pszKey, const std::string& coValue)
{
    std::ofstream(GetEnv("FAKE_LOG"), std::ios::app | std::ios::binary) << pszKey << "=" << coValue << "\n";
}

std::string BootstrapWindow()
{
    HWND hWnd = FindWindowA("HLN_PLV_Installation", nullptr);
    return !hWnd ? "missing" : IsWindowVisible(hWnd) ? "visible" : "hidden";
}

void PlayArchive(const std::string& coLine)
{
    Record("#pid", std::to_string(GetCurrentProcessId()));
    Record("archive", coLine);
    Record("archive-cwd", std::filesystem::current_path().string());
    char szTitle[MAX_PATH] = "";
    GetConsoleTitleA(szTitle, sizeof(szTitle));
    Record("archive-title", szTitle);
    Record("archive-window", BootstrapWindow());
    ULONGLONG ullEnd = GetTickCount64() + strtoull(GetEnv("FAKE_ARCHIVE_TALK_MS").c_str(), nullptr, 10);
    for (int nPart = 1; GetTickCount64() < ullEnd; ++nPart) {
        printf("inflating part %d\r\n", nPart);
        fflush(stdout);
        Sleep(100);
    }
    Sleep(strtoul(GetEnv("FAKE_ARCHIVE_SILENT_MS").c_str(), nullptr, 10));
    // The last argument, without its backslash, is the directory.
    std::string coDir = coLine.substr(coLine.rfind(' ') + 1);
    coDir.pop_back();
    bool bUnpacked = true;
    for (const auto& coEntry : std::filesystem::directory_iterator(GetEnv("FAKE_ARCHIVE_PAYLOAD"))) {
        const std::string coTarget = coDir + "\\" + coEntry.path().filename().string();
        bUnpacked = bUnpacked && CopyFileA(coEntry.path().string().c_str(), coTarget.c_str(), FALSE);
    }
    Record("unpacked", bUnpacked ? "done" : "failed");
    Record("#archive-end", std::to_string(GetTickCount64()));
}

void PlaySetupProgram(const std::string& coLine)
{
    Record("#setup-start", std::to_string(GetTickCount64()));
    Record("setup", coLine);
    const std::string coCwd = std::filesystem::current_path().string();
    Record("setup-cwd", coCwd);
    std::set<std::string> coNames;
    for (const auto& coEntry : std::filesystem::directory_iterator(coCwd))
        coNames.insert(coEntry.path().filename().string());
    std::string coList;
    for (const std::string& coName : coNames)
        coList += (coList.empty() ? "" : " ") + coName;
    Record("setup-files", coList);
    for (const char* pszKey : { "TempDir", "SetupSourcePath" }) {
        char szValue[MAX_PATH];
        GetPrivateProfileStringA("Installation", pszKey, "<missing>", szValue, sizeof(szValue),
                                 (coCwd + "\\setup.ini").c_str());
        Record(pszKey, szValue);
    }
    for (int nTry = 0; nTry < 200 && BootstrapWindow() == "visible"; ++nTry)
        Sleep(50);
    Record("setup-window", BootstrapWindow());
    Record("#setup-close", std::to_string(GetTickCount64()));
    PostMessageA(FindWindowA("HLN_PLV_Installation", nullptr), WM_CLOSE, 0, 0);
}

} // namespace

int main()
{
    const std::string coLine = GetCommandLineA();
    if (coLine.find(" -x ") != std::string::npos)
        PlayArchive(coLine);
    else
        PlaySetupProgram(coLine);
    return 0;
}
