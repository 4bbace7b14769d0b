#include "KwScratchTest.h"
#include "TArray.h"
#include "TCrt.h"
#include "TFileInfo.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#include <io.h>
#include <winioctl.h>
#include "TOpSystemWinNT.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include "TOpSystemPosix.h"
#endif

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
constexpr char kSep = '\\';
const char* const kPlatformClass = "TOpSystemWinNT";
using TPlatformOS = TOpSystemWinNT;
#else
constexpr char kSep = '/';
const char* const kPlatformClass = "TOpSystemPosix";
using TPlatformOS = TOpSystemPosix;
#endif

constexpr int64_t kGiB = 1024ll * 1024 * 1024;

// An operating-system object of its own: GetEnvVar and GetCurrentDirectory
// are not const, so they are not callable on CurrentOS().
std::unique_ptr<TOpSystem> NewPlatformObject()
{
    return std::unique_ptr<TOpSystem>(static_cast<TOpSystem*>(TDynBase::RTTIDynCreate(kPlatformClass)));
}

using kwtest::ReadFileBytes;
using kwtest::WriteFileBytes;

// Bytes that differ from position to position, so that a piece copied to
// the wrong place shows.
std::string Pattern(size_t nLength)
{
    std::string bytes(nLength, 0);
    for (size_t i = 0; i < nLength; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

void SetReadOnly(const std::string& path, bool bReadOnly)
{
#if defined(_WIN32)
    SetFileAttributesA(path.c_str(), bReadOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), bReadOnly ? 0444 : 0644);
#endif
}

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
#if defined(_WIN32)
    ULARGE_INTEGER coFree;
    return GetDiskFreeSpaceExA(path.c_str(), nullptr, nullptr, &coFree) ? coFree.QuadPart : 0;
#else
    struct statvfs coStat;
    return statvfs(path.c_str(), &coStat) == 0 ? static_cast<uint64_t>(coStat.f_bavail) * coStat.f_frsize : 0;
#endif
}

std::vector<std::string> Names(const TArray& coFiles)
{
    std::vector<std::string> names;
    for (long i = 0; i < coFiles.Count(); ++i)
        names.emplace_back(static_cast<const TFileInfo*>(coFiles.Get(i))->Name());
    return names;
}

const TFileInfo* Entry(const TArray& coFiles, const char* pszName)
{
    for (long i = 0; i < coFiles.Count(); ++i) {
        auto* pcoInfo = static_cast<const TFileInfo*>(coFiles.Get(i));
        if (pcoInfo->Name() == pszName)
            return pcoInfo;
    }
    return nullptr;
}

#if defined(_WIN32)
bool RunsUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

class TOpSystemFiles : public kwtest::TScratchTest {
protected:
    TOpSystemFiles() : TScratchTest("kwos-") {}

    // The entries ScanFiles and GetFileInfo are tested on.
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
        SetReadOnly(At("ro.txt"), true);
#if defined(_WIN32)
        // Wine hides names that begin with "."; Windows needs the attribute.
        SetFileAttributesA(At(".hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    }

    const TOpSystem& m_coOS { CurrentOS() };
    // 2020-06-15 12:34:57 UTC: an odd second, which a DOS time cannot hold.
    const int64_t m_llSetTime { 1592224497 };
    // 1975: before the DOS years.
    const int64_t m_llOldTime { 170000000 };
};

} // namespace

// The object and its helpers

TEST(TOpSystemTest, PlatformObjectReportsItsSystem)
{
    const TOpSystem& coOS = CurrentOS();
    EXPECT_STREQ(coOS.GetClassName(), kPlatformClass);
    EXPECT_STREQ(coOS.GetBaseClassName(), "TOpSystem");
    EXPECT_STREQ(coOS.GetModuleName(), "kwtl");
    EXPECT_EQ(&coOS, &CurrentOS());
#if defined(_WIN32)
    EXPECT_EQ(coOS.Platform(), 4ul);
    EXPECT_STREQ(coOS.SystemName(), "MS-Windows NT");
    EXPECT_GE(coOS.MajorVersion(), 5ul);
    EXPECT_NE(coOS.MinorVersion(), 0xFFFFFFFFul);
    EXPECT_NE(coOS.BuildNumber(), 0xFFFFFFFFul);
#else
    EXPECT_EQ(coOS.Platform(), 0xFFFFFFFFul);
    EXPECT_STREQ(coOS.SystemName(), "Linux");
    EXPECT_GE(coOS.MajorVersion(), 2ul);
    EXPECT_FALSE(coOS.AdditionalInfo().IsEmpty());
#endif
}

TEST(TOpSystemTest, BaseClassGivesNeutralResults)
{
    TOpSystem coOS;
    EXPECT_EQ(coOS.Platform(), 0xFFFFFFFFul);
    EXPECT_EQ(coOS.MajorVersion(), 0xFFFFFFFFul);

    TArray coArray(4, nullptr, nullptr);
    coArray.Add(&coOS);
    EXPECT_EQ(coOS.ScanDrives(coArray), 0);
    EXPECT_EQ(coArray.Count(), 0);
    EXPECT_EQ(coOS.ScanFiles(coArray, ".", "*", 1), 0);
    EXPECT_EQ(coOS.GetDriveType("C:\\"), 0);

    unsigned short unType = 9;
    TString coVolume = "old";
    TString coFileSystem = "old";
    EXPECT_EQ(coOS.GetDriveInfo("C:\\", &unType, &coVolume, &coFileSystem), 0);
    EXPECT_EQ(unType, 0);
    EXPECT_TRUE(coVolume.IsEmpty());
    EXPECT_TRUE(coFileSystem.IsEmpty());

    TFileInfo coInfo;
    coInfo.SetName("x");
    coInfo.SetSize(5);
    EXPECT_EQ(coOS.GetFileInfo(".", coInfo), 0);
    EXPECT_STREQ(coInfo.Name(), "");
    EXPECT_EQ(coInfo.Size(), 0ul);

    unsigned short unError = 7;
    EXPECT_EQ(coOS.ExistsPath("."), 0);
    EXPECT_EQ(coOS.FilePermission(".", 1), 0);
    EXPECT_EQ(coOS.DiskFreeSpace("C:\\"), 0u);
    EXPECT_EQ(coOS.OpenFile("x", 1, 2, &unError), -1);
    EXPECT_EQ(coOS.TellFile(3), -1);
    EXPECT_EQ(coOS.FileLength(3), -1);
    char ch = 0;
    EXPECT_EQ(coOS.ReadFile(3, &ch, 1), -1);
    EXPECT_EQ(coOS.WriteFile(3, &ch, 1), -1);
    EXPECT_TRUE(coOS.GetCurrentDirectory().IsEmpty());
    EXPECT_EQ(coOS.SetCurrentDirectory("."), 0);
    EXPECT_EQ(coOS.CreateDirectory("x", &unError), 0);
    EXPECT_EQ(coOS.RemoveDirectory("x", &unError), 0);
    EXPECT_EQ(coOS.DeleteFile("x", &unError), 0);
    EXPECT_EQ(coOS.CopyFile("x", "y", 0), 0);
    EXPECT_EQ(coOS.MoveFileReplace("x", "y"), 0);
    EXPECT_EQ(coOS.CreateThread(nullptr, nullptr), nullptr);
    EXPECT_EQ(coOS.CreateConsoleProcess(), nullptr);
    EXPECT_TRUE(coOS.GetEnvVar("PATH").IsEmpty());
    EXPECT_EQ(coOS.SetEnvVar("X", "y"), 0);
    EXPECT_EQ(coOS.GetOSRunningTimeMs(), 0ul);
    EXPECT_EQ(coOS.LoadLibrary("qa32kwtl"), 0);
    EXPECT_EQ(coOS.FreeLibrary(1), 0);
    EXPECT_EQ(coOS.ModuleManager().Load("qa32kwtl"), 0);
}

TEST(TOpSystemTest, AttributeCodeIsTheLastSetBitOfTheList)
{
    struct {
        unsigned long m_ulBits;
        unsigned short m_unCode;
    } const aCases[] = {
        { 0x00, 0 },
        { 0x80, 0 },          // "normal" is none of the listed bits
        { 0x20, 1 },          // archive
        { 0x820, 32 },        // compressed beats archive
        { 0x830, 2 },         // directory beats compressed
        { 0x12, 4 },          // a hidden directory is hidden
        { 0x21, 8 },          // a read-only file
        { 0x13, 8 },
        { 0x17, 16 },         // system beats everything
        { 0x04, 16 },
    };
    for (const auto& c : aCases)
        EXPECT_EQ(TOpSystem::AttributeCode(c.m_ulBits), c.m_unCode) << std::hex << c.m_ulBits;
}

TEST(TOpSystemTest, DosTimesHaveTwoSecondStepsAndTheDosYears)
{
    const unsigned long ulEven = TOpSystem::DosCalendarTime(2020, 6, 15, 12, 34, 56);
    ASSERT_NE(ulEven, 0ul);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2020, 6, 15, 12, 34, 57), ulEven);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2020, 6, 15, 12, 34, 58), ulEven + 2);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2020, 6, 15, 12, 35, 0), ulEven + 4);
    EXPECT_NE(TOpSystem::DosCalendarTime(1980, 1, 1, 12, 0, 0), 0ul);
    EXPECT_EQ(TOpSystem::DosCalendarTime(1979, 12, 31, 23, 59, 58), 0ul);
    EXPECT_EQ(TOpSystem::DosCalendarTime(2108, 1, 1, 0, 0, 0), 0ul);
    if (sizeof(std::time_t) >= 8) {
        EXPECT_NE(TOpSystem::DosCalendarTime(2106, 1, 1, 0, 0, 0), 0ul);
        EXPECT_EQ(TOpSystem::DosCalendarTime(2107, 6, 1, 0, 0, 0), 0ul);  // past the 32-bit field
    }
}

