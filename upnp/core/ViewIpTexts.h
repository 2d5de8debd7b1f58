#pragma once

#include "platform/Message.h"

// What the View IP chain tells the user, in English; the window translates
// them in the context "ViewIp".
namespace velmora::view_ip_texts {

inline constexpr TextTemplate kNoRouter{
    "ViewIp", QT_TRANSLATE_NOOP(
                  "ViewIp", "Failed to find a router.Please make sure your router's UPnP option "
                            "is enabled.If you still get this error,you should set your "
                            "windows firewall or other firewall you installed,open port 1900 "
                            "of UDP and port 2869 of TCP!")};
inline constexpr TextTemplate kNoDescription{
    "ViewIp", QT_TRANSLATE_NOOP("ViewIp", "Failed to get router's description!")};
inline constexpr TextTemplate kDescriptionUnreadable{
    "ViewIp", QT_TRANSLATE_NOOP("ViewIp", "Failed to parse router's description!")};

//: %1 is the router's external address.
inline constexpr TextTemplate kDoubleNat{
    "ViewIp",
    QT_TRANSLATE_NOOP("ViewIp", "The router's external address %1 is a private or shared address: "
                                "another router or the provider's carrier-grade NAT sits between "
                                "this router and the internet. A port mapping on this router alone "
                                "will not make a program on this computer reachable from the "
                                "internet.")};

} // namespace velmora::view_ip_texts
