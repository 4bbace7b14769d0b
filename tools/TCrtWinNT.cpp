#include "TCrt.h"

#include "KwWindows.h"

#include <process.h>
#include <stdio.h>

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
