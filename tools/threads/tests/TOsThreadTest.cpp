#include "KwTestTools.h"
#include "TOsThread.h"
#include "TString.h"
#if defined(_WIN32)
#include "TOsThreadWinNT.h"
#else
#include "TOsThreadPosix.h"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

#if defined(_WIN32)
using TPlatformThread = TOsThreadWinNT;
#else
using TPlatformThread = TOsThreadPosix;
#endif

using kwtest::WaitFor;

// A handler object whose handlers report what they saw.
class TWorker : public TDynBase {
public:
    void Quick(TOsThread*) {}

    // Runs until it is cancelled (or released), then lingers a little so
    // that a waiting destructor really has to wait.
    void UntilCancelled(TOsThread* pcoThread)
    {
        m_nStarted.store(1);
        while (!pcoThread->IsCancelRequest() && !m_nRelease.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_nSawCancel.store(pcoThread->IsCancelRequest());
        std::this_thread::sleep_for(std::chrono::milliseconds(m_nLingerMs));
        if (m_pnDone)
            m_pnDone->store(1);
    }

    std::atomic<int> m_nStarted { 0 };
    std::atomic<int> m_nRelease { 0 };
    std::atomic<int> m_nSawCancel { 0 };
    int m_nLingerMs { 0 };
    std::atomic<int>* m_pnDone { nullptr };   // not owned; outlives this object
};

const TOsThread::Handler s_pfnQuick = KwThreadHandler(&TWorker::Quick);
const TOsThread::Handler s_pfnUntilCancelled = KwThreadHandler(&TWorker::UntilCancelled);

// Flags that outlive the objects of the tests below.
std::atomic<int> s_nOwnerDestroyed { 0 };
std::atomic<int> s_nHandlerReturned { 0 };

// An owner that embeds its thread, the way the library's classes do.
class TOwner : public TWorker {
public:
    TOwner() = default;
    ~TOwner() override { s_nOwnerDestroyed.store(1); }

