#pragma once

#include "Kw25Api.h"
#include "KwLayout.h"
#include "KwTimer.h"
#include "KwWControl.h"

#include <memory>

// A push button: its text (with an '&' before the hot key) on a raised
// face. It fires "KW_LINK_COMMAND" (EvCommand) when it is clicked, when
// Space is pressed and let go or Return is pressed while it has the
// focus, and on Alt plus its hot key. A default push button (one per
// frame) is the one that Return anywhere in its frame presses; it has a
// heavier frame. A repeating button fires once when it is pressed and
// then, while it stays pressed, after the repeat delay every repeat
// interval. Disabled, it greys its text at once and takes no input.
//
// Record: class "KwPushButton", type 31; after those of KwWChild the
// variables 301 (short, push flags: 0x1 default push, 0x2 repeat on
// press), 302 (short, repeat delay in ms) and 303 (short, repeat interval
// in ms). The text is the window's initial text (43); the child flags
// (92) should make it focusable with a tab stop (0x0005).
//
// Functions callable by name: "KwPushButton::IsDefaultPush",
// "KwPushButton::SetDefaultPush" (int on, int redraw),
// "KwPushButton::IsRepeatOnPress", "KwPushButton::SetRepeatOnPress" (int
// on).
class KW25_API KwPushButton : public KwWControl {
    KW_DYNAMIC_CLASS(KwPushButton, KwWControl)
public:
    enum : unsigned short { VarPushFlags = 301, VarRepeatDelay = 302, VarRepeatInterval = 303 };
    enum : unsigned short { FlagDefaultPush = 0x0001, FlagRepeatOnPress = 0x0002 };

    KwPushButton();
    explicit KwPushButton(const char* pszName);
    KwPushButton(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText);
    ~KwPushButton() override;
    KwPushButton& operator=(const KwPushButton&) = delete;

    // Default push: setting it takes it from every other push button of
    // the frame.
    int IsDefaultPush() const { return (m_unPushFlags & FlagDefaultPush) ? 1 : 0; }
    void SetDefaultPush(int nOn, int nRedraw);
    // Repeat on press
    int IsRepeatOnPress() const { return (m_unPushFlags & FlagRepeatOnPress) ? 1 : 0; }
    void SetRepeatOnPress(int nOn);
    unsigned short GetRepeatDelay() const { return m_unRepeatDelay; }
    unsigned short GetRepeatInterval() const { return m_unRepeatInterval; }
    void SetRepeatTimes(unsigned short unDelay, unsigned short unInterval);
    // The character after the text's hot-key mark, 0 when it has none.
    char GetHotKey() const { return HotKeyOf(GetText()); }
    // The same of any text ("&&" is an ampersand), and whether a key
    // pressed with Alt is that character (without regard to case): for
    // every control that is chosen by its hot key.
    static char HotKeyOf(const char* pszText);
    static int IsHotKey(char chHotKey, char chKey);
    // Pressed by the mouse or held down with Space: drawn pushed in.
    int IsPushedIn() const { return IsPressed() || m_nKeyDown; }

    // Overrides
    operator KwPushButton*() override { return this; }
    operator const KwPushButton*() const override { return this; }
    const KwLayout& MyLayout() const override;
    KwWnd* Copy() const override;
    int SetText(const char* pszText) override;
    int CanPush() const override { return IsEnabled(); }
    int HasHotKeyCommandALT(char chKey) const override;
    int CallHotKeyCommandALT() override;
    void DrawFocus(KwDC& coDC) override {}
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
    int EvTimer(unsigned long ulSysTime) override;
    int EvCaptureLost() override;
    int NotifyEnabled(int nEnabled) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwPushButton(const KwPushButton& coOther);
    void InitMembers(TOnlyInternalUse) override;
    void WriteData(TFile& coFile) const override;

private:
    // Starts the repetition (the first command is fired by the caller).
    void StartRepeat();
    void StopRepeat();
    void Repaint();
    TDynRet DynIsDefaultPush(char* pchArgs);
    TDynRet DynSetDefaultPush(char* pchArgs);
    TDynRet DynIsRepeatOnPress(char* pchArgs);
    TDynRet DynSetRepeatOnPress(char* pchArgs);

    unsigned short m_unPushFlags { 0 };
    unsigned short m_unRepeatDelay { 400 };
    unsigned short m_unRepeatInterval { 100 };
    int m_nKeyDown { 0 };
    int m_nRepeatStarted { 0 };           // the delay is over, the interval runs
    std::unique_ptr<KwWindowTimer> m_pcoRepeat;
};

// The look of push buttons: the face in the background colour, a black
// frame (two pixels wide for the default push button), a raised shade
// (pushed in: a flat dark one), the text centred with its hot key
// underlined (greyed when disabled, moved down right when pushed) and the
// focus rectangle inside when it has the focus.
class KW25_API KwPushButtonLayoutWIN31 : public KwLayout {
public:
    int Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const override;
    static KwPushButtonLayoutWIN31& Instance();
};
