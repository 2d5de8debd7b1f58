#pragma once

#include "config/core/Records.h"

#include <string>
#include <vector>

// What config.xml held. `invalid` means the file could not be read as a whole
// (missing, not well-formed, another root element, an entry lacking one of its
// attributes): the caller tells the user once. Whatever was read before the
// fault is kept; the status of every triggering entry is empty.
struct LoadedConfig
{
    AppSettings settings;
    std::vector<TriggeringEntry> triggerings;
    std::vector<ForwardingEntry> forwardings;
    bool invalid = false;
};

LoadedConfig LoadConfig(const std::string& path);
