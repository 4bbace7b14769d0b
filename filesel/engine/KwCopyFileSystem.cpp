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
