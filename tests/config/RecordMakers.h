#pragma once

#include "config/core/Records.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

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

// Whole-record comparison: every byte, including what lies past the text.
template <typename Record> bool SameRecord(const Record& a, const Record& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Record>
bool SameRecords(const std::vector<Record>& a, const std::vector<Record>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameRecord<Record>);
}

} // namespace velmora::test