TEST(TOpSystemTest, SizeFieldMarksSizesBeyond32Bits)
{
    EXPECT_EQ(TOpSystem::SizeField(0), 0ul);
    EXPECT_EQ(TOpSystem::SizeField(70000), 70000ul);
    EXPECT_EQ(TOpSystem::SizeField(0xFFFFFFFEull), 0xFFFFFFFEul);
    EXPECT_EQ(TOpSystem::SizeField(0xFFFFFFFFull), 0xFFFFFFFFul);
    EXPECT_EQ(TOpSystem::SizeField(0x100000000ull), 0xFFFFFFFFul);
    EXPECT_EQ(TOpSystem::SizeField(5 * static_cast<uint64_t>(kGiB)), 0xFFFFFFFFul);
}

// Drives

#if defined(_WIN32)

TEST(TOpSystemDrives, ScanDrivesListsEveryRootInOrder)
{
    TArray coDrives(4, nullptr, nullptr);
    ASSERT_EQ(CurrentOS().ScanDrives(coDrives), 1);
    EXPECT_NE(coDrives.GetDestroyFunc(), nullptr);
    std::vector<std::string> roots;
    for (long i = 0; i < coDrives.Count(); ++i)
        roots.emplace_back(static_cast<const char*>(coDrives.Get(i)));
    auto find = [&](const char* pszRoot) { return std::find(roots.begin(), roots.end(), pszRoot) - roots.begin(); };
    const auto c = find("C:\\");
    const auto n = find("N:\\");
    const auto t = find("T:\\");
    ASSERT_LT(t, static_cast<long>(roots.size()));
    EXPECT_LT(c, n);
    EXPECT_LT(n, t);
    const long lCount = coDrives.Count();
    ASSERT_EQ(CurrentOS().ScanDrives(coDrives), 1);      // a second scan replaces the first
    EXPECT_EQ(coDrives.Count(), lCount);
}

TEST(TOpSystemDrives, DriveTypeUsesTheFirstThreeCharacters)
{
    struct {
        const char* m_pszPath;
        unsigned short m_unType;
    } const aCases[] = {
        { "C:\\", 2 },
        { "T:\\", 2 },
        { "t:\\", 2 },
        { "T:\\no\\such\\dir", 2 },
        { "N:\\", 4 },         // CD-ROM without medium
        { "Q:\\", 0 },         // no such drive
        { "T:", 0 },           // shorter than three characters
        { "T", 0 },
        { "", 0 },
        { nullptr, 0 },
    };
    for (const auto& c : aCases)
        EXPECT_EQ(CurrentOS().GetDriveType(c.m_pszPath), c.m_unType) << (c.m_pszPath ? c.m_pszPath : "(null)");
}

