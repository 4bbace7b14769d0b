#include "KwCopyEngine.h"

#include "Secure.h"
#include "TFileSelection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <thread>

namespace {

// The share of the bar the first pass takes when rights are copied: the
// second pass moves no data, so it gets the last tenth.
constexpr double kFirstPassWeight = 0.9;

} // namespace

KwCopyEngine::KwCopyEngine(KwCopyFileSystem& coFileSystem, KwSecurityApi& coSecurity)
    : m_coFs(coFileSystem)
    , m_coSecurity(coSecurity)
    , m_coTree(coFileSystem)
    , m_coDescriptors(coSecurity)
    , m_coThread(this, KwThreadHandler(&KwCopyEngine::DoCopy))
{
}

KwCopyEngine::~KwCopyEngine()
{
    Cancel();
    m_coQueue.Release();
    WaitUntilEnded();
}

// Set-up

int KwCopyEngine::SetPathFrom(const char* pszPath)
{
    if (IsRunning())
        return 0;
    m_strPathFrom = pszPath ? pszPath : "";
    return 1;
}

int KwCopyEngine::SetPathTo(const char* pszPath)
{
    if (IsRunning())
        return 0;
    m_strPathTo = pszPath ? pszPath : "";
    return 1;
}

int KwCopyEngine::SetFiles(const TFileSelection* pcoFiles)
{
    if (IsRunning())
        return 0;
    m_vecSelected.clear();
    m_nSelection = pcoFiles != nullptr;
    if (!pcoFiles)
        return 1;
    for (long i = 0; i < pcoFiles->Count(); ++i) {
        const TFileInfo coInfo = pcoFiles->GetFile(i);
        m_vecSelected.push_back(m_coFs.Join(KwCopyFileSystem::FromSystemText(coInfo.Path()),
                                            KwCopyFileSystem::FromSystemText(coInfo.Name())));
    }
    return 1;
}

int KwCopyEngine::SetFileNames(const std::vector<std::string>& vecPaths)
{
    if (IsRunning())
        return 0;
    m_vecSelected = vecPaths;
    m_nSelection = 1;
    return 1;
}

// The worker

int KwCopyEngine::Start()
{
    if (IsRunning())
        return 0;
    m_nCancel.store(0);
    m_coQueue.Reset();
    TOsThread* pcoThread = m_coThread.Access();
    return pcoThread && pcoThread->Start() ? 1 : 0;
}

void KwCopyEngine::Cancel()
{
    m_nCancel.store(1);
    if (TOsThread* pcoThread = m_coThread.GetThread())
        pcoThread->Cancel();
}

int KwCopyEngine::IsRunning()
{
    TOsThread* pcoThread = m_coThread.GetThread();
    return pcoThread && pcoThread->IsRunning() ? 1 : 0;
}

int KwCopyEngine::IsCanceled() const
{
    return m_nCancel.load();
}

bool KwCopyEngine::CancelRequested() const
{
    return m_nCancel.load() || (m_pcoWorker && m_pcoWorker->IsCancelRequest());
}

void KwCopyEngine::WaitUntilEnded()
{
    while (IsRunning())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Records

long KwCopyEngine::AddLine(const std::string& strText, KwCopyRecord::Outcome eOutcome)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    const long lLine = m_lLines++;
    m_coQueue.Push(KwCopyRecord(KwCopyRecord::LineAdded, lLine, strText, eOutcome));
    return lLine;
}

KwCopyEngine::TLine KwCopyEngine::BeginLine(const std::string& strText)
{
    TLine coLine;
    coLine.m_strText = strText;
    if (!m_nWholeLines)
        coLine.m_lLine = AddLine(strText);
    return coLine;
}

void KwCopyEngine::EndLine(const TLine& coLine, KwCopyRecord::Outcome eOutcome, const std::string& strReason)
{
    // The words of the outcomes that end a line, in the order of Outcome.
    static const char* const s_apszWords[] = { "listed", "ok", "failed !", "skipped", "Canceled by User", "listed" };
    std::string strText = s_apszWords[eOutcome <= KwCopyRecord::Listed ? eOutcome : KwCopyRecord::Listed];
    if (!strReason.empty())
        strText += " (" + strReason + ")";
    if (coLine.m_lLine < 0)
        AddLine(coLine.m_strText + strText, eOutcome);
    else
        m_coQueue.Push(KwCopyRecord(KwCopyRecord::LineEnded, coLine.m_lLine, strText, eOutcome));
}

void KwCopyEngine::Warn(Warning eWarning, const std::string& strText)
{
    if (m_nWarned & eWarning)
        return;
    m_nWarned |= eWarning;
    AddLine(strText, KwCopyRecord::Warning);
}

void KwCopyEngine::Fatal(const std::string& strText)
{
    m_coSummary.m_nFatal = 1;
    AddLine(strText, KwCopyRecord::Fatal);
}

void KwCopyEngine::Count(long KwCopySummary::*plField)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    ++(m_coSummary.*plField);
}

void KwCopyEngine::Advance(double dDone)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    AdvanceTo(dDone);
}

void KwCopyEngine::AdvanceTo(double dDone)
{
    const int nPercent = std::min(100, static_cast<int>(std::lround(dDone * 100.0)));
    const KwCopyCounts coCounts = Counts();
    if (nPercent <= m_nPercent && coCounts == m_coShownCounts)
        return;
    m_nPercent = std::max(m_nPercent, nPercent);
    PushProgress();
}

KwCopyCounts KwCopyEngine::Counts() const
{
    KwCopyCounts coCounts;
    coCounts.m_ullBytesDone = m_ullDoneBytes;
    coCounts.m_ullBytesAll = m_ullTotalBytes;
    coCounts.m_lEntriesDone = m_lDoneEntries;
    coCounts.m_lEntriesAll = m_coTree.Count();
    return coCounts;
}

