#include "KwCopyRunTest.h"
#include "KwFileSelCopySettings.h"
#include "KwFileSelProgressState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <map>
#include <thread>

using namespace std::chrono_literals;
using State = KwFileSelProgressState;

namespace {

// The buttons that may be pressed: "S" Start, "C" Cancel, "X" Close.
std::string Buttons(const State& s)
{
    return std::string(s.CanStart() ? "S" : "") + (s.CanCancel() ? "C" : "") + (s.CanClose() ? "X" : "");
}

} // namespace

class KwFileSelProgressStateTest : public kwtest::TCopyRunTest {
protected:
    void SetUp() override
    {
        TCopyRunTest::SetUp();
        m_pcoState = std::make_unique<State>(*m_pcoEngine);
    }
    void TearDown() override
    {
        m_pcoState.reset();
        TCopyRunTest::TearDown();
    }

    // Pumps as the window does on each posted notification, until the run
    // has finished (at most ten seconds).
    void PumpUntilFinished()
    {
        for (int i = 0; i < 10000 && m_pcoState->GetPhase() != State::Finished; ++i) {
            m_pcoEngine->Queue().Wait(1);
            m_pcoState->Pump();
        }
        ASSERT_EQ(m_pcoState->GetPhase(), State::Finished);
        m_pcoEngine->WaitUntilEnded();
    }

