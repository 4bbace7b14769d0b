#pragma once

#include "KwCopyFileSystem.h"
#include "KwCopyOptions.h"
#include "KwCopyPool.h"
#include "KwCopyQueue.h"
#include "KwCopyTree.h"
#include "KwDescriptorCache.h"
#include "KwFileTransfer.h"
#include "KwSecurityApi.h"
#include "TDynBase.h"
#include "TOsThread.h"
#include "TString.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TFileSelection;
class Secure;

// The rights-preserving copy: copies a directory tree (a tree run) or a
// selection of files (a selection run) to a target directory, together
// with time stamps, attributes and security descriptors, on a worker
// thread of its own.
//
// Use: SetPathFrom, SetPathTo, optionally SetFiles, Options(); then Start()
// (or DoCopy(nullptr) on the calling thread). Everything the run does
// arrives as KwCopyRecord objects in Queue(), in order: a line for each
// action ("Copying %s ... " and its outcome "ok", "failed ! (reason)",
// "skipped (reason)" or "Canceled by User"; "Creating Directory %s ... ",
// "Assigning Rights %s ... ", "Gathering tree information ... "), warnings
// said once, "Ready. " or "Canceled by User", a summary line, progress,
// and Finished last. Nothing else is shared with the worker: the reader
// keeps its own lines. Cancel() may come from any thread; it is seen
// between entries and between the pieces of a file.
//
// A tree run gathers the source directory itself (its name as the file
// system spells it) and everything below it, then copies it under the
// target, so SOURCE\a becomes TARGET\SOURCE-NAME\a. It is refused before
// anything is written when the copy would land on the source itself or
// inside it, under any name. A selection run is refused when two of its
// files have one name. Then two passes: forwards, every directory is made
// and every file copied (KwFileTransfer: complete before it takes its
// name), each created with its source's rights plus access for the copying
// account, so that the copy can fill it, or, when those rights cannot be
// had, private to the copying account and reported failed; backwards,
// every entry made gets its source's exact descriptor, directories after
// their contents, and directories get their times and attributes. The
// backward pass also runs after a cancel, over the entries that exist by
// then. Nothing is created before the first entry is worked on.
//
// Files are copied by Options().m_nWorkers workers at once (KwCopyPool):
// the run's thread gathers, makes every directory in order and hands each
// file on after its directory; the rights pass hands files on too, and
// gives a directory its rights once everything inside it has them. Each
// worker has its own KwFileTransfer and descriptor reader; what they share
// (the descriptors read, the records and counts, the progress) is
// guarded. With several workers every action's line is written whole
// when the action ends, so lines never mix and come in the order actions
// finish; with one, a line shows when its action begins.
//
// Paths and texts are UTF-8 (KwCopyFileSystem converts from and to the
// ANSI code page).
class KwCopyEngine : public TDynBase {
public:
    explicit KwCopyEngine(KwCopyFileSystem& coFileSystem = KwCopyFileSystem::Platform(),
                          KwSecurityApi& coSecurity = KwSecurityApi::Platform());
    KwCopyEngine(const KwCopyEngine&) = delete;
    KwCopyEngine& operator=(const KwCopyEngine&) = delete;
    // Cancels a running worker, lets it go on without a reader and waits
    // for it.
    ~KwCopyEngine() override;

    // Set-up: refused (0) while the worker runs.
    int SetPathFrom(const char* pszPath);
    int SetPathTo(const char* pszPath);
    // The files of a selection run, each copied straight into the target
    // directory; null makes a tree run again. Each record names its
    // directory (Path()) and its name, in the framework's ANSI text; the
    // names are taken over at once, so the selection need not outlive the
    // call.
    int SetFiles(const TFileSelection* pcoFiles);
    // The same with full UTF-8 paths.
    int SetFileNames(const std::vector<std::string>& vecPaths);
    const std::string& GetPathFrom() const { return m_strPathFrom; }
    const std::string& GetPathTo() const { return m_strPathTo; }
    KwCopyOptions& Options() { return m_coOptions; }
    KwCopyQueue& Queue() { return m_coQueue; }

    // The worker
    // Starts DoCopy on the worker thread; 0 when it runs already or no
    // thread can be made.
    int Start();
    // Asks the run to stop; the reader still receives every record up to
    // Finished.
    void Cancel();
    int IsRunning();
    int IsCanceled() const;
    // Blocks until the worker has ended (programs without a window).
    void WaitUntilEnded();

