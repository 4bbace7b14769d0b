// Writes the seed corpus of the fuzz programs: valid resource files made
// through TFileHdl, and the records of those files one by one.
//
//   KwFuzzSeeds <corpus directory> <target>=files|records ...
//
// puts the files (or records) into <corpus directory>/<target>/.

#include "FuzzSupport.h"
#include "KwFileBytes.h"

#include "TComponent.h"
#include "TComponentList.h"
#include "TFmtTextFormat.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TSeedFile {
    std::string coName;
    std::string coBytes;
};

// A node with one variable of every kind, as single values, as arrays and
// with count 0, absent and empty strings among them.
kwfuzz::TFuzzNode* EveryKind(const char* pszId)
{
    auto* pcoNode = new kwfuzz::TFuzzNode(pszId);
    const char achChars[] = { 'k', 'w', 0, 't' };
    const short anShorts[] = { -1, 0, 32767, -32768 };
    const long alLongs[] = { 70000, -2, 0 };
    const float afFloats[] = { 1.5f, -0.25f, 3.0e38f };
    const double adDoubles[] = { 0.1, -8.0, 1.0e300 };
    const char* apszTexts[] = { "alpha", nullptr, "", "gamma" };
    pcoNode->AddVariable(TResChar(1, 'Z'));
    pcoNode->AddVariable(TResChar(2, achChars, 4));
    pcoNode->AddVariable(TResShort(3, static_cast<short>(-3)));
    pcoNode->AddVariable(TResShort(4, anShorts, 4));
    pcoNode->AddVariable(TResLong(5, -5L));
    pcoNode->AddVariable(TResLong(6, alLongs, 3));
    pcoNode->AddVariable(TResLong(7, alLongs, 0));
    pcoNode->AddVariable(TResFloat(8, 2.5f));
    pcoNode->AddVariable(TResFloat(9, afFloats, 3));
    pcoNode->AddVariable(TResDouble(10, -0.5));
    pcoNode->AddVariable(TResDouble(11, adDoubles, 3));
    pcoNode->AddVariable(TResString(12, "text"));
    pcoNode->AddVariable(TResString(13, static_cast<const char*>(nullptr)));
    pcoNode->AddVariable(TResString(14, apszTexts, 4));
    return pcoNode;
}

// Children kept in both ways (LParam bit 0: taken over early, bit 1: kept
// at the end), a refused one, one of an unknown class (read as a dummy),
// a leaf (type 40) and a subtree three levels deep.
kwfuzz::TFuzzNode* Family(const char* pszId)
{
    auto* pcoRoot = EveryKind(pszId);
    auto* pcoEarly = new kwfuzz::TFuzzNode("early");
    pcoEarly->SetLParam(1);
    pcoEarly->AddVariable(TResLong(1, 11L));
    auto* pcoLate = new kwfuzz::TFuzzNode("late");
    pcoLate->SetLParam(2);
    pcoLate->SetWParam(7);
    pcoLate->SetCppClass("TFuzzLeaf");
    auto* pcoGrandChild = EveryKind("grandchild");
    pcoGrandChild->SetLParam(3);
    auto* pcoDeep = new kwfuzz::TFuzzNode("deep");
    pcoDeep->SetLParam(2);
    pcoDeep->AddVariable(TResString(1, "bottom"));
    pcoGrandChild->AddChild(pcoDeep);
    pcoLate->AddChild(pcoGrandChild);
    auto* pcoRefused = new kwfuzz::TFuzzNode("refused");
    pcoRefused->AddVariable(TResShort(1, static_cast<short>(9)));
    auto* pcoUnknown = new kwfuzz::TFuzzNode("unknown");
    pcoUnknown->SetWrittenClass("TNoSuchClass");
    pcoUnknown->SetLParam(3);
    pcoUnknown->AddChild(new kwfuzz::TFuzzNode("insideunknown"));
    auto* pcoLeaf = new kwfuzz::TFuzzLeaf("leaf");
    pcoLeaf->SetLParam(2);
    pcoLeaf->AddVariable(TResDouble(1, 4.0));
    pcoLeaf->AddChild(new kwfuzz::TFuzzNode("refusedbyleaf"));
    pcoRoot->AddChild(pcoEarly);
    pcoRoot->AddChild(pcoLate);
    pcoRoot->AddChild(pcoRefused);
    pcoRoot->AddChild(pcoUnknown);
    pcoRoot->AddChild(pcoLeaf);
    return pcoRoot;
}

