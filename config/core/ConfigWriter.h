#pragma once

#include "config/core/Records.h"
#include "platform/Message.h"

#include <string>
#include <vector>

namespace velmora {

// The whole text of config.xml: the settings, then every triggering entry, then
// every forwarding entry, one start tag and one end tag per entry, each line
// ending in CR LF. Values are escaped so that any text reads back unchanged.
std::string BuildConfigText(const AppSettings& settings,
                            const std::vector<TriggeringEntry>& triggerings,
                            const std::vector<ForwardingEntry>& forwardings);

} // namespace velmora

// Writes that text to `path`, replacing the file in one step. On failure the
// old file stays as it was and `reason` (when given) says why.
bool SaveConfig(const std::string& path, const AppSettings& settings,
                const std::vector<TriggeringEntry>& triggerings,
                const std::vector<ForwardingEntry>& forwardings, velmora::Message* reason);
