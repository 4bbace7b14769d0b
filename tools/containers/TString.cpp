#include "TString.h"

#include "TCrt.h"
#include "TRefMem.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

void (*TString::m_stpfnErr)(int) = nullptr;

namespace {

const char s_szEmpty[1] = "";
char s_chDummy = 0;
char s_szWritableEmpty[1] = "";

const char* Safe(const char* psz)
{
    return psz ? psz : "";
}

int Sign(int n)
{
    return n < 0 ? -1 : (n > 0 ? 1 : 0);
}

TRefMem* NewBlock(const char* pData, unsigned long ulSize)
{
    TRefMem* pcoMem = new TRefMem(pData, ulSize);
    pcoMem->Connect();
    return pcoMem;
}

} // namespace

TString::TString(const char* pszText)
{
    if (pszText)
        m_pcoMem = NewBlock(pszText, static_cast<unsigned long>(std::strlen(pszText) + 1));
}

TString::TString(const TString& coOther)
    : m_pcoMem(coOther.m_pcoMem)
{
    if (m_pcoMem)
        m_pcoMem->Connect();
}

TString::~TString()
{
    Release();
}

void TString::Release()
{
    if (!m_pcoMem)
        return;
    if (m_pcoMem->Disconnect() == 0)
        delete m_pcoMem;
    m_pcoMem = nullptr;
}

void TString::Adopt(TRefMem* pcoMem)
{
    Release();
    m_pcoMem = pcoMem;
}

TString& TString::operator=(const TString& coOther)
{
    if (this == &coOther || m_pcoMem == coOther.m_pcoMem)
        return *this;
    if (coOther.m_pcoMem)
        coOther.m_pcoMem->Connect();
    Adopt(coOther.m_pcoMem);
    return *this;
}

TString& TString::operator=(char chText)
{
    const char szText[2] = { chText, 0 };
    return Strcpy(szText);
}

TString& TString::operator+=(char chText)
{
    const char szText[2] = { chText, 0 };
    return Strcat(szText);
}

TString TString::operator+(const char* pszText) const
{
    TString coResult(*this);
    coResult.Strcat(pszText);
    return coResult;
}

TString TString::operator+(char chText) const
{
    TString coResult(*this);
    coResult += chText;
    return coResult;
}

const char* TString::Text() const
{
    if (!m_pcoMem || !m_pcoMem->GetMemory())
        return s_szEmpty;
    return m_pcoMem->GetMemory();
}

int TString::Strcmp(const char* pszText) const
{
    return Sign(std::strcmp(Text(), Safe(pszText)));
}

int TString::Stricmp(const char* pszText) const
{
    return CrtStricmp(Text(), Safe(pszText));
}

int TString::Strncmp(const char* pszText, int nCount) const
{
    return nCount <= 0 ? 0 : std::strncmp(Text(), Safe(pszText), static_cast<size_t>(nCount));
}

int TString::Strnicmp(const char* pszText, int nCount) const
{
    return nCount <= 0 ? 0 : CrtStrnicmp(Text(), Safe(pszText), static_cast<size_t>(nCount));
}

TString& TString::Strcpy(const char* pszText)
{
    if (!pszText) {
        Empty();
        return *this;
    }
    if (m_pcoMem && pszText == m_pcoMem->GetMemory())
        return *this;
    if (Strcmp(pszText) == 0)
        return *this;
    const unsigned long ulSize = static_cast<unsigned long>(std::strlen(pszText) + 1);
    if (m_pcoMem && m_pcoMem->GetRefCount() == 1 && m_pcoMem->GetSize() >= ulSize) {
        m_pcoMem->SetMemory(pszText, ulSize);
        return *this;
    }
    // The new block is made before the old one goes: pszText may point into it.
    Adopt(NewBlock(pszText, ulSize));
    return *this;
}

