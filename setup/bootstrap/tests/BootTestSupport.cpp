#include "BootTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>

std::string BootBinDir()
{
    char szPath[MAX_PATH];
    std::string coPath(szPath, GetModuleFileNameA(nullptr, szPath, sizeof(szPath)));
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
    std::ofstream coFile(coPath, std::ios::binary | std::ios::trunc);
    if (!(coFile << coContent))
        ADD_FAILURE() << "cannot write " << coPath;
}

std::string BootReadFile(const std::string& coPath)
{
    std::ifstream coFile(coPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(coFile), std::istreambuf_iterator<char>());
}

void BootMakeDirs(const std::string& coPath)
{
    for (size_t nPos = coPath.find('\\', 3); nPos != std::string::npos; nPos = coPath.find('\\', nPos + 1))
        CreateDirectoryA(coPath.substr(0, nPos).c_str(), nullptr);
    CreateDirectoryA(coPath.c_str(), nullptr);
}

void BootRemoveAll(const std::string& coPath)
{
    // Wine removes a Unix link to a directory neither with RemoveDirectory
    // nor with DeleteFile; a Unix "rm -rf" removes links without following,
    // as "rd /s" does on Windows. Only something that exists is removed, so
    // that the command cannot take what is made after it was asked.
    if (!BootExists(coPath))
        return;
    std::string coUnix = FakeUnixPath(coPath);
    if (FakeIsWine() && (coUnix.empty() || coUnix == "/"))
        return;
    FakeRunUntil(FakeIsWine() ? "Z:\\bin\\bash -c \"rm -rf '" + coUnix + "'\"" : "cmd /c rd /s /q \"" + coPath + "\"",
                 coPath, true);
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
    if (FakeIsWine()) {
        FakeRunUntil("Z:\\bin\\bash -c \"cd '" + FakeUnixPath(coDir) + "' && touch '~PLV'{0000..9999}'.TMP'\"",
                     coDir + "\\~PLV9999.TMP", false);
        return;
    }
    for (int n = 0; n < 10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof(szName), "\\~PLV%04d.TMP", n);
        BootWriteFile(coDir + szName, "");
    }
}

// ---------------------------------------------------------------- scratch

TBootScratch::TBootScratch(const char* pszName)
{
    static std::atomic<int> s_nCount { 0 };
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    m_coRoot = std::string(szTemp) + "plvboot-" + std::to_string(GetCurrentProcessId()) + "-"
               + std::to_string(++s_nCount) + "-" + pszName;
    BootRemoveAll(m_coRoot);
    for (const std::string& coDir : { Medium(), Payload(), Temp(), Outside() })
        BootMakeDirs(coDir);
    BootWriteFile(Outside() + "\\keep.txt", "outside the bootstrap's reach\r\n");
}

bool TBootScratch::OutsideUntouched() const
{
    return BootListDir(Outside()) == std::vector<std::string> { "keep.txt" }
           && BootReadFile(Outside() + "\\keep.txt") == "outside the bootstrap's reach\r\n";
}

