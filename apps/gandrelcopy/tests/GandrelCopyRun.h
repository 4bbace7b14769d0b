#pragma once

// Runs the gandrelcopy program that lies beside the test program, with its
// standard output and error together, and returns its exit code.

#include <string>
#include <vector>

#if defined(_WIN32)
#include "KwWindows.h"
#else
#include <csignal>
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

#endif

// A gandrelcopy that runs while the test watches it. Stop ends it from
// outside: natively with a hang-up (SIGHUP), under Windows as the system
// ends a program that did not end in time after its console closed
// (TerminateProcess).
class TRunningCopy {
public:
    explicit TRunningCopy(const std::vector<std::string>& vecArguments)
    {
#if defined(_WIN32)
        wchar_t wszProgram[MAX_PATH];
        GetModuleFileNameW(nullptr, wszProgram, MAX_PATH);
        std::wstring wstrProgram = wszProgram;
        wstrProgram = wstrProgram.substr(0, wstrProgram.find_last_of(L'\\') + 1) + L"gandrelcopy.exe";
        std::wstring wstrLine = L"\"" + wstrProgram + L"\"";
        for (const std::string& strArgument : vecArguments)
            wstrLine += L" \"" + Wide(strArgument) + L"\"";
        SECURITY_ATTRIBUTES coInherit { sizeof(coInherit), nullptr, TRUE };
        HANDLE hWrite = nullptr;
        CreatePipe(&m_hRead, &hWrite, &coInherit, 0);
        SetHandleInformation(m_hRead, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW coStart {};
        coStart.cb = sizeof(coStart);
        coStart.dwFlags = STARTF_USESTDHANDLES;
        coStart.hStdOutput = coStart.hStdError = hWrite;
        coStart.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        if (!CreateProcessW(wstrProgram.c_str(), &wstrLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &coStart,
                            &m_coProcess))
            m_coProcess.hProcess = nullptr;
        CloseHandle(hWrite);
#else
        char szSelf[4096];
        const ssize_t nLength = readlink("/proc/self/exe", szSelf, sizeof(szSelf) - 1);
        std::string strProgram(szSelf, nLength > 0 ? static_cast<size_t>(nLength) : 0);
        strProgram = strProgram.substr(0, strProgram.find_last_of('/') + 1) + "gandrelcopy";
        int anPipe[2];
        if (pipe(anPipe) != 0)
            return;
        m_nPid = fork();
        if (m_nPid == 0) {
            dup2(anPipe[1], 1);
            dup2(anPipe[1], 2);
            close(anPipe[0]);
            close(anPipe[1]);
            std::vector<char*> vecArgv { const_cast<char*>(strProgram.c_str()) };
            for (const std::string& strArgument : vecArguments)
                vecArgv.push_back(const_cast<char*>(strArgument.c_str()));
            vecArgv.push_back(nullptr);
            execv(strProgram.c_str(), vecArgv.data());
            _exit(127);
        }
        close(anPipe[1]);
        m_nRead = anPipe[0];
#endif
    }
    ~TRunningCopy() { Finish(); }
    TRunningCopy(const TRunningCopy&) = delete;
    TRunningCopy& operator=(const TRunningCopy&) = delete;

    void Stop()
    {
#if defined(_WIN32)
        if (m_coProcess.hProcess)
            TerminateProcess(m_coProcess.hProcess, 1);
#else
        if (m_nPid > 0)
            kill(m_nPid, SIGHUP);
#endif
    }

    // Waits for the end: the exit code and the output (without CR).
    TProgramRun Finish()
    {
        TProgramRun coRun;
#if defined(_WIN32)
        if (!m_hRead)
            return coRun;
        char achBuffer[4096];
        DWORD ulRead = 0;
        while (ReadFile(m_hRead, achBuffer, sizeof(achBuffer), &ulRead, nullptr) && ulRead)
            coRun.m_strOutput.append(achBuffer, ulRead);
        CloseHandle(m_hRead);
        m_hRead = nullptr;
        if (m_coProcess.hProcess) {
            WaitForSingleObject(m_coProcess.hProcess, INFINITE);
            DWORD ulExit = 0;
            GetExitCodeProcess(m_coProcess.hProcess, &ulExit);
            coRun.m_nExit = static_cast<int>(ulExit);
            CloseHandle(m_coProcess.hProcess);
            CloseHandle(m_coProcess.hThread);
            m_coProcess.hProcess = nullptr;
        }
#else
        if (m_nRead < 0)
            return coRun;
        char achBuffer[4096];
        ssize_t nRead;
        while ((nRead = read(m_nRead, achBuffer, sizeof(achBuffer))) > 0)
            coRun.m_strOutput.append(achBuffer, static_cast<size_t>(nRead));
        close(m_nRead);
        m_nRead = -1;
        int nStatus = 0;
        if (m_nPid > 0 && waitpid(m_nPid, &nStatus, 0) == m_nPid)
            coRun.m_nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        m_nPid = -1;
#endif
        std::string strOutput;
        for (char ch : coRun.m_strOutput)
            if (ch != '\r')
                strOutput += ch;
        coRun.m_strOutput = strOutput;
        return coRun;
    }

private:
#if defined(_WIN32)
    HANDLE m_hRead { nullptr };
    PROCESS_INFORMATION m_coProcess {};
#else
    pid_t m_nPid { -1 };
    int m_nRead { -1 };
#endif
};

inline TProgramRun RunGandrelCopy(const std::vector<std::string>& vecArguments)
{
    return TRunningCopy(vecArguments).Finish();
}

} // namespace kwtest
