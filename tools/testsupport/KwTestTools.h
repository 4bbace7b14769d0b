#pragma once

// Small helpers of the library's tests: patterned bytes, waiting for a
// condition, the test program's own directory.

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#if defined(_WIN32)
#include "KwWindows.h"
#else
#include <climits>
#include <unistd.h>
#endif

namespace kwtest {

// The platform's path separator, as the tests write it.
#if defined(_WIN32)
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

// Bytes that differ from position to position, so that a piece copied to or
// from the wrong place shows.
inline std::string Pattern(size_t nLength)
{
    std::string bytes(nLength, 0);
    for (size_t i = 0; i < nLength; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Waits up to nSeconds for the condition; a test never hangs on a thread or
// a program that does not come.
inline bool WaitFor(const std::function<bool()>& fnCondition, int nSeconds = 20)
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (!fnCondition()) {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The directory of the running test program, with its trailing separator;
// the programs and modules the tests use are built beside it.
inline std::string ProgramDirectory()
{
#if defined(_WIN32)
    char szPath[MAX_PATH] = {};
    const DWORD ulLength = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    const std::string path(szPath, ulLength);
#else
    char szPath[PATH_MAX];
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
    const std::string path(szPath, nLength > 0 ? static_cast<size_t>(nLength) : 0);
#endif
    return path.substr(0, path.find_last_of("\\/") + 1);
}

// The output of the console child's "large <n>": n bytes of numbered lines,
// "00000000\n", "00000001\n", ...
inline std::string NumberedLines(size_t nCount)
{
    std::string sData;
    for (unsigned long i = 0; sData.size() < nCount; ++i) {
        const std::string sNumber = std::to_string(i);
        sData += std::string(8 - std::min<size_t>(8, sNumber.size()), '0') + sNumber + "\n";
    }
    sData.resize(nCount);
    return sData;
}

} // namespace kwtest
