#pragma once

#include <string>

namespace velmora {

// printf-style formatting into a std::string of whatever length it needs.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace velmora
