#include "KwCopyFileSystem.h"

std::string KwCopyFileSystem::Join(const std::string& strDirectory, const std::string& strName) const
{
    if (strName.empty())
        return strDirectory;
    if (strDirectory.empty())
        return strName;
    std::string strPath = strDirectory;
    if (strPath.back() != Separator())
        strPath += Separator();
    return strPath + strName;
}

int KwCopyFileSystem::SplitLast(const std::string& strFull, std::string& strParent, std::string& strName) const
{
    const size_t nRoot = RootLength(strFull);
    if (strFull.size() <= nRoot)
        return 0;
    size_t nLast = strFull.find_last_of(Separator());
    if (nLast == std::string::npos || nLast < nRoot - 1)
        nLast = nRoot - 1;
    strName = strFull.substr(nLast + 1);
    strParent = strFull.substr(0, nLast + 1 > nRoot ? nLast : nRoot);
    return strName.empty() ? 0 : 1;
}

std::vector<std::string> KwCopyFileSystem::Components(const std::string& strFull) const
{
    std::vector<std::string> vecNames;
    size_t nStart = RootLength(strFull);
    while (nStart < strFull.size()) {
        size_t nEnd = strFull.find(Separator(), nStart);
        if (nEnd == std::string::npos)
            nEnd = strFull.size();
        if (nEnd > nStart)
            vecNames.push_back(strFull.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return vecNames;
}

int KwCopyFileSystem::IsSameOrBelow(const std::string& strPath, const std::string& strBase) const
{
    const size_t nRootPath = RootLength(strPath);
    if (nRootPath != RootLength(strBase) || !SameName(strPath.substr(0, nRootPath), strBase.substr(0, nRootPath)))
        return 0;
    const std::vector<std::string> vecPath = Components(strPath);
    const std::vector<std::string> vecBase = Components(strBase);
    if (vecBase.size() > vecPath.size())
        return 0;
    for (size_t i = 0; i < vecBase.size(); ++i)
        if (!SameName(vecPath[i], vecBase[i]))
            return 0;
    return 1;
}

KwCopyStat::Kind KwCopyStat::KindOf(uint32_t ulAttributes, uint32_t ulReparseTag)
{
    if (!(ulAttributes & AttrDirectory))
        return File;
    if (!(ulAttributes & AttrReparsePoint))
        return Directory;
    // An unknown tag is taken for a link: descending a link could copy a
    // tree that is not part of this one, or loop.
    return ulReparseTag == 0 || (ulReparseTag & TagNameSurrogate) ? DirectoryLink : Directory;
}

int KwCopyFileSystem::LiesWithin(const std::string& strPath, const std::string& strBase)
{
    if (IsSameOrBelow(strPath, strBase))
        return 1;
    KwCopyError coError;
    std::string strFinalBase;
    if (!FinalPath(strBase, strFinalBase, coError))
        strFinalBase = strBase;
    // The nearest existing ancestor of the path, resolved, and the names
    // below it that do not exist yet.
    std::string strExisting = strPath;
    std::string strFinal;
    std::vector<std::string> vecBelow;
    while (!FinalPath(strExisting, strFinal, coError)) {
        std::string strParent;
        std::string strName;
        if (!SplitLast(strExisting, strParent, strName))
            return 0;
        vecBelow.push_back(strName);
        strExisting = strParent;
    }
    std::string strResolved = strFinal;
    for (auto it = vecBelow.rbegin(); it != vecBelow.rend(); ++it)
        strResolved = Join(strResolved, *it);
    if (IsSameOrBelow(strResolved, strFinalBase))
        return 1;
    // One directory can have two final paths (two drive letters or mounts
    // of one volume): its identity tells.
    KwCopyIdentity coBase;
    if (!Identity(strBase, coBase, coError))
        return 0;
    for (const std::string& strStart : { strExisting, strFinal }) {
        for (std::string strUp = strStart;;) {
            KwCopyIdentity coIdentity;
            if (Identity(strUp, coIdentity, coError) && coIdentity == coBase)
                return 1;
            std::string strParent;
            std::string strName;
            if (!SplitLast(strUp, strParent, strName))
                break;
            strUp = strParent;
        }
    }
    return 0;
}

int KwCopyFileSystem::MatchesPattern(const std::string& strPattern, const std::string& strName) const
{
    const std::string strP = strPattern == "*.*" ? std::string("*") : NameKey(strPattern);
    const std::string strN = NameKey(strName);
    // Steps over one UTF-8 character, so that "?" is one character.
    const auto Next = [&strN](size_t n) {
        ++n;
        while (n < strN.size() && (static_cast<unsigned char>(strN[n]) & 0xC0) == 0x80)
            ++n;
        return n;
    };
    size_t p = 0;
    size_t n = 0;
    size_t nStar = std::string::npos;
    size_t nMark = 0;
    while (n < strN.size()) {
        if (p < strP.size() && strP[p] == '?') {
            ++p;
            n = Next(n);
        } else if (p < strP.size() && strP[p] == '*') {
            nStar = ++p;
            nMark = n;
        } else if (p < strP.size() && strP[p] == strN[n]) {
            ++p;
            ++n;
        } else if (nStar != std::string::npos) {
            p = nStar;
            n = nMark = Next(nMark);
        } else {
            return 0;
        }
    }
    while (p < strP.size() && strP[p] == '*')
        ++p;
    return p == strP.size() ? 1 : 0;
}
