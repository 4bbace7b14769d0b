#pragma once

#include <cstdio>

// The command kwtcheck:
//
//   kwtcheck [-I directory]... [-l list]... [-m module]... [-q] resource-file
//
// One line per finding goes to pOut ("file: path: what"), the summary and
// every complaint to pErr. Answers the exit code.
enum : int {
    KwCheckExitClean = 0,        // nothing found
    KwCheckExitFindings = 1,
    KwCheckExitUnreadable = 2,   // the resource file, a list or a module cannot be read
    KwCheckExitUsage = 3,        // a wrong command line
};
int KwCheckCommand(int argc, const char* const* argv, std::FILE* pOut, std::FILE* pErr);
