#pragma once

#include "BootWindows.h"
#include "TBootSettings.h"
#include "TBootTempDir.h"

#include <atomic>
#include <cstddef>

// The setup starter. It prepares a fresh temporary directory on a drive with
// enough free space, copies "setup.ini" and the setup project file into it,
// lets the runtime archive "_plvrt_.exe" unpack itself there while a window
// shows a "+" for every second of work, starts "plvsetup.exe" from that
// directory and hides. When its window is closed (by the setup program once
// it is done, see README) it removes the temporary directory and ends.
//
// Two threads: the main thread owns the window and the message loop; the
// worker watches the archive's output pipe and starts the setup program.
// They share the worker state and the pipe (atomics) and the progress text
// (a critical section); everything else is set before the worker starts.
class TBootstrap {
public:
    static constexpr size_t kMaxStartDir = 512;  // characters of the start directory
    static constexpr size_t kMaxProgress = 1022; // "+" marks kept before starting again
    static constexpr size_t kCommandLineSize = 4096;

    // Platforms as the version query names them
    enum EPlatform { kWindows95 = 1, kWindowsNT = 2 };

    TBootstrap();
    virtual ~TBootstrap();
    TBootstrap(const TBootstrap&) = delete;
    TBootstrap& operator=(const TBootstrap&) = delete;

    // The whole program; answers the process exit code (1 on every failure).
    int Run(HINSTANCE hInstance, HINSTANCE hPrevInstance, int nShowCmd);

    // Start-up, in the order Run takes the steps. Each answers 1, or shows
    // its message box and answers 0.
    int CheckPlatform();
    int TakeStartDirectory();
    int ReadSettings();
    int PrepareTempDirectory();
    int CreateMainWindow(HINSTANCE hInstance, HINSTANCE hPrevInstance, int nShowCmd);
    int CopyInformationFile();
    int UpdateInformationFile();
    int CopyProjectFile();
    int StartRuntimeArchive();

    // Running and ending
    WPARAM RunMessageLoop();
    // After the window has closed: removes the temporary directory and
    // answers the exit code.
    int Finish(WPARAM wQuitCode);

    // Command lines; 0 when a line does not fit.
    int MakeArchiveCommandLine(char* pszLine, size_t nSize) const;
    int MakeSetupCommandLine(char* pszLine, size_t nSize) const;

    // Progress marks (worker appends, painting reads)
    void AppendProgressMark();
    void GetProgressText(char* pszText, size_t nSize) const;

    // State
    unsigned long GetPlatform() const { return m_ulPlatform; }
    const char* GetStartDir() const { return m_szStartDir; }
    const char* GetTempDir() const { return m_szTempDir; }
    int IsTempDirCreated() const { return m_nTempDirCreated; }
    const TBootSettings& GetSettings() const { return m_coSettings; }
    HWND GetWindow() const { return m_hWnd; }

protected:
    // Operating-system seams. The tests of the program's parts replace them;
    // the program itself replaces message boxes and the platform only when
    // the tests' environment variables are set (see README).
    virtual void ShowMessage(const char* pszText, const char* pszCaption);
    virtual int QueryVersion(OSVERSIONINFOA& coInfo);
    virtual int WriteIniKey(const char* pszKey, const char* pszValue, const char* pszIniFile);
    virtual int MakeDirectory(const char* pszPath);

private:
    // What the worker is doing; changed only by compare-and-swap, so the
    // main thread's "abandon" and the worker's own steps never overwrite
    // each other.
    enum EWorkerState { kWaitingForPipe, kReading, kFinished, kStartingSetup, kDone, kAbandoned };

    // Failures
    int Fail(const char* pszText, const char* pszCaption);
    int FailInitialization();
    int FailInternal(int nCode);

    // Worker
    static DWORD WINAPI WorkerEntry(LPVOID pvBootstrap);
    void Work();
    void WorkerFinished(int nFrom);
    int ReadOneByte(HANDLE hRead);
    int IsArchiveRunning() const;
    void StartSetupProgram();
    void AbandonWorker();
    // Ends the archive if it still runs, waits for it and for the worker.
    void EndArchive();
    void ReleaseWorkerHandles(HANDLE hRead);

    // Window
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void Paint(HWND hWnd);

    // Files
    static int CopyBytes(const char* pszSource, const char* pszTarget);
    void TestLog(const char* pszKind, const char* pszText) const;

    TBootSettings m_coSettings;
    unsigned long m_ulPlatform { 0 };
    char m_szStartDir[kMaxStartDir + 1] {};
    char m_szTempDir[TBootTempDir::kDirSize] {};
    int m_nTempDirCreated { 0 };
    HWND m_hWnd { nullptr };
    char m_szTestLog[MAX_PATH + 1] {};

    HANDLE m_hWorker { nullptr };
    std::atomic<int> m_anWorkerState { kWaitingForPipe };
    std::atomic<HANDLE> m_ahPipeRead { nullptr }; // handed to the worker once the archive runs
    HANDLE m_hArchive { nullptr };                // set before m_ahPipeRead is handed over; the main thread's
    std::atomic<int> m_anSetupFailed { 0 };

    mutable CRITICAL_SECTION m_csProgress;
    char m_szProgress[kMaxProgress + 1] {};
    size_t m_nProgress { 0 };
};
