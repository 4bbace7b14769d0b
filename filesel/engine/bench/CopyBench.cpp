// Measures the copy engine against the raw limit of the same platform (see
// CopyBenchRaw.h), every case of a scenario side by side in one run:
//
//   small    10,000 files of 4 KiB in ten directories (--small-dirs)
//   big      8 files of 512 MiB
//   gather   100,000 entries: the engine's gathering against the raw
//            enumeration (goal: at most 1.5x)
//   calls    where the engine's time per small file goes: its file-system
//            and security calls, one by one, and its own work between them,
//            with one worker or --workers N, beside both raw loops
//   cache    what a copy leaves of the user's files in the system's cache
//            (run it only by --only: see CacheRun)
//
// A copy scenario has these cases: the raw loop with one thread and with
// each count of --threads (the best of them is the machine's parallel
// ceiling), for small files also the same loop writing each file under a
// name of its own and renaming it (the engine's way, which the guarantee
// of complete files under their final names takes), and the engine with one worker and with each count, rights
// off and on. Every figure is the best of --runs runs (3), the cases
// taking turns in an order that moves on with each run; each copy is
// checked byte for byte outside the timing and removed again. Each case
// is printed with its time per file (or its throughput), its ratio to the
// raw loop with one thread and its ratio to the ceiling.
//
// Goals, for the engine with its best count of workers: small files at
// most 0.7 of the raw single-threaded time per file and at most 1.2 of
// the ceiling (when the ceiling itself is above 0.7, within 1.1 of it);
// large files at least 0.95 of the ceiling's throughput.
//
//   CopyBench [--big-count N] [--big-mib M] [--small-count N] [--small-dirs D]
//             [--gather-count N] [--threads 2,4] [--runs R] [--unbuffered-mib M]
//             [--only big|small|gather|calls|cache] [--working-mib W]
//             [--working-reads 1|2] [--cache-mib 64,256,1024] [--hold-mib H]
//             [directory]
//
// --unbuffered-mib sets the size from which files pass the system's cache
// (0: none), by size alone, to compare both ways of one big set; without
// it the engine decides by its own rule (KwCopyOptions).
//
// The big run needs its files twice on the disk (source and one copy); with
// less free space it is scaled down, and the output says so. The exit code
// is 1 when a figure misses its goal or a copy is not exact.

#include "CopyBenchRaw.h"
#include "KwCopyEngine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using TClock = std::chrono::steady_clock;

struct TSettings {
    long m_lBigCount { 8 };
    long m_lBigMib { 512 };
    long m_lSmallCount { 10000 };
    long m_lSmallDirectories { 10 };
    long m_lUnbufferedMib { -1 };       // the engine's own threshold
    long m_lGatherCount { 100000 };
    std::vector<int> m_vecThreads { 2, 4 };
    long m_lWorkingMib { 512 };
    std::vector<long> m_vecCacheMib { 64, 256, 1024, 4096 };
    long m_lHoldMib { 0 };
    long m_lWorkingReads { 2 };
    int m_nCallsWorkers { 1 };
    int m_nRuns { 3 };
    std::string m_strOnly;
    fs::path m_coDirectory { fs::temp_directory_path() / "kw-copy-bench" };
};

double Seconds(TClock::time_point coStart)
{
    return std::chrono::duration<double>(TClock::now() - coStart).count();
}

// Content that no file system stores as holes or compresses away.
void WritePattern(const fs::path& coPath, uint64_t ullBytes, uint32_t ulSeed)
{
    std::ofstream coOut(coPath, std::ios::binary);
    std::vector<uint32_t> vecBlock(1 << 18);
    for (uint64_t ullDone = 0; ullDone < ullBytes;) {
        for (uint32_t& ulWord : vecBlock)
            ulWord = ulSeed = ulSeed * 1664525u + 1013904223u;
        const uint64_t ullPiece = std::min<uint64_t>(ullBytes - ullDone, vecBlock.size() * 4);
        coOut.write(reinterpret_cast<const char*>(vecBlock.data()), static_cast<std::streamsize>(ullPiece));
        ullDone += ullPiece;
    }
}

bool SameBytes(const fs::path& coA, const fs::path& coB)
{
    std::ifstream coInA(coA, std::ios::binary);
    std::ifstream coInB(coB, std::ios::binary);
    std::vector<char> vecA(1 << 20);
    std::vector<char> vecB(1 << 20);
    while (coInA && coInB) {
        coInA.read(vecA.data(), static_cast<std::streamsize>(vecA.size()));
        coInB.read(vecB.data(), static_cast<std::streamsize>(vecB.size()));
        if (coInA.gcount() != coInB.gcount() || std::memcmp(vecA.data(), vecB.data(), static_cast<size_t>(coInA.gcount())) != 0)
            return false;
    }
    return coInA.eof() && coInB.eof();
}

// Every file below the source has an equal copy below the target.
bool SameTree(const fs::path& coSource, const fs::path& coTarget)
{
    for (const auto& coEntry : fs::recursive_directory_iterator(coSource)) {
        const fs::path coCopy = coTarget / fs::relative(coEntry.path(), coSource);
        if (coEntry.is_directory() ? !fs::is_directory(coCopy) : !SameBytes(coEntry.path(), coCopy))
            return false;
    }
    return true;
}

