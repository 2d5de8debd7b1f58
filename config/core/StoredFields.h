#pragma once

#include "config/core/Records.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace velmora {

// How the loader takes an attribute back into its field.
enum class FieldRead
{
    Whole,     // up to the field's width
    Flag,      // a value too long keeps as many bytes as fit, with no terminator when full
    Frequence, // at most kFrequenceReadLimit bytes, terminator included
};

constexpr size_t kFrequenceReadLimit = 10;

// One attribute of a stored record. Its name in config.xml is the field's own
// name; the tables below give the order in which the file has them, and both
// the loader and the writer go by them.
struct StoredField
{
    const char* name;
    size_t offset;
    size_t size;
    FieldRead read = FieldRead::Whole;
};

#define VELMORA_STORED_FIELD(Record, member, ...)                                                  \
    ::velmora::StoredField                                                                         \
    {                                                                                              \
        #member, offsetof(Record, member), sizeof(Record::member), __VA_ARGS__                     \
    }

// Attributes of the root element.
inline constexpr StoredField kSettingFields[] = {
    VELMORA_STORED_FIELD(AppSettings, auto_startup),
    VELMORA_STORED_FIELD(AppSettings, monitor_router),
};

// Attributes of each <trigger>; status is not stored.
inline constexpr StoredField kTriggerFields[] = {
    VELMORA_STORED_FIELD(TriggeringEntry, name),
    VELMORA_STORED_FIELD(TriggeringEntry, auto_start, FieldRead::Flag),
    VELMORA_STORED_FIELD(TriggeringEntry, protocol),
    VELMORA_STORED_FIELD(TriggeringEntry, trigger_address),
    VELMORA_STORED_FIELD(TriggeringEntry, trigger_port),
    VELMORA_STORED_FIELD(TriggeringEntry, trigger_port_end),
    VELMORA_STORED_FIELD(TriggeringEntry, frequence, FieldRead::Frequence),
};

// Attributes of each <forwarding>: `type` comes last in the file though it is
// second in the record.
inline constexpr StoredField kForwardingFields[] = {
    VELMORA_STORED_FIELD(ForwardingEntry, name),
    VELMORA_STORED_FIELD(ForwardingEntry, protocol),
    VELMORA_STORED_FIELD(ForwardingEntry, listen_port),
    VELMORA_STORED_FIELD(ForwardingEntry, destination_ip),
    VELMORA_STORED_FIELD(ForwardingEntry, type),
};

#undef VELMORA_STORED_FIELD

// The field's buffer inside a record.
template <typename Record>
char* FieldIn(Record& record, const StoredField& field)
{
    return reinterpret_cast<char*>(&record) + field.offset;
}

// The field's text (up to its first NUL).
template <typename Record>
std::string_view FieldText(const Record& record, const StoredField& field)
{
    const char* start = reinterpret_cast<const char*>(&record) + field.offset;
    return std::string_view(start, strnlen(start, field.size));
}

} // namespace velmora
