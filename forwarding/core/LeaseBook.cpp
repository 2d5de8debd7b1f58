#include "forwarding/core/LeaseBook.h"

#include "forwarding/core/LeaseExchange.h"
#include "platform/StopAndJoin.h"

#include <algorithm>

namespace velmora {

uint32_t HeldLease::secondsLeft(Clock::time_point now) const
{
    const auto end = grantedAt + std::chrono::seconds(granted);
    return now >= end ? 0
                      : static_cast<uint32_t>(
                            std::chrono::duration_cast<std::chrono::seconds>(end - now).count());
}

std::string LeaseKey(const MappingRequest& request)
{
    return std::string(IsPinholeRequest(request) ? "IPv6 " : "IPv4 ") + request.protocol + " " +
           std::to_string(request.port);
}

LeaseBook::LeaseBook(Renew renew) : renew_(std::move(renew))
{
    if (!renew_)
        renew_ = RenewHeldLease;
}

LeaseBook::~LeaseBook()
{
    StopAndJoin(mutex_, stopping_, wake_, thread_);
}

LeaseBook::Clock::duration LeaseBook::renewInterval(uint32_t granted)
{
    return std::max<Clock::duration>(std::chrono::milliseconds(uint64_t{granted} * 1000 / 2),
                                     std::chrono::seconds(1));
}

LeaseBook::Clock::duration LeaseBook::retryInterval(uint32_t granted)
{
    return std::min<Clock::duration>(renewInterval(granted), std::chrono::seconds(30));
}

void LeaseBook::hold(const HeldLease& lease)
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        const std::string key = LeaseKey(lease.request);
        const Kept kept{lease, Clock::now() + renewInterval(lease.granted)};
        auto same = std::find_if(kept_.begin(), kept_.end(),
                                 [&](const Kept& k) { return LeaseKey(k.lease.request) == key; });
        if (same != kept_.end())
            *same = kept;
        else
            kept_.push_back(kept);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

bool LeaseBook::release(const std::string& key, HeldLease* lease)
{
    std::lock_guard lock(mutex_);
    auto same = std::find_if(kept_.begin(), kept_.end(),
                             [&](const Kept& k) { return LeaseKey(k.lease.request) == key; });
    if (same == kept_.end())
        return false;
    if (lease)
        *lease = same->lease;
    kept_.erase(same);
    return true;
}

LeaseBook::Renewal LeaseBook::renewNow(const std::string& key)
{
    HeldLease lease;
    {
        std::lock_guard lock(mutex_);
        auto same = std::find_if(kept_.begin(), kept_.end(),
                                 [&](const Kept& k) { return LeaseKey(k.lease.request) == key; });
        if (same == kept_.end())
            return Renewal::Failed;
        lease = same->lease;
    }
    const Renewal renewal = renew_(lease);
    std::lock_guard lock(mutex_);
    ++renewals_;
    settle(lease, renewal);
    return renewal;
}

std::vector<HeldLease> LeaseBook::leases() const
{
    std::lock_guard lock(mutex_);
    std::vector<HeldLease> out;
    for (const Kept& k : kept_)
        out.push_back(k.lease);
    return out;
}

bool LeaseBook::holds(const std::string& key) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(kept_.begin(), kept_.end(),
                       [&](const Kept& k) { return LeaseKey(k.lease.request) == key; });
}

std::optional<HeldLease> LeaseBook::find(const std::string& key) const
{
    std::lock_guard lock(mutex_);
    for (const Kept& k : kept_) {
        if (LeaseKey(k.lease.request) == key)
            return k.lease;
    }
    return std::nullopt;
}

uint64_t LeaseBook::renewals() const
{
    std::lock_guard lock(mutex_);
    return renewals_;
}

void LeaseBook::settle(const HeldLease& lease, Renewal renewal)
{
    const std::string key = LeaseKey(lease.request);
    for (Kept& kept : kept_) {
        if (LeaseKey(kept.lease.request) != key)
            continue;
        if (renewal == Renewal::Failed) {
            kept.due = Clock::now() + retryInterval(kept.lease.granted);
        } else {
            kept.lease = lease;
            kept.due = Clock::now() + renewInterval(lease.granted);
        }
    }
}

void LeaseBook::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        auto next = std::min_element(kept_.begin(), kept_.end(),
                                     [](const Kept& a, const Kept& b) { return a.due < b.due; });
        if (next == kept_.end()) {
            wake_.wait(lock);
            continue;
        }
        if (Clock::now() < next->due) {
            const Clock::time_point due = next->due; // hold() may grow the list meanwhile
            wake_.wait_until(lock, due);
            continue;
        }
        HeldLease lease = next->lease;
        next->due = Clock::now() + retryInterval(lease.granted); // until the answer says otherwise
        lock.unlock();
        const Renewal renewal = renew_(lease);
        lock.lock();
        ++renewals_;
        settle(lease, renewal);
    }
}

} // namespace velmora
