#include "KwWndApp.h"

#include <utility>

KwWndApp::TSourceFn KwWndApp::s_pfnSource = nullptr;

KwWndApp* KwWndApp::Current()
{
    return s_pfnSource ? s_pfnSource() : nullptr;
}

KwWndApp::TSourceFn KwWndApp::Register(TSourceFn pfnSource)
{
    return std::exchange(s_pfnSource, pfnSource);
}
