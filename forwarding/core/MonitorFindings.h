#pragma once

#include "forwarding/core/MappingPlan.h"
#include "platform/Message.h"

#include <string>
#include <vector>

namespace velmora {

// What one look at the router found, ready for the user: one activity-log
// line per finding (in English) and, when something changed, the text of one
// balloon (for the window to word).
struct MonitorReport
{
    std::vector<std::string> lines;
    MessageList balloon; // empty: nothing worth a balloon
    bool empty() const { return lines.empty(); }
};

// Collects findings about mappings, one per entry and kind, so that an entry
// with two hundred ports gives one line and not two hundred.
class MonitorFindings final
{
public:
    enum class Kind
    {
        Readded,          // was missing, installed again
        ReaddFailed,      // is missing, could not be installed again
        Gone,             // is missing (not one to install again)
        Taken,            // the port leads somewhere else now
        Back,             // reported before, now in the router as it should be
        LeaseRenewed,     // installed again before its lease ran out
        LeaseRenewFailed, // could not be installed again before its lease runs out
        AutoAdded,        // installed at start-up
        AutoAddFailed     // could not be installed at start-up
    };

    void add(Kind kind, const MappingRequest& mapping, const std::string& holder = {});
    // A line about the router itself, before the lines about entries.
    void note(Message line, bool changed);

    MonitorReport report() const;

    // At most this many lines in a balloon; the rest are counted.
    static constexpr size_t kBalloonLines = 4;

private:
    struct Group
    {
        Kind kind;
        std::string entry;
        std::string holder;
        std::vector<MappingRequest> mappings;
    };
    struct Line
    {
        Message text;
        bool changed;
    };

    std::vector<Line> notes_;
    std::vector<Group> groups_;
};

// "TCP 80, 443-447 and UDP 3074": the ports of some mappings by protocol,
// protocols in order of appearance, ports ascending with runs as ranges.
Message DescribeMappingsText(const std::vector<MappingRequest>& mappings);
std::string DescribeMappings(const std::vector<MappingRequest>& mappings); // in English

} // namespace velmora
