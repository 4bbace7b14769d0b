#include "TUtf8.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

int AsciiLower(unsigned char b)
{
    return b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b;
}

} // namespace

size_t TUtf8::CharSize(const char* pchText, size_t nRest)
{
    if (!pchText || nRest == 0)
        return 0;
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(pchText);
    size_t nSize;
    unsigned long ulMin;
    if (pb[0] >= 0xC2 && pb[0] <= 0xDF) {
        nSize = 2;
        ulMin = 0x80;
    } else if (pb[0] >= 0xE0 && pb[0] <= 0xEF) {
        nSize = 3;
        ulMin = 0x800;
    } else if (pb[0] >= 0xF0 && pb[0] <= 0xF4) {
        nSize = 4;
        ulMin = 0x10000;
    } else {
        return 1;
    }
    if (nSize > nRest)
        return 1;
    unsigned long ulCode = pb[0] & (0x7F >> nSize);
    for (size_t i = 1; i < nSize; ++i) {
        if (!IsContinuation(pb[i]))
            return 1;
        ulCode = (ulCode << 6) | (pb[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are no
    // characters: their bytes stand for themselves.
    if (ulCode < ulMin || (ulCode >= 0xD800 && ulCode <= 0xDFFF) || ulCode > 0x10FFFF)
        return 1;
    return nSize;
}

size_t TUtf8::Next(const char* pchText, size_t nLength, size_t nPos)
{
    if (nPos >= nLength)
        return nLength;
    return nPos + CharSize(pchText + nPos, nLength - nPos);
}

size_t TUtf8::Prev(const char* pchText, size_t nLength, size_t nPos)
{
    if (nPos == 0)
        return 0;
    if (nPos > nLength)
        return nLength;
    // A character of up to four bytes ends here when its first byte, up to
    // three bytes back, starts a sequence of exactly that length.
    for (size_t nBack = 1; nBack <= 4 && nBack <= nPos; ++nBack) {
        const size_t nStart = nPos - nBack;
        if (IsContinuation(static_cast<unsigned char>(pchText[nStart])) && nBack < 4)
            continue;
        return CharSize(pchText + nStart, nLength - nStart) == nBack ? nStart : nPos - 1;
    }
    return nPos - 1;
}

size_t TUtf8::Fit(const char* pchText, size_t nLength, size_t nMax)
{
    if (nMax >= nLength)
        return nLength;
    size_t nPos = 0;
    for (;;) {
        const size_t nNext = Next(pchText, nLength, nPos);
        if (nNext > nMax || nNext == nPos)
            return nPos;
        nPos = nNext;
    }
}

size_t TUtf8::WithoutSplitEnd(const char* pchText, size_t nLength)
{
    for (size_t nBack = 1; nBack <= 3 && nBack <= nLength; ++nBack) {
        const unsigned char b = static_cast<unsigned char>(pchText[nLength - nBack]);
        if (IsContinuation(b))
            continue;
        const size_t nNeeded = b >= 0xF0 && b <= 0xF4 ? 4 : (b >= 0xE0 && b <= 0xEF ? 3 : (b >= 0xC2 && b <= 0xDF ? 2 : 1));
        return nNeeded > nBack ? nLength - nBack : nLength;
    }
    return nLength;
}

size_t TUtf8::CharCount(const char* pszText)
{
    if (!pszText)
        return 0;
    const size_t nLength = std::strlen(pszText);
    size_t nCount = 0;
    for (size_t nPos = 0; nPos < nLength; nPos = Next(pszText, nLength, nPos))
        ++nCount;
    return nCount;
}

int TUtf8::IsOneChar(const char* pszText)
{
    if (!pszText || !*pszText)
        return 0;
    const size_t nLength = std::strlen(pszText);
    return CharSize(pszText, nLength) == nLength ? 1 : 0;
}

unsigned long TUtf8::Decode(const char* pchText, size_t nRest, size_t* pnSize)
{
    const size_t nSize = CharSize(pchText, nRest);
    if (pnSize)
        *pnSize = nSize;
    if (nSize == 0)
        return 0;
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(pchText);
    if (nSize == 1)
        return pb[0];
    unsigned long ulCode = pb[0] & (0x7F >> nSize);
    for (size_t i = 1; i < nSize; ++i)
        ulCode = (ulCode << 6) | (pb[i] & 0x3F);
    return ulCode;
}

size_t TUtf8::Encode(unsigned long ulCode, char* pchOut)
{
    if ((ulCode >= 0xD800 && ulCode <= 0xDFFF) || ulCode > 0x10FFFF)
        return 0;
    if (ulCode < 0x80) {
        pchOut[0] = static_cast<char>(ulCode);
        return 1;
    }
    const size_t nSize = ulCode < 0x800 ? 2 : (ulCode < 0x10000 ? 3 : 4);
    static const unsigned char s_abLead[] = { 0, 0, 0xC0, 0xE0, 0xF0 };
    for (size_t i = nSize - 1; i > 0; --i) {
        pchOut[i] = static_cast<char>(0x80 | (ulCode & 0x3F));
        ulCode >>= 6;
    }
    pchOut[0] = static_cast<char>(s_abLead[nSize] | ulCode);
    return nSize;
}

int TUtf8::JoinUnit(unsigned short unUnit, unsigned short& unPending, unsigned long& ulCode)
{
    const bool bHigh = unUnit >= 0xD800 && unUnit <= 0xDBFF;
    const bool bLow = unUnit >= 0xDC00 && unUnit <= 0xDFFF;
    if (bLow && unPending) {
        ulCode = 0x10000 + ((static_cast<unsigned long>(unPending) - 0xD800) << 10) + (unUnit - 0xDC00);
        unPending = 0;
        return 1;
    }
    if (bHigh) {
        unPending = unUnit;
        return 0;
    }
    unPending = 0;
    ulCode = unUnit;
    return 1;
}

int TUtf8::SameCharIgnoringCase(const char* pchA, size_t nSizeA, const char* pchB, size_t nSizeB)
{
    if (nSizeA != nSizeB || !pchA || !pchB)
        return 0;
    if (nSizeA == 1)
        return AsciiLower(static_cast<unsigned char>(*pchA)) == AsciiLower(static_cast<unsigned char>(*pchB)) ? 1 : 0;
    return std::memcmp(pchA, pchB, nSizeA) == 0 ? 1 : 0;
}