void KwCopyEngine::PushProgress()
{
    m_coShownCounts = Counts();
    KwCopyRecord coRecord(KwCopyRecord::Progress, -1, std::string(), KwCopyRecord::None, m_nPercent);
    coRecord.SetCounts(m_coShownCounts);
    m_coQueue.Push(std::move(coRecord));
}

void KwCopyEngine::AddDone(uint64_t ullBytes, long lEntries)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    m_ullDoneBytes += ullBytes;
    m_coSummary.m_ullBytes += ullBytes;
    m_lDoneEntries += lEntries;
    const double dEntries = static_cast<double>(m_lDoneEntries) / static_cast<double>(std::max(1L, m_coTree.Count()));
    const double dDone = m_ullTotalBytes
        ? (dEntries + static_cast<double>(m_ullDoneBytes) / static_cast<double>(m_ullTotalBytes)) / 2.0
        : dEntries;
    AdvanceTo(m_dPassWeight * std::min(1.0, dDone));
}

void KwCopyEngine::UncountBytes(uint64_t ullBytes)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    m_coSummary.m_ullBytes -= ullBytes;
}

void KwCopyEngine::SetState(long i, State eState)
{
    uint8_t& nState = m_vecState[static_cast<size_t>(i)];
    nState = static_cast<uint8_t>((nState & FailedBit) | eState);
}

void KwCopyEngine::MarkFailed(long i)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    uint8_t& nState = m_vecState[static_cast<size_t>(i)];
    if (nState & FailedBit)
        return;
    nState |= FailedBit;
    ++m_coSummary.m_lFailed;
}

void KwCopyEngine::FailEntry(long i, const TLine& coLine, const std::string& strReason)
{
    EndLine(coLine, KwCopyRecord::Failed, strReason);
    SetState(i, Failed);
    MarkFailed(i);
}

void KwCopyEngine::FailUnworked(long i, const std::string& strReason)
{
    const bool bDirectory = m_coTree[i].m_coStat.m_eKind == KwCopyStat::Directory;
    Count(bDirectory ? &KwCopySummary::m_lDirectories : &KwCopySummary::m_lFiles);
    FailEntry(i, BeginLine((bDirectory ? "Creating Directory " : "Copying ") + Shown(i) + " ... "), strReason);
}

// Names

std::string KwCopyEngine::Shown(long i) const
{
    if (!m_nGathered)
        return m_coTree[i].m_strName;
    return std::string("..") + m_coFs.Separator() + m_coTree.RelativePath(i);
}

std::string KwCopyEngine::ErrorText(uint32_t ulError) const
{
    return m_coFs.ErrorText(ulError);
}

int KwCopyEngine::NearestExisting(const std::string& strPath, std::string& strExisting)
{
    strExisting = strPath;
    for (;;) {
        KwCopyDirEntry coEntry;
        KwCopyError coError;
        if (m_coFs.StatFollowing(strExisting, coEntry, coError))
            return 1;
        std::string strName;
        std::string strParent;
        if (!m_coFs.SplitLast(strExisting, strParent, strName))
            return 0;
        strExisting = strParent;
    }
}

TString KwCopyEngine::Difference(const char* pszPath, const char* pszBase)
{
    auto coSplit = [](const char* psz) {
        std::vector<std::string> vecNames;
        if (!psz)
            return vecNames;
        const char* pszStart = psz;
        while (*pszStart && *pszStart != '\\' && *pszStart != '/')
            ++pszStart;
        std::string strName;
        for (const char* p = pszStart; ; ++p) {
            if (*p == '\\' || *p == '/' || !*p) {
                if (!strName.empty())
                    vecNames.push_back(strName);
                strName.clear();
                if (!*p)
                    break;
                continue;
            }
            strName += *p;
        }
        return vecNames;
    };
    const std::vector<std::string> vecPath = coSplit(pszPath);
    const std::vector<std::string> vecBase = coSplit(pszBase);
    size_t i = 0;
    while (i < vecPath.size() && i < vecBase.size()
           && KwCopyFileSystem::Platform().SameName(vecPath[i], vecBase[i]))
        ++i;
    if (i > 0)
        --i;
    std::string strTail;
    for (; i < vecPath.size(); ++i)
        strTail += std::string(1, KwCopyFileSystem::Platform().Separator()) + vecPath[i];
    return TString(strTail.c_str());
}

// The run

void KwCopyEngine::BeginRun()
{
    m_coTree.Clear();
    m_vecState.clear();
    m_coDescriptors.Clear();
    m_vecDescriptor.clear();
    m_avecPrivate[0].clear();
    m_avecPrivate[1].clear();
    m_coOpened.clear();
    m_vecWorkers.clear();
    m_nWholeLines = 0;
    m_eStage = Copying;
    m_strTargetRoot.clear();
    m_nGathered = 0;
    m_lLines = 0;
    m_nWarned = 0;
    m_nPercent = 0;
    m_coShownCounts = KwCopyCounts();
    m_dPassWeight = 1.0;
    m_ullTotalBytes = m_ullDoneBytes = 0;
    m_lDoneEntries = 0;
    m_lRightsDone = 0;
    m_lRightsAll = 0;
    m_coSummary = KwCopySummary();
    m_coStarted = std::chrono::steady_clock::now();
}

void KwCopyEngine::DoCopy(TOsThread* pcoThread)
{
    // Start() clears the cancel request of a worker run before the thread
    // exists, so that a cancel right after it is not lost.
    if (!pcoThread)
        m_nCancel.store(0);
    m_pcoWorker = pcoThread;
    BeginRun();
    if (!m_coFs.FullPath(m_strPathTo, m_strTargetRoot))
        Fatal("The target \"" + m_strPathTo + "\" is not a valid path.");
    else if (m_nSelection)
        RunSelection();
    else
        RunTree();
    FinishRun();
    m_pcoWorker = nullptr;
}

