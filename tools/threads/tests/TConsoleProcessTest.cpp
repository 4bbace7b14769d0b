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

using Texts = std::vector<std::string>;

// Records the events of one console process, a run of reads as one
// "read". "started" belongs on the thread that made the recorder (and calls
// Start), the others on one worker; an event elsewhere says so. Events
// arrive on two threads, so everything shared is locked or atomic.
class TRecorder : public TDynBase {
    template <class F> auto Locked(F fn) -> decltype(fn())
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        return fn();
    }

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
        Locked([&] { m_sData.append(coTcp.Buffer(), coTcp.ByteCount()); });
        return Record("read", coParam);
    }
    int OnEnded(TMvcParam& coParam) { return Record("ended", coParam); }

    std::string Data() { return Locked([&] { return m_sData; }); }
    Texts Events() { return Locked([&] { return m_asEvents; }); }
    void Reset() { Locked([&] { m_sData.clear(), m_asEvents.clear(), m_ulWorker = 0; }); }
    bool IsEnded() { return Locked([&] { return !m_asEvents.empty() && m_asEvents.back() == "ended"; }); }

    // Called on the event of that name, after it is recorded.
    std::string m_sHookEvent;
    std::function<void(const TConsoleProcess&)> m_fnHook;

private:
    int Record(const std::string& sEvent, TMvcParam& coParam)
    {
        Locked([&] {
            const unsigned long ulThread = CrtThreadId();
            const bool bOnCaller = sEvent == "started";
            const bool bRight = bOnCaller ? ulThread == m_ulCaller
                                          : ulThread != m_ulCaller && (!m_ulWorker || ulThread == m_ulWorker);
            if (!bOnCaller)
                m_ulWorker = ulThread;
            if (!bRight || m_asEvents.empty() || m_asEvents.back() != sEvent || sEvent != "read")
                m_asEvents.push_back(sEvent + (bRight ? "" : " on the wrong thread"));
        });
        if (m_fnHook && sEvent == m_sHookEvent)
            m_fnHook(static_cast<TcpParam&>(coParam).EventObject());
        return 1;
    }

    const unsigned long m_ulCaller { CrtThreadId() };
    std::mutex m_coLock;
    std::string m_sData;
    Texts m_asEvents;
    unsigned long m_ulWorker { 0 };
};

const Texts kRun = { "started", "read", "ended" };

} // namespace

TEST(TConsoleProcess, TheNeutralProcessRunsNothingAndTheHolderMakesThePlatformsProcess)
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
    EXPECT_TRUE(&coProcess == &coParam.EventObject() && achBytes == coParam.Buffer() && coParam.ByteCount() == 3u);

    TConProcPtr coHolder;
#if defined(_WIN32)
    EXPECT_TRUE(coHolder.Access() && coHolder->IsClass("TConProWinNT") && !coHolder->IsStarted());
#else
    // Console processes are a Windows service of the operating-system object.
    EXPECT_EQ(nullptr, coHolder.Access());
    EXPECT_EQ(nullptr, CurrentOS().CreateConsoleProcess());
#endif
}

#if defined(_WIN32)

namespace {

using kwtest::NumberedLines;
using kwtest::WaitFor;

std::string ChildCommand(const std::string& sArguments)
{
    return "\"" + kwtest::ProgramDirectory() + "KwConsoleChild.exe\" " + sArguments;
}

// Starts the child program. Under Wine about one start in a thousand fails
// with ERROR_INTERNAL_ERROR when many start at once (Windows does not give
// it for a program that exists): such a start is tried again.
int StartChild(TConsoleProcess* pcoProcess, const std::string& sArguments)
{
    for (int nTry = 0; nTry < 3; ++nTry) {
        if (pcoProcess->Start(ChildCommand(sArguments).c_str()))
            return 1;
        const DWORD dwError = GetLastError();
        EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNAL_ERROR), dwError) << sArguments;
        if (dwError != ERROR_INTERNAL_ERROR)
            return 0;
    }
    return 0;
}

// Opens the child by id, so that the test can see it end.
HANDLE OpenChild(const TConsoleProcess& coProcess)
{
    const unsigned long ulId = static_cast<const TConProWinNT&>(coProcess).GetProcessId();
    return ulId ? OpenProcess(SYNCHRONIZE, FALSE, ulId) : nullptr;
}

// Whether the child ends within ten seconds; closes its handle.
bool HasEnded(HANDLE hProcess)
{
    const bool bEnded = hProcess && WaitForSingleObject(hProcess, 10000) == WAIT_OBJECT_0;
    if (hProcess)
        CloseHandle(hProcess);
    return bEnded;
}

} // namespace

