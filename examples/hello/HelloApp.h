#pragma once

// Kwillet Hello: the example of an application built on the framework. Its
// window comes from the resource file hello.kwt (written as text in
// hello.kwt.txt): a menu bar, two buttons bound by name to member
// functions of the frame (one asks a question in the framework's message
// box), a list whose lines the frame gives, a combo box, and a progress
// bar that the frame's timer advances. Beside them the frame makes a tree
// pane and a drop window: a node dragged from the tree onto the drop
// window is shown there.

#include "qa32kcnt.h"
#include "qa32kctl.h"
#include "qa32kuti.h"
#include "qa32kw25.h"
#include "qa32xcnt.h"
#include "qa32xctl.h"

#include <memory>

// The main window, class "HelloFrame" in hello.kwt.
class HelloFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(HelloFrame, KwWFrame)
public:
    HelloFrame() = default;
    ~HelloFrame() override;

    // Makes the tree pane and the drop window, fills the list, loads the
    // drag pictures and starts the bar's timer; after the frame is loaded.
    void Prepare();

    // "KW_LINK_COMMAND@HelloFrame::LnkGreet@FW_HELLO" of BT_GREET
    int LnkGreet(TMvcParam& coParam);
    // "KW_LINK_COMMAND@HelloFrame::LnkQuit@FW_HELLO" of BT_QUIT and File/Exit
    int LnkQuit(TMvcParam& coParam);
    // File/Restart the bar and Help/About
    int LnkRestart(TMvcParam& coParam);
    int LnkAbout(TMvcParam& coParam);
    // "KW_LINK_LISTGETTEXT" of LB_WORDS
    int LnkWordText(TMvcParam& coParam);

    // The table that binds the stored link texts to the functions.
    static const KwMemberLinkArray m_staLinks[];

protected:
    HelloFrame(const HelloFrame& coOther);

    int EvTimer(unsigned long ulSysTime) override;

private:
    int LnkNodeText(TMvcParam& coParam);
    int LnkTreeMove(TMvcParam& coParam);
    int LnkCheckDrop(TMvcParam& coParam);
    int LnkDrop(TMvcParam& coParam);
    void ShowStatus(const char* pszText);
    KwProgressIndicator* Bar();

    std::unique_ptr<KwWindowTimer> m_pcoTimer;
    std::unique_ptr<KwDragObject> m_pcoDrag;
    KwWChild* m_pcoTreeWindow { nullptr };   // owned by the frame
    KwCntTree* m_pcoTree { nullptr };        // owned by its window
    KwWChild* m_pcoDropWindow { nullptr };   // owned by the frame
};

class HelloApp : public KwApp {
public:
    HelloApp() : KwApp("Kwillet Hello", nullptr, 1) {}

    // Installs hello.kwt, loads the window FW_HELLO and starts it as the
    // main window.
    int Main(short nArgc, const char** ppszArgv) override;
};
