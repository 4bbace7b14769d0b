#include "KwCopyPool.h"

#include <system_error>

namespace {

// Items waiting per worker: enough that no worker waits for the feeder,
// few enough that a cancel has little to drop.
constexpr size_t kWaitingPerWorker = 4;

} // namespace

KwCopyPool::KwCopyPool(int nWorkers, Work fnWork)
    : m_fnWork(std::move(fnWork))
    , m_nCapacity(kWaitingPerWorker * static_cast<size_t>(nWorkers > 0 ? nWorkers : 1))
{
    for (int i = 0; i < nWorkers; ++i) {
        try {
            m_vecThreads.emplace_back(&KwCopyPool::Run, this, i);
        } catch (const std::system_error&) {
            // Fewer workers than asked for still copy everything.
            break;
        }
    }
}

KwCopyPool::~KwCopyPool()
{
    Wait();
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        m_bEnding = true;
    }
    m_coItems.notify_all();
    for (std::thread& coThread : m_vecThreads)
        coThread.join();
}

void KwCopyPool::Push(long lItem)
{
    if (m_vecThreads.empty()) {
        m_fnWork(lItem, 0);
        return;
    }
    {
        std::unique_lock<std::mutex> coGuard(m_coLock);
        m_coProgress.wait(coGuard, [this] { return m_coWaiting.size() < m_nCapacity; });
        m_coWaiting.push_back(lItem);
    }
    m_coItems.notify_one();
}

void KwCopyPool::Wait()
{
    std::unique_lock<std::mutex> coGuard(m_coLock);
    m_coProgress.wait(coGuard, [this] { return m_coWaiting.empty() && m_lBusy == 0; });
}

void KwCopyPool::Run(int nWorker)
{
    std::unique_lock<std::mutex> coGuard(m_coLock);
    for (;;) {
        m_coItems.wait(coGuard, [this] { return m_bEnding || !m_coWaiting.empty(); });
        if (m_coWaiting.empty())
            return;
        const bool bWasFull = m_coWaiting.size() >= m_nCapacity;
        const long lItem = m_coWaiting.front();
        m_coWaiting.pop_front();
        ++m_lBusy;
        coGuard.unlock();
        if (bWasFull)
            m_coProgress.notify_all();
        m_fnWork(lItem, nWorker);
        coGuard.lock();
        --m_lBusy;
        if (m_lBusy == 0 && m_coWaiting.empty())
            m_coProgress.notify_all();
    }
}
