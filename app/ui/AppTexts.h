#pragma once

#include "platform/Version.h"

// Fixed texts and addresses of the application shell.
namespace velmora::texts {

inline constexpr auto& kCaption = kProductName;
inline constexpr auto& kVersionLine = velmora::kVersionLine;
inline constexpr auto& kHomePage = velmora::kHomePage;
inline constexpr char kPortTesterPath[] = "/port_tester.pl";
inline constexpr char kSingleInstanceName[] = "brinmoor-gatewise";

inline constexpr char kBalloonTitle[] = "Velmora is still running here";
inline constexpr char kBalloonText[] =
    "You can operate it by dobule-click your mouse left-button or right-button";

} // namespace velmora::texts
