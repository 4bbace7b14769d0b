#include "KwScratchTest.h"
#include "KwTestTools.h"
#include "TArray.h"
#include "TFileInfo.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#include "TOpSystemWinNT.h"
#include <io.h>
#include <winioctl.h>
#else
#include "TOpSystemPosix.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using kwtest::kSep;
using kwtest::Pattern;
using kwtest::ReadFileBytes;
using kwtest::WriteFileBytes;

#if defined(_WIN32)
const char* const kPlatformClass = "TOpSystemWinNT";
const char* const kSystemName = "MS-Windows NT";
using TPlatformOS = TOpSystemWinNT;
const std::string kFileCode = "1";              // files have the archive bit
#else
const char* const kPlatformClass = "TOpSystemPosix";
const char* const kSystemName = "Linux";
using TPlatformOS = TOpSystemPosix;
const std::string kFileCode = "0";
#endif

constexpr int64_t kGiB = 1024ll * 1024 * 1024;

// Sets the last-modified and last-accessed times to calendar seconds.
void SetTimes(const std::string& path, int64_t llSeconds)
{
#if defined(_WIN32)
    HANDLE hFile = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE) << path;
    const uint64_t ullTicks = static_cast<uint64_t>(llSeconds + 11644473600ll) * 10000000ull;
    FILETIME coTime { static_cast<DWORD>(ullTicks), static_cast<DWORD>(ullTicks >> 32) };
    EXPECT_TRUE(SetFileTime(hFile, nullptr, &coTime, &coTime));
    CloseHandle(hFile);
#else
    const timespec aTimes[2] = { { static_cast<time_t>(llSeconds), 0 }, { static_cast<time_t>(llSeconds), 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), aTimes, 0), 0) << path;
#endif
}

// Free bytes where path lies, asked of the platform directly.
uint64_t FreeBytes(const std::string& path)
{
    std::error_code ec;
    const uintmax_t ullFree = fs::space(path, ec).available;
    return ec ? 0 : static_cast<uint64_t>(ullFree);
}

// A record as "name size code", a "/" after a directory's code. Codes: 1
// archive, 2 directory, 4 hidden, 8 read-only. A record whose path is not
// the directory, or whose system bits give another code, says so.
std::string Record(const TFileInfo& co, const std::string& directory)
{
    std::string record = std::string(co.Name()) + " " + std::to_string(co.Size()) + " "
        + std::to_string(co.Attributes()) + (co.IsDirectory() ? "/" : "");
    if (directory != static_cast<const char*>(co.Path()))
        record += " in " + std::string(co.Path());
    if (TOpSystem::AttributeCode(co.SystemAttributes()) != co.Attributes())
        record += " with other system bits";
    return record;
}

std::vector<std::string> Listing(const TArray& coFiles, const std::string& directory)
{
    std::vector<std::string> records;
    for (long i = 0; i < coFiles.Count(); ++i)
        records.push_back(Record(*static_cast<const TFileInfo*>(coFiles.Get(i)), directory));
    return records;
}

// Null and empty names: every operation that takes one refuses them.
const char* const kNoNames[] = { "", nullptr };

class TOpSystemFiles : public kwtest::TScratchTest {
protected:
    TOpSystemFiles() : TScratchTest("kwos-") {}

