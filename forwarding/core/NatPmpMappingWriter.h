#pragma once

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <memory>

namespace velmora {

// Installs mappings in a NAT-PMP gateway: a new-port-mapping request per port
// and protocol, for this computer, public port = private port. Granted
// mappings go to the lease keeper, which renews them while the program runs;
// the writer shares it, so a run that outlives its tab still has it.
class NatPmpMappingWriter final : public MappingWriter
{
public:
    static constexpr uint32_t kLifetime = 7200; // seconds

    NatPmpMappingWriter(in_addr_t gateway, std::shared_ptr<NatPmpLeaseKeeper> keeper,
                        uint32_t lifetime = kLifetime,
                        std::chrono::milliseconds timeout = kNatPmpTimeout);

    Outcome write(const MappingRequest& request) override;
    // The gateway's answer to the request already is its own record of the
    // mapping; there is nothing to read back.
    bool holds(const MappingRequest&) override { return true; }

private:
    in_addr_t gateway_;
    std::shared_ptr<NatPmpLeaseKeeper> keeper_;
    uint32_t lifetime_;
    std::chrono::milliseconds timeout_;
};

} // namespace velmora
