#pragma once

#include "FlslApi.h"

class KwBitmap;

// The drag pictures from the application's resources. The program's own
// resource files come before the files they are based on (the standard
// file holds pictures of the same ids), so the latest installed file that
// holds the id serves. 1 when the picture was read.
FLSL_API int KwFileSelLoadAppPicture(const char* pszId, KwBitmap& coBitmap);