    void MakeEntries()
    {
        WriteFileBytes(At("b.txt"), "abc");
        WriteFileBytes(At("a.TXT"), Pattern(70000));
        WriteFileBytes(At("c.dat"), "");
        WriteFileBytes(At("ro.txt"), "r");
        ASSERT_TRUE(fs::create_directory(At("sub")));
        ASSERT_TRUE(fs::create_directory(At(".hid")));
        SetTimes(At("a.TXT"), m_llSetTime);
        SetTimes(At("b.txt"), m_llOldTime);
#if defined(_WIN32)
        SetFileAttributesA(At("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        // Wine hides names that begin with "."; Windows needs the attribute.
        SetFileAttributesA(At(".hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
#else
        chmod(At("ro.txt").c_str(), 0444);
#endif
    }

    const TOpSystem& m_coOS { CurrentOS() };
    // 2020-06-15 12:34:57 UTC: an odd second, which a DOS time cannot hold.
    const int64_t m_llSetTime { 1592224497 };
    // 1975: before the DOS years.
    const int64_t m_llOldTime { 170000000 };
};

} // namespace

TEST(TOpSystemTest, ThePlatformObject)
{
    const TOpSystem& coOS = CurrentOS();
    EXPECT_STREQ(coOS.GetClassName(), kPlatformClass);
    EXPECT_STREQ(coOS.SystemName(), kSystemName);
    // The base class, which platform classes extend, fails every operation
    // and leaves what it was given alone.
    TOpSystem coBase;
    TArray coArray;
    TFileInfo coInfo;
    unsigned short unError = 7;
    char ch = 0;
    EXPECT_EQ(coBase.ScanDrives(coArray) + coBase.ScanFiles(coArray, ".", "*", 1) + coBase.GetDriveType("C:\\")
                  + coBase.GetDriveInfo("C:\\", nullptr, nullptr, nullptr) + coBase.GetFileInfo(".", coInfo)
                  + coBase.ExistsPath(".") + coBase.FilePermission(".", 1) + coBase.SetCurrentDirectory(".")
                  + coBase.CreateDirectory("x", &unError) + coBase.RemoveDirectory("x", &unError)
                  + coBase.DeleteFile("x", &unError) + coBase.CopyFile("x", "y", 0) + coBase.MoveFileReplace("x", "y")
                  + coBase.FlushFile("x") + coBase.SetEnvVar("X", "y") + coBase.FreeLibrary(1),
              0);
    EXPECT_EQ(coBase.OpenFile("x", 1, 2, &unError) + coBase.TellFile(3) + coBase.FileLength(3)
                  + coBase.ReadFile(3, &ch, 1) + coBase.WriteFile(3, &ch, 1),
              -5);
    EXPECT_EQ(coBase.DiskFreeSpace("C:\\") + coBase.GetOSRunningTimeMs() + coBase.LoadLibrary("qa32kwtl"), 0u);
    EXPECT_TRUE(coBase.GetCurrentDirectory().IsEmpty() && coBase.GetEnvVar("PATH").IsEmpty());
    EXPECT_TRUE(!coBase.CreateThread(nullptr, nullptr) && !coBase.CreateConsoleProcess());
}

TEST(TOpSystemTest, RecordFieldsOfAttributesTimesAndSizes)
{
    // Of the bits set, the last of archive, compressed, directory, hidden,
    // read-only and system decides.
    const std::pair<unsigned long, unsigned short> aCodes[] = {
        { 0x00, 0 }, { 0x80, 0 }, { 0x20, 1 }, { 0x820, 32 }, { 0x830, 2 },
        { 0x12, 4 }, { 0x21, 8 }, { 0x13, 8 }, { 0x17, 16 }, { 0x04, 16 },
    };
    for (const auto& c : aCodes)
        EXPECT_EQ(TOpSystem::AttributeCode(c.first), c.second) << std::hex << c.first;

    // DOS times: two-second steps, the DOS years, the 32-bit field.
    const unsigned long ulEven = TOpSystem::DosCalendarTime(2020, 6, 15, 12, 34, 56);
    ASSERT_NE(ulEven, 0ul);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2020, 6, 15, 12, 34, 57), ulEven);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2020, 6, 15, 12, 35, 0), ulEven + 4);
    EXPECT_NE(TOpSystem::DosCalendarTime(1980, 1, 1, 12, 0, 0), 0ul);
    EXPECT_EQ(TOpSystem::DosCalendarTime(1979, 12, 31, 23, 59, 58) + TOpSystem::DosCalendarTime(2108, 1, 1, 0, 0, 0),
              0ul);
    if (sizeof(std::time_t) >= 8) {
        EXPECT_EQ(TOpSystem::DosCalendarTime(2107, 6, 1, 0, 0, 0), 0ul);
    }
    EXPECT_EQ(std::vector<unsigned long>({ TOpSystem::SizeField(70000), TOpSystem::SizeField(0xFFFFFFFEull),
                                           TOpSystem::SizeField(5 * static_cast<uint64_t>(kGiB)) }),
              std::vector<unsigned long>({ 70000ul, 0xFFFFFFFEul, 0xFFFFFFFFul }));
}

#if defined(_WIN32)

