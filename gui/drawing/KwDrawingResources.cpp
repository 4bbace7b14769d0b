#include "KwDrawingResources.h"

KwDrawingResources::TSourceFn KwDrawingResources::s_pfnSource = nullptr;

KwDrawingResources* KwDrawingResources::Current()
{
    return s_pfnSource ? s_pfnSource() : nullptr;
}

void KwDrawingResources::Register(TSourceFn pfnSource)
{
    s_pfnSource = pfnSource;
}
