#pragma once

#include "KctlApi.h"
#include "KwWSystem.h"

// A scroll bar: the system's "SCROLLBAR" control, wrapped. The system
// reports its scrolling to the parent window, whose mapping hands it to
// this object (EvVScroll, EvHScroll): the bar fires its own links
// ("KW_LINK_VSCROLL", "KW_LINK_HSCROLL") and, when none handles the
// event, passes it on to its parent's Ev handler, so that the window that
// owns the bar scrolls.
class KCTL_API KwSysScrollBar : public KwWSystem {
    KW_DYNAMIC_CLASS(KwSysScrollBar, KwWSystem)
public:
    KwSysScrollBar();
    KwSysScrollBar(const char* pszName, const KwPoint& coPos, const KwSize& coSize, int nVertical);
    ~KwSysScrollBar() override = default;

    int IsVertical() const;
    // Range and thumb position (16-bit, as the system keeps them).
    int SetRange(short nMin, short nMax, int nRedraw);
    int GetRange(short* pnMin, short* pnMax) const;
    short SetThumbPos(short nPos, int nRedraw);
    short GetThumbPos() const;

    // Overrides
    operator KwSysScrollBar*() override { return this; }
    operator const KwSysScrollBar*() const override { return this; }
    int EvVScroll(unsigned short unCode, short nPos) override;
    int EvHScroll(unsigned short unCode, short nPos) override;
    KwWnd* Copy() const override { return new KwSysScrollBar(*this); }

protected:
    KwSysScrollBar(const KwSysScrollBar& coOther) : KwWSystem(coOther) {}

private:
    template <class F>
    int PassOn(int nResult, F fnParent);
};

// A vertical scroll bar.
class KCTL_API KwSysScrollBarVert : public KwSysScrollBar {
    KW_DYNAMIC_CLASS(KwSysScrollBarVert, KwSysScrollBar)
public:
    KwSysScrollBarVert() : KwSysScrollBar(nullptr, KwPoint(), KwSize(), 1) {}
    KwSysScrollBarVert(const char* pszName, const KwPoint& coPos, const KwSize& coSize)
        : KwSysScrollBar(pszName, coPos, coSize, 1) {}

    operator KwSysScrollBarVert*() override { return this; }
    operator const KwSysScrollBarVert*() const override { return this; }
    KwWnd* Copy() const override { return new KwSysScrollBarVert(*this); }
};

// A horizontal scroll bar.
class KCTL_API KwSysScrollBarHorz : public KwSysScrollBar {
    KW_DYNAMIC_CLASS(KwSysScrollBarHorz, KwSysScrollBar)
public:
    KwSysScrollBarHorz() : KwSysScrollBar(nullptr, KwPoint(), KwSize(), 0) {}
    KwSysScrollBarHorz(const char* pszName, const KwPoint& coPos, const KwSize& coSize)
        : KwSysScrollBar(pszName, coPos, coSize, 0) {}

    operator KwSysScrollBarHorz*() override { return this; }
    operator const KwSysScrollBarHorz*() const override { return this; }
    KwWnd* Copy() const override { return new KwSysScrollBarHorz(*this); }
};
