#pragma once

#include "FlslApi.h"
#include "KwCopyEngine.h"
#include "KwFileSelProgressState.h"
#include "KwWFrame.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

class KwCntText;
class KwListText;
class KwProgressIndicator;
class KwPushButton;
class KwWChild;
class KwWindowTimer;
class TFileSelection;

// The modal progress window of one copy: the source and target, one line
// per action in its outcome's colour (the first states the run's options),
// the bar, a status line (bytes, files, speed, time left) and the buttons
// List only (a trial run, after which Start may still copy), Start,
// Cancel, Close and Save log (which asks where with the file dialog,
// proposing a name with the run's date and time).
//
// A window made for a parent runs with the options the user chose
// (KwFileSelProfile::CopyOptions).
//
// The frame and its children come from the window resource "FW_PROGRESS"
// of the application's resources when one is installed (a program's
// resource file places and names them); every child it does not bring is
// made here, so the window also works without any resource file.
//
// The copy runs on the engine's worker thread. The worker never touches a
// window: its records go into the engine's queue, whose notification posts
// a message to this frame; the frame then pumps the records into its state
// and repaints. While a run is in progress a close request (close box,
// Alt+F4, Escape, Close) acts as Cancel; the destructor cancels and waits
// for the worker before any child goes.
class FLSL_API KwFileSelProgress : public KwWFrame {
    KW_DYNAMIC_CLASS(KwFileSelProgress, KwWFrame)
public:
    enum : unsigned { MsgRecords = 0x8000 + 0x2A };     // WM_APP + 42

    // Without a parent and without reading "FW_PROGRESS" (the reader's
    // way of making the frame by its class name).
    KwFileSelProgress();
    // From "FW_PROGRESS" when the application's resources hold it.
    explicit KwFileSelProgress(KwWnd* pcoParent);
    // No parent (the class's registration takes a pointer too).
    explicit KwFileSelProgress(std::nullptr_t) : KwFileSelProgress(static_cast<KwWnd*>(nullptr)) {}
    ~KwFileSelProgress() override;
    KwFileSelProgress(const KwFileSelProgress&) = delete;
    KwFileSelProgress& operator=(const KwFileSelProgress&) = delete;

    // Paths in the system's code page, as the selectors and TPath hold
    // them; the engine works in UTF-8. Each answers 1 when the engine took
    // the value.
    int SetPathFrom(const char* pszPath);
    int SetPathTo(const char* pszPath);
    // The caller keeps the selection alive until the window has closed.
    int SetFiles(const TFileSelection* pcoFiles);
    // Creates the frame, runs it modally until it closes; the dialog result.
    short RunModal();
    // The file system and security calls of the windows made from now on
    // (null: the platform's), for tests that put a fault into a run. The
    // objects must outlive those windows.
    static void UseSeams(KwCopyFileSystem* pcoFileSystem, KwSecurityApi* pcoSecurity);

    // For the program and its tests; the children are null once the
    // window has closed.
    KwFileSelProgressState& State() { return *m_pcoState; }
    KwCopyEngine& Engine() { return *m_pcoEngine; }
    // The output lines (UTF-8, as the log holds them; the list shows them
    // in the system's code page) and their text colours.
    long LineCount() const;
    std::string Line(long lLine) const;
    int LineColour(long lLine) const;
    // The bar's caption: "42 %" while running, then the run's result.
    std::string BarText() const;
    KwListText* GetList() const { return m_pcoListBox; }
    KwProgressIndicator* GetBar() const { return m_pcoPrgInd; }
    KwPushButton* GetStart() const { return m_pcoPbStart; }
    KwPushButton* GetCancel() const { return m_pcoPbCancel; }
    KwPushButton* GetClose() const { return m_pcoPbClose; }
    KwPushButton* GetSaveLog() const { return m_pcoPbSave; }
    KwPushButton* GetListOnly() const { return m_pcoPbList; }
    std::string StatusText() const;
    // Saves the output as a log to the path (the system's code page); the
    // outcome shows in the status line.
    int SaveLog(const std::string& strPath);
    // The name Save log proposes: the program's, the run's date and time.
    std::string ProposedLogName() const;

    int EvCreate() override;
    int EvInit() override;
    int EvClose() override;
    // The children go with the system window: their pointers are cleared.
    int EvDestroy() override;
    int EvPaint(KwPaintDC& coDC) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    int EvUser(KwMessParam* pcoParam) override;
    int EvTimer(unsigned long ulSysTime) override;

protected:
    int LnkListGetText(TMvcParam& coParam);
    int LnkCommandStart(TMvcParam& coParam);
    int LnkCommandCancel(TMvcParam& coParam);
    int LnkCommandClose(TMvcParam& coParam);
    int LnkCommandSave(TMvcParam& coParam);
    int LnkCommandListOnly(TMvcParam& coParam);

private:
    // Where the worker's notifications go: the window's handle, given when
    // the window is created and cleared before it goes, under a lock of its
    // own, so that the worker never reads the window object and never
    // posts to a window that has gone.
    class TPostTarget {
    public:
        void Set(KwHandle hWnd);
        // 1 when the message was posted.
        int Post(unsigned unMsg);

    private:
        std::mutex m_coLock;
        KwHandle m_hWnd { 0 };
    };

    static void NotifyRecords(void* pvContext);
    void LoadFromResource(KwWnd* pcoParent);
    // Each finds the child by its name, or makes it, and gives it its looks.
    KwWChild* MakeFrame(const char* pszName, const char* pszText, KwWnd* pcoParent);
    KwPushButton* MakeButton(const char* pszName, const char* pszText);
    KwListText* MakeList();
    KwProgressIndicator* MakeBar();
    void MakeChildren();
    void Layout();
    // Shows the state: list range, bar, status, buttons.
    void ShowState();
    void ShowButtons();
    void DrainRecords();
    // Asks where to save the log; 1 with the path chosen.
    int ChooseLogPath(std::string& strPath);
    // After Start or List only.
    void StartedRun(int nStarted);

    // The engine before the state, so the state (which cancels and joins)
    // goes first.
    std::unique_ptr<KwCopyEngine> m_pcoEngine;
    std::unique_ptr<KwFileSelProgressState> m_pcoState;
    std::string m_strPathFrom;
    std::string m_strPathTo;
    std::string m_strLogResult;
    KwWnd* m_pcoParentWnd { nullptr };
    KwWChild* m_pcoFrom { nullptr };
    KwWChild* m_pcoFromPath { nullptr };
    KwWChild* m_pcoTo { nullptr };
    KwWChild* m_pcoToPath { nullptr };
    KwWChild* m_pcoListFrame { nullptr };
    KwListText* m_pcoListBox { nullptr };
    KwWChild* m_pcoPrgIndFrame { nullptr };
    KwProgressIndicator* m_pcoPrgInd { nullptr };
    KwWChild* m_pcoStatus { nullptr };
    KwPushButton* m_pcoPbStart { nullptr };
    KwPushButton* m_pcoPbCancel { nullptr };
    KwPushButton* m_pcoPbClose { nullptr };
    KwPushButton* m_pcoPbSave { nullptr };
    KwPushButton* m_pcoPbList { nullptr };
    // Set by the worker's first notification; while set, the records are
    // drained on a timer, so that a fast worker's posts never starve the
    // user's input (posted messages come before input).
    std::atomic<bool> m_bPosted { false };
    TPostTarget m_coPostTarget;
    std::unique_ptr<KwWindowTimer> m_pcoTimer;
    long m_lShownLines { 0 };
    unsigned short m_unShownPercent { 0 };
};
