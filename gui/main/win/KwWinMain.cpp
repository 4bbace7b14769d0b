#include "KwWin32.h"

#include "KwApp.h"
#include "KwProgramDescription.h"
#include "TWideText.h"

namespace {

// The arguments after the program's name, in the framework's text: the
// system's own command line is UTF-16 and holds every name exactly.
TString Arguments()
{
    const wchar_t* pwsz = ::GetCommandLineW();
    if (!pwsz)
        return TString();
    // The program's name ends at the closing quote, or at the first blank
    // when it is not quoted.
    if (*pwsz == L'"') {
        for (++pwsz; *pwsz && *pwsz != L'"'; ++pwsz) {
        }
        if (*pwsz)
            ++pwsz;
    } else {
        while (*pwsz && *pwsz != L' ' && *pwsz != L'\t')
            ++pwsz;
    }
    while (*pwsz == L' ' || *pwsz == L'\t')
        ++pwsz;
    return TWideText::Narrow(pwsz);
}

} // namespace

// The entry point of a framework program: its static application object
// exists already; the framework starts it, or, for kwtcheck, writes what
// the program binds (KwProgramDescription).
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nShow)
{
    int nExitCode = 0;
    if (KwDescribeProgramIfAsked(&nExitCode))
        return nExitCode;
    const TString coArguments = Arguments();
    return KwRunApplication(reinterpret_cast<KwHandle>(hInstance), reinterpret_cast<KwHandle>(hPrevInstance),
                            coArguments, nShow);
}
