// Measures selecting a large directory into a TFileSelection, sorted by name
// and by extension, against the raw enumeration of the same directory in the
// same run (FindFirstFile/FindNextFile on Windows; opendir/readdir, and
// readdir with the stat() that gives what FindFirstFile reports, natively),
// and checks that the selection's order is exactly the order of inserting
// the entries one by one.
//
//   FileSelectionBench [--count N] [--runs R] [--keep] [--no-check] [directory]
//
// The directory (made below the temporary directory when none is given) is
// filled with N empty files (100000 by default) and removed afterwards
// unless --keep is given; files that exist already are kept. The exit code
// is 1 when a selection takes more than three times the raw enumeration of
// the same information (natively: readdir with stat, since readdir alone
// gives names only) or its order is wrong.

#include "TCrt.h"
#include "TFileSelection.h"
#include "TOpSystem.h"
#include "TPath.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point coStart)
{
    return std::chrono::duration<double>(TClock::now() - coStart).count();
}

// Names in no particular order, with shared bases and shared extensions so
// both orders have work to do.
std::string FileName(unsigned long ulIndex)
{
    static const char* const s_apszExtensions[] = { "txt", "dat", "cpp", "h", "kwt", "TXT", "log" };
    const unsigned long ulMixed = (ulIndex * 2654435761ul) % 1000003ul;
    char szName[64];
    std::snprintf(szName, sizeof(szName), "f%06lu_%lu.%s", ulMixed, ulIndex % 13,
                  s_apszExtensions[ulIndex % (sizeof(s_apszExtensions) / sizeof(s_apszExtensions[0]))]);
    return szName;
}

std::string Join(const std::string& directory, const std::string& name)
{
    return directory + CrtPathSeparator() + name;
}

#if defined(_WIN32)

std::string DefaultDirectory()
{
    char szTemp[MAX_PATH + 1];
    const DWORD ulLength = GetTempPathA(sizeof(szTemp), szTemp);
    std::string base = ulLength > 0 && ulLength < sizeof(szTemp) ? szTemp : "C:\\";
    if (base.back() == '\\')
        base.pop_back();
    return base + "\\kw-selection-bench";
}

bool MakeDirectory(const std::string& directory)
{
    return CreateDirectoryA(directory.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::string& path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(hFile);
    return true;
}

void RemoveAll(const std::string& directory, unsigned long ulCount)
{
    for (unsigned long i = 0; i < ulCount; ++i)
        DeleteFileA(Join(directory, FileName(i)).c_str());
    RemoveDirectoryA(directory.c_str());
}

// The raw enumeration: every entry FindFirstFile/FindNextFile return.
long RawEnumeration(const std::string& directory)
{
    WIN32_FIND_DATAA coData;
    HANDLE hFind = FindFirstFileA((directory + "\\*.*").c_str(), &coData);
    if (hFind == INVALID_HANDLE_VALUE)
        return -1;
    long lCount = 0;
    do
        ++lCount;
    while (FindNextFileA(hFind, &coData));
    FindClose(hFind);
    return lCount;
}

// The selection as the framework makes it: through a TPath of the directory.
TFileSelection Select(const std::string& directory, unsigned short unSortType)
{
    TPath coPath;
    coPath.Use(directory.c_str());
    return coPath.SelectFiles("*.*", 22, unSortType);
}

#else

std::string DefaultDirectory()
{
    const char* pszTmp = std::getenv("TMPDIR");
    return std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/kw-selection-bench";
}

bool MakeDirectory(const std::string& directory)
{
    struct stat coStat;
    return mkdir(directory.c_str(), 0777) == 0 || (stat(directory.c_str(), &coStat) == 0 && S_ISDIR(coStat.st_mode));
}

bool MakeFile(const std::string& path)
{
    const int nHandle = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (nHandle < 0)
        return false;
    close(nHandle);
    return true;
}

void RemoveAll(const std::string& directory, unsigned long ulCount)
{
    for (unsigned long i = 0; i < ulCount; ++i)
        unlink(Join(directory, FileName(i)).c_str());
    rmdir(directory.c_str());
}

long RawEnumeration(const std::string& directory)
{
    DIR* pDir = opendir(directory.c_str());
    if (!pDir)
        return -1;
    long lCount = 0;
    while (readdir(pDir))
        ++lCount;
    closedir(pDir);
    return lCount;
}

// readdir with the attributes, size and times that FindFirstFile reports.
long RawEnumerationWithStat(const std::string& directory)
{
    DIR* pDir = opendir(directory.c_str());
    if (!pDir)
        return -1;
    long lCount = 0;
    struct stat coStat;
    while (const dirent* pEntry = readdir(pDir)) {
        if (fstatat(dirfd(pDir), pEntry->d_name, &coStat, 0) == 0)
            ++lCount;
    }
    closedir(pDir);
    return lCount;
}

TFileSelection Select(const std::string& directory, unsigned short unSortType)
{
    TFileSelection coSelection(unSortType);
    coSelection.Select(directory.c_str(), "*.*", 22);
    return coSelection;
}

#endif

// The order one-by-one inserts give: the entries as the operating system
// lists them, added with AddFile one at a time.
bool SameOrderAsOneByOne(const std::string& directory, const TFileSelection& coSelection, unsigned short unSortType)
{
    TArray coListed(4096, nullptr, nullptr);
    if (!CurrentOS().ScanFiles(coListed, directory.c_str(), "*.*", 1))
        return false;
    TFileSelection coOneByOne(unSortType);
    for (long i = 0; i < coListed.Count(); ++i) {
        const auto* pcoInfo = static_cast<const TFileInfo*>(coListed.Get(i));
        if (TFileSelection::IsSelected(*pcoInfo, 22))
            coOneByOne.AddFile(*pcoInfo);
    }
    if (coOneByOne.Count() != coSelection.Count())
        return false;
    for (long i = 0; i < coSelection.Count(); ++i) {
        const auto* pcoA = static_cast<const TFileInfo*>(coSelection.Get(i));
        const auto* pcoB = static_cast<const TFileInfo*>(coOneByOne.Get(i));
        if (pcoA->Name().Strcmp(pcoB->Name()) != 0)
            return false;
    }
    return true;
}

struct TOptions {
    unsigned long m_ulCount { 100000 };
    int m_nRuns { 5 };
    bool m_bKeep { false };
    bool m_bCheck { true };
    std::string m_directory;
};

bool ParseOptions(int argc, char** argv, TOptions& coOptions)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--count" && i + 1 < argc)
            coOptions.m_ulCount = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--runs" && i + 1 < argc)
            coOptions.m_nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keep")
            coOptions.m_bKeep = true;
        else if (arg == "--no-check")
            coOptions.m_bCheck = false;
        else if (!arg.empty() && arg[0] != '-')
            coOptions.m_directory = arg;
        else
            return false;
    }
    if (coOptions.m_directory.empty())
        coOptions.m_directory = DefaultDirectory();
    return coOptions.m_ulCount > 0;
}

} // namespace

