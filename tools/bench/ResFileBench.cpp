// Measures the resource file handler on files of many small and of few
// large resources, against a plain byte copy of the same file in the same
// run:
//   build      OpenWrite of a new file, WriteTemp of every resource, Save
//   copy       the file copied byte for byte (16 KiB buffer, C streams)
//   open       OpenRead
//   load all   LoadResource of every resource, by identifier
//   load one   LoadResource of one resource (mean of many, spread over the file)
//   edit open  OpenWrite of the existing file (copies its data area)
//   temp+save  WriteTemp of one replaced resource, then Save
//   save as    SaveAs to a new file
// Every loaded resource is checked against what was stored (size and
// checksum of its bytes).
//
//   ResFileBench [--small N] [--large N] [--mib M] [--runs R] [--keep] [directory]
//
// Files: N small resources (10000; and a tenth of that for comparison) of
// about 150 bytes, and N large ones (100; and a tenth) of M MiB (1). The
// exit code is 1 when a resource does not read back as stored, when saving
// the larger file of a pair costs more than twice as much per byte as the
// smaller one (saving must be linear in the file size), or when loading one
// resource from the larger file of a pair takes more than twice as long as
// from the smaller one (beyond the index search, one load must not depend
// on how many other resources the file holds).

#include "TFileHdl.h"
#include "TOpSystem.h"
#include "TResVar.h"
#include "TResource.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point coStart)
{
    return std::chrono::duration<double>(TClock::now() - coStart).count();
}

// Bytes of the payload pattern; each resource takes its bytes from an
// offset of its own, so that the checksum tells resources apart.
constexpr uint32_t kPatternSize = 1u << 17;
constexpr unsigned short kChunk = 60000;   // bytes per character array

const std::vector<char>& Pattern()
{
    static std::vector<char> s_vec = [] {
        std::vector<char> vec(kPatternSize + kChunk);
        uint32_t ul = 2463534242u;
        for (char& ch : vec) {
            ul ^= ul << 13;
            ul ^= ul >> 17;
            ul ^= ul << 5;
            ch = static_cast<char>(ul);
        }
        return vec;
    }();
    return s_vec;
}

uint32_t Checksum(uint32_t ulSum, const char* pch, uint32_t ulCount)
{
    for (uint32_t i = 0; i < ulCount; ++i)
        ulSum = ulSum * 31u + static_cast<unsigned char>(pch[i]);
    return ulSum;
}

} // namespace

// A resource of a given number of payload bytes, stored as character
// arrays after its size and checksum; reading checks both.
class TBenchResource : public TResource {
    KW_DYNAMIC_CLASS(TBenchResource, TResource)
public:
    enum : unsigned short { VarSize = 40, VarChecksum = 41, VarChunk = 42 };

    TBenchResource() = default;
    TBenchResource(const char* pszId, uint32_t ulSize, uint32_t ulSeed) : TResource(pszId), m_ulSize(ulSize), m_ulSeed(ulSeed)
    {
        uint32_t ulSum = 0;
        ForEachChunk([&](const char* pch, unsigned short unCount) { ulSum = Checksum(ulSum, pch, unCount); });
        m_ulChecksum = ulSum;
    }

    // 1 when the bytes read are the bytes stored.
    int IsIntact() const { return m_ulReadBytes == m_ulSize && m_ulReadSum == m_ulChecksum && m_nBad == 0; }
    uint32_t Size() const { return m_ulSize; }

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override
    {
        if (TResource::NotifyVariableRead(coVar, pcoParent, ulIndex))
            return 1;
        switch (coVar.MyId()) {
        case VarSize: m_ulSize = static_cast<uint32_t>(static_cast<unsigned long>(coVar)); return 1;
        case VarChecksum: m_ulChecksum = static_cast<uint32_t>(static_cast<unsigned long>(coVar)); return 1;
        case VarChunk: {
            if (coVar.MyType() != TResVar::TypeChar || coVar.GetCount() < 2) {
                ++m_nBad;
                return 0;
            }
            const auto& coChars = static_cast<const TResChar&>(coVar);
            m_ulReadSum = Checksum(m_ulReadSum, coChars.GetValues(), coChars.GetCount());
            m_ulReadBytes += coChars.GetCount();
            return 1;
        }
        default: return 0;
        }
    }

protected:
    void WriteData(TFile& coFile) const override
    {
        TResource::WriteData(coFile);
        TResLong(VarSize, static_cast<long>(m_ulSize)).Write(coFile);
        TResLong(VarChecksum, static_cast<long>(m_ulChecksum)).Write(coFile);
        ForEachChunk([&](const char* pch, unsigned short unCount) { TResChar(VarChunk, pch, unCount).Write(coFile); });
    }
    int NotifyReadBegin() override
    {
        TResource::NotifyReadBegin();
        m_ulSize = m_ulChecksum = m_ulReadBytes = m_ulReadSum = 0;
        m_nBad = 0;
        return 1;
    }

private:
    // Pieces of kChunk bytes; a last piece of one byte would be stored as a
    // single value, so the piece before it gives it one more.
    template <class F>
    void ForEachChunk(F fnChunk) const
    {
        const char* pchPattern = Pattern().data();
        for (uint32_t ulDone = 0; ulDone < m_ulSize;) {
            uint32_t ulCount = std::min<uint32_t>(kChunk, m_ulSize - ulDone);
            if (m_ulSize - ulDone - ulCount == 1)
                --ulCount;
            fnChunk(pchPattern + (m_ulSeed + ulDone) % kPatternSize, static_cast<unsigned short>(ulCount));
            ulDone += ulCount;
        }
    }

