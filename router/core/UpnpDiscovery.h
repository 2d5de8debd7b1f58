#pragma once

#include "platform/Deadline.h"
#include "router/core/RouterEntry.h"

#include <string>

namespace velmora {

// The device type a router must answer with to be taken.
inline constexpr char kIgdDeviceType[] = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

// The box shows at most this many bytes of a friendly name.
inline constexpr size_t kFriendlyNameMaxBytes = 127;

// The root device's friendlyName in a description, cut to
// kFriendlyNameMaxBytes on a UTF-8 character boundary; empty when none.
std::string RouterFriendlyName(const std::string& description);

// The URLs of a router's services from its description data, as miniupnpc's
// GetUPNPUrls names them (controlURL, ipcondescURL, controlURL_CIF,
// controlURL_6FC, rootdescURL), each joined to the description's base with
// JoinDeviceUrl: plain http on the device's own address. False, with one log
// line, when one of them is not; `urls` then holds nothing.
bool BuildRouterUrls(const IGDdatas& data, const std::string& descriptionUrl,
                     const std::string& deviceAddress, UPNPUrls& urls);

// The router for one description URL (a checked device URL of the device at
// `deviceAddress`): its description read once within `deadline` and bounded
// in size (FetchDescription), parsed as UPNP_GetIGDFromUrl does, with its
// friendly name; null when the description cannot be read or one of its URLs
// is not on the device. `diagnostics` receives the "Local LAN ip address" line.
RouterEntryPtr FetchUpnpRouter(const std::string& descriptionUrl, const std::string& deviceAddress,
                               Deadline deadline, std::string& diagnostics);

} // namespace velmora
