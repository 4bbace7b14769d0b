#pragma once

// A generated source tree and the facts of its entries, for the tests that
// copy it for real under Wine (the command-line copier and Gandrel itself):
// mixed case, an empty file, a name outside the ANSI code page, hidden,
// system and read-only files and directories, rights whose projection Wine
// keeps, times with 100 ns digits, a path deeper than MAX_PATH.

#include "KwWindows.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace kwtest {

namespace fs = std::filesystem;

struct TFacts {
    DWORD m_ulAttributes { INVALID_FILE_ATTRIBUTES };
    uint64_t m_ullSize { 0 };
    FILETIME m_coWritten {};
    FILETIME m_coAccessed {};
    FILETIME m_coCreated {};
};

inline TFacts FactsOf(const fs::path& coPath)
{
    WIN32_FILE_ATTRIBUTE_DATA coData {};
    TFacts coFacts;
    if (!GetFileAttributesExW(coPath.wstring().c_str(), GetFileExInfoStandard, &coData))
        return coFacts;
    coFacts.m_ulAttributes = coData.dwFileAttributes;
    coFacts.m_ullSize = (static_cast<uint64_t>(coData.nFileSizeHigh) << 32) | coData.nFileSizeLow;
    coFacts.m_coWritten = coData.ftLastWriteTime;
    coFacts.m_coAccessed = coData.ftLastAccessTime;
    coFacts.m_coCreated = coData.ftCreationTime;
    return coFacts;
}

inline uint64_t Ticks(const FILETIME& coTime)
{
    return (static_cast<uint64_t>(coTime.dwHighDateTime) << 32) | coTime.dwLowDateTime;
}

inline void SetTimes(const fs::path& coPath, uint64_t ullWritten)
{
    HANDLE hEntry = CreateFileW(coPath.wstring().c_str(), FILE_WRITE_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const FILETIME coWritten { static_cast<DWORD>(ullWritten), static_cast<DWORD>(ullWritten >> 32) };
    const uint64_t ullAccessed = ullWritten + 86400ull * 10000000;
    const FILETIME coAccessed { static_cast<DWORD>(ullAccessed), static_cast<DWORD>(ullAccessed >> 32) };
    EXPECT_TRUE(SetFileTime(hEntry, nullptr, &coAccessed, &coWritten)) << coPath;
    CloseHandle(hEntry);
}

// The parts of an entry's descriptor that Wine keeps, as SDDL text.
inline std::wstring Rights(const fs::path& coPath)
{
    DWORD ulNeeded = 0;
    GetFileSecurityW(coPath.wstring().c_str(), 6, nullptr, 0, &ulNeeded);
    std::vector<char> vecDescriptor(ulNeeded ? ulNeeded : 1);
    wchar_t* pwszText = nullptr;
    if (!GetFileSecurityW(coPath.wstring().c_str(), 6, vecDescriptor.data(), ulNeeded, &ulNeeded)
        || !ConvertSecurityDescriptorToStringSecurityDescriptorW(vecDescriptor.data(), SDDL_REVISION_1, 6, &pwszText,
                                                                 nullptr))
        return L"<none>";
    std::wstring wstrText = pwszText;
    LocalFree(pwszText);
    return wstrText;
}

inline std::string Bytes(const fs::path& coPath)
{
    std::ifstream coIn(coPath, std::ios::binary);
    return coIn ? std::string(std::istreambuf_iterator<char>(coIn), std::istreambuf_iterator<char>()) : "<none>";
}

// The names in a directory (any path length), and which are directories
// that are not links.
inline std::map<std::wstring, bool> Names(const fs::path& coDirectory)
{
    std::map<std::wstring, bool> coNames;
    WIN32_FIND_DATAW coFound;
    HANDLE hFind = FindFirstFileW((L"\\\\?\\" + coDirectory.wstring() + L"\\*").c_str(), &coFound);
    if (hFind == INVALID_HANDLE_VALUE)
        return coNames;
    do {
        const std::wstring wstrName = coFound.cFileName;
        if (wstrName != L"." && wstrName != L"..")
            coNames[wstrName] = (coFound.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
                == FILE_ATTRIBUTE_DIRECTORY;
    } while (FindNextFileW(hFind, &coFound));
    FindClose(hFind);
    return coNames;
}

inline void ExpectSameNames(const fs::path& coSource, const fs::path& coCopy)
{
    std::map<std::wstring, bool> coExpected = Names(coSource);
    coExpected.erase(L"loop");
    EXPECT_TRUE(Names(coCopy) == coExpected) << coCopy;
    for (const auto& coName : coExpected)
        if (coName.second)
            ExpectSameNames(coSource / coName.first, coCopy / coName.first);
}

inline std::string Pattern(const std::string& strName, size_t nBytes)
{
    std::string strBytes(nBytes, '\0');
    for (size_t i = 0; i < nBytes; ++i)
        strBytes[i] = static_cast<char>((i * 13 + strName.size() + i / 4093) & 0xFF);
    return strBytes;
}

// Makes the tree below coSrc (which need not exist); answers its entries,
// relative to coSrc with "/" between names, directories ending in "/", in
// the order made. nDeepLevels long-named levels go below "deep".
inline std::vector<std::string> MakeGeneratedTree(const fs::path& coSrc, int nDeepLevels)
{
    const auto Src = [&coSrc](const std::string& strName) { return coSrc / fs::u8path(strName); };
    std::string strDeep = "deep/";
    for (int i = 0; i < nDeepLevels; ++i)
        strDeep += "level-" + std::to_string(i) + "-with-a-rather-long-name/";
    std::vector<std::string> vecEntries = { "Mixed.Case.TXT", "lower.txt", "UPPER.TXT", "empty.dat",
                                            u8"\u03a9mega-\u0444\u0430\u0439\u043b.txt", "HiddenDir/",
                                            "HiddenDir/inner.txt", "SystemDir/", "SystemDir/inner.txt", "ReadOnlyDir/",
                                            "ReadOnlyDir/inner.txt", "ro.txt", "hid.txt", "sys.txt", "pieces.bin",
                                            strDeep, strDeep + "bottom.txt" };
    fs::create_directories(Src(strDeep));
    for (const std::string& strEntry : vecEntries) {
        if (strEntry.back() == '/')
            continue;
        const size_t nBytes = strEntry == "empty.dat" ? 0 : strEntry == "pieces.bin" ? 3 * (1 << 20) + 17 : 100 + strEntry.size();
        fs::create_directories(Src(strEntry).parent_path());
        std::ofstream(Src(strEntry), std::ios::binary) << Pattern(strEntry, nBytes);
    }
    // Rights whose projection Wine keeps: full access for administrators,
    // reading for everyone.
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;BA)(A;;FR;;;WD)", SDDL_REVISION_1,
                                                                     &pDescriptor, nullptr));
    EXPECT_TRUE(SetFileSecurityW(Src("lower.txt").wstring().c_str(), DACL_SECURITY_INFORMATION, pDescriptor));
    LocalFree(pDescriptor);
    uint64_t ullTime = 127000000000000000ull + 1234567;      // 2003, with 100 ns digits
    for (auto it = vecEntries.rbegin(); it != vecEntries.rend(); ++it, ullTime += 3600ull * 10000000 + 11)
        SetTimes(Src(*it), ullTime);
    // Attributes last: a read-only file takes no more times.
    const std::pair<const char*, DWORD> aAttributes[] = {
        { "HiddenDir", FILE_ATTRIBUTE_HIDDEN }, { "SystemDir", FILE_ATTRIBUTE_SYSTEM },
        { "ReadOnlyDir", FILE_ATTRIBUTE_READONLY }, { "ro.txt", FILE_ATTRIBUTE_READONLY },
        { "hid.txt", FILE_ATTRIBUTE_HIDDEN }, { "sys.txt", FILE_ATTRIBUTE_SYSTEM },
    };
    for (const auto& coAttribute : aAttributes)
        SetFileAttributesW(Src(coAttribute.first).wstring().c_str(),
                           GetFileAttributesW(Src(coAttribute.first).wstring().c_str()) | coAttribute.second);
    return vecEntries;
}

