#pragma once

#include "KwtlApi.h"

#include <cstddef>
#include <string>
#include <vector>

// Turns the text of TResFileDump back into the bytes of the resource file:
// compiling the dump of any file gives that file again, byte for byte.
// Positions in the text ("data", "at") are checked against what was
// compiled before them, so an edited text that no longer fits together
// is refused with the line where it stops fitting. Line breaks and the
// "# ..." comment lines do not matter.
//
// A text written by hand may put "auto" in place of any position: the
// data area and a record ("at auto") then start where the compiled bytes
// end, and an index entry's "data auto" and "end auto" become the start
// and the end of the first record with the entry's id.
class KWTL_API TResFileCompile {
public:
    TResFileCompile();
    ~TResFileCompile();
    TResFileCompile(const TResFileCompile&) = delete;
    TResFileCompile& operator=(const TResFileCompile&) = delete;

    // Answers 1 when the whole text was compiled; 0 otherwise, and
    // GetError() says why, as "line <n>: <text>".
    int Compile(const char* pchText, size_t nLength);

    const unsigned char* GetData() const { return m_vecBytes.data(); }
    size_t GetSize() const { return m_vecBytes.size(); }
    const char* GetError() const { return m_strError.c_str(); }

private:
    friend class TResFileCompiler;

    std::vector<unsigned char> m_vecBytes;
    std::string m_strError;
};