// Waits (at most a minute) until the data written before has left the
// page cache for the disk, so that one run does not pay for the writing of
// the run before it. The host's /proc/meminfo tells, also to a program
// under Wine through drive Z:; without it nothing is waited for.
void Settle()
{
#if defined(_WIN32)
    const char* pszMeminfo = "Z:\\proc\\meminfo";
#else
    const char* pszMeminfo = "/proc/meminfo";
#endif
    for (int nTry = 0; nTry < 600; ++nTry) {
        std::ifstream coIn(pszMeminfo);
        std::string strKey;
        long long llKiB = 0;
        long long llPending = -1;
        while (coIn >> strKey >> llKiB) {
            if (strKey == "Dirty:" || strKey == "Writeback:")
                llPending = std::max(0LL, llPending) + llKiB;
            coIn.ignore(64, '\n');
        }
        if (llPending < 64 * 1024)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The time of each kind of call, for the calls scenario.
class TCallTimes {
public:
    class TTimer {
    public:
        TTimer(TCallTimes& coTimes, const char* pszCall) : m_coTimes(coTimes), m_pszCall(pszCall), m_coStart(TClock::now()) {}
        ~TTimer() { m_coTimes.Add(m_pszCall, Seconds(m_coStart)); }
        TTimer(const TTimer&) = delete;
        TTimer& operator=(const TTimer&) = delete;

    private:
        TCallTimes& m_coTimes;
        const char* m_pszCall;
        TClock::time_point m_coStart;
    };

    void Add(const char* pszCall, double dSeconds)
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        auto& coCall = m_coCalls[pszCall];
        ++coCall.first;
        coCall.second += dSeconds;
    }
    double Total() const
    {
        double dAll = 0;
        for (const auto& coCall : m_coCalls)
            dAll += coCall.second.second;
        return dAll;
    }
    const std::map<std::string, std::pair<long, double>>& Calls() const { return m_coCalls; }

private:
    std::mutex m_coLock;
    std::map<std::string, std::pair<long, double>> m_coCalls;
};

// The platform's file system and security calls, each timed.
class TTimedStream final : public KwCopyStream {
public:
    TTimedStream(std::unique_ptr<KwCopyStream> pcoReal, TCallTimes& coTimes) : m_pcoReal(std::move(pcoReal)), m_coTimes(coTimes) {}
    long Read(char* pch, long l, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "read"); return m_pcoReal->Read(pch, l, e); }
    long Write(const char* pch, long l, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "write"); return m_pcoReal->Write(pch, l, e); }
    int Rewind(KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "rewind"); return m_pcoReal->Rewind(e); }
    int SetSize(uint64_t ull, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "set size"); return m_pcoReal->SetSize(ull, e); }
    int Finish(const KwCopyStat& c, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "set times (copy)"); return m_pcoReal->Finish(c, e); }
    int NamedStreams(std::vector<KwCopyNamedStream>& v, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "list streams (copy)"); return m_pcoReal->NamedStreams(v, e); }
    int GetSecurity(uint32_t i, void* pv, uint32_t ul, uint32_t& n, uint32_t& e) override { TCallTimes::TTimer t(m_coTimes, "read rights, open (rights)"); return m_pcoReal->GetSecurity(i, pv, ul, n, e); }
    int Commit(const std::string& s, int n, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "rename (copy)"); return m_pcoReal->Commit(s, n, e); }
    int Close(KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "close"); return m_pcoReal->Close(e); }
    void Abandon() override { m_pcoReal->Abandon(); }
    ~TTimedStream() override { TCallTimes::TTimer t(m_coTimes, "release"); m_pcoReal.reset(); }

private:
    std::unique_ptr<KwCopyStream> m_pcoReal;
    TCallTimes& m_coTimes;
};

