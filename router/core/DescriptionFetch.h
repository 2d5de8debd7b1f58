#pragma once

#include <string>

namespace velmora {

// Reads a router's device description with the program's own HTTP client:
// one connection, an answer of at most UpnpClient::kMaxResponseBytes, within
// a bounded time, where miniwget would take any size at any pace.

enum class DescriptionFetch
{
    Fetched,
    Failed,      // no connection, no whole answer in time, too long, or not 200
    NotAnAddress // the URL names a host, not a dotted IPv4 address
};

// `body` receives the description (de-chunked), `lanAddress` the local
// address facing the router.
DescriptionFetch FetchDescription(const std::string& url, std::string& body,
                                  std::string& lanAddress);

// The body of a chunked transfer coding; false when it is cut or malformed.
bool Dechunk(const std::string& chunked, std::string& body);

} // namespace velmora
