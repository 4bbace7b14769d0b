#include "FakeCommon.h"

std::string FakeGetEnv(const char* pszName)
{
    char szValue[MAX_PATH];
    DWORD nLength = GetEnvironmentVariableA(pszName, szValue, sizeof(szValue));
    return nLength > 0 && nLength < sizeof(szValue) ? szValue : "";
}

void FakeRecord(const char* pszKey, const std::string& coValue)
{
    std::string coFile = FakeGetEnv("FAKE_LOG");
    HANDLE hFile = CreateFileA(coFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    std::string coLine = std::string(pszKey) + "=" + coValue + "\n";
    DWORD nWritten = 0;
    WriteFile(hFile, coLine.data(), static_cast<DWORD>(coLine.size()), &nWritten, nullptr);
    CloseHandle(hFile);
}
