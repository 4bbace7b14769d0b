#pragma once

#include <cstdint>
#include <string>
#include <utility>

// How far a run has come, carried by every Progress record: the bytes of
// file content written and to write, and the entries of the first pass
// done and in all.
struct KwCopyCounts {
    uint64_t m_ullBytesDone { 0 };
    uint64_t m_ullBytesAll { 0 };
    long m_lEntriesDone { 0 };
    long m_lEntriesAll { 0 };

    bool operator==(const KwCopyCounts& coOther) const
    {
        return m_ullBytesDone == coOther.m_ullBytesDone && m_ullBytesAll == coOther.m_ullBytesAll
            && m_lEntriesDone == coOther.m_lEntriesDone && m_lEntriesAll == coOther.m_lEntriesAll;
    }
    bool operator!=(const KwCopyCounts& coOther) const { return !(*this == coOther); }
};

// One thing the copy engine reports, in the order it happened. A reader
// rebuilds the output from them:
//   LineAdded   a new line (index GetLine(), counted from 0) with its text;
//               a line ending in "... " waits for its outcome;
//   LineEnded   text to append to line GetLine(), with its outcome;
//   Progress    the bar's new position, 0 to 100 (it never goes back), and
//               the counts (GetCounts);
//   Finished    the run is over: no record follows, the summary is final.
class KwCopyRecord {
public:
    enum Kind : unsigned char { LineAdded, LineEnded, Progress, Finished };
    enum Outcome : unsigned char {
        None,       // a line still waiting for its outcome, or Progress and Finished
        Ok,         // "ok"
        Failed,     // "failed !", with the reason when known
        Skipped,    // not copied on purpose (existing target, link, loop), with the reason
        Canceled,   // "Canceled by User"
        Listed,     // list-only run: what would be done
        Info,       // a complete line: "Ready. ", the summary
        Warning,    // a complete line said once: rights not copied, privilege missing
        Fatal,      // a complete line: the run refused to start
    };

    KwCopyRecord() = default;
    KwCopyRecord(Kind eKind, long lLine, std::string strText, Outcome eOutcome, int nPercent = 0)
        : m_eKind(eKind)
        , m_eOutcome(eOutcome)
        , m_lLine(lLine)
        , m_nPercent(nPercent)
        , m_strText(std::move(strText))
    {
    }

    Kind GetKind() const { return m_eKind; }
    Outcome GetOutcome() const { return m_eOutcome; }
    long GetLine() const { return m_lLine; }
    int GetPercent() const { return m_nPercent; }
    const char* GetText() const { return m_strText.c_str(); }
    const KwCopyCounts& GetCounts() const { return m_coCounts; }
    void SetCounts(const KwCopyCounts& coCounts) { m_coCounts = coCounts; }

private:
    Kind m_eKind { Progress };
    Outcome m_eOutcome { None };
    long m_lLine { -1 };
    int m_nPercent { 0 };
    std::string m_strText;          // UTF-8
    KwCopyCounts m_coCounts;
};
