#include "KwCopyTree.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

const KwCopyIdentity kNoIdentity {};

} // namespace

// One directory being walked: its listing, sorted, and how far the walk got.
struct KwCopyTree::Frame {
    int32_t m_lEntry { -1 };
    std::string m_strPath;
    std::vector<KwCopyDirEntry> m_vecChildren;
    size_t m_nNext { 0 };
};

std::string KwCopyTree::SortKey(const std::string& strName)
{
    // "\0" after the base and after the extension: a shorter base sorts
    // before a longer one that begins like it.
    const size_t nDot = std::min(strName.find('.'), strName.size());
    std::string strKey;
    strKey.reserve(2 * strName.size() + 2);
    for (size_t i = 0; i < strName.size(); ++i) {
        if (i == nDot)
            strKey += '\0';
        strKey += static_cast<char>(std::tolower(static_cast<unsigned char>(strName[i])));
    }
    if (nDot == strName.size())
        strKey += '\0';
    strKey += '\0';
    return strKey + strName;
}

void KwCopyTree::Sort(std::vector<KwCopyDirEntry>& vecEntries)
{
    std::vector<std::pair<std::string, size_t>> vecKeys;
    vecKeys.reserve(vecEntries.size());
    for (size_t i = 0; i < vecEntries.size(); ++i)
        vecKeys.emplace_back(SortKey(vecEntries[i].m_strName), i);
    std::sort(vecKeys.begin(), vecKeys.end());
    std::vector<KwCopyDirEntry> vecSorted;
    vecSorted.reserve(vecEntries.size());
    for (const auto& coKey : vecKeys)
        vecSorted.push_back(std::move(vecEntries[coKey.second]));
    vecEntries.swap(vecSorted);
}

void KwCopyTree::Clear()
{
    m_vecEntries.clear();
    m_vecBases.clear();
    m_coVisited.clear();
}

int32_t KwCopyTree::BaseOf(const std::string& strDirectory)
{
    if (m_vecBases.empty() || m_vecBases.back() != strDirectory)
        m_vecBases.push_back(strDirectory);
    return static_cast<int32_t>(m_vecBases.size() - 1);
}

int32_t KwCopyTree::Add(KwCopyDirEntry&& coEntry, int32_t lParent, int32_t lBase)
{
    Entry coNew;
    coNew.m_strName = std::move(coEntry.m_strName);
    coNew.m_lParent = lParent;
    coNew.m_lBase = lBase;
    coNew.m_coStat = coEntry.m_coStat;
    if (coEntry.m_ulError) {
        coNew.m_nFlags |= Unreadable;
        coNew.m_ulError = coEntry.m_ulError;
    }
    m_vecEntries.push_back(std::move(coNew));
    return static_cast<int32_t>(m_vecEntries.size() - 1);
}

int KwCopyTree::Open(int32_t lEntry, const std::string& strPath, std::vector<Frame>& vecFrames)
{
    Frame coFrame;
    coFrame.m_lEntry = lEntry;
    coFrame.m_strPath = strPath;
    KwCopyIdentity coIdentity;
    KwCopyError coError;
    if (!m_coFs.List(strPath, coFrame.m_vecChildren, &coIdentity, coError)) {
        if (lEntry >= 0) {
            m_vecEntries[static_cast<size_t>(lEntry)].m_nFlags |= Unlisted;
            m_vecEntries[static_cast<size_t>(lEntry)].m_ulError = coError.m_ulCode;
        }
        return 0;
    }
    // A directory met a second time (a mount or hard link that leads back)
    // would be copied again, or for ever.
    if (!(coIdentity == kNoIdentity) && !m_coVisited.insert(coIdentity).second) {
        if (lEntry >= 0)
            m_vecEntries[static_cast<size_t>(lEntry)].m_nFlags |= Loop;
        return -1;
    }
    Sort(coFrame.m_vecChildren);
    vecFrames.push_back(std::move(coFrame));
    return 1;
}

