#include "KwFileSelDropRules.h"

#include "TFileSelection.h"

std::string KwFileSelDropRules::UnreachableName(const std::string& strShown)
{
    return "the name of \"" + strShown + "\" has characters that this system's code page lacks, and its volume "
           "keeps no short name for it";
}

std::string KwFileSelDropRules::SystemPaths(const TFileSelection& coFiles, std::vector<std::string>& vecPaths)
{
    vecPaths.clear();
    for (long i = 0; i < coFiles.Count(); ++i) {
        const TFileInfo coInfo = coFiles.GetFile(i);
        const TString coName = coInfo.SystemName();
        if (coName.IsEmpty())
            return UnreachableName(std::string(coInfo.Path()) + "\\" + static_cast<const char*>(coInfo.Name()));
        vecPaths.push_back(std::string(coInfo.Path()) + "\\" + static_cast<const char*>(coName));
    }
    return std::string();
}

std::string KwFileSelDropRules::SystemFiles(const TFileSelection& coFiles, TFileSelection& coSystem)
{
    coSystem = TFileSelection(TFileSelection::SortNone);
    for (long i = 0; i < coFiles.Count(); ++i) {
        TFileInfo coInfo = coFiles.GetFile(i);
        const TString coName = coInfo.SystemName();
        if (coName.IsEmpty())
            return UnreachableName(std::string(coInfo.Path()) + "\\" + static_cast<const char*>(coInfo.Name()));
        coInfo.SetName(coName);
        coSystem.AddFile(coInfo);
    }
    return std::string();
}

std::string KwFileSelDropRules::ExistingDirectory(const std::string& strPath, std::string& strFull) const
{
    if (strPath.empty() || !m_coFs.FullPath(strPath, strFull))
        return "there is no directory to copy to";
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    if (!m_coFs.StatFollowing(strFull, coEntry, coError))
        return "\"" + strFull + "\" does not exist";
    if (coEntry.m_coStat.m_eKind != KwCopyStat::Directory)
        return "\"" + strFull + "\" is not a directory";
    return std::string();
}

bool KwFileSelDropRules::SameDirectory(const std::string& strA, const std::string& strB) const
{
    if (m_coFs.IsSameOrBelow(strA, strB) && m_coFs.IsSameOrBelow(strB, strA))
        return true;
    KwCopyIdentity coA;
    KwCopyIdentity coB;
    KwCopyError coError;
    return m_coFs.Identity(strA, coA, coError) && m_coFs.Identity(strB, coB, coError) && coA == coB;
}

std::string KwFileSelDropRules::CheckDirectoryDrop(const std::string& strSource, const std::string& strTarget) const
{
    std::string strTo;
    std::string strReason = ExistingDirectory(strTarget, strTo);
    if (!strReason.empty())
        return strReason;
    std::string strFrom;
    strReason = ExistingDirectory(strSource, strFrom);
    if (!strReason.empty())
        return strReason;
    // The copy lands at TARGET\NAME: refused when that is the source or
    // lies inside it, under any name that leads there.
    std::string strParent;
    std::string strName;
    const std::string strLanding = m_coFs.SplitLast(strFrom, strParent, strName) ? m_coFs.Join(strTo, strName) : strTo;
    if (m_coFs.LiesWithin(strLanding, strFrom))
        return "the copy of \"" + strFrom + "\" would lie inside itself";
    return std::string();
}

std::string KwFileSelDropRules::CheckFilesDrop(const std::vector<std::string>& vecFiles,
                                               const std::string& strTarget) const
{
    std::string strTo;
    std::string strReason = ExistingDirectory(strTarget, strTo);
    if (!strReason.empty())
        return strReason;
    if (vecFiles.empty())
        return "no files are selected";
    for (const std::string& strFile : vecFiles) {
        std::string strFull;
        std::string strDirectory;
        std::string strName;
        if (!m_coFs.FullPath(strFile, strFull) || !m_coFs.SplitLast(strFull, strDirectory, strName))
            return "\"" + strFile + "\" is no file";
        if (SameDirectory(strDirectory, strTo))
            return "\"" + strName + "\" is in \"" + strTo + "\" already";
    }
    return std::string();
}
