#include "forwarding/core/UpnpMappingWriter.h"

#include <miniupnpc/upnpcommands.h>

#include <string>

namespace velmora {

UpnpMappingWriter::UpnpMappingWriter(RouterEndpoint endpoint) : endpoint_(std::move(endpoint)) {}

MappingWriter::Outcome UpnpMappingWriter::write(const MappingRequest& request)
{
    const std::string port = std::to_string(request.port);
    int code = UPNP_AddPortMapping(endpoint_.controlUrl.c_str(), endpoint_.serviceType.c_str(),
                                   port.c_str(), port.c_str(), request.internalClient.c_str(),
                                   request.description.c_str(), request.protocol.c_str(),
                                   nullptr, "0");
    if (code == UPNPCOMMAND_SUCCESS)
        return Outcome::Written;
    return code == UPNPCOMMAND_HTTP_ERROR ? Outcome::Unreachable : Outcome::Refused;
}

bool UpnpMappingWriter::holds(const MappingRequest& request)
{
    PortMappingRow row;
    if (GetSpecificPortMapping(endpoint_, request.port, request.protocol, row) != 0)
        return false;
    return SameAddress(row.internalClient, request.internalClient) &&
           row.internalPort == std::to_string(request.port);
}

} // namespace velmora