TString& TString::Strncpy(const char* pszText, int nCount)
{
    if (nCount == 0)
        return *this;
    if (!pszText) {
        Empty();
        return *this;
    }
    // At most nCount characters are looked at: the text need not end
    // within them (a character array has no terminating zero).
    size_t nLen = 0;
    if (nCount > 0) {
        const void* pvZero = std::memchr(pszText, 0, static_cast<size_t>(nCount));
        nLen = pvZero ? static_cast<size_t>(static_cast<const char*>(pvZero) - pszText) : static_cast<size_t>(nCount);
    } else {
        nLen = std::strlen(pszText);
    }
    std::unique_ptr<char[]> pszCopy(new char[nLen + 1]);
    std::memcpy(pszCopy.get(), pszText, nLen);
    pszCopy[nLen] = 0;
    return Strcpy(pszCopy.get());
}

TString& TString::Strcat(const char* pszText)
{
    if (!pszText || !*pszText)
        return *this;
    const size_t nOwn = static_cast<size_t>(Strlen());
    const size_t nAdd = std::strlen(pszText);
    TRefMem* pcoNew = new TRefMem(static_cast<unsigned long>(nOwn + nAdd + 1));
    std::memcpy(pcoNew->GetMemory(), Text(), nOwn);
    std::memcpy(pcoNew->GetMemory() + nOwn, pszText, nAdd + 1);
    pcoNew->Connect();
    Adopt(pcoNew);
    return *this;
}

TString& TString::SetText(const char* pszFormat, ...)
{
    if (!pszFormat || !*pszFormat) {
        Empty();
        return *this;
    }
    char szSmall[1024];
    std::unique_ptr<char[]> pszLarge;
    const size_t nArea = std::strlen(pszFormat) <= 256 ? sizeof szSmall : 8192;
    if (nArea > sizeof szSmall)
        pszLarge.reset(new char[nArea]);
    char* pszArea = pszLarge ? pszLarge.get() : szSmall;

    va_list args;
    va_start(args, pszFormat);
    va_list retry;
    va_copy(retry, args);
    int nLen = std::vsnprintf(pszArea, nArea, pszFormat, args);
    va_end(args);
    if (nLen >= 0 && static_cast<size_t>(nLen) >= nArea) {
        pszLarge.reset(new char[static_cast<size_t>(nLen) + 1]);
        pszArea = pszLarge.get();
        nLen = std::vsnprintf(pszArea, static_cast<size_t>(nLen) + 1, pszFormat, retry);
    }
    va_end(retry);
    if (nLen < 0) {
        Empty();
        return *this;
    }

    // Formatting is done before the block is touched: the arguments may be
    // this string's own text.
    TRefMem* pcoMem = m_pcoMem;
    if (pcoMem && pcoMem->GetRefCount() == 1) {
        pcoMem->SetMemory(pszArea, static_cast<unsigned long>(nLen + 1));
        return *this;
    }
    Adopt(NewBlock(pszArea, static_cast<unsigned long>(nLen + 1)));
    return *this;
}

void TString::Empty()
{
    Release();
}

int TString::CheckChange()
{
    if (!m_pcoMem || m_pcoMem->GetRefCount() < 2)
        return 0;
    Adopt(NewBlock(m_pcoMem->GetMemory(), m_pcoMem->GetSize()));
    return 1;
}

