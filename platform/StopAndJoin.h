#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmora {

// Ends a worker that sleeps on `wake` under `mutex` between rounds: sets its
// stop flag under the lock (so the worker cannot miss it between its check
// and its wait), wakes it and waits for it to return. Owners call this first
// in their destructor, before the members the worker reads are gone.
template <typename Flag>
void StopAndJoin(std::mutex& mutex, Flag& stopping, std::condition_variable& wake,
                 std::thread& thread)
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

} // namespace velmora