    // The operations of the progress window
    // A whole run on the calling thread: gathering (tree run), both passes,
    // the summary and Finished.
    void DoCopy(TOsThread* pcoThread);
    // Gathers a tree (the directory itself first when nWithSelf is set and
    // it is not a root); 1 when everything was found and listed.
    int FillFromPath(const char* pszPath, int nWithSelf);
    // Both passes over the entries gathered or selected; 0 when there is
    // nothing to work on or the run is refused.
    int CopyAll(int nGathered);
    // Creates every missing directory of the path (inherited rights); 1
    // when every creation needed succeeded.
    int CreateDirectory(const char* pszPath);
    // The tail of pszPath below pszBase, from the last component they share
    // ("\PROJ\SUB" for C:\DATA\PROJ\SUB below C:\DATA\PROJ); components
    // compared without regard to case, and kept as given.
    static TString Difference(const char* pszPath, const char* pszBase);

    // Results
    // Final once the Finished record has been read.
    const KwCopySummary& GetSummary() const { return m_coSummary; }
    long GetEntryCount() const { return m_coTree.Count(); }

private:
    // What the first pass did with an entry; FailedBit marks an entry
    // counted as failed (once, whichever pass failed it).
    enum State : uint8_t { Waiting, Made, Existed, Linked, Failed, Skipped, StateMask = 0x7, FailedBit = 0x80 };
    enum Warning : unsigned { NoRights = 1, NoSacl = 2, NoOwner = 4, NoPrivileges = 8, UnknownVolume = 16 };
    // Beside the indexes of KwDescriptorCache: the source's rights could
    // not be read.
    enum : uint32_t { Unreadable = KwDescriptorCache::None - 1 };
    enum Stage : unsigned char { Copying, Assigning };

    // One copying thread's own tools: its file copy and, when rights are
    // copied, its descriptor reader (the privileges stay with the run's).
    struct TWorker {
        std::unique_ptr<KwFileTransfer> m_pcoTransfer;
        std::unique_ptr<Secure> m_pcoOwnSecure;
        Secure* m_pcoSecure { nullptr };        // its own, or the run's
        uint64_t m_ullFileBytes { 0 };          // written of the file in progress
    };
    // An action's line: added when the action begins and completed when it
    // ends, or with several workers (m_nWholeLines) written whole at its end.
    struct TLine {
        long m_lLine { -1 };
        std::string m_strText;
    };

    // Records and counts: from any thread.
    long AddLine(const std::string& strText, KwCopyRecord::Outcome eOutcome = KwCopyRecord::None);
    TLine BeginLine(const std::string& strText);
    void EndLine(const TLine& coLine, KwCopyRecord::Outcome eOutcome, const std::string& strReason = std::string());
    void Warn(Warning eWarning, const std::string& strText);
    void Fatal(const std::string& strText);
    void Count(long KwCopySummary::*plField);
    void Advance(double dDone);
    // Bytes written and entries done in the first pass.
    void AddDone(uint64_t ullBytes, long lEntries);
    void UncountBytes(uint64_t ullBytes);
    // With m_coShared held.
    void AdvanceTo(double dDone);
    KwCopyCounts Counts() const;
    void PushProgress();
    void MarkFailed(long i);
    // An entry's own state: only the thread working on it sets it.
    void SetState(long i, State eState);
    // Ends an entry's line failed, marks and counts it.
    void FailEntry(long i, const TLine& coLine, const std::string& strReason);
    // The same for an entry the first pass does not work on.
    void FailUnworked(long i, const std::string& strReason);
    State GetState(long i) const { return static_cast<State>(m_vecState[static_cast<size_t>(i)] & StateMask); }
    bool CancelRequested() const;

