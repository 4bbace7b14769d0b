#pragma once

// Whole files as byte strings, for the tests and the fuzz programs alike
// (no test framework needed).

#include <cstdio>
#include <string>

namespace kwtest {

// The file's bytes into bytes; false when it cannot be opened.
inline bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    FILE* pFile = std::fopen(path.c_str(), "rb");
    if (!pFile)
        return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0)
        bytes.append(buffer, n);
    std::fclose(pFile);
    return true;
}

// The file's bytes, or "<none>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, bytes) ? bytes : "<none>";
}

} // namespace kwtest
