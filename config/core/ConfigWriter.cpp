#include "config/core/ConfigWriter.h"

#include "config/core/AtomicFile.h"
#include "config/core/XmlAttributeText.h"

#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// name="value" followed by one space, so every start tag ends in " >".
template <size_t N>
void AppendAttribute(std::string& out, std::string_view name, const char (&field)[N])
{
    out += name;
    out += "=\"";
    velmora::AppendAttributeValue(out, velmora::Field(field));
    out += "\" ";
}

void AppendLine(std::string& out, std::string_view line)
{
    out += line;
    out += kLineEnd;
}

void AppendTrigger(std::string& out, const TriggeringEntry& entry)
{
    out += "<trigger ";
    AppendAttribute(out, "name", entry.name);
    AppendAttribute(out, "auto_start", entry.auto_start);
    AppendAttribute(out, "protocol", entry.protocol);
    AppendAttribute(out, "trigger_address", entry.trigger_address);
    AppendAttribute(out, "trigger_port", entry.trigger_port);
    AppendAttribute(out, "trigger_port_end", entry.trigger_port_end);
    AppendAttribute(out, "frequence", entry.frequence);
    AppendLine(out, ">");
    AppendLine(out, "</trigger>");
}

void AppendForwarding(std::string& out, const ForwardingEntry& entry)
{
    out += "<forwarding ";
    AppendAttribute(out, "name", entry.name);
    AppendAttribute(out, "protocol", entry.protocol);
    AppendAttribute(out, "listen_port", entry.listen_port);
    AppendAttribute(out, "destination_ip", entry.destination_ip);
    AppendAttribute(out, "type", entry.type); // last in the file, second in the record
    AppendLine(out, ">");
    AppendLine(out, "</forwarding>");
}

} // namespace

std::string BuildConfigText(const AppSettings& settings,
                            const std::vector<TriggeringEntry>& triggerings,
                            const std::vector<ForwardingEntry>& forwardings)
{
    std::string out;
    out.reserve(256 + 300 * (triggerings.size() + forwardings.size()));
    AppendLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    out += "<mappings ";
    AppendAttribute(out, "auto_startup", settings.auto_startup);
    AppendAttribute(out, "monitor_router", settings.monitor_router);
    AppendLine(out, ">");

    AppendLine(out, "<triggerings>");
    for (const TriggeringEntry& entry : triggerings)
        AppendTrigger(out, entry);
    AppendLine(out, "</triggerings>");

    AppendLine(out, "<forwardings>");
    for (const ForwardingEntry& entry : forwardings)
        AppendForwarding(out, entry);
    AppendLine(out, "</forwardings>");

    AppendLine(out, "</mappings>");
    return out;
}

bool SaveConfig(const std::string& path, const AppSettings& settings,
                const std::vector<TriggeringEntry>& triggerings,
                const std::vector<ForwardingEntry>& forwardings, std::string* reason)
{
    return velmora::WriteFileAtomically(path, BuildConfigText(settings, triggerings, forwardings),
                                        reason);
}
