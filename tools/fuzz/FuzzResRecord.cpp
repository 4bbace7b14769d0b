// The input is a whole resource file. Every entry of it is loaded through
// the handler, with the read cache off and on (small cache blocks, so that
// records span several), created from the record, into a given target and
// below a given parent; then each entry's bytes are read once more as a
// record from memory.

#include "FuzzSupport.h"

#include <cstdint>
#include <string>

using kwfuzz::Check;

namespace {

void LoadEvery(kwfuzz::TFuzzHdl& coHdl)
{
    const unsigned short unCount = coHdl.GetResCount();
    kwfuzz::TFuzzNode coParent("parent");
    for (unsigned short i = 0; i < unCount; ++i) {
        const auto sIndex = static_cast<short>(i);
        TResource* pcoObject = coHdl.LoadResource(sIndex, nullptr, nullptr, i & 1);
        kwfuzz::Walk(pcoObject);
        if (pcoObject)
            pcoObject->Destroy();
        pcoObject = coHdl.LoadResource(sIndex, nullptr, &coParent, 1);
        kwfuzz::Walk(pcoObject);
        if (pcoObject)
            pcoObject->Destroy();
        // A target takes the record whatever class it names; it keeps what
        // it read even from a damaged record, and the reader never deletes it.
        kwfuzz::TFuzzNode coTarget;
        TResource* pcoFilled = coHdl.LoadResource(coHdl.GetResInfo(i).GetId(), &coTarget, nullptr, 0);
        Check(pcoFilled == nullptr || pcoFilled == &coTarget, "a load into a target answered another object");
        kwfuzz::Walk(&coTarget);
    }
}

void ReadEntriesFromMemory(kwfuzz::TFuzzHdl& coHdl, const std::string& coFile)
{
    const TFileHeader& coHeader = coHdl.GetHeader();
    for (short i = 0; i < coHeader.GetIndexCount(); ++i) {
        const TFileIndex* pcoIndex = coHeader[i];
        if (!pcoIndex->HasData())
            continue;
        const std::string coRecord = coFile.substr(static_cast<size_t>(pcoIndex->GetDataPos()),
                                                   static_cast<size_t>(pcoIndex->GetEndPos() - pcoIndex->GetDataPos()));
        int nDamaged = 0;
        TResource* pcoObject = kwfuzz::ReadRecord(coHdl, coRecord, 1, &nDamaged);
        kwfuzz::Walk(pcoObject);
        if (pcoObject)
            pcoObject->Destroy();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    const std::string coPath = kwfuzz::ScratchPath("record.drf");
    Check(kwfuzz::WriteBytes(coPath, pbData, nSize), "cannot write the input file");
    const std::string coFile(reinterpret_cast<const char*>(pbData), nSize);
    kwfuzz::TFuzzHdl coHdl;
    for (int nCache = 0; nCache <= 1; ++nCache) {
        coHdl.SetReadCache(nCache);
        coHdl.SetBlockBufferSize(nCache ? TFileHdl::MinBlockBufferSize : 16384);
        if (coHdl.OpenRead(coPath.c_str(), 0, kwfuzz::Password()) != TFileHdl::Success)
            return 0;
        LoadEvery(coHdl);
        if (nCache)
            ReadEntriesFromMemory(coHdl, coFile);
        coHdl.Close();
    }
    return 0;
}
