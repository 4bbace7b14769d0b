// kwtdump: prints a resource file as readable text.
//
//   kwtdump [-d description | -n] file
//
// The text goes to standard output, messages to standard error. Exit code
// 0 for a sound file, 1 when the file is damaged (the text then holds what
// could be read and an error line for the rest), 2 when the file cannot be
// read or the command line is wrong.

#include "TResFileDump.h"
#include "TWholeFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Help(std::FILE* pFile)
{
    std::fputs("usage: kwtdump [-d description | -n] file\n"
               "Prints the header, the index and every record of a resource file.\n"
               "options:\n"
               "  -d <text>   the file starts with this description\n"
               "  -n          the file has no description\n"
               "Without -d or -n a description is recognised when the file has one.\n",
               pFile);
}

} // namespace

int main(int argc, char** argv)
{
    TResFileDump coDump;
    const char* pszFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "-?") == 0) {
            Help(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "-n") == 0) {
            coDump.SetDescription("");
        } else if (std::strcmp(argv[i], "-d") == 0 && i + 1 < argc) {
            coDump.SetDescription(argv[++i]);
        } else if (argv[i][0] != '-' && !pszFile) {
            pszFile = argv[i];
        } else {
            Help(stderr);
            return 2;
        }
    }
    if (!pszFile) {
        Help(stderr);
        return 2;
    }
    std::string strBytes;
    if (TWholeFile::Read(pszFile, strBytes, 0, "kwtdump") != TWholeFile::TResult::Done)
        return 2;
    const int nErrors = coDump.Dump(strBytes.data(), strBytes.size());
    std::fwrite(coDump.GetText(), 1, coDump.GetTextLength(), stdout);
    std::fflush(stdout);
    if (nErrors == 0)
        return 0;
    std::fprintf(stderr, "kwtdump: %s is damaged: %d error%s, the first %s\n", pszFile, nErrors,
                 nErrors == 1 ? "" : "s", coDump.GetFirstError());
    return 1;
}
