#include "forwarding/core/NatPmpLeaseKeeper.h"

#include "platform/StopAndJoin.h"

#include <algorithm>

namespace velmora {

NatPmpLeaseKeeper::NatPmpLeaseKeeper(Renew renew, const WaitClock& clock)
    : renew_(std::move(renew)), clock_(clock)
{
    if (!renew_) {
        renew_ = [](const NatPmpLease& lease) {
            return RequestNatPmpMapping(lease.gateway, lease.protocol, lease.port, lease.port,
                                        lease.lifetime, kNatPmpTimeout);
        };
    }
}

NatPmpLeaseKeeper::~NatPmpLeaseKeeper()
{
    StopAndJoin(mutex_, stopping_, wake_, thread_);
}

NatPmpLeaseKeeper::Clock::duration NatPmpLeaseKeeper::renewInterval(uint32_t granted)
{
    return std::max<Clock::duration>(std::chrono::milliseconds(uint64_t{granted} * 1000 / 2),
                                     std::chrono::seconds(1));
}

NatPmpLeaseKeeper::Clock::duration NatPmpLeaseKeeper::retryInterval(uint32_t lifetime)
{
    return std::min<Clock::duration>(renewInterval(lifetime), std::chrono::seconds(30));
}

void NatPmpLeaseKeeper::keep(const NatPmpLease& lease, uint32_t granted)
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        const auto due = clock_.now() + renewInterval(granted);
        auto same = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
            return k.lease.gateway == lease.gateway && k.lease.protocol == lease.protocol &&
                   k.lease.port == lease.port;
        });
        if (same != kept_.end())
            *same = {lease, due};
        else
            kept_.push_back({lease, due});
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

size_t NatPmpLeaseKeeper::leaseCount() const
{
    std::lock_guard lock(mutex_);
    return kept_.size();
}

uint64_t NatPmpLeaseKeeper::renewals() const
{
    std::lock_guard lock(mutex_);
    return renewals_;
}

void NatPmpLeaseKeeper::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        auto next = std::min_element(kept_.begin(), kept_.end(),
                                     [](const Kept& a, const Kept& b) { return a.due < b.due; });
        if (next == kept_.end()) {
            wake_.wait(lock);
            continue;
        }
        if (clock_.now() < next->due) {
            // A copy: keep() may grow the list while this waits.
            const Clock::time_point due = next->due;
            clock_.waitUntil(wake_, lock, due);
            continue; // the list may have changed meanwhile
        }
        const NatPmpLease lease = next->lease;
        next->due = clock_.now() + retryInterval(lease.lifetime); // until the answer says otherwise
        lock.unlock();
        const NatPmpAnswer answer = renew_(lease);
        lock.lock();
        ++renewals_;
        if (!answer.ok())
            continue;
        auto same = [&](const Kept& kept) {
            return kept.lease.gateway == lease.gateway && kept.lease.protocol == lease.protocol &&
                   kept.lease.port == lease.port;
        };
        if (answer.lifetime == 0) {
            // The gateway answered with a deletion: the mapping is gone, stop renewing it.
            std::erase_if(kept_, same);
            continue;
        }
        for (auto& kept : kept_) {
            if (same(kept))
                kept.due = clock_.now() + renewInterval(answer.lifetime);
        }
    }
}

} // namespace velmora
