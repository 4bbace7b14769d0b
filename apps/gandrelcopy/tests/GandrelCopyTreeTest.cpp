// Real copies under Wine: gandrelcopy copies a generated tree, and every
// byte, name, time, attribute and what Wine keeps of the rights is checked.
// A second test pins the Wine facts the copy relies on, so that a Wine
// upgrade that changes them is noticed. CTest runs this program through
// run-tree-test, which makes a directory of drive T: (KW_TREE_NAME) with
// the parts only the Unix side can make: src\deep\loop (a link to "."),
// src\locked (no permissions, so unreadable under scripts/wine-run-nodac),
// probe\link (a link to ".") and probe\d.

#include "GandrelCopyRun.h"
#include "GandrelTree.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <winioctl.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using kwtest::ExpectSameNames;
using kwtest::FactsOf;
using kwtest::RunGandrelCopy;
using kwtest::SetTimes;
using kwtest::TFacts;
using kwtest::Ticks;

namespace {

constexpr uint64_t kBigSize = (5ull << 30) + 123;
const char* const kBigMarks[] = { "first", "beyond 4 GiB", "last" };
const uint64_t kBigOffsets[] = { 0, (4ull << 30) + 1, kBigSize - 4 };

using TUnixName = char* (*)(const wchar_t*);

TUnixName UnixNameFunction()
{
    return reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
}

// The directory run-tree-test prepared, empty without it.
fs::path Prepared()
{
    const char* pszName = std::getenv("KW_TREE_NAME");
    return pszName && *pszName ? fs::path("T:\\") / pszName : fs::path();
}

class GandrelCopyTreeTest : public ::testing::Test {
protected:
    fs::path Src(const std::string& strName) const { return m_coDir / "src" / fs::u8path(strName); }

    void MakeTree() { m_vecEntries = kwtest::MakeGeneratedTree(m_coDir / "src", 9); }

