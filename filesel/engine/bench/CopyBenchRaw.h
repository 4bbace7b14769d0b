#pragma once

#include <cstdint>
#include <string>

// The raw limit of copying: the system's plain calls, no checks, no
// rights, 1 MiB buffers (FindFirstFile, CreateFile, ReadFile and WriteFile
// on Windows; readdir, fstatat, read and write natively).

// The entries below a directory, counted through the plain enumeration
// (with what FindFirstFile reports of each).
uint64_t RawEnumerate(const std::string& strDirectory);
// Copies the directory strSource with everything in it to strTarget
// (made here); 1 when everything was copied.
int RawCopyTree(const std::string& strSource, const std::string& strTarget);
