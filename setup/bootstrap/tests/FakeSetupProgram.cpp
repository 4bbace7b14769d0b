// Stands in for the setup program "plvsetup.exe" in the end-to-end tests.
// It records its command line and working directory, copies the working
// directory (the bootstrap's temporary directory) into a snapshot, waits
// for the bootstrap window to be hidden and then closes it, as a real setup
// program does when it is done. Environment:
//   FAKE_SETUP_LOG       record file (key=value lines)
//   FAKE_SETUP_SNAPSHOT  directory to copy the working directory into
#include "FakeCommon.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char szLog[] = "FAKE_SETUP_LOG";
    char szCwd[MAX_PATH], szSnapshot[MAX_PATH];
    FakeRecord(szLog, "start", std::to_string(GetTickCount64()));
    FakeRecord(szLog, "cmdline", GetCommandLineA());
    GetCurrentDirectoryA(sizeof(szCwd), szCwd);
    FakeRecord(szLog, "cwd", szCwd);
    FakeGetEnv("FAKE_SETUP_SNAPSHOT", szSnapshot, sizeof(szSnapshot));
    if (szSnapshot[0]) {
        CreateDirectoryA(szSnapshot, nullptr);
        FakeRecord(szLog, "snapshot", FakeCopyTree(szCwd, szSnapshot) ? "done" : "failed");
    }
    HWND hWnd = FakeFindBootstrapWindow();
    for (int nTry = 0; hWnd && nTry < 200 && IsWindowVisible(hWnd); ++nTry)
        Sleep(50);
    FakeRecord(szLog, "window", !hWnd ? "missing" : IsWindowVisible(hWnd) ? "visible" : "hidden");
    if (hWnd) {
        FakeRecord(szLog, "close", std::to_string(GetTickCount64()));
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
    }
    return 0;
}
