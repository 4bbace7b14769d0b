#include "KwScratchTest.h"
#include "KwTestTools.h"
#include "MemoryLog.h"
#include "TCrt.h"
#include "TFile.h"
#include "TLogFile.h"
#include "TOpSystem.h"
#include "TWholeFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// The typed operations of TLogFile are tested on a stream in memory, apart from any file.
using TMemoryLog = restest::MemoryLog;
using kwtest::Pattern;
using kwtest::WriteFileBytes;

class TFileTest : public kwtest::TScratchTest {
protected:
    TFileTest() : TScratchTest("kwlf-") {}

    // Writes the bytes to a new file of the scratch directory and opens it for reading.
    int Opened(const char* pszName, const std::string& bytes)
    {
        WriteFileBytes(At(pszName), bytes);
        return CurrentOS().OpenFile(At(pszName).c_str(), 1, 0, nullptr);
    }
};

} // namespace

// The typed encoding

TEST(TLogFileEncoding, TypedWritesHaveTheirExactBytesAndReadBackInOrder)
{
    const char achData[] = { 1, 2, 3 };
    TMemoryLog coLog;
    // A braced list runs its calls from left to right.
    const std::vector<int> results { coLog.Wchar('A'),      coLog.Wuchar(0xFE),
                                     coLog.Wshort(-2),      coLog.Wushort(0x1234),
                                     coLog.Wint(-2),        coLog.Wuint(0x01020304u),
                                     coLog.Wlong(-100000L), coLog.Wulong(0xA1B2C3D4ul),
                                     coLog.Wdouble(1.5),    coLog.Wfloat(0.1f),
                                     coLog.Wstr("AB"),      coLog.Wstr(""),
                                     coLog.WTString("xyz"), coLog.WTString(TString()),
                                     coLog.Wmem(achData, 3), coLog.Wmem(nullptr, 5) };
    EXPECT_EQ(results, std::vector<int>(16, 1));
    // A float is written as the double it widens to.
    EXPECT_EQ(coLog.Bytes(), "\x41" "\xFE" "\xFE\xFF" "\x34\x12" "\xFE\xFF\xFF\xFF" "\x04\x03\x02\x01"
                             "\x60\x79\xFE\xFF" "\xD4\xC3\xB2\xA1" "\x00\x00\x00\x00\x00\x00\xF8\x3F"
                             "\x00\x00\x00\xA0\x99\x99\xB9\x3F" "\x02\x00\x41\x42\x00" "\x00\x00"
                             "\x03\x00\x78\x79\x7A\x00" "\x00\x00" "\x03\x00\x01\x02\x03" "\x00\x00"s);

    // Each read takes exactly its own bytes, or the next one would be wrong;
    // the operands of one << chain are evaluated from left to right.
    coLog.Seek(0, TLogFile::FromBegin);
    std::ostringstream numbers;
    numbers << coLog.Rchar() << " " << static_cast<int>(coLog.Ruchar()) << " " << coLog.Rshort() << " "
            << coLog.Rushort() << " " << coLog.Rint() << " " << coLog.Ruint() << " " << coLog.Rlong() << " "
            << coLog.Rulong() << " " << coLog.Rdouble() << " " << coLog.Rfloat() << " "
            << static_cast<const char*>(coLog.RTString());
    EXPECT_EQ(numbers.str(), "A 254 -2 4660 -2 16909060 -100000 2712847316 1.5 0.1 AB");
    EXPECT_EQ(coLog.Rstr(), nullptr);
    EXPECT_STREQ(coLog.RTString(), "xyz");
    EXPECT_TRUE(coLog.RTString().IsEmpty());
    unsigned short unLength = 0;
    void* pv = coLog.Rmem(&unLength);
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(pv), unLength), std::string(achData, 3));
    std::free(pv);
    EXPECT_EQ(coLog.Rmem(&unLength), nullptr);
    EXPECT_EQ(unLength, 0);
    EXPECT_EQ(coLog.Tell(), coLog.Size());
}

TEST(TLogFileEncoding, ShortOrDamagedDataReadsAsZeroOrNone)
{
    EXPECT_EQ(TMemoryLog("\x7F"s).Rshort(), 0);
    EXPECT_EQ(TMemoryLog("\0\0\0\0\0\xF8\x3F"s).Rdouble(), 0.0);
    // A text shorter than its count, one without its zero byte, half a count.
    EXPECT_EQ(TMemoryLog("\x0A\0abc"s).Rstr(), nullptr);
    EXPECT_EQ(TMemoryLog("\3\0abc"s).Rstr(), nullptr);
    EXPECT_EQ(TMemoryLog("\3"s).Rstr(), nullptr);
    // The stored end byte is not trusted.
    EXPECT_STREQ(TMemoryLog("\2\0abX"s).RTString(), "ab");
    unsigned short unLength = 7;
    EXPECT_EQ(TMemoryLog("\x64\0\1\2\3\4\5"s).Rmem(&unLength), nullptr);
    EXPECT_EQ(unLength, 0);
}

// TCacheFile

