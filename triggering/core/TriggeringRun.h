#pragma once

#include "config/core/Records.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace velmora {

// The shortest pause between trigger rounds, whatever an entry's frequency
// says: the entry dialog's own hint ("suggest larger than 100."). A frequency
// of 0, which the dialog and a hand-edited config.xml let through, would
// otherwise make every worker of the entry a busy loop.
inline constexpr std::chrono::milliseconds kLowestTriggerPause{100};

// Times of a worker; tests shorten them, the program keeps these.
struct TriggeringTiming
{
    // Pause between seeing a stop and writing the stop line.
    std::chrono::milliseconds grace{3000};
    // The shortest pause between rounds.
    std::chrono::milliseconds lowestPause = kLowestTriggerPause;
};

class TriggeringRun;

// Called on the worker's own thread on its way out, after its stop line and
// before it closes its sockets. It must not touch widgets: it posts.
using WorkerEndedFn =
    std::function<void(const std::shared_ptr<TriggeringRun>& run, const TriggeringEntry& copy)>;

// The workers of one Start of one entry. They share this object and nothing
// else: its stop token ends exactly them, never the workers of a later Start.
// Every worker holds it through a shared_ptr, so it outlives all of them.
class TriggeringRun final
{
public:
    TriggeringRun(std::string name, TriggeringTiming timing, WorkerEndedFn onWorkerEnded);
    TriggeringRun(const TriggeringRun&) = delete;
    TriggeringRun& operator=(const TriggeringRun&) = delete;

    const std::string& name() const { return name_; }
    const TriggeringTiming& timing() const { return timing_; }

    // The stop token: once set, each worker leaves after its current pause.
    void requestStop() { stop_.store(true, std::memory_order_release); }
    bool stopRequested() const { return stop_.load(std::memory_order_acquire); }

    int workersStarted() const { return started_.load(); }
    int workersAlive() const;
    bool finished() const { return workersAlive() == 0; }
    // Blocks until every worker has ended or `limit` passes; true when ended.
    bool waitUntilFinished(std::chrono::milliseconds limit) const;
    // Cycles run by all workers together (each counts after its UDP step).
    long long cyclesCompleted() const { return cycles_.load(); }

    // Worker side.
    void workerStarting();
    void workerNotStarted(); // the thread could not be created
    void workerEnded();
    void cycleCompleted() { cycles_.fetch_add(1); }
    void reportWorkerEnded(const std::shared_ptr<TriggeringRun>& self,
                           const TriggeringEntry& copy) const;

private:
    const std::string name_;
    const TriggeringTiming timing_;
    const WorkerEndedFn onWorkerEnded_;
    std::atomic<bool> stop_{false};
    std::atomic<int> started_{0};
    std::atomic<long long> cycles_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable allEnded_;
    int alive_ = 0; // guarded by mutex_
};

} // namespace velmora
