#include "forwarding/core/MonitorFindings.h"

#include "forwarding/core/MonitorTexts.h"
#include "platform/ControlText.h"

#include <algorithm>
#include <iterator>

namespace velmora {
namespace {

// How each kind of finding reads, and whether it is news for a balloon.
struct KindText
{
    MonitorFindings::Kind kind;
    const TextTemplate& text;
    bool changes;
};

constexpr KindText kKindTexts[] = {
    {MonitorFindings::Kind::Readded, monitor_texts::kReadded, true},
    {MonitorFindings::Kind::ReaddFailed, monitor_texts::kReaddFailed, true},
    {MonitorFindings::Kind::Gone, monitor_texts::kGone, true},
    {MonitorFindings::Kind::Taken, monitor_texts::kTaken, true},
    {MonitorFindings::Kind::Back, monitor_texts::kBack, false},
    {MonitorFindings::Kind::LeaseRenewed, monitor_texts::kLeaseRenewed, false},
    {MonitorFindings::Kind::LeaseRenewFailed, monitor_texts::kLeaseRenewFailed, false},
    {MonitorFindings::Kind::AutoAdded, monitor_texts::kAutoAdded, false},
    {MonitorFindings::Kind::AutoAddFailed, monitor_texts::kAutoAddFailed, true},
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

Message DescribeMappingsText(const std::vector<MappingRequest>& mappings)
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
    std::vector<Message> parts;
    for (const auto& protocol : protocols) {
        std::vector<uint16_t> ports;
        for (const auto& m : mappings) {
            if (label(m) == protocol)
                ports.push_back(m.port);
        }
        parts.emplace_back(protocol + " " + PortsOf(std::move(ports)));
    }
    if (parts.empty())
        return {};
    // From the end: the last two joined by "and", the others put before them.
    Message text = parts.back();
    for (size_t p = parts.size() - 1; p-- > 0;) {
        const bool last = p + 2 == parts.size();
        text = Message(last ? monitor_texts::kListLast : monitor_texts::kListMore,
                       {parts[p], std::move(text)});
    }
    return text;
}

std::string DescribeMappings(const std::vector<MappingRequest>& mappings)
{
    return English(DescribeMappingsText(mappings));
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

void MonitorFindings::note(Message line, bool changed)
{
    notes_.push_back({std::move(line), changed});
}

MonitorReport MonitorFindings::report() const
{
    std::vector<Line> lines = notes_;
    for (const auto& g : groups_) {
        const KindText& kind = TextOf(g.kind);
        // An entry's name comes from config.xml and a holder from the router:
        // neither may break the line it stands in.
        std::vector<Message> values{EscapeControlCharacters(g.entry),
                                    DescribeMappingsText(g.mappings)};
        if (g.kind == Kind::Taken) {
            values.emplace_back(EscapeControlCharacters(g.holder));
            values.emplace_back(EscapeControlCharacters(g.mappings.front().internalClient));
        }
        lines.push_back({Message(kind.text, std::move(values)), kind.changes});
    }

    MonitorReport report;
    size_t shown = 0;
    size_t more = 0;
    for (auto& line : lines) {
        if (line.changed) {
            if (shown < kBalloonLines) {
                if (shown)
                    report.balloon.emplace_back("\n");
                report.balloon.push_back(line.text);
                ++shown;
            } else {
                ++more;
            }
        }
        report.lines.push_back(English(line.text));
    }
    if (more > 0) {
        report.balloon.emplace_back("\n");
        report.balloon.push_back(Message(monitor_texts::kMore, {std::to_string(more)}));
    }
    return report;
}

} // namespace velmora
