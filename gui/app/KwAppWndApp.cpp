#include "KwApp.h"
#include "KwResHdl.h"
#include "KwSystem.h"
#include "KwWndApp.h"

// The application as windows see it: each call goes to the application
// the adapter runs.

namespace {

KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

} // namespace

// A friend of KwApp: frames join its list and start as its main window.
class KwAppWndApp final : public KwWndApp {
public:
    void AddFrame(KwWFrame& coFrame) override { App()->AddAppFrame(&coFrame); }
    void RemoveFrame(KwWFrame& coFrame) override { App()->RemoveAppFrame(&coFrame); }
    short FrameCount() const override { return App()->CurrentAppFrameCount(); }
    KwWFrame* Frame(short nIndex) const override { return App()->GetAppFrame(nIndex); }
    KwWFrame* MainWindow() const override { return App()->GetMainWindow(); }
    int StartMainWindow(KwWFrame& coFrame) override { return App()->StartMainWindow(&coFrame); }
    void Exit(short nCode) override { App()->Exit(nCode); }

    int LoadPicture(const char* pszId, KwDib& coDib) override { return App()->GetResHdl().LoadCustomDib(pszId, &coDib, nullptr); }
    const KwFont& Font(short nIndex) const override { return App()->GetResHdl().GetFont(nIndex); }
    const KwKeyTable& KeyTable() const override { return App()->GetKeyTable(); }
    const TString& DefaultIconId() const override { return App()->GetDefaultAppIconId(); }
    void WaitCursor(int nOn) override { App()->WaitCursor(nOn); }

    void NotifyWindowPreCreate(KwWnd& coWnd, KwWnd* pcoParent, const char* pszClass) override
    {
        App()->NotifyWindowPreCreate(&coWnd, pcoParent, pszClass);
    }
    int EvActivateApp(int nActive) override { return App()->EvActivateApp(nActive); }
    int EvQueryEndSession() override { return App()->EvQueryEndSession(); }
    void NotifyEndSession() override { App()->NotifyEndSession(); }
};

namespace {

// Never destroyed: frames that live as long as the process leave the list
// while it ends.
KwAppWndApp* const s_pcoWndApp = new KwAppWndApp;

KwWndApp* RunningApplication()
{
    return App() ? s_pcoWndApp : nullptr;
}

// Registered when the library is loaded, before any program code runs.
struct TRegistration {
    TRegistration() { KwWndApp::Register(&RunningApplication); }
} s_coRegistration;

} // namespace
