#include "TCrt.h"

#include <stdio.h>
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
