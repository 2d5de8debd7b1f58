#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The search request sent to 239.255.255.250:1900.
extern const char kSsdpSearchRequest[];
extern const char kGatewayDeviceType[];

// Whether a description names an Internet Gateway Device, version 1 or 2.
bool NamesGatewayDevice(std::string_view description);

// The description URL of an SSDP answer: the text from its first "http://" up
// to the CR after it. None when the answer lacks "200 OK", "http://" or the CR.
std::optional<std::string> DescribeUrlFromSsdpAnswer(std::string_view datagram);

} // namespace velmora
