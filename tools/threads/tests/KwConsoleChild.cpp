// The console program that the console-process tests run. Every mode ends
// the process as soon as its last byte is written.
//   echo <n>     reads exactly n bytes from standard input, writes them back
//   large <n>    writes n bytes of numbered lines ("00000000\n", ...) in pieces of 1000 bytes
//   both <k>     writes "out<i>\n" to standard output and "err<i>\n" to standard error, k times
//   sleep <s>    writes "sleeping\n", sleeps s seconds, writes "woke\n"
//   silent       writes nothing
#include "KwWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int WriteAll(HANDLE hOut, const char* pchData, DWORD dwCount)
{
    while (dwCount) {
        DWORD dwWritten = 0;
        if (!WriteFile(hOut, pchData, dwCount, &dwWritten, nullptr) || !dwWritten)
            return 0;
        pchData += dwWritten;
        dwCount -= dwWritten;
    }
    return 1;
}

int Echo(unsigned long ulCount)
{
    std::string sData;
    char achBuffer[512];
    while (sData.size() < ulCount) {
        DWORD dwRead = 0;
        const DWORD dwWant = static_cast<DWORD>(std::min<size_t>(sizeof achBuffer, ulCount - sData.size()));
        if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), achBuffer, dwWant, &dwRead, nullptr) || !dwRead)
            return 2;
        sData.append(achBuffer, dwRead);
    }
    return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), sData.data(), static_cast<DWORD>(sData.size())) ? 0 : 3;
}

int Large(unsigned long ulCount)
{
    std::string sData;
    for (unsigned long i = 0; sData.size() < ulCount; ++i) {
        char szLine[16];
        std::snprintf(szLine, sizeof szLine, "%08lu\n", i);
        sData += szLine;
    }
    sData.resize(ulCount);
    HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    for (size_t nAt = 0; nAt < sData.size(); nAt += 1000) {
        const DWORD dwPiece = static_cast<DWORD>(std::min<size_t>(1000, sData.size() - nAt));
        if (!WriteAll(hOut, sData.data() + nAt, dwPiece))
            return 3;
    }
    return 0;
}

int Both(unsigned long ulCount)
{
    for (unsigned long i = 0; i < ulCount; ++i) {
        const std::string sOut = "out" + std::to_string(i) + "\n";
        const std::string sErr = "err" + std::to_string(i) + "\n";
        if (!WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), sOut.data(), static_cast<DWORD>(sOut.size())) ||
            !WriteAll(GetStdHandle(STD_ERROR_HANDLE), sErr.data(), static_cast<DWORD>(sErr.size())))
            return 3;
    }
    return 0;
}

int SleepFor(unsigned long ulSeconds)
{
    HANDLE hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!WriteAll(hOut, "sleeping\n", 9))
        return 3;
    Sleep(ulSeconds * 1000);
    return WriteAll(hOut, "woke\n", 5) ? 0 : 3;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const unsigned long ulArgument = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
    if (std::strcmp(argv[1], "echo") == 0)
        return Echo(ulArgument);
    if (std::strcmp(argv[1], "large") == 0)
        return Large(ulArgument);
    if (std::strcmp(argv[1], "both") == 0)
        return Both(ulArgument);
    if (std::strcmp(argv[1], "sleep") == 0)
        return SleepFor(ulArgument);
    if (std::strcmp(argv[1], "silent") == 0)
        return 0;
    return 1;
}
