#include "upnp/core/UrlParts.h"

namespace {

// The port text read as atoi() reads it, kept to 16 bits. Digits past the
// range of an int wrap instead of overflowing.
uint16_t PortNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<uint16_t>(value);
}

bool HasControlCharacter(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

// An IPv6 authority, "[address]" or "[address]:port"; a zone is written
// "%25zone" (RFC 6874) or "%zone" and comes back as "address%zone".
bool parseBracketedAuthority(const std::string& url, size_t authority, size_t slash,
                             std::string& host, uint16_t& port, std::string& path)
{
    const size_t close = url.find(']', authority);
    if (close == std::string::npos || close > slash)
        return false;
    host = url.substr(authority + 1, close - authority - 1);
    const size_t zone = host.find("%25");
    if (zone != std::string::npos)
        host.erase(zone + 1, 2);
    if (close + 1 == slash)
        port = 80;
    else if (url[close + 1] == ':')
        port = PortNumber(url.substr(close + 2, slash - close - 2));
    else
        return false;
    path = url.substr(slash);
    return true;
}

} // namespace

bool parseUrl(const std::string& url, std::string& host, uint16_t& port, std::string& path)
{
    // Parts of the URL end up in request lines and headers.
    if (HasControlCharacter(url))
        return false;
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return false;
    const size_t authority = scheme + 3;
    const size_t slash = url.find('/', authority);
    if (slash == std::string::npos)
        return false;
    if (url.compare(authority, 1, "[") == 0)
        return parseBracketedAuthority(url, authority, slash, host, port, path);
    // A ':' after the first '/' belongs to the path: the authority has no port.
    const size_t colon = url.find(':', authority);
    if (colon == std::string::npos || colon > slash) {
        host = url.substr(authority, slash - authority);
        port = 80;
    } else {
        host = url.substr(authority, colon - authority);
        port = PortNumber(url.substr(colon + 1, slash - colon - 1));
    }
    path = url.substr(slash);
    return true;
}

namespace velmora {

std::string HostInHeader(const std::string& host)
{
    if (host.find(':') == std::string::npos)
        return host;
    return "[" + host.substr(0, host.find('%')) + "]";
}

std::string UrlWithHost(const std::string& url, const std::string& host)
{
    std::string oldHost;
    std::string path;
    uint16_t port = 0;
    if (!parseUrl(url, oldHost, port, path))
        return {};
    std::string authority = host;
    if (host.find(':') != std::string::npos) {
        const size_t zone = host.find('%');
        authority = "[" + host.substr(0, zone) +
                    (zone == std::string::npos ? "" : "%25" + host.substr(zone + 1)) + "]";
    }
    return url.substr(0, url.find("://") + 3) + authority + ":" + std::to_string(port) + path;
}

} // namespace velmora
