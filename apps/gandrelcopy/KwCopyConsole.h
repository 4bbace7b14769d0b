#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What gandrelcopy needs of its console, per platform: the arguments and
// the output as UTF-8 (wide calls on Windows, so names outside the ANSI
// code page survive), a log file, and the interrupt key as a flag that the
// main loop turns into a cancel.
class KwCopyConsole {
public:
    // The program's arguments without its name.
    static std::vector<std::string> Arguments(int argc, char** argv);
    // Writes UTF-8 text to stdout or stderr: to a console as characters,
    // to a pipe or file as UTF-8 bytes.
    static void Write(FILE* pStream, const std::string& strText);
    static FILE* OpenLog(const std::string& strPath);
    static const char* NewLine();

    // Output streams that write NewLine() as it is, and Ctrl+C (or
    // Ctrl+Break) no longer ends the program but is remembered.
    static void Prepare();
    static int Interrupted();
};
