#include "GdvStartUp.h"

#include "GdvDriveErrors.h"
#include "GdvMain.h"
#include "KwApp.h"
#include "TFileHdl.h"

const char* const GdvResourceFile = "gandrel.kwt";

namespace {

const char* const s_pszMainId = "FW_MAIN";
const char* const s_pszMessageTitle = "ZORVIK Message";
// The application's message box: OK and the stop symbol, for the failure
// that ends the program.
const unsigned short MessageStop = 0x10;

// The main frame started: 1; otherwise the reason goes to coError.
int LoadAndStartMain(KwApp& coApp, TString& coError)
{
    coApp.WaitCursor(1);
    KwWnd* pcoLoaded = coApp.GetResHdl().LoadWindow(s_pszMainId, nullptr, nullptr);
    coApp.WaitCursor(0);
    auto* pcoMain = dynamic_cast<KwWFrame*>(pcoLoaded);
    if (pcoMain && pcoMain->GetHandle()) {
        pcoMain->Start();
        return 1;
    }
    // A record of another family, or one without its system window.
    if (pcoLoaded)
        pcoLoaded->Destroy();
    coError.SetText("Load of main window <%s> failed!", s_pszMainId);
    return 0;
}

} // namespace

int GdvStartUp(KwApp& coApp)
{
    GdvQuietDriveErrors();
    TString coError;
    const TString coPath = coApp.GetConfig().FindFile(GdvResourceFile, KwConfig::PathSystem, 1);
    if (coPath.IsEmpty()) {
        coError.SetText("Resource file <%s> not found!", GdvResourceFile);
    } else {
        const unsigned short unResult = coApp.GetResHdl().InstallResourceFile(coPath, GdvMain::m_staLinks, 1, nullptr);
        if (unResult != TFileHdl::Success)
            coError = TFileHdl::GetError(unResult, coPath);
        else if (LoadAndStartMain(coApp, coError))
            return 1;
    }
    coApp.Message(coError, s_pszMessageTitle, nullptr, MessageStop);
    return 0;
}
