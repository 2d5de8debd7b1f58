#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/OfferText.h"
#include "app/cli/RouterSearch.h"
#include "router/core/RouterInfoReport.h"

namespace velmora::cli {

namespace {

const char* Via(LeaseRoute::Via via)
{
    switch (via) {
    case LeaseRoute::Via::UpnpPinhole:
        return "UPnP";
    case LeaseRoute::Via::Pcp:
        return "PCP";
    case LeaseRoute::Via::None:
        break;
    }
    return nullptr;
}

// The offer as OfferText tells it; null where it tells none.
void AddOffer(JsonWriter& json, const OfferReport& report)
{
    json.key("offer");
    if (!TellsOffer(report)) {
        json.null();
        return;
    }
    json.beginObject().member("ipv4_mappings", !report.natPmp             ? "UPnP"
                                               : report.offer.pcpMappings ? "PCP"
                                                                          : "NAT-PMP");
    const char* pinholes = Via(report.offer.pinholes.via);
    json.key("ipv6_pinholes");
    pinholes ? json.value(pinholes) : json.null();
    json.key("pinhole_address");
    pinholes ? json.value(report.offer.pinholeAddress) : json.null();
    // Asked only where the router has the UPnP firewall control service.
    json.key("firewall");
    if (const auto& firewall = report.firewall) {
        json.beginObject().key("enabled");
        firewall->answered ? json.value(firewall->enabled) : json.null();
        json.key("inbound_pinholes_allowed");
        firewall->answered ? json.value(firewall->inboundAllowed) : json.null();
        json.key("problem");
        firewall->answered ? json.null() : json.value(English(firewall->problem));
        json.endObject();
    } else {
        json.null();
    }
    json.endObject();
}

// The report's values; a NAT-PMP gateway has none of them, only its offer.
void PrintJson(const Invocation& invocation, RouterEntry& router, const RouterInfoValues& values,
               const OfferReport& offer)
{
    JsonWriter json;
    json.beginObject()
        .member("router", router.displayName())
        .member("address", RouterAddress(router));
    if (!router.is_apple) {
        json.key("connection_type").value(values.connectionType).key("status");
        if (values.status)
            json.value(values.status->text).key("uptime").value(int64_t{values.status->uptime});
        else
            json.null().key("uptime").null();
        json.key("max_bit_rate_down");
        if (values.bitRates)
            json.value(int64_t{values.bitRates->down})
                .key("max_bit_rate_up")
                .value(int64_t{values.bitRates->up});
        else
            json.null().key("max_bit_rate_up").null();
        json.key("external_address")
            .value(values.externalAddress)
            .key("bytes_sent")
            .value(int64_t{values.bytesSent})
            .key("bytes_received")
            .value(int64_t{values.bytesReceived})
            .key("packets_sent")
            .value(int64_t{values.packetsSent})
            .key("packets_received")
            .value(int64_t{values.packetsReceived});
    }
    AddOffer(json, offer);
    std::fprintf(invocation.io.out, "%s\n", json.endObject().text().c_str());
}

// The router's own words, safe for a terminal.
RouterInfoValues Plain(RouterInfoValues values)
{
    for (std::optional<std::string>* text : {&values.connectionType, &values.externalAddress}) {
        if (*text)
            **text = PlainText(**text);
    }
    if (values.status)
        values.status->text = PlainText(values.status->text);
    return values;
}

} // namespace

int RunInfo(const Invocation& invocation)
{
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;
    // A NAT-PMP gateway that speaks PCP has something to tell: what it offers.
    if (router->is_apple && !router->speaks_pcp)
        return Fail(invocation.io, "Apple router does not support view info.");
    RouterInfoValues values;
    OfferReport offer;
    RunWithin(
        DeadlineAfter(kAnswerDeadline),
        [&] {
            if (!router->is_apple)
                values = QueryRouterInfo(router->data, router->urls);
            offer = QueryOfferReport(*router);
        },
        invocation.io, NoAnswerWithin(kAnswerDeadline));
    if (invocation.json) {
        PrintJson(invocation, *router, values, offer);
        return kExitSuccess;
    }
    if (!router->is_apple)
        std::fprintf(invocation.io.out, "%s", FormatRouterInfoReport(Plain(values)).c_str());
    for (const std::string& line : OfferText(offer))
        std::fprintf(invocation.io.out, "%s\n", PlainText(line).c_str());
    return kExitSuccess;
}

} // namespace velmora::cli
