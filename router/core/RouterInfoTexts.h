#pragma once

#include "platform/Message.h"

// The lines of the Router Info report, in English; the window translates them
// in the context "RouterInfo". The router's own words (connection type,
// status) and the numbers are the values.
namespace velmora::router_info_texts {

inline constexpr TextTemplate kConnectionType{
    "RouterInfo", QT_TRANSLATE_NOOP("RouterInfo", "Connection Type : %1\n")};
//: %1 is the router's status word, %2 its uptime in seconds.
inline constexpr TextTemplate kStatus{"RouterInfo",
                                      QT_TRANSLATE_NOOP("RouterInfo", "Status : %1, uptime=%2s\n")};
//: %1 and %3 are bits per second, %2 and %4 the same in Mbps or Kbps (or nothing).
inline constexpr TextTemplate kBitRates{
    "RouterInfo",
    QT_TRANSLATE_NOOP("RouterInfo", "MaxBitRateDown : %1 bps%2   MaxBitRateUp %3 bps%4\n")};
//: A bit rate of a million and more: %1 whole megabits, %2 the tenth.
inline constexpr TextTemplate kMegabits{"RouterInfo",
                                        QT_TRANSLATE_NOOP("RouterInfo", " (%1.%2 Mbps)")};
inline constexpr TextTemplate kKilobits{"RouterInfo",
                                        QT_TRANSLATE_NOOP("RouterInfo", " (%1 Kbps)")};
inline constexpr TextTemplate kExternalAddress{
    "RouterInfo", QT_TRANSLATE_NOOP("RouterInfo", "ExternalIPAddress = %1\n")};
//: The counters come right-aligned in eight places.
inline constexpr TextTemplate kBytes{
    "RouterInfo", QT_TRANSLATE_NOOP("RouterInfo", "Bytes:   Sent: %1\tRecv: %2\n")};
inline constexpr TextTemplate kPackets{
    "RouterInfo", QT_TRANSLATE_NOOP("RouterInfo", "Packets: Sent: %1\tRecv: %2\n")};

} // namespace velmora::router_info_texts
