#pragma once

#include "Kw25Api.h"
#include "KwWnd.h"

class KwWControl;
class KwWDraw;
class KwWSystem;
class KwSysEdit;
class KwSysEditML;
class KwSysEditPassWord;
class KwSysScrollBar;
class KwSysScrollBarVert;
class KwSysScrollBarHorz;
class KwCtrlList;
class KwListText;
class KwMCListBox;
class KwMCListText;
class KwCtrlMarker;
class KwRadioBox;
class KwRadioBoxOwn;
class KwCheckBox;
class KwCheckBoxOwn;
class KwPushButton;
class KwStatic;
class KwGroup;

// A window inside a frame or inside another child: keyboard navigation
// (tab stops, arrow keys, the frame's default push button), a border and a
// three-dimensional shade painted by the child layout object.
class KW25_API KwWChild : public KwWnd {
    KW_DYNAMIC_CLASS(KwWChild, KwWnd)
public:
    // Child flags
    enum : unsigned short {
        FlagFocusable = 0x0001,
        FlagSelectable = 0x0002,
        FlagTabStop = 0x0004,
        FlagShade = 0x0010,
        FlagShadeTurned = 0x0020,     // light and dark swapped
        FlagInShadeBorder = 0x0040,   // a border inside the shade
        FlagShadeGroupLook = 0x0080,
        FlagDefaultFocus = 0x0100,    // its frame's default focus child
        FlagSelected = 0x1000,
    };
    enum : unsigned short { VarBorderWidth = 91, VarFlags = 92, VarShadeWidth = 93, VarInShadeBorderWidth = 94 };

