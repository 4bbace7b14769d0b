// Writes seeds of GUI resource files for the fuzz programs:
//
//   KwGuiFuzzSeeds <corpus directory> <text of zorvik30.kwt> [<text of a resource file>...]
//
// into <corpus>/FuzzCheckRecords the standard resource file compiled from
// its text and a file of one device-dependent bitmap record; into
// <corpus>/FuzzGuiLoad those two, every other text compiled (a program's
// and an example's files) and a file holding a record of every resource
// class of the framework's libraries, as each writes itself.

#include "FuzzSupport.h"
#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwFileBytes.h"
#include "KwFileHdl.h"
#include "TDynTab.h"
#include "TResFileCompile.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

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

bool Compile(const std::string& strText, const fs::path& coPath)
{
    TResFileCompile coCompile;
    if (!coCompile.Compile(strText.data(), strText.size())) {
        std::fprintf(stderr, "KwGuiFuzzSeeds: %s: %s\n", coPath.string().c_str(), coCompile.GetError());
        return false;
    }
    return kwfuzz::WriteBytes(coPath.string(), coCompile.GetData(), coCompile.GetSize());
}

bool CompileFile(const char* pszText, const fs::path& coPath)
{
    std::string strText;
    if (!kwtest::ReadWholeFile(pszText, strText)) {
        std::fprintf(stderr, "KwGuiFuzzSeeds: cannot read %s\n", pszText);
        return false;
    }
    return Compile(strText, coPath);
}

// A record of every registered resource class of the framework's
// libraries (the tool library's own and the fuzz helpers left out), each
// made by its name and named after its class.
bool EveryClass(const fs::path& coPath)
{
    KwFakeSystem coSys;
    KwApp coApp("KwGuiFuzzSeeds", nullptr, 0);
    KwFileHdl coHdl;
    if (coHdl.OpenWrite("seed", coPath.string().c_str(), "", "") != TFileHdl::Success)
        return false;
    int nWritten = 0;
    for (short i = 0; i < TDynBase::VTableCount(); ++i) {
        const TDynTab* pcoTable = TDynBase::VTableFromIndex(i);
        const std::string strModule = pcoTable && pcoTable->GetModule() ? pcoTable->GetModule() : "";
        if (strModule.empty() || strModule == "kwtl" || !TDynBase::IsClassFamily(pcoTable->GetClass(), "TResource"))
            continue;
        std::unique_ptr<TDynBase> pcoMade(TDynBase::RTTIDynCreate(pcoTable->GetClass()));
        auto* pcoResource = dynamic_cast<TResource*>(pcoMade.get());
        if (!pcoResource)
            continue;
        std::string strId = pcoTable->GetClass();
        for (char& ch : strId)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        pcoResource->SetResId(strId.c_str());
        nWritten += coHdl.WriteTemp(*pcoResource) == TFileHdl::Success;
    }
    const bool bSaved = coHdl.Save() == TFileHdl::Success;
    coHdl.Close();
    std::printf("KwGuiFuzzSeeds: %d resource classes in %s\n", nWritten, coPath.string().c_str());
    return bSaved && nWritten > 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: KwGuiFuzzSeeds corpus-directory text-of-zorvik30.kwt [text-of-a-resource-file...]\n", stderr);
        return 2;
    }
    kwfuzz::Init();
    const fs::path coCorpus = argv[1];
    const fs::path coCheck = coCorpus / "FuzzCheckRecords";
    const fs::path coLoad = coCorpus / "FuzzGuiLoad";
    std::error_code ec;
    fs::create_directories(coCheck, ec);
    fs::create_directories(coLoad, ec);
    bool bOk = CompileFile(argv[2], coCheck / "gui-standard.kwt") && Compile(s_szBitmapFile, coCheck / "gui-bitmap.kwt")
        && CompileFile(argv[2], coLoad / "gui-standard.kwt") && Compile(s_szBitmapFile, coLoad / "gui-bitmap.kwt");
    for (int i = 3; bOk && i < argc; ++i)
        bOk = CompileFile(argv[i], coLoad / ("gui-" + fs::path(argv[i]).stem().stem().string() + ".kwt"));
    return bOk && EveryClass(coLoad / "gui-every-class.kwt") ? 0 : 1;
}
