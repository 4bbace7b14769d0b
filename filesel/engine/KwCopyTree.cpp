#include "KwCopyTree.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

int CompareNoCase(const char* pchA, size_t nA, const char* pchB, size_t nB)
{
    const size_t n = std::min(nA, nB);
    for (size_t i = 0; i < n; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(pchA[i]));
        const int b = std::tolower(static_cast<unsigned char>(pchB[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return nA == nB ? 0 : (nA < nB ? -1 : 1);
}

const KwCopyIdentity kNoIdentity {};

} // namespace

// One directory being walked: its listing, sorted, and how far the walk got.
struct KwCopyTree::Frame {
    int32_t m_lEntry { -1 };
    std::string m_strPath;
    std::vector<KwCopyDirEntry> m_vecChildren;
    size_t m_nNext { 0 };
};

bool KwCopyTree::NameLess(const std::string& strA, const std::string& strB)
{
    const size_t nDotA = std::min(strA.find('.'), strA.size());
    const size_t nDotB = std::min(strB.find('.'), strB.size());
    int n = CompareNoCase(strA.data(), nDotA, strB.data(), nDotB);
    if (n == 0)
        n = CompareNoCase(strA.data() + nDotA, strA.size() - nDotA, strB.data() + nDotB, strB.size() - nDotB);
    return n != 0 ? n < 0 : strA < strB;
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

int32_t KwCopyTree::Add(const KwCopyDirEntry& coEntry, int32_t lParent, int32_t lBase)
{
    Entry coNew;
    coNew.m_strName = coEntry.m_strName;
    coNew.m_lParent = lParent;
    coNew.m_lBase = lBase;
    coNew.m_coStat = coEntry.m_coStat;
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
    std::sort(coFrame.m_vecChildren.begin(), coFrame.m_vecChildren.end(),
              [](const KwCopyDirEntry& a, const KwCopyDirEntry& b) { return NameLess(a.m_strName, b.m_strName); });
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
        if (!m_coFs.Stat(strFull, coSelf, coError))
            return 0;
        lBase = BaseOf(strParent);
        const int32_t lSelf = Add(coSelf, -1, lBase);
        if (coSelf.m_coStat.m_eKind != KwCopyStat::Directory)
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
        const KwCopyDirEntry& coChild = coTop.m_vecChildren[coTop.m_nNext++];
        const int32_t lChild = Add(coChild, coTop.m_lEntry, lBase);
        if (coChild.m_coStat.m_eKind != KwCopyStat::Directory)
            continue;
        std::string strPath = m_coFs.Join(coTop.m_strPath, coChild.m_strName);
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
    const int nFound = m_coFs.Stat(strFull, coEntry, coError);
    if (!nFound)
        coEntry.m_strName = strName;
    const int32_t lEntry = Add(coEntry, -1, BaseOf(strParent));
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
        if (coEntry.m_coStat.m_eKind == KwCopyStat::File && !(coEntry.m_nFlags & Missing))
            ullBytes += coEntry.m_coStat.m_ullSize;
    return ullBytes;
}