void KwCopyEngine::RunSelection()
{
    // A file named twice is one file, copied once.
    std::set<std::string> coPaths;
    for (const std::string& strPath : m_vecSelected) {
        std::string strFull;
        if (!m_coFs.FullPath(strPath, strFull))
            strFull = strPath;
        if (coPaths.insert(m_coFs.NameKey(strFull)).second)
            m_coTree.AddSelected(strFull);
    }
    if (!RefusedForClashes())
        CopyAll(0);
}

int KwCopyEngine::RefusedForClashes()
{
    // Two files of one name would land on one target: one would be lost,
    // and the rights pass, walking backwards, would give the survivor the
    // other's rights.
    std::map<std::string, long> coNames;
    for (long i = 0; i < m_coTree.Count(); ++i) {
        const auto coInserted = coNames.emplace(m_coFs.NameKey(m_coTree[i].m_strName), i);
        if (coInserted.second)
            continue;
        Fatal("Refused: \"" + Source(coInserted.first->second) + "\" and \"" + Source(i)
              + "\" would both be copied to \"" + Target(i) + "\".");
        return 1;
    }
    return 0;
}

void KwCopyEngine::RunTree()
{
    std::string strFrom;
    if (!m_coFs.FullPath(m_strPathFrom, strFrom)) {
        Fatal("The source \"" + m_strPathFrom + "\" is not a valid path.");
        return;
    }
    if (RefusedOntoItself(strFrom, m_strTargetRoot))
        return;
    const TLine coLine = BeginLine("Gathering tree information ... ");
    const int nAll = m_coTree.Gather(strFrom, 1, [this] { return CancelRequested(); });
    if (CancelRequested()) {
        EndLine(coLine, KwCopyRecord::Canceled);
        m_coSummary.m_nCanceled = 1;
        AddLine("Canceled by User", KwCopyRecord::Canceled);
        return;
    }
    if (m_coTree.Count() == 0) {
        KwCopyDirEntry coEntry;
        KwCopyError coError;
        m_coFs.Stat(strFrom, coEntry, coError);
        EndLine(coLine, KwCopyRecord::Failed, "the source cannot be found: " + ErrorText(coError.m_ulCode));
        m_coSummary.m_nFatal = 1;
    } else {
        EndLine(coLine, nAll ? KwCopyRecord::Ok : KwCopyRecord::Failed);
    }
    if (!RefusedInsideGathered())
        CopyAll(1);
}

int KwCopyEngine::RefusedOntoItself(const std::string& strFrom, const std::string& strTo)
{
    std::string strParent;
    std::string strName;
    const std::string strLanding = m_coFs.SplitLast(strFrom, strParent, strName) ? m_coFs.Join(strTo, strName) : strTo;
    if (!m_coFs.LiesWithin(strLanding, strFrom))
        return 0;
    Fatal("Refused: the copy \"" + strLanding + "\" would lie inside its source \"" + strFrom + "\" and copy itself.");
    return 1;
}

int KwCopyEngine::RefusedInsideGathered()
{
    // A directory of the source can be mounted elsewhere too, under a path
    // that no link explains: the target's directories, as they really are,
    // are compared with every directory gathered.
    std::string strExisting;
    std::string strUp;
    KwCopyError coError;
    if (!NearestExisting(m_strTargetRoot, strExisting) || !m_coFs.FinalPath(strExisting, strUp, coError))
        return 0;
    for (;;) {
        KwCopyIdentity coIdentity;
        if (m_coFs.Identity(strUp, coIdentity, coError) && m_coTree.WasGathered(coIdentity)) {
            Fatal("Refused: the target \"" + m_strTargetRoot + "\" lies inside the source \"" + Source(0)
                  + "\": \"" + strUp + "\" is one of its directories.");
            return 1;
        }
        std::string strParent;
        std::string strName;
        if (!m_coFs.SplitLast(strUp, strParent, strName))
            return 0;
        strUp = strParent;
    }
}

int KwCopyEngine::FillFromPath(const char* pszPath, int nWithSelf)
{
    std::string strFull;
    if (!pszPath || !m_coFs.FullPath(pszPath, strFull))
        return 0;
    return m_coTree.Gather(strFull, nWithSelf, [this] { return CancelRequested(); });
}

int KwCopyEngine::CreateDirectory(const char* pszPath)
{
    std::string strFull;
    std::string strPath;
    if (!pszPath || !m_coFs.FullPath(pszPath, strFull) || !NearestExisting(strFull, strPath))
        return 0;
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    if (!m_coFs.StatFollowing(strPath, coEntry, coError) || coEntry.m_coStat.m_eKind != KwCopyStat::Directory)
        return 0;
    const std::vector<std::string> vecNames = m_coFs.Components(strFull);
    for (size_t i = m_coFs.Components(strPath).size(); i < vecNames.size(); ++i) {
        strPath = m_coFs.Join(strPath, vecNames[i]);
        if (!m_coFs.CreateDirectory(strPath, nullptr, coError))
            return 0;
    }
    return 1;
}

int KwCopyEngine::CopyAll(int nGathered)
{
    m_nGathered = nGathered;
    if (m_strTargetRoot.empty() && !m_coFs.FullPath(m_strPathTo, m_strTargetRoot))
        return 0;
    const long lCount = m_coTree.Count();
    m_vecState.assign(static_cast<size_t>(lCount), Waiting);
    m_vecDescriptor.assign(static_cast<size_t>(lCount), KwDescriptorCache::None);
    Advance(0.0);
    if (lCount == 0) {
        AddLine("Ready. ", KwCopyRecord::Info);
        Advance(1.0);
        return 1;
    }
    std::unique_ptr<Secure> pcoSecure = MakeSecure();
    MakeWorkers(pcoSecure.get());
    if (!m_coOptions.m_nListOnly && !EnoughSpace())
        return 0;
    m_ullTotalBytes = m_coTree.FileBytes();
    Advance(0.0);
    m_dPassWeight = pcoSecure ? kFirstPassWeight : 1.0;
    // Nothing is made before the first entry: a run cancelled while it
    // gathered leaves no trace.
    if (!CancelRequested()) {
        if (!m_coOptions.m_nListOnly && !PrepareTarget())
            return 0;
        // The pool (none for one worker) lives while both passes run.
        std::unique_ptr<KwCopyPool> pcoPool;
        if (m_vecWorkers.size() > 1) {
            pcoPool = std::make_unique<KwCopyPool>(static_cast<int>(m_vecWorkers.size()),
                                                   [this](long i, int nWorker) { WorkOn(i, m_vecWorkers[static_cast<size_t>(nWorker)]); });
            m_nWholeLines = 1;
        }
        FirstPass(pcoSecure.get(), pcoPool.get());
        SecondPass(pcoSecure.get(), pcoPool.get());
    }
    if (CancelRequested()) {
        m_coSummary.m_nCanceled = 1;
        AddLine("Canceled by User", KwCopyRecord::Canceled);
    } else {
        AddLine("Ready. ", KwCopyRecord::Info);
        Advance(1.0);
    }
    return 1;
}

