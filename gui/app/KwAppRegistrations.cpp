#include "KwAdapterClients.h"
#include "KwApp.h"
#include "KwDrawingResources.h"
#include "KwResApplication.h"
#include "KwResHdl.h"
#include "KwSystem.h"
#include "KwWnd.h"

// What the application family hands down to the families below it, which
// know it by name only: the instance the adapter registers its window class
// for, the link binding and fault messages of resource objects read from a
// file, and the colour table, default font and shared bitmaps of the
// drawing objects. Each call goes to the application the adapter runs.

namespace {

KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

class KwAppDrawingResources final : public KwDrawingResources {
public:
    const KwColorTable* ActColorTable() const override { return App()->GetResHdl().GetActColorTable(); }
    const KwFont& DefaultFont() const override { return App()->GetDefaultFont(); }
    KwSysBitmap* GetBitmap(const char* pszId, const char* pszFile) override { return App()->GetResHdl().GetBitmap(pszId, pszFile); }
    KwSysBitmap* GetBitmap(const char* pszId, KwFileHdl* pcoFileHdl) override { return App()->GetResHdl().GetBitmap(pszId, pcoFileHdl); }
    KwSysBitmap* MakeSysBitmap(const KwBitmap& coBitmap, TString& coId) override { return App()->GetResHdl().MakeSysBitmap(coBitmap, coId); }
    int ReleaseBitmap(const char* pszId) override { return App()->GetResHdl().ReleaseBitmap(pszId); }
};

class KwAppResApplication final : public KwResApplication {
public:
    int IsLoadForEdit() const override { return App()->IsLoadForEdit(); }
    TMvcHandler FindLinkPtr(const char* pszViewId, const char* pszHandler) const override { return App()->FindLinkPtr(pszViewId, pszHandler); }
    TDynBase* FindViewWindow(TResource& coParent, const char* pszViewId) const override;
    void Message(const char* pszText, const char* pszTitle) const override { App()->Message(pszText, pszTitle, nullptr, 0); }
};

TDynBase* KwAppResApplication::FindViewWindow(TResource& coParent, const char* pszViewId) const
{
    if (!coParent.IsClassFamily("KwWnd") || !static_cast<KwWnd&>(coParent).IsValid())
        return nullptr;
    KwWnd* pcoTop = &static_cast<KwWnd&>(coParent);
    for (KwWnd* pcoWnd = pcoTop; pcoWnd; pcoWnd = pcoWnd->GetParent()) {
        if (pcoWnd->HasResId(pszViewId))
            return pcoWnd;
        pcoTop = pcoWnd;
    }
    return pcoTop->FindChildPtr(pszViewId);
}

class KwAppAdapter final : public KwAdapterApp {
public:
    KwHandle Instance(const KwApp& coApp) const override { return coApp.GetHandle(); }
};

// Never destroyed: drawing objects that live as long as the process may
// release their shared bitmaps while it ends.
KwAppDrawingResources* const s_pcoDrawing = new KwAppDrawingResources;
KwAppResApplication* const s_pcoResources = new KwAppResApplication;

KwDrawingResources* DrawingOfRunningApplication()
{
    return App() ? s_pcoDrawing : nullptr;
}

KwResApplication* ResourcesOfRunningApplication()
{
    return App() ? s_pcoResources : nullptr;
}

// Registered when the library is loaded, before any program code runs.
struct TRegistration {
    TRegistration()
    {
        KwDrawingResources::Register(&DrawingOfRunningApplication);
        KwResApplication::Register(&ResourcesOfRunningApplication);
    }
} s_coRegistration;
KwAdapterRegistration<KwAdapterApp, KwAppAdapter> s_coAdapterRegistration;

} // namespace
