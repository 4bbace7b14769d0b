#pragma once

#include "KctlApi.h"
#include "KwPushButton.h"
#include "KwWControl.h"

#include <vector>

// A check box: a small square, with a check mark while it is checked, and
// its text beside it (an '&' before the hot key). A click, Space (when it
// is let go) and Alt plus the hot key flip it and fire "KW_LINK_COMMAND";
// Return is left to the frame's default push button. Disabled, it greys
// its text and takes no input. While it has the focus, a focus rectangle
// goes round its text.
//
// Record: class "KwCheckBox", type 31; after those of KwWChild the
// variable 331 (short, 1: checked). The text is the window's initial text
// (43); the child flags (92) should make it focusable with a tab stop
// (0x0005).
class KCTL_API KwCheckBox : public KwWControl {
    KW_DYNAMIC_CLASS(KwCheckBox, KwWControl)
public:
    enum : unsigned short { VarChecked = 331 };
    enum : short { BoxSize = 13, TextGap = 5 };

    KwCheckBox();
    explicit KwCheckBox(const char* pszName);
    KwCheckBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText);
    ~KwCheckBox() override = default;
    KwCheckBox& operator=(const KwCheckBox&) = delete;

    // From the program: no link fires.
    void SetChecked(int nChecked, int nRedraw);
    // The character after the text's hot-key mark, 0 when it has none.
    char GetHotKey() const { return KwPushButton::HotKeyOf(GetText()); }
    // Pressed by the mouse or held down with Space: drawn pushed in.
    int IsPushedIn() const { return IsPressed() || m_nKeyDown; }

    // Overridables
    // What the user's click, Space or hot key does before the command
    // fires: a check box flips.
    virtual void UserChoice();

    // Overrides
    operator KwCheckBox*() override { return this; }
    operator const KwCheckBox*() const override { return this; }
    int IsChecked() const override { return m_nChecked; }
    int Check() override;
    int UnCheck() override;
    KwWnd* Copy() const override { return new KwCheckBox(*this); }
    int SetText(const char* pszText) override;
    int CanPush() const override { return IsEnabled(); }
    int HasHotKeyCommandALT(char chKey) const override;
    int CallHotKeyCommandALT() override;
    void DrawFocus(KwDC&) override {}
    int EvPaint(KwPaintDC& coDC) override;
    int EvPush(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvRelease(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvPushedLeave() override;
    int EvPushedReEnter() override;
    int EvClicked(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvKeyDown(unsigned short unKey, unsigned long ulKeyData) override;
    int EvKeyUp(unsigned short unKey, unsigned long ulKeyData) override;
    int EvChar(unsigned short unKey, unsigned long ulKeyData) override;
    int EvSetFocus(KwWnd* pcoOther) override;
    int EvKillFocus(KwWnd* pcoOther) override;
    int EvCaptureLost() override;
    int NotifyEnabled(int nEnabled) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwCheckBox(const KwCheckBox& coOther);
    void WriteData(TFile& coFile) const override;
    // The mark in the box: a check mark here.
    virtual void DrawMark(KwDC& coDC, const KwRect& coBox);
    // The box itself: a sunken square here.
    virtual void DrawBox(KwDC& coDC, const KwRect& coBox);
    void Repaint();
    // The user's choice: UserChoice, then the command.
    void Choose();

private:
    int m_nChecked { 0 };
    int m_nKeyDown { 0 };
};

// One of a group of radio boxes: those of the same parent window with the
// same group number. Checking one unchecks the others of its group; the
// user's click, Space or hot key checks it and never unchecks it. Only the
// checked box of a group is a tab stop (the first of the group while none
// is checked), and the arrow keys move to the box before or after it in
// the group and check that one, as Windows users know it.
//
// Record: class "KwRadioBox", type 31; the variables of KwCheckBox and 332
// (short, the group number, 0 by default).
class KCTL_API KwRadioBox : public KwCheckBox {
    KW_DYNAMIC_CLASS(KwRadioBox, KwCheckBox)
public:
    enum : unsigned short { VarGroup = 332 };

    KwRadioBox() = default;
    explicit KwRadioBox(const char* pszName) : KwCheckBox(pszName) {}
    KwRadioBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText, short nGroup);
    ~KwRadioBox() override = default;
    KwRadioBox& operator=(const KwRadioBox&) = delete;

    short GetGroup() const { return m_nGroup; }
    void SetGroup(short nGroup) { m_nGroup = nGroup; }
    // The checked box of its group, null when none is.
    KwRadioBox* GetCheckedInGroup() const;

    void UserChoice() override;
    operator KwRadioBox*() override { return this; }
    operator const KwRadioBox*() const override { return this; }
    int Check() override;
    KwWnd* Copy() const override { return new KwRadioBox(*this); }
    int SysCreate(KwWnd* pcoParent) override;
    int EvKeyPosition(short nIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwRadioBox(const KwRadioBox& coOther) : KwCheckBox(coOther), m_nGroup(coOther.m_nGroup) {}
    void WriteData(TFile& coFile) const override;
    void DrawMark(KwDC& coDC, const KwRect& coBox) override;
    void DrawBox(KwDC& coDC, const KwRect& coBox) override;

private:
    // The radio boxes of the group in child order, this one among them.
    std::vector<KwRadioBox*> Group() const;
    // Only the checked box (or the first) is reached by Tab.
    void SetGroupTabStops();

    short m_nGroup { 0 };
};
