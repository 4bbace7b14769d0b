#pragma once

#include "KwtlApi.h"

#include <cstddef>

// Characters of the framework's text. Its bytes are in the system's code
// page, which the framework's programs set to UTF-8 (their manifest); one
// character may then take up to four bytes. A well-formed UTF-8 sequence is
// one character; any other byte is a character of its own, so text in a
// single-byte code page (a system without UTF-8) is taken byte by byte, as
// before. Whoever cuts, steps through or compares text goes by these
// characters, never through the middle of one.
class KWTL_API TUtf8 {
public:
    TUtf8() = delete;

    // The bytes of the character at pchText, of the nRest bytes there are
    // (0 when none are left).
    static size_t CharSize(const char* pchText, size_t nRest);
    // The character boundary after or before nPos in a text of nLength
    // bytes; nLength and 0 at the ends.
    static size_t Next(const char* pchText, size_t nLength, size_t nPos);
    static size_t Prev(const char* pchText, size_t nLength, size_t nPos);
    // The longest start of the text that takes at most nMax bytes and ends
    // at a character boundary: the bytes to keep when a text is cut to
    // fit a field or a buffer.
    static size_t Fit(const char* pchText, size_t nLength, size_t nMax);
    // The length of a text that something else cut to nLength bytes (a
    // printf into a buffer that was too small), without the start of a
    // character that the cut split.
    static size_t WithoutSplitEnd(const char* pchText, size_t nLength);
    // The number of characters of a zero-terminated text (0 for null).
    static size_t CharCount(const char* pszText);
    // Whether the zero-terminated text is exactly one character.
    static int IsOneChar(const char* pszText);

    // The code point of the character at pchText (a byte that starts no
    // sequence gives its own value) and its size.
    static unsigned long Decode(const char* pchText, size_t nRest, size_t* pnSize);
    // Writes the UTF-8 bytes of a code point into pchOut (room for four)
    // and answers their count; 0 for a surrogate or a value beyond
    // U+10FFFF.
    static size_t Encode(unsigned long ulCode, char* pchOut);
    // Joins the UTF-16 units of key messages into code points: a high
    // surrogate waits in unPending for its low half (answer 0); every other
    // unit completes a character in ulCode (answer 1). A low half without
    // its high one stands for itself; a high half not followed by its low
    // one is dropped.
    static int JoinUnit(unsigned short unUnit, unsigned short& unPending, unsigned long& ulCode);

    // Whether two characters are the same when the case of ASCII letters
    // does not count. Other characters compare by their bytes: no byte of a
    // multi-byte character is ever folded.
    static int SameCharIgnoringCase(const char* pchA, size_t nSizeA, const char* pchB, size_t nSizeB);
};
