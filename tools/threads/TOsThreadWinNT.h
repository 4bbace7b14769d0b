#pragma once

#include "TOsThread.h"

// The Win32 thread: the handler runs on a thread of the C run-time
// (_beginthread), whose handle the run-time closes when the thread ends.
class KWTL_API TOsThreadWinNT : public TOsThread {
    KW_DYNAMIC_CLASS(TOsThreadWinNT, TOsThread)
public:
    TOsThreadWinNT(TDynBase* pcoObject, Handler pfnHandler) : TOsThread(pcoObject, pfnHandler) {}
    TOsThreadWinNT(const TOsThreadWinNT& coOther) : TOsThread(coOther) {}
    TOsThreadWinNT& operator=(const TOsThreadWinNT& coOther) = default;
    ~TOsThreadWinNT() override;

    TOsThread* Clone() const override;
    int Start() override;

private:
    TOsThreadWinNT() = default;

    static void __cdecl ThreadHandler(void* pvRun);
};
