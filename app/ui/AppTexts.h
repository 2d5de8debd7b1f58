#pragma once

#include <QtGlobal> // QT_TRANSLATE_NOOP

// Fixed texts and addresses of the application shell.
namespace velmora::texts {

inline constexpr char kCaption[] = "Velmora";
inline constexpr char kVersionLine[] =
    QT_TRANSLATE_NOOP("velmora", "Version 2.6.0 Build on 14-1-2016");
inline constexpr char kHomePage[] = "https://velmora.example/";
inline constexpr char kPortTesterPath[] = "/port_tester.pl";
inline constexpr char kSingleInstanceName[] = "brinmoor-gatewise";

inline constexpr char kBalloonTitle[] =
    QT_TRANSLATE_NOOP("velmora", "Velmora is still running here");
inline constexpr char kBalloonText[] = QT_TRANSLATE_NOOP(
    "velmora", "You can operate it by dobule-click your mouse left-button or right-button");

} // namespace velmora::texts
