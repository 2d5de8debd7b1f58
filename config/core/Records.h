#pragma once

#include "platform/Utf8Text.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The records kept in config.xml. Every field is a fixed-width NUL-terminated
// text buffer, also where it holds a number or a flag; records are copied whole.

struct TriggeringEntry
{
    char name[256];
    char status[20];           // "stop" or "running"; not stored
    char auto_start[2];        // "Y" or "N"
    char protocol[50];         // "TCP", "UDP" or "TCP and UDP"
    char trigger_address[255]; // host name or dotted IPv4 address
    char trigger_port[20];
    char trigger_port_end[20];
    char frequence[17];        // milliseconds; loading copies at most 10 bytes
};

struct ForwardingEntry
{
    char name[256];
    char type[10];            // "Y" (auto add at start-up) or "N"
    char protocol[50];        // "TCP", "UDP" or "Both"
    char listen_port[20];     // port list, e.g. "80,443-447,8080"
    char destination_ip[255]; // internal IP address, "Localhost" for an AirPort Station
};

struct AppSettings
{
    char auto_startup[5];   // "1" or "0"
    char monitor_router[5]; // "1" or "0"
};

namespace velmora {

// Copies `text` into a fixed-width field, cut on a UTF-8 character boundary so
// that it fits with its terminator. The rest of the field is zeroed.
template <size_t N>
void SetField(char (&field)[N], std::string_view text)
{
    static_assert(N > 0);
    size_t length = Utf8CutLength(text, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), length);
}

// The text of a fixed-width field (up to its first NUL).
template <size_t N>
std::string_view Field(const char (&field)[N])
{
    return std::string_view(field, strnlen(field, N));
}

// Largest number of bytes of text a field of this type holds.
template <size_t N>
constexpr size_t FieldCapacity(const char (&)[N])
{
    return N - 1;
}

template <typename Record>
Record ZeroedRecord()
{
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

} // namespace velmora
