#pragma once

// The main window of Gandrel: two file selectors side by side, "FS_1" on
// the left half and "FS_2" on the right, and the about box. The frame,
// its selectors, the about box and the progress window all come from the
// resource file "gandrel.kwt"; this class only lays the selectors out and
// answers the about box's two commands.

#include "KwEvent.h"
#include "KwWFrame.h"

struct KwMemberLinkArray;

class GdvMain : public KwWFrame {
    KW_DYNAMIC_CLASS(GdvMain, KwWFrame)
public:
    GdvMain() = default;
    // Builds the frame from "FW_MAIN" of the application's resources.
    explicit GdvMain(KwWnd* pcoParent);

    int EvInit() override;
    // Each selector gets half the width (rounded down) and the whole
    // height; a missing one is skipped.
    int EvSize(unsigned short unCode, const KwSize& coSize) override;

    // "KW_LINK_COMMAND@GdvMain::LnkCommandAbout@FW_MAIN": runs "FW_ABOUT"
    // modally over every other frame.
    int LnkCommandAbout(TMvcParam& coParam);
    // "KW_LINK_COMMAND@GdvMain::LnkAboutOk@FW_MAIN": destroys every about
    // box, which ends its modal run.
    int LnkAboutOk(TMvcParam& coParam);

    // The table that binds the link texts of "gandrel.kwt" to the handlers.
    static const KwMemberLinkArray m_staLinks[];
};
