#include "KwCopyRunTest.h"
#include "KwFileSelProgressState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using State = KwFileSelProgressState;

namespace {

struct TButtons {
    int m_nStart, m_nCancel, m_nClose;
    bool operator==(const TButtons& o) const { return m_nStart == o.m_nStart && m_nCancel == o.m_nCancel && m_nClose == o.m_nClose; }
};

std::ostream& operator<<(std::ostream& os, const TButtons& b)
{
    return os << "start " << b.m_nStart << " cancel " << b.m_nCancel << " close " << b.m_nClose;
}

TButtons Buttons(const State& coState)
{
    return { coState.CanStart(), coState.CanCancel(), coState.CanClose() };
}

KwCopyRecord ProgressRecord(int nPercent, uint64_t ullDone, uint64_t ullAll, long lDone, long lAll)
{
    KwCopyRecord coRecord(KwCopyRecord::Progress, -1, std::string(), KwCopyRecord::None, nPercent);
    coRecord.SetCounts(KwCopyCounts { ullDone, ullAll, lDone, lAll });
    return coRecord;
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

    // Holds the worker at its first read of a source piece until the run is
    // cancelled (or ten seconds have passed); m_nHeld says it got there.
    void HoldWorkerUntilCanceled()
    {
        m_pcoFs->m_fnOnRead = [this](const std::string&) {
            m_nHeld = 1;
            for (int i = 0; i < 10000 && !m_pcoEngine->IsCanceled(); ++i)
                std::this_thread::sleep_for(1ms);
        };
    }
    void WaitUntilHeld()
    {
        for (int i = 0; i < 10000 && !m_nHeld; ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(m_nHeld);
    }

    std::unique_ptr<State> m_pcoState;
    std::atomic<int> m_nHeld { 0 };
};

TEST_F(KwFileSelProgressStateTest, ATreeRunGoesFromReadyToFinishedWithEveryLineCountAndTheSummary)
{
    // The engine's own run on the caller's thread, for comparison.
    m_pcoState.reset();
    const kwtest::TOutput coDirect = Run();
    TearDown();
    SetUp();

    EXPECT_EQ(Buttons(*m_pcoState), (TButtons { 1, 0, 1 }));
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    EXPECT_EQ(Buttons(*m_pcoState), (TButtons { 0, 1, 0 }));
    EXPECT_EQ(m_pcoState->PressStart(), 0);
    PumpUntilFinished();
    EXPECT_EQ(Buttons(*m_pcoState), (TButtons { 0, 0, 1 }));
    EXPECT_EQ(m_pcoState->PressStart(), 0);

    const State& s = *m_pcoState;
    ASSERT_EQ(s.LineCount(), static_cast<long>(coDirect.m_vecLines.size()));
    for (long i = 0; i + 1 < s.LineCount(); ++i) {
        EXPECT_EQ(s.Line(i), coDirect.m_vecLines[static_cast<size_t>(i)]);
        EXPECT_EQ(s.LineColour(i), State::ColourOk) << s.Line(i);
    }
    EXPECT_EQ(s.GetSummary(), s.Line(s.LineCount() - 1));
    EXPECT_EQ(s.GetSummary().rfind("Directories: 4, files: 4, bytes: 100007,", 0), 0u) << s.GetSummary();
    EXPECT_EQ(s.Line(s.LineCount() - 2), "Ready. ");
    EXPECT_EQ(s.GetPercent(), 100);
    EXPECT_EQ(s.GetBarState(), State::BarDone);
    EXPECT_EQ(s.BarText(), "100 %");
    EXPECT_EQ(s.BarFillColour(), State::ColourBar);
    EXPECT_EQ(s.GetCounts().m_ullBytesDone, 100007u);
    EXPECT_EQ(s.GetCounts().m_ullBytesAll, 100007u);
    EXPECT_EQ(s.GetCounts().m_lEntriesAll, 8);
    EXPECT_EQ(s.GetCounts().m_lEntriesDone, 8);
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
    EXPECT_EQ(s.GetResult().m_lFailed, 1);
    EXPECT_EQ(s.BarText(), "100 %, 1 failed");
    EXPECT_EQ(s.BarFillColour(), State::ColourFailed);
    EXPECT_EQ(s.GetSummary().find("failed: 1,") != std::string::npos, true) << s.GetSummary();
    int nFailedLines = 0;
    for (long i = 0; i < s.LineCount(); ++i)
        if (s.LineOutcome(i) == KwCopyRecord::Failed) {
            ++nFailedLines;
            EXPECT_EQ(s.LineColour(i), State::ColourFailed);
            EXPECT_NE(s.Line(i).find("a.txt ... failed !"), std::string::npos) << s.Line(i);
        }
    EXPECT_EQ(nFailedLines, 1);
}

TEST_F(KwFileSelProgressStateTest, AClosingRequestDuringARunCancelsItAndClosesOnlyWhenFinished)
{
    HoldWorkerUntilCanceled();
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    WaitUntilHeld();
    EXPECT_EQ(m_pcoState->RequestClose(), 0);
    EXPECT_EQ(m_pcoState->GetPhase(), State::Cancelling);
    EXPECT_EQ(Buttons(*m_pcoState), (TButtons { 0, 0, 0 }));
    EXPECT_EQ(m_pcoState->BarFillColour(), State::ColourBar);
    EXPECT_EQ(m_pcoState->RequestClose(), 0);
    PumpUntilFinished();
    EXPECT_EQ(m_pcoState->RequestClose(), 1);
    EXPECT_EQ(m_pcoState->GetBarState(), State::BarCanceled);
    EXPECT_EQ(m_pcoState->BarFillColour(), State::ColourFailed);
    EXPECT_LT(m_pcoState->GetPercent(), 100);
    EXPECT_EQ(m_pcoState->BarText(), "Canceled at " + std::to_string(m_pcoState->GetPercent()) + " %");
    const long lLast = m_pcoState->LineCount() - 1;
    EXPECT_EQ(m_pcoState->Line(lLast), m_pcoState->GetSummary());
    EXPECT_EQ(m_pcoState->Line(lLast - 1), "Canceled by User");
    EXPECT_EQ(m_pcoState->LineColour(lLast - 1), State::ColourFailed);
}

TEST_F(KwFileSelProgressStateTest, DestroyingTheStateDuringARunCancelsAndWaitsForTheWorker)
{
    HoldWorkerUntilCanceled();
    ASSERT_EQ(m_pcoState->PressStart(), 1);
    WaitUntilHeld();
    m_pcoState.reset();
    EXPECT_TRUE(m_pcoEngine->IsCanceled());
    EXPECT_FALSE(m_pcoEngine->IsRunning());
}

TEST_F(KwFileSelProgressStateTest, SpeedAndTimeLeftFollowTheBytesWrittenSinceStart)
{
    const State::Clock::time_point t0 = State::Clock::now();
    ASSERT_EQ(m_pcoState->PressStart(t0), 1);
    // Records made by hand; the engine's own stay queued.
    EXPECT_EQ(m_pcoState->SecondsLeft(), -1);
    EXPECT_EQ(m_pcoState->SpeedText(), "-, time left unknown");
    m_pcoState->Apply(ProgressRecord(25, 5u << 20, 20u << 20, 3, 10), t0 + 5s);
    EXPECT_DOUBLE_EQ(m_pcoState->BytesPerSecond(), 1048576.0);
    EXPECT_EQ(m_pcoState->SecondsLeft(), 15);
    EXPECT_EQ(m_pcoState->SpeedText(), "1.0 MB/s, 0:15 left");
    // The bar never goes back; the counts are the latest.
    m_pcoState->Apply(ProgressRecord(20, 5u << 20, 20u << 20, 4, 10), t0 + 9s);
    EXPECT_EQ(m_pcoState->GetPercent(), 25);
    EXPECT_EQ(m_pcoState->GetCounts().m_lEntriesDone, 4);
    EXPECT_EQ(m_pcoState->SecondsLeft(), 15);
}

TEST(KwFileSelProgressTextTest, ColoursBytesAndDurations)
{
    const struct {
        KwCopyRecord::Outcome m_eOutcome;
        int m_nColour;
    } s_aColours[] = {
        { KwCopyRecord::None, 2 },    { KwCopyRecord::Ok, 18 },      { KwCopyRecord::Skipped, 18 },
        { KwCopyRecord::Listed, 18 }, { KwCopyRecord::Info, 18 },    { KwCopyRecord::Failed, 12 },
        { KwCopyRecord::Canceled, 12 }, { KwCopyRecord::Warning, 12 }, { KwCopyRecord::Fatal, 12 },
    };
    for (const auto& c : s_aColours)
        EXPECT_EQ(State::ColourOf(c.m_eOutcome), c.m_nColour) << int(c.m_eOutcome);
    EXPECT_EQ(State::BytesText(0), "0 bytes");
    EXPECT_EQ(State::BytesText(1023), "1023 bytes");
    EXPECT_EQ(State::BytesText(1024), "1.0 KB");
    EXPECT_EQ(State::BytesText(3ull << 30), "3.0 GB");
    EXPECT_EQ(State::BytesText(~0ull), "16777216.0 TB");
    EXPECT_EQ(State::DurationText(-5), "0:00");
    EXPECT_EQ(State::DurationText(59), "0:59");
    EXPECT_EQ(State::DurationText(3599), "59:59");
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
    EXPECT_FALSE(std::filesystem::exists(At("missing")));
}
