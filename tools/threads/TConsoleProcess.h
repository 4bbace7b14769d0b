#pragma once

#include "TDynBase.h"
#include "TMvc.h"
#include "TOsThread.h"
#include "TString.h"

#include <atomic>
#include <ctime>

class TConsoleProcess;

// The parameter of the console-process events: the process, and for
// "TCP_STDOUT_READ" the bytes read, valid only during the call.
class KWTL_API TcpParam : public TMvcParam {
    KW_DYNAMIC_CLASS(TcpParam, TMvcParam)
public:
    TcpParam(TConsoleProcess& coProcess, const char* pchBuffer, unsigned int uCount);

    TConsoleProcess& EventObject() const;
    const char* Buffer() const { return m_pchBuffer; }
    unsigned int ByteCount() const { return static_cast<unsigned int>(LParam2()); }

protected:
    TcpParam() = default;

private:
    // The text's address does not fit the first parameter on every
    // platform, so it is kept here; the first parameter holds 0.
    const char* m_pchBuffer { nullptr };   // not owned
};

// A console program run as a hidden child process: its standard input is
// fed by WriteStdin, and everything it writes to standard output or
// standard error arrives chunk by chunk, in order, as "TCP_STDOUT_READ"
// events, between "TCP_PROCESS_STARTED" and "TCP_PROCESS_ENDED".
//
// A worker thread reads the output and watches the process.
// "TCP_PROCESS_STARTED" is called on the thread that calls Start, the
// other two events on the worker thread: their handlers must not assume
// the GUI thread. Start, Stop and WriteStdin belong to the owning thread.
// A handler may delete the process object; the worker then ends without
// touching it again.
//
// TConsoleProcess defines the interface and the events; the platform class
// comes from CurrentOS().CreateConsoleProcess().
class KWTL_API TConsoleProcess : public TDynBase {
    KW_DYNAMIC_CLASS(TConsoleProcess, TDynBase)
    KW_MVC_CLASS(TConsoleProcess, TDynBase)
public:
    TConsoleProcess();
    TConsoleProcess(const TConsoleProcess&) = delete;
    TConsoleProcess& operator=(const TConsoleProcess&) = delete;
    // Cancels a running worker and waits until it has finished.
    ~TConsoleProcess() override;

    // The overridables are declared in the order of their slots.
protected:
    // The worker loop; the base has none.
    virtual void ConsoleThreadHandler(TOsThread* pcoThread);
    virtual void NotifyStdoutRead(const char* pchBuffer, unsigned int uCount);
    virtual void NotifyProcessStarted();
    virtual void NotifyProcessEnded();

public:
    // Process
    virtual int Start(const char* pszCommandLine);
    virtual int Stop();
    // Whether the worker thread runs.
    virtual int IsStarted() const;
    virtual int WriteStdin(const char* pchData, unsigned int uCount);

    // Times, in seconds; 0 before the first start.
    TString GetCommandLine() const { return m_coCommandLine; }
    time_t GetProcessStartTime() const { return m_tStart.load(); }
    time_t GetProcessEndTime() const { return m_tEnd.load(); }
    // End minus start once ended; the seconds since the start while it runs.
    time_t GetProcessDuration() const;

protected:
    TOsThread* GetWorker() const { return m_coThread.GetThread(); }
    TOsThread* AccessWorker() { return m_coThread.Access(); }
    // Cancels the worker and waits for it, in steps of 100 ms; returns at
    // once on the worker itself.
    void EndWorker();

    TString m_coCommandLine;
    TThreadPtr m_coThread { this, KwThreadHandler(&TConsoleProcess::ConsoleThreadHandler) };
    // Written by the owner and by the worker, read by both.
    std::atomic<time_t> m_tStart { 0 };
    std::atomic<time_t> m_tEnd { 0 };
};

// Holds one console process of the platform, made on first use and deleted
// with the holder. Not copied.
class KWTL_API TConProcPtr {
public:
    TConProcPtr() = default;
    TConProcPtr(const TConProcPtr&) = delete;
    TConProcPtr& operator=(const TConProcPtr&) = delete;
    virtual ~TConProcPtr();

    // Null when the platform has no console processes.
    TConsoleProcess* Access();
    TConsoleProcess* operator->() { return Access(); }

private:
    TConsoleProcess* m_pcoProcess { nullptr };   // owned
};
