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
