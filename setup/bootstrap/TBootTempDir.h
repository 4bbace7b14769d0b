#pragma once

#include <cstddef>
#include <cstdint>

// Where the setup starter puts its temporary directory, and how it takes it
// away again.
//
// The base is the directory named by TEMP (or TMP when TEMP is not set) when
// that is an absolute path "X:\..." on a drive with enough free space,
// otherwise the first drive root from c to z with enough free space. Below
// the base the first free name ~PLV0000.TMP ... ~PLV9999.TMP is used; an
// empty directory of that name, left over from an earlier run, is reused.
class TBootTempDir {
public:
    static constexpr size_t kMaxBase = 512;  // characters of TEMP or TMP that are looked at
    // Buffer sizes: the base with its backslash, the directory below it.
    static constexpr size_t kBaseSize = kMaxBase + 2;
    static constexpr size_t kDirSize = kBaseSize + sizeof("~PLV0000.TMP") - 1;
    static constexpr int kNameCount = 10000;

    // Free space of the drive that pszPath begins with ("X:"): free clusters
    // times sectors per cluster times bytes per sector; 0 when the query fails.
    static uint64_t DriveFreeSpace(const char* pszPath);
    static uint64_t NeededBytes(int nNeedSpaceMB) { return static_cast<uint64_t>(nNeedSpaceMB) * 1000000u; }

    // Choosing: the base ends in a backslash (nSize at least kBaseSize);
    // 0 when no drive will do.
    static int ChooseBase(char* pszBase, size_t nSize, int nNeedSpaceMB);
    // The candidate from the environment, trailing ";" removed; 0 when
    // neither variable is set or the value is longer than nSize - 1.
    static int EnvironmentCandidate(char* pszValue, size_t nSize);
    static int IsUsableCandidate(const char* pszCandidate, int nNeedSpaceMB);
    // The first free ~PLVnnnn.TMP below the base (without a trailing
    // backslash); an empty text when every name is in use.
    static int PickName(char* pszDir, size_t nSize, const char* pszBase);

    // Removing: the whole tree below pszDir and pszDir itself. Links
    // (reparse points) are removed as links and never followed, so nothing
    // outside the tree is touched. Answers 1 when nothing is left.
    static int RemoveTree(const char* pszDir);

private:
    static int IsDirectory(const char* pszPath);
    // 1 when the directory has no entries besides "." and "..".
    static int IsEmptyDirectory(const char* pszPath);
    static void RemoveContents(const char* pszDir, int nDepth);
    static int RemoveEntry(const char* pszPath, unsigned long ulAttributes, int nDepth);
};
