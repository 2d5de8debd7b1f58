#pragma once

#include <string>

namespace velmora {

// The folder for the program's local sockets, reachable by this user only:
// $XDG_RUNTIME_DIR when it names such a folder, else "<temp>/velmora-<uid>"
// ($TMPDIR or /tmp), made with mode 0700 when missing. A folder counts only
// when it is a real folder (no symlink), owned by this user and closed to
// everyone else (one of ours that others may only look into is closed to
// them first, 0700): one that another user made first, or that others may
// write to, is never used. "" when neither will do.
std::string PrivateRuntimeFolder();

// Whether `path` is a folder as PrivateRuntimeFolder wants it.
bool IsPrivateFolder(const std::string& path);

// Before Qt starts: when $XDG_RUNTIME_DIR names no private folder, points it
// at PrivateRuntimeFolder(), so that Qt and the single-instance guard share
// one private folder and Qt has nothing to warn about. When there is none,
// says once, in one line on standard error, what that costs.
void UsePrivateRuntimeFolder();

} // namespace velmora