void TBootScratch::MakeMedium(const std::string& coSetupIni, bool bProject, bool bArchive)
{
    if (!coSetupIni.empty())
        BootWriteFile(Medium() + "\\setup.ini", coSetupIni);
    if (bProject)
        BootWriteFile(Medium() + "\\plvsetup.plv", std::string("PLV project\0\x01\x02\r\n", 17));
    if (bArchive)
        CopyFileA((BootBinDir() + "\\fakeplvrt.exe").c_str(), (Medium() + "\\_plvrt_.exe").c_str(), FALSE);
    CopyFileA((BootBinDir() + "\\fakeplvsetup.exe").c_str(), (Payload() + "\\plvsetup.exe").c_str(), FALSE);
    BootWriteFile(Payload() + "\\readme.txt", "Plover runtime\r\n");
    BootWriteFile(Payload() + "\\locked.dat", "read-only");
    SetFileAttributesA((Payload() + "\\locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    BootMakeDirs(Payload() + "\\lib\\fonts");
    BootWriteFile(Payload() + "\\lib\\runtime.dll", "not really a library");
    BootWriteFile(Payload() + "\\lib\\fonts\\plover.fon", "not really a font");
}

// ---------------------------------------------------------------- records

namespace {

// Each line of a file split at its first cSeparator.
std::vector<std::pair<std::string, std::string>> SplitLines(const std::string& coFile, char cSeparator)
{
    std::vector<std::pair<std::string, std::string>> coLines;
    std::string coContent = BootReadFile(coFile);
    for (size_t nStart = 0, nEnd = 0; nStart < coContent.size(); nStart = nEnd + 1) {
        nEnd = std::min(coContent.find('\n', nStart), coContent.size());
        std::string coLine = coContent.substr(nStart, nEnd - nStart);
        size_t nAt = coLine.find(cSeparator);
        if (nAt != std::string::npos)
            coLines.emplace_back(coLine.substr(0, nAt), coLine.substr(nAt + 1));
    }
    return coLines;
}

} // namespace

std::map<std::string, std::string> BootReadRecord(const std::string& coFile)
{
    std::map<std::string, std::string> coRecord;
    for (const auto& coLine : SplitLines(coFile, '='))
        coRecord[coLine.first] = coLine.second;
    return coRecord;
}

std::string BootGet(const std::map<std::string, std::string>& coRecord, const char* pszKey)
{
    auto it = coRecord.find(pszKey);
    return it == coRecord.end() ? "<missing>" : it->second;
}

std::vector<std::string> BootTestLog(const std::string& coFile, const char* pszKind)
{
    std::vector<std::string> coTexts;
    for (const auto& coLine : SplitLines(coFile, '\t')) {
        if (coLine.first != pszKind)
            continue;
        std::string coText;
        for (size_t n = 0; n < coLine.second.size(); ++n) {
            char c = coLine.second[n];
            if (c == '\\' && n + 1 < coLine.second.size())
                c = coLine.second[++n] == 'n' ? '\n' : coLine.second[n];
            coText += c;
        }
        coTexts.push_back(coText);
    }
    return coTexts;
}

// ---------------------------------------------------------------- running

namespace {

std::string MakeEnvironmentBlock(const std::vector<TBootEnv>& coEnv)
{
    std::string coBlock;
    char* pszStrings = GetEnvironmentStringsA();
    for (const char* psz = pszStrings; *psz; psz += strlen(psz) + 1) {
        std::string coEntry(psz);
        std::string coName = coEntry.substr(0, coEntry.find('=', 1));
        bool bReplaced = std::any_of(coEnv.begin(), coEnv.end(),
                                     [&](const TBootEnv& c) { return _stricmp(c.coName.c_str(), coName.c_str()) == 0; });
        if (!bReplaced)
            coBlock += coEntry + '\0';
    }
    FreeEnvironmentStringsA(pszStrings);
    for (const TBootEnv& coChange : coEnv) {
        if (!coChange.bUnset)
            coBlock += coChange.coName + "=" + coChange.coValue + '\0';
    }
    return coBlock + '\0';
}

} // namespace

TBootResult BootRun(const char* pszProgram, const std::string& coDirectory, const std::vector<TBootEnv>& coEnv,
                    TBootWatcher pfnWhileRunning, void* pvContext)
{
    TBootResult coResult;
    std::string coProgram = BootBinDir() + "\\" + pszProgram;
    std::string coLine = "\"" + coProgram + "\"";
    std::string coBlock = MakeEnvironmentBlock(coEnv);
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    // Started as from the desktop: without the test's console, which Wine
    // would otherwise pass on to the runtime archive.
    if (!CreateProcessA(coProgram.c_str(), &coLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, &coBlock[0],
                        coDirectory.c_str(), &coStartup, &coProcess)) {
        coResult.bTimedOut = true;
        return coResult;
    }
    CloseHandle(coProcess.hThread);
    ULONGLONG ullDeadline = GetTickCount64() + 60000;
    bool bWatching = pfnWhileRunning != nullptr;
    while (WaitForSingleObject(coProcess.hProcess, 50) != WAIT_OBJECT_0) {
        if (GetTickCount64() > ullDeadline) {
            TerminateProcess(coProcess.hProcess, 0xDEAD);
            WaitForSingleObject(coProcess.hProcess, 5000);
            coResult.bTimedOut = true;
            break;
        }
        if (bWatching && pfnWhileRunning(pvContext))
            bWatching = false;
    }
    coResult.ullEndTick = GetTickCount64();
    GetExitCodeProcess(coProcess.hProcess, &coResult.ulExitCode);
    CloseHandle(coProcess.hProcess);
    return coResult;
}
