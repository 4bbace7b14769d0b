#include "TCrt.h"

#include "KwWindows.h"

#include <process.h>
#include <stdio.h>
#include <time.h>

int CrtProcessId()
{
    return _getpid();
}

unsigned long CrtThreadId()
{
    return GetCurrentThreadId();
}

FILE* CrtFdopen(int nHandle, const char* pszMode)
{
    return nHandle < 0 || !pszMode ? nullptr : _fdopen(nHandle, pszMode);
}

char CrtPathSeparator()
{
    return '\\';
}

char CrtPathListSeparator()
{
    return ';';
}

int CrtLocalTime(int64_t llSeconds, std::tm* pcoTime)
{
    // The run-time library keeps the result per thread; it is copied at once.
    const __time64_t llTime = llSeconds;
    const std::tm* pcoLocal = _localtime64(&llTime);
    if (!pcoLocal)
        return 0;
    *pcoTime = *pcoLocal;
    return 1;
}
