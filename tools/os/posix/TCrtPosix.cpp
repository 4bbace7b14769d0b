#include "TCrt.h"

#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int CrtProcessId()
{
    return static_cast<int>(getpid());
}

unsigned long CrtThreadId()
{
    return static_cast<unsigned long>(gettid());
}

FILE* CrtFdopen(int nHandle, const char* pszMode)
{
    return nHandle < 0 || !pszMode ? nullptr : fdopen(nHandle, pszMode);
}

FILE* CrtOpenStream(const char* pszName, const char* pszMode)
{
    return std::fopen(pszName, (std::string(pszMode) + "e").c_str());
}

int64_t CrtStreamLength(FILE* pStream)
{
    struct stat coStat;
    if (fstat(fileno(pStream), &coStat) != 0 || S_ISDIR(coStat.st_mode))
        return -1;
    return static_cast<int64_t>(coStat.st_size);
}

int CrtSeekStream(FILE* pStream, int64_t llPosition)
{
    return fseeko(pStream, static_cast<off_t>(llPosition), SEEK_SET);
}

int CrtIsSameFile(FILE* pStream, const char* pszName)
{
    struct stat coStream;
    struct stat coName;
    return fstat(fileno(pStream), &coStream) == 0 && stat(pszName, &coName) == 0 && coStream.st_dev == coName.st_dev
        && coStream.st_ino == coName.st_ino;
}

int CrtAccess(const char* pszPath, int nMode)
{
    return access(pszPath, nMode);
}

char CrtPathSeparator()
{
    return '/';
}

char CrtPathListSeparator()
{
    return ':';
}

int CrtLocalTime(int64_t llSeconds, std::tm* pcoTime)
{
    const time_t llTime = static_cast<time_t>(llSeconds);
    return localtime_r(&llTime, pcoTime) ? 1 : 0;
}
