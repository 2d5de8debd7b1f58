#pragma once

#include <cstdint>
#include <string>

// Splits an "http://host[:port]/path" URL. The scheme is not checked; the port
// is 80 when the authority has none. A URL without "://", without a '/' after
// the authority, or holding a control character (CR, LF, ...) is refused.
bool parseUrl(const std::string& url, std::string& host, uint16_t& port, std::string& path);
