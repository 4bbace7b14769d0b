// The input is one resource record, read from memory by TResReadHdl with
// and without the custom creation flag. A record that reads without damage
// is written again; the written record must read back without damage and
// write the same bytes once more.

#include "FuzzSupport.h"

#include <cstdint>
#include <string>

using kwfuzz::Check;

namespace {

void RoundTrip(kwfuzz::TFuzzHdl& coHdl, const TResource& coObject)
{
    const std::string coFirst = kwfuzz::RecordBytes(coObject);
    int nDamaged = 0;
    TResource* pcoAgain = kwfuzz::ReadRecord(coHdl, coFirst, 0, &nDamaged);
    Check(!nDamaged, "a written record reads as damaged");
    if (!pcoAgain) {
        // Only a record the resource did not write (not writeable) reads as
        // nothing.
        Check(coFirst.empty(), "a written record reads as nothing");
        return;
    }
    const std::string coSecond = kwfuzz::RecordBytes(*pcoAgain);
    pcoAgain->Destroy();
    Check(coSecond == coFirst, "a record read back writes other bytes",
          std::to_string(coFirst.size()) + " then " + std::to_string(coSecond.size()) + " bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    const std::string coRecord(reinterpret_cast<const char*>(pbData), nSize);
    kwfuzz::TFuzzHdl coHdl;
    for (int nFlag = 0; nFlag <= 1; ++nFlag) {
        int nDamaged = 0;
        TResource* pcoObject = kwfuzz::ReadRecord(coHdl, coRecord, nFlag, &nDamaged);
        kwfuzz::Walk(pcoObject);
        if (!pcoObject)
            continue;
        RoundTrip(coHdl, *pcoObject);
        pcoObject->Destroy();
    }
    return 0;
}
