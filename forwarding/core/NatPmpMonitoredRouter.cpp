#include "forwarding/core/NatPmpMonitoredRouter.h"

#include "forwarding/core/NatPmpMappingWriter.h"
#include "router/core/NatPmpExchange.h"

#include <arpa/inet.h>
#include <memory>

namespace velmora {

NatPmpMonitoredRouter::NatPmpMonitoredRouter(in_addr_t gateway, NatPmpLeaseKeeper& keeper,
                                             uint32_t lifetime, std::chrono::milliseconds timeout)
    : gateway_(gateway), keeper_(keeper), lifetime_(lifetime), timeout_(timeout)
{
}

RouterProbe NatPmpMonitoredRouter::probe()
{
    RouterProbe probe;
    lost_ = false;
    const auto deadline = Clock::now() + timeout_;
    NatPmpHandle handle(gateway_);
    if (handle.initResult() != 0 || sendpublicaddressrequest(handle.get()) != 2)
        return probe;
    natpmpresp_t response{};
    if (AwaitNatPmpResponse(handle.get(), &response, deadline) != 0 ||
        response.type != NATPMP_RESPTYPE_PUBLICADDRESS)
        return probe;
    probe.answered = true;
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text))
        probe.externalAddress = text;
    const auto now = Clock::now();
    const uint32_t epoch = response.epoch;
    if (epoch_) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - epochSeen_);
        lost_ = NatPmpEpochLost(*epoch_, epoch, static_cast<uint64_t>(elapsed.count()));
    }
    epoch_ = epoch;
    epochSeen_ = now;
    probe.lostState = lost_;
    return probe;
}

MappingLookup NatPmpMonitoredRouter::lookup(const MappingRequest&)
{
    MappingLookup lookup;
    lookup.state = lost_ ? MappingLookup::State::Missing : MappingLookup::State::Held;
    return lookup;
}

bool NatPmpMonitoredRouter::reinstall(const MappingRequest& request)
{
    // The writer lives only for this call and the keeper outlives this
    // router: it is shared without being owned.
    const std::shared_ptr<NatPmpLeaseKeeper> unowned(std::shared_ptr<NatPmpLeaseKeeper>(),
                                                     &keeper_);
    NatPmpMappingWriter writer(gateway_, unowned, lifetime_, timeout_);
    return writer.write(request) == MappingWriter::Outcome::Written;
}

bool NatPmpEpochLost(uint32_t before, uint32_t now, uint64_t elapsedSeconds)
{
    const uint64_t expected = uint64_t{before} + elapsedSeconds * 7 / 8;
    return uint64_t{now} + 2 < expected;
}

} // namespace velmora