TEST(TOpSystemDrives, DriveInfoGivesTheNamesOrTheReason)
{
    const TOpSystem& coOS = CurrentOS();
    unsigned short unType = 9;
    TString coVolume = "old";
    TString coFileSystem = "old";
    EXPECT_EQ(coOS.GetDriveInfo("C:\\WINDOWS", &unType, &coVolume, &coFileSystem), 1);
    EXPECT_EQ(unType, 2);
    EXPECT_STREQ(coFileSystem, "NTFS");
    if (RunsUnderWine()) {
        EXPECT_STREQ(coVolume, "KWILLET_C");
    }

    EXPECT_EQ(coOS.GetDriveInfo("T:\\", &unType, &coVolume, &coFileSystem), 1);
    EXPECT_EQ(unType, 2);
    EXPECT_STREQ(coFileSystem, "NTFS");

    // Each output is optional.
    EXPECT_EQ(coOS.GetDriveInfo("T:\\", nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(coOS.GetDriveInfo("T:\\", nullptr, &coVolume, nullptr), 1);

    coVolume = "old";
    coFileSystem = "old";
    EXPECT_EQ(coOS.GetDriveInfo("N:\\", &unType, &coVolume, &coFileSystem), 0);
    EXPECT_EQ(unType, 4);
    // Windows says the drive is not ready; Wine reports the missing medium
    // as a missing path, which has no text.
    EXPECT_STREQ(coVolume, RunsUnderWine() ? "" : "Drive is not ready");
    EXPECT_STREQ(coFileSystem, "");

    for (const char* pszShort : { "T:", "T", "", static_cast<const char*>(nullptr) }) {
        unType = 9;
        coVolume = "old";
        coFileSystem = "old";
        EXPECT_EQ(coOS.GetDriveInfo(pszShort, &unType, &coVolume, &coFileSystem), 0);
        EXPECT_EQ(unType, 0);
        EXPECT_STREQ(coVolume, "");
        EXPECT_STREQ(coFileSystem, "");
    }
}

TEST(TOpSystemDrives, DiskFreeSpaceIsNotCutTo32Bits)
{
    const TOpSystem& coOS = CurrentOS();
    const uint64_t ullDirect = FreeBytes("T:\\");
    const uint64_t ullFree = coOS.DiskFreeSpace("T:\\");
    ASSERT_GT(ullDirect, 0u);
    // Other programs write meanwhile: the two may differ a little.
    const uint64_t ullDiff = ullFree > ullDirect ? ullFree - ullDirect : ullDirect - ullFree;
    EXPECT_LT(ullDiff, ullDirect / 10 + 1);
    if (ullDirect > 0x100000000ull) {
        EXPECT_GT(ullFree, 0x100000000ull);
    }
    EXPECT_GT(coOS.DiskFreeSpace("T:\\some\\deeper\\path"), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace("T:"), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace(""), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace(nullptr), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace("N:\\"), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace("Q:\\"), 0u);
}

TEST_F(TOpSystemFiles, ScanFilesOnDriveRootsAndDrivesThatAreNotReady)
{
    TArray coFiles(8, nullptr, TFileInfo::CompareByName);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, "T:\\", "*.*", 1), 1);
    // The root keeps its backslash; it has no "." and "..".
    const std::string own = m_dir.substr(3);
    ASSERT_NE(Entry(coFiles, own.c_str()), nullptr);
    for (long i = 0; i < coFiles.Count(); ++i)
        EXPECT_STREQ(static_cast<const TFileInfo*>(coFiles.Get(i))->Path(), "T:\\");
    EXPECT_EQ(Entry(coFiles, "."), nullptr);

    EXPECT_EQ(m_coOS.ScanFiles(coFiles, "N:\\", "*.*", 1), 0);
    EXPECT_EQ(coFiles.Count(), 0);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, "Q:\\", nullptr, 1), 0);
    // Without a drive there is no volume to ask.
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, "kwos", nullptr, 1), 0);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, "T:", nullptr, 1), 0);
}

#else

TEST(TOpSystemPosixTest, DriveOperationsAreNeutral)
{
    const TOpSystem& coOS = CurrentOS();
    TArray coDrives;
    coDrives.Add(nullptr);
    EXPECT_EQ(coOS.ScanDrives(coDrives), 0);
    EXPECT_EQ(coDrives.Count(), 0);
    EXPECT_EQ(coOS.GetDriveType("/"), 0);
    unsigned short unType = 9;
    TString coVolume = "old";
    EXPECT_EQ(coOS.GetDriveInfo("/", &unType, &coVolume, nullptr), 0);
    EXPECT_EQ(unType, 0);
    EXPECT_TRUE(coVolume.IsEmpty());
}

TEST(TOpSystemPosixTest, DiskFreeSpaceOfThePathsFileSystem)
{
    const TOpSystem& coOS = CurrentOS();
    const uint64_t ullFree = coOS.DiskFreeSpace("/");
    EXPECT_GT(ullFree, 0u);
    EXPECT_GE(ullFree + 64 * 1024 * 1024, FreeBytes("/"));     // free to everyone, at least what users may use
    EXPECT_EQ(coOS.DiskFreeSpace("/no/such/dir"), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace(""), 0u);
    EXPECT_EQ(coOS.DiskFreeSpace(nullptr), 0u);
}

TEST(TOpSystemPosixTest, LibraryFileNamesGetTheSharedObjectExtension)
{
    struct {
        const char* m_pszName;
        const char* m_pszFile;
    } const aCases[] = {
        { "qa32kwtl", "qa32kwtl.so" },
        { "/opt/kw/qa32kctl", "/opt/kw/qa32kctl.so" },
        { "dir.d/mod", "dir.d/mod.so" },    // a dot in the directory is no extension
        { "mod.so", "mod.so" },
        { "libm.so.6", "libm.so.6" },
        { "mod.", "mod" },                  // a trailing dot means "no extension"
        { "", "" },
        { nullptr, "" },
    };
    for (const auto& c : aCases)
        EXPECT_STREQ(TOpSystemPosix::LibraryFileName(c.m_pszName), c.m_pszFile) << (c.m_pszName ? c.m_pszName : "(null)");
}

#endif

// Scanning and file records

TEST_F(TOpSystemFiles, ScanFilesListsEveryEntryWithItsRecord)
{
    MakeEntries();
    TArray coFiles(8, nullptr, TFileInfo::CompareByName);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, m_dir.c_str(), "*.*", 1), 1);
    EXPECT_EQ(coFiles.GetDestroyFunc(), &TFileInfo::Destroy);
    EXPECT_EQ(coFiles.GetCompareFunc(), &TFileInfo::CompareByName);
    EXPECT_EQ(Names(coFiles),
              (std::vector<std::string> { ".", "..", ".hid", "a.TXT", "b.txt", "c.dat", "ro.txt", "sub" }));
    for (long i = 0; i < coFiles.Count(); ++i)
        EXPECT_EQ(std::string(static_cast<const TFileInfo*>(coFiles.Get(i))->Path()), m_dir);

#if defined(_WIN32)
    const unsigned short unFile = TFileInfo::AttrArchive;
#else
    const unsigned short unFile = TFileInfo::AttrNone;
#endif
    struct {
        const char* m_pszName;
        unsigned short m_unCode;
        unsigned long m_ulSize;
        bool m_bDirectory;
    } const aCases[] = {
        { ".", TFileInfo::AttrDirectory, 0, true },
        { "..", TFileInfo::AttrDirectory, 0, true },
        { ".hid", TFileInfo::AttrHidden, 0, true },  // a hidden directory has the hidden code
        { "a.TXT", unFile, 70000, false },
        { "b.txt", unFile, 3, false },
        { "c.dat", unFile, 0, false },
        { "ro.txt", TFileInfo::AttrReadOnly, 1, false },
        { "sub", TFileInfo::AttrDirectory, 0, true },
    };
    for (const auto& c : aCases) {
        const TFileInfo* pcoInfo = Entry(coFiles, c.m_pszName);
        ASSERT_NE(pcoInfo, nullptr) << c.m_pszName;
        EXPECT_EQ(pcoInfo->Attributes(), c.m_unCode) << c.m_pszName;
        EXPECT_EQ(pcoInfo->Size(), c.m_ulSize) << c.m_pszName;
        // The attribute bits behind the code: every directory is told, the
        // hidden one too.
        EXPECT_EQ(TOpSystem::AttributeCode(pcoInfo->SystemAttributes()), c.m_unCode) << c.m_pszName;
        EXPECT_EQ(pcoInfo->IsDirectory() != 0, c.m_bDirectory) << c.m_pszName;
    }
    // Times have the two-second steps of a DOS time; one before 1980 has none.
    EXPECT_EQ(Entry(coFiles, "a.TXT")->LastModified(), static_cast<unsigned long>(m_llSetTime - 1));
    EXPECT_EQ(Entry(coFiles, "a.TXT")->LastAccessed(), static_cast<unsigned long>(m_llSetTime - 1));
    EXPECT_EQ(Entry(coFiles, "b.txt")->LastModified(), 0ul);
    const unsigned long ulNow = static_cast<unsigned long>(std::time(nullptr));
    EXPECT_NEAR(static_cast<double>(Entry(coFiles, "c.dat")->LastModified()), static_cast<double>(ulNow), 120.0);

    // Without directories; the array's compare function stays, here none.
    TArray coPlain(8, nullptr, nullptr);
    ASSERT_EQ(m_coOS.ScanFiles(coPlain, m_dir.c_str(), nullptr, 0), 1);
    std::vector<std::string> names = Names(coPlain);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "a.TXT", "b.txt", "c.dat", "ro.txt" }));
    EXPECT_EQ(coPlain.GetCompareFunc(), nullptr);
}