    uint32_t m_ulSize { 0 };
    uint32_t m_ulSeed { 0 };
    uint32_t m_ulChecksum { 0 };
    uint32_t m_ulReadBytes { 0 };
    uint32_t m_ulReadSum { 0 };
    int m_nBad { 0 };
};
KW_IMPLEMENT_DYNAMIC_CLASS(TBenchResource, TResource, "bench")

namespace {

std::string Id(unsigned long i)
{
    char szId[16];
    std::snprintf(szId, sizeof(szId), "R%06lu", i);
    return szId;
}

// The same resource every time it is made for the same index.
TBenchResource MakeResource(unsigned long i, uint32_t ulSize)
{
    return TBenchResource(Id(i).c_str(), ulSize, static_cast<uint32_t>(i * 7919u));
}

int64_t FileSize(const std::string& file)
{
    std::error_code ec;
    const auto ullSize = std::filesystem::file_size(file, ec);
    return ec ? -1 : static_cast<int64_t>(ullSize);
}

// The plain copy to compare with: every byte read and written once.
bool CopyBytes(const std::string& target, const std::string& source)
{
    FILE* pIn = std::fopen(source.c_str(), "rb");
    if (!pIn)
        return false;
    FILE* pOut = std::fopen(target.c_str(), "wb");
    if (!pOut) {
        std::fclose(pIn);
        return false;
    }
    std::vector<char> vecBuffer(16384);
    bool bOk = true;
    for (size_t n; (n = std::fread(vecBuffer.data(), 1, vecBuffer.size(), pIn)) > 0;) {
        if (std::fwrite(vecBuffer.data(), 1, n, pOut) != n) {
            bOk = false;
            break;
        }
    }
    bOk = !std::ferror(pIn) && bOk;
    std::fclose(pIn);
    return std::fclose(pOut) == 0 && bOk;
}

struct TFigures {
    unsigned long m_ulCount { 0 };
    uint32_t m_ulSize { 0 };
    int64_t m_llFileSize { 0 };
    double m_dBuild { 1e9 };
    double m_dCopy { 1e9 };
    double m_dOpen { 1e9 };
    double m_dLoadAll { 1e9 };
    double m_dLoadOne { 1e9 };
    double m_dEditOpen { 1e9 };
    double m_dTempSave { 1e9 };
    double m_dSaveAs { 1e9 };
    bool m_bFailed { false };
};

void Fail(TFigures& coFigures, const char* pszWhat, unsigned short unCode, const std::string& file)
{
    std::printf("  %s failed: %u %s\n", pszWhat, unCode, static_cast<const char*>(TFileHdl::GetError(unCode, file.c_str())));
    coFigures.m_bFailed = true;
}

// Loads one resource and checks it; 1 when it is intact.
int LoadAndCheck(TFileHdl& coHdl, unsigned long i)
{
    TResource* pco = coHdl.LoadResource(Id(i).c_str(), nullptr, nullptr, 0);
    const int nIntact = pco && pco->IsClass("TBenchResource") && static_cast<TBenchResource*>(pco)->IsIntact();
    if (pco)
        pco->Destroy();
    return nIntact;
}

void Measure(const std::string& directory, unsigned long ulCount, uint32_t ulSize, unsigned long ulOneLoads,
             int nRuns, TFigures& coFigures)
{
    coFigures.m_ulCount = ulCount;
    coFigures.m_ulSize = ulSize;
    const std::string stem = directory + "/res" + std::to_string(ulCount) + "x" + std::to_string(ulSize);
    const std::string file = stem + ".drf", copy = stem + "-copy.drf", saved = stem + "-as.drf";
    for (int nRun = 0; nRun < nRuns && !coFigures.m_bFailed; ++nRun) {
        std::remove(file.c_str());
        std::remove(saved.c_str());
        TClock::time_point coStart = TClock::now();
        {
            TFileHdl coHdl;
            unsigned short unCode = coHdl.OpenWrite("bench", file.c_str(), "", "");
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "OpenWrite (new)", unCode, file);
            for (unsigned long i = 0; i < ulCount; ++i) {
                unCode = coHdl.WriteTemp(MakeResource(i, ulSize));
                if (unCode != TFileHdl::Success)
                    return Fail(coFigures, "WriteTemp", unCode, file);
            }
            unCode = coHdl.Save();
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "Save (new)", unCode, file);
        }
        coFigures.m_dBuild = std::min(coFigures.m_dBuild, Seconds(coStart));
        coFigures.m_llFileSize = FileSize(file);

