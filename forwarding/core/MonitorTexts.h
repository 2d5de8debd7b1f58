#pragma once

#include "platform/Message.h"

// What the mappings monitor and the automatic add report, in English: the
// activity log keeps them so; the window translates the balloon's lines in
// the context "Monitor".
namespace velmora::monitor_texts {

// About an entry's mappings: %1 is the entry's name, %2 its ports ("TCP 80,
// 443-447 and UDP 3074").
inline constexpr TextTemplate kReadded{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 was missing in the router "
                                            "and has been added again.")};
inline constexpr TextTemplate kReaddFailed{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 is missing in the router "
                                            "and could not be added again.")};
inline constexpr TextTemplate kGone{
    "Monitor",
    QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 is no longer in the router.")};
//: %3 is the address and port the mapping leads to now, %4 the entry's internal address.
inline constexpr TextTemplate kTaken{
    "Monitor",
    QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 now leads to %3 instead of %4.")};
inline constexpr TextTemplate kBack{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 is in the router again.")};
inline constexpr TextTemplate kLeaseRenewed{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 has been added again "
                                            "before its lease ran out.")};
inline constexpr TextTemplate kLeaseRenewFailed{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Port forwarding \"%1\": %2 could not be added again "
                                            "before its lease runs out.")};
inline constexpr TextTemplate kAutoAdded{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Auto add: port forwarding \"%1\": %2 has been added "
                                            "into the router.")};
inline constexpr TextTemplate kAutoAddFailed{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Auto add: port forwarding \"%1\": %2 could not be "
                                            "added into the router.")};
//: %1 is how many port numbers of the entries were left out.
inline constexpr TextTemplate kAutoAddInvalidPorts{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Auto add: %1 port numbers outside 1-65535 were not "
                                            "sent to the router.")};

//: %1 is how many IPv6 pinholes were opened, %2 how many were asked for, %3
//: this computer's IPv6 address.
inline constexpr TextTemplate kAutoAddPinholes{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "Auto add: %1 of %2 IPv6 pinholes opened for %3.")};
//: As the line before, and %4 says why the others were not opened.
inline constexpr TextTemplate kAutoAddPinholesBecause{
    "Monitor",
    QT_TRANSLATE_NOOP("Monitor", "Auto add: %1 of %2 IPv6 pinholes opened for %3. (%4)")};

// About the router.
inline constexpr TextTemplate kSilent{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "The router does not answer; its port mappings cannot "
                                            "be checked.")};
inline constexpr TextTemplate kAnswersAgain{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "The router answers again.")};
//: %1 is the old external address, %2 the new one.
inline constexpr TextTemplate kAddressChanged{
    "Monitor",
    QT_TRANSLATE_NOOP("Monitor", "The router's external address changed from %1 to %2.")};
//: %1 is the router's error code.
inline constexpr TextTemplate kUnchecked{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "The router answered the check of its port mappings "
                                            "with error %1; they could not be checked.")};
inline constexpr TextTemplate kCheckableAgain{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "The router's port mappings can be checked again.")};
inline constexpr TextTemplate kStartedAfresh{
    "Monitor", QT_TRANSLATE_NOOP("Monitor", "The router has started afresh and lost its port "
                                            "mappings.")};

//: The end of a balloon that has more lines than it shows: %1 is how many more.
inline constexpr TextTemplate kMore{"Monitor",
                                    QT_TRANSLATE_NOOP("Monitor", "... and %1 more (see the log).")};

// The ports of several protocols joined: "TCP 80, 443-447 and UDP 3074".
inline constexpr TextTemplate kListMore{"Monitor", QT_TRANSLATE_NOOP("Monitor", "%1, %2")};
inline constexpr TextTemplate kListLast{"Monitor", QT_TRANSLATE_NOOP("Monitor", "%1 and %2")};

} // namespace velmora::monitor_texts
