// Uses a class of the tool library and one of the GUI core through the
// installed headers and DLLs.
#include "KwRect.h"
#include "TString.h"

#include <cstdio>

int main()
{
    TString coText("Kwillet");
    coText += " consumer";
    const KwRect coRect(10, 20, 110, 70);
    std::printf("%s %d x %d\n", static_cast<const char*>(coText), coRect.Width(), coRect.Height());
    return 0;
}
