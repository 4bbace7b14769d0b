// Console processes. On Windows the tests run the project's own child
// program, KwConsoleChild.exe, built beside this program; the native build
// has no console processes and checks the neutral interface.
#include "KwTestTools.h"
#include "TConsoleProcess.h"
#include "TCrt.h"
#include "TOpSystem.h"
#if defined(_WIN32)
#include "KwWindows.h"
#include "TConProWinNT.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Records the events of one console process. "started" arrives on the
// thread that calls Start, the others on the worker, so everything shared
// is locked or atomic.
class TRecorder : public TDynBase {
public:
    void Link(TConsoleProcess& coProcess)
    {
        coProcess.MVC().SetLink("TCP_PROCESS_STARTED", this, &TRecorder::OnStarted);
        coProcess.MVC().SetLink("TCP_STDOUT_READ", this, &TRecorder::OnRead);
        coProcess.MVC().SetLink("TCP_PROCESS_ENDED", this, &TRecorder::OnEnded);
    }

    int OnStarted(TMvcParam& coParam) { return Record("started", coParam); }
    int OnRead(TMvcParam& coParam)
    {
        const TcpParam& coTcp = static_cast<TcpParam&>(coParam);
        {
            std::lock_guard<std::mutex> coGuard(m_coLock);
            m_sData.append(coTcp.Buffer(), coTcp.ByteCount());
        }
        Record("read", coParam);
        if (m_fnOnRead)
            m_fnOnRead(coTcp);
        return 1;
    }
    int OnEnded(TMvcParam& coParam)
    {
        Record("ended", coParam);
        if (m_fnOnEnded)
            m_fnOnEnded(static_cast<TcpParam&>(coParam));
        m_nEnded.store(1);
        return 1;
    }

    std::string Data()
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        return m_sData;
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        return m_asEvents;
    }
    void Reset()
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        m_sData.clear();
        m_asEvents.clear();
        m_aulThreads.clear();
        m_nEnded.store(0);
    }
    int IsEnded() const { return m_nEnded.load(); }

    // Asserted by the caller: STARTED once and first, ENDED once and last,
    // reads between; STARTED on the calling thread, the rest on one worker.
    void ExpectOrderedEvents()
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        const std::vector<std::string> asEvents = m_asEvents;
        const std::vector<unsigned long> aulThreads = m_aulThreads;
        ASSERT_GE(asEvents.size(), 2u);
        EXPECT_EQ("started", asEvents.front());
        EXPECT_EQ("ended", asEvents.back());
        for (size_t i = 1; i + 1 < asEvents.size(); ++i)
            EXPECT_EQ("read", asEvents[i]) << i;
        EXPECT_EQ(CrtThreadId(), aulThreads.front());
        for (size_t i = 1; i < aulThreads.size(); ++i) {
            EXPECT_NE(CrtThreadId(), aulThreads[i]) << i;
            EXPECT_EQ(aulThreads[1], aulThreads[i]) << i;
        }
    }

    std::function<void(const TcpParam&)> m_fnOnRead;
    std::function<void(const TcpParam&)> m_fnOnEnded;
    std::atomic<TConsoleProcess*> m_pcoSeen { nullptr };

private:
    int Record(const char* pszEvent, TMvcParam& coParam)
    {
        m_pcoSeen.store(&static_cast<TcpParam&>(coParam).EventObject());
        std::lock_guard<std::mutex> coGuard(m_coLock);
        m_asEvents.push_back(pszEvent);
        m_aulThreads.push_back(CrtThreadId());
        return 1;
    }

    std::mutex m_coLock;
    std::string m_sData;
    std::vector<std::string> m_asEvents;
    std::vector<unsigned long> m_aulThreads;
    std::atomic<int> m_nEnded { 0 };
};

} // namespace

TEST(TConsoleProcess, TheNeutralProcessRunsNothing)
{
    std::unique_ptr<TDynBase> pcoObject(TDynBase::RTTIDynCreate("TConsoleProcess"));
    ASSERT_TRUE(pcoObject);
    TConsoleProcess& coProcess = static_cast<TConsoleProcess&>(*pcoObject);
    TRecorder coRecorder;
    coRecorder.Link(coProcess);
    EXPECT_EQ(0, coProcess.Start("anything") + coProcess.IsStarted() + coProcess.Stop() + coProcess.WriteStdin("x", 1));
    EXPECT_EQ(0, coProcess.GetProcessStartTime() + coProcess.GetProcessEndTime() + coProcess.GetProcessDuration());
    EXPECT_TRUE(coRecorder.Events().empty());
    // The parameter of the events carries the bytes read.
    const char achBytes[] = { 'a', '\0', 'b' };
    const TcpParam coParam(coProcess, achBytes, 3);
    EXPECT_EQ(&coProcess, &coParam.EventObject());
    EXPECT_EQ(achBytes, coParam.Buffer());
    EXPECT_EQ(3u, coParam.ByteCount());
}

