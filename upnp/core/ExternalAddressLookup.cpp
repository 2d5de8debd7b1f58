#include "upnp/core/ExternalAddressLookup.h"

#include "upnp/core/UpnpClient.h"

namespace velmora {

ExternalAddressOutcome LookUpExternalAddress(UpnpClient& client)
{
    ExternalAddressOutcome outcome;
    client.init_client(kViewIpConnectAttempts);
    if (!client.discovery())
        return outcome;
    outcome.step = ExternalAddressStep::NoDescription;
    if (!client.get_description())
        return outcome;
    outcome.step = ExternalAddressStep::DescriptionUnreadable;
    if (!client.parser_description())
        return outcome;
    outcome.step = ExternalAddressStep::Asked;
    char buffer[kExternalAddressBuffer] = {};
    client.GetExternalIPAddress(buffer, sizeof buffer);
    outcome.address = buffer; // empty after a failure
    return outcome;
}

const char* ExternalAddressStepMessage(ExternalAddressStep step)
{
    switch (step) {
    case ExternalAddressStep::NoRouter:
        return "Failed to find a router.Please make sure your router's UPnP option is enabled.If "
               "you still get this error,you should set your windows firewall or other firewall "
               "you installed,open port 1900 of UDP and port 2869 of TCP!";
    case ExternalAddressStep::NoDescription:
        return "Failed to get router's description!";
    case ExternalAddressStep::DescriptionUnreadable:
        return "Failed to parse router's description!";
    case ExternalAddressStep::Asked:
        break;
    }
    return nullptr;
}

} // namespace velmora
