// ListBench: a text list of 10,000,000 lines against one of 100 lines, in
// real windows of the same size, in one run: a repaint of all lines, a
// scroll by a page (down and up in turn) and a jump to the end and back
// (End and Home, as the user presses them), each followed by the paint it
// causes. Every line's text comes from the owner through
// "KW_LINK_LISTGETTEXT", as in an application.
//
//   scripts/wine-run build/win64/bin/ListBench.exe [operations] [runs]
//
// The cost per visible line must not depend on the range: nothing may walk
// the data. Exit code 1 when a ratio of the two lists leaves 0.8 .. 1.2.
//
// Each operation is timed twice: with the paint of the list's lines only
// (the criterion), and with the paint of the system's scroll-bar control,
// which costs the same for any range (12 ms a paint under Wine 8) and is
// shown for information.

#include "KctlWin32.h"

#include "KwApp.h"
#include "KwListText.h"
#include "KwMessages.h"
#include "KwSysScrollBar.h"
#include "KwWFrame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

const unsigned short s_unLines = 25;
const double s_dLimit = 1.2;

class TBenchApp : public KwApp {
public:
    TBenchApp() : KwApp("ListBench", nullptr, 0) {}
};

// The owner of a list: the text of each visible line.
class TOwner : public TDynBase {
public:
    KwListText* pcoList { nullptr };
    long lAsked { 0 };

    int LnkGetText(TMvcParam& coParam)
    {
        const KwEventListBox* pcoEvent = static_cast<const KwEvent&>(coParam);
        ++lAsked;
        pcoList->SetListBoxTextFt("Entry %08lu of the list", pcoEvent->Position());
        return 1;
    }
};

struct TBenchList {
    const char* pszName;
    unsigned long ulRange;
    TOwner coOwner;
    KwListText* pcoList { nullptr };
    HWND hWnd { nullptr };
};

using TOperation = void (*)(TBenchList&, long);

int s_nWithScrollBar = 0;

// The paint an operation caused (Wine's UpdateWindow paints the children
// too).
void PaintNow(TBenchList& coList)
{
    if (!s_nWithScrollBar)
        ::ValidateRect(reinterpret_cast<HWND>(coList.pcoList->GetScrollBar()->GetHandle()), nullptr);
    ::UpdateWindow(coList.hWnd);
}

void Repaint(TBenchList& coList, long)
{
    ::InvalidateRect(coList.hWnd, nullptr, FALSE);
    PaintNow(coList);
}

void ScrollPage(TBenchList& coList, long lStep)
{
    coList.pcoList->ScrollRelative(lStep % 2 ? -static_cast<long>(s_unLines) : s_unLines, 1);
    PaintNow(coList);
}

void JumpEnd(TBenchList& coList, long lStep)
{
    ::SendMessageA(coList.hWnd, WM_KEYDOWN, lStep % 2 ? VK_HOME : VK_END, 0);
    PaintNow(coList);
}

double Seconds(TBenchList& coList, TOperation pfnOperation, long lFirst, long lCount)
{
    const auto tStart = std::chrono::steady_clock::now();
    for (long i = lFirst; i < lFirst + lCount; ++i)
        pfnOperation(coList, i);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
}

