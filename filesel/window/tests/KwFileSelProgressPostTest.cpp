#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwFileBytes.h"
#include "KwFileSelProgress.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

// The copy worker posts to the progress window while the window may go
// away on the GUI thread; it must never read the window object for that
// (run under ThreadSanitizer too).

namespace {

// Posts are the one call the worker makes: they are kept under a lock of
// their own (the recording system itself belongs to the GUI thread), and
// counted without synchronising anything.
class TPostingSystem : public KwFakeSystem {
public:
    std::atomic<int> nPosts { 0 };

    int PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t, std::intptr_t) override
    {
        std::lock_guard<std::mutex> coGuard(m_coLock);
        m_vecPosted.push_back(hWnd);
        nPosts.fetch_add(1, std::memory_order_relaxed);
        return unMsg != 0;
    }

private:
    std::mutex m_coLock;
    std::vector<KwHandle> m_vecPosted;
};

class KwFileSelProgressPostTest : public kwtest::TScratchTest {
protected:
    KwFileSelProgressPostTest() : TScratchTest("flpost") {}

    TPostingSystem coSys;
    KwApp coApp { "KwFileSelProgressPostTest", nullptr, 0 };
};

} // namespace

// The window is destroyed while the worker copies and notifies: the worker
// used to read the window's handle from the object, unsynchronised.
TEST_F(KwFileSelProgressPostTest, WorkerPostsThroughWhatTheWindowClearsWhenItGoes)
{
    std::filesystem::create_directories(At("src"));
    std::filesystem::create_directories(At("dst"));
    for (int i = 0; i < 400; ++i)
        kwtest::WriteFileBytes(At("src/f" + std::to_string(i)), std::string(4096, 'x'));
    auto* pcoProgress = new KwFileSelProgress(nullptr);
    pcoProgress->SetPathFrom(At("src").c_str());
    pcoProgress->SetPathTo(At("dst").c_str());
    pcoProgress->Engine().Options().m_ulPieceSize = KwCopyOptions::MinPieceSize;
    ASSERT_TRUE(pcoProgress->SysCreate(nullptr));
    pcoProgress->StartDirect(4);
    ASSERT_NE(pcoProgress->GetStart(), nullptr);
    pcoProgress->GetStart()->EvCommand();
    const auto tLimit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (coSys.nPosts.load(std::memory_order_relaxed) == 0 && std::chrono::steady_clock::now() < tLimit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(coSys.nPosts.load(std::memory_order_relaxed), 0);
    // The post delivered: the window takes the records in, so that the
    // worker notifies (and posts) again while the window goes.
    coSys.Send(pcoProgress->GetHandle(), KwFileSelProgress::MsgRecords);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pcoProgress->Destroy();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(pcoProgress->GetHandle(), 0u);
    delete pcoProgress;                            // cancels and waits for the worker
}
