// The pieces of the mapping monitor that need no router: what a lookup
// answer means, what is watched, how findings read, the NAT-PMP epoch rule
// and the SSDP announcement reader.

#include "forwarding/core/MonitorFindings.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/PinholePlan.h"
#include "forwarding/core/UpnpMonitoredRouter.h"
#include "forwarding/core/WatchList.h"
#include "router/core/ProblemTexts.h"
#include "router/core/SsdpNotify.h"

#include <gtest/gtest.h>
#include <optional>

namespace velmora {
namespace {

using Kind = MonitorFindings::Kind;
using State = MappingLookup::State;

MappingRequest Request(const char* protocol, uint16_t port, const char* entry = "web",
                       const char* client = "192.168.77.2")
{
    return {port, protocol, client, entry};
}

ForwardingEntry Entry(const char* name, const char* type, const char* protocol, const char* ports)
{
    auto entry = ZeroedRecord<ForwardingEntry>();
    SetField(entry.name, name);
    SetField(entry.type, type);
    SetField(entry.protocol, protocol);
    SetField(entry.listen_port, ports);
    SetField(entry.destination_ip, "192.168.77.2");
    return entry;
}

TEST(AssessLookup, ReadsTheRoutersAnswer)
{
    struct Case
    {
        int code;
        const char* client;
        const char* port;
        const char* lease;
        State state;
        const char* holder;
        uint32_t leaseSeconds;
    };
    const Case cases[] = {
        {-3, "", "", "", State::NoAnswer, "", 0},                       // no connection
        {-1, "", "", "", State::NoAnswer, "", 0},                       // unreadable answer
        {714, "", "", "", State::Missing, "", 0},                       // NoSuchEntryInArray
        {501, "", "", "", State::Unknown, "", 0},                       // action failed
        {606, "", "", "", State::Unknown, "", 0},                       // not authorized
        {402, "", "", "", State::Unknown, "", 0},                       // invalid args
        {0, "192.168.77.2", "8080", "0", State::Held, "", 0},           // permanent
        {0, "192.168.77.2", "8080", "604800", State::Held, "", 604800}, // IGD:2's week
        {0, "192.168.77.2", "8080", "", State::Held, "", 0},            // no lease given
        {0, "192.168.77.3", "8080", "0", State::Taken, "192.168.77.3:8080", 0},
        {0, "192.168.77.2", "9090", "0", State::Taken, "192.168.77.2:9090", 0},
    };
    for (const auto& c : cases) {
        PortMappingRow row;
        row.internalClient = c.client;
        row.internalPort = c.port;
        row.leaseDuration = c.lease;
        const auto lookup = AssessLookup(Request("TCP", 8080), c.code, row);
        EXPECT_EQ(lookup.state, c.state) << c.code << " " << c.client << ":" << c.port;
        EXPECT_EQ(lookup.holder, c.holder) << c.code;
        EXPECT_EQ(lookup.leaseSeconds, c.leaseSeconds) << c.lease;
        EXPECT_EQ(lookup.error, c.state == State::Unknown ? c.code : 0) << c.code;
    }
}

TEST(WatchList, AutomaticEntriesFirstThenWhatWasInstalledForEntriesStillListed)
{
    const std::vector<ForwardingEntry> entries{Entry("manual", "", "TCP", "5000"),
                                               Entry("auto", "Y", "Both", "3074"),
                                               Entry("off", "N", "UDP", "6000")};
    const std::vector<MappingRequest> installed{
        Request("TCP", 5000, "manual"), Request("TCP", 3074, "auto"),
        Request("TCP", 7000, "deleted since"), Request("UDP", 6000, "off")};
    const auto seen = [&](const std::set<MappingKey>& deleted) {
        std::vector<std::string> out;
        for (const auto& w : WatchList(entries, installed, deleted))
            out.push_back(w.request.description + " " + w.request.protocol + " " +
                          std::to_string(w.request.port) + (w.reinstall ? " Y" : ""));
        return out;
    };
    EXPECT_EQ(seen({}), (std::vector<std::string>{"auto TCP 3074 Y", "auto UDP 3074 Y",
                                                  "manual TCP 5000", "off UDP 6000"}));
    // What the user deleted from the router is left alone, whoever installed it.
    EXPECT_EQ(seen({KeyOfMapping("udp", 3074), KeyOfMapping("TCP", 5000)}),
              (std::vector<std::string>{"auto TCP 3074 Y", "off UDP 6000"}));
}

// An edited or deleted entry is no longer watched under what it made before.
TEST(ForgetInstalled, KeepsOnlyWhatTheEntryStillMakes)
{
    const auto before = Entry("web", "", "Both", "80-81");
    struct Case
    {
        std::optional<ForwardingEntry> after;
        size_t kept; // of TCP 80, UDP 80, TCP 81, UDP 81 and another entry's TCP 80
    } cases[] = {
        {before, 5},
        {std::nullopt, 1},
        {Entry("web", "", "TCP", "80-81"), 3},
        {Entry("web", "", "Both", "81"), 3},
        {Entry("site", "", "Both", "80-81"), 1},
    };
    for (const auto& c : cases) {
        auto installed = PlanMappings({before}).requests;
        installed.push_back(Request("TCP", 80, "other"));
        ForgetInstalled(installed, before, c.after ? &*c.after : nullptr);
        EXPECT_EQ(installed.size(), c.kept);
        EXPECT_EQ(installed.back().description, "other");
    }
}

TEST(DescribeMappings, PortsByProtocolWithRunsAsRanges)
{
    struct Case
    {
        std::vector<MappingRequest> mappings;
        const char* text;
    };
    const Case cases[] = {
        {{Request("TCP", 80)}, "TCP 80"},
        {{Request("TCP", 447), Request("TCP", 80), Request("TCP", 445), Request("TCP", 446),
          Request("TCP", 443), Request("TCP", 444)},
         "TCP 80, 443-447"},
        {{Request("TCP", 3074), Request("UDP", 3074), Request("TCP", 3075)},
         "TCP 3074-3075 and UDP 3074"},
        {{Request("UDP", 1), Request("TCP", 2), Request("X", 3)}, "UDP 1, TCP 2 and X 3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeMappings(c.mappings), c.text);
}

TEST(MonitorFindings, OneLinePerEntryAndKindAndABalloonOnlyForChanges)
{
    MonitorFindings findings;
    findings.note("The router has restarted (BOOTID.UPNP.ORG 1 to 2).", false);
    findings.add(Kind::Readded, Request("TCP", 80));
    findings.add(Kind::Readded, Request("TCP", 81));
    findings.add(Kind::Back, Request("UDP", 53, "dns"));
    findings.add(Kind::Taken, Request("TCP", 22, "ssh"), "192.168.77.3:22");
    findings.add(Kind::Gone, Request("TCP", 25, "mail"));
    const auto report = findings.report();
    EXPECT_EQ(report.lines,
              (std::vector<std::string>{
                  "The router has restarted (BOOTID.UPNP.ORG 1 to 2).",
                  "Port forwarding \"web\": TCP 80-81 was missing in the router and has been "
                  "added again.",
                  "Port forwarding \"dns\": UDP 53 is in the router again.",
                  "Port forwarding \"ssh\": TCP 22 now leads to 192.168.77.3:22 instead of "
                  "192.168.77.2.",
                  "Port forwarding \"mail\": TCP 25 is no longer in the router."}));
    EXPECT_EQ(English(report.balloon),
              report.lines[1] + "\n" + report.lines[3] + "\n" + report.lines[4]);
}

TEST(MonitorFindings, ANameCannotBreakItsLine)
{
    MonitorFindings findings;
    findings.add(Kind::Gone, Request("TCP", 25, "a\nforged"));
    const auto report = findings.report();
    EXPECT_EQ(report.lines.at(0),
              "Port forwarding \"a\\nforged\": TCP 25 is no longer in the router.");
    EXPECT_EQ(English(report.balloon), report.lines[0]);
}

TEST(MonitorFindings, QuietFindingsGiveNoBalloonAndALongBalloonIsCut)
{
    MonitorFindings quiet;
    quiet.add(Kind::LeaseRenewed, Request("TCP", 80));
    quiet.add(Kind::AutoAdded, Request("TCP", 81));
    quiet.note("The router answers again.", false);
    EXPECT_EQ(quiet.report().lines.size(), 3u);
    EXPECT_TRUE(quiet.report().balloon.empty());

    MonitorFindings many;
    for (const char* name : {"a", "b", "c", "d", "e", "f"})
        many.add(Kind::AutoAddFailed, Request("TCP", 80, name));
    const auto report = many.report();
    EXPECT_EQ(report.lines.size(), 6u);
    EXPECT_EQ(report.lines[0],
              "Auto add: port forwarding \"a\": TCP 80 could not be added into the router.");
    EXPECT_EQ(English(report.balloon), report.lines[0] + "\n" + report.lines[1] + "\n" +
                                           report.lines[2] + "\n" + report.lines[3] +
                                           "\n... and 2 more (see the log).");
}

TEST(AutoAddPinholeLine, SaysWhyNotAllWereOpened)
{
    InstallResult result;
    EXPECT_TRUE(AutoAddPinholeLine(result).empty());
    result.pinholesRequested = 2;
    result.pinholeAddress = "2001:db8::2";
    result.held = {Request("TCP", 80, "web", "2001:db8::2"), Request("TCP", 80)};
    EXPECT_EQ(English(AutoAddPinholeLine(result)),
              "Auto add: 1 of 2 IPv6 pinholes opened for 2001:db8::2.");
    result.pinholeProblem =
        Message(problem_texts::kRouterRefusedWith, {"606 Action not authorized"});
    EXPECT_EQ(English(AutoAddPinholeLine(result)),
              "Auto add: 1 of 2 IPv6 pinholes opened for 2001:db8::2. (the router refused it (606 "
              "Action not authorized))");
}

TEST(NatPmpEpoch, AGatewayThatStartedAfreshIsToldFromClockDrift)
{
    struct Case
    {
        uint32_t before, now;
        uint64_t elapsed;
        bool lost;
    };
    const Case cases[] = {
        {1000, 1030, 30, false},                      // on time
        {1000, 1026, 30, false},                      // 7/8 of our 30 s, our clock runs fast
        {1000, 1024, 30, false},                      // 2 s of slack
        {1000, 1023, 30, true},  {1000, 5, 30, true}, // restarted
        {1000, 999, 0, false},                        // a second back within the slack
        {1000, 997, 0, true},    {0xFFFFFFF0u, 3, 60, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NatPmpEpochLost(c.before, c.now, c.elapsed), c.lost)
            << c.before << " -> " << c.now << " after " << c.elapsed;
}

TEST(SsdpNotify, ReadsTheAnnouncementHeaders)
{
    const auto alive = ParseSsdpNotify("NOTIFY * HTTP/1.1\r\n"
                                       "HOST: 239.255.255.250:1900\r\n"
                                       "CACHE-CONTROL: max-age=120\r\n"
                                       "LOCATION: http://192.168.77.1:5000/rootDesc.xml\r\n"
                                       "NT: upnp:rootdevice\r\n"
                                       "nts: ssdp:alive\r\n"
                                       "BootId.UPnP.org:  1765100000 \r\n"
                                       "\r\n");
    ASSERT_TRUE(alive);
    EXPECT_FALSE(alive->answer);
    EXPECT_EQ(alive->nts, "ssdp:alive");
    EXPECT_EQ(alive->location, "http://192.168.77.1:5000/rootDesc.xml");
    EXPECT_EQ(alive->bootId, 1765100000u);

    struct Case
    {
        const char* datagram;
        bool read; // a NOTIFY or a search answer
        bool bootId;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nBOOTID.UPNP.ORG: 5\r\n\r\n", true, true}, // a search answer
        {"HTTP/1.1 404 Not Found\r\nBOOTID.UPNP.ORG: 5\r\n\r\n", false, false},
        {"M-SEARCH * HTTP/1.1\r\n\r\n", false, false},
        {"NOTIFY * HTTP/1.1\nNTS: ssdp:alive\nBOOTID.UPNP.ORG: 7\n", true, true},
        {"NOTIFY * HTTP/1.1\r\nBOOTID.UPNP.ORG: 7x\r\n", true, false},
        {"NOTIFY * HTTP/1.1\r\nBOOTID.UPNP.ORG: 99999999999\r\n", true, false},
        {"NOTIFY * HTTP/1.1\r\nBOOTID.UPNP.ORG:\r\n", true, false},
        {"NOTIFY * HTTP/1.1", true, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        const auto notify = ParseSsdpNotify(c.datagram);
        EXPECT_EQ(notify.has_value(), c.read) << c.datagram;
        EXPECT_EQ(notify && notify->bootId, c.bootId) << c.datagram;
    }
}

} // namespace
} // namespace velmora
