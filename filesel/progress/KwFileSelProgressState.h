#pragma once

#include "KwCopyEngine.h"
#include "KwCopyRecord.h"

#include <chrono>
#include <ctime>
#include <cstdint>
#include <string>
#include <vector>

// What the progress window shows, kept on the window's thread: the output
// lines with their outcomes, the bar, the counts, speed and time left, the
// summary and which buttons may be pressed. The window draws it and
// forwards its buttons and close requests here; the engine's records reach
// it through Pump, which the window calls when the engine's notification
// (posted from the worker) arrives. Nothing here is touched by the worker.
//
// Every run's first line states its options (KwFileSelCopySettings::
// Describe); the engine's lines follow.
//
// Phases, by the buttons that may be pressed:
//   Ready       Start, List only, Close
//   Running     Cancel
//   Cancelling  none
//   Finished    Close; after a list-only run that was not cancelled also
//               Start and List only, so that the trial leads to the copy
class KwFileSelProgressState {
public:
    using Clock = std::chrono::steady_clock;
    enum Phase : unsigned char { Ready, Running, Cancelling, Finished };
    // How the bar looks once the run is over: the run's real result, so a
    // run with failures never shows as a clean 100.
    enum BarState : unsigned char { BarRunning, BarDone, BarFailed, BarCanceled, BarRefused };
    // Colour-table entries of a line's text (its background is always 17).
    enum Colour : int { ColourWaiting = 2, ColourOk = 18, ColourFailed = 12, ColourBar = 21 };
    // The lines before the engine's: the one of the options.
    enum : long { HeadLines = 1 };

    explicit KwFileSelProgressState(KwCopyEngine& coEngine);
    KwFileSelProgressState(const KwFileSelProgressState&) = delete;
    KwFileSelProgressState& operator=(const KwFileSelProgressState&) = delete;
    // Cancels a running worker and waits for it, before the lines go.
    ~KwFileSelProgressState();

    // Buttons. Each answers 1 when it changed something.
    int PressStart(Clock::time_point coNow = Clock::now());
    // A trial run: the engine's list-only run ("/L").
    int PressListOnly(Clock::time_point coNow = Clock::now());
    int PressCancel();
    // The close box, Alt+F4, Escape and the Close button: 1 when the window
    // may close now. While a run is in progress it acts as Cancel (0).
    int RequestClose();
    int CanStart() const
    {
        return m_ePhase == Ready || (m_ePhase == Finished && m_nListOnly && !m_coResult.m_nCanceled);
    }
    int CanCancel() const { return m_ePhase == Running; }
    int CanClose() const { return m_ePhase == Ready || m_ePhase == Finished; }
    Phase GetPhase() const { return m_ePhase; }

    // Records. Pump drains the engine's queue and applies what it held, in
    // order; the number applied.
    size_t Pump(Clock::time_point coNow = Clock::now());
    void Apply(const KwCopyRecord& coRecord, Clock::time_point coNow);

    // Lines
    long LineCount() const { return static_cast<long>(m_vecLines.size()); }
    // Empty for an index out of range.
    const std::string& Line(long lLine) const;
    KwCopyRecord::Outcome LineOutcome(long lLine) const;
    int LineColour(long lLine) const;
    static int ColourOf(KwCopyRecord::Outcome eOutcome);

    // The bar and what is shown beside it
    int GetPercent() const { return m_nPercent; }
    BarState GetBarState() const { return m_eBar; }
    // The bar's caption: "42 %" while running, then the result.
    std::string BarText() const;
    // The colour-table entry the bar is filled with: the highlight (21)
    // while running and after a clean run, 12 after failures, a cancel or
    // a refusal.
    int BarFillColour() const;
    const KwCopyCounts& GetCounts() const { return m_coCounts; }
    // Bytes written per second since Start; 0 before anything was written.
    double BytesPerSecond() const;
    // Seconds until the last byte at the present speed; -1 when unknown.
    long SecondsLeft() const;
    // "Files: 3 of 10   Bytes: 1.2 MB of 4.5 MB"
    std::string CountsText() const;
    // "2.1 MB/s, 0:12 left" while running; the average speed afterwards.
    std::string SpeedText() const;
    // The engine's summary line, once finished; empty before.
    const std::string& GetSummary() const { return m_strSummary; }
    const KwCopySummary& GetResult() const { return m_coResult; }
    // The wall-clock time the last run started; 0 before any.
    std::time_t GetStartTime() const { return m_tStarted; }
    // Whether the last run was a trial run.
    int WasListOnly() const { return m_nListOnly; }

    // Writes every line, one a line (CR LF), to the file; replaces an
    // existing one only when the whole log was written. On failure, 0 and
    // the reason in strError.
    int SaveLog(const std::string& strPath, std::string& strError) const;

    // Text helpers, shared with the window: "1.2 MB", "0:12", "1:02:03".
    static std::string BytesText(uint64_t ullBytes);
    static std::string DurationText(long lSeconds);

private:
    struct TLine {
        std::string m_strText;
        KwCopyRecord::Outcome m_eOutcome;
    };

    int StartRun(int nListOnly, Clock::time_point coNow);
    void Finish();

    KwCopyEngine& m_coEngine;
    Phase m_ePhase { Ready };
    BarState m_eBar { BarRunning };
    std::vector<TLine> m_vecLines;
    int m_nPercent { 0 };
    KwCopyCounts m_coCounts;
    Clock::time_point m_coStarted;
    Clock::time_point m_coLastProgress;
    std::time_t m_tStarted { 0 };
    int m_nListOnly { 0 };
    std::string m_strSummary;
    KwCopySummary m_coResult;
    std::vector<KwCopyRecord> m_vecDrained;     // reused by Pump
};