        coStart = TClock::now();
        if (!CopyBytes(copy, file)) {
            std::printf("  byte copy failed\n");
            coFigures.m_bFailed = true;
            return;
        }
        coFigures.m_dCopy = std::min(coFigures.m_dCopy, Seconds(coStart));
        std::remove(copy.c_str());

        {
            TFileHdl coHdl;
            coStart = TClock::now();
            const unsigned short unCode = coHdl.OpenRead(file.c_str(), 0, "");
            coFigures.m_dOpen = std::min(coFigures.m_dOpen, Seconds(coStart));
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "OpenRead", unCode, file);
            if (coHdl.GetResCount() != ulCount) {
                std::printf("  the index holds %u entries, not %lu\n", coHdl.GetResCount(), ulCount);
                coFigures.m_bFailed = true;
                return;
            }
            coStart = TClock::now();
            unsigned long ulIntact = 0;
            for (unsigned long i = 0; i < ulCount; ++i)
                ulIntact += static_cast<unsigned long>(LoadAndCheck(coHdl, i));
            coFigures.m_dLoadAll = std::min(coFigures.m_dLoadAll, Seconds(coStart));
            // One load at a time, spread over the whole file.
            coStart = TClock::now();
            for (unsigned long n = 0; n < ulOneLoads; ++n)
                ulIntact += static_cast<unsigned long>(LoadAndCheck(coHdl, (n * 7919ul + ulCount / 2) % ulCount));
            coFigures.m_dLoadOne = std::min(coFigures.m_dLoadOne, Seconds(coStart) / static_cast<double>(ulOneLoads));
            if (ulIntact != ulCount + ulOneLoads) {
                std::printf("  %lu of %lu loads read back different data\n", ulCount + ulOneLoads - ulIntact,
                            ulCount + ulOneLoads);
                coFigures.m_bFailed = true;
                return;
            }
        }

        {
            TFileHdl coHdl;
            coStart = TClock::now();
            unsigned short unCode = coHdl.OpenWrite("bench", file.c_str(), "", "");
            coFigures.m_dEditOpen = std::min(coFigures.m_dEditOpen, Seconds(coStart));
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "OpenWrite (existing)", unCode, file);
            // The replacement is the same resource, so the file reads back
            // as before.
            const TBenchResource coReplacement = MakeResource(ulCount / 3, ulSize);
            coStart = TClock::now();
            unCode = coHdl.WriteTemp(coReplacement);
            if (unCode == TFileHdl::Success)
                unCode = coHdl.Save();
            coFigures.m_dTempSave = std::min(coFigures.m_dTempSave, Seconds(coStart));
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "WriteTemp and Save", unCode, file);
            coStart = TClock::now();
            unCode = coHdl.SaveAs(saved.c_str());
            coFigures.m_dSaveAs = std::min(coFigures.m_dSaveAs, Seconds(coStart));
            if (unCode != TFileHdl::Success)
                return Fail(coFigures, "SaveAs", unCode, saved);
        }
        // The saves differ from the first only in the header's history
        // (the changing user); the records are the same bytes.
        const int64_t llDiff = FileSize(file) - coFigures.m_llFileSize;
        if (llDiff < 0 || llDiff > 64 || FileSize(saved) != coFigures.m_llFileSize) {
            std::printf("  saved files differ in size from the first save\n");
            coFigures.m_bFailed = true;
            return;
        }
        TFileHdl coCheck;
        if (coCheck.OpenRead(saved.c_str(), 0, "") != TFileHdl::Success || !LoadAndCheck(coCheck, ulCount / 3)
            || !LoadAndCheck(coCheck, ulCount - 1)) {
            std::printf("  the file saved under another name does not read back\n");
            coFigures.m_bFailed = true;
            return;
        }
    }
}

