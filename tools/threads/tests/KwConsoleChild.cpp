// The console program that the console-process tests run:
//   echo <n>    writes "ready\n", reads n bytes from standard input, writes them back, then sleeps a minute
//   large <n>   writes kwtest::NumberedLines(n) in pieces of 1000 bytes, every second piece to standard error
#include "KwTestTools.h"
#include "KwWindows.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Put(DWORD dwStd, const std::string& sData)
{
    DWORD dwWritten = 0;
    const DWORD dwSize = static_cast<DWORD>(sData.size());
    return WriteFile(GetStdHandle(dwStd), sData.data(), dwSize, &dwWritten, nullptr) && dwWritten == dwSize;
}

int Run(const char* pszMode, unsigned long ulSize)
{
    if (std::strcmp(pszMode, "large") == 0) {
        const std::string sData = kwtest::NumberedLines(ulSize);
        for (size_t nAt = 0; nAt < sData.size(); nAt += 1000)
            if (!Put(nAt % 2000 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, sData.substr(nAt, 1000)))
                return 3;
        return 0;
    }
    if (std::strcmp(pszMode, "echo") != 0 || !Put(STD_OUTPUT_HANDLE, "ready\n"))
        return 1;
    std::string sData(ulSize, '\0');
    DWORD dwRead = 0;
    for (size_t nAt = 0; nAt < sData.size(); nAt += dwRead) {
        const DWORD dwWanted = static_cast<DWORD>(sData.size() - nAt);
        if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &sData[nAt], dwWanted, &dwRead, nullptr) || !dwRead)
            return 2;
    }
    if (!Put(STD_OUTPUT_HANDLE, sData))
        return 3;
    Sleep(60000);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return argc < 2 ? 1 : Run(argv[1], argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0);
}
