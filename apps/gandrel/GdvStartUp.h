#pragma once

// Gandrel's start-up, apart from its application object, so that a test
// program runs the real start-up with its own application object.

class KwApp;

// The resource file Gandrel needs: "gandrel.kwt".
extern const char* const GdvResourceFile;

// Finds "gandrel.kwt" (as named, then along the directories of the
// profile), installs it with GdvMain's link table, loads "FW_MAIN" and
// starts it: 1. Drives that are not ready raise no system boxes from then
// on (GdvQuietDriveErrors). On a failure it shows the reason in the application's
// message box, titled "ZORVIK Message", and answers 0; no main window
// exists then.
int GdvStartUp(KwApp& coApp);
