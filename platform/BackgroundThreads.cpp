#include "platform/BackgroundThreads.h"

#include <algorithm>

namespace velmora {

BackgroundThreads& BackgroundThreads::instance()
{
    static BackgroundThreads threads;
    return threads;
}

BackgroundThreads::~BackgroundThreads()
{
    joinAll();
}

void BackgroundThreads::adopt(std::thread thread, Flag finished)
{
    std::vector<Adopted> done;
    {
        std::lock_guard lock(mutex_);
        auto firstDone = std::stable_partition(
            threads_.begin(), threads_.end(), [](const Adopted& a) { return !a.finished->load(); });
        std::move(firstDone, threads_.end(), std::back_inserter(done));
        threads_.erase(firstDone, threads_.end());
        threads_.push_back({std::move(thread), std::move(finished)});
    }
    for (auto& adopted : done)
        adopted.thread.join(); // has set its flag: ends at once
}

void BackgroundThreads::joinAll()
{
    std::vector<Adopted> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(threads_);
    }
    for (auto& adopted : all) {
        if (adopted.thread.joinable())
            adopted.thread.join();
    }
}

bool BackgroundThreads::joinFinishedWithin(std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kPoll = std::chrono::milliseconds(10);
    const auto deadline = Clock::now() + limit;
    for (;;) {
        std::vector<Adopted> done;
        bool left = false;
        {
            std::lock_guard lock(mutex_);
            auto firstDone =
                std::stable_partition(threads_.begin(), threads_.end(),
                                      [](const Adopted& a) { return !a.finished->load(); });
            std::move(firstDone, threads_.end(), std::back_inserter(done));
            threads_.erase(firstDone, threads_.end());
            left = !threads_.empty();
        }
        for (auto& adopted : done)
            adopted.thread.join();
        if (!left)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
}

size_t BackgroundThreads::pending()
{
    std::lock_guard lock(mutex_);
    return threads_.size();
}

} // namespace velmora
