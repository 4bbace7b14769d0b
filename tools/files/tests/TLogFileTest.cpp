#include "KwScratchTest.h"
#include "KwTestTools.h"
#include "MemoryLog.h"
#include "TCrt.h"
#include "TFile.h"
#include "TLogFile.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The typed operations of TLogFile are tested on a stream in memory,
// apart from any file.
using TMemoryLog = restest::MemoryLog;

std::string Hex(const std::string& bytes)
{
    std::string text;
    char sz[4];
    for (unsigned char c : bytes) {
        std::snprintf(sz, sizeof(sz), "%02X ", c);
        text += sz;
    }
    return text;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

using kwtest::Pattern;

using kwtest::ReadFileBytes;
using kwtest::WriteFileBytes;

class TFileTest : public kwtest::TScratchTest {
protected:
    TFileTest() : TScratchTest("kwlf-") {}
};

} // namespace

// The typed encoding

TEST(TLogFileEncoding, EveryTypedWriteHasItsExactBytesAndReadsBack)
{
    static const char s_achData[] = { 1, 2, 3 };
    struct {
        const char* m_pszWhat;
        std::function<int(TLogFile&)> m_fnWrite;
        std::string m_bytes;
        std::function<void(TLogFile&)> m_fnCheckRead;
    } const aCases[] = {
        { "Wchar", [](TLogFile& f) { return f.Wchar('A'); }, "A", [](TLogFile& f) { EXPECT_EQ(f.Rchar(), 'A'); } },
        { "Wuchar", [](TLogFile& f) { return f.Wuchar(0xFE); }, Bytes({ 0xFE }),
          [](TLogFile& f) { EXPECT_EQ(f.Ruchar(), 0xFE); } },
        { "Wshort", [](TLogFile& f) { return f.Wshort(-2); }, Bytes({ 0xFE, 0xFF }),
          [](TLogFile& f) { EXPECT_EQ(f.Rshort(), -2); } },
        { "Wushort", [](TLogFile& f) { return f.Wushort(0x1234); }, Bytes({ 0x34, 0x12 }),
          [](TLogFile& f) { EXPECT_EQ(f.Rushort(), 0x1234); } },
        { "Wint", [](TLogFile& f) { return f.Wint(-2); }, Bytes({ 0xFE, 0xFF, 0xFF, 0xFF }),
          [](TLogFile& f) { EXPECT_EQ(f.Rint(), -2); } },
        { "Wuint", [](TLogFile& f) { return f.Wuint(0x01020304u); }, Bytes({ 4, 3, 2, 1 }),
          [](TLogFile& f) { EXPECT_EQ(f.Ruint(), 0x01020304u); } },
        { "Wlong", [](TLogFile& f) { return f.Wlong(-100000L); }, Bytes({ 0x60, 0x79, 0xFE, 0xFF }),
          [](TLogFile& f) { EXPECT_EQ(f.Rlong(), -100000L); } },
        { "Wulong", [](TLogFile& f) { return f.Wulong(0xA1B2C3D4ul); }, Bytes({ 0xD4, 0xC3, 0xB2, 0xA1 }),
          [](TLogFile& f) { EXPECT_EQ(f.Rulong(), 0xA1B2C3D4ul); } },
        { "Wdouble", [](TLogFile& f) { return f.Wdouble(1.5); }, Bytes({ 0, 0, 0, 0, 0, 0, 0xF8, 0x3F }),
          [](TLogFile& f) { EXPECT_EQ(f.Rdouble(), 1.5); } },
        // A float is written as the double it widens to.
        { "Wfloat 0.1", [](TLogFile& f) { return f.Wfloat(0.1f); },
          Bytes({ 0, 0, 0, 0xA0, 0x99, 0x99, 0xB9, 0x3F }), [](TLogFile& f) { EXPECT_EQ(f.Rfloat(), 0.1f); } },
        { "Wstr AB", [](TLogFile& f) { return f.Wstr("AB"); }, Bytes({ 2, 0, 'A', 'B', 0 }),
          [](TLogFile& f) {
              char* psz = f.Rstr();
              EXPECT_STREQ(psz, "AB");
              std::free(psz);
          } },
        { "Wstr empty", [](TLogFile& f) { return f.Wstr(""); }, Bytes({ 0, 0 }),
          [](TLogFile& f) { EXPECT_EQ(f.Rstr(), nullptr); } },
        { "WTString", [](TLogFile& f) { return f.WTString(TString("xyz")); }, Bytes({ 3, 0, 'x', 'y', 'z', 0 }),
          [](TLogFile& f) { EXPECT_STREQ(f.RTString(), "xyz"); } },
        { "WTString empty", [](TLogFile& f) { return f.WTString(TString()); }, Bytes({ 0, 0 }),
          [](TLogFile& f) { EXPECT_TRUE(f.RTString().IsEmpty()); } },
        { "Wmem", [](TLogFile& f) { return f.Wmem(s_achData, 3); }, Bytes({ 3, 0, 1, 2, 3 }),
          [](TLogFile& f) {
              unsigned short unLength = 0;
              void* pv = f.Rmem(&unLength);
              ASSERT_NE(pv, nullptr);
              EXPECT_EQ(unLength, 3);
              EXPECT_EQ(std::memcmp(pv, s_achData, 3), 0);
              std::free(pv);
          } },
        { "Wmem null", [](TLogFile& f) { return f.Wmem(nullptr, 5); }, Bytes({ 0, 0 }),
          [](TLogFile& f) {
              unsigned short unLength = 9;
              EXPECT_EQ(f.Rmem(&unLength), nullptr);
              EXPECT_EQ(unLength, 0);
          } },
    };
    for (const auto& c : aCases) {
        TMemoryLog coLog;
        EXPECT_EQ(c.m_fnWrite(coLog), 1) << c.m_pszWhat;
        EXPECT_EQ(Hex(coLog.Bytes()), Hex(c.m_bytes)) << c.m_pszWhat;
        // Followed by a marker, so that a read that takes too much shows.
        coLog.Wchar('#');
        coLog.Seek(0, TLogFile::FromBegin);
        SCOPED_TRACE(c.m_pszWhat);
        c.m_fnCheckRead(coLog);
        EXPECT_EQ(coLog.Rchar(), '#');
    }
}

