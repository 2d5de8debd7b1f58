#include "config/core/ConfigWriter.h"

#include "config/core/AtomicFile.h"
#include "config/core/XmlAttributeText.h"

#include <initializer_list>
#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendLine(std::string& out, std::string_view line)
{
    out += line;
    out += kLineEnd;
}

struct Attribute
{
    std::string_view name;
    std::string_view value;
};

// A start tag with its attributes, each name="value" followed by one space,
// so every start tag ends in " >".
void AppendStartTag(std::string& out, std::string_view tag,
                    std::initializer_list<Attribute> attributes)
{
    out += '<';
    out += tag;
    out += ' ';
    for (const Attribute& attribute : attributes) {
        out += attribute.name;
        out += "=\"";
        velmora::AppendAttributeValue(out, attribute.value);
        out += "\" ";
    }
    AppendLine(out, ">");
}

// An element with no content: its start tag, then its end tag on the next line.
void AppendElement(std::string& out, std::string_view tag,
                   std::initializer_list<Attribute> attributes)
{
    AppendStartTag(out, tag, attributes);
    out += "</";
    out += tag;
    AppendLine(out, ">");
}

void AppendTrigger(std::string& out, const TriggeringEntry& entry)
{
    using velmora::Field;
    AppendElement(out, "trigger",
                  {{"name", Field(entry.name)},
                   {"auto_start", Field(entry.auto_start)},
                   {"protocol", Field(entry.protocol)},
                   {"trigger_address", Field(entry.trigger_address)},
                   {"trigger_port", Field(entry.trigger_port)},
                   {"trigger_port_end", Field(entry.trigger_port_end)},
                   {"frequence", Field(entry.frequence)}});
}

void AppendForwarding(std::string& out, const ForwardingEntry& entry)
{
    using velmora::Field;
    AppendElement(out, "forwarding",
                  {{"name", Field(entry.name)},
                   {"protocol", Field(entry.protocol)},
                   {"listen_port", Field(entry.listen_port)},
                   {"destination_ip", Field(entry.destination_ip)},
                   {"type", Field(entry.type)}}); // last in the file, second in the record
}

} // namespace

std::string BuildConfigText(const AppSettings& settings,
                            const std::vector<TriggeringEntry>& triggerings,
                            const std::vector<ForwardingEntry>& forwardings)
{
    std::string out;
    out.reserve(256 + 300 * (triggerings.size() + forwardings.size()));
    AppendLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    AppendStartTag(out, "mappings",
                   {{"auto_startup", velmora::Field(settings.auto_startup)},
                    {"monitor_router", velmora::Field(settings.monitor_router)}});

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