TEST_F(TOpSystemFiles, DrivesTheirTypesNamesSpaceAndRoots)
{
    TArray coDrives(4, nullptr, nullptr);
    ASSERT_EQ(m_coOS.ScanDrives(coDrives), 1);
    std::vector<std::string> roots;
    for (long i = 0; i < coDrives.Count(); ++i)
        roots.emplace_back(static_cast<const char*>(coDrives.Get(i)));
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()) && std::count(roots.begin(), roots.end(), "T:\\") == 1);
    // The first three characters name the drive.
    const std::pair<const char*, unsigned short> aTypes[] = {
        { "C:\\", 2 }, { "t:\\no\\such\\dir", 2 }, { "N:\\", 4 }, { "Q:\\", 0 }, { "T:", 0 },
    };
    for (const auto& c : aTypes)
        EXPECT_EQ(m_coOS.GetDriveType(c.first), c.second) << c.first;

    unsigned short unType = 9;
    TString coVolume = "old";
    TString coFileSystem = "old";
    EXPECT_EQ(m_coOS.GetDriveInfo("C:\\WINDOWS", &unType, &coVolume, &coFileSystem), 1);
    EXPECT_EQ(std::to_string(unType) + " " + static_cast<const char*>(coFileSystem), "2 NTFS");
    EXPECT_STREQ(coVolume, "KWILLET_C");
    // A drive without medium: Wine reports the missing medium as a missing
    // path, which has no text (Windows says "Drive is not ready").
    EXPECT_EQ(m_coOS.GetDriveInfo("N:\\", &unType, &coVolume, &coFileSystem), 0);
    EXPECT_EQ(std::to_string(unType) + " " + static_cast<const char*>(coFileSystem), "4 ");

    // Free space beyond 32 bits; drives that cannot say have none.
    const uint64_t ullDirect = FreeBytes("T:\\");
    const uint64_t ullFree = m_coOS.DiskFreeSpace("T:\\some\\deeper\\path");
    EXPECT_LT(ullFree > ullDirect ? ullFree - ullDirect : ullDirect - ullFree, ullDirect / 10 + 1);
    EXPECT_EQ(m_coOS.DiskFreeSpace("N:\\"), 0u);

    // A root keeps its backslash and has no "." and ".."; a drive that is
    // not ready, or no drive at all, lists nothing.
    TArray coFiles(8, nullptr, TFileInfo::CompareByName);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, "T:\\", "*.*", 1), 1);
    const std::vector<std::string> records = Listing(coFiles, "T:\\");
    EXPECT_NE(std::find(records.begin(), records.end(), m_dir.substr(3) + " 0 2/"), records.end());
    EXPECT_EQ(std::find_if(records.begin(), records.end(), [](const std::string& s) { return s[0] == '.'; }),
              records.end());
    for (const char* pszPath : { "N:\\", "Q:\\", "kwos", "T:" })
        EXPECT_EQ(m_coOS.ScanFiles(coFiles, pszPath, nullptr, 1), 0) << pszPath;
    EXPECT_EQ(coFiles.Count(), 0);
}

#else

TEST(TOpSystemPosixTest, NoDrivesAndTheLibraryNames)
{
    const TOpSystem& coOS = CurrentOS();
    TArray coDrives;
    coDrives.Add(nullptr);
    unsigned short unType = 9;
    EXPECT_EQ(coOS.ScanDrives(coDrives) + coDrives.Count() + coOS.GetDriveType("/")
                  + coOS.GetDriveInfo("/", &unType, nullptr, nullptr) + unType,
              0);
    // Free to everyone, at least what users may use.
    EXPECT_GE(coOS.DiskFreeSpace("/") + 64 * 1024 * 1024, FreeBytes("/"));
    EXPECT_EQ(coOS.DiskFreeSpace("/no/such/dir"), 0u);

    const std::pair<const char*, const char*> aNames[] = {
        { "qa32kwtl", "qa32kwtl.so" }, { "/opt/kw/qa32kctl", "/opt/kw/qa32kctl.so" },
        { "dir.d/mod", "dir.d/mod.so" },    // a dot in the directory is no extension
        { "mod.so", "mod.so" }, { "libm.so.6", "libm.so.6" },
        { "mod.", "mod" },                  // a trailing dot means "no extension"
        { "", "" }, { nullptr, "" },
    };
    for (const auto& c : aNames)
        EXPECT_STREQ(TOpSystemPosix::LibraryFileName(c.first), c.second) << c.second;
}

#endif

TEST_F(TOpSystemFiles, EntriesAreListedDescribedAndCheckedForAccess)
{
    MakeEntries();
    TArray coFiles(8, nullptr, TFileInfo::CompareByName);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, (m_dir + kSep).c_str(), "*.*", 1), 1);
    // The trailing separator is not part of the records' path.
    EXPECT_EQ(Listing(coFiles, m_dir),
              (std::vector<std::string> { ". 0 2/", ".. 0 2/", ".hid 0 4/", "a.TXT 70000 " + kFileCode,
                                          "b.txt 3 " + kFileCode, "c.dat 0 " + kFileCode, "ro.txt 1 8", "sub 0 2/" }));
    // Times have the two-second steps of a DOS time; one before 1980 has none.
    EXPECT_EQ(static_cast<const TFileInfo*>(coFiles.Get(3))->LastAccessed(),
              static_cast<unsigned long>(m_llSetTime - 1));
    EXPECT_EQ(static_cast<const TFileInfo*>(coFiles.Get(4))->LastModified(), 0ul);

    // Patterns (without regard to case on Windows), without directories.
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, m_dir.c_str(), "*.txt", 0), 1);
#if defined(_WIN32)
    EXPECT_EQ(Listing(coFiles, m_dir), (std::vector<std::string> { "a.TXT 70000 1", "b.txt 3 1", "ro.txt 1 8" }));