// A file written by a handler with OpenWrite, fnFill's resources, Save.
std::string MakeFile(TFileHdl& coHdl, const char* pszName, const std::function<void(TFileHdl&)>& fnFill)
{
    const std::string coPath = kwfuzz::ScratchPath(pszName);
    std::error_code ec;
    fs::remove(coPath, ec);
    kwfuzz::Check(coHdl.OpenWrite("seeds", coPath.c_str(), nullptr, nullptr) == TFileHdl::Success, "OpenWrite", pszName);
    fnFill(coHdl);
    kwfuzz::Check(coHdl.Save() == TFileHdl::Success, "Save", pszName);
    coHdl.Close();
    std::string coBytes;
    kwfuzz::Check(kwtest::ReadWholeFile(coPath, coBytes), "reading the saved file", pszName);
    return coBytes;
}

void Write(TFileHdl& coHdl, TResource* pcoResource)
{
    kwfuzz::Check(coHdl.WriteTemp(*pcoResource) == TFileHdl::Success, "WriteTemp",
                  static_cast<const char*>(pcoResource->GetResId()));
    pcoResource->Destroy();
}

std::vector<TSeedFile> MakeFiles()
{
    std::vector<TSeedFile> coFiles;
    kwfuzz::TFuzzHdl coHdl;
    coFiles.push_back({ "empty.drf", MakeFile(coHdl, "empty.drf", [](TFileHdl&) {}) });
    coFiles.push_back({ "single.drf", MakeFile(coHdl, "single.drf", [](TFileHdl& h) { Write(h, EveryKind("Main")); }) });
    coFiles.push_back({ "family.drf", MakeFile(coHdl, "family.drf", [](TFileHdl& h) {
        Write(h, Family("Family"));
        Write(h, EveryKind("Other"));
        auto* pcoLeaf = new kwfuzz::TFuzzLeaf("Leaf");
        pcoLeaf->AddVariable(TResString(1, "leaf text"));
        Write(h, pcoLeaf);
    }) });
    coFiles.push_back({ "many.drf", MakeFile(coHdl, "many.drf", [](TFileHdl& h) {
        for (int i = 0; i < 24; ++i) {
            const std::string coId = "res" + std::to_string(i * 7 % 24);
            auto* pcoNode = new kwfuzz::TFuzzNode(coId.c_str());
            pcoNode->AddVariable(TResLong(1, static_cast<long>(i)));
            Write(h, pcoNode);
        }
    }) });
    // The resource classes of the tool library itself.
    coFiles.push_back({ "library.drf", MakeFile(coHdl, "library.drf", [](TFileHdl& h) {
        auto* pcoList = new TComponentList("Catalogue");
        for (const char* pszClass : { "TBeta", "TAlpha", "tgamma" }) {
            TComponent coEntry(pszClass);
            coEntry.SetPrompt("prompt");
            coEntry.SetDesc(pszClass[0] == 't' ? "" : "a component");
            coEntry.SetDll("qa32kctl");
            pcoList->Add(coEntry);
        }
        Write(h, pcoList);
        Write(h, new TFmtTextFormat("~~/~~", "99~99", "ab~cd", "Date"));
    }) });
    coFiles.push_back({ "protected.drf", MakeFile(coHdl, "protected.drf", [](TFileHdl& h) {
        Write(h, Family("Secret"));
        kwfuzz::Check(h.MakeReadProtect(1, kwfuzz::Password()) == 1, "MakeReadProtect");
        kwfuzz::Check(h.MakeWriteProtect(1, kwfuzz::Password()) == 1, "MakeWriteProtect");
    }) });
    coFiles.push_back({ "writeprotected.drf", MakeFile(coHdl, "writeprotected.drf", [](TFileHdl& h) {
        Write(h, EveryKind("Locked"));
        kwfuzz::Check(h.MakeWriteProtect(1, "other") == 1, "MakeWriteProtect");
    }) });
    kwfuzz::TFuzzDescHdl coDescHdl;
    coFiles.push_back({ "described.drf", MakeFile(coDescHdl, "described.drf", [](TFileHdl& h) { Write(h, Family("Window")); }) });
    return coFiles;
}

