#pragma once

#include "FlslApi.h"
#include "KwCopyOptions.h"
#include "KwWFrame.h"

class KwCheckBox;

// The frame in which the user chooses the options of every later copy: the
// rights copied (all parts, the DACL and the group, none) and the owner,
// what happens to files that exist already (replaced, skipped, replaced
// only when older), verifying, and how many files are copied at once. It opens with what the program's
// section of the profile holds (KwFileSelProfile); OK keeps the choice
// there, Cancel, Escape and the close box leave it as it was.
//
// A program's window resource (class "KwFileSelOptions") places and labels
// the choices, which the frame finds by name: the radio boxes
// "RB_RIGHTS_ALL", "RB_RIGHTS_DACL", "RB_RIGHTS_NONE" (one group),
// "RB_EXISTING_REPLACE", "RB_EXISTING_SKIP", "RB_EXISTING_OLDER" (another),
// the check boxes "CB_OWNER" and "CB_VERIFY", the edit field "ED_WORKERS"
// (0 to 64, 0: one per processor; anything but digits keeps what was
// stored, more than 64 is 64), the push buttons "PB_OK" and "PB_CANCEL". A choice the resource leaves out keeps its stored value.
// The owner can only be chosen while rights are copied.
class FLSL_API KwFileSelOptions : public KwWFrame {
    KW_DYNAMIC_CLASS(KwFileSelOptions, KwWFrame)
public:
    KwFileSelOptions() = default;
    ~KwFileSelOptions() override = default;
    KwFileSelOptions(const KwFileSelOptions&) = delete;
    KwFileSelOptions& operator=(const KwFileSelOptions&) = delete;

    // The options the boxes show, over those given.
    KwCopyOptions Chosen(const KwCopyOptions& coBase) const;
    // Shows the options in the boxes.
    void ShowOptions(const KwCopyOptions& coOptions);

    int EvInit() override;

protected:
    int LnkOk(TMvcParam& coParam);
    int LnkCancel(TMvcParam& coParam);
    int LnkRights(TMvcParam& coParam);

private:
    KwCheckBox* Box(const char* pszName) const;
    // The owner box follows the rights.
    void ShowOwnerChoice();
};