#else
    EXPECT_EQ(Listing(coFiles, m_dir), (std::vector<std::string> { "b.txt 3 0", "ro.txt 1 8" }));
#endif
    // No match is an empty success; a missing directory or path a failure.
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, At("sub").c_str(), "*.*", 0), 1);
    EXPECT_EQ(coFiles.Count(), 0);
    coFiles.Add(new TFileInfo);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, At("missing").c_str(), "*.*", 1), 0);
    EXPECT_EQ(coFiles.Count(), 0);
    for (const char* pszPath : kNoNames)
        EXPECT_EQ(m_coOS.ScanFiles(coFiles, pszPath, "*.*", 1), 0);

    TFileInfo coInfo;
    ASSERT_EQ(m_coOS.GetFileInfo(At("a.TXT").c_str(), coInfo), 1);
    EXPECT_EQ(Record(coInfo, m_dir), "a.TXT 70000 " + kFileCode);
    EXPECT_EQ(coInfo.LastModified(), static_cast<unsigned long>(m_llSetTime - 1));
    // A directory: no name, no times, the given path.
    ASSERT_EQ(m_coOS.GetFileInfo(At(".hid").c_str(), coInfo), 1);
    EXPECT_EQ(Record(coInfo, At(".hid")), " 0 4/");
    EXPECT_EQ(coInfo.LastModified() + coInfo.CreationTime() + coInfo.LastAccessed(), 0ul);
    // Failures clear the record.
    const std::string missing = At("missing");
    for (const char* pszPath : { missing.c_str(), "", static_cast<const char*>(nullptr) }) {
        coInfo.SetName("x");
        coInfo.SetSize(9);
        EXPECT_EQ(m_coOS.GetFileInfo(pszPath, coInfo), 0);
        EXPECT_EQ(Record(coInfo, ""), " 0 0");
    }
    // A relative name keeps the whole name as its path.
    const TString coBefore = m_coOS.GetCurrentDirectory();
    EXPECT_EQ(m_coOS.SetCurrentDirectory(missing.c_str()) + m_coOS.SetCurrentDirectory(""), 0);
    ASSERT_EQ(m_coOS.SetCurrentDirectory(m_dir.c_str()), 1);
    EXPECT_EQ(fs::path(static_cast<const char*>(m_coOS.GetCurrentDirectory())), fs::canonical(m_dir));
    EXPECT_EQ(m_coOS.GetFileInfo("b.txt", coInfo), 1);
    EXPECT_STREQ(coInfo.Path(), "b.txt");
#if defined(_WIN32)
    // A drive-relative name names the drive.
    EXPECT_EQ(m_coOS.GetFileInfo("T:b.txt", coInfo), 1);
    EXPECT_STREQ(coInfo.Path(), "T:");
#endif
    ASSERT_EQ(m_coOS.SetCurrentDirectory(coBefore), 1);

#if defined(_WIN32)
    const int nReadOnlyWrites = 0;
#else
    const int nReadOnlyWrites = geteuid() == 0;      // root writes to read-only files
#endif
    // Mode 0 asks for nothing, 4 is no mode; a directory does not open as a file.
    const std::pair<const char*, unsigned short> aCases[] = {
        { "b.txt", 3 }, { "b.txt", 0 }, { "b.txt", 4 }, { "ro.txt", 1 },
        { "ro.txt", 2 }, { "sub", 1 }, { "missing", 1 },
    };
    std::string strResults;
    for (const auto& c : aCases)
        strResults += std::to_string(m_coOS.FilePermission(At(c.first).c_str(), c.second));
    EXPECT_EQ(strResults, "1001" + std::to_string(nReadOnlyWrites) + "00");
    EXPECT_EQ(ReadFileBytes(At("b.txt")), "abc");
    EXPECT_EQ(m_coOS.ExistsPath(At("sub").c_str()) * 10 + m_coOS.ExistsPath(At("missing").c_str()), 10);
    for (const char* pszPath : kNoNames)
        EXPECT_EQ(m_coOS.ExistsPath(pszPath) + m_coOS.FilePermission(pszPath, 1), 0);
}

