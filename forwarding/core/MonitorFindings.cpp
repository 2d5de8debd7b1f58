#include "forwarding/core/MonitorFindings.h"

#include "platform/ControlText.h"

#include <algorithm>
#include <iterator>

namespace velmora {
namespace {

// How each kind of finding reads, and whether it is news for a balloon.
struct KindText
{
    MonitorFindings::Kind kind;
    const char* lead; // before the entry's name
    const char* tail; // after its ports
    bool changes;
};

constexpr const char* kEntryLead = "Port forwarding \"";
constexpr const char* kAutoAddLead = "Auto add: port forwarding \"";

constexpr KindText kKindTexts[] = {
    {MonitorFindings::Kind::Readded, kEntryLead,
     " was missing in the router and has been added again.", true},
    {MonitorFindings::Kind::ReaddFailed, kEntryLead,
     " is missing in the router and could not be added again.", true},
    {MonitorFindings::Kind::Gone, kEntryLead, " is no longer in the router.", true},
    {MonitorFindings::Kind::Taken, kEntryLead, " now leads to ", true},
    {MonitorFindings::Kind::Back, kEntryLead, " is in the router again.", false},
    {MonitorFindings::Kind::LeaseRenewed, kEntryLead,
     " has been added again before its lease ran out.", false},
    {MonitorFindings::Kind::LeaseRenewFailed, kEntryLead,
     " could not be added again before its lease runs out.", false},
    {MonitorFindings::Kind::AutoAdded, kAutoAddLead, " has been added into the router.", false},
    {MonitorFindings::Kind::AutoAddFailed, kAutoAddLead, " could not be added into the router.",
     true},
};

const KindText& TextOf(MonitorFindings::Kind kind)
{
    return *std::find_if(std::begin(kKindTexts), std::end(kKindTexts),
                         [kind](const KindText& t) { return t.kind == kind; });
}

std::string PortsOf(std::vector<uint16_t> ports)
{
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    std::string text;
    for (size_t i = 0; i < ports.size();) {
        size_t last = i;
        while (last + 1 < ports.size() && ports[last + 1] == ports[last] + 1)
            ++last;
        if (!text.empty())
            text += ", ";
        text += std::to_string(ports[i]);
        if (last > i)
            text += "-" + std::to_string(ports[last]);
        i = last + 1;
    }
    return text;
}

} // namespace

std::string DescribeMappings(const std::vector<MappingRequest>& mappings)
{
    // IPv6 pinholes go by their own name: "TCP 80 and IPv6 TCP 80".
    const auto label = [](const MappingRequest& m) {
        return IsPinholeRequest(m) ? "IPv6 " + m.protocol : m.protocol;
    };
    std::vector<std::string> protocols;
    for (const auto& m : mappings) {
        if (std::find(protocols.begin(), protocols.end(), label(m)) == protocols.end())
            protocols.push_back(label(m));
    }
    std::string text;
    for (size_t p = 0; p < protocols.size(); ++p) {
        std::vector<uint16_t> ports;
        for (const auto& m : mappings) {
            if (label(m) == protocols[p])
                ports.push_back(m.port);
        }
        if (p > 0)
            text += p + 1 == protocols.size() ? " and " : ", ";
        text += protocols[p] + " " + PortsOf(std::move(ports));
    }
    return text;
}

void MonitorFindings::add(Kind kind, const MappingRequest& mapping, const std::string& holder)
{
    auto group = std::find_if(groups_.begin(), groups_.end(), [&](const Group& g) {
        return g.kind == kind && g.entry == mapping.description && g.holder == holder;
    });
    if (group == groups_.end())
        group = groups_.insert(groups_.end(), Group{kind, mapping.description, holder, {}});
    group->mappings.push_back(mapping);
}

void MonitorFindings::note(std::string line, bool changed)
{
    notes_.push_back({std::move(line), changed});
}

MonitorReport MonitorFindings::report() const
{
    std::vector<Line> lines = notes_;
    for (const auto& g : groups_) {
        const KindText& kind = TextOf(g.kind);
        std::string text = kind.lead + g.entry + "\": " + DescribeMappings(g.mappings) + kind.tail;
        if (g.kind == Kind::Taken)
            text += g.holder + " instead of " + g.mappings.front().internalClient + ".";
        // An entry's name comes from config.xml and a holder from the router:
        // neither may break the line it stands in.
        lines.push_back({EscapeControlCharacters(text), kind.changes});
    }

    MonitorReport report;
    size_t shown = 0;
    size_t more = 0;
    for (auto& line : lines) {
        if (line.changed) {
            if (shown < kBalloonLines) {
                report.balloon += (shown ? "\n" : "") + line.text;
                ++shown;
            } else {
                ++more;
            }
        }
        report.lines.push_back(std::move(line.text));
    }
    if (more > 0)
        report.balloon += "\n... and " + std::to_string(more) + " more (see the log).";
    return report;
}

} // namespace velmora
