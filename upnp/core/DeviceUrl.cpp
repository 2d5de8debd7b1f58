#include "upnp/core/DeviceUrl.h"

#include "platform/Log.h"
#include "upnp/core/TextCompare.h"

#include <arpa/inet.h>
#include <cstring>
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

// A host as a URL or the sender's address names it: an IPv4 address (in any
// form inet_aton reads) or an IPv6 literal with an optional zone.
struct HostAddress
{
    int family = AF_UNSPEC;
    in_addr v4{};
    in6_addr v6{};
    std::string zone; // IPv6 only: the interface, "" when none

    bool sameAddress(const HostAddress& other) const
    {
        if (family != other.family)
            return false;
        if (family == AF_INET)
            return v4.s_addr == other.v4.s_addr;
        return std::memcmp(&v6, &other.v6, sizeof v6) == 0;
    }

    // The address as text; an IPv6 zone follows a '%', or "%25" in a URL.
    std::string text(bool inUrl) const
    {
        char out[INET6_ADDRSTRLEN] = {};
        if (family == AF_INET)
            return ::inet_ntop(AF_INET, &v4, out, sizeof out) ? out : "";
        if (!::inet_ntop(AF_INET6, &v6, out, sizeof out))
            return "";
        const std::string address =
            zone.empty() ? out : out + std::string(inUrl ? "%25" : "%") + zone;
        return inUrl ? "[" + address + "]" : address;
    }
};

bool IsZoneChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

// An IPv6 literal, "address" or "address%zone".
std::optional<HostAddress> IPv6Host(std::string_view text)
{
    HostAddress host;
    host.family = AF_INET6;
    const size_t percent = text.find('%');
    if (percent != std::string_view::npos) {
        host.zone = std::string(text.substr(percent + 1));
        text = text.substr(0, percent);
        if (host.zone.empty() || host.zone.size() > 32)
            return std::nullopt;
        for (const char c : host.zone)
            if (!IsZoneChar(c))
                return std::nullopt;
    }
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN)
        return std::nullopt;
    if (::inet_pton(AF_INET6, std::string(text).c_str(), &host.v6) != 1)
        return std::nullopt;
    return host;
}

// A device's address as its sender gives it: dotted IPv4 or IPv6 (with zone).
std::optional<HostAddress> SenderAddress(std::string_view text)
{
    if (text.find(':') != std::string_view::npos)
        return IPv6Host(text);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    HostAddress host;
    host.family = AF_INET;
    if (::inet_aton(std::string(text).c_str(), &host.v4) == 0)
        return std::nullopt;
    return host;
}

// The host and port of a URL's authority: "host[:port]" or "[v6[%25zone]][:port]".
DeviceUrlFault SplitAuthority(std::string_view authority, std::optional<HostAddress>& host,
                              std::optional<uint16_t>& port)
{
    std::string_view portText;
    bool hasPort = false;
    if (authority.substr(0, 1) == "[") {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return DeviceUrlFault::Unreadable;
        std::string literal(authority.substr(1, close - 1));
        // RFC 6874 writes the zone's '%' as "%25".
        if (const size_t zone = literal.find("%25"); zone != std::string::npos)
            literal.erase(zone + 1, 2);
        host = IPv6Host(literal);
        if (!host)
            return DeviceUrlFault::Unreadable;
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return DeviceUrlFault::Unreadable;
            hasPort = true;
            portText = after.substr(1);
        }
    } else {
        const size_t colon = authority.find(':');
        const std::string_view name = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            hasPort = true;
            portText = authority.substr(colon + 1);
        }
        // Only an IPv4 address: a host name cannot be known to name the device.
        if (!name.empty() && name.size() <= 64) {
            HostAddress v4;
            v4.family = AF_INET;
            if (::inet_aton(std::string(name).c_str(), &v4.v4) != 0)
                host = v4;
        }
    }
    if (hasPort) {
        port = PortNumber(portText);
        if (!port)
            return DeviceUrlFault::Unreadable;
    }
    return DeviceUrlFault::None;
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
    std::optional<HostAddress> host;
    std::optional<uint16_t> port;
    if (const DeviceUrlFault fault = SplitAuthority(parts.authority, host, port);
        fault != DeviceUrlFault::None)
        return Refused(fault);
    std::optional<HostAddress> device = SenderAddress(deviceAddress);
    if (!host || !device || !host->sameAddress(*device))
        return Refused(DeviceUrlFault::OtherHost);
    // A link-local device is reached on the link it answered on, whatever
    // zone the URL names.
    if (!host->zone.empty() && host->zone != device->zone)
        return Refused(DeviceUrlFault::OtherHost);

    std::string_view rest = parts.rest.substr(0, parts.rest.find('#'));
    std::string rebuilt = "http://" + device->text(true);
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
    std::optional<HostAddress> host;
    std::optional<uint16_t> port;
    if (SplitAuthority(parts.authority, host, port) != DeviceUrlFault::None || !host)
        return {};
    return host->text(false);
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
