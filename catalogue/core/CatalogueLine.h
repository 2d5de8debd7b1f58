#pragma once

#include "catalogue/core/CatalogueRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The text form of one catalogue line: "name|tcp|udp" and a line end.

namespace velmora {

// The most characters (bytes) of a line, line end included, that the reader
// takes at once; a longer line comes back in pieces.
inline constexpr size_t kCatalogueLineLimit = 1023;

// What a new line's fields may hold, in UTF-8 bytes, so that the written line
// ("%s|%s|%s\n", an empty TCP field written as one space) fits the limit:
// 255 + 382 + 383 + two separators + the line end = 1023.
inline constexpr size_t kCatalogueNameLimit = 255;
inline constexpr size_t kCatalogueTcpLimit = 382;
inline constexpr size_t kCatalogueUdpLimit = 383;

enum class CatalogueField
{
    Name,
    TcpPorts,
    UdpPorts
};

// Splits one piece of the file at "|", skipping empty pieces: the first is
// the name, the second the TCP ports, the third the UDP ports; missing ones
// are empty, further ones ignored.
CatalogueRecord SplitCatalogueLine(std::string_view line);

// The filter rule: "ALL" keeps everything; otherwise the name's first
// character must equal the filter's first character or that character in
// lower case. Characters are compared whole (a UTF-8 sequence is one).
bool PassesCatalogueFilter(std::string_view name, std::string_view filter);

// The line written for a new application, line end included.
std::string FormatCatalogueLine(std::string_view name, std::string_view tcpPorts,
                                std::string_view udpPorts);

// The first field that holds a "|" or a line end (either would split the line
// when it is read back), or nothing.
std::optional<CatalogueField> FieldBreakingLine(std::string_view name, std::string_view tcpPorts,
                                                std::string_view udpPorts);

// Length of the longest prefix of `text` of at most `limit` bytes that does
// not end inside a UTF-8 sequence.
size_t Utf8PrefixLength(std::string_view text, size_t limit);

} // namespace velmora
