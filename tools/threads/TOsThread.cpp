#include "TOsThread.h"

#include "TCrt.h"
#include "TOpSystem.h"

#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(TOsThread, TDynBase, "kwtl")

TOsThread::TOsThread(TDynBase* pcoObject, Handler pfnHandler)
{
    Bind(pcoObject, pfnHandler);
}

TOsThread::TOsThread(const TOsThread& coOther) : TDynBase(coOther)
{
    Bind(coOther.m_pcoObject, coOther.m_pfnHandler);
}

TOsThread& TOsThread::operator=(const TOsThread& coOther)
{
    if (this == &coOther || IsRunning())
        return *this;
    Unbind();
    Bind(coOther.m_pcoObject, coOther.m_pfnHandler);
    return *this;
}

TOsThread::~TOsThread()
{
    EndBeforeDestruction();
    Unbind();
}

TOsThread* TOsThread::Clone() const
{
    return nullptr;
}

int TOsThread::Start()
{
    return 0;
}

int TOsThread::Cancel()
{
    int nState = TOsThreadRun::Running;
    if (m_pcoRun->m_nState.compare_exchange_strong(nState, TOsThreadRun::Cancelling))
        return 1;
    return nState == TOsThreadRun::Cancelling;
}

int TOsThread::IsRunning() const
{
    return m_pcoRun->m_nState.load() != TOsThreadRun::Idle;
}

int TOsThread::IsCurrentThread() const
{
    return m_pcoRun->m_ulThreadId.load() == CrtThreadId();
}

int TOsThread::InitHandlerObject(TDynBase* pcoObject, Handler pfnHandler)
{
    if (IsRunning())
        return 0;
    Unbind();
    Bind(pcoObject, pfnHandler);
    return 1;
}

std::shared_ptr<TOsThreadRun>* TOsThread::BeginStart()
{
    int nState = TOsThreadRun::Idle;
    if (!m_pcoRun->m_nState.compare_exchange_strong(nState, TOsThreadRun::Running))
        return nullptr;
    if (!m_pcoObject || !m_pfnHandler) {
        m_pcoRun->m_nState.store(TOsThreadRun::Idle);
        return nullptr;
    }
    std::shared_ptr<TOsThreadRun>* ppcoRun = new (std::nothrow) std::shared_ptr<TOsThreadRun>(m_pcoRun);
    if (!ppcoRun) {
        m_pcoRun->m_nState.store(TOsThreadRun::Idle);
        return nullptr;
    }
    // Written before the thread exists: the new thread reads them without a lock.
    m_pcoRun->m_pcoThread = this;
    m_pcoRun->m_pcoObject = m_pcoObject;
    m_pcoRun->m_pfnHandler = m_pfnHandler;
    ++m_ulStartCount;
    return ppcoRun;
}

void TOsThread::AbortStart(std::shared_ptr<TOsThreadRun>* ppcoRun)
{
    delete ppcoRun;
    --m_ulStartCount;
    m_pcoRun->m_nState.store(TOsThreadRun::Idle);
}

void TOsThread::RunThread(std::shared_ptr<TOsThreadRun>* ppcoRun)
{
    // The run stays alive until this thread is done with it, whatever
    // happens to the thread object meanwhile.
    const std::shared_ptr<TOsThreadRun> pcoRun = std::move(*ppcoRun);
    delete ppcoRun;
    pcoRun->m_ulThreadId.store(CrtThreadId());
    (pcoRun->m_pcoObject->*pcoRun->m_pfnHandler)(pcoRun->m_pcoThread);
    pcoRun->m_ulThreadId.store(0);
    // The last access: from here on the owner may delete or restart the thread.
    pcoRun->m_nState.store(TOsThreadRun::Idle);
}

void TOsThread::WaitUntilEnded(unsigned short unMilliseconds) const
{
    while (IsRunning())
        CurrentOS().Sleep(unMilliseconds);
}

void TOsThread::EndBeforeDestruction()
{
    // The handler still gets this object as its argument; it must not see it die.
    if (IsCurrentThread())
        return;
    Cancel();
    WaitUntilEnded(10);
}

void TOsThread::Bind(TDynBase* pcoObject, Handler pfnHandler)
{
    m_pcoObject = pcoObject;
    m_pfnHandler = pfnHandler;
    if (m_pcoObject && m_pfnHandler)
        m_pcoObject->AddDestructionHandler(this, static_cast<DestructionHandler>(&TOsThread::NotifyThreadObjectDestroyed));
}

void TOsThread::Unbind()
{
    if (m_pcoObject && m_pfnHandler)
        m_pcoObject->RemoveDestructionHandler(this, static_cast<DestructionHandler>(&TOsThread::NotifyThreadObjectDestroyed));
    m_pcoObject = nullptr;
    m_pfnHandler = nullptr;
}

void TOsThread::NotifyThreadObjectDestroyed(TDynBase* pcoObject)
{
    if (pcoObject != m_pcoObject)
        return;
    m_pcoObject = nullptr;
    m_pfnHandler = nullptr;
}

TThreadPtr::TThreadPtr(TDynBase* pcoObject, TOsThread::Handler pfnHandler)
    : m_pcoObject(pcoObject), m_pfnHandler(pfnHandler)
{
}

TThreadPtr& TThreadPtr::operator=(const TThreadPtr& coOther)
{
    if (this == &coOther || (m_pcoThread && m_pcoThread->IsRunning()))
        return *this;
    m_pcoObject = coOther.m_pcoObject;
    m_pfnHandler = coOther.m_pfnHandler;
    if (m_pcoThread)
        m_pcoThread->InitHandlerObject(m_pcoObject, m_pfnHandler);
    return *this;
}

TThreadPtr::~TThreadPtr()
{
    if (!m_pcoThread)
        return;
    if (m_pcoThread->IsRunning()) {
        m_pcoThread->Cancel();
        // Inside the handler the thread cannot wait for itself; it ends
        // when the handler returns, and the thread object may go now.
        if (!m_pcoThread->IsCurrentThread()) {
            while (m_pcoThread->IsRunning())
                CurrentOS().Sleep(100);
        }
    }
    delete m_pcoThread;
}

TOsThread* TThreadPtr::Access()
{
    if (!m_pcoThread)
        m_pcoThread = CurrentOS().CreateThread(m_pcoObject, m_pfnHandler);
    return m_pcoThread;
}
