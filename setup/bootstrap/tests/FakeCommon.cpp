#include "FakeCommon.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

void FakeGetEnv(const char* pszName, char* pszValue, size_t nSize)
{
    DWORD nLength = GetEnvironmentVariableA(pszName, pszValue, static_cast<DWORD>(nSize));
    if (nLength == 0 || nLength >= nSize)
        pszValue[0] = '\0';
}

int FakeGetEnvInt(const char* pszName, int nDefault)
{
    char szValue[32];
    FakeGetEnv(pszName, szValue, sizeof(szValue));
    return szValue[0] ? atoi(szValue) : nDefault;
}

void FakeRecord(const char* pszFileVariable, const char* pszKey, const char* pszValue)
{
    char szFile[MAX_PATH];
    FakeGetEnv(pszFileVariable, szFile, sizeof(szFile));
    if (!szFile[0])
        return;
    HANDLE hFile = CreateFileA(szFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD nWritten = 0;
    WriteFile(hFile, pszKey, static_cast<DWORD>(strlen(pszKey)), &nWritten, nullptr);
    WriteFile(hFile, "=", 1, &nWritten, nullptr);
    WriteFile(hFile, pszValue, static_cast<DWORD>(strlen(pszValue)), &nWritten, nullptr);
    WriteFile(hFile, "\n", 1, &nWritten, nullptr);
    CloseHandle(hFile);
}

void FakeRecordNumber(const char* pszFileVariable, const char* pszKey, unsigned long long ullValue)
{
    char szValue[32];
    snprintf(szValue, sizeof(szValue), "%llu", ullValue);
    FakeRecord(pszFileVariable, pszKey, szValue);
}

namespace {

DWORD ParentProcessId()
{
    DWORD ulSelf = GetCurrentProcessId(), ulParent = 0;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 coEntry;
    coEntry.dwSize = sizeof(coEntry);
    for (BOOL bMore = Process32First(hSnapshot, &coEntry); bMore; bMore = Process32Next(hSnapshot, &coEntry)) {
        if (coEntry.th32ProcessID == ulSelf) {
            ulParent = coEntry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(hSnapshot);
    return ulParent;
}

struct TFindWindow {
    DWORD ulProcess;
    HWND hWnd;
};

BOOL CALLBACK FindWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    auto* pcoFind = reinterpret_cast<TFindWindow*>(lParam);
    char szClass[64];
    DWORD ulProcess = 0;
    GetWindowThreadProcessId(hWnd, &ulProcess);
    if (ulProcess == pcoFind->ulProcess && GetClassNameA(hWnd, szClass, sizeof(szClass))
        && strcmp(szClass, "HLN_PLV_Installation") == 0) {
        pcoFind->hWnd = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

namespace {

// Wine's CreateSymbolicLink does not create links, but Wine runs Unix
// programs, and a Unix symbolic link is what Wine shows as a link.
typedef char*(CDECL* TUnixName)(LPCWSTR);

int MakeUnixLink(const char* pszLink, const char* pszTarget)
{
    auto pfnUnixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!pfnUnixName)
        return 0;
    WCHAR wszLink[MAX_PATH], wszTarget[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, pszLink, -1, wszLink, MAX_PATH);
    MultiByteToWideChar(CP_ACP, 0, pszTarget, -1, wszTarget, MAX_PATH);
    char* pszUnixLink = pfnUnixName(wszLink);
    char* pszUnixTarget = pfnUnixName(wszTarget);
    if (!pszUnixLink || !pszUnixTarget)
        return 0;
    char szLine[3 * MAX_PATH];
    snprintf(szLine, sizeof(szLine), "Z:\\bin\\ln -s %s %s", pszUnixTarget, pszUnixLink);
    HeapFree(GetProcessHeap(), 0, pszUnixLink);
    HeapFree(GetProcessHeap(), 0, pszUnixTarget);
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    if (!CreateProcessA(nullptr, szLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &coStartup, &coProcess))
        return 0;
    CloseHandle(coProcess.hThread);
    CloseHandle(coProcess.hProcess);
    // The handle of a Unix process cannot be waited for; the link can.
    for (int nTry = 0; nTry < 100; ++nTry) {
        if (GetFileAttributesA(pszLink) != INVALID_FILE_ATTRIBUTES)
            return 1;
        Sleep(50);
    }
    return 0;
}

} // namespace

int FakeMakeDirectoryLink(const char* pszLink, const char* pszTarget)
{
    CreateSymbolicLinkA(pszLink, pszTarget, SYMBOLIC_LINK_FLAG_DIRECTORY);
    return GetFileAttributesA(pszLink) != INVALID_FILE_ATTRIBUTES || MakeUnixLink(pszLink, pszTarget);
}

HWND FakeFindParentWindow()
{
    TFindWindow coFind = { ParentProcessId(), nullptr };
    if (coFind.ulProcess)
        EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&coFind));
    return coFind.hWnd;
}

int FakeCopyTree(const char* pszSource, const char* pszTarget)
{
    char szPattern[MAX_PATH];
    snprintf(szPattern, sizeof(szPattern), "%s\\*", pszSource);
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA(szPattern, &coFind);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    int nOk = 1;
    do {
        if (strcmp(coFind.cFileName, ".") == 0 || strcmp(coFind.cFileName, "..") == 0)
            continue;
        char szFrom[MAX_PATH], szTo[MAX_PATH];
        snprintf(szFrom, sizeof(szFrom), "%s\\%s", pszSource, coFind.cFileName);
        snprintf(szTo, sizeof(szTo), "%s\\%s", pszTarget, coFind.cFileName);
        if (coFind.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CreateDirectoryA(szTo, nullptr) || !FakeCopyTree(szFrom, szTo))
                nOk = 0;
        } else if (!CopyFileA(szFrom, szTo, FALSE)) {
            nOk = 0;
        }
    } while (FindNextFileA(hFind, &coFind));
    FindClose(hFind);
    return nOk;
}
