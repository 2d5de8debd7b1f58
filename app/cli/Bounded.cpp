#include "app/cli/Bounded.h"

#include "platform/ProcessEnd.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace velmora::cli {

namespace {

struct Done
{
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
};

} // namespace

void RunWithin(Deadline deadline, const std::function<void()>& work, const Streams& io,
               const std::string& late)
{
    auto done = std::make_shared<Done>();
    std::thread worker([done, &work] {
        work();
        std::lock_guard lock(done->mutex);
        done->done = true;
        done->changed.notify_all();
    });
    std::unique_lock lock(done->mutex);
    if (done->changed.wait_until(lock, deadline, [&] { return done->done; })) {
        lock.unlock();
        worker.join();
        return;
    }
    lock.unlock();
    worker.detach();
    EndNow(Fail(io, late));
}

std::string NoAnswerWithin(std::chrono::milliseconds deadline)
{
    return "the router did not answer within " + std::to_string(deadline.count() / 1000) + " s";
}

void EndNow(int status)
{
    EndProcess(status, std::chrono::milliseconds(0));
}

} // namespace velmora::cli
