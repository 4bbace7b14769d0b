#pragma once

#include "Kw25Api.h"
#include "KwWChild.h"

// A child that can be pressed with the mouse (the base of the framework's
// buttons): a left press captures the mouse and presses it; leaving the
// control while the button is held releases the pressed state and coming
// back presses it again; releasing inside clicks it. When the capture is
// lost to another window or cancelled by the system, the pressed state
// ends there.
class KW25_API KwWControl : public KwWChild {
    KW_DYNAMIC_CLASS(KwWControl, KwWChild)
public:
    KwWControl() = default;
    explicit KwWControl(const char* pszName) : KwWChild(pszName) {}
    KwWControl(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
               short nColFore)
        : KwWChild(pszName, coPos, coSize, nColBord, nColBack, nColFore) {}
    ~KwWControl() override = default;

    int IsPressed() const { return m_nPressed; }

    // Overridables, in their slot order after those of KwWChild; all answer
    // 0 here, CanPush included, so a plain control cannot be pressed.
    virtual int EvPush(const KwPoint& coPoint, unsigned short unKeyFlags) { return 0; }
    virtual int EvRelease(const KwPoint& coPoint, unsigned short unKeyFlags) { return 0; }
    virtual int EvPushedLeave() { return 0; }
    virtual int EvPushedReEnter() { return 0; }
    virtual int EvPushedMove(const KwPoint& coPoint, unsigned short unKeyFlags) { return 0; }
    virtual int EvClicked(const KwPoint& coPoint, unsigned short unKeyFlags) { return 0; }
    virtual int CanPush() const { return 0; }

    operator KwWControl*() override { return this; }
    operator const KwWControl*() const override { return this; }
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvMouseMove(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvMouseLeave(KwWnd* pcoOther, int nFlag) override;
    int EvMouseEnter(KwWnd* pcoOther, int nFlag) override;
    int EvCaptureLost() override;

protected:
    KwWControl(const KwWControl& coOther) : KwWChild(coOther) {}
    // The start of the framework's buttons (push buttons, check boxes):
    // they take the focus and a tab stop, and are black on the face colour
    // (made without a place, only the background is set).
    struct TButton {};
    explicit KwWControl(TButton);
    KwWControl(TButton, const char* pszName);
    KwWControl(TButton, const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText);

private:
    int HasCapture() const;

    KwHandle m_hPreviousCapture { 0 };
    int m_nPressed { 0 };
    int m_nReleasing { 0 };
};
