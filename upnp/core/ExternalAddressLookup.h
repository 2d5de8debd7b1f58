#pragma once

#include "platform/Message.h"

#include <string>

class UpnpClient;

namespace velmora {

// How far the View IP chain came.
enum class ExternalAddressStep
{
    NoRouter,              // discovery found no gateway
    NoDescription,         // the description could not be fetched
    DescriptionUnreadable, // the description names no WAN connection service
    Asked,                 // GetExternalIPAddress was sent
};

struct ExternalAddressOutcome
{
    ExternalAddressStep step = ExternalAddressStep::NoRouter;
    // After Asked: the address text; empty when the action failed.
    std::string address;
};

// Bytes of the address buffer, its NUL included.
inline constexpr size_t kExternalAddressBuffer = 50;
// Connection attempts of the View IP client.
inline constexpr int kViewIpConnectAttempts = 60;

// The chain of the View IP dialog on a fresh client: discovery, description
// (fetched once more), its parser, GetExternalIPAddress. Blocks; the client's
// cancel flag ends a search early.
ExternalAddressOutcome LookUpExternalAddress(UpnpClient& client);

// The message the View IP dialog shows for a failed step; null for Asked.
const TextTemplate* ExternalAddressStepMessage(ExternalAddressStep step);

} // namespace velmora
