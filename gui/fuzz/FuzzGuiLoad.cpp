// The input is a whole resource file. Every entry is loaded through the
// GUI core's handler into the real classes of the framework's libraries
// (frames, children, controls, pictures and shared bitmaps, menus, combo
// boxes, text content, the file selector's windows) on the window system
// in memory, with the file as the resource manager's first file for the
// shared bitmaps. Each window is started when it is a frame, painted once
// with its children and destroyed; every other object is destroyed. What
// the reading leaves behind fails the run (a window, a frame object, a use
// of a shared bitmap), as do the sanitizers' findings.

#include "FuzzSupport.h"
#include "KwApp.h"
#include "KwFakeMenus.h"
#include "KwFileHdl.h"
#include "KwMessages.h"
#include "KwResHdl.h"
#include "KwWFrame.h"

#include <cstdint>
#include <string>
#include <vector>

using kwfuzz::Check;

namespace {

// The system windows and controls of every class are taken as they come.
class TLoadSystem : public KwFakeMenuSystem {
public:
    int SubclassControl(KwWnd&) override { return 1; }
};

// One window system and one application for the whole run; they are never
// destroyed (libFuzzer ends the process).
struct TWorld {
    TLoadSystem coSys;
    KwApp coApp { "FuzzGuiLoad", nullptr, 0 };
};

TWorld& World()
{
    static TWorld* s_pcoWorld = new TWorld;
    return *s_pcoWorld;
}

// The window and its descendants, painted once; the handles are taken first,
// for a paint may change the tree.
void PaintTree(TLoadSystem& coSys, KwHandle hWnd)
{
    std::vector<KwHandle> coHandles { hWnd };
    for (size_t i = 0; i < coHandles.size(); ++i) {
        auto it = coSys.coWindows.find(coHandles[i]);
        if (it != coSys.coWindows.end())
            coHandles.insert(coHandles.end(), it->second.coChildren.begin(), it->second.coChildren.end());
    }
    for (KwHandle h : coHandles)
        coSys.Send(h, KwMsg::Paint);
}

void Show(TLoadSystem& coSys, KwWnd* pcoWnd)
{
    const KwHandle hWnd = pcoWnd->GetHandle();
    if (hWnd && pcoWnd->IsFrameWindow())
        static_cast<KwWFrame*>(pcoWnd)->StartDirect(4);
    if (hWnd && coSys.IsWindow(hWnd))
        PaintTree(coSys, hWnd);
    coSys.DeliverPosted();
    // The start and the paint may have closed it (and deleted it with its
    // window); what is left goes now.
    KwWnd* pcoLeft = hWnd ? KwWnd::SearchWindow(hWnd) : pcoWnd;
    if (!pcoLeft)
        return;
    if (pcoLeft->IsAutoDestroy())
        pcoLeft->Destroy();
    else
        delete pcoLeft;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    TWorld& coWorld = World();
    const std::string coPath = kwfuzz::ScratchPath("load.kwt");
    Check(kwfuzz::WriteBytes(coPath, pbData, nSize), "cannot write the input file");
    {
        KwFileHdl coHdl;
        if (coHdl.OpenRead(coPath.c_str(), 0, kwfuzz::Password()) != TFileHdl::Success)
            return 0;
        KwResHdl& coResHdl = coWorld.coApp.GetResHdl();
        coResHdl.InstallPriorityFileHdl(&coHdl);
        for (short i = 0; i < static_cast<short>(coHdl.GetResCount()); ++i) {
            TResource* pcoLoaded = coHdl.LoadResource(i, nullptr, nullptr, 1);
            if (!pcoLoaded)
                continue;
            if (pcoLoaded->IsClassFamily("KwWnd"))
                Show(coWorld.coSys, static_cast<KwWnd*>(pcoLoaded));
            else
                pcoLoaded->Destroy();
        }
        coResHdl.UnInstallPriorityFileHdl();
        Check(coWorld.coSys.coWindows.empty(), "a window outlived its destruction");
        Check(coWorld.coApp.CurrentAppFrameCount() == 0, "a frame outlived its window");
        Check(coResHdl.GetBitmapCount() == 0, "a use of a shared bitmap was not released");
    }
    // What the window system in memory records would only grow.
    TLoadSystem& coSys = coWorld.coSys;
    coSys.coLog.clear();
    coSys.coDefaults.clear();
    coSys.coPosted.clear();
    coSys.KwFakeSystem::coPosted.clear();
    return 0;
}
