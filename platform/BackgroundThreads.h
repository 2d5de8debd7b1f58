#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

// Owner of worker threads whose dialog has closed while they still wait for
// the router: the dialog returns at once, the thread finishes its pending
// request (each has a deadline) and is joined here, at the latest when the
// program ends.
class BackgroundThreads final
{
public:
    using Flag = std::shared_ptr<const std::atomic<bool>>;

    static BackgroundThreads& instance();

    BackgroundThreads() = default;
    ~BackgroundThreads();
    BackgroundThreads(const BackgroundThreads&) = delete;
    BackgroundThreads& operator=(const BackgroundThreads&) = delete;

    // Takes the thread over; `finished` is set by the thread as its last act.
    // Threads that have finished meanwhile are joined on the way.
    void adopt(std::thread thread, Flag finished);
    // Joins every adopted thread.
    void joinAll();
    // Joins the adopted threads that finish within `limit`; true when none is
    // left. Those still waiting for a router stay adopted.
    bool joinFinishedWithin(std::chrono::milliseconds limit);
    // Adopted threads not yet joined.
    size_t pending();

private:
    struct Adopted
    {
        std::thread thread;
        Flag finished;
    };

    std::mutex mutex_;
    std::vector<Adopted> threads_;
};

} // namespace velmora
