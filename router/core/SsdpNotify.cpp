#include "router/core/SsdpNotify.h"

#include <cctype>
#include <charconv>

namespace velmora {

namespace {

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<SsdpNotify> ParseSsdpNotify(std::string_view datagram)
{
    size_t end = datagram.find('\n');
    std::string_view first = Trim(datagram.substr(0, end));
    SsdpNotify notify;
    notify.answer = first.substr(0, 13) == "HTTP/1.1 200 ";
    if (first.substr(0, 7) != "NOTIFY " && !notify.answer)
        return std::nullopt;
    while (end != std::string_view::npos) {
        const size_t start = end + 1;
        end = datagram.find('\n', start);
        const std::string_view line = datagram.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view name = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (SameText(name, "NTS")) {
            notify.nts = value;
        } else if (SameText(name, "LOCATION")) {
            notify.location = value;
        } else if (SameText(name, "BOOTID.UPNP.ORG")) {
            uint32_t id = 0;
            auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), id);
            if (ec == std::errc() && ptr == value.data() + value.size())
                notify.bootId = id;
        }
    }
    return notify;
}

} // namespace velmora
