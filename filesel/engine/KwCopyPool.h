#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The workers of a parallel copy: a fixed set of threads that work on the
// numbered items one feeding thread pushes, in the order pushed, several
// at once. The feeder waits while the items not yet taken fill the pool's
// capacity, so it never runs far ahead of the workers; Wait blocks until
// every item pushed has been worked on.
//
// The work function runs on a worker thread with the item and the
// worker's number (0 to WorkerCount() - 1), so that each worker can keep
// state of its own. Cancelling is the work function's business: the pool
// works on every item pushed. When no thread can be made, items are worked
// on by the feeding thread as they are pushed.
class KwCopyPool {
public:
    using Work = std::function<void(long lItem, int nWorker)>;

    KwCopyPool(int nWorkers, Work fnWork);
    KwCopyPool(const KwCopyPool&) = delete;
    KwCopyPool& operator=(const KwCopyPool&) = delete;
    // Finishes the items pushed, then ends the threads.
    ~KwCopyPool();

    // Feeding thread
    void Push(long lItem);
    void Wait();

    int WorkerCount() const { return m_vecThreads.empty() ? 1 : static_cast<int>(m_vecThreads.size()); }

private:
    void Run(int nWorker);

    Work m_fnWork;
    size_t m_nCapacity;
    std::mutex m_coLock;
    std::condition_variable m_coItems;      // workers wait for items
    std::condition_variable m_coProgress;   // the feeder waits for room, or for the end
    std::deque<long> m_coWaiting;
    long m_lBusy { 0 };                     // items taken and not yet done
    bool m_bEnding { false };
    std::vector<std::thread> m_vecThreads;
};
