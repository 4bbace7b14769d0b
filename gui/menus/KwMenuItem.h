#pragma once

#include "Kw25Api.h"
#include "KwRect.h"
#include "KwRes.h"
#include "TMvc.h"
#include "TString.h"

class KwDC;
class KwMenu;
class KwPopupMenu;
class KwWFrame;

// One entry of a menu: a command, a separator, an entry drawn by the
// program, a bitmap, or the entry that opens a popup. While it has an
// entry in a system menu it is registered in the adapter's "MENUITEM"
// table under its command id (its handle), through which the window
// procedure finds it for a command, a highlight or an owner-drawn entry.
// The text it shows is kept by the system menu; the object holds a text
// only between reading it from a resource and creating the entry.
//
// Choosing an item fires "KW_LINK_COMMAND"; a check mark that changes
// fires "KW_LINK_MENUCHECKCHANGED", a highlight "KW_LINK_MENUSELECT". When
// no link answers, the frame that owns the menu bar is asked (EvMenuClicked,
// EvMenuCheckChanged, EvMenuSelect).
//
// Ownership runs one way: deleting an item that opens a popup deletes the
// popup with all its entries; deleting a popup deletes the item that
// opened it, after taking the entry out of the parent menu.
class KW25_API KwMenuItem : public KwRes {
    KW_DYNAMIC_CLASS(KwMenuItem, KwRes)
    KW_MVC_CLASS(KwMenuItem, KwRes)
public:
    // Mask bits
    enum : unsigned short {
        MaskToggle = 0x0001,       // one of a group of which at most one is checked
        MaskSelect = 0x0002,       // choosing it flips its check mark
        MaskSeparator = 0x0100,
        MaskCustomDraw = 0x0200,   // drawn by the program
        MaskCreating = 0x8000,     // set only while the entry is being (re)created
    };
    // States of an entry drawn by the program
    enum : unsigned short { StateChecked = 0x1, StateSelected = 0x2, StateDisabled = 0x4, StateGrayed = 0x8, StateFocus = 0x10 };
    enum : unsigned short { VarMask = 71, VarText = 72 };

    KwMenuItem();
    // The mask keeps only the toggle bit or, without it, the select bit.
    KwMenuItem(const char* pszName, unsigned short unMask);
    ~KwMenuItem() override;
    KwMenuItem(const KwMenuItem&) = delete;
    KwMenuItem& operator=(const KwMenuItem&) = delete;

    // An object of the application's class pszClass when the application
    // makes one of the family "KwMenuItem" (a taken name is replaced by a
    // free one), else a plain item. Null when memory runs out.
    static KwMenuItem* UCC_KwMenuItem(const char* pszClass, const char* pszName, unsigned short unMask);

    // Creating the entry at nPosition of the menu (appended when the
    // position is below -1 or past the end); an entry the item had is
    // removed first. 1 on success; 0 when the menu has no system menu or
    // no command id is free.
    int CreateItem(KwMenu* pcoMenu, const char* pszText, short nPosition);
    int CreateSeparator(KwMenu* pcoMenu, short nPosition);
    int CreateCustom(KwMenu* pcoMenu, void* pvData, short nPosition);
    int CreateBitmapItem(KwMenu* pcoMenu, KwHandle hBitmap, short nPosition);
    // The entry that opens the popup (which must have its system menu and
    // no other parent item).
    int CreatePopup(KwMenu* pcoMenu, const char* pszText, KwPopupMenu* pcoPopup, short nPosition);

    // Place
    KwHandle GetSysMenu() const { return m_hSysMenu; }
    KwMenu* GetParentMenu() const;
    // The menu bar (or context menu) at the top of the chain.
    KwMenu* GetMainMenu() const;
    // The frame that owns that menu.
    KwWFrame* GetParentWindow() const;
    // The position in the parent menu (which ppcoMenu receives); -1 when
    // not found.
    short GetPosition(KwMenu** ppcoMenu = nullptr) const;
    KwPopupMenu* GetPopup() const { return m_pcoPopup; }
    int IsPopup() const { return m_pcoPopup != nullptr; }
    unsigned short GetSystemId() const { return static_cast<unsigned short>(GetHandle()); }

