#include "KwTestApp.h"

#include "KwGuiPump.h"
#include "KwMessages.h"
#include "KwGuiInput.h"

namespace kw25test {

KwTestApp& KwTestApp::Instance()
{
    static KwTestApp s_coApp;
    return s_coApp;
}

KwWFrame* OpenFrame(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszTitle, short nColBack)
{
    KwWFrame* pcoFrame = new KwWFrame(pszName, coPos, coSize, pszTitle, nColBack, KwStyle::OverlappedWindow, 0, 0);
    if (!pcoFrame->SysCreate(nullptr))
        return pcoFrame;
    pcoFrame->StartDirect(4);
    kwtest::BringToForeground(Hwnd(*pcoFrame));
    kwtest::PumpIdle();
    return pcoFrame;
}

} // namespace kw25test