std::unique_ptr<Secure> KwCopyEngine::MakeSecure()
{
    if (!RightsCopied())
        return nullptr;
    uint32_t ulInformation = m_coOptions.m_eSecurity == KwCopyOptions::SecurityDacl
        ? static_cast<uint32_t>(KwSecurityApi::DaclInfo)
        : static_cast<uint32_t>(Secure::DefaultInformation);
    if (m_coOptions.m_eSecurity == KwCopyOptions::SecurityDaclGroup)
        ulInformation = KwSecurityApi::DaclInfo | KwSecurityApi::GroupInfo;
    if (m_coOptions.m_nOwner)
        ulInformation |= KwSecurityApi::OwnerInfo;
    auto pcoSecure = std::make_unique<Secure>(m_coSecurity, ulInformation);
    PrepareSecure(*pcoSecure);
    return pcoSecure;
}

int KwCopyEngine::RightsCopied()
{
    if (m_coOptions.m_eSecurity == KwCopyOptions::SecurityNone)
        return 0;
    const struct {
        const char* m_pszWhich;
        std::string m_strPath;
    } aVolumes[] = { { "source", Source(0) }, { "target", m_strTargetRoot } };
    for (const auto& coVolume : aVolumes) {
        KwVolumeInfo coInfo;
        uint32_t ulError = 0;
        // Only a volume known to keep no rights goes without: for one that
        // cannot be examined the rights are tried, and each failure counts.
        if (!m_coSecurity.GetVolumeInfo(coVolume.m_strPath, coInfo, ulError)) {
            Warn(UnknownVolume, std::string("The ") + coVolume.m_pszWhich + " volume cannot be examined ("
                     + m_coSecurity.ErrorText(ulError) + "); rights are copied, and every failure is reported.");
            continue;
        }
        if (!coInfo.KeepsRights()) {
            Warn(NoRights, std::string("Rights are not copied: the ") + coVolume.m_pszWhich + " volume ("
                     + (coInfo.m_strFileSystem.empty() ? "unknown file system" : coInfo.m_strFileSystem)
                     + ") keeps no access rights.");
            return 0;
        }
    }
    return 1;
}

int KwCopyEngine::PrepareSecure(Secure& coSecure)
{
    if (!coSecure.IsReady())
        Warn(NoPrivileges, std::string("The privileges for copying rights cannot be prepared (")
                 + m_coSecurity.ErrorText(coSecure.GetLastError()) + "); rights may fail.");
    uint32_t ulInformation = coSecure.GetInformation();
    if ((ulInformation & KwSecurityApi::SaclInfo) && !coSecure.HasPrivilege(Secure::SecurityPrivilege)) {
        ulInformation &= ~static_cast<uint32_t>(KwSecurityApi::SaclInfo);
        Warn(NoSacl, "Without SeSecurityPrivilege the SACL is not copied; group and DACL are.");
    }
    if ((ulInformation & KwSecurityApi::OwnerInfo) && !coSecure.HasPrivilege(Secure::RestorePrivilege)) {
        ulInformation &= ~static_cast<uint32_t>(KwSecurityApi::OwnerInfo);
        Warn(NoOwner, "Without SeRestorePrivilege the owner is not copied.");
    }
    coSecure.SetInformation(ulInformation);
    return 1;
}

int KwCopyEngine::EnoughSpace()
{
    const uint64_t ullAll = m_coTree.FileBytes();
    std::string strExisting;
    uint64_t ullFree = 0;
    KwCopyError coError;
    if (ullAll == 0 || !NearestExisting(m_strTargetRoot, strExisting)
        || !m_coFs.FreeSpace(strExisting, ullFree, coError) || ullFree >= ullAll)
        return 1;
    // Short at first sight: the most that is ever held at once, in copy
    // order, over what will really be written. A copy is written whole
    // beside the file it replaces, which gives its space back only then.
    // One worker copies one file at a time; with several, any of the files
    // begun so far may still hold its old file beside its copy, so the
    // largest old files among them count as not yet given back.
    const size_t nWorkers = m_vecWorkers.size();
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<int64_t>> coLargestOld;
    int64_t llLargestOld = 0;
    int64_t llHeld = 0;
    int64_t llPeak = 0;
    for (long i = 0; i < m_coTree.Count(); ++i) {
        const KwCopyTree::Entry& coEntry = m_coTree[i];
        if (coEntry.m_coStat.m_eKind != KwCopyStat::File || (coEntry.m_nFlags & (KwCopyTree::Missing | KwCopyTree::Unreadable)))
            continue;
        uint64_t ullOld = 0;
        std::string strReason;
        const KwFileTransfer::Plan ePlan
            = m_vecWorkers.front().m_pcoTransfer->Decide(Source(i), coEntry.m_coStat, Target(i), strReason, &ullOld);
        if (ePlan != KwFileTransfer::CreateNew && ePlan != KwFileTransfer::ReplaceOld)
            continue;
        const auto llSize = static_cast<int64_t>(coEntry.m_coStat.m_ullSize);
        const int64_t llOld = ePlan == KwFileTransfer::ReplaceOld ? static_cast<int64_t>(ullOld) : 0;
        if (nWorkers == 1) {
            llPeak = std::max(llPeak, llHeld + llSize);
            llHeld += llSize - llOld;
            continue;
        }
        llHeld += llSize - llOld;
        coLargestOld.push(llOld);
        llLargestOld += llOld;
        if (coLargestOld.size() > nWorkers) {
            llLargestOld -= coLargestOld.top();
            coLargestOld.pop();
        }
        llPeak = std::max(llPeak, llHeld + llLargestOld);
    }
    if (static_cast<int64_t>(ullFree) >= llPeak)
        return 1;
    Fatal("Not enough free space on the target volume: " + std::to_string(llPeak) + " bytes needed, "
          + std::to_string(ullFree) + " free.");
    return 0;
}

