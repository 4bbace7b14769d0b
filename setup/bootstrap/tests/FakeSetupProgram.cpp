// Stands in for the setup program "plvsetup.exe" in the end-to-end tests.
// It records its command line, its working directory (the bootstrap's
// temporary directory), the names found there and the keys the bootstrap
// added to setup.ini; then it waits for the bootstrap window to be hidden
// and closes it, as a real setup program does when it is done. Its record
// goes to the file named by FAKE_LOG.
#include "FakeCommon.h"

#include <set>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szCwd[MAX_PATH] = "";
    FakeRecord("#setup-start", std::to_string(GetTickCount64()));
    FakeRecord("setup", GetCommandLineA());
    GetCurrentDirectoryA(sizeof(szCwd), szCwd);
    FakeRecord("setup-cwd", szCwd);
    std::set<std::string> coNames;
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA("*", &coFind);
    for (BOOL bMore = hFind != INVALID_HANDLE_VALUE; bMore; bMore = FindNextFileA(hFind, &coFind))
        coNames.insert(coFind.cFileName);
    FindClose(hFind);
    coNames.erase(".");
    coNames.erase("..");
    std::string coList;
    for (const std::string& coName : coNames)
        coList += (coList.empty() ? "" : " ") + coName;
    FakeRecord("setup-files", coList);
    for (const char* pszKey : { "TempDir", "SetupSourcePath" }) {
        char szValue[MAX_PATH];
        GetPrivateProfileStringA("Installation", pszKey, "<missing>", szValue, sizeof(szValue),
                                 (std::string(szCwd) + "\\setup.ini").c_str());
        FakeRecord(pszKey, szValue);
    }
    HWND hWnd = FindWindowA("HLN_PLV_Installation", nullptr);
    for (int nTry = 0; hWnd && nTry < 200 && IsWindowVisible(hWnd); ++nTry)
        Sleep(50);
    FakeRecord("setup-window", !hWnd ? "missing" : IsWindowVisible(hWnd) ? "visible" : "hidden");
    FakeRecord("#setup-close", std::to_string(GetTickCount64()));
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    return 0;
}