TEST(TConsoleProcess, TheHolderMakesThePlatformsProcess)
{
    TConProcPtr coHolder;
#if defined(_WIN32)
    TConsoleProcess* pcoProcess = coHolder.Access();
    ASSERT_NE(nullptr, pcoProcess);
    EXPECT_TRUE(pcoProcess->IsClass("TConProWinNT"));
    EXPECT_EQ(pcoProcess, coHolder.operator->());
    EXPECT_EQ(0, pcoProcess->IsStarted());
    EXPECT_EQ(0, static_cast<TConProWinNT*>(pcoProcess)->GetProcessId());
#else
    // Console processes are a Windows service of the operating-system object.
    EXPECT_EQ(nullptr, coHolder.Access());
    EXPECT_EQ(nullptr, CurrentOS().CreateConsoleProcess());
#endif
}

#if defined(_WIN32)

namespace {

using kwtest::WaitFor;

std::string ChildCommand(const std::string& sArguments)
{
    return "\"" + kwtest::ProgramDirectory() + "KwConsoleChild.exe\" " + sArguments;
}

// Starts the child program with the arguments. Under Wine a new process
// now and then dies before it has started when many start at once (seen
// with a few test programs starting children side by side: about one start
// in a thousand); CreateProcess then fails with ERROR_INTERNAL_ERROR, which
// Windows does not give for a program that exists. Such a start is tried
// again; any other failure fails the test.
int StartChild(TConsoleProcess* pcoProcess, const std::string& sArguments)
{
    const std::string sCommand = ChildCommand(sArguments);
    for (int nTry = 0; nTry < 3; ++nTry) {
        if (pcoProcess->Start(sCommand.c_str()))
            return 1;
        const DWORD dwError = GetLastError();
        EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNAL_ERROR), dwError) << sArguments;
        if (dwError != ERROR_INTERNAL_ERROR)
            return 0;
    }
    return 0;
}

std::string NumberedLines(size_t nCount)
{
    std::string sData;
    for (unsigned long i = 0; sData.size() < nCount; ++i) {
        char szLine[16];
        std::snprintf(szLine, sizeof szLine, "%08lu\n", i);
        sData += szLine;
    }
    sData.resize(nCount);
    return sData;
}

// Opens the child by id, so that the test can see it end.
HANDLE OpenChild(const TConsoleProcess& coProcess)
{
    const unsigned long ulId = static_cast<const TConProWinNT&>(coProcess).GetProcessId();
    return ulId ? OpenProcess(SYNCHRONIZE, FALSE, ulId) : nullptr;
}

bool HasEnded(HANDLE hProcess)
{
    return hProcess && WaitForSingleObject(hProcess, 10000) == WAIT_OBJECT_0;
}

} // namespace

TEST(TConProWinNT, ChildReceivesExactlyWhatWasWrittenToItsInput)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());
    EXPECT_EQ(0, coProcess->WriteStdin("early", 5));

    // "hello" goes out with a 0 byte added; "abc\0" already ends in one.
    ASSERT_EQ(1, StartChild(coProcess.Access(), "echo 10"));
    EXPECT_EQ(1, coProcess->WriteStdin("hello", 5));
    EXPECT_EQ(0, coProcess->WriteStdin(nullptr, 5));
    EXPECT_EQ(0, coProcess->WriteStdin("x", 0));
    EXPECT_EQ(1, coProcess->WriteStdin("abc\0", 4));
    ASSERT_TRUE(WaitFor([&] { return coRecorder.IsEnded(); }));
    ASSERT_TRUE(WaitFor([&] { return !coProcess->IsStarted(); }));
    EXPECT_EQ(std::string("hello\0abc\0", 10), coRecorder.Data());
    coRecorder.ExpectOrderedEvents();
    EXPECT_EQ(coProcess.Access(), coRecorder.m_pcoSeen.load());
    EXPECT_EQ(ChildCommand("echo 10"), static_cast<const char*>(coProcess->GetCommandLine()));
}

