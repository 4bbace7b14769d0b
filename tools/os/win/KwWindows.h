#pragma once

// The one place where the tool library includes <windows.h>. Only the
// platform files (...WinNT.cpp) and tests include this header.

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

// The framework has member functions of these names; the Win32 macros that
// map them to their ...A or ...W functions would rename the members. Code
// here calls the ...A functions by their full names.
#undef CopyFile
#undef CreateDirectory
#undef CreateWindowEx
#undef DeleteFile
#undef DrawText
#undef FindFirstFile
#undef FindNextFile
#undef GetClassName
#undef GetCommandLine
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetModuleHandle
#undef GetObject
#undef GetProfileString
#undef GetSystemDirectory
#undef GetTextFace
#undef GetTextMetrics
#undef GetWindowsDirectory
#undef InsertMenu
#undef LoadBitmap
#undef LoadLibrary
#undef ModifyMenu
#undef PostMessage
#undef RemoveDirectory
#undef SendMessage
#undef SetCurrentDirectory
#undef StartService
#undef WriteProfileString
#undef MessageBox
#undef GetFileAttributes
#undef GetVolumeInformation
#undef GetDiskFreeSpace
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable
#undef GetTempPath
#undef GetUserName
#undef GetComputerName
#undef FindResource
#undef CreateFile
#undef MoveFile
#undef GetFullPathName
#undef Yield
