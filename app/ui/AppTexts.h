#pragma once

#include "platform/Version.h"

#include <QtGlobal> // QT_TRANSLATE_NOOP

// Fixed texts and addresses of the application shell.
namespace velmora::texts {

inline constexpr auto& kCaption = kProductName;
inline constexpr auto& kHomePage = velmora::kHomePage;
inline constexpr char kPortTesterPath[] = "/port_tester.pl";
inline constexpr char kSingleInstanceName[] = "brinmoor-gatewise";

inline constexpr char kBalloonTitle[] =
    QT_TRANSLATE_NOOP("velmora", "Velmora is still running here");
inline constexpr char kBalloonText[] = QT_TRANSLATE_NOOP(
    "velmora", "You can operate it by dobule-click your mouse left-button or right-button");

} // namespace velmora::texts
