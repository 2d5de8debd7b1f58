#pragma once

#include <string>

namespace velmora {

// The root device's friendlyName in a device description (the body alone or
// the whole HTTP response); empty when there is none.
std::string FirstFriendlyName(const std::string& description);

} // namespace velmora
