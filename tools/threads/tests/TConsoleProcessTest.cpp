// On Windows the tests run the project's own child program, KwConsoleChild.exe;
// the native build has no console processes and checks the neutral interface.
#include "KwTestTools.h"
#include "TConsoleProcess.h"
#include "TCrt.h"
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

// Records the events of one console process, a run of reads as one "read";
// an event on the wrong thread ("started" belongs on the thread that starts,
// the others on the worker) says so. Events arrive on two threads.
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
    int OnRead(TMvcParam& coParam) { return Record("read", coParam); }
    int OnEnded(TMvcParam& coParam) { return Record("ended", coParam); }

    std::string Data() { return Locked([&] { return m_sData; }); }
    Texts Events() { return Locked([&] { return m_asEvents; }); }
    void Reset() { Locked([&] { m_sData.clear(), m_asEvents.clear(); }); }
    bool IsEnded() { return Locked([&] { return !m_asEvents.empty() && m_asEvents.back() == "ended"; }); }

    // Called on the event of that name, after it is recorded.
    std::string m_sHookEvent;
    std::function<void(const TConsoleProcess&)> m_fnHook;

private:
    int Record(const std::string& sEvent, TMvcParam& coParam)
    {
        const TcpParam& coTcp = static_cast<TcpParam&>(coParam);
        const bool bRight = (sEvent == "started") == (CrtThreadId() == m_ulCaller);
        const std::string sEntry = sEvent + (bRight ? "" : " on the wrong thread");
        Locked([&] {
            m_sData.append(coTcp.ByteCount() ? coTcp.Buffer() : "", coTcp.ByteCount());
            if (m_asEvents.empty() || m_asEvents.back() != sEntry || sEntry != "read")
                m_asEvents.push_back(sEntry);
        });
        if (m_fnHook && sEvent == m_sHookEvent)
            m_fnHook(coTcp.EventObject());
        return 1;
    }

    const unsigned long m_ulCaller { CrtThreadId() };
    std::mutex m_coLock;
    std::string m_sData;
    Texts m_asEvents;
};

const Texts kRun = { "started", "read", "ended" };

} // namespace

TEST(TConsoleProcess, TheNeutralProcessRunsNothingAndNativelyNoProcessIsMade)
{
    std::unique_ptr<TDynBase> pcoObject(TDynBase::RTTIDynCreate("TConsoleProcess"));
    ASSERT_TRUE(pcoObject);
    TConsoleProcess& coProcess = static_cast<TConsoleProcess&>(*pcoObject);
    TRecorder coRecorder;
    coRecorder.Link(coProcess);
    EXPECT_EQ(0, coProcess.Start("anything") + coProcess.IsStarted() + coProcess.Stop() + coProcess.WriteStdin("x", 1));
    EXPECT_EQ(0, coProcess.GetProcessStartTime() + coProcess.GetProcessEndTime() + coProcess.GetProcessDuration());
    EXPECT_TRUE(coRecorder.Events().empty());
#if !defined(_WIN32)
    EXPECT_EQ(nullptr, TConProcPtr().Access());
#endif
}

#if defined(_WIN32)

