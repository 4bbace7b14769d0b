#include "KwWin32.h"

#include "KwApp.h"

// The entry point of a framework program: its static application object
// exists already; the framework starts it.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR pszCommandLine, int nShow)
{
    return KwRunApplication(reinterpret_cast<KwHandle>(hInstance), reinterpret_cast<KwHandle>(hPrevInstance),
                            pszCommandLine, nShow);
}
