#pragma once

#include <string>

namespace velmora {

// The user's base folders of the freedesktop base-directory rules: the
// variable when it holds an absolute path, else the default under the home
// folder ($HOME, else the password database). No trailing '/'; empty when
// neither the variable nor a home folder is known.
std::string XdgConfigHome(); // $XDG_CONFIG_HOME, ~/.config
std::string XdgStateHome();  // $XDG_STATE_HOME, ~/.local/state
std::string XdgDataHome();   // $XDG_DATA_HOME, ~/.local/share

// The same rule on given values, for callers that already hold them.
std::string XdgFolder(const char* variable, const std::string& home, const char* defaultUnderHome);

// $HOME when absolute, else the home folder of the current user's password
// entry; empty when neither is known.
std::string HomeFolder();

} // namespace velmora
