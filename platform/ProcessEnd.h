#pragma once

#include <chrono>

namespace velmora {

// The last step of Exit, once config.xml is saved and no event loop runs any
// more: worker threads left to BackgroundThreads get `grace` to finish their
// pending request, then the process ends at once with `status`, without
// running destructors, so a worker still waiting for a router finds
// everything it uses in place until the process is gone.
[[noreturn]] void EndProcess(int status, std::chrono::milliseconds grace);

} // namespace velmora
