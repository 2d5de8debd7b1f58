#include "forwarding/core/NatPmpMappingWriter.h"

#include <natpmp.h>

namespace velmora {

NatPmpMappingWriter::NatPmpMappingWriter(in_addr_t gateway,
                                         std::shared_ptr<NatPmpLeaseKeeper> keeper,
                                         uint32_t lifetime, std::chrono::milliseconds timeout)
    : gateway_(gateway), keeper_(std::move(keeper)), lifetime_(lifetime), timeout_(timeout)
{
}

MappingWriter::Outcome NatPmpMappingWriter::write(const MappingRequest& request)
{
    const int protocol = NatPmpProtocolOf(request.protocol);
    if (protocol == 0)
        return Outcome::Refused;
    NatPmpAnswer answer =
        RequestNatPmpMapping(gateway_, protocol, request.port, request.port, lifetime_, timeout_);
    if (!answer.ok()) {
        const bool silent =
            answer.code == NATPMP_TRYAGAIN || answer.code == NATPMP_ERR_NOGATEWAYSUPPORT;
        return silent ? Outcome::Unreachable : Outcome::Refused;
    }
    if (answer.lifetime == 0) {
        // A grant of no time is the gateway's deletion of the mapping
        // (RFC 6886): nothing was installed and there is nothing to renew.
        return Outcome::Refused;
    }
    if (answer.publicPort != request.port) {
        // The port is taken and the gateway offered another one: not what the
        // entry asks for, so give it back.
        RequestNatPmpMapping(gateway_, protocol, request.port, 0, 0, timeout_);
        return Outcome::Refused;
    }
    keeper_->keep({gateway_, protocol, request.port, lifetime_}, answer.lifetime);
    return Outcome::Written;
}

} // namespace velmora
