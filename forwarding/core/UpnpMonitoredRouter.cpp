#include "forwarding/core/UpnpMonitoredRouter.h"

#include <charconv>

namespace velmora {

UpnpMonitoredRouter::UpnpMonitoredRouter(RouterEndpoint endpoint)
    : endpoint_(endpoint), writer_(std::move(endpoint))
{
}

RouterProbe UpnpMonitoredRouter::probe()
{
    RouterProbe probe;
    std::string address;
    const int code = GetExternalAddress(endpoint_, address);
    // A UPnP error is an answer too; only a failed exchange is silence.
    probe.answered = code >= 0;
    if (code == 0)
        probe.externalAddress = address;
    return probe;
}

MappingLookup UpnpMonitoredRouter::lookup(const MappingRequest& request)
{
    PortMappingRow row;
    const int code = GetSpecificPortMapping(endpoint_, request.port, request.protocol, row);
    return AssessLookup(request, code, row);
}

bool UpnpMonitoredRouter::reinstall(const MappingRequest& request)
{
    return writer_.write(request) == MappingWriter::Outcome::Written && writer_.holds(request);
}

MappingLookup AssessLookup(const MappingRequest& request, int code, const PortMappingRow& row)
{
    MappingLookup lookup;
    if (code < 0)
        return lookup; // NoAnswer
    if (code > 0) {
        // Only NoSuchEntryInArray says the mapping is gone; any other fault
        // (501 action failed, 606 not authorized, 402 invalid args...) leaves
        // the question open.
        lookup.state = code == kNoSuchEntryInArray ? MappingLookup::State::Missing
                                                   : MappingLookup::State::Unknown;
        lookup.error = code == kNoSuchEntryInArray ? 0 : code;
        return lookup;
    }
    const std::string port = std::to_string(request.port);
    if (!SameAddress(row.internalClient, request.internalClient) || row.internalPort != port) {
        lookup.state = MappingLookup::State::Taken;
        lookup.holder = row.internalClient + ":" + row.internalPort;
        return lookup;
    }
    lookup.state = MappingLookup::State::Held;
    uint32_t seconds = 0;
    const char* begin = row.leaseDuration.data();
    const char* end = begin + row.leaseDuration.size();
    if (std::from_chars(begin, end, seconds).ec == std::errc())
        lookup.leaseSeconds = seconds;
    return lookup;
}

} // namespace velmora
