#include "KwCopyRunTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

class KwCopyThreadTest : public kwtest::TCopyRunTest {
};

TEST_F(KwCopyThreadTest, TheWorkerThreadDeliversWhatACallOnTheCallersThreadDelivers)
{
    const TOutput coDirect = Run();
    TearDown();
    SetUp();
    std::atomic<int> nNotified { 0 };
    m_pcoEngine->Queue().SetNotify(CountNotify, &nNotified);
    ASSERT_EQ(m_pcoEngine->Start(), 1);
    EXPECT_EQ(m_pcoEngine->Start(), 0);
    EXPECT_EQ(m_pcoEngine->SetPathTo("elsewhere"), 0);
    TOutput coThreaded;
    std::vector<KwCopyRecord> vecRecords;
    int nBatches = 0;
    while (!coThreaded.m_nFinished) {
        m_pcoEngine->Queue().Wait(1000);
        vecRecords.clear();
        nBatches += m_pcoEngine->Queue().Drain(vecRecords) > 0;
        for (const KwCopyRecord& coRecord : vecRecords)
            coThreaded.Take(coRecord);
    }
    m_pcoEngine->WaitUntilEnded();
    // One notification for each batch that arrived in an empty queue.
    EXPECT_GE(nNotified.load(), 1);
    EXPECT_LE(nNotified.load(), nBatches);
    // All but the summary's time.
    EXPECT_EQ(std::vector<std::string>(coThreaded.m_vecLines.begin(), coThreaded.m_vecLines.end() - 1),
              std::vector<std::string>(coDirect.m_vecLines.begin(), coDirect.m_vecLines.end() - 1));
    EXPECT_EQ(kwtest::ReadFileBytes(At("dst/src/Alpha/Gamma/c.bin")), Pattern(100000));
}

TEST_F(KwCopyThreadTest, DestroyingTheEngineCancelsTheRunAndWaitsForIt)
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