TEST_F(TFileTest, CacheFileHoldsItsRangeInBlocksNeverReadsOutsideAndTakesLargerBlocksForLongRanges)
{
    TMemoryLog coTyped;
    coTyped.Write(Pattern(250).data(), 250);
    coTyped.Wdouble(2.25);                               // 250..257: across the first border
    coTyped.Wstr(std::string(65535, 'm').c_str());       // the longest text
    coTyped.Wint(-7);
    const std::string bytes = coTyped.Bytes();
    const auto ulSize = static_cast<uint32_t>(bytes.size());
    const int nHandle = Opened("cache.bin", bytes);
    ASSERT_GE(nHandle, 0);

    // Block size and minimum asked for, block size and count used: the
    // minimum is at least 256, the block at least the minimum.
    const unsigned short aSizes[][4] = { { 0, 0, 256, 3 }, { 300, 512, 512, 2 }, { 600, 256, 600, 1 } };
    std::string buffer(2000, 0);
    for (const auto& s : aSizes) {
        SCOPED_TRACE(std::to_string(s[0]) + "/" + std::to_string(s[1]));
        CurrentOS().SeekFile(nHandle, 0, 1);
        TCacheFile coCache(nHandle, 600, s[0], s[1]);
        EXPECT_EQ(coCache.GetBlockSize(), s[2]);
        EXPECT_EQ(coCache.GetBlockCount(), s[3]);
        // The whole range was read at construction.
        EXPECT_EQ(CurrentOS().TellFile(nHandle), 600);
        // Every piece, across every block border, up to the end of the range.
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
    EXPECT_EQ(coCache.Size(), ulSize);
    // Seeking inside the range only; a failed seek leaves the position.
    const std::vector<int> seeks { coCache.Seek(0, TLogFile::FromEnd),       coCache.Seek(1, TLogFile::FromEnd),
                                   coCache.Seek(-600, TLogFile::FromCurrent), coCache.Seek(-1, TLogFile::FromCurrent),
                                   coCache.Seek(601, TLogFile::FromBegin),    coCache.Seek(10, 4),
                                   coCache.Seek(INT64_MIN, TLogFile::FromEnd) };
    EXPECT_EQ(seeks, std::vector<int>({ 1, 0, 1, 0, 0, 0, 0 }));
    EXPECT_EQ(coCache.Tell(), 0);
    // Reads of 0 bytes or of 64 KiB and more read nothing; writes nothing.
    EXPECT_EQ(coCache.Read(&buffer[0], 0, 10), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 65536, 1), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 0x10000, 0x10000), 0u);
    EXPECT_EQ(coCache.Read(&buffer[0], 2, 150), 300u);
    EXPECT_EQ(coCache.Write("x", 1, 1), 0u);
    EXPECT_EQ(coCache.Tell(), 300);

    // A range begins where the handle stands and ends with the file at the
    // latest; typed values read through it, the longest text across many blocks.
    CurrentOS().SeekFile(nHandle, 250, 1);
    TCacheFile coWhole(nHandle, ulSize, 256, 256);
    EXPECT_EQ(coWhole.GetRangeLength(), ulSize - 250);
    EXPECT_EQ(coWhole.Rdouble(), 2.25);
    char* psz = coWhole.Rstr();
    ASSERT_NE(psz, nullptr);
    EXPECT_EQ(std::strlen(psz), 65535u);
    std::free(psz);
    EXPECT_EQ(coWhole.Rint(), -7);
    EXPECT_EQ(coWhole.Rint(), 0);                        // at the end of the range
    CurrentOS().CloseFile(nHandle);

    // 65535 blocks at most: 20 MB with 256-byte blocks take larger blocks.
    const uint32_t ulBig = 20u * 1000 * 1000;
    const std::string big = Pattern(ulBig);
    const int nBig = Opened("big.bin", big);
    ASSERT_GE(nBig, 0);
    TCacheFile coBig(nBig, ulBig, 256, 256);
    CurrentOS().CloseFile(nBig);
    EXPECT_EQ(coBig.GetBlockSize(), 306);                // ceil(20000000 / 65535)
    ASSERT_EQ(coBig.Seek(-1000, TLogFile::FromEnd), 1);
    EXPECT_EQ(coBig.Read(&buffer[0], 2000), 1000u);
    EXPECT_EQ(buffer.substr(0, 1000), big.substr(ulBig - 1000));
}

// TFile

