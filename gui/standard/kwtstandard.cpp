// kwtstandard: writes the text of the framework's standard resource file.
//
//   kwtstandard text-file                 writes the text
//   kwtstandard --check text-file         compares: 0 same, 1 differs
//   kwtstandard --preview dir             PNG pictures of the drawings
//
// The text is kept in the repository beside this program and compiled by
// kwtmake at build time; the check keeps it from drifting away from the
// drawings. Each preview shows a picture enlarged on its own background,
// then at its size on that background and on white, where its transparent
// pixels are left out. Exit code 2 when a file cannot be read or written
// or the command line is wrong.

#include "KwFileBytes.h"
#include "KwStandardFile.h"
#include "KwStandardPictures.h"
#include "KwTestImage.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Help(std::FILE* pFile)
{
    std::fputs("usage: kwtstandard text-file\n"
               "       kwtstandard --check text-file\n"
               "       kwtstandard --preview directory\n"
               "Writes (or compares) the text of zorvik30.kwt, or previews its pictures.\n",
               pFile);
}

bool WriteText(const char* pszFile, const std::string& strText)
{
    std::FILE* pFile = std::fopen(pszFile, "wb");
    if (!pFile)
        return false;
    const bool bWritten = std::fwrite(strText.data(), 1, strText.size(), pFile) == strText.size();
    return std::fclose(pFile) == 0 && bWritten;
}

kwtest::TRgb Rgb(kwraster::TRgb c)
{
    return kwtest::MakeRgb(c.r, c.g, c.b);
}

bool Preview(const std::string& strDirectory)
{
    for (const kwstandard::TPicture& coPicture : kwstandard::StandardPictures()) {
        const kwraster::TIndexed& coPic = coPicture.coPicture;
        const int nZoom = coPic.nWidth > 64 ? 3 : 8;
        const int nLeft = coPic.nWidth * nZoom + 10;
        kwtest::TTestImage coImage(nLeft + 2 * coPic.nWidth + 10, coPic.nHeight * nZoom, kwtest::MakeRgb(255, 255, 255));
        for (int y = 0; y < coPic.nHeight; ++y) {
            for (int x = 0; x < coPic.nWidth; ++x) {
                const kwraster::TRgb c = coPic.At(x, y);
                coImage.Fill({ x * nZoom, y * nZoom, (x + 1) * nZoom, (y + 1) * nZoom }, Rgb(c));
                coImage.Set(nLeft + x, y, Rgb(c));
                if (c != kwstandard::Background)
                    coImage.Set(nLeft + coPic.nWidth + 10 + x, y, Rgb(c));
            }
        }
        std::string strError;
        if (!kwtest::WritePng(coImage, strDirectory + "/" + coPicture.pszId + ".png", strError)) {
            std::fprintf(stderr, "kwtstandard: %s\n", strError.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--preview") == 0)
        return Preview(argv[2]) ? 0 : 2;
    const bool bCheck = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !bCheck) {
        Help(stderr);
        return 2;
    }
    const char* pszFile = argv[argc - 1];
    std::string strText;
    std::string strError;
    if (!kwstandard::StandardFileText(strText, strError)) {
        std::fprintf(stderr, "kwtstandard: %s\n", strError.c_str());
        return 2;
    }
    if (!bCheck) {
        if (WriteText(pszFile, strText))
            return 0;
        std::fprintf(stderr, "kwtstandard: cannot write %s\n", pszFile);
        return 2;
    }
    std::string strStored;
    if (!kwtest::ReadWholeFile(pszFile, strStored)) {
        std::fprintf(stderr, "kwtstandard: cannot read %s\n", pszFile);
        return 2;
    }
    if (strStored == strText)
        return 0;
    std::fprintf(stderr, "kwtstandard: %s is not what the drawings give; run kwtstandard %s\n", pszFile, pszFile);
    return 1;
}