    // The run
    void BeginRun();
    void RunTree();
    void RunSelection();
    int RefusedOntoItself(const std::string& strFrom, const std::string& strTo);
    int RefusedInsideGathered();
    int RefusedForClashes();
    int RightsCopied();
    std::unique_ptr<Secure> MakeSecure();
    int PrepareSecure(Secure& coSecure);
    int EnoughSpace();
    // Makes the target directory when it is missing; a selection's target
    // that existed is cleared of leftovers.
    int PrepareTarget();
    void MakeWorkers(Secure* pcoSecure);
    // A file handed on to a worker, in the stage of the run.
    void WorkOn(long i, TWorker& coWorker);
    void FirstPass(Secure* pcoSecure, KwCopyPool* pcoPool);
    void SecondPass(Secure* pcoSecure, KwCopyPool* pcoPool);
    // The second pass of one entry: a directory's times and attributes,
    // its own rights back when it was opened for the run, the rights.
    void FinishEntry(long i, Secure* pcoSecure);
    void DoDirectory(long i, Secure* pcoSecure);
    // A directory of the copy that exists already: made able to take the
    // copy's entries for the run (the second pass gives it its source's
    // rights and attributes). Empty, or why it could not be opened.
    std::string OpenExisting(long i, const KwCopyDirEntry& coExisting, const void* pvDescriptor, Secure* pcoSecure);
    // When no rights of the run open it and its own let the copying
    // account make nothing in it: the account's access is added for the
    // run (RestoreOpened takes it back in the second pass).
    std::string OpenForTheRun(long i, const std::string& strTarget);
    void RestoreOpened(long i, const std::string& strTarget);
    // Removes the temporary files an interrupted run left in a directory
    // the copy writes into, unless another run holds them.
    void RemoveLeftovers(const std::string& strDirectory, const std::string& strShown);
    void DoFile(long i, TWorker& coWorker);
    void DoLink(long i);
    // The descriptor to create entry i with (pvDescriptor; null for
    // inherited rights when no rights are copied). Reads the source's
    // descriptor (ReadRights), kept for the second pass. When it cannot be
    // read or prepared, the entry is to be made private to the copying
    // account and strFailure says why; 0 when not even that can be made,
    // and the entry must not be made at all.
    int CreationDescriptor(long i, Secure* pcoSecure, KwCopyStream* pcoSource, const void*& pvDescriptor,
                           std::string& strFailure);
    // Reads the descriptor of entry i's source once: through pcoSource, the
    // source open for its rights, or else by its name.
    void ReadRights(long i, Secure& coSecure, KwCopyStream* pcoSource);
    // The access to a file's rights its source is opened with
    // (KwFileTransfer::Copy): none when no rights are copied.
    static int RightsAccess(const Secure* pcoSecure);
    const void* PrivateDescriptor(int nDirectory);
    int AssignRights(long i, Secure& coSecure, const std::string& strTarget, std::string& strReason);
    void FinishRun();

    // Names
    std::string Shown(long i) const;
    std::string Source(long i) const { return m_coTree.SourcePath(i); }
    std::string Target(long i) const { return m_coTree.TargetPath(i, m_strTargetRoot); }
    std::string ErrorText(uint32_t ulError) const;
    int NearestExisting(const std::string& strPath, std::string& strExisting);

    KwCopyFileSystem& m_coFs;
    KwSecurityApi& m_coSecurity;
    KwCopyOptions m_coOptions;
    KwCopyQueue m_coQueue;
    std::string m_strPathFrom;
    std::string m_strPathTo;
    int m_nSelection { 0 };                          // a selection run
    std::vector<std::string> m_vecSelected;          // its full paths

    // The run's state. The tree is complete before any worker starts; each
    // entry's state and descriptor index belong to the thread working on
    // it; m_coShared guards the records' order, the counts and the progress.
    KwCopyTree m_coTree;
    std::vector<uint8_t> m_vecState;
    KwDescriptorCache m_coDescriptors;
    std::vector<uint32_t> m_vecDescriptor;            // each entry's source descriptor in the cache
    std::vector<uint8_t> m_avecPrivate[2];            // private descriptors of a file and a directory, made on use
    std::map<long, std::string> m_coOpened;          // directories opened for the run: their own descriptors
    std::vector<TWorker> m_vecWorkers;              // at least one
    Stage m_eStage { Copying };                     // set before items are handed on
    int m_nWholeLines { 0 };
    std::mutex m_coShared;
    std::string m_strTargetRoot;
    int m_nGathered { 0 };
    long m_lLines { 0 };
    unsigned m_nWarned { 0 };
    int m_nPercent { 0 };
    double m_dPassWeight { 1.0 };
    uint64_t m_ullTotalBytes { 0 };
    uint64_t m_ullDoneBytes { 0 };
    long m_lDoneEntries { 0 };
    long m_lRightsDone { 0 };                       // entries of the second pass done, of all
    long m_lRightsAll { 0 };
    KwCopyCounts m_coShownCounts;                   // those of the last Progress record
    KwCopySummary m_coSummary;
    std::chrono::steady_clock::time_point m_coStarted;
    TOsThread* m_pcoWorker { nullptr };              // the thread DoCopy runs on; null when called directly

    std::atomic<int> m_nCancel { 0 };
    // Last member: destroyed first, so the worker is gone before the rest.
    TThreadPtr m_coThread;
};
