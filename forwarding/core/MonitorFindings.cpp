#include "forwarding/core/MonitorFindings.h"

#include <algorithm>

namespace velmora {
namespace {

bool Changes(MonitorFindings::Kind kind)
{
    using Kind = MonitorFindings::Kind;
    return kind == Kind::Readded || kind == Kind::ReaddFailed || kind == Kind::Gone ||
           kind == Kind::Taken || kind == Kind::AutoAddFailed;
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
    std::vector<std::string> protocols;
    for (const auto& m : mappings) {
        if (std::find(protocols.begin(), protocols.end(), m.protocol) == protocols.end())
            protocols.push_back(m.protocol);
    }
    std::string text;
    for (size_t p = 0; p < protocols.size(); ++p) {
        std::vector<uint16_t> ports;
        for (const auto& m : mappings) {
            if (m.protocol == protocols[p])
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
        const std::string entry = "Port forwarding \"" + g.entry + "\": ";
        const std::string ports = DescribeMappings(g.mappings);
        std::string text;
        switch (g.kind) {
        case Kind::Readded:
            text = entry + ports + " was missing in the router and has been added again.";
            break;
        case Kind::ReaddFailed:
            text = entry + ports + " is missing in the router and could not be added again.";
            break;
        case Kind::Gone:
            text = entry + ports + " is no longer in the router.";
            break;
        case Kind::Taken:
            text = entry + ports + " now leads to " + g.holder + " instead of " +
                   g.mappings.front().internalClient + ".";
            break;
        case Kind::Back:
            text = entry + ports + " is in the router again.";
            break;
        case Kind::LeaseRenewed:
            text = entry + ports + " has been added again before its lease ran out.";
            break;
        case Kind::LeaseRenewFailed:
            text = entry + ports + " could not be added again before its lease runs out.";
            break;
        case Kind::AutoAdded:
            text = "Auto add: port forwarding \"" + g.entry + "\": " + ports +
                   " has been added into the router.";
            break;
        case Kind::AutoAddFailed:
            text = "Auto add: port forwarding \"" + g.entry + "\": " + ports +
                   " could not be added into the router.";
            break;
        }
        lines.push_back({std::move(text), Changes(g.kind)});
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