    KwWChild();
    explicit KwWChild(const char* pszName);
    KwWChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack, short nColFore);
    ~KwWChild() override = default;

    // Look
    unsigned short GetChildFlags() const { return m_unFlags; }
    short GetShadeWidth() const { return m_nShadeWidth; }
    short GetBorderWidth() const { return m_nBorderWidth; }
    short GetInShadeBorderWidth() const { return m_nInShadeBorderWidth; }
    void SetShadeWidth(short nWidth, int nRedraw);
    void SetBorderWidth(short nWidth, int nRedraw);
    void SetInShadeBorderWidth(short nWidth, int nRedraw);
    int IsTabStop() const { return (m_unFlags & FlagTabStop) ? 1 : 0; }
    int IsSelected() const { return (m_unFlags & FlagSelected) ? 1 : 0; }
    int IsSelectable() const { return (m_unFlags & FlagSelectable) ? 1 : 0; }
    int HasShade() const { return (m_unFlags & FlagShade) ? 1 : 0; }
    int HasInShadeBorder() const { return (m_unFlags & FlagInShadeBorder) ? 1 : 0; }
    int HasShadeGroupLook() const { return (m_unFlags & FlagShadeGroupLook) ? 1 : 0; }
    int IsShadeTurned() const { return (m_unFlags & FlagShadeTurned) ? 1 : 0; }
    int IsDefaultFocus() const { return (m_unFlags & FlagDefaultFocus) ? 1 : 0; }

    // Focus searches (see the tab order in the class comment of the source)
    KwWChild* FindNextFocusWnd() const { return FindFocus(1, 0); }
    KwWChild* FindPrevFocusWnd() const { return FindFocus(0, 0); }
    KwWChild* FindNextTabFocusWnd() const { return FindFocus(1, 1); }
    KwWChild* FindPrevTabFocusWnd() const { return FindFocus(0, 1); }
    // This child when it is a push button with the default-push property,
    // else the first such button among its descendants.
    KwPushButton* FindDefaultPushButton() const;
    // The same button as a child window.
    KwWChild* FindDefaultPushChild() const;
    KwWChild* FindDefaultFocusChild() const;
    // The layout object of all children; replaceable (null: the built-in
    // one). Not owned.
    static void ChangeLayout(KwLayout* pcoLayout);

    // Overridables, in their slot order after those of KwWnd.
    virtual int DrawShade(KwDC& coDC, const KwRect& coRect);
    virtual int EvKeyEnterTabEsc(short nIndex);
    virtual int EvKeyPosition(short nIndex);
    virtual int EvKeyDelete(short nIndex) { return 0; }
    virtual int EvKeyFunction(short nIndex) { return 0; }
    virtual int EvKeyAscii(unsigned short unChar) { return 0; }
    virtual short GetFullBorderWidth() const;
    virtual int IsChecked() const { return 0; }
    virtual int IsFocusable() const { return (m_unFlags & FlagFocusable) ? 1 : 0; }
    virtual int IsTopViewChild() const;
    virtual int HasSpecialFocus() const { return 0; }
    virtual void SetTabStop(int nOn) { SetFlag(FlagTabStop, nOn); }
    virtual void SetSelected(int nOn, int nRedraw);
    virtual void SetFocusable(int nOn) { SetFlag(FlagFocusable, nOn); }
    virtual void SetDefaultFocus(int nOn);
    virtual void SetSelectable(int nOn) { SetFlag(FlagSelectable, nOn); }
    virtual void SetShade(int nOn, int nRedraw);
    virtual void SetShadeTurned(int nOn, int nRedraw);
    virtual void SetInShadeBorder(int nOn, int nRedraw);
    virtual void SetShadeGroupLook(int nOn, int nRedraw);
    virtual int Check() { return 0; }
    virtual int UnCheck() { return 0; }
    // Checked down-casts: null here, the object itself in the class named.
    virtual operator KwWControl*() { return nullptr; }
    virtual operator const KwWControl*() const { return nullptr; }
    virtual operator KwWDraw*() { return nullptr; }
    virtual operator const KwWDraw*() const { return nullptr; }
    virtual operator KwWSystem*() { return nullptr; }
    virtual operator const KwWSystem*() const { return nullptr; }
    virtual operator KwSysEdit*() { return nullptr; }
    virtual operator const KwSysEdit*() const { return nullptr; }
    virtual operator KwSysEditML*() { return nullptr; }
    virtual operator const KwSysEditML*() const { return nullptr; }
    virtual operator KwSysEditPassWord*() { return nullptr; }
    virtual operator const KwSysEditPassWord*() const { return nullptr; }
    virtual operator KwSysScrollBar*() { return nullptr; }
    virtual operator const KwSysScrollBar*() const { return nullptr; }
    virtual operator KwSysScrollBarVert*() { return nullptr; }
    virtual operator const KwSysScrollBarVert*() const { return nullptr; }
    virtual operator KwSysScrollBarHorz*() { return nullptr; }
    virtual operator const KwSysScrollBarHorz*() const { return nullptr; }
    virtual operator KwCtrlList*() { return nullptr; }
    virtual operator const KwCtrlList*() const { return nullptr; }
    virtual operator KwListText*() { return nullptr; }
    virtual operator const KwListText*() const { return nullptr; }
    virtual operator KwMCListBox*() { return nullptr; }
    virtual operator const KwMCListBox*() const { return nullptr; }
    virtual operator KwMCListText*() { return nullptr; }
    virtual operator const KwMCListText*() const { return nullptr; }
    virtual operator KwCtrlMarker*() { return nullptr; }
    virtual operator const KwCtrlMarker*() const { return nullptr; }
    virtual operator KwRadioBox*() { return nullptr; }
    virtual operator const KwRadioBox*() const { return nullptr; }
    virtual operator KwRadioBoxOwn*() { return nullptr; }
    virtual operator const KwRadioBoxOwn*() const { return nullptr; }
    virtual operator KwCheckBox*() { return nullptr; }
    virtual operator const KwCheckBox*() const { return nullptr; }
    virtual operator KwCheckBoxOwn*() { return nullptr; }
    virtual operator const KwCheckBoxOwn*() const { return nullptr; }
    virtual operator KwPushButton*() { return nullptr; }
    virtual operator const KwPushButton*() const { return nullptr; }
    virtual operator KwStatic*() { return nullptr; }
    virtual operator const KwStatic*() const { return nullptr; }
    virtual operator KwGroup*() { return nullptr; }
    virtual operator const KwGroup*() const { return nullptr; }

    // Overrides of KwWnd
    const KwLayout& MyLayout() const override;
    KwRect CalcContentRect() const override;
    int SysCreate(KwWnd* pcoParent) override;
    KwWnd* SetParent(KwWnd* pcoParent) override;
    KwWnd* SetFocus() override;
    void DrawFocus(KwDC& coDC) override;
    int EvKeyDown(unsigned short unKey, unsigned long ulKeyData) override;
    int EvChar(unsigned short unKey, unsigned long ulKeyData) override;
    int EvSysChar(unsigned short unKey, unsigned long ulKeyData) override;
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwWChild(const KwWChild& coOther);
    void WriteData(TFile& coFile) const override;
    void SetFlag(unsigned short unFlag, int nOn);

private:
    // A window that can take the focus in the searches.
    int IsFocusCandidate(int nTabStop) const;
    KwWChild* FindFocus(int nForward, int nTabStop) const;

    unsigned short m_unFlags { 0 };
    short m_nBorderWidth { 0 };
    short m_nShadeWidth { 0 };
    short m_nInShadeBorderWidth { 0 };
};