    // Deletes its owner from inside the handler, as an event handler on
    // the worker thread may do; touches nothing of it afterwards.
    void DeleteSelf(TOsThread*)
    {
        m_nStarted.store(1);
        while (!m_nRelease.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete this;
        s_nHandlerReturned.store(1);
    }

    TThreadPtr m_coThread { this, s_pfnUntilCancelled };
};

} // namespace

TEST(TOsThread, StartsCancelsAndForgetsAHandlerObjectThatDiedFirst)
{
    auto pcoWorker = std::make_unique<TWorker>();
    TPlatformThread coThread(pcoWorker.get(), s_pfnUntilCancelled);
    EXPECT_EQ(0, coThread.Cancel() + coThread.IsCancelRequest());

    ASSERT_EQ(1, coThread.Start());
    ASSERT_TRUE(WaitFor([&] { return pcoWorker->m_nStarted.load() == 1; }));
    // Running: a second start and a new binding are refused; cancelling twice is fine.
    EXPECT_EQ(std::vector<long>({ coThread.IsRunning(), coThread.Start(), static_cast<long>(coThread.GetStartCount()),
                                  coThread.InitHandlerObject(pcoWorker.get(), s_pfnQuick), coThread.Cancel(),
                                  coThread.Cancel() }),
              std::vector<long>({ 1, 0, 1, 0, 1, 1 }));
    ASSERT_TRUE(WaitFor([&] { return !coThread.IsRunning(); }));
    EXPECT_EQ(1, pcoWorker->m_nSawCancel.load());
    // The request ends with the thread; a new start begins without one.
    EXPECT_EQ(0, coThread.IsCancelRequest() + coThread.Cancel() + coThread.IsCancelRequest());
    pcoWorker->m_nRelease.store(1);
    ASSERT_EQ(1, coThread.Start());
    ASSERT_TRUE(WaitFor([&] { return !coThread.IsRunning(); }));
    EXPECT_EQ(0, pcoWorker->m_nSawCancel.load());

    // A handler object that dies first is forgotten; a later start does nothing.
    pcoWorker.reset();
    EXPECT_EQ(nullptr, coThread.GetThreadObject());
    EXPECT_EQ(nullptr, coThread.GetThreadHandler());
    EXPECT_EQ(0, coThread.Start());
    EXPECT_EQ(2u, coThread.GetStartCount());
    // Rebinding moves the watch from one object to the next.
    TWorker coOther;
    EXPECT_EQ(1, coThread.InitHandlerObject(&coOther, s_pfnQuick));
    auto pcoThird = std::make_unique<TWorker>();
    EXPECT_EQ(1, coThread.InitHandlerObject(pcoThird.get(), s_pfnQuick));
    pcoThird.reset();
    EXPECT_EQ(nullptr, coThread.GetThreadObject());
    // A thread object that dies first withdraws its watch (the sanitizers
    // would catch a call into the dead thread object).
    {
        TPlatformThread coShortLived(&coOther, s_pfnQuick);
    }
}

// Deleting the owner that holds a running thread cancels the thread and
// waits for its handler, unless the handler itself deletes the owner.
TEST(TThreadPtr, DeletingTheOwnerWaitsForTheHandlerUnlessTheHandlerDeletesIt)
{
    std::atomic<int> nDone { 0 };
    auto pcoOwner = std::make_unique<TOwner>();
    pcoOwner->m_nLingerMs = 150;
    pcoOwner->m_pnDone = &nDone;
    ASSERT_EQ(1, pcoOwner->m_coThread->Start());
    ASSERT_TRUE(WaitFor([&] { return pcoOwner->m_nStarted.load() == 1; }));
    pcoOwner.reset();
    EXPECT_EQ(1, nDone.load());

    s_nOwnerDestroyed.store(0);
    s_nHandlerReturned.store(0);
    TOwner* pcoSelfDeleting = new TOwner;
    pcoSelfDeleting->m_coThread = TThreadPtr(pcoSelfDeleting, KwThreadHandler(&TOwner::DeleteSelf));
    ASSERT_EQ(1, pcoSelfDeleting->m_coThread->Start());
    ASSERT_TRUE(WaitFor([&] { return pcoSelfDeleting->m_nStarted.load() == 1; }));
    pcoSelfDeleting->m_nRelease.store(1);
    ASSERT_TRUE(WaitFor([] { return s_nHandlerReturned.load() == 1; }));
    EXPECT_EQ(1, s_nOwnerDestroyed.load());
}

namespace {

std::atomic<int> s_nStringErrors { 0 };

void CountStringError(int) { ++s_nStringErrors; }

} // namespace

// Copies of one string on two threads share its block: taking and dropping
// copies on both at once must leave the count exact. A lost update shows as
// a count released below zero (or a block freed while in use), or as a
// block still shared at the end, which the first write then copies; and as
// a race under the thread checker.
TEST(TStringAcrossThreads, CopiesOnTwoThreadsKeepTheSharedCountExact)
{
    TString coShared("a command line both threads read");
    const auto fnCopyMany = [](TString coOwn) {
        for (int i = 0; i < 200000; ++i) {
            TString coCopy(coOwn);
            TString coAssigned;
            coAssigned = coCopy;
        }
    };
    auto* pfnPrevious = TString::GetErrorHandler();
    TString::SetErrorHandler(CountStringError);
    std::thread coFirst(fnCopyMany, coShared);
    std::thread coSecond(fnCopyMany, coShared);
    coFirst.join();
    coSecond.join();
    TString::SetErrorHandler(pfnPrevious);
    EXPECT_EQ(s_nStringErrors.load(), 0);
    const char* pszBefore = coShared;
    EXPECT_EQ(static_cast<char*>(coShared), pszBefore);   // the only user writes in place
}
