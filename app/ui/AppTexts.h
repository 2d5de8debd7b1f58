#pragma once

// Fixed texts and addresses of the application shell.
namespace velmora::texts {

inline constexpr char kCaption[] = "Velmora";
inline constexpr char kVersionLine[] = "Version 2.6.0 Build on 14-1-2016";
inline constexpr char kHomePage[] = "https://velmora.example/";
inline constexpr char kPortTesterPath[] = "/port_tester.pl";
inline constexpr char kSingleInstanceName[] = "brinmoor-gatewise";

inline constexpr char kBalloonTitle[] = "Velmora is still running here";
inline constexpr char kBalloonText[] =
    "You can operate it by dobule-click your mouse left-button or right-button";

} // namespace velmora::texts