namespace {

using kwtest::NumberedLines;
using kwtest::WaitFor;

// Starts the child program. Under Wine about one start in a thousand fails
// when many start at once: such a start is tried again.
int StartChild(TConsoleProcess* pcoProcess, const std::string& sArguments)
{
    const std::string sCommand = "\"" + kwtest::ProgramDirectory() + "KwConsoleChild.exe\" " + sArguments;
    int nStarted = 0;
    for (int nTry = 0; nTry < 3 && !nStarted; ++nTry)
        nStarted = pcoProcess->Start(sCommand.c_str());
    return nStarted;
}

// Opens the child by id, so that the test can see it end; null when none runs.
HANDLE OpenChild(const TConsoleProcess& coProcess)
{
    return OpenProcess(SYNCHRONIZE, FALSE, static_cast<const TConProWinNT&>(coProcess).GetProcessId());
}

// Whether the child ends within ten seconds; closes its handle.
bool HasEnded(HANDLE hProcess)
{
    const bool bEnded = WaitForSingleObject(hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(hProcess);
    return bEnded;
}

} // namespace

TEST(TConProWinNT, ProgramsGetTheirInputDeliverTheirOutputAndAreStopped)
{
    TConProcPtr coProcess;
    TRecorder coRecorder;
    coRecorder.Link(*coProcess.Access());
    const auto fnEnded = [&] {
        return WaitFor([&] { return coRecorder.IsEnded(); }) && WaitFor([&] { return !coProcess->IsStarted(); });
    };
    EXPECT_EQ(0, coProcess->Start(nullptr) + coProcess->Start("") + coProcess->Start("KwNoSuchProgram.exe -h"));
    EXPECT_EQ(0, coProcess->IsStarted() + coProcess->GetProcessStartTime() + coProcess->WriteStdin("x", 1));

    // The program answers its input ("hello" goes out with a 0 byte added, "abc\0" already ends in one) and
    // runs until it is stopped; a second start meanwhile changes nothing.
    ASSERT_EQ(1, StartChild(coProcess.Access(), "echo 10"));
    EXPECT_EQ(2, coProcess->WriteStdin("hello", 5) + coProcess->WriteStdin("abc\0", 4));
    const std::string sAnswer("ready\nhello\0abc\0", 16);
    ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == sAnswer; }));
    EXPECT_EQ(0, StartChild(coProcess.Access(), "large 10"));
    EXPECT_EQ(1, coProcess->Stop());
    ASSERT_TRUE(fnEnded());
    EXPECT_EQ(sAnswer, coRecorder.Data());
    EXPECT_EQ(kRun, coRecorder.Events());
    EXPECT_NE(0, coProcess->GetProcessStartTime());
    EXPECT_EQ(coProcess->GetProcessEndTime() - coProcess->GetProcessStartTime(), coProcess->GetProcessDuration());
    EXPECT_EQ(0, coProcess->Stop() + coProcess->WriteStdin("late", 4));

    // Much output, half of it on standard error, then short programs one after the other: nothing lost at any start.
    for (const size_t nSize : std::vector<size_t>({ 1000000, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000 })) {
        SCOPED_TRACE(nSize);
        coRecorder.Reset();
        ASSERT_EQ(1, StartChild(coProcess.Access(), "large " + std::to_string(nSize)));
        ASSERT_TRUE(fnEnded());
        EXPECT_TRUE(NumberedLines(nSize) == coRecorder.Data());
        EXPECT_EQ(kRun, coRecorder.Events());
    }
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
        s_pvKept.store(pvObject);
    }
    static bool Untouched()
    {
        const auto* pb = static_cast<const unsigned char*>(s_pvKept.load());
        return pb && std::all_of(pb, pb + sizeof(TPoisonedConPro), [](unsigned char b) { return b == 0xA5; });
    }
    static void Release() { ::operator delete(s_pvKept.exchange(nullptr)); }
    static inline std::atomic<void*> s_pvKept { nullptr };
};

} // namespace

// A handler may delete the process on the start event, while output arrives or on the last event; its owner
// may delete it while the program runs, and the worker has then sent its last event before the delete returns.
TEST(TConProWinNT, HandlersAndTheOwnerMayDeleteTheProcess)
{
    const struct { const char* m_pszEvent; const char* m_pszCommand; size_t m_nEvents; } aCases[] = {
        { "started", "echo 0", 1 }, { "read", "echo 0", 2 }, { "ended", "large 100", 3 }, { "", "echo 0", 3 },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(*c.m_pszEvent ? c.m_pszEvent : "owner");
        TRecorder coRecorder;
        TConsoleProcess* pcoProcess = new TPoisonedConPro;
        coRecorder.Link(*pcoProcess);
        std::atomic<HANDLE> hChild { nullptr };
        const auto fnDelete = [&](const TConsoleProcess& coProcess) {
            hChild.store(OpenChild(coProcess));
            delete &coProcess;
        };
        coRecorder.m_sHookEvent = c.m_pszEvent;
        coRecorder.m_fnHook = fnDelete;
        ASSERT_EQ(1, StartChild(pcoProcess, c.m_pszCommand));
        if (!*c.m_pszEvent) {
            ASSERT_TRUE(WaitFor([&] { return coRecorder.Data() == "ready\n"; }));
            fnDelete(*pcoProcess);
            EXPECT_EQ(kRun, coRecorder.Events());
        }
        ASSERT_TRUE(WaitFor([] { return TPoisonedConPro::s_pvKept.load() != nullptr; }));
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
