#pragma once

#include "platform/Version.h"

// Fixed texts of the Often Used Ports window and its dialogs.
namespace velmora::catalogue_texts {

inline constexpr auto& kAppCaption = kProductName;
inline constexpr char kErrorCaption[] = "ERROR!";
inline constexpr char kWindowTitle[] = "Often Used Ports";
inline constexpr char kAddTitle[] = "Add Often Used Ports";
inline constexpr char kSearchTitle[] = "Search Application";

inline constexpr char kFilterLabel[] = "Filter by: ";
inline constexpr char kNameLabel[] = "Application Name: ";
inline constexpr char kSearchNameLabel[] = "Application Name:  ";
inline constexpr char kTcpLabel[] = "TCP Ports: ";
inline constexpr char kUdpLabel[] = "UDP Ports: ";
inline constexpr char kNotice[] = "Notice:";
inline constexpr char kHintRanges[] =
    "port range divided with '-' and multi-ports divided with ','";
inline constexpr char kHintExample[] = "example:443,1024-5000,5190 ";

inline constexpr char kInvalidName[] = "invalid application name, please reenter again!";
inline constexpr char kNotFound[] = " not found!";
// %1 is the field's label.
inline constexpr char kBreaksLine[] = "%1 cannot hold \"|\" or a line end, please reenter again!";
inline constexpr char kTooLong[] = "%1 is too long, please reenter again!";

inline constexpr char kAllFilter[] = "ALL";

} // namespace velmora::catalogue_texts
