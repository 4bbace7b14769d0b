#include "FakeCommon.h"

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

void FakeRecord(const char* pszFileVariable, const char* pszKey, const std::string& coValue)
{
    char szFile[MAX_PATH];
    FakeGetEnv(pszFileVariable, szFile, sizeof(szFile));
    HANDLE hFile = szFile[0] ? CreateFileA(szFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    std::string coLine = std::string(pszKey) + "=" + coValue + "\n";
    DWORD nWritten = 0;
    WriteFile(hFile, coLine.data(), static_cast<DWORD>(coLine.size()), &nWritten, nullptr);
    CloseHandle(hFile);
}

HWND FakeFindBootstrapWindow()
{
    return FindWindowA("HLN_PLV_Installation", nullptr);
}

int FakeCopyTree(const char* pszSource, const char* pszTarget)
{
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA((std::string(pszSource) + "\\*").c_str(), &coFind);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    int nOk = 1;
    do {
        if (strcmp(coFind.cFileName, ".") == 0 || strcmp(coFind.cFileName, "..") == 0)
            continue;
        std::string coFrom = std::string(pszSource) + "\\" + coFind.cFileName;
        std::string coTo = std::string(pszTarget) + "\\" + coFind.cFileName;
        if (coFind.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            nOk &= CreateDirectoryA(coTo.c_str(), nullptr) && FakeCopyTree(coFrom.c_str(), coTo.c_str());
        else
            nOk &= CopyFileA(coFrom.c_str(), coTo.c_str(), FALSE) ? 1 : 0;
    } while (FindNextFileA(hFind, &coFind));
    FindClose(hFind);
    return nOk;
}

bool FakeIsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string FakeUnixPath(const std::string& coPath)
{
    typedef char*(CDECL * TUnixName)(LPCWSTR);
    auto pfnUnixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wszPath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, coPath.c_str(), -1, wszPath, MAX_PATH);
    char* pszUnix = pfnUnixName ? pfnUnixName(wszPath) : nullptr;
    if (!pszUnix)
        return std::string();
    std::string coUnix(pszUnix);
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return coUnix;
}

bool FakeRunUntil(std::string coLine, const std::string& coDonePath, bool bGone)
{
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    if (!CreateProcessA(nullptr, &coLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &coStartup,
                        &coProcess))
        return false;
    CloseHandle(coProcess.hThread);
    CloseHandle(coProcess.hProcess);
    for (int nTry = 0; nTry < 400; ++nTry) {
        if ((GetFileAttributesA(coDonePath.c_str()) != INVALID_FILE_ATTRIBUTES) != bGone)
            return true;
        Sleep(50);
    }
    return false;
}

int FakeMakeDirectoryLink(const char* pszLink, const char* pszTarget)
{
    CreateSymbolicLinkA(pszLink, pszTarget, SYMBOLIC_LINK_FLAG_DIRECTORY);
    if (GetFileAttributesA(pszLink) != INVALID_FILE_ATTRIBUTES)
        return 1;
    std::string coUnixLink = FakeUnixPath(pszLink), coUnixTarget = FakeUnixPath(pszTarget);
    return !coUnixLink.empty() && !coUnixTarget.empty()
           && FakeRunUntil("Z:\\bin\\ln -s \"" + coUnixTarget + "\" \"" + coUnixLink + "\"", pszLink, false);
}
