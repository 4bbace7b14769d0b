#pragma once

#include "KwApp.h"

// Gandrel's application object: the name "Gandrel", no profile file of
// its own, the start-up logo shown.
class GdvApp : public KwApp {
public:
    GdvApp() : KwApp("Gandrel", nullptr, 1) {}

    // GdvStartUp: 1 when the main window started.
    int Main() override;
};