    // Mask
    unsigned short GetMask() const { return m_unMask; }
    void SetMask(unsigned short unMask);
    int CanToggle() const { return (m_unMask & MaskToggle) != 0; }
    void SetCanToggle(int nOn) { SetMaskBit(MaskToggle, nOn); }
    int CanSelect() const { return (m_unMask & MaskSelect) != 0; }
    void SetCanSelect(int nOn) { SetMaskBit(MaskSelect, nOn); }
    int IsSeparator() const { return (m_unMask & MaskSeparator) != 0; }
    int IsCustomDraw() const { return (m_unMask & MaskCustomDraw) != 0; }

    // State of the entry (0 or empty while the item is in no menu)
    unsigned GetState() const;
    TString GetText() const;
    // Changes the entry's text (not of separators, custom and bitmap
    // entries); answers the old text.
    TString SetText(const char* pszText);
    int IsChecked() const;
    int IsUnChecked() const;
    int IsEnabled() const;
    int IsDisabled() const;
    int IsGrayed() const;
    int IsBitmap() const;
    // Checking: nothing changes (the answer is the current state) for an
    // item in no menu, a popup owner, or when the state would not change.
    // A plain or select item answers its previous state. A toggle item
    // cannot be unchecked this way; checking it unchecks the checked toggle
    // item of its group (the run between the nearest separators) and
    // answers 1 when there was one.
    int SetChecked(int nCheck);
    // Answers whether the item was enabled before.
    int SetEnabled(int nEnable, int nGray);
    int Check() { return SetChecked(1); }
    int UnCheck() { return SetChecked(0); }
    int Enable() { return SetEnabled(1, 0); }
    int Disable() { return SetEnabled(0, 0); }
    int Gray() { return SetEnabled(0, 1); }

    // Check-mark bitmaps (owned). The names are those of the system's
    // predefined bitmaps ("OBM_CHECK") or their numbers ("32760").
    KwHandle GetBitmapCheck() const { return m_hBmpCheck; }
    KwHandle GetBitmapUnCheck() const { return m_hBmpUnCheck; }
    int SetBitmapCheck(const char* pszName) { return SetBitmap(pszName, 1); }
    int SetBitmapUnCheck(const char* pszName) { return SetBitmap(pszName, 0); }

    // Overridables, in their slot order after those of KwRes.
    // A separator is 9 by 9; other items leave it to the window.
    virtual int EvMeasure(KwSize& coSize);
    // A separator draws a line across its middle with the current pen.
    virtual int EvRedraw(KwDC& coDC, const KwRect& coRect, unsigned short unState);
    virtual int EvDrawFocus(KwDC& coDC, const KwRect& coRect, unsigned short unState) { return 0; }
    virtual int EvDrawSelection(KwDC& coDC, const KwRect& coRect, unsigned short unState) { return 0; }
    // Highlighted (nSystem: in the system menu). A separator moves the
    // highlight on by posting a cursor key to the frame.
    virtual int EvSelect(int nSystem);
    virtual int EvClicked();
    virtual int EvCheckChanged(int nChecked);

    // Takes the entry out of its menu and unregisters; a popup it opens is
    // deleted (kept while the entry is only re-created).
    void SysDelete() override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    friend class KwPopupMenu;

    void SetMaskBit(unsigned short unBit, int nOn);
    int CreateEntry(KwMenu* pcoMenu, unsigned unKind, const void* pvItem, KwPopupMenu* pcoPopup, short nPosition);
    // How the system addresses the entry: a popup owner by position, any
    // other by command id. 0 while in no menu.
    int Address(unsigned& unItem, unsigned& unBy) const;
    int CheckInGroup();
    int SetBitmap(const char* pszName, int nChecked);
    void LoadDefaultCheck();
    void ApplyBitmaps() const;
    void RedrawBar() const;
    // Whether the item is still registered under the id (a link it fired
    // may have deleted it).
    int IsAlive(unsigned short unId) const;

    TString m_coText;
    KwHandle m_hSysMenu { 0 };
    KwPopupMenu* m_pcoPopup { nullptr };   // deleted with the item, and the item with it
    KwHandle m_hBmpCheck { 0 };            // owned
    KwHandle m_hBmpUnCheck { 0 };          // owned
    unsigned short m_unCheckId { 0 };      // the predefined bitmap loaded as default check mark
    unsigned short m_unMask { 0 };
};
