#pragma once

#include "Kw25Api.h"

class KwMenu;
class KwMenuItem;
class KwRes;
class KwWFrame;
class KwWnd;
class TResource;

// What menus ask of the families above them: of the frame whose menu bar
// they are, its window, its bar and its menu events (a menu passes an
// event on to its frame when its own links leave it unanswered); of the
// application, the items of its own classes. Frames and the application
// lie above the menus; the application family, which knows both,
// registers the one host at library load, so that menus need nothing
// above them. Without a host (Current() null) a menu keeps to itself: its
// events end with its own links, a menu read inside a frame does not
// become its bar, a popup cannot be tracked, and every item is of the
// framework's class.
class KW25_API KwMenuHost {
public:
    using TSourceFn = KwMenuHost* (*)();

    virtual ~KwMenuHost() = default;

    // Windows: their handles (0 without a window), the frame of a window
    // (null for none), a resource as a frame (null when it is none).
    virtual KwHandle WindowHandle(const KwWnd& coWnd) const = 0;
    virtual KwHandle FrameHandle(const KwWFrame& coFrame) const = 0;
    virtual KwWFrame* FrameOfWindow(KwHandle hWnd) const = 0;
    virtual KwWFrame* AsFrame(TResource& coResource) const = 0;

    // The frame's menu bar.
    virtual KwMenu* MenuBar(const KwWFrame& coFrame) const = 0;
    virtual void SetMenuBar(KwWFrame& coFrame, KwMenu* pcoMenu) = 0;
    virtual void DrawMenuBar(KwWFrame& coFrame) = 0;

    // The frame's menu events: a menu bar (nIndex -1) or a popup opens,
    // an item is selected, clicked or changes its check mark.
    virtual int MenuInit(KwWFrame& coFrame, KwMenu& coMenu, short nIndex) = 0;
    virtual int MenuSelect(KwWFrame& coFrame, KwMenuItem& coItem, int nSystem) = 0;
    virtual int MenuClicked(KwWFrame& coFrame, KwMenuItem& coItem) = 0;
    virtual int MenuCheckChanged(KwWFrame& coFrame, KwMenuItem& coItem, int nChecked) = 0;

    // An object of the running application's own class of that name, null
    // when it has none (or no application runs).
    virtual KwRes* MakeObject(const char* pszClass) = 0;

    static KwMenuHost* Current();
    // Answers the source registered before (tests put it back).
    static TSourceFn Register(TSourceFn pfnSource);

private:
    static TSourceFn s_pfnSource;
};