// Mode 4 refuses an existing file; 2 and 3 create a missing one; any other
// mode reads, and a read-only open cannot write.
TEST_F(TOpSystemFiles, OpenFileModesCreateEmptyAndReportErrors)
{
    WriteFileBytes(At("old.txt"), "old");
    const struct { std::string m_path; unsigned short m_unMode; unsigned short m_unError; } aFailures[] = {
        { At("new.txt"), 1, TOpSystem::OpenNoFile }, { At("nodir") + kSep + "x", 2, TOpSystem::OpenNoFile },
        { m_dir, 1, TOpSystem::OpenNoAccess }, { At("old.txt"), 4, TOpSystem::OpenExists },
    };
    for (const auto& c : aFailures) {
        unsigned short unError = 77;
        EXPECT_EQ(m_coOS.OpenFile(c.m_path.c_str(), c.m_unMode, 2, &unError), -1) << c.m_path;
        EXPECT_EQ(unError, c.m_unError) << c.m_path;
    }
    EXPECT_FALSE(fs::exists(At("new.txt")));
    unsigned short unError = 77;
    for (const char* pszName : kNoNames)
        EXPECT_EQ(m_coOS.OpenFile(pszName, 2, 2, &unError), -1);
    EXPECT_EQ(unError, 77);                           // untouched
    int nHandle = m_coOS.OpenFile(At("old.txt").c_str(), 7, 2, &unError);
    EXPECT_EQ(m_coOS.WriteFile(nHandle, "x", 1), -1);
    m_coOS.CloseFile(nHandle);

    // Text mode turns line ends into CR LF on Windows only.
    nHandle = m_coOS.OpenFile(At("text.txt").c_str(), 3, 1, &unError);
    EXPECT_EQ(m_coOS.WriteFile(nHandle, "a\nb", 3), 3);
    m_coOS.CloseFile(nHandle);
#if defined(_WIN32)
    EXPECT_EQ(ReadFileBytes(At("text.txt")), "a\r\nb");
#else
    EXPECT_EQ(ReadFileBytes(At("text.txt")), "a\nb");
#endif
}

TEST_F(TOpSystemFiles, OpenFileSharingBetweenTwoOpens)
{
    // Mode 1 reads and lets others read; every other mode denies others
    // reading and writing.
    const std::pair<unsigned short, unsigned short> aDenied[] = {
        { 1, 2 }, { 1, 3 }, { 1, 5 }, { 2, 1 }, { 2, 2 }, { 3, 1 }, { 5, 5 },
    };
    const std::string path = At("shared.txt");
    unsigned short unError = 77;
    WriteFileBytes(path, "contents");
    const int nReader = m_coOS.OpenFile(path.c_str(), 1, 2, &unError);
    const int nOther = m_coOS.OpenFile(path.c_str(), 1, 2, &unError);
    EXPECT_GE(nOther, 0);
    m_coOS.CloseFile(nOther);
    m_coOS.CloseFile(nReader);
    for (const auto& c : aDenied) {
        SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
        WriteFileBytes(path, "contents");
        const int nFirst = m_coOS.OpenFile(path.c_str(), c.first, 2, &unError);
        ASSERT_GE(nFirst, 0);
        EXPECT_EQ(m_coOS.OpenFile(path.c_str(), c.second, 2, &unError), -1);
        EXPECT_EQ(unError, TOpSystem::OpenNoAccess);
        m_coOS.CloseFile(nFirst);
        // A refused mode 3 leaves the contents alone.
        EXPECT_EQ(ReadFileBytes(path), c.first == 3 ? "" : "contents");
        // Once the first is closed, the second opens.
        const int nAfter = m_coOS.OpenFile(path.c_str(), c.second, 2, &unError);
        EXPECT_GE(nAfter, 0);
        m_coOS.CloseFile(nAfter);
    }
}