int KwCopyTree::Gather(const std::string& strFull, int nWithSelf, const CancelTest& fnCanceled)
{
    std::vector<Frame> vecFrames;
    std::string strParent;
    std::string strName;
    int32_t lBase;
    if (nWithSelf && m_coFs.SplitLast(strFull, strParent, strName)) {
        KwCopyDirEntry coSelf;
        KwCopyError coError;
        if (!m_coFs.StatFollowing(strFull, coSelf, coError) || !m_coFs.StoredName(strFull, coSelf.m_strName, coError))
            return 0;
        lBase = BaseOf(strParent);
        const bool bDirectory = coSelf.m_coStat.m_eKind == KwCopyStat::Directory && !coSelf.m_ulError;
        const int32_t lSelf = Add(std::move(coSelf), -1, lBase);
        if (!bDirectory)
            return 1;
        if (Open(lSelf, strFull, vecFrames) == 0)
            return 0;
    } else {
        lBase = BaseOf(strFull);
        if (Open(-1, strFull, vecFrames) == 0)
            return 0;
    }
    int nAll = 1;
    while (!vecFrames.empty()) {
        Frame& coTop = vecFrames.back();
        if (coTop.m_nNext == coTop.m_vecChildren.size()) {
            vecFrames.pop_back();
            continue;
        }
        if (fnCanceled && fnCanceled())
            return 0;
        KwCopyDirEntry& coChild = coTop.m_vecChildren[coTop.m_nNext++];
        if (coChild.m_coStat.m_eKind != KwCopyStat::Directory || coChild.m_ulError) {
            Add(std::move(coChild), coTop.m_lEntry, lBase);
            continue;
        }
        const std::string strPath = m_coFs.Join(coTop.m_strPath, coChild.m_strName);
        const int32_t lChild = Add(std::move(coChild), coTop.m_lEntry, lBase);
        if (Open(lChild, strPath, vecFrames) == 0)
            nAll = 0;
    }
    return nAll;
}

int KwCopyTree::AddSelected(const std::string& strFull)
{
    std::string strParent;
    std::string strName;
    if (!m_coFs.SplitLast(strFull, strParent, strName))
        strName = strFull;
    KwCopyDirEntry coEntry;
    KwCopyError coError;
    const int nFound = m_coFs.Stat(strFull, coEntry, coError) && m_coFs.StoredName(strFull, coEntry.m_strName, coError);
    if (!nFound)
        coEntry.m_strName = strName;
    const int32_t lEntry = Add(std::move(coEntry), -1, BaseOf(strParent));
    if (!nFound) {
        m_vecEntries[static_cast<size_t>(lEntry)].m_nFlags |= Missing;
        m_vecEntries[static_cast<size_t>(lEntry)].m_ulError = coError.m_ulCode;
    }
    return nFound;
}

std::string KwCopyTree::RelativePath(long i) const
{
    std::vector<const std::string*> vecNames;
    for (int32_t l = static_cast<int32_t>(i); l >= 0; l = m_vecEntries[static_cast<size_t>(l)].m_lParent)
        vecNames.push_back(&m_vecEntries[static_cast<size_t>(l)].m_strName);
    std::string strPath;
    for (auto it = vecNames.rbegin(); it != vecNames.rend(); ++it) {
        if (!strPath.empty())
            strPath += m_coFs.Separator();
        strPath += **it;
    }
    return strPath;
}

std::string KwCopyTree::SourcePath(long i) const
{
    return m_coFs.Join(m_vecBases[static_cast<size_t>((*this)[i].m_lBase)], RelativePath(i));
}

std::string KwCopyTree::TargetPath(long i, const std::string& strTargetRoot) const
{
    return m_coFs.Join(strTargetRoot, RelativePath(i));
}

uint64_t KwCopyTree::FileBytes() const
{
    uint64_t ullBytes = 0;
    for (const Entry& coEntry : m_vecEntries)
        if (coEntry.m_coStat.m_eKind == KwCopyStat::File && !(coEntry.m_nFlags & (Missing | Unreadable)))
            ullBytes += coEntry.m_coStat.m_ullSize;
    return ullBytes;
}
