#include "app/cli/Commands.h"
#include "app/cli/ConfigRead.h"
#include "app/cli/JsonWriter.h"
#include "config/core/StoredFields.h"

#include <span>

namespace velmora::cli {

namespace {

// Each entry as an object of its config.xml attributes, in the file's order.
template <typename Record>
void AddRecords(JsonWriter& json, const char* name, const std::vector<Record>& records,
                std::span<const StoredField> fields)
{
    json.key(name).beginArray();
    for (const Record& record : records) {
        json.beginObject();
        for (const StoredField& field : fields)
            json.member(field.name, FieldText(record, field));
        json.endObject();
    }
    json.endArray();
}

void PrintJson(const Invocation& invocation, const LoadedConfig& config)
{
    JsonWriter json;
    json.beginObject();
    AddRecords(json, "forwardings", config.forwardings, kForwardingFields);
    AddRecords(json, "triggerings", config.triggerings, kTriggerFields);
    std::fprintf(invocation.io.out, "%s\n", json.endObject().text().c_str());
}

} // namespace

int RunEntries(const Invocation& invocation)
{
    LoadedConfig config;
    if (!ReadConfig(invocation, config))
        return kExitFailure;
    if (invocation.json) {
        PrintJson(invocation, config);
        return kExitSuccess;
    }
    std::vector<std::vector<std::string>> rows;
    for (const ForwardingEntry& e : config.forwardings) {
        rows.push_back({PlainText(Field(e.name)), PlainText(Field(e.protocol)),
                        PlainText(Field(e.listen_port)), PlainText(Field(e.destination_ip)),
                        PlainText(Field(e.type))});
    }
    std::fprintf(invocation.io.out, "Port Forwarding\n");
    PrintTable(invocation.io.out, {"Name", "Protocol", "Port", "Internal IP", "Auto add"}, rows);
    rows.clear();
    for (const TriggeringEntry& e : config.triggerings) {
        rows.push_back({PlainText(Field(e.name)), PlainText(Field(e.auto_start)),
                        PlainText(Field(e.protocol)), PlainText(Field(e.trigger_address)),
                        PlainText(Field(e.trigger_port)), PlainText(Field(e.trigger_port_end)),
                        PlainText(Field(e.frequence))});
    }
    std::fprintf(invocation.io.out, "\nPort Triggering\n");
    PrintTable(invocation.io.out,
               {"Name", "Auto Start", "Protocol", "Trigger Address", "Trigger Port(Start)",
                "Trigger Port(End)", "Frequence(ms)"},
               rows);
    return kExitSuccess;
}

} // namespace velmora::cli
