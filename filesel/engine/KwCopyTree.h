#pragma once

#include "KwCopyFileSystem.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

// The entries of one copy, in the order the copy works on them: a gathered
// tree in depth-first pre-order (every directory before its contents,
// siblings in name order), or a selection of files in the order given.
//
// Every entry keeps the name the file system reported, so the copy's names
// have the source's case; its path is the chain of its parents, built when
// asked. Directories are recognised by what the file system says they
// are, whatever their attributes; links to directories and directories
// seen before (by identity) are never descended into.
class KwCopyTree {
public:
    enum Flag : uint8_t {
        Unlisted = 1,       // a directory whose contents could not be listed
        Loop = 2,           // a directory already gathered under another name
        Missing = 4,        // a selected entry that could not be found
        Unreadable = 8,     // listed, but its facts could not be read
    };
    struct Entry {
        std::string m_strName;
        int32_t m_lParent { -1 };       // the directory entry that holds it; -1 at the top
        int32_t m_lBase { 0 };          // the source directory of a top entry
        uint8_t m_nFlags { 0 };
        uint32_t m_ulError { 0 };       // why it is Unlisted, Missing or Unreadable
        KwCopyStat m_coStat;
    };
    using CancelTest = std::function<bool()>;

    explicit KwCopyTree(KwCopyFileSystem& coFileSystem) : m_coFs(coFileSystem) {}

    void Clear();

    // Gathering
    // Adds the directory strFull (itself first when nWithSelf is set and it
    // is not a root, a link to it followed, under the name the file system
    // spells) and everything below it. Stops when fnCanceled says so. 1 when
    // everything was found and listed.
    int Gather(const std::string& strFull, int nWithSelf, const CancelTest& fnCanceled);
    // Adds one selected entry, exactly the one its full path names, under
    // the name the file system spells; a missing one is kept, flagged
    // Missing, so that it is reported. 1 when it was found.
    int AddSelected(const std::string& strFull);
    // Whether a directory of this identity was gathered.
    int WasGathered(const KwCopyIdentity& coIdentity) const { return m_coVisited.count(coIdentity) ? 1 : 0; }

    // Entries
    long Count() const { return static_cast<long>(m_vecEntries.size()); }
    const Entry& operator[](long i) const { return m_vecEntries[static_cast<size_t>(i)]; }
    // The names from the top entry down to entry i, joined by the separator.
    std::string RelativePath(long i) const;
    std::string SourcePath(long i) const;
    std::string TargetPath(long i, const std::string& strTargetRoot) const;
    // The bytes of every file entry.
    uint64_t FileBytes() const;

    // Sibling order, as a key compared byte by byte: base names (up to the
    // first ".") without regard to case, then the extensions the same way,
    // then the exact names.
    static std::string SortKey(const std::string& strName);

private:
    struct Frame;
    int32_t Add(KwCopyDirEntry&& coEntry, int32_t lParent, int32_t lBase);
    static void Sort(std::vector<KwCopyDirEntry>& vecEntries);
    int32_t BaseOf(const std::string& strDirectory);
    // Lists a directory into a new frame; 0 (and the entry flagged) when it
    // cannot be listed or was gathered before.
    int Open(int32_t lEntry, const std::string& strPath, std::vector<Frame>& vecFrames);

    KwCopyFileSystem& m_coFs;
    std::vector<Entry> m_vecEntries;
    std::vector<std::string> m_vecBases;        // source directories of the top entries
    std::set<KwCopyIdentity> m_coVisited;       // directories listed so far
};
