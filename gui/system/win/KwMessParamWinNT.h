#pragma once

#include "KwMessParam.h"

// The Win32 adapter's name of a message's parameter block: the window
// procedure fills a KwMessage with its window, message number, WPARAM and
// LPARAM, and the handlers of Win32 programs may call it by this name
// (KwEventUser::GetWinNTParam answers it).
using KwMessParamWinNT = KwMessage;
