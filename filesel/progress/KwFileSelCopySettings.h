#pragma once

#include "KwCopyOptions.h"

#include <ctime>
#include <functional>
#include <string>

// The copy options a program keeps for its user between runs, as the text
// values of its section of the profile, and the words in which a run
// states them. Only what the user chooses is kept:
//
//   CopyRights     all | dacl | none     (dacl: the DACL and the group)
//   CopyOwner      0 | 1
//   ExistingFiles  replace | skip | older (older: replaced only when older)
//   Verify         0 | 1                 (bytes and rights read back)
//   Workers        0 to 64               (files copied at once; 0: one per
//                                         processor; more: 64)
//
// A key that is missing or holds a value of no meaning leaves that option
// as it was.
class KwFileSelCopySettings {
public:
    // A key's value, "" when absent; writing one answers 1 when it was
    // written.
    using Reader = std::function<std::string(const char* pszKey)>;
    using Writer = std::function<int(const char* pszKey, const char* pszValue)>;

    static void Read(const Reader& fnRead, KwCopyOptions& coOptions);
    // The count of workers a text of digits names (blanks around allowed),
    // at most MaxWorkers; nWorkers when it names none.
    static int WorkersOf(const std::string& strValue, int nWorkers);
    // 1 when every key was written.
    static int Write(const KwCopyOptions& coOptions, const Writer& fnWrite);
    // The first line of a run: "Options: rights: group, DACL and SACL;
    // owner: no; existing files: replace; verify: no; files at once: 1",
    // after "List only (nothing is changed). " for a trial run.
    static std::string Describe(const KwCopyOptions& coOptions);
    // The name proposed for a run's log: "<program>-YYYYMMDD-HHMMSS.log"
    // of the time given, the program's name in lower case.
    static std::string LogFileName(const std::string& strProgram, const std::tm& coTime);
};
