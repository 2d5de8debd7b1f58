#include "upnp/core/SsdpAnswer.h"

namespace velmora {

const char kSsdpSearchRequest[] = "M-SEARCH * HTTP/1.1\r\n"
                                  "HOST:239.255.255.250:1900\r\n"
                                  "ST:urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                                  "Man:\"ssdp:discover\"\r\n"
                                  "MX:3\r\n"
                                  "\r\n";

const char kGatewayDeviceType[] = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

bool NamesGatewayDevice(std::string_view description)
{
    // Routers that describe themselves as version 2 also answer a version 1 search.
    static constexpr std::string_view kGatewayType2 =
        "urn:schemas-upnp-org:device:InternetGatewayDevice:2";
    return description.find(kGatewayDeviceType) != std::string_view::npos ||
           description.find(kGatewayType2) != std::string_view::npos;
}

std::optional<std::string> DescribeUrlFromSsdpAnswer(std::string_view datagram)
{
    if (datagram.find("200 OK") == std::string_view::npos)
        return std::nullopt;
    // The LOCATION header is not looked up by name: the first URL is taken.
    const size_t start = datagram.find("http://");
    if (start == std::string_view::npos)
        return std::nullopt;
    const size_t end = datagram.find('\r', start);
    if (end == std::string_view::npos)
        return std::nullopt;
    return std::string(datagram.substr(start, end - start));
}

} // namespace velmora
