#include "KwResApplication.h"

KwResApplication::TSourceFn KwResApplication::s_pfnSource = nullptr;

KwResApplication* KwResApplication::Current() { return s_pfnSource ? s_pfnSource() : nullptr; }
void KwResApplication::Register(TSourceFn pfnSource) { s_pfnSource = pfnSource; }
