#pragma once

// The content library: what windows show inside their border, drawn by the
// framework (texts with hot-key marks, alignment and line spacing).

#include "qa32kw25.h"

#include "KcntApi.h"
#include "KwCntText.h"
