#pragma once

#include "platform/Version.h"

#include <QtGlobal> // QT_TRANSLATE_NOOP

// Fixed texts of the Port Forwarding tab and its dialogs.
namespace velmora::forwarding_texts {

inline constexpr auto& kAppCaption = kProductName;
inline constexpr char kErrorCaption[] = QT_TRANSLATE_NOOP("velmora", "ERROR!");
inline constexpr char kWarningCaption[] = QT_TRANSLATE_NOOP("velmora", "Warning");

inline constexpr char kInvalidName[] =
    QT_TRANSLATE_NOOP("velmora", "invalid name, please reenter again!");
inline constexpr char kDuplicateName[] = QT_TRANSLATE_NOOP(
    "velmora", "the port forwarding name has already existed, please reenter again!");
inline constexpr char kInvalidPort[] =
    QT_TRANSLATE_NOOP("velmora", "invalid listen port, please reenter again!");
inline constexpr char kInvalidAddress[] =
    QT_TRANSLATE_NOOP("velmora", "invalid destination ip address, please reenter again!");

inline constexpr char kAddFailed[] =
    QT_TRANSLATE_NOOP("velmora", "Failed to add port mapping into router!");
inline constexpr char kAppleNoPortsList[] =
    QT_TRANSLATE_NOOP("velmora", "Apple router does not support view ports in router.");

inline constexpr char kListingStalled[] = QT_TRANSLATE_NOOP(
    "velmora", "The router stopped sending its port mappings: the list is not complete.");

// %1 is the number of mappings listed.
inline constexpr char kListingCapped[] =
    QT_TRANSLATE_NOOP("velmora", "The router holds more port mappings than the list can show: "
                                 "only the first %1 are listed.");
// %1 is the number of port mappings an Add into Router run would make.
inline constexpr char kManyMappings[] =
    QT_TRANSLATE_NOOP("velmora", "This adds %1 port mappings into the router, and Velmora looks "
                                 "after each of them while it runs. Add them?");
// %1 is how many mappings the router took, %2 how many were asked for. Only
// the activity log shows it, and the log stays in English.
inline constexpr char kAddCancelled[] =
    "Add into Router was cancelled: the router took %1 of %2 port mappings.";

inline constexpr char kAdding[] =
    QT_TRANSLATE_NOOP("velmora", "Adding port mappings into router...");
inline constexpr char kChecking[] =
    QT_TRANSLATE_NOOP("velmora", "Checking the port, please wait...");

} // namespace velmora::forwarding_texts
