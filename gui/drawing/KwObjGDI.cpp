#include "KwObjGDI.h"

#include "KwDC.h"
#include "KwSystem.h"

#include <algorithm>
#include <new>

KW_IMPLEMENT_DYNAMIC_CLASS(KwObjGDI, KwRes, "kw25")

KwObjGDI::~KwObjGDI()
{
    if (!IsDynCppReferenceObject())
        KwObjGDI::SysDelete();
}

KwObjGDI& KwObjGDI::operator=(const KwObjGDI& coOther)
{
    KwRes::operator=(coOther);
    return *this;
}

int KwObjGDI::AddHandler(KwDC* pcoDC, KwDcHandler pfnHandler)
{
    if (!pcoDC || !pfnHandler)
        return 0;
    for (auto& coEntry : m_coHandlers) {
        if (coEntry.pcoDC == pcoDC) {
            coEntry.pfnHandler = pfnHandler;
            return 1;
        }
    }
    try {
        m_coHandlers.push_back({ pcoDC, pfnHandler });
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int KwObjGDI::RemoveHandler(KwDC* pcoDC)
{
    auto it = std::find_if(m_coHandlers.begin(), m_coHandlers.end(),
                           [pcoDC](const TDcHandler& coEntry) { return coEntry.pcoDC == pcoDC; });
    if (it == m_coHandlers.end())
        return 0;
    m_coHandlers.erase(it);
    return 1;
}

void KwObjGDI::DestroyDcHdl(void* pvHandler)
{
    delete static_cast<TDcHandler*>(pvHandler);
}

// The list is taken over first: each context's handler selects null and
// so asks this object to forget it, which must not disturb the walk.
void KwObjGDI::ReleaseSelections()
{
    std::vector<TDcHandler> coHandlers;
    coHandlers.swap(m_coHandlers);
    for (const auto& coEntry : coHandlers)
        (coEntry.pcoDC->*coEntry.pfnHandler)(this);
}

void KwObjGDI::SysDelete()
{
    ReleaseSelections();
    if (!GetHandle())
        return;
    const int nAttached = IsSystemObject();
    const KwHandle hObject = DisConnect();
    if (!nAttached && pcoKwSys)
        pcoKwSys->DeleteObject(hObject);
}
