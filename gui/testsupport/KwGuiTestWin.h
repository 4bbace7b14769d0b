#pragma once

// The support library of the GUI tests reaches Win32 directly, not through
// the framework, so that it serves before the framework's windows exist.
// <windows.h> comes through the tool library's one header for it, with the
// same version macros and the same undefined ...A/...W names.

#include "KwWindows.h"
