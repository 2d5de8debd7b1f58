#include "app/cli/StopSignals.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace velmora::cli {

namespace {

sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

} // namespace

std::shared_ptr<StopSignals> StopSignals::Catch()
{
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    auto signals = std::make_shared<StopSignals>();
    std::thread([signals, set] {
        int signal = 0;
        sigwait(&set, &signal);
        std::lock_guard lock(signals->mutex_);
        signals->stopped_ = true;
        signals->changed_.notify_all();
    }).detach();
    return signals;
}

bool StopSignals::waitFor(std::chrono::milliseconds length)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, length, [&] { return stopped_; });
}

bool StopSignals::stopped()
{
    std::lock_guard lock(mutex_);
    return stopped_;
}

void StopSignals::wake()
{
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

} // namespace velmora::cli