TEST_F(TOpSystemFiles, ScanFilesPatternsTrailingSeparatorsAndFailures)
{
    MakeEntries();
    TArray coFiles(8, nullptr, TFileInfo::CompareByName);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, m_dir.c_str(), "*.txt", 0), 1);
#if defined(_WIN32)
    EXPECT_EQ(Names(coFiles), (std::vector<std::string> { "a.TXT", "b.txt", "ro.txt" }));   // without regard to case
#else
    EXPECT_EQ(Names(coFiles), (std::vector<std::string> { "b.txt", "ro.txt" }));
#endif
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, m_dir.c_str(), "?.dat", 1), 1);
    EXPECT_EQ(Names(coFiles), (std::vector<std::string> { "c.dat" }));

    // A trailing separator is removed, also from the records.
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, (m_dir + kSep).c_str(), "", 1), 1);
    EXPECT_EQ(coFiles.Count(), 8);
    EXPECT_EQ(std::string(static_cast<const TFileInfo*>(coFiles.Get(0))->Path()), m_dir);

    // No match: success with an empty array.
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, m_dir.c_str(), "*.none", 1), 1);
    EXPECT_EQ(coFiles.Count(), 0);
    ASSERT_EQ(m_coOS.ScanFiles(coFiles, At("sub").c_str(), "*.*", 0), 1);
    EXPECT_EQ(coFiles.Count(), 0);

    // A missing directory and a missing path are failures.
    coFiles.Add(new TFileInfo);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, At("missing").c_str(), "*.*", 1), 0);
    EXPECT_EQ(coFiles.Count(), 0);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, "", "*.*", 1), 0);
    EXPECT_EQ(m_coOS.ScanFiles(coFiles, nullptr, "*.*", 1), 0);
    EXPECT_EQ(coFiles.GetDestroyFunc(), &TFileInfo::Destroy);
}

TEST_F(TOpSystemFiles, GetFileInfoOfFilesAndDirectories)
{
    MakeEntries();
    TFileInfo coInfo;
    ASSERT_EQ(m_coOS.GetFileInfo(At("a.TXT").c_str(), coInfo), 1);
    EXPECT_STREQ(coInfo.Name(), "a.TXT");
    EXPECT_EQ(std::string(coInfo.Path()), m_dir);
    EXPECT_EQ(coInfo.Size(), 70000ul);
    EXPECT_EQ(coInfo.LastModified(), static_cast<unsigned long>(m_llSetTime - 1));

    // A directory: no name, no times, the given path.
    ASSERT_EQ(m_coOS.GetFileInfo(At("sub").c_str(), coInfo), 1);
    EXPECT_STREQ(coInfo.Name(), "");
    EXPECT_EQ(std::string(coInfo.Path()), At("sub"));
    EXPECT_EQ(coInfo.Attributes(), TFileInfo::AttrDirectory);
    EXPECT_EQ(coInfo.LastModified(), 0ul);
    EXPECT_EQ(coInfo.CreationTime(), 0ul);
    EXPECT_EQ(coInfo.LastAccessed(), 0ul);
    ASSERT_EQ(m_coOS.GetFileInfo(At(".hid").c_str(), coInfo), 1);
    EXPECT_EQ(coInfo.Attributes(), TFileInfo::AttrHidden);
    EXPECT_STREQ(coInfo.Name(), "");

    ASSERT_EQ(m_coOS.GetFileInfo(At("ro.txt").c_str(), coInfo), 1);
    EXPECT_EQ(coInfo.Attributes(), TFileInfo::AttrReadOnly);

    // Failures clear the record.
    const std::string missing = At("missing");
    for (const char* pszPath : { missing.c_str(), "", static_cast<const char*>(nullptr) }) {
        coInfo.SetName("x");
        coInfo.SetSize(9);
        EXPECT_EQ(m_coOS.GetFileInfo(pszPath, coInfo), 0);
        EXPECT_STREQ(coInfo.Name(), "");
        EXPECT_EQ(coInfo.Size(), 0ul);
        EXPECT_EQ(coInfo.LastModified(), 0xFFFFFFFFul);
    }

#if defined(_WIN32)
    // A file in a drive root: the path is the root with its backslash.
    const std::string rootFile = "T:\\kwos-" + std::to_string(CrtProcessId()) + ".txt";
    WriteFileBytes(rootFile, "x");
    EXPECT_EQ(m_coOS.GetFileInfo(rootFile.c_str(), coInfo), 1);
    EXPECT_STREQ(coInfo.Path(), "T:\\");
    EXPECT_EQ(coInfo.Name(), rootFile.substr(3).c_str());
    std::remove(rootFile.c_str());
    // A pattern finds its first match.
    EXPECT_EQ(m_coOS.GetFileInfo(At("*.dat").c_str(), coInfo), 1);
    EXPECT_STREQ(coInfo.Name(), "c.dat");
#endif
}

// Existence and permissions

TEST_F(TOpSystemFiles, ExistsPathAndFilePermission)
{
    MakeEntries();
    EXPECT_EQ(m_coOS.ExistsPath(At("b.txt").c_str()), 1);
    EXPECT_EQ(m_coOS.ExistsPath(At("sub").c_str()), 1);
    EXPECT_EQ(m_coOS.ExistsPath(At("missing").c_str()), 0);
    EXPECT_EQ(m_coOS.ExistsPath(""), 0);
    EXPECT_EQ(m_coOS.ExistsPath(nullptr), 0);

#if defined(_WIN32)
    const bool bReadOnlyHolds = true;
#else
    const bool bReadOnlyHolds = geteuid() != 0;      // root writes to read-only files
#endif
    struct {
        const char* m_pszName;
        unsigned short m_unMode;
        int m_nResult;
    } const aCases[] = {
        { "b.txt", 1, 1 },
        { "b.txt", 2, 1 },
        { "b.txt", 3, 1 },
        { "b.txt", 0, 0 },           // asks for nothing
        { "b.txt", 4, 0 },
        { "ro.txt", 1, 1 },
        { "ro.txt", 2, bReadOnlyHolds ? 0 : 1 },
        { "ro.txt", 3, bReadOnlyHolds ? 0 : 1 },
        { "sub", 1, 0 },             // a directory does not open as a file
        { "missing", 1, 0 },
    };
    for (const auto& c : aCases)
        EXPECT_EQ(m_coOS.FilePermission(At(c.m_pszName).c_str(), c.m_unMode), c.m_nResult)
            << c.m_pszName << " mode " << c.m_unMode;
    EXPECT_EQ(m_coOS.FilePermission(nullptr, 1), 0);
    EXPECT_FALSE(fs::exists(At("missing")));
    EXPECT_EQ(ReadFileBytes(At("b.txt")), "abc");
}

