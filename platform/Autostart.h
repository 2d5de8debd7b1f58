#pragma once

#include "platform/Message.h"

#include <string>

namespace velmora {

// Starting with the desktop session: a freedesktop autostart entry
// "velmora.desktop" in the user's autostart folder ($XDG_CONFIG_HOME/autostart,
// else ~/.config/autostart) whose Exec is the quoted executable path.

// The entry's path; "" when the environment names no configuration folder.
std::string AutostartEntryPath();

// Whether the entry exists.
bool AutostartEntryPresent();

// Writes the entry for `executablePath` (absolute); false (with a reason) on
// failure (a half-written entry is removed).
bool WriteAutostartEntry(const std::string& executablePath, Message* reason = nullptr);

// Removes the entry; removing an absent entry succeeds.
bool RemoveAutostartEntry(Message* reason = nullptr);

// The text of the entry for an executable path.
std::string AutostartEntryText(const std::string& executablePath);

} // namespace velmora
