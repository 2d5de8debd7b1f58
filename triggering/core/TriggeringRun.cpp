#include "triggering/core/TriggeringRun.h"

#include "triggering/core/TriggerWorkerCap.h"

namespace velmora {

TriggeringRun::TriggeringRun(std::string name, TriggeringTiming timing, WorkerEndedFn onWorkerEnded)
    : name_(std::move(name)), timing_(timing), onWorkerEnded_(std::move(onWorkerEnded))
{
}

int TriggeringRun::workersAlive() const
{
    std::lock_guard lock(mutex_);
    return alive_;
}

bool TriggeringRun::waitUntilFinished(std::chrono::milliseconds limit) const
{
    std::unique_lock lock(mutex_);
    return allEnded_.wait_for(lock, limit, [this] { return alive_ == 0; });
}

void TriggeringRun::workerStarting()
{
    started_.fetch_add(1);
    std::lock_guard lock(mutex_);
    ++alive_;
}

void TriggeringRun::workerNotStarted()
{
    started_.fetch_sub(1);
    workerEnded();
}

void TriggeringRun::workerEnded()
{
    ReleaseTriggerWorker(); // before the waiters hear of it: a Start after them may take it
    std::lock_guard lock(mutex_);
    if (--alive_ == 0)
        allEnded_.notify_all();
}

void TriggeringRun::reportWorkerEnded(const std::shared_ptr<TriggeringRun>& self,
                                      const TriggeringEntry& copy) const
{
    if (onWorkerEnded_)
        onWorkerEnded_(self, copy);
}

} // namespace velmora
