#pragma once

#include "FlslApi.h"

// The colours of the file selector and the progress window follow the
// system's: entries 17 to 26 of the application's colour table are set
// from the system colours before each paint, and 21/22 become the
// application's highlight.
class FLSL_API KwFileSelColors {
public:
    enum : short { First = 17, Count = 10 };
    // The entries, by what the windows paint with them.
    enum : short {
        ColWindow = 17,
        ColText = 18,
        ColLight = 19,
        ColDark = 20,
        ColSelBack = 21,
        ColSelText = 22,
        ColFace = 23,
        ColButtonText = 24,
    };
    // Copies the system colours into the active colour table.
    static void Refresh();
    // The system colour of entry First + i as 0x00BBGGRR.
    static unsigned long SystemColor(short nEntry);
};

// A window of the library that cannot be built is a fault of the program:
// it is reported and the process ends.
[[noreturn]] void KwFileSelFail(const char* pszExpression);
