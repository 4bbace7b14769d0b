#include "KwMenuHost.h"

#include <utility>

KwMenuHost::TSourceFn KwMenuHost::s_pfnSource = nullptr;

KwMenuHost* KwMenuHost::Current()
{
    return s_pfnSource ? s_pfnSource() : nullptr;
}

KwMenuHost::TSourceFn KwMenuHost::Register(TSourceFn pfnSource)
{
    return std::exchange(s_pfnSource, pfnSource);
}
