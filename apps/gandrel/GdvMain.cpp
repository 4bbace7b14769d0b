#include "GdvMain.h"

#include "GdvFrameIcon.h"
#include "KwApp.h"
#include "KwProgramDescription.h"
#include "KwSystem.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

KW_IMPLEMENT_DYNAMIC_CLASS(GdvMain, KwWFrame, "gdv")

const KwMemberLinkArray GdvMain::m_staLinks[] = {
    { "FW_MAIN", "GdvMain::LnkAboutOk", static_cast<TMvcHandler>(&GdvMain::LnkAboutOk) },
    { "FW_MAIN", "GdvMain::LnkCommandAbout", static_cast<TMvcHandler>(&GdvMain::LnkCommandAbout) },
    { nullptr, nullptr, nullptr },
};
// So that kwtcheck -m Gandrel.exe knows the table.
static KwLinkTableDeclaration s_coGdvLinks(GdvMain::m_staLinks);

namespace {

const char* const s_pszAboutId = "FW_ABOUT";

KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

// A programming error: the program cannot go on.
[[noreturn]] void GdvFail(const char* pszExpression)
{
    std::fprintf(stderr, "gandrel: assertion failed: %s\n", pszExpression);
    std::abort();
}

} // namespace

GdvMain::GdvMain(KwWnd* pcoParent)
{
    KwApp* pcoApp = App();
    if (!pcoApp)
        GdvFail("pcoApp != NULL");
    pcoApp->WaitCursor(1);
    const int bOk = pcoApp->GetResHdl().LoadCustomWindow("FW_MAIN", this, pcoParent, nullptr);
    pcoApp->WaitCursor(0);
    if (!bOk)
        GdvFail("bOk != FALSE");
}

int GdvMain::EvInit()
{
    const int nResult = KwWFrame::EvInit();
    GdvShowProgramIcon(*this);
    // The selectors are laid out before the frame shows.
    EvSize(0, GetClientSize());
    return nResult;
}

int GdvMain::EvSize(unsigned short unCode, const KwSize& coSize)
{
    const int nResult = KwWFrame::EvSize(unCode, coSize);
    const short nHalf = static_cast<short>(coSize.Width() / 2);
    const KwSize coHalf(nHalf, coSize.Height());
    if (KwWnd* pcoLeft = FindChildPtr("FS_1"))
        pcoLeft->SetPosAndSize(KwPoint(0, 0), coHalf, 0);
    if (KwWnd* pcoRight = FindChildPtr("FS_2"))
        pcoRight->SetPosAndSize(KwPoint(nHalf, 0), coHalf, 0);
    Invalidate(1);
    return nResult;
}

int GdvMain::LnkCommandAbout(TMvcParam&)
{
    KwApp* pcoApp = App();
    KwWnd* pcoLoaded = pcoApp ? pcoApp->GetResHdl().LoadWindow(s_pszAboutId, this, nullptr) : nullptr;
    auto* pcoAbout = dynamic_cast<KwWFrame*>(pcoLoaded);
    if (!pcoAbout) {
        if (pcoLoaded)
            pcoLoaded->Destroy();
        return 0;
    }
    // Deleted here after the run, however it ended (OK or the close box).
    pcoAbout->AutoDestroyOff();
    if (pcoAbout->GetHandle())
        pcoAbout->StartModal(ModeModalApp);
    if (pcoAbout->GetHandle())
        pcoAbout->Destroy();
    delete pcoAbout;
    return 0;
}

int GdvMain::LnkAboutOk(TMvcParam&)
{
    KwApp* pcoApp = App();
    if (!pcoApp)
        return 1;
    // Collected first: destroying a frame changes the application's list.
    std::vector<KwWFrame*> coAbout;
    for (short i = 0; i < pcoApp->CurrentAppFrameCount(); ++i) {
        KwWFrame* pcoFrame = pcoApp->GetAppFrame(i);
        if (pcoFrame && pcoFrame->GetResId().Stricmp(s_pszAboutId) == 0)
            coAbout.push_back(pcoFrame);
    }
    for (KwWFrame* pcoFrame : coAbout) {
        if (pcoApp->HasAppFrame(pcoFrame))
            pcoFrame->Destroy();
    }
    return 1;
}
