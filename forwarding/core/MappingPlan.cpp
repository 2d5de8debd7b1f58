#include "forwarding/core/MappingPlan.h"

#include "forwarding/core/PortList.h"

namespace velmora {

bool IsPinholeRequest(const MappingRequest& request)
{
    return request.internalClient.find(':') != std::string::npos;
}

std::vector<std::string> ProtocolsOf(std::string_view protocol)
{
    if (protocol == "Both")
        return {"TCP", "UDP"};
    return {std::string(protocol)};
}

MappingPlan PlanMappings(const std::vector<ForwardingEntry>& entries)
{
    MappingPlan plan;
    for (const auto& entry : entries) {
        PortSet ports = ExpandPortList(Field(entry.listen_port));
        auto protocols = ProtocolsOf(Field(entry.protocol));
        plan.invalidPorts += ports.invalid * static_cast<int64_t>(protocols.size());
        for (uint16_t port : ports.ports) {
            for (const auto& protocol : protocols) {
                plan.requests.push_back({port, protocol, std::string(Field(entry.destination_ip)),
                                         std::string(Field(entry.name))});
            }
        }
    }
    return plan;
}

} // namespace velmora
