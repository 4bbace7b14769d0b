#pragma once

// The tree content: a tree of nodes shown in a window, opened, closed,
// focused and scrolled by the user, its texts given by the program.

#include "qa32kw25.h"

#include "XcntApi.h"
#include "KwEventCntTree.h"
#include "KwCntTree.h"