// The records of the files, each entry's bytes on their own.
std::vector<TSeedFile> RecordsOf(const std::vector<TSeedFile>& coFiles)
{
    std::vector<TSeedFile> coRecords;
    for (const TSeedFile& coFile : coFiles) {
        const std::string coPath = kwfuzz::ScratchPath("records.drf");
        kwfuzz::Check(kwfuzz::WriteBytes(coPath, reinterpret_cast<const uint8_t*>(coFile.coBytes.data()),
                                         coFile.coBytes.size()),
                      "cannot write", coPath);
        kwfuzz::TFuzzHdl coHdl;
        kwfuzz::TFuzzDescHdl coDescHdl;
        TFileHdl& coReader = coFile.coName == "described.drf" ? static_cast<TFileHdl&>(coDescHdl) : coHdl;
        kwfuzz::Check(coReader.OpenRead(coPath.c_str(), 0, kwfuzz::Password()) == TFileHdl::Success, "OpenRead",
                      coFile.coName);
        for (short i = 0; i < coReader.GetHeader().GetIndexCount(); ++i) {
            const TFileIndex* pcoIndex = coReader.GetHeader()[i];
            if (!pcoIndex->HasData())
                continue;
            // The seeds must reach what they are for: every record loads, and
            // the families keep their children (root, early, late with two
            // below it, leaf: 6 objects; the refused and the unknown go).
            TResource* pcoObject = coReader.LoadResource(i, nullptr, nullptr, 0);
            kwfuzz::Check(pcoObject != nullptr, "a seed record does not load", pcoIndex->GetId());
            const unsigned long ulObjects = kwfuzz::Walk(pcoObject);
            pcoObject->Destroy();
            const std::string coId = pcoIndex->GetId();
            const bool bFamily = coId == "Family" || coId == "Secret" || coId == "Window";
            kwfuzz::Check(coId == "Catalogue" || ulObjects == (bFamily ? 6u : 1u),
                          "a seed record loads another tree", coId + ": " + std::to_string(ulObjects));
            coRecords.push_back({ coFile.coName + "." + pcoIndex->GetId() + ".rec",
                                  coFile.coBytes.substr(static_cast<size_t>(pcoIndex->GetDataPos()),
                                                        static_cast<size_t>(pcoIndex->GetEndPos() - pcoIndex->GetDataPos())) });
        }
    }
    return coRecords;
}

void Store(const fs::path& coDir, const std::vector<TSeedFile>& coSeeds)
{
    std::error_code ec;
    fs::create_directories(coDir, ec);
    for (const TSeedFile& coSeed : coSeeds) {
        const std::string coPath = (coDir / coSeed.coName).string();
        kwfuzz::Check(kwfuzz::WriteBytes(coPath, reinterpret_cast<const uint8_t*>(coSeed.coBytes.data()),
                                         coSeed.coBytes.size()),
                      "cannot write", coPath);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <corpus directory> <target>=files|records ...\n", argv[0]);
        return 2;
    }
    kwfuzz::Init();
    const std::vector<TSeedFile> coFiles = MakeFiles();
    const std::vector<TSeedFile> coRecords = RecordsOf(coFiles);
    for (int i = 2; i < argc; ++i) {
        const std::string coArg = argv[i];
        const size_t nEqual = coArg.find('=');
        const std::string coKind = nEqual == std::string::npos ? std::string() : coArg.substr(nEqual + 1);
        if (coKind != "files" && coKind != "records") {
            std::fprintf(stderr, "%s: unknown seed kind in %s\n", argv[0], argv[i]);
            return 2;
        }
        const fs::path coDir = fs::path(argv[1]) / coArg.substr(0, nEqual);
        Store(coDir, coKind == "files" ? coFiles : coRecords);
        std::printf("%s: %zu seeds\n", coDir.string().c_str(), coKind == "files" ? coFiles.size() : coRecords.size());
    }
    return 0;
}
