#pragma once

#include "config/core/Records.h"

#include <string_view>

namespace velmora::test {

inline AppSettings MakeSettings(std::string_view auto_startup, std::string_view monitor_router)
{
    auto settings = ZeroedRecord<AppSettings>();
    SetField(settings.auto_startup, auto_startup);
    SetField(settings.monitor_router, monitor_router);
    return settings;
}

inline TriggeringEntry MakeTrigger(std::string_view name, std::string_view auto_start,
                                   std::string_view protocol, std::string_view address,
                                   std::string_view port, std::string_view port_end,
                                   std::string_view frequence)
{
    auto entry = ZeroedRecord<TriggeringEntry>();
    SetField(entry.name, name);
    SetField(entry.auto_start, auto_start);
    SetField(entry.protocol, protocol);
    SetField(entry.trigger_address, address);
    SetField(entry.trigger_port, port);
    SetField(entry.trigger_port_end, port_end);
    SetField(entry.frequence, frequence);
    return entry;
}

inline ForwardingEntry MakeForwarding(std::string_view name, std::string_view type,
                                      std::string_view protocol, std::string_view listen_port,
                                      std::string_view destination_ip)
{
    auto entry = ZeroedRecord<ForwardingEntry>();
    SetField(entry.name, name);
    SetField(entry.type, type);
    SetField(entry.protocol, protocol);
    SetField(entry.listen_port, listen_port);
    SetField(entry.destination_ip, destination_ip);
    return entry;
}

// Whole-record comparisons: every byte, including what lies past the text.
inline bool SameRecord(const TriggeringEntry& a, const TriggeringEntry& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
inline bool SameRecord(const ForwardingEntry& a, const ForwardingEntry& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
inline bool SameRecord(const AppSettings& a, const AppSettings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace velmora::test
