#include "triggering/core/Triggering.h"

#include "triggering/core/TriggerTarget.h"
#include "triggering/core/TriggerWorker.h"
#include "triggering/core/TriggerWorkerCap.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <thread>

std::shared_ptr<velmora::TriggeringRun> StartTriggeringEntry(const TriggeringEntry& entry,
                                                             velmora::WorkerEndedFn onWorkerEnded,
                                                             velmora::TriggeringTiming timing)
{
    auto run = std::make_shared<velmora::TriggeringRun>(std::string(velmora::Field(entry.name)),
                                                        timing, std::move(onWorkerEnded));
    const long long start = velmora::ParseDecimal(velmora::Field(entry.trigger_port));
    const long long end = velmora::ParseDecimal(velmora::Field(entry.trigger_port_end));
    if (end < start)
        return run;
    const long long count = std::min<long long>(end - start + 1, velmora::kMaxWorkersPerEntry);
    if (!velmora::ReserveTriggerWorkers(static_cast<int>(count)))
        return nullptr;
    for (long long i = 0; i < count; ++i) {
        auto copy = std::make_unique<TriggeringEntry>(entry);
        std::snprintf(copy->trigger_port, sizeof copy->trigger_port, "%lld", start + i);
        run->workerStarting();
        try {
            std::thread(TriggerWorker, std::move(copy), run).detach();
        } catch (const std::system_error&) {
            run->workerNotStarted();
        }
    }
    return run;
}

void RequestTriggeringStop(const std::shared_ptr<velmora::TriggeringRun>& run)
{
    if (run)
        run->requestStop();
}