// Opening, reading and writing

TEST_F(TOpSystemFiles, OpenFileModesCreateEmptyAndReportErrors)
{
    const TOpSystem& coOS = m_coOS;
    unsigned short unError = 77;
    EXPECT_EQ(coOS.OpenFile(At("new.txt").c_str(), 1, 2, &unError), -1);
    EXPECT_EQ(unError, TOpSystem::OpenNoFile);
    EXPECT_FALSE(fs::exists(At("new.txt")));
    unError = 77;
    EXPECT_EQ(coOS.OpenFile((At("nodir") + kSep + "x").c_str(), 2, 2, &unError), -1);
    EXPECT_EQ(unError, TOpSystem::OpenNoFile);
    unError = 77;
    EXPECT_EQ(coOS.OpenFile(m_dir.c_str(), 1, 2, &unError), -1);
    EXPECT_EQ(unError, TOpSystem::OpenNoAccess);
    unError = 77;
    EXPECT_EQ(coOS.OpenFile("", 2, 2, &unError), -1);
    EXPECT_EQ(coOS.OpenFile(nullptr, 2, 2, &unError), -1);
    EXPECT_EQ(unError, 77);                           // untouched
    EXPECT_EQ(coOS.OpenFile(At("new.txt").c_str(), 1, 2, nullptr), -1);

    // Mode 2 creates a missing file and keeps an existing one.
    int nHandle = coOS.OpenFile(At("two.txt").c_str(), 2, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.WriteFile(nHandle, "12345", 5), 5);
    coOS.CloseFile(nHandle);
    nHandle = coOS.OpenFile(At("two.txt").c_str(), 2, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.FileLength(nHandle), 5);
    coOS.CloseFile(nHandle);

    // Mode 3 empties an existing file and creates a missing one.
    nHandle = coOS.OpenFile(At("two.txt").c_str(), 3, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.FileLength(nHandle), 0);
    coOS.CloseFile(nHandle);
    nHandle = coOS.OpenFile(At("three.txt").c_str(), 3, 2, &unError);
    ASSERT_GE(nHandle, 0);
    coOS.CloseFile(nHandle);
    EXPECT_TRUE(fs::exists(At("three.txt")));

    // Any other mode reads; a read-only open cannot write.
    WriteFileBytes(At("r.txt"), "data");
    for (unsigned short unMode : { 1, 0, 7 }) {
        nHandle = coOS.OpenFile(At("r.txt").c_str(), unMode, 2, &unError);
        ASSERT_GE(nHandle, 0) << unMode;
        char achBuffer[8] = {};
        EXPECT_EQ(coOS.ReadFile(nHandle, achBuffer, 8), 4);
        EXPECT_STREQ(achBuffer, "data");
        EXPECT_EQ(coOS.WriteFile(nHandle, "x", 1), -1);
        coOS.CloseFile(nHandle);
    }

    // Text mode turns line ends into CR LF on Windows only.
    nHandle = coOS.OpenFile(At("text.txt").c_str(), 3, 1, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.WriteFile(nHandle, "a\nb", 3), 3);
    coOS.CloseFile(nHandle);
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
    struct {
        unsigned short m_unFirst;
        unsigned short m_unSecond;
        bool m_bSecondOpens;
    } const aCases[] = {
        { 1, 1, true },
        { 1, 2, false },
        { 1, 3, false },
        { 1, 5, false },
        { 2, 1, false },
        { 2, 2, false },
        { 2, 3, false },
        { 3, 1, false },
        { 5, 1, false },
        { 5, 5, false },
    };
    const std::string path = At("shared.txt");
    for (const auto& c : aCases) {
        WriteFileBytes(path, "contents");
        unsigned short unError = 77;
        const int nFirst = m_coOS.OpenFile(path.c_str(), c.m_unFirst, 2, &unError);
        ASSERT_GE(nFirst, 0) << c.m_unFirst;
        const int nSecond = m_coOS.OpenFile(path.c_str(), c.m_unSecond, 2, &unError);
        const std::string label = std::to_string(c.m_unFirst) + " then " + std::to_string(c.m_unSecond);
        if (c.m_bSecondOpens) {
            EXPECT_GE(nSecond, 0) << label;
            m_coOS.CloseFile(nSecond);
        } else {
            EXPECT_EQ(nSecond, -1) << label;
            EXPECT_EQ(unError, TOpSystem::OpenNoAccess) << label;
        }
        m_coOS.CloseFile(nFirst);
        // A refused mode 3 leaves the contents alone.
        EXPECT_EQ(ReadFileBytes(path), c.m_unFirst == 3 ? "" : "contents") << label;

        // Once the first is closed, the second opens.
        const int nAfter = m_coOS.OpenFile(path.c_str(), c.m_unSecond, 2, &unError);
        EXPECT_GE(nAfter, 0) << label;
        m_coOS.CloseFile(nAfter);
    }
}

TEST_F(TOpSystemFiles, ReadWriteSeekAndTell)
{
    const TOpSystem& coOS = m_coOS;
    unsigned short unError = 0;
    const int nHandle = coOS.OpenFile(At("rw.bin").c_str(), 3, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.WriteFile(nHandle, "hello world", 11), 11);
    EXPECT_EQ(coOS.TellFile(nHandle), 11);
    EXPECT_EQ(coOS.FileLength(nHandle), 11);

    char achBuffer[16] = {};
    coOS.SeekFile(nHandle, 6, 1);                      // from the start
    EXPECT_EQ(coOS.TellFile(nHandle), 6);
    EXPECT_EQ(coOS.ReadFile(nHandle, achBuffer, 5), 5);
    EXPECT_EQ(std::string(achBuffer, 5), "world");
    coOS.SeekFile(nHandle, -8, 2);                     // from the current position
    EXPECT_EQ(coOS.TellFile(nHandle), 3);
    coOS.SeekFile(nHandle, -5, 3);                     // from the end
    EXPECT_EQ(coOS.TellFile(nHandle), 6);
    coOS.SeekFile(nHandle, 4, 0);                      // any other origin: the start
    EXPECT_EQ(coOS.TellFile(nHandle), 4);
    EXPECT_EQ(coOS.WriteFile(nHandle, "O", 1), 1);
    coOS.SeekFile(nHandle, 0, 3);
    EXPECT_EQ(coOS.ReadFile(nHandle, achBuffer, 4), 0);   // at the end
    EXPECT_EQ(coOS.ReadFile(nHandle, achBuffer, 0), 0);
    EXPECT_EQ(coOS.ReadFile(nHandle, achBuffer, -1), -1);
    EXPECT_EQ(coOS.ReadFile(nHandle, nullptr, 4), -1);
    EXPECT_EQ(coOS.WriteFile(nHandle, nullptr, 4), -1);
    coOS.CloseFile(nHandle);
    EXPECT_EQ(ReadFileBytes(At("rw.bin")), "hellO world");

    // Handle -1 does nothing.
    coOS.CloseFile(-1);
    coOS.SeekFile(-1, 0, 1);
    EXPECT_EQ(coOS.TellFile(-1), -1);
    EXPECT_EQ(coOS.FileLength(-1), -1);
    EXPECT_EQ(coOS.ReadFile(-1, achBuffer, 1), -1);
    EXPECT_EQ(coOS.WriteFile(-1, "x", 1), -1);
}

