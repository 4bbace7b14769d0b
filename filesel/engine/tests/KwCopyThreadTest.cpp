#include "KwCopyRunTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

using kwtest::TOutput;

namespace {

KwCopyRecord Line(long lLine)
{
    return KwCopyRecord(KwCopyRecord::LineAdded, lLine, "line " + std::to_string(lLine), KwCopyRecord::Info);
}

KwCopyRecord Progress(int nPercent)
{
    return KwCopyRecord(KwCopyRecord::Progress, -1, std::string(), KwCopyRecord::None, nPercent);
}

void CountNotify(void* pvCount)
{
    static_cast<std::atomic<int>*>(pvCount)->fetch_add(1);
}

} // namespace

TEST(KwCopyQueueTest, ProgressIsFoldedAndAWorkerFarAheadWaitsUntilReleased)
{
    KwCopyQueue coQueue;
    for (int n = 0; n <= 100; ++n)
        coQueue.Push(Progress(n));
    std::vector<KwCopyRecord> vecRecords;
    ASSERT_EQ(coQueue.Drain(vecRecords), 1u);
    EXPECT_EQ(vecRecords[0].GetPercent(), 100);

    std::atomic<long> lPushed { 0 };
    std::thread coWorker([&] {
        for (long i = 0; i < static_cast<long>(KwCopyQueue::Limit) + 10; ++i, ++lPushed)
            coQueue.Push(Line(i));
    });
    while (lPushed.load() < static_cast<long>(KwCopyQueue::Limit))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(lPushed.load(), static_cast<long>(KwCopyQueue::Limit));
    coQueue.Release();
    coWorker.join();
    vecRecords.clear();
    EXPECT_EQ(coQueue.Drain(vecRecords), KwCopyQueue::Limit + 10);
}

TEST(KwCopyQueueTest, TheLastRecordWakesAWaitingReaderAtOnce)
{
    // Lines close together wake a waiting reader at most every interval;
    // the Finished record never waits for the next one.
    KwCopyQueue coQueue;
    coQueue.Push(Line(0));
    std::vector<KwCopyRecord> vecRecords;
    ASSERT_EQ(coQueue.Drain(vecRecords), 1u);
    std::thread coWorker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        coQueue.Push(KwCopyRecord(KwCopyRecord::Finished, -1, std::string(), KwCopyRecord::None));
    });
    const auto coStart = std::chrono::steady_clock::now();
    EXPECT_EQ(coQueue.Wait(20000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - coStart, std::chrono::seconds(10));
    coWorker.join();
}

TEST(KwCopyPoolTest, EveryItemIsWorkedOnOnceAndTheFeederNeverRunsFarAhead)
{
    for (int nWorkers : { 1, 4 }) {
        std::vector<std::vector<long>> vecDone(static_cast<size_t>(nWorkers));
        std::atomic<long> lStarted { 0 };
        std::atomic<long> lFinished { 0 };
        long lAheadMost = 0;
        {
            KwCopyPool coPool(nWorkers, [&](long lItem, int nWorker) {
                ++lStarted;
                if (lItem % 50 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                vecDone.at(static_cast<size_t>(nWorker)).push_back(lItem);
                ++lFinished;
            });
            EXPECT_EQ(coPool.WorkerCount(), nWorkers);
            for (long i = 0; i < 1000; ++i) {
                coPool.Push(i);
                lAheadMost = std::max(lAheadMost, i + 1 - lStarted.load());
            }
            coPool.Wait();
            EXPECT_EQ(lFinished.load(), 1000);
            // Items pushed after Wait are finished before the pool ends.
            coPool.Push(1000);
        }
        std::vector<long> vecAll;
        for (const std::vector<long>& vecOne : vecDone) {
            // Each worker takes its items in the order pushed.
            EXPECT_TRUE(std::is_sorted(vecOne.begin(), vecOne.end()));
            vecAll.insert(vecAll.end(), vecOne.begin(), vecOne.end());
        }
        std::sort(vecAll.begin(), vecAll.end());
        ASSERT_EQ(vecAll.size(), 1001u);
        for (long i = 0; i <= 1000; ++i)
            EXPECT_EQ(vecAll[static_cast<size_t>(i)], i);
        // At most four waiting per worker, and the ones in their hands.
        EXPECT_LE(lAheadMost, 5L * nWorkers);
    }
}

// Every test runs with one worker and with four.
class KwCopyThreadTest : public kwtest::TCopyRunTest, public ::testing::WithParamInterface<int> {
protected:
    int Workers() const override { return GetParam(); }

    // Takes the records of a run started with Start() as they come, on
    // this thread, until Finished.
    TOutput Read()
    {
        TOutput coOutput;
        std::vector<KwCopyRecord> vecRecords;
        while (!coOutput.m_nFinished) {
            m_pcoEngine->Queue().Wait(1000);
            vecRecords.clear();
            m_nBatches += m_pcoEngine->Queue().Drain(vecRecords) > 0;
            for (const KwCopyRecord& coRecord : vecRecords)
                coOutput.Take(coRecord);
        }
        m_pcoEngine->WaitUntilEnded();
        return coOutput;
    }

    int m_nBatches { 0 };
};

INSTANTIATE_TEST_SUITE_P(Workers, KwCopyThreadTest, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& coInfo) { return std::to_string(coInfo.param); });

