#pragma once

#include "platform/Version.h"

// Fixed texts of the Port Forwarding tab and its dialogs.
namespace velmora::forwarding_texts {

inline constexpr auto& kAppCaption = kProductName;
inline constexpr char kErrorCaption[] = "ERROR!";
inline constexpr char kWarningCaption[] = "Warning";

inline constexpr char kInvalidName[] = "invalid name, please reenter again!";
inline constexpr char kDuplicateName[] =
    "the port forwarding name has already existed, please reenter again!";
inline constexpr char kInvalidPort[] = "invalid listen port, please reenter again!";
inline constexpr char kInvalidAddress[] = "invalid destination ip address, please reenter again!";

inline constexpr char kAddFailed[] = "Failed to add port mapping into router!";
inline constexpr char kAppleNoPortsList[] = "Apple router does not support view ports in router.";

inline constexpr char kListingStalled[] =
    "The router stopped sending its port mappings: the list is not complete.";

inline constexpr char kAdding[] = "Adding port mappings into router...";
inline constexpr char kChecking[] = "Checking the port, please wait...";

} // namespace velmora::forwarding_texts
