#pragma once

#include "KwtlApi.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The bytes of a resource file as readable text: header fields, password
// blocks as raw words, index entries, and each record as a tree of
// resources and typed variables. Every byte of the file appears in the
// text exactly once, in file order, so the text can be compiled back into
// the same bytes:
//
//   kwtdump 1
//   header
//     description "..."                   only when the file has one
//     custom-version "V3.00.17"           strings: "..." with \" \\ \n \r \t
//     custom-number 0                     and \xHH escapes, or absent
//     signature "..."
//     format-version "V2.60"
//     user-created "anna"
//     date-created 15 0 1998              day, month from 0, year
//     time-created 12 30 5                hour, minutes, seconds
//     user-changed absent
//     date-changed 0 0 0
//     time-changed -1 -1 -1
//     protection 3
//     read-password-block 0x00000500 ...  N + 2 words
//     write-password-block ...
//     index 1
//       entry id "Main" class "TMain" type 31 wparam 0 lparam 0 data 210 end 260
//   data 210
//     record "Main" at 210
//       resource 31 class "TMain" cpp absent wparam 0 lparam 0
//         string 21 "Main"
//         long 5 42                       one value (count 1)
//         long 6 (0) 42                   one value written with count 0
//         float 7 [3] 1.5 2 -0.25         an array: count, then the values
//         resource 40 class "TChild" cpp absent wparam 0 lparam 0
//         end
//       end
//     unused 4 at 260                     bytes no record covers, in hex
//       00 01 02 03
//   end
//
// An id or class field that is not a zero-filled text is printed as
// id-raw/class-raw with its bytes in hex. Variable types: char, short,
// long, float (a single value is stored as a double), double, string.
// Doubles and floats are printed in their shortest exact form; infinities
// as inf and -inf, NaNs as nan:0x followed by their bits.
//
// Damage is reported in lines "# error at <offset>: <text>" and counted;
// what could not be read is printed as hex, so nothing is lost and nothing
// is read outside the bytes given. Children nest at most MaxDepth deep.
class KWTL_API TResFileDump {
public:
    static constexpr unsigned MaxDepth = 64;
    static constexpr unsigned MaxDescription = 511;

    TResFileDump();
    ~TResFileDump();
    TResFileDump(const TResFileDump&) = delete;
    TResFileDump& operator=(const TResFileDump&) = delete;

    // The handler's description the file must start with. Without one (the
    // default) a file without description is tried first, then every
    // leading text of up to MaxDescription characters and a zero byte that
    // is followed by a valid header.
    void SetDescription(const char* pszDescription);
    void ClearDescription();

    // Dumps the bytes; answers the number of errors found (0: the file is
    // sound). The text replaces that of an earlier dump.
    int Dump(const void* pvData, size_t nSize);

    const char* GetText() const { return m_strText.c_str(); }
    size_t GetTextLength() const { return m_strText.size(); }
    int GetErrorCount() const { return m_nErrors; }
    // The first error as "at <offset>: <text>", or "" for a sound file.
    const char* GetFirstError() const { return m_strFirstError.c_str(); }

private:
    friend class TResFileDumpWriter;
    void AddError(size_t nOffset, const std::string& strText);

    std::string m_strDescription;
    bool m_bFixedDescription { false };
    std::string m_strText;
    std::string m_strFirstError;
    int m_nErrors { 0 };
};
