#include "catalogue/core/ForwardProposal.h"

#include "catalogue/core/CatalogueLine.h"
#include "config/core/ConfigLoader.h"

#include <algorithm>

namespace velmora {

namespace {

std::string_view Trimmed(std::string_view text)
{
    const char* blanks = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

void AddPerWidth(std::vector<ForwardProposal>& out, const std::string& name, const char* protocol,
                 std::string_view ports, size_t width, const char* suffix = "")
{
    for (auto& part : SplitPortListToWidth(ports, width))
        out.push_back({name, protocol, std::move(part), suffix});
}

bool NameIsTaken(std::string_view name, const std::vector<ForwardingEntry>& entries)
{
    return std::any_of(entries.begin(), entries.end(),
                       [&](const ForwardingEntry& entry) { return Field(entry.name) == name; });
}

} // namespace

std::vector<std::string> SplitPortListToWidth(std::string_view list, size_t width)
{
    std::vector<std::string> parts;
    std::string current;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        size_t end = comma == std::string_view::npos ? list.size() : comma;
        std::string_view item = Trimmed(list.substr(start, end - start));
        if (!item.empty()) {
            if (!current.empty() && current.size() + 1 + item.size() > width) {
                parts.push_back(std::move(current));
                current.clear();
            }
            if (!current.empty())
                current += ',';
            current += item;
        }
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

std::vector<ForwardProposal> ProposeForwarding(const CatalogueRecord& record, size_t portsWidth)
{
    const std::string name(Trimmed(record.name));
    const std::string_view tcp = Trimmed(record.tcpPorts);
    const std::string_view udp = Trimmed(record.udpPorts);
    std::vector<ForwardProposal> out;
    if (tcp.empty() && udp.empty())
        out.push_back({name, "TCP", "", ""});
    else if (tcp == udp)
        AddPerWidth(out, name, "Both", tcp, portsWidth);
    else if (udp.empty())
        AddPerWidth(out, name, "TCP", tcp, portsWidth);
    else if (tcp.empty())
        AddPerWidth(out, name, "UDP", udp, portsWidth);
    else {
        AddPerWidth(out, name, "TCP", tcp, portsWidth, " TCP");
        AddPerWidth(out, name, "UDP", udp, portsWidth, " UDP");
    }
    return out;
}

std::string UniqueEntryName(std::string_view wanted, const std::vector<ForwardingEntry>& entries,
                            std::string_view suffix)
{
    // What the entry dialog and config.xml keep of a name, not the field's size.
    const size_t width = StorableLength(ForwardingEntry{}.name);
    const auto named = [&](const std::string& number) {
        const size_t tail = std::min(width, suffix.size() + number.size());
        std::string name(wanted.substr(0, Utf8PrefixLength(wanted, width - tail)));
        return name.append(suffix).append(number).substr(0, width);
    };
    std::string name = named("");
    for (int n = 2; NameIsTaken(name, entries); ++n)
        name = named(" (" + std::to_string(n) + ")");
    return name;
}

} // namespace velmora
