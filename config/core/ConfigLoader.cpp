#include "config/core/ConfigLoader.h"

#include "config/core/StoredFields.h"
#include "config/core/XcfgReader.h"

#include <cstring>

namespace velmora {

namespace {

using velmora::FieldRead;
using velmora::StoredField;

// Reads one attribute into its field by the field's rule; false if the
// attribute is absent.
template <typename Record>
bool ReadField(const XcfgNode* node, const StoredField& stored, Record& record)
{
    char* field = velmora::FieldIn(record, stored);
    switch (stored.read) {
    case FieldRead::Whole:
        break;
    case FieldRead::Frequence:
        return XcfgGetAttribute(node, stored.name, field, velmora::kFrequenceReadLimit) == 0;
    case FieldRead::Flag: {
        // A flag too long for its field must not read back as a shorter, valid
        // flag ("Yes" is not "Y").
        char value[256] = {};
        if (XcfgGetAttribute(node, stored.name, value, sizeof value) != 0)
            return false;
        std::string_view text(value);
        std::memset(field, 0, stored.size);
        std::memcpy(field, text.data(), velmora::Utf8CutLength(text, stored.size));
        return true;
    }
    }
    return XcfgGetAttribute(node, stored.name, field, stored.size) == 0;
}

// Reads every attribute of a record; false at the first one absent.
template <typename Record, size_t N>
bool ReadRecord(const XcfgNode* node, const StoredField (&fields)[N], Record& record)
{
    for (const StoredField& stored : fields) {
        if (!ReadField(node, stored, record))
            return false;
    }
    return true;
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

// Appends every `item` sibling from `first` on; false at the first one that
// lacks an attribute (the ones before it stay).
template <typename Record, size_t N>
bool ReadItems(const XcfgNode* first, const char* item, std::vector<Record>& records,
               const StoredField (&fields)[N])
{
    records.clear();
    for (const XcfgNode* node = first; node; node = node->next) {
        if (std::strcmp(node->name, item) != 0)
            continue;
        Record record = velmora::ZeroedRecord<Record>();
        if (!ReadRecord(node, fields, record))
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
    // An absent setting means "1"; a present but empty one stays empty.
    for (const StoredField& setting : velmora::kSettingFields) {
        if (!ReadField(root, setting, config.settings)) {
            char* field = velmora::FieldIn(config.settings, setting);
            std::memset(field, 0, setting.size);
            field[0] = '1';
        }
    }

    if (XcfgNode* trigger = FirstItem(root, "triggerings", "trigger")) {
        if (!ReadItems(trigger, "trigger", config.triggerings, velmora::kTriggerFields)) {
            config.invalid = true;
            return config; // forwardings are not read either
        }
    }
    if (XcfgNode* forwarding = FirstItem(root, "forwardings", "forwarding")) {
        if (!ReadItems(forwarding, "forwarding", config.forwardings, velmora::kForwardingFields))
            config.invalid = true;
    }
    return config;
}

} // namespace velmora
