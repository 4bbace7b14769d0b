#include "TBootText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int BootCopy(char* pszTarget, size_t nSize, const char* pszSource)
{
    if (!pszTarget || nSize == 0)
        return 0;
    size_t nLength = strlen(pszSource);
    if (nLength >= nSize) {
        pszTarget[0] = '\0';
        return 0;
    }
    memcpy(pszTarget, pszSource, nLength + 1);
    return 1;
}

int BootAppend(char* pszTarget, size_t nSize, const char* pszSource)
{
    if (!pszTarget || nSize == 0)
        return 0;
    size_t nHave = strnlen(pszTarget, nSize);
    size_t nAdd = strlen(pszSource);
    if (nHave >= nSize || nAdd >= nSize - nHave) {
        pszTarget[0] = '\0';
        return 0;
    }
    memcpy(pszTarget + nHave, pszSource, nAdd + 1);
    return 1;
}

int BootFormat(char* pszTarget, size_t nSize, const char* pszFormat, ...)
{
    if (!pszTarget || nSize == 0)
        return 0;
    va_list args;
    va_start(args, pszFormat);
    int nLength = vsnprintf(pszTarget, nSize, pszFormat, args);
    va_end(args);
    if (nLength < 0 || static_cast<size_t>(nLength) >= nSize) {
        pszTarget[0] = '\0';
        return 0;
    }
    return 1;
}

int BootJoin(char* pszTarget, size_t nSize, const char* pszDir, const char* pszName)
{
    size_t nDir = strlen(pszDir);
    const char* pszSeparator = (nDir > 0 && pszDir[nDir - 1] == '\\') ? "" : "\\";
    return BootFormat(pszTarget, nSize, "%s%s%s", pszDir, pszSeparator, pszName);
}
