#include "KwFileDialog.h"

#include "KutiWin32.h"
#include "KwWnd.h"

int KwFileDialog::RunSystemDialog(const std::vector<char>& coFilter)
{
    // The size of this platform's structure: a fixed 32-bit size is wrong
    // for 64-bit programs.
    OPENFILENAMEA coDialog {};
    coDialog.lStructSize = sizeof coDialog;
    const KwWnd* pcoOwner = GetOwner();
    coDialog.hwndOwner = pcoOwner ? reinterpret_cast<HWND>(pcoOwner->GetHandle()) : nullptr;
    coDialog.lpstrFilter = coFilter.empty() ? nullptr : coFilter.data();
    coDialog.nFilterIndex = coFilter.empty() ? 0 : 1;
    coDialog.lpstrFile = PathBuffer();
    coDialog.nMaxFile = NameSize;
    coDialog.lpstrFileTitle = FileBuffer();
    coDialog.nMaxFileTitle = NameSize;
    coDialog.lpstrInitialDir = GetInitialDirectory();
    coDialog.lpstrTitle = GetTitle();
    coDialog.lpstrDefExt = GetDefaultExtension();
    coDialog.Flags = IsOpenDialog() ? FlagsOpen : FlagsSave;
    const BOOL bChosen = IsOpenDialog() ? GetOpenFileNameA(&coDialog) : GetSaveFileNameA(&coDialog);
    return bChosen ? 1 : 0;
}
