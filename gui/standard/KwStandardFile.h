#pragma once

// The framework's standard resource file "zorvik30.kwt": its project
// information, the message dialog "DLG_GER_MESSAGE" and the pictures of
// KwStandardPictures. The file is written through the resource file
// handler, so its bytes are what the framework itself writes, and handed
// out as the text of kwtdump, which kwtmake compiles at build time. The
// file's history is fixed, so that the text changes only with its content.

#include <string>

namespace kwstandard {

// The file's name.
constexpr const char* FileName = "zorvik30.kwt";

// The whole text; false with the reason when the file could not be made.
bool StandardFileText(std::string& strText, std::string& strError);

} // namespace kwstandard
