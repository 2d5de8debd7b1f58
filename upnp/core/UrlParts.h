#pragma once

#include <cstdint>
#include <string>

// Splits an "http://host[:port]/path" URL. The scheme is not checked; the port
// is 80 when the authority has none. An IPv6 host is written in brackets
// ("http://[fe80::1%25eth0]:5000/") and comes back without them
// ("fe80::1%eth0"). A URL without "://", without a '/' after the authority,
// or holding a control character (CR, LF, ...) is refused.
bool parseUrl(const std::string& url, std::string& host, uint16_t& port, std::string& path);

namespace velmora {

// The host as an HTTP Host header names it: an IPv6 literal in brackets and
// without its zone ("[fe80::1]"), anything else as it is.
std::string HostInHeader(const std::string& host);

// `url` with its host (and port kept) replaced by `host`, which is put in
// brackets when it is an IPv6 literal (a zone written "%25zone"); empty when
// `url` does not parse.
std::string UrlWithHost(const std::string& url, const std::string& host);

} // namespace velmora
