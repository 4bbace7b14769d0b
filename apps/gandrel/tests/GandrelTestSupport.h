#pragma once

// Gandrel as its user meets it, in the test's own process: the real
// start-up (GdvStartUp) in a scratch directory, which both selectors show
// at first, with a profile of the scratch directory, driven by real input.

#include "GdvStartUp.h"
#include "KwTestApp.h"

#include "KwApp.h"
#include "KwFileSelProfile.h"
#include "KwFileSelProgress.h"
#include "KwFileSelProgressState.h"
#include "KwFileSelector.h"
#include "KwListText.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kwtest {

class TGandrelTest : public TScratchTest {
protected:
    explicit TGandrelTest(const char* pszPrefix) : TScratchTest(pszPrefix) {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        KwFileSelProfile::UseFile(At("zorvik30.ini"));
        ASSERT_TRUE(::GetCurrentDirectoryA(sizeof m_szWasCurrent, m_szWasCurrent));
        ASSERT_TRUE(::SetCurrentDirectoryA(m_dir.c_str()));
    }
    void TearDown() override
    {
        ReleaseAllInput();
        CloseGandrel();
        KwFileSelProgress::UseSeams(nullptr, nullptr);
        ::SetCurrentDirectoryA(m_szWasCurrent);
        KwFileSelProfile::UseFile(std::string());
        TScratchTest::TearDown();
    }

    // Starts Gandrel's main window, in front, the keyboard in it.
    void StartGandrel()
    {
        ASSERT_EQ(GdvStartUp(kw25test::KwTestApp::Instance()), 1);
        m_pcoMain = kw25test::KwTestApp::Instance().GetMainWindow();
        ASSERT_NE(m_pcoMain, nullptr);
        m_pcoLeft = dynamic_cast<KwFileSelector*>(m_pcoMain->FindChild("FS_1"));
        m_pcoRight = dynamic_cast<KwFileSelector*>(m_pcoMain->FindChild("FS_2"));
        ASSERT_TRUE(m_pcoLeft && m_pcoRight);
        ASSERT_TRUE(BringToForeground(kw25test::Hwnd(*m_pcoMain)));
        PumpIdle();
    }
    void CloseGandrel()
    {
        if (m_pcoMain && ::IsWindow(kw25test::Hwnd(*m_pcoMain)))
            m_pcoMain->Destroy();
        m_pcoMain = nullptr;
        m_pcoLeft = m_pcoRight = nullptr;
        PumpIdle();
    }

    // The frame of the class that runs modally now, if any.
    template <class F>
    static F* RunningFrame()
    {
        KwApp& coApp = kw25test::KwTestApp::Instance();
        for (short i = 0; i < coApp.CurrentAppFrameCount(); ++i)
            if (F* pcoFrame = dynamic_cast<F*>(coApp.GetAppFrame(i)))
                return pcoFrame;
        return nullptr;
    }
    static KwFileSelProgress* RunningProgress() { return RunningFrame<KwFileSelProgress>(); }
    static bool Press(KwPushButton* pcoButton)
    {
        if (!pcoButton)
            return false;
        const KwSize coSize = pcoButton->GetClientSize();
        return ClickAt(kw25test::Hwnd(*pcoButton), { coSize.Width() / 2, coSize.Height() / 2 });
    }
    static bool HasFocus(const KwWnd* pcoWnd) { return pcoWnd && ::GetFocus() == kw25test::Hwnd(*pcoWnd); }

    // A point on the entry of the list, in its client coordinates.
    static POINT OnLine(KwFileSelector& coSelector, const std::string& strName)
    {
        for (long i = 0; i < coSelector.GetListCount(); ++i)
            if (coSelector.GetListName(i) == strName) {
                const short nLine = coSelector.GetList()->LineFromDataPos(static_cast<unsigned long>(i));
                const KwRect coLine = coSelector.GetList()->GetLineRect(nLine);
                return { coLine.Left() + 20, (coLine.Top() + coLine.Bottom()) / 2 };
            }
        ADD_FAILURE() << strName << " is not listed";
        return { 0, 0 };
    }
    static std::vector<std::string> Listed(const KwFileSelector& coSelector)
    {
        std::vector<std::string> vecNames;
        for (long i = 0; i < coSelector.GetListCount(); ++i)
            vecNames.push_back(coSelector.GetListName(i) + (coSelector.IsListSelected(i) ? "*" : ""));
        return vecNames;
    }

    // What one progress window did.
    struct TRun {
        bool m_bOpened { false };
        bool m_bFinished { false };
        std::vector<std::string> m_vecLines;
        std::vector<int> m_vecColours;
        KwFileSelProgressState::BarState m_eBar { KwFileSelProgressState::BarRunning };
    };

    // Runs what opens the progress window (fnOpen) and answers the window
    // from inside its modal loop: fnStart starts the run (by default
    // Return, which presses Start), the test waits until it has finished,
    // takes a screenshot, and Escape closes it.
    TRun RunProgress(const std::function<void()>& fnOpen, const char* pszShot,
                     const std::function<void(KwFileSelProgress&)>& fnStart = nullptr)
    {
        TRun coRun;
        TModalAnswer coAnswer = AnswerWhen(WindowTitled("Copy"), [&](HWND) {
            KwFileSelProgress* pcoProgress = RunningProgress();
            ASSERT_NE(pcoProgress, nullptr);
            coRun.m_bOpened = true;
            PumpIdle();
            ScreenshotDesktop((std::string(pszShot) + "-ready").c_str());
            if (fnStart)
                fnStart(*pcoProgress);
            else
                ASSERT_TRUE(PressKey(VK_RETURN));
            coRun.m_bFinished = PumpUntil([&] {
                return pcoProgress->State().GetPhase() == KwFileSelProgressState::Finished && pcoProgress->GetClose()->IsEnabled();
            }, 60000);
            PumpIdle();
            ScreenshotDesktop(pszShot);
            for (long i = 0; i < pcoProgress->LineCount(); ++i) {
                coRun.m_vecLines.push_back(pcoProgress->Line(i));
                coRun.m_vecColours.push_back(pcoProgress->LineColour(i));
            }
            coRun.m_eBar = pcoProgress->State().GetBarState();
            ASSERT_TRUE(PressKey(VK_ESCAPE));
        });
        fnOpen();
        EXPECT_TRUE(PumpUntil([&] { return coAnswer.Answered() && !RunningProgress(); }, 10000))
            << pszShot << ": the progress window did not open and close";
        PumpIdle();
        return coRun;
    }

    char m_szWasCurrent[MAX_PATH] {};
    KwWFrame* m_pcoMain { nullptr };
    KwFileSelector* m_pcoLeft { nullptr };
    KwFileSelector* m_pcoRight { nullptr };
};

} // namespace kwtest