TEST(TConProWinNT, ProgramsGetTheirInputDeliverTheirOutputAndAreStopped)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());
    // The last event has come and the process is no longer running.
    const auto fnEnded = [&] {
        return WaitFor([&] { return coRecorder.IsEnded(); }) && WaitFor([&] { return !coProcess->IsStarted(); });
    };
    EXPECT_EQ(0, coProcess->Start(nullptr) + coProcess->Start("") + coProcess->Start("KwNoSuchProgram.exe -h"));
    EXPECT_EQ(0, coProcess->IsStarted() + coProcess->GetProcessStartTime() + coProcess->WriteStdin("x", 1));
    // A worker that never saw a program sends nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(coRecorder.Events().empty());

    // "hello" goes out with a 0 byte added; "abc\0" already ends in one.
    ASSERT_EQ(1, StartChild(coProcess.Access(), "echo 10"));
    EXPECT_EQ(2, coProcess->WriteStdin("hello", 5) + coProcess->WriteStdin("abc\0", 4));
    ASSERT_TRUE(fnEnded());
    EXPECT_EQ(std::string("hello\0abc\0", 10), coRecorder.Data());
    EXPECT_EQ(kRun, coRecorder.Events());
    EXPECT_EQ(ChildCommand("echo 10"), static_cast<const char*>(coProcess->GetCommandLine()));

    // Much output, half of it written to standard error, then short programs
    // one after the other: nothing lost at any start.
    std::vector<size_t> anSizes(15, 3000);
    anSizes.insert(anSizes.begin(), 1000000);
    for (const size_t nSize : anSizes) {
        SCOPED_TRACE(nSize);
        coRecorder.Reset();
        ASSERT_EQ(1, StartChild(coProcess.Access(), "large " + std::to_string(nSize)));
        ASSERT_TRUE(fnEnded());
        EXPECT_TRUE(NumberedLines(nSize) == coRecorder.Data());
        EXPECT_EQ(kRun, coRecorder.Events());
        EXPECT_EQ(coProcess->GetProcessEndTime() - coProcess->GetProcessStartTime(), coProcess->GetProcessDuration());
    }

    coRecorder.Reset();
    ASSERT_EQ(1, StartChild(coProcess.Access(), "sleep 60"));
    ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == "sleeping\n"; }));
    const time_t tStart = coProcess->GetProcessStartTime();
    // A second start while the program runs changes nothing.
    EXPECT_EQ(0, coProcess->Start(ChildCommand("echo 0").c_str()));
    EXPECT_EQ(ChildCommand("sleep 60"), static_cast<const char*>(coProcess->GetCommandLine()));
    EXPECT_TRUE(coProcess->IsStarted() && tStart != 0 && tStart == coProcess->GetProcessStartTime());
    // The duration runs with the clock while the program runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_GE(coProcess->GetProcessDuration(), 2);
    HANDLE hChild = OpenChild(*coProcess.Access());
    ASSERT_NE(nullptr, hChild);
    EXPECT_EQ(1, coProcess->Stop());
    EXPECT_TRUE(HasEnded(hChild));
    ASSERT_TRUE(fnEnded());
    EXPECT_EQ("sleeping\n", coRecorder.Data());
    EXPECT_EQ(kRun, coRecorder.Events());
    EXPECT_EQ(0, coProcess->Stop() + coProcess->WriteStdin("late", 4));
    // A failed start forgets the times of the run before.
    EXPECT_EQ(0, coProcess->Start(""));
    EXPECT_EQ(0, coProcess->GetProcessStartTime() + coProcess->GetProcessEndTime() + coProcess->GetProcessDuration());
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

} // namespace

// A handler may delete the process on the start event, while output
// arrives (the program still runs) or on the last event; its owner may
// delete it while the program runs, and the worker has then sent its last
// event before the delete returns.
TEST(TConProWinNT, HandlersAndTheOwnerMayDeleteTheProcess)
{
    const struct { const char* m_pszEvent; const char* m_pszCommand; size_t m_nEvents; } aCases[] = {
        { "started", "sleep 60", 1 }, { "read", "sleep 60", 2 }, { "ended", "large 100", 3 }, { "", "sleep 60", 3 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(*c.m_pszEvent ? c.m_pszEvent : "owner");
        TRecorder coRecorder;
        TConsoleProcess* pcoProcess = new TPoisonedConPro;
        coRecorder.Link(*pcoProcess);
        std::atomic<HANDLE> hChild { nullptr };
        std::atomic<int> nDeleted { 0 };
        const auto fnDelete = [&](const TConsoleProcess& coProcess) {
            hChild.store(OpenChild(coProcess));
            delete &coProcess;
            nDeleted.store(1);
        };
        coRecorder.m_sHookEvent = c.m_pszEvent;
        coRecorder.m_fnHook = fnDelete;
        ASSERT_EQ(1, StartChild(pcoProcess, c.m_pszCommand));
        if (!*c.m_pszEvent) {
            ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == "sleeping\n"; }));
            fnDelete(*pcoProcess);
            EXPECT_EQ(kRun, coRecorder.Events());
        }
        ASSERT_TRUE(WaitFor([&] { return nDeleted.load() == 1; }));
        // The program is ended (that of the last event already was), and the
        // worker ends without touching the process or sending another event.
        EXPECT_TRUE(HasEnded(hChild.load()) || c.m_pszCommand[0] == 'l');
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(TPoisonedConPro::Untouched());
        TPoisonedConPro::Release();
        EXPECT_EQ(Texts(kRun.begin(), kRun.begin() + static_cast<std::ptrdiff_t>(c.m_nEvents)), coRecorder.Events());
    }
}

#endif
