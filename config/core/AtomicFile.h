#pragma once

#include "platform/Message.h"

#include <string>
#include <string_view>

namespace velmora {

// Replaces the file at `path` with `bytes` so that it is never seen half
// written: the bytes go to a new file in the same folder, are flushed to disk,
// and that file is renamed over `path`. An existing file keeps its permission
// bits. On failure the old file is left as it was, no temporary file remains,
// and `reason` (when given) says what went wrong. Temporaries of earlier saves
// whose process was killed before the rename are removed on the way.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, Message* reason);

} // namespace velmora
