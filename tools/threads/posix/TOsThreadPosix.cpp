#include "TOsThreadPosix.h"

#include <pthread.h>

#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(TOsThreadPosix, TOsThread, "kwtl")

TOsThreadPosix::~TOsThreadPosix()
{
    EndBeforeDestruction();
}

TOsThread* TOsThreadPosix::Clone() const
{
    return new (std::nothrow) TOsThreadPosix(*this);
}

int TOsThreadPosix::Start()
{
    std::shared_ptr<TOsThreadRun>* ppcoRun = BeginStart();
    if (!ppcoRun)
        return 0;
    pthread_attr_t coAttributes;
    if (pthread_attr_init(&coAttributes) != 0) {
        AbortStart(ppcoRun);
        return 0;
    }
    pthread_attr_setdetachstate(&coAttributes, PTHREAD_CREATE_DETACHED);
    pthread_t coThread;
    // Counted as running before it exists, so that a thread that ends at
    // once is never taken for running afterwards.
    const int nError = pthread_create(&coThread, &coAttributes, &TOsThreadPosix::ThreadHandler, ppcoRun);
    pthread_attr_destroy(&coAttributes);
    if (nError != 0) {
        AbortStart(ppcoRun);
        return 0;
    }
    return 1;
}

void* TOsThreadPosix::ThreadHandler(void* pvRun)
{
    RunThread(static_cast<std::shared_ptr<TOsThreadRun>*>(pvRun));
    return nullptr;
}
