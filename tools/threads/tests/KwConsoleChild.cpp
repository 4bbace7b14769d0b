// The console program that the console-process tests run. Every mode ends
// the process as soon as its last byte is written.
//   echo <n>     reads exactly n bytes from standard input, writes them back
//   large <n>    writes kwtest::NumberedLines(n) in pieces of 1000 bytes, every
//                second piece to standard error
//   sleep <s>    writes "sleeping\n", then sleeps s seconds
#include "KwTestTools.h"
#include "KwWindows.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Put(DWORD dwStd, const std::string& sData)
{
    for (size_t nAt = 0; nAt < sData.size();) {
        DWORD dwWritten = 0;
        if (!WriteFile(GetStdHandle(dwStd), sData.data() + nAt, static_cast<DWORD>(sData.size() - nAt), &dwWritten,
                       nullptr) || !dwWritten)
            return false;
        nAt += dwWritten;
    }
    return true;
}

int Run(const char* pszMode, unsigned long ulArgument)
{
    if (std::strcmp(pszMode, "echo") == 0) {
        std::string sData(ulArgument, '\0');
        for (size_t nAt = 0; nAt < sData.size();) {
            DWORD dwRead = 0;
            if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &sData[nAt], static_cast<DWORD>(sData.size() - nAt), &dwRead,
                          nullptr) || !dwRead)
                return 2;
            nAt += dwRead;
        }
        return Put(STD_OUTPUT_HANDLE, sData) ? 0 : 3;
    }
    if (std::strcmp(pszMode, "large") == 0) {
        const std::string sData = kwtest::NumberedLines(ulArgument);
        for (size_t nAt = 0; nAt < sData.size(); nAt += 1000)
            if (!Put(nAt % 2000 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, sData.substr(nAt, 1000)))
                return 3;
        return 0;
    }
    if (std::strcmp(pszMode, "sleep") != 0 || !Put(STD_OUTPUT_HANDLE, "sleeping\n"))
        return 1;
    Sleep(ulArgument * 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return argc < 2 ? 1 : Run(argv[1], argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0);
}
