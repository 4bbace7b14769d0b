// gandrelcopy: the rights-preserving copy of Gandrel for scripts.
//
// Prints one line per action in the copy engine's words, then a summary,
// and ends with robocopy-style exit bits (KwCopySummary::ExitCode); bad
// arguments and missing sources give the usage or a message and 16, a log
// that could not be written the failure bit 8.

#include "KwCopyCommandLine.h"
#include "KwCopyConsole.h"
#include "KwCopyEngine.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kFatal = 16;
constexpr int kFailed = 8;

// Turns the engine's records into output lines: a line waiting for its
// outcome is shown at once, so a long copy shows what it is doing, and
// is completed when the outcome arrives. The log gets whole lines.
class TPrinter {
public:
    explicit TPrinter(FILE* pLog) : m_pLog(pLog) {}
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Whether every line reached the log so far.
    bool LogWritten() const { return !m_bLogFailed; }

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
        if (m_pLog && (std::fputs(m_strLine.c_str(), m_pLog) < 0 || std::fputs(KwCopyConsole::NewLine(), m_pLog) < 0))
            m_bLogFailed = true;
        m_lOpen = -1;
    }

    void CloseOpenLine()
    {
        if (m_lOpen >= 0)
            EndLine();
    }

    FILE* m_pLog;
    bool m_bLogFailed { false };
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
    // Exactly the entry named (never a search), a link to it followed: the
    // user's choice.
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    if (!coFs.StatFollowing(strFull, coEntry, coError))
        return std::string("the ") + pszRole + " \"" + strPath + "\" cannot be found: " + coFs.ErrorText(coError.m_ulCode);
    if (coEntry.m_coStat.m_eKind == eWanted)
        return std::string();
    return std::string("the ") + pszRole + " \"" + strPath + "\" is "
        + (eWanted == KwCopyStat::Directory ? "not a directory (copy files with /FILES)"
                                            : "not a file (copy a directory as SOURCE)");
}

// The files a FILE argument names. Where a name cannot hold "*" and "?"
// (Windows, whose shell passes them on), a last name with them is a
// pattern: every file of its directory that matches, in name order; a
// pattern elsewhere in the path, or one that matches no file, is refused.
// Natively the shell has expanded patterns, and every name is a name.
std::string ExpandFile(KwCopyFileSystem& coFs, const std::string& strFile, int nPatterns,
                       std::vector<std::string>& vecFiles)
{
    std::string strFull;
    const bool bPattern = nPatterns && strFile.find_first_of("*?") != std::string::npos;
    if (!bPattern) {
        const std::string strReason = CheckPath(coFs, strFile, KwCopyStat::File, "file", strFull);
        if (strReason.empty())
            vecFiles.push_back(strFull);
        return strReason;
    }
    std::string strDirectory;
    std::string strPattern;
    if (!coFs.FullPath(strFile, strFull) || !coFs.SplitLast(strFull, strDirectory, strPattern)
        || strDirectory.find_first_of("*?") != std::string::npos)
        return "the file \"" + strFile + "\": \"*\" and \"?\" are patterns in the last name only";
    std::vector<KwCopyDirEntry> vecEntries;
    KwCopyError coError;
    if (!coFs.List(strDirectory, vecEntries, nullptr, coError))
        return "the directory of \"" + strFile + "\" cannot be listed: " + coFs.ErrorText(coError.m_ulCode);
    std::vector<std::pair<std::string, std::string>> vecMatches;
    for (const KwCopyDirEntry& coEntry : vecEntries)
        if (coEntry.m_coStat.m_eKind == KwCopyStat::File && coFs.MatchesPattern(strPattern, coEntry.m_strName))
            vecMatches.emplace_back(KwCopyTree::SortKey(coEntry.m_strName), coEntry.m_strName);
    if (vecMatches.empty())
        return "no file matches \"" + strFile + "\"";
    std::sort(vecMatches.begin(), vecMatches.end());
    for (const auto& coMatch : vecMatches)
        vecFiles.push_back(coFs.Join(strDirectory, coMatch.second));
    return std::string();
}

int Run(const KwCopyCommandLine& coLine, int nPatterns)
{
    KwCopyFileSystem& coFs = KwCopyFileSystem::Platform();
    std::string strTarget;
    std::string strFull;
    if (!coFs.FullPath(coLine.GetTarget(), strTarget))
        return Fail("the target \"" + coLine.GetTarget() + "\" is not a valid path", false);
    // A target that is a link, a junction or a mounted folder is followed.
    KwCopyDirEntry coTarget;
    KwCopyError coError;
    if (coFs.StatFollowing(strTarget, coTarget, coError) && coTarget.m_coStat.m_eKind != KwCopyStat::Directory)
        return Fail("the target \"" + coLine.GetTarget() + "\" is not a directory", false);

    KwCopyEngine coEngine;
    coEngine.Options() = coLine.GetOptions();
    coEngine.SetPathTo(strTarget.c_str());
    if (coLine.IsSelection()) {
        std::vector<std::string> vecFiles;
        for (const std::string& strFile : coLine.GetFiles()) {
            const std::string strReason = ExpandFile(coFs, strFile, nPatterns, vecFiles);
            if (!strReason.empty())
                return Fail(strReason, false);
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
    KwCopyConsole::RunEnded();
    int nExit = coEngine.GetSummary().ExitCode();
    if (pLog && (std::fclose(pLog) != 0 || !coPrinter.LogWritten())) {
        KwCopyConsole::Write(stderr, "gandrelcopy: the log \"" + coLine.GetLog() + "\" is incomplete"
                                         + KwCopyConsole::NewLine());
        nExit |= kFailed;
    }
    return nExit;
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
    return Run(coLine, !nPosixPaths);
}
