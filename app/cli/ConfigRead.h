#pragma once

#include "app/cli/Invocation.h"
#include "config/core/ConfigLoader.h"

namespace velmora::cli {

// The entries and settings of config.xml; a file that is not there yet holds
// none. False, with the window's "invalid config file!" told, when it cannot
// be read whole.
bool ReadConfig(const Invocation& invocation, LoadedConfig& config);

} // namespace velmora::cli