TEST_P(KwCopyThreadTest, TheWorkerThreadDeliversTheLinesOfAOneWorkerRunOnTheCallersThread)
{
    m_pcoEngine->Options().m_nWorkers = 1;
    const TOutput coDirect = Run();
    TearDown();
    SetUp();
    std::atomic<int> nNotified { 0 };
    m_pcoEngine->Queue().SetNotify(CountNotify, &nNotified);
    ASSERT_EQ(m_pcoEngine->Start(), 1);
    EXPECT_EQ(m_pcoEngine->Start(), 0);
    EXPECT_EQ(m_pcoEngine->SetPathTo("elsewhere"), 0);
    const TOutput coThreaded = Read();
    // One notification for each batch that arrived in an empty queue.
    EXPECT_GE(nNotified.load(), 1);
    EXPECT_LE(nNotified.load(), m_nBatches);
    // All but the summary's time; with several workers in another order.
    if (Workers() == 1) {
        EXPECT_EQ(std::vector<std::string>(coThreaded.m_vecLines.begin(), coThreaded.m_vecLines.end() - 1),
                  std::vector<std::string>(coDirect.m_vecLines.begin(), coDirect.m_vecLines.end() - 1));
    }
    EXPECT_EQ(Sorted(coThreaded), Sorted(coDirect));
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/Gamma/c.bin")), Pattern(100000));
}

TEST_P(KwCopyThreadTest, DestroyingTheEngineCancelsTheRunAndWaitsForIt)
{
    m_pcoEngine->Options().m_ulPieceSize = 20000;
    std::atomic<int> nReads { 0 };
    m_pcoFs->m_fnOnRead = [&](const std::string& strPath) {
        if (strPath.find("c.bin") == std::string::npos)
            return;
        ++nReads;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    ASSERT_EQ(m_pcoEngine->Start(), 1);
    while (nReads.load() < 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // c.bin is being written: under a temporary name only.
    const std::string strGamma = At("dst/src/Alpha/Gamma");
    int nTemporary = 0;
    for (const auto& coEntry : std::filesystem::directory_iterator(strGamma))
        nTemporary += KwFileTransfer::IsTemporaryName(coEntry.path().filename().string());
    EXPECT_EQ(nTemporary, 1);
    EXPECT_FALSE(std::filesystem::exists(At("dst/src/Alpha/Gamma/c.bin")));
    const auto coStart = std::chrono::steady_clock::now();
    m_pcoEngine.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - coStart, std::chrono::seconds(5));
    EXPECT_LT(nReads.load(), 5);
    // The file in progress is gone, under every name.
    EXPECT_TRUE(std::filesystem::is_empty(strGamma));
}

TEST_P(KwCopyThreadTest, CancelledAmongFailuresEveryLineIsWholeEveryCountRightAndNoPartStays)
{
    // 120 files in three directories, every seventh failing as it is
    // read; the run is cancelled when a third of the files are done.
    for (int d = 0; d < 3; ++d) {
        std::filesystem::create_directories(At("src/many" + std::to_string(d)));
        for (int f = 0; f < 40; ++f) {
            const std::string strFile = "src/many" + std::to_string(d) + "/f" + std::to_string(f) + ".dat";
            kwtest::WriteFileBytes(At(strFile), Pattern(static_cast<size_t>(1000 + 997 * f)));
            if ((d * 40 + f) % 7 == 0)
                m_pcoFs->m_coFaults.Add({ "Read", "/" + strFile, 0, 5 });
        }
    }
    std::atomic<int> nWritten { 0 };
    m_pcoFs->m_fnAfter = [&](const std::string& strCall, const std::string&) {
        if (strCall == "Commit" && ++nWritten == 40)
            m_pcoEngine->Cancel();
    };
    ASSERT_EQ(m_pcoEngine->Start(), 1);
    const TOutput coOutput = Read();
    const KwCopySummary& coSummary = m_pcoEngine->GetSummary();
    EXPECT_TRUE(coSummary.m_nCanceled);
    long lCopied = 0;
    long lFailed = 0;
    for (const std::string& strLine : coOutput.m_vecLines) {
        if (strLine.rfind("Copying ", 0) != 0 && strLine.rfind("Creating Directory ", 0) != 0)
            continue;
        // Whole: every line that began has its outcome.
        EXPECT_EQ(strLine.find(" ... ") + 5 < strLine.size(), true) << strLine;
        lCopied += strLine.compare(strLine.size() - 2, 2, "ok") == 0;
        lFailed += strLine.find(" ... failed !") != std::string::npos;
    }
    EXPECT_EQ(coSummary.m_lCopied, lCopied);
    EXPECT_EQ(coSummary.m_lFailed, lFailed);
    EXPECT_EQ(coOutput.Count("Assigning Rights "), lCopied);
    EXPECT_LT(lCopied, 120);
    ExpectSafeTarget();
    ExpectNoTemporaryFiles();
}

TEST_P(KwCopyThreadTest, WithThePlatformsOwnCallsTheWorkersCopyEveryByte)
{
    // No fake between the engine and the system: its calls run side by side.
    for (int f = 0; f < 60; ++f)
        kwtest::WriteFileBytes(At("src/f" + std::to_string(f) + ".dat"), Pattern(static_cast<size_t>(100 + 1511 * f)));
    KwCopyEngine coEngine;
    coEngine.Options().m_nWorkers = Workers();
    coEngine.Options().m_nVerify = 1;
    coEngine.SetPathFrom(At("src").c_str());
    coEngine.SetPathTo(At("platform").c_str());
    coEngine.DoCopy(nullptr);
    EXPECT_EQ(coEngine.GetSummary().m_lFailed, 0);
    EXPECT_EQ(coEngine.GetSummary().m_lFiles, 64);
    for (int f = 0; f < 60; ++f)
        EXPECT_EQ(kwtest::ReadFileBytes(At("platform/src/f" + std::to_string(f) + ".dat")), Pattern(static_cast<size_t>(100 + 1511 * f)));
}
