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
// failure (a half-written entry is removed), also when the path holds a
// character no desktop entry can carry. Never writes through a symlink.
bool WriteAutostartEntry(const std::string& executablePath, Message* reason = nullptr);

// Removes the entry; removing an absent entry succeeds.
bool RemoveAutostartEntry(Message* reason = nullptr);

// The text of the entry for an executable path; "" when the path is not
// UTF-8 or holds a control character other than newline, tab and CR (those
// are written as the escapes "\n", "\t", "\r" of desktop entries).
std::string AutostartEntryText(const std::string& executablePath);

} // namespace velmora
