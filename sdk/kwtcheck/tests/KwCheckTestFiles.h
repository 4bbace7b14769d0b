#pragma once

// Resource files of the kwtcheck tests, written as kwtmake text: a record
// is its id, its class and the lines of its body; the file's header and
// index are made around them, with automatic positions.

#include "TResFileCompile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace kwchecktest {

struct TRecord {
    std::string strId;
    std::string strClass;
    std::string strBody;   // lines of variables and child resources, without the record's own frame
};

inline std::string Lower(std::string str)
{
    for (char& ch : str)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return str;
}

inline std::string KwtText(std::vector<TRecord> vecRecords)
{
    std::stable_sort(vecRecords.begin(), vecRecords.end(),
                     [](const TRecord& a, const TRecord& b) { return Lower(a.strId) < Lower(b.strId); });
    std::string strText = "kwtdump 1\nheader\n  description \"ZORVIK Brackenholt\"\n  custom-version \"V3.00.17\"\n"
                          "  custom-number 0\n  signature \"File created with Dynamic Resource File Handler (DRF) - Brackenholt\"\n"
                          "  format-version \"V2.60\"\n  user-created \"test\"\n  date-created 1 0 2026\n  time-created 0 0 0\n"
                          "  user-changed absent\n  date-changed 0 0 0\n  time-changed -1 -1 -1\n  protection 0\n";
    strText += "  index " + std::to_string(vecRecords.size()) + "\n";
    for (const TRecord& coRecord : vecRecords)
        strText += "    entry id \"" + coRecord.strId + "\" class \"" + coRecord.strClass
            + "\" type 31 wparam 0 lparam 0 data auto end auto\n";
    strText += "data auto\n";
    for (const TRecord& coRecord : vecRecords) {
        strText += "  record \"" + coRecord.strId + "\" at auto\n    resource 31 class \"" + coRecord.strClass
            + "\" cpp absent wparam 0 lparam 0\n      string 21 \"" + coRecord.strId + "\"\n" + coRecord.strBody + "    end\n";
    }
    return strText + "end\n";
}

inline void WriteBytes(const std::string& strPath, const std::string& strBytes)
{
    std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr) << strPath;
    ASSERT_EQ(std::fwrite(strBytes.data(), 1, strBytes.size(), pFile), strBytes.size());
    ASSERT_EQ(std::fclose(pFile), 0);
}

inline void WriteKwt(const std::string& strPath, const std::string& strText)
{
    TResFileCompile coCompile;
    ASSERT_TRUE(coCompile.Compile(strText.data(), strText.size())) << coCompile.GetError() << "\n" << strText;
    WriteBytes(strPath, std::string(reinterpret_cast<const char*>(coCompile.GetData()), coCompile.GetSize()));
}

// The project information naming include files and libraries.
inline TRecord ProjectInfo(const std::vector<std::string>& vecIncludes, const std::vector<std::string>& vecLibraries)
{
    const auto Strings = [](unsigned nId, const std::vector<std::string>& vec) {
        if (vec.empty())
            return std::string();
        std::string str = "      string " + std::to_string(nId) + (vec.size() > 1 ? " [" + std::to_string(vec.size()) + "]" : "");
        for (const std::string& strName : vec)
            str += " \"" + strName + "\"";
        return str + "\n";
    };
    return { "__KwProjectInfo", "KwFileHdlInfo", Strings(29, vecIncludes) + Strings(9959, vecLibraries) };
}

// A top-level window of the class.
inline TRecord Frame(const std::string& strId, const std::string& strClass)
{
    return { strId, strClass, "      short 42 2\n" };
}

// A bitmap file of 2 by 2 pixels, one bit each.
inline std::string BitmapFile()
{
    const unsigned char ab[] = { 'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,
                                 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 255, 255, 255, 0,
                                 0x80, 0, 0, 0, 0x40, 0, 0, 0 };
    return std::string(reinterpret_cast<const char*>(ab), sizeof ab);
}

} // namespace kwchecktest
