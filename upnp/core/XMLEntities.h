#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Replaces the five predefined entity references (matched ignoring case) in
// `source`. Any other '&' sequence, numeric references included, is reported
// on standard output and kept verbatim.
std::string DecodeXmlEntities(std::string_view source);

} // namespace velmora
