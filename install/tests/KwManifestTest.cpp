// Every program of the build carries the framework's manifest: the UTF-8
// code page for the ...A calls, long paths, the supported Windows versions.
// The programs checked are those in KW_PROGRAM_DIR, or beside this test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

std::filesystem::path ProgramDir()
{
    if (const char* pszDir = std::getenv("KW_PROGRAM_DIR"))
        return std::filesystem::u8path(pszDir);
    wchar_t wszSelf[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, wszSelf, MAX_PATH);
    return std::filesystem::path(wszSelf).parent_path();
}

// The text of the program's manifest (RT_MANIFEST 1); empty without one.
std::string Manifest(const std::filesystem::path& coProgram)
{
    HMODULE hModule = LoadLibraryExW(coProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!hModule)
        return std::string();
    std::string strText;
    if (HRSRC hResource = FindResourceW(hModule, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const char* pchText = static_cast<const char*>(LockResource(LoadResource(hModule, hResource)));
        if (pchText)
            strText.assign(pchText, SizeofResource(hModule, hResource));
    }
    FreeLibrary(hModule);
    return strText;
}

} // namespace

TEST(KwManifestTest, ThisProgramRunsWithTheUtf8CodePage)
{
    EXPECT_EQ(GetACP(), 65001u);
}

TEST(KwManifestTest, EveryProgramCarriesTheManifest)
{
    std::set<std::string> setPrograms;
    for (const auto& coEntry : std::filesystem::directory_iterator(ProgramDir())) {
        if (coEntry.path().extension() != ".exe")
            continue;
        const std::string strName = coEntry.path().filename().u8string();
        const std::string strManifest = Manifest(coEntry.path());
        setPrograms.insert(strName);
        EXPECT_NE(strManifest.find(">UTF-8</activeCodePage>"), std::string::npos) << strName;
        EXPECT_NE(strManifest.find(">true</longPathAware>"), std::string::npos) << strName;
        // Windows 10 and 11.
        EXPECT_NE(strManifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << strName;
    }
    if (const char* pszExpected = std::getenv("KW_PROGRAMS_EXPECTED")) {
        std::string strExpected = pszExpected;
        for (size_t nStart = 0; nStart < strExpected.size();) {
            const size_t nEnd = std::min(strExpected.find(',', nStart), strExpected.size());
            EXPECT_EQ(setPrograms.count(strExpected.substr(nStart, nEnd - nStart)), 1u)
                << strExpected.substr(nStart, nEnd - nStart);
            nStart = nEnd + 1;
        }
    }
}
