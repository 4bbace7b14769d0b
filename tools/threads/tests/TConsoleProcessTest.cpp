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
using THook = std::function<void(const TcpParam&)>;

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

    int OnStarted(TMvcParam& coParam) { return Record("started", coParam, m_fnOnStarted); }
    int OnRead(TMvcParam& coParam)
    {
        const TcpParam& coTcp = static_cast<TcpParam&>(coParam);
        Locked([&] { m_sData.append(coTcp.Buffer(), coTcp.ByteCount()); });
        return Record("read", coParam, m_fnOnRead);
    }
    int OnEnded(TMvcParam& coParam) { return Record("ended", coParam, m_fnOnEnded); }

    std::string Data() { return Locked([&] { return m_sData; }); }
    Texts Events() { return Locked([&] { return m_asEvents; }); }
    void Reset()
    {
        Locked([&] { m_sData.clear(), m_asEvents.clear(), m_ulWorker = 0; });
        m_nEnded.store(0);
    }
    int IsEnded() const { return m_nEnded.load(); }

    THook m_fnOnStarted;
    THook m_fnOnRead;
    THook m_fnOnEnded;

private:
    int Record(const std::string& sEvent, TMvcParam& coParam, const THook& fnThen)
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
        // Before the action: one that deletes the process lets the test end,
        // and this recorder with it.
        if (sEvent == "ended")
            m_nEnded.store(1);
        if (fnThen)
            fnThen(static_cast<TcpParam&>(coParam));
        return 1;
    }

    const unsigned long m_ulCaller { CrtThreadId() };
    std::mutex m_coLock;
    std::string m_sData;
    Texts m_asEvents;
    unsigned long m_ulWorker { 0 };
    std::atomic<int> m_nEnded { 0 };
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

// Starts the child program with the arguments. Under Wine a new process
// now and then dies before it has started when many start at once (about
// one start in a thousand); CreateProcess then fails with
// ERROR_INTERNAL_ERROR, which Windows does not give for a program that
// exists. Such a start is tried again; any other failure fails the test.
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

class TConProWinNTTest : public ::testing::Test {
protected:
    TConProWinNTTest() { m_coRecorder.Link(*m_coProcess.Access()); }

    // The last event has come and the process is no longer running.
    bool Ended()
    {
        return WaitFor([&] { return m_coRecorder.IsEnded(); }) && WaitFor([&] { return !m_coProcess->IsStarted(); });
    }

    TConProcPtr m_coProcess;
    TRecorder m_coRecorder;
};

} // namespace

TEST_F(TConProWinNTTest, ChildrenGetTheirInputAndDeliverAllTheirOutput)
{
    EXPECT_EQ(0, m_coProcess->Start(nullptr) + m_coProcess->Start("") + m_coProcess->Start("KwNoSuchProgram.exe -h"));
    EXPECT_EQ(0, m_coProcess->IsStarted() + m_coProcess->GetProcessStartTime() + m_coProcess->WriteStdin("x", 1));
    // A worker that never saw a program sends nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(m_coRecorder.Events().empty());

    // "hello" goes out with a 0 byte added; "abc\0" already ends in one.
    ASSERT_EQ(1, StartChild(m_coProcess.Access(), "echo 10"));
    EXPECT_EQ(2, m_coProcess->WriteStdin("hello", 5) + m_coProcess->WriteStdin("abc\0", 4));
    ASSERT_TRUE(Ended());
    EXPECT_EQ(std::string("hello\0abc\0", 10), m_coRecorder.Data());
    EXPECT_EQ(kRun, m_coRecorder.Events());
    EXPECT_EQ(ChildCommand("echo 10"), static_cast<const char*>(m_coProcess->GetCommandLine()));

    std::string sBoth;
    for (int i = 0; i < 300; ++i)
        sBoth += "out" + std::to_string(i) + "\nerr" + std::to_string(i) + "\n";
    std::vector<std::pair<std::string, std::string>> aCases = {
        { "large 1000000", NumberedLines(1000000) }, { "both 300", sBoth }, { "large 0", "" },
    };
    // Then short programs one after the other: nothing lost at any start.
    aCases.insert(aCases.end(), 15, { "large 3000", NumberedLines(3000) });
    for (const auto& coCase : aCases) {
        SCOPED_TRACE(coCase.first);
        m_coRecorder.Reset();
        ASSERT_EQ(1, StartChild(m_coProcess.Access(), coCase.first));
        ASSERT_TRUE(Ended());
        EXPECT_TRUE(coCase.second == m_coRecorder.Data());
        EXPECT_EQ(coCase.second.empty() ? Texts({ "started", "ended" }) : kRun, m_coRecorder.Events());
        EXPECT_EQ(m_coProcess->GetProcessEndTime() - m_coProcess->GetProcessStartTime(),
                  m_coProcess->GetProcessDuration());
    }
    // A failed start forgets the times of the run before.
    EXPECT_NE(0, m_coProcess->GetProcessStartTime());
    EXPECT_EQ(0, m_coProcess->Start(""));
    EXPECT_EQ(0, m_coProcess->GetProcessStartTime() + m_coProcess->GetProcessEndTime()
                     + m_coProcess->GetProcessDuration());
}

TEST_F(TConProWinNTTest, LongRunningProgramIsStoppedAndItsTimesKept)
{
    ASSERT_EQ(1, StartChild(m_coProcess.Access(), "sleep 60"));
    ASSERT_TRUE(WaitFor([&] { return m_coRecorder.Data() == "sleeping\n"; }));
    const time_t tStart = m_coProcess->GetProcessStartTime();
    // A second start while the program runs changes nothing.
    EXPECT_EQ(0, m_coProcess->Start(ChildCommand("large 0").c_str()));
    EXPECT_EQ(ChildCommand("sleep 60"), static_cast<const char*>(m_coProcess->GetCommandLine()));
    EXPECT_TRUE(m_coProcess->IsStarted() && tStart != 0 && tStart == m_coProcess->GetProcessStartTime());
    // The duration runs with the clock while the program runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_GE(m_coProcess->GetProcessDuration(), 2);

    HANDLE hChild = OpenChild(*m_coProcess.Access());
    ASSERT_NE(nullptr, hChild);
    EXPECT_EQ(1, m_coProcess->Stop());
    EXPECT_TRUE(HasEnded(hChild));
    ASSERT_TRUE(Ended());
    EXPECT_EQ("sleeping\n", m_coRecorder.Data());
    EXPECT_EQ(kRun, m_coRecorder.Events());
    EXPECT_EQ(0, m_coProcess->Stop() + m_coProcess->WriteStdin("late", 4));
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
    const struct { THook TRecorder::*m_pfnHook; const char* m_pszCommand; size_t m_nEvents; } aCases[] = {
        { &TRecorder::m_fnOnStarted, "sleep 60", 1 },
        { &TRecorder::m_fnOnRead, "sleep 60", 2 },
        { &TRecorder::m_fnOnEnded, "large 100", 3 },
        { nullptr, "sleep 60", 3 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.m_pfnHook ? kRun[c.m_nEvents - 1] : "owner");
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
        if (c.m_pfnHook)
            coRecorder.*c.m_pfnHook = [&](const TcpParam& coParam) { fnDelete(coParam.EventObject()); };
        ASSERT_EQ(1, StartChild(pcoProcess, c.m_pszCommand));
        if (!c.m_pfnHook) {
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