TEST(TLogFileEncoding, ShortOrDamagedDataReadsAsZeroOrNone)
{
    struct {
        const char* m_pszWhat;
        std::string m_bytes;
        std::function<void(TLogFile&)> m_fnCheck;
    } const aCases[] = {
        { "Rchar of nothing", "", [](TLogFile& f) { EXPECT_EQ(f.Rchar(), 0); } },
        { "Rshort of 1 byte", Bytes({ 0x7F }), [](TLogFile& f) { EXPECT_EQ(f.Rshort(), 0); } },
        { "Rulong of 3 bytes", Bytes({ 1, 2, 3 }), [](TLogFile& f) { EXPECT_EQ(f.Rulong(), 0ul); } },
        { "Rdouble of 7 bytes", Bytes({ 0, 0, 0, 0, 0, 0xF8, 0x3F }), [](TLogFile& f) { EXPECT_EQ(f.Rdouble(), 0.0); } },
        { "Rfloat of 7 bytes", Bytes({ 0, 0, 0, 0, 0, 0xF8, 0x3F }), [](TLogFile& f) { EXPECT_EQ(f.Rfloat(), 0.0f); } },
        { "Rstr of a short text", Bytes({ 10, 0, 'a', 'b', 'c' }), [](TLogFile& f) { EXPECT_EQ(f.Rstr(), nullptr); } },
        { "Rstr without the zero byte", Bytes({ 3, 0, 'a', 'b', 'c' }),
          [](TLogFile& f) { EXPECT_EQ(f.Rstr(), nullptr); } },
        { "Rstr of half a length", Bytes({ 3 }), [](TLogFile& f) { EXPECT_EQ(f.Rstr(), nullptr); } },
        { "RTString of a short text", Bytes({ 0xFF, 0xFF, 'a' }), [](TLogFile& f) { EXPECT_TRUE(f.RTString().IsEmpty()); } },
        // The stored end byte is not trusted.
        { "Rstr with another end byte", Bytes({ 2, 0, 'a', 'b', 'X' }),
          [](TLogFile& f) {
              char* psz = f.Rstr();
              EXPECT_STREQ(psz, "ab");
              std::free(psz);
          } },
        { "Rmem of a short block", Bytes({ 100, 0, 1, 2, 3, 4, 5 }),
          [](TLogFile& f) {
              unsigned short unLength = 7;
              EXPECT_EQ(f.Rmem(&unLength), nullptr);
              EXPECT_EQ(unLength, 0);
          } },
    };
    for (const auto& c : aCases) {
        TMemoryLog coLog(c.m_bytes);
        SCOPED_TRACE(c.m_pszWhat);
        c.m_fnCheck(coLog);
    }
}

