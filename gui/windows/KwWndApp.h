#pragma once

#include "Kw25Api.h"

class KwDib;
class KwFont;
class KwKeyTable;
class KwWFrame;
class KwWnd;
class TString;

// What windows ask of the running application: its frames and main
// window, its pictures, fonts and key table, the wait cursor, and the
// session's events. The application lies above the windows; its family
// registers the one source at library load, so that windows need nothing
// above them. Current() is null while no application runs (or nothing is
// registered), and windows then keep to themselves: no frame list, no
// main window, the default font and key table, no pictures of resource
// files, the session's questions answered as without an application.
class KW25_API KwWndApp {
public:
    using TSourceFn = KwWndApp* (*)();

    virtual ~KwWndApp() = default;

    // Frames enter the list when made and leave it when deleted.
    virtual void AddFrame(KwWFrame& coFrame) = 0;
    virtual void RemoveFrame(KwWFrame& coFrame) = 0;
    virtual short FrameCount() const = 0;
    virtual KwWFrame* Frame(short nIndex) const = 0;
    virtual KwWFrame* MainWindow() const = 0;
    // Makes the frame the main window and starts it; 0 when there is one.
    virtual int StartMainWindow(KwWFrame& coFrame) = 0;
    // Ends the main loop.
    virtual void Exit(short nCode) = 0;

    // Resources: 1 when the picture was loaded into the DIB.
    virtual int LoadPicture(const char* pszId, KwDib& coDib) = 0;
    virtual const KwFont& Font(short nIndex) const = 0;
    virtual const KwKeyTable& KeyTable() const = 0;
    virtual const TString& DefaultIconId() const = 0;
    virtual void WaitCursor(int nOn) = 0;

    // The application's notifications and session events.
    virtual void NotifyWindowPreCreate(KwWnd& coWnd, KwWnd* pcoParent, const char* pszClass) = 0;
    virtual int EvActivateApp(int nActive) = 0;
    virtual int EvQueryEndSession() = 0;
    virtual void NotifyEndSession() = 0;

    static KwWndApp* Current();
    // Answers the source registered before (tests put it back).
    static TSourceFn Register(TSourceFn pfnSource);

private:
    static TSourceFn s_pfnSource;
};