TEST_F(TOpSystemFiles, CopyFileFromAnOffsetNeverLosesData)
{
    const std::string source = Pattern(65537);         // more than three pieces
    WriteFileBytes(At("source.bin"), source);
    // The expected target: a tail of the source, or (after a failure) its
    // old text.
    const std::pair<int64_t, int> aOffsets[] = {
        { 0, 1 }, { 20000, 1 }, { 65536, 1 }, { 65537, 1 }, { 65538, 0 }, { 1ll << 40, 0 }, { -1, 0 },
    };
    for (const auto& c : aOffsets) {
        WriteFileBytes(At("target.bin"), "old");
        EXPECT_EQ(m_coOS.CopyFile(At("target.bin").c_str(), At("source.bin").c_str(), c.first), c.second) << c.first;
        const std::string expected = c.second ? source.substr(static_cast<size_t>(c.first)) : "old";
        EXPECT_TRUE(ReadFileBytes(At("target.bin")) == expected) << c.first;
    }
    // A target that does not exist yet is not created by a failed copy.
    EXPECT_EQ(m_coOS.CopyFile(At("fresh.bin").c_str(), At("source.bin").c_str(), 70000), 0);
    EXPECT_FALSE(fs::exists(At("fresh.bin")));

    // No source, the same file (also under another spelling), a directory
    // as source, a target below a missing directory: nothing changes.
    WriteFileBytes(At("target.bin"), "target");
    ASSERT_TRUE(fs::create_directory(At("sub")));
    const std::pair<std::string, std::string> aRefused[] = {
        { At("target.bin"), At("missing.bin") }, { At("source.bin"), At("source.bin") },
        { m_dir + kSep + "." + kSep + "source.bin", At("source.bin") }, { At("target.bin"), At("sub") },
        { At("nodir") + kSep + "x.bin", At("source.bin") }, { "", At("source.bin") },
    };
    for (const auto& c : aRefused)
        EXPECT_EQ(m_coOS.CopyFile(c.first.c_str(), c.second.c_str(), 0), 0) << c.first << " <- " << c.second;
    EXPECT_TRUE(ReadFileBytes(At("source.bin")) == source);
    EXPECT_EQ(ReadFileBytes(At("target.bin")), "target");
}

namespace {

// Records the flushes the platform object asks for; they fail on request.
class TFlushProbe : public TPlatformOS {
public:
    int FlushFile(const char* pszName) const override
    {
        m_vecFlushed.emplace_back(pszName);
        return m_nFail ? 0 : TPlatformOS::FlushFile(pszName);
    }
    mutable std::vector<std::string> m_vecFlushed;
    int m_nFail { 0 };
};

} // namespace

// The new file's data reach the disk before its name replaces the old one;
// when they cannot, or the move fails, both files stay as they were.
TEST_F(TOpSystemFiles, MoveFileReplaceFlushesTheSourceFirst)
{
    WriteFileBytes(At("new.bin"), "new");
    WriteFileBytes(At("old.bin"), "old");
    TFlushProbe coOS;
    coOS.m_nFail = 1;
    EXPECT_EQ(coOS.MoveFileReplace(At("old.bin").c_str(), At("new.bin").c_str()), 0);
    EXPECT_EQ(coOS.m_vecFlushed, std::vector<std::string> { At("new.bin") });
    EXPECT_TRUE(ReadFileBytes(At("old.bin")) == "old");
    coOS.m_nFail = 0;
    EXPECT_EQ(coOS.MoveFileReplace(At("old.bin").c_str(), At("new.bin").c_str()), 1);
    EXPECT_TRUE(ReadFileBytes(At("old.bin")) == "new");
    EXPECT_FALSE(fs::exists(At("new.bin")));
    const std::pair<std::string, std::string> aRefused[] = {
        { At("old.bin"), At("missing.bin") }, { At("old.bin"), "" }, { At("none") + kSep + "x.bin", At("old.bin") },
    };
    for (const auto& c : aRefused)
        EXPECT_EQ(coOS.MoveFileReplace(c.first.c_str(), c.second.c_str()), 0) << c.first << " <- " << c.second;
    EXPECT_EQ(coOS.MoveFileReplace(nullptr, At("old.bin").c_str()), 0);
    EXPECT_TRUE(ReadFileBytes(At("old.bin")) == "new");
    EXPECT_EQ(coOS.FlushFile(At("missing.bin").c_str()), 0);
}

namespace {

std::string ReadAt(const std::string& path, int64_t llOffset, size_t nCount)
{
    std::ifstream coIn(path, std::ios::binary);
    std::string bytes(nCount, '\0');
    coIn.seekg(llOffset);
    coIn.read(&bytes[0], static_cast<std::streamsize>(nCount));
    return bytes.substr(0, static_cast<size_t>(coIn.gcount()));
}

} // namespace

