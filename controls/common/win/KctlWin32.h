#pragma once

// The one place where the controls include <windows.h>; only the check of
// their system values (KwCtlCodesWinNT.cpp) and the Win32 tests use it.

#include "KwWindows.h"