class TTimedFileSystem final : public KwCopyFileSystem {
public:
    explicit TTimedFileSystem(TCallTimes& coTimes) : m_coTimes(coTimes) {}
    char Separator() const override { return m_coReal.Separator(); }
    int FullPath(const std::string& s, std::string& f) const override { return m_coReal.FullPath(s, f); }
    size_t RootLength(const std::string& s) const override { return m_coReal.RootLength(s); }
    int SameName(const std::string& a, const std::string& b) const override { return m_coReal.SameName(a, b); }
    std::string NameKey(const std::string& s) const override { return m_coReal.NameKey(s); }
    std::string ErrorText(uint32_t ul) const override { return m_coReal.ErrorText(ul); }
    int List(const std::string& s, std::vector<KwCopyDirEntry>& v, KwCopyIdentity* p, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "list directory (gather)"); return m_coReal.List(s, v, p, e); }
    int Stat(const std::string& s, KwCopyDirEntry& c, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "stat"); return m_coReal.Stat(s, c, e); }
    int StatFollowing(const std::string& s, KwCopyDirEntry& c, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "stat"); return m_coReal.StatFollowing(s, c, e); }
    int StoredName(const std::string& s, std::string& n, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "stored name"); return m_coReal.StoredName(s, n, e); }
    int Identity(const std::string& s, KwCopyIdentity& c, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "identity"); return m_coReal.Identity(s, c, e); }
    int FinalPath(const std::string& s, std::string& f, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "final path"); return m_coReal.FinalPath(s, f, e); }
    int FreeSpace(const std::string& s, uint64_t& ull, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "free space"); return m_coReal.FreeSpace(s, ull, e); }
    uint64_t FreeMemory() override { TCallTimes::TTimer t(m_coTimes, "free memory"); return m_coReal.FreeMemory(); }
    int CreateDirectory(const std::string& s, const void* pv, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "create directory"); return m_coReal.CreateDirectory(s, pv, e); }
    std::unique_ptr<KwCopyStream> OpenSource(const std::string& s, int n, KwCopyError& e) override
    {
        TCallTimes::TTimer t(m_coTimes, "open source");
        std::unique_ptr<KwCopyStream> pco = m_coReal.OpenSource(s, n, e);
        return pco ? std::make_unique<TTimedStream>(std::move(pco), m_coTimes) : nullptr;
    }
    std::unique_ptr<KwCopyStream> CreateTarget(const std::string& s, const void* pv, int n, KwCopyError& e) override
    {
        TCallTimes::TTimer t(m_coTimes, "create target");
        std::unique_ptr<KwCopyStream> pco = m_coReal.CreateTarget(s, pv, n, e);
        return pco ? std::make_unique<TTimedStream>(std::move(pco), m_coTimes) : nullptr;
    }
    int DeleteFile(const std::string& s, KwCopyError& e) override { return m_coReal.DeleteFile(s, e); }
    int DeleteUnheld(const std::string& s, KwCopyError& e) override { return m_coReal.DeleteUnheld(s, e); }
    int ClearReadOnly(const std::string& s, KwCopyError& e) override { return m_coReal.ClearReadOnly(s, e); }
    int SetEntryInfo(const std::string& s, const KwCopyStat& c, int n, KwCopyError& e) override { TCallTimes::TTimer t(m_coTimes, "set directory times"); return m_coReal.SetEntryInfo(s, c, n, e); }
    int CopyLink(const std::string& s, const std::string& d, KwCopyError& e) override { return m_coReal.CopyLink(s, d, e); }

private:
    KwCopyFileSystem& m_coReal { KwCopyFileSystem::Platform() };
    TCallTimes& m_coTimes;
};

class TTimedSecurity final : public KwSecurityApi {
public:
    explicit TTimedSecurity(TCallTimes& coTimes) : m_coTimes(coTimes) {}
    int LookupPrivilege(const char* psz, Luid& ul, uint32_t& e) override { return m_coReal.LookupPrivilege(psz, ul, e); }
    Token OpenProcessToken(uint32_t& e) override { return m_coReal.OpenProcessToken(e); }
    void CloseToken(Token h) override { m_coReal.CloseToken(h); }
    int AdjustPrivilege(Token h, Luid ul, int n, int& w, uint32_t& e) override { return m_coReal.AdjustPrivilege(h, ul, n, w, e); }
    int GetFileSecurity(const std::string& s, uint32_t i, void* pv, uint32_t ul, uint32_t& n, uint32_t& e) override { TCallTimes::TTimer t(m_coTimes, "read rights, by name (rights)"); return m_coReal.GetFileSecurity(s, i, pv, ul, n, e); }
    int SetFileSecurity(const std::string& s, uint32_t i, const void* pv, uint32_t& e) override { TCallTimes::TTimer t(m_coTimes, "set rights (rights)"); return m_coReal.SetFileSecurity(s, i, pv, e); }
    int AllowsCopyingInto(const void* pv, uint32_t ul, int& n, uint32_t& e) override { return m_coReal.AllowsCopyingInto(pv, ul, n, e); }
    int WithCopyingAccess(const void* pv, uint32_t ul, std::vector<uint8_t>& v, uint32_t& e) override { return m_coReal.WithCopyingAccess(pv, ul, v, e); }
    int WithCreatorAccess(const void* pv, uint32_t ul, std::vector<uint8_t>& v, uint32_t& e) override { TCallTimes::TTimer t(m_coTimes, "creation descriptor (rights)"); return m_coReal.WithCreatorAccess(pv, ul, v, e); }
    int PrivateDescriptor(int n, std::vector<uint8_t>& v, uint32_t& e) override { return m_coReal.PrivateDescriptor(n, v, e); }
    int SameDescriptor(const void* a, uint32_t ula, const void* b, uint32_t ulb, uint32_t i) override { return m_coReal.SameDescriptor(a, ula, b, ulb, i); }
    int GetVolumeInfo(const std::string& s, KwVolumeInfo& c, uint32_t& e) override { return m_coReal.GetVolumeInfo(s, c, e); }
    std::string ErrorText(uint32_t ul) const override { return m_coReal.ErrorText(ul); }

private:
    KwSecurityApi& m_coReal { KwSecurityApi::Platform() };
    TCallTimes& m_coTimes;
};

