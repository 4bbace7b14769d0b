#include "KwApp.h"
#include "KwDrawingResources.h"
#include "KwResHdl.h"
#include "KwSystem.h"

// The application's resources as the drawing objects take them: each call
// goes to the application the adapter runs, through its resource manager.

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

// Never destroyed: drawing objects that live as long as the process may
// release their shared bitmaps while it ends.
KwAppDrawingResources* const s_pcoResources = new KwAppDrawingResources;

KwDrawingResources* RunningApplication()
{
    return App() ? s_pcoResources : nullptr;
}

// Registered when the library is loaded, before any program code runs.
struct TRegistration {
    TRegistration() { KwDrawingResources::Register(&RunningApplication); }
} s_coRegistration;

} // namespace
