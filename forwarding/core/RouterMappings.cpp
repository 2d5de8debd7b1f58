#include "forwarding/core/RouterMappings.h"

#include "forwarding/core/PortCheckTexts.h"
#include "router/core/RouterEntry.h"

#include <arpa/inet.h>
#include <cstring>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

namespace velmora {
namespace {

// Sizes miniupnpc documents for its out-parameters, with room to spare.
constexpr size_t kPortSize = 6 + 2;
constexpr size_t kClientSize = 16 + 48;
constexpr size_t kProtocolSize = 4 + 4;
constexpr size_t kDescriptionSize = 80 + 16;
constexpr size_t kEnabledSize = 4 + 4;
constexpr size_t kHostSize = 64 + 16;
constexpr size_t kDurationSize = 16 + 8;

struct Buffers
{
    char externalPort[kPortSize] = {};
    char internalClient[kClientSize] = {};
    char internalPort[kPortSize] = {};
    char protocol[kProtocolSize] = {};
    char description[kDescriptionSize] = {};
    char enabled[kEnabledSize] = {};
    char remoteHost[kHostSize] = {};
    char duration[kDurationSize] = {};
};

std::string Text(const char* buffer, size_t size)
{
    return std::string(buffer, strnlen(buffer, size));
}

} // namespace

RouterEndpoint EndpointOf(const RouterEntry& router)
{
    RouterEndpoint endpoint;
    if (router.urls.controlURL)
        endpoint.controlUrl = router.urls.controlURL;
    endpoint.serviceType =
        Text(router.data.first.servicetype, sizeof router.data.first.servicetype);
    return endpoint;
}

int GetGenericPortMapping(const RouterEndpoint& router, int index, PortMappingRow& row)
{
    Buffers b;
    const std::string indexText = std::to_string(index);
    int code = UPNP_GetGenericPortMappingEntry(
        router.controlUrl.c_str(), router.serviceType.c_str(), indexText.c_str(), b.externalPort,
        b.internalClient, b.internalPort, b.protocol, b.description, b.enabled, b.remoteHost,
        b.duration);
    if (code != UPNPCOMMAND_SUCCESS)
        return code;
    row.description = Text(b.description, sizeof b.description);
    row.protocol = Text(b.protocol, sizeof b.protocol);
    row.externalPort = Text(b.externalPort, sizeof b.externalPort);
    row.internalClient = Text(b.internalClient, sizeof b.internalClient);
    row.internalPort = Text(b.internalPort, sizeof b.internalPort);
    row.leaseDuration = Text(b.duration, sizeof b.duration);
    return code;
}

int ListPortMappings(const RouterEndpoint& router, const std::atomic<bool>& cancel,
                     const std::function<void(const PortMappingRow&)>& onRow, int limit)
{
    int index = 0;
    for (; index < limit && !cancel.load(); ++index) {
        PortMappingRow row;
        if (GetGenericPortMapping(router, index, row) != UPNPCOMMAND_SUCCESS)
            break;
        onRow(row);
    }
    return index;
}

int GetSpecificPortMapping(const RouterEndpoint& router, uint16_t externalPort,
                           const std::string& protocol, PortMappingRow& row)
{
    Buffers b;
    const std::string portText = std::to_string(externalPort);
    int code = UPNP_GetSpecificPortMappingEntry(
        router.controlUrl.c_str(), router.serviceType.c_str(), portText.c_str(), protocol.c_str(),
        nullptr, b.internalClient, b.internalPort, b.description, b.enabled, b.duration);
    if (code != UPNPCOMMAND_SUCCESS)
        return code;
    row.description = Text(b.description, sizeof b.description);
    row.protocol = protocol;
    row.externalPort = portText;
    row.internalClient = Text(b.internalClient, sizeof b.internalClient);
    row.internalPort = Text(b.internalPort, sizeof b.internalPort);
    row.leaseDuration = Text(b.duration, sizeof b.duration);
    return code;
}

int DeletePortMapping(const RouterEndpoint& router, const std::string& externalPort,
                      const std::string& protocol)
{
    return UPNP_DeletePortMapping(router.controlUrl.c_str(), router.serviceType.c_str(),
                                  externalPort.c_str(), protocol.c_str(), nullptr);
}

int GetExternalAddress(const RouterEndpoint& router, std::string& address)
{
    char buffer[kClientSize] = {};
    int code =
        UPNP_GetExternalIPAddress(router.controlUrl.c_str(), router.serviceType.c_str(), buffer);
    if (code == UPNPCOMMAND_SUCCESS)
        address = Text(buffer, sizeof buffer);
    return code;
}

Message UpnpResultText(int code)
{
    const char* text = strupnperror(code);
    return text ? Message(text) : Message(port_check_texts::kUpnpError, {std::to_string(code)});
}

std::string DescribeUpnpResult(int code)
{
    return English(UpnpResultText(code));
}

bool SameAddress(const std::string& a, const std::string& b)
{
    in_addr first{};
    in_addr second{};
    if (inet_pton(AF_INET, a.c_str(), &first) == 1 && inet_pton(AF_INET, b.c_str(), &second) == 1)
        return first.s_addr == second.s_addr;
    return a == b;
}

} // namespace velmora
