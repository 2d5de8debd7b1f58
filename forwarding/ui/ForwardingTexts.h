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

inline constexpr char kAdding[] =
    QT_TRANSLATE_NOOP("velmora", "Adding port mappings into router...");
inline constexpr char kChecking[] =
    QT_TRANSLATE_NOOP("velmora", "Checking the port, please wait...");

} // namespace velmora::forwarding_texts