    // Starts a run whose worker waits at its first read of a source piece
    // until the run is cancelled (at most ten seconds).
    void StartHeldRun()
    {
        m_pcoFs->m_fnOnRead = [this](const std::string&) {
            m_nHeld = 1;
            for (int i = 0; i < 10000 && !m_pcoEngine->IsCanceled(); ++i)
                std::this_thread::sleep_for(1ms);
        };
        ASSERT_EQ(m_pcoState->PressStart(), 1);
        for (int i = 0; i < 10000 && !m_nHeld; ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(m_nHeld);
    }

    std::unique_ptr<State> m_pcoState;
    std::atomic<int> m_nHeld { 0 };
};

TEST_F(KwFileSelProgressStateTest, ATreeRunGoesFromReadyToFinishedWithTheEnginesLinesCountsAndSummary)
{
    // The engine's own run on the caller's thread, for comparison.
    m_pcoState.reset();
    const kwtest::TOutput coDirect = Run();
    TearDown();
    SetUp();

    EXPECT_EQ(Buttons(*m_pcoState), "SX");
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    EXPECT_EQ(Buttons(*m_pcoState), "C");
    EXPECT_EQ(m_pcoState->PressStart(), 0);
    PumpUntilFinished();
    EXPECT_EQ(Buttons(*m_pcoState), "X");

    const State& s = *m_pcoState;
    ASSERT_EQ(s.LineCount(), static_cast<long>(coDirect.m_vecLines.size()) + 1);
    EXPECT_EQ(s.Line(0), "Options: rights: group, DACL and SACL; owner: no; existing files: replace; verify: no; files at once: "
                         + std::to_string(KwCopyOptions::DefaultWorkers));
    for (long i = 1; i + 1 < s.LineCount(); ++i) {
        EXPECT_EQ(s.Line(i), coDirect.m_vecLines[static_cast<size_t>(i - 1)]);
        EXPECT_EQ(s.LineColour(i), State::ColourOk) << s.Line(i);
    }
    EXPECT_EQ(s.Line(s.LineCount() - 2), "Ready. ");
    EXPECT_EQ(s.GetSummary(), s.Line(s.LineCount() - 1));
    EXPECT_EQ(s.GetSummary().rfind("Directories: 4, files: 4, bytes: 100007,", 0), 0u) << s.GetSummary();
    EXPECT_EQ(s.GetBarState(), State::BarDone);
    EXPECT_EQ(s.BarText(), "100 %");
    EXPECT_EQ(s.BarFillColour(), State::ColourBar);
    EXPECT_EQ(s.CountsText(), "Files: 8 of 8   Bytes: 97.7 KB of 97.7 KB");
    EXPECT_EQ(s.SecondsLeft(), 0);
}

TEST_F(KwFileSelProgressStateTest, FailuresEndWithTheSummaryAndAFailedBarNotACleanHundred)
{
    m_pcoFs->m_coFaults.Add({ "Read", "/src/a.txt", 0 });
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    PumpUntilFinished();
    const State& s = *m_pcoState;
    EXPECT_EQ(s.GetBarState(), State::BarFailed);
    EXPECT_EQ(s.BarText(), "100 %, 1 failed");
    EXPECT_EQ(s.BarFillColour(), State::ColourFailed);
    EXPECT_NE(s.GetSummary().find("failed: 1,"), std::string::npos) << s.GetSummary();
    std::string strFailed;
    for (long i = 0; i < s.LineCount(); ++i)
        if (s.LineColour(i) == State::ColourFailed)
            strFailed += s.Line(i);
    EXPECT_EQ(strFailed.rfind("Copying ", 0), 0u);
    EXPECT_NE(strFailed.find("a.txt ... failed !"), std::string::npos) << strFailed;
}

// A trial run lists what would be done and changes nothing; the copy may
// follow it in the same window.
TEST_F(KwFileSelProgressStateTest, AListOnlyRunChangesNothingAndLeadsToTheCopy)
{
    ASSERT_EQ(m_pcoState->PressListOnly(), 1);
    PumpUntilFinished();
    const State& s = *m_pcoState;
    EXPECT_EQ(Buttons(s), "SX");
    EXPECT_TRUE(s.WasListOnly());
    EXPECT_EQ(s.Line(0).rfind("List only (nothing is changed). Options: ", 0), 0u) << s.Line(0);
    long lListed = 0;
    for (long i = 0; i < s.LineCount(); ++i)
        lListed += s.Line(i).find(" ... listed") != std::string::npos;
    EXPECT_EQ(lListed, 16) << "eight entries, each copied and given its rights";
    EXPECT_FALSE(std::filesystem::exists(At("dst/src")));

    ASSERT_EQ(m_pcoState->PressStart(), 1);
    PumpUntilFinished();
    EXPECT_EQ(Buttons(s), "X");
    EXPECT_FALSE(s.WasListOnly());
    EXPECT_EQ(s.Line(0).rfind("Options: ", 0), 0u) << s.Line(0);
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/a.txt")), "aaa");
}

TEST_F(KwFileSelProgressStateTest, AClosingRequestDuringARunCancelsItAndClosesOnlyWhenFinished)
{
    StartHeldRun();
    EXPECT_EQ(m_pcoState->RequestClose(), 0);
    EXPECT_EQ(m_pcoState->GetPhase(), State::Cancelling);
    EXPECT_EQ(Buttons(*m_pcoState), "");
    EXPECT_EQ(m_pcoState->BarFillColour(), State::ColourBar);
    EXPECT_EQ(m_pcoState->RequestClose(), 0);
    PumpUntilFinished();
    EXPECT_EQ(m_pcoState->RequestClose(), 1);
    EXPECT_EQ(m_pcoState->GetBarState(), State::BarCanceled);
    EXPECT_LT(m_pcoState->GetPercent(), 100);
    EXPECT_EQ(m_pcoState->BarText(), "Canceled at " + std::to_string(m_pcoState->GetPercent()) + " %");
    const long lLast = m_pcoState->LineCount() - 1;
    EXPECT_EQ(m_pcoState->Line(lLast), m_pcoState->GetSummary());
    EXPECT_EQ(m_pcoState->Line(lLast - 1), "Canceled by User");
    EXPECT_EQ(m_pcoState->LineColour(lLast - 1), State::ColourFailed);
}

TEST_F(KwFileSelProgressStateTest, DestroyingTheStateDuringARunCancelsAndWaitsForTheWorker)
{
    StartHeldRun();
    m_pcoState.reset();
    EXPECT_TRUE(m_pcoEngine->IsCanceled());
    EXPECT_FALSE(m_pcoEngine->IsRunning());
}

TEST_F(KwFileSelProgressStateTest, SpeedAndTimeLeftFollowTheBytesWrittenSinceStart)
{
    const State::Clock::time_point t0 = State::Clock::now();
    ASSERT_EQ(m_pcoState->PressStart(t0), 1);
    // Records made by hand; the engine's own stay queued.
    EXPECT_EQ(m_pcoState->SpeedText(), "-, time left unknown");
    KwCopyRecord coRecord(KwCopyRecord::Progress, -1, std::string(), KwCopyRecord::None, 25);
    coRecord.SetCounts(KwCopyCounts { 5u << 20, 20u << 20, 3, 10 });
    m_pcoState->Apply(coRecord, t0 + 5s);
    EXPECT_EQ(m_pcoState->SpeedText(), "1.0 MB/s, 0:15 left");
    // The bar never goes back.
    KwCopyRecord coBack(KwCopyRecord::Progress, -1, std::string(), KwCopyRecord::None, 20);
    coBack.SetCounts(coRecord.GetCounts());
    m_pcoState->Apply(coBack, t0 + 9s);
    EXPECT_EQ(m_pcoState->GetPercent(), 25);
    EXPECT_EQ(m_pcoState->SecondsLeft(), 15);
}

TEST(KwFileSelProgressTextTest, ColoursBytesAndDurations)
{
    const int s_anColours[] = { 2, 18, 12, 18, 12, 18, 18, 12, 12 };    // in the order of the outcomes
    for (int n = KwCopyRecord::None; n <= KwCopyRecord::Fatal; ++n)
        EXPECT_EQ(State::ColourOf(static_cast<KwCopyRecord::Outcome>(n)), s_anColours[n]) << n;
    EXPECT_EQ(State::BytesText(1023), "1023 bytes");
    EXPECT_EQ(State::BytesText(~0ull), "16777216.0 TB");
    EXPECT_EQ(State::DurationText(-5), "0:00");
    EXPECT_EQ(State::DurationText(3723), "1:02:03");
}

TEST_F(KwFileSelProgressStateTest, TheLogHoldsEveryLineAndReplacesAnOldOneOnlyWhenWritten)
{
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    PumpUntilFinished();
    const std::string strLog = At("copy.log");
    kwtest::WriteFileBytes(strLog, "old log");
    std::string strError;
    ASSERT_EQ(m_pcoState->SaveLog(strLog, strError), 1) << strError;
    std::string strExpected;
    for (long i = 0; i < m_pcoState->LineCount(); ++i)
        strExpected += m_pcoState->Line(i) + "\r\n";
    EXPECT_EQ(kwtest::ReadFileBytes(strLog), strExpected);
    EXPECT_FALSE(std::filesystem::exists(strLog + ".kwtmp"));
    EXPECT_EQ(m_pcoState->SaveLog(At("missing/copy.log"), strError), 0);
    EXPECT_NE(strError.find("cannot create"), std::string::npos) << strError;
}

// The options as a profile section keeps them: what is written reads back;
// missing keys and values of no meaning leave an option as it was.
TEST(KwFileSelCopySettingsTest, OptionsGoThroughTheProfileAndAreStatedInWords)
{
    std::map<std::string, std::string> coSection;
    const auto Read = [&](const char* pszKey) { return coSection.count(pszKey) ? coSection[pszKey] : std::string(); };
    const auto Write = [&](const char* pszKey, const char* pszValue) { coSection[pszKey] = pszValue; return 1; };
    KwCopyOptions coChosen;
    coChosen.m_eSecurity = KwCopyOptions::SecurityDaclGroup;
    coChosen.m_nOwner = 1;
    coChosen.m_eExisting = KwCopyOptions::SkipNewer;
    coChosen.m_nVerify = 1;
    coChosen.m_nWorkers = 6;
    ASSERT_EQ(KwFileSelCopySettings::Write(coChosen, Write), 1);
    EXPECT_EQ(coSection, (std::map<std::string, std::string> { { "CopyRights", "dacl" }, { "CopyOwner", "1" },
                                                               { "ExistingFiles", "older" }, { "Verify", "1" }, { "Workers", "6" } }));
    KwCopyOptions coRead;
    KwFileSelCopySettings::Read(Read, coRead);
    EXPECT_EQ(KwFileSelCopySettings::Describe(coRead), KwFileSelCopySettings::Describe(coChosen));
    EXPECT_EQ(KwFileSelCopySettings::Describe(coRead),
              "Options: rights: DACL and group; owner: yes; existing files: replace only when older; verify: bytes and rights; "
              "files at once: 6");

    coSection = { { "CopyRights", "NONE" }, { "CopyOwner", "yes" }, { "ExistingFiles", "skip " }, { "Workers", "four" } };
    KwFileSelCopySettings::Read(Read, coRead);
    EXPECT_EQ(coRead.m_eSecurity, KwCopyOptions::SecurityNone);
    EXPECT_EQ(coRead.m_nOwner, 1) << "a value of no meaning leaves the option";
    EXPECT_EQ(coRead.m_eExisting, KwCopyOptions::SkipNewer);
    EXPECT_EQ(coRead.m_nWorkers, 6);
    coRead.m_eExisting = KwCopyOptions::SkipExisting;
    coRead.m_nVerify = 0;
    coRead.m_nListOnly = 1;
    coRead.m_nWorkers = 0;
    EXPECT_EQ(KwFileSelCopySettings::Describe(coRead), "List only (nothing is changed). Options: rights: none (the target's "
                                                       "inherited ones); owner: no; existing files: skip; verify: no; files at once: "
                                                           + std::to_string(KwCopyOptions::WorkersFor(0)) + " (one per processor)");
    // Workers: digits only, blanks around, at most 64; else unchanged.
    const std::pair<const char*, int> aWorkers[] = { { "0", 0 }, { " 12 ", 12 }, { "64", 64 }, { "65", 64 }, { "99999999999", 64 },
                                                     { "", 3 }, { "  ", 3 }, { "-1", 3 }, { "4x", 3 }, { "1 2", 3 } };
    for (const auto& coCase : aWorkers)
        EXPECT_EQ(KwFileSelCopySettings::WorkersOf(coCase.first, 3), coCase.second) << '"' << coCase.first << '"';
    EXPECT_EQ(KwFileSelCopySettings::Write(coRead, [](const char*, const char*) { return 0; }), 0);

    std::tm coTime {};
    coTime.tm_year = 126;
    coTime.tm_mon = 0;
    coTime.tm_mday = 5;
    coTime.tm_hour = 9;
    coTime.tm_min = 7;
    coTime.tm_sec = 3;
    EXPECT_EQ(KwFileSelCopySettings::LogFileName("Gandrel", coTime), "gandrel-20260105-090703.log");
}