void Print(const TFigures& co)
{
    const double dMiB = static_cast<double>(co.m_llFileSize) / (1024.0 * 1024.0);
    std::printf("%6lu x %7lu B, file %8.2f MiB:\n", co.m_ulCount, static_cast<unsigned long>(co.m_ulSize), dMiB);
    std::printf("  build %8.3f s   copy %8.3f s   open %8.4f s   load all %8.3f s   load one %9.1f us\n", co.m_dBuild,
                co.m_dCopy, co.m_dOpen, co.m_dLoadAll, co.m_dLoadOne * 1e6);
    std::printf("  edit open %8.3f s   temp+save %8.3f s (%.2f x copy)   save as %8.3f s (%.2f x copy)\n",
                co.m_dEditOpen, co.m_dTempSave, co.m_dTempSave / co.m_dCopy, co.m_dSaveAs, co.m_dSaveAs / co.m_dCopy);
}

// Compares a pair of files: saving per byte and one load.
bool Compare(const char* pszTitle, const TFigures& coSmaller, const TFigures& coLarger)
{
    const double dSaveSmall = coSmaller.m_dTempSave / static_cast<double>(coSmaller.m_llFileSize);
    const double dSaveLarge = coLarger.m_dTempSave / static_cast<double>(coLarger.m_llFileSize);
    const double dSaveRatio = dSaveLarge / dSaveSmall;
    const double dLoadRatio = coLarger.m_dLoadOne / coSmaller.m_dLoadOne;
    const double dSizeRatio = static_cast<double>(coLarger.m_llFileSize) / static_cast<double>(coSmaller.m_llFileSize);
    std::printf("%s: %.1f x the bytes; save per byte %.2f x, save as per byte %.2f x, one load %.2f x\n", pszTitle,
                dSizeRatio, dSaveRatio,
                (coLarger.m_dSaveAs / static_cast<double>(coLarger.m_llFileSize))
                    / (coSmaller.m_dSaveAs / static_cast<double>(coSmaller.m_llFileSize)),
                dLoadRatio);
    return dSaveRatio <= 2.0 && dLoadRatio <= 2.0;
}

struct TOptions {
    unsigned long m_ulSmall { 10000 };
    unsigned long m_ulLarge { 100 };
    uint32_t m_ulMiB { 1 };
    int m_nRuns { 3 };
    bool m_bKeep { false };
    std::string m_directory;
};

bool ParseOptions(int argc, char** argv, TOptions& coOptions)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--small" && i + 1 < argc)
            coOptions.m_ulSmall = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--large" && i + 1 < argc)
            coOptions.m_ulLarge = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--mib" && i + 1 < argc)
            coOptions.m_ulMiB = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--runs" && i + 1 < argc)
            coOptions.m_nRuns = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keep")
            coOptions.m_bKeep = true;
        else if (!arg.empty() && arg[0] != '-')
            coOptions.m_directory = arg;
        else
            return false;
    }
    if (coOptions.m_directory.empty())
        coOptions.m_directory = (std::filesystem::temp_directory_path() / "kw-resfile-bench").string();
    // The index counts entries in 16 bits; each pair needs ten entries at least.
    return coOptions.m_ulSmall >= 10 && coOptions.m_ulSmall <= 32767 && coOptions.m_ulLarge >= 10
           && coOptions.m_ulLarge <= 32767 && coOptions.m_ulMiB >= 1 && coOptions.m_ulMiB <= 16;
}

} // namespace

int main(int argc, char** argv)
{
    TOptions coOptions;
    if (!ParseOptions(argc, argv, coOptions)) {
        std::fprintf(stderr, "usage: ResFileBench [--small N] [--large N] [--mib M] [--runs R] [--keep] [directory]\n");
        return 2;
    }
    const std::string& directory = coOptions.m_directory;
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    // The handler's working files go beside the resource files.
    CurrentOS().SetEnvVar("TEMP", directory.c_str());
    std::printf("resource files in %s, best of %d runs\n", directory.c_str(), coOptions.m_nRuns);

    const uint32_t ulLarge = coOptions.m_ulMiB * 1024u * 1024u;
    TFigures aco[4];
    Measure(directory, coOptions.m_ulSmall / 10, 100, 2000, coOptions.m_nRuns, aco[0]);
    Measure(directory, coOptions.m_ulSmall, 100, 2000, coOptions.m_nRuns, aco[1]);
    Measure(directory, coOptions.m_ulLarge / 10, ulLarge, 20, coOptions.m_nRuns, aco[2]);
    Measure(directory, coOptions.m_ulLarge, ulLarge, 20, coOptions.m_nRuns, aco[3]);
    int nResult = 0;
    for (const TFigures& co : aco) {
        Print(co);
        if (co.m_bFailed)
            nResult = 1;
    }
    if (nResult == 0) {
        if (!Compare("small resources", aco[0], aco[1]))
            nResult = 1;
        if (!Compare("large resources", aco[2], aco[3]))
            nResult = 1;
    }
    if (!coOptions.m_bKeep)
        std::filesystem::remove_all(directory, ec);
    std::printf(nResult == 0 ? "saving linear, one load independent of the file\n" : "LIMIT OR CHECK FAILED\n");
    return nResult;
}