double RunEngine(KwCopyEngine& coEngine, const fs::path& coSource, const fs::path& coTarget, bool bRights, int nWorkers,
                 long lUnbufferedMib)
{
    coEngine.Options().m_eSecurity = bRights ? KwCopyOptions::SecurityAll : KwCopyOptions::SecurityNone;
    coEngine.Options().m_nWorkers = nWorkers;
    if (lUnbufferedMib >= 0) {
        // By size alone, whatever the memory free.
        coEngine.Options().m_ullUnbufferedFrom = static_cast<uint64_t>(lUnbufferedMib) << 20;
        coEngine.Options().m_nUnbufferedWhenShort = 0;
    }
    coEngine.SetPathFrom(coSource.u8string().c_str());
    coEngine.SetPathTo(coTarget.u8string().c_str());
    const TClock::time_point coStart = TClock::now();
    coEngine.Start();
    std::vector<KwCopyRecord> vecRecords;
    for (bool bFinished = false; !bFinished;) {
        coEngine.Queue().Wait(100);
        vecRecords.clear();
        coEngine.Queue().Drain(vecRecords);
        for (const KwCopyRecord& coRecord : vecRecords)
            bFinished |= coRecord.GetKind() == KwCopyRecord::Finished;
    }
    const double dSeconds = Seconds(coStart);
    coEngine.WaitUntilEnded();
    return coEngine.GetSummary().m_lFailed == 0 ? dSeconds : -1.0;
}

double RunRaw(const fs::path& coSource, const fs::path& coTarget, int nThreads, int nRenamed)
{
    fs::create_directories(coTarget);
    const TClock::time_point coStart = TClock::now();
    TRawFiles vecFiles;
    std::atomic<int> nDone { RawMakeTree(coSource.u8string(), (coTarget / coSource.filename()).u8string(), vecFiles) };
    std::atomic<size_t> nNext { 0 };
    auto fnCopy = [&] {
        std::unique_ptr<char[]> pchBuffer(new char[kRawBuffer]);
        for (size_t i; (i = nNext++) < vecFiles.size();)
            if (!RawCopyFile(vecFiles[i].first, vecFiles[i].second, pchBuffer.get(), nRenamed))
                nDone = 0;
    };
    std::vector<std::thread> vecThreads;
    for (int i = 1; i < nThreads; ++i)
        vecThreads.emplace_back(fnCopy);
    fnCopy();
    for (std::thread& coThread : vecThreads)
        coThread.join();
    return nDone ? Seconds(coStart) : -1.0;
}

// One case of a copy scenario: the raw loop (no rights) or the engine.
// A renamed raw loop writes each file under a name of its own and renames
// it, as the engine does; it counts for neither raw 1 nor the ceiling.
struct TCase {
    bool m_bEngine { false };
    bool m_bRights { false };
    bool m_bRenamed { false };
    int m_nThreads { 1 };
    double m_dBest { 1e300 };
    bool m_bExact { true };

    std::string Name() const
    {
        const std::string strCount = std::to_string(m_nThreads) + (m_bEngine ? " worker" : " thread") + (m_nThreads > 1 ? "s" : "");
        if (m_bEngine)
            return std::string("engine, rights ") + (m_bRights ? "on,  " : "off, ") + strCount;
        return (m_bRenamed ? "raw renamed, " : "raw, ") + strCount;
    }
};

int g_nMissed = 0;

// Runs every case once per run, in an order that moves on with each run,
// best of the runs; each copy checked and removed. bRenamed adds the
// renamed raw loop.
std::vector<TCase> Measure(const TSettings& coSettings, const fs::path& coSource, bool bRenamed)
{
    std::vector<TCase> vecCases;
    for (bool bRename : { false, true })
        for (int nThreads : coSettings.m_vecThreads) {
            TCase coRaw;
            coRaw.m_nThreads = nThreads;
            coRaw.m_bRenamed = bRename;
            if (bRenamed || !bRename)
                vecCases.push_back(coRaw);
        }
    for (bool bRights : { false, true })
        for (int nThreads : coSettings.m_vecThreads) {
            TCase coEngine;
            coEngine.m_bEngine = true;
            coEngine.m_bRights = bRights;
            coEngine.m_nThreads = nThreads;
            vecCases.push_back(coEngine);
        }
    const fs::path coTarget = coSettings.m_coDirectory / "copy";
    for (int nRun = 0; nRun < coSettings.m_nRuns; ++nRun)
        for (size_t n = 0; n < vecCases.size(); ++n) {
            TCase& coCase = vecCases[(n + static_cast<size_t>(nRun) * 3) % vecCases.size()];
            Settle();
            double dSeconds;
            if (coCase.m_bEngine) {
                KwCopyEngine coEngine;
                dSeconds = RunEngine(coEngine, coSource, coTarget, coCase.m_bRights, coCase.m_nThreads, coSettings.m_lUnbufferedMib);
            } else {
                dSeconds = RunRaw(coSource, coTarget, coCase.m_nThreads, coCase.m_bRenamed);
            }
            coCase.m_bExact &= dSeconds >= 0 && SameTree(coSource, coTarget / coSource.filename());
            if (dSeconds >= 0)
                coCase.m_dBest = std::min(coCase.m_dBest, dSeconds);
            fs::remove_all(coTarget);
        }
    return vecCases;
}

