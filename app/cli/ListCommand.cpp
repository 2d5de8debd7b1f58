#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"
#include "forwarding/core/RouterTable.h"
#include "platform/Deadline.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmora::cli {

namespace {

// A router that goes this long without sending a row is given up, as the
// window's ports list gives it up.
constexpr std::chrono::milliseconds kStallLimit{15000};

constexpr char kStalled[] =
    "The router stopped sending its port mappings: the list is not complete.";

// What the reading thread and the waiting command share; the thread keeps it
// alive when it is left behind.
struct Reading
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<PortMappingRow> rows;
    bool over = false;
    RouterTableRead result = RouterTableRead::Read;
    std::atomic<bool> cancel{false};
};

void PrintRows(const Invocation& invocation, const std::vector<PortMappingRow>& rows)
{
    if (invocation.json) {
        JsonWriter json;
        json.beginArray();
        for (const PortMappingRow& row : rows) {
            json.beginObject()
                .member("name", row.description)
                .member("protocol", row.protocol)
                .key("external_port");
            const auto external = PortNumber(row.externalPort);
            external ? json.value(*external) : json.null();
            json.member("internal_client", row.internalClient).key("internal_port");
            const auto internal = PortNumber(row.internalPort);
            internal ? json.value(*internal) : json.null();
            json.endObject();
        }
        std::fprintf(invocation.io.out, "%s\n", json.endArray().text().c_str());
        return;
    }
    std::vector<std::vector<std::string>> cells;
    for (const PortMappingRow& row : rows) {
        cells.push_back({PlainText(row.description), PlainText(row.protocol),
                         PlainText(row.externalPort), PlainText(row.internalClient)});
    }
    PrintTable(invocation.io.out, {"Name", "Protocol", "Port", "Internal IP"}, cells);
}

} // namespace

int RunList(const Invocation& invocation)
{
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;
    if (router->is_apple)
        return Fail(invocation.io, "Apple router does not support view ports in router.");

    auto reading = std::make_shared<Reading>();
    std::thread([reading, endpoint = EndpointOf(*router), router] {
        const RouterTableRead result =
            ReadRouterTable(endpoint, reading->cancel, [&](const PortMappingRow& row) {
                std::lock_guard lock(reading->mutex);
                reading->rows.push_back(row);
                reading->changed.notify_all();
            });
        std::lock_guard lock(reading->mutex);
        reading->result = result;
        reading->over = true;
        reading->changed.notify_all();
    }).detach();

    std::unique_lock lock(reading->mutex);
    size_t seen = 0;
    while (!reading->over) {
        seen = reading->rows.size();
        const bool moved = reading->changed.wait_until(lock, DeadlineAfter(kStallLimit), [&] {
            return reading->over || reading->rows.size() != seen;
        });
        if (!moved) {
            reading->cancel = true;
            PrintRows(invocation, reading->rows);
            return Fail(invocation.io, kStalled);
        }
    }
    if (reading->result == RouterTableRead::NoAnswer)
        return Fail(invocation.io, "Failed to get router's port mappings!");
    PrintRows(invocation, reading->rows);
    return reading->result == RouterTableRead::Incomplete ? Fail(invocation.io, kStalled)
                                                          : kExitSuccess;
}

} // namespace velmora::cli
