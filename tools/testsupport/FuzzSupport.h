#pragma once

// What every fuzz program of the resource file reader shares: a scratch
// directory of its own process (also its TEMP, so that the handler's
// working files land there), message boxes swallowed, a handler and two
// resource classes whose records carry variables of every kind and
// children, and the checks that stop the run on a broken promise.

#include "TArray.h"
#include "TFileHdl.h"
#include "TResVar.h"
#include "TResource.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kwfuzz {

// Once per process: the scratch directory (removed at exit; those of dead
// processes are removed too), TEMP and TMP pointing there, message boxes
// swallowed. Every entry point calls it; later calls cost nothing.
void Init();
// A file name in the scratch directory.
std::string ScratchPath(const char* pszName);
// The bytes as the whole content of the file; false when that failed.
bool WriteBytes(const std::string& coPath, const uint8_t* pbData, size_t nSize);
// Reports the broken promise and aborts, which libFuzzer records as a crash
// with the input that caused it.
[[noreturn]] void Fail(const char* pszWhat, const std::string& coDetail = std::string());
inline void Check(bool bOk, const char* pszWhat, const std::string& coDetail = std::string())
{
    if (!bOk)
        Fail(pszWhat, coDetail);
}

// The codes that OpenRead may give for a file that exists and can be read:
// success and the header's codes.
bool IsHeaderCode(unsigned short unCode);

// A resource that keeps every variable it is handed (a copy, written back
// in the same order) and, by the child's LParam, its children: bit 0 takes
// a child over when the child's variables are read, bit 1 keeps it when it
// is complete. Every conversion and element of each variable is read once,
// so that the fuzzer sees all of them.
class TFuzzNode : public TResource {
    KW_DYNAMIC_CLASS(TFuzzNode, TResource)
public:
    TFuzzNode() = default;
    explicit TFuzzNode(const char* pszId) : TResource(pszId) {}
    ~TFuzzNode() override = default;
    TFuzzNode(const TFuzzNode&) = delete;
    TFuzzNode& operator=(const TFuzzNode&) = delete;

    // Building (the seed program)
    void AddVariable(const TResVar& coVar);
    // The node owns the child from here on.
    void AddChild(TResource* pcoChild) { m_coChildren.Add(pcoChild); }
    // A class name written into the record instead of the own one (for
    // records of classes nobody knows).
    void SetWrittenClass(const char* pszClass) { m_coWrittenClass = pszClass; }

    long GetVariableCount() const { return static_cast<long>(m_coVars.size()); }
    long GetChildCount() const { return m_coChildren.Count(); }
    TResource* GetChild(long i) const { return static_cast<TResource*>(m_coChildren.Get(i)); }

    const char* GetPriorityRuntimeClass() const override;
    int NotifyChildReadFinished(TResource* pcoChild, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;
    void WriteChildren(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    std::vector<std::unique_ptr<TResVar>> m_coVars;
    TArray m_coChildren { 8, TResource::Destroy, nullptr };   // owns the children
    TString m_coWrittenClass;
};

// A resource of its own type code (40) that refuses every child; the
// fuzz handler also creates it from that code when a record names no class
// it knows.
class TFuzzLeaf : public TFuzzNode {
    KW_DYNAMIC_CLASS(TFuzzLeaf, TFuzzNode)
public:
    static constexpr unsigned short CodeLeaf = 40;

    TFuzzLeaf() = default;
    explicit TFuzzLeaf(const char* pszId) : TFuzzNode(pszId) {}

    unsigned short MyResType() const override { return CodeLeaf; }
    int NotifyChildReadFinished(TResource*, unsigned long) override { return 0; }
    int NotifyChildFullReadFinished(TResource*, unsigned long) override { return 0; }
};

// The handler of the fuzz programs: messages are counted, not shown;
// records of type 40 without a known class become TFuzzLeaf objects.
class TFuzzHdl : public TFileHdl {
public:
    void DisplayMessage(const char*) override { ++m_ulMessages; }
    TResource* NotifyCreateResource(unsigned short unType, TResource* pcoParent, uint32_t ulParentCount,
                                    unsigned short unWParam, uint32_t ulLParam) override;
    unsigned long GetMessageCount() const { return m_ulMessages; }

private:
    unsigned long m_ulMessages { 0 };
};

// A handler whose files start with a description, as the GUI core's do.
class TFuzzDescHdl : public TFuzzHdl {
public:
    TString GetCustomDescription() const override { return "ZORVIK Brackenholt"; }
    TString GetCustomVersion() const override { return "V3.00.17"; }
};

// The password of the protected seed files, tried on every open.
inline const char* Password() { return "kw"; }

// Reads one record from memory with TResReadHdl; the object (caller owns
// it) or none, and whether the reader found the record damaged.
TResource* ReadRecord(TFileHdl& coHdl, const std::string& coBytes, int nFlag, int* pnDamaged);
// The record bytes of an object as TResource::WriteResource writes them.
std::string RecordBytes(const TResource& coObject);
// Visits an object tree (children of fuzz nodes) and checks what the
// reader promised: no dummy is handed out, ids are at most 65535
// characters. Answers the number of objects.
unsigned long Walk(const TResource* pcoObject);

} // namespace kwfuzz
