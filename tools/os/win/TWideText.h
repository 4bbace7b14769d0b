#pragma once

#include "KwtlApi.h"
#include "TString.h"

#include <string>

// The one crossing between the framework's text (bytes in the system's
// code page, UTF-8 in the framework's programs) and the UTF-16 of the
// system's ...W calls. Every Win32 source of the framework (the win/
// folders) converts here and nowhere else, so that text reaches the screen
// and the file system exactly: the ...A calls of GDI ignore a UTF-8 code
// page, and the file calls cap a path at 260 characters.
class KWTL_API TWideText {
public:
    TWideText() = delete;

    // The text (nLength bytes, -1 up to its zero) as UTF-16; empty for null.
    static std::wstring Wide(const char* pszText, int nLength = -1);
    // UTF-16 text (nLength units, -1 up to its zero) in the code page.
    // pnLost, when given, tells whether the text did not survive the code
    // page: converted back it would not give the same units (a character
    // the code page lacks, a lone surrogate).
    static TString Narrow(const wchar_t* pwszText, int nLength = -1, int* pnLost = nullptr);
    static TString Narrow(const std::wstring& wstrText) { return Narrow(wstrText.c_str(), static_cast<int>(wstrText.size())); }
    // Narrow into a caller's buffer of nSize bytes: cut at a character
    // boundary, always terminated; the bytes written before the zero.
    static int NarrowInto(const wchar_t* pwszText, int nLength, char* pszBuffer, int nSize);

    // A path for the file calls: made absolute and, once it is long enough
    // to meet the system's limit of 260 characters, in the form that has
    // none ("\\?\C:\...", "\\?\UNC\server\share\..."). A name relative to
    // nothing (no drive, no UNC) stays as it is.
    static std::wstring Path(const char* pszPath);
};

// A text argument of a ...W call, written in the argument list
// (SetWindowTextW(hWnd, TWideArg(pszText))): the converted text lives until
// the call has returned. A null text stays null.
class TWideArg {
public:
    explicit TWideArg(const char* pszText, int nLength = -1)
        : m_nNull(pszText == nullptr)
        , m_wstrText(TWideText::Wide(pszText, nLength))
    {
    }
    operator const wchar_t*() const { return m_nNull ? nullptr : m_wstrText.c_str(); }
    int Length() const { return static_cast<int>(m_wstrText.size()); }

private:
    int m_nNull;
    std::wstring m_wstrText;
};
