#pragma once

#include "config/core/Records.h"
#include "triggering/core/TriggeringRun.h"

#include <memory>

// Most workers one entry runs; a longer range gets workers for its first
// kMaxWorkersPerEntry ports only, so a range like 0-99999 cannot exhaust threads.
namespace velmora {
inline constexpr int kMaxWorkersPerEntry = 1024;
} // namespace velmora

// Starts one detached worker per port of the entry's range (start to end, in
// ascending order, each on its own copy of the entry) and returns at once
// with the run that ties them together. An end below the start starts none.
// A port whose thread cannot be created has no worker. Null, with nothing
// started, when the entry's workers do not fit in the program-wide allowance
// (kMaxTriggerWorkers, TriggerWorkerCap.h).
std::shared_ptr<velmora::TriggeringRun>
StartTriggeringEntry(const TriggeringEntry& entry, velmora::WorkerEndedFn onWorkerEnded = {},
                     velmora::TriggeringTiming timing = {});

// Asks every worker of `run` to stop (a null run is ignored). Returns at once.
void RequestTriggeringStop(const std::shared_ptr<velmora::TriggeringRun>& run);