// TCacheFile

TEST_F(TFileTest, CacheFileHoldsItsRangeInBlocksAndNeverReadsOutside)
{
    const std::string path = At("cache.bin");
    const std::string bytes = Pattern(1000);
    WriteFileBytes(path, bytes);
    const int nHandle = CurrentOS().OpenFile(path.c_str(), 1, 0, nullptr);
    ASSERT_GE(nHandle, 0);

    // Block sizes: the minimum is at least 256, the block at least the minimum.
    struct {
        unsigned short m_unBlock;
        unsigned short m_unMinimum;
        unsigned short m_unUsed;
        unsigned short m_unBlocks;
    } const aSizes[] = {
        { 256, 0, 256, 3 }, { 128, 0, 256, 3 }, { 128, 100, 256, 3 }, { 300, 512, 512, 2 },
        { 600, 256, 600, 1 }, { 1000, 0, 1000, 1 }, { 0, 0, 256, 3 },
    };
    for (const auto& s : aSizes) {
        CurrentOS().SeekFile(nHandle, 0, 1);
        TCacheFile coCache(nHandle, 600, s.m_unBlock, s.m_unMinimum);
        EXPECT_EQ(coCache.GetBlockSize(), s.m_unUsed) << s.m_unBlock << "/" << s.m_unMinimum;
        EXPECT_EQ(coCache.GetBlockCount(), s.m_unBlocks) << s.m_unBlock << "/" << s.m_unMinimum;
        EXPECT_EQ(coCache.GetRangeLength(), 600u);
        // Every piece, across every block border, up to the end of the range.
        std::string buffer(700, 0);
        for (uint32_t ulPos = 0; ulPos <= 600; ulPos += 23) {
            for (uint32_t ulLength = 1; ulLength <= 640; ulLength += 37) {
                ASSERT_EQ(coCache.Seek(ulPos, TLogFile::FromBegin), 1);
                const uint32_t ulExpected = ulLength < 600 - ulPos ? ulLength : 600 - ulPos;
                ASSERT_EQ(coCache.Read(&buffer[0], 1, ulLength), ulExpected) << ulPos << "+" << ulLength;
                ASSERT_EQ(buffer.substr(0, ulExpected), bytes.substr(ulPos, ulExpected)) << ulPos << "+" << ulLength;
                ASSERT_EQ(coCache.Tell(), static_cast<int64_t>(ulPos + ulExpected));
            }
        }
    }

    CurrentOS().SeekFile(nHandle, 0, 1);
    TCacheFile coCache(nHandle, 600, 256, 256);
    // The whole range was read at construction.
    EXPECT_EQ(CurrentOS().TellFile(nHandle), 600);
    std::string buffer(600, 0);
    ASSERT_EQ(coCache.Seek(50, TLogFile::FromBegin), 1);
    EXPECT_EQ(coCache.Read(&buffer[0], 1, 500), 500u);
    EXPECT_EQ(buffer.substr(0, 500), bytes.substr(50, 500));
    ASSERT_EQ(coCache.Seek(550, TLogFile::FromBegin), 1);
    EXPECT_EQ(coCache.Read(&buffer[0], 100), 50u);
    EXPECT_EQ(coCache.Read(&buffer[0], 1, 1), 0u);
    EXPECT_EQ(coCache.Size(), 1000);                       // the whole file
    // Seeking inside the range only.
    EXPECT_EQ(coCache.Seek(0, TLogFile::FromEnd), 1);
    EXPECT_EQ(coCache.Tell(), 600);
    EXPECT_EQ(coCache.Seek(1, TLogFile::FromEnd), 0);
    EXPECT_EQ(coCache.Tell(), 600);
    EXPECT_EQ(coCache.Seek(-600, TLogFile::FromCurrent), 1);
    EXPECT_EQ(coCache.Seek(-1, TLogFile::FromCurrent), 0);
    EXPECT_EQ(coCache.Seek(601, TLogFile::FromBegin), 0);
    EXPECT_EQ(coCache.Seek(10, 4), 0);
    EXPECT_EQ(coCache.Seek(INT64_MIN, TLogFile::FromEnd), 0);
    EXPECT_EQ(coCache.Tell(), 0);
    // Reads of 0 bytes or of 64 KiB and more read nothing; writes nothing.
    EXPECT_EQ(coCache.Read(&buffer[0], 0, 10), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 65536, 1), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 0x10000, 0x10000), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 2, 150), 300u);
    EXPECT_EQ(coCache.Write("x", 1, 1), 0u);
    EXPECT_EQ(coCache.Wint(1), 0);
    EXPECT_EQ(coCache.Tell(), 300);

    // A range that begins where the handle stands and runs past the end of
    // the file ends with the file.
    CurrentOS().SeekFile(nHandle, 900, 1);
    TCacheFile coTail(nHandle, 600, 256, 256);
    EXPECT_EQ(coTail.GetRangeLength(), 100u);
    EXPECT_EQ(coTail.Read(&buffer[0], 1, 600), 100u);
    EXPECT_EQ(buffer.substr(0, 100), bytes.substr(900));
    EXPECT_EQ(coTail.Seek(0, TLogFile::FromEnd), 1);
    EXPECT_EQ(coTail.Tell(), 100);
    CurrentOS().CloseFile(nHandle);

    TCacheFile coNone(-1, 600, 256, 256);
    EXPECT_EQ(coNone.GetRangeLength(), 0u);
    EXPECT_EQ(coNone.Read(&buffer[0], 1, 10), 0u);
    EXPECT_EQ(coNone.Seek(0, TLogFile::FromEnd), 1);
    EXPECT_EQ(coNone.Seek(1, TLogFile::FromBegin), 0);
}