// The table of a scenario: per case its figure (per file, or throughput
// when dAmount is MiB), and its ratios of time to raw with one thread and
// to the best raw; then the goals, for the best engine with rights off and
// with rights on.
void Report(const char* pszScenario, const std::vector<TCase>& vecCases, double dAmount, bool bThroughput)
{
    double dRawOne = 1e300;
    double dCeiling = 1e300;
    for (const TCase& coCase : vecCases)
        if (!coCase.m_bEngine && !coCase.m_bRenamed) {
            dCeiling = std::min(dCeiling, coCase.m_dBest);
            if (coCase.m_nThreads == 1)
                dRawOne = coCase.m_dBest;
        }
    std::printf("%s\n", pszScenario);
    std::printf("  %-30s %14s %12s %12s\n", "case", bThroughput ? "MiB/s" : "us per file", "x raw 1", "x ceiling");
    for (const TCase& coCase : vecCases) {
        const double dFigure = bThroughput ? dAmount / coCase.m_dBest : coCase.m_dBest / dAmount;
        std::printf("  %-30s %14.1f %12.2f %12.2f%s\n", coCase.Name().c_str(), dFigure, coCase.m_dBest / dRawOne,
                    coCase.m_dBest / dCeiling, coCase.m_bExact ? "" : "  (copy not exact)");
        g_nMissed += !coCase.m_bExact;
    }
    const double dCeilingRatio = dCeiling / dRawOne;
    for (bool bRights : { false, true }) {
        double dBest = 1e300;
        for (const TCase& coCase : vecCases)
            if (coCase.m_bEngine && coCase.m_bRights == bRights)
                dBest = std::min(dBest, coCase.m_dBest);
        bool bMet;
        char szGoal[160];
        if (bThroughput) {
            bMet = dCeiling / dBest >= 0.95;
            std::snprintf(szGoal, sizeof(szGoal), "throughput %.2f of the ceiling (goal >= 0.95)", dCeiling / dBest);
        } else if (dCeilingRatio > 0.7) {
            bMet = dBest / dCeiling <= 1.1;
            std::snprintf(szGoal, sizeof(szGoal), "%.2f of raw 1 (the ceiling itself is %.2f), %.2f of the ceiling (goal <= 1.10)",
                          dBest / dRawOne, dCeilingRatio, dBest / dCeiling);
        } else {
            bMet = dBest / dRawOne <= 0.7 && dBest / dCeiling <= 1.2;
            std::snprintf(szGoal, sizeof(szGoal), "%.2f of raw 1 (goal <= 0.70), %.2f of the ceiling (goal <= 1.20)",
                          dBest / dRawOne, dBest / dCeiling);
        }
        g_nMissed += !bMet;
        std::printf("  best engine, rights %-3s  %s  %s\n", bRights ? "on" : "off", szGoal, bMet ? "met" : "MISSED");
    }
    std::fflush(stdout);
}

void BigRun(TSettings coSettings)
{
    const fs::path coSource = coSettings.m_coDirectory / "big";
    const uint64_t ullFile = static_cast<uint64_t>(coSettings.m_lBigMib) << 20;
    const uint64_t ullFree = fs::space(coSettings.m_coDirectory).available;
    const uint64_t ullNeeded = 2 * ullFile * static_cast<uint64_t>(coSettings.m_lBigCount) + (1ull << 30);
    if (!fs::exists(coSource) && ullFree < ullNeeded) {
        const long lFit = static_cast<long>((ullFree - std::min<uint64_t>(ullFree, 1ull << 30)) / (2 * ullFile));
        std::printf("big: only %llu MiB free, %llu MiB needed: scaled down from %ld to %ld files\n",
                    static_cast<unsigned long long>(ullFree >> 20), static_cast<unsigned long long>(ullNeeded >> 20),
                    coSettings.m_lBigCount, lFit);
        coSettings.m_lBigCount = lFit;
    }
    if (coSettings.m_lBigCount <= 0)
        return;
    fs::create_directories(coSource);
    for (long i = 0; i < coSettings.m_lBigCount; ++i) {
        const fs::path coFile = coSource / ("big" + std::to_string(i) + ".bin");
        std::error_code coMissing;
        if (fs::file_size(coFile, coMissing) != ullFile)
            WritePattern(coFile, ullFile, static_cast<uint32_t>(i + 1));
    }
    const uint64_t ullUnbuffered = coSettings.m_lUnbufferedMib >= 0 ? static_cast<uint64_t>(coSettings.m_lUnbufferedMib) << 20
                                                                    : KwCopyOptions().m_ullUnbufferedFrom;
    char szScenario[128];
    if (ullUnbuffered)
        std::snprintf(szScenario, sizeof(szScenario), "%ld x %ld MiB, the engine past the cache from %llu MiB%s",
                      coSettings.m_lBigCount, coSettings.m_lBigMib, static_cast<unsigned long long>(ullUnbuffered >> 20),
                      coSettings.m_lUnbufferedMib < 0 ? " when memory is short" : "");
    else
        std::snprintf(szScenario, sizeof(szScenario), "%ld x %ld MiB, the engine through the cache", coSettings.m_lBigCount,
                      coSettings.m_lBigMib);
    Report(szScenario, Measure(coSettings, coSource, false),
           static_cast<double>(ullFile >> 20) * static_cast<double>(coSettings.m_lBigCount), true);
}

