// Measures the copy engine against the raw limit of the same platform, in
// one run on the same trees (see CopyBenchRaw.h for the raw limit):
//
//   big      8 files of 512 MiB: the engine's throughput, at least 0.8 of raw
//   small    10,000 files of 4 KiB: the engine's time per file, at most 2x raw
//   gather   100,000 entries: the engine's gathering, at most 1.5x the raw
//            enumeration
//
// Copies are made with the rights pass off and on; each is checked byte for
// byte against its source outside the timing and removed again. Every
// figure is the best of --runs runs (3), raw and engine taking turns.
//
//   CopyBench [--big-count N] [--big-mib M] [--small-count N] [--gather-count N]
//             [--runs R] [--only big|small|gather] [directory]
//
// The big run needs its files twice on the disk (source and one copy); with
// less free space it is scaled down, and the output says so. The exit code
// is 1 when a figure misses its goal or a copy is not exact.

#include "CopyBenchRaw.h"
#include "KwCopyEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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
    long m_lGatherCount { 100000 };
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

double RunEngine(const fs::path& coSource, const fs::path& coTarget, bool bRights)
{
    KwCopyEngine coEngine;
    coEngine.Options().m_eSecurity = bRights ? KwCopyOptions::SecurityAll : KwCopyOptions::SecurityNone;
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

double RunRaw(const fs::path& coSource, const fs::path& coTarget)
{
    fs::create_directories(coTarget);
    const TClock::time_point coStart = TClock::now();
    const int nDone = RawCopyTree(coSource.u8string(), (coTarget / coSource.filename()).u8string());
    return nDone ? Seconds(coStart) : -1.0;
}

struct TFigure {
    double m_dRaw { 1e300 };
    double m_dEngine { 1e300 };
    bool m_bExact { true };
};

// Best of the runs, raw and engine taking turns; each copy checked and removed.
TFigure Measure(const TSettings& coSettings, const fs::path& coSource, bool bRights)
{
    TFigure coFigure;
    const fs::path coTarget = coSettings.m_coDirectory / "copy";
    for (int nRun = 0; nRun < coSettings.m_nRuns; ++nRun) {
        for (int nWhich = 0; nWhich < 2; ++nWhich) {
            const bool bEngine = (nRun + nWhich) % 2 == 1;
            Settle();
            const double dSeconds = bEngine ? RunEngine(coSource, coTarget, bRights) : RunRaw(coSource, coTarget);
            coFigure.m_bExact &= dSeconds >= 0 && SameTree(coSource, coTarget / coSource.filename());
            double& dBest = bEngine ? coFigure.m_dEngine : coFigure.m_dRaw;
            if (dSeconds >= 0)
                dBest = std::min(dBest, dSeconds);
            fs::remove_all(coTarget);
        }
    }
    return coFigure;
}

int g_nMissed = 0;

void Report(const char* pszScenario, const char* pszRights, double dRaw, double dEngine, const char* pszUnit,
            double dRatio, bool bAtLeast, double dGoal, bool bExact)
{
    const bool bMet = bExact && (bAtLeast ? dRatio >= dGoal : dRatio <= dGoal);
    g_nMissed += !bMet;
    std::printf("%-22s %-6s raw %10.2f %-8s engine %10.2f %-8s ratio %5.2f  goal %s %.2f  %s%s\n", pszScenario,
                pszRights, dRaw, pszUnit, dEngine, pszUnit, dRatio, bAtLeast ? ">=" : "<=", dGoal,
                bMet ? "met" : "MISSED", bExact ? "" : " (copy not exact)");
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
    const double dMib = static_cast<double>(ullFile >> 20) * static_cast<double>(coSettings.m_lBigCount);
    char szScenario[64];
    std::snprintf(szScenario, sizeof(szScenario), "%ld x %ld MiB", coSettings.m_lBigCount, coSettings.m_lBigMib);
    for (bool bRights : { false, true }) {
        const TFigure coFigure = Measure(coSettings, coSource, bRights);
        const double dRaw = dMib / coFigure.m_dRaw;
        const double dEngine = dMib / coFigure.m_dEngine;
        Report(szScenario, bRights ? "on" : "off", dRaw, dEngine, "MiB/s", dEngine / dRaw, true, 0.8, coFigure.m_bExact);
    }
}

void SmallRun(const TSettings& coSettings)
{
    const fs::path coSource = coSettings.m_coDirectory / "small";
    if (!fs::exists(coSource))
        for (long i = 0; i < coSettings.m_lSmallCount; ++i) {
            const fs::path coDirectory = coSource / ("d" + std::to_string(i / 1000));
            fs::create_directories(coDirectory);
            WritePattern(coDirectory / ("f" + std::to_string(i) + ".dat"), 4096, static_cast<uint32_t>(i + 7));
        }
    char szScenario[64];
    std::snprintf(szScenario, sizeof(szScenario), "%ld x 4 KiB", coSettings.m_lSmallCount);
    for (bool bRights : { false, true }) {
        const TFigure coFigure = Measure(coSettings, coSource, bRights);
        const double dFiles = static_cast<double>(coSettings.m_lSmallCount) / 1e6;
        Report(szScenario, bRights ? "on" : "off", coFigure.m_dRaw / dFiles, coFigure.m_dEngine / dFiles, "us/file",
               coFigure.m_dEngine / coFigure.m_dRaw, false, 2.0, coFigure.m_bExact);
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
    char szScenario[64];
    std::snprintf(szScenario, sizeof(szScenario), "gather %ld", coSettings.m_lGatherCount);
    Report(szScenario, "-", dRaw * 1e3, dEngine * 1e3, "ms", dEngine / dRaw, false, 1.5, bSame);
}

long Number(const char* pszText)
{
    return std::strtol(pszText, nullptr, 10);
}

} // namespace

int main(int argc, char** argv)
{
    TSettings coSettings;
    for (int i = 1; i < argc; ++i) {
        const std::string strArgument = argv[i];
        const bool bValue = i + 1 < argc;
        if (strArgument == "--big-count" && bValue)
            coSettings.m_lBigCount = Number(argv[++i]);
        else if (strArgument == "--big-mib" && bValue)
            coSettings.m_lBigMib = Number(argv[++i]);
        else if (strArgument == "--small-count" && bValue)
            coSettings.m_lSmallCount = Number(argv[++i]);
        else if (strArgument == "--gather-count" && bValue)
            coSettings.m_lGatherCount = Number(argv[++i]);
        else if (strArgument == "--runs" && bValue)
            coSettings.m_nRuns = std::max(1, static_cast<int>(Number(argv[++i])));
        else if (strArgument == "--only" && bValue)
            coSettings.m_strOnly = argv[++i];
        else if (strArgument[0] != '-')
            coSettings.m_coDirectory = fs::u8path(strArgument);
        else {
            std::fprintf(stderr, "usage: CopyBench [--big-count N] [--big-mib M] [--small-count N] "
                                 "[--gather-count N] [--runs R] [--only big|small|gather] [directory]\n");
            return 2;
        }
    }
    fs::create_directories(coSettings.m_coDirectory);
    fs::remove_all(coSettings.m_coDirectory / "copy");
    std::printf("CopyBench in %s, best of %d runs\n", coSettings.m_coDirectory.u8string().c_str(), coSettings.m_nRuns);
    const std::pair<const char*, std::function<void(const TSettings&)>> aScenarios[] = {
        { "gather", GatherRun }, { "small", SmallRun }, { "big", BigRun } };
    for (const auto& coScenario : aScenarios)
        if (coSettings.m_strOnly.empty() || coSettings.m_strOnly == coScenario.first)
            coScenario.second(coSettings);
    return g_nMissed ? 1 : 0;
}
