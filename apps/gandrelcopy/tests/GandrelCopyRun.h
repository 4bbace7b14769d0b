#pragma once

// Runs the gandrelcopy program that lies beside the test program, with its
// standard output and error together, and returns its exit code.

#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#else
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kwtest {

struct TProgramRun {
    int m_nExit { -1 };
    std::string m_strOutput;
};

#if defined(_WIN32)

inline std::wstring Wide(const std::string& strText)
{
    std::wstring wstrText(strText.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), -1, &wstrText[0], static_cast<int>(wstrText.size()));
    wstrText.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return wstrText;
}

inline TProgramRun RunGandrelCopy(const std::vector<std::string>& vecArguments)
{
    wchar_t wszProgram[MAX_PATH];
    GetModuleFileNameW(nullptr, wszProgram, MAX_PATH);
    std::wstring wstrProgram = wszProgram;
    wstrProgram = wstrProgram.substr(0, wstrProgram.find_last_of(L'\\') + 1) + L"gandrelcopy.exe";
    std::wstring wstrLine = L"\"" + wstrProgram + L"\"";
    for (const std::string& strArgument : vecArguments)
        wstrLine += L" \"" + Wide(strArgument) + L"\"";
    SECURITY_ATTRIBUTES coInherit { sizeof(coInherit), nullptr, TRUE };
    HANDLE hRead = nullptr;
    HANDLE hWrite = nullptr;
    CreatePipe(&hRead, &hWrite, &coInherit, 0);
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW coStart {};
    coStart.cb = sizeof(coStart);
    coStart.dwFlags = STARTF_USESTDHANDLES;
    coStart.hStdOutput = coStart.hStdError = hWrite;
    coStart.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION coProcess {};
    TProgramRun coRun;
    if (!CreateProcessW(wstrProgram.c_str(), &wstrLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &coStart,
                        &coProcess)) {
        CloseHandle(hRead);
        CloseHandle(hWrite);
        return coRun;
    }
    CloseHandle(hWrite);
    char achBuffer[4096];
    DWORD ulRead = 0;
    while (ReadFile(hRead, achBuffer, sizeof(achBuffer), &ulRead, nullptr) && ulRead)
        coRun.m_strOutput.append(achBuffer, ulRead);
    WaitForSingleObject(coProcess.hProcess, INFINITE);
    DWORD ulExit = 0;
    GetExitCodeProcess(coProcess.hProcess, &ulExit);
    coRun.m_nExit = static_cast<int>(ulExit);
    CloseHandle(coProcess.hProcess);
    CloseHandle(coProcess.hThread);
    CloseHandle(hRead);
    std::string strOutput;
    for (char ch : coRun.m_strOutput)
        if (ch != '\r')
            strOutput += ch;
    coRun.m_strOutput = strOutput;
    return coRun;
}

#else

inline TProgramRun RunGandrelCopy(const std::vector<std::string>& vecArguments)
{
    char szSelf[4096];
    const ssize_t nLength = readlink("/proc/self/exe", szSelf, sizeof(szSelf) - 1);
    std::string strCommand(szSelf, nLength > 0 ? static_cast<size_t>(nLength) : 0);
    strCommand = "'" + strCommand.substr(0, strCommand.find_last_of('/') + 1) + "gandrelcopy'";
    for (const std::string& strArgument : vecArguments)
        strCommand += " '" + strArgument + "'";
    TProgramRun coRun;
    FILE* pOutput = popen((strCommand + " 2>&1").c_str(), "r");
    char achBuffer[4096];
    size_t nRead;
    while (pOutput && (nRead = std::fread(achBuffer, 1, sizeof(achBuffer), pOutput)) > 0)
        coRun.m_strOutput.append(achBuffer, nRead);
    const int nStatus = pOutput ? pclose(pOutput) : -1;
    coRun.m_nExit = nStatus != -1 && WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return coRun;
}

#endif

} // namespace kwtest
