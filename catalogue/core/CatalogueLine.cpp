#include "catalogue/core/CatalogueLine.h"

#include <array>

namespace velmora {

namespace {

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first character of `text`: one byte, or a whole UTF-8 sequence.
std::string_view FirstCharacter(std::string_view text)
{
    if (text.empty())
        return text;
    size_t length = 1;
    while (length < text.size() && length < 4 && IsContinuation(text[length]))
        ++length;
    return text.substr(0, length);
}

bool BreaksLine(std::string_view field)
{
    return field.find_first_of("|\r\n") != std::string_view::npos;
}

} // namespace

CatalogueRecord SplitCatalogueLine(std::string_view line)
{
    std::array<std::string, 3> pieces;
    size_t taken = 0;
    size_t start = 0;
    while (start <= line.size() && taken < pieces.size()) {
        size_t bar = line.find('|', start);
        size_t end = bar == std::string_view::npos ? line.size() : bar;
        if (end > start)
            pieces[taken++] = std::string(line.substr(start, end - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    return {std::move(pieces[0]), std::move(pieces[1]), std::move(pieces[2])};
}

bool PassesCatalogueFilter(std::string_view name, std::string_view filter)
{
    if (filter == "ALL")
        return true;
    const std::string_view wanted = FirstCharacter(filter);
    const std::string_view first = FirstCharacter(name);
    if (first == wanted)
        return true;
    if (wanted.size() == 1 && first.size() == 1 && wanted[0] >= 'A' && wanted[0] <= 'Z')
        return first[0] == wanted[0] - 'A' + 'a';
    return false;
}

std::string FormatCatalogueLine(std::string_view name, std::string_view tcpPorts,
                                std::string_view udpPorts)
{
    std::string line;
    line.reserve(name.size() + tcpPorts.size() + udpPorts.size() + 4);
    line.append(name).append("|");
    line.append(tcpPorts.empty() ? std::string_view(" ") : tcpPorts).append("|");
    line.append(udpPorts).append("\n");
    return line;
}

std::optional<CatalogueField> FieldBreakingLine(std::string_view name, std::string_view tcpPorts,
                                                std::string_view udpPorts)
{
    if (BreaksLine(name))
        return CatalogueField::Name;
    if (BreaksLine(tcpPorts))
        return CatalogueField::TcpPorts;
    if (BreaksLine(udpPorts))
        return CatalogueField::UdpPorts;
    return std::nullopt;
}

size_t Utf8PrefixLength(std::string_view text, size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    // A sequence is at most four bytes: a longer run of continuation bytes
    // is not UTF-8, and is cut where the limit falls.
    size_t cut = limit;
    while (cut > 0 && limit - cut < 3 && IsContinuation(text[cut]))
        --cut;
    return cut > 0 && !IsContinuation(text[cut]) ? cut : limit;
}

} // namespace velmora