TEST_F(TFileTest, CacheFileReadsTypedValuesAcrossBordersAndLongRangesTakeLargerBlocks)
{
    const std::string path = At("typed.bin");
    {
        TFile coFile;
        ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeCreate), 1);
        coFile->Write(Pattern(250).data(), 250);
        coFile->Wdouble(2.25);                       // 250..257: across the first border
        coFile->Wstr(std::string(65535, 'm').c_str());   // the longest text
        coFile->Wint(-7);
    }
    const int nHandle = CurrentOS().OpenFile(path.c_str(), 1, 0, nullptr);
    ASSERT_GE(nHandle, 0);
    {
        TCacheFile coCache(nHandle, static_cast<uint32_t>(CurrentOS().FileLength(nHandle)), 256, 256);
        ASSERT_EQ(coCache.Seek(250, TLogFile::FromBegin), 1);
        EXPECT_EQ(coCache.Rdouble(), 2.25);
        char* psz = coCache.Rstr();
        ASSERT_NE(psz, nullptr);
        EXPECT_EQ(std::strlen(psz), 65535u);
        std::free(psz);
        EXPECT_EQ(coCache.Rint(), -7);
        EXPECT_EQ(coCache.Rint(), 0);                // at the end of the range
    }
    CurrentOS().CloseFile(nHandle);

    // 65535 blocks at most: 20 MB with 256-byte blocks take larger blocks.
    const std::string bigPath = At("big.bin");
    const uint32_t ulBig = 20u * 1000 * 1000;
    WriteFileBytes(bigPath, Pattern(ulBig));
    const int nBig = CurrentOS().OpenFile(bigPath.c_str(), 1, 0, nullptr);
    ASSERT_GE(nBig, 0);
    {
        TCacheFile coCache(nBig, ulBig, 256, 256);
        EXPECT_EQ(coCache.GetRangeLength(), ulBig);
        EXPECT_EQ(coCache.GetBlockSize(), 306);      // ceil(20000000 / 65535)
        EXPECT_LE(coCache.GetBlockCount(), 65535);
        std::string buffer(1000, 0);
        ASSERT_EQ(coCache.Seek(-1000, TLogFile::FromEnd), 1);
        EXPECT_EQ(coCache.Read(&buffer[0], 1, 2000), 1000u);
        EXPECT_EQ(buffer, Pattern(ulBig).substr(ulBig - 1000));
    }
    CurrentOS().CloseFile(nBig);
}

