#include "GdvDriveErrors.h"

#include "KwWindows.h"

void GdvQuietDriveErrors()
{
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}
