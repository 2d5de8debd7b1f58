#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

// The dotted IPv4 text a worker sends to, resolved once when it begins.
// Holds at most kTargetCapacity characters, like the working buffer it stands for.
inline constexpr size_t kTargetCapacity = 99;

// Looks a host name up (IPv4 only); the first address as dotted text, or "".
using HostLookup = std::function<std::string(const std::string& name)>;

// The system look-up (getaddrinfo, AF_INET): thread-safe, unlike gethostbyname.
std::string LookupIPv4Host(const std::string& name);

// Turns a trigger address into the target text. A first character that is an
// ASCII letter means a host-name look-up; its first address wins. Otherwise,
// or when the look-up fails, the address stands as it is. An address longer
// than kTargetCapacity fits no target and gives "" (no usable target) without
// any look-up.
std::string ResolveTriggerTarget(std::string_view address,
                                 const HostLookup& lookup = LookupIPv4Host);

// A number read from text the way atoi reads it (leading blanks, a sign, then
// digits; 0 without digits), but held within the range of int instead of
// overflowing.
int ParseDecimal(std::string_view text);

} // namespace velmora
