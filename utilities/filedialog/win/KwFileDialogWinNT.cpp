#include "KwFileDialog.h"

#include "KutiWin32.h"
#include "KwWnd.h"
#include "TWideText.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Room for any path the dialog may give (the system's longest).
constexpr size_t s_nWideRoom = 32768;

} // namespace

int KwFileDialog::RunSystemDialog(const std::vector<char>& coFilter)
{
    // The filter's texts are separated by zeros: converted as one block.
    const std::wstring wstrFilter = TWideText::Wide(coFilter.data(), static_cast<int>(coFilter.size()));
    std::vector<wchar_t> vecPath(s_nWideRoom, L'\0');
    std::vector<wchar_t> vecFile(s_nWideRoom, L'\0');
    const std::wstring wstrInitial = TWideText::Wide(PathBuffer());
    wstrInitial.copy(vecPath.data(), vecPath.size() - 1);
    // The size of this platform's structure: a fixed 32-bit size is wrong
    // for 64-bit programs.
    OPENFILENAMEW coDialog {};
    coDialog.lStructSize = sizeof coDialog;
    const KwWnd* pcoOwner = GetOwner();
    coDialog.hwndOwner = pcoOwner ? reinterpret_cast<HWND>(pcoOwner->GetHandle()) : nullptr;
    coDialog.lpstrFilter = coFilter.empty() ? nullptr : wstrFilter.c_str();
    coDialog.nFilterIndex = coFilter.empty() ? 0 : 1;
    coDialog.lpstrFile = vecPath.data();
    coDialog.nMaxFile = static_cast<DWORD>(vecPath.size());
    coDialog.lpstrFileTitle = vecFile.data();
    coDialog.nMaxFileTitle = static_cast<DWORD>(vecFile.size());
    const TWideArg coInitialDir(GetInitialDirectory());
    const TWideArg coTitle(GetTitle());
    const TWideArg coDefExt(GetDefaultExtension());
    coDialog.lpstrInitialDir = coInitialDir;
    coDialog.lpstrTitle = coTitle;
    coDialog.lpstrDefExt = coDefExt;
    coDialog.Flags = IsOpenDialog() ? FlagsOpen : FlagsSave;
    if (!(IsOpenDialog() ? GetOpenFileNameW(&coDialog) : GetSaveFileNameW(&coDialog)))
        return 0;
    // A chosen path that the framework's room cannot hold whole is no
    // choice: cut, it would name another file.
    const TString coPath = TWideText::Narrow(vecPath.data());
    const TString coFile = TWideText::Narrow(vecFile.data());
    if (coPath.Strlen() >= static_cast<int>(NameSize) || coFile.Strlen() >= static_cast<int>(NameSize))
        return 0;
    std::memcpy(PathBuffer(), static_cast<const char*>(coPath), static_cast<size_t>(coPath.Strlen()) + 1);
    std::memcpy(FileBuffer(), static_cast<const char*>(coFile), static_cast<size_t>(coFile.Strlen()) + 1);
    return 1;
}
