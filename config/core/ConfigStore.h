#pragma once

// The configuration store as the main window sees it: loading and saving
// config.xml, and the texts it shows when the file cannot be read.

#include "config/core/ConfigLoader.h"
#include "config/core/ConfigWriter.h"
#include "platform/Message.h"

namespace velmora {

// In English; the window translates them in the context "ConfigFile".
inline constexpr TextTemplate kInvalidConfigText{
    "ConfigFile", QT_TRANSLATE_NOOP("ConfigFile", "invalid config file!")};
inline constexpr TextTemplate kInvalidConfigCaptionText{"ConfigFile",
                                                        QT_TRANSLATE_NOOP("ConfigFile", "ERROR!")};
inline constexpr const char* kInvalidConfigMessage = kInvalidConfigText.english;
inline constexpr const char* kInvalidConfigCaption = kInvalidConfigCaptionText.english;
//: %1 is the file's path, %2 what went wrong.
inline constexpr TextTemplate kConfigNotSaved{
    "ConfigFile", QT_TRANSLATE_NOOP("ConfigFile", "Could not save %1: %2")};

} // namespace velmora
