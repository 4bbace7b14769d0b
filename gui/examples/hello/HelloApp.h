#pragma once

// Kwillet Hello: the example of an application built on the framework. Its
// window comes from the resource file hello.kwt (written as text in
// hello.kwt.txt); two buttons are bound by name to member functions of
// the frame; one of them asks a question in the framework's message box.

#include "qa32kw25.h"

// The main window, class "HelloFrame" in hello.kwt.
class HelloFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(HelloFrame, KwWFrame)
public:
    HelloFrame() = default;

    // "KW_LINK_COMMAND@HelloFrame::LnkGreet@FW_HELLO" of BT_GREET
    int LnkGreet(TMvcParam& coParam);
    // "KW_LINK_COMMAND@HelloFrame::LnkQuit@FW_HELLO" of BT_QUIT
    int LnkQuit(TMvcParam& coParam);

    // The table that binds the stored link texts to the functions.
    static const KwMemberLinkArray m_staLinks[];

protected:
    HelloFrame(const HelloFrame& coOther) = default;
};

class HelloApp : public KwApp {
public:
    HelloApp() : KwApp("Kwillet Hello", nullptr, 1) {}

    // Installs hello.kwt, loads the window FW_HELLO and starts it as the
    // main window.
    int Main(short nArgc, const char** ppszArgv) override;
};
