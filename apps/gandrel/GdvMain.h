#pragma once

// The main window of Gandrel: two file selectors side by side, "FS_1" on
// the left half and "FS_2" on the right, and its menus: File (copy to the
// other side, read both sides again, exit), Options (the copy options) and
// Help (the keys, the about box). The frame, its selectors, the boxes, the
// options frame and the progress window all come from the resource file
// "gandrel.kwt"; this class lays the selectors out and answers the menus,
// reaching the selectors' operations by name (the program does not link
// their library).

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
    // "...@GdvMain::LnkCommandKeys@FW_MAIN": the keys ("FW_KEYS"), modally.
    int LnkCommandKeys(TMvcParam& coParam);
    // "...@GdvMain::LnkCloseBox@FW_MAIN": ends the box whose button it is.
    int LnkCloseBox(TMvcParam& coParam);
    // "...@GdvMain::LnkCommandOptions@FW_MAIN": the copy options
    // ("FW_OPTIONS", a KwFileSelOptions), modally.
    int LnkCommandOptions(TMvcParam& coParam);
    // "...@GdvMain::LnkCommandCopy@FW_MAIN": F5 of the selector that has
    // the focus (the left one when none has).
    int LnkCommandCopy(TMvcParam& coParam);
    // "...@GdvMain::LnkCommandRefresh@FW_MAIN": both selectors read again.
    int LnkCommandRefresh(TMvcParam& coParam);
    // "...@GdvMain::LnkCommandExit@FW_MAIN": closes the main window.
    int LnkCommandExit(TMvcParam& coParam);

    // The table that binds the link texts of "gandrel.kwt" to the handlers.
    static const KwMemberLinkArray m_staLinks[];

private:
    void RunBox(const char* pszId);
    KwWnd* FocusSelector() const;
};
