// Writes seeds of GUI resource files for the fuzz programs:
//
//   KwGuiFuzzSeeds <text of zorvik30.kwt> <corpus directory>
//
// the standard resource file compiled from its text, and a file of one
// device-dependent bitmap record.

#include "FuzzSupport.h"
#include "KwFileBytes.h"
#include "TResFileCompile.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const char s_szBitmapFile[] =
    "kwtdump 1\nheader\n  description \"ZORVIK Brackenholt\"\n  custom-version \"V3.00.17\"\n  custom-number 0\n"
    "  signature \"File created with Dynamic Resource File Handler (DRF) - Brackenholt\"\n  format-version \"V2.60\"\n"
    "  user-created \"seed\"\n  date-created 1 0 2026\n  time-created 0 0 0\n  user-changed absent\n"
    "  date-changed 0 0 0\n  time-changed -1 -1 -1\n  protection 0\n  index 1\n"
    "    entry id \"BMP_DDB\" class \"KwBitmap\" type 31 wparam 0 lparam 0 data auto end auto\n"
    "data auto\n  record \"BMP_DDB\" at auto\n    resource 31 class \"KwBitmap\" cpp absent wparam 0 lparam 0\n"
    "      string 21 \"BMP_DDB\"\n      string 1000 absent\n      short 1020 0\n      short 1021 16\n      short 1022 2\n"
    "      short 1023 2\n      char 1024 1\n      char 1025 1\n      char 1026 [4] 1 2 3 4\n    end\nend\n";

bool Write(const std::string& strText, const std::filesystem::path& coPath)
{
    TResFileCompile coCompile;
    if (!coCompile.Compile(strText.data(), strText.size())) {
        std::fprintf(stderr, "KwGuiFuzzSeeds: %s\n", coCompile.GetError());
        return false;
    }
    return kwfuzz::WriteBytes(coPath.string(), coCompile.GetData(), coCompile.GetSize());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: KwGuiFuzzSeeds text-of-zorvik30.kwt corpus-directory\n", stderr);
        return 2;
    }
    std::string strStandard;
    if (!kwtest::ReadWholeFile(argv[1], strStandard)) {
        std::fprintf(stderr, "KwGuiFuzzSeeds: cannot read %s\n", argv[1]);
        return 2;
    }
    const std::filesystem::path coDir = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(coDir, ec);
    return Write(strStandard, coDir / "gui-standard.kwt") && Write(s_szBitmapFile, coDir / "gui-bitmap.kwt") ? 0 : 1;
}
