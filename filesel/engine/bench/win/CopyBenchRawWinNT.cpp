#include "CopyBenchRaw.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

template <class Visit>
int ForEach(const std::string& strDirectory, Visit fnVisit)
{
    WIN32_FIND_DATAA coData;
    HANDLE hFind = FindFirstFileA((strDirectory + "\\*").c_str(), &coData);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    int nAll = 1;
    do {
        if (std::string(coData.cFileName) != "." && std::string(coData.cFileName) != "..")
            nAll &= fnVisit(coData);
    } while (FindNextFileA(hFind, &coData));
    FindClose(hFind);
    return nAll;
}

} // namespace

uint64_t RawEnumerate(const std::string& strDirectory)
{
    uint64_t ullCount = 0;
    ForEach(strDirectory, [&](const WIN32_FIND_DATAA& coData) {
        ++ullCount;
        if (coData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ullCount += RawEnumerate(strDirectory + "\\" + coData.cFileName);
        return 1;
    });
    return ullCount;
}

int RawMakeTree(const std::string& strSource, const std::string& strTarget, TRawFiles& vecFiles)
{
    if (!CreateDirectoryA(strTarget.c_str(), nullptr))
        return 0;
    return ForEach(strSource, [&](const WIN32_FIND_DATAA& coData) {
        const std::string strFrom = strSource + "\\" + coData.cFileName;
        const std::string strTo = strTarget + "\\" + coData.cFileName;
        if (coData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return RawMakeTree(strFrom, strTo, vecFiles);
        vecFiles.emplace_back(strFrom, strTo);
        return 1;
    });
}

namespace {

// Renames an open file (opened with DELETE access) to a path of the same
// volume that is not there.
int RenameOpen(HANDLE hFile, const std::string& strTo)
{
    const int nLength = MultiByteToWideChar(CP_ACP, 0, strTo.c_str(), -1, nullptr, 0);
    std::vector<char> vecInfo(sizeof(FILE_RENAME_INFO) + static_cast<size_t>(nLength) * sizeof(WCHAR));
    FILE_RENAME_INFO* pcoInfo = reinterpret_cast<FILE_RENAME_INFO*>(vecInfo.data());
    pcoInfo->ReplaceIfExists = FALSE;
    pcoInfo->RootDirectory = nullptr;
    pcoInfo->FileNameLength = static_cast<DWORD>(nLength - 1) * sizeof(WCHAR);
    MultiByteToWideChar(CP_ACP, 0, strTo.c_str(), -1, pcoInfo->FileName, nLength);
    return SetFileInformationByHandle(hFile, FileRenameInfo, pcoInfo, static_cast<DWORD>(vecInfo.size())) ? 1 : 0;
}

} // namespace

int RawCopyFile(const std::string& strSource, const std::string& strTarget, char* pchBuffer, int nRenamed)
{
    // The engine's calls: a new name (never an existing one), paths past
    // the DOS forms.
    const std::string strWritten = nRenamed ? "\\\\?\\" + RawTemporaryName(strTarget) : strTarget;
    HANDLE hSource = CreateFileA(strSource.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE hTarget = CreateFileA(strWritten.c_str(), GENERIC_WRITE | (nRenamed ? DELETE : 0), 0, nullptr,
                                 nRenamed ? CREATE_NEW : CREATE_ALWAYS, 0, nullptr);
    int nDone = hSource != INVALID_HANDLE_VALUE && hTarget != INVALID_HANDLE_VALUE;
    DWORD ulRead = 0;
    while (nDone && ReadFile(hSource, pchBuffer, kRawBuffer, &ulRead, nullptr) && ulRead) {
        DWORD ulWritten = 0;
        nDone = WriteFile(hTarget, pchBuffer, ulRead, &ulWritten, nullptr) && ulWritten == ulRead;
    }
    if (nDone && nRenamed)
        nDone = RenameOpen(hTarget, "\\\\?\\" + strTarget);
    CloseHandle(hSource);
    CloseHandle(hTarget);
    return nDone;
}

int RawFlush(const std::string& strFile)
{
    HANDLE hFile = CreateFileA(strFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    const int nDone = FlushFileBuffers(hFile) ? 1 : 0;
    CloseHandle(hFile);
    return nDone;
}

// Windows tells no program which pages of a file its cache holds, nor
// drops them on request.
double RawCachedShare(const std::string&)
{
    return -1;
}

int RawUncache(const std::string&)
{
    return 0;
}
