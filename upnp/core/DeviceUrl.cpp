#include "upnp/core/DeviceUrl.h"

#include "platform/Log.h"
#include "upnp/core/TextCompare.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <optional>

namespace velmora {
namespace {

// The parts of an absolute http URL.
struct HttpUrl
{
    std::string_view authority; // host[:port]
    std::string_view rest;      // path, query and fragment: empty or starting with '/', '?', '#'
};

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasSpaceOrControl(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

bool IsSchemeChar(char c, bool first)
{
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// Whether `text` starts with a scheme ("name:"); `scheme` gets its name.
bool SplitScheme(std::string_view text, std::string_view& scheme)
{
    size_t i = 0;
    while (i < text.size() && IsSchemeChar(text[i], i == 0))
        ++i;
    if (i == 0 || i >= text.size() || text[i] != ':')
        return false;
    scheme = text.substr(0, i);
    return true;
}

// Splits "http://authority/rest"; the fault when it is not such a URL.
DeviceUrlFault SplitHttp(std::string_view url, HttpUrl& parts)
{
    std::string_view scheme;
    if (!SplitScheme(url, scheme))
        return DeviceUrlFault::Unreadable;
    if (!EqualsIgnoreCase(scheme, "http"))
        return DeviceUrlFault::NotHttp;
    std::string_view after = url.substr(scheme.size() + 1);
    if (after.substr(0, 2) != "//")
        return DeviceUrlFault::Unreadable;
    after.remove_prefix(2);
    const size_t end = after.find_first_of("/?#");
    parts.authority = after.substr(0, end);
    parts.rest = end == std::string_view::npos ? std::string_view() : after.substr(end);
    return DeviceUrlFault::None;
}

std::optional<uint16_t> PortNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

// The IPv4 address a host text names, in any of the forms inet_aton reads.
std::optional<in_addr> HostAddress(std::string_view host)
{
    if (host.empty() || host.size() > 64)
        return std::nullopt;
    const std::string text(host);
    in_addr address{};
    if (::inet_aton(text.c_str(), &address) == 0)
        return std::nullopt;
    return address;
}

std::string Dotted(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    return ::inet_ntop(AF_INET, &address, text, sizeof text) ? text : "";
}

DeviceUrl Refused(DeviceUrlFault fault)
{
    return DeviceUrl{{}, fault};
}

// A printable copy of a URL for the log: no control characters, not too long.
std::string Printable(std::string_view text)
{
    constexpr size_t kMax = 160;
    std::string out;
    for (size_t i = 0; i < text.size() && i < kMax; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out += (c < 0x20 || c >= 0x7f) ? '?' : static_cast<char>(c);
    }
    if (text.size() > kMax)
        out += "...";
    return out;
}

} // namespace

DeviceUrl CheckDeviceUrl(std::string_view url, std::string_view deviceAddress)
{
    url = Trimmed(url);
    if (url.empty() || HasSpaceOrControl(url))
        return Refused(DeviceUrlFault::Unreadable);
    HttpUrl parts;
    if (const DeviceUrlFault fault = SplitHttp(url, parts); fault != DeviceUrlFault::None)
        return Refused(fault);
    if (parts.authority.find('@') != std::string_view::npos)
        return Refused(DeviceUrlFault::Unreadable); // no user information
    if (parts.authority.substr(0, 1) == "[")
        return Refused(DeviceUrlFault::OtherHost); // an IPv6 address is not the IPv4 device
    const size_t colon = parts.authority.find(':');
    const std::string_view host = parts.authority.substr(0, colon);
    std::optional<uint16_t> port;
    if (colon != std::string_view::npos) {
        port = PortNumber(parts.authority.substr(colon + 1));
        if (!port)
            return Refused(DeviceUrlFault::Unreadable);
    }
    const std::optional<in_addr> address = HostAddress(host);
    const std::optional<in_addr> device = HostAddress(deviceAddress);
    if (!address || !device || address->s_addr != device->s_addr)
        return Refused(DeviceUrlFault::OtherHost);

    std::string_view rest = parts.rest.substr(0, parts.rest.find('#'));
    std::string rebuilt = "http://" + Dotted(*address);
    if (port)
        rebuilt += ":" + std::to_string(*port);
    if (rest.empty() || rest.front() != '/')
        rebuilt += '/';
    rebuilt += rest;
    return DeviceUrl{std::move(rebuilt), DeviceUrlFault::None};
}

DeviceUrl JoinDeviceUrl(std::string_view base, std::string_view reference,
                        std::string_view deviceAddress)
{
    reference = Trimmed(reference);
    std::string_view scheme;
    if (SplitScheme(reference, scheme))
        return CheckDeviceUrl(reference, deviceAddress);
    base = Trimmed(base);
    HttpUrl parts;
    if (const DeviceUrlFault fault = SplitHttp(base, parts); fault != DeviceUrlFault::None)
        return Refused(fault);
    if (reference.substr(0, 2) == "//")
        return CheckDeviceUrl("http:" + std::string(reference), deviceAddress);

    const std::string origin = "http://" + std::string(parts.authority);
    const std::string_view withQuery = parts.rest.substr(0, parts.rest.find('#'));
    const std::string_view path = withQuery.substr(0, withQuery.find('?'));
    std::string joined;
    if (reference.empty() || reference.front() == '#')
        joined = origin + std::string(withQuery);
    else if (reference.front() == '/')
        joined = origin + std::string(reference);
    else if (reference.front() == '?')
        joined = origin + std::string(path) + std::string(reference);
    else {
        // A relative path replaces the last segment of the base's path.
        const size_t slash = path.rfind('/');
        const std::string_view directory =
            slash == std::string_view::npos ? std::string_view("/") : path.substr(0, slash + 1);
        joined = origin + std::string(directory) + std::string(reference);
    }
    return CheckDeviceUrl(joined, deviceAddress);
}

std::string UrlHostAddress(std::string_view url)
{
    HttpUrl parts;
    if (SplitHttp(Trimmed(url), parts) != DeviceUrlFault::None)
        return {};
    const std::string_view host = parts.authority.substr(0, parts.authority.find(':'));
    const std::optional<in_addr> address = HostAddress(host);
    return address ? Dotted(*address) : std::string();
}

const char* DeviceUrlFaultText(DeviceUrlFault fault)
{
    switch (fault) {
    case DeviceUrlFault::None:
        break;
    case DeviceUrlFault::Unreadable:
        return "is not a URL it can be reached at";
    case DeviceUrlFault::NotHttp:
        return "is not plain http";
    case DeviceUrlFault::OtherHost:
        return "is not on the address it answered from";
    }
    return "is usable";
}

void LogRefusedDevice(std::string_view deviceAddress, std::string_view what, std::string_view url,
                      DeviceUrlFault fault)
{
    WriteLog("UPnP device %s not used: its %s \"%s\" %s\n", Printable(deviceAddress).c_str(),
             std::string(what).c_str(), Printable(url).c_str(), DeviceUrlFaultText(fault));
}

} // namespace velmora
