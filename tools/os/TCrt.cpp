#include "TCrt.h"

#include <cctype>
#include <cstring>

namespace {

int Lowered(const char* psz, size_t i)
{
    return std::tolower(static_cast<unsigned char>(psz[i]));
}

} // namespace

int CrtStricmp(const char* pszA, const char* pszB)
{
    for (size_t i = 0;; ++i) {
        const int a = Lowered(pszA, i);
        const int b = Lowered(pszB, i);
        if (a != b || a == 0)
            return a - b;
    }
}

int CrtStrnicmp(const char* pszA, const char* pszB, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i) {
        const int a = Lowered(pszA, i);
        const int b = Lowered(pszB, i);
        if (a != b || a == 0)
            return a - b;
    }
    return 0;
}

char* CrtStrrev(char* pszText)
{
    size_t n = std::strlen(pszText);
    for (size_t i = 0; i < n / 2; ++i) {
        const char c = pszText[i];
        pszText[i] = pszText[n - 1 - i];
        pszText[n - 1 - i] = c;
    }
    return pszText;
}
