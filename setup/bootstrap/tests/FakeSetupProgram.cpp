// Stands in for the setup program "plvsetup.exe" in the end-to-end tests.
// It records its command line and working directory, copies the working
// directory (the bootstrap's temporary directory) into a snapshot, waits
// for the bootstrap window to be hidden and then closes it, as a real setup
// program does when it is done. Environment:
//   FAKE_SETUP_LOG       record file (key=value lines)
//   FAKE_SETUP_SNAPSHOT  directory to copy the working directory into
#include "FakeCommon.h"

namespace {

const char s_szLog[] = "FAKE_SETUP_LOG";

const char* WaitUntilHidden(HWND hWnd)
{
    if (!hWnd)
        return "missing";
    for (int nTry = 0; nTry < 200 && IsWindowVisible(hWnd); ++nTry)
        Sleep(50);
    return IsWindowVisible(hWnd) ? "visible" : "hidden";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szValue[MAX_PATH];
    FakeRecordNumber(s_szLog, "start", GetTickCount64());
    FakeRecord(s_szLog, "cmdline", GetCommandLineA());
    GetCurrentDirectoryA(sizeof(szValue), szValue);
    FakeRecord(s_szLog, "cwd", szValue);

    char szSnapshot[MAX_PATH];
    FakeGetEnv("FAKE_SETUP_SNAPSHOT", szSnapshot, sizeof(szSnapshot));
    if (szSnapshot[0]) {
        CreateDirectoryA(szSnapshot, nullptr);
        FakeRecord(s_szLog, "snapshot", FakeCopyTree(szValue, szSnapshot) ? "done" : "failed");
    }

    HWND hWnd = FakeFindParentWindow();
    FakeRecord(s_szLog, "window", WaitUntilHidden(hWnd));
    if (hWnd) {
        FakeRecordNumber(s_szLog, "close", GetTickCount64());
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
    }
    return 0;
}
