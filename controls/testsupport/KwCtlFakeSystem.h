#pragma once

// The window system in memory of the controls' tests: the GUI core's
// recording system with what the controls need beyond it: scroll bars that
// keep their range and thumb, wrapped system controls, a scroll-bar width.

#include "KwFakeSystem.h"

#include <map>

class KwCtlFakeSystem : public KwFakeSystem {
public:
    struct TBar {
        short nMin { 0 };
        short nMax { 0 };
        short nPos { 0 };
    };
    std::map<KwHandle, TBar> coBars;

    int SubclassControl(KwWnd&) override { return 1; }
    int GetSystemMetrics(int nIndex) const override { return nIndex == 2 ? 16 : 0; }
    int SetScrollRange(KwHandle hWnd, short, short nMin, short nMax, int) override
    {
        coBars[hWnd].nMin = nMin;
        coBars[hWnd].nMax = nMax;
        return 1;
    }
    int GetScrollRange(KwHandle hWnd, short, short* pnMin, short* pnMax) const override
    {
        const TBar coBar = Bar(hWnd);
        if (pnMin)
            *pnMin = coBar.nMin;
        if (pnMax)
            *pnMax = coBar.nMax;
        return 1;
    }
    short SetScrollPos(KwHandle hWnd, short, short nPos, int) override
    {
        const short nOld = coBars[hWnd].nPos;
        coBars[hWnd].nPos = nPos;
        return nOld;
    }
    short GetScrollPos(KwHandle hWnd, short) const override { return Bar(hWnd).nPos; }

private:
    TBar Bar(KwHandle hWnd) const
    {
        auto it = coBars.find(hWnd);
        return it == coBars.end() ? TBar() : it->second;
    }
};
