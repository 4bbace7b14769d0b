#pragma once

// The interaction utilities: rubber bands, drag objects and the file
// dialog.

#include "qa32kw25.h"

#include "KutiApi.h"
#include "KwRubber.h"
#include "KwRubberShapes.h"
#include "KwRubberArea.h"
#include "KwEventDrop.h"
#include "KwDragObject.h"
#include "KwFileDialog.h"