// TFile

TEST_F(TFileTest, OpenModesCreateTruncateAndReportErrors)
{
    const std::string path = At("open.bin");
    TFile coFile;

    const std::string noDir = At("no-dir/x.bin");
    const struct { const char* m_pszName; unsigned short m_unMode; unsigned short m_unError; } aFailures[] = {
        { path.c_str(), TFile::ModeRead, TFile::NotFound }, { nullptr, TFile::ModeCreate, TFile::NotFound },
        { noDir.c_str(), TFile::ModeCreate, TFile::NotFound }, { path.c_str(), 5, TFile::OtherError },
    };
    for (const auto& c : aFailures) {
        EXPECT_EQ(coFile.Open(c.m_pszName, c.m_unMode), 0) << c.m_unMode;
        EXPECT_EQ(coFile.LastError(), c.m_unError) << c.m_unMode;
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(coFile.Open(m_dir.c_str(), TFile::ModeRead), 0);   // a directory is no file
    EXPECT_NE(coFile.LastError(), 0);

    // Mode 2 creates a missing file and keeps an existing one's bytes.
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeReadWrite), 1);
    EXPECT_STREQ(coFile.GetFileName(), path.c_str());
    EXPECT_EQ(coFile.GetOpenType() * 10 + coFile.LastError(), TFile::ModeReadWrite * 10);
    EXPECT_EQ(coFile->Wstr("hello"), 1);
    coFile.Close();
    EXPECT_EQ(coFile.GetHandle() + coFile.IsValid() + coFile.GetOpenType() + coFile.GetFileName().Strlen(), -1);
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeReadWrite), 1);
    EXPECT_EQ(coFile->Size(), 8);
    EXPECT_STREQ(coFile->RTString(), "hello");
    // Mode 3 empties it; Open closes what was open before.
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeCreate), 1);
    EXPECT_EQ(coFile->Size(), 0);
    EXPECT_EQ(coFile.GetOpenType(), TFile::ModeCreate);
    coFile->Wint(42);
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeRead), 1);
    EXPECT_EQ(coFile->Rint(), 42);
    EXPECT_EQ(coFile->Wint(1), 0);                 // read-only
    // Mode 4 makes only a new file.
    EXPECT_EQ(coFile.Open(path.c_str(), TFile::ModeCreateNew), 0);
    EXPECT_EQ(coFile.LastError(), TFile::Exists);
    ASSERT_EQ(coFile.Open(At("new.bin").c_str(), TFile::ModeCreateNew), 1);
}

