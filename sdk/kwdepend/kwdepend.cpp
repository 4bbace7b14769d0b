// kwdepend: writes make rules listing the headers that source files include.
//
//   kwdepend [options] pattern...  > depend.mak
//
// The command line goes to TMakeDepend::Start as it is; the rules go to
// standard output, messages to standard error. Exit code 0 when the rules
// were written, 1 otherwise.

#include "TMakeDepend.h"

#include <cstdio>

#if defined(_WIN32)
// Patterns reach the generator as they were typed: the MinGW start-up code
// must not expand them into file names first.
extern "C" int _dowildcard;
int _dowildcard = 0;
#endif

namespace {

void Help()
{
    std::fputs("usage: kwdepend [options] pattern...\n"
               "Writes one make rule per source file that a pattern matches:\n"
               "  object : source headers...\n"
               "options:\n"
               "  -?, -h          this text\n"
               "  -D+, -D-        progress and warning messages on standard error on, off\n"
               "  -F<file>        an extra dependency of every rule\n"
               "  -I<directory>   an include directory (searched in the order given,\n"
               "                  before those of INCLUDE and INC)\n"
               "  -O<directory>   directory of the object files in the rules\n"
               "  -S              do not follow #include <...> (the default)\n"
               "  -W<directory>   directory of the source files\n"
#if defined(_WIN32)
               "Options may also begin with \"/\".\n"
#endif
               ,
               stdout);
}

class TKwDepend : public TMakeDepend {
public:
    TKwDepend() : TMakeDepend(Help) {}

protected:
    void NotifyDebugMessage(const char* pszMessage) override { std::fputs(pszMessage, stderr); }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        Help();
        return 1;
    }
    TKwDepend coDepend;
    return coDepend.Start(nullptr, argc, argv) ? 0 : 1;
}
