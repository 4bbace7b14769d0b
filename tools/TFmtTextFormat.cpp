#include "TFmtTextFormat.h"

#include <cstring>

namespace {

size_t BoundedLen(const char* psz) { return strnlen(psz, size_t(TFmtTextFormat::MaxLen) + 1); }

char* CopyText(const char* psz, size_t nLen)
{
    char* pszCopy = new char[nLen + 1];
    std::memcpy(pszCopy, psz, nLen);
    pszCopy[nLen] = 0;
    return pszCopy;
}

} // namespace

TFmtTextFormat::TFmtTextFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea)
{
    SetFormat(pszTemplate, pszFormat, pszArea);
}

TFmtTextFormat::TFmtTextFormat(const TFmtTextFormat& coOther)
{
    SetFormat(coOther.m_pszTemplate, coOther.m_pszFormat, coOther.m_pszArea);
}

TFmtTextFormat& TFmtTextFormat::operator=(const TFmtTextFormat& coOther)
{
    if (this != &coOther)
        SetFormat(coOther.m_pszTemplate, coOther.m_pszFormat, coOther.m_pszArea);
    return *this;
}

TFmtTextFormat::~TFmtTextFormat() { FreeTexts(); }

void TFmtTextFormat::FreeTexts()
{
    delete[] m_pszTemplate;
    delete[] m_pszFormat;
    delete[] m_pszArea;
    m_pszTemplate = m_pszFormat = m_pszArea = nullptr;
}

// The copies are taken before the old texts are freed, so that this
// format's own texts can be passed in.
int TFmtTextFormat::SetFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea)
{
    size_t nLen = pszTemplate ? BoundedLen(pszTemplate) : 0;
    if (nLen == 0 || nLen > MaxLen || !pszFormat || BoundedLen(pszFormat) != nLen) {
        FreeTexts();
        return 0;
    }
    char* pszNewTemplate = CopyText(pszTemplate, nLen);
    char* pszNewFormat = CopyText(pszFormat, nLen);
    char* pszNewArea = pszArea && BoundedLen(pszArea) == nLen ? CopyText(pszArea, nLen) : nullptr;
    FreeTexts();
    m_pszTemplate = pszNewTemplate;
    m_pszFormat = pszNewFormat;
    m_pszArea = pszNewArea;
    return 1;
}
