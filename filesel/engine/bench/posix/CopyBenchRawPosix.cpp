#include "CopyBenchRaw.h"

#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <class Visit>
int ForEach(const std::string& strDirectory, Visit fnVisit)
{
    DIR* pDirectory = opendir(strDirectory.c_str());
    if (!pDirectory)
        return 0;
    int nAll = 1;
    while (const dirent* pcoEntry = readdir(pDirectory)) {
        if (std::strcmp(pcoEntry->d_name, ".") == 0 || std::strcmp(pcoEntry->d_name, "..") == 0)
            continue;
        // What FindFirstFile reports of an entry: its kind, size and times.
        struct stat coInfo;
        if (fstatat(dirfd(pDirectory), pcoEntry->d_name, &coInfo, AT_SYMLINK_NOFOLLOW) != 0)
            nAll = 0;
        else
            nAll &= fnVisit(pcoEntry->d_name, S_ISDIR(coInfo.st_mode));
    }
    closedir(pDirectory);
    return nAll;
}

} // namespace

uint64_t RawEnumerate(const std::string& strDirectory)
{
    uint64_t ullCount = 0;
    ForEach(strDirectory, [&](const char* pszName, bool bDirectory) {
        ++ullCount;
        if (bDirectory)
            ullCount += RawEnumerate(strDirectory + "/" + pszName);
        return 1;
    });
    return ullCount;
}

int RawMakeTree(const std::string& strSource, const std::string& strTarget, TRawFiles& vecFiles)
{
    if (mkdir(strTarget.c_str(), 0777) != 0)
        return 0;
    return ForEach(strSource, [&](const char* pszName, bool bDirectory) {
        const std::string strFrom = strSource + "/" + pszName;
        const std::string strTo = strTarget + "/" + pszName;
        if (bDirectory)
            return RawMakeTree(strFrom, strTo, vecFiles);
        vecFiles.emplace_back(strFrom, strTo);
        return 1;
    });
}

int RawCopyFile(const std::string& strSource, const std::string& strTarget, char* pchBuffer, int nRenamed)
{
    const std::string strWritten = nRenamed ? RawTemporaryName(strTarget) : strTarget;
    const int nSource = open(strSource.c_str(), O_RDONLY);
    const int nTarget = open(strWritten.c_str(), O_WRONLY | O_CREAT | (nRenamed ? O_EXCL : O_TRUNC), 0644);
    int nDone = nSource >= 0 && nTarget >= 0;
    ssize_t nRead;
    while (nDone && (nRead = read(nSource, pchBuffer, kRawBuffer)) > 0)
        nDone = write(nTarget, pchBuffer, static_cast<size_t>(nRead)) == nRead;
    if (nDone && nRenamed)
        nDone = rename(strWritten.c_str(), strTarget.c_str()) == 0;
    close(nSource);
    close(nTarget);
    return nDone;
}

double RawCachedShare(const std::string& strFile)
{
    const int nFile = open(strFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFile < 0)
        return -1;
    struct stat coInfo;
    double dShare = -1;
    if (fstat(nFile, &coInfo) == 0 && coInfo.st_size > 0) {
        const size_t ulSize = static_cast<size_t>(coInfo.st_size);
        const size_t ulPage = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void* pvMap = mmap(nullptr, ulSize, PROT_READ, MAP_SHARED, nFile, 0);
        if (pvMap != MAP_FAILED) {
            std::vector<unsigned char> vecResident((ulSize + ulPage - 1) / ulPage);
            if (mincore(pvMap, ulSize, vecResident.data()) == 0) {
                size_t ulCached = 0;
                for (unsigned char byPage : vecResident)
                    ulCached += byPage & 1;
                dShare = static_cast<double>(ulCached) / static_cast<double>(vecResident.size());
            }
            munmap(pvMap, ulSize);
        }
    }
    close(nFile);
    return dShare;
}

namespace {

// Writes the file's data to the disk, and then, with nDrop, drops its pages
// from the cache.
int FlushFile(const std::string& strFile, int nDrop)
{
    const int nFile = open(strFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFile < 0)
        return 0;
    const int nDone = fdatasync(nFile) == 0 && (!nDrop || posix_fadvise(nFile, 0, 0, POSIX_FADV_DONTNEED) == 0);
    close(nFile);
    return nDone;
}

} // namespace

int RawFlush(const std::string& strFile)
{
    return FlushFile(strFile, 0);
}

int RawUncache(const std::string& strFile)
{
    return FlushFile(strFile, 1);
}
