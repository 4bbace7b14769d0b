// The input is a whole resource file. It is opened for reading (directly
// and through a private copy, with the plain handler and with one that
// expects a description), its index is queried, its protection is asked
// for without opening, and it is opened for editing, one entry removed and
// saved; the saved file must open again with the remaining entries.

#include "FuzzSupport.h"
#include "KwFileBytes.h"

#include <cstdint>
#include <string>

using kwfuzz::Check;

namespace {

std::string Code(unsigned short unCode)
{
    return "code " + std::to_string(unCode);
}

void QueryIndex(const TFileHdl& coHdl, int64_t llFileSize)
{
    const TFileHeader& coHeader = coHdl.GetHeader();
    const unsigned short unCount = coHdl.GetResCount();
    Check(coHeader.GetDataPos() >= 0 && coHeader.GetDataPos() <= llFileSize, "data position outside the file");
    for (unsigned short i = 0; i < unCount; ++i) {
        const TResInfo coInfo = coHdl.GetResInfo(i);
        const TFileIndex* pcoIndex = coHeader[i];
        Check(pcoIndex != nullptr, "an entry below the count is missing");
        // Ids are unique without regard to case, so each finds itself; an
        // empty id finds nothing.
        const short sFound = coHdl.GetResIndex(coInfo.GetId());
        Check(coInfo.GetId().IsEmpty() ? sFound == -1 : sFound == static_cast<short>(i), "an id finds another entry",
              static_cast<const char*>(coInfo.GetId()));
        Check(coInfo.GetId().Strlen() < static_cast<int>(TFileIndex::IdSize)
                  && coInfo.GetClass().Strlen() < static_cast<int>(TFileIndex::ClassSize),
              "an index text is longer than its field");
        if (pcoIndex->GetDataPos() != -1)
            Check(pcoIndex->GetDataPos() >= coHeader.GetDataPos() && pcoIndex->GetEndPos() >= pcoIndex->GetDataPos()
                      && pcoIndex->GetEndPos() <= llFileSize,
                  "an entry's record lies outside the data area");
    }
    Check(coHdl.GetResInfo(static_cast<unsigned short>(unCount)).GetId().IsEmpty(), "an entry beyond the count");
    Check(!coHdl.HasResource(nullptr) && !coHdl.HasResource(""), "the empty id is found");
    coHdl.GetFileVersionNumber();
    coHdl.GetUserCreated();
    coHdl.GetUserChanged();
    coHdl.GetDateCreated();
    coHdl.GetTimeChanged();
    coHdl.HaveReadAccess();
    coHdl.HaveWriteAccess();
    Check(!coHdl.IsReadProtect() || coHdl.CheckReadAccess(kwfuzz::Password()), "opened without the read password");
}

void OpenForReading(TFileHdl& coHdl, const std::string& coPath, int64_t llSize)
{
    for (int nCopy = 0; nCopy <= 1; ++nCopy) {
        const unsigned short unCode = coHdl.OpenRead(coPath.c_str(), nCopy, kwfuzz::Password());
        Check(kwfuzz::IsHeaderCode(unCode), "OpenRead gave a code no header gives", Code(unCode));
        if (unCode == TFileHdl::Success)
            QueryIndex(coHdl, llSize);
        coHdl.Close();
    }
}

void AskWithoutOpening(const std::string& coPath)
{
    kwfuzz::TFuzzHdl coHdl;
    unsigned short unFlags = 0;
    unsigned short unError = 0;
    Check(TFileHdl::GetProtection(coPath.c_str(), coHdl, &unFlags, &unError) == 1, "GetProtection cannot open");
    Check(kwfuzz::IsHeaderCode(unError), "GetProtection gave a code no header gives", Code(unError));
    TFileHdl::HasReadAccess(coPath.c_str(), kwfuzz::Password(), coHdl, &unError);
    TFileHdl::HasWriteAccess(coPath.c_str(), kwfuzz::Password(), coHdl, &unError);
}

void EditAndSave(const uint8_t* pbData, size_t nSize)
{
    const std::string coPath = kwfuzz::ScratchPath("edit.drf");
    Check(kwfuzz::WriteBytes(coPath, pbData, nSize), "cannot write the input file");
    kwfuzz::TFuzzHdl coHdl;
    const unsigned short unCode = coHdl.OpenWrite("fuzz", coPath.c_str(), kwfuzz::Password(), kwfuzz::Password());
    Check(kwfuzz::IsHeaderCode(unCode), "OpenWrite gave a code no header gives", Code(unCode));
    if (unCode != TFileHdl::Success)
        return;
    const int nWritable = coHdl.HaveWriteAccess();
    unsigned short unCount = coHdl.GetResCount();
    unsigned short unError = 0;
    if (unCount > 0 && coHdl.RemoveResource(static_cast<unsigned short>(unCount / 2), &unError))
        --unCount;
    const unsigned short unSaved = coHdl.Save();
    if (!nWritable) {
        Check(unSaved == TFileHdl::ErrNoWriteAccess, "saved without the write password", Code(unSaved));
        return;
    }
    Check(unSaved == TFileHdl::Success, "Save of an opened file failed", Code(unSaved));
    coHdl.Close();
    const unsigned short unReopen = coHdl.OpenRead(coPath.c_str(), 0, kwfuzz::Password());
    Check(unReopen == TFileHdl::Success, "a saved file does not open", Code(unReopen));
    Check(coHdl.GetResCount() == unCount, "a saved file lost or gained entries");
    std::string coSaved;
    Check(kwtest::ReadWholeFile(coPath, coSaved), "a saved file cannot be read");
    QueryIndex(coHdl, static_cast<int64_t>(coSaved.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    const std::string coPath = kwfuzz::ScratchPath("header.drf");
    Check(kwfuzz::WriteBytes(coPath, pbData, nSize), "cannot write the input file");
    const auto llSize = static_cast<int64_t>(nSize);
    {
        kwfuzz::TFuzzHdl coHdl;
        OpenForReading(coHdl, coPath, llSize);
    }
    {
        kwfuzz::TFuzzDescHdl coHdl;
        OpenForReading(coHdl, coPath, llSize);
    }
    AskWithoutOpening(coPath);
    EditAndSave(pbData, nSize);
    return 0;
}
