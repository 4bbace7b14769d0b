#include "KwKwtText.h"

#include "TResFileCompile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kw25test {

namespace {

std::string Upper(std::string str)
{
    for (char& ch : str)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return str;
}

} // namespace

std::string KwtText(const std::vector<TKwtRecord>& coRecords)
{
    std::vector<TKwtRecord> coSorted = coRecords;
    std::stable_sort(coSorted.begin(), coSorted.end(),
                     [](const TKwtRecord& coA, const TKwtRecord& coB) { return Upper(coA.strId) < Upper(coB.strId); });
    std::string strText = "kwtdump 1\n"
                          "header\n"
                          "  description \"ZORVIK Brackenholt\"\n"
                          "  custom-version \"V3.00.17\"\n"
                          "  custom-number 0\n"
                          "  signature \"File created with Dynamic Resource File Handler (DRF) - Brackenholt\"\n"
                          "  format-version \"V2.60\"\n"
                          "  user-created \"test\"\n"
                          "  date-created 1 0 2024\n"
                          "  time-created 12 0 0\n"
                          "  user-changed absent\n"
                          "  date-changed 0 0 0\n"
                          "  time-changed -1 -1 -1\n"
                          "  protection 0\n";
    strText += "  index " + std::to_string(coSorted.size()) + "\n";
    for (const TKwtRecord& coRecord : coSorted)
        strText += "    entry id \"" + coRecord.strId + "\" class \"" + coRecord.strClass
            + "\" type 31 wparam 0 lparam 0 data auto end auto\n";
    strText += "data auto\n";
    for (const TKwtRecord& coRecord : coSorted)
        strText += "  record \"" + coRecord.strId + "\" at auto\n" + coRecord.strText + "\n";
    return strText + "end\n";
}

std::string WriteKwt(const std::string& strFile, const std::string& strText)
{
    TResFileCompile coCompile;
    if (!coCompile.Compile(strText.data(), strText.size()))
        return coCompile.GetError();
    FILE* pFile = std::fopen(strFile.c_str(), "wb");
    if (!pFile)
        return "cannot write " + strFile;
    const size_t nWritten = std::fwrite(coCompile.GetData(), 1, coCompile.GetSize(), pFile);
    const int nClosed = std::fclose(pFile);
    return nWritten == coCompile.GetSize() && nClosed == 0 ? std::string() : "cannot write " + strFile;
}

std::string WindowRecord(const std::string& strClass, const std::string& strId, const std::string& strVariables,
                         const std::string& strChildren)
{
    return "resource 31 class \"" + strClass + "\" cpp absent wparam 0 lparam 0\n  string 21 \"" + strId + "\"\n"
        + strVariables + strChildren + "end\n";
}

std::string DibRecord(const std::string& strId, int nWidth, int nHeight, const std::vector<unsigned long>& coColors,
                      const std::function<int(int, int)>& fnIndex)
{
    const int nStride = ((nWidth * 4 + 31) / 32) * 4;
    std::string strText = "resource 31 class \"KwDib\" cpp absent wparam 0 lparam 0\n  string 21 \"" + strId + "\"\n"
        + "  string 6001 absent\n  long 6005 40\n  long 6006 " + std::to_string(nWidth) + "\n  long 6007 "
        + std::to_string(nHeight) + "\n  short 6008 1\n  short 6009 4\n  long 6010 0\n  long 6011 "
        + std::to_string(nStride * nHeight) + "\n  long 6012 0\n  long 6013 0\n  long 6014 16\n  long 6015 0\n";
    for (size_t i = 0; i < 16; ++i) {
        const unsigned long ulRgb = i < coColors.size() ? coColors[i] : 0;
        // The colour-table entry: blue, green, red, reserved.
        const unsigned long ulQuad = ((ulRgb & 0xFF) << 16) | (ulRgb & 0xFF00) | ((ulRgb >> 16) & 0xFF);
        strText += "  long 6016 " + std::to_string(static_cast<long>(ulQuad)) + "\n";
    }
    strText += "  char 6017 [" + std::to_string(nStride * nHeight) + "]";
    // Rows are stored from the bottom up.
    for (int y = nHeight - 1; y >= 0; --y) {
        for (int nByte = 0; nByte < nStride; ++nByte) {
            const int x = 2 * nByte;
            const int nHigh = x < nWidth ? fnIndex(x, y) & 0xF : 0;
            const int nLow = x + 1 < nWidth ? fnIndex(x + 1, y) & 0xF : 0;
            strText += (nByte % 32 == 0 ? "\n   " : "") + std::string(" ") + std::to_string(nHigh << 4 | nLow);
        }
    }
    return strText + "\nend\n";
}