TEST_F(TOpSystemFiles, CopyFileOfMoreThanFourGiB)
{
    const int64_t llLength = 4 * kGiB + 3 * 1024 * 1024 + 17;
    // The sparse source needs hardly any room; the full copy writes every
    // byte of the target.
    if (FreeBytes(m_dir) < static_cast<uint64_t>(kGiB))
        GTEST_SKIP() << "less than 1 GiB free in " << m_dir << " for the sparse source file";
    const std::vector<std::pair<int64_t, std::string>> markers = {
        { 0, "HEAD" }, { 2 * kGiB - 2, "TWO-GIB" }, { 4 * kGiB - 3, "FOUR-GIB" }, { 4 * kGiB + 1024 * 1024, "TAIL" },
        { llLength - 1, "E" },
    };
    const std::string source = At("big.bin");
    unsigned short unError = 0;
    const int nHandle = m_coOS.OpenFile(source.c_str(), 3, 2, &unError);
    ASSERT_GE(nHandle, 0);
#if defined(_WIN32)
    DWORD ulReturned = 0;
    DeviceIoControl(reinterpret_cast<HANDLE>(_get_osfhandle(nHandle)), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0,
                    &ulReturned, nullptr);
#endif
    for (const auto& c : markers) {
        m_coOS.SeekFile(nHandle, c.first, 1);
        EXPECT_EQ(m_coOS.WriteFile(nHandle, c.second.data(), static_cast<long>(c.second.size())), c.second.size());
    }
    EXPECT_EQ(m_coOS.FileLength(nHandle), llLength);
    m_coOS.CloseFile(nHandle);
    TFileInfo coInfo;
    ASSERT_EQ(m_coOS.GetFileInfo(source.c_str(), coInfo), 1);
    EXPECT_EQ(coInfo.Size(), TFileInfo::LargeSize);

    // A copy from an offset beyond 4 GiB takes only the tail.
    const int64_t llOffset = 4 * kGiB + 1024 * 1024 - 5;
    ASSERT_EQ(m_coOS.CopyFile(At("tail.bin").c_str(), source.c_str(), llOffset), 1);
    EXPECT_EQ(static_cast<int64_t>(fs::file_size(At("tail.bin"))), llLength - llOffset);
    EXPECT_EQ(ReadAt(At("tail.bin"), 0, 9), std::string(5, '\0') + "TAIL");
    EXPECT_EQ(m_coOS.CopyFile(At("tail.bin").c_str(), source.c_str(), llLength + 1), 0);

    const uint64_t ullNeeded = static_cast<uint64_t>(llLength) + static_cast<uint64_t>(kGiB);
    if (FreeBytes(m_dir) < ullNeeded)
        GTEST_SKIP() << "the full copy writes " << llLength << " bytes; fewer are free in " << m_dir;
    // A trial copy of 256 MiB tells how long the whole copy would take.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(m_coOS.CopyFile(At("trial.bin").c_str(), source.c_str(), llLength - 256 * 1024 * 1024), 1);
    const double dTrial = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::remove(At("trial.bin").c_str());
    if (dTrial * static_cast<double>(llLength) / (256.0 * 1024 * 1024) > 60.0)
        GTEST_SKIP() << "copying " << llLength << " bytes would take more than a minute here";
    const std::string target = At("copy.bin");
    ASSERT_EQ(m_coOS.CopyFile(target.c_str(), source.c_str(), 0), 1);
    EXPECT_EQ(static_cast<int64_t>(fs::file_size(target)), llLength);
    for (const auto& c : markers)
        EXPECT_EQ(ReadAt(target, c.first, c.second.size()), c.second) << c.first;
}

TEST_F(TOpSystemFiles, DirectoriesAndFilesCreatedAndRemovedWithErrorCodes)
{
    WriteFileBytes(At("file.txt"), "x");
    const std::string dir = At("made");
    const std::string deep = At("nodir") + kSep + "child";
    using TOperation = int (TOpSystem::*)(const char*, unsigned short*) const;
    const TOperation Make = &TOpSystem::CreateDirectory;
    const TOperation Remove = &TOpSystem::RemoveDirectory;
    const TOperation Del = &TOpSystem::DeleteFile;
    struct { const char* m_pszWhat; TOperation m_pfnOp; std::string m_path; int m_nResult; unsigned short m_unError; }
        const aCases[] = {
        { "create", Make, dir, 1, 0 }, { "create over a file", Make, At("file.txt"), 0, 1 },
        { "create below a missing parent", Make, deep, 0, 2 }, { "create without path", Make, "", 0, 4 },
        { "create child", Make, dir + kSep + "child", 1, 0 }, { "remove not empty", Remove, dir, 0, 3 },
        { "remove missing", Remove, At("missing"), 0, 2 }, { "remove without path", Remove, "", 0, 4 },
        { "remove child", Remove, dir + kSep + "child", 1, 0 }, { "remove", Remove, dir, 1, 0 },
        { "delete a directory", Del, m_dir, 0, 1 }, { "delete missing", Del, At("missing"), 0, 2 },
        { "delete without path", Del, "", 0, 4 }, { "delete", Del, At("file.txt"), 1, 0 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.m_pszWhat);
        unsigned short unError = 77;
        EXPECT_EQ((m_coOS.*c.m_pfnOp)(c.m_path.c_str(), &unError), c.m_nResult);
        EXPECT_EQ(unError, c.m_unError);
        // The error pointer is optional; a null path is no path.
        EXPECT_EQ((m_coOS.*c.m_pfnOp)(nullptr, nullptr), 0);
    }
    EXPECT_FALSE(fs::exists(dir));
#if defined(_WIN32)
    // A file that another open denies cannot be deleted.
    unsigned short unError = 77;
    WriteFileBytes(At("busy.txt"), "x");
    const int nHandle = m_coOS.OpenFile(At("busy.txt").c_str(), 2, 2, &unError);
    EXPECT_EQ(m_coOS.DeleteFile(At("busy.txt").c_str(), &unError), 0);
    EXPECT_EQ(unError, 1);
    m_coOS.CloseFile(nHandle);
    EXPECT_EQ(m_coOS.DeleteFile(At("busy.txt").c_str(), &unError), 1);
#endif
}