// Copying

TEST_F(TOpSystemFiles, CopyFileFromAnOffset)
{
    const std::string source = Pattern(65537);         // more than three pieces
    WriteFileBytes(At("source.bin"), source);
    struct {
        int64_t m_llOffset;
        int m_nResult;
        const char* m_pszTarget;   // the expected target: a tail of the source, or its old text
        bool m_bTail;
    } const aCases[] = {
        { 0, 1, nullptr, true },
        { 3, 1, nullptr, true },
        { 20000, 1, nullptr, true },
        { 65536, 1, nullptr, true },
        { 65537, 1, "", false },         // at the end: an empty target
        { 65538, 0, "old", false },      // past the end: the target is not touched
        { 1ll << 40, 0, "old", false },
        { -1, 0, "old", false },
    };
    for (const auto& c : aCases) {
        WriteFileBytes(At("target.bin"), "old");
        EXPECT_EQ(m_coOS.CopyFile(At("target.bin").c_str(), At("source.bin").c_str(), c.m_llOffset), c.m_nResult)
            << c.m_llOffset;
        const std::string expected = c.m_bTail ? source.substr(static_cast<size_t>(c.m_llOffset)) : c.m_pszTarget;
        EXPECT_TRUE(ReadFileBytes(At("target.bin")) == expected) << c.m_llOffset;
    }
    // A target that does not exist yet is not created by a failed copy.
    EXPECT_EQ(m_coOS.CopyFile(At("fresh.bin").c_str(), At("source.bin").c_str(), 70000), 0);
    EXPECT_FALSE(fs::exists(At("fresh.bin")));
    EXPECT_EQ(m_coOS.CopyFile(At("fresh.bin").c_str(), At("source.bin").c_str(), 0), 1);
    EXPECT_TRUE(ReadFileBytes(At("fresh.bin")) == source);
}

TEST_F(TOpSystemFiles, MoveFileReplacePutsTheSourceInTheTargetsPlace)
{
    WriteFileBytes(At("new.bin"), "new contents");
    WriteFileBytes(At("old.bin"), "old");
    ASSERT_EQ(m_coOS.MoveFileReplace(At("old.bin").c_str(), At("new.bin").c_str()), 1);
    EXPECT_TRUE(ReadFileBytes(At("old.bin")) == "new contents");
    EXPECT_FALSE(fs::exists(At("new.bin")));
    // A missing target is simply made.
    WriteFileBytes(At("second.bin"), "2");
    ASSERT_EQ(m_coOS.MoveFileReplace(At("made.bin").c_str(), At("second.bin").c_str()), 1);
    EXPECT_TRUE(ReadFileBytes(At("made.bin")) == "2");
    // Failures leave both sides as they were.
    EXPECT_EQ(m_coOS.MoveFileReplace(At("made.bin").c_str(), At("missing.bin").c_str()), 0);
    EXPECT_TRUE(ReadFileBytes(At("made.bin")) == "2");
    EXPECT_EQ(m_coOS.MoveFileReplace(At("made.bin").c_str(), ""), 0);
    EXPECT_EQ(m_coOS.MoveFileReplace(nullptr, At("made.bin").c_str()), 0);
    EXPECT_EQ(m_coOS.MoveFileReplace((At("none") + kSep + "x.bin").c_str(), At("made.bin").c_str()), 0);
    EXPECT_TRUE(ReadFileBytes(At("made.bin")) == "2");
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
// when they cannot, nothing is replaced.
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
    EXPECT_EQ(coOS.FlushFile(At("missing.bin").c_str()), 0);
}

TEST_F(TOpSystemFiles, CopyFileRefusesWhatWouldLoseData)
{
    WriteFileBytes(At("source.bin"), "source");
    WriteFileBytes(At("target.bin"), "target");
    struct {
        const char* m_pszTarget;
        const char* m_pszSource;
    } const aCases[] = {
        { "target.bin", "missing.bin" },     // no source: the target stays
        { "source.bin", "source.bin" },      // the same file would be emptied
        { "target.bin", "sub" },             // a directory is no source
        { "nodir/x.bin", "source.bin" },
    };
    ASSERT_TRUE(fs::create_directory(At("sub")));
    for (const auto& c : aCases) {
        std::string target = At(c.m_pszTarget);
        std::replace(target.begin(), target.end(), '/', kSep);
        EXPECT_EQ(m_coOS.CopyFile(target.c_str(), At(c.m_pszSource).c_str(), 0), 0) << c.m_pszTarget << " <- " << c.m_pszSource;
    }
    EXPECT_EQ(ReadFileBytes(At("source.bin")), "source");
    EXPECT_EQ(ReadFileBytes(At("target.bin")), "target");
    // The same file under another spelling.
    const std::string other = m_dir + kSep + "." + kSep + "source.bin";
    EXPECT_EQ(m_coOS.CopyFile(other.c_str(), At("source.bin").c_str(), 0), 0);
    EXPECT_EQ(ReadFileBytes(At("source.bin")), "source");

    EXPECT_EQ(m_coOS.CopyFile("", At("source.bin").c_str(), 0), 0);
    EXPECT_EQ(m_coOS.CopyFile(nullptr, At("source.bin").c_str(), 0), 0);
    EXPECT_EQ(m_coOS.CopyFile(At("target.bin").c_str(), "", 0), 0);
    EXPECT_EQ(m_coOS.CopyFile(At("target.bin").c_str(), nullptr, 0), 0);
    EXPECT_EQ(ReadFileBytes(At("target.bin")), "target");
}

namespace {

struct TMarker {
    int64_t m_llOffset;
    const char* m_pszText;
};

// Writes the markers into a sparse file of llLength bytes.
void MakeSparseFile(const TOpSystem& coOS, const std::string& path, int64_t llLength, const std::vector<TMarker>& markers)
{
    unsigned short unError = 0;
    const int nHandle = coOS.OpenFile(path.c_str(), 3, 2, &unError);
    ASSERT_GE(nHandle, 0) << path;
#if defined(_WIN32)
    DWORD ulReturned = 0;
    DeviceIoControl(reinterpret_cast<HANDLE>(_get_osfhandle(nHandle)), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0,
                    &ulReturned, nullptr);
#endif
    for (const TMarker& coMarker : markers) {
        coOS.SeekFile(nHandle, coMarker.m_llOffset, 1);
        EXPECT_EQ(coOS.TellFile(nHandle), coMarker.m_llOffset);
        const long lLength = static_cast<long>(std::strlen(coMarker.m_pszText));
        EXPECT_EQ(coOS.WriteFile(nHandle, coMarker.m_pszText, lLength), lLength);
    }
    coOS.SeekFile(nHandle, llLength - 1, 1);
    EXPECT_EQ(coOS.WriteFile(nHandle, "E", 1), 1);
    EXPECT_EQ(coOS.FileLength(nHandle), llLength);
    coOS.SeekFile(nHandle, 0, 3);
    EXPECT_EQ(coOS.TellFile(nHandle), llLength);
    coOS.CloseFile(nHandle);
}

// Reads the bytes at llOffset through the operating-system object.
std::string ReadAt(const TOpSystem& coOS, const std::string& path, int64_t llOffset, long lCount)
{
    unsigned short unError = 0;
    const int nHandle = coOS.OpenFile(path.c_str(), 1, 2, &unError);
    if (nHandle < 0)
        return "<none>";
    std::string bytes(static_cast<size_t>(lCount), '\0');
    coOS.SeekFile(nHandle, llOffset, 1);
    const long lRead = coOS.ReadFile(nHandle, &bytes[0], lCount);
    coOS.CloseFile(nHandle);
    bytes.resize(lRead > 0 ? static_cast<size_t>(lRead) : 0);
    return bytes;
}

} // namespace

