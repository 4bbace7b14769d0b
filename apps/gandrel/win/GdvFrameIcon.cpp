#include "GdvFrameIcon.h"

#include "KwWFrame.h"
#include "KwWindows.h"

namespace {

// Icons loaded once per process, shared by every frame (LR_SHARED: the
// system frees them with the module).
HICON ProgramIcon(int nSize)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), L"ICON_GANDREL", IMAGE_ICON, nSize, nSize, LR_SHARED));
}

} // namespace

void GdvShowProgramIcon(KwWFrame& coFrame)
{
    const HWND hFrame = reinterpret_cast<HWND>(coFrame.GetHandle());
    if (!hFrame)
        return;
    if (const HICON hBig = ProgramIcon(::GetSystemMetrics(SM_CXICON)))
        ::SendMessageW(hFrame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hBig));
    if (const HICON hSmall = ProgramIcon(::GetSystemMetrics(SM_CXSMICON)))
        ::SendMessageW(hFrame, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hSmall));
}
