#pragma once

#include "Kw25Api.h"
#include "KwRect.h"

class KwDC;
class KwRes;
class KwWnd;

// How the menu messages of a window reach the menu objects. The windows
// find the objects in the adapter's "MENU" and "MENUITEM" tables; what the
// objects then do is the menu classes' business, which install their
// dispatch with KwSystem::SetMenuDispatch. Without one, menu messages get
// the system's default processing.
class KW25_API KwMenuDispatch {
public:
    virtual ~KwMenuDispatch() = default;
    // A menu command: the item registered under the command id.
    virtual int Command(KwWnd& coWnd, KwRes& coItem) = 0;
    // A menu bar (nIndex -1) or a popup (its index) is about to open.
    virtual int Init(KwWnd& coWnd, KwRes& coMenu, short nIndex) = 0;
    // An entry is highlighted: its command id or, for a popup owner, its
    // position (unFlags are the system's menu flags; 0x8000 system menu).
    virtual int Select(KwWnd& coWnd, unsigned short unItem, unsigned short unFlags, KwHandle hMenu) = 0;
    virtual int MenuChar(KwWnd& coWnd, KwRes& coMenu, char chKey) = 0;
    // Owner-drawn items: 1 when the item (or the window's Ev handler) did it.
    virtual int MeasureItem(KwWnd& coWnd, KwRes& coItem, KwSize& coSize) = 0;
    // nAction: 1 draw entirely, 2 selection changed, 4 focus changed;
    // unState: 0x1 checked, 0x2 selected, 0x4 disabled, 0x8 grayed, 0x10 focus.
    virtual int DrawItem(KwWnd& coWnd, KwRes& coItem, KwDC& coDC, const KwRect& coRect, unsigned short unState, int nAction) = 0;
};