fs::path SmallTree(const TSettings& coSettings)
{
    const long lDirectories = coSettings.m_lSmallDirectories;
    std::string strName = "small-" + std::to_string(coSettings.m_lSmallCount);
    if (lDirectories != 10)
        strName += "-in-" + std::to_string(lDirectories);
    const fs::path coSource = coSettings.m_coDirectory / strName;
    if (!fs::exists(coSource))
        for (long i = 0; i < coSettings.m_lSmallCount; ++i) {
            const fs::path coDirectory = coSource / ("d" + std::to_string(i * lDirectories / coSettings.m_lSmallCount));
            fs::create_directories(coDirectory);
            WritePattern(coDirectory / ("f" + std::to_string(i) + ".dat"), 4096, static_cast<uint32_t>(i + 7));
        }
    return coSource;
}

void SmallRun(const TSettings& coSettings)
{
    char szScenario[64];
    std::snprintf(szScenario, sizeof(szScenario), "%ld x 4 KiB in %ld directories", coSettings.m_lSmallCount,
                  coSettings.m_lSmallDirectories);
    Report(szScenario, Measure(coSettings, SmallTree(coSettings), true), static_cast<double>(coSettings.m_lSmallCount) / 1e6,
           false);
}

// One engine run with one worker over the small tree, each call timed:
// what a file costs in each kind of call, and the engine's own work
// (the time of the run less that of its calls), beside the raw loop's
// whole time per file.
void CallsRun(const TSettings& coSettings)
{
    const fs::path coSource = SmallTree(coSettings);
    const fs::path coTarget = coSettings.m_coDirectory / "copy";
    const double dFiles = static_cast<double>(coSettings.m_lSmallCount) / 1e6;
    const int nWorkers = coSettings.m_nCallsWorkers;
    for (bool bRights : { false, true }) {
        Settle();
        const double dRaw = RunRaw(coSource, coTarget, nWorkers, 0);
        fs::remove_all(coTarget);
        Settle();
        const double dRenamed = RunRaw(coSource, coTarget, nWorkers, 1);
        fs::remove_all(coTarget);
        Settle();
        TCallTimes coTimes;
        TTimedFileSystem coFs(coTimes);
        TTimedSecurity coSecurity(coTimes);
        KwCopyEngine coEngine(coFs, coSecurity);
        const double dEngine = RunEngine(coEngine, coSource, coTarget, bRights, nWorkers, coSettings.m_lUnbufferedMib);
        fs::remove_all(coTarget);
        // With several workers a call's figure is the time all of them spent
        // in it per file, and the workers' time outside calls includes their
        // waiting for one another.
        std::printf("calls of the engine per file, %ld x 4 KiB in %ld directories, rights %s, %d worker%s (us per file)\n",
                    coSettings.m_lSmallCount, coSettings.m_lSmallDirectories, bRights ? "on" : "off", nWorkers,
                    nWorkers > 1 ? "s" : "");
        for (const auto& coCall : coTimes.Calls())
            std::printf("  %-30s %8.1f  (%ld calls)\n", coCall.first.c_str(), coCall.second.second / dFiles, coCall.second.first);
        std::printf("  %-30s %8.1f\n", "the engine's own work", (dEngine * nWorkers - coTimes.Total()) / dFiles);
        std::printf("  %-30s %8.1f\n  %-30s %8.1f  (%.2f x)\n  %-30s %8.1f  (%.2f x)\n", "engine, all", dEngine / dFiles,
                    "raw loop, all", dRaw / dFiles, dEngine / dRaw, "raw loop renamed, all", dRenamed / dFiles,
                    dEngine / dRenamed);
        std::fflush(stdout);
    }
}

void GatherRun(const TSettings& coSettings)
{
    const fs::path coSource = coSettings.m_coDirectory / "gather";
    const long lPerDirectory = 1000;
    if (!fs::exists(coSource))
        for (long i = 0; i < coSettings.m_lGatherCount; ++i) {
            const fs::path coDirectory = coSource / ("d" + std::to_string(i / lPerDirectory));
            if (i % lPerDirectory == 0)
                fs::create_directories(coDirectory);
            std::ofstream(coDirectory / ("entry-" + std::to_string(i) + ".txt"));
        }
    double dRaw = 1e300;
    double dEngine = 1e300;
    bool bSame = true;
    for (int nRun = 0; nRun < coSettings.m_nRuns; ++nRun) {
        TClock::time_point coStart = TClock::now();
        const uint64_t ullRaw = RawEnumerate(coSource.u8string());
        dRaw = std::min(dRaw, Seconds(coStart));
        KwCopyEngine coEngine;
        coStart = TClock::now();
        coEngine.FillFromPath(coSource.u8string().c_str(), 0);
        dEngine = std::min(dEngine, Seconds(coStart));
        bSame &= static_cast<uint64_t>(coEngine.GetEntryCount()) == ullRaw;
    }
    const bool bMet = bSame && dEngine / dRaw <= 1.5;
    g_nMissed += !bMet;
    std::printf("gather %ld: raw %.1f ms, engine %.1f ms, %.2f x (goal <= 1.50) %s%s\n", coSettings.m_lGatherCount,
                dRaw * 1e3, dEngine * 1e3, dEngine / dRaw, bMet ? "met" : "MISSED", bSame ? "" : " (counts differ)");
    std::fflush(stdout);
}

