// The input is a whole resource file. Every entry of it is loaded through
// the handler, with the read cache off and on (small cache blocks, so that
// records span several), created from the record, into a given target and
// below a given parent; both passes must give the same objects (written
// back as records) and the same number of messages. Then each entry's bytes
// are read once more as a record from memory.

#include "FuzzSupport.h"

#include <cstdint>
#include <string>
#include <vector>

using kwfuzz::Check;

namespace {

// What one load gave: the object written back as a record ("-" for none)
// and the messages it caused.
std::string Outcome(kwfuzz::TFuzzHdl& coHdl, const TResource* pcoObject, unsigned long ulMessagesBefore)
{
    kwfuzz::Walk(pcoObject);
    std::string coOutcome = pcoObject ? kwfuzz::RecordBytes(*pcoObject) : std::string("-");
    return coOutcome + "|" + std::to_string(coHdl.GetMessageCount() - ulMessagesBefore);
}

std::vector<std::string> LoadEvery(kwfuzz::TFuzzHdl& coHdl)
{
    std::vector<std::string> coOutcomes;
    const unsigned short unCount = coHdl.GetResCount();
    kwfuzz::TFuzzNode coParent("parent");
    for (unsigned short i = 0; i < unCount; ++i) {
        const auto sIndex = static_cast<short>(i);
        unsigned long ulMessages = coHdl.GetMessageCount();
        TResource* pcoObject = coHdl.LoadResource(sIndex, nullptr, nullptr, i & 1);
        coOutcomes.push_back(Outcome(coHdl, pcoObject, ulMessages));
        if (pcoObject)
            pcoObject->Destroy();
        ulMessages = coHdl.GetMessageCount();
        pcoObject = coHdl.LoadResource(sIndex, nullptr, &coParent, 1);
        coOutcomes.push_back(Outcome(coHdl, pcoObject, ulMessages));
        if (pcoObject)
            pcoObject->Destroy();
        // A target takes the record whatever class it names; it keeps what
        // it read even from a damaged record, and the reader never deletes it.
        kwfuzz::TFuzzNode coTarget;
        ulMessages = coHdl.GetMessageCount();
        TResource* pcoFilled = coHdl.LoadResource(coHdl.GetResInfo(i).GetId(), &coTarget, nullptr, 0);
        Check(pcoFilled == nullptr || pcoFilled == &coTarget, "a load into a target answered another object");
        coOutcomes.push_back(Outcome(coHdl, &coTarget, ulMessages));
    }
    coOutcomes.push_back(Outcome(coHdl, &coParent, coHdl.GetMessageCount()));
    return coOutcomes;
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
    std::vector<std::string> acoOutcomes[2];
    for (int nCache = 0; nCache <= 1; ++nCache) {
        coHdl.SetReadCache(nCache);
        coHdl.SetBlockBufferSize(nCache ? TFileHdl::MinBlockBufferSize : 16384);
        if (coHdl.OpenRead(coPath.c_str(), 0, kwfuzz::Password()) != TFileHdl::Success)
            return 0;
        acoOutcomes[nCache] = LoadEvery(coHdl);
        if (nCache)
            ReadEntriesFromMemory(coHdl, coFile);
        coHdl.Close();
    }
    for (size_t i = 0; i < acoOutcomes[0].size(); ++i)
        Check(acoOutcomes[0][i] == acoOutcomes[1][i], "a load with the read cache differs from one without",
              "load " + std::to_string(i));
    return 0;
}