TEST(TOpSystemTest, EnvironmentVariablesAreSetReadAndRemoved)
{
    std::unique_ptr<TOpSystem> pcoOS(static_cast<TOpSystem*>(TDynBase::RTTIDynCreate(kPlatformClass)));
    const char* pszName = "KW_OS_TEST_VARIABLE";
    const std::string value(10000, 'v');              // longer than any fixed area
    EXPECT_EQ(pcoOS->SetEnvVar(pszName, value.c_str()), 1);
    EXPECT_EQ(std::string(pcoOS->GetEnvVar(pszName)), value);
    EXPECT_EQ(pcoOS->SetEnvVar(pszName, nullptr), 1);
    EXPECT_TRUE(pcoOS->GetEnvVar(pszName).IsEmpty());
    for (const char* pszNoName : kNoNames) {
        EXPECT_EQ(pcoOS->SetEnvVar(pszNoName, "x"), 0);
        EXPECT_TRUE(pcoOS->GetEnvVar(pszNoName).IsEmpty());
    }
}

namespace {

std::vector<std::pair<std::string, std::string>> g_messages;

void RecordMessage(const char* pszText, const char* pszCaption) { g_messages.emplace_back(pszText, pszCaption); }

} // namespace

TEST(TOpSystemTest, MessagesGoToTheInstalledHandler)
{
    g_messages.clear();
    const TOpSystem::MessageHandler pfnPrevious = TOpSystem::SetMessageHandler(RecordMessage);
    CurrentOS().Message("Copy failed", "ZORVIK-Message");
    CurrentOS().Message("No caption", nullptr);
    CurrentOS().Message(nullptr, "Empty");
    EXPECT_EQ(TOpSystem::SetMessageHandler(pfnPrevious), &RecordMessage);
    EXPECT_EQ(g_messages, (std::vector<std::pair<std::string, std::string>> {
                              { "Copy failed", "ZORVIK-Message" }, { "No caption", "Message" }, { "", "Empty" } }));
}

TEST(TOpSystemTest, SleepClockAndLibraries)
{
    // Under Wine the running time may lag on a loaded machine, and catch up
    // later: it must reach the time slept, and stay near the steady clock.
    const TOpSystem& coOS = CurrentOS();
    const auto tStart = std::chrono::steady_clock::now();
    const unsigned long ulStart = coOS.GetOSRunningTimeMs();
    coOS.Sleep(120);
    EXPECT_GE(std::chrono::steady_clock::now() - tStart, std::chrono::milliseconds(110));
    unsigned long ulElapsed = 0;
    EXPECT_TRUE(kwtest::WaitFor([&] { return (ulElapsed = coOS.GetOSRunningTimeMs() - ulStart) >= 120; }));
    const auto tElapsed = std::chrono::steady_clock::now() - tStart;
    EXPECT_LE(std::chrono::milliseconds(ulElapsed), tElapsed + std::chrono::seconds(2));

    const intptr_t nHandle = coOS.LoadLibrary("qa32kwtl");
    ASSERT_NE(nHandle, 0);
    EXPECT_EQ(coOS.LoadLibrary("qa32kwtl"), nHandle);
    EXPECT_EQ(coOS.FreeLibrary(nHandle) + coOS.FreeLibrary(nHandle), 2);
    for (const char* pszName : { "qa32nosuchlibrary", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(coOS.LoadLibrary(pszName), 0);
    EXPECT_EQ(coOS.FreeLibrary(0), 0);
}
