#pragma once

// The extended controls: controls built on the standard controls and the
// content objects, such as the progress indicator.

#include "qa32kw25.h"

#include "XctlApi.h"
#include "KwProgressIndicator.h"
