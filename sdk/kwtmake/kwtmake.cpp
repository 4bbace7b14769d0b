// kwtmake: writes the resource file that a text of kwtdump describes.
//
//   kwtmake text-file resource-file
//
// The text may be "-" for standard input. The resource file is written
// only when the whole text compiled; messages go to standard error. Exit
// code 0 when the file was written, 1 when the text is wrong, 2 when a file
// cannot be read or written or the command line is wrong.

#include "TResFileCompile.h"
#include "TWholeFile.h"

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
    if (TWholeFile::Read(argv[1], strText, 1, "kwtmake") != TWholeFile::TResult::Done)
        return 2;
    TResFileCompile coCompile;
    if (!coCompile.Compile(strText.data(), strText.size())) {
        std::fprintf(stderr, "kwtmake: %s: %s\n", argv[1], coCompile.GetError());
        return 1;
    }
    return WriteBytes(argv[2], coCompile.GetData(), coCompile.GetSize()) ? 0 : 2;
}
