#include "KwTestTools.h"
#include "TOpSystem.h"
#include "TOsThread.h"
#include "TString.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using kwtest::WaitFor;

// Counts that outlive the objects of the tests below: a handler has returned; a string error was reported.
std::atomic<int> s_nHandlerReturned { 0 };
std::atomic<int> s_nStringErrors { 0 };

class TWorker : public TDynBase {
public:
    // Lingers after a cancel, so that a waiting destructor really has to wait.
    void UntilCancelled(TOsThread* pcoThread)
    {
        m_nStarted.store(1);
        while (!pcoThread->IsCancelRequest() && !m_nRelease.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_nSawCancel.store(pcoThread->IsCancelRequest());
        if (m_nSawCancel.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        s_nHandlerReturned.store(1);
    }

    // Deletes its owner from inside the handler, as an event handler on the
    // worker thread may do; touches nothing of it afterwards.
    void DeleteSelf(TOsThread*)
    {
        while (!m_nRelease.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        delete this;
        s_nHandlerReturned.store(1);
    }

    std::atomic<int> m_nStarted { 0 };
    std::atomic<int> m_nRelease { 0 };
    std::atomic<int> m_nSawCancel { 0 };
    TThreadPtr m_coThread { this, KwThreadHandler(&TWorker::UntilCancelled) };
};

const TOsThread::Handler s_pfnUntilCancelled = KwThreadHandler(&TWorker::UntilCancelled);

} // namespace

TEST(TOsThread, StartsCancelsAndForgetsAHandlerObjectThatDiedFirst)
{
    auto pcoWorker = std::make_unique<TWorker>();
    std::unique_ptr<TOsThread> pcoThread(CurrentOS().CreateThread(pcoWorker.get(), s_pfnUntilCancelled));
    TOsThread& coThread = *pcoThread;
    EXPECT_EQ(0, coThread.Cancel() + coThread.IsCancelRequest());

    ASSERT_EQ(1, coThread.Start());
    ASSERT_TRUE(WaitFor([&] { return pcoWorker->m_nStarted.load() == 1; }));
    // Running: a second start and a new binding are refused; cancelling twice is fine.
    EXPECT_EQ(std::vector<long>({ coThread.IsRunning(), coThread.Start(), static_cast<long>(coThread.GetStartCount()),
                                  coThread.InitHandlerObject(pcoWorker.get(), s_pfnUntilCancelled), coThread.Cancel(),
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
    EXPECT_TRUE(coThread.GetThreadObject() == nullptr && coThread.GetThreadHandler() == nullptr);
    EXPECT_EQ(0, coThread.Start());
    EXPECT_EQ(2u, coThread.GetStartCount());
    // Rebinding moves the watch to the next object; a thread object that dies
    // first withdraws its watch (the sanitizers would catch a call into it).
    TWorker coOther;
    EXPECT_EQ(1, coThread.InitHandlerObject(&coOther, s_pfnUntilCancelled));
    delete CurrentOS().CreateThread(&coOther, s_pfnUntilCancelled);
    // Deleting the running thread object cancels the thread and waits for its handler.
    ASSERT_EQ(1, coThread.Start());
    pcoThread.reset();
    EXPECT_EQ(1, coOther.m_nSawCancel.load());
}

// Deleting the owner that holds a running thread cancels the thread and
// waits for its handler, unless the handler itself deletes the owner.
TEST(TThreadPtr, DeletingTheOwnerWaitsForTheHandlerUnlessTheHandlerDeletesIt)
{
    s_nHandlerReturned.store(0);
    auto pcoOwner = std::make_unique<TWorker>();
    ASSERT_EQ(1, pcoOwner->m_coThread->Start());
    ASSERT_TRUE(WaitFor([&] { return pcoOwner->m_nStarted.load() == 1; }));
    pcoOwner.reset();
    EXPECT_EQ(1, s_nHandlerReturned.load());

    s_nHandlerReturned.store(0);
    TWorker* pcoSelfDeleting = new TWorker;
    pcoSelfDeleting->m_coThread = TThreadPtr(pcoSelfDeleting, KwThreadHandler(&TWorker::DeleteSelf));
    ASSERT_EQ(1, pcoSelfDeleting->m_coThread->Start());
    pcoSelfDeleting->m_nRelease.store(1);
    ASSERT_TRUE(WaitFor([] { return s_nHandlerReturned.load() == 1; }));
}

// Copies of one string on two threads share its block: a lost update of its
// count shows as a count released below zero, a block freed while in use, a
// block still shared at the end (which the first write then copies), or as a
// race under the thread checker.
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
    TString::SetErrorHandler([](int) { ++s_nStringErrors; });
    std::thread coFirst(fnCopyMany, coShared);
    std::thread coSecond(fnCopyMany, coShared);
    coFirst.join();
    coSecond.join();
    TString::SetErrorHandler(pfnPrevious);
    EXPECT_EQ(s_nStringErrors.load(), 0);
    const char* pszBefore = coShared;
    EXPECT_EQ(static_cast<char*>(coShared), pszBefore);   // the only user writes in place
}
