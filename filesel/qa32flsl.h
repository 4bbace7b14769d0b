#pragma once

// The file selector: a drive's directory tree and the files of one of its
// directories, dragged between selectors and copied with their security
// descriptors.

#include "qa32kw25.h"

#include "FlslApi.h"
#include "KwEventFileSelector.h"
