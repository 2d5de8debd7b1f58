#pragma once

#include "config/core/Records.h"
#include "config/core/XcfgReader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace velmora {

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

// The longest text, in UTF-8 bytes, that a field keeps whole through a save
// and a load: what the field holds, and no more than the reader keeps of any
// value. Entry dialogs limit their fields to it.
template <size_t N> constexpr size_t StorableLength(const char (&field)[N])
{
    return std::min(velmora::FieldCapacity(field), XCFG_MAX_TEXT);
}

} // namespace velmora
