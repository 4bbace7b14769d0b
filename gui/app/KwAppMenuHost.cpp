#include "KwApp.h"
#include "KwMenu.h"
#include "KwMenuHost.h"
#include "KwMenuItem.h"
#include "KwSystem.h"
#include "KwWFrame.h"

// The frames and the application as menus see them.

namespace {

class KwAppMenuHost final : public KwMenuHost {
public:
    KwHandle WindowHandle(const KwWnd& coWnd) const override { return coWnd.GetHandle(); }
    KwHandle FrameHandle(const KwWFrame& coFrame) const override { return coFrame.GetHandle(); }
    KwWFrame* FrameOfWindow(KwHandle hWnd) const override
    {
        KwWnd* pcoWnd = hWnd ? KwWnd::SearchWindow(hWnd) : nullptr;
        return pcoWnd ? pcoWnd->GetParentFrame() : nullptr;
    }
    KwWFrame* AsFrame(TResource& coResource) const override
    {
        return coResource.IsClassFamily("KwWFrame") ? static_cast<KwWFrame*>(&coResource) : nullptr;
    }

    KwMenu* MenuBar(const KwWFrame& coFrame) const override { return coFrame.GetMenu(); }
    void SetMenuBar(KwWFrame& coFrame, KwMenu* pcoMenu) override { coFrame.SetMenu(pcoMenu); }
    void DrawMenuBar(KwWFrame& coFrame) override { coFrame.DrawMenuBar(); }

    int MenuInit(KwWFrame& coFrame, KwMenu& coMenu, short nIndex) override
    {
        if (coMenu.IsPopupMenu())
            return coFrame.EvPopupMenuInit(static_cast<KwPopupMenu*>(&coMenu), nIndex);
        return coFrame.EvMenuInit(&coMenu);
    }
    int MenuSelect(KwWFrame& coFrame, KwMenuItem& coItem, int nSystem) override { return coFrame.EvMenuSelect(&coItem, nSystem); }
    int MenuClicked(KwWFrame& coFrame, KwMenuItem& coItem) override { return coFrame.EvMenuClicked(&coItem); }
    int MenuCheckChanged(KwWFrame& coFrame, KwMenuItem& coItem, int nChecked) override
    {
        return coFrame.EvMenuCheckChanged(&coItem, nChecked);
    }

    KwRes* MakeObject(const char* pszClass) override
    {
        const KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
        return pcoApp ? pcoApp->UCC_KwRes(pszClass) : nullptr;
    }
};

// Never destroyed: menus that live as long as the process may still ask
// while it ends.
KwAppMenuHost* const s_pcoHost = new KwAppMenuHost;

KwMenuHost* Host()
{
    return s_pcoHost;
}

// Registered when the library is loaded, before any program code runs.
struct TRegistration {
    TRegistration() { KwMenuHost::Register(&Host); }
} s_coRegistration;

} // namespace
