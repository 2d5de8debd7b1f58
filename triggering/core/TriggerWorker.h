#pragma once

#include "config/core/Records.h"
#include "triggering/core/TriggeringRun.h"

#include <memory>

// Wait limit of the trigger sends, in microseconds.
namespace velmora {
inline constexpr long long kTriggerSendWaitUs = 30'000'000;
} // namespace velmora

// The thread routine of one worker. `copy` is the worker's own copy of the
// entry, its trigger_port holding the worker's single port. Runs cycles until
// the run's stop token is seen after a pause, then takes its way out: the
// grace pause, the stop log line, the end report, the sockets closed.
// Returns 0.
int TriggerWorker(std::unique_ptr<TriggeringEntry> copy,
                  std::shared_ptr<velmora::TriggeringRun> run);
