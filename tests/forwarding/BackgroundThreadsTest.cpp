#include "platform/BackgroundThreads.h"

#include <condition_variable>
#include <gtest/gtest.h>

using velmora::BackgroundThreads;

TEST(BackgroundThreads, JoinAllWaitsForAThreadStillRunning)
{
    BackgroundThreads threads;
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> ranToEnd{false};
    threads.adopt(std::thread([&, finished] {
                      std::unique_lock lock(m);
                      cv.wait(lock, [&] { return release; });
                      ranToEnd = true;
                      *finished = true;
                  }),
                  finished);
    EXPECT_EQ(threads.pending(), 1u);
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    threads.joinAll();
    EXPECT_TRUE(ranToEnd.load());
    EXPECT_EQ(threads.pending(), 0u);
}

TEST(BackgroundThreads, FinishedThreadsAreJoinedWhenTheNextIsAdopted)
{
    BackgroundThreads threads;
    auto first = std::make_shared<std::atomic<bool>>(false);
    std::thread t([first] { *first = true; });
    while (!first->load())
        std::this_thread::yield();
    threads.adopt(std::move(t), first);
    auto second = std::make_shared<std::atomic<bool>>(true);
    threads.adopt(std::thread([] {}), second);
    EXPECT_EQ(threads.pending(), 1u);
}