TEST(TConProWinNT, ProgramsThatExitAtOnceDeliverAllTheirOutput)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());

    const struct {
        const char* pszArguments;
        std::string sExpected;
    } acoCases[] = {
        { "large 1000000", NumberedLines(1000000) }, { "large 4065", NumberedLines(4065) },
        { "both 300", [] {
              std::string s;
              for (int i = 0; i < 300; ++i)
                  s += "out" + std::to_string(i) + "\nerr" + std::to_string(i) + "\n";
              return s;
          }() },
        { "silent", "" },
    };
    for (const auto& coCase : acoCases) {
        SCOPED_TRACE(coCase.pszArguments);
        coRecorder.Reset();
        ASSERT_EQ(1, StartChild(coProcess.Access(), coCase.pszArguments));
        ASSERT_TRUE(WaitFor([&] { return coRecorder.IsEnded(); }));
        ASSERT_TRUE(WaitFor([&] { return !coProcess->IsStarted(); }));
        EXPECT_TRUE(coCase.sExpected == coRecorder.Data());
        coRecorder.ExpectOrderedEvents();
        EXPECT_EQ(coProcess->GetProcessEndTime() - coProcess->GetProcessStartTime(),
                  coProcess->GetProcessDuration());
    }

    // Short programs one after the other: nothing lost at any start.
    for (int nRun = 0; nRun < 15; ++nRun) {
        SCOPED_TRACE(nRun);
        coRecorder.Reset();
        ASSERT_EQ(1, StartChild(coProcess.Access(), "large 3000"));
        ASSERT_TRUE(WaitFor([&] { return coRecorder.IsEnded(); }));
        ASSERT_TRUE(WaitFor([&] { return !coProcess->IsStarted(); }));
        EXPECT_TRUE(NumberedLines(3000) == coRecorder.Data());
    }
}

TEST(TConProWinNT, LongRunningProgramIsStoppedAndItsTimesKept)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());
    EXPECT_EQ(0, coProcess->Stop());

    const std::string sCommand = ChildCommand("sleep 60");
    ASSERT_EQ(1, StartChild(coProcess.Access(), "sleep 60"));
    ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == "sleeping\n"; }));
    EXPECT_EQ(1, coProcess->IsStarted());
    const time_t tStart = coProcess->GetProcessStartTime();
    EXPECT_NE(0, tStart);

    // A second start while the program runs changes nothing.
    EXPECT_EQ(0, coProcess->Start(ChildCommand("silent").c_str()));
    EXPECT_EQ(sCommand, static_cast<const char*>(coProcess->GetCommandLine()));
    EXPECT_EQ(tStart, coProcess->GetProcessStartTime());

    // The duration runs with the clock while the program runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_GE(coProcess->GetProcessDuration(), 2);

    HANDLE hChild = OpenChild(*coProcess.Access());
    ASSERT_NE(nullptr, hChild);
    EXPECT_EQ(1, coProcess->Stop());
    EXPECT_TRUE(HasEnded(hChild));
    CloseHandle(hChild);
    ASSERT_TRUE(WaitFor([&] { return coRecorder.IsEnded(); }));
    ASSERT_TRUE(WaitFor([&] { return !coProcess->IsStarted(); }));
    EXPECT_EQ("sleeping\n", coRecorder.Data());
    coRecorder.ExpectOrderedEvents();
    EXPECT_EQ(0, coProcess->Stop() + coProcess->WriteStdin("late", 4));
    // Once ended, the duration stays.
    const time_t tDuration = coProcess->GetProcessDuration();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(tDuration, coProcess->GetProcessDuration());
}

TEST(TConProWinNT, FailedStartsLeaveItIdleAndSilent)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());
    EXPECT_EQ(0, coProcess->Start(nullptr) + coProcess->Start("") + coProcess->Start("KwNoSuchProgram.exe --help"));
    EXPECT_EQ(0, coProcess->IsStarted() + coProcess->GetProcessStartTime() + coProcess->WriteStdin("x", 1));
    // A worker that never saw a program sends nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(coRecorder.Events().empty());

    ASSERT_EQ(1, StartChild(coProcess.Access(), "large 10"));
    ASSERT_TRUE(WaitFor([&] { return coRecorder.IsEnded(); }));
    ASSERT_TRUE(WaitFor([&] { return !coProcess->IsStarted(); }));
    EXPECT_EQ(NumberedLines(10), coRecorder.Data());
    EXPECT_NE(0, coProcess->GetProcessStartTime());

    // A failed start forgets the times of the run before.
    EXPECT_EQ(0, coProcess->Start(""));
    EXPECT_EQ(0, coProcess->GetProcessStartTime() + coProcess->GetProcessEndTime() + coProcess->GetProcessDuration());
}

