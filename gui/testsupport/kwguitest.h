#pragma once

// The support library of the GUI tests: everything a test of real windows
// needs, in raw Win32 (it does not use the framework).

#include "KwGuiInput.h"
#include "KwGuiModal.h"
#include "KwGuiPixels.h"
#include "KwGuiPump.h"
#include "KwGuiTestRun.h"
#include "KwGuiWatchdog.h"
#include "KwScreenshot.h"
#include "KwTestImage.h"