int main(int argc, char** argv)
{
    TOptions coOptions;
    if (!ParseOptions(argc, argv, coOptions)) {
        std::fprintf(stderr, "usage: FileSelectionBench [--count N] [--runs R] [--keep] [--no-check] [directory]\n");
        return 2;
    }
    const std::string& directory = coOptions.m_directory;
    if (!MakeDirectory(directory)) {
        std::fprintf(stderr, "cannot make %s\n", directory.c_str());
        return 2;
    }
    const TClock::time_point coMade = TClock::now();
    for (unsigned long i = 0; i < coOptions.m_ulCount; ++i) {
        if (!MakeFile(Join(directory, FileName(i)))) {
            std::fprintf(stderr, "cannot make file %lu in %s\n", i, directory.c_str());
            return 2;
        }
    }
    std::printf("%lu files in %s (made in %.1f s)\n", coOptions.m_ulCount, directory.c_str(), Seconds(coMade));

    // One pass to warm the caches, then the best of the runs for each.
    const long lEntries = RawEnumeration(directory);
    double dRaw = 1e9;
#if !defined(_WIN32)
    double dRawStat = 1e9;
#endif
    double adSelect[2] = { 1e9, 1e9 };
    long alCount[2] = { 0, 0 };
    for (int nRun = 0; nRun < coOptions.m_nRuns; ++nRun) {
        TClock::time_point coStart = TClock::now();
        RawEnumeration(directory);
        dRaw = std::min(dRaw, Seconds(coStart));
#if !defined(_WIN32)
        coStart = TClock::now();
        RawEnumerationWithStat(directory);
        dRawStat = std::min(dRawStat, Seconds(coStart));
#endif
        for (unsigned short unType : { TFileSelection::SortByName, TFileSelection::SortByExt }) {
            coStart = TClock::now();
            const TFileSelection coSelection = Select(directory, unType);
            adSelect[unType] = std::min(adSelect[unType], Seconds(coStart));
            alCount[unType] = coSelection.Count();
        }
    }

    int nResult = 0;
    std::printf("raw enumeration:            %8.3f s (%ld entries)\n", dRaw, lEntries);
#if !defined(_WIN32)
    std::printf("raw enumeration with stat:  %8.3f s\n", dRawStat);
#endif
    const char* const apszOrder[2] = { "name", "extension" };
    for (unsigned short unType : { TFileSelection::SortByName, TFileSelection::SortByExt }) {
        const double dRatio = adSelect[unType] / dRaw;
        std::printf("selection by %-10s     %8.3f s (%ld entries), ratio %.2f", apszOrder[unType], adSelect[unType],
                    alCount[unType], dRatio);
#if !defined(_WIN32)
        std::printf(", %.2f against readdir with stat", adSelect[unType] / dRawStat);
#endif
        std::printf("\n");
        if (alCount[unType] != lEntries) {
            std::printf("  the selection lacks entries\n");
            nResult = 1;
        }
#if defined(_WIN32)
        // The limit is the raw enumeration of the same data.
        if (dRatio > 3.0)
            nResult = 1;
#else
        if (adSelect[unType] / dRawStat > 3.0)
            nResult = 1;
#endif
        if (coOptions.m_bCheck) {
            const TClock::time_point coStart = TClock::now();
            const bool bSame = SameOrderAsOneByOne(directory, Select(directory, unType), unType);
            std::printf("  order %s one-by-one inserts (checked in %.1f s)\n", bSame ? "equals" : "DIFFERS FROM",
                        Seconds(coStart));
            if (!bSame)
                nResult = 1;
        }
    }
    if (!coOptions.m_bKeep)
        RemoveAll(directory, coOptions.m_ulCount);
    std::printf(nResult == 0 ? "within the limit of 3\n" : "LIMIT OR ORDER FAILED\n");
    return nResult;
}
