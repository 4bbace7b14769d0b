#pragma once

// Running the GUI thread's message queue from a test. Both functions
// dispatch everything (translated, so that keys give characters), take
// WM_QUIT out of the way while they run and post it again when they return.

#include <functional>

namespace kwtest {

// Dispatches until fnDone() is true; false when nTimeoutMs passed first.
bool PumpUntil(const std::function<bool()>& fnDone, unsigned nTimeoutMs = 5000);

// Dispatches what is queued, paints included, until the queue has stayed
// empty for nQuietMs; false when it did not become quiet within nLimitMs
// (a timer faster than nQuietMs, a window that never validates).
bool PumpIdle(unsigned nQuietMs = 50, unsigned nLimitMs = 3000);

// Dispatches for the whole time.
void PumpFor(unsigned nMs);

// Has Wine put finished drawing on the screen without dispatching
// anything, for captures of the desktop (which read the X server).
void FlushDrawing();

} // namespace kwtest
