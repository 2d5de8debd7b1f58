#pragma once

// The configuration store as the main window sees it: loading and saving
// config.xml, and the texts it shows when the file cannot be read.

#include "config/core/ConfigLoader.h"
#include "config/core/ConfigWriter.h"

namespace velmora {

inline constexpr const char* kInvalidConfigMessage = "invalid config file!";
inline constexpr const char* kInvalidConfigCaption = "ERROR!";

} // namespace velmora
