#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

std::atomic<int> s_nScratchCount { 0 };

bool SameName(const std::string& coA, const std::string& coB)
{
    return coA.size() == coB.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, coA.c_str(), -1, coB.c_str(), -1) == CSTR_EQUAL;
}

} // namespace

std::string BootBinDir()
{
    char szPath[MAX_PATH];
    DWORD nLength = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    std::string coPath(szPath, nLength);
    return coPath.substr(0, coPath.find_last_of('\\'));
}

bool BootExists(const std::string& coPath)
{
    return GetFileAttributesA(coPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool BootIsDirectory(const std::string& coPath)
{
    DWORD ulAttributes = GetFileAttributesA(coPath.c_str());
    return ulAttributes != INVALID_FILE_ATTRIBUTES && (ulAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void BootWriteFile(const std::string& coPath, const std::string& coContent)
{
    HANDLE hFile = CreateFileA(coPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot write " << coPath;
        return;
    }
    DWORD nWritten = 0;
    WriteFile(hFile, coContent.data(), static_cast<DWORD>(coContent.size()), &nWritten, nullptr);
    CloseHandle(hFile);
}

std::string BootReadFile(const std::string& coPath)
{
    HANDLE hFile = CreateFileA(coPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return std::string();
    std::string coContent;
    char achBuffer[4096];
    DWORD nRead = 0;
    while (ReadFile(hFile, achBuffer, sizeof(achBuffer), &nRead, nullptr) && nRead > 0)
        coContent.append(achBuffer, nRead);
    CloseHandle(hFile);
    return coContent;
}

void BootMakeDirs(const std::string& coPath)
{
    for (size_t nPos = coPath.find('\\', 3); nPos != std::string::npos; nPos = coPath.find('\\', nPos + 1))
        CreateDirectoryA(coPath.substr(0, nPos).c_str(), nullptr);
    CreateDirectoryA(coPath.c_str(), nullptr);
}

namespace {

void RemoveEntry(const std::string& coPath, DWORD ulAttributes)
{
    if (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryA(coPath.c_str()))
            DeleteFileA(coPath.c_str());
        return;
    }
    if (ulAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA coFind;
        HANDLE hFind = FindFirstFileA((coPath + "\\*").c_str(), &coFind);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                if (strcmp(coFind.cFileName, ".") != 0 && strcmp(coFind.cFileName, "..") != 0)
                    RemoveEntry(coPath + "\\" + coFind.cFileName, coFind.dwFileAttributes);
            } while (FindNextFileA(hFind, &coFind));
            FindClose(hFind);
        }
        SetFileAttributesA(coPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(coPath.c_str());
        return;
    }
    SetFileAttributesA(coPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(coPath.c_str());
}

} // namespace

void BootRemoveAll(const std::string& coPath)
{
    // Wine removes a Unix link to a directory neither with RemoveDirectory
    // nor with DeleteFile; a Unix "rm -rf" removes links without following.
    // The shell runs on its own; it is only started for something that
    // exists, so that it cannot remove what is made after it was asked.
    if (!BootExists(coPath))
        return;
    if (BootIsWine()) {
        std::string coUnix = BootUnixPath(coPath);
        if (!coUnix.empty() && coUnix != "/")
            BootUnixShell("rm -rf '" + coUnix + "'", coPath, true);
        return;
    }
    DWORD ulAttributes = GetFileAttributesA(coPath.c_str());
    if (ulAttributes != INVALID_FILE_ATTRIBUTES)
        RemoveEntry(coPath, ulAttributes);
}

std::vector<std::string> BootListDir(const std::string& coPath)
{
    std::vector<std::string> coNames;
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA((coPath + "\\*").c_str(), &coFind);
    if (hFind == INVALID_HANDLE_VALUE)
        return coNames;
    do {
        if (strcmp(coFind.cFileName, ".") != 0 && strcmp(coFind.cFileName, "..") != 0)
            coNames.push_back(coFind.cFileName);
    } while (FindNextFileA(hFind, &coFind));
    FindClose(hFind);
    std::sort(coNames.begin(), coNames.end());
    return coNames;
}

std::string BootIniValue(const std::string& coFile, const char* pszKey)
{
    char szValue[2048];
    GetPrivateProfileStringA("Installation", pszKey, "<missing>", szValue, sizeof(szValue), coFile.c_str());
    return szValue;
}

void BootFillAllTempNames(const std::string& coDir)
{
    if (BootIsWine()) {
        BootUnixShell("cd '" + BootUnixPath(coDir) + "' && touch '~PLV'{0000..9999}'.TMP'", coDir + "\\~PLV9999.TMP",
                      false);
        return;
    }
    for (int n = 0; n < 10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof(szName), "\\~PLV%04d.TMP", n);
        BootWriteFile(coDir + szName, "");
    }
}

std::string BootUnixPath(const std::string& coPath)
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

bool BootUnixShell(const std::string& coCommand, const std::string& coDonePath, bool bGone)
{
    std::string coLine = "Z:\\bin\\bash -c \"" + coCommand + "\"";
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    if (!CreateProcessA(nullptr, &coLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &coStartup, &coProcess))
        return false;
    CloseHandle(coProcess.hThread);
    CloseHandle(coProcess.hProcess);
    // A Unix process's handle cannot be waited for; its result can.
    for (int nTry = 0; nTry < 100; ++nTry) {
        if (BootExists(coDonePath) != bGone)
            return true;
        Sleep(50);
    }
    return false;
}

bool BootIsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// ---------------------------------------------------------------- scratch

TBootScratch::TBootScratch(const char* pszName)
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    m_coRoot = std::string(szTemp) + "plvboot-" + std::to_string(GetCurrentProcessId()) + "-"
               + std::to_string(++s_nScratchCount) + "-" + pszName;
    BootRemoveAll(m_coRoot);
    BootMakeDirs(Medium());
    BootMakeDirs(Payload());
    BootMakeDirs(Temp());
    BootMakeDirs(Outside());
    BootWriteFile(Outside() + "\\keep.txt", "outside the bootstrap's reach\r\n");
}

TBootScratch::~TBootScratch()
{
    BootRemoveAll(m_coRoot);
}

void TBootScratch::MakeMedium(const std::string& coSetupIni)
{
    BootWriteFile(Medium() + "\\setup.ini", coSetupIni);
    BootWriteFile(Medium() + "\\plvsetup.plv", std::string("PLV project\0\x01\x02\r\n", 17));
    InstallArchive();
    InstallSetupProgram();
    BootWriteFile(Payload() + "\\readme.txt", "Plover runtime\r\n");
    BootWriteFile(Payload() + "\\locked.dat", "read-only");
    SetFileAttributesA((Payload() + "\\locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    BootMakeDirs(Payload() + "\\lib\\fonts");
    BootWriteFile(Payload() + "\\lib\\runtime.dll", "not really a library");
    BootWriteFile(Payload() + "\\lib\\fonts\\plover.fon", "not really a font");
}

void TBootScratch::InstallArchive()
{
    CopyFileA((BootBinDir() + "\\fakeplvrt.exe").c_str(), (Medium() + "\\_plvrt_.exe").c_str(), FALSE);
}

void TBootScratch::InstallSetupProgram()
{
    CopyFileA((BootBinDir() + "\\fakeplvsetup.exe").c_str(), (Payload() + "\\plvsetup.exe").c_str(), FALSE);
}

// ---------------------------------------------------------------- records

std::map<std::string, std::string> BootReadRecord(const std::string& coFile)
{
    std::map<std::string, std::string> coRecord;
    std::string coContent = BootReadFile(coFile);
    size_t nStart = 0;
    while (nStart < coContent.size()) {
        size_t nEnd = coContent.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = coContent.size();
        std::string coLine = coContent.substr(nStart, nEnd - nStart);
        size_t nEqual = coLine.find('=');
        if (nEqual != std::string::npos)
            coRecord[coLine.substr(0, nEqual)] = coLine.substr(nEqual + 1);
        nStart = nEnd + 1;
    }
    return coRecord;
}

std::vector<std::pair<std::string, std::string>> BootReadTestLog(const std::string& coFile)
{
    std::vector<std::pair<std::string, std::string>> coEntries;
    std::string coContent = BootReadFile(coFile);
    size_t nStart = 0;
    while (nStart < coContent.size()) {
        size_t nEnd = coContent.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = coContent.size();
        std::string coLine = coContent.substr(nStart, nEnd - nStart);
        size_t nTab = coLine.find('\t');
        std::string coText;
        for (size_t n = nTab == std::string::npos ? coLine.size() : nTab + 1; n < coLine.size(); ++n) {
            if (coLine[n] == '\\' && n + 1 < coLine.size()) {
                coText += coLine[n + 1] == 'n' ? '\n' : coLine[n + 1];
                ++n;
            } else {
                coText += coLine[n];
            }
        }
        coEntries.emplace_back(coLine.substr(0, nTab), coText);
        nStart = nEnd + 1;
    }
    return coEntries;
}

// ---------------------------------------------------------------- running

namespace {

std::string MakeEnvironmentBlock(const std::vector<TBootEnv>& coEnv)
{
    std::string coBlock;
    char* pszStrings = GetEnvironmentStringsA();
    for (const char* psz = pszStrings; *psz; psz += strlen(psz) + 1) {
        std::string coEntry(psz);
        size_t nEqual = coEntry.find('=', 1);
        std::string coName = coEntry.substr(0, nEqual);
        bool bReplaced = std::any_of(coEnv.begin(), coEnv.end(),
                                     [&](const TBootEnv& coChange) { return SameName(coChange.coName, coName); });
        if (!bReplaced)
            coBlock += coEntry + '\0';
    }
    FreeEnvironmentStringsA(pszStrings);
    for (const TBootEnv& coChange : coEnv) {
        if (!coChange.bUnset)
            coBlock += coChange.coName + "=" + coChange.coValue + '\0';
    }
    coBlock += '\0';
    return coBlock;
}

} // namespace

TBootResult BootRun(const char* pszProgram, const std::string& coDirectory, const std::vector<TBootEnv>& coEnv,
                    DWORD ulTimeoutMs, TBootWatcher pfnWhileRunning, void* pvContext)
{
    TBootResult coResult;
    std::string coProgram = BootBinDir() + "\\" + pszProgram;
    std::string coLine = "\"" + coProgram + "\"";
    std::string coBlock = MakeEnvironmentBlock(coEnv);
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    coResult.ullStartTick = GetTickCount64();
    // Started as from the desktop: without the test's console, which Wine
    // would otherwise pass on to the runtime archive.
    if (!CreateProcessA(coProgram.c_str(), &coLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, &coBlock[0],
                        coDirectory.c_str(),
                        &coStartup, &coProcess)) {
        coResult.bTimedOut = true;
        coResult.ulExitCode = 0xFFFFFFFF;
        return coResult;
    }
    CloseHandle(coProcess.hThread);
    ULONGLONG ullDeadline = coResult.ullStartTick + ulTimeoutMs;
    bool bWatching = pfnWhileRunning != nullptr;
    for (;;) {
        DWORD ulWait = WaitForSingleObject(coProcess.hProcess, 50);
        if (ulWait == WAIT_OBJECT_0)
            break;
        if (GetTickCount64() > ullDeadline) {
            TerminateProcess(coProcess.hProcess, 0xDEAD);
            WaitForSingleObject(coProcess.hProcess, 5000);
            coResult.bTimedOut = true;
            break;
        }
        if (bWatching && pfnWhileRunning(coProcess.dwProcessId, pvContext))
            bWatching = false;
    }
    coResult.ullEndTick = GetTickCount64();
    GetExitCodeProcess(coProcess.hProcess, &coResult.ulExitCode);
    CloseHandle(coProcess.hProcess);
    return coResult;
}

namespace {

struct TFind {
    DWORD ulProcessId;
    const char* pszClass;
    HWND hWnd;
};

BOOL CALLBACK FindOne(HWND hWnd, LPARAM lParam)
{
    auto* pcoFind = reinterpret_cast<TFind*>(lParam);
    DWORD ulProcessId = 0;
    char szClass[64];
    GetWindowThreadProcessId(hWnd, &ulProcessId);
    if (ulProcessId == pcoFind->ulProcessId && GetClassNameA(hWnd, szClass, sizeof(szClass))
        && strcmp(szClass, pcoFind->pszClass) == 0) {
        pcoFind->hWnd = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND BootFindWindow(DWORD ulProcessId, const char* pszClass)
{
    TFind coFind = { ulProcessId, pszClass, nullptr };
    EnumWindows(FindOne, reinterpret_cast<LPARAM>(&coFind));
    return coFind.hWnd;
}
