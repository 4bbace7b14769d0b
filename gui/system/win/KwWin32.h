#pragma once

// The one place where the GUI core includes <windows.h>. Only the Win32
// adapter (system/win) and the Win32 tests include this header.

#include "KwWindows.h"

// The framework has member functions of these names too; code here calls
// the ...A functions by their full names.
#undef CreateFont
#undef CreateDC
#undef CreateIC
#undef DispatchMessage
#undef GetMessage
#undef GetWindowText
#undef GetWindowTextLength
#undef SetWindowText
#undef TextOut
#undef LoadCursor
#undef RegisterClass
#undef CreateWindow
#undef GetClassLongPtr
#undef SetWindowLongPtr
#undef GetWindowLongPtr
#undef CallWindowProc
#undef DefWindowProc
#undef PeekMessage
#undef GetProp
#undef SetProp
#undef RemoveProp
#undef DrawTextEx
#undef GetTextExtentPoint32
#undef AdjustWindowRect
#undef GetProfileString
#undef WriteProfileString
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef InsertMenu
#undef ModifyMenu
#undef GetMenuString
