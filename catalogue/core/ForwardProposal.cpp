#include "catalogue/core/ForwardProposal.h"

#include "catalogue/core/CatalogueLine.h"

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
                 std::string_view ports, size_t width)
{
    for (auto& part : SplitPortListToWidth(ports, width))
        out.push_back({name, protocol, std::move(part)});
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
        out.push_back({name, "TCP", ""});
    else if (tcp == udp)
        AddPerWidth(out, name, "Both", tcp, portsWidth);
    else if (udp.empty())
        AddPerWidth(out, name, "TCP", tcp, portsWidth);
    else if (tcp.empty())
        AddPerWidth(out, name, "UDP", udp, portsWidth);
    else {
        AddPerWidth(out, name + " TCP", "TCP", tcp, portsWidth);
        AddPerWidth(out, name + " UDP", "UDP", udp, portsWidth);
    }
    return out;
}

std::string UniqueEntryName(std::string_view wanted, const std::vector<ForwardingEntry>& entries)
{
    const size_t width = FieldCapacity(ForwardingEntry{}.name);
    std::string name(wanted.substr(0, Utf8PrefixLength(wanted, width)));
    for (int n = 2; NameIsTaken(name, entries); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        name = std::string(wanted.substr(0, Utf8PrefixLength(wanted, width - suffix.size())));
        name += suffix;
    }
    return name;
}

} // namespace velmora
