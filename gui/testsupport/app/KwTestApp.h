#pragma once

// The framework's side of the GUI test programs: their application object
// (started before the first test, so that frames register with it and the
// adapter runs), and helpers that open framework windows for a test.

#include "KwWin32.h"

#include "KwApp.h"
#include "KwWFrame.h"

#include <string>

namespace kw25test {

// The application object of a test program.
class KwTestApp : public KwApp {
public:
    KwTestApp() : KwApp("KwTestApp", nullptr, 0) {}
    static KwTestApp& Instance();
    // Runs the main loop as the program's Go would.
    short RunGo() { return Go(); }
    // The main window, so that tests of the main loop can start one.
    int MakeMainWindow(KwWFrame* pcoFrame) { return StartMainWindow(pcoFrame); }
    // The start-up logo, shown and closed as InitInstance does.
    KwWFrame* OpenLogo()
    {
        ShowLogo();
        return GetLogoFrame();
    }
    void EndLogo() { CloseLogo(); }
    KwWFrame* LogoFrame() const { return GetLogoFrame(); }
};

inline HWND Hwnd(const KwWnd& coWnd)
{
    return reinterpret_cast<HWND>(coWnd.GetHandle());
}

// The directory that holds the standard resource file "zorvik30.kwt" for
// the tests: the program's own when the build put the file there, else a
// temporary one with the tests' own standard file (kw25test::
// StandardRecords).
std::string StandardFileDirectory();

// A frame with its system window, started (not as main window) and shown;
// the caller destroys it.
KwWFrame* OpenFrame(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszTitle,
                    short nColBack = 15);
// Creates the child's system window inside the parent.
template <class W>
W* AddChild(W* pcoChild, KwWnd& coParent)
{
    pcoChild->SysCreate(&coParent);
    return pcoChild;
}

} // namespace kw25test
