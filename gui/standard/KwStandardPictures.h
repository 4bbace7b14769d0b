#pragma once

// The pictures of the framework's standard resource file, drawn from code:
// the message-box symbols, the default application icon and the drag
// pictures (32 by 32, 16 colours each), and the start-up logo (256 colours).
// The small pictures stand on light gray (192, 192, 192), colour number 15
// of the default colour table: the colour that drag objects draw as
// transparent and the background of the message dialog.

#include "KwRaster.h"

#include <vector>

namespace kwstandard {

struct TPicture {
    const char* pszId;
    const char* pszWhat;   // a line for the record's neighbours in the text
    kwraster::TIndexed coPicture;
};

// Every picture, in the order of their records.
std::vector<TPicture> StandardPictures();

// The transparent background of the small pictures.
constexpr kwraster::TRgb Background { 192, 192, 192 };

} // namespace kwstandard
