// Uses a class of the tool library and one of the GUI core through the
// installed headers and DLLs, and tells the code page it runs with.
#include "KwRect.h"
#include "TString.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int main()
{
    TString coText("Kwillet");
    coText += " consumer";
    const KwRect coRect(10, 20, 110, 70);
    std::printf("%s %d x %d", static_cast<const char*>(coText), coRect.Width(), coRect.Height());
#ifdef _WIN32
    std::printf(", code page %u", GetACP());
#endif
    std::printf("\n");
    return 0;
}
