#pragma once

// The one place where the interaction utilities include <windows.h> (with
// the common dialogs). Only the Win32 sources (win/) and the Win32 tests
// include this header.

#include "KwWindows.h"

#include <commdlg.h>
