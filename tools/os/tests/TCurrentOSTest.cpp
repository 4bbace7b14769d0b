// The operating-system object is made on first use. This program asks for
// it first from several threads at once; it must come into being exactly
// once (the leak checker of the native build reports a second object).
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

TEST(TCurrentOSTest, FirstUseFromSeveralThreadsMakesOneObject)
{
    constexpr int kThreads = 8;
    std::atomic<int> nWaiting { kThreads };
    std::vector<const TOpSystem*> apcoSeen(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            // Every thread asks at the same moment.
            nWaiting.fetch_sub(1);
            while (nWaiting.load() > 0)
                std::this_thread::yield();
            apcoSeen[i] = &CurrentOS();
        });
    }
    for (auto& coThread : threads)
        coThread.join();

    EXPECT_EQ(std::count(apcoSeen.begin(), apcoSeen.end(), &CurrentOS()), kThreads);
}
