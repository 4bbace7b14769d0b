#pragma once

#include "FlslApi.h"
#include "KwCopyOptions.h"

#include <string>

// The program's section of the framework's profile, where the file
// selector and its windows keep what the user chose: the copy options
// (KwFileSelCopySettings) and the directory of the last saved log. The
// section is the application's name; the file is the profile the framework
// read ("zorvik30.ini") or, when it found none, one of that name in the
// Windows directory, where the framework looks first.
class FLSL_API KwFileSelProfile {
public:
    static std::string Section();
    static std::string File();
    // Another file (a test's, a program's own); empty: the framework's.
    static void UseFile(const std::string& strFile);

    // "" when the key is not there.
    static std::string Get(const char* pszKey);
    // 1 when written.
    static int Set(const char* pszKey, const char* pszValue);

    // The copy options kept there, over the defaults.
    static KwCopyOptions CopyOptions();
    // 1 when every one was written.
    static int SetCopyOptions(const KwCopyOptions& coOptions);

    // Keys of their own
    static const char* const KeyLogDirectory;
};
