#pragma once

#include "router/core/UpnpRound.h"

#include <functional>
#include <miniupnpc/upnpdev.h>
#include <string>

namespace velmora {

// The device type a router must answer with to be taken.
inline constexpr char kIgdDeviceType[] = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

// The box shows at most this many bytes of a friendly name.
inline constexpr size_t kFriendlyNameMaxBytes = 127;

// The root device's friendlyName in a description, cut to
// kFriendlyNameMaxBytes on a UTF-8 character boundary; empty when none.
std::string RouterFriendlyName(const std::string& description);

} // namespace velmora

// One UPnP discovery round through miniupnpc: an SSDP search of about two
// seconds on the given local interface address (empty: the default
// interface), then each answering IGD's description. Merge the result into
// the router list with MergeUpnpRound.
velmora::UpnpRound DiscoverUpnpRouters(const std::string& interfaceAddress);

namespace velmora {

// How a round turns a description URL into a router (FetchUpnpRouter).
using RouterFetch =
    std::function<RouterEntryPtr(const char* descriptionUrl, unsigned scopeId, std::string& lines)>;

// The round for a discovery's device list: every device is written to the
// diagnostics; only Internet Gateway Devices of version 1 with a description
// URL are fetched.
UpnpRound ReadDeviceList(const UPNPDev* devices, const RouterFetch& fetch);

// The router for one description URL: its description read once, bounded in
// size and time (see FetchDescription), parsed as UPNP_GetIGDFromUrl does,
// with its friendly name; null when the description cannot be fetched.
// `diagnostics` receives the "Local LAN ip address" line.
RouterEntryPtr FetchUpnpRouter(const char* descriptionUrl, unsigned scopeId,
                               std::string& diagnostics);

} // namespace velmora
