#include "TCrt.h"

#include <unistd.h>

int CrtProcessId()
{
    return static_cast<int>(getpid());
}

unsigned long CrtThreadId()
{
    return static_cast<unsigned long>(gettid());
}
