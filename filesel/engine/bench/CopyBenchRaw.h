#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// The raw limit of copying: the system's plain calls, no checks, no
// rights, 1 MiB buffers (FindFirstFile, CreateDirectory, CreateFile,
// ReadFile and WriteFile on Windows; readdir, mkdir, open, read and write
// natively). CopyBench splits the files over its threads.

constexpr size_t kRawBuffer = 1 << 20;

// A name beside strTarget that no other call gives, in the engine's form
// ("~raw" and eight hexadecimal digits, ".tmp": no DOS short name).
inline std::string RawTemporaryName(const std::string& strTarget)
{
    static std::atomic<unsigned> s_ulNext { 0 };
    const size_t ulSlash = strTarget.find_last_of("/\\");
    char szName[32];
    std::snprintf(szName, sizeof(szName), "~raw%08x.tmp", s_ulNext.fetch_add(1));
    return strTarget.substr(0, ulSlash == std::string::npos ? 0 : ulSlash + 1) + szName;
}

using TRawFiles = std::vector<std::pair<std::string, std::string>>;

// The entries below a directory, counted through the plain enumeration
// (with what FindFirstFile reports of each).
uint64_t RawEnumerate(const std::string& strDirectory);
// Makes strTarget and every directory below strSource there, and lists
// each file with its copy's path; 1 when everything was made and listed.
int RawMakeTree(const std::string& strSource, const std::string& strTarget, TRawFiles& vecFiles);
// Copies one file through the buffer (kRawBuffer bytes); 1 when it was copied.
// nRenamed: as the engine does, under a new name of its own beside the
// target (RawTemporaryName), renamed to the target's while still open.
int RawCopyFile(const std::string& strSource, const std::string& strTarget, char* pchBuffer, int nRenamed = 0);

// The share (0 to 1) of a file's pages that the system's cache holds, or
// -1 where the system does not tell (Windows).
double RawCachedShare(const std::string& strFile);
// Writes a file's data out of the system's cache to the disk; 1 when done.
int RawFlush(const std::string& strFile);
// Writes a file's dirty pages out and drops it from the system's cache,
// where the system lets a program do that (natively); 1 when it did.
int RawUncache(const std::string& strFile);
