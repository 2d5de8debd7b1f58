#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The one rule for every URL a device hands us to send to (its description
// URL, the control and SCPD URLs of its services): plain http, on the very
// address the device answered from. A device is never able to steer a request
// to another host. Both UPnP stacks (the router scan and the program's own
// client) check their URLs here.

enum class DeviceUrlFault
{
    None,
    Unreadable, // not a URL we can read: no "//" authority, bad port, spaces, control characters
    NotHttp,    // another scheme (https, file, ...)
    OtherHost,  // a host name, or an address other than the device's
};

struct DeviceUrl
{
    // The URL rebuilt with the device's address: "http://a.b.c.d[:port]/path[?query]",
    // or "http://[v6%25zone][:port]/..." for an IPv6 device (no fragment); empty when
    // refused.
    std::string url;
    DeviceUrlFault fault = DeviceUrlFault::None;

    explicit operator bool() const { return fault == DeviceUrlFault::None; }
};

// An absolute URL, checked against `deviceAddress`: dotted IPv4, or IPv6 with
// the zone of the link it answered on ("fe80::1%eth0"). An IPv4 host may be
// written in any IPv4 form ("127.0.0.1", "2130706433"), an IPv6 one in
// brackets with or without that zone; a host name is refused, as it cannot be
// known to name the device.
DeviceUrl CheckDeviceUrl(std::string_view url, std::string_view deviceAddress);

// `reference` as a description gives it (absolute, or relative to `base`: the
// description's URLBase, or the URL it was read from), joined to `base` as
// RFC 3986 resolves references, then checked as CheckDeviceUrl does.
DeviceUrl JoinDeviceUrl(std::string_view base, std::string_view reference,
                        std::string_view deviceAddress);

// The address an http URL's host names, as CheckDeviceUrl takes a device's
// address (dotted IPv4, or IPv6 with "%zone"); empty for a host name.
std::string UrlHostAddress(std::string_view url);

// Why a URL was refused, as the log line says it.
const char* DeviceUrlFaultText(DeviceUrlFault fault);

// One activity-log line: the device at `deviceAddress` is not used, because
// its `what` ("description URL", "control URL", ...) `url` has `fault`.
void LogRefusedDevice(std::string_view deviceAddress, std::string_view what, std::string_view url,
                      DeviceUrlFault fault);

} // namespace velmora