void Pump()
{
    MSG coMsg;
    while (::PeekMessageA(&coMsg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&coMsg);
        ::DispatchMessageA(&coMsg);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const long lCount = argc > 1 ? std::max(10L, std::atol(argv[1])) : 200;
    const int nRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    TBenchApp coApp;
    coApp.InitInstance(reinterpret_cast<KwHandle>(::GetModuleHandleA(nullptr)), 0, "", 4);
    KwWFrame* pcoFrame = new KwWFrame("FW_BENCH", KwPoint(0, 0), KwSize(700, 500), "ListBench", 15, KwStyle::OverlappedWindow, 0, 0);
    if (!pcoFrame->SysCreate(nullptr)) {
        std::printf("the frame could not be created\n");
        return 1;
    }
    pcoFrame->StartDirect(4);
    TBenchList aLists[] = { { "10,000,000 lines", 10000000 }, { "100 lines", 100 } };
    short nX = 10;
    for (TBenchList& coList : aLists) {
        coList.pcoList = new KwListText("LB_BENCH", KwPoint(nX, 10), 320, s_unLines);
        coList.coOwner.pcoList = coList.pcoList;
        coList.pcoList->MVC().SetLink("KW_LINK_LISTGETTEXT", &coList.coOwner, &TOwner::LnkGetText);
        if (!coList.pcoList->SysCreate(pcoFrame)) {
            std::printf("the list could not be created\n");
            return 1;
        }
        coList.pcoList->SetRange(coList.ulRange, 1);
        coList.hWnd = reinterpret_cast<HWND>(coList.pcoList->GetHandle());
        nX = static_cast<short>(nX + 340);
    }
    Pump();

    const struct { const char* pszName; TOperation pfnOperation; } aOperations[] = {
        { "paint", Repaint }, { "page scroll", ScrollPage }, { "jump to the end", JumpEnd },
    };
    // Both lists run interleaved in rounds of an even number of operations
    // (so that each round ends where it began and every round does the same
    // work), each round starting with the other list. The best round of all
    // runs is kept: on a shared machine the sum of a run carries every
    // preemption, the best round hardly any.
    const long lRound = 10;
    const long lRounds = std::max(1L, lCount / lRound);
    std::printf("%ld operations per list and run in rounds of %ld, %u visible lines, best round of %d runs\n", lRounds * lRound,
                lRound, s_unLines, nRuns);
    std::printf("%-34s %18s %18s %8s\n", "cost per visible line", aLists[0].pszName, aLists[1].pszName, "ratio");
    int nFailed = 0;
    for (s_nWithScrollBar = 0; s_nWithScrollBar < 2; ++s_nWithScrollBar) {
        for (const auto& coOperation : aOperations) {
            double adBest[2] = { 1e9, 1e9 };
            const long alBefore[2] = { aLists[0].coOwner.lAsked, aLists[1].coOwner.lAsked };
            for (int nRun = 0; nRun < nRuns; ++nRun) {
                for (long lStep = 0; lStep < lRounds; ++lStep) {
                    for (int k = 0; k < 2; ++k) {
                        const int nIndex = static_cast<int>((lStep + k) % 2);
                        adBest[nIndex] = std::min(adBest[nIndex], Seconds(aLists[nIndex], coOperation.pfnOperation, lStep * lRound, lRound));
                    }
                }
            }
            // Lines asked per run (the same for both lists, or one walks the data).
            const long alAsked[2] = { (aLists[0].coOwner.lAsked - alBefore[0]) / nRuns, (aLists[1].coOwner.lAsked - alBefore[1]) / nRuns };
            const double adPerLine[2] = {
                adBest[0] * 1e9 * static_cast<double>(lRounds) / static_cast<double>(std::max(1L, alAsked[0])),
                adBest[1] * 1e9 * static_cast<double>(lRounds) / static_cast<double>(std::max(1L, alAsked[1])),
            };
            const double dRatio = adPerLine[0] / adPerLine[1];
            char szName[64];
            std::snprintf(szName, sizeof szName, "%s%s", coOperation.pszName, s_nWithScrollBar ? " (with scroll bar)" : "");
            std::printf("%-34s %15.1f us %15.1f us %8.3f   lines asked: %ld, %ld\n", szName, adPerLine[0] / 1000,
                        adPerLine[1] / 1000, dRatio, alAsked[0], alAsked[1]);
            const int nOutside = dRatio > s_dLimit || dRatio < 1.0 / s_dLimit;
            if (alAsked[0] != alAsked[1] || (nOutside && !s_nWithScrollBar))
                ++nFailed;
        }
    }
    pcoFrame->Destroy();
    Pump();
    std::printf(nFailed ? "FAILED\n" : "OK\n");
    return nFailed ? 1 : 0;
}
