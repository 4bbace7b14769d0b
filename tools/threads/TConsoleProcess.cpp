#include "TConsoleProcess.h"

#include "TOpSystem.h"

TMvcEventTable TConsoleProcess::m_stcoEvTab { "TConsoleProcess", &TConsoleProcess::TMvcEventsRegister };

KW_IMPLEMENT_DYNAMIC_CLASS(TConsoleProcess, TDynBase, "kwtl")
KW_IMPLEMENT_DYNAMIC_CLASS(TcpParam, TMvcParam, "kwtl")

TcpParam::TcpParam(TConsoleProcess& coProcess, const char* pchBuffer, unsigned int uCount)
    : TMvcParam(coProcess, 0, static_cast<long>(uCount)), m_pchBuffer(pchBuffer)
{
}

TConsoleProcess& TcpParam::EventObject() const
{
    return static_cast<TConsoleProcess&>(TMvcParam::EventObject());
}

void TConsoleProcess::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("TCP_PROCESS_STARTED", "TcpParam", "", "");
    m_stcoEvTab.RegisterEventType("TCP_PROCESS_ENDED", "TcpParam", "", "");
    m_stcoEvTab.RegisterEventType("TCP_STDOUT_READ", "TcpParam", "", "");
}

TConsoleProcess::TConsoleProcess() = default;

TConsoleProcess::~TConsoleProcess()
{
    if (!IsDynCppReferenceObject())
        EndWorker();
}

void TConsoleProcess::ConsoleThreadHandler(TOsThread*)
{
}

void TConsoleProcess::NotifyStdoutRead(const char* pchBuffer, unsigned int uCount)
{
    TcpParam coParam(*this, pchBuffer, uCount);
    MVC().Call("TCP_STDOUT_READ", coParam);
}

void TConsoleProcess::NotifyProcessStarted()
{
    TcpParam coParam(*this, nullptr, 0);
    MVC().Call("TCP_PROCESS_STARTED", coParam);
}

void TConsoleProcess::NotifyProcessEnded()
{
    TcpParam coParam(*this, nullptr, 0);
    MVC().Call("TCP_PROCESS_ENDED", coParam);
}

int TConsoleProcess::Start(const char*)
{
    return 0;
}

int TConsoleProcess::Stop()
{
    return 0;
}

int TConsoleProcess::IsStarted() const
{
    const TOsThread* pcoWorker = GetWorker();
    return pcoWorker && pcoWorker->IsRunning();
}

int TConsoleProcess::WriteStdin(const char*, unsigned int)
{
    return 0;
}

time_t TConsoleProcess::GetProcessDuration() const
{
    const time_t tStart = m_tStart.load();
    if (!tStart)
        return 0;
    const time_t tEnd = m_tEnd.load();
    return (tEnd ? tEnd : time(nullptr)) - tStart;
}

void TConsoleProcess::EndWorker()
{
    TOsThread* pcoWorker = GetWorker();
    if (!pcoWorker || !pcoWorker->IsRunning() || pcoWorker->IsCurrentThread())
        return;
    pcoWorker->Cancel();
    while (pcoWorker->IsRunning())
        CurrentOS().Sleep(100);
}

TConProcPtr::~TConProcPtr()
{
    delete m_pcoProcess;
}

TConsoleProcess* TConProcPtr::Access()
{
    if (!m_pcoProcess)
        m_pcoProcess = CurrentOS().CreateConsoleProcess();
    return m_pcoProcess;
}