int KwCopyEngine::PrepareTarget()
{
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    if (m_coFs.StatFollowing(m_strTargetRoot, coEntry, coError) && coEntry.m_coStat.m_eKind == KwCopyStat::Directory) {
        if (!m_nGathered)
            RemoveLeftovers(m_strTargetRoot, std::string());
        return 1;
    }
    if (CreateDirectory(m_strTargetRoot.c_str()))
        return 1;
    Fatal("The target directory \"" + m_strTargetRoot + "\" cannot be created.");
    return 0;
}

const void* KwCopyEngine::PrivateDescriptor(int nDirectory)
{
    std::lock_guard<std::mutex> coGuard(m_coShared);
    std::vector<uint8_t>& vecPrivate = m_avecPrivate[nDirectory ? 1 : 0];
    uint32_t ulError = 0;
    if (vecPrivate.empty() && !m_coSecurity.PrivateDescriptor(nDirectory, vecPrivate, ulError))
        vecPrivate.clear();
    return vecPrivate.empty() ? nullptr : vecPrivate.data();
}

void KwCopyEngine::ReadRights(long i, Secure& coSecure, KwCopyStream* pcoSource)
{
    uint32_t& ulIndex = m_vecDescriptor[static_cast<size_t>(i)];
    if (ulIndex != KwDescriptorCache::None)
        return;
    const int nRead = pcoSource ? coSecure.GetFromStream(*pcoSource) : coSecure.GetFromFile(Source(i).c_str());
    ulIndex = nRead ? m_coDescriptors.Add(coSecure.GetDescriptor(), coSecure.GetDescriptorLength()) : Unreadable;
}

int KwCopyEngine::RightsAccess(const Secure* pcoSecure)
{
    if (!pcoSecure)
        return 0;
    // The SACL is among the parts read only where the run's privileges
    // hold SeSecurityPrivilege (PrepareSecure); a worker's own reader
    // takes the parts, not the privileges.
    return KwCopyFileSystem::ReadRights
        | ((pcoSecure->GetInformation() & KwSecurityApi::SaclInfo) ? KwCopyFileSystem::ReadSacl : 0);
}

int KwCopyEngine::CreationDescriptor(long i, Secure* pcoSecure, KwCopyStream* pcoSource, const void*& pvDescriptor,
                                     std::string& strFailure)
{
    pvDescriptor = nullptr;
    strFailure.clear();
    if (!pcoSecure)
        return 1;
    ReadRights(i, *pcoSecure, pcoSource);
    const uint32_t ulIndex = m_vecDescriptor[static_cast<size_t>(i)];
    if (ulIndex == Unreadable) {
        strFailure = "its rights cannot be read: " + m_coSecurity.ErrorText(pcoSecure->GetLastError());
    } else if (const std::vector<uint8_t>* pvecCreation = m_coDescriptors.Creation(ulIndex)) {
        pvDescriptor = pvecCreation->data();
        return 1;
    } else {
        strFailure = "its rights cannot be prepared for the copy";
    }
    // Fail closed: never more open than the source, whatever its rights.
    pvDescriptor = PrivateDescriptor(m_coTree[i].m_coStat.m_eKind == KwCopyStat::Directory);
    return pvDescriptor ? 1 : 0;
}

int KwCopyEngine::AssignRights(long i, Secure& coSecure, const std::string& strTarget, std::string& strReason)
{
    // The bytes read in the first pass; a source that was not read then
    // (a listing run) is read now.
    const uint32_t ulIndex = m_vecDescriptor[static_cast<size_t>(i)];
    if (ulIndex == Unreadable) {
        strReason = "the source's rights could not be read";
        return 0;
    }
    int nDone;
    if (ulIndex == KwDescriptorCache::None) {
        nDone = coSecure.Transfer(Source(i).c_str(), strTarget.c_str());
    } else {
        const std::string& strDescriptor = m_coDescriptors.Get(ulIndex);
        coSecure.Adopt(strDescriptor.data(), static_cast<uint32_t>(strDescriptor.size()));
        nDone = coSecure.SetToFile(strTarget.c_str());
    }
    if (!nDone)
        strReason = m_coSecurity.ErrorText(coSecure.GetLastError());
    return nDone;
}

void KwCopyEngine::MakeWorkers(Secure* pcoSecure)
{
    long lFiles = 0;
    for (long i = 0; i < m_coTree.Count(); ++i)
        lFiles += m_coTree[i].m_coStat.m_eKind == KwCopyStat::File;
    // No more threads than files; one worker copies on the run's own thread.
    const long lWorkers = std::max(1L, std::min<long>(lFiles, KwCopyOptions::WorkersFor(m_coOptions.m_nWorkers)));
    m_vecWorkers.resize(static_cast<size_t>(lWorkers));
    for (TWorker& coWorker : m_vecWorkers) {
        coWorker.m_pcoTransfer = std::make_unique<KwFileTransfer>(m_coFs, m_coOptions);
        coWorker.m_pcoTransfer->SetCancelTest([this] { return CancelRequested(); });
        coWorker.m_pcoTransfer->SetProgress([this, &coWorker](uint64_t ullBytes) {
            coWorker.m_ullFileBytes += ullBytes;
            AddDone(ullBytes, 0);
        });
        // The privileges the run's Secure enabled hold for every thread.
        if (pcoSecure && lWorkers > 1)
            coWorker.m_pcoOwnSecure = std::make_unique<Secure>(m_coSecurity, pcoSecure->GetInformation(), Secure::WithoutPrivileges);
        coWorker.m_pcoSecure = coWorker.m_pcoOwnSecure ? coWorker.m_pcoOwnSecure.get() : pcoSecure;
    }
}

