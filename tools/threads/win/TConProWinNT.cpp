#include "TConProWinNT.h"

#include "KwWindows.h"
#include "TOpSystem.h"
#include "TWideText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <memory>
#include <new>
#include <vector>

KW_IMPLEMENT_DYNAMIC_CLASS(TConProWinNT, TConsoleProcess, "kwtl")

namespace {

const DWORD s_dwBufferSize = 4096;
const DWORD s_dwReadPiece = 4064;
const int s_nPassesAfterEnd = 5;

HANDLE ToHandle(intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

intptr_t FromHandle(HANDLE h)
{
    return reinterpret_cast<intptr_t>(h);
}

void CloseEnd(intptr_t& h)
{
    if (h == -1)
        return;
    ::CloseHandle(ToHandle(h));
    h = -1;
}

// An anonymous pipe whose ends the child inherits; the end named by
// nParentEnd (0 read, 1 write) stays in this process only, so that no other
// child started meanwhile holds it open.
int CreateChildPipe(intptr_t& hRead, intptr_t& hWrite, int nParentEnd)
{
    SECURITY_ATTRIBUTES coAttributes { sizeof coAttributes, nullptr, TRUE };
    HANDLE hR = nullptr;
    HANDLE hW = nullptr;
    if (!::CreatePipe(&hR, &hW, &coAttributes, 0))
        return 0;
    hRead = FromHandle(hR);
    hWrite = FromHandle(hW);
    return ::SetHandleInformation(nParentEnd ? hW : hR, HANDLE_FLAG_INHERIT, 0) ? 1 : 0;
}

} // namespace

TConProWinNT::~TConProWinNT()
{
    if (IsDynCppReferenceObject())
        return;
    TOsThread* pcoWorker = GetWorker();
    const int nOnWorker = pcoWorker && pcoWorker->IsRunning() && pcoWorker->IsCurrentThread();
    if (m_pnStartDestroyed)
        *m_pnStartDestroyed = 1;
    Stop();
    if (nOnWorker) {
        // Deleted by a handler on the worker: the worker returns as soon
        // as that handler has, without touching this object.
        if (m_pnDestroyed)
            *m_pnDestroyed = 1;
    } else {
        EndWorker();
    }
    CloseParentEnds();
    CloseProcessHandle();
}

int TConProWinNT::Start(const char* pszCommandLine)
{
    // A start while the program runs changes nothing at all.
    if (IsStarted())
        return 0;
    m_tStart.store(0);
    m_tEnd.store(0);
    if (!pszCommandLine || !*pszCommandLine)
        return 0;
    m_coCommandLine = pszCommandLine;
    CloseParentEnds();
    CloseProcessHandle();

    intptr_t hStdinRead = -1;
    intptr_t hStdoutWrite = -1;
    auto fnFail = [&]() {
        CloseEnd(hStdinRead);
        CloseEnd(hStdoutWrite);
        CloseParentEnds();
        return 0;
    };
    if (!CreateChildPipe(hStdinRead, m_hStdinWrite, 1) || !CreateChildPipe(m_hStdoutRead, hStdoutWrite, 0))
        return fnFail();

    m_nReleased.store(0);
    TOsThread* pcoWorker = AccessWorker();
    if (!pcoWorker || !pcoWorker->Start())
        return fnFail();
    if (!CreateConsoleProcess(pszCommandLine, hStdinRead, hStdoutWrite)) {
        // The worker leaves without an event; the pipes are ours again
        // once it is gone.
        EndWorker();
        return fnFail();
    }
    CloseEnd(hStdinRead);
    CloseEnd(hStdoutWrite);
    m_tStart.store(time(nullptr));
    // A handler of the start event may delete this object: then nothing of
    // it is touched any more (its destructor has already cancelled the
    // worker, which has not read anything yet).
    int nDestroyed = 0;
    m_pnStartDestroyed = &nDestroyed;
    NotifyProcessStarted();
    if (nDestroyed)
        return 1;
    m_pnStartDestroyed = nullptr;
    m_nReleased.store(1);
    return 1;
}

int TConProWinNT::CreateConsoleProcess(const char* pszCommandLine, intptr_t hStdin, intptr_t hStdout)
{
    m_ulProcessId.store(0);
    // CreateProcess may write into the command line.
    std::wstring wstrCommandLine = TWideText::Wide(pszCommandLine);
    wchar_t wszTitle[48];
    std::swprintf(wszTitle, sizeof wszTitle / sizeof wszTitle[0], L"CONTITLE_%lu",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(this)));

