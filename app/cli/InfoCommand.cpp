#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"
#include "router/core/RouterInfoReport.h"

namespace velmora::cli {

namespace {

void PrintJson(const Invocation& invocation, RouterEntry& router, const RouterInfoValues& values)
{
    JsonWriter json;
    json.beginObject()
        .member("router", router.displayName())
        .member("address", RouterAddress(router))
        .key("connection_type")
        .value(values.connectionType)
        .key("status");
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
        .value(int64_t{values.packetsReceived})
        .endObject();
    std::fprintf(invocation.io.out, "%s\n", json.text().c_str());
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
    if (router->is_apple)
        return Fail(invocation.io, "Apple router does not support view info.");
    RouterInfoValues values;
    RunWithin(
        DeadlineAfter(kAnswerDeadline),
        [&] { values = QueryRouterInfo(router->data, router->urls); }, invocation.io,
        NoAnswerWithin(kAnswerDeadline));
    if (invocation.json)
        PrintJson(invocation, *router, values);
    else
        std::fprintf(invocation.io.out, "%s", FormatRouterInfoReport(Plain(values)).c_str());
    return kExitSuccess;
}

} // namespace velmora::cli
