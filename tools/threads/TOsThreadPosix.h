#pragma once

#include "TOsThread.h"

// The POSIX thread of the native build: the handler runs on a detached
// thread, which frees its resources itself when it ends.
class KWTL_API TOsThreadPosix : public TOsThread {
    KW_DYNAMIC_CLASS(TOsThreadPosix, TOsThread)
public:
    TOsThreadPosix(TDynBase* pcoObject, Handler pfnHandler) : TOsThread(pcoObject, pfnHandler) {}
    TOsThreadPosix(const TOsThreadPosix& coOther) : TOsThread(coOther) {}
    TOsThreadPosix& operator=(const TOsThreadPosix& coOther) = default;
    ~TOsThreadPosix() override;

    TOsThread* Clone() const override;
    int Start() override;

private:
    TOsThreadPosix() = default;

    static void* ThreadHandler(void* pvRun);
};
