#pragma once

#include "forwarding/core/HeldLease.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

// The pinholes and PCP mappings this program holds, renewed at half the
// lease the router granted, for as long as the book lives, on a thread of its
// own (started with the first lease, stopped and joined by the destructor).
// A failed renewal is tried again sooner; the lease stays in the book until
// the user deletes it. Shared by the Add into Router runs, the lists that
// show and delete pinholes and the monitor.
class LeaseBook final
{
public:
    using Clock = std::chrono::steady_clock;
    enum class Renewal
    {
        Renewed,  // the router still held it and holds it longer now
        Reopened, // the router had lost it and opened it again
        Failed    // no answer, or a refusal
    };
    // One exchange with the router that renews `lease` in place.
    using Renew = std::function<Renewal(HeldLease& lease)>;

    // `renew` defaults to the router exchange (RenewHeldLease).
    explicit LeaseBook(Renew renew = {});
    ~LeaseBook();
    LeaseBook(const LeaseBook&) = delete;
    LeaseBook& operator=(const LeaseBook&) = delete;

    // Keeps a lease just granted (one with the same key is replaced).
    void hold(const HeldLease& lease);
    // Takes a lease out of the book (the user deleted it); false when it was not there.
    bool release(const std::string& key, HeldLease* lease = nullptr);
    // Renews a lease now (the monitor asks); Failed when it is not in the book.
    Renewal renewNow(const std::string& key);

    std::vector<HeldLease> leases() const;
    bool holds(const std::string& key) const;
    std::optional<HeldLease> find(const std::string& key) const;
    uint64_t renewals() const;

    // Time to the next renewal of a lease granted for `granted` seconds.
    static Clock::duration renewInterval(uint32_t granted);
    // Time to the next try after a renewal failed.
    static Clock::duration retryInterval(uint32_t granted);

private:
    struct Kept
    {
        HeldLease lease;
        Clock::time_point due;
    };

    void run();
    // Writes a renewed lease back (unless it was released meanwhile).
    void settle(const HeldLease& lease, Renewal renewal);

    Renew renew_;
    mutable std::mutex mutex_; // guards everything below
    std::condition_variable wake_;
    std::vector<Kept> kept_;
    uint64_t renewals_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace velmora
