#include "config/core/ConfigWriter.h"

#include "config/core/AtomicFile.h"
#include "config/core/StoredFields.h"
#include "config/core/XmlAttributeText.h"

#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendLine(std::string& out, std::string_view line)
{
    out += line;
    out += kLineEnd;
}

// A start tag with the record's attributes, each name="value" followed by one
// space, so every start tag ends in " >".
template <typename Record, size_t N>
void AppendStartTag(std::string& out, std::string_view tag, const Record& record,
                    const velmora::StoredField (&fields)[N])
{
    out += '<';
    out += tag;
    out += ' ';
    for (const velmora::StoredField& field : fields) {
        out += field.name;
        out += "=\"";
        velmora::AppendAttributeValue(out, velmora::FieldText(record, field));
        out += "\" ";
    }
    AppendLine(out, ">");
}

// An element with no content: its start tag, then its end tag on the next line.
template <typename Record, size_t N>
void AppendElement(std::string& out, std::string_view tag, const Record& record,
                   const velmora::StoredField (&fields)[N])
{
    AppendStartTag(out, tag, record, fields);
    out += "</";
    out += tag;
    AppendLine(out, ">");
}

} // namespace

std::string velmora::BuildConfigText(const AppSettings& settings,
                                     const std::vector<TriggeringEntry>& triggerings,
                                     const std::vector<ForwardingEntry>& forwardings)
{
    std::string out;
    out.reserve(256 + 300 * (triggerings.size() + forwardings.size()));
    AppendLine(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    AppendStartTag(out, "mappings", settings, velmora::kSettingFields);

    AppendLine(out, "<triggerings>");
    for (const TriggeringEntry& entry : triggerings)
        AppendElement(out, "trigger", entry, velmora::kTriggerFields);
    AppendLine(out, "</triggerings>");

    AppendLine(out, "<forwardings>");
    for (const ForwardingEntry& entry : forwardings)
        AppendElement(out, "forwarding", entry, velmora::kForwardingFields);
    AppendLine(out, "</forwardings>");

    AppendLine(out, "</mappings>");
    return out;
}

bool SaveConfig(const std::string& path, const AppSettings& settings,
                const std::vector<TriggeringEntry>& triggerings,
                const std::vector<ForwardingEntry>& forwardings, velmora::Message* reason)
{
    return velmora::WriteFileAtomically(
        path, velmora::BuildConfigText(settings, triggerings, forwardings), reason);
}
