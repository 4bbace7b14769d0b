#include "TOsThreadWinNT.h"

#include <process.h>

#include <cstdint>
#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(TOsThreadWinNT, TOsThread, "kwtl")

TOsThreadWinNT::~TOsThreadWinNT()
{
    EndBeforeDestruction();
}

TOsThread* TOsThreadWinNT::Clone() const
{
    return new (std::nothrow) TOsThreadWinNT(*this);
}

int TOsThreadWinNT::Start()
{
    std::shared_ptr<TOsThreadRun>* ppcoRun = BeginStart();
    if (!ppcoRun)
        return 0;
    // The thread is counted as running before it exists, so that a thread
    // that ends at once is never taken for running afterwards.
    if (_beginthread(&TOsThreadWinNT::ThreadHandler, 0, ppcoRun) == static_cast<uintptr_t>(-1)) {
        AbortStart(ppcoRun);
        return 0;
    }
    return 1;
}

void __cdecl TOsThreadWinNT::ThreadHandler(void* pvRun)
{
    RunThread(static_cast<std::shared_ptr<TOsThreadRun>*>(pvRun));
}
