#include "KwGdiTypes.h"

#include "TUtf8.h"

#include <cstring>

namespace {

void CopyCut(char* pszTarget, const char* pszSource)
{
    if (!pszSource)
        pszSource = "";
    const size_t nKept = TUtf8::Fit(pszSource, std::strlen(pszSource), KwLogFont::TextSize - 1);
    std::memcpy(pszTarget, pszSource, nKept);
    pszTarget[nKept] = 0;
}

} // namespace

KwLogFont::KwLogFont()
{
    m_szAdditional[0] = 0;
    m_szName[0] = 0;
}

void KwLogFont::SetName(const char* pszName)
{
    CopyCut(m_szName, pszName);
}

void KwLogFont::SetAdditional(const char* pszText)
{
    CopyCut(m_szAdditional, pszText);
}

bool KwLogFont::operator==(const KwLogFont& coOther) const
{
    return std::strcmp(m_szName, coOther.m_szName) == 0
        && std::memcmp(m_anFurther, coOther.m_anFurther, sizeof m_anFurther) == 0
        && m_nHeight == coOther.m_nHeight && m_nWidth == coOther.m_nWidth
        && m_nEscapement == coOther.m_nEscapement && m_nOrientation == coOther.m_nOrientation
        && m_unWeight == coOther.m_unWeight && m_nItalic == coOther.m_nItalic
        && m_nUnderline == coOther.m_nUnderline && m_nStrikeOut == coOther.m_nStrikeOut
        && m_unCharSet == coOther.m_unCharSet && m_unPitch == coOther.m_unPitch
        && m_unFamily == coOther.m_unFamily;
}
