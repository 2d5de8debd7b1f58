#include "upnp/core/SsdpAnswer.h"

#include "upnp/core/TextCompare.h"

namespace velmora {

const char kSsdpSearchRequest[] = "M-SEARCH * HTTP/1.1\r\n"
                                  "HOST:239.255.255.250:1900\r\n"
                                  "ST:urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                                  "Man:\"ssdp:discover\"\r\n"
                                  "MX:3\r\n"
                                  "\r\n";

const char kGatewayDeviceType[] = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The next line of `text` from `at` (without its CR LF or LF); `at` moves past it.
std::string_view NextLine(std::string_view text, size_t& at)
{
    const size_t end = text.find('\n', at);
    std::string_view line = text.substr(at, end == std::string_view::npos ? end : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// "HTTP/1.0 200 OK", "HTTP/1.1 200": version 1.x, status 200.
bool IsSuccessStatusLine(std::string_view line)
{
    if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || line[7] < '0' || line[7] > '9' ||
        line[8] != ' ' || line.substr(9, 3) != "200")
        return false;
    return line.size() == 12 || line[12] == ' ';
}

} // namespace

bool NamesGatewayDevice(std::string_view description)
{
    // Routers that describe themselves as version 2 also answer a version 1 search.
    static constexpr std::string_view kGatewayType2 =
        "urn:schemas-upnp-org:device:InternetGatewayDevice:2";
    return description.find(kGatewayDeviceType) != std::string_view::npos ||
           description.find(kGatewayType2) != std::string_view::npos;
}

std::optional<SsdpSearchAnswer> ReadSsdpSearchAnswer(std::string_view datagram)
{
    size_t at = 0;
    if (!IsSuccessStatusLine(NextLine(datagram, at)))
        return std::nullopt;
    SsdpSearchAnswer answer;
    bool hasLocation = false;
    bool hasSt = false;
    while (at < datagram.size()) {
        const std::string_view line = NextLine(datagram, at);
        if (line.empty())
            break; // the end of the header
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view name = TrimBlanks(line.substr(0, colon));
        const std::string_view value = TrimBlanks(line.substr(colon + 1));
        if (!hasLocation && EqualsIgnoreCase(name, "LOCATION")) {
            answer.location = value;
            hasLocation = true;
        } else if (!hasSt && EqualsIgnoreCase(name, "ST")) {
            answer.st = value;
            hasSt = true;
        }
    }
    return answer;
}

std::optional<std::string> DescribeUrlFromSsdpAnswer(std::string_view datagram)
{
    const std::optional<SsdpSearchAnswer> answer = ReadSsdpSearchAnswer(datagram);
    if (!answer || answer->location.empty())
        return std::nullopt;
    return answer->location;
}

} // namespace velmora
