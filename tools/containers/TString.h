#pragma once

#include "KwtlApi.h"

class TRefMem;

// A text of 8-bit characters in shared, reference-counted storage. Copies
// share one block; the first modification of a shared block copies it.
// A string without block is empty; so is one whose block holds only "".
class KWTL_API TString {
public:
    TString() = default;
    TString(const char* pszText);
    TString(const TString& coOther);
    virtual ~TString();

    TString& operator=(const TString& coOther);
    TString& operator=(const char* pszText) { return Strcpy(pszText); }
    TString& operator=(char chText);

    // Appending
    TString& operator+=(const char* pszText) { return Strcat(pszText); }
    TString& operator+=(char chText);
    TString operator+(const char* pszText) const;
    TString operator+(char chText) const;

    // Comparison; an empty string and a null text both count as "".
    int Strcmp(const char* pszText) const;
    int Stricmp(const char* pszText) const;
    int Strncmp(const char* pszText, int nCount) const;
    int Strnicmp(const char* pszText, int nCount) const;
    bool operator==(const char* pszText) const { return Strcmp(pszText) == 0; }
    bool operator!=(const char* pszText) const { return Strcmp(pszText) != 0; }
    bool operator<(const char* pszText) const { return Strcmp(pszText) < 0; }
    bool operator>(const char* pszText) const { return Strcmp(pszText) > 0; }
    bool operator<=(const char* pszText) const { return Strcmp(pszText) <= 0; }
    bool operator>=(const char* pszText) const { return Strcmp(pszText) >= 0; }

    // Modification
    TString& Strcpy(const char* pszText);
    // At most nCount characters (all with a negative count; 0 changes
    // nothing); the text need not be terminated within them.
    TString& Strncpy(const char* pszText, int nCount);
    TString& Strcat(const char* pszText);
    // Formats like sprintf. The text is never cut: output longer than the
    // work area is formatted again into an area of its own size.
    TString& SetText(const char* pszFormat, ...);
    void Empty();
    TString& Strupr();
    TString& Strlwr();
    TString& Strrev();

    // Queries
    int Strlen() const;
    int IsEmpty() const;
    char* Strdup() const;                       // malloc copy; null when empty
    const char* Strchr(char ch) const;
    const char* Strstr(const char* pszText) const;
    const char* Stristr(const char* pszText) const;

    // Access
    operator const char*() const;
    // Writable text: unshares the block first. Explicit, so that handing a
    // string to a const char* parameter never copies a shared block.
    explicit operator char*();
    char operator[](int i) const { return At(i); }
    char operator[](long i) const { return At(i); }
    char operator[](short i) const { return At(i); }
    char& operator[](int i) { return RefAt(i); }
    char& operator[](long i) { return RefAt(i); }
    char& operator[](short i) { return RefAt(i); }

    // Errors: 1 a count released below zero, 2 an index at or past the end,
    // 3 a negative index.
    static void ErrorHandler(int nCode);
    static void SetErrorHandler(void (*pfnErr)(int)) { m_stpfnErr = pfnErr; }
    static void (*GetErrorHandler())(int) { return m_stpfnErr; }

protected:
    int CheckChange();
    int CheckChange() const { return 0; }

private:
    void Release();
    void Adopt(TRefMem* pcoMem);
    const char* Text() const;
    char At(long i) const;
    char& RefAt(long i);

    TRefMem* m_pcoMem { nullptr };    // shared with every copy

    static void (*m_stpfnErr)(int);
};

// Free string functions
// A malloc copy of pszText; with nCount < 0 the whole text, else nCount + 1
// bytes of which the last is always NUL. Null for a null text.
KWTL_API char* Strdup(const char* pszText, int nCount = -1);
KWTL_API const char* StringInString(const char* pszText, const char* pszSought);
KWTL_API const char* StringInStringl(const char* pszText, const char* pszSought);
// Compare functions for TArrays of C strings: null sorts first.
KWTL_API int TArrayCmpString(const void* pA, const void* pB);
KWTL_API int TArrayCmpiString(const void* pA, const void* pB);
