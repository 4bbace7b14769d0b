#pragma once

#include "Kw25Api.h"
#include "KwRect.h"
#include "KwRes.h"
#include "TMvc.h"
#include "TString.h"

class KwMenuItem;
class KwPopupMenu;
class KwWFrame;
class KwWnd;

// A menu bar: a framework object that owns a system menu and is registered
// in the adapter's "MENU" table under its handle while it has one. Its
// entries are KwMenuItem objects, and popups (KwPopupMenu) opened by some
// of them. A frame's menu bar belongs to the frame (KwWFrame::SetMenu):
// the frame deletes it when its window goes or when it is deleted itself.
//
// In resource files a menu is a record inside its frame's record, with its
// items and popups as child records in entry order; reading a menu inside
// a frame makes it that frame's menu bar.
//
// Deleting a menu deletes its popups first (each with its entries and the
// item that opened it), then the items that remain, then the system menu:
// no object outlives the system menu it belongs to.
class KW25_API KwMenu : public KwRes {
    KW_DYNAMIC_CLASS(KwMenu, KwRes)
    KW_MVC_CLASS(KwMenu, KwRes)
public:
    KwMenu();
    // With nCreate the system menu is made at once.
    KwMenu(const char* pszName, int nCreate);
    ~KwMenu() override;
    KwMenu(const KwMenu&) = delete;
    KwMenu& operator=(const KwMenu&) = delete;

    int IsPopupMenu() const { return m_nPopup; }
    int HasParentWindow() const { return GetParentWindow() != nullptr; }
    // The position of the entry highlighted last (0 when the menu opens).
    short GetLastHighlight() const { return m_nLastHighlight; }
    void SetLastHighlight(short nPosition) { m_nLastHighlight = nPosition; }

    // Inserting: each answers the new item (or popup), null on failure. An
    // item is made by KwMenuItem::UCC_KwMenuItem with the class name (null
    // for a plain item); when its entry cannot be made it is deleted.
    KwMenuItem* InsertItem(const char* pszName, const char* pszText, unsigned short unMask, short nPosition,
                           const char* pszClass = nullptr);
    KwMenuItem* InsertItem(const char* pszName, KwHandle hBitmap, unsigned short unMask, short nPosition,
                           const char* pszClass = nullptr);
    KwMenuItem* InsertSeparatorItem(short nPosition);
    KwMenuItem* InsertCustomItem(const char* pszName, void* pvData, unsigned short unMask, short nPosition,
                                 const char* pszClass = nullptr);
    // A new popup with its system menu, and the item that opens it.
    KwPopupMenu* InsertPopupItem(const char* pszName, const char* pszText, short nPosition);
    // The item that opens an existing popup (which has no parent item yet).
    KwMenuItem* InsertPopupItem(const char* pszText, KwPopupMenu* pcoPopup, short nPosition, const char* pszName);

    // Entries
    short GetItemCount() const;
    // The item at the position (for a popup entry the item that opens it).
    KwMenuItem* GetMenuItem(short nPosition) const;
    int IsSeparatorAt(short nPosition) const;
    // The first checked toggle item in position order, or null.
    KwMenuItem* GetCurrentToggle() const;
    short GetPosition(const char* pszName) const;
    KwMenuItem* Find(const char* pszName) const { return FindItem(pszName, this); }
    KwPopupMenu* FindPopItem(const char* pszName) const { return FindPopup(pszName, this); }
    // Takes the popup's entry out of this menu and deletes the popup with
    // its entries; 1 when there was one.
    int RemovePopItem(const char* pszName) { return RemovePopupItem(pszName, this); }
    // A change of the entries shows at once in a frame's menu bar.
    void RedrawBar() const;

    // Items of this menu and its popups, by name
    int IsToggleItem(const char* pszName) const { return CanToggle(pszName, this); }
    int IsSelectItem(const char* pszName) const { return CanSelect(pszName, this); }
    int IsPopupItem(const char* pszName) const { return IsPopup(pszName, this); }
    int IsSeparatorItem(const char* pszName) const { return IsSeparator(pszName, this); }
    int IsCustomDrawItem(const char* pszName) const { return IsCustomDraw(pszName, this); }
    int IsBitmapItem(const char* pszName) const { return IsBitmap(pszName, this); }
    int IsItemChecked(const char* pszName) const { return IsChecked(pszName, this); }
    int IsItemUnChecked(const char* pszName) const { return IsUnChecked(pszName, this); }
    int IsItemDisabled(const char* pszName) const { return IsDisabled(pszName, this); }
    int IsItemGrayed(const char* pszName) const { return IsGrayed(pszName, this); }
    int IsItemEnabled(const char* pszName) const { return IsEnabled(pszName, this); }
    unsigned GetItemState(const char* pszName) const { return GetState(pszName, this); }
    TString GetItemText(const char* pszName) const { return GetText(pszName, this); }
    unsigned short GetItemSystemId(const char* pszName) const { return GetSystemId(pszName, this); }
    int SetToggleItem(const char* pszName, int nOn) { return SetCanToggle(pszName, nOn, this); }
    int SetSelectItem(const char* pszName, int nOn) { return SetCanSelect(pszName, nOn, this); }
    TString SetItemText(const char* pszName, const char* pszText) { return SetText(pszName, pszText, this); }
    int ItemCheck(const char* pszName) { return Check(pszName, this); }
    int ItemUnCheck(const char* pszName) { return UnCheck(pszName, this); }
    int ItemEnable(const char* pszName) { return Enable(pszName, this); }
    int ItemDisable(const char* pszName) { return Disable(pszName, this); }
    int ItemGray(const char* pszName) { return Gray(pszName, this); }

