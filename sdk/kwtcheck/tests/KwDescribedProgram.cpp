// A framework program of the kwtcheck tests, as an application is made: a
// static application object, a frame class of its own and a declared member
// link table. The tests only start it to describe itself.

#include "KwApp.h"
#include "KwProgramDescription.h"
#include "KwWFrame.h"

class TDescribedFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TDescribedFrame, KwWFrame)
public:
    TDescribedFrame() = default;
    int LnkOk(TMvcParam&) { return 1; }
};
KW_IMPLEMENT_DYNAMIC_CLASS(TDescribedFrame, KwWFrame, "test")

namespace {

const KwMemberLinkArray s_aLinks[] = {
    { "FW_MAIN", "TDescribedFrame::LnkOk", static_cast<TMvcHandler>(&TDescribedFrame::LnkOk) },
    { nullptr, nullptr, nullptr },
};
KwLinkTableDeclaration s_coLinks(s_aLinks);

class TDescribedApp : public KwApp {
public:
    TDescribedApp() : KwApp("KwDescribedProgram", nullptr, 0) {}
};
TDescribedApp s_coApp;

} // namespace

#if !defined(_WIN32)
// Windows programs start in the framework's WinMain (qa32kw25main), which
// describes the program when asked; elsewhere the program asks itself.
int main()
{
    int nExitCode = 3;
    KwDescribeProgramIfAsked(&nExitCode);
    return nExitCode;
}
#endif
