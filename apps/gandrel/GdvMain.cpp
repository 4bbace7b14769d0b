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
    { "FW_MAIN", "GdvMain::LnkCommandKeys", static_cast<TMvcHandler>(&GdvMain::LnkCommandKeys) },
    { "FW_MAIN", "GdvMain::LnkCloseBox", static_cast<TMvcHandler>(&GdvMain::LnkCloseBox) },
    { "FW_MAIN", "GdvMain::LnkCommandOptions", static_cast<TMvcHandler>(&GdvMain::LnkCommandOptions) },
    { "FW_MAIN", "GdvMain::LnkCommandCopy", static_cast<TMvcHandler>(&GdvMain::LnkCommandCopy) },
    { "FW_MAIN", "GdvMain::LnkCommandRefresh", static_cast<TMvcHandler>(&GdvMain::LnkCommandRefresh) },
    { "FW_MAIN", "GdvMain::LnkCommandExit", static_cast<TMvcHandler>(&GdvMain::LnkCommandExit) },
    { nullptr, nullptr, nullptr },
};
// So that kwtcheck -m Gandrel.exe knows the table.
static KwLinkTableDeclaration s_coGdvLinks(GdvMain::m_staLinks);

namespace {

const char* const s_pszAboutId = "FW_ABOUT";
const char* const s_pszSelectorClass = "KwFileSelector";

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

// Loads the frame of the id with the main window as parent and runs it
// modally over every other frame; deleted afterwards, however it ended.
void GdvMain::RunBox(const char* pszId)
{
    KwApp* pcoApp = App();
    KwWnd* pcoLoaded = pcoApp ? pcoApp->GetResHdl().LoadWindow(pszId, this, nullptr) : nullptr;
    auto* pcoBox = dynamic_cast<KwWFrame*>(pcoLoaded);
    if (!pcoBox) {
        if (pcoLoaded)
            pcoLoaded->Destroy();
        return;
    }
    pcoBox->AutoDestroyOff();
    if (pcoBox->GetHandle())
        pcoBox->StartModal(ModeModalApp);
    if (pcoBox->GetHandle())
        pcoBox->Destroy();
    delete pcoBox;
}

int GdvMain::LnkCommandAbout(TMvcParam&)
{
    RunBox(s_pszAboutId);
    return 0;
}

int GdvMain::LnkCommandKeys(TMvcParam&)
{
    RunBox("FW_KEYS");
    return 0;
}

int GdvMain::LnkCloseBox(TMvcParam& coParam)
{
    const KwWnd* pcoButton = dynamic_cast<const KwWnd*>(static_cast<KwEvent&>(coParam).GetBaseObject());
    KwWFrame* pcoBox = pcoButton ? pcoButton->GetParentFrame() : nullptr;
    if (pcoBox && pcoBox != this)
        pcoBox->Close(0);
    return 1;
}

int GdvMain::LnkCommandOptions(TMvcParam&)
{
    RunBox("FW_OPTIONS");
    return 0;
}

// The selector around the window that has the focus, else the left one.
KwWnd* GdvMain::FocusSelector() const
{
    for (KwWnd* pcoWnd = KwWnd::GetFocus(); pcoWnd && pcoWnd != this; pcoWnd = pcoWnd->GetParent())
        if (pcoWnd->IsClassFamily(s_pszSelectorClass))
            return pcoWnd;
    return FindChildPtr("FS_1");
}

int GdvMain::LnkCommandCopy(TMvcParam&)
{
    if (KwWnd* pcoSelector = FocusSelector())
        pcoSelector->Call("CopyToOther");
    return 0;
}

int GdvMain::LnkCommandRefresh(TMvcParam&)
{
    for (const char* pszId : { "FS_1", "FS_2" })
        if (KwWnd* pcoSelector = FindChildPtr(pszId); pcoSelector && pcoSelector->IsClassFamily(s_pszSelectorClass))
            pcoSelector->Call("Refresh");
    return 0;
}

int GdvMain::LnkCommandExit(TMvcParam&)
{
    Close(0);
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