    // Items and popups of all menus. By name: the first registered one
    // (in table order) whose name equals it without regard to case and,
    // when a menu is given, whose parent menu or main menu is that menu.
    static KwMenuItem* FindItem(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static KwMenuItem* FindItem(unsigned short unId);
    static KwPopupMenu* FindPopup(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static KwPopupMenu* FindPopup(KwHandle hMenu);
    static int RemovePopupItem(const char* pszName, const KwMenu* pcoMenu = nullptr);
    // Item operations by name: an unknown name answers 0 (or an empty text).
    static short GetItemPos(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int CanToggle(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int CanSelect(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsPopup(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsSeparator(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsCustomDraw(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsBitmap(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsChecked(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsUnChecked(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsDisabled(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsGrayed(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int IsEnabled(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static unsigned GetState(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static TString GetText(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static unsigned short GetSystemId(const char* pszName, const KwMenu* pcoMenu = nullptr);
    static int SetCanToggle(const char* pszName, int nOn, const KwMenu* pcoMenu = nullptr);
    static int SetCanSelect(const char* pszName, int nOn, const KwMenu* pcoMenu = nullptr);
    static int SetChecked(const char* pszName, int nCheck, const KwMenu* pcoMenu = nullptr);
    static int SetEnabled(const char* pszName, int nEnable, int nGray, const KwMenu* pcoMenu = nullptr);
    static int Check(const char* pszName, const KwMenu* pcoMenu = nullptr) { return SetChecked(pszName, 1, pcoMenu); }
    static int UnCheck(const char* pszName, const KwMenu* pcoMenu = nullptr) { return SetChecked(pszName, 0, pcoMenu); }
    static int Enable(const char* pszName, const KwMenu* pcoMenu = nullptr) { return SetEnabled(pszName, 1, 0, pcoMenu); }
    static int Disable(const char* pszName, const KwMenu* pcoMenu = nullptr) { return SetEnabled(pszName, 0, 0, pcoMenu); }
    static int Gray(const char* pszName, const KwMenu* pcoMenu = nullptr) { return SetEnabled(pszName, 0, 1, pcoMenu); }
    static TString SetText(const char* pszName, const char* pszText, const KwMenu* pcoMenu = nullptr);

    // Overridables, in their slot order after those of KwRes.
    // The menu opens (nIndex -1 for a menu bar, a popup's index): fires
    // "KW_LINK_MENUINIT"; unanswered, the owning frame's EvMenuInit (or
    // EvPopupMenuInit) decides.
    virtual int EvInit(short nIndex);
    // The frame whose menu bar this becomes (KwWFrame::SetMenu), and
    // forgetting it.
    virtual void SetLink(KwWFrame* pcoFrame);
    virtual void RemoveLink();
    virtual KwWFrame* GetParentWindow() const;
    virtual KwMenu* GetMainMenu() const;

    // Deletes what there was, then makes an empty system menu.
    int SysCreate() override;
    void SysDelete() override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    // The base part of a popup.
    struct TPopupTag {};
    KwMenu(const char* pszName, TPopupTag);
    void WriteChildren(TFile& coFile) const override;

private:
    // The popups go first, then the items that remain.
    void DeleteEntries();

    KwWFrame* m_pcoFrame { nullptr };   // not owned: the frame owns its menu bar
    short m_nLastHighlight { 0 };
    int m_nPopup { 0 };
};

// A drop-down menu opened by an item of another menu, or a context menu
// shown at a point (Track). Its own entries are items and popups as in a
// menu bar.
class KW25_API KwPopupMenu : public KwMenu {
    KW_DYNAMIC_CLASS(KwPopupMenu, KwMenu)
public:
    enum : unsigned short { VarParentText = 80 };
    // Track flags
    enum : unsigned short { TrackCenter = 0x0002, TrackRight = 0x0004, TrackLeftButtonOnly = 0x1000 };

    KwPopupMenu();
    ~KwPopupMenu() override;

    // A new popup (null for an absent or empty name, or when nCreate is
    // set and no system menu can be made); a name taken in the "MENU"
    // table is replaced by a free one.
    static KwPopupMenu* CreatePopupMenu(const char* pszName, int nCreate);

    KwMenuItem* GetParentItem() const { return m_pcoParentItem; }
    int HasParentItem() const { return m_pcoParentItem != nullptr; }
    // Shows the popup as a context menu at the screen point for the owner
    // window, which receives its commands; returns when it closes. 1 on
    // success.
    int Track(const KwPoint& coPoint, const KwWnd& coOwner, unsigned short unFlags);
    // Takes the popup out of its parent menu (if any) and inserts it into
    // the menu, under pszText or else its own name; 1 on success.
    int MoveTo(KwMenu* pcoMenu, short nPosition, const char* pszText);
    // Takes the popup out of its parent menu; the item that opened it is
    // deleted, the popup lives on. 1 when it had a parent menu.
    int Remove();

    // The frame of the parent chain, or of the window that tracked it last.
    KwWFrame* GetParentWindow() const override;
    KwMenu* GetMainMenu() const override;
    // Takes the popup out of its parent menu first (deleting the item).
    void SysDelete() override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    explicit KwPopupMenu(const char* pszName);
    void WriteData(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    friend class KwMenuItem;
    void DetachFromParent();

    TString m_coText;                          // the parent entry's text, only while reading
    KwMenuItem* m_pcoParentItem { nullptr };   // deleted with the popup, and the popup with it
    KwHandle m_hTrackOwner { 0 };              // the window that tracked it last
};
