#pragma once

#include "platform/Message.h"

// Why a router or gateway did not do what was asked (a port mapping, a
// pinhole, a PCP request), in English; the window translates them in the
// context "Problems". Protocol names (a UPnP or PCP error's name) and numbers
// are the values.
namespace velmora::problem_texts {

//: %1 is the router's name for the error.
inline constexpr TextTemplate kRouterRefusedWith{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router refused it (%1)")};
inline constexpr TextTemplate kRouterRefused{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router refused it")};
inline constexpr TextTemplate kRouterUnreachable{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router cannot be reached")};
inline constexpr TextTemplate kAnswerUnreadable{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router's answer could not be read")};
inline constexpr TextTemplate kRouterSilent{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router did not answer")};
inline constexpr TextTemplate kFirewallOff{
    "Problems",
    QT_TRANSLATE_NOOP("Problems", "the router's IPv6 firewall is off: nothing needs opening")};
inline constexpr TextTemplate kNoInboundPinholes{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router allows no inbound pinholes")};
inline constexpr TextTemplate kNoWayToOpen{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the router offers no way to open it")};
inline constexpr TextTemplate kNotKept{"Problems",
                                       QT_TRANSLATE_NOOP("Problems", "the router did not keep it")};
inline constexpr TextTemplate kNoTimeLeft{
    "Problems", QT_TRANSLATE_NOOP("Problems", "not sent: no time was left")};
inline constexpr TextTemplate kStoppedAnswering{
    "Problems", QT_TRANSLATE_NOOP("Problems", "not sent: the router stopped answering")};
inline constexpr TextTemplate kNotTcpOrUdp{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the protocol is not TCP or UDP")};

// PCP.
//: %1 is a port number.
inline constexpr TextTemplate kOtherPortOffered{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway offered port %1 instead")};
//: %1 is the PCP result's name.
inline constexpr TextTemplate kGatewayRefused{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway refused it (%1)")};
inline constexpr TextTemplate kNatPmpNotPcp{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway speaks NAT-PMP, not PCP")};
//: %1 is a PCP version number.
inline constexpr TextTemplate kOldPcp{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway speaks only PCP version %1")};
inline constexpr TextTemplate kNoPcp{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway has no PCP service")};
inline constexpr TextTemplate kGatewaySilent{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway did not answer")};
//: %1 says what kind of answer came ("an unreadable answer", ...).
inline constexpr TextTemplate kGatewaySentOther{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the gateway sent %1, not an answer to the request")};
inline constexpr TextTemplate kNotSent{
    "Problems", QT_TRANSLATE_NOOP("Problems", "the request could not be sent")};
inline constexpr TextTemplate kNoGatewayAddress{
    "Problems", QT_TRANSLATE_NOOP("Problems", "no usable gateway address")};
//: %1 is an address of this computer.
inline constexpr TextTemplate kCannotSendFrom{"Problems",
                                              QT_TRANSLATE_NOOP("Problems", "cannot send from %1")};
inline constexpr TextTemplate kUnreadableAnswer{
    "Problems", QT_TRANSLATE_NOOP("Problems", "an unreadable answer")};
//: %1 is a PCP version number.
inline constexpr TextTemplate kOtherVersion{
    "Problems", QT_TRANSLATE_NOOP("Problems", "an answer of PCP version %1")};
inline constexpr TextTemplate kOtherOpcode{
    "Problems", QT_TRANSLATE_NOOP("Problems", "an answer to another kind of request")};
inline constexpr TextTemplate kOtherNonce{
    "Problems", QT_TRANSLATE_NOOP("Problems", "an answer with another mapping nonce")};
inline constexpr TextTemplate kOtherPort{
    "Problems", QT_TRANSLATE_NOOP("Problems", "an answer for another protocol or port")};

} // namespace velmora::problem_texts
