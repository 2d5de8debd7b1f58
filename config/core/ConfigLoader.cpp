#include "config/core/ConfigLoader.h"

#include "config/core/XcfgReader.h"

#include <cstring>

namespace {

// The loader copies at most this many bytes of the frequency, terminator included.
constexpr size_t kFrequenceLimit = 10;

// Reads one attribute into a field; false if the attribute is absent.
template <size_t N>
bool Read(const XcfgNode* node, const char* name, char (&field)[N], size_t limit = N)
{
    return XcfgGetAttribute(node, name, field, limit) == 0;
}

// A flag too long for its field must not read back as a shorter, valid flag
// ("Yes" is not "Y"): the field keeps as many bytes as it holds, without a
// terminator when they fill it, as a bounded copy of the design's width does.
template <size_t N> bool ReadFlag(const XcfgNode* node, const char* name, char (&field)[N])
{
    char value[256] = {};
    if (XcfgGetAttribute(node, name, value, sizeof value) != 0)
        return false;
    std::string_view text(value);
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), velmora::Utf8CutLength(text, N));
    return true;
}

// An absent setting means "1"; a present but empty one stays empty.
template <size_t N> void ReadSetting(const XcfgNode* root, const char* name, char (&field)[N])
{
    if (!Read(root, name, field))
        velmora::SetField(field, "1");
}

// The first `item` under the root's first `list`, or null.
XcfgNode* FirstItem(XcfgNode* root, const char* list, const char* item)
{
    XcfgNode* list_node = nullptr;
    if (XcfgFindPath(&list_node, root, 1, list) != 0)
        return nullptr;
    XcfgNode* item_node = nullptr;
    if (XcfgFindPath(&item_node, list_node, 1, item) != 0)
        return nullptr;
    return item_node;
}

bool ReadTrigger(const XcfgNode* node, TriggeringEntry& entry)
{
    return Read(node, "name", entry.name) && ReadFlag(node, "auto_start", entry.auto_start) &&
           Read(node, "protocol", entry.protocol) &&
           Read(node, "trigger_address", entry.trigger_address) &&
           Read(node, "trigger_port", entry.trigger_port) &&
           Read(node, "trigger_port_end", entry.trigger_port_end) &&
           Read(node, "frequence", entry.frequence, kFrequenceLimit);
}

bool ReadForwarding(const XcfgNode* node, ForwardingEntry& entry)
{
    return Read(node, "name", entry.name) && Read(node, "protocol", entry.protocol) &&
           Read(node, "listen_port", entry.listen_port) &&
           Read(node, "destination_ip", entry.destination_ip) && Read(node, "type", entry.type);
}

// Appends every `item` sibling from `first` on; false at the first one that
// lacks an attribute (the ones before it stay).
template <typename Record, typename Reader>
bool ReadItems(const XcfgNode* first, const char* item, std::vector<Record>& records, Reader read)
{
    records.clear();
    for (const XcfgNode* node = first; node; node = node->next) {
        if (std::strcmp(node->name, item) != 0)
            continue;
        Record record = velmora::ZeroedRecord<Record>();
        if (!read(node, record))
            return false;
        records.push_back(record);
    }
    return true;
}

} // namespace

LoadedConfig LoadConfig(const std::string& path)
{
    LoadedConfig config;
    config.settings = velmora::ZeroedRecord<AppSettings>();

    XcfgDocument document;
    if (XcfgLoadFile(&document, path.c_str()) != 0 || XcfgCheckRoot(&document, "mappings") != 0) {
        config.invalid = true;
        return config;
    }
    XcfgNode* root = document.root;
    ReadSetting(root, "auto_startup", config.settings.auto_startup);
    ReadSetting(root, "monitor_router", config.settings.monitor_router);

    if (XcfgNode* trigger = FirstItem(root, "triggerings", "trigger")) {
        if (!ReadItems(trigger, "trigger", config.triggerings, ReadTrigger)) {
            config.invalid = true;
            return config; // forwardings are not read either
        }
    }
    if (XcfgNode* forwarding = FirstItem(root, "forwardings", "forwarding")) {
        if (!ReadItems(forwarding, "forwarding", config.forwardings, ReadForwarding))
            config.invalid = true;
    }
    return config;
}