TEST_F(TFileTest, FindFileLooksHereFirstThenInTheListedDirectories)
{
    const std::string dirA = At("a");
    const std::string dirB = At("b");
    ASSERT_TRUE(fs::create_directories(dirA));
    ASSERT_TRUE(fs::create_directories(dirB));
    WriteFileBytes(dirB + CrtPathSeparator() + "found.kw", "x");
    WriteFileBytes(dirA + CrtPathSeparator() + "both.kw", "x");
    WriteFileBytes(dirB + CrtPathSeparator() + "both.kw", "x");
    WriteFileBytes(At("here.kw"), "x");
    const char chList = CrtPathListSeparator();
    const std::string list = std::string(1, chList) + dirA + chList + chList + dirB + chList;
    ASSERT_EQ(CurrentOS().SetEnvVar("KW_FIND_TEST", list.c_str()), 1);
    const TString coOldDirectory = CurrentOS().GetCurrentDirectory();
    ASSERT_EQ(CurrentOS().SetCurrentDirectory(m_dir.c_str()), 1);

    const std::string here = std::string(".") + CrtPathSeparator() + "here.kw";
    struct {
        const char* m_pszVariable;
        const char* m_pszName;
        std::string m_expected;        // empty: not found
    } const aCases[] = {
        { "KW_FIND_TEST", "found.kw", dirB + CrtPathSeparator() + "found.kw" },
        { "KW_FIND_TEST", "both.kw", dirA + CrtPathSeparator() + "both.kw" },
        { "KW_FIND_TEST", "here.kw", here }, { "", "here.kw", here }, { "", "found.kw", "" },
        { "KW_FIND_TEST", "missing.kw", "" }, { "KW_NO_SUCH_VARIABLE", "found.kw", "" }, { "KW_FIND_TEST", "", "" },
    };
    for (const auto& c : aCases) {
        char szResult[TFile::FindFileSize] = "old";
        const char* pszFound = TFile::FindFile(szResult, c.m_pszVariable, c.m_pszName);
        if (c.m_expected.empty()) {
            EXPECT_EQ(pszFound, nullptr) << c.m_pszName;
            EXPECT_STREQ(szResult, "") << c.m_pszName;
        } else {
            EXPECT_EQ(pszFound, szResult) << c.m_pszName;
            EXPECT_EQ(std::string(szResult), c.m_expected) << c.m_pszName;
        }
    }
    char szResult[TFile::FindFileSize];
    EXPECT_EQ(TFile::FindFile(nullptr, "KW_FIND_TEST", "found.kw"), nullptr);
    EXPECT_EQ(TFile::FindFile(szResult, "KW_FIND_TEST", nullptr), nullptr);
    // A buffer too small for a candidate passes it over and never overflows.
    char szSmall[12] = "";
    EXPECT_EQ(TFile::FindFile(szSmall, sizeof(szSmall), "KW_FIND_TEST", "here.kw"), szSmall);
    EXPECT_EQ(TFile::FindFile(szSmall, sizeof(szSmall), "KW_FIND_TEST", "found.kw"), nullptr);
    EXPECT_EQ(TFile::FindFile(szSmall, 0, "KW_FIND_TEST", "here.kw"), nullptr);
    const std::string longName(5000, 'n');
    EXPECT_EQ(TFile::FindFile(szResult, "KW_FIND_TEST", longName.c_str()), nullptr);

    EXPECT_EQ(CurrentOS().SetCurrentDirectory(coOldDirectory), 1);
    CurrentOS().SetEnvVar("KW_FIND_TEST", nullptr);
}
