#include "KwCopyQueue.h"

#include <chrono>
#include <iterator>
#include <utility>

void KwCopyQueue::SetNotify(Notify pfnNotify, void* pvContext)
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    m_pfnNotify = pfnNotify;
    m_pvContext = pvContext;
}

void KwCopyQueue::Push(KwCopyRecord coRecord)
{
    Notify pfnNotify = nullptr;
    void* pvContext = nullptr;
    bool bWasEmpty;
    bool bWake = false;
    {
        std::unique_lock<std::mutex> coGuard(m_coLock);
        if (coRecord.GetKind() == KwCopyRecord::Progress && !m_coRecords.empty()
            && m_coRecords.back().GetKind() == KwCopyRecord::Progress) {
            m_coRecords.back() = std::move(coRecord);
            return;
        }
        m_coRoom.wait(coGuard, [this] { return m_bReleased || m_coRecords.size() < Limit; });
        bWasEmpty = m_coRecords.empty();
        const bool bFinished = coRecord.GetKind() == KwCopyRecord::Finished;
        m_coRecords.push_back(std::move(coRecord));
        if (bWasEmpty) {
            pfnNotify = m_pfnNotify;
            pvContext = m_pvContext;
        }
        // A reader takes all records waiting when it wakes: the first record
        // after a pause wakes it, the last one too.
        const auto coNow = std::chrono::steady_clock::now();
        if (bFinished || coNow - m_coWoken >= std::chrono::milliseconds(WakeInterval)) {
            bWake = true;
            m_coWoken = coNow;
        }
    }
    if (bWake)
        m_coQueued.notify_all();
    if (pfnNotify)
        pfnNotify(pvContext);
}

size_t KwCopyQueue::Drain(std::vector<KwCopyRecord>& vecOut)
{
    size_t nCount;
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        nCount = m_coRecords.size();
        vecOut.insert(vecOut.end(), std::make_move_iterator(m_coRecords.begin()),
                      std::make_move_iterator(m_coRecords.end()));
        m_coRecords.clear();
    }
    m_coRoom.notify_all();
    return nCount;
}

int KwCopyQueue::Wait(unsigned long ulMilliseconds)
{
    std::unique_lock<std::mutex> coGuard(m_coLock);
    return m_coQueued.wait_for(coGuard, std::chrono::milliseconds(ulMilliseconds),
                               [this] { return !m_coRecords.empty(); })
        ? 1
        : 0;
}

void KwCopyQueue::Release()
{
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        m_bReleased = true;
    }
    m_coRoom.notify_all();
}

void KwCopyQueue::Reset()
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    m_coRecords.clear();
    m_bReleased = false;
}
