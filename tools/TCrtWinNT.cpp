#include "TCrt.h"

#include <process.h>

int CrtProcessId()
{
    return _getpid();
}