    void MakeBigFile()
    {
        ULARGE_INTEGER coFree {};
        GetDiskFreeSpaceExW(L"T:\\", &coFree, nullptr, nullptr);
        if (coFree.QuadPart < kBigSize + (2ull << 30)) {
            std::cout << "[ NOTE     ] the file over 4 GiB is left out: " << (coFree.QuadPart >> 20)
                      << " MiB free, the copy needs " << ((kBigSize >> 20) + 2048) << std::endl;
            return;
        }
        HANDLE hFile = CreateFileW(Src("big.bin").wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        for (size_t i = 0; i < 3; ++i) {
            LARGE_INTEGER coAt;
            coAt.QuadPart = static_cast<LONGLONG>(kBigOffsets[i]);
            DWORD ulWritten = 0;
            SetFilePointerEx(hFile, coAt, nullptr, FILE_BEGIN);
            WriteFile(hFile, kBigMarks[i], static_cast<DWORD>(std::strlen(kBigMarks[i])), &ulWritten, nullptr);
        }
        LARGE_INTEGER coEnd;
        coEnd.QuadPart = static_cast<LONGLONG>(kBigSize);
        SetFilePointerEx(hFile, coEnd, nullptr, FILE_BEGIN);
        SetEndOfFile(hFile);
        CloseHandle(hFile);
        m_bBig = true;
    }

    void CheckBigFile(const fs::path& coDst)
    {
        const fs::path coCopy = coDst / "src" / "big.bin";
        ASSERT_EQ(FactsOf(coCopy).m_ullSize, kBigSize);
        std::ifstream coIn(coCopy, std::ios::binary);
        for (size_t i = 0; i < 3; ++i) {
            std::string strMark(std::strlen(kBigMarks[i]), '\0');
            coIn.seekg(static_cast<std::streamoff>(kBigOffsets[i]));
            coIn.read(&strMark[0], static_cast<std::streamsize>(strMark.size()));
            EXPECT_EQ(strMark, kBigMarks[i]);
        }
    }

    fs::path m_coDir { Prepared() };
    std::vector<std::string> m_vecEntries;
    bool m_bBig { false };
};

} // namespace

TEST_F(GandrelCopyTreeTest, TheCopyKeepsEveryByteNameTimeAttributeAndWhatWineKeepsOfTheRights)
{
    if (m_coDir.empty())
        GTEST_SKIP() << "run through run-tree-test, which makes the links and the locked directory";
    MakeTree();
    MakeBigFile();
    WIN32_FIND_DATAW coFound;
    HANDLE hFind = FindFirstFileW(Src("locked/*").wstring().c_str(), &coFound);
    const bool bLockedReadable = hFind != INVALID_HANDLE_VALUE;
    if (bLockedReadable) {
        FindClose(hFind);
        std::cout << "[ NOTE     ] the locked directory is readable here (run through scripts/wine-run-nodac)\n";
    }

    // Copied by one worker and by four, each into a target of its own.
    for (const char* pszWorkers : { "1", "4" }) {
        // Reading a file moves its time of last access (relatime), so the
        // source's facts are taken before the copy reads it.
        const kwtest::TTreeFacts coBefore = kwtest::FactsOfTree(m_coDir / "src", m_vecEntries);
        const fs::path coDst = m_coDir / (std::string("dst") + pszWorkers);
        const kwtest::TProgramRun coRun = RunGandrelCopy(
            { (m_coDir / "src").u8string(), coDst.u8string(), "/VERIFY", std::string("/MT:") + pszWorkers });
        EXPECT_EQ(coRun.m_nExit, bLockedReadable ? 1 : 9) << coRun.m_strOutput;
        EXPECT_NE(coRun.m_strOutput.find("Copying ..\\src\\deep\\loop ... skipped (a link to a directory is not followed"),
                  std::string::npos);
        if (!bLockedReadable) {
            EXPECT_NE(coRun.m_strOutput.find("Creating Directory ..\\src\\locked ... failed ! (its contents cannot be listed: "),
                      std::string::npos) << coRun.m_strOutput;
        }
        EXPECT_EQ(coRun.m_strOutput.find("Assigning Rights ..\\src\\deep\\loop"), std::string::npos);
        EXPECT_EQ(coRun.m_strOutput.find("verification"), std::string::npos) << coRun.m_strOutput;

        kwtest::ExpectSameFacts(coBefore, m_coDir / "src", coDst / "src");
        // Every name of every copied directory, in its case, and nothing
        // more: only the link is left out.
        ExpectSameNames(m_coDir / "src", coDst / "src");
        EXPECT_FALSE(fs::exists(coDst / "src" / "deep" / "loop"));
        if (m_bBig)
            CheckBigFile(coDst);
    }
}

TEST(WineProbeTest, WineBehavesAsTheCopyExpects)
{
    const fs::path coDir = Prepared() / "probe";
    if (Prepared().empty() || !UnixNameFunction())
        GTEST_SKIP() << "facts of Wine, run through run-tree-test";
    // Volumes claim NTFS with persistent rights, though Wine keeps only a
    // projection of them onto the Unix mode.
    wchar_t wszName[32] = L"";
    DWORD ulFlags = 0;
    ASSERT_TRUE(GetVolumeInformationW(L"T:\\", nullptr, 0, nullptr, nullptr, &ulFlags, wszName, 32));
    EXPECT_EQ(std::wstring(wszName), L"NTFS");
    EXPECT_TRUE(ulFlags & FILE_PERSISTENT_ACLS);
    // A link to a directory lists as a directory reparse point with tag 0,
    // and its reparse data cannot be read: it can only be skipped.
    WIN32_FIND_DATAW coFound;
    HANDLE hFind = FindFirstFileW((coDir / "link").wstring().c_str(), &coFound);
    ASSERT_NE(hFind, INVALID_HANDLE_VALUE);
    FindClose(hFind);
    EXPECT_EQ(coFound.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    EXPECT_EQ(coFound.dwReserved0, 0u);
    HANDLE hLink = CreateFileW((coDir / "link").wstring().c_str(), 0, 7, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    char achData[1024];
    DWORD ulLength = 0;
    EXPECT_FALSE(DeviceIoControl(hLink, FSCTL_GET_REPARSE_POINT, nullptr, 0, achData, sizeof(achData), &ulLength, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_A_REPARSE_POINT));
    CloseHandle(hLink);
    // One directory under two names has one identity.
    auto coIdentity = [](const std::wstring& wstrPath) {
        HANDLE hEntry = CreateFileW(wstrPath.c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION coInfo {};
        GetFileInformationByHandle(hEntry, &coInfo);
        CloseHandle(hEntry);
        return std::make_tuple(coInfo.dwVolumeSerialNumber, coInfo.nFileIndexHigh, coInfo.nFileIndexLow);
    };
    std::wstring wstrUnix = L"Z:" + kwtest::Wide(UnixNameFunction()((coDir / "d").wstring().c_str()));
    std::replace(wstrUnix.begin(), wstrUnix.end(), L'/', L'\\');
    EXPECT_EQ(coIdentity((coDir / "d").wstring()), coIdentity(wstrUnix));
    // Times of writing and access stay to the 100 ns; creation reads back
    // as the time of writing. Hidden and system stay on directories,
    // read-only does not.
    SetTimes(coDir / "d", 127000000000000000ull + 7);
    const TFacts coFacts = FactsOf(coDir / "d");
    EXPECT_EQ(Ticks(coFacts.m_coWritten), 127000000000000007ull);
    EXPECT_EQ(Ticks(coFacts.m_coAccessed), 127000000000000007ull + 86400ull * 10000000);
    EXPECT_EQ(Ticks(coFacts.m_coCreated), Ticks(coFacts.m_coWritten));
    SetFileAttributesW((coDir / "d").wstring().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(GetFileAttributesW((coDir / "d").wstring().c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    // A descriptor read with the SACL asked for comes without one.
    std::vector<char> vecDescriptor(4096);
    DWORD ulNeeded = 0;
    ASSERT_TRUE(GetFileSecurityW((coDir / "d").wstring().c_str(), 14, vecDescriptor.data(), 4096, &ulNeeded));
    SECURITY_DESCRIPTOR_CONTROL unControl = 0;
    DWORD ulRevision = 0;
    GetSecurityDescriptorControl(vecDescriptor.data(), &unControl, &ulRevision);
    EXPECT_FALSE(unControl & SE_SACL_PRESENT);
}
