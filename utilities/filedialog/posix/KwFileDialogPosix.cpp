#include "KwFileDialog.h"

// Without a window system there is no dialog to show: the user chose
// nothing.
int KwFileDialog::RunSystemDialog(const std::vector<char>&)
{
    return 0;
}