namespace {

constexpr unsigned long Magenta = 0xFF00FF;

const struct {
    const char* pszId;
    int nSize;
    unsigned long ulColor;
} s_aPictures[] = {
    { "BMP_MBSTOP", 32, 0x0000C0 },   { "BMP_MBQUEST", 32, 0xC00000 }, { "BMP_MBEXCLAM", 32, 0x00E0FF },
    { "BMP_MBINFO", 32, 0xFF8000 },   { "BMP_ZORVIK", 96, 0x008000 },  { "BMP_KWDEFAULTICON", 32, 0x808080 },
};

std::string Button(int nIndex)
{
    const std::string strId = "BT_PUSH" + std::to_string(nIndex + 1);
    return "  " + WindowRecord("KwPushButton", strId,
                               "  short 35 " + std::to_string(10 + 90 * nIndex) + "\n  short 36 170\n  short 37 80\n"
                                   "  short 38 24\n  short 39 0\n  short 40 15\n  short 41 0\n  string 43 \"&OK\"\n"
                                   "  short 92 5\n  short 301 " + (nIndex == 0 ? "1" : "0") + "\n");
}

} // namespace

unsigned long StandardPictureColor(const std::string& strId)
{
    for (const auto& coPicture : s_aPictures) {
        if (strId == coPicture.pszId)
            return coPicture.ulColor;
    }
    return 0;
}

std::vector<TKwtRecord> StandardRecords()
{
    const std::string strChildren =
        "  " + WindowRecord("KwStatic", "BMP_INFO",
                            "  short 35 5\n  short 36 5\n  short 37 32\n  short 38 32\n  short 40 15\n"
                            "  string 321 \"BMP_MBINFO\"\n  short 322 2\n  long 323 16711935\n")
        + "  " + WindowRecord("KwStatic", "MESSAGE",
                              "  short 35 42\n  short 36 5\n  short 37 250\n  short 38 150\n  short 40 15\n"
                              "  short 41 0\n  short 311 17\n")
        + Button(0) + Button(1) + Button(2);
    std::vector<TKwtRecord> coRecords = {
        { "__KwProjectInfo", "KwFileHdlInfo",
          "resource 31 class \"KwFileHdlInfo\" cpp absent wparam 0 lparam 0\n  string 21 \"__KwProjectInfo\"\n"
          "  string 26 \"Standard resource file of the tests\"\nend\n" },
        { "DLG_GER_MESSAGE", "KwWFrame",
          WindowRecord("KwWFrame", "DLG_GER_MESSAGE",
                       "  long 32 -2134376448\n  long 33 1\n  short 35 0\n  short 36 0\n  short 37 400\n"
                       "  short 38 250\n  short 40 15\n  string 43 \"Message\"\n",
                       strChildren) },
    };
    for (const auto& coPicture : s_aPictures) {
        const int nSize = coPicture.nSize;
        const auto Index = [nSize](int x, int y) {
            const int nDx = 2 * x + 1 - nSize;
            const int nDy = 2 * y + 1 - nSize;
            const int nRadius = nSize - 2;
            const int nDistance = nDx * nDx + nDy * nDy;
            if (nDistance > nRadius * nRadius)
                return 0;
            return nDistance > (nRadius - 4) * (nRadius - 4) ? 2 : 1;
        };
        coRecords.push_back({ coPicture.pszId, "KwDib",
                              DibRecord(coPicture.pszId, nSize, nSize, { Magenta, coPicture.ulColor, 0x000000 }, Index) });
    }
    return coRecords;
}

} // namespace kw25test
