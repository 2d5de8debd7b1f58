#pragma once

#include "platform/Version.h"

#include <QtGlobal> // QT_TRANSLATE_NOOP

// Fixed texts of the Often Used Ports window and its dialogs.
namespace velmora::catalogue_texts {

inline constexpr auto& kAppCaption = kProductName;
inline constexpr char kErrorCaption[] = QT_TRANSLATE_NOOP("velmora", "ERROR!");
inline constexpr char kWindowTitle[] = QT_TRANSLATE_NOOP("velmora", "Often Used Ports");
inline constexpr char kAddTitle[] = QT_TRANSLATE_NOOP("velmora", "Add Often Used Ports");
inline constexpr char kSearchTitle[] = QT_TRANSLATE_NOOP("velmora", "Search Application");

inline constexpr char kFilterLabel[] = QT_TRANSLATE_NOOP("velmora", "Filter by: ");
inline constexpr char kNameLabel[] = QT_TRANSLATE_NOOP("velmora", "Application Name: ");
inline constexpr char kSearchNameLabel[] = QT_TRANSLATE_NOOP("velmora", "Application Name:  ");
inline constexpr char kTcpLabel[] = QT_TRANSLATE_NOOP("velmora", "TCP Ports: ");
inline constexpr char kUdpLabel[] = QT_TRANSLATE_NOOP("velmora", "UDP Ports: ");
inline constexpr char kNotice[] = QT_TRANSLATE_NOOP("velmora", "Notice:");
inline constexpr char kHintRanges[] =
    QT_TRANSLATE_NOOP("velmora", "port range divided with '-' and multi-ports divided with ','");
inline constexpr char kHintExample[] = QT_TRANSLATE_NOOP("velmora", "example:443,1024-5000,5190 ");

inline constexpr char kInvalidName[] =
    QT_TRANSLATE_NOOP("velmora", "invalid application name, please reenter again!");
inline constexpr char kNotFound[] = QT_TRANSLATE_NOOP("velmora", " not found!");
// %1 is the field's label.
inline constexpr char kBreaksLine[] =
    QT_TRANSLATE_NOOP("velmora", "%1 cannot hold \"|\" or a line end, please reenter again!");
inline constexpr char kTooLong[] =
    QT_TRANSLATE_NOOP("velmora", "%1 is too long, please reenter again!");

//: %1 is the catalogue file, %2 why it could not be written.
inline constexpr char kAppendFailed[] =
    QT_TRANSLATE_NOOP("velmora", "The application could not be added to %1: %2.");

//: The filter item that shows every application.
inline constexpr char kAllFilter[] = QT_TRANSLATE_NOOP("velmora", "ALL");

} // namespace velmora::catalogue_texts
