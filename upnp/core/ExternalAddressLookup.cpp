#include "upnp/core/ExternalAddressLookup.h"

#include "upnp/core/UpnpClient.h"
#include "upnp/core/ViewIpTexts.h"

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

const TextTemplate* ExternalAddressStepMessage(ExternalAddressStep step)
{
    switch (step) {
    case ExternalAddressStep::NoRouter:
        return &view_ip_texts::kNoRouter;
    case ExternalAddressStep::NoDescription:
        return &view_ip_texts::kNoDescription;
    case ExternalAddressStep::DescriptionUnreadable:
        return &view_ip_texts::kDescriptionUnreadable;
    case ExternalAddressStep::Asked:
        break;
    }
    return nullptr;
}

} // namespace velmora
