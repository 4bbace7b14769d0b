#pragma once

#include "KwFakeSystem.h"

#include <map>
#include <string>
#include <vector>

// The fake window system with menus in memory, as Win32 keeps them:
// entries addressed by position or by command id (searched through the
// popups too), check and enable states, popups destroyed with the menu
// that holds them and a frame's menu destroyed with its window. Posted
// messages are kept, drawing lines are logged ("Line 0,4 20,4").
class KwFakeMenuSystem : public KwFakeSystem {
public:
    struct TEntry {
        unsigned unFlags { 0 };          // type and state, without the addressing bit
        std::uintptr_t uId { 0 };        // command id (a popup entry: the popup)
        std::string strText;
        KwHandle hChecked { 0 };
        KwHandle hUnchecked { 0 };
    };
    struct TPosted {
        KwHandle hWnd;
        unsigned unMsg;
        std::uintptr_t wParam;
    };

    std::map<KwHandle, std::vector<TEntry>> coMenus;
    std::map<KwHandle, KwHandle> coWindowMenus;    // a window's menu bar
    std::vector<TPosted> coPosted;
    std::function<void(KwHandle)> fnInTrack;        // what the user does while a popup is tracked

    // The entries' texts joined by '|', a separator entry as "-" and a
    // popup as its text followed by its own entries in brackets.
    std::string Layout(KwHandle hMenu) const;
    // Live bitmaps loaded as predefined ones.
    int SystemBitmapCount() const;

    KwHandle GetMenu(KwHandle hWnd) const override;
    int SetMenu(KwHandle hWnd, KwHandle hMenu) override;
    int DrawMenuBar(KwHandle hWnd) override;
    int DestroyWindow(KwHandle hWnd) override;
    int PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam) override;
    KwHandle CreateMenu(int nPopup) override;
    int DestroyMenu(KwHandle hMenu) override;
    int InsertMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) override;
    int ModifyMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem) override;
    int RemoveMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long CheckMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long EnableMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags) override;
    long GetMenuState(KwHandle hMenu, unsigned unItem, unsigned unFlags) const override;
    int GetMenuItemCount(KwHandle hMenu) const override;
    unsigned GetMenuItemID(KwHandle hMenu, int nPos) const override;
    KwHandle GetSubMenu(KwHandle hMenu, int nPos) const override;
    int GetMenuString(KwHandle hMenu, unsigned unItem, char* pszText, int nSize, unsigned unFlags) const override;
    int SetMenuItemBitmaps(KwHandle hMenu, unsigned unItem, unsigned unFlags, KwHandle hUnchecked, KwHandle hChecked) override;
    KwHandle LoadSystemBitmap(unsigned short unId) override;
    int TrackPopupMenu(KwHandle hMenu, unsigned unFlags, const KwPoint& coScreen, KwHandle hWnd) override;
    int MoveTo(KwHandle hDC, const KwPoint& coPoint) override;
    int LineTo(KwHandle hDC, const KwPoint& coPoint) override;

private:
    TEntry* Find(KwHandle hMenu, unsigned unItem, unsigned unFlags);
    const TEntry* Find(KwHandle hMenu, unsigned unItem, unsigned unFlags) const;

    KwHandle m_hNextMenu { 0x7000 };
    KwPoint m_coPen;
};
