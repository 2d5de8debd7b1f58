#include "triggering/core/TriggerWorkerCap.h"

#include <atomic>

namespace velmora {
namespace {
std::atomic<int> g_inUse{0};
std::atomic<int> g_cap{kMaxTriggerWorkers};
} // namespace

bool ReserveTriggerWorkers(int count)
{
    int used = g_inUse.load();
    do {
        if (count > g_cap.load() - used)
            return false;
    } while (!g_inUse.compare_exchange_weak(used, used + count));
    return true;
}

void ReleaseTriggerWorker()
{
    g_inUse.fetch_sub(1);
}

int TriggerWorkersInUse()
{
    return g_inUse.load();
}

void SetTriggerWorkerCapForTesting(int cap)
{
    g_cap.store(cap > 0 ? cap : kMaxTriggerWorkers);
}

} // namespace velmora
