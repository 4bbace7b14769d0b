#pragma once

#include "Kw25Api.h"
#include "KwRes.h"

#include <vector>

class KwDC;
class KwObjGDI;

// What a device context is told when an object selected into it dies.
using KwDcHandler = void (KwDC::*)(KwObjGDI*);

// A drawing object: a named resource with a system object, created on
// demand (SysCreate). It knows the device contexts it is selected into;
// before its system object goes (SysDelete, destruction) each of them is
// told and selects none of that kind, so that no context keeps a selection
// of a dead object and the system object is free to be deleted.
class KW25_API KwObjGDI : public KwRes {
    KW_DYNAMIC_CLASS(KwObjGDI, KwRes)
public:
    KwObjGDI() = default;
    explicit KwObjGDI(const char* pszName) : KwRes(pszName) {}
    KwObjGDI(const KwObjGDI& coOther) : KwRes(coOther) {}
    ~KwObjGDI() override;

    // Contexts that select this object. A context present already gets the
    // new handler.
    int AddHandler(KwDC* pcoDC, KwDcHandler pfnHandler);
    int RemoveHandler(KwDC* pcoDC);
    int GetHandlerCount() const { return static_cast<int>(m_coHandlers.size()); }
    static void DestroyDcHdl(void* pvHandler);

    // Tells the contexts, then deletes the system object unless it is only
    // attached.
    void SysDelete() override;

protected:
    KwObjGDI& operator=(const KwObjGDI& coOther);
    void ReleaseSelections();

private:
    struct TDcHandler {
        KwDC* pcoDC;
        KwDcHandler pfnHandler;
    };
    std::vector<TDcHandler> m_coHandlers;
};
