#pragma once

#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingInstaller.h"

#include <memory>

namespace velmora {

// Installs leases this program keeps renewing: IPv6 pinholes (UPnP or PCP)
// or PCP port mappings, each asked for `lease` seconds. What the router
// grants goes to the book, which renews it at half its life. Before its first
// UPnP pinhole it asks the router for its firewall status once: a router that
// does not answer, whose IPv6 firewall is off or that allows no pinholes gets
// no pinhole request at all.
class LeaseWriter final : public MappingWriter
{
public:
    static constexpr uint32_t kLease = 7200; // seconds

    LeaseWriter(LeaseRoute route, std::shared_ptr<LeaseBook> book, uint32_t lease = kLease);

    Outcome write(const MappingRequest& request) override;
    bool holds(const MappingRequest& request) override;
    // Why the last write failed ("" after a success).
    Message problem() const override { return problem_; }

private:
    // The firewall status check; Written when pinholes may be asked for.
    Outcome checkFirewall();

    LeaseRoute route_;
    std::shared_ptr<LeaseBook> book_;
    uint32_t lease_;
    Message problem_;
    bool checked_ = false;
    Outcome firewall_ = Outcome::Written;
    Message firewallProblem_;
};

// Sends IPv6 pinhole requests to one writer and every other request to
// another; either may be missing, and a request without a writer is refused.
class DualStackWriter final : public MappingWriter
{
public:
    DualStackWriter(std::unique_ptr<MappingWriter> ipv4, std::unique_ptr<MappingWriter> ipv6);

    Outcome write(const MappingRequest& request) override;
    bool holds(const MappingRequest& request) override;
    // The problem of the writer that took the last request.
    Message problem() const override { return last_ ? last_->problem() : Message(); }
    MappingWriter* ipv4() const { return ipv4_.get(); }
    MappingWriter* ipv6() const { return ipv6_.get(); }

private:
    MappingWriter* writerFor(const MappingRequest& request) const;

    std::unique_ptr<MappingWriter> ipv4_;
    std::unique_ptr<MappingWriter> ipv6_;
    MappingWriter* last_ = nullptr;
};

} // namespace velmora
