#pragma once

#include "KwCopyFileSystem.h"

#include <string>
#include <vector>

class TFileSelection;

// The path rules of a drop between file selectors, decided in the drop
// check, before any progress window opens. Each check answers an empty
// text when the drop may go ahead, otherwise why it is refused.
//
// - The target must be an existing directory: a drop whose target cannot
//   be found never falls back to another directory.
// - A directory may not land on itself: its copy (TARGET\NAME) may not be
//   the source or lie inside it, so the source itself, anything below it
//   and its own parent are refused as targets, also through a link, a
//   junction, another drive letter or a mounted folder that leads there
//   (the engine's own check, KwCopyFileSystem::LiesWithin).
// - Files may not be dropped into the directory they are in.
// - On a system whose code page lacks some of a name's characters, an
//   entry is handed on by its 8.3 alias (TFileInfo::SystemName), never by
//   the name shown, whose "?" marks would be wildcards; without an alias it
//   cannot be copied at all.
class KwFileSelDropRules {
public:
    explicit KwFileSelDropRules(KwCopyFileSystem& coFs = KwCopyFileSystem::Platform()) : m_coFs(coFs) {}

    std::string CheckDirectoryDrop(const std::string& strSource, const std::string& strTarget) const;
    // vecFiles: the full paths of the dragged files.
    std::string CheckFilesDrop(const std::vector<std::string>& vecFiles, const std::string& strTarget) const;

    // Why an entry shown as strShown cannot be handed to the system.
    static std::string UnreachableName(const std::string& strShown);
    // The full paths of the files by their system names (directory, "\",
    // name); the reason of the first that has none, or empty.
    static std::string SystemPaths(const TFileSelection& coFiles, std::vector<std::string>& vecPaths);
    // The files as the copy engine gets them: each record with its system
    // name as its name; the reason of the first that has none, or empty.
    static std::string SystemFiles(const TFileSelection& coFiles, TFileSelection& coSystem);

private:
    // The full path of an existing directory, or the reason it is none.
    std::string ExistingDirectory(const std::string& strPath, std::string& strFull) const;
    // Whether the two paths lead to the same directory.
    bool SameDirectory(const std::string& strA, const std::string& strB) const;

    KwCopyFileSystem& m_coFs;
};
