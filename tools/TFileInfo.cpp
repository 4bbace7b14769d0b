#include "TFileInfo.h"


#include <cctype>

KW_IMPLEMENT_DYNAMIC_CLASS(TFileInfo, TDynBase, "kwtl")

TFileInfo::TFileInfo(const TFileInfo& coOther)
    : TDynBase(coOther)
    , m_coName(coOther.m_coName)
    , m_coPath(coOther.m_coPath)
    , m_unAttributes(coOther.m_unAttributes)
    , m_ulSize(coOther.m_ulSize)
    , m_ulLastModified(coOther.m_ulLastModified)
    , m_ulCreationTime(coOther.m_ulCreationTime)
    , m_ulLastAccessed(coOther.m_ulLastAccessed)
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
    m_ulLastModified = coOther.m_ulLastModified;
    m_ulCreationTime = coOther.m_ulCreationTime;
    m_ulLastAccessed = coOther.m_ulLastAccessed;
    return *this;
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

const char* EndOfBase(const char* pszName)
{
    while (*pszName && *pszName != '.')
        ++pszName;
    return pszName;
}

const char* EndOfText(const char* pszText)
{
    while (*pszText)
        ++pszText;
    return pszText;
}

} // namespace

int TFileInfo::CompareByName(const void* pvA, const void* pvB)
{
    if (!pvA || !pvB)
        return pvA ? 1 : (pvB ? -1 : 0);
    const char* pszA = static_cast<const TFileInfo*>(pvA)->m_coName;
    const char* pszB = static_cast<const TFileInfo*>(pvB)->m_coName;
    const char* pszBaseEndA = EndOfBase(pszA);
    const char* pszBaseEndB = EndOfBase(pszB);
    const int nBase = ComparePart(pszA, pszBaseEndA, pszB, pszBaseEndB);
    if (nBase != 0)
        return nBase;
    // The extensions follow the first "." (none without one).
    const char* pszExtA = *pszBaseEndA ? pszBaseEndA + 1 : pszBaseEndA;
    const char* pszExtB = *pszBaseEndB ? pszBaseEndB + 1 : pszBaseEndB;
    return ComparePart(pszExtA, EndOfText(pszExtA), pszExtB, EndOfText(pszExtB));
}