TEST_F(TOpSystemFiles, CopyFileOfMoreThanFourGiB)
{
    const int64_t llLength = 4 * kGiB + 3 * 1024 * 1024 + 17;
    // The sparse source needs hardly any room; the full copy writes every
    // byte of the target.
    if (FreeBytes(m_dir) < static_cast<uint64_t>(kGiB))
        GTEST_SKIP() << "less than 1 GiB free in " << m_dir << " for the sparse source file";
    const std::vector<TMarker> markers = {
        { 0, "HEAD" },
        { 2 * kGiB - 2, "TWO-GIB" },
        { 4 * kGiB - 3, "FOUR-GIB" },
        { 4 * kGiB + 1024 * 1024, "TAIL" },
    };
    const std::string source = At("big.bin");
    MakeSparseFile(m_coOS, source, llLength, markers);
    if (HasFatalFailure())
        return;

    TFileInfo coInfo;
    ASSERT_EQ(m_coOS.GetFileInfo(source.c_str(), coInfo), 1);
    EXPECT_EQ(coInfo.Size(), TFileInfo::LargeSize);

    // A copy from an offset beyond 4 GiB takes only the tail.
    const int64_t llOffset = 4 * kGiB + 1024 * 1024 - 5;
    ASSERT_EQ(m_coOS.CopyFile(At("tail.bin").c_str(), source.c_str(), llOffset), 1);
    const std::string tail = ReadFileBytes(At("tail.bin"));
    ASSERT_EQ(static_cast<int64_t>(tail.size()), llLength - llOffset);
    EXPECT_EQ(tail.substr(0, 9), std::string(5, '\0') + "TAIL");
    EXPECT_EQ(tail.back(), 'E');
    EXPECT_EQ(m_coOS.CopyFile(At("tail.bin").c_str(), source.c_str(), llLength + 1), 0);
    EXPECT_EQ(m_coOS.CopyFile(At("tail.bin").c_str(), source.c_str(), llLength), 1);
    EXPECT_EQ(ReadFileBytes(At("tail.bin")), "");

    const uint64_t ullNeeded = static_cast<uint64_t>(llLength) + static_cast<uint64_t>(kGiB);
    const uint64_t ullFree = FreeBytes(m_dir);
    if (ullFree < ullNeeded)
        GTEST_SKIP() << "the full copy writes " << llLength << " bytes; only " << ullFree << " bytes are free in "
                     << m_dir << " (needed with a margin: " << ullNeeded << ")";

    // A trial copy of 256 MiB tells how long the whole copy would take.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(m_coOS.CopyFile(At("trial.bin").c_str(), source.c_str(), llLength - 256 * 1024 * 1024), 1);
    const double dTrial = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::remove(At("trial.bin").c_str());
    const double dExpected = dTrial * static_cast<double>(llLength) / (256.0 * 1024 * 1024);
    if (dExpected > 60.0)
        GTEST_SKIP() << "copying " << llLength << " bytes would take about " << static_cast<int>(dExpected)
                     << " s here (256 MiB took " << dTrial << " s)";

    const std::string target = At("copy.bin");
    ASSERT_EQ(m_coOS.CopyFile(target.c_str(), source.c_str(), 0), 1);
    ASSERT_EQ(m_coOS.GetFileInfo(target.c_str(), coInfo), 1);
    EXPECT_EQ(coInfo.Size(), TFileInfo::LargeSize);
    unsigned short unError = 0;
    const int nHandle = m_coOS.OpenFile(target.c_str(), 1, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(m_coOS.FileLength(nHandle), llLength);
    m_coOS.CloseFile(nHandle);
    for (const TMarker& coMarker : markers) {
        const long lLength = static_cast<long>(std::strlen(coMarker.m_pszText));
        EXPECT_EQ(ReadAt(m_coOS, target, coMarker.m_llOffset, lLength), coMarker.m_pszText) << coMarker.m_llOffset;
    }
    EXPECT_EQ(ReadAt(m_coOS, target, llLength - 2, 2), std::string("\0E", 2));
    EXPECT_EQ(ReadAt(m_coOS, target, 3 * kGiB, 4), std::string(4, '\0'));
}

// Directories

TEST_F(TOpSystemFiles, DirectoriesAndFilesCreatedAndRemovedWithErrorCodes)
{
    const TOpSystem& coOS = m_coOS;
    WriteFileBytes(At("file.txt"), "x");
    const std::string dir = At("made");
    const std::string deep = At("nodir") + kSep + "child";
    struct {
        const char* m_pszWhat;
        int (TOpSystem::*m_pfnOp)(const char*, unsigned short*) const;
        std::string m_path;
        int m_nResult;
        unsigned short m_unError;
    } const aCases[] = {
        { "create", &TOpSystem::CreateDirectory, dir, 1, 0 },
        { "create again", &TOpSystem::CreateDirectory, dir, 0, 1 },
        { "create over a file", &TOpSystem::CreateDirectory, At("file.txt"), 0, 1 },
        { "create below a missing parent", &TOpSystem::CreateDirectory, deep, 0, 2 },
        { "create without path", &TOpSystem::CreateDirectory, "", 0, 4 },
        { "create child", &TOpSystem::CreateDirectory, dir + kSep + "child", 1, 0 },
        { "remove not empty", &TOpSystem::RemoveDirectory, dir, 0, 3 },
        { "remove missing", &TOpSystem::RemoveDirectory, At("missing"), 0, 2 },
        { "remove a file", &TOpSystem::RemoveDirectory, At("file.txt"), 0, 2 },
        { "remove without path", &TOpSystem::RemoveDirectory, "", 0, 4 },
        { "remove child", &TOpSystem::RemoveDirectory, dir + kSep + "child", 1, 0 },
        { "remove", &TOpSystem::RemoveDirectory, dir, 1, 0 },
        { "delete a directory", &TOpSystem::DeleteFile, m_dir, 0, 1 },
        { "delete missing", &TOpSystem::DeleteFile, At("missing"), 0, 2 },
        { "delete below a missing parent", &TOpSystem::DeleteFile, deep, 0, 2 },
        { "delete without path", &TOpSystem::DeleteFile, "", 0, 4 },
        { "delete", &TOpSystem::DeleteFile, At("file.txt"), 1, 0 },
    };
    for (const auto& c : aCases) {
        unsigned short unError = 77;
        EXPECT_EQ((coOS.*c.m_pfnOp)(c.m_path.c_str(), &unError), c.m_nResult) << c.m_pszWhat;
        EXPECT_EQ(unError, c.m_unError) << c.m_pszWhat;
    }
    EXPECT_FALSE(fs::exists(dir));
    EXPECT_FALSE(fs::exists(At("file.txt")));

    // A null path is no path; the error pointer is optional.
    unsigned short unError = 77;
    EXPECT_EQ(coOS.CreateDirectory(nullptr, &unError), 0);
    EXPECT_EQ(unError, 4);
    EXPECT_EQ(coOS.CreateDirectory(dir.c_str(), nullptr), 1);
    EXPECT_EQ(coOS.CreateDirectory(dir.c_str(), nullptr), 0);
    EXPECT_EQ(coOS.RemoveDirectory(dir.c_str(), nullptr), 1);
    EXPECT_EQ(coOS.RemoveDirectory(nullptr, nullptr), 0);
    EXPECT_EQ(coOS.DeleteFile(nullptr, nullptr), 0);

#if defined(_WIN32)
    // A file that another open denies cannot be deleted.
    WriteFileBytes(At("busy.txt"), "x");
    const int nHandle = coOS.OpenFile(At("busy.txt").c_str(), 2, 2, &unError);
    ASSERT_GE(nHandle, 0);
    EXPECT_EQ(coOS.DeleteFile(At("busy.txt").c_str(), &unError), 0);
    EXPECT_EQ(unError, 1);
    coOS.CloseFile(nHandle);
    EXPECT_EQ(coOS.DeleteFile(At("busy.txt").c_str(), &unError), 1);
#endif
}

TEST_F(TOpSystemFiles, CurrentDirectoryAndRelativeNames)
{
    std::unique_ptr<TOpSystem> pcoOS = NewPlatformObject();
    ASSERT_NE(pcoOS, nullptr);
    const TString coBefore = pcoOS->GetCurrentDirectory();
    ASSERT_FALSE(coBefore.IsEmpty());
    EXPECT_EQ(pcoOS->SetCurrentDirectory(At("missing").c_str()), 0);
    EXPECT_EQ(pcoOS->SetCurrentDirectory(""), 0);
    EXPECT_EQ(pcoOS->SetCurrentDirectory(nullptr), 0);
    EXPECT_STREQ(pcoOS->GetCurrentDirectory(), coBefore);

    ASSERT_EQ(pcoOS->SetCurrentDirectory(m_dir.c_str()), 1);
    EXPECT_EQ(fs::path(static_cast<const char*>(pcoOS->GetCurrentDirectory())), fs::canonical(m_dir));

    // A relative file name keeps the whole name as its path; a drive-
    // relative one names the drive's current directory.
    WriteFileBytes(At("rel.txt"), "x");
    TFileInfo coInfo;
    EXPECT_EQ(pcoOS->GetFileInfo("rel.txt", coInfo), 1);
    EXPECT_STREQ(coInfo.Name(), "rel.txt");
    EXPECT_STREQ(coInfo.Path(), "rel.txt");
#if defined(_WIN32)
    EXPECT_EQ(pcoOS->GetFileInfo("T:rel.txt", coInfo), 1);
    EXPECT_STREQ(coInfo.Name(), "rel.txt");
    EXPECT_STREQ(coInfo.Path(), "T:");
#endif
    EXPECT_EQ(pcoOS->ExistsPath("rel.txt"), 1);

    ASSERT_EQ(pcoOS->SetCurrentDirectory(coBefore), 1);
    EXPECT_STREQ(pcoOS->GetCurrentDirectory(), coBefore);
}

// Environment, messages, clock and libraries

TEST(TOpSystemTest, EnvironmentVariablesAreSetReadAndRemoved)
{
    std::unique_ptr<TOpSystem> pcoOS = NewPlatformObject();
    ASSERT_NE(pcoOS, nullptr);
    const char* pszName = "KW_OS_TEST_VARIABLE";
    EXPECT_EQ(pcoOS->SetEnvVar(pszName, "value 1"), 1);
    EXPECT_STREQ(pcoOS->GetEnvVar(pszName), "value 1");

    // Values longer than any fixed area come back whole.
    const std::string printable(10000, 'v');
    EXPECT_EQ(pcoOS->SetEnvVar(pszName, printable.c_str()), 1);
    EXPECT_EQ(std::string(pcoOS->GetEnvVar(pszName)), printable);

    EXPECT_EQ(pcoOS->SetEnvVar(pszName, nullptr), 1);
    EXPECT_TRUE(pcoOS->GetEnvVar(pszName).IsEmpty());
    EXPECT_TRUE(pcoOS->GetEnvVar("KW_OS_TEST_NEVER_SET").IsEmpty());
    EXPECT_EQ(pcoOS->SetEnvVar("", "x"), 0);
    EXPECT_EQ(pcoOS->SetEnvVar(nullptr, "x"), 0);
    EXPECT_TRUE(pcoOS->GetEnvVar("").IsEmpty());
    EXPECT_TRUE(pcoOS->GetEnvVar(nullptr).IsEmpty());
}

namespace {

std::vector<std::pair<std::string, std::string>> g_messages;

void RecordMessage(const char* pszText, const char* pszCaption)
{
    g_messages.emplace_back(pszText, pszCaption);
}

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
                              { "Copy failed", "ZORVIK-Message" },
                              { "No caption", "Message" },
                              { "", "Empty" },
                          }));
