#pragma once

#include "Kw25Api.h"
#include "TString.h"

// Profile (INI) files read and written by the framework itself, where the
// window system offers no profile functions of its own (the neutral
// adapter). Sections and keys are found without regard to case; a value
// is the text after the first '=' with the blanks around it removed.
class KW25_API KwProfile {
public:
    // The value of the key, or the default when the file, the section or
    // the key is missing.
    static TString GetString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault);
    // Sets the key (adding section and key where missing); a null value
    // removes the key. 1 when the file was written.
    static int WriteString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue);
    // The value as a number: its leading digits (with sign); the default
    // when the key is missing or holds no number.
    static short ToShort(const char* pszValue, short nDefault);
};
