#include "BootTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Wine only: the Unix path of a Windows path, or an empty text.
std::string UnixPath(const std::string& coPath)
{
    typedef char*(CDECL * TUnixName)(LPCWSTR);
    auto pfnUnixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring coWide = std::filesystem::path(coPath).wstring();
    char* pszUnix = pfnUnixName ? pfnUnixName(coWide.c_str()) : nullptr;
    if (!pszUnix)
        return std::string();
    std::string coUnix(pszUnix);
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return coUnix;
}

// Starts a command line and waits up to 20 seconds until coDonePath exists,
// or has vanished when bGone: under Wine a Unix process's handle cannot be
// waited for, its result can.
bool RunUntil(std::string coLine, const std::string& coDonePath, bool bGone)
{
    STARTUPINFOA coStartup {};
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    if (!CreateProcessA(nullptr, &coLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &coStartup, &coProcess))
        return false;
    CloseHandle(coProcess.hThread);
    CloseHandle(coProcess.hProcess);
    for (int nTry = 0; nTry < 400; ++nTry) {
        if (std::filesystem::exists(coDonePath) != bGone)
            return true;
        Sleep(50);
    }
    return false;
}

// Removes a tree without following links. Wine removes a Unix link to a
// directory neither with RemoveDirectory nor with DeleteFile; a Unix
// "rm -rf" removes links without following, as "rd /s" does on Windows.
void RemoveAll(const std::string& coPath)
{
    if (!BootIsWine()) {
        RunUntil("cmd /c rd /s /q \"" + coPath + "\"", coPath, true);
        return;
    }
    std::string coUnix = UnixPath(coPath);
    if (coUnix.size() > 1)
        RunUntil("Z:\\bin\\bash -c \"rm -rf '" + coUnix + "'\"", coPath, true);
}

} // namespace

std::string BootBinDir()
{
    char szPath[MAX_PATH];
    std::string coPath(szPath, GetModuleFileNameA(nullptr, szPath, sizeof(szPath)));
    return coPath.substr(0, coPath.find_last_of('\\'));
}

void BootWriteFile(const std::string& coPath, const std::string& coContent)
{
    std::ofstream(coPath, std::ios::binary | std::ios::trunc) << coContent;
}

std::string BootReadFile(const std::string& coPath)
{
    std::ifstream coFile(coPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(coFile), std::istreambuf_iterator<char>());
}

TTexts BootListDir(const std::string& coPath)
{
    TTexts coNames;
    std::error_code coError;
    for (const auto& coEntry : std::filesystem::directory_iterator(coPath, coError))
        coNames.push_back(coEntry.path().filename().string());
    std::sort(coNames.begin(), coNames.end());
    return coNames;
}

bool BootIsWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

bool BootMakeDirectoryLink(const std::string& coLink, const std::string& coTarget)
{
    if (!BootIsWine())
        return CreateSymbolicLinkA(coLink.c_str(), coTarget.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    return RunUntil("Z:\\bin\\ln -s \"" + UnixPath(coTarget) + "\" \"" + UnixPath(coLink) + "\"", coLink, false);
}

void BootFillAllTempNames(const std::string& coDir)
{
    // Wine makes files whose names look like short names slowly in a full
    // directory; a Unix shell makes them quickly.
    if (BootIsWine()) {
        RunUntil("Z:\\bin\\bash -c \"cd '" + UnixPath(coDir) + "' && touch '~PLV'{0000..9999}'.TMP'\"",
                 coDir + "\\~PLV9999.TMP", false);
        return;
    }
    for (int n = 0; n < 10000; ++n) {
        char szName[32];
        snprintf(szName, sizeof(szName), "\\~PLV%04d.TMP", n);
        BootWriteFile(coDir + szName, "");
    }
}

TBootEnvScope::TBootEnvScope(const std::string& coName, const std::string& coValue)
    : m_coName(coName), m_coOld(kBootUnset)
{
    char szOld[4096];
    DWORD nLength = GetEnvironmentVariableA(coName.c_str(), szOld, sizeof(szOld));
    if (nLength > 0 && nLength < sizeof(szOld))
        m_coOld = szOld;
    Set(coValue);
}

void TBootEnvScope::Set(const std::string& coValue)
{
    SetEnvironmentVariableA(m_coName.c_str(), coValue == kBootUnset ? nullptr : coValue.c_str());
}

TBootScratch::TBootScratch(const char* pszName)
{
    static int s_nCount = 0;
    const std::string coName = "plvboot-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_nCount);
    m_coRoot = (std::filesystem::temp_directory_path() / (coName + "-" + pszName)).string();
    for (const std::string& coDir : { Medium(), Payload(), Temp() })
        std::filesystem::create_directories(coDir);
}

TBootScratch::~TBootScratch()
{
    RemoveAll(m_coRoot);
}

void TBootScratch::MakeMedium(const std::string& coSetupIni, const char* pszProject)
{
    BootWriteFile(Medium() + "\\setup.ini", coSetupIni);
    BootWriteFile(Medium() + "\\" + pszProject, std::string("PLV project\0\x01\x02\r\n", 17));
    CopyFileA((BootBinDir() + "\\fakeplvrt.exe").c_str(), (Medium() + "\\_plvrt_.exe").c_str(), FALSE);
    CopyFileA((BootBinDir() + "\\fakeplvsetup.exe").c_str(), (Payload() + "\\plvsetup.exe").c_str(), FALSE);
    BootWriteFile(Payload() + "\\locked.dat", "read-only");
    SetFileAttributesA((Payload() + "\\locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
}