// How fast a file reads from start to end, in MiB/s.
double ReadRate(const fs::path& coFile)
{
    std::ifstream coIn(coFile, std::ios::binary);
    std::vector<char> vecPiece(kRawBuffer);
    uint64_t ullBytes = 0;
    const TClock::time_point coStart = TClock::now();
    while (coIn.read(vecPiece.data(), static_cast<std::streamsize>(vecPiece.size())) || coIn.gcount() > 0)
        ullBytes += static_cast<uint64_t>(coIn.gcount());
    return static_cast<double>(ullBytes >> 20) / std::max(1e-6, Seconds(coStart));
}

std::string Share(double dShare)
{
    char szShare[16];
    if (dShare < 0)
        return "   -";
    std::snprintf(szShare, sizeof(szShare), "%3.0f%%", dShare * 100);
    return szShare;
}

// What a copy leaves of the user's files in the system's cache, the
// reason why large files pass it. The user's working set (--working-mib)
// is read --working-reads times (2: files in use; 1: files just looked
// at), then one file of each size of
// --cache-mib is copied by the engine through the cache and past it;
// after each copy and its write-back (the copy's time with the flush of
// its data to the disk is the second speed), the table shows the share of the
// working set still cached (where the system tells: natively) and how
// fast it reads again, beside how fast it read just before (from the
// cache) and how fast the copy went. --hold-mib keeps that much memory of
// the bench's own in use throughout, to play a machine with little free
// memory. Before each copy the source and the working set are dropped
// from the cache where the system allows it (natively), so both ways
// start alike.
void CacheRun(const TSettings& coSettings)
{
    std::vector<char> vecHeld(static_cast<size_t>(coSettings.m_lHoldMib) << 20);
    for (size_t i = 0; i < vecHeld.size(); i += 4096)
        vecHeld[i] = 1;
    const fs::path coRoot = coSettings.m_coDirectory / "cache";
    const fs::path coWorking = coRoot / "working.bin";
    const uint64_t ullWorking = static_cast<uint64_t>(coSettings.m_lWorkingMib) << 20;
    fs::create_directories(coRoot);
    std::error_code coMissing;
    if (fs::file_size(coWorking, coMissing) != ullWorking)
        WritePattern(coWorking, ullWorking, 99);
    std::printf("\ncache: a working set of %ld MiB read %ld times, then one file copied by the engine (rights off, one "
                "worker); %ld MiB held by the bench\n", coSettings.m_lWorkingMib, coSettings.m_lWorkingReads, coSettings.m_lHoldMib);
    std::printf("  %-10s  %-13s  %12s  %15s  %16s  %18s\n", "file", "the copy", "copy MiB/s", "incl. write-back",
                "working set kept", "re-read MiB/s (was)");
    const fs::path coTarget = coRoot / "copy";
    for (long lMib : coSettings.m_vecCacheMib) {
        const fs::path coSource = coRoot / ("source-" + std::to_string(lMib));
        const fs::path coFile = coSource / "file.bin";
        const uint64_t ullFile = static_cast<uint64_t>(lMib) << 20;
        fs::create_directories(coSource);
        if (fs::file_size(coFile, coMissing) != ullFile)
            WritePattern(coFile, ullFile, static_cast<uint32_t>(lMib));
        for (bool bPast : { false, true }) {
            RawUncache(coFile.u8string());
            RawUncache(coWorking.u8string());
            Settle();
            double dBefore = 0;
            for (long lRead = 0; lRead < coSettings.m_lWorkingReads; ++lRead)
                dBefore = ReadRate(coWorking);
            KwCopyEngine coEngine;
            const TClock::time_point coStart = TClock::now();
            const double dCopy = RunEngine(coEngine, coSource, coTarget, false, 1, bPast ? 1 : 0);
            const fs::path coCopy = coTarget / coSource.filename() / "file.bin";
            RawFlush(coCopy.u8string());
            const double dWritten = Seconds(coStart);
            Settle();
            const double dShare = RawCachedShare(coWorking.u8string());
            const double dAfter = ReadRate(coWorking);
            const bool bExact = dCopy >= 0 && SameBytes(coFile, coCopy);
            g_nMissed += !bExact;
            std::printf("  %6ld MiB  %-13s  %12.0f  %15.0f  %16s  %10.0f (%5.0f)%s\n", lMib,
                        bPast ? "past the cache" : "through it", static_cast<double>(lMib) / std::max(1e-6, dCopy),
                        static_cast<double>(lMib) / std::max(1e-6, dWritten), Share(dShare).c_str(), dAfter, dBefore,
                        bExact ? "" : "  NOT EXACT");
            std::fflush(stdout);
            fs::remove_all(coTarget);
        }
    }
}

