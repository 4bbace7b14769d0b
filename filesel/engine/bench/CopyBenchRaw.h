#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The raw limit of copying: the system's plain calls, no checks, no
// rights, 1 MiB buffers (FindFirstFile, CreateDirectory, CreateFile,
// ReadFile and WriteFile on Windows; readdir, mkdir, open, read and write
// natively). CopyBench splits the files over its threads.

constexpr size_t kRawBuffer = 1 << 20;
using TRawFiles = std::vector<std::pair<std::string, std::string>>;

// The entries below a directory, counted through the plain enumeration
// (with what FindFirstFile reports of each).
uint64_t RawEnumerate(const std::string& strDirectory);
// Makes strTarget and every directory below strSource there, and lists
// each file with its copy's path; 1 when everything was made and listed.
int RawMakeTree(const std::string& strSource, const std::string& strTarget, TRawFiles& vecFiles);
// Copies one file through the buffer (kRawBuffer bytes); 1 when it was copied.
// nRenamed: as the engine does, under a name of its own beside the target
// (the target's with ".part"), renamed to the target's while still open.
int RawCopyFile(const std::string& strSource, const std::string& strTarget, char* pchBuffer, int nRenamed = 0);

// The share (0 to 1) of a file's pages that the system's cache holds, or
// -1 where the system does not tell (Windows).
double RawCachedShare(const std::string& strFile);
// Writes a file's data out of the system's cache to the disk; 1 when done.
int RawFlush(const std::string& strFile);
// Writes a file's dirty pages out and drops it from the system's cache,
// where the system lets a program do that (natively); 1 when it did.
int RawUncache(const std::string& strFile);
