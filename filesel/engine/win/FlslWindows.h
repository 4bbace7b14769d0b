#pragma once

// The one place where the file selector's library includes <windows.h>.
// Only its platform files (win/...WinNT.cpp) include this header.

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <psapi.h>
#include <winioctl.h>

// The library has member functions of these names; code here calls the
// ...W functions by their full names.
#undef CreateDirectory
#undef DeleteFile
#undef GetFileSecurity
#undef SetFileSecurity
#undef LookupPrivilegeValue