// The facts of every entry: attributes, size, times and rights.
using TTreeFacts = std::map<std::string, std::pair<TFacts, std::wstring>>;

inline TTreeFacts FactsOfTree(const fs::path& coRoot, const std::vector<std::string>& vecEntries)
{
    TTreeFacts coFacts;
    for (const std::string& strEntry : vecEntries) {
        const fs::path coPath = coRoot / fs::u8path(strEntry);
        coFacts[strEntry] = { FactsOf(coPath), Rights(coPath) };
    }
    return coFacts;
}

// Every entry of the copy has its source's attributes, times of writing and
// access, rights (what Wine keeps of them) and bytes. Reading a file moves
// its time of last access (relatime), so the source's facts are taken
// before the copy reads it.
inline void ExpectSameFacts(const TTreeFacts& coBefore, const fs::path& coSource, const fs::path& coCopy)
{
    for (const auto& coEntry : coBefore) {
        const std::string& strEntry = coEntry.first;
        const fs::path coCopied = coCopy / fs::u8path(strEntry);
        const TFacts& coWas = coEntry.second.first;
        const TFacts coIs = FactsOf(coCopied);
        ASSERT_NE(coIs.m_ulAttributes, INVALID_FILE_ATTRIBUTES) << strEntry;
        EXPECT_EQ(coIs.m_ulAttributes, coWas.m_ulAttributes) << strEntry;
        EXPECT_EQ(Ticks(coIs.m_coWritten), Ticks(coWas.m_coWritten)) << strEntry;
        EXPECT_EQ(Ticks(coIs.m_coAccessed), Ticks(coWas.m_coAccessed)) << strEntry;
        EXPECT_EQ(Rights(coCopied), coEntry.second.second) << strEntry;
        if (strEntry.back() != '/') {
            EXPECT_EQ(Bytes(coCopied), Bytes(coSource / fs::u8path(strEntry))) << strEntry;
        }
    }
}

} // namespace kwtest
