#pragma once

#include "router/core/UpnpRound.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace velmora {

// What one scan has seen so far, filled from several threads at once: the
// devices that answered each UPnP round (round 0 on the default interface,
// round k on the k-th local address), the description reads they wait for,
// and the NAT-PMP gateway. The router list it gives is always in the scan's
// order, whatever order the answers came in: UPnP routers round by round,
// each round in the order its devices answered and ending at a router already
// listed (MergeUpnpRound), then the NAT-PMP gateway. A device whose
// description is still being read is left out until it is in.
class ScanBoard final
{
public:
    // Called whenever the router list changes, with the new list, on the
    // thread that changed it and under the board's lock: calls come in the
    // order of the changes. It must not call back into the board.
    using Changed = std::function<void(const RouterList&)>;
    static constexpr size_t kNoRead = static_cast<size_t>(-1);

    ScanBoard(size_t rounds, Changed changed = {});
    ScanBoard(const ScanBoard&) = delete;
    ScanBoard& operator=(const ScanBoard&) = delete;

    // A description read has begun; its number for the devices that wait for it.
    size_t beginRead();
    // The read has ended: the router it found (null when none) and its
    // diagnostic lines ("Local LAN ip address ...").
    void endRead(size_t read, RouterEntryPtr router, std::string lines);
    // A device answered in `round`: its diagnostic lines, and the read it
    // waits for (kNoRead when it is passed over).
    void addDevice(size_t round, std::string lines, size_t read = kNoRead);
    // A whole round at once (a discovery that returns its round when done).
    void addRound(size_t round, const UpnpRound& seen);
    void setNatPmp(RouterEntryPtr gateway);

    RouterList list() const;
    // The scan's diagnostic lines in its order: each round's devices, the
    // rounds of local addresses headed "Address k : a.b.c.d".
    std::string diagnostics(const std::vector<std::string>& localAddresses) const;

private:
    struct Device
    {
        std::string lines;
        size_t read = kNoRead;
    };
    struct Read
    {
        bool done = false;
        RouterEntryPtr router;
        std::string lines;
    };
    struct Round
    {
        bool answered = false;
        std::vector<Device> devices;
    };

    UpnpRound roundLocked(size_t round) const;
    RouterList listLocked() const;
    void changedLocked();

    mutable std::mutex mutex_; // guards everything below
    std::vector<Round> rounds_;
    std::vector<Read> reads_;
    RouterEntryPtr natPmp_;
    RouterList shown_; // the list last handed to changed_
    Changed changed_;
};

} // namespace velmora
