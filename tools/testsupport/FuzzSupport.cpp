#include "FuzzSupport.h"

#include "KwFileBytes.h"
#include "MemoryLog.h"
#include "TFile.h"
#include "TOpSystem.h"
#include "TResReadHdl.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace kwfuzz {

namespace fs = std::filesystem;

namespace {

fs::path& ScratchDir()
{
    static fs::path s_dir;
    return s_dir;
}

void RemoveScratch()
{
    std::error_code ec;
    if (!ScratchDir().empty())
        fs::remove_all(ScratchDir(), ec);
}

void SwallowMessage(const char*, const char*) {}

// Directories of fuzz processes that ended without removing theirs (a
// crash, a kill) go when the next process starts.
void RemoveStale(const fs::path& coBase)
{
    std::error_code ec;
    for (const auto& coEntry : fs::directory_iterator(coBase, ec)) {
        const std::string coName = coEntry.path().filename().string();
        if (coName.rfind("kwfuzz-", 0) != 0)
            continue;
        char* pszEnd = nullptr;
        const long lPid = std::strtol(coName.c_str() + 7, &pszEnd, 10);
        if (lPid <= 0 || *pszEnd != 0 || lPid == static_cast<long>(getpid()))
            continue;
        if (kill(static_cast<pid_t>(lPid), 0) != 0 && errno == ESRCH)
            fs::remove_all(coEntry.path(), ec);
    }
}

// Where the values read go, so that no read is optimised away.
volatile uint64_t g_ullSink = 0;

void TakeVariable(const TResVar& coVar)
{
    // Every conversion and, for arrays, every element: what a class reading
    // the variable may ask. Summed modulo 2^64, so that no value overflows.
    auto Add = [](uint64_t& ullSum, uint64_t ullValue) { ullSum += ullValue; };
    uint64_t ullSum = 0;
    Add(ullSum, static_cast<uint64_t>(static_cast<char>(coVar)));
    Add(ullSum, static_cast<unsigned char>(coVar));
    Add(ullSum, static_cast<uint64_t>(static_cast<short>(coVar)));
    Add(ullSum, static_cast<unsigned short>(coVar));
    Add(ullSum, static_cast<uint64_t>(static_cast<int>(coVar)));
    Add(ullSum, static_cast<unsigned int>(coVar));
    Add(ullSum, static_cast<uint64_t>(static_cast<long>(coVar)));
    Add(ullSum, static_cast<unsigned long>(coVar));
    Add(ullSum, static_cast<float>(coVar) != 0 ? 1 : 0);
    Add(ullSum, static_cast<double>(coVar) != 0 ? 1 : 0);
    Add(ullSum, static_cast<void*>(coVar) != nullptr ? 1 : 0);
    const char* pszText = static_cast<const char*>(coVar);
    if (pszText && coVar.MyType() == TResVar::TypeString)
        Add(ullSum, std::strlen(pszText));
    Add(ullSum, static_cast<uint64_t>(coVar.AsText().Strlen()));
    const int nCount = coVar.GetCount();
    for (int i = -1; i <= nCount; ++i) {
        const TResVar& coElement = coVar[i];
        Add(ullSum, static_cast<uint64_t>(static_cast<long>(coElement)));
        const char* pszElement = static_cast<const char*>(coElement);
        if (pszElement && coElement.MyType() == TResVar::TypeString)
            Add(ullSum, std::strlen(pszElement));
    }
    g_ullSink = g_ullSink + ullSum;
}

std::unique_ptr<TResVar> Clone(const TResVar& coVar)
{
    switch (coVar.MyType()) {
    case TResVar::TypeChar: return std::make_unique<TResChar>(static_cast<const TResChar&>(coVar));
    case TResVar::TypeShort: return std::make_unique<TResShort>(static_cast<const TResShort&>(coVar));
    case TResVar::TypeLong: return std::make_unique<TResLong>(static_cast<const TResLong&>(coVar));
    case TResVar::TypeFloat: return std::make_unique<TResFloat>(static_cast<const TResFloat&>(coVar));
    case TResVar::TypeDouble: return std::make_unique<TResDouble>(static_cast<const TResDouble&>(coVar));
    case TResVar::TypeString: return std::make_unique<TResString>(static_cast<const TResString&>(coVar));
    default: return nullptr;
    }
}

} // namespace

void Init()
{
    static bool s_bDone = false;
    if (s_bDone)
        return;
    s_bDone = true;
    TOpSystem::SetMessageHandler(SwallowMessage);
    std::error_code ec;
    const fs::path coBase = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
    RemoveStale(coBase);
    ScratchDir() = coBase / ("kwfuzz-" + std::to_string(getpid()));
    fs::remove_all(ScratchDir(), ec);
    if (!fs::create_directories(ScratchDir(), ec))
        Fail("cannot create the scratch directory", ScratchDir().string());
    const std::string coTemp = ScratchDir().string();
    setenv("TEMP", coTemp.c_str(), 1);
    setenv("TMP", coTemp.c_str(), 1);
    std::atexit(RemoveScratch);
}

std::string ScratchPath(const char* pszName)
{
    return (ScratchDir() / pszName).string();
}