TString& TString::Strupr()
{
    CheckChange();
    if (IsEmpty())
        return *this;
    for (char* p = m_pcoMem->GetMemory(); *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return *this;
}

TString& TString::Strlwr()
{
    CheckChange();
    if (IsEmpty())
        return *this;
    for (char* p = m_pcoMem->GetMemory(); *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return *this;
}

TString& TString::Strrev()
{
    CheckChange();
    if (!IsEmpty())
        CrtStrrev(m_pcoMem->GetMemory());
    return *this;
}

int TString::Strlen() const
{
    return IsEmpty() ? 0 : static_cast<int>(std::strlen(m_pcoMem->GetMemory()));
}

int TString::IsEmpty() const
{
    return !m_pcoMem || !m_pcoMem->GetMemory() || m_pcoMem->GetMemory()[0] == 0;
}

char* TString::Strdup() const
{
    return IsEmpty() ? nullptr : ::Strdup(Text());
}

const char* TString::Strchr(char ch) const
{
    return IsEmpty() ? nullptr : std::strchr(Text(), ch);
}

const char* TString::Strstr(const char* pszText) const
{
    return IsEmpty() || !pszText ? nullptr : std::strstr(Text(), pszText);
}

const char* TString::Stristr(const char* pszText) const
{
    return IsEmpty() ? nullptr : StringInStringl(Text(), pszText);
}

TString::operator const char*() const
{
    return Text();
}

TString::operator char*()
{
    CheckChange();
    if (!m_pcoMem || !m_pcoMem->GetMemory()) {
        s_szWritableEmpty[0] = 0;
        return s_szWritableEmpty;
    }
    return m_pcoMem->GetMemory();
}

char TString::At(long i) const
{
    if (i < 0) {
        ErrorHandler(3);
        return 0;
    }
    if (!m_pcoMem || static_cast<unsigned long>(i) >= m_pcoMem->GetSize()) {
        ErrorHandler(2);
        return 0;
    }
    return m_pcoMem->GetMemory()[i];
}

char& TString::RefAt(long i)
{
    s_chDummy = 0;
    if (i < 0) {
        ErrorHandler(3);
        return s_chDummy;
    }
    if (!m_pcoMem || static_cast<unsigned long>(i) >= m_pcoMem->GetSize()) {
        ErrorHandler(2);
        return s_chDummy;
    }
    CheckChange();
    return m_pcoMem->GetMemory()[i];
}

void TString::ErrorHandler(int nCode)
{
    if (m_stpfnErr)
        m_stpfnErr(nCode);
}

char* Strdup(const char* pszText, int nCount)
{
    if (!pszText)
        return nullptr;
    const size_t nLen = std::strlen(pszText);
    const size_t nCopy = nCount < 0 ? nLen : (static_cast<size_t>(nCount) < nLen ? static_cast<size_t>(nCount) : nLen);
    const size_t nAlloc = nCount < 0 ? nLen + 1 : static_cast<size_t>(nCount) + 1;
    char* pszCopy = static_cast<char*>(std::malloc(nAlloc));
    if (!pszCopy)
        return nullptr;
    std::memcpy(pszCopy, pszText, nCopy);
    std::memset(pszCopy + nCopy, 0, nAlloc - nCopy);
    return pszCopy;
}

namespace {

template <class Equal>
const char* Find(const char* pszText, const char* pszSought, Equal equal)
{
    if (!pszText || !pszSought)
        return nullptr;
    for (const char* p = pszText;; ++p) {
        size_t i = 0;
        while (pszSought[i] && p[i] && equal(p[i], pszSought[i]))
            ++i;
        if (!pszSought[i])
            return p;
        if (!*p)
            return nullptr;
    }
}

bool Exact(char a, char b)
{
    return a == b;
}

bool Upper(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

} // namespace

const char* StringInString(const char* pszText, const char* pszSought)
{
    return Find(pszText, pszSought, Exact);
}

const char* StringInStringl(const char* pszText, const char* pszSought)
{
    return Find(pszText, pszSought, Upper);
}

int TArrayCmpString(const void* pA, const void* pB)
{
    if (!pA || !pB)
        return pA ? 1 : (pB ? -1 : 0);
    return Sign(std::strcmp(static_cast<const char*>(pA), static_cast<const char*>(pB)));
}

int TArrayCmpiString(const void* pA, const void* pB)
{
    if (!pA || !pB)
        return pA ? 1 : (pB ? -1 : 0);
    return CrtStricmp(static_cast<const char*>(pA), static_cast<const char*>(pB));
}
