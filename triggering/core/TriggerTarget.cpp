#include "triggering/core/TriggerTarget.h"

#include <arpa/inet.h>
#include <climits>
#include <netdb.h>
#include <sys/socket.h>

namespace velmora {

namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string LookupIPv4Host(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &results) != 0 || results == nullptr)
        return {};
    std::string text;
    char dotted[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(results->ai_addr);
    if (::inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted) != nullptr)
        text = dotted;
    ::freeaddrinfo(results);
    return text;
}

std::string ResolveTriggerTarget(std::string_view address, const HostLookup& lookup)
{
    if (address.size() > kTargetCapacity)
        return {};
    if (!address.empty() && IsAsciiLetter(address.front()) && lookup) {
        std::string found = lookup(std::string(address));
        if (!found.empty() && found.size() <= kTargetCapacity)
            return found;
    }
    return std::string(address);
}

int ParseDecimal(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturate; digits may go on
    }
    if (negative)
        return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

} // namespace velmora