long Number(const char* pszText)
{
    return std::strtol(pszText, nullptr, 10);
}

// "64,256,1024" as sizes.
std::vector<long> Sizes(const char* pszText)
{
    std::vector<long> vecSizes;
    for (const char* p = pszText; *p;) {
        char* pszEnd = nullptr;
        const long lSize = std::strtol(p, &pszEnd, 10);
        if (pszEnd == p)
            break;
        if (lSize > 0)
            vecSizes.push_back(lSize);
        p = *pszEnd ? pszEnd + 1 : pszEnd;
    }
    return vecSizes;
}

// "2,4,8" as counts of threads; 1 always comes first.
std::vector<int> Counts(const char* pszText)
{
    std::vector<int> vecCounts { 1 };
    for (const char* p = pszText; *p;) {
        char* pszEnd = nullptr;
        const long lCount = std::strtol(p, &pszEnd, 10);
        if (pszEnd == p)
            break;
        if (lCount > 1 && lCount <= KwCopyOptions::MaxWorkers)
            vecCounts.push_back(static_cast<int>(lCount));
        p = *pszEnd ? pszEnd + 1 : pszEnd;
    }
    return vecCounts;
}

} // namespace

int main(int argc, char** argv)
{
    TSettings coSettings;
    coSettings.m_vecThreads = Counts("2,4");
    for (int i = 1; i < argc; ++i) {
        const std::string strArgument = argv[i];
        const bool bValue = i + 1 < argc;
        if (strArgument == "--big-count" && bValue)
            coSettings.m_lBigCount = Number(argv[++i]);
        else if (strArgument == "--big-mib" && bValue)
            coSettings.m_lBigMib = Number(argv[++i]);
        else if (strArgument == "--small-count" && bValue)
            coSettings.m_lSmallCount = std::max(10L, Number(argv[++i]));
        else if (strArgument == "--small-dirs" && bValue)
            coSettings.m_lSmallDirectories = std::max(1L, Number(argv[++i]));
        else if (strArgument == "--unbuffered-mib" && bValue)
            coSettings.m_lUnbufferedMib = std::max(0L, Number(argv[++i]));
        else if (strArgument == "--gather-count" && bValue)
            coSettings.m_lGatherCount = Number(argv[++i]);
        else if (strArgument == "--threads" && bValue)
            coSettings.m_vecThreads = Counts(argv[++i]);
        else if (strArgument == "--runs" && bValue)
            coSettings.m_nRuns = std::max(1, static_cast<int>(Number(argv[++i])));
        else if (strArgument == "--working-mib" && bValue)
            coSettings.m_lWorkingMib = std::max(1L, Number(argv[++i]));
        else if (strArgument == "--cache-mib" && bValue)
            coSettings.m_vecCacheMib = Sizes(argv[++i]);
        else if (strArgument == "--workers" && bValue)
            coSettings.m_nCallsWorkers = KwCopyOptions::WorkersFor(std::max(1, static_cast<int>(Number(argv[++i]))));
        else if (strArgument == "--working-reads" && bValue)
            coSettings.m_lWorkingReads = std::max(1L, Number(argv[++i]));
        else if (strArgument == "--hold-mib" && bValue)
            coSettings.m_lHoldMib = std::max(0L, Number(argv[++i]));
        else if (strArgument == "--only" && bValue)
            coSettings.m_strOnly = argv[++i];
        else if (strArgument[0] != '-')
            coSettings.m_coDirectory = fs::u8path(strArgument);
        else {
            std::fprintf(stderr, "usage: CopyBench [--big-count N] [--big-mib M] [--small-count N] [--small-dirs D] "
                                 "[--gather-count N] [--threads 2,4] [--runs R] [--unbuffered-mib M] "
                                 "[--only big|small|gather|calls|cache] [--working-mib W] [--working-reads 1|2] [--cache-mib 64,256,1024] [--workers N] "
                                 "[--hold-mib H] [directory]\n");
            return 2;
        }
    }
    fs::create_directories(coSettings.m_coDirectory);
    fs::remove_all(coSettings.m_coDirectory / "copy");
    std::printf("CopyBench in %s, best of %d runs, %u processors\n", coSettings.m_coDirectory.u8string().c_str(),
                coSettings.m_nRuns, std::thread::hardware_concurrency());
    const std::pair<const char*, std::function<void(const TSettings&)>> aScenarios[] = {
        { "gather", GatherRun }, { "calls", CallsRun }, { "small", SmallRun }, { "big", BigRun }, { "cache", CacheRun } };
    for (const auto& coScenario : aScenarios)
        if (coSettings.m_strOnly.empty() ? std::strcmp(coScenario.first, "calls") != 0 && std::strcmp(coScenario.first, "cache") != 0
                                         : coSettings.m_strOnly == coScenario.first)
            coScenario.second(coSettings);
    return g_nMissed ? 1 : 0;
}
