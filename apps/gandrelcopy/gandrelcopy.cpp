// gandrelcopy: the rights-preserving copy of Gandrel for scripts.
//
// Prints one line per action in the copy engine's words, then a summary,
// and ends with robocopy-style exit bits (KwCopySummary::ExitCode); bad
// arguments and missing sources give the usage or a message and 16.

#include "KwCopyCommandLine.h"
#include "KwCopyConsole.h"
#include "KwCopyEngine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFatal = 16;

// Turns the engine's records into output lines: a line waiting for its
// outcome is shown at once, so a long copy shows what it is doing, and
// is completed when the outcome arrives. The log gets whole lines.
class TPrinter {
public:
    explicit TPrinter(FILE* pLog) : m_pLog(pLog) {}
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // 1 once the Finished record has been shown.
    int Show(const KwCopyRecord& coRecord)
    {
        switch (coRecord.GetKind()) {
        case KwCopyRecord::LineAdded:
            CloseOpenLine();
            m_strLine = coRecord.GetText();
            Out(m_strLine);
            if (coRecord.GetOutcome() == KwCopyRecord::None)
                m_lOpen = coRecord.GetLine();
            else
                EndLine();
            return 0;
        case KwCopyRecord::LineEnded:
            if (coRecord.GetLine() == m_lOpen) {
                m_strLine += coRecord.GetText();
                Out(coRecord.GetText());
                EndLine();
            }
            return 0;
        case KwCopyRecord::Finished:
            CloseOpenLine();
            return 1;
        default:
            return 0;
        }
    }

private:
    void Out(const std::string& strText) { KwCopyConsole::Write(stdout, strText); }

    void EndLine()
    {
        Out(KwCopyConsole::NewLine());
        if (m_pLog) {
            std::fputs(m_strLine.c_str(), m_pLog);
            std::fputs(KwCopyConsole::NewLine(), m_pLog);
        }
        m_lOpen = -1;
    }

    void CloseOpenLine()
    {
        if (m_lOpen >= 0)
            EndLine();
    }

    FILE* m_pLog;
    long m_lOpen { -1 };
    std::string m_strLine;
};

int Fail(const std::string& strMessage, bool bUsage)
{
    KwCopyConsole::Write(stderr, "gandrelcopy: " + strMessage + KwCopyConsole::NewLine());
    if (bUsage)
        KwCopyConsole::Write(stderr, KwCopyCommandLine::Usage());
    return kFatal;
}

// The reason a path cannot serve, or empty when it can.
std::string CheckPath(KwCopyFileSystem& coFs, const std::string& strPath, KwCopyStat::Kind eWanted,
                      const char* pszRole, std::string& strFull)
{
    if (!coFs.FullPath(strPath, strFull))
        return std::string("the ") + pszRole + " \"" + strPath + "\" is not a valid path";
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    if (!coFs.Stat(strFull, coEntry, coError))
        return std::string("the ") + pszRole + " \"" + strPath + "\" cannot be found: " + coFs.ErrorText(coError.m_ulCode);
    if (coEntry.m_coStat.m_eKind == eWanted)
        return std::string();
    return std::string("the ") + pszRole + " \"" + strPath + "\" is "
        + (eWanted == KwCopyStat::Directory ? "not a directory (copy files with /FILES)"
                                            : "not a file (copy a directory as SOURCE)");
}

int Run(const KwCopyCommandLine& coLine)
{
    KwCopyFileSystem& coFs = KwCopyFileSystem::Platform();
    std::string strTarget;
    std::string strFull;
    if (!coFs.FullPath(coLine.GetTarget(), strTarget))
        return Fail("the target \"" + coLine.GetTarget() + "\" is not a valid path", false);
    KwCopyDirEntry coTarget;
    KwCopyError coError;
    if (coFs.Stat(strTarget, coTarget, coError) && coTarget.m_coStat.m_eKind != KwCopyStat::Directory)
        return Fail("the target \"" + coLine.GetTarget() + "\" is not a directory", false);

    KwCopyEngine coEngine;
    coEngine.Options() = coLine.GetOptions();
    coEngine.SetPathTo(strTarget.c_str());
    if (coLine.IsSelection()) {
        std::vector<std::string> vecFiles;
        for (const std::string& strFile : coLine.GetFiles()) {
            const std::string strReason = CheckPath(coFs, strFile, KwCopyStat::File, "file", strFull);
            if (!strReason.empty())
                return Fail(strReason, false);
            vecFiles.push_back(strFull);
        }
        coEngine.SetFileNames(vecFiles);
    } else {
        const std::string strReason = CheckPath(coFs, coLine.GetSource(), KwCopyStat::Directory, "source", strFull);
        if (!strReason.empty())
            return Fail(strReason, false);
        coEngine.SetPathFrom(strFull.c_str());
    }

    FILE* pLog = nullptr;
    if (!coLine.GetLog().empty() && !(pLog = KwCopyConsole::OpenLog(coLine.GetLog())))
        return Fail("the log \"" + coLine.GetLog() + "\" cannot be written", false);
    if (!coEngine.Start()) {
        if (pLog)
            std::fclose(pLog);
        return Fail("the copy cannot be started", false);
    }
    TPrinter coPrinter(pLog);
    std::vector<KwCopyRecord> vecRecords;
    for (int nFinished = 0; !nFinished;) {
        coEngine.Queue().Wait(100);
        if (KwCopyConsole::Interrupted() && !coEngine.IsCanceled())
            coEngine.Cancel();
        vecRecords.clear();
        coEngine.Queue().Drain(vecRecords);
        for (const KwCopyRecord& coRecord : vecRecords)
            nFinished |= coPrinter.Show(coRecord);
    }
    coEngine.WaitUntilEnded();
    if (pLog && std::fclose(pLog) != 0)
        KwCopyConsole::Write(stderr, "gandrelcopy: the log \"" + coLine.GetLog() + "\" is incomplete"
                                         + KwCopyConsole::NewLine());
    return coEngine.GetSummary().ExitCode();
}

} // namespace

int main(int argc, char** argv)
{
    KwCopyConsole::Prepare();
    KwCopyCommandLine coLine;
    const int nPosixPaths = KwCopyFileSystem::Platform().Separator() == '/';
    if (!coLine.Parse(KwCopyConsole::Arguments(argc, argv), nPosixPaths))
        return Fail(coLine.GetError(), true);
    if (coLine.IsHelp()) {
        KwCopyConsole::Write(stdout, KwCopyCommandLine::Usage());
        return 0;
    }
    return Run(coLine);
}