    STARTUPINFOW coStartup {};
    coStartup.cb = sizeof coStartup;
    coStartup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    coStartup.wShowWindow = SW_HIDE;
    coStartup.lpTitle = wszTitle;
    coStartup.hStdInput = ToHandle(hStdin);
    coStartup.hStdOutput = ToHandle(hStdout);
    coStartup.hStdError = ToHandle(hStdout);
    SECURITY_ATTRIBUTES coProcessAttributes { sizeof coProcessAttributes, nullptr, TRUE };
    PROCESS_INFORMATION coInfo {};
    if (!::CreateProcessW(nullptr, &wstrCommandLine[0], &coProcessAttributes, nullptr, TRUE,
                          CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &coStartup,
                          &coInfo))
        return 0;
    ::CloseHandle(coInfo.hThread);
    m_hProcess = FromHandle(coInfo.hProcess);
    m_ulProcessId.store(coInfo.dwProcessId);
    return 1;
}

int TConProWinNT::Stop()
{
    const int nResult = TerminateChild();
    TOsThread* pcoWorker = GetWorker();
    if (pcoWorker && pcoWorker->IsRunning())
        pcoWorker->Cancel();
    return nResult;
}

int TConProWinNT::WriteStdin(const char* pchData, unsigned int uCount)
{
    if (m_hStdinWrite == -1 || !pchData || !uCount)
        return 0;
    std::vector<char> achTerminated;
    if (pchData[uCount - 1] != '\0') {
        achTerminated.assign(pchData, pchData + uCount);
        achTerminated.push_back('\0');
        pchData = achTerminated.data();
        ++uCount;
    }
    DWORD dwWritten = 0;
    if (!::WriteFile(ToHandle(m_hStdinWrite), pchData, uCount, &dwWritten, nullptr))
        return 0;
    return dwWritten == uCount;
}

void TConProWinNT::ConsoleThreadHandler(TOsThread* pcoThread)
{
    int nDestroyed = 0;
    m_pnDestroyed = &nDestroyed;
    while (!m_nReleased.load()) {
        if (pcoThread->IsCancelRequest())
            return;   // the start failed
        CurrentOS().Sleep(1);
    }

    std::unique_ptr<char[]> pchBuffer(new (std::nothrow) char[s_dwBufferSize]);
    int nCountdown = pchBuffer ? -1 : 0;
    while (!pcoThread->IsCancelRequest() && nCountdown != 0) {
        DWORD dwAvailable = 0;
        if (m_hStdoutRead == -1 ||
            !::PeekNamedPipe(ToHandle(m_hStdoutRead), nullptr, 0, nullptr, &dwAvailable, nullptr))
            dwAvailable = 0;
        if (!dwAvailable)
            CurrentOS().Sleep(5);
        while (dwAvailable && !pcoThread->IsCancelRequest()) {
            DWORD dwRead = 0;
            if (!::ReadFile(ToHandle(m_hStdoutRead), pchBuffer.get(), std::min(dwAvailable, s_dwReadPiece),
                            &dwRead, nullptr)) {
                pcoThread->Cancel();
                break;
            }
            if (!dwRead)
                break;
            NotifyStdoutRead(pchBuffer.get(), dwRead);
            if (nDestroyed)
                return;
            dwAvailable -= std::min(dwAvailable, dwRead);
        }
        CheckProcess();
        if (!m_ulProcessId.load())
            nCountdown = nCountdown < 0 ? s_nPassesAfterEnd : nCountdown - 1;
    }

    pchBuffer.reset();
    CloseEnd(m_hStdoutRead);
    TerminateChild();
    m_tEnd.store(time(nullptr));
    NotifyProcessEnded();
}

void TConProWinNT::CheckProcess()
{
    unsigned long ulId = m_ulProcessId.load();
    if (ulId && ::WaitForSingleObject(ToHandle(m_hProcess), 0) == WAIT_OBJECT_0)
        m_ulProcessId.compare_exchange_strong(ulId, 0);
}

int TConProWinNT::TerminateChild()
{
    if (!m_ulProcessId.exchange(0))
        return 0;
    // A child that has already ended is not terminated again.
    if (::WaitForSingleObject(ToHandle(m_hProcess), 0) == WAIT_OBJECT_0)
        return 0;
    return ::TerminateProcess(ToHandle(m_hProcess), 0) ? 1 : 0;
}

void TConProWinNT::CloseParentEnds()
{
    CloseEnd(m_hStdoutRead);
    CloseEnd(m_hStdinWrite);
}

void TConProWinNT::CloseProcessHandle()
{
    CloseEnd(m_hProcess);
}
