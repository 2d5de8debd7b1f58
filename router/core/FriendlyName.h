#pragma once

#include <string>
#include <string_view>

// Text of the first friendlyName element of a device description, in
// document order (the root device's), cut to at most `maxBytes` bytes on a
// UTF-8 character boundary; empty when there is none.
std::string FirstFriendlyName(std::string_view description, size_t maxBytes = 127);
