#pragma once

#include "platform/Message.h"

#include <miniupnpc/igd_desc_parse.h>
#include <miniupnpc/miniupnpc.h>
#include <optional>
#include <string>

// The Router Info report: what a UPnP router says about its WAN connection,
// as the lines the "Router Info" box shows.

namespace velmora {

// What the router answered; an unset field is an action that failed.
struct RouterInfoValues
{
    struct Status
    {
        std::string text;
        unsigned uptime = 0; // seconds
    };
    struct BitRates
    {
        unsigned down = 0; // bits per second
        unsigned up = 0;
    };

    std::optional<std::string> connectionType;
    std::optional<Status> status;
    std::optional<BitRates> bitRates;
    std::optional<std::string> externalAddress;
    // Counters print whatever the library returned, answered or not.
    unsigned bytesSent = 0;
    unsigned bytesReceived = 0;
    unsigned packetsSent = 0;
    unsigned packetsReceived = 0;
};

// " (%u.%u Mbps)" from a million up (the tenth cut, not rounded),
// " (%u Kbps)" from a thousand up, else nothing.
Message BitRateBracketText(unsigned bitsPerSecond);
std::string BitRateBracket(unsigned bitsPerSecond); // in English

// The report for the given answers, line by line; and the same in English.
MessageList RouterInfoReportText(const RouterInfoValues& values);
std::string FormatRouterInfoReport(const RouterInfoValues& values);

// Asks the router through miniupnpc; failures and the start time go to
// standard output only.
RouterInfoValues QueryRouterInfo(const IGDdatas& data, const UPNPUrls& urls);

} // namespace velmora

// Appends the report lines for the router to `report`.
void BuildRouterInfoReport(const IGDdatas& data, const UPNPUrls& urls, std::string& report);

struct RouterEntry;
// The same for a UPnP router of the router list.
void BuildRouterInfoReport(const RouterEntry& router, std::string& report);
