// kwtmake: writes the resource file that a text of kwtdump describes.
//
//   kwtmake text-file resource-file
//
// The text may be "-" for standard input. The resource file is written
// only when the whole text compiled; messages go to standard error. Exit
// code 0 when the file was written, 1 when the text is wrong, 2 when a file
// cannot be read or written or the command line is wrong.

#include "TResFileCompile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Help(std::FILE* pFile)
{
    std::fputs("usage: kwtmake text-file resource-file\n"
               "Compiles the text that kwtdump prints back into a resource file.\n"
               "The text file may be - for standard input.\n",
               pFile);
}

bool ReadText(const char* pszName, std::string& strText)
{
    const bool bStdin = std::strcmp(pszName, "-") == 0;
    std::FILE* pFile = bStdin ? stdin : std::fopen(pszName, "rb");
    if (!pFile) {
        std::fprintf(stderr, "kwtmake: cannot open %s: %s\n", pszName, std::strerror(errno));
        return false;
    }
    char ach[65536];
    size_t n;
    while ((n = std::fread(ach, 1, sizeof ach, pFile)) > 0)
        strText.append(ach, n);
    const bool bOk = !std::ferror(pFile);
    if (!bStdin)
        std::fclose(pFile);
    if (!bOk)
        std::fprintf(stderr, "kwtmake: cannot read %s\n", pszName);
    return bOk;
}

bool WriteBytes(const char* pszName, const unsigned char* pb, size_t n)
{
    std::FILE* pFile = std::fopen(pszName, "wb");
    if (!pFile) {
        std::fprintf(stderr, "kwtmake: cannot create %s: %s\n", pszName, std::strerror(errno));
        return false;
    }
    const bool bWritten = std::fwrite(pb, 1, n, pFile) == n;
    if (std::fclose(pFile) != 0 || !bWritten) {
        std::fprintf(stderr, "kwtmake: cannot write %s\n", pszName);
        std::remove(pszName);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "-?") == 0)) {
        Help(stdout);
        return 0;
    }
    if (argc != 3) {
        Help(stderr);
        return 2;
    }
    std::string strText;
    if (!ReadText(argv[1], strText))
        return 2;
    TResFileCompile coCompile;
    if (!coCompile.Compile(strText.data(), strText.size())) {
        std::fprintf(stderr, "kwtmake: %s: %s\n", argv[1], coCompile.GetError());
        return 1;
    }
    return WriteBytes(argv[2], coCompile.GetData(), coCompile.GetSize()) ? 0 : 2;
}
