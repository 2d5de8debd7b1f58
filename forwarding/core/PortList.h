#pragma once

#include "platform/Message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text form in which a forwarding entry names its ports: items separated
// by ",", each a single port ("8080") or a range ("443-447"). Empty items are
// skipped. Numbers are read the way atoi reads them.

namespace velmora {

// Reads a decimal integer like the C library's atoi: leading white space
// skipped, an optional sign, digits up to the first other character; no
// digits reads as 0. Unlike atoi, a value past the range of int saturates
// instead of being undefined.
int AtoiLike(std::string_view text);

struct PortListItem
{
    std::string text; // the item as typed
    bool isRange = false;
    int start = 0; // the port itself for a single port
    int end = 0;   // equal to start for a single port
};

// The non-empty items of a port list, left to right.
std::vector<PortListItem> SplitPortList(std::string_view list);

// The entry dialog's check: the first range item whose end is smaller than
// its start, as typed, or nothing when every range is in order. Single ports
// and the numbers' range are not looked at.
std::optional<std::string> FirstBadRange(std::string_view list);

//: %1 is the port range as typed.
inline constexpr TextTemplate kBadRangeText{
    "PortList", QT_TRANSLATE_NOOP("PortList", "The port range %1 error. The end port should be "
                                              "bigger than start port!")};

// The message the entry dialog shows for that item.
Message BadRangeMessage(std::string_view item);

// The ports a list names, for installing it in a router: every port of every
// item in list order, ranges expanded, each port once. Numbers outside
// 1-65535 (and whole items that read as such, like "abc" or a reversed range)
// are not ports; they are counted in `invalid` instead.
struct PortSet
{
    std::vector<uint16_t> ports;
    int64_t invalid = 0;
};
PortSet ExpandPortList(std::string_view list);

} // namespace velmora
