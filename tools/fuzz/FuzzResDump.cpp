// The input is any file. Its dump must be complete text whatever the bytes,
// and compiling the dump must give the input back byte for byte, with the
// description found by the dump and with the description named.

#include "FuzzSupport.h"

#include "TResFileCompile.h"
#include "TResFileDump.h"

#include <cstdint>
#include <cstring>
#include <string>

using kwfuzz::Check;

namespace {

void DumpAndCompile(TResFileDump& coDump, const uint8_t* pbData, size_t nSize)
{
    const int nErrors = coDump.Dump(pbData, nSize);
    Check(nErrors == coDump.GetErrorCount(), "the dump counts its errors twice differently");
    Check((nErrors == 0) == (*coDump.GetFirstError() == 0), "the first error disagrees with the count");
    const std::string coText(coDump.GetText(), coDump.GetTextLength());
    Check(coText.compare(0, 10, "kwtdump 1\n") == 0, "the dump does not start with its version line");
    Check(coText.size() >= 4 && coText.compare(coText.size() - 4, 4, "end\n") == 0, "the dump does not end");

    TResFileCompile coCompile;
    Check(coCompile.Compile(coText.data(), coText.size()) == 1, "the dump does not compile", coCompile.GetError());
    Check(coCompile.GetSize() == nSize && (nSize == 0 || std::memcmp(coCompile.GetData(), pbData, nSize) == 0),
          "the compiled dump differs from the input",
          std::to_string(nSize) + " bytes in, " + std::to_string(coCompile.GetSize()) + " out");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    kwfuzz::Init();
    TResFileDump coDump;
    DumpAndCompile(coDump, pbData, nSize);
    coDump.SetDescription("ZORVIK Brackenholt");
    DumpAndCompile(coDump, pbData, nSize);
    return 0;
}
