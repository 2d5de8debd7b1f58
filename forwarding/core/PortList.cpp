#include "forwarding/core/PortList.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <climits>
#include <memory>

namespace velmora {

int AtoiLike(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value <= INT_MAX)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::vector<PortListItem> SplitPortList(std::string_view list)
{
    std::vector<PortListItem> items;
    size_t begin = 0;
    while (begin <= list.size()) {
        size_t comma = list.find(',', begin);
        if (comma == std::string_view::npos)
            comma = list.size();
        std::string_view text = list.substr(begin, comma - begin);
        begin = comma + 1;
        if (text.empty())
            continue;
        PortListItem item;
        item.text = std::string(text);
        size_t dash = text.find('-');
        if (dash == std::string_view::npos) {
            item.start = item.end = AtoiLike(text);
        } else {
            item.isRange = true;
            item.start = AtoiLike(text.substr(0, dash));
            item.end = AtoiLike(text.substr(dash + 1));
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<std::string> FirstBadRange(std::string_view list)
{
    for (const auto& item : SplitPortList(list)) {
        if (item.isRange && item.end < item.start)
            return item.text;
    }
    return std::nullopt;
}

Message BadRangeMessage(std::string_view item)
{
    return Message(kBadRangeText, {std::string(item)});
}

PortSet ExpandPortList(std::string_view list)
{
    constexpr int64_t kFirstPort = 1;
    constexpr int64_t kLastPort = 65535;
    PortSet set;
    auto seen = std::make_unique<std::bitset<65536>>();
    for (const auto& item : SplitPortList(list)) {
        int64_t start = item.start;
        int64_t end = item.end;
        if (end < start) { // a reversed range names no port at all
            ++set.invalid;
            continue;
        }
        int64_t validStart = std::max(start, kFirstPort);
        int64_t validEnd = std::min(end, kLastPort);
        int64_t validCount = validEnd >= validStart ? validEnd - validStart + 1 : 0;
        set.invalid += (end - start + 1) - validCount;
        for (int64_t port = validStart; port <= validEnd; ++port) {
            if (!seen->test(static_cast<size_t>(port))) {
                seen->set(static_cast<size_t>(port));
                set.ports.push_back(static_cast<uint16_t>(port));
            }
        }
    }
    return set;
}

} // namespace velmora
