#include "TCrt.h"

#include <unistd.h>

int CrtProcessId()
{
    return static_cast<int>(getpid());
}
