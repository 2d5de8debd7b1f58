#pragma once

#include <string>

namespace velmora {

// Reads NewExternalIPAddress from a GetExternalIPAddress answer (the whole
// HTTP response). On failure `error` holds the message of the missing element.
bool ReadExternalIPAddress(const std::string& response, std::string& address, std::string& error);

} // namespace velmora
