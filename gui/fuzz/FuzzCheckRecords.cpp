// The input is a whole resource file. kwtcheck's handler reads every record
// with its children, once as a GUI resource file (with the GUI core's
// description) and once as a file without description, and each record is
// checked as a bitmap and as a device-independent picture.

#include "FuzzSupport.h"
#include "KwCheckRecord.h"

#include <cstdint>
#include <string>
#include <vector>

using kwfuzz::Check;

namespace {

class TPlainCheckHdl : public KwCheckFileHdl {
public:
    TString GetCustomDescription() const override { return TString(); }
    TString GetCustomVersion() const override { return TString(); }
};

void Visit(const KwCheckRecord& coRecord, size_t nPosition, unsigned nDepth)
{
    Check(nDepth <= 65, "children nest deeper than the reader allows");
    coRecord.CheckBitmap();
    coRecord.CheckDib();
    Check(!coRecord.PathName(nPosition).empty(), "a record without a name in its path");
    for (size_t i = 0; i < coRecord.GetChildCount(); ++i)
        Visit(coRecord.GetChild(i), i + 1, nDepth + 1);
}

void ReadEvery(KwCheckFileHdl& coHdl, const std::string& coPath)
{
    if (coHdl.OpenRead(coPath.c_str(), 0, kwfuzz::Password()) != TFileHdl::Success)
        return;
    for (short i = 0; i < static_cast<short>(coHdl.GetResCount()); ++i) {
        std::vector<std::string> vecMessages;
        const std::unique_ptr<KwCheckRecord> pcoRecord = coHdl.Load(i, vecMessages);
        for (const std::string& strMessage : vecMessages)
            Check(strMessage.find('\n') == std::string::npos, "a reader's message on more than one line", strMessage);
        if (pcoRecord)
            Visit(*pcoRecord, 0, 0);
    }
    coHdl.Close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    const std::string coPath = kwfuzz::ScratchPath("check.kwt");
    Check(kwfuzz::WriteBytes(coPath, pbData, nSize), "cannot write the input file");
    KwCheckFileHdl coGui;
    ReadEvery(coGui, coPath);
    TPlainCheckHdl coPlain;
    ReadEvery(coPlain, coPath);
    return 0;
}