#if !defined(_WIN32)
    // Natively a message without handler goes to standard error.
    TOpSystem::SetMessageHandler(nullptr);
    ::testing::internal::CaptureStderr();
    CurrentOS().Message("Text", "Caption");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Caption: Text\n");
    TOpSystem::SetMessageHandler(pfnPrevious);
#endif
}

TEST(TOpSystemTest, SleepWaitsAndTheRunningTimeAdvances)
{
    const TOpSystem& coOS = CurrentOS();
    const unsigned long ulStart = coOS.GetOSRunningTimeMs();
    EXPECT_GT(ulStart, 0ul);
    coOS.Sleep(120);
    const unsigned long ulElapsed = coOS.GetOSRunningTimeMs() - ulStart;
    EXPECT_GE(ulElapsed, 100ul);
    EXPECT_LT(ulElapsed, 10000ul);
    coOS.Sleep(0);
}

TEST(TOpSystemTest, LibrariesLoadAndFree)
{
    const TOpSystem& coOS = CurrentOS();
    const intptr_t nHandle = coOS.LoadLibrary("qa32kwtl");
    ASSERT_NE(nHandle, 0);
    EXPECT_EQ(coOS.LoadLibrary("qa32kwtl"), nHandle);
    EXPECT_EQ(coOS.FreeLibrary(nHandle), 1);
    EXPECT_EQ(coOS.FreeLibrary(nHandle), 1);
    EXPECT_EQ(coOS.LoadLibrary("qa32nosuchlibrary"), 0);
    EXPECT_EQ(coOS.LoadLibrary(""), 0);
    EXPECT_EQ(coOS.LoadLibrary(nullptr), 0);
    EXPECT_EQ(coOS.FreeLibrary(0), 0);
}
