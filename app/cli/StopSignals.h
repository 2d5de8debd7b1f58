#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace velmora::cli {

// SIGTERM, SIGINT (Ctrl-C) and SIGHUP, taken as a request to stop: they are
// blocked in every thread made after Catch() and read by a thread of their own.
class StopSignals final
{
public:
    // Call before any other thread exists.
    static std::shared_ptr<StopSignals> Catch();

    // Waits until a stop signal came or `length` passed; true when one came.
    bool waitFor(std::chrono::milliseconds length);
    bool stopped();
    // Wakes whoever waits, without a signal (a waited-for job is done).
    void wake();

    // Waits until a signal came or `done` holds.
    template <class Done> bool waitUntil(Done done)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || done(); });
        return stopped_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopped_ = false;
};

} // namespace velmora::cli