void KwCopyEngine::WorkOn(long i, TWorker& coWorker)
{
    if (m_eStage == Assigning) {
        FinishEntry(i, coWorker.m_pcoSecure);
        return;
    }
    // Files waiting when the run was cancelled are left as they are.
    if (CancelRequested())
        return;
    DoFile(i, coWorker);
    AddDone(0, 1);
}

void KwCopyEngine::FirstPass(Secure* pcoSecure, KwCopyPool* pcoPool)
{
    m_eStage = Copying;
    for (long i = 0; i < m_coTree.Count(); ++i) {
        if (CancelRequested())
            break;
        const int32_t lParent = m_coTree[i].m_lParent;
        // Nothing goes where its directory could not be made: a name in the
        // way might even lead elsewhere.
        if (lParent >= 0 && GetState(lParent) != Made && GetState(lParent) != Existed) {
            FailUnworked(i, "its directory was not made");
        } else if (m_coTree[i].m_nFlags & KwCopyTree::Unreadable) {
            FailUnworked(i, "its information cannot be read: " + ErrorText(m_coTree[i].m_ulError));
        } else if (m_coTree[i].m_coStat.m_eKind == KwCopyStat::File) {
            // A file's directory is made before it is handed on.
            if (pcoPool)
                pcoPool->Push(i);
            else
                WorkOn(i, m_vecWorkers.front());
            continue;
        } else if (m_coTree[i].m_coStat.m_eKind == KwCopyStat::Directory) {
            DoDirectory(i, pcoSecure);
        } else if (m_coTree[i].m_coStat.m_eKind == KwCopyStat::DirectoryLink) {
            DoLink(i);
        } else {
            Count(&KwCopySummary::m_lFiles);
            EndLine(BeginLine("Copying " + Shown(i) + " ... "), KwCopyRecord::Skipped, "not a file or a directory");
            Count(&KwCopySummary::m_lSkipped);
            SetState(i, Skipped);
        }
        AddDone(0, 1);
    }
    if (pcoPool)
        pcoPool->Wait();
}

void KwCopyEngine::DoDirectory(long i, Secure* pcoSecure)
{
    const KwCopyTree::Entry& coEntry = m_coTree[i];
    Count(&KwCopySummary::m_lDirectories);
    const TLine coLine = BeginLine("Creating Directory " + Shown(i) + " ... ");
    if (coEntry.m_nFlags & KwCopyTree::Loop) {
        EndLine(coLine, KwCopyRecord::Skipped, "it leads back to a directory copied already");
        Count(&KwCopySummary::m_lSkipped);
        SetState(i, Skipped);
        return;
    }
    const std::string strTarget = Target(i);
    KwCopyDirEntry coExisting;
    KwCopyError coError;
    const void* pvDescriptor = nullptr;
    std::string strRights;
    if (m_coOptions.m_nListOnly) {
        SetState(i, Made);
        if (!(coEntry.m_nFlags & KwCopyTree::Unlisted)) {
            EndLine(coLine, KwCopyRecord::Listed, m_coFs.Stat(strTarget, coExisting, coError) ? "exists" : "");
            return;
        }
    } else if (!CreationDescriptor(i, pcoSecure, nullptr, pvDescriptor, strRights)) {
        FailEntry(i, coLine, strRights + ", and it cannot be made private");
        return;
    } else if (m_coFs.CreateDirectory(strTarget, pvDescriptor, coError)) {
        Count(&KwCopySummary::m_lCopied);
        SetState(i, Made);
        if (!strRights.empty())
            strRights += "; it was made private to the copying account";
    } else if (coError.m_eKind != KwCopyError::Exists) {
        FailEntry(i, coLine, ErrorText(coError.m_ulCode));
        return;
    } else if (m_coFs.Stat(strTarget, coExisting, coError) && coExisting.m_coStat.m_eKind == KwCopyStat::Directory) {
        SetState(i, Existed);
        const std::string strOpen = OpenExisting(i, coExisting, strRights.empty() ? pvDescriptor : nullptr, pcoSecure);
        if (!strOpen.empty())
            strRights += (strRights.empty() ? "" : "; ") + strOpen;
    } else {
        FailEntry(i, coLine, "an entry of that name that is not a directory is in the way");
        return;
    }
    if (coEntry.m_nFlags & KwCopyTree::Unlisted) {
        EndLine(coLine, KwCopyRecord::Failed, "its contents cannot be listed: " + ErrorText(coEntry.m_ulError));
        MarkFailed(i);
    } else if (!strRights.empty()) {
        EndLine(coLine, KwCopyRecord::Failed, strRights);
        MarkFailed(i);
    } else {
        EndLine(coLine, KwCopyRecord::Ok);
    }
    if (GetState(i) == Existed)
        RemoveLeftovers(strTarget, Shown(i));
}

std::string KwCopyEngine::OpenExisting(long i, const KwCopyDirEntry& coExisting, const void* pvDescriptor,
                                       Secure* pcoSecure)
{
    const std::string strTarget = Target(i);
    KwCopyError coError;
    if (coExisting.m_coStat.m_ulAttributes & KwCopyStat::AttrReadOnly)
        m_coFs.ClearReadOnly(strTarget, coError);
    // The rights a new directory would be made with; a failure shows when
    // an entry inside cannot be made, and in the second pass.
    if (pcoSecure && pvDescriptor) {
        const std::vector<uint8_t>* pvecCreation = m_coDescriptors.Creation(m_vecDescriptor[static_cast<size_t>(i)]);
        pcoSecure->Adopt(pvecCreation->data(), static_cast<uint32_t>(pvecCreation->size()));
        pcoSecure->SetToFile(strTarget.c_str());
        return std::string();
    }
    return OpenForTheRun(i, strTarget);
}

