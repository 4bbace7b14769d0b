#pragma once

class KwWFrame;

// The program's icon "ICON_GANDREL" (an icon group resource of the
// executable) in the frame's caption and task list entry; a module
// without it leaves the frame as it is.
void GdvShowProgramIcon(KwWFrame& coFrame);
