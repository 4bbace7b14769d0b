#pragma once

#include "TConsoleProcess.h"

#include <atomic>
#include <cstdint>

// The Win32 console process: anonymous pipes for standard input and for
// standard output and error together, a hidden child process, and a worker
// that polls the output pipe every 5 ms and hands every read on as
// "TCP_STDOUT_READ". After the child has ended the worker keeps reading for
// five more passes, so output written just before the end is not lost.
//
// The child is tracked by its process handle as well as its id, so a
// recycled id never makes another process look like the child.
class KWTL_API TConProWinNT : public TConsoleProcess {
    KW_DYNAMIC_CLASS(TConProWinNT, TConsoleProcess)
public:
    TConProWinNT() = default;
    // Ends the program, waits for the worker and closes the pipes.
    ~TConProWinNT() override;

    int Start(const char* pszCommandLine) override;
    // Terminates the program (1 when that succeeded) and cancels the worker.
    int Stop() override;
    // Writes the bytes, followed by a 0 byte unless they end in one.
    int WriteStdin(const char* pchData, unsigned int uCount) override;

    unsigned long GetProcessId() const { return m_ulProcessId.load(); }

protected:
    void ConsoleThreadHandler(TOsThread* pcoThread) override;
    virtual int CreateConsoleProcess(const char* pszCommandLine, intptr_t hStdin, intptr_t hStdout);

private:
    void CloseParentEnds();
    void CloseProcessHandle();
    // Clears the id once the child has ended.
    void CheckProcess();
    // Takes the id and terminates the child; 1 when it was terminated.
    int TerminateChild();

    intptr_t m_hStdoutRead { -1 };   // the worker's while it runs, else the owner's
    intptr_t m_hStdinWrite { -1 };   // the owner's
    std::atomic<unsigned long> m_ulProcessId { 0 };
    intptr_t m_hProcess { -1 };      // closed only while no worker runs
    // Set once the child runs and "TCP_PROCESS_STARTED" was sent; the
    // worker reads nothing before. A start that fails cancels it instead.
    std::atomic<int> m_nReleased { 0 };
    // The worker's own flag, set when a handler on the worker deletes this object.
    int* m_pnDestroyed { nullptr };
    // Start's own flag, set when a handler of the start event deletes this object.
    int* m_pnStartDestroyed { nullptr };
};
