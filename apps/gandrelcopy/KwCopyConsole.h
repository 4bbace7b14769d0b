#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What gandrelcopy needs of its console, per platform: the arguments and
// the output as UTF-8 (wide calls on Windows, so names outside the ANSI
// code page survive), a log file, and the interrupt key, a closed console
// window, the end of the session (natively a hang-up or a termination
// request) as a flag that the main loop turns into a cancel.
class KwCopyConsole {
public:
    // The program's arguments without its name.
    static std::vector<std::string> Arguments(int argc, char** argv);
    // Writes UTF-8 text to stdout or stderr: to a console as characters,
    // to a pipe or file as UTF-8 bytes.
    static void Write(FILE* pStream, const std::string& strText);
    static FILE* OpenLog(const std::string& strPath);
    static const char* NewLine();

    // Output streams that write NewLine() as it is, and Ctrl+C, Ctrl+Break,
    // closing the console and the end of the session (natively SIGINT,
    // SIGTERM and SIGHUP) no longer end the program but are remembered.
    static void Prepare();
    static int Interrupted();
    // Says that the run has ended and its files are clean. Windows ends a
    // program soon after its console closes or its session ends: until
    // then, the handler of that event waits for this.
    static void RunEnded();
};
