#include "TFileInfo.h"

#include <cctype>

KW_IMPLEMENT_DYNAMIC_CLASS(TFileInfo, TDynBase, "kwtl")

TFileInfo::TFileInfo(const TFileInfo& coOther)
    : TDynBase(coOther)
    , m_coName(coOther.m_coName)
    , m_coPath(coOther.m_coPath)
    , m_unAttributes(coOther.m_unAttributes)
    , m_ulSize(coOther.m_ulSize)
    , m_ullSize(coOther.m_ullSize)
    , m_ulLastModified(coOther.m_ulLastModified)
    , m_ulCreationTime(coOther.m_ulCreationTime)
    , m_ulLastAccessed(coOther.m_ulLastAccessed)
    , m_ulSystemAttributes(coOther.m_ulSystemAttributes)
    , m_coAlias(coOther.m_coAlias)
    , m_nNameLost(coOther.m_nNameLost)
{
}

TFileInfo& TFileInfo::operator=(const TFileInfo& coOther)
{
    if (this == &coOther)
        return *this;
    m_coName = coOther.m_coName;
    m_coPath = coOther.m_coPath;
    m_unAttributes = coOther.m_unAttributes;
    m_ulSize = coOther.m_ulSize;
    m_ullSize = coOther.m_ullSize;
    m_ulLastModified = coOther.m_ulLastModified;
    m_ulCreationTime = coOther.m_ulCreationTime;
    m_ulLastAccessed = coOther.m_ulLastAccessed;
    m_ulSystemAttributes = coOther.m_ulSystemAttributes;
    m_coAlias = coOther.m_coAlias;
    m_nNameLost = coOther.m_nNameLost;
    return *this;
}

TString TFileInfo::SystemName() const
{
    return m_nNameLost ? m_coAlias : m_coName;
}

void TFileInfo::Destroy(void* pvInfo)
{
    delete static_cast<TFileInfo*>(pvInfo);
}

namespace {

// Compares two name parts like _stricmp; a part ends at its end pointer.
int ComparePart(const char* pszA, const char* pszEndA, const char* pszB, const char* pszEndB)
{
    for (;; ++pszA, ++pszB) {
        const int a = pszA < pszEndA ? std::tolower(static_cast<unsigned char>(*pszA)) : 0;
        const int b = pszB < pszEndB ? std::tolower(static_cast<unsigned char>(*pszB)) : 0;
        if (a != b || a == 0)
            return a - b;
    }
}

const char* EndOfText(const char* pszText)
{
    while (*pszText)
        ++pszText;
    return pszText;
}

// A name split at its first "." into base and extension; without a "."
// the extension is empty.
struct TNameParts {
    explicit TNameParts(const char* pszName)
        : m_pszBase(pszName)
    {
        m_pszBaseEnd = pszName;
        while (*m_pszBaseEnd && *m_pszBaseEnd != '.')
            ++m_pszBaseEnd;
        m_pszExt = *m_pszBaseEnd ? m_pszBaseEnd + 1 : m_pszBaseEnd;
        m_pszExtEnd = EndOfText(m_pszExt);
    }

    const char* m_pszBase;
    const char* m_pszBaseEnd;
    const char* m_pszExt;
    const char* m_pszExtEnd;
};

int CompareBases(const TNameParts& coA, const TNameParts& coB)
{
    return ComparePart(coA.m_pszBase, coA.m_pszBaseEnd, coB.m_pszBase, coB.m_pszBaseEnd);
}

int CompareExtensions(const TNameParts& coA, const TNameParts& coB)
{
    return ComparePart(coA.m_pszExt, coA.m_pszExtEnd, coB.m_pszExt, coB.m_pszExtEnd);
}

// The order of null records, which sort first; 2 when both are records.
int CompareNull(const void* pvA, const void* pvB)
{
    if (pvA && pvB)
        return 2;
    return pvA ? 1 : (pvB ? -1 : 0);
}

const TFileInfo& Info(const void* pv)
{
    return *static_cast<const TFileInfo*>(pv);
}

int CompareUnsigned(unsigned long ulA, unsigned long ulB)
{
    return ulA < ulB ? -1 : (ulA > ulB ? 1 : 0);
}

} // namespace

int TFileInfo::CompareByName(const void* pvA, const void* pvB)
{
    const int nNull = CompareNull(pvA, pvB);
    if (nNull != 2)
        return nNull;
    const TNameParts coA(Info(pvA).m_coName);
    const TNameParts coB(Info(pvB).m_coName);
    const int nBase = CompareBases(coA, coB);
    return nBase != 0 ? nBase : CompareExtensions(coA, coB);
}

int TFileInfo::CompareByExt(const void* pvA, const void* pvB)
{
    const int nNull = CompareNull(pvA, pvB);
    if (nNull != 2)
        return nNull;
    const TNameParts coA(Info(pvA).m_coName);
    const TNameParts coB(Info(pvB).m_coName);
    // With equal extensions the name order comes down to the bases.
    const int nExt = CompareExtensions(coA, coB);
    return nExt != 0 ? nExt : CompareBases(coA, coB);
}

int TFileInfo::CompareByDate(const void* pvA, const void* pvB)
{
    const int nNull = CompareNull(pvA, pvB);
    if (nNull != 2)
        return nNull;
    const int nDate = CompareUnsigned(Info(pvA).m_ulLastModified, Info(pvB).m_ulLastModified);
    return nDate != 0 ? nDate : CompareByName(pvA, pvB);
}

int TFileInfo::CompareBySize(const void* pvA, const void* pvB)
{
    const int nNull = CompareNull(pvA, pvB);
    if (nNull != 2)
        return nNull;
    const int nSize = CompareUnsigned(Info(pvA).m_ulSize, Info(pvB).m_ulSize);
    return nSize != 0 ? nSize : CompareByName(pvA, pvB);
}
