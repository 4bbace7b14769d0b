#include "TBootTempDir.h"

#include "BootWindows.h"
#include "TBootText.h"

#include <cstring>

namespace {

// Deeper trees cannot be addressed by paths of MAX_PATH characters anyway;
// the limit only keeps a damaged tree from exhausting the stack.
constexpr int s_nMaxDepth = 200;

int IsDotEntry(const char* pszName)
{
    return strcmp(pszName, ".") == 0 || strcmp(pszName, "..") == 0;
}

} // namespace

uint64_t TBootTempDir::DriveFreeSpace(const char* pszPath)
{
    if (!pszPath || strlen(pszPath) < 2 || pszPath[1] != ':')
        return 0;
    char szRoot[4] = { pszPath[0], ':', '\\', '\0' };
    DWORD ulSectorsPerCluster = 0, ulBytesPerSector = 0, ulFreeClusters = 0, ulClusters = 0;
    if (!GetDiskFreeSpaceA(szRoot, &ulSectorsPerCluster, &ulBytesPerSector, &ulFreeClusters, &ulClusters))
        return 0;
    return static_cast<uint64_t>(ulFreeClusters) * ulSectorsPerCluster * ulBytesPerSector;
}

int TBootTempDir::ChooseBase(char* pszBase, size_t nSize, int nNeedSpaceMB)
{
    char szCandidate[kBaseSize];
    int nFound = EnvironmentCandidate(szCandidate, kMaxBase + 1)
                 && IsUsableCandidate(szCandidate, nNeedSpaceMB);
    for (char chDrive = 'c'; !nFound && chDrive <= 'z'; ++chDrive) {
        char szRoot[4] = { chDrive, ':', '\\', '\0' };
        if (IsDirectory(szRoot) && DriveFreeSpace(szRoot) >= NeededBytes(nNeedSpaceMB)) {
            BootCopy(szCandidate, sizeof(szCandidate), szRoot);
            nFound = 1;
        }
    }
    if (!nFound)
        return 0;
    size_t nLength = strlen(szCandidate);
    if (szCandidate[nLength - 1] != '\\' && !BootAppend(szCandidate, sizeof(szCandidate), "\\"))
        return 0;
    return BootCopy(pszBase, nSize, szCandidate);
}

int TBootTempDir::EnvironmentCandidate(char* pszValue, size_t nSize)
{
    pszValue[0] = '\0';
    const char* pszName = "TEMP";
    SetLastError(ERROR_SUCCESS);
    DWORD nLength = GetEnvironmentVariableA(pszName, pszValue, static_cast<DWORD>(nSize));
    if (nLength == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        pszName = "TMP";
        nLength = GetEnvironmentVariableA(pszName, pszValue, static_cast<DWORD>(nSize));
    }
    if (nLength == 0 || nLength >= nSize) {
        pszValue[0] = '\0';
        return 0;
    }
    while (nLength > 0 && pszValue[nLength - 1] == ';')
        pszValue[--nLength] = '\0';
    return 1;
}

int TBootTempDir::IsUsableCandidate(const char* pszCandidate, int nNeedSpaceMB)
{
    return strlen(pszCandidate) > 2 && pszCandidate[1] == ':' && pszCandidate[2] == '\\'
           && IsDirectory(pszCandidate) && DriveFreeSpace(pszCandidate) >= NeededBytes(nNeedSpaceMB);
}

int TBootTempDir::PickName(char* pszDir, size_t nSize, const char* pszBase)
{
    for (long lNumber = 0; lNumber < kNameCount; ++lNumber) {
        char szName[kDirSize];
        if (!BootFormat(szName, sizeof(szName), "%s%s%04ld.%s", pszBase, "~PLV", lNumber, "TMP"))
            break;
        DWORD ulAttributes = GetFileAttributesA(szName);
        if (ulAttributes == INVALID_FILE_ATTRIBUTES)
            return BootCopy(pszDir, nSize, szName);
        // A directory left empty by an earlier run is taken over; anything
        // else of that name belongs to someone and is left alone.
        if ((ulAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsEmptyDirectory(szName) && RemoveDirectoryA(szName))
            return BootCopy(pszDir, nSize, szName);
    }
    pszDir[0] = '\0';
    return 0;
}

int TBootTempDir::RemoveTree(const char* pszDir)
{
    DWORD ulAttributes = GetFileAttributesA(pszDir);
    if (ulAttributes == INVALID_FILE_ATTRIBUTES)
        return 1;
    return RemoveEntry(pszDir, ulAttributes, 0);
}

int TBootTempDir::IsDirectory(const char* pszPath)
{
    DWORD ulAttributes = GetFileAttributesA(pszPath);
    return ulAttributes != INVALID_FILE_ATTRIBUTES && (ulAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

int TBootTempDir::IsEmptyDirectory(const char* pszPath)
{
    char szPattern[kDirSize + 2];
    if (!BootJoin(szPattern, sizeof(szPattern), pszPath, "*"))
        return 0;
    WIN32_FIND_DATAA coFind;
    HANDLE hFind = FindFirstFileA(szPattern, &coFind);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    int nEmpty = 1;
    do {
        if (!IsDotEntry(coFind.cFileName))
            nEmpty = 0;
    } while (nEmpty && FindNextFileA(hFind, &coFind));
    FindClose(hFind);
    return nEmpty;
}

void TBootTempDir::RemoveContents(const char* pszDir, int nDepth)
{
    char szPattern[MAX_PATH + 1];
    if (!BootJoin(szPattern, sizeof(szPattern), pszDir, "*"))
        return;
    // Entries are removed while the directory is listed; a listing may skip
    // entries after removals, so it is repeated until one removes nothing.
    int nRemoved = 1;
    while (nRemoved) {
        nRemoved = 0;
        WIN32_FIND_DATAA coFind;
        HANDLE hFind = FindFirstFileA(szPattern, &coFind);
        if (hFind == INVALID_HANDLE_VALUE)
            return;
        do {
            char szPath[MAX_PATH + 1];
            if (IsDotEntry(coFind.cFileName) || !BootJoin(szPath, sizeof(szPath), pszDir, coFind.cFileName))
                continue;
            nRemoved += RemoveEntry(szPath, coFind.dwFileAttributes, nDepth + 1);
        } while (FindNextFileA(hFind, &coFind));
        FindClose(hFind);
    }
}

int TBootTempDir::RemoveEntry(const char* pszPath, unsigned long ulAttributes, int nDepth)
{
    if (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // The link itself goes; its attributes are not touched because
        // changing them would change the target's.
        if (ulAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return RemoveDirectoryA(pszPath) ? 1 : 0;
        return DeleteFileA(pszPath) ? 1 : 0;
    }
    if (ulAttributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(pszPath, FILE_ATTRIBUTE_NORMAL);
    if (!(ulAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileA(pszPath) ? 1 : 0;
    if (nDepth < s_nMaxDepth)
        RemoveContents(pszPath, nDepth);
    return RemoveDirectoryA(pszPath) ? 1 : 0;
}
