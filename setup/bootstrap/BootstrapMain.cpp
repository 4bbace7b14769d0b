#include "TBootstrap.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nShowCmd)
{
    TBootstrap coBootstrap;
    int nExitCode = coBootstrap.Run(hInstance, hPrevInstance, nShowCmd);
    // The worker may still wait on the archive's pipe; ExitProcess ends it
    // before anything of the bootstrap object is taken down.
    ExitProcess(static_cast<UINT>(nExitCode));
}