TEST_F(TFileTest, OpenModesCreateTruncateAndReportErrors)
{
    const std::string path = At("open.bin");
    TFile coFile;

    // The result and the error, "1 0" for success.
    const auto opened = [&coFile](const char* pszName, unsigned short unMode) {
        const int nResult = coFile.Open(pszName, unMode);
        return std::to_string(nResult) + " " + std::to_string(coFile.LastError());
    };
    EXPECT_EQ(opened(path.c_str(), TFile::ModeRead), "0 " + std::to_string(TFile::NotFound));
    EXPECT_EQ(opened(nullptr, TFile::ModeCreate), "0 " + std::to_string(TFile::NotFound));
    EXPECT_EQ(opened(path.c_str(), 5), "0 " + std::to_string(TFile::OtherError));

    // Mode 2 creates a missing file and keeps an existing one's bytes.
    ASSERT_EQ(opened(path.c_str(), TFile::ModeReadWrite), "1 0");
    EXPECT_EQ(coFile->Wstr("hello"), 1);
    coFile.Close();
    EXPECT_EQ(coFile.GetHandle() + coFile.IsValid() + coFile.GetOpenType() + coFile.GetFileName().Strlen(), -1);
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeReadWrite), 1);
    EXPECT_EQ(coFile->Size(), 8);
    EXPECT_STREQ(coFile->RTString(), "hello");
    // Mode 3 empties it; Open closes what was open before.
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeCreate), 1);
    EXPECT_EQ(coFile->Size(), 0);
    coFile->Wint(42);
    ASSERT_EQ(coFile.Open(path.c_str(), TFile::ModeRead), 1);
    EXPECT_EQ(coFile->Rint(), 42);
    EXPECT_EQ(coFile->Wint(1), 0);                     // read-only
    // Mode 4 makes only a new file.
    EXPECT_EQ(opened(path.c_str(), TFile::ModeCreateNew), "0 " + std::to_string(TFile::Exists));
    ASSERT_EQ(coFile.Open(At("new.bin").c_str(), TFile::ModeCreateNew), 1);
}

TEST_F(TFileTest, WholeFileReadAppendsEveryByteOrSaysWhyNot)
{
    // More than one read's worth, with NULs and line ends of both kinds.
    const std::string bytes = Pattern(200003) + "\r\n\n" + std::string(3, '\0');
    WriteFileBytes(At("whole.bin"), bytes);
    std::string strRead = "x";
    EXPECT_EQ(TWholeFile::Read(At("whole.bin").c_str(), strRead), TWholeFile::TResult::Done);
    EXPECT_TRUE(strRead == "x" + bytes);

    std::string strNone = "kept";
    EXPECT_EQ(TWholeFile::Read(At("missing.bin").c_str(), strNone), TWholeFile::TResult::CannotOpen);
    EXPECT_EQ(TWholeFile::Read(nullptr, strNone, 1), TWholeFile::TResult::CannotOpen);
    // A directory opens on some systems, but never reads.
    EXPECT_NE(TWholeFile::Read(m_dir.c_str(), strNone), TWholeFile::TResult::Done);
    // "-" is standard input only when asked for.
    EXPECT_EQ(TWholeFile::Read("-", strNone), TWholeFile::TResult::CannotOpen);
    EXPECT_EQ(strNone, "kept");
}

TEST_F(TFileTest, FindFileLooksHereFirstThenInTheListedDirectories)
{
    ASSERT_TRUE(fs::create_directories(At("a")) && fs::create_directories(At("b")));
    const std::string dirA = At("a") + CrtPathSeparator();
    const std::string dirB = At("b") + CrtPathSeparator();
    for (const std::string& file : { dirB + "found.kw", dirA + "both.kw", dirB + "both.kw", At("here.kw") })
        WriteFileBytes(file, "x");
    const char chList = CrtPathListSeparator();
    const std::string list = std::string(1, chList) + At("a") + chList + chList + At("b") + chList;
    ASSERT_EQ(CurrentOS().SetEnvVar("KW_FIND_TEST", list.c_str()), 1);
    const TString coOldDirectory = CurrentOS().GetCurrentDirectory();
    ASSERT_EQ(CurrentOS().SetCurrentDirectory(m_dir.c_str()), 1);

    // The name found, or "-" and what is left in the buffer (nothing).
    const auto found = [](const char* pszVariable, const char* pszName) {
        char szResult[TFile::FindFileSize] = "old";
        if (TFile::FindFile(szResult, pszVariable, pszName) != szResult)
            return "-" + std::string(szResult);
        return std::string(szResult);
    };
    const std::string here = std::string(".") + CrtPathSeparator() + "here.kw";
    EXPECT_EQ(std::vector<std::string>({ found("KW_FIND_TEST", "found.kw"), found("KW_FIND_TEST", "both.kw"),
                                         found("KW_FIND_TEST", "here.kw"), found("", "found.kw"),
                                         found("KW_FIND_TEST", "missing.kw"), found("KW_FIND_TEST", "") }),
              std::vector<std::string>({ dirB + "found.kw", dirA + "both.kw", here, "-", "-", "-" }));
    // A buffer too small for a candidate passes it over and never overflows.
    char szSmall[12] = "";
    EXPECT_EQ(TFile::FindFile(szSmall, sizeof(szSmall), "KW_FIND_TEST", "here.kw"), szSmall);
    EXPECT_EQ(TFile::FindFile(szSmall, sizeof(szSmall), "KW_FIND_TEST", "found.kw"), nullptr);
    EXPECT_EQ(TFile::FindFile(szSmall, 0, "KW_FIND_TEST", "here.kw"), nullptr);

    EXPECT_EQ(CurrentOS().SetCurrentDirectory(coOldDirectory), 1);
    CurrentOS().SetEnvVar("KW_FIND_TEST", nullptr);
}