std::string KwCopyEngine::OpenForTheRun(long i, const std::string& strTarget)
{
    // What cannot be read is left as it is: the entries made in it say
    // what fails.
    Secure coReader(m_coSecurity, KwSecurityApi::OwnerInfo | KwSecurityApi::GroupInfo | KwSecurityApi::DaclInfo,
                    Secure::WithoutPrivileges);
    int nAllowed = 1;
    uint32_t ulError = 0;
    if (!coReader.GetFromFile(strTarget.c_str())
        || !m_coSecurity.AllowsCopyingInto(coReader.GetDescriptor(), coReader.GetDescriptorLength(), nAllowed, ulError)
        || nAllowed)
        return std::string();
    std::vector<uint8_t> vecOpened;
    if (!m_coSecurity.WithCopyingAccess(coReader.GetDescriptor(), coReader.GetDescriptorLength(), vecOpened, ulError)
        || !m_coSecurity.SetFileSecurity(strTarget, KwSecurityApi::DaclInfo, vecOpened.data(), ulError))
        return "it lets the copying account make nothing in it, and it cannot be opened for the copy: "
            + m_coSecurity.ErrorText(ulError);
    m_coOpened[i] = std::string(static_cast<const char*>(coReader.GetDescriptor()), coReader.GetDescriptorLength());
    return std::string();
}

void KwCopyEngine::RemoveLeftovers(const std::string& strDirectory, const std::string& strShown)
{
    std::vector<KwCopyDirEntry> vecEntries;
    KwCopyError coError;
    if (!m_coFs.List(strDirectory, vecEntries, nullptr, coError))
        return;
    for (const KwCopyDirEntry& coEntry : vecEntries) {
        if (coEntry.m_coStat.m_eKind != KwCopyStat::File || !KwFileTransfer::IsTemporaryName(coEntry.m_strName))
            continue;
        const std::string strName = strShown.empty() ? coEntry.m_strName : strShown + m_coFs.Separator() + coEntry.m_strName;
        const TLine coLine = BeginLine("Removing Leftover " + strName + " ... ");
        if (m_coFs.DeleteUnheld(m_coFs.Join(strDirectory, coEntry.m_strName), coError))
            EndLine(coLine, KwCopyRecord::Ok);
        else if (coError.m_eKind == KwCopyError::InUse)
            EndLine(coLine, KwCopyRecord::Skipped, "another run is writing it");
        else
            EndLine(coLine, KwCopyRecord::Failed, ErrorText(coError.m_ulCode));
    }
}

void KwCopyEngine::DoFile(long i, TWorker& coWorker)
{
    const KwCopyTree::Entry& coEntry = m_coTree[i];
    KwFileTransfer& coTransfer = *coWorker.m_pcoTransfer;
    Count(&KwCopySummary::m_lFiles);
    const TLine coLine = BeginLine("Copying " + Shown(i) + " ... ");
    if (coEntry.m_nFlags & KwCopyTree::Missing) {
        FailEntry(i, coLine, "it cannot be found: " + ErrorText(coEntry.m_ulError));
        return;
    }
    std::string strReason;
    if (m_coOptions.m_nListOnly) {
        switch (coTransfer.Decide(Source(i), coEntry.m_coStat, Target(i), strReason)) {
        case KwFileTransfer::SkipSame:
        case KwFileTransfer::SkipTarget:
            EndLine(coLine, KwCopyRecord::Skipped, strReason);
            Count(&KwCopySummary::m_lSkipped);
            SetState(i, Skipped);
            return;
        case KwFileTransfer::RefuseTarget:
            FailEntry(i, coLine, strReason);
            return;
        default:
            EndLine(coLine, KwCopyRecord::Listed);
            Count(&KwCopySummary::m_lCopied);
            SetState(i, Made);
            return;
        }
    }
    // The source's rights are read once it is open, through its handle.
    Secure* pcoSecure = coWorker.m_pcoSecure;
    std::string strRights;
    const KwFileTransfer::Creation fnCreation = [&](KwCopyStream* pcoSource, const void*& pvDescriptor,
                                                    std::string& strFailure) {
        if (CreationDescriptor(i, pcoSecure, pcoSource, pvDescriptor, strRights))
            return 1;
        strFailure = strRights + ", and it cannot be made private";
        return 0;
    };
    coWorker.m_ullFileBytes = 0;
    const int nNewDirectory = coEntry.m_lParent >= 0 && GetState(coEntry.m_lParent) == Made;
    switch (coTransfer.Copy(Source(i), coEntry.m_coStat, Target(i), RightsAccess(pcoSecure), fnCreation, nNewDirectory,
                            strReason)) {
    case KwFileTransfer::Copied:
        Count(&KwCopySummary::m_lCopied);
        SetState(i, Made);
        if (strRights.empty()) {
            EndLine(coLine, KwCopyRecord::Ok);
        } else {
            EndLine(coLine, KwCopyRecord::Failed, strRights + "; it was made private to the copying account");
            MarkFailed(i);
        }
        return;
    case KwFileTransfer::Unchanged:
        // Left as it is, its source never opened; its rights still follow
        // the source's, read by name.
        if (pcoSecure)
            ReadRights(i, *pcoSecure, nullptr);
        EndLine(coLine, KwCopyRecord::Skipped, strReason);
        Count(&KwCopySummary::m_lSkipped);
        SetState(i, Existed);
        return;
    case KwFileTransfer::Skipped:
        EndLine(coLine, KwCopyRecord::Skipped, strReason);
        Count(&KwCopySummary::m_lSkipped);
        SetState(i, Skipped);
        break;
    case KwFileTransfer::Canceled:
        EndLine(coLine, KwCopyRecord::Canceled);
        SetState(i, Failed);
        break;
    default:
        FailEntry(i, coLine, strReason);
        break;
    }
    // Bytes of a file that was not copied do not count as copied.
    UncountBytes(coWorker.m_ullFileBytes);
}

