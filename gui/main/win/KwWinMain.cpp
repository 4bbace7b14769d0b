#include "KwWin32.h"

#include "KwApp.h"
#include "KwProgramDescription.h"

// The entry point of a framework program: its static application object
// exists already; the framework starts it, or, for kwtcheck, writes what
// the program binds (KwProgramDescription).
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR pszCommandLine, int nShow)
{
    int nExitCode = 0;
    if (KwDescribeProgramIfAsked(&nExitCode))
        return nExitCode;
    return KwRunApplication(reinterpret_cast<KwHandle>(hInstance), reinterpret_cast<KwHandle>(hPrevInstance),
                            pszCommandLine, nShow);
}
