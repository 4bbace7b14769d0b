#include "KwSystem.h"

#include <new>

// Without a window system the adapter is the neutral one: no windows,
// no drawing, every operation answers its neutral result.
KwSystem* KwCreatePlatformAdapter()
{
    return new (std::nothrow) KwSystem("ZORVIK Adapter without window system");
}