void KwCopyEngine::DoLink(long i)
{
    Count(&KwCopySummary::m_lFiles);
    const TLine coLine = BeginLine("Copying " + Shown(i) + " ... ");
    if (m_coOptions.m_nListOnly) {
        EndLine(coLine, KwCopyRecord::Listed, "a link, copied as a link");
        return;
    }
    KwCopyError coError;
    if (m_coFs.CopyLink(Source(i), Target(i), coError)) {
        EndLine(coLine, KwCopyRecord::Ok);
        Count(&KwCopySummary::m_lCopied);
        SetState(i, Linked);
    } else if (coError.m_eKind == KwCopyError::NotSupported) {
        EndLine(coLine, KwCopyRecord::Skipped, "a link to a directory is not followed, and it cannot be copied here");
        Count(&KwCopySummary::m_lSkipped);
        SetState(i, Skipped);
    } else {
        EndLine(coLine, KwCopyRecord::Failed, "the link cannot be copied: " + ErrorText(coError.m_ulCode));
        SetState(i, Failed);
        MarkFailed(i);
    }
}

void KwCopyEngine::SecondPass(Secure* pcoSecure, KwCopyPool* pcoPool)
{
    m_eStage = Assigning;
    m_lRightsAll = 0;
    for (long i = 0; i < m_coTree.Count(); ++i)
        m_lRightsAll += GetState(i) == Made || GetState(i) == Existed;
    // Files take their rights in any order, a directory only after all of
    // its contents: they were all handed on before it.
    for (long i = m_coTree.Count() - 1; i >= 0; --i) {
        if (GetState(i) != Made && GetState(i) != Existed)
            continue;
        const bool bDirectory = m_coTree[i].m_coStat.m_eKind == KwCopyStat::Directory;
        if (pcoPool && pcoSecure && !bDirectory) {
            pcoPool->Push(i);
            continue;
        }
        if (pcoPool && bDirectory)
            pcoPool->Wait();
        FinishEntry(i, pcoSecure);
    }
    if (pcoPool)
        pcoPool->Wait();
}

void KwCopyEngine::FinishEntry(long i, Secure* pcoSecure)
{
    const std::string strTarget = Target(i);
    KwCopyError coError;
    // Times first: the exact rights may take the copy's own access away.
    if (m_coTree[i].m_coStat.m_eKind == KwCopyStat::Directory && !m_coOptions.m_nListOnly
        && !m_coFs.SetEntryInfo(strTarget, m_coTree[i].m_coStat, pcoSecure != nullptr, coError)) {
        EndLine(BeginLine("Setting Times " + Shown(i) + " ... "), KwCopyRecord::Failed, ErrorText(coError.m_ulCode));
        MarkFailed(i);
    }
    RestoreOpened(i, strTarget);
    if (pcoSecure) {
        const TLine coLine = BeginLine("Assigning Rights " + Shown(i) + " ... ");
        std::string strReason;
        if (m_coOptions.m_nListOnly) {
            EndLine(coLine, KwCopyRecord::Listed);
        } else if (!AssignRights(i, *pcoSecure, strTarget, strReason)) {
            EndLine(coLine, KwCopyRecord::Failed, strReason);
            MarkFailed(i);
        } else if (m_coOptions.m_nVerify && pcoSecure->Compare(strTarget.c_str()) != 1) {
            EndLine(coLine, KwCopyRecord::Failed, "verification: the rights read back differ from the source's");
            MarkFailed(i);
        } else {
            EndLine(coLine, KwCopyRecord::Ok);
        }
    }
    // After a cancel the bar stays where the copy stopped.
    std::lock_guard<std::mutex> coGuard(m_coShared);
    ++m_lRightsDone;
    if (!CancelRequested())
        AdvanceTo(m_dPassWeight + (1.0 - m_dPassWeight) * static_cast<double>(m_lRightsDone) / static_cast<double>(m_lRightsAll));
}

void KwCopyEngine::RestoreOpened(long i, const std::string& strTarget)
{
    const auto it = m_coOpened.find(i);
    if (it == m_coOpened.end())
        return;
    uint32_t ulError = 0;
    if (!m_coSecurity.SetFileSecurity(strTarget, KwSecurityApi::DaclInfo, it->second.data(), ulError)) {
        EndLine(BeginLine("Restoring Rights " + Shown(i) + " ... "), KwCopyRecord::Failed, m_coSecurity.ErrorText(ulError));
        MarkFailed(i);
    }
}

void KwCopyEngine::FinishRun()
{
    m_coSummary.m_dSeconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_coStarted).count();
    const double dRate = m_coSummary.m_dSeconds > 0
        ? static_cast<double>(m_coSummary.m_ullBytes) / 1e6 / m_coSummary.m_dSeconds
        : 0.0;
    char szSummary[256];
    std::snprintf(szSummary, sizeof(szSummary),
                  "Directories: %ld, files: %ld, bytes: %llu, copied: %ld, skipped: %ld, failed: %ld, "
                  "time: %.1f s, %.1f MB/s",
                  m_coSummary.m_lDirectories, m_coSummary.m_lFiles,
                  static_cast<unsigned long long>(m_coSummary.m_ullBytes), m_coSummary.m_lCopied,
                  m_coSummary.m_lSkipped, m_coSummary.m_lFailed, m_coSummary.m_dSeconds, dRate);
    AddLine(szSummary, KwCopyRecord::Info);
    m_coQueue.Push(KwCopyRecord(KwCopyRecord::Finished, -1, std::string(), KwCopyRecord::None));
}
