#include "forwarding/core/MappingMonitor.h"

#include "platform/StopAndJoin.h"

namespace velmora {

MappingMonitor::MappingMonitor(Reporter reporter, MonitorOptions options)
    : reporter_(std::move(reporter)), core_(std::move(options))
{
    thread_ = std::thread([this] { run(); });
}

MappingMonitor::~MappingMonitor()
{
    StopAndJoin(mutex_, stopping_, wake_, thread_);
}

void MappingMonitor::setMappings(std::vector<WatchedMapping> mappings)
{
    std::lock_guard lock(mutex_);
    mappings_ = std::move(mappings);
}

void MappingMonitor::setRouter(std::shared_ptr<MonitoredRouter> router)
{
    {
        std::lock_guard lock(mutex_);
        router_ = std::move(router);
        ++generation_;
        triggered_ = false;
        pending_.clear();
    }
    wake_.notify_all();
}

void MappingMonitor::checkSoon(std::string why)
{
    {
        std::lock_guard lock(mutex_);
        if (!router_)
            return;
        if (!why.empty())
            pending_.push_back(std::move(why));
        triggered_ = true;
    }
    wake_.notify_all();
}

uint64_t MappingMonitor::checks() const
{
    std::lock_guard lock(mutex_);
    return checks_;
}

std::chrono::seconds MappingMonitor::renewBelow() const
{
    return core_.renewBelow();
}

void MappingMonitor::run()
{
    std::unique_lock lock(mutex_);
    uint64_t generation = 0;
    while (!stopping_) {
        if (!router_) {
            wake_.wait(lock);
            continue;
        }
        if (generation != generation_) {
            generation = generation_;
            core_.restart();
        }
        if (!triggered_ && !core_.due()) {
            wake_.wait_until(lock, core_.nextRound());
            continue;
        }
        std::shared_ptr<MonitoredRouter> router = router_;
        const std::vector<WatchedMapping> mappings = mappings_;
        std::vector<std::string> lines = std::move(pending_);
        pending_.clear();
        const bool triggered = triggered_;
        triggered_ = false;
        lock.unlock();

        const MonitorCore::Round round =
            core_.run(*router, mappings, std::move(lines), triggered, stopping_);

        lock.lock();
        if (generation != generation_)
            continue; // the router changed meanwhile: what was found is stale
        if (round.checked)
            ++checks_;
        if (!round.report.empty() && !stopping_ && reporter_)
            reporter_(round.report);
    }
}

} // namespace velmora
