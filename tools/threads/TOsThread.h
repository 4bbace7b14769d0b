#pragma once

#include "TDynBase.h"

#include <atomic>
#include <cstdint>
#include <memory>

class TOsThread;

// What one thread object shares with the thread that runs it: the run state
// and the handler bound at the start. The running thread holds its own
// reference, so the thread object may be deleted while the thread is still
// unwinding, even by its own handler.
struct TOsThreadRun {
    enum : int { Idle = 0, Running = 1, Cancelling = 2 };

    std::atomic<int> m_nState { Idle };
    std::atomic<unsigned long> m_ulThreadId { 0 };            // the running thread, 0 outside the handler
    // Written by Start before the thread exists, read by the thread only.
    TOsThread* m_pcoThread { nullptr };                       // not owned; handed to the handler
    TDynBase* m_pcoObject { nullptr };                        // not owned
    void (TDynBase::*m_pfnHandler)(TOsThread*) { nullptr };
};

// A member function of a run-time object, run on a thread of its own.
//
// The handler is a member function of TDynBase (or of a derived class,
// converted with static_cast) that takes the thread it runs on. Cancelling
// is cooperative: Cancel raises a flag that the handler polls with
// IsCancelRequest() and the thread ends when the handler returns. The
// running state and the cancel request are one atomic word, so a cancel is
// always seen by the handler and a finished thread is always seen as idle.
//
// The thread watches its handler object: when that object dies first, the
// binding is forgotten and a later Start does nothing. TOsThread itself
// cannot start a thread; the platform classes can (see TOpSystem::CreateThread).
class KWTL_API TOsThread : public TDynBase {
    KW_DYNAMIC_CLASS(TOsThread, TDynBase)
public:
    using Handler = void (TDynBase::*)(TOsThread*);

    // Deleting a running thread object from another thread cancels the
    // thread and waits until its handler has returned.
    ~TOsThread() override;

    // Operation
    virtual TOsThread* Clone() const;
    virtual int Start();
    virtual int Cancel();
    virtual int IsRunning() const;

    // State
    int IsCancelRequest() const { return m_pcoRun->m_nState.load() == TOsThreadRun::Cancelling; }
    // Whether the caller runs on this object's thread, inside its handler.
    int IsCurrentThread() const;
    TDynBase* GetThreadObject() const { return m_pcoObject; }
    Handler GetThreadHandler() const { return m_pfnHandler; }
    uint32_t GetStartCount() const { return m_ulStartCount.load(); }

    // Binding; refused (0) while the thread runs.
    int InitHandlerObject(TDynBase* pcoObject, Handler pfnHandler);

protected:
    TOsThread() = default;
    TOsThread(TDynBase* pcoObject, Handler pfnHandler);
    // A copy is bound to the same object and handler, idle, never started.
    TOsThread(const TOsThread& coOther);
    // Ignored while this thread runs.
    TOsThread& operator=(const TOsThread& coOther);

    // For the platform's Start: moves an idle, bound thread to running,
    // counts the start and hands out the run for the new thread (owned by
    // the caller until the thread takes it); null when the thread runs or
    // nothing is bound. AbortStart undoes it when no thread could be made.
    std::shared_ptr<TOsThreadRun>* BeginStart();
    void AbortStart(std::shared_ptr<TOsThreadRun>* ppcoRun);
    // The body of every platform thread: calls the handler bound at the
    // start, then ends the run. Takes the run handed out by BeginStart.
    static void RunThread(std::shared_ptr<TOsThreadRun>* ppcoRun);
    // Waits, in steps of unMilliseconds, until the handler has returned.
    void WaitUntilEnded(unsigned short unMilliseconds) const;
    // For the destructors of the platform classes, which must not change
    // under a running handler: cancels and waits, except on the thread itself.
    void EndBeforeDestruction();

private:
    void Bind(TDynBase* pcoObject, Handler pfnHandler);
    void Unbind();
    void NotifyThreadObjectDestroyed(TDynBase* pcoObject);

    TDynBase* m_pcoObject { nullptr };   // not owned; watched for its destruction
    Handler m_pfnHandler { nullptr };
    std::atomic<uint32_t> m_ulStartCount { 0 };
    std::shared_ptr<TOsThreadRun> m_pcoRun { std::make_shared<TOsThreadRun>() };
};

// Holds the thread of an owner object as a member. The thread object is
// made on first use by the operating-system object; when the holder dies
// (with its owner) a running thread is cancelled and waited for, in steps
// of 100 ms, before it is deleted. A holder that dies on its own thread,
// inside the handler, cancels the thread and does not wait for itself.
//
// An owner whose handler uses members of classes derived from the owner
// must wait for the thread in its own destructor: those parts are gone by
// the time this member dies.
class KWTL_API TThreadPtr {
public:
    TThreadPtr(TDynBase* pcoObject, TOsThread::Handler pfnHandler);
    // Copies object and handler into this holder and binds its own thread
    // object to them; ignored while this holder's thread runs. Thread
    // objects are never shared between holders.
    TThreadPtr& operator=(const TThreadPtr& coOther);
    virtual ~TThreadPtr();

    // The thread, made on first use; null when it could not be made.
    TOsThread* Access();
    TOsThread* operator->() { return Access(); }
    // The thread without making it: null before the first use.
    TOsThread* GetThread() const { return m_pcoThread; }

    TDynBase* GetThreadObject() const { return m_pcoObject; }
    TOsThread::Handler GetThreadHandler() const { return m_pfnHandler; }

private:
    TThreadPtr(const TThreadPtr&) = delete;

    TDynBase* m_pcoObject;              // not owned
    TOsThread::Handler m_pfnHandler;
    TOsThread* m_pcoThread { nullptr }; // owned; deleted by the destructor
};

// A member function of a class derived from TDynBase as a thread handler.
template <class X>
TOsThread::Handler KwThreadHandler(void (X::*pfnHandler)(TOsThread*))
{
    return static_cast<TOsThread::Handler>(pfnHandler);
}
