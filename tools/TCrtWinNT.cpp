#include "TCrt.h"

#include "KwWindows.h"

#include <process.h>

int CrtProcessId()
{
    return _getpid();
}

unsigned long CrtThreadId()
{
    return GetCurrentThreadId();
}