TEST(TConProWinNT, DestructionEndsTheProgramAndWaitsForTheWorker)
{
    TRecorder coRecorder;
    HANDLE hChild = nullptr;
    {
        TConProcPtr coProcess;
        coRecorder.Link(*coProcess.Access());
        ASSERT_EQ(1, StartChild(coProcess.Access(), "sleep 60"));
        ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == "sleeping\n"; }));
        hChild = OpenChild(*coProcess.Access());
        ASSERT_NE(nullptr, hChild);
    }
    // The worker had finished, with its last event, before the holder returned.
    EXPECT_EQ(1, coRecorder.IsEnded());
    coRecorder.ExpectOrderedEvents();
    EXPECT_TRUE(HasEnded(hChild));
    CloseHandle(hChild);
}

TEST(TConProWinNT, HandlersOnTheWorkerMayDeleteTheProcess)
{
    // Deleted while output arrives: the worker ends without another event.
    {
        TRecorder coRecorder;
        TConsoleProcess* pcoProcess = CurrentOS().CreateConsoleProcess();
        ASSERT_NE(nullptr, pcoProcess);
        coRecorder.Link(*pcoProcess);
        std::atomic<int> nDeleted { 0 };
        coRecorder.m_fnOnRead = [&](const TcpParam& coParam) {
            delete &coParam.EventObject();
            nDeleted.store(1);
        };
        ASSERT_EQ(1, StartChild(pcoProcess, "sleep 60"));
        HANDLE hChild = OpenChild(*pcoProcess);
        ASSERT_NE(nullptr, hChild);
        ASSERT_TRUE(WaitFor([&] { return nDeleted.load() == 1; }));
        EXPECT_TRUE(HasEnded(hChild));
        CloseHandle(hChild);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ((std::vector<std::string> { "started", "read" }), coRecorder.Events());
    }
    // Deleted by the last event.
    {
        TRecorder coRecorder;
        TConsoleProcess* pcoProcess = CurrentOS().CreateConsoleProcess();
        ASSERT_NE(nullptr, pcoProcess);
        coRecorder.Link(*pcoProcess);
        std::atomic<int> nDeleted { 0 };
        coRecorder.m_fnOnEnded = [&](const TcpParam& coParam) {
            delete &coParam.EventObject();
            nDeleted.store(1);
        };
        ASSERT_EQ(1, StartChild(pcoProcess, "large 100"));
        ASSERT_TRUE(WaitFor([&] { return nDeleted.load() == 1; }));
        EXPECT_EQ(NumberedLines(100), coRecorder.Data());
    }
}

namespace {

// Keeps its memory after the delete, filled with a pattern, so that a write
// into the deleted object shows.
class TPoisonedConPro : public TConProWinNT {
public:
    static void operator delete(void* pvObject, std::size_t nSize)
    {
        std::memset(pvObject, 0xA5, nSize);
        s_pvKept = pvObject;
        s_nKept = nSize;
    }
    static bool Untouched()
    {
        const auto* pb = static_cast<const unsigned char*>(s_pvKept);
        return pb && std::all_of(pb, pb + s_nKept, [](unsigned char b) { return b == 0xA5; });
    }
    static void Release() { ::operator delete(s_pvKept); }

private:
    static inline void* s_pvKept = nullptr;
    static inline std::size_t s_nKept = 0;
};

class TStartDeleter : public TDynBase {
public:
    int OnStarted(TMvcParam& coParam)
    {
        delete &static_cast<TcpParam&>(coParam).EventObject();
        return 1;
    }
};

} // namespace

TEST(TConProWinNT, AStartHandlerMayDeleteTheProcess)
{
    TStartDeleter coDeleter;
    auto* pcoProcess = new TPoisonedConPro;
    pcoProcess->MVC().SetLink("TCP_PROCESS_STARTED", &coDeleter, &TStartDeleter::OnStarted);
    EXPECT_EQ(1, StartChild(pcoProcess, "sleep 60"));
    EXPECT_TRUE(TPoisonedConPro::Untouched());
    TPoisonedConPro::Release();
}

#endif
