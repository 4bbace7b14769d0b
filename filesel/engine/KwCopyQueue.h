#pragma once

#include "KwCopyRecord.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

// The hand-over of records from the copy's worker thread to the thread
// that shows them. The worker pushes; the reader drains everything queued
// in one call, in order. Nothing else is shared between the two threads.
//
// A reader that runs a message loop installs a notification: it is called
// on the worker thread, without the queue's lock held, each time a record
// arrives in an empty queue, so one posted message per batch is enough.
// It must be cheap and must never call into windows (PostMessage is right).
// A reader without a message loop waits with Wait(). Waking a waiting
// thread costs a system call on each side (and far more under Wine), so a
// waiting reader is woken at most every WakeInterval milliseconds, and at
// once for the Finished record: whatever arrives meanwhile waits for the
// next wake (the next record after the interval) or the end of its Wait.
//
// The queue holds at most Limit records: a worker that gets that far ahead
// waits for the reader, unless the queue was released (Release, when the
// run is cancelled or its owner goes away).
class KwCopyQueue {
public:
    using Notify = void (*)(void* pvContext);
    enum : size_t { Limit = 65536 };
    enum : int { WakeInterval = 20 };

    KwCopyQueue() = default;
    KwCopyQueue(const KwCopyQueue&) = delete;
    KwCopyQueue& operator=(const KwCopyQueue&) = delete;

    // Set before the run starts.
    void SetNotify(Notify pfnNotify, void* pvContext);

    // Worker side. A Progress record right after another one replaces it
    // (percent and counts).
    void Push(KwCopyRecord coRecord);

    // Reader side
    // Moves every queued record to the end of vecOut; their count.
    size_t Drain(std::vector<KwCopyRecord>& vecOut);
    // Waits until a record is queued or ulMilliseconds have passed; 1 when
    // records are waiting.
    int Wait(unsigned long ulMilliseconds);
    // Lets a waiting worker go on without a reader; pushes no longer wait.
    void Release();
    // Empties the queue and takes back the release, for the next run.
    void Reset();

private:
    std::mutex m_coLock;
    std::condition_variable m_coQueued;     // the reader waits for records
    std::condition_variable m_coRoom;       // the worker waits for room
    std::deque<KwCopyRecord> m_coRecords;
    bool m_bReleased { false };
    std::chrono::steady_clock::time_point m_coWoken;    // when a waiting reader was last woken
    Notify m_pfnNotify { nullptr };
    void* m_pvContext { nullptr };
};
