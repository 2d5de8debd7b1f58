#pragma once

#include "platform/Message.h"

// The Port Check report and the words of its probes, in English; the window
// translates them in the context "PortCheck".
namespace velmora::port_check_texts {

//: %1 is the entry's or mapping's name, %2 the protocol, %3 the port.
inline constexpr TextTemplate kHeading{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "Port check of \"%1\", %2 port %3\n\n")};

// 1. The router's mapping: %1 protocol, %2 external port.
inline constexpr TextTemplate kMappingNotRead{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "1. The router's port mapping %1 %2: not read (the "
                                                "check ran out of time).\n   State: not known\n")};
//: %3:%4 is where the router forwards the port, %5 a state word.
inline constexpr TextTemplate kMappingHeld{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "1. The router's port mapping %1 %2: held, forwarded to %3:%4.\n"
                                   "   State: %5 (the router lets the port through to its internal "
                                   "client)\n")};
//: %3:%4 is where the router forwards the port, %5 where the entry says it should, %6 a state word.
inline constexpr TextTemplate kMappingHeldElsewhere{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "1. The router's port mapping %1 %2: held, forwarded to %3:%4 "
                                   "(not to %5).\n   State: %6 (the router lets the port through "
                                   "to its internal client)\n")};
//: %3 is a state word.
inline constexpr TextTemplate kMappingGone{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "1. The router's port mapping %1 %2: the router no longer holds "
                                   "it.\n   State: %3 (the router does not pass the port on)\n")};
//: %3 is the router's error (its own words, or "error <number>").
inline constexpr TextTemplate kMappingUnknown{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "1. The router's port mapping %1 %2: the router did "
                                   "not say (%3).\n   State: not known\n")};

// 2. The internal client, probed from this computer.
inline constexpr TextTemplate kClientNotProbed{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "2. The internal client from this computer: not probed (the "
                                   "check ran out of time).\n   State: not known\n")};
//: %1 protocol, %2:%3 the client and port, %4 what the probe saw, %5 a state word.
inline constexpr TextTemplate kClientProbed{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "2. The internal client from this computer: %1 "
                                                "%2:%3, %4.\n   State: %5\n")};

// 3. The router's external address.
inline constexpr TextTemplate kExternalNotRead{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "3. The router's external address: not read (the "
                                                "check ran out of time).\n")};
inline constexpr TextTemplate kExternalAddress{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "3. The router's external address: %1\n")};
inline constexpr TextTemplate kExternalNone{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "3. The router's external address: the router reports none.\n")};
//: %1 is the router's error (its own words, or "error <number>").
inline constexpr TextTemplate kExternalUnknown{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "3. The router's external address: not known (%1).\n")};

inline constexpr TextTemplate kFromOutside{
    "PortCheck",
    QT_TRANSLATE_NOOP("PortCheck", "\n4. Whether the port can be reached from the internet cannot "
                                   "be known from inside\n   this network: that needs a check from "
                                   "outside it, from a computer on the internet.\n")};

//: A UPnP error code the library has no words for.
inline constexpr TextTemplate kUpnpError{"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "error %1")};

// What a probe saw.
inline constexpr TextTemplate kAccepted{"PortCheck",
                                        QT_TRANSLATE_NOOP("PortCheck", "connection accepted")};
inline constexpr TextTemplate kRefused{"PortCheck",
                                       QT_TRANSLATE_NOOP("PortCheck", "connection refused")};
//: %1 is the system's words for the error.
inline constexpr TextTemplate kNoConnection{"PortCheck",
                                            QT_TRANSLATE_NOOP("PortCheck", "no connection (%1)")};
//: %1 is a number of milliseconds.
inline constexpr TextTemplate kNoAnswer{"PortCheck",
                                        QT_TRANSLATE_NOOP("PortCheck", "no answer within %1 ms")};
inline constexpr TextTemplate kNotIPv4{
    "PortCheck", QT_TRANSLATE_NOOP("PortCheck", "not probed: \"%1\" is not an IPv4 address")};
//: %1 is the system's words for the error.
inline constexpr TextTemplate kNotProbed{"PortCheck",
                                         QT_TRANSLATE_NOOP("PortCheck", "not probed: %1")};
inline constexpr TextTemplate kUnreachable{"PortCheck",
                                           QT_TRANSLATE_NOOP("PortCheck", "port unreachable")};
inline constexpr TextTemplate kDatagramBack{"PortCheck",
                                            QT_TRANSLATE_NOOP("PortCheck", "a datagram came back")};

// The state words, in the order of PortState; the legend of the Port Check
// dialog explains them.
inline constexpr TextTemplate kStateWords[] = {
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "open")},
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "closed")},
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "filtered")},
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "unfiltered")},
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "open|filtered")},
    {"PortCheck", QT_TRANSLATE_NOOP("PortCheck", "closed|filtered")},
};

} // namespace velmora::port_check_texts