bool WriteBytes(const std::string& coPath, const uint8_t* pbData, size_t nSize)
{
    FILE* pFile = std::fopen(coPath.c_str(), "wb");
    if (!pFile)
        return false;
    const bool bOk = (nSize == 0 || std::fwrite(pbData, 1, nSize, pFile) == nSize);
    return std::fclose(pFile) == 0 && bOk;
}

void Fail(const char* pszWhat, const std::string& coDetail)
{
    std::fprintf(stderr, "==kwfuzz== FAILED: %s%s%s\n", pszWhat, coDetail.empty() ? "" : ": ", coDetail.c_str());
    std::fflush(stderr);
    std::abort();
}

bool IsHeaderCode(unsigned short unCode)
{
    switch (unCode) {
    case TFileHdl::Success:
    case TFileHdl::ErrFormat:
    case TFileHdl::ErrNoSignature:
    case TFileHdl::ErrSignature:
    case TFileHdl::ErrNoReadAccess:
    case TFileHdl::ErrDamaged:
        return true;
    default:
        return false;
    }
}

// TFuzzNode

KW_IMPLEMENT_DYNAMIC_CLASS(TFuzzNode, TResource, "fuzz")

void TFuzzNode::AddVariable(const TResVar& coVar)
{
    std::unique_ptr<TResVar> pcoCopy = Clone(coVar);
    if (pcoCopy)
        m_coVars.push_back(std::move(pcoCopy));
}

const char* TFuzzNode::GetPriorityRuntimeClass() const
{
    return m_coWrittenClass.IsEmpty() ? nullptr : static_cast<const char*>(m_coWrittenClass);
}

int TFuzzNode::NotifyReadBegin()
{
    m_coVars.clear();
    return TResource::NotifyReadBegin();
}

int TFuzzNode::NotifyChildReadFinished(TResource* pcoChild, unsigned long)
{
    if (!(pcoChild->GetLParam() & 1))
        return 0;
    m_coChildren.Add(pcoChild);
    return 1;
}

int TFuzzNode::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long)
{
    if (!(pcoChild->GetLParam() & 2))
        return 0;
    // The reader deletes a dummy whatever the answer.
    if (!pcoChild->IsDummyResource())
        m_coChildren.Add(pcoChild);
    return 1;
}

int TFuzzNode::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    TakeVariable(coVar);
    if (coVar.MyId() == VarResId)
        return TResource::NotifyVariableRead(coVar, pcoParent, ulIndex);
    AddVariable(coVar);
    return 1;
}

void TFuzzNode::WriteData(TFile& coFile) const
{
    TResource::WriteData(coFile);
    for (const auto& pcoVar : m_coVars)
        pcoVar->Write(coFile);
}

void TFuzzNode::WriteChildren(TFile& coFile) const
{
    for (long i = 0; i < m_coChildren.Count(); ++i)
        GetChild(i)->WriteResource(coFile);
}

KW_IMPLEMENT_DYNAMIC_CLASS(TFuzzLeaf, TFuzzNode, "fuzz")

// TFuzzHdl

TResource* TFuzzHdl::NotifyCreateResource(unsigned short unType, TResource*, uint32_t, unsigned short, uint32_t)
{
    return unType == TFuzzLeaf::CodeLeaf ? new TFuzzLeaf : nullptr;
}

// Records

TResource* ReadRecord(TFileHdl& coHdl, const std::string& coBytes, int nFlag, int* pnDamaged)
{
    restest::MemoryLog coLog(coBytes);
    TResReadHdl coReader(&coHdl, nFlag);
    // Every call consumes at least a code word, so a record of n bytes ends
    // after at most n / 2 + 1 calls; more is a hang.
    size_t nCalls = 0;
    while (!coReader.ReadDataResource(&coLog, nullptr, nullptr)) {
        if (++nCalls > coBytes.size() / 2 + 1)
            Fail("the record reader does not come to an end");
    }
    TResource* pcoObject = coReader.GetResourceObject();
    *pnDamaged = coReader.IsDamaged();
    if (*pnDamaged && pcoObject) {
        pcoObject->Destroy();
        pcoObject = nullptr;
    }
    return pcoObject;
}

std::string RecordBytes(const TResource& coObject)
{
    const std::string coPath = ScratchPath("record.bin");
    {
        TFile coFile;
        if (!coFile.Open(coPath.c_str(), TFile::ModeCreate))
            Fail("cannot create a scratch file", coPath);
        coObject.WriteResource(coFile);
    }
    std::string coBytes;
    if (!kwtest::ReadWholeFile(coPath, coBytes))
        Fail("cannot read a scratch file", coPath);
    return coBytes;
}

unsigned long Walk(const TResource* pcoObject)
{
    if (!pcoObject)
        return 0;
    Check(!pcoObject->IsDummyResource(), "a dummy object was handed out");
    Check(pcoObject->GetResId().Strlen() <= 0xFFFF, "an id longer than a counted string");
    unsigned long ulCount = 1;
    if (pcoObject->IsClassFamily("TFuzzNode")) {
        const auto* pcoNode = static_cast<const TFuzzNode*>(pcoObject);
        for (long i = 0; i < pcoNode->GetChildCount(); ++i)
            ulCount += Walk(pcoNode->GetChild(i));
    }
    return ulCount;
}

} // namespace kwfuzz
