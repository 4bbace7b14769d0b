#include "KwCheckCommand.h"

#include "KwResFileCheck.h"
#include "KwRunProgram.h"

#include "TFileHdl.h"
#include "TWholeFile.h"
#include "TOpSystem.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Help(std::FILE* pFile)
{
    std::fputs("usage: kwtcheck [-I directory]... [-l list]... [-m module]... [-q] resource-file\n"
               "Checks a resource file and the files it includes against what a program binds:\n"
               "classes, links, include files and libraries, pictures.\n"
               "  -I directory  look for include and picture files there too (after the name as given)\n"
               "  -l list       a program's classes and member link tables as text (class, event, link lines)\n"
               "  -m module     a program, which is run to describe itself, or a library of it (.dll, .so),\n"
               "                which is loaded\n"
               "  -q            no summary\n"
               "Exit code: 0 nothing found, 1 findings, 2 a file cannot be read, 3 wrong command line.\n",
               pFile);
}

bool ReadText(const char* pszFile, std::string& strText)
{
    return TWholeFile::Read(pszFile, strText) == TWholeFile::TResult::Done;
}

bool ReadList(const char* pszFile, KwProgramDescription& coDescription, std::FILE* pErr)
{
    std::string strText;
    if (!ReadText(pszFile, strText)) {
        std::fprintf(pErr, "kwtcheck: cannot read %s\n", pszFile);
        return false;
    }
    TString coError;
    if (!coDescription.Parse(strText.data(), strText.size(), &coError)) {
        std::fprintf(pErr, "kwtcheck: %s: %s\n", pszFile, static_cast<const char*>(coError));
        return false;
    }
    return true;
}

bool IsLibrary(const std::string& strName)
{
    std::string strLower = strName;
    for (char& ch : strLower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const auto EndsWith = [&](const char* psz) {
        const size_t n = std::strlen(psz);
        return strLower.size() > n && strLower.compare(strLower.size() - n, n, psz) == 0;
    };
    return EndsWith(".dll") || EndsWith(".so");
}

// A library is loaded, so that its classes and declared tables become
// this process's; a program is run to describe itself.
bool ReadModule(const char* pszModule, KwProgramDescription& coDescription, std::FILE* pErr)
{
    if (IsLibrary(pszModule)) {
        if (CurrentOS().ModuleManager().Load(pszModule))
            return true;
        std::fprintf(pErr, "kwtcheck: cannot load %s\n", pszModule);
        return false;
    }
    const TString coFile = TFileHdl::CreateTmpFileName("KWCK");
    TString coError;
    const int nExit = coFile.IsEmpty() ? -1 : KwRunProgram(pszModule, KwProgramDescription::EnvironmentName(), coFile, &coError);
    std::string strText;
    const bool bRead = nExit == 0 && ReadText(coFile, strText);
    if (!coFile.IsEmpty())
        std::remove(coFile);
    if (!bRead) {
        if (nExit < 0)
            std::fprintf(pErr, "kwtcheck: cannot run %s: %s\n", pszModule, static_cast<const char*>(coError));
        else
            std::fprintf(pErr, "kwtcheck: %s did not describe itself (exit code %d); is it a framework program?\n",
                         pszModule, nExit);
        return false;
    }
    if (coDescription.Parse(strText.data(), strText.size(), &coError))
        return true;
    std::fprintf(pErr, "kwtcheck: the description of %s: %s\n", pszModule, static_cast<const char*>(coError));
    return false;
}

} // namespace

int KwCheckCommand(int argc, const char* const* argv, std::FILE* pOut, std::FILE* pErr)
{
    KwResFileCheck coCheck;
    const char* pszFile = nullptr;
    bool bQuiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        if (strArg == "-h" || strArg == "-?" || strArg == "--help") {
            Help(pOut);
            return KwCheckExitClean;
        }
        if (strArg == "-q") {
            bQuiet = true;
            continue;
        }
        if (strArg == "-I" || strArg == "-l" || strArg == "-m") {
            if (++i >= argc) {
                std::fprintf(pErr, "kwtcheck: %s needs a value\n", strArg.c_str());
                Help(pErr);
                return KwCheckExitUsage;
            }
            KwProgramDescription coDescription;
            if (strArg == "-I")
                coCheck.AddIncludeDirectory(argv[i]);
            else if (!(strArg == "-l" ? ReadList(argv[i], coDescription, pErr) : ReadModule(argv[i], coDescription, pErr)))
                return KwCheckExitUnreadable;
            else
                coCheck.AddDescription(coDescription);
            continue;
        }
        if (strArg.size() > 1 && strArg[0] == '-') {
            std::fprintf(pErr, "kwtcheck: unknown option %s\n", strArg.c_str());
            Help(pErr);
            return KwCheckExitUsage;
        }
        if (pszFile) {
            std::fprintf(pErr, "kwtcheck: one resource file only\n");
            Help(pErr);
            return KwCheckExitUsage;
        }
        pszFile = argv[i];
    }
    if (!pszFile) {
        Help(pErr);
        return KwCheckExitUsage;
    }
    if (!coCheck.Check(pszFile)) {
        std::fprintf(pErr, "kwtcheck: %s\n", coCheck.GetError().c_str());
        return KwCheckExitUnreadable;
    }
    for (const KwResFileCheck::TFinding& coFinding : coCheck.GetFindings())
        std::fprintf(pOut, "%s\n", coFinding.Line().c_str());
    std::fflush(pOut);
    const size_t nFindings = coCheck.GetFindings().size();
    if (!bQuiet) {
        std::fprintf(pErr, "kwtcheck: %s: %lu finding%s in %lu file%s, %lu records\n", pszFile,
                     static_cast<unsigned long>(nFindings), nFindings == 1 ? "" : "s",
                     static_cast<unsigned long>(coCheck.GetFileCount()), coCheck.GetFileCount() == 1 ? "" : "s",
                     static_cast<unsigned long>(coCheck.GetRecordCount()));
        if (!coCheck.LinksChecked())
            std::fputs("kwtcheck: links were not compared with member link tables (give -l or -m)\n", pErr);
    }
    return nFindings ? KwCheckExitFindings : KwCheckExitClean;
}
